// The preview window driven as a user drives it: buttons, boxes, keys and the mouse on the
// page, with the document on a real surface.
#include <qor/GenServices.h>
#include "core/ModuleState.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "preview/FrmPreview.h"
#include "preview/PageView.h"
#include "preview/PreviewTestSupport.h"

namespace qor::test {
namespace {

using preview::FrmPreview;
using preview::PageView;

QToolButton* Button(FrmPreview& w, const char* name) { return w.findChild<QToolButton*>(name); }
QLineEdit* Box(FrmPreview& w, const char* name) { return w.findChild<QLineEdit*>(name); }
QString LabelText(FrmPreview& w, const char* name) { return w.findChild<QLabel*>(name)->text(); }
void Click(FrmPreview& w, const char* name) { QTest::mouseClick(Button(w, name), Qt::LeftButton); }
bool Enabled(FrmPreview& w, const char* name) { return Button(w, name)->isEnabled(); }
// A double-click as the system delivers it: press, release, double-click, release.
void DoubleClick(QWidget* w, Qt::MouseButton button, QPoint pos = {}) {
    QTest::mousePress(w, button, {}, pos);
    QTest::mouseRelease(w, button, {}, pos);
    QTest::mouseDClick(w, button, {}, pos);
    QTest::mouseRelease(w, button, {}, pos);
}

class FrmPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        GenServices().LanguageOffset = 0;
        modqorPrintLib().PreviewMode = 1;
        modqorPrintLib().SecondPageBin = 0;
    }
    void TearDown() override { GenServices().LanguageOffset = 0; }
    VSPrinter surface;
};

TEST_F(FrmPreviewTest, PagingButtonsAndThePageBox) {
    MakeDocument(surface, 1);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {  // one page: nothing to page through
        EXPECT_TRUE(Box(w, "txtRange")->text() == "1" && Box(w, "txtRange")->isReadOnly());
        for (const char* name : {"ImgPreview(0)", "ImgPreview(1)", "ImgPreview(2)", "ImgPreview(3)"})
            EXPECT_FALSE(Enabled(w, name)) << name;
    });
    VSPrinter twelve;
    MakeDocument(twelve, 12);
    GenServices().LanguageOffset = 20000;
    RunPreview(twelve, WholePageRequest(), [](FrmPreview& w) {
        EXPECT_EQ(Box(w, "txtRange")->text(), "1-12");
        EXPECT_EQ(LabelText(w, "Label(0)"), " of 12");
        EXPECT_FALSE(Enabled(w, "ImgPreview(0)"));
        const std::pair<const char*, int> steps[] = {
            {"ImgPreview(2)", 2}, {"ImgPreview(3)", 12}, {"ImgPreview(1)", 11}, {"ImgPreview(0)", 1}};
        for (const auto& [button, page] : steps) {
            Click(w, button);
            EXPECT_EQ(w.View()->PreviewPage(), page) << button;
            EXPECT_EQ(Box(w, "TextPage")->text().toInt(), page);
        }
        // A double-click pages twice: the click and the double-click each act once.
        DoubleClick(Button(w, "ImgPreview(2)"), Qt::LeftButton);
        EXPECT_EQ(w.View()->PreviewPage(), 3);

        QLineEdit* box = Box(w, "TextPage");
        box->setFocus();
        // "13" is typed key by key: page 1, then a page the document does not have
        const struct { const char* typed; const char* text; int page; bool red; } typing[] = {
            {"0", "0", 3, true}, {"13", "13", 1, true}, {"x", "13", 1, true}, {"5", "5", 5, false},
        };
        for (const auto& t : typing) {
            box->selectAll();
            QTest::keyClicks(box, t.typed);
            EXPECT_EQ(box->text(), t.text) << t.typed;
            EXPECT_EQ(w.View()->PreviewPage(), t.page) << t.typed;
            EXPECT_EQ(box->palette().color(QPalette::Text), t.red ? QColor(255, 0, 0) : QColor(0, 0, 0)) << t.typed;
        }
    });
}

TEST_F(FrmPreviewTest, ZoomButtonsStopAtTheEndsOfTheGrid) {
    MakeDocument(surface, 3);
    PreviewRequest request = WholePageRequest();
    request.ZoomMode = kZoomPercentage;
    request.Zoom = kZoomHundredPercent;
    RunPreview(surface, request, [](FrmPreview& w) {
        PageView* view = w.View();
        const struct { const char* button; int clicks; double zoom; const char* label; } limits[] = {
            {"cmdPreview(5)", 6, 243.75, "250 %"}, {"cmdPreview(6)", 2, 43.75, "50 %"},
        };
        for (const auto& l : limits) {
            view->SetZoom(kZoomHundredPercent);
            w.RefreshControls();
            for (int i = 0; i < l.clicks; ++i) Click(w, l.button);
            EXPECT_DOUBLE_EQ(view->Zoom(), l.zoom) << l.button;
            EXPECT_EQ(LabelText(w, "Label(3)"), l.label);
            EXPECT_FALSE(Enabled(w, l.button)) << l.zoom << " is the end of the grid";
        }
        w.PreviewAction(6);  // the action itself turns to the whole page at 50 % or less
        EXPECT_EQ(view->ZoomMode(), kZoomWholePage);
        // From the fitted page one step up lands on the first grid value above it.
        w.resize(900, 520);
        ASSERT_LT(view->Zoom(), 43.75);
        Click(w, "cmdPreview(5)");
        EXPECT_DOUBLE_EQ(view->Zoom(), 43.75);
    });
}

TEST_F(FrmPreviewTest, KeyboardTablePagesFromAnyControlAndEscClosesWithoutPrinting) {
    MakeDocument(surface, 12);
    modqorPrintLib().DocPrinted = true;
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        PageView* view = w.View();
        QLineEdit* box = Box(w, "TextPage");
        box->setFocus();
        box->setCursorPosition(1);
        QTest::keyClick(box, Qt::Key_Left);  // previous page is disabled: consumed, nothing else
        EXPECT_EQ(box->cursorPosition(), 1);
        QWidget* copies = Box(w, "txtKopie");
        const struct { QWidget* target; Qt::Key key; Qt::KeyboardModifiers modifiers; int page; } steps[] = {
            {box, Qt::Key_Right, {}, 2},    {box, Qt::Key_Right, {}, 3},      {box, Qt::Key_Left, {}, 2},
            {box, Qt::Key_End, {}, 12},     {box, Qt::Key_Home, {}, 1},       {box, Qt::Key_PageDown, {}, 2},
            {box, Qt::Key_PageDown, {}, 3}, {box, Qt::Key_PageUp, {}, 2},
            // Home, End, Page Up and Page Down act only without Shift, Ctrl or Alt
            {box, Qt::Key_End, Qt::ShiftModifier, 2}, {box, Qt::Key_End, Qt::ControlModifier, 2},
            {box, Qt::Key_PageDown, Qt::AltModifier, 2},
            {view, Qt::Key_End, {}, 12},    {copies, Qt::Key_Home, {}, 1},
        };
        for (const auto& s : steps) {
            QTest::keyClick(s.target, s.key, s.modifiers);
            EXPECT_EQ(view->PreviewPage(), s.page) << "key " << s.key << " on " << s.target->objectName().toStdString();
        }
        EXPECT_EQ(box->text(), "1");
        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible()) << "Esc closes";
    });
    EXPECT_FALSE(modqorPrintLib().DocPrinted) << "Esc closes without printing";

    modqorPrintLib().DocPrinted = true;
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) { w.close(); });
    EXPECT_TRUE(modqorPrintLib().DocPrinted) << "the close box leaves DocPrinted alone";
}

TEST_F(FrmPreviewTest, CopiesAndRangeBoxesFilterAndNeverStayEmpty) {
    MakeDocument(surface, 2);
    PreviewRequest request = WholePageRequest();
    request.CopiesText = "2";
    RunPreview(surface, request, [](FrmPreview& w) {
        QLineEdit* copies = Box(w, "txtKopie");
        QLineEdit* range = Box(w, "txtRange");
        copies->setFocus();
        Pump();
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { QTest::keyClick(copies, Qt::Key_Up); }, "3"},
            {[&] { for (int i = 0; i < 3; ++i) QTest::keyClick(copies, Qt::Key_Down); }, "1"},  // at least 1
            {[&] { copies->setText("99"); QTest::keyClick(copies, Qt::Key_Up); }, "99"},       // at most 99
            {[&] { copies->selectAll(); QTest::keyClicks(copies, "a7b"); }, "7"},               // digits only
            {[&] { copies->setText("0"); range->setFocus(); }, "1"},                           // never 0 or empty
        };
        for (const auto& [step, text] : steps) {
            step();
            EXPECT_EQ(copies->text(), text);
        }
        range->selectAll();
        QTest::keyClicks(range, "1a-3, ;5");
        EXPECT_EQ(range->text(), "1-3,5") << "digits, minus and comma only";
        range->setText("   ");
        copies->setFocus();
        EXPECT_EQ(range->text(), "1");
    });
}

TEST_F(FrmPreviewTest, MouseZoomsShowsMorePagesAndDragsALargePage) {
    MakeDocument(surface, 10);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        PageView* view = w.View();
        QWidget* page = view->viewport();
        const QPoint centre = page->rect().center();
        // In the whole-page view a right double-click shows more pages, up to 18.
        for (int expected : {2, 4, 6, 8, 12, 18, 18}) {
            DoubleClick(page, Qt::RightButton, centre);
            EXPECT_EQ(view->PagesShown(), expected);
        }
        EXPECT_EQ(LabelText(w, "Label(3)"), "10") << "no more than the document's pages";

        // A left double-click on a page of several shows it alone at page width, which the
        // window turns into 100 %.
        view->SetPagesShown(4);
        const QRectF third = view->PageRectInView(3);
        DoubleClick(page, Qt::LeftButton, third.center().toPoint());
        EXPECT_EQ(view->PreviewPage(), 3);
        EXPECT_EQ(view->PagesShown(), 1);
        EXPECT_EQ(view->ZoomMode(), 0);
        EXPECT_DOUBLE_EQ(view->Zoom(), 93.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "100 %");

        view->SetZoom(kZoomHundredPercent);
        DoubleClick(page, Qt::LeftButton, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 118.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "125 %") << "the window hears of the mouse zoom";
        QTest::mouseClick(page, Qt::RightButton, Qt::ControlModifier, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), kZoomHundredPercent);
        for (int i = 0; i < 8; ++i) DoubleClick(page, Qt::LeftButton, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 243.75) << "no further than 250 %";

        QScrollBar* h = view->horizontalScrollBar();
        QScrollBar* v = view->verticalScrollBar();
        h->setValue(h->maximum() / 2);
        v->setValue(v->maximum() / 2);
        const QPoint before(h->value(), v->value());
        QTest::mousePress(page, Qt::LeftButton, {}, centre);
        QTest::mouseMove(page, centre - QPoint(60, 80));
        QTest::mouseRelease(page, Qt::LeftButton, {}, centre - QPoint(60, 80));
        EXPECT_EQ(h->value(), before.x() + 60);
        EXPECT_EQ(v->value(), before.y() + 80);
    });
}

TEST_F(FrmPreviewTest, ViewOnlyModeKeepsPrintAndPdfDisabledAndUnattendedClosesAtOnce) {
    MakeDocument(surface, 2);
    PreviewRequest request = WholePageRequest();
    request.PrintEnabled = false;
    request.PdfEnabled = false;
    modqorPrintLib().PreviewMode = 4;
    RunPreview(surface, request, [](FrmPreview& w) {
        Click(w, "ImgPreview(2)");  // paging refreshes, but never enables print again
        EXPECT_FALSE(Enabled(w, "cmdprint"));
        EXPECT_FALSE(Enabled(w, "cmdPDF"));
    });

    GenServices().Unattended = true;
    modqorPrintLib().DocPrinted = true;
    CurrentPreviewHost()->ShowModal(surface, WholePageRequest());
    EXPECT_FALSE(modqorPrintLib().DocPrinted);
    EXPECT_EQ(preview::FrmPreview::Current(), nullptr);
    GenServices().Unattended = false;
}

}  // namespace
}  // namespace qor::test
