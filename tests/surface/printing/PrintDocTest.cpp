// The printer members of the surface against the private test spooler.
#include "support/Errors.h"
#include "support/Pdf.h"
#include "support/Spooler.h"

#include <qor/RuntimeError.h>
#include <qor/VSPrinter.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>

// fontconfig leaves a few bytes of its parsed configuration unreachable for the life of the
// process (inside its XML parser); the leak checker is told to pass over that library only.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace qor {
namespace {

// Four pages, page n showing "Page n", printed on a queue of the test's own, so that the
// queue's jobs and its output file are this test's only.
TEST(PrintDoc, FromToPairGoesAsOneJobWithCopiesRangeAndTrayAndBadRequestsSendNothing) {
    const std::string queue = "QorPrintDoc" + std::to_string(::getpid());
    const std::string out = test::SpoolerOutDir() + "/" + queue + ".pdf";
    test::AddQueue(queue, "PrinterA.ppd", out);
    VSPrinter doc;
    doc.StartDoc();
    for (int page = 1; page <= 4; ++page) {
        if (page > 1) doc.NewPage();
        doc.CurrentX(1440);
        doc.CurrentY(1440);
        doc.Text("Page " + std::to_string(page));
    }
    doc.EndDoc();
    doc.Device(queue);
    for (auto [from, to] : std::vector<std::pair<int32_t, int32_t>>{{5, 6}, {0, 2}, {3, 2}})
        test::ExpectRuntimeError(kErrSubscript, [&] { doc.PrintDoc(false, from, to); });
    test::ExpectRuntimeError(kErrInvalidCall, [&] { doc.PrintDoc(false, "3-x"); });
    VSPrinter empty;
    empty.Device(queue);
    test::ExpectRuntimeError(kErrInvalidCall, [&] { empty.PrintDoc(); });
    EXPECT_TRUE(test::JobsOf(queue).empty());

    doc.Copies(2);
    doc.PaperBin(2);
    ASSERT_EQ(doc.Error(), 0);
    doc.PrintDoc(false, 3, 99);  // beyond the end: up to the last page
    const std::vector<test::JobAttributes> jobs = test::JobsSince(queue, 0);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].Copies, 2);
    EXPECT_EQ(jobs[0].PageRanges, (std::vector<std::pair<int32_t, int32_t>>{{3, 4}}));
    EXPECT_EQ(jobs[0].InputSlot, "Lower");
    const std::string text = test::PdfText(out);
    EXPECT_NE(text.find("Page 4"), std::string::npos) << text;
    EXPECT_EQ(text.find("Page 2"), std::string::npos) << text;

    test::RemoveQueue(queue);
    std::filesystem::remove(out);
    const std::string what = test::ExpectRuntimeError(482, [&] { doc.PrintDoc(false, 2, 3); });
    EXPECT_NE(what.find("\"" + queue + "\""), std::string::npos) << what;
}

}  // namespace
}  // namespace qor
