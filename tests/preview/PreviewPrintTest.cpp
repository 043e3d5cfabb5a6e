// Printing from the preview: copies, range box and second bin, checked against the jobs
// that reach the private CUPS test spooler.
#include <qor/GenServices.h>
#include <qor/ModuleState.h>

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <unistd.h>

#include "preview/FrmPreview.h"
#include "preview/PreviewTestSupport.h"
#include "spooler/TestSpooler.h"

namespace qor::test {
namespace {

using preview::FrmPreview;

// A PrinterA (Auto, Upper, Lower, Middle, Manual) of this process's own, so that test
// processes running side by side never see each other's jobs.
const std::string kQueue = "PreviewQueue" + std::to_string(::getpid());
constexpr int32_t kFirstBin = 1;                 // Upper, chosen when the document was opened
constexpr int32_t kSecondBin = 3;                // Middle

// Ids of every job the spooler knows for `queue`, oldest first.
std::vector<int32_t> JobIds(const std::string& queue) {
    std::vector<int32_t> ids;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http) return ids;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    char uri[HTTP_MAX_URI];
    std::snprintf(uri, sizeof uri, "ipp://localhost/printers/%s", queue.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-id");
    ipp_t* response = cupsDoRequest(http, request, "/");
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response))
        if (ippGetName(a) && std::string(ippGetName(a)) == "job-id") ids.push_back(ippGetInteger(a, 0));
    ippDelete(response);
    httpClose(http);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// What one job asked for, in the form the cases are written.
struct Job {
    std::vector<std::pair<int32_t, int32_t>> pages;   // empty: all pages
    std::string tray;
    int32_t copies = 1;
    friend bool operator==(const Job&, const Job&) = default;
};

std::ostream& operator<<(std::ostream& out, const Job& job) {
    out << "{pages";
    if (job.pages.empty()) out << " all";
    for (auto [from, to] : job.pages) out << ' ' << from << '-' << to;
    return out << ", tray " << job.tray << ", copies " << job.copies << '}';
}

struct PrintCase {
    const char* name;
    int pages;
    int16_t secondBin;
    const char* range;
    const char* copies;
    std::vector<Job> jobs;
};

void PrintTo(const PrintCase& c, std::ostream* out) { *out << c.name; }

class PreviewPrintTest : public ::testing::TestWithParam<PrintCase> {
protected:
    static void SetUpTestSuite() {
        EnsureTestSpooler();
        AddQueue(kQueue, "PrinterA.ppd", SpoolerOutDir() + "/" + kQueue + ".pdf");
    }
    static void TearDownTestSuite() { RemoveQueue(kQueue); }

    // Jobs that reached the queue since `before`, each waited for until it is done.
    static std::vector<Job> JobsSince(const std::vector<int32_t>& before) {
        std::vector<Job> jobs;
        for (int32_t id : JobIds(kQueue)) {
            if (std::find(before.begin(), before.end(), id) != before.end()) continue;
            const JobAttributes a = WaitForJob(id);
            EXPECT_TRUE(a.Found) << "job " << id;
            jobs.push_back({a.PageRanges, a.InputSlot, a.Copies});
        }
        return jobs;
    }

    void OpenDocument(int pages) {
        MakeDocument(surface, pages);
        surface.Device(kQueue);
        ASSERT_EQ(surface.Error(), 0) << "the test queue is installed";
        surface.PaperBin(kFirstBin);
        surface.Copies(1);
        ASSERT_EQ(surface.PaperBin(), kFirstBin);
        modqorPrintLib().PreviewMode = 1;
        modqorPrintLib().DocPrinted = false;
    }

    VSPrinter surface;
};

TEST_P(PreviewPrintTest, JobsFollowRangeCopiesAndSecondBin) {
    const PrintCase& c = GetParam();
    OpenDocument(c.pages);
    modqorPrintLib().SecondPageBin = c.secondBin;
    const std::vector<int32_t> before = JobIds(kQueue);

    RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        w.findChild<QLineEdit*>("txtRange")->setText(c.range);
        w.findChild<QLineEdit*>("txtKopie")->setText(c.copies);
        QTest::mouseClick(w.findChild<QToolButton*>("cmdprint"), Qt::LeftButton);
        EXPECT_FALSE(w.isVisible()) << "printing closes the window";
    });
    EXPECT_TRUE(modqorPrintLib().DocPrinted);
    EXPECT_EQ(JobsSince(before), c.jobs);
    EXPECT_EQ(surface.Copies(), std::atoi(c.copies)) << "the copies stay for later jobs";
}

using R = std::vector<std::pair<int32_t, int32_t>>;
Job Upper(R pages, int32_t copies = 1) { return {std::move(pages), "Upper", copies}; }
Job Middle(R pages, int32_t copies = 1) { return {std::move(pages), "Middle", copies}; }

INSTANTIATE_TEST_SUITE_P(
    RangeAndBins, PreviewPrintTest,
    ::testing::Values(
        PrintCase{"OnePageOfTwelve", 12, 0, "7", "1", {Upper({{7, 7}})}},
        PrintCase{"PageList", 12, 0, "2,4", "1", {Upper({{2, 2}, {4, 4}})}},
        PrintCase{"EmptyRangePrintsAll", 12, 0, "", "1", {Upper({})}},
        PrintCase{"FullDefaultRange", 12, 0, "1-12", "1", {Upper({{1, 12}})}},
        PrintCase{"SecondBinEmptyRange", 12, 3, "", "1", {Upper({{1, 1}}), Middle({{2, 12}})}},
        PrintCase{"SecondBinOnePage", 1, 3, "", "1", {Upper({})}},
        PrintCase{"SecondBinPageOne", 12, 3, "1", "1", {Upper({{1, 1}})}},
        PrintCase{"SecondBinFromOne", 12, 3, "1-5", "1", {Upper({{1, 1}}), Middle({{2, 5}})}},
        PrintCase{"SecondBinListFromOne", 12, 3, "1,3,5", "1", {Upper({{1, 1}}), Middle({{3, 3}, {5, 5}})}},
        PrintCase{"SecondBinWithoutPageOne", 12, 3, "4-6", "1", {Middle({{4, 6}})}},
        PrintCase{"SecondBinPageTwelve", 12, 3, "12", "1", {Middle({{12, 12}})}},
        PrintCase{"ThreeCopiesBothJobs", 12, 3, "", "3", {Upper({{1, 1}}, 3), Middle({{2, 12}}, 3)}}),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

class PreviewPrintFailureTest : public PreviewPrintTest {};

TEST_F(PreviewPrintFailureTest, RefusedJobShowsMessageAndKeepsWindowOpen) {
    OpenDocument(3);
    modqorPrintLib().SecondPageBin = 0;
    surface.Device("NoSuchQueue");
    std::vector<Message> seen;
    ScopedMessageObserver watch([&](const Message& m) {
        seen.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    });
    RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        QTest::mouseClick(w.findChild<QToolButton*>("cmdprint"), Qt::LeftButton);
        EXPECT_TRUE(w.isVisible()) << "the user may try again or close";
    });
    EXPECT_FALSE(modqorPrintLib().DocPrinted);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].style, kMsgCritical);
    EXPECT_EQ(seen[0].title, "Afdrukken Document");
    EXPECT_NE(seen[0].text.find("NoSuchQueue"), std::string::npos) << seen[0].text;
}

}  // namespace
}  // namespace qor::test
