// A record set over an SQL query on an SQLite database file.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <qor/Recordset.h>

namespace qor {

// The rows of one SQL query on an SQLite file, read forward one row at a time: the set
// never holds more than the current row, so a report of a million rows costs no more
// memory than a report of ten. MoveFirst runs the query again.
//
// Values arrive as Variants by each value's storage class: INTEGER as a Long (a Double when
// it does not fit 32 bits), REAL as a Double, TEXT as a String, BLOB as a String of its
// bytes, NULL as Null.
//
// RecordCount is DAO's count for a forward-read set: the rows visited so far (0 when the
// query has no rows, otherwise at least 1).
//
// Errors are qor::RuntimeError with the database engine's numbers and a description naming
// the file and the query: 3024 file not found, 3051 file cannot be opened (or is no
// database), 3075 SQL error (SQLite's message), 3061 parameters missing, 3265 unknown
// parameter name, 3043 a failure while reading rows.
class SqliteRecordset final : public Recordset {
public:
    // Opens `file` read-only and runs `sql` (one statement that returns rows) with `params`
    // bound in order to its parameters ("?", "?NNN", ":name", "@name", "$name", numbered as
    // SQLite numbers them). Booleans bind as 1 or 0, Dates as ISO text ("2026-03-01" or
    // "2026-03-01 14:30:00"), Empty and Null as NULL. The set stands on the first row.
    // Throws RuntimeError as listed above; nothing stays open after a failure.
    static std::shared_ptr<SqliteRecordset> Open(const std::string& file, const std::string& sql,
                                                 std::vector<Variant> params = {});
    // The same with parameters bound by name; a name without its prefix gets ":" ("year"
    // binds ":year"). Throws RuntimeError(3265) for a name the query does not have, 3061 when
    // a parameter of the query is left unbound.
    static std::shared_ptr<SqliteRecordset> OpenNamed(
        const std::string& file, const std::string& sql,
        const std::vector<std::pair<std::string, Variant>>& params);

    ~SqliteRecordset() override;

    int32_t RecordCount() override;
    void MoveFirst() override;
    void MoveNext() override;
    bool IsEOF() const override;
    Variant Value(int32_t index) const override;
    void Text(int32_t index, std::string& out) const override;

    // The file and the query, as given to Open.
    const std::string& FileName() const noexcept;
    const std::string& Sql() const noexcept;

private:
    struct Impl;
    explicit SqliteRecordset(std::unique_ptr<Impl> impl);
    static std::shared_ptr<SqliteRecordset> Prepare(const std::string& file, const std::string& sql);
    void Step();
    std::unique_ptr<Impl> impl_;
};

}  // namespace qor
