#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/SqliteRecordset.h>

using qor::RuntimeError;
using qor::SqliteRecordset;
using qor::Variant;

namespace {

// A database file in a fresh temporary folder, removed afterwards.
class SqliteRecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qordata-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        file_ = (dir_ / "test.sqlite").string();
        Exec("CREATE TABLE invoices(id INTEGER, customer TEXT, amount REAL, year INTEGER, note);"
             "INSERT INTO invoices VALUES(1, 'Acme', 10.5, 2025, NULL);"
             "INSERT INTO invoices VALUES(2, 'Bolt', 20, 2026, x'414243');"
             "INSERT INTO invoices VALUES(3, 'Crane', 5.25, 2026, 1099511627776);");
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    void Exec(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file_.c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    // Runs `call` and returns the RuntimeError it throws; fails when it throws none.
    template <typename F>
    RuntimeError ErrorOf(F call) {
        try {
            call();
        } catch (const RuntimeError& e) {
            return e;
        }
        ADD_FAILURE() << "no RuntimeError";
        return RuntimeError(0, "");
    }

    std::filesystem::path dir_;
    std::string file_;
};

}  // namespace

TEST_F(SqliteRecordsetTest, MapsStorageClassesToVariants) {
    auto rs = SqliteRecordset::Open(file_, "SELECT * FROM invoices ORDER BY id");
    ASSERT_EQ(rs->FieldCount(), 5);
    using T = Variant::VarType;
    EXPECT_EQ(rs->Fields("ID").Value().Type(), T::Long);
    EXPECT_EQ(rs->Fields("customer").Value().Type(), T::String);
    EXPECT_EQ(rs->Fields("amount").Value().Type(), T::Double);
    EXPECT_TRUE(rs->Fields("note").Value().IsNull());
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("amount").Value().ToDouble(), 20.0);
    EXPECT_EQ(rs->Fields("note").Value().AsString(), "ABC");  // a BLOB as its bytes
    rs->MoveNext();
    const Variant big = rs->Fields("note").Value();
    EXPECT_EQ(big.Type(), T::Double);  // beyond 32 bits
    EXPECT_EQ(big.ToDouble(), 1099511627776.0);
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
}

TEST_F(SqliteRecordsetTest, TextIsTheValueJoinedToEmptyText) {
    const std::string previous = qor::GenServices().Locale;
    qor::GenServices().Locale = "nl_BE";
    auto rs = SqliteRecordset::Open(file_, "SELECT id, amount, note, customer FROM invoices ORDER BY id");
    std::string text;
    const char* expected[3][4] = {{"1", "10,5", "", "Acme"},
                                  {"2", "20", "ABC", "Bolt"},
                                  {"3", "5,25", "1099511627776", "Crane"}};
    for (int row = 0; row < 3; ++row, rs->MoveNext()) {
        for (int field = 0; field < 4; ++field) {
            rs->Text(field, text);
            EXPECT_EQ(text, expected[row][field]) << "row " << row << " field " << field;
        }
    }
    qor::GenServices().Locale = previous;
}

TEST_F(SqliteRecordsetTest, BindsParametersByPositionAndByName) {
    auto byPosition = SqliteRecordset::Open(
        file_, "SELECT customer FROM invoices WHERE year = ? AND amount > ? ORDER BY id", {2026, 6.5});
    EXPECT_EQ(CStr(byPosition->Fields("customer").Value()), "Bolt");
    byPosition->MoveNext();
    EXPECT_TRUE(byPosition->IsEOF());

    auto byName = SqliteRecordset::OpenNamed(
        file_, "SELECT customer FROM invoices WHERE year = :year AND customer <> @skip ORDER BY id",
        {{"year", 2026}, {"@skip", "Bolt"}});
    EXPECT_EQ(CStr(byName->Fields("customer").Value()), "Crane");

    auto nullParam = SqliteRecordset::Open(file_, "SELECT count(*) AS n FROM invoices WHERE note IS ?",
                                           {Variant::Null()});
    EXPECT_EQ(nullParam->Fields("n").Value().ToLong(), 1);
}

TEST_F(SqliteRecordsetTest, ReadsForwardAndRereadsOnMoveFirst) {
    Exec("CREATE TABLE many(n INTEGER);"
         "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 5000) "
         "INSERT INTO many SELECT n FROM c;");
    auto rs = SqliteRecordset::Open(file_, "SELECT n FROM many ORDER BY n");
    // Only the first row has been read: the count is of the rows visited.
    EXPECT_EQ(rs->RecordCount(), 1);
    int64_t sum = 0;
    int rows = 0;
    qor::Field& n = rs->Fields("n");
    for (; !rs->IsEOF(); rs->MoveNext(), ++rows) sum += n.Value().ToLong();
    EXPECT_EQ(rows, 5000);
    EXPECT_EQ(sum, 5000LL * 5001 / 2);
    EXPECT_EQ(rs->RecordCount(), 5000);
    rs->MoveFirst();
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(n.Value().ToLong(), 1);

    auto empty = SqliteRecordset::Open(file_, "SELECT * FROM invoices WHERE id > 99");
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_TRUE(empty->IsEOF());
    EXPECT_EQ(empty->FieldCount(), 5);
}

TEST_F(SqliteRecordsetTest, ErrorsNameTheFileTheQueryAndTheCause) {
    const std::string missing = (dir_ / "nope.sqlite").string();
    RuntimeError e = ErrorOf([&] { SqliteRecordset::Open(missing, "SELECT 1"); });
    EXPECT_EQ(e.Number(), 3024);
    EXPECT_NE(std::string(e.what()).find("Could not find file '" + missing + "'."), std::string::npos) << e.what();
    EXPECT_FALSE(std::filesystem::exists(missing));  // opening never creates the file

    e = ErrorOf([&] { SqliteRecordset::Open(file_, "SELECT * FROM invoice"); });
    EXPECT_EQ(e.Number(), 3075);
    EXPECT_NE(std::string(e.what()).find("no such table: invoice"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("'SELECT * FROM invoice'"), std::string::npos) << e.what();

    e = ErrorOf([&] { SqliteRecordset::Open(file_, "SELECT * FROM invoices WHERE year = ?"); });
    EXPECT_EQ(e.Number(), 3061);
    e = ErrorOf([&] { SqliteRecordset::Open(file_, "SELECT 1", {1}); });
    EXPECT_EQ(e.Number(), 5);
    e = ErrorOf([&] { SqliteRecordset::OpenNamed(file_, "SELECT :a + :b", {{"a", 1}}); });
    EXPECT_EQ(e.Number(), 3061);
    EXPECT_NE(std::string(e.what()).find("':b'"), std::string::npos) << e.what();
    e = ErrorOf([&] { SqliteRecordset::OpenNamed(file_, "SELECT :a", {{"a", 1}, {"yaer", 2}}); });
    EXPECT_EQ(e.Number(), 3265);
    EXPECT_NE(std::string(e.what()).find("'yaer'"), std::string::npos) << e.what();

    // Read-only: statements that write are refused, and the data stays as it was.
    e = ErrorOf([&] { SqliteRecordset::Open(file_, "DELETE FROM invoices"); });
    EXPECT_EQ(e.Number(), 3075);
    e = ErrorOf([&] { SqliteRecordset::Open(file_, "SELECT 1; DELETE FROM invoices"); });
    EXPECT_EQ(e.Number(), 3075);
    EXPECT_EQ(SqliteRecordset::Open(file_, "SELECT count(*) AS n FROM invoices")->Fields("n").Value().ToLong(), 3);

    const std::string text = (dir_ / "text.sqlite").string();
    FILE* f = std::fopen(text.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("this is no database, only some text that is long enough to have a header..........."
               "..................................................................................",
               f);
    std::fclose(f);
    e = ErrorOf([&] { SqliteRecordset::Open(text, "SELECT 1 FROM sqlite_master"); });
    EXPECT_EQ(e.Number(), 3051);

    auto rs = SqliteRecordset::Open(file_, "SELECT id FROM invoices");
    e = ErrorOf([&] { rs->Fields("amonut"); });
    EXPECT_EQ(e.Number(), 3265);
    EXPECT_STREQ(e.what(), "Item not found in this collection: 'amonut'");
}
