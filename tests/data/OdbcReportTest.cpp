// qorprint reports through ODBC as a user runs them: the sample invoices from SQLite and from
// the private PostgreSQL server, a connection lost mid-report, no rows, a bad password, the
// Northwind example over the Access file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "data/OdbcServer.h"
#include "support/Files.h"
#include "support/Pdf.h"
#include "support/Process.h"

using qor::test::Quote;

namespace {

struct Result {
    int code = -1;
    std::string out, err;
};

class OdbcReport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(qor::test::StartTestDb(), "");
        setenv("QORPRINT_UNATTENDED", "1", 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    Result Run(const std::string& args) {
        Result r;
        r.out = qor::test::Shell("(cd " + Quote(dir_.Path().string()) + " && " + Quote(QORPRINT_EXE) + " report " + args +
                                     " 2>" + Quote(dir_.File("stderr.txt")) + ")",
                                 &r.code);
        r.err = qor::test::ReadFile(dir_.File("stderr.txt"));
        return r;
    }

    // A definition of one amount column over `query` on the test server, its password from
    // the environment.
    std::string Definition(const std::string& query) {
        const std::string file = dir_.File("def" + std::to_string(++definitions_) + ".json");
        qor::test::WriteFile(file, R"({"title": "Amounts", "data": {"odbc": ")" +
                                       qor::test::PgConnection("${QOR_TEST_PG_PASSWORD}") + R"(", "query": ")" + query +
                                       R"("}, "columns": [{"width": 90, "caption": "N", "dataField": "n"},
            {"width": 90, "caption": "Amount", "dataField": "amount", "frmt": "frmtAmount2", "align": "right",
             "totalType": "sum"}]})");
        return file;
    }

    qor::test::TempDir dir_;
    int definitions_ = 0;
    std::string reports_ = std::string(QOR_SOURCE_DIR) + "/examples/reports/";
};

}  // namespace

TEST_F(OdbcReport, SampleInvoicesFromSqliteAndPostgresGiveTheSamePdfText) {
    // A database of its own on the server, so that parallel runs do not share tables.
    const std::string db = "sample_" + std::to_string(::getpid());
    const std::string psql = "PGOPTIONS='-c client_min_messages=warning' PGPASSWORD=$QOR_TEST_PG_PASSWORD psql -X -q -h $QOR_TEST_PG_HOST -p $QOR_TEST_PG_PORT "
                             "-U $QOR_TEST_PG_USER -d $QOR_TEST_PG_DATABASE -c ";
    int status = 0;
    qor::test::Shell(psql + Quote("DROP DATABASE IF EXISTS " + db) + " && " + psql + Quote("CREATE DATABASE " + db), &status);
    ASSERT_EQ(status, 0);
    const std::string load = qor::test::Shell("PGDATABASE=" + db + " bash " + Quote(std::string(QOR_SOURCE_DIR) +
                                              "/examples/sample/load_sample_pg.sh") + " " + Quote(dir_.File("sample.sqlite")),
                                              &status);
    ASSERT_EQ(status, 0) << load;
    // The script's last line is the connection string, without the password.
    std::string pg = load.substr(0, load.find_last_not_of('\n') + 1);
    pg = pg.substr(pg.rfind('\n') + 1) + ";Pwd=${QOR_TEST_PG_PASSWORD}";

    const Result a = Run(Quote(reports_ + "invoices-by-customer.json") + " --lang nl --db sample.sqlite --out a.pdf");
    const Result b = Run(Quote(reports_ + "invoices-by-customer.json") + " --lang nl --db " + Quote(pg) + " --out b.pdf");
    qor::test::Shell(psql + Quote("DROP DATABASE " + db));
    ASSERT_EQ(a.code, 0) << a.err;
    ASSERT_EQ(b.code, 0) << b.err;
    const std::string text = qor::test::PdfText(dir_.File("a.pdf"), true);
    EXPECT_NE(text.find("TOTAAL"), std::string::npos);
    EXPECT_EQ(qor::test::PdfText(dir_.File("b.pdf"), true), text);
}

TEST_F(OdbcReport, NumericAmountsPrintWithTheLocaleAndSumExactly) {
    const Result r = Run(Definition("SELECT n, 1234.5::numeric(12,2) - n * 0.1 AS amount FROM generate_series(1, 3) n") +
                         " --lang nl --out amounts.pdf");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string text = qor::test::PdfText(dir_.File("amounts.pdf"), true);
    for (const char* shown : {"1.234,40", "1.234,30", "1.234,20", "3.702,90"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
}

TEST_F(OdbcReport, FailuresExitWithTheDriversMessageAndWriteNoPdf) {
    // The server ends the connection itself at row 3000 of 20000: through a cursor, in the
    // middle of the report.
    const struct { std::string args; int code; const char* says; } cases[] = {
        {Definition("SELECT n, CASE WHEN n = 3000 THEN pg_terminate_backend(pg_backend_pid())::int END AS amount"
                    " FROM generate_series(1, 20000) n"),
         3, "Reading failed: ["},
        {Definition("SELECT 1 AS n, 2 AS amount WHERE false"), 5, "is not printed, because it has no records"},
        {Definition("SELECT n, amount FROM no_such_table"), 3, "[42P01]"},
        {"--param customer=ALFKI --db 'Driver={PostgreSQL Unicode};Servername=/nowhere;Pwd=Wrong-Sesame-42' " +
             Quote(reports_ + "northwind-orders.json"),
         3, "Cannot connect: [08001]"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir_.File("out.pdf"));
        const Result r = Run(c.args + " --lang en --out out.pdf");
        EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Wrong-Sesame-42"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(qor::test::Env("QOR_TEST_PG_PASSWORD")), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir_.File("out.pdf"))) << c.args;
    }
}

TEST_F(OdbcReport, NorthwindOrdersFromTheAccessFileAndTheDriverList) {
    const Result r = Run(Quote(reports_ + "northwind-orders.json") + " --lang nl --param customer=OCEAN --out nw.pdf");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string text = qor::test::PdfText(dir_.File("nw.pdf"), true);
    for (const char* shown : {"Océano Atlántico Ltda.", "10409", "29,83", "TOTAAL"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;

    const Result drivers = Run("--list-drivers");
    EXPECT_EQ(drivers.code, 0);
    for (const char* name : {"PostgreSQL Unicode\t", "SQLite3\t", "MDBTools\t"})
        EXPECT_NE(drivers.out.find(name), std::string::npos) << drivers.out;
}
