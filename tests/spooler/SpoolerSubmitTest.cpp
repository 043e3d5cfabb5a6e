// Jobs sent to the private test spooler, read back from it.
#include "spooler/TestSpooler.h"

#include <qor/RuntimeError.h>
#include <qor/Spooler.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace qor {
namespace {

using test::JobAttributes;
using Ranges = std::vector<std::pair<int32_t, int32_t>>;

class SpoolerSubmit : public ::testing::Test {
protected:
    void SetUp() override {
        pdf_ = test::MakeTestPdf(4);
        ASSERT_FALSE(pdf_.empty());
    }
    void TearDown() override { std::filesystem::remove(pdf_); }

    JobAttributes SubmitAndWait(const std::string& printer, const JobOptions& options) {
        const int32_t id = Spooler::Instance().Submit(printer, pdf_, options);
        EXPECT_GT(id, 0);
        JobAttributes job = test::WaitForJob(id);
        EXPECT_TRUE(job.Found) << "job " << id;
        EXPECT_EQ(job.State, IPP_JSTATE_COMPLETED) << "job " << id;
        return job;
    }

    // Expects Submit to throw RuntimeError `number` whose text contains `text`.
    void ExpectRefused(const std::string& printer, const JobOptions& options, int32_t number,
                       const std::string& text, const std::string& file = {}) {
        try {
            Spooler::Instance().Submit(printer, file.empty() ? pdf_ : file, options);
            ADD_FAILURE() << "no error for " << printer;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), number) << e.what();
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
    }

    std::string pdf_;
};

TEST_F(SpoolerSubmit, OneJobCarriesCopiesPageRangesAndTray) {
    JobOptions options;
    options.Copies = 2;
    options.PageRanges = "2-3";
    options.Bin = 2;
    const JobAttributes job = SubmitAndWait("PrinterA", options);
    EXPECT_EQ(job.Copies, 2);
    EXPECT_EQ(job.PageRanges, (Ranges{{2, 3}}));
    EXPECT_EQ(job.InputSlot, "Lower");
    EXPECT_NE(job.PrinterUri.find("/printers/PrinterA"), std::string::npos) << job.PrinterUri;
}

TEST_F(SpoolerSubmit, PageListsArriveAsGiven) {
    const struct {
        const char* text;
        Ranges ranges;
    } cases[] = {
        {"2,4", {{2, 2}, {4, 4}}},
        {"3", {{3, 3}}},
        {"1-2, 4", {{1, 2}, {4, 4}}},
        {"2-", {{2, INT32_MAX}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        JobOptions options;
        options.PageRanges = c.text;
        EXPECT_EQ(SubmitAndWait("PrinterA", options).PageRanges, c.ranges) << '"' << c.text << '"';
    }
}

TEST_F(SpoolerSubmit, AutomaticAndFormSourceSendNoTray) {
    for (int32_t bin : {7, 15}) {
        JobOptions options;
        options.Bin = bin;
        const JobAttributes job = SubmitAndWait("PrinterA", options);
        EXPECT_EQ(job.InputSlot, "") << bin;
        EXPECT_EQ(job.MediaSource, "") << bin;
    }
}

TEST_F(SpoolerSubmit, EachTrayGoesAsItsOwnKeyword) {
    const struct {
        const char* printer;
        int32_t bin;
        const char* slot;
    } cases[] = {
        {"PrinterA", 1, "Upper"}, {"PrinterA", 4, "Manual"}, {"printerb", 16, "PhotoTray"},
        {"PrinterB", 17, "Tray5"}, {"PrinterB", 14, "Cassette"}, {"PrinterOneTray", 16, "Main"},
    };
    for (const auto& c : cases) {
        JobOptions options;
        options.Bin = c.bin;
        EXPECT_EQ(SubmitAndWait(c.printer, options).InputSlot, c.slot) << c.printer << " " << c.bin;
    }
}

TEST_F(SpoolerSubmit, PrintedFileHoldsExactlyTheChosenPages) {
    const std::string queue = "QorPages" + std::to_string(::getpid());
    const std::string out = test::SpoolerOutDir() + "/" + queue + ".pdf";
    test::AddQueue(queue, "PrinterA.ppd", out);
    JobOptions options;
    options.PageRanges = "2,4";
    options.Bin = 3;
    SubmitAndWait(queue, options);
    const std::string text = test::PdfText(out);
    EXPECT_NE(text.find("Page 2"), std::string::npos) << text;
    EXPECT_NE(text.find("Page 4"), std::string::npos) << text;
    EXPECT_EQ(text.find("Page 1"), std::string::npos) << text;
    EXPECT_EQ(text.find("Page 3"), std::string::npos) << text;
    test::RemoveQueue(queue);
    std::filesystem::remove(out);
}

TEST_F(SpoolerSubmit, NoCopiesQueuePrintsOneCopyAndRefusesMore) {
    JobOptions options;
    EXPECT_EQ(SubmitAndWait("PrinterNoCopies", options).Copies, 1);
    options.Copies = 2;
    ExpectRefused("PrinterNoCopies", options, 482, "\"PrinterNoCopies\" cannot print 2 copies");
}

TEST_F(SpoolerSubmit, BadRequestsGiveClearErrors) {
    JobOptions lacking;
    lacking.Bin = 2;
    ExpectRefused("PrinterB", lacking, 482, "Printer \"PrinterB\" has no paper bin 2");
    ExpectRefused("PrinterOneTray", lacking, 482, "\"PrinterOneTray\" has no paper bin 2");
    ExpectRefused("NoSuchPrinter", JobOptions{}, 482, "Printer \"NoSuchPrinter\" is not installed");

    JobOptions zero;
    zero.Copies = 0;
    ExpectRefused("PrinterA", zero, kErrInvalidCall, "Copies");
    JobOptions range;
    range.PageRanges = "4-2";
    ExpectRefused("PrinterA", range, kErrInvalidCall, "\"4-2\"");
    ExpectRefused("PrinterA", JobOptions{}, kErrFileNotFound, "/nonexistent/doc.pdf",
                  "/nonexistent/doc.pdf");
}

TEST_F(SpoolerSubmit, PrinterRemovedAfterListingGivesAnErrorNamingIt) {
    const std::string queue = "QorGone" + std::to_string(::getpid());
    test::AddQueue(queue, "PrinterB.ppd", test::SpoolerOutDir() + "/" + queue + ".pdf");
    Spooler& spooler = Spooler::Instance();
    const std::vector<std::string> listed = spooler.Printers();
    ASSERT_NE(std::find(listed.begin(), listed.end(), queue), listed.end());
    ASSERT_TRUE(spooler.AcceptsBin(queue, 16));

    test::RemoveQueue(queue);
    JobOptions options;
    options.Bin = 16;
    ExpectRefused(queue, options, 482, "Printer \"" + queue + "\" is not installed");
    EXPECT_FALSE(spooler.AcceptsBin(queue, 16));
    EXPECT_FALSE(spooler.AcceptsCopies(queue, 1));
    EXPECT_TRUE(spooler.Trays(queue).empty());
}

TEST_F(SpoolerSubmit, QueueRejectingJobsGivesTheServersReason) {
    const std::string queue = "QorReject" + std::to_string(::getpid());
    test::AddQueue(queue, "PrinterOneTray.ppd", test::SpoolerOutDir() + "/" + queue + ".pdf");
    ASSERT_EQ(std::system(("cupsreject -r 'out of paper' " + queue).c_str()), 0);
    ExpectRefused(queue, JobOptions{}, 482, "Printer \"" + queue + "\" refused the job");
    test::RemoveQueue(queue);
}

TEST_F(SpoolerSubmit, QueueWithoutDriverHasNoTraysButPrints) {
    const std::string queue = "QorRaw" + std::to_string(::getpid());
    test::AddQueue(queue, "", test::SpoolerOutDir() + "/" + queue + ".pdf");
    Spooler& spooler = Spooler::Instance();
    EXPECT_TRUE(spooler.Trays(queue).empty());
    EXPECT_TRUE(spooler.AcceptsBin(queue, 7));
    EXPECT_FALSE(spooler.AcceptsBin(queue, 1));
    JobOptions options;
    options.Copies = 3;
    EXPECT_EQ(SubmitAndWait(queue, options).Copies, 3);
    options.Bin = 1;
    ExpectRefused(queue, options, 482, "has no paper bin 1");
    test::RemoveQueue(queue);
}

}  // namespace
}  // namespace qor
