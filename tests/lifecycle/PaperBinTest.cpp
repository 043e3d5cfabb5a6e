// The paper-bin dialog and the printer lists of clients (PrCollectionLoad,
// PrCollectionShowBins) through the Qt adapters.
#include "lifecycle/LifecycleSupport.h"

#include "core/FrmPaperBin.h"
#include "core/Twips.h"

#include <qor/QtPrinterList.h>
#include <qor/Spooler.h>
#include <qor/Texts.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace qor {
namespace {

using test::LifecycleTest;
using Entries = std::vector<BinEntry>;

TEST(BinList, AutomaticAndSeparatorFirstAndCodes7And15NeverListed) {
    GenServices().LanguageOffset = 0;
    const Entries trays = {{"Auto", 7}, {"Upper", 1}, {"Form", 15}, {"Big", 258}, {"Other", 271}, {"Own", 16}};
    EXPECT_EQ(BinListEntries(trays),
              (Entries{{"(Automatisch)", 15}, {"", 0}, {"Upper", 1}, {"Big", 2}, {"Own", 16}}));
}

class PrinterCollection : public LifecycleTest {
protected:
    std::vector<std::string> Texts(const PrinterList& list) {
        std::vector<std::string> texts;
        for (int32_t i = 0; i < list.ListCount(); ++i) texts.push_back(list.List(i));
        return texts;
    }
};

TEST_F(PrinterCollection, LoadListsNoneThenEveryPrinterAndSelectsTheDefaultString) {
    const std::vector<std::string> printers = Spooler::Instance().Printers();
    const struct {
        const char* defaultPrinter;
        int32_t selectedPrinter;  // index into printers, -1 for "(Geen)"
        const char* text;
        int32_t code;
    } cases[] = {
        {"", -1, "(Geen)", -1},
        {"Gone", -1, "(Geen)", -1},
        {"2;PrinterA;Lower Tray", 0, "PrinterA;Lower Tray", 2},
        {"15; printerb ", 1, " printerb ", 15},
        {"PrinterOneTray", 3, "PrinterOneTray", 15},
        {"1;2;3;PrinterA", -1, "(Geen)", -1},
    };
    ASSERT_EQ(printers[0], "PrinterA");
    ASSERT_EQ(printers[1], "PrinterB");
    ASSERT_EQ(printers[3], "PrinterOneTray");
    QComboBox combo;
    QtComboPrinterList list(combo);
    clsqorPrintLib lib;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.defaultPrinter);
        lib.PrCollectionLoad(list, c.defaultPrinter);
        ASSERT_EQ(list.ListCount(), static_cast<int32_t>(printers.size()) + 1);
        EXPECT_EQ(list.List(0), "(Geen)");
        EXPECT_EQ(list.ItemData(0), -1);
        EXPECT_EQ(list.ListIndex(), c.selectedPrinter + 1);
        EXPECT_EQ(list.Text(), c.text);
        EXPECT_EQ(list.ItemData(list.ListIndex()), c.code);
        for (int32_t i = 1; i < list.ListCount(); ++i) {
            if (i == c.selectedPrinter + 1) continue;
            EXPECT_EQ(list.List(i), printers[static_cast<size_t>(i - 1)]);
            EXPECT_EQ(list.ItemData(i), 15);
        }
    }
    EXPECT_THROW(lib.PrCollectionLoad(list, "x;PrinterA"), RuntimeError);  // a bin code must be a number
}

class PaperBinDialog : public PrinterCollection {
protected:
    void SetUp() override {
        PrinterCollection::SetUp();
        GenServices().Unattended = false;
    }
    static std::vector<std::string> Rows(QWidget* window) {
        std::vector<std::string> rows;
        auto* list = window->findChild<QListWidget*>(QStringLiteral("List1"));
        for (int i = 0; list && i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
        return rows;
    }
    static int Selected(QWidget* window) {
        auto* list = window->findChild<QListWidget*>(QStringLiteral("List1"));
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.first());
    }

    QListWidget widget_;
    QtListPrinterList list_{widget_};
    clsqorPrintLib lib_;
};

TEST_F(PaperBinDialog, ListsTheTraysAndTheSeparatorLineCannotBeChosen) {
    lib_.PrCollectionLoad(list_, "PrinterA");
    bool checked = false;
    test::OnModal("FrmPaperBin", [&](QWidget* window) {
        EXPECT_EQ(Rows(window), (std::vector<std::string>{"(Automatisch)", "", "Upper Tray", "Lower Tray",
                                                          "Middle Tray", "Manual Feed"}));
        EXPECT_EQ(Selected(window), 0);
        EXPECT_EQ(window->windowTitle(), "Papierlade selecteren");
        // layout: 255 twips a line plus one, the button 150 twips below the list
        auto* list = window->findChild<QListWidget*>(QStringLiteral("List1"));
        auto* cancel = window->findChild<QPushButton*>(QStringLiteral("cmdAnn"));
        EXPECT_EQ(list->height(), TwipsToPixelsY(7 * 255));
        EXPECT_NEAR(cancel->y() - (list->y() + list->height()), TwipsToPixelsY(150), 1);
        test::ClickRow(window, "List1", 1);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Selected(window), -1);
        test::ClickRow(window, "List1", 3);
        EXPECT_FALSE(window->isVisible());
        checked = true;
    });
    lib_.PrCollectionShowBins(list_);
    EXPECT_TRUE(checked);
    EXPECT_EQ(list_.Text(), "PrinterA;Lower Tray");
    EXPECT_EQ(list_.ItemData(list_.ListIndex()), 2);
}

TEST_F(PaperBinDialog, AutomaticTurnsTheEntryBackIntoThePrinterAlone) {
    lib_.PrCollectionLoad(list_, "2;PrinterA;Lower Tray");
    test::OnModal("FrmPaperBin", [&](QWidget* window) {
        EXPECT_EQ(Selected(window), 3);  // the entry's bin is preselected
        test::ClickRow(window, "List1", 0);
    });
    lib_.PrCollectionShowBins(list_);
    EXPECT_EQ(list_.Text(), "PrinterA");
    EXPECT_EQ(list_.ItemData(list_.ListIndex()), 15);
}

TEST_F(PaperBinDialog, CancelAndEscRewriteTheEntryUnchanged) {
    for (Qt::Key key : {Qt::Key_unknown, Qt::Key_Escape}) {
        lib_.PrCollectionLoad(list_, "2;PrinterA;Lower Tray");
        test::OnModal("FrmPaperBin", [&](QWidget* window) {
            if (key == Qt::Key_Escape) QTest::keyClick(window, key);
            else QTest::mouseClick(window->findChild<QPushButton*>("cmdAnn"), Qt::LeftButton);
        });
        lib_.PrCollectionShowBins(list_);
        EXPECT_EQ(list_.Text(), "PrinterA;Lower Tray");
        EXPECT_EQ(list_.ItemData(list_.ListIndex()), 2);
    }
    // a selection removed on the separator line leaves the entry alone
    lib_.PrCollectionLoad(list_, "2;PrinterA;Lower Tray");
    list_.SetItemData(list_.ListIndex(), 99);
    test::OnModal("FrmPaperBin", [&](QWidget* window) {
        test::ClickRow(window, "List1", 1);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    lib_.PrCollectionShowBins(list_);
    EXPECT_EQ(list_.ItemData(list_.ListIndex()), 99);
}

TEST_F(PaperBinDialog, TranslatedTextsWithALanguageOffset) {
    GenServices().LanguageOffset = 20000;
    lib_.PrCollectionLoad(list_, "PrinterB");
    test::OnModal("FrmPaperBin", [&](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), "Select Paper Bin");
        EXPECT_EQ(window->findChild<QPushButton*>("cmdAnn")->text().toStdString(), GetText(9500));
        EXPECT_EQ(window->findChild<QWidget*>("List1")->toolTip(), " Select Paper Bin ");
        EXPECT_EQ(Rows(window).front(), "(Automatic)");
        QTest::keyClick(window, Qt::Key_Escape);
    });
    lib_.PrCollectionShowBins(list_);
}

TEST_F(PaperBinDialog, FewerThanTwoTraysOrNoneEntryOnlyBeep) {
    lib_.PrCollectionLoad(list_, "PrinterOneTray");
    list_.SetItemData(list_.ListIndex(), 42);
    for (bool none : {false, true}) {
        SCOPED_TRACE(none ? "(Geen)" : "PrinterOneTray");
        if (none) list_.SetListIndex(0);
        const std::string before = list_.Text();
        const int beeps = BeepCount();
        test::ModalSpy spy;
        lib_.PrCollectionShowBins(list_);
        EXPECT_TRUE(spy.Seen().empty());
        EXPECT_EQ(BeepCount(), beeps + 1);
        EXPECT_EQ(list_.Text(), before);
        EXPECT_EQ(list_.ItemData(list_.ListIndex()), none ? -1 : 42);
    }
}

TEST_F(PaperBinDialog, UnattendedKeepsThePreselection) {
    GenServices().Unattended = true;
    MemoryPrinterList memory;
    lib_.PrCollectionLoad(memory, "2;PrinterA;Lower Tray");
    memory.SetItemData(memory.ListIndex(), 99);
    test::ModalSpy spy;
    lib_.PrCollectionShowBins(memory);
    EXPECT_TRUE(spy.Seen().empty());
    EXPECT_EQ(memory.Text(), "PrinterA;Lower Tray");
    EXPECT_EQ(memory.ItemData(memory.ListIndex()), 2);
    EXPECT_EQ(memory.FocusCount(), 1);

    lib_.PrCollectionLoad(memory, "PrinterB");
    memory.SetItemData(memory.ListIndex(), 5);
    lib_.PrCollectionShowBins(memory);
    EXPECT_EQ(memory.Text(), "PrinterB");
    EXPECT_EQ(memory.ItemData(memory.ListIndex()), 15);
}

TEST(QtAdapters, BehaveLikeTheListBoxesTheLibraryExpects) {
    QComboBox combo;
    QListWidget widget;
    QtComboPrinterList comboList(combo);
    QtListPrinterList widgetList(widget);
    for (PrinterList* list : {static_cast<PrinterList*>(&comboList), static_cast<PrinterList*>(&widgetList)}) {
        list->AddItem("a");
        list->AddItem("b");
        EXPECT_EQ(list->NewIndex(), 1);
        EXPECT_EQ(list->ListIndex(), -1);  // adding selects nothing
        EXPECT_EQ(list->Text(), "");
        list->SetItemData(1, 7);
        list->SetListIndex(1);
        EXPECT_EQ(list->Text(), "b");
        EXPECT_EQ(list->ItemData(1), 7);
        list->SetList(1, "c");
        EXPECT_EQ(list->List(1), "c");
        list->SetListIndex(-1);
        EXPECT_EQ(list->ListIndex(), -1);
        EXPECT_THROW(list->SetListIndex(2), RuntimeError);
        EXPECT_THROW(list->ItemData(2), RuntimeError);
        list->Clear();
        EXPECT_EQ(list->ListCount(), 0);
        EXPECT_EQ(list->NewIndex(), -1);
    }
}

}  // namespace
}  // namespace qor
