// The printer members of the surface against the private test spooler.
#include "spooler/TestSpooler.h"

#include <qor/RuntimeError.h>
#include <qor/Spooler.h>
#include <qor/VSPrinter.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

// fontconfig leaves a few bytes of its parsed configuration unreachable for the life of the
// process (inside its XML parser); the leak checker is told to pass over that library only.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace qor {
namespace {

using Ranges = std::vector<std::pair<int32_t, int32_t>>;

// A four-page document, page n showing "Page n", and a queue of its own to print it on, so
// that the queue's only job and its output file are this test's.
class PrintDoc : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        queue_ = "QorPrintDoc" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        out_ = test::SpoolerOutDir() + "/" + queue_ + ".pdf";
        test::AddQueue(queue_, "PrinterA.ppd", out_);
        doc_.StartDoc();
        for (int page = 1; page <= 4; ++page) {
            if (page > 1) doc_.NewPage();
            doc_.CurrentX(1440);
            doc_.CurrentY(1440);
            doc_.Text("Page " + std::to_string(page));
        }
        doc_.EndDoc();
        doc_.Device(queue_);
        ASSERT_EQ(doc_.Error(), 0);
    }
    void TearDown() override {
        if (Spooler::Instance().HasPrinter(queue_)) test::RemoveQueue(queue_);
        std::filesystem::remove(out_);
    }

    // The one job the queue received, once finished.
    test::JobAttributes OnlyJob() {
        const std::vector<int32_t> jobs = test::JobsOf(queue_);
        EXPECT_EQ(jobs.size(), 1u);
        if (jobs.empty()) return {};
        test::JobAttributes job = test::WaitForJob(jobs.front());
        EXPECT_EQ(job.State, IPP_JSTATE_COMPLETED);
        return job;
    }

    // Which of the pages 1-4 the printed file shows.
    std::vector<int> PrintedPages() {
        const std::string text = test::PdfText(out_);
        std::vector<int> pages;
        for (int page = 1; page <= 4; ++page) {
            if (text.find("Page " + std::to_string(page)) != std::string::npos) pages.push_back(page);
        }
        return pages;
    }

    std::string queue_;
    std::string out_;
    VSPrinter doc_;
};

TEST_F(PrintDoc, FromToPairGoesAsOneJobWithCopiesRangeAndTray) {
    doc_.Copies(2);
    doc_.PaperBin(2);
    ASSERT_EQ(doc_.Error(), 0);
    doc_.PrintDoc(false, 2, 3);
    const test::JobAttributes job = OnlyJob();
    EXPECT_EQ(job.Copies, 2);
    EXPECT_EQ(job.PageRanges, (Ranges{{2, 3}}));
    EXPECT_EQ(job.InputSlot, "Lower");
    EXPECT_EQ(PrintedPages(), (std::vector<int>{2, 3}));
}

TEST_F(PrintDoc, RangeTextArrivesAsSuch) {
    doc_.PaperBin(7);
    doc_.PrintDoc(false, "2,4");
    const test::JobAttributes job = OnlyJob();
    EXPECT_EQ(job.PageRanges, (Ranges{{2, 2}, {4, 4}}));
    EXPECT_EQ(job.Copies, 1);
    EXPECT_EQ(job.InputSlot, "");  // automatic: the printer chooses
    EXPECT_EQ(PrintedPages(), (std::vector<int>{2, 4}));
}

TEST_F(PrintDoc, WithoutArgumentsEveryPage) {
    doc_.PrintDoc();
    const test::JobAttributes job = OnlyJob();
    EXPECT_TRUE(job.PageRanges.empty());
    EXPECT_EQ(job.InputSlot, "");  // the default bin is form source: no tray sent
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(PrintDoc, ToPageBeyondTheEndStopsAtTheLastPage) {
    doc_.PrintDoc(false, 3, 99);
    EXPECT_EQ(OnlyJob().PageRanges, (Ranges{{3, 4}}));
}

TEST_F(PrintDoc, BadRequestsThrowWithoutSendingAJob) {
    const struct {
        int32_t from, to, number;
    } pairs[] = {{5, 6, kErrSubscript}, {0, 2, kErrSubscript}, {3, 2, kErrSubscript}};
    for (const auto& p : pairs) {
        try {
            doc_.PrintDoc(false, p.from, p.to);
            ADD_FAILURE() << p.from << "-" << p.to << " printed";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), p.number) << p.from << "-" << p.to;
        }
    }
    EXPECT_THROW(doc_.PrintDoc(false, "3-x"), RuntimeError);
    VSPrinter empty;
    empty.Device(queue_);
    EXPECT_THROW(empty.PrintDoc(), RuntimeError);
    EXPECT_TRUE(test::JobsOf(queue_).empty());
}

TEST_F(PrintDoc, PrinterRemovedAfterChoosingItGivesAnErrorNamingIt) {
    test::RemoveQueue(queue_);
    try {
        doc_.PrintDoc(false, 2, 3);
        FAIL() << "printed on a removed printer";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 482);
        EXPECT_NE(std::string(e.what()).find("\"" + queue_ + "\""), std::string::npos) << e.what();
    }
}

TEST(PrinterProbes, ErrorIsZeroExactlyWhenThePrinterAcceptsTheValue) {
    VSPrinter probe;
    const struct {
        const char* device;
        const char* member;
        int32_t value;
        bool accepted;
    } cases[] = {
        {"PrinterA", "PaperBin", 2, true},         {"PrinterA", "PaperBin", 14, false},
        {"PrinterB", "PaperBin", 14, true},        {"PrinterB", "PaperBin", 2, false},
        {"PrinterB", "PaperBin", 16, true},        {"PrinterOneTray", "PaperBin", 7, true},
        {"PrinterOneTray", "PaperBin", 1, false},  {"PrinterA", "Copies", 3, true},
        {"PrinterNoCopies", "Copies", 3, false},   {"PrinterNoCopies", "Copies", 1, true},
        {"PrinterA", "Copies", 0, false},          {"NoSuchPrinter", "PaperBin", 7, false},
        {"NoSuchPrinter", "Copies", 1, false},
    };
    for (const auto& c : cases) {
        probe.Device(c.device);
        const bool isBin = std::string(c.member) == "PaperBin";
        const int32_t before = isBin ? probe.PaperBin() : probe.Copies();
        if (isBin) {
            probe.PaperBin(c.value);
        } else {
            probe.Copies(c.value);
        }
        const std::string what = std::string(c.device) + " " + c.member + " " + std::to_string(c.value);
        EXPECT_EQ(probe.Error() == 0, c.accepted) << what;
        // A refused value is not taken.
        EXPECT_EQ(isBin ? probe.PaperBin() : probe.Copies(), c.accepted ? c.value : before) << what;
        probe.Clear();
        EXPECT_EQ(probe.Error(), 0);
    }
}

TEST(PrinterProbes, DeviceTakesTheInstalledSpellingAndFlagsUnknownNames) {
    VSPrinter probe;
    probe.Device("printerb");
    EXPECT_EQ(probe.Device(), "PrinterB");
    EXPECT_EQ(probe.Error(), 0);
    probe.Device("NoSuchPrinter");
    EXPECT_NE(probe.Error(), 0);
    EXPECT_EQ(probe.Device(), "NoSuchPrinter");
    probe.Device("");  // the default printer
    EXPECT_EQ(probe.Error(), 0);
}

TEST(PrinterProbes, DevicesListsTheInstalledPrinters) {
    VSPrinter probe;
    const int32_t count = probe.NDevices();
    ASSERT_GE(count, 4);
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) names.push_back(probe.Devices(i));
    for (const char* name : {"PrinterA", "PrinterB", "PrinterOneTray", "PrinterNoCopies"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    for (int32_t bad : {-1, count}) {
        try {
            probe.Devices(bad);
            ADD_FAILURE() << "Devices(" << bad << ")";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), kErrSubscript);
        }
    }
}

// With CUPS_SERVER on a local port where nothing listens there is no printer, at once.
TEST(PrinterProbes, NoServerMeansNoDevicesAndAClearPrintError) {
    const std::string saved = std::getenv("CUPS_SERVER") ? std::getenv("CUPS_SERVER") : "";
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    ::setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(ntohs(addr.sin_port))).c_str(), 1);
    cupsSetServer(nullptr);

    VSPrinter doc;
    doc.StartDoc();
    doc.EndDoc();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(doc.NDevices(), 0);
    doc.Device("PrinterA");
    EXPECT_NE(doc.Error(), 0);
    try {
        doc.PrintDoc();
        ADD_FAILURE() << "printed without a server";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 482);
        EXPECT_NE(std::string(e.what()).find("no print server answers"), std::string::npos) << e.what();
    }
    // Takes milliseconds; the bound only guards against hanging.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);

    ::close(sock);
    if (saved.empty()) {
        ::unsetenv("CUPS_SERVER");
    } else {
        ::setenv("CUPS_SERVER", saved.c_str(), 1);
    }
    cupsSetServer(nullptr);
}

}  // namespace
}  // namespace qor
