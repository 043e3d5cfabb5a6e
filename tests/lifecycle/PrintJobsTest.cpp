// Print-job planning, documents printed directly and written as PDF, read back from the
// private test spooler and from the files.
#include "lifecycle/LifecycleSupport.h"

#include "core/PrintJobs.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Pdf.h"

#include <qor/Recordset.h>
#include <qor/clsRapport.h>

#include <filesystem>
#include <thread>

namespace qor {

// How a failed expectation shows a job.
void PrintTo(const PrintJob& job, std::ostream* out) {
    if (job.FromPage > 0) *out << "{pages " << job.FromPage << " to " << job.ToPage;
    else *out << "{list \"" << job.Pages << '"';
    *out << ", bin " << job.Bin << ", copies " << job.Copies << '}';
}

namespace {

using test::LifecycleTest;
using Ranges = std::vector<std::pair<int32_t, int32_t>>;

PrintJob Span(int32_t from, int32_t to, int32_t bin) { return {from, to, "", bin, 2}; }
PrintJob List(const char* pages, int32_t bin) { return {0, 0, pages, bin, 2}; }

TEST(PrintPlan, RangeFirstAndSecondBinGiveTheJobs) {
    constexpr int32_t kFirst = 1;
    constexpr int32_t kSecond = 3;
    const struct { const char* range; int32_t pages; int32_t second; std::vector<PrintJob> jobs; } cases[] = {
        // one bin: everything, a single page as a span, anything else as the list typed
        {"", 12, 0, {List("", kFirst)}}, {"   ", 12, 0, {List("", kFirst)}},
        {"7", 12, 0, {Span(7, 7, kFirst)}}, {"2,4", 12, 0, {List("2,4", kFirst)}},
        {"012", 12, 0, {List("012", kFirst)}}, {" 7", 12, 0, {List(" 7", kFirst)}},
        {"1-1", 12, 0, {List("1-1", kFirst)}},
        // page 1 from the first bin, the rest from the second
        {"", 12, kSecond, {Span(1, 1, kFirst), Span(2, 12, kSecond)}}, {"", 1, kSecond, {List("", kFirst)}},
        {"  ", 1, kSecond, {List("", kFirst)}}, {"1", 12, kSecond, {Span(1, 1, kFirst)}},
        {"1-5", 12, kSecond, {Span(1, 1, kFirst), List("2-5", kSecond)}},
        {"1-", 12, kSecond, {Span(1, 1, kFirst), List("2-", kSecond)}},
        {"1,3,5", 12, kSecond, {Span(1, 1, kFirst), List("3,5", kSecond)}},
        {"1,3", 12, kSecond, {Span(1, 1, kFirst), List("3", kSecond)}}, {"4-6", 12, kSecond, {List("4-6", kSecond)}},
        {"12", 12, kSecond, {Span(12, 12, kSecond)}}, {"10-12", 12, kSecond, {List("10-12", kSecond)}},
        {"012", 12, kSecond, {List("012", kSecond)}}, {" 7", 12, kSecond, {List(" 7", kSecond)}},
        {" 1", 12, kSecond, {List(" 1", kSecond)}},   // untrimmed: not exactly "1"
        // a remainder without pages prints nothing more
        {"1-1", 12, kSecond, {Span(1, 1, kFirst)}}, {"1,", 12, kSecond, {Span(1, 1, kFirst)}},
        {"1-", 1, kSecond, {Span(1, 1, kFirst)}}, {"1-1,4", 12, kSecond, {Span(1, 1, kFirst), List("4", kSecond)}},
        {"-0", 12, 0, {List("-0", kFirst)}}, {"99999999999", 12, 0, {List("99999999999", kFirst)}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlanPrintJobs(c.range, c.pages, kFirst, c.second, 2), c.jobs)
            << '"' << c.range << "\" of " << c.pages << " pages, second bin " << c.second;
    }
}

using PrintJobs = LifecycleTest;

TEST_F(PrintJobs, SecondBinPrintsPageOneAndTheRestAsTwoJobs) {
    const int32_t before = test::LastJob("PrinterA");
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 0, 1, 2, 9, "", 3));
    DrawPages(lib, 3);
    EXPECT_TRUE(lib.PrEndDoc());

    const std::vector<test::JobAttributes> jobs = test::JobsSince("PrinterA", before);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].PageRanges, (Ranges{{1, 1}}));
    EXPECT_EQ(jobs[0].InputSlot, "");  // the printer's own choice
    EXPECT_EQ(jobs[1].PageRanges, (Ranges{{2, 3}}));
    EXPECT_EQ(jobs[1].InputSlot, "Middle");
    EXPECT_EQ(jobs[1].Copies, 2);
    // the queue keeps what it printed last: pages 2 and 3
    const std::string out = test::SpoolerOutDir() + "/PrinterA.pdf";
    EXPECT_EQ(test::PdfPages(out), 2);
    EXPECT_EQ(test::PdfText(out).find("Page 1"), std::string::npos);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintJobs, CopiesThePrinterCannotMakeAreRefusedWithAMessage) {
    for (const char* printer : {"PrinterA", "PrinterNoCopies"}) {
        messages_.clear();
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(printer, 0, 1, 3));
        const bool refused = std::string(printer) == "PrinterNoCopies";
        EXPECT_EQ(lib.VPrinter->Copies(), refused ? 1 : 3) << printer;
        ASSERT_EQ(messages_.size(), refused ? 1u : 0u) << printer;
        EXPECT_TRUE(!refused || messages_[0].text.find("ondersteunt geen meervoudige oplage") != std::string::npos);
        lib.PrEmptyReport();
    }
}

TEST_F(PrintJobs, NamedPrinterIsTakenApartWithoutDialogInPreviewOrUnattended) {
    // attended, a dialog would be shown (and seen by the spy)
    const struct { const char* name; int16_t mode; const char* printer; int32_t bin; const char* binName; int32_t paperBin; }
        cases[] = {
            {"printerb", 1, "printerb", 7, "", 15},
            {"x;PrinterA", 1, "PrinterA", 7, "", 15},
            {"2;PrinterA;Lower", 1, "PrinterA", 2, "Lower", 2},
            {"2;PrinterOneTray;Lower", 1, "PrinterOneTray", 2, "Lower", 15},
            {"14;PrinterB;Cassette", 1, "PrinterB", 14, "Cassette", 14},
            // unattended: the named printer, else the default one
            {"Gone", 0, "PrinterA", 15, "", 15},
            {"", 0, "PrinterA", 15, "", 15},
            {"2;PrinterA;Lower Tray", 0, "PrinterA", 2, "Lower Tray", 2},
            {"14;PrinterB", 0, "PrinterB", 14, "", 14},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GenServices().Unattended = c.mode == 0;
        modqorPrintLib().NewDefaultPrinter = c.mode == 0 ? "15;PrinterB" : "";
        test::ModalSpy spy;
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(c.name, c.mode));
        EXPECT_TRUE(spy.Seen().empty());
        EXPECT_EQ(modqorPrintLib().SelectedPrinter, c.printer);
        EXPECT_EQ(modqorPrintLib().SelectedBin, c.bin);
        EXPECT_EQ(modqorPrintLib().SelectedBinName, c.binName);
        EXPECT_EQ(lib.VPrinter->PaperBin(), c.paperBin);
        EXPECT_EQ(lib.DefaultPrinter, "");  // the default box is not ticked
        if (c.mode == 1) { EXPECT_FALSE(lib.PrEndDoc()); }  // no preview layer: closed at once
        lib.PrEmptyReport();
    }
}

TEST_F(PrintJobs, PaperAndOrientationGiveTheScale) {
    const struct { int32_t orient, paper; float width, height; } cases[] = {
        {1, 9, 210, 297}, {2, 9, 297, 210}, {1, 11, 148, 210},
    };
    for (const auto& c : cases) {
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter("PrinterA", 1, c.orient, 1, c.paper));
        EXPECT_NEAR(lib.PrScaleWidth, c.width, 0.5) << c.orient << " " << c.paper;
        EXPECT_NEAR(lib.PrScaleHeight, c.height, 0.5) << c.orient << " " << c.paper;
        EXPECT_EQ(lib.VPrinter->Orientation(), c.orient == 1 ? 0 : 1);
        lib.PrEmptyReport();
    }
}

TEST_F(PrintJobs, AReportThatFailsLeavesThePointerRestored) {
    test::TempDir folder;
    clsRapport report;
    report.Init("", 3, 1, 1, 9, folder.File("r.pdf"));
    EXPECT_TRUE(PointerIsBusy());
    report.SetCol(0, 100, "Customer", "no_such_field", frmtText, 0);
    report.SetRt(std::make_shared<MemoryRecordset>(std::vector<std::string>{"customer"},
                                                   std::vector<std::vector<Variant>>{{Variant("Acme")}}));
    test::ExpectRuntimeError(kErrItemNotFound, [&] { report.EndDoc(); });
    EXPECT_FALSE(PointerIsBusy());
}

using PdfMode = LifecycleTest;

TEST_F(PdfMode, AFailedWriteIsShownAndKeepsTheOlderFile) {
    test::TempDir folder;
    test::WriteFile(folder.File("afile"), "not a folder");
    // A name as long as a name may be: the file exists, its temporary sibling cannot.
    const std::string longName = folder.File(std::string(250, 'x') + ".pdf");
    test::WriteFile(longName, "older");
    for (const std::string& file : {folder.File("afile/x.pdf"), folder.File("none/x.pdf"), longName}) {
        SCOPED_TRACE(file);
        messages_.clear();
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
        DrawPages(lib, 1);
        EXPECT_FALSE(lib.PrEndDoc());
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].style, kMsgCritical);
        EXPECT_NE(messages_[0].text.find(file), std::string::npos) << messages_[0].text;
        EXPECT_FALSE(PointerIsBusy());
    }
    EXPECT_EQ(test::ReadFile(longName), "older");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "no partial file";
}

TEST_F(PdfMode, WritesTheWholeDocumentWithoutWindowsToTheFileGivenOrToTheDocumentsFolder) {
    test::TempDir home;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> savedConfig = config ? std::optional<std::string>(config) : std::nullopt;
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.File("config").c_str(), 1);  // no user-dirs file of the user's
    std::filesystem::create_directory(home.File("Documents"));
    for (const std::string& file : {home.File("out.pdf"), std::string()}) {
        const std::string expected = file.empty() ? home.File("Documents/Document.pdf") : file;
        test::ModalSpy spy;
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
        EXPECT_EQ(modqorPrintLib().PdfExportFile, expected);
        DrawPages(lib, 2);
        EXPECT_TRUE(lib.PrEndDoc());
        EXPECT_TRUE(spy.Seen().empty());
        EXPECT_TRUE(messages_.empty());
        EXPECT_EQ(test::PdfPages(expected), 2);
        EXPECT_NE(test::PdfText(expected).find("Page 2"), std::string::npos);
        EXPECT_EQ(lib.PrPdfFile, "");  // only a preview leaves its file there
    }
    std::filesystem::remove_all(home.File("Documents"));  // no documents folder: the home folder
    EXPECT_EQ(DefaultPdfFile(), home.File("Document.pdf"));
    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedConfig) ::setenv("XDG_CONFIG_HOME", savedConfig->c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(PdfMode, WorkerThreadsMakePdfsWithoutWindowsEvenWhenAttended) {
    test::TempDir folder;
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&, i] {
            GenServices().Unattended = false;  // still no window off the GUI thread
            clsqorPrintLib lib;
            if (!lib.InitPrinter("", 3, 1, 1, 9, folder.File("w" + std::to_string(i) + ".pdf"))) return;
            for (int page = 0; page < i; ++page) lib.PrNewPage();
            lib.PrEndDoc();
        });
    }
    for (std::thread& worker : workers) worker.join();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(test::PdfPages(folder.File("w" + std::to_string(i) + ".pdf")), i + 1);
}

TEST_F(PrintJobs, WithoutPrintServerPreviewWorksAndPrintingRefuses) {
    test::NoPrintServer none;
    clsqorPrintLib lib;
    modqorPrintLib().SelectedPrinter = "PrinterA";
    modqorPrintLib().SelectedBin = 2;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 0);
    EXPECT_TRUE(lib.VPrinter->IsDocOpen());
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(lib.PrEndDoc());

    EXPECT_FALSE(lib.InitPrinter("PrinterA", 0));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find("geen enkele printer"), std::string::npos) << messages_[0].text;
    EXPECT_EQ(messages_[0].style, 0);
    EXPECT_FALSE(lib.VPrinter->IsDocOpen());
}

}  // namespace
}  // namespace qor
