// The help window opened from the preview: texts, look, place, and what closes it.
#include <qor/GenServices.h>
#include <qor/ModuleState.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "core/Twips.h"
#include "preview/FrmPreview.h"
#include "preview/FrmPreviewHelp.h"
#include "preview/PageView.h"
#include "preview/PreviewTestSupport.h"

namespace qor::test {
namespace {

using preview::FrmPreview;
using preview::FrmPreviewHelp;

QString Text(QWidget* help, int label) {
    auto* l = help->findChild<QLabel*>(QString("Label(%1)").arg(label));
    return l ? l->text() : QString("<no Label(%1)>").arg(label);
}

class FrmPreviewHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        GenServices().LanguageOffset = 20000;
        modqorPrintLib().PreviewMode = 1;
        MakeDocument(surface, 3);
    }
    void TearDown() override { GenServices().LanguageOffset = 0; }

    // Opens the help window from the preview's help button and runs `check` on it; the
    // help window must be closed by `check`.
    void WithHelp(const std::function<void(FrmPreview&, QWidget*)>& check) {
        RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
            bool seen = false;
            WhenModal("FrmPreviewHelp", [&](QWidget* help) {
                seen = true;
                check(w, help);
                if (help->isVisible()) {
                    ADD_FAILURE() << "the help window stayed open";
                    help->close();
                }
            });
            QTest::mouseClick(w.findChild<QToolButton*>("cmdHelp"), Qt::LeftButton);
            EXPECT_TRUE(seen);
            EXPECT_EQ(FrmPreviewHelp::Current(), nullptr) << "unloaded when it closes";
            EXPECT_TRUE(w.isVisible()) << "the preview stays open";
        });
    }

    VSPrinter surface;
};

TEST_F(FrmPreviewHelpTest, EnglishTextsExampleBoxesAndYellowBackground) {
    WithHelp([](FrmPreview& w, QWidget* help) {
        EXPECT_EQ(help->windowTitle(), "Help Print Preview");
        const char* english[17] = {
            "Display :", "Left-mouse button Double-click", "(or)  Ctrl + Left-mouse button",
            "= Zoom-In with 25 % steps  (to a max. of 250 %)", "Right-mouse button Double-click",
            "(or)  Ctrl + Right-mouse buttong", "= Zoom-Out with 25 % steps  (to a min. of 50 %)",
            "Right-mouse button Double-Click", "(when the entire page is displayed)",
            "= displays 2 to maximum of 18 pages at the same time", "Left-mouse button click and hold",
            "(when the page is larger than the window)", "= move the page", "Print from-till :",
            "= Page 1", "= Pages 1 till and including 5", "= Pages 2 and 4"};
        for (int i = 0; i < 17; ++i) EXPECT_EQ(Text(help, i).toStdString(), english[i]) << "Label(" << i << ")";
        EXPECT_EQ(Text(help, 20), "1");
        EXPECT_EQ(Text(help, 21), "1-5");
        EXPECT_EQ(Text(help, 22), "2,4");
        EXPECT_EQ(help->palette().color(QPalette::Window), QColor(255, 255, 192));
        EXPECT_TRUE(help->findChild<QLabel*>("Label(0)")->font().bold());
        EXPECT_TRUE(help->findChild<QLabel*>("Label(13)")->font().bold());
        EXPECT_FALSE(help->findChild<QLabel*>("Label(1)")->font().bold());
        for (int i = 0; i < 4; ++i)
            EXPECT_FALSE(help->findChild<QLabel*>(QString("Img(%1)").arg(i))->pixmap().isNull()) << i;

        // Every line fits in the window; an example box sits left of its explanation.
        for (int i = 0; i < 17; ++i)
            EXPECT_LE(help->findChild<QLabel*>(QString("Label(%1)").arg(i))->geometry().right(), help->width());
        for (int i = 0; i < 3; ++i)
            EXPECT_LT(help->findChild<QLabel*>(QString("Label(%1)").arg(20 + i))->geometry().right(),
                      help->findChild<QLabel*>(QString("Label(%1)").arg(14 + i))->geometry().left());

        // Centred over the preview, 1580 twips below its top edge.
        const QRect preview = w.frameGeometry();
        EXPECT_EQ(help->pos().y(), preview.y() + TwipsToPixelsY(1580));
        EXPECT_EQ(help->pos().x(), preview.x() + (preview.width() - help->width()) / 2);
        QTest::keyClick(help, Qt::Key_Escape);
    });
}

TEST_F(FrmPreviewHelpTest, ClosesOnKeysThatTypeACharacterButNotOnArrows) {
    for (Qt::Key closing : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_A}) {
        modqorPrintLib().DocPrinted = true;
        WithHelp([closing](FrmPreview& w, QWidget* help) {
            for (Qt::Key other : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_F5, Qt::Key_Shift})
                QTest::keyClick(help, other);
            EXPECT_TRUE(help->isVisible()) << "keys without a character leave it open";
            const int page = w.View()->PreviewPage();
            QTest::keyClick(help, closing);
            EXPECT_FALSE(help->isVisible()) << "key " << closing;
            EXPECT_EQ(w.View()->PreviewPage(), page);
        });
        EXPECT_TRUE(modqorPrintLib().DocPrinted) << "Esc in the help window did not reach the preview";
    }
}

TEST_F(FrmPreviewHelpTest, ClickOnWindowOrLineClosesButPictureDoesNot) {
    WithHelp([](FrmPreview&, QWidget* help) {
        QTest::mouseClick(help->findChild<QLabel*>("Img(1)"), Qt::LeftButton);
        EXPECT_TRUE(help->isVisible());
        QTest::mouseClick(help->findChild<QLabel*>("Label(5)"), Qt::LeftButton);
        EXPECT_FALSE(help->isVisible());
    });
    WithHelp([](FrmPreview&, QWidget* help) {
        QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_FALSE(help->isVisible());
    });
}

TEST_F(FrmPreviewHelpTest, DutchDesignTextsAndPlaceOverANarrowWindow) {
    GenServices().LanguageOffset = 0;
    QWidget narrow;
    narrow.setGeometry(300, 200, 120, 100);
    FrmPreviewHelp help(&narrow);
    EXPECT_EQ(help.windowTitle(), "Help bij Afdrukvoorbeeld");
    EXPECT_EQ(Text(&help, 3).toStdString(), "= uitvergroten in stappen van 25 %  (tot max. 250 %)");
    EXPECT_EQ(Text(&help, 13).toStdString(), "Afdrukken Van-Tot :");
    EXPECT_LT(help.pos().x(), narrow.frameGeometry().x()) << "wider than the window it belongs to";
}

}  // namespace
}  // namespace qor::test
