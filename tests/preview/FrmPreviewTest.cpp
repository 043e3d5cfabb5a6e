// The preview window driven as a user drives it: buttons, boxes, keys and the mouse on the
// page, with the document on a real surface.
#include <qor/GenServices.h>
#include <qor/ModuleState.h>

#include <QApplication>
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

QToolButton* Button(FrmPreview& w, const char* name) {
    auto* b = w.findChild<QToolButton*>(name);
    EXPECT_NE(b, nullptr) << name;
    return b;
}
QLineEdit* Box(FrmPreview& w, const char* name) {
    auto* b = w.findChild<QLineEdit*>(name);
    EXPECT_NE(b, nullptr) << name;
    return b;
}
QString LabelText(FrmPreview& w, const char* name) {
    auto* l = w.findChild<QLabel*>(name);
    return l ? l->text() : QString("<missing %1>").arg(name);
}
void Click(FrmPreview& w, const char* name) { QTest::mouseClick(Button(w, name), Qt::LeftButton); }
bool Enabled(FrmPreview& w, const char* name) { return Button(w, name)->isEnabled(); }
// A double-click as the system delivers it: press, release, double-click, release.
void DoubleClick(QWidget* w, Qt::MouseButton button, QPoint pos = {}) {
    QTest::mousePress(w, button, {}, pos);
    QTest::mouseRelease(w, button, {}, pos);
    QTest::mouseDClick(w, button, {}, pos);
    QTest::mouseRelease(w, button, {}, pos);
}
bool IsRed(QLineEdit* box) { return box->palette().color(QPalette::Text) == QColor(255, 0, 0); }

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

TEST_F(FrmPreviewTest, EveryControlCarriesItsNameKindAndToolTip) {
    MakeDocument(surface, 2);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        const std::pair<const char*, const char*> tips[] = {
            {"ImgPreview(0)", " First Page"},
            {"ImgPreview(1)", " Previous Page "},
            {"ImgPreview(2)", " Next Page "},
            {"ImgPreview(3)", " Last Page "},
            {"cmdPreview(4)", " Full Page View  (Fit Size)  "},
            {"cmdPreview(5)", " Zoom-In "},
            {"cmdPreview(6)", " Zoom-Out "},
            {"cmdPDF", " Save document as PDF "},
            {"cmdHelp", " Help "},
            {"cmdExit", " Close Preview "},
            {"cmdprint", " Send Document to PrinterA"},
        };
        for (const auto& [name, tip] : tips) {
            QToolButton* b = Button(w, name);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->toolTip().toStdString(), tip) << name;
            EXPECT_FALSE(b->icon().isNull()) << name << " has no picture";
            EXPECT_TRUE(b->text().isEmpty()) << name;
        }
        EXPECT_EQ(Box(w, "TextPage")->toolTip().toStdString(), " Type any page number to go straight to that page ");
        EXPECT_EQ(Box(w, "txtRange")->toolTip().toStdString(), " Enter the range to be printed or to be saved as PDF ");
        EXPECT_EQ(Box(w, "txtKopie")->toolTip().toStdString(), " Enter the number of copies to be printed ");
        EXPECT_EQ(w.findChild<QLabel*>("Label(3)")->toolTip().toStdString(), " Scale ");
        for (const char* name : {"Frame(0)", "Frame(1)", "Frame(2)", "Frame(3)", "Frame(4)", "UpDown1",
                                 "ImgBackground", "VSPrinter", "Label(0)", "Label(1)", "Label(2)"})
            EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
        EXPECT_EQ(w.findChild<QWidget*>("TextPage")->parentWidget()->objectName(), "Frame(4)");
        EXPECT_EQ(w.findChild<QWidget*>("Label(3)")->parentWidget()->objectName(), "Frame(1)");

        // Three groups side by side, none overlapping; the page view fills the rest below.
        const QRect nav = w.findChild<QWidget*>("Frame(3)")->geometry();
        const QRect zoom = w.findChild<QWidget*>("Frame(2)")->geometry();
        const QRect out = w.findChild<QWidget*>("Frame(0)")->geometry();
        const QRect view = w.View()->geometry();
        EXPECT_LT(nav.right(), zoom.left());
        EXPECT_LT(zoom.right(), out.left());
        EXPECT_EQ(nav.top(), zoom.top());
        EXPECT_EQ(zoom.top(), out.top());
        EXPECT_EQ(out.right(), view.right()) << "output group aligned with the page view";
        EXPECT_GT(view.top(), out.bottom());
        EXPECT_EQ(view.left(), w.width() - 1 - view.right()) << "page view centred";
        EXPECT_EQ(w.windowTitle(), "Print Preview");
        EXPECT_EQ(LabelText(w, "Label(1)"), "Van-Tot :");
        EXPECT_EQ(LabelText(w, "Label(2)"), "Oplage :");
    });
}

TEST_F(FrmPreviewTest, OnePageDocumentHasNothingToPageThrough) {
    MakeDocument(surface, 1);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        QLineEdit* range = Box(w, "txtRange");
        EXPECT_EQ(range->text(), "1");
        EXPECT_TRUE(range->isReadOnly());
        for (const char* name : {"ImgPreview(0)", "ImgPreview(1)", "ImgPreview(2)", "ImgPreview(3)"})
            EXPECT_FALSE(Enabled(w, name)) << name;
        EXPECT_EQ(LabelText(w, "Label(0)"), " van 1");
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Right})
            QTest::keyClick(w.View(), key);
        EXPECT_EQ(w.View()->PreviewPage(), 1);
        EXPECT_EQ(Box(w, "TextPage")->text(), "1");
        EXPECT_TRUE(w.isVisible());
    });
}

TEST_F(FrmPreviewTest, TwelvePagesOpenAtPageOneWithRangeAndCountInTheLanguage) {
    MakeDocument(surface, 12);
    for (int32_t offset : {0, 10000, 20000}) {
        GenServices().LanguageOffset = offset;
        RunPreview(surface, WholePageRequest(), [offset](FrmPreview& w) {
            EXPECT_EQ(Box(w, "txtRange")->text(), "1-12");
            EXPECT_FALSE(Box(w, "txtRange")->isReadOnly());
            EXPECT_EQ(Box(w, "TextPage")->text(), "1");
            EXPECT_FALSE(Enabled(w, "ImgPreview(0)"));
            EXPECT_FALSE(Enabled(w, "ImgPreview(1)"));
            EXPECT_TRUE(Enabled(w, "ImgPreview(2)"));
            EXPECT_TRUE(Enabled(w, "ImgPreview(3)"));
            EXPECT_EQ(LabelText(w, "Label(3)"), "1") << "whole-page view";
            if (offset == 0) {
                EXPECT_EQ(LabelText(w, "Label(0)"), " van 12");
                EXPECT_EQ(w.windowTitle(), "Print Preview");
            } else if (offset == 10000) {
                EXPECT_EQ(LabelText(w, "Label(0)"), " de 12");
                EXPECT_EQ(w.windowTitle(), "Exemple d'Impression");
                EXPECT_EQ(LabelText(w, "Label(1)"), QString::fromUtf8("De-À :"));
                EXPECT_EQ(LabelText(w, "Label(2)"), "Copies :");
            } else {
                EXPECT_EQ(LabelText(w, "Label(0)"), " of 12");
                EXPECT_EQ(LabelText(w, "Label(1)"), "From - till :");
            }

            Click(w, "ImgPreview(2)");
            EXPECT_EQ(w.View()->PreviewPage(), 2);
            EXPECT_TRUE(Enabled(w, "ImgPreview(0)"));
            Click(w, "ImgPreview(3)");
            EXPECT_EQ(w.View()->PreviewPage(), 12);
            EXPECT_EQ(Box(w, "TextPage")->text(), "12");
            EXPECT_FALSE(Enabled(w, "ImgPreview(2)"));
            EXPECT_FALSE(Enabled(w, "ImgPreview(3)"));
            Click(w, "ImgPreview(1)");
            EXPECT_EQ(w.View()->PreviewPage(), 11);
            Click(w, "ImgPreview(0)");
            EXPECT_EQ(w.View()->PreviewPage(), 1);
            // A double-click pages twice: the click and the double-click each act once.
            DoubleClick(Button(w, "ImgPreview(2)"), Qt::LeftButton);
            EXPECT_EQ(w.View()->PreviewPage(), 3);
        });
    }
}

TEST_F(FrmPreviewTest, ZoomButtonsWalkTheGridBetweenFiftyAndTwoHundredFiftyPercent) {
    MakeDocument(surface, 3);
    PreviewRequest request = WholePageRequest();
    request.ZoomMode = 0;
    request.Zoom = 93.75;
    RunPreview(surface, request, [](FrmPreview& w) {
        PageView* view = w.View();
        EXPECT_EQ(LabelText(w, "Label(3)"), "100 %");
        const std::pair<double, const char*> up[] = {
            {118.75, "125 %"}, {143.75, "150 %"}, {168.75, "175 %"},
            {193.75, "200 %"}, {218.75, "225 %"}, {243.75, "250 %"}};
        for (const auto& [zoom, label] : up) {
            ASSERT_TRUE(Enabled(w, "cmdPreview(5)")) << "before " << label;
            Click(w, "cmdPreview(5)");
            EXPECT_DOUBLE_EQ(view->Zoom(), zoom);
            EXPECT_EQ(view->ZoomMode(), 0);
            EXPECT_EQ(LabelText(w, "Label(3)"), label);
        }
        EXPECT_FALSE(Enabled(w, "cmdPreview(5)")) << "243.75 is the top of the grid";
        EXPECT_TRUE(Enabled(w, "cmdPreview(6)"));

        view->SetZoom(93.75);
        w.RefreshControls();
        Click(w, "cmdPreview(6)");
        EXPECT_DOUBLE_EQ(view->Zoom(), 68.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "75 %");
        Click(w, "cmdPreview(6)");
        EXPECT_DOUBLE_EQ(view->Zoom(), 43.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "50 %");
        EXPECT_FALSE(Enabled(w, "cmdPreview(6)")) << "43.75 is the bottom of the grid";
        EXPECT_TRUE(Enabled(w, "cmdPreview(5)"));

        // The zoom-out action itself turns to the whole page at 50 % or less.
        w.PreviewAction(6);
        EXPECT_EQ(view->ZoomMode(), 3);
        EXPECT_EQ(LabelText(w, "Label(3)"), "1");

        // From the fitted page one step up lands on the first grid value above it.
        w.resize(900, 520);   // a page view about 420 pixels high
        const double fitted = view->Zoom();
        ASSERT_GT(fitted, 18.75);
        ASSERT_LT(fitted, 43.75) << "a 420 pixel high view fits an A4 page below 43.75 %";
        Click(w, "cmdPreview(5)");
        EXPECT_DOUBLE_EQ(view->Zoom(), 43.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "50 %");
        Click(w, "cmdPreview(4)");
        EXPECT_EQ(view->ZoomMode(), 3);
        EXPECT_TRUE(Enabled(w, "cmdPreview(4)"));
    });
}

TEST_F(FrmPreviewTest, PageBoxGoesToTypedPageOrTurnsRed) {
    MakeDocument(surface, 12);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        QLineEdit* box = Box(w, "TextPage");
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "0");
        EXPECT_TRUE(IsRed(box));
        EXPECT_EQ(w.View()->PreviewPage(), 1);
        box->selectAll();
        QTest::keyClicks(box, "13");
        EXPECT_TRUE(IsRed(box));
        EXPECT_EQ(w.View()->PreviewPage(), 1);
        box->selectAll();
        QTest::keyClicks(box, "x");   // letters never reach the box
        EXPECT_EQ(box->text(), "13");
        box->selectAll();
        QTest::keyClicks(box, "3");
        EXPECT_FALSE(IsRed(box));
        EXPECT_EQ(box->palette().color(QPalette::Text), QColor(0, 0, 0));
        EXPECT_EQ(w.View()->PreviewPage(), 3);
        EXPECT_TRUE(Enabled(w, "ImgPreview(0)"));
    });
}

TEST_F(FrmPreviewTest, KeyboardTablePagesAndConsumesItsKeys) {
    MakeDocument(surface, 12);
    modqorPrintLib().DocPrinted = true;
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        PageView* view = w.View();
        QLineEdit* box = Box(w, "TextPage");
        box->setFocus();
        box->setCursorPosition(1);
        QTest::keyClick(box, Qt::Key_Left);   // previous page is disabled: consumed, nothing else
        EXPECT_EQ(box->cursorPosition(), 1);
        EXPECT_EQ(view->PreviewPage(), 1);

        const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Left, 2},
                                                 {Qt::Key_End, 12},  {Qt::Key_Home, 1},  {Qt::Key_PageDown, 2},
                                                 {Qt::Key_PageDown, 3}, {Qt::Key_PageUp, 2}};
        for (const auto& [key, page] : steps) {
            QTest::keyClick(box, key);
            EXPECT_EQ(view->PreviewPage(), page) << "after key " << key;
            EXPECT_EQ(box->text().toInt(), page);
        }
        // Home, End, Page Up and Page Down act only without Shift, Ctrl or Alt.
        QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_PageDown, Qt::AltModifier);
        EXPECT_EQ(view->PreviewPage(), 2);
        // The same keys work from any control, the page view included.
        QTest::keyClick(view, Qt::Key_End);
        EXPECT_EQ(view->PreviewPage(), 12);
        QTest::keyClick(Box(w, "txtKopie"), Qt::Key_Home);
        EXPECT_EQ(view->PreviewPage(), 1);

        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible()) << "Esc closes";
    });
    EXPECT_FALSE(modqorPrintLib().DocPrinted) << "Esc closes without printing";
}

TEST_F(FrmPreviewTest, CloseButtonAndWindowCloseBox) {
    MakeDocument(surface, 2);
    modqorPrintLib().DocPrinted = true;
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) { Click(w, "cmdExit"); });
    EXPECT_FALSE(modqorPrintLib().DocPrinted);

    modqorPrintLib().DocPrinted = true;
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) { w.close(); });
    EXPECT_TRUE(modqorPrintLib().DocPrinted) << "the close box leaves DocPrinted alone";
}

TEST_F(FrmPreviewTest, CopiesBoxStepsFiltersAndNeverStaysEmpty) {
    MakeDocument(surface, 2);
    PreviewRequest request = WholePageRequest();
    request.CopiesText = "2";
    RunPreview(surface, request, [](FrmPreview& w) {
        QLineEdit* copies = Box(w, "txtKopie");
        QLineEdit* range = Box(w, "txtRange");
        EXPECT_EQ(copies->text(), "2");
        copies->setFocus();
        Pump();
        EXPECT_EQ(copies->selectedText(), "2") << "the box selects its text on entry";
        QTest::keyClick(copies, Qt::Key_Up);
        EXPECT_EQ(copies->text(), "3");
        QTest::keyClick(copies, Qt::Key_Down);
        QTest::keyClick(copies, Qt::Key_Down);
        QTest::keyClick(copies, Qt::Key_Down);
        EXPECT_EQ(copies->text(), "1") << "the keys keep at least 1";
        copies->setText("99");
        QTest::keyClick(copies, Qt::Key_Up);
        EXPECT_EQ(copies->text(), "99") << "and at most 99";

        QWidget* spinner = w.findChild<QWidget*>("UpDown1");
        copies->setText("98");
        QTest::mouseClick(spinner->findChild<QToolButton*>("Up"), Qt::LeftButton);
        QTest::mouseClick(spinner->findChild<QToolButton*>("Up"), Qt::LeftButton);
        EXPECT_EQ(copies->text(), "99");
        copies->setText("1");
        QTest::mouseClick(spinner->findChild<QToolButton*>("Down"), Qt::LeftButton);
        EXPECT_EQ(copies->text(), "0");

        copies->selectAll();
        QTest::keyClicks(copies, "a7b");
        EXPECT_EQ(copies->text(), "7") << "digits only";
        copies->setText("0");
        range->setFocus();   // copies loses the focus
        EXPECT_TRUE(range->hasFocus());
        EXPECT_EQ(copies->text(), "1");

        range->selectAll();
        QTest::keyClicks(range, "1a-3, ;5");
        EXPECT_EQ(range->text(), "1-3,5") << "digits, minus and comma only";
        range->setText("  2-4 ");
        copies->setFocus();
        EXPECT_EQ(range->text(), "2-4");
        range->setFocus();
        range->setText("   ");
        copies->setFocus();
        EXPECT_EQ(range->text(), "1");
    });
}

TEST_F(FrmPreviewTest, FourPagesAtOnceFromTheWholePageView) {
    MakeDocument(surface, 10);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        PageView* view = w.View();
        QWidget* page = view->viewport();
        DoubleClick(page, Qt::RightButton, page->rect().center());
        EXPECT_EQ(view->PagesShown(), 2);
        EXPECT_EQ(LabelText(w, "Label(3)"), "2");
        DoubleClick(page, Qt::RightButton, page->rect().center());
        EXPECT_EQ(view->PagesShown(), 4);
        EXPECT_EQ(LabelText(w, "Label(3)"), "4");

        QLineEdit* box = Box(w, "TextPage");
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "9");
        EXPECT_EQ(view->PreviewPage(), 9);
        Click(w, "ImgPreview(3)");   // N + 1 - S
        EXPECT_EQ(view->PreviewPage(), 7);
        box->selectAll();
        QTest::keyClicks(box, "9");
        Click(w, "ImgPreview(2)");   // asks for page 13, the view keeps the last page
        EXPECT_EQ(view->PreviewPage(), 10);
        EXPECT_FALSE(Enabled(w, "ImgPreview(3)"));
        Click(w, "ImgPreview(1)");   // P - S
        EXPECT_EQ(view->PreviewPage(), 6);
        EXPECT_EQ(view->PagesShown(), 4);

        // More pages up to 18, never beyond.
        for (int expected : {6, 8, 12, 18, 18}) {
            DoubleClick(page, Qt::RightButton, page->rect().center());
            EXPECT_EQ(view->PagesShown(), expected);
        }
        EXPECT_EQ(LabelText(w, "Label(3)"), "10") << "no more than the document's pages";
    });
}

TEST_F(FrmPreviewTest, PageWidthNotificationEndsInPercentageViewAtOneHundred) {
    MakeDocument(surface, 6);
    RunPreview(surface, WholePageRequest(), [](FrmPreview& w) {
        PageView* view = w.View();
        view->SetPagesShown(4);
        w.RefreshControls();
        // A left double-click on the third of four pages shows it alone at page width
        // (zoom mode 4), which the window turns into 100 %.
        QWidget* viewport = view->viewport();
        const QRectF third = view->PageRectInView(3);
        ASSERT_FALSE(third.isEmpty()) << "page 3 is in view";
        EXPECT_TRUE(view->PageRectInView(4).left() > third.right() || view->PageRectInView(4).top() > third.bottom());
        DoubleClick(viewport, Qt::LeftButton, third.center().toPoint());
        EXPECT_EQ(view->PreviewPage(), 3);
        EXPECT_EQ(view->PagesShown(), 1);
        EXPECT_EQ(view->ZoomMode(), 0);
        EXPECT_DOUBLE_EQ(view->Zoom(), 93.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "100 %");
        EXPECT_EQ(Box(w, "TextPage")->text(), "3");

        view->SetZoomMode(4);   // from the program too
        EXPECT_EQ(view->ZoomMode(), 0);
        EXPECT_EQ(LabelText(w, "Label(3)"), "100 %");
    });
}

TEST_F(FrmPreviewTest, MouseZoomsInStepsAndDragsALargePage) {
    MakeDocument(surface, 2);
    PreviewRequest request = WholePageRequest();
    request.ZoomMode = 0;
    request.Zoom = 93.75;
    RunPreview(surface, request, [](FrmPreview& w) {
        PageView* view = w.View();
        QWidget* page = view->viewport();
        const QPoint centre = page->rect().center();
        DoubleClick(page, Qt::LeftButton, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 118.75);
        EXPECT_EQ(LabelText(w, "Label(3)"), "125 %") << "the window hears of the mouse zoom";
        DoubleClick(page, Qt::RightButton, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 93.75);
        QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 118.75);
        QTest::mouseClick(page, Qt::RightButton, Qt::ControlModifier, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 93.75);
        for (int i = 0; i < 8; ++i) DoubleClick(page, Qt::LeftButton, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 243.75) << "no further than 250 %";
        EXPECT_EQ(LabelText(w, "Label(3)"), "250 %");
        EXPECT_FALSE(Enabled(w, "cmdPreview(5)"));

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

        for (int i = 0; i < 10; ++i) DoubleClick(page, Qt::RightButton, centre);
        EXPECT_DOUBLE_EQ(view->Zoom(), 43.75) << "no further than 50 %";
        EXPECT_EQ(LabelText(w, "Label(3)"), "50 %");
    });
}

TEST_F(FrmPreviewTest, ViewOnlyModeDisablesPrintAndPdf) {
    MakeDocument(surface, 2);
    PreviewRequest request = WholePageRequest();
    request.PrintEnabled = false;
    request.PdfEnabled = false;
    request.Caption = "Facturen";
    modqorPrintLib().PreviewMode = 4;
    RunPreview(surface, request, [](FrmPreview& w) {
        EXPECT_FALSE(Enabled(w, "cmdprint"));
        EXPECT_FALSE(Enabled(w, "cmdPDF"));
        EXPECT_TRUE(Enabled(w, "cmdHelp"));
        EXPECT_EQ(w.windowTitle(), "Facturen");
        Click(w, "ImgPreview(2)");   // paging refreshes, but never enables print again
        EXPECT_FALSE(Enabled(w, "cmdprint"));
        EXPECT_FALSE(Enabled(w, "cmdPDF"));
    });
}

TEST_F(FrmPreviewTest, UnattendedClosesAtOnceWithoutPrinting) {
    MakeDocument(surface, 2);
    GenServices().Unattended = true;
    modqorPrintLib().DocPrinted = true;
    CurrentPreviewHost()->ShowModal(surface, WholePageRequest());
    EXPECT_FALSE(modqorPrintLib().DocPrinted);
    EXPECT_EQ(preview::FrmPreview::Current(), nullptr);
    GenServices().Unattended = false;
}

}  // namespace
}  // namespace qor::test
