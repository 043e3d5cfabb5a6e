// The help window opened from the preview: its texts and what closes it.
#include <qor/GenServices.h>
#include "core/ModuleState.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "preview/FrmPreview.h"
#include "preview/FrmPreviewHelp.h"
#include "preview/PageView.h"
#include "preview/PreviewTestSupport.h"

namespace qor::test {
namespace {

using preview::FrmPreview;
using preview::FrmPreviewHelp;

// Opens the help window from the preview's help button and runs `check`, which must close it.
void WithHelp(const std::function<void(FrmPreview&, QWidget*)>& check) {
    VSPrinter surface;
    MakeDocument(surface, 3);
    RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        bool seen = false;
        WhenModal("FrmPreviewHelp", [&](QWidget* help) {
            seen = true;
            check(w, help);
            EXPECT_FALSE(help->isVisible()) << "the help window stayed open";
            help->close();
        });
        QTest::mouseClick(w.findChild<QToolButton*>("cmdHelp"), Qt::LeftButton);
        EXPECT_TRUE(seen);
        EXPECT_EQ(FrmPreviewHelp::Current(), nullptr) << "unloaded when it closes";
        EXPECT_TRUE(w.isVisible()) << "the preview stays open";
    });
}

TEST(FrmPreviewHelpTest, TextsFollowTheLanguageAndKeysOrClicksCloseIt) {
    GenServices().LanguageOffset = 20000;
    modqorPrintLib().PreviewMode = 1;
    WithHelp([](FrmPreview&, QWidget* help) {
        EXPECT_EQ(help->windowTitle(), "Help Print Preview");
        EXPECT_EQ(help->findChild<QLabel*>("Label(3)")->text().toStdString(),
                  "= Zoom-In with 25 % steps  (to a max. of 250 %)");
        QTest::mouseClick(help->findChild<QLabel*>("Img(1)"), Qt::LeftButton);
        EXPECT_TRUE(help->isVisible()) << "a click on a picture leaves it open";
        QTest::mouseClick(help->findChild<QLabel*>("Label(5)"), Qt::LeftButton);
    });
    WithHelp([](FrmPreview&, QWidget* help) { QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(3, 3)); });
    for (Qt::Key closing : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_A}) {
        modqorPrintLib().DocPrinted = true;
        WithHelp([closing](FrmPreview& w, QWidget* help) {
            for (Qt::Key other : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Down, Qt::Key_F5, Qt::Key_Shift})
                QTest::keyClick(help, other);
            EXPECT_TRUE(help->isVisible()) << "keys without a character leave it open";
            QTest::keyClick(help, closing);
            EXPECT_EQ(w.View()->PreviewPage(), 1);
        });
        EXPECT_TRUE(modqorPrintLib().DocPrinted) << "key " << closing << " reached the preview";
    }
    GenServices().LanguageOffset = 0;
}

}  // namespace
}  // namespace qor::test
