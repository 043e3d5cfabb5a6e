// The ODBC record set on three real databases: the private PostgreSQL server, an SQLite file
// through the SQLite ODBC driver and the Northwind .mdb file through mdbtools.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <qor/GenServices.h>
#include <qor/OdbcRecordset.h>
#include <qor/RuntimeError.h>

#include "data/OdbcText.h"
#include "data/OdbcServer.h"
#include "support/Errors.h"
#include "support/Files.h"

using qor::OdbcRecordset;
using qor::Variant;
using T = Variant::VarType;

TEST(OdbcText, DecimalsAreExactAsLongCurrencyOrDouble) {
    const struct { const char* text; bool whole; T type; const char* shown; } cases[] = {
        {"1234.50", false, T::Currency, "1234.5"}, {"-0.01", false, T::Currency, "-0.01"},
        {"12.3456", false, T::Currency, "12.3456"}, {"12.345600", false, T::Currency, "12.3456"},
        {"12.34567", false, T::Double, "12.34567"}, {"42", true, T::Long, "42"},
        {"42.00", true, T::Long, "42"}, {"5000000000", true, T::Double, "5000000000"},
        {"99999999999999999999", false, T::Double, "1E+20"}, {"7", false, T::Currency, "7"}};
    qor::GenServices().Locale = "en_US";
    for (const auto& c : cases) {
        const Variant v = qor::odbc::DecimalValue(c.text, c.whole);
        EXPECT_EQ(v.Type(), c.type) << c.text;
        EXPECT_EQ(CStr(v), c.shown) << c.text;
    }
    EXPECT_TRUE(qor::odbc::DecimalValue("1.2.3", false).IsEmpty());
    EXPECT_TRUE(qor::odbc::DecimalValue("-", false).IsEmpty());
}

TEST(OdbcText, MarkersBecomeQuestionMarksOutsideQuotesCommentsAndCasts) {
    const struct { const char* sql; const char* rewritten; std::vector<int32_t> slots; std::vector<std::string> names; } cases[] = {
        {"SELECT ? + ?", "SELECT ? + ?", {0, 1}, {"?", "?"}},
        {"WHERE a = :y AND b = :y OR c = @z", "WHERE a = ? AND b = ? OR c = ?", {0, 0, 1}, {":y", "@z"}},
        {"SELECT ?2, ?1", "SELECT ?, ?", {1, 0}, {"?1", "?2"}},
        {"SELECT ':no', \"?\", [x?], d::date, $$ :q $$ -- :c\n, $v", "SELECT ':no', \"?\", [x?], d::date, $$ :q $$ -- :c\n, ?", {0}, {"$v"}},
        {"SELECT 'it''s' || :a /* :b */", "SELECT 'it''s' || ? /* :b */", {0}, {":a"}},
        {"SELECT a@b FROM t", "SELECT a@b FROM t", {}, {}}};
    for (const auto& c : cases) {
        const qor::odbc::ParsedQuery q = qor::odbc::ParseMarkers(c.sql);
        EXPECT_EQ(q.sql, c.rewritten) << c.sql;
        EXPECT_EQ(q.slots, c.slots) << c.sql;
        EXPECT_EQ(q.names, c.names) << c.sql;
    }
    const auto q = qor::odbc::ParseMarkers("WHERE n = :n AND s = ':n' AND t = :t");
    EXPECT_EQ(qor::odbc::WithLiterals(q, {Variant(5), Variant("O'Brien")}), "WHERE n = 5 AND s = ':n' AND t = 'O''Brien'");
}

TEST(OdbcText, PasswordsAreHiddenWhereverTheyAppear) {
    const struct { const char* connection; const char* password; const char* shown; } cases[] = {
        {"DSN=x;UID=a;PWD=s3cret", "s3cret", "DSN=x;UID=a;PWD=***"},
        {"Driver={PG};Password={a;b}}c};Port=1", "a;b}c", "Driver={PG};Password=***;Port=1"},
        {" pwd = p ;DSN=y", " p ", " pwd =***;DSN=y"},
        {"DSN=z", "", "DSN=z"}};
    for (const auto& c : cases) {
        EXPECT_EQ(qor::odbc::PasswordOf(c.connection), c.password) << c.connection;
        EXPECT_EQ(qor::odbc::RedactedConnection(c.connection), c.shown) << c.connection;
    }
    EXPECT_EQ(qor::odbc::Redacted("failed for s3cret and s3cret", "s3cret"), "failed for *** and ***");
}

namespace {

class OdbcDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string failure = qor::test::StartTestDb();
        ASSERT_EQ(failure, "");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file_.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE t(id INTEGER, amount REAL, name TEXT, d DATE, note VARCHAR(20));"
                               "INSERT INTO t VALUES(1, 1234.5, 'Umsätze', '2025-03-01', 'Océ'), (2, NULL, NULL, NULL, NULL);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        previous_ = qor::GenServices().Locale;
        qor::GenServices().Locale = "nl_BE";
    }
    void TearDown() override { qor::GenServices().Locale = previous_; }

    qor::test::TempDir dir_;
    std::string file_ = dir_.File("t.sqlite");
    std::string previous_;
};

}  // namespace

TEST_F(OdbcDatabases, ValuesArriveWithTheSqliteRecordsetsTypes) {
    const struct { std::string connection, sql; std::vector<T> types; std::vector<std::string> texts; } cases[] = {
        {qor::test::PgConnection(),
         "SELECT 1234.5::numeric(12,2), 'Umsätze Océ'::varchar(20), DATE '2025-03-01', NULL::int, 5000000000::bigint,"
         " 0.5::float8, true, 7::numeric(10,0), 'long text'::text, TIMESTAMP '2025-03-01 14:30:00'",
         {T::Currency, T::String, T::Date, T::Null, T::Double, T::Double, T::Boolean, T::Long, T::String, T::Date},
         {"1234,5", "Umsätze Océ", "1/03/2025", "", "5000000000", "0,5", "True", "7", "long text", "1/03/2025 14:30:00"}},
        {qor::test::SqliteConnection(file_), "SELECT id, amount, name, d, note FROM t WHERE id = 1",
         {T::Long, T::Double, T::String, T::Date, T::String}, {"1", "1234,5", "Umsätze", "1/03/2025", "Océ"}},
        {qor::test::SqliteConnection(file_), "SELECT id, amount, name, d, note FROM t WHERE id = 2",
         {T::Long, T::Null, T::Null, T::Null, T::Null}, {"2", "", "", "", ""}},
        {qor::test::NorthwindConnection(),
         "SELECT OrderID, CustomerID, OrderDate, Freight, ShipName FROM Orders WHERE OrderID = 10252",
         {T::Long, T::String, T::Date, T::Currency, T::String}, {"10252", "SUPRD", "9/08/1994", "51,3", "Suprêmes délices"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        std::shared_ptr<OdbcRecordset> rs;
        ASSERT_NO_THROW(rs = OdbcRecordset::Open(c.connection, c.sql)) << c.connection;
        ASSERT_EQ(rs->FieldCount(), static_cast<int32_t>(c.types.size()));
        std::string text;
        for (int32_t i = 0; i < rs->FieldCount(); ++i) {
            EXPECT_EQ(rs->Value(i).Type(), c.types[static_cast<std::size_t>(i)]) << "field " << i;
            EXPECT_EQ((rs->Text(i, text), text), c.texts[static_cast<std::size_t>(i)]) << "field " << i;
        }
        rs->MoveNext();
        EXPECT_TRUE(rs->IsEOF());
        EXPECT_EQ(rs->RecordCount(), 1);
    }
    // A bytea value keeps its bytes but has no text.
    auto rs = OdbcRecordset::Open(qor::test::PgConnection(), "SELECT '\\x00ff10'::bytea");
    std::string text;
    EXPECT_EQ(rs->Value(0).ToString(), std::string("\0\xff\x10", 3));
    EXPECT_EQ(qor::test::ExpectRuntimeError(qor::kErrTypeMismatch, [&] { rs->Text(0, text); }),
              "Type mismatch: binary data (3 bytes)");
}

TEST_F(OdbcDatabases, ManyRowsComeInBlocksAndCurrencySumsExactly) {
    auto rs = OdbcRecordset::Open(qor::test::PgConnection(), "SELECT 0.10::numeric(12,2) AS a FROM generate_series(1, 2500)");
    EXPECT_GT(rs->RowsPerFetch(), 100);
    int64_t sum = 0;
    int rows = 0;
    for (; !rs->IsEOF(); rs->MoveNext(), ++rows) sum += rs->Value(0).AsCurrency().scaled;
    EXPECT_EQ(rows, 2500);
    EXPECT_EQ(sum, 250 * 10000);  // 250.00 exactly; 2500 doubles of 0.1 add up to 250.00000000000003
    rs->MoveFirst();
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(rs->RecordCount(), 2500);
}

TEST_F(OdbcDatabases, BindsParametersByPositionAndByName) {
    auto pg = OdbcRecordset::Open(qor::test::PgConnection(), "SELECT ?::int + 1, ?::text, ?::date, ?::numeric(12,2), ?::int IS NULL",
                                  {41, "O'Brien ü", Variant::DateSerial(2025, 3, 1), Variant::FromCurrency(1234.5), Variant::Null()});
    std::string text;
    const char* expected[] = {"42", "O'Brien ü", "1/03/2025", "1234,5", "True"};
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ((pg->Text(i, text), text), expected[i]) << i;

    auto sqlite = OdbcRecordset::OpenNamed(qor::test::SqliteConnection(file_),
                                           "SELECT name FROM t WHERE id = :id AND name <> ':id'", {{"id", 1}});
    EXPECT_EQ(CStr(sqlite->Value(0)), "Umsätze");
    // mdbtools takes no markers: the values are written into the query.
    auto mdb = OdbcRecordset::OpenNamed(qor::test::NorthwindConnection(),
                                        "SELECT CompanyName FROM Customers WHERE CustomerID = :c", {{"c", "OCEAN"}});
    EXPECT_EQ(CStr(mdb->Value(0)), "Océano Atlántico Ltda.");

    qor::test::ExpectRuntimeError(qor::kErrItemNotFound,
                                  [&] { OdbcRecordset::OpenNamed(qor::test::PgConnection(), "SELECT :a", {{"b", 1}}); });
    qor::test::ExpectRuntimeError(qor::kErrTooFewParameters,
                                  [&] { OdbcRecordset::Open(qor::test::PgConnection(), "SELECT ?::int, ?::int", {1}); });
}

TEST_F(OdbcDatabases, ErrorsCarryTheDriversSqlstateAndNeverThePassword) {
    const std::string wrong = "Wrong-Sesame-42";
    const struct { std::string connection, sql; int32_t number; const char* says; } cases[] = {
        {qor::test::PgConnection(), "SELECT * FROM no_such_table", qor::kErrQuery, "[42P01]"},
        {qor::test::SqliteConnection(file_), "SELECT * FROM no_such_table", qor::kErrQuery, "no such table"},
        {qor::test::NorthwindConnection(), "SELECT * FROM no_such_table", qor::kErrQuery, "parse"},
        {qor::test::PgConnection(wrong), "SELECT 1", qor::kErrCannotOpen, "password authentication failed"},
        {"Driver={No Such Driver};Pwd=" + wrong, "SELECT 1", qor::kErrCannotOpen, "[01000]"},
    };
    for (const auto& c : cases) {
        const std::string message =
            qor::test::ExpectRuntimeError(c.number, [&] { OdbcRecordset::Open(c.connection, c.sql); });
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_EQ(message.find(wrong), std::string::npos) << message;
    }
}

TEST(OdbcServerStopped, ReadingFailsInsteadOfEndingEarly) {
    qor::test::TempDir dir;
    // The server runs as another user when the tests run as root: it must reach its folder.
    std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
    const std::string own = dir.File("db");
    // Stopped however the test ends, so that no server outlives it.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> stopper(
        &own, [](const std::string* d) { qor::test::StopTestDb(*d); });
    ASSERT_EQ(qor::test::StartTestDb(own), "");
    auto rs = OdbcRecordset::Open(qor::test::PgConnection(), "SELECT g, 'row ' || g FROM generate_series(1, 100000) g");
    qor::test::StopTestDb(own);
    int rows = 0;
    const std::string message = qor::test::ExpectRuntimeError(qor::kErrReading, [&] {
        for (; !rs->IsEOF(); rs->MoveNext()) ++rows;
    });
    EXPECT_LT(rows, 100000);
    EXPECT_NE(message.find("Reading failed: ["), std::string::npos) << message;
    qor::test::StartTestDb();  // the shared server's variables again, for later tests
}
