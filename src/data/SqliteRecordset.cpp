// An SQL query on an SQLite file, read forward with sqlite3_step.
#include <qor/SqliteRecordset.h>

#include <qor/RuntimeError.h>

#include <sqlite3.h>

#include "data/BinaryText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace qor {

struct SqliteRecordset::Impl {
    std::string file;
    std::string sql;
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    bool eof = true;
    int32_t position = 0;  // rows stepped since the last reset
    int32_t visited = 0;   // the most rows ever stepped

    ~Impl() {
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }

    // " (query '...' on '...')", appended to every error description.
    std::string Where() const { return " (query '" + sql + "' on '" + file + "')"; }

    [[noreturn]] void Fail(int32_t number, const std::string& what) const {
        throw RuntimeError(number, what + Where());
    }
};

namespace {

std::string IsoDate(double oaDate) {
    const DateParts p = SplitDate(oaDate);
    char text[32];
    if (p.hour == 0 && p.minute == 0 && p.second == 0) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", p.year, p.month, p.day);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                      p.hour, p.minute, p.second);
    }
    return text;
}

int Bind(sqlite3_stmt* stmt, int index, const Variant& value) {
    using T = Variant::VarType;
    switch (value.Type()) {
        case T::Empty:
        case T::Null:
            return sqlite3_bind_null(stmt, index);
        case T::Boolean:
            return sqlite3_bind_int(stmt, index, value.AsBool() ? 1 : 0);
        case T::Integer:
        case T::Long:
            return sqlite3_bind_int64(stmt, index, value.ToLong());
        case T::Single:
        case T::Double:
            return sqlite3_bind_double(stmt, index, value.ToDouble());
        case T::Currency:
            return sqlite3_bind_double(stmt, index,
                                       static_cast<double>(value.AsCurrency().scaled) / 10000.0);
        case T::Date: {
            const std::string text = IsoDate(value.ToDate());
            return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
        }
        case T::String: {
            const std::string& text = value.AsString();
            return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
        }
    }
    return SQLITE_MISUSE;
}

bool IsBlank(const char* text) {
    for (; text != nullptr && *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n' && *text != ';')
            return false;
    }
    return true;
}

}  // namespace

SqliteRecordset::SqliteRecordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SqliteRecordset::~SqliteRecordset() = default;

std::shared_ptr<SqliteRecordset> SqliteRecordset::Prepare(const std::string& file,
                                                          const std::string& sql) {
    auto impl = std::make_unique<Impl>();
    impl->file = file;
    impl->sql = sql;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        impl->Fail(kErrFileMissing, "Could not find file '" + file + "'.");
    if (sqlite3_open_v2(file.c_str(), &impl->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        impl->Fail(kErrCannotOpen, "Cannot open the database file '" + file + "': " +
                                       (impl->db ? sqlite3_errmsg(impl->db) : "out of memory"));
    }
    // The rows are read once, front to back: a small page cache is enough (SQLite's default
    // grows to 2 MB).
    sqlite3_exec(impl->db, "PRAGMA cache_size = -512", nullptr, nullptr, nullptr);
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(impl->db, sql.c_str(), static_cast<int>(sql.size()),
                                      &impl->stmt, &tail);
    if (rc != SQLITE_OK) {
        const int32_t number = (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT) ? kErrCannotOpen : kErrQuery;
        impl->Fail(number, std::string("SQL error: ") + sqlite3_errmsg(impl->db));
    }
    if (impl->stmt == nullptr) impl->Fail(kErrQuery, "SQL error: the query is empty");
    if (!IsBlank(tail)) impl->Fail(kErrQuery, "SQL error: only one statement may be given");
    if (sqlite3_column_count(impl->stmt) == 0 || !sqlite3_stmt_readonly(impl->stmt))
        impl->Fail(kErrQuery, "SQL error: the statement returns no rows");

    auto set = std::shared_ptr<SqliteRecordset>(new SqliteRecordset(std::move(impl)));
    std::vector<std::string> names;
    const int columns = sqlite3_column_count(set->impl_->stmt);
    names.reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(set->impl_->stmt, i);
        names.emplace_back(name ? name : "");
    }
    set->SetFieldNames(std::move(names));
    return set;
}

std::shared_ptr<SqliteRecordset> SqliteRecordset::Open(const std::string& file,
                                                       const std::string& sql,
                                                       std::vector<Variant> params) {
    std::shared_ptr<SqliteRecordset> set = Prepare(file, sql);
    Impl& impl = *set->impl_;
    const int expected = sqlite3_bind_parameter_count(impl.stmt);
    if (static_cast<int>(params.size()) < expected)
        impl.Fail(kErrTooFewParameters, "Too few parameters. Expected " + std::to_string(expected) +
                                            ", got " + std::to_string(params.size()) + ".");
    if (static_cast<int>(params.size()) > expected)
        impl.Fail(kErrInvalidCall, "Too many parameters: the query takes " +
                                       std::to_string(expected) + ", got " +
                                       std::to_string(params.size()) + ".");
    for (int i = 0; i < expected; ++i) {
        if (Bind(impl.stmt, i + 1, params[static_cast<std::size_t>(i)]) != SQLITE_OK)
            impl.Fail(kErrQuery, "Parameter " + std::to_string(i + 1) + " cannot be bound: " +
                                     sqlite3_errmsg(impl.db));
    }
    set->Step();
    return set;
}

std::shared_ptr<SqliteRecordset> SqliteRecordset::OpenNamed(
    const std::string& file, const std::string& sql,
    const std::vector<std::pair<std::string, Variant>>& params) {
    std::shared_ptr<SqliteRecordset> set = Prepare(file, sql);
    Impl& impl = *set->impl_;
    const int expected = sqlite3_bind_parameter_count(impl.stmt);
    std::vector<bool> bound(static_cast<std::size_t>(expected) + 1, false);
    for (const auto& [given, value] : params) {
        std::string name = given;
        if (name.empty() || (name[0] != ':' && name[0] != '@' && name[0] != '$')) name = ":" + name;
        const int index = sqlite3_bind_parameter_index(impl.stmt, name.c_str());
        if (index == 0)
            impl.Fail(kErrItemNotFound, "Item not found in this collection: parameter '" + given + "'");
        if (Bind(impl.stmt, index, value) != SQLITE_OK)
            impl.Fail(kErrQuery, "Parameter '" + given + "' cannot be bound: " + sqlite3_errmsg(impl.db));
        bound[static_cast<std::size_t>(index)] = true;
    }
    for (int i = 1; i <= expected; ++i) {
        if (!bound[static_cast<std::size_t>(i)]) {
            const char* name = sqlite3_bind_parameter_name(impl.stmt, i);
            impl.Fail(kErrTooFewParameters, "Too few parameters. Expected " + std::to_string(expected) +
                                                "; '" + std::string(name ? name : "?") +
                                                "' has no value.");
        }
    }
    set->Step();
    return set;
}

void SqliteRecordset::Step() {
    Impl& impl = *impl_;
    const int rc = sqlite3_step(impl.stmt);
    if (rc == SQLITE_ROW) {
        impl.eof = false;
        ++impl.position;
        impl.visited = std::max(impl.visited, impl.position);
        return;
    }
    impl.eof = true;
    if (rc != SQLITE_DONE) impl.Fail(kErrReading, std::string("Reading failed: ") + sqlite3_errmsg(impl.db));
}

int32_t SqliteRecordset::RecordCount() { return impl_->visited; }

void SqliteRecordset::MoveFirst() {
    sqlite3_reset(impl_->stmt);
    impl_->position = 0;
    Step();
}

void SqliteRecordset::MoveNext() {
    CheckCurrent();
    Step();
}

bool SqliteRecordset::IsEOF() const { return impl_->eof; }

Variant SqliteRecordset::Value(int32_t index) const {
    CheckIndex(index);
    CheckCurrent();
    sqlite3_stmt* stmt = impl_->stmt;
    switch (sqlite3_column_type(stmt, index)) {
        case SQLITE_INTEGER:
            return Variant(static_cast<int64_t>(sqlite3_column_int64(stmt, index)));
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(stmt, index));
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
            return Variant(std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, index))));
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, index));
            return Variant(std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, index))));
        }
        default:
            return Variant::Null();
    }
}

void SqliteRecordset::Text(int32_t index, std::string& out) const {
    CheckIndex(index);
    CheckCurrent();
    sqlite3_stmt* stmt = impl_->stmt;
    switch (sqlite3_column_type(stmt, index)) {
        case SQLITE_INTEGER: {
            const sqlite3_int64 value = sqlite3_column_int64(stmt, index);
            if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
                char digits[16];
                const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
                out.assign(digits, end);
            } else {
                out = JoinText(Variant(static_cast<int64_t>(value)));
            }
            return;
        }
        case SQLITE_FLOAT:
            out = JoinText(Variant(sqlite3_column_double(stmt, index)));
            return;
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
            out.assign(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, index)));
            return;
        }
        case SQLITE_BLOB:
            data::ThrowBinaryText(static_cast<std::size_t>(sqlite3_column_bytes(stmt, index)));
        default:
            out.clear();
    }
}

const std::string& SqliteRecordset::FileName() const noexcept { return impl_->file; }
const std::string& SqliteRecordset::Sql() const noexcept { return impl_->sql; }

}  // namespace qor
