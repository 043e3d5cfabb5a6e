// The preview's outline panel: shown only for a document with an outline, its entries in
// a tree, and a click on one showing that entry's page and place.
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "core/ModuleState.h"
#include "preview/FrmPreview.h"
#include "preview/PageView.h"
#include "preview/PreviewTestSupport.h"
#include "surface/DocumentAccess.h"

namespace qor::test {
namespace {

using preview::FrmPreview;

void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

TEST(PreviewOutline, PanelListsTheEntriesAndAClickShowsThePage) {
    modqorPrintLib().PreviewMode = 1;
    VSPrinter plain;
    MakeDocument(plain, 2);
    RunPreview(plain, WholePageRequest(), [](FrmPreview& w) {
        EXPECT_EQ(w.OutlinePanel(), nullptr);
        EXPECT_EQ(w.findChild<QTreeWidget*>("tvwOutline"), nullptr);
    });

    VSPrinter marked;
    MakeDocument(marked, 8);
    // Chapter 1 on page 1 with an entry on page 3, chapter 2 on page 6 low on the page.
    surface::DocumentOf(marked).outline = {
        {0, 0, 1440, "Chapter 1"}, {1, 2, 2600, "Section 1.1"}, {0, 5, 11000, "Chapter 2"}};
    PreviewRequest percent = WholePageRequest();
    percent.ZoomMode = kZoomPercentage;
    percent.Zoom = 150;
    RunPreview(marked, percent, [](FrmPreview& w) {
        QTreeWidget* tree = w.OutlinePanel();
        ASSERT_NE(tree, nullptr);
        EXPECT_TRUE(tree->isVisible());
        EXPECT_EQ(tree->objectName(), "tvwOutline");
        // Left of the pages, beside them.
        EXPECT_LE(tree->geometry().right(), w.View()->geometry().left());
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* chapter1 = tree->topLevelItem(0);
        QTreeWidgetItem* chapter2 = tree->topLevelItem(1);
        EXPECT_EQ(chapter1->text(0), "Chapter 1");
        EXPECT_EQ(chapter2->text(0), "Chapter 2");
        ASSERT_EQ(chapter1->childCount(), 1);
        EXPECT_EQ(chapter1->child(0)->text(0), "Section 1.1");
        EXPECT_EQ(chapter2->childCount(), 0);

        ClickItem(tree, chapter2);
        EXPECT_EQ(w.View()->PreviewPage(), 6);
        EXPECT_EQ(w.findChild<QLineEdit*>("TextPage")->text(), "6");
        // At 150 % the page is taller than the view: the entry's place is scrolled near the top.
        const double y = w.View()->PageRectInView(6).top() + 11000 * w.View()->PixelsPerTwip();
        EXPECT_GT(w.View()->verticalScrollBar()->value(), 0);
        EXPECT_GE(y, 0);
        EXPECT_LT(y, w.View()->viewport()->height() / 3);

        tree->expandItem(chapter1);
        ClickItem(tree, chapter1->child(0));
        EXPECT_EQ(w.View()->PreviewPage(), 3);
        ClickItem(tree, chapter1);
        EXPECT_EQ(w.View()->PreviewPage(), 1);
    });
}

}  // namespace
}  // namespace qor::test
