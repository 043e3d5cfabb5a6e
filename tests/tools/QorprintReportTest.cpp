// The qorprint executable run as a user runs it: report definitions over a small SQLite
// file, PDFs read back with poppler and qpdf, exit codes and messages checked.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Spooler.h"
#include "support/Files.h"
#include "support/Pdf.h"
#include "support/PdfOutline.h"
#include "support/Process.h"

namespace fs = std::filesystem;
using qor::test::Quote;

namespace {

struct Result {
    int code = -1;
    std::string out, err;
};

class QorprintReport : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QORPRINT_UNATTENDED", "1", 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Invoices of three customers in two cities; one amount above a thousand.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(dir_.File("sales.sqlite").c_str(), &db), SQLITE_OK);
        const char* sql =
            "CREATE TABLE inv(city TEXT, customer TEXT, number TEXT, amount REAL, year INTEGER);"
            "INSERT INTO inv VALUES"
            " ('Gent','Acme NV','F-001',10,2025),('Gent','Acme NV','F-002',20,2025),"
            " ('Gent','Bolt BV','F-003',5,2025),('Leuven','Crux SA','F-004',1234.5,2026);";
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // A definition over the test database with `where` in its query and `params` declared.
    static std::string Definition(const std::string& where = "1 = 1", const std::string& params = "{}") {
        return R"({
  "title": "Sales Report", "subTitle": "Test subtitle", "footNote": "Foot note text",
  "maxMergeCol": 1, "init": {"orient": "portrait"},
  "data": {"sqlite": "sales.sqlite",
           "query": "SELECT * FROM inv WHERE )" + where + R"( ORDER BY city, customer, number",
           "params": )" + params + R"(},
  "columns": [
    {"width": 40, "caption": "City", "dataField": "city"},
    {"width": 60, "caption": "Customer", "dataField": "customer", "prLeft": true},
    {"width": 40, "caption": "Invoice", "dataField": "number", "totalType": "count"},
    {"width": 40, "caption": "Amount", "dataField": "amount", "frmt": "frmtAmount2", "align": "right",
     "subTotalType": "sum", "subTotalCol": 1, "totalType": "sum"}
  ]
})";
    }

    // `definition` with its first `from` replaced by `to`.
    static std::string Edited(std::string definition, const std::string& from, const std::string& to) {
        const auto at = definition.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? definition : definition.replace(at, from.size(), to);
    }

    void Write(const std::string& name, const std::string& text) { qor::test::WriteFile(dir_.File(name), text); }
    std::string Text(const std::string& pdf) const { return qor::test::PdfText(dir_.File(pdf), true); }

    Result Run(const std::string& args, const std::string& environment = "") {
        Result r;
        r.out = qor::test::Shell("(cd " + Quote(dir_.Path().string()) + " && " + environment + Quote(QORPRINT_EXE) + " " +
                                     args + " 2>" + Quote(dir_.File("stderr.txt")) + ")",
                                 &r.code);
        r.err = qor::test::ReadFile(dir_.File("stderr.txt"));
        return r;
    }

    qor::test::TempDir dir_;
};

TEST_F(QorprintReport, WritesPdfAndPngInEachLanguageWithTitlesCaptionsTotalsAndParameters) {
    Write("sales.json", Definition());
    EXPECT_EQ(Run("report sales.json --lang en --out out/sales.pdf").code, 4);  // no folder out/ yet
    fs::create_directories(dir_.Path() / "out");
    const Result ok = Run("report sales.json --lang en --out out/sales.pdf");
    ASSERT_EQ(ok.code, 0) << ok.err;
    EXPECT_EQ(ok.out, fs::canonical(dir_.File("out/sales.pdf")).string() + "\n");
    std::string check;
    EXPECT_TRUE(qor::test::QpdfCheck(dir_.File("out/sales.pdf"), &check)) << check;
    const std::string text = Text("out/sales.pdf");
    // Sub-totals per customer (Acme 10 + 20) and the grand total in en_US format.
    for (const char* expected : {"Sales Report", "Test subtitle", "Foot note text", "CITY", "AMOUNT",
                                 "Bolt BV", "F-004", "Page 1", "30.00", "1,234.50", "1,269.50"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing in:\n" << text;
    // Merging: "Acme NV" printed once for its two lines.
    EXPECT_EQ(text.find("Acme NV"), text.rfind("Acme NV")) << text;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path() / "out"), fs::directory_iterator()), 1)
        << "temporary files left beside the PDF";

    // Dutch, English with a Belgian locale, landscape, PNG pages and parameters.
    Write("wide.json", Edited(Edited(Definition(), "\"portrait\"", "\"landscape\""),
                              "\"width\": 40, \"caption\": \"City\"", "\"width\": 130, \"caption\": \"City\""));
    ASSERT_EQ(Run("report wide.json --lang nl --out nl.pdf").code, 0);
    ASSERT_EQ(Run("report wide.json --lang en --locale fr_BE --out en.pdf").code, 0);
    const std::string nl = Text("nl.pdf"), en = Text("en.pdf");
    EXPECT_NE(nl.find("1.234,50"), std::string::npos) << nl;
    EXPECT_NE(nl.find("TOTAAL"), std::string::npos) << nl;
    const std::string info = qor::test::Shell("pdfinfo " + Quote(dir_.File("nl.pdf")));
    EXPECT_NE(info.find("841.89 x 595.2"), std::string::npos) << info;
    // --locale wins over the locale of --lang; the totals label follows the language.
    EXPECT_TRUE(en.find("1,234.50") == std::string::npos && en.find("234,50") != std::string::npos) << en;
    EXPECT_TRUE(en.find("TOTAAL") == std::string::npos && en.find("TOTAL") != std::string::npos) << en;

    const Result png = Run("report wide.json --to png --out page --dpi 50");
    ASSERT_EQ(png.code, 0) << png.err;
    EXPECT_EQ(png.out, dir_.File("page-1.png") + "\n");
    EXPECT_EQ(qor::test::ReadFile(dir_.File("page-1.png")).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

    // Declared parameters bind their defaults unless the command line gives a value.
    Write("p.json", Definition("city = :city AND year >= :year", R"({"city": "Gent", "year": 2025})"));
    ASSERT_EQ(Run("report p.json --out p.pdf").code, 0);
    EXPECT_NE(Text("p.pdf").find("Acme NV"), std::string::npos);
    EXPECT_EQ(Text("p.pdf").find("Crux SA"), std::string::npos);
    ASSERT_EQ(Run("report p.json --param city=Leuven --param year=2026 --out p.pdf").code, 0);
    EXPECT_EQ(Text("p.pdf").find("Acme NV"), std::string::npos);
    EXPECT_NE(Text("p.pdf").find("Crux SA"), std::string::npos);
}

// Reports to PDF never open the window part (Qt's GUI libraries); a PNG page does, and says
// so when it cannot.
TEST_F(QorprintReport, PdfNeedsNoWindowPartAndPngNamesAMissingOne) {
    Write("sales.json", Definition());
    const std::string missing = "QORPRINT_WINDOW_PART=" + Quote(dir_.File("no-such-part.so")) + " ";
    const Result pdf = Run("report sales.json --out sales.pdf", missing);
    EXPECT_EQ(pdf.code, 0) << pdf.err;
    const Result png = Run("report sales.json --to png --out page", missing);
    EXPECT_NE(png.code, 0);
    EXPECT_NE(png.err.find("Error in loading DLL"), std::string::npos) << png.err;
    EXPECT_NE(png.err.find("no-such-part.so"), std::string::npos) << png.err;
}

TEST_F(QorprintReport, ErrorsExitWithTheirCodeAndNameWhatIsWrong) {
    const std::string byCity = Definition("city = :city AND year >= :year", R"({"city": "Gent", "year": 2025})");
    const struct { std::string definition, args; int code; std::string message; } cases[] = {
        // Definition errors (2) name the key.
        {Edited(Definition(), "\"width\": 60", "\"widht\": 60"), "", 2, "d.json: columns[1].widht: unknown key"},
        {Edited(Definition(), "\"frmtAmount2\"", "\"frmtAmount3\""), "", 2,
         "columns[3].frmt: unknown name \"frmtAmount3\""},
        {Edited(Definition(), "\"subTotalCol\": 1", "\"subTotalCol\": 7"), "", 2,
         "columns[3].subTotalCol: 7 is not a column index (0 to 3)"},
        {Edited(Definition(), "\"maxMergeCol\": 1", "\"maxMergeCol\": 4"), "", 2, "maxMergeCol: value 4 is out of"},
        {Edited(Definition(), "\"maxMergeCol\": 1", "\"outline\": [0, 4]"), "", 2,
         "outline[1]: 4 is not a column index (0 to 3)"},
        {Edited(Definition(), "\"maxMergeCol\": 1", "\"outline\": \"city\""), "", 2,
         "outline: expected a column index or a list of two"},
        {Edited(Definition(), "\"maxMergeCol\": 1", "\"maxMergeCol\": 1, \"carryForward\": \"yes\""), "", 2,
         "d.json: carryForward: expected true or false"},
        {Edited(Definition(), "\"maxMergeCol\": 1", "\"maxMergeCol\": 1, \"pageOfPages\": 1"), "", 2,
         "d.json: pageOfPages: expected true or false"},
        {Edited(Definition(), "\"sqlite\": \"sales.sqlite\",", ""), "", 2, "data.sqlite: missing"},
        {Edited(Definition(), "\"Sales Report\",", "\"Sales Report\""), "", 2, "line 2, column"},
        // A colour beyond every integer's range was converted regardless (undefined
        // behaviour, which fuzz_definition's sanitizers stop on).
        {Edited(Definition(), "\"dataField\": \"city\"", "\"dataField\": \"city\", \"color\": 1e300"), "", 2,
         "columns[0].color: expected a number (&HBBGGRR)"},
        // Data errors (3).
        {Edited(Definition(), "\"dataField\": \"number\"", "\"dataField\": \"numbr\""), "", 3,
         "columns[2].dataField: unknown field \"numbr\" (the query gives: city, customer, number, amount, year)"},
        {Definition("nonsense((("), "", 3, "sales.sqlite"},
        {Definition(), "--db missing.sqlite", 3, "missing.sqlite"},
        // Usage errors (1): parameters without a value or of the wrong type, unknown options.
        {Definition("city = :city", R"({"city": null})"), "", 1, "--param city="},
        {byCity, "--param year=next", 1, "--param year: expected a number"},
        {byCity, "--param town=Gent", 1, "--param town: the definition declares no such parameter"},
        {Definition(), "--to fax", 1, "--to: expected pdf, png, xlsx, printer or preview"},
        // Output errors (4).
        {Definition(), "--to printer --printer NoSuchPrinterHere", 4, "NoSuchPrinterHere"},
        // Nothing to print (5): the message names the report.
        {Definition("city = 'Brugge'"), "", 5, "Sales Report"},
    };
    for (const auto& c : cases) {
        Write("d.json", c.definition);
        const Result r = Run("report d.json --out d.pdf " + c.args);
        EXPECT_EQ(r.code, c.code) << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir_.File("d.pdf"))) << c.message;
    }
    EXPECT_EQ(Run("report nosuch.json").code, 2);
    EXPECT_EQ(Run("frobnicate").code, 1);
    EXPECT_EQ(Run("report --help").code, 0);
}

// "outline": bookmarks by city, then customer; with SOURCE_DATE_EPOCH two runs write the
// same bytes.
TEST_F(QorprintReport, OutlineByCityThenCustomerAndReproducibleFiles) {
    Write("o.json", Edited(Definition(), "\"maxMergeCol\": 1", "\"maxMergeCol\": 1, \"outline\": [0, 1]"));
    const std::string epoch = "SOURCE_DATE_EPOCH=1767225600 ";
    ASSERT_EQ(Run("report o.json --out a.pdf", epoch).code, 0);
    ASSERT_EQ(Run("report o.json --out b.pdf", epoch).code, 0);
    EXPECT_EQ(qor::test::ReadFile(dir_.File("a.pdf")), qor::test::ReadFile(dir_.File("b.pdf")));
    std::vector<std::string> titles;
    for (const auto& city : qor::test::PdfOutline(dir_.File("a.pdf"))) {
        titles.push_back(city.title);
        for (const auto& customer : city.kids) titles.push_back("  " + customer.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Gent", "  Acme NV", "  Bolt BV", "Leuven", "  Crux SA"}));
}

// The workbook as Calc shows it: the stored results of the sum formulas are what LibreOffice
// computes from the cells (Calc shows stored results without recalculating).
TEST_F(QorprintReport, ExportsAWorkbookWhoseStoredSumsLibreOfficeConfirms) {
    Write("sales.json", Definition());
    EXPECT_EQ(Run("report sales.json --to xlsx --out no/folder/book.xlsx").code, 4);
    const Result r = Run("report sales.json --to xlsx --out book.xls --lang en");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, dir_.File("book.xlsx") + "\n");
    const std::string cells = qor::test::Shell(
        "/usr/bin/python3 -c " +
        Quote("import sys, openpyxl\nws = openpyxl.load_workbook(sys.argv[1]).active\n"
              "print([(c.coordinate, c.value) for row in ws.iter_rows() for c in row if c.value is not None])") +
        " " + Quote(dir_.File("book.xlsx")));
    // Title, captions, the first record from column B, a sub-total as a sum over its group.
    for (const char* expected : {"('A3', 'Sales Report')", "('A5', 'Test subtitle')", "('B8', 'CITY')",
                                 "('E8', 'AMOUNT')", "('B9', 'Gent')", "'=SUM(", "1234.5"})
        EXPECT_NE(cells.find(expected), std::string::npos) << expected << " missing in " << cells;
    EXPECT_EQ(cells.find("Foot note text"), std::string::npos) << cells;

    int status = -1;
    const std::string check = qor::test::Shell(
        "/usr/bin/python3 " + Quote(QOR_SOURCE_DIR "/tests/tools/xlsx_recalc.py") + " " +
            Quote(dir_.File("book.xlsx")), &status);
    EXPECT_EQ(status, 0) << check;
    EXPECT_NE(check.find("F12 =SUM(F11:F1) 30 30"), std::string::npos) << check;  // Acme's sub-total
    // The totals label inserts a column before the figures; the sum start rows stay with
    // the column numbers, so the amounts' total sums the whole column, sub-totals included.
    EXPECT_NE(check.find("F69 =SUM(F68:F1) 2539 2539"), std::string::npos) << check;
}

TEST_F(QorprintReport, PrintsOnTheNamedQueueAndListsPrinters) {
    qor::test::EnsureTestSpooler();
    const Result list = Run("printers");
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_NE(list.out.find("PrinterA"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("Upper"), std::string::npos) << list.out;
    Write("sales.json", Definition());
    const int32_t before = qor::test::LastJob("PrinterB");
    ASSERT_EQ(Run("report sales.json --to printer --printer PrinterB").code, 0);
    ASSERT_EQ(qor::test::JobsSince("PrinterB", before).size(), 1u);  // waits until the queue has written it
    const std::string printed = qor::test::PdfText(qor::test::SpoolerOutDir() + "/PrinterB.pdf");
    EXPECT_NE(printed.find("Sales Report"), std::string::npos) << printed;
    EXPECT_EQ(Run("report sales.json --to printer --printer PrinterNoCopies --copies 3").code, 4);
}

}  // namespace
