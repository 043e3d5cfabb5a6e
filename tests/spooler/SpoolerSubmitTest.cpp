// Jobs sent to the private test spooler, read back from it.
#include "support/Errors.h"
#include "support/Pdf.h"
#include "support/Spooler.h"

#include <qor/RuntimeError.h>
#include <qor/Spooler.h>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>
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
        EXPECT_EQ(job.State, IPP_JSTATE_COMPLETED) << "job " << id;
        return job;
    }

    // Expects Submit to throw RuntimeError `number` whose text contains `text`.
    void ExpectRefused(const std::string& printer, const JobOptions& options, int32_t number, const std::string& text) {
        const std::string what =
            test::ExpectRuntimeError(number, [&] { Spooler::Instance().Submit(printer, pdf_, options); });
        EXPECT_NE(what.find(text), std::string::npos) << what;
    }

    std::string pdf_;
};

TEST_F(SpoolerSubmit, OneJobCarriesCopiesPagesAndTrayAndPrintsJustThosePages) {
    const std::string queue = "QorPages" + std::to_string(::getpid());
    const std::string out = test::SpoolerOutDir() + "/" + queue + ".pdf";
    test::AddQueue(queue, "PrinterA.ppd", out);
    JobOptions options;
    options.Copies = 2;
    options.PageRanges = "2, 4";
    options.Bin = 2;
    const JobAttributes job = SubmitAndWait(queue, options);
    EXPECT_EQ(job.Copies, 2);
    EXPECT_EQ(job.PageRanges, (Ranges{{2, 2}, {4, 4}}));
    EXPECT_EQ(job.InputSlot, "Lower");
    const std::string text = test::PdfText(out);
    for (const char* page : {"Page 2", "Page 4"}) EXPECT_NE(text.find(page), std::string::npos) << text;
    for (const char* page : {"Page 1", "Page 3"}) EXPECT_EQ(text.find(page), std::string::npos) << text;
    test::RemoveQueue(queue);
    std::filesystem::remove(out);
}

TEST_F(SpoolerSubmit, BadRequestsGiveClearErrors) {
    JobOptions two;
    two.Copies = 2;
    ExpectRefused("PrinterNoCopies", two, 482, "\"PrinterNoCopies\" cannot print 2 copies");
    JobOptions zero;
    zero.Copies = 0;
    ExpectRefused("PrinterA", zero, kErrInvalidCall, "Copies");
    JobOptions range;
    range.PageRanges = "4-2";
    ExpectRefused("PrinterA", range, kErrInvalidCall, "\"4-2\"");
    const auto missing = [] { Spooler::Instance().Submit("PrinterA", "/nonexistent/doc.pdf", JobOptions{}); };
    EXPECT_NE(test::ExpectRuntimeError(kErrFileNotFound, missing).find("/nonexistent/doc.pdf"), std::string::npos);
}

TEST_F(SpoolerSubmit, RemovedRejectingAndDriverlessQueues) {
    Spooler& spooler = Spooler::Instance();
    const std::string queue = "QorQueue" + std::to_string(::getpid());
    const std::string out = test::SpoolerOutDir() + "/" + queue + ".pdf";
    test::AddQueue(queue, "PrinterB.ppd", out);
    ASSERT_TRUE(spooler.AcceptsBin(queue, 16));
    test::RemoveQueue(queue);  // removed after it was listed
    JobOptions bin16;
    bin16.Bin = 16;
    ExpectRefused(queue, bin16, 482, "Printer \"" + queue + "\" is not installed");
    EXPECT_FALSE(spooler.AcceptsBin(queue, 16));
    EXPECT_TRUE(spooler.Trays(queue).empty());

    test::AddQueue(queue, "PrinterOneTray.ppd", out);
    ASSERT_EQ(std::system(("cupsreject -r 'out of paper' " + queue).c_str()), 0);
    ExpectRefused(queue, JobOptions{}, 482, "Printer \"" + queue + "\" refused the job");
    test::RemoveQueue(queue);

    test::AddQueue(queue, "", out);  // raw: no trays, but it prints
    EXPECT_TRUE(spooler.Trays(queue).empty());
    EXPECT_TRUE(spooler.AcceptsBin(queue, 7));
    EXPECT_FALSE(spooler.AcceptsBin(queue, 1));
    JobOptions three;
    three.Copies = 3;
    EXPECT_EQ(SubmitAndWait(queue, three).Copies, 3);
    test::RemoveQueue(queue);
    std::filesystem::remove(out);
}

}  // namespace
}  // namespace qor
