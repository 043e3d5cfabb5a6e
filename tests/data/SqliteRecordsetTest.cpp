#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/SqliteRecordset.h>

#include "support/Errors.h"
#include "support/Files.h"

using qor::SqliteRecordset;
using qor::Variant;

namespace {

// A database file of three invoices and the numbers 1 to 5000 in a fresh temporary folder.
class SqliteRecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file_.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db,
                               "CREATE TABLE invoices(id INTEGER, customer TEXT, amount REAL, year INTEGER, note);"
                               "INSERT INTO invoices VALUES(1, 'Acme', 10.5, 2025, NULL),"
                               " (2, 'Bolt', 20, 2026, x'414243'), (3, 'Crane', 5.25, 2026, 1099511627776);"
                               "CREATE TABLE many(n INTEGER); WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL"
                               " SELECT n + 1 FROM c WHERE n < 5000) INSERT INTO many SELECT n FROM c;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    qor::test::TempDir dir_;
    std::string file_ = dir_.File("test.sqlite");
};

}  // namespace

TEST_F(SqliteRecordsetTest, MapsStorageClassesToVariantsAndTextJoinsThemToEmptyText) {
    const std::string previous = qor::GenServices().Locale;
    qor::GenServices().Locale = "nl_BE";
    auto rs = SqliteRecordset::Open(file_, "SELECT id, amount, note, customer FROM invoices ORDER BY id");
    using T = Variant::VarType;
    // A BLOB reads as its bytes but has no text (nullptr: Type mismatch); an integer beyond 32
    // bits reads as a Double.
    const struct { T type[4]; const char* text[4]; } rows[] = {
        {{T::Long, T::Double, T::Null, T::String}, {"1", "10,5", "", "Acme"}},
        {{T::Long, T::Double, T::String, T::String}, {"2", "20", nullptr, "Bolt"}},
        {{T::Long, T::Double, T::Double, T::String}, {"3", "5,25", "1099511627776", "Crane"}}};
    std::string text;
    for (const auto& row : rows) {
        for (int field = 0; field < 4; ++field) {
            EXPECT_EQ(rs->Value(field).Type(), row.type[field]) << row.text[0] << " field " << field;
            if (row.text[field] == nullptr) {
                EXPECT_EQ(qor::test::ExpectRuntimeError(qor::kErrTypeMismatch, [&] { rs->Text(field, text); }),
                          "Type mismatch: binary data (3 bytes)");
                EXPECT_EQ(rs->Value(field).ToString(), "ABC");
                continue;
            }
            EXPECT_EQ((rs->Text(field, text), text), row.text[field]) << row.text[0] << " field " << field;
        }
        rs->MoveNext();
    }
    EXPECT_TRUE(rs->IsEOF());
    qor::GenServices().Locale = previous;

    auto empty = SqliteRecordset::Open(file_, "SELECT * FROM invoices WHERE id > 99");
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_TRUE(empty->IsEOF());
    EXPECT_EQ(empty->FieldCount(), 5);
}

TEST_F(SqliteRecordsetTest, BindsParametersByPositionAndByName) {
    auto byPosition = SqliteRecordset::Open(
        file_, "SELECT customer FROM invoices WHERE year = ? AND amount > ? ORDER BY id", {2026, 6.5});
    EXPECT_EQ(CStr(byPosition->Value(0)), "Bolt");
    byPosition->MoveNext();
    EXPECT_TRUE(byPosition->IsEOF());

    auto byName = SqliteRecordset::OpenNamed(
        file_, "SELECT customer FROM invoices WHERE year = :year AND customer <> @skip ORDER BY id",
        {{"year", 2026}, {"@skip", "Bolt"}});
    EXPECT_EQ(CStr(byName->Value(0)), "Crane");
    EXPECT_EQ(SqliteRecordset::Open(file_, "SELECT count(*) FROM invoices WHERE note IS ?", {Variant::Null()})
                  ->Value(0).ToLong(), 1);
}

TEST_F(SqliteRecordsetTest, ReadsForwardAndRereadsOnMoveFirst) {
    auto rs = SqliteRecordset::Open(file_, "SELECT n FROM many ORDER BY n");
    EXPECT_EQ(rs->RecordCount(), 1);  // only the first row has been read: the count is of rows visited
    int64_t sum = 0;
    qor::Field& n = rs->Fields("n");
    for (; !rs->IsEOF(); rs->MoveNext()) sum += n.Value().ToLong();
    EXPECT_EQ(sum, 5000LL * 5001 / 2);
    EXPECT_EQ(rs->RecordCount(), 5000);
    rs->MoveFirst();
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(n.Value().ToLong(), 1);
}

TEST_F(SqliteRecordsetTest, ErrorsNameTheFileTheQueryAndTheCause) {
    const std::string missing = dir_.File("nope.sqlite"), text = dir_.File("text.sqlite");
    qor::test::WriteFile(text, "no database, only text long enough to have a header" + std::string(160, '.'));
    const struct {
        std::string file, sql;
        std::vector<Variant> params;
        std::vector<std::pair<std::string, Variant>> named;  // with OpenNamed when not empty
        int32_t number;
        std::string said;
    } cases[] = {
        {missing, "SELECT 1", {}, {}, qor::kErrFileMissing, "Could not find file '" + missing + "'."},
        {text, "SELECT 1 FROM sqlite_master", {}, {}, qor::kErrCannotOpen, ""},
        {file_, "SELECT * FROM invoice", {}, {}, qor::kErrQuery, "no such table: invoice"},
        {file_, "SELECT * FROM invoice", {}, {}, qor::kErrQuery, "'SELECT * FROM invoice'"},
        {file_, "SELECT * FROM invoices WHERE year = ?", {}, {}, qor::kErrTooFewParameters, ""},
        {file_, "SELECT 1", {1}, {}, qor::kErrInvalidCall, ""},
        {file_, "SELECT :a + :b", {}, {{"a", 1}}, qor::kErrTooFewParameters, "':b'"},
        {file_, "SELECT :a", {}, {{"a", 1}, {"yaer", 2}}, qor::kErrItemNotFound, "'yaer'"},
        // Read-only: statements that write are refused.
        {file_, "DELETE FROM invoices", {}, {}, qor::kErrQuery, ""},
        {file_, "SELECT 1; DELETE FROM invoices", {}, {}, qor::kErrQuery, ""},
    };
    for (const auto& c : cases) {
        const std::string what = qor::test::ExpectRuntimeError(c.number, [&] {
            c.named.empty() ? SqliteRecordset::Open(c.file, c.sql, c.params)
                            : SqliteRecordset::OpenNamed(c.file, c.sql, c.named);
        });
        EXPECT_NE(what.find(c.said), std::string::npos) << what;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));  // opening never creates the file
    EXPECT_EQ(SqliteRecordset::Open(file_, "SELECT count(*) FROM invoices")->Value(0).ToLong(), 3);  // nothing deleted
}
