// Documents printed directly and written as PDF, read back from the private test spooler
// and from the files.
#include "lifecycle/LifecycleSupport.h"
#include "spooler/TestSpooler.h"

#include "core/Surfaces.h"

#include <qor/GenServices.h>
#include <qor/ModuleState.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

namespace qor {
namespace {

using Ranges = std::vector<std::pair<int32_t, int32_t>>;

using test::LifecycleTest;

using PrintJobs = LifecycleTest;

TEST_F(PrintJobs, SecondBinPrintsPageOneAndTheRestAsTwoJobs) {
    const int32_t before = test::LastJob("PrinterA");
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 0, 1, 1, 9, "", 3));
    DrawPages(lib, 3);
    EXPECT_TRUE(lib.PrEndDoc());

    const std::vector<test::JobAttributes> jobs = JobsSince("PrinterA", before);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].PageRanges, (Ranges{{1, 1}}));
    EXPECT_EQ(jobs[0].InputSlot, "");  // the printer's own choice
    EXPECT_EQ(jobs[1].PageRanges, (Ranges{{2, 3}}));
    EXPECT_EQ(jobs[1].InputSlot, "Middle");
    // the queue keeps what it printed last: pages 2 and 3
    const std::string out = test::SpoolerOutDir() + "/PrinterA.pdf";
    EXPECT_EQ(test::PdfPages(out), 2);
    const std::string text = test::PdfText(out);
    EXPECT_NE(text.find("Page 3"), std::string::npos) << text;
    EXPECT_EQ(text.find("Page 1"), std::string::npos) << text;
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PrintJobs, OnePageWithSecondBinIsOneJobOfTheWholeDocument) {
    const int32_t before = test::LastJob("PrinterA");
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 0, 1, 1, 9, "", 3));
    DrawPages(lib, 1);
    EXPECT_TRUE(lib.PrEndDoc());

    const std::vector<test::JobAttributes> jobs = JobsSince("PrinterA", before);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(jobs[0].PageRanges.empty());
    EXPECT_EQ(jobs[0].InputSlot, "");
    EXPECT_EQ(jobs[0].Copies, 1);
}

TEST_F(PrintJobs, CopiesReachTheQueueOrAreRefusedWithAMessage) {
    const struct {
        const char* printer;
        int32_t copies;
        int32_t surfaceCopies;
        bool message;
    } cases[] = {
        {"PrinterA", 3, 3, false},
        {"PrinterNoCopies", 3, 1, true},
        {"PrinterNoCopies", 1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.printer) + " copies " + std::to_string(c.copies));
        messages_.clear();
        const int32_t before = test::LastJob(c.printer);
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(c.printer, 0, 1, c.copies));
        EXPECT_EQ(lib.VPrinter->Copies(), c.surfaceCopies);
        DrawPages(lib, 1);
        EXPECT_TRUE(lib.PrEndDoc());
        if (c.message) {
            ASSERT_EQ(messages_.size(), 1u);
            EXPECT_EQ(messages_[0].text,
                      "De Printer  [PrinterNoCopies]  ondersteunt geen meervoudige oplage...");
            EXPECT_EQ(messages_[0].style, kMsgInformation);
            EXPECT_EQ(messages_[0].title, "Afdrukken Document");
        } else {
            EXPECT_TRUE(messages_.empty());
        }
        const std::vector<test::JobAttributes> jobs = JobsSince(c.printer, before);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs[0].Copies, c.surfaceCopies);
    }
}

TEST_F(PrintJobs, ThreePartPrinterStringChoosesTheTrayOnlyWhereThePrinterHasIt) {
    const struct {
        const char* name;
        const char* printer;
        const char* slot;
    } cases[] = {
        {"2;PrinterA;Lower Tray", "PrinterA", "Lower"},
        {"2;PrinterOneTray;Lower Tray", "PrinterOneTray", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t before = test::LastJob(c.printer);
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(c.name, 0));
        EXPECT_EQ(modqorPrintLib().SelectedPrinter, c.printer);
        EXPECT_EQ(modqorPrintLib().SelectedBin, 2);
        EXPECT_EQ(modqorPrintLib().SelectedBinName, "Lower Tray");
        DrawPages(lib, 2);
        EXPECT_TRUE(lib.PrEndDoc());
        const std::vector<test::JobAttributes> jobs = JobsSince(c.printer, before);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs[0].InputSlot, c.slot);
    }
}

TEST_F(PrintJobs, NamedPrinterInPreviewModeIsTakenApartWithoutDialog) {
    GenServices().Unattended = false;  // a dialog would be shown (and seen by the spy)
    const struct {
        const char* name;
        const char* printer;
        int32_t bin;
        const char* binName;
        int32_t paperBin;
    } cases[] = {
        {"PrinterB", "PrinterB", 7, "", 15},
        {"printerb", "printerb", 7, "", 15},
        {"x;PrinterA", "PrinterA", 7, "", 15},
        {"7;PrinterA;Tray 1", "PrinterA", 7, "Tray 1", 15},
        {"2;PrinterA;Lower", "PrinterA", 2, "Lower", 2},
        {"2;PrinterOneTray;Lower", "PrinterOneTray", 2, "Lower", 15},
        {"14;PrinterB;Cassette", "PrinterB", 14, "Cassette", 14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ModalSpy spy;
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(c.name, 1));
        EXPECT_TRUE(spy.Seen().empty());
        EXPECT_EQ(modqorPrintLib().SelectedPrinter, c.printer);
        EXPECT_EQ(modqorPrintLib().SelectedBin, c.bin);
        EXPECT_EQ(modqorPrintLib().SelectedBinName, c.binName);
        EXPECT_EQ(lib.VPrinter->PaperBin(), c.paperBin);
        EXPECT_FALSE(lib.PrEndDoc());  // no preview layer: closed at once
    }
}

TEST_F(PrintJobs, PaperAndOrientationGiveTheScale) {
    const struct {
        int32_t orient;
        int32_t paper;
        float width;
        float height;
    } cases[] = {{1, 9, 210, 297}, {2, 9, 297, 210}, {1, 11, 148, 210}};
    for (const auto& c : cases) {
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter("PrinterA", 1, c.orient, 1, c.paper));
        EXPECT_NEAR(lib.PrScaleWidth, c.width, 0.5) << c.orient << " " << c.paper;
        EXPECT_NEAR(lib.PrScaleHeight, c.height, 0.5) << c.orient << " " << c.paper;
        EXPECT_EQ(lib.VPrinter->Orientation(), c.orient == 1 ? 0 : 1);
        EXPECT_DOUBLE_EQ(lib.VPrinter->MarginLeft(), GenServices().MmToTwips(10));
        lib.PrEmptyReport();
    }
}

using PdfMode = LifecycleTest;

TEST_F(PdfMode, WritesTheWholeDocumentToTheFileGivenWithoutWindows) {
    test::TempFolder folder;
    const std::string file = folder.Path() + "/out.pdf";
    test::ModalSpy spy;
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
    EXPECT_EQ(modqorPrintLib().PdfExportFile, file);
    DrawPages(lib, 2);
    EXPECT_TRUE(lib.PrEndDoc());
    EXPECT_TRUE(spy.Seen().empty());
    EXPECT_EQ(test::PdfPages(file), 2);
    EXPECT_NE(test::PdfText(file).find("Page 2"), std::string::npos);
    EXPECT_EQ(lib.PrPdfFile, "");  // only a preview leaves its file there
    EXPECT_EQ(lib.VPrinter, nullptr);
}

TEST_F(PdfMode, WithoutAFileNameGoesToDocumentPdfInTheDocumentsFolder) {
    test::TempFolder home;
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfigValue = savedConfig ? savedConfig : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.Path() + "/config").c_str(), 1);

    for (bool documents : {true, false}) {
        SCOPED_TRACE(documents ? "with Documents" : "without Documents");
        std::filesystem::remove_all(home.Path() + "/Documents");
        if (documents) std::filesystem::create_directory(home.Path() + "/Documents");
        const std::string expected = home.Path() + (documents ? "/Documents" : "") + "/Document.pdf";
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter("", 3));
        EXPECT_EQ(modqorPrintLib().PdfExportFile, expected);
        DrawPages(lib, 1);
        EXPECT_TRUE(lib.PrEndDoc());
        EXPECT_EQ(test::PdfPages(expected), 1);
    }

    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedConfig) ::setenv("XDG_CONFIG_HOME", savedConfigValue.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(PdfMode, AnUnwritableFileIsReportedButDoesNotFailTheDocument) {
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, "/nonexistent-folder/out.pdf"));
    DrawPages(lib, 1);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(lib.PrEndDoc());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("/nonexistent-folder/out.pdf"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder/out.pdf"));
}

TEST_F(PdfMode, WorkerThreadsMakePdfsWithoutWindowsEvenWhenAttended) {
    test::TempFolder folder;
    std::vector<std::string> files;
    std::vector<std::thread> workers;
    std::vector<int> pages(3, -1);
    for (int i = 0; i < 3; ++i) files.push_back(folder.Path() + "/worker" + std::to_string(i) + ".pdf");
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&, i] {
            GenServices().Unattended = false;  // still no window off the GUI thread
            clsqorPrintLib lib;
            if (!lib.InitPrinter("", 3, 1, 1, 9, files[static_cast<size_t>(i)])) return;
            for (int page = 0; page <= i; ++page) {
                if (page > 0) lib.PrNewPage();
                lib.VPrinter->Text("Worker " + std::to_string(i));
            }
            if (lib.PrEndDoc()) pages[static_cast<size_t>(i)] = lib.VPrinter == nullptr ? i + 1 : -2;
        });
    }
    for (std::thread& worker : workers) worker.join();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[static_cast<size_t>(i)], i + 1);
        EXPECT_EQ(test::PdfPages(files[static_cast<size_t>(i)]), i + 1);
    }
}

// Points CUPS_SERVER at a local port where nobody listens, so that no printer exists.
class NoPrinters : public LifecycleTest {
protected:
    void SetUp() override {
        LifecycleTest::SetUp();
        if (const char* saved = std::getenv("CUPS_SERVER")) saved_ = saved;
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        ASSERT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ASSERT_EQ(::getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len), 0);
        ::setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(ntohs(addr.sin_port))).c_str(), 1);
        cupsSetServer(nullptr);
    }
    void TearDown() override {
        ::close(socket_);
        if (saved_.empty()) ::unsetenv("CUPS_SERVER");
        else ::setenv("CUPS_SERVER", saved_.c_str(), 1);
        cupsSetServer(nullptr);
    }
    std::string saved_;
    int socket_ = -1;
};

TEST_F(NoPrinters, PreviewStillStartsAndPrintingRefusesWithTwoMessages) {
    clsqorPrintLib lib;
    ASSERT_EQ(lib.VPrinter, nullptr);
    modqorPrintLib().SelectedPrinter = "PrinterA";
    modqorPrintLib().SelectedBin = 2;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 0);
    EXPECT_EQ(modqorPrintLib().SelectedBinName, "");
    EXPECT_TRUE(lib.VPrinter->IsDocOpen());
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(lib.PrEndDoc());

    EXPECT_FALSE(lib.InitPrinter("PrinterA", 0));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text,
              "Het document kan niet worden afgedrukt omdat de Windows Printer Collectie geen "
              "enkele printer bevat.\r\rU moet eerst een printer installeren onder  "
              "''Windows/Configuratiescherm/Printers''...");
    EXPECT_EQ(messages_[0].style, 0);
    EXPECT_EQ(messages_[0].title, "");
    EXPECT_FALSE(lib.VPrinter->IsDocOpen());
}

TEST_F(NoPrinters, PdfModeStillWritesTheFile) {
    test::TempFolder folder;
    const std::string file = folder.Path() + "/none.pdf";
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
    DrawPages(lib, 1);
    EXPECT_TRUE(lib.PrEndDoc());
    EXPECT_EQ(test::PdfPages(file), 1);
}

}  // namespace
}  // namespace qor
