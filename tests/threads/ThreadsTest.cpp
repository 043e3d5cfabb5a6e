// Eight threads render documents at once: each its own kind of document (four reports over
// SQLite files the test makes, four hand-drawn letters), in its own language and locale, 50
// times. Every PDF must be byte for byte the PDF the same document gives when rendered alone:
// the references are rendered one after the other on the main thread of a second process
// (this program again), so that the threads here meet the library's caches still empty. The
// PDF's date comes from SOURCE_DATE_EPOCH (set before the threads start) and its /ID is a hash
// of its bytes, so equal documents are equal files.
//
// The documents are small (a page or two) so that the test also runs in reasonable time under
// ThreadSanitizer (the third stage of scripts/test.sh runs it there: `ctest -L threads`).
#include <sqlite3.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <qor/Format.h>
#include <qor/Picture.h>
#include <qor/GenServices.h>
#include <qor/RtfText.h>
#include <qor/SqliteRecordset.h>
#include <qor/Texts.h>
#include <qor/Variant.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include "support/Files.h"
#include "support/Process.h"

namespace qor::test {
namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 50;

constexpr int32_t kLightYellow = 0xE0FFFF;  // &HBBGGRR
constexpr int32_t kDarkBlue = 0x7D491F;
constexpr int32_t kRed = 0x1D1DC0;

// ---- The databases -------------------------------------------------------------------------

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        FAIL() << sql << ": " << message;
    }
}

// The sample database of the reports: customers' invoices, a stock list and orders with dates.
void MakeDatabase(const std::string& file) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    Exec(db, "BEGIN");
    Exec(db, "CREATE TABLE invoices (customer TEXT, number INTEGER, amount REAL, vat REAL, kind INTEGER)");
    Exec(db, "CREATE TABLE stock (item TEXT, place TEXT, quantity INTEGER, price REAL)");
    Exec(db, "CREATE TABLE orders (customer TEXT, ordered TEXT, weight REAL, lines INTEGER)");
    const char* customers[] = {"Janssens & Partners", "Peeters bvba", "Société Dupont",
                               "Maes NV", "Vermeulen", "Lambert & Fils"};
    for (int i = 0; i < 36; ++i) {
        Exec(db, "INSERT INTO invoices VALUES ('" + std::string(customers[i % 6]) + "', " +
                     std::to_string(2024000 + i * 7) + ", " + std::to_string(i * 137.25 + 12.5) + ", " +
                     std::to_string(i % 3 == 0 ? 6 : 21) + ", " + std::to_string(i % 10) + ")");
        Exec(db, "INSERT INTO stock VALUES ('Article " + std::to_string(100 + i) +
                     (i % 4 == 0 ? " with a rather long description that does not fit its column" : "") +
                     "', 'Hall " + std::string(1, static_cast<char>('A' + i % 3)) + "', " +
                     std::to_string((i * 37) % 500) + ", " + std::to_string(1.5 + i * 3.75) + ")");
        Exec(db, "INSERT INTO orders VALUES ('" + std::string(customers[(i * 5) % 6]) + "', '2026-0" +
                     std::to_string(1 + i % 9) + "-" + std::to_string(10 + i % 18) + "', " +
                     std::to_string(i * 12.125) + ", " + std::to_string(1 + i % 7) + ")");
    }
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

// ---- The documents -------------------------------------------------------------------------

// What one thread renders: a document written as PDF into `file`, in the calling thread's
// language and locale (set by the caller).
using Render = std::function<void(const std::string& db, const std::string& file)>;

// Invoices per customer: merged customer column, sub-totals and totals, a column of library
// texts in the thread's language (LLGenLib), VAT as a percentage.
void InvoiceReport(const std::string& db, const std::string& file) {
    clsqorPrintLib lib;
    clsRapport& r = lib.PrRapport();
    r.Init("", 3, 1, 1, 9, file);
    r.Title = "Invoices per customer";
    r.SubTitle = Format(Variant::FromDate(MakeDate(2026, 3, 14)), "dddd d mmmm yyyy");
    r.FootNote = "Confidential";
    r.FootNoteDate = false;  // today's date would differ between runs around midnight
    r.MaxMergeCol = 0;
    r.SetCol(0, 50, "Customer", "customer", frmtText, 0, false, "", true, 0, 1, 0, 2);
    r.SetCol(1, 25, "Number", "number", frmtNumber, 1);
    r.SetCol(2, 35, "Text", "kind", frmtText, 0, false, "", true, 1000);
    r.SetCol(3, 20, "VAT", "vat", frmtPercentDec, 1);
    r.SetCol(4, 50, "Amount", "amount", frmtAmount2, 1, false, "", false, 0, 1, 0, 1);
    r.SetRt(SqliteRecordset::Open(db, "SELECT * FROM invoices ORDER BY customer, number"));
    r.EndDoc();
}

// The stock list in landscape: texts fitted with "...", counts as totals, a bold coloured column.
void StockReport(const std::string& db, const std::string& file) {
    clsqorPrintLib lib;
    clsRapport& r = lib.PrRapport();
    r.Init("", 3, 2, 1, 9, file);
    r.Title = "Stock";
    r.FootNoteDate = false;
    r.PageNbr = true;
    r.SetCol(0, 30, "Place", "place", frmtText, 0, false, "", false, 0, 0, -1, 2);
    r.SetCol(1, 120, "Item", "item", frmtText, 0, false, "", true);
    r.SetCol(2, 40, "Quantity", "quantity", frmtNumber, 1, false, "", false, 0, 0, -1, 1);
    r.SetCol(3, 40, "Price", "price", frmtEuroSign2, 1, true, "", false, 0, 0, -1, 0, psCustom, "B", 10,
             "Times New Roman", kDarkBlue);
    r.SetCol(4, 40, "Value", "quantity", frmtCurrency, 1);
    r.SetRt(SqliteRecordset::Open(db, "SELECT * FROM stock ORDER BY place, item"));
    r.EndDoc();
}

// Orders with their dates through a format pattern (the locale's month names), grouped by
// customer with sub-totals of the weight and counts of the lines.
void OrderReport(const std::string& db, const std::string& file) {
    clsqorPrintLib lib;
    clsRapport& r = lib.PrRapport();
    r.Init("", 3, 1, 1, 9, file);
    r.Title = "Orders";
    r.SubTitle = "2026";
    r.FootNoteDate = false;
    r.SetCol(0, 55, "Customer", "customer", frmtText, 0, false, "", false, 0, 2, 0, 2);
    r.SetCol(1, 50, "Ordered", "ordered", frmtText, 0, false, "d mmmm yyyy");
    r.SetCol(2, 40, "Weight", "weight", frmtNumberDec, 1, false, "", false, 0, 1, 0, 1);
    r.SetCol(3, 35, "Lines", "lines", frmtNumberNoZero, 1, false, "", false, 0, 1, 0, 1);
    r.SetRt(SqliteRecordset::OpenNamed(db, "SELECT * FROM orders WHERE lines >= :least ORDER BY customer, ordered",
                                       {{"least", Variant(2)}}));
    r.EndDoc();
}

// VAT summary: one row per rate, sums in SQL, formatted with a pattern.
void VatReport(const std::string& db, const std::string& file) {
    clsqorPrintLib lib;
    clsRapport& r = lib.PrRapport();
    r.Init("", 3, 1, 1, 9, file);
    r.Title = "VAT summary";
    r.FootNote = "Amounts in euro";
    r.FootNoteDate = false;
    r.SetCol(0, 40, "Rate", "vat", frmtPercent, 1);
    r.SetCol(1, 40, "Invoices", "n", frmtNumber, 1, false, "", false, 0, 0, -1, 1);
    r.SetCol(2, 50, "Base", "base", frmtText, 1, false, "#,##0.00");
    r.SetCol(3, 50, "VAT", "tax", frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetRt(SqliteRecordset::Open(
        db, "SELECT vat, COUNT(*) AS n, SUM(amount) AS base, SUM(amount * vat / 100) AS tax "
            "FROM invoices GROUP BY vat ORDER BY vat"));
    r.EndDoc();
}

// A letter's table of amounts in several formats, in the thread's locale.
void Amounts(clsqorPrintLib& lib, float top, double scale) {
    lib.PrBox(0, top - 2, 190, top + 30);
    lib.PrItem(2, top, Variant(GetText(1002)), frmtText, alignLeft, psCaps);
    lib.PrItem(188, top, Variant("Amount"), frmtText, alignRight, psCaps);
    lib.PrLine(0, top + 4, 190, top + 4, 5);
    lib.T = top + 2;
    double total = 0;
    for (int i = 0; i < 4; ++i) {
        const double amount = (i + 1) * 1234.567 * scale;
        total += amount;
        lib.PrItem(2, 0, Variant("Line " + std::to_string(i + 1)), frmtText, alignLeft);
        const float y = lib.T;
        lib.PrNbrDec = 1;
        lib.PrItem(100, y, Variant(amount / 7), frmtNumber, alignRight);
        lib.PrItem(130, y, Variant(amount / 3), frmtEuroSign2, alignRight);
        lib.PrNbrDec = 2;
        lib.PrItem(150, y, Variant(6.0 + i * 5), frmtPercentDec, alignRight);
        lib.PrNbrDec = 0;
        lib.PrItem(188, y, Variant(amount), frmtAmount2, alignRight);
    }
    lib.PrItem(120, top + 24, Variant("Total"), frmtText, alignLeft, psBold);
    lib.PrItem(188, top + 24, Variant(total), frmtEuroCode2, alignRight, psBold);
}

const char* kBody =
    "Thank you for your order of 12 March. We are glad to confirm that all the goods have been "
    "delivered to your office, and we enclose the invoice for the yearly supply contract below.\r\n"
    "As agreed, the unit prices of the contract remain unchanged for the whole of this year. The "
    "amounts are shown in euro; for your records we add the total in Belgian francs as well.\r\n"
    "Should anything be missing or damaged, please let us know within eight days.";

// An invoice letter: letterhead (picture and texts), address, a dated line in the locale's
// long date, wrapped text in a filled box flowing into a second column, amounts, check boxes.
void InvoiceLetter(const std::string&, const std::string& file) {
    clsqorPrintLib lib;
    lib.InitPrinter("", 3, kOrientPortrait, 1, kPaperA4, file);
    lib.PrLogo("A", "Qor", "Office Supplies", layLeft);
    lib.PrLine(0, 30, 190, 30, 15, kDarkBlue);
    lib.T = 38;
    for (const char* line : {"Mrs A. Janssens", "Janssens & Partners", "Bondgenotenlaan 101", "3000 Leuven"})
        lib.PrItem(110, 0, Variant(line), frmtText, alignLeft);
    lib.PrItem(190, 64, Variant(Format(Variant::FromDate(MakeDate(2026, 2, 27)), "Long Date")), frmtText,
               alignRight);
    lib.PrItem(0, 72, Variant(lib.PrLeft("Our reference: INV-2026-000123 / customer 4711 / yearly supply", 80.0f)),
               frmtText, alignLeft);
    const std::string rest = lib.PrBoxText(0, 80, 92, 112, kBody, true, alignLeft, psNormal, "", 10, kDarkBlue,
                                           kLightYellow);
    if (!rest.empty())
        lib.PrBoxText(98, 80, 190, 112, rest, true, alignLeft, psNormal, "", 10, kDarkBlue, kLightYellow, 9,
                      "Arial", true);
    Amounts(lib, 122, 1.0);
    lib.PrCheckBox(0, 160.5, kChecked);
    lib.PrItem(5, 160, Variant("Bank transfer"), frmtText, alignLeft);
    lib.PrCheckBox(40, 160.5, kUnchecked);
    lib.PrItem(45, 160, Variant("Cash"), frmtText, alignLeft);
    lib.PrCheckBox(70, 160.5, kGrayed);
    lib.PrCircle(165, 175, 11, 25, kRed);
    lib.PrItem(165, 172.5, Variant("PAID"), frmtText, alignCenter, psCustom, "B", 13, "Arial", kRed);
    lib.PrItem(95, 278, Variant(GetText(1000) + "1" + GetText(1001) + "1"), frmtText, alignCenter, psSmall);
    lib.PrEndDoc();
}

// A reminder: a frame with a title band, centred wrapped text, a rounded box, numbers in
// words of the locale's formats, and rich text.
void ReminderLetter(const std::string&, const std::string& file) {
    clsqorPrintLib lib;
    lib.InitPrinter("", 3, kOrientPortrait, 1, kPaperA4, file);
    lib.PrFrame(1, 0, 0, 190, 200, kLightYellow);
    lib.PrItem(2, 0.7f, Variant("Reminder"), frmtText, alignLeft, psBold);
    lib.PrItem(188, 0.7f, Variant(Format(Variant::FromDate(MakeDate(2026, 11, 3)), "dddd d mmm yyyy")),
               frmtText, alignRight);
    lib.PrBoxText(10, 12, 180, 60, std::string(kBody) + "\r\n" + kBody, false, alignCenter, psNormal, "", 10, 0,
                  std::nullopt, 11, "Times New Roman");
    lib.PrBox(40, 70, 150, 95, 10, kDarkBlue, std::nullopt, true, 4);
    lib.PrBoxText(42, 73, 148, 93, "Please pay " + Format(Variant(9876.5), "Currency") + " before " +
                                       Format(Variant::FromDate(MakeDate(2026, 12, 1)), "Short Date") + ".",
                  false, alignCenter, psBold);
    lib.PrRTF(RtfText("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0\\fs20 "
                      "This reminder concerns invoice {\\b INV-2026-000123}. It repeats the "
                      "{\\i general terms} that apply to every delivery.\\par "
                      "{\\f1 Paid amounts are deducted.}\\par}"),
              110, 17, 17);
    Amounts(lib, 140, 0.37);
    lib.PrEndDoc();
}

// A statement of two pages: many formatted values in columns, a fitted text per line, lines.
void StatementLetter(const std::string&, const std::string& file) {
    clsqorPrintLib lib;
    lib.InitPrinter("", 3, kOrientPortrait, 1, kPaperA4, file);
    for (int page = 0; page < 2; ++page) {
        if (page > 0) lib.PrNewPage();
        lib.PrItem(0, 0, Variant("Statement " + std::to_string(page + 1)), frmtText, alignLeft, psTitle);
        lib.T = 12;
        for (int i = 0; i < 20; ++i) {
            const double value = (page * 20 + i) * 271.3 - 900;
            lib.PrItem(0, 0, Variant(Format(Variant::FromDate(MakeDate(2026, 1 + i % 12, 1 + i)), "dd mmm yy")),
                       frmtText, alignLeft, psSmall);
            const float y = lib.T;
            lib.PrItem(30, y, Variant(lib.PrLeft("Delivery of goods and services, order number " +
                                                     std::to_string(5000 + i),
                                                 70.0f, 8)),
                       frmtText, alignLeft, psSmall);
            lib.PrItem(130, y, Variant(value), frmtAmount2, alignRight);
            lib.PrItem(160, y, Variant(Format(Variant(value), "#,##0.00;(#,##0.00)")), frmtText, alignRight);
            lib.PrItem(188, y, Variant(value / 1000), frmtNumberDecNoZero, alignRight);
            lib.PrLine(0, y + 4, 190, y + 4, 1, 0xC0C0C0);
        }
    }
    lib.PrEndDoc();
}

// General terms: letterhead of the generic design, rich text with lists and a table, a page
// frame on the second page.
void TermsLetter(const std::string&, const std::string& file) {
    clsqorPrintLib lib;
    lib.InitPrinter("", 3, kOrientPortrait, 1, kPaperA4, file);
    lib.PrLogo("16", "Terms", "", layLeft);
    lib.PrRTF(RtfText("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs22 "
                      "{\\b 1. Scope.} These terms apply to every delivery.\\par "
                      "{\\b 2. Prices.} Prices are in euro, VAT excluded.\\par "
                      "\\trowd\\cellx3000\\cellx6000 Net\\cell 30 days\\cell\\row "
                      "\\trowd\\cellx3000\\cellx6000 Discount\\cell 2 %\\cell\\row "
                      "{\\i 3. Claims} must reach us within eight days.\\par}"),
              40, 20, 20);
    lib.PrNewPage();
    lib.PrFrame(2, 0, 0, 190, 120);
    lib.PrItem(2, 1, Variant(GetText(1003)), frmtText, alignLeft, psBold);
    lib.PrItem(2, 5.5f, Variant(GetText(1004)), frmtText, alignLeft);
    lib.PrBoxText(5, 15, 185, 110, std::string(kBody) + "\r\n" + kBody, true, alignRight, psNormal, "", 10,
                  kRed, std::nullopt, 10, "Courier New");
    lib.PrEndDoc();
}

// Where `a` and `b` first differ, with a few bytes of each from there (for failure messages).
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    const auto around = [&](const std::string& s) {
        std::string part = s.substr(i < 40 ? 0 : i - 40, 100);
        for (char& c : part)
            if (c < 32 || c > 126) c = '.';
        return part;
    };
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + ", first difference at byte " +
           std::to_string(i) + ":\n  " + around(a) + "\n  " + around(b);
}

struct Job {
    const char* name;
    Render render;
    const char* locale;
    int32_t languageOffset;
};

const std::vector<Job>& Jobs() {
    static const std::vector<Job> jobs = {
        {"invoice-report", InvoiceReport, "nl_BE", 0},
        {"stock-report", StockReport, "fr_BE", 10000},
        {"order-report", OrderReport, "en_GB", 20000},
        {"vat-report", VatReport, "de_DE", 10000},
        {"invoice-letter", InvoiceLetter, "fr_FR", 10000},
        {"reminder-letter", ReminderLetter, "en_US", 20000},
        {"statement-letter", StatementLetter, "nl_NL", 0},
        {"terms-letter", TermsLetter, "de_CH", 20000},
    };
    return jobs;
}

// Sets the calling thread up for `job` (unattended, its language and locale) and renders it.
void RenderJob(const Job& job, const std::string& db, const std::string& file) {
    GenServicesObject& services = GenServices();
    services.Unattended = true;
    services.Locale = job.locale;
    clsqorPrintLib setUp;
    setUp.PrSetUpDLL(Application{"threads_tests", QOR_SOURCE_DIR}, job.languageOffset);
    job.render(db, file);
}

class ThreadsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Environment first, while the process has one thread: setenv is not thread-safe.
        setenv("QORPRINT_UNATTENDED", "1", 1);
        setenv("SOURCE_DATE_EPOCH", "1767225600", 1);  // 2026-01-01 00:00:00 UTC
        setenv("QORPRINT_DATA_DIR", QOR_SOURCE_DIR "/examples/headers", 1);
        // Qt loads its image plug-ins with the first picture; loaded on a thread that ends
        // before the program, they can corrupt the heap at exit (see README, Threads). The
        // program decodes its first pictures on the main thread, as README tells clients to.
        (void)Picture::FromFile(QOR_SOURCE_DIR "/examples/headers/Headers/Header.A.png");
        (void)Picture::FromFile(QOR_SOURCE_DIR "/examples/headers/Headers/Header.16.jpg");
    }
};

// Set in the process that renders the references: the folder to write them into.
constexpr const char* kReferenceVariable = "QOR_THREADS_TEST_REFERENCES";

std::string ReferenceFile(const std::string& folder, const Job& job) {
    return folder + "/" + job.name + ".pdf";
}

TEST_F(ThreadsTest, EightThreadsRenderTheirDocumentsAsWhenAlone) {
    const std::vector<Job>& jobs = Jobs();
    ASSERT_EQ(jobs.size(), static_cast<std::size_t>(kThreads));
    if (const char* folder = std::getenv(kReferenceVariable)) {
        // The reference process: each document alone, one after the other, on the main thread.
        for (const Job& job : jobs) RenderJob(job, std::string(folder) + "/sample.sqlite", ReferenceFile(folder, job));
        return;
    }

    TempDir dir;
    const std::string db = dir.File("sample.sqlite");
    MakeDatabase(db);
    ASSERT_FALSE(HasFatalFailure());

    // The references come from another process (this program again), so that this one starts
    // its threads with every cache of the library still empty: the threads fill them at once.
    int status = -1;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string output = Shell(std::string(kReferenceVariable) + "=" + Quote(dir.Path().string()) + " " +
                                         Quote(self) + " --gtest_filter=ThreadsTest.*",
                                     &status);
    ASSERT_EQ(status, 0) << output;
    std::vector<std::string> references;
    for (const Job& job : jobs) {
        references.push_back(ReadFile(ReferenceFile(dir.Path().string(), job)));
        ASSERT_GT(references.back().size(), 1000u) << job.name;
        ASSERT_EQ(references.back().compare(0, 5, "%PDF-"), 0) << job.name;
    }
    // Different documents, languages and locales give different files (else the comparison
    // below would prove little).
    for (std::size_t i = 0; i < references.size(); ++i)
        for (std::size_t j = i + 1; j < references.size(); ++j)
            EXPECT_NE(references[i], references[j]) << jobs[i].name << " and " << jobs[j].name;

    // The threads: all start together, each renders its document kRounds times.
    struct Outcome {
        int equal = 0;
        int firstDifferent = -1;
        std::string difference;
        std::string error;
    };
    std::vector<Outcome> outcomes(jobs.size());
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < jobs.size(); ++t) {
        threads.emplace_back([&, t] {
            const Job& job = jobs[t];
            Outcome& out = outcomes[t];
            ready.fetch_add(1);
            while (ready.load() < kThreads) std::this_thread::yield();
            try {
                for (int round = 0; round < kRounds; ++round) {
                    const std::string file = dir.File(std::string(job.name) + "-" + std::to_string(round % 2) + ".pdf");
                    std::filesystem::remove(file);  // a render that writes nothing must not pass
                    RenderJob(job, db, file);
                    const std::string pdf = ReadFile(file);
                    if (pdf == references[t]) {
                        ++out.equal;
                    } else if (out.firstDifferent < 0) {
                        out.firstDifferent = round;
                        out.difference = FirstDifference(references[t], pdf);
                    }
                }
            } catch (const std::exception& e) {
                out.error = e.what();
            }
        });
    }
    for (std::thread& th : threads) th.join();

    for (std::size_t t = 0; t < jobs.size(); ++t) {
        EXPECT_EQ(outcomes[t].error, "") << jobs[t].name;
        EXPECT_EQ(outcomes[t].equal, kRounds)
            << jobs[t].name << " (" << jobs[t].locale << ", offset " << jobs[t].languageOffset
            << "): first differing round " << outcomes[t].firstDifferent << ", " << outcomes[t].difference;
    }

    // Afterwards each document rendered alone here is still the same: the threads left no
    // shared state changed.
    for (std::size_t t = 0; t < jobs.size(); ++t) {
        const std::string file = dir.File(std::string(jobs[t].name) + "-after.pdf");
        RenderJob(jobs[t], db, file);
        const std::string pdf = ReadFile(file);
        EXPECT_TRUE(pdf == references[t]) << jobs[t].name << " rendered alone after the threads: "
                                          << FirstDifference(references[t], pdf);
    }
}

}  // namespace
}  // namespace qor::test
