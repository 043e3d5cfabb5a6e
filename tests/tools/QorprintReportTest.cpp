// The qorprint executable run as a user runs it: report definitions over a small SQLite
// file, PDFs read back with poppler and qpdf, exit codes and messages checked.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "spooler/TestSpooler.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class QorprintReport : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qorprint-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        setenv("QORPRINT_UNATTENDED", "1", 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        MakeDatabase();
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(dir_);
    }

    // Invoices of three customers in two cities; one amount above a thousand.
    void MakeDatabase() {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dir_ / "sales.sqlite").c_str(), &db), SQLITE_OK);
        const char* sql =
            "CREATE TABLE inv(city TEXT, customer TEXT, number TEXT, amount REAL, year INTEGER);"
            "INSERT INTO inv VALUES"
            " ('Gent','Acme NV','F-001',10,2025),('Gent','Acme NV','F-002',20,2025),"
            " ('Gent','Bolt BV','F-003',5,2025),('Leuven','Crux SA','F-004',1234.5,2026);";
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << error;
        sqlite3_close(db);
    }

    // A definition over the test database; `columnsExtra` is spliced into column 3.
    std::string Definition(const std::string& where = "1 = 1", const std::string& extraTop = "",
                           const std::string& params = "{}") {
        return R"({
  "title": "Sales Report",
  "subTitle": "Test subtitle",
  "footNote": "Foot note text",)" +
               extraTop + R"(
  "maxMergeCol": 1,
  "init": {"orient": "portrait"},
  "data": {"sqlite": "sales.sqlite",
           "query": "SELECT * FROM inv WHERE )" +
               where + R"( ORDER BY city, customer, number",
           "params": )" +
               params + R"(},
  "columns": [
    {"width": 40, "caption": "City", "dataField": "city"},
    {"width": 60, "caption": "Customer", "dataField": "customer", "prLeft": true},
    {"width": 40, "caption": "Invoice", "dataField": "number", "totalType": "count"},
    {"width": 40, "caption": "Amount", "dataField": "amount", "frmt": "frmtAmount2", "align": "right",
     "subTotalType": "sum", "subTotalCol": 1, "totalType": "sum"}
  ]
})";
    }

    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }

    Result Run(const std::string& args) {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string cmd = "cd " + Quote(dir_.string()) + " && " + Quote(QORPRINT_EXE) + " " +
                                args + " >" + Quote(out.string()) + " 2>" + Quote(err.string());
        const int status = std::system(cmd.c_str());
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        return r;
    }

    static std::string Shell(const std::string& cmd, int* code = nullptr) {
        std::string text;
        FILE* p = popen(cmd.c_str(), "r");
        if (p == nullptr) return text;
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
        const int status = pclose(p);
        if (code) *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return text;
    }
    static std::string PdfText(const fs::path& pdf) {
        return Shell("pdftotext -layout " + Quote(pdf.string()) + " - 2>/dev/null");
    }
    static void ExpectValidPdf(const fs::path& pdf) {
        int code = -1;
        const std::string check = Shell("qpdf --check " + Quote(pdf.string()) + " 2>&1", &code);
        EXPECT_EQ(code, 0) << check;
    }

    fs::path dir_;
};

TEST_F(QorprintReport, WritesPdfWithTitlesCaptionsSubTotalsAndTotals) {
    Write("sales.json", Definition());
    const Result r = Run("report sales.json --lang en --out out/sales.pdf");
    EXPECT_EQ(r.code, 4) << "the folder out/ does not exist yet: " << r.err;
    fs::create_directories(dir_ / "out");
    const Result ok = Run("report sales.json --lang en --out out/sales.pdf");
    ASSERT_EQ(ok.code, 0) << ok.err;
    const fs::path pdf = dir_ / "out" / "sales.pdf";
    EXPECT_EQ(ok.out, fs::canonical(pdf).string() + "\n");
    ExpectValidPdf(pdf);
    const std::string text = PdfText(pdf);
    for (const char* expected : {"Sales Report", "Test subtitle", "Foot note text", "CITY", "CUSTOMER",
                                 "AMOUNT", "Acme NV", "Bolt BV", "F-004", "Page 1"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing in:\n" << text;
    // Sub-totals per customer (Acme 10 + 20) and the grand total in en_US format.
    EXPECT_NE(text.find("30.00"), std::string::npos) << text;
    EXPECT_NE(text.find("1,234.50"), std::string::npos) << text;
    EXPECT_NE(text.find("1,269.50"), std::string::npos) << text;
    // Merging: "Gent" printed once for its three lines, "Acme NV" once for its two.
    std::size_t count = 0;
    for (auto at = text.find("Acme NV"); at != std::string::npos; at = text.find("Acme NV", at + 1)) ++count;
    EXPECT_EQ(count, 1u) << text;
    // No leftover temporary files beside the PDF.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()), 1);
}

TEST_F(QorprintReport, LanguageAndLocaleChangeNumbersAndLandscapeChangesThePage) {
    std::string def = Definition();
    def.replace(def.find("\"portrait\""), 10, "\"landscape\"");
    def.replace(def.find("\"width\": 40, \"caption\": \"City\""), 11, "\"width\": 130");
    Write("wide.json", def);
    const Result nl = Run("report wide.json --lang nl --out nl.pdf");
    ASSERT_EQ(nl.code, 0) << nl.err;
    const Result en = Run("report wide.json --lang en --locale fr_BE --out en.pdf");
    ASSERT_EQ(en.code, 0) << en.err;
    const std::string nlText = PdfText(dir_ / "nl.pdf");
    EXPECT_NE(nlText.find("1.234,50"), std::string::npos) << nlText;
    const std::string info = Shell("pdfinfo " + Quote((dir_ / "nl.pdf").string()));
    EXPECT_NE(info.find("841.89 x 595.2"), std::string::npos) << info;
    // --locale wins over the locale of --lang; the totals label follows the language.
    const std::string enText = PdfText(dir_ / "en.pdf");
    EXPECT_EQ(enText.find("1,234.50"), std::string::npos) << enText;
    EXPECT_NE(enText.find("234,50"), std::string::npos) << enText;
    EXPECT_NE(nlText.find("TOTAAL"), std::string::npos) << nlText;
    EXPECT_EQ(enText.find("TOTAAL"), std::string::npos) << enText;
    EXPECT_NE(enText.find("TOTAL"), std::string::npos) << enText;
}

TEST_F(QorprintReport, DefinitionErrorsNameTheKeyAndExitWith2) {
    struct Case {
        std::string from, to, message;
    };
    const std::vector<Case> cases = {
        {"\"width\": 60", "\"widht\": 60", "columns[1].widht: unknown key"},
        {"\"width\": 60", "\"width\": \"60\"", "columns[1].width: expected a number"},
        {"\"frmt\": \"frmtAmount2\"", "\"frmt\": \"frmtAmount3\"", "columns[3].frmt: unknown name \"frmtAmount3\""},
        {"\"align\": \"right\"", "\"align\": 5", "columns[3].align: value 5 is out of range"},
        {"\"subTotalCol\": 1", "\"subTotalCol\": 7", "columns[3].subTotalCol: 7 is not a column index (0 to 3)"},
        {"\"orient\": \"portrait\"", "\"orient\": \"sideways\"", "init.orient: unknown name \"sideways\""},
        {"\"footNote\"", "\"footnote\"", "footnote: unknown key"},
        {"\"maxMergeCol\": 1", "\"maxMergeCol\": 4", "maxMergeCol: value 4 is out of range"},
        {"\"sqlite\": \"sales.sqlite\",", "", "data.sqlite: missing"},
        {"\"title\": \"Sales Report\",", "\"title\": \"Sales Report\"", "line 3, column"},
    };
    for (const Case& c : cases) {
        std::string def = Definition();
        const auto at = def.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        def.replace(at, c.from.size(), c.to);
        Write("bad.json", def);
        const Result r = Run("report bad.json --out bad.pdf");
        EXPECT_EQ(r.code, 2) << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find("bad.json: " + c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "bad.pdf")) << c.message;
    }
    const Result missing = Run("report nosuch.json");
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("nosuch.json"), std::string::npos) << missing.err;
}

TEST_F(QorprintReport, DataErrorsExitWith3AndNameWhatIsWrong) {
    std::string def = Definition();
    def.replace(def.find("\"dataField\": \"number\""), 21, "\"dataField\": \"numbr\"");
    Write("field.json", def);
    Result r = Run("report field.json --out x.pdf");
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.err.find("columns[2].dataField: unknown field \"numbr\""), std::string::npos) << r.err;

    Write("sql.json", Definition("nonsense((("));
    r = Run("report sql.json --out x.pdf");
    EXPECT_EQ(r.code, 3) << r.err;

    Write("db.json", Definition());
    r = Run("report db.json --db missing.sqlite --out x.pdf");
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_NE(r.err.find("missing.sqlite"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "x.pdf"));
}

TEST_F(QorprintReport, EmptyResultPrintsNothingAndExitsWith5) {
    Write("empty.json", Definition("city = 'Brugge'"));
    const Result r = Run("report empty.json --out empty.pdf");
    EXPECT_EQ(r.code, 5) << r.err;
    EXPECT_NE(r.err.find("Sales Report"), std::string::npos) << "the empty-report message names the report: " << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "empty.pdf"));
}

TEST_F(QorprintReport, ParamsBindDefaultsAndCommandLineValues) {
    Write("p.json", Definition("city = :city AND year >= :year", "",
                               R"({"city": "Gent", "year": 2025, "note": null})"));
    // "note" has no default: the command line must give it.
    Result r = Run("report p.json --out p.pdf");
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("--param note="), std::string::npos) << r.err;

    std::string def = Definition("city = :city AND year >= :year", "", R"({"city": "Gent", "year": 2025})");
    Write("p.json", def);
    r = Run("report p.json --out p.pdf");
    ASSERT_EQ(r.code, 0) << r.err;
    std::string text = PdfText(dir_ / "p.pdf");
    EXPECT_NE(text.find("Acme NV"), std::string::npos);
    EXPECT_EQ(text.find("Crux SA"), std::string::npos);

    r = Run("report p.json --param city=Leuven --param year=2026 --out p.pdf");
    ASSERT_EQ(r.code, 0) << r.err;
    text = PdfText(dir_ / "p.pdf");
    EXPECT_EQ(text.find("Acme NV"), std::string::npos);
    EXPECT_NE(text.find("Crux SA"), std::string::npos);

    r = Run("report p.json --param year=next --out p.pdf");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("--param year: expected a number"), std::string::npos) << r.err;
    r = Run("report p.json --param town=Gent --out p.pdf");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("--param town"), std::string::npos) << r.err;
}

TEST_F(QorprintReport, UsageAndOutputErrorsHaveTheirOwnExitCodes) {
    Write("sales.json", Definition());
    EXPECT_EQ(Run("").code, 1);
    EXPECT_EQ(Run("frobnicate").code, 1);
    EXPECT_EQ(Run("report").code, 1);
    EXPECT_EQ(Run("report sales.json --to fax").code, 1);
    EXPECT_EQ(Run("report sales.json --copies 0").code, 1);
    EXPECT_EQ(Run("report sales.json --frobnicate").code, 1);
    EXPECT_EQ(Run("report --help").code, 0);

    Result r = Run("report sales.json --out /nonexistent-folder/x.pdf");
    EXPECT_EQ(r.code, 4) << r.err;
    EXPECT_NE(r.err.find("/nonexistent-folder"), std::string::npos) << r.err;
    r = Run("report sales.json --to printer --printer NoSuchPrinterHere");
    EXPECT_EQ(r.code, 4) << r.err;
    EXPECT_NE(r.err.find("NoSuchPrinterHere"), std::string::npos) << r.err;
}

TEST_F(QorprintReport, PngPagesAreWrittenWithThePrefix) {
    Write("sales.json", Definition());
    const Result r = Run("report sales.json --to png --out page --dpi 50");
    ASSERT_EQ(r.code, 0) << r.err;
    const fs::path png = dir_ / "page-1.png";
    ASSERT_TRUE(fs::exists(png)) << r.out;
    EXPECT_EQ(ReadFile(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_NE(r.out.find("page-1.png"), std::string::npos);
}

TEST_F(QorprintReport, PrintsOnTheNamedQueueAndListsPrinters) {
    qor::test::EnsureTestSpooler();
    const Result list = Run("printers");
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_NE(list.out.find("PrinterA"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("Upper"), std::string::npos) << list.out;

    Write("sales.json", Definition());
    const fs::path kept = fs::path(qor::test::SpoolerOutDir()) / "PrinterB.pdf";
    fs::remove(kept);
    const Result r = Run("report sales.json --to printer --printer PrinterB");
    ASSERT_EQ(r.code, 0) << r.err;
    // The queue writes the file while the job runs: wait until it reads back completely.
    std::string printed;
    for (int i = 0; i < 300 && printed.find("Sales Report") == std::string::npos; ++i) {
        usleep(100000);
        if (fs::exists(kept)) printed = qor::test::PdfText(kept.string());
    }
    EXPECT_NE(printed.find("Sales Report"), std::string::npos) << printed;

    const Result copies = Run("report sales.json --to printer --printer PrinterNoCopies --copies 3");
    EXPECT_EQ(copies.code, 4) << copies.err;
}

}  // namespace
