// An SQL query through unixODBC, read forward in blocks of rows bound column-wise.
#include <qor/OdbcRecordset.h>

#include <qor/RuntimeError.h>

#include "data/BinaryText.h"
#include "data/OdbcLibrary.h"
#include "data/OdbcText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace qor {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC must use 2-byte SQLWCHAR");

// A block of bound rows takes about this much memory; wider rows get fewer per fetch.
constexpr std::size_t kBlockBytes = 512 * 1024;
constexpr SQLULEN kMaxRowsPerFetch = 500;
// Longer text and binary columns are read value by value with SQLGetData.
constexpr SQLULEN kMaxBoundChars = 4000;

// How a column's values are fetched and turned into Variants.
enum class Kind { Long, BigInt, Double, Bit, Decimal, Timestamp, Time, Text, Binary };

struct Column {
    Kind kind = Kind::Text;
    SQLSMALLINT cType = SQL_C_WCHAR;
    bool whole = false;  // a decimal column without decimals
    bool bound = true;   // false: read with SQLGetData into row 0
    SQLLEN width = 0;    // bytes per row in `data`
    std::vector<char> data;
    std::vector<SQLLEN> indicator;
};

SQLWCHAR* W(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

// The diagnostics of `handle` as "[SQLSTATE] message; ...", the password hidden.
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string_view password) {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    std::string text;
    for (SQLSMALLINT record = 1; handle != SQL_NULL_HANDLE && record <= 8; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::u16string message(1024, u'\0');
        SQLSMALLINT length = 0;
        const SQLRETURN rc = api.SQLGetDiagRecW(type, handle, record, state, &native, W(message),
                                                static_cast<SQLSMALLINT>(message.size()), &length);
        if (!SQL_SUCCEEDED(rc)) break;
        message.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
        for (char16_t& c : message)
            if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
        while (!message.empty() && message.back() == u' ') message.pop_back();
        std::size_t stateLength = 0;
        while (stateLength < 5 && state[stateLength] > u' ') ++stateLength;
        if (!text.empty()) text += "; ";
        if (stateLength > 0) {
            text += '[';
            odbc::AppendUtf8(reinterpret_cast<const char16_t*>(state), stateLength, text);
            text += "] ";
        }
        odbc::AppendUtf8(message.data(), message.size(), text);
    }
    return odbc::Redacted(text.empty() ? "no diagnostics from the driver" : text, password);
}

Kind KindOf(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_TINYINT: case SQL_SMALLINT: case SQL_INTEGER:
            return Kind::Long;
        case SQL_BIGINT:
            return Kind::BigInt;
        case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE:
            return Kind::Double;
        case SQL_BIT:
            return Kind::Bit;
        case SQL_DECIMAL: case SQL_NUMERIC:
            return Kind::Decimal;
        case SQL_TYPE_DATE: case SQL_TYPE_TIMESTAMP: case SQL_DATE: case SQL_TIMESTAMP:
            return Kind::Timestamp;
        case SQL_TYPE_TIME: case SQL_TIME:
            return Kind::Time;
        case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY:
            return Kind::Binary;
        default:
            return Kind::Text;
    }
}

// Sets up `c` for a column of `sqlType`, `size` characters (or digits) and `scale`.
void Describe(Column& c, SQLSMALLINT sqlType, SQLULEN size, SQLSMALLINT scale) {
    c.kind = KindOf(sqlType);
    switch (c.kind) {
        case Kind::Long: c.cType = SQL_C_SLONG; c.width = sizeof(SQLINTEGER); break;
        case Kind::BigInt: c.cType = SQL_C_SBIGINT; c.width = sizeof(SQLBIGINT); break;
        case Kind::Double: c.cType = SQL_C_DOUBLE; c.width = sizeof(SQLDOUBLE); break;
        case Kind::Bit: c.cType = SQL_C_BIT; c.width = sizeof(SQLCHAR); break;
        case Kind::Decimal:
            // The driver's own decimal text: exact, whatever the precision.
            c.cType = SQL_C_CHAR;
            c.whole = scale == 0;
            c.width = static_cast<SQLLEN>(std::clamp<SQLULEN>(size, 19, 1000) + 3);
            break;
        case Kind::Timestamp: c.cType = SQL_C_TYPE_TIMESTAMP; c.width = sizeof(SQL_TIMESTAMP_STRUCT); break;
        case Kind::Time: c.cType = SQL_C_TYPE_TIME; c.width = sizeof(SQL_TIME_STRUCT); break;
        case Kind::Text:
        case Kind::Binary: {
            const bool isLong = sqlType == SQL_LONGVARCHAR || sqlType == SQL_WLONGVARCHAR ||
                                sqlType == SQL_LONGVARBINARY;
            c.bound = size > 0 && size <= kMaxBoundChars && !isLong;
            c.cType = c.kind == Kind::Text ? SQL_C_WCHAR : SQL_C_BINARY;
            // Characters as UTF-16 units (a few may need two) and the terminator.
            c.width = c.kind == Kind::Text ? static_cast<SQLLEN>((size * 2 + 1) * sizeof(SQLWCHAR))
                                           : static_cast<SQLLEN>(size);
            if (!c.bound) c.width = 4096;
            break;
        }
    }
}

double OaDate(const SQL_TIMESTAMP_STRUCT& t) {
    return MakeDate(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

}  // namespace

struct OdbcRecordset::Impl {
    std::string connection;  // with the password as "***"
    std::string password;
    std::string sql;
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    bool connected = false;

    std::vector<Column> columns;
    SQLULEN rowsPerFetch = 1;
    SQLULEN fetched = 0;  // rows in the current block
    SQLULEN row = 0;      // the current row within the block
    bool eof = true;
    bool openCursor = false;
    int64_t position = 0;  // rows read since the last execution
    int64_t visited = 0;   // the most rows ever read

    // Parameter values in the form SQLBindParameter points at; they live as long as the set.
    struct Param {
        std::u16string text;
        std::string ascii;
        SQLBIGINT integer = 0;
        SQLDOUBLE number = 0;
        SQLCHAR bit = 0;
        SQL_TIMESTAMP_STRUCT timestamp{};
        SQLLEN indicator = 0;
    };
    std::vector<Param> params;

    ~Impl() {
        if (env == SQL_NULL_HENV) return;  // nothing was opened, perhaps for want of the driver manager
        const odbc::OdbcFunctions& api = odbc::Odbc();
        if (stmt != SQL_NULL_HSTMT) api.SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        if (connected) api.SQLDisconnect(dbc);
        if (dbc != SQL_NULL_HDBC) api.SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        api.SQLFreeHandle(SQL_HANDLE_ENV, env);
    }

    // " (query '...' on '...')", appended to every error description.
    std::string Where() const { return " (query '" + odbc::Redacted(sql, password) + "' on '" + connection + "')"; }

    [[noreturn]] void Fail(int32_t number, const std::string& what) const {
        throw RuntimeError(number, odbc::Redacted(what, password) + Where());
    }
    [[noreturn]] void Fail(int32_t number, const std::string& what, SQLSMALLINT type, SQLHANDLE handle) const {
        Fail(number, what + ": " + Diagnostics(type, handle, password));
    }

    void Connect(const std::string& given);
    void Execute();
    void Fetch();
    void ReadUnbound(Column& c, SQLUSMALLINT number);
};

void OdbcRecordset::Impl::Connect(const std::string& given) {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    if (!SQL_SUCCEEDED(api.SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        Fail(kErrCannotOpen, "Cannot start the ODBC driver manager");
    api.SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    std::string text = given;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!SQL_SUCCEEDED(api.SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)))
            Fail(kErrCannotOpen, "Cannot connect", SQL_HANDLE_ENV, env);
        std::u16string wide = odbc::ToUtf16(text);
        const SQLRETURN rc = api.SQLDriverConnectW(dbc, nullptr, W(wide), static_cast<SQLSMALLINT>(wide.size()),
                                                   nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) Fail(kErrCannotOpen, "Cannot connect", SQL_HANDLE_DBC, dbc);
        connected = true;
        // The PostgreSQL driver reads the whole result into memory unless it is told to read
        // through a cursor, and gives booleans as text: it is connected again with a cursor
        // as large as a block and booleans as BIT.
        char driver[256] = {};
        api.SQLGetInfo(dbc, SQL_DRIVER_NAME, driver, sizeof driver, nullptr);
        if (attempt > 0 || std::strncmp(driver, "psqlodbc", 8) != 0 || odbc::HasKey(text, "UseDeclareFetch")) break;
        api.SQLDisconnect(dbc);
        connected = false;
        api.SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        dbc = SQL_NULL_HDBC;
        text += (text.empty() || text.back() == ';' ? "" : ";") + std::string("UseDeclareFetch=1;Fetch=") +
                std::to_string(kMaxRowsPerFetch) + (odbc::HasKey(text, "BoolsAsChar") ? "" : ";BoolsAsChar=0");
    }
    if (!SQL_SUCCEEDED(api.SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)))
        Fail(kErrCannotOpen, "Cannot make a statement", SQL_HANDLE_DBC, dbc);
}

void OdbcRecordset::Impl::Execute() {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    const SQLRETURN rc = api.SQLExecute(stmt);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Fail(kErrQuery, "SQL error", SQL_HANDLE_STMT, stmt);
    openCursor = true;
    position = 0;
    fetched = 0;
    row = 0;
    Fetch();
}

void OdbcRecordset::Impl::ReadUnbound(Column& c, SQLUSMALLINT number) {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    // Pieces are appended until the driver has given the whole value.
    const SQLLEN terminator = c.kind == Kind::Text ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 0;
    SQLLEN used = 0;
    for (;;) {
        if (static_cast<SQLLEN>(c.data.size()) < used + 4096) c.data.resize(static_cast<std::size_t>(used + 4096) * 2);
        SQLLEN length = 0;
        const SQLLEN room = static_cast<SQLLEN>(c.data.size()) - used;
        const SQLRETURN rc = api.SQLGetData(stmt, number, c.cType, c.data.data() + used, room, &length);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) Fail(kErrReading, "Reading failed", SQL_HANDLE_STMT, stmt);
        if (length == SQL_NULL_DATA) {
            c.indicator[0] = SQL_NULL_DATA;
            return;
        }
        if (rc == SQL_SUCCESS || (length != SQL_NO_TOTAL && length <= room - terminator)) {
            used += length;
            break;
        }
        used += room - terminator;  // the driver filled the room but for the terminator
    }
    c.indicator[0] = used;
}

void OdbcRecordset::Impl::Fetch() {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    ++row;
    if (row < fetched) {
        ++position;
        visited = std::max(visited, position);
        return;
    }
    fetched = 0;
    row = 0;
    const SQLRETURN rc = api.SQLFetch(stmt);
    if (rc == SQL_NO_DATA) {
        eof = true;
        api.SQLCloseCursor(stmt);
        openCursor = false;
        return;
    }
    if (!SQL_SUCCEEDED(rc)) {
        eof = true;
        Fail(kErrReading, "Reading failed", SQL_HANDLE_STMT, stmt);
    }
    // A driver that ignores the fetched-rows pointer fetched one row.
    if (fetched == 0) fetched = 1;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (!columns[i].bound) ReadUnbound(columns[i], static_cast<SQLUSMALLINT>(i + 1));
    eof = false;
    ++position;
    visited = std::max(visited, position);
}

OdbcRecordset::OdbcRecordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

OdbcRecordset::~OdbcRecordset() = default;

std::shared_ptr<OdbcRecordset> OdbcRecordset::Prepare(
    const std::string& connection, const std::string& sql, std::vector<Variant> byNumber, bool named,
    const std::vector<std::pair<std::string, Variant>>& byName) {
    auto impl = std::make_unique<Impl>();
    impl->connection = odbc::RedactedConnection(connection);
    impl->password = odbc::PasswordOf(connection);
    impl->sql = sql;
    const odbc::ParsedQuery query = odbc::ParseMarkers(sql);

    // The values by parameter number, checked before anything is opened.
    const std::size_t expected = query.names.size();
    if (named) {
        byNumber.assign(expected, Variant());
        std::vector<bool> given(expected, false);
        for (const auto& [name, value] : byName) {
            std::string marker = name;
            if (marker.empty() || (marker[0] != ':' && marker[0] != '@' && marker[0] != '$')) marker = ":" + marker;
            const auto it = std::find(query.names.begin(), query.names.end(), marker);
            if (it == query.names.end())
                impl->Fail(kErrItemNotFound, "Item not found in this collection: parameter '" + name + "'");
            byNumber[static_cast<std::size_t>(it - query.names.begin())] = value;
            given[static_cast<std::size_t>(it - query.names.begin())] = true;
        }
        for (std::size_t i = 0; i < expected; ++i)
            if (!given[i])
                impl->Fail(kErrTooFewParameters, "Too few parameters. Expected " + std::to_string(expected) + "; '" +
                                                     query.names[i] + "' has no value.");
    } else if (byNumber.size() < expected) {
        impl->Fail(kErrTooFewParameters, "Too few parameters. Expected " + std::to_string(expected) + ", got " +
                                             std::to_string(byNumber.size()) + ".");
    } else if (byNumber.size() > expected) {
        impl->Fail(kErrInvalidCall, "Too many parameters: the query takes " + std::to_string(expected) + ", got " +
                                        std::to_string(byNumber.size()) + ".");
    }

    const odbc::OdbcFunctions& api = odbc::Odbc();
    impl->Connect(connection);
    std::u16string wide = odbc::ToUtf16(query.sql);
    if (!SQL_SUCCEEDED(api.SQLPrepareW(impl->stmt, W(wide), static_cast<SQLINTEGER>(wide.size()))))
        impl->Fail(kErrQuery, "SQL error", SQL_HANDLE_STMT, impl->stmt);
    // A driver that does not count the markers does not take them either (mdbtools): the
    // values are written into the query as literals instead.
    SQLSMALLINT markers = -1;
    if (!query.slots.empty() &&
        (!SQL_SUCCEEDED(api.SQLNumParams(impl->stmt, &markers)) || markers != static_cast<SQLSMALLINT>(query.slots.size()))) {
        wide = odbc::ToUtf16(odbc::WithLiterals(query, byNumber));
        api.SQLFreeHandle(SQL_HANDLE_STMT, impl->stmt);
        impl->stmt = SQL_NULL_HSTMT;
        if (!SQL_SUCCEEDED(api.SQLAllocHandle(SQL_HANDLE_STMT, impl->dbc, &impl->stmt)))
            impl->Fail(kErrCannotOpen, "Cannot make a statement", SQL_HANDLE_DBC, impl->dbc);
        if (!SQL_SUCCEEDED(api.SQLPrepareW(impl->stmt, W(wide), static_cast<SQLINTEGER>(wide.size()))))
            impl->Fail(kErrQuery, "SQL error", SQL_HANDLE_STMT, impl->stmt);
    } else {
        impl->params.resize(query.slots.size());
    }

    for (std::size_t m = 0; m < impl->params.size(); ++m) {
        Impl::Param& p = impl->params[m];
        const Variant& value = byNumber[static_cast<std::size_t>(query.slots[m])];
        SQLSMALLINT cType = SQL_C_WCHAR, sqlType = SQL_WVARCHAR, digits = 0;
        SQLULEN size = 0;
        SQLPOINTER buffer = nullptr;
        SQLLEN bufferLength = 0;
        using T = Variant::VarType;
        switch (value.Type()) {
            case T::Empty:
            case T::Null:
                p.indicator = SQL_NULL_DATA;
                cType = SQL_C_CHAR;
                sqlType = SQL_VARCHAR;
                size = 1;
                break;
            case T::Boolean:
                p.bit = value.AsBool() ? 1 : 0;
                cType = SQL_C_BIT, sqlType = SQL_BIT, buffer = &p.bit;
                break;
            case T::Integer:
            case T::Long:
                p.integer = value.ToLong();
                cType = SQL_C_SBIGINT, sqlType = SQL_INTEGER, size = 10, buffer = &p.integer;
                break;
            case T::Single:
            case T::Double:
                p.number = value.ToDouble();
                cType = SQL_C_DOUBLE, sqlType = SQL_DOUBLE, size = 15, buffer = &p.number;
                break;
            case T::Currency: {
                p.ascii = odbc::CurrencyText(value.AsCurrency().scaled);
                cType = SQL_C_CHAR, sqlType = SQL_DECIMAL, size = 19, digits = 4;
                buffer = p.ascii.data();
                bufferLength = p.indicator = static_cast<SQLLEN>(p.ascii.size());
                break;
            }
            case T::Date: {
                const DateParts d = SplitDate(value.ToDate());
                p.timestamp = {static_cast<SQLSMALLINT>(d.year), static_cast<SQLUSMALLINT>(d.month),
                               static_cast<SQLUSMALLINT>(d.day), static_cast<SQLUSMALLINT>(d.hour),
                               static_cast<SQLUSMALLINT>(d.minute), static_cast<SQLUSMALLINT>(d.second), 0};
                cType = SQL_C_TYPE_TIMESTAMP, sqlType = SQL_TYPE_TIMESTAMP, size = 19, buffer = &p.timestamp;
                break;
            }
            case T::String:
                p.text = odbc::ToUtf16(value.AsString());
                buffer = W(p.text);
                bufferLength = p.indicator = static_cast<SQLLEN>(p.text.size() * sizeof(SQLWCHAR));
                size = std::max<SQLULEN>(p.text.size(), 1);
                break;
        }
        if (!SQL_SUCCEEDED(api.SQLBindParameter(impl->stmt, static_cast<SQLUSMALLINT>(m + 1), SQL_PARAM_INPUT, cType,
                                                sqlType, size, digits, buffer, bufferLength, &p.indicator)))
            impl->Fail(kErrQuery, "Parameter " + std::to_string(m + 1) + " cannot be bound", SQL_HANDLE_STMT,
                       impl->stmt);
    }

    // Most drivers describe a prepared query; the others (mdbtools) only an executed one,
    // which is then executed once more with the row array in place.
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(api.SQLNumResultCols(impl->stmt, &count)) || count <= 0) {
        const SQLRETURN rc = api.SQLExecute(impl->stmt);
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) impl->Fail(kErrQuery, "SQL error", SQL_HANDLE_STMT, impl->stmt);
        impl->openCursor = true;
        count = 0;
        api.SQLNumResultCols(impl->stmt, &count);
    }
    if (count <= 0) impl->Fail(kErrQuery, "SQL error: the statement returns no rows");

    // Columns: their kinds, and the rows per fetch that keep a block near kBlockBytes.
    std::vector<std::string> names;
    impl->columns.resize(static_cast<std::size_t>(count));
    std::size_t rowBytes = 0;
    bool allBound = true;
    for (SQLSMALLINT i = 0; i < count; ++i) {
        std::u16string name(256, u'\0');
        SQLSMALLINT nameLength = 0, sqlType = 0, scale = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(api.SQLDescribeColW(impl->stmt, static_cast<SQLUSMALLINT>(i + 1), W(name),
                                               static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType, &size,
                                           &scale, &nullable)))
            impl->Fail(kErrQuery, "SQL error", SQL_HANDLE_STMT, impl->stmt);
        names.emplace_back();
        odbc::AppendUtf8(name.data(), std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)), 255),
                         names.back());
        Column& c = impl->columns[static_cast<std::size_t>(i)];
        Describe(c, sqlType, size, scale);
        rowBytes += static_cast<std::size_t>(c.width) + sizeof(SQLLEN);
        allBound = allBound && c.bound;
    }
    // Several rows per fetch need a driver of ODBC 3 that accepts the row array and binds
    // every column (SQLGetData reads only a single row).
    char version[16] = {};
    api.SQLGetInfo(impl->dbc, SQL_DRIVER_ODBC_VER, version, sizeof version, nullptr);
    SQLULEN rows = std::clamp<SQLULEN>(kBlockBytes / std::max<std::size_t>(rowBytes, 1), 1, kMaxRowsPerFetch);
    if (!allBound || std::strncmp(version, "03", 2) < 0) rows = 1;
    // The array size may only change while no cursor is open.
    if (impl->openCursor) api.SQLCloseCursor(impl->stmt);
    impl->openCursor = false;
    if (rows > 1 &&
        (!SQL_SUCCEEDED(api.SQLSetStmtAttr(impl->stmt, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0)) ||
         !SQL_SUCCEEDED(api.SQLSetStmtAttr(impl->stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0))))
        rows = 1;
    impl->rowsPerFetch = rows;
    api.SQLSetStmtAttr(impl->stmt, SQL_ATTR_ROWS_FETCHED_PTR, &impl->fetched, 0);
    for (std::size_t i = 0; i < impl->columns.size(); ++i) {
        Column& c = impl->columns[i];
        c.data.assign(static_cast<std::size_t>(c.width) * rows, '\0');
        c.indicator.assign(rows, 0);
        if (c.bound &&
            !SQL_SUCCEEDED(api.SQLBindCol(impl->stmt, static_cast<SQLUSMALLINT>(i + 1), c.cType, c.data.data(), c.width,
                                          c.indicator.data())))
            impl->Fail(kErrQuery, "Column '" + names[i] + "' cannot be read", SQL_HANDLE_STMT, impl->stmt);
    }

    auto set = std::shared_ptr<OdbcRecordset>(new OdbcRecordset(std::move(impl)));
    set->SetFieldNames(std::move(names));
    set->impl_->Execute();
    return set;
}

std::shared_ptr<OdbcRecordset> OdbcRecordset::Open(const std::string& connection, const std::string& sql,
                                                   std::vector<Variant> params) {
    return Prepare(connection, sql, std::move(params), false, {});
}

std::shared_ptr<OdbcRecordset> OdbcRecordset::OpenNamed(const std::string& connection, const std::string& sql,
                                                        const std::vector<std::pair<std::string, Variant>>& params) {
    return Prepare(connection, sql, {}, true, params);
}

std::vector<OdbcDriver> OdbcRecordset::Drivers() {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    std::vector<OdbcDriver> drivers;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(api.SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return drivers;
    api.SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    char name[512], attributes[2048];
    SQLSMALLINT nameLength = 0, attributesLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
         SQL_SUCCEEDED(api.SQLDrivers(env, direction, reinterpret_cast<SQLCHAR*>(name), sizeof name, &nameLength,
                                      reinterpret_cast<SQLCHAR*>(attributes), sizeof attributes, &attributesLength));
         direction = SQL_FETCH_NEXT) {
        OdbcDriver driver{name, ""};
        // Attributes come as "Key=value\0Key=value\0\0".
        for (const char* a = attributes; *a != '\0' && a < attributes + sizeof attributes; a += std::strlen(a) + 1)
            if (std::strncmp(a, "Driver=", 7) == 0) driver.Library = a + 7;
        drivers.push_back(std::move(driver));
    }
    api.SQLFreeHandle(SQL_HANDLE_ENV, env);
    return drivers;
}

int32_t OdbcRecordset::RecordCount() {
    return static_cast<int32_t>(std::min<int64_t>(impl_->visited, std::numeric_limits<int32_t>::max()));
}

void OdbcRecordset::MoveFirst() {
    const odbc::OdbcFunctions& api = odbc::Odbc();
    Impl& impl = *impl_;
    // Still on the first row of an execution: nothing to read again.
    if (!impl.eof && impl.position == 1) return;
    if (impl.openCursor) api.SQLCloseCursor(impl.stmt);
    impl.openCursor = false;
    impl.Execute();
}

void OdbcRecordset::MoveNext() {
    CheckCurrent();
    impl_->Fetch();
}

bool OdbcRecordset::IsEOF() const { return impl_->eof; }

Variant OdbcRecordset::Value(int32_t index) const {
    CheckIndex(index);
    CheckCurrent();
    const Column& c = impl_->columns[static_cast<std::size_t>(index)];
    const SQLULEN row = c.bound ? impl_->row : 0;
    const SQLLEN length = c.indicator[row];
    if (length == SQL_NULL_DATA) return Variant::Null();
    const char* data = c.data.data() + static_cast<std::size_t>(c.width) * row;
    switch (c.kind) {
        case Kind::Long: {
            SQLINTEGER v;
            std::memcpy(&v, data, sizeof v);
            return Variant(static_cast<int32_t>(v));
        }
        case Kind::BigInt: {
            SQLBIGINT v;
            std::memcpy(&v, data, sizeof v);
            return Variant(static_cast<int64_t>(v));
        }
        case Kind::Double: {
            SQLDOUBLE v;
            std::memcpy(&v, data, sizeof v);
            return Variant(v);
        }
        case Kind::Bit:
            return Variant(*data != 0);
        case Kind::Decimal: {
            const std::string_view text(data, std::min<std::size_t>(std::strlen(data), static_cast<std::size_t>(c.width)));
            Variant v = odbc::DecimalValue(text, c.whole);
            if (!v.IsEmpty()) return v;
            impl_->Fail(kErrReading, "Reading failed: '" + std::string(text) + "' of field " +
                                         std::to_string(index + 1) + " is no number");
        }
        case Kind::Timestamp: {
            SQL_TIMESTAMP_STRUCT t;
            std::memcpy(&t, data, sizeof t);
            return Variant::FromDate(OaDate(t));
        }
        case Kind::Time: {
            SQL_TIME_STRUCT t;
            std::memcpy(&t, data, sizeof t);
            return Variant::FromDate((t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0);
        }
        case Kind::Text: {
            std::string text;
            const std::size_t units = static_cast<std::size_t>(std::min(length, c.width)) / sizeof(SQLWCHAR);
            odbc::AppendUtf8(reinterpret_cast<const char16_t*>(data), units, text);
            return Variant(std::move(text));
        }
        case Kind::Binary:
            return Variant(std::string(data, static_cast<std::size_t>(std::min(length, c.width))));
    }
    return Variant::Null();
}

void OdbcRecordset::Text(int32_t index, std::string& out) const {
    CheckIndex(index);
    CheckCurrent();
    const Column& c = impl_->columns[static_cast<std::size_t>(index)];
    const SQLULEN row = c.bound ? impl_->row : 0;
    const SQLLEN length = c.indicator[row];
    const char* data = c.data.data() + static_cast<std::size_t>(c.width) * row;
    if (length == SQL_NULL_DATA) {
        out.clear();
    } else if (c.kind == Kind::Text) {
        out.clear();
        const std::size_t units = static_cast<std::size_t>(std::min(length, c.width)) / sizeof(SQLWCHAR);
        odbc::AppendUtf8(reinterpret_cast<const char16_t*>(data), units, out);
    } else if (c.kind == Kind::Binary) {
        data::ThrowBinaryText(static_cast<std::size_t>(std::clamp<SQLLEN>(length, 0, c.width)));
    } else if (c.kind == Kind::Long) {
        SQLINTEGER v;
        std::memcpy(&v, data, sizeof v);
        char digits[16];
        out.assign(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
    } else {
        out = JoinText(Value(index));
    }
}

const std::string& OdbcRecordset::Sql() const noexcept { return impl_->sql; }
const std::string& OdbcRecordset::Connection() const noexcept { return impl_->connection; }
int32_t OdbcRecordset::RowsPerFetch() const noexcept { return static_cast<int32_t>(impl_->rowsPerFetch); }

}  // namespace qor
