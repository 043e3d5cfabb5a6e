// Printing from the preview: the range box, copies box and second bin reach the private CUPS
// test spooler; a refused or cancelled job leaves the window open.
#include <qor/GenServices.h>
#include "core/ModuleState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cups/ipp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/FrmPrintProgress.h"
#include "preview/FrmPreview.h"
#include "preview/PreviewTestSupport.h"
#include "support/Spooler.h"

namespace qor::test {
namespace {

using preview::FrmPreview;

TEST(PreviewPrintTest, PageOneToOneWithASecondBinIsOneJobAndARefusedJobKeepsTheWindowOpen) {
    std::vector<Message> messages;
    ScopedMessageObserver watch{[&](const Message& m) {
        messages.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    }};
    // A copy of PrinterA of this process's own: test processes side by side never share jobs.
    const std::string queue = "PreviewQueue" + std::to_string(::getpid());
    AddQueue(queue, "PrinterA.ppd", SpoolerOutDir() + "/" + queue + ".pdf");
    VSPrinter surface;
    MakeDocument(surface, 12);
    surface.PaperBin(1);  // Upper, chosen when the document was opened
    modqorPrintLib().PreviewMode = 1;
    modqorPrintLib().SecondPageBin = 3;  // Middle
    for (const char* device : {queue.c_str(), "NoSuchQueue"}) {
        const bool refused = device != queue.c_str();
        surface.Device(device);
        modqorPrintLib().DocPrinted = false;
        const int32_t before = LastJob(queue);
        RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
            w.findChild<QLineEdit*>("txtRange")->setText("1-1");
            w.findChild<QLineEdit*>("txtKopie")->setText("2");
            QTest::mouseClick(w.findChild<QToolButton*>("cmdprint"), Qt::LeftButton);
            EXPECT_EQ(w.isVisible(), refused);
        });
        EXPECT_EQ(modqorPrintLib().DocPrinted, !refused);
        ASSERT_EQ(messages.size(), refused ? 1u : 0u) << device;
        if (refused) break;
        const std::vector<JobAttributes> jobs = JobsSince(queue, before);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs[0].PageRanges, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}}));
        EXPECT_EQ(jobs[0].InputSlot, "Upper");
        EXPECT_EQ(jobs[0].Copies, 2);
    }
    EXPECT_EQ(messages[0].style, kMsgCritical);
    EXPECT_NE(messages[0].text.find("NoSuchQueue"), std::string::npos) << messages[0].text;
    RemoveQueue(queue);
}

// The surface's progress window while printing: the printer and its port, the page being
// prepared; its cancel button sends nothing and leaves the preview open, unprinted.
TEST(PreviewPrintTest, ProgressWindowShowsThePagesAndItsCancelPrintsNothing) {
    const std::string queue = "ProgressQueue" + std::to_string(::getpid());
    AddQueue(queue, "PrinterA.ppd", SpoolerOutDir() + "/" + queue + ".pdf");
    FrmPrintProgress::Install();
    VSPrinter surface;
    MakeDocument(surface, 30);
    surface.Device(queue);
    surface.AbortWindow(true);
    modqorPrintLib().PreviewMode = 1;
    modqorPrintLib().SecondPageBin = 0;
    int32_t before = LastJob(queue);
    std::string device, page;
    modqorPrintLib().DocPrinted = false;
    RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        WhenModal("AbortWindow", [&](QWidget* progress) {
            device = progress->findChild<QLabel*>("lblDevice")->text().toStdString();
            page = progress->findChild<QLabel*>("lblPage")->text().toStdString();
            QTest::mouseClick(progress->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        });
        QTest::mouseClick(w.findChild<QToolButton*>("cmdprint"), Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
    });
    EXPECT_FALSE(modqorPrintLib().DocPrinted);
    EXPECT_EQ(device.rfind("via " + queue + " op file:", 0), 0u) << device;
    EXPECT_EQ(page.rfind("Bezig met afdrukken van pagina ", 0), 0u) << page;
    EXPECT_NE(page.find(" van 30"), std::string::npos) << page;
    // A cancel while pages are prepared creates no job; one that lands while the document is
    // being sent (the window's timer is not ours to steer) cancels the job in the spooler.
    for (int32_t id : JobsOf(queue)) {
        if (id > before) {
            EXPECT_EQ(WaitForJob(id).State, IPP_JSTATE_CANCELED) << "job " << id;
        }
    }

    // Left alone it prints; silent it never shows.
    bool shown = false;
    WhenModal("AbortWindow", [&](QWidget*) { shown = true; });
    before = LastJob(queue);
    surface.PrintDoc(false);
    EXPECT_TRUE(shown);
    EXPECT_EQ(JobsSince(queue, before).size(), 1u);
    surface.AbortWindow(false);
    {
        ModalSpy spy;
        before = LastJob(queue);
        surface.PrintDoc(false);
        EXPECT_TRUE(spy.Seen().empty());
    }
    EXPECT_EQ(JobsSince(queue, before).size(), 1u);
    RemoveQueue(queue);
}

}  // namespace
}  // namespace qor::test
