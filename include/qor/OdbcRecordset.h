// A record set over an SQL query through ODBC (unixODBC): any database with an ODBC driver.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <qor/Recordset.h>

namespace qor {

// An installed ODBC driver as the driver manager lists it (odbcinst.ini).
struct OdbcDriver {
    std::string Name;     // what a connection string names: "Driver={PostgreSQL Unicode}"
    std::string Library;  // the driver's shared library ("psqlodbcw.so"), "" when not given
};

// The rows of one SQL query through an ODBC driver, read forward. Rows arrive from the
// driver in blocks (several hundred rows per fetch where the driver allows it; with the
// PostgreSQL driver also through a server-side cursor of the same size, so that the set
// never holds more than one block). MoveFirst runs the query again unless the set still
// stands on its first row.
//
// Values arrive as Variants by the column's SQL type, as the SQLite record set gives them:
// integer types as a Long (a Double when it does not fit 32 bits); DECIMAL, NUMERIC and money
// types exactly: a Long for a column without decimals, else a Currency when the value has at
// most four decimals (so 1234.5 of a numeric(12,2) column sums and prints without binary
// drift), else a Double; REAL, FLOAT and DOUBLE as a Double; BIT as a Boolean; DATE,
// TIMESTAMP and TIME as a Date (a TIME on day 0); character types as a UTF-8 String whatever
// the driver's encoding; binary types as a String of their bytes; NULL as Null.
//
// RecordCount is DAO's count for a forward-read set: the rows visited so far.
//
// Errors are qor::RuntimeError with the database engine's numbers; every description ends
// with the query and the connection string (its password shown as "***", and never the
// password anywhere in a message) and holds the driver's diagnostics as "[SQLSTATE] message":
// 3051 the connection failed (bad data source, server down, bad password), 3075 the query
// failed or returns no rows, 3061 parameters missing, 5 too many, 3265 unknown parameter
// name, 3043 a failure while reading rows (a lost connection included: a set never ends
// early without an error), 48 when unixODBC's driver manager (libodbc.so.2) cannot be loaded:
// it is opened when the first set connects, or when Drivers is first called.
class OdbcRecordset final : public Recordset {
public:
    // Connects with `connection` ("DSN=name;..." or "Driver={...};...", the driver's own
    // keys) and runs `sql` (one statement that returns rows) with `params` bound in order
    // to its markers ("?", "?NNN", ":name", "@name", "$name", numbered as the SQLite record
    // set numbers them; markers in quotes, comments and "::" casts are left alone). Booleans
    // bind as BIT, Long and Integer as INTEGER, Double and Single as DOUBLE, Currency as
    // DECIMAL(19,4), Dates as TIMESTAMP, Strings as Unicode text, Empty and Null as NULL.
    // The set stands on the first row. Throws RuntimeError as listed above; nothing stays
    // open after a failure.
    static std::shared_ptr<OdbcRecordset> Open(const std::string& connection, const std::string& sql,
                                               std::vector<Variant> params = {});
    // The same with parameters bound by name; a name without its prefix gets ":" ("year"
    // binds ":year"). Throws RuntimeError(3265) for a name the query does not have, 3061
    // when a parameter of the query is left unbound.
    static std::shared_ptr<OdbcRecordset> OpenNamed(
        const std::string& connection, const std::string& sql,
        const std::vector<std::pair<std::string, Variant>>& params);

    // The ODBC drivers installed, in the driver manager's order; empty when there are none.
    // Throws RuntimeError(48) when the driver manager cannot be loaded.
    static std::vector<OdbcDriver> Drivers();

    ~OdbcRecordset() override;

    int32_t RecordCount() override;
    void MoveFirst() override;
    void MoveNext() override;
    bool IsEOF() const override;
    Variant Value(int32_t index) const override;
    void Text(int32_t index, std::string& out) const override;

    // The query as given to Open, and the connection string with its password as "***".
    const std::string& Sql() const noexcept;
    const std::string& Connection() const noexcept;
    // The number of rows one fetch asks the driver for (1 for drivers that fetch row by row).
    int32_t RowsPerFetch() const noexcept;

private:
    struct Impl;
    explicit OdbcRecordset(std::unique_ptr<Impl> impl);
    static std::shared_ptr<OdbcRecordset> Prepare(const std::string& connection, const std::string& sql,
                                                  std::vector<Variant> byNumber, bool named,
                                                  const std::vector<std::pair<std::string, Variant>>& byName);
    std::unique_ptr<Impl> impl_;
};

}  // namespace qor
