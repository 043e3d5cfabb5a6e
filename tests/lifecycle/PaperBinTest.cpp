// The paper-bin dialog and the printer lists of clients (PrCollectionLoad,
// PrCollectionShowBins) through the Qt adapters.
#include "lifecycle/LifecycleSupport.h"

#include "core/FrmPaperBin.h"

#include "core/QtPrinterList.h"
#include <qor/Spooler.h>

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

using PrinterCollection = LifecycleTest;

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
    ASSERT_EQ(std::tie(printers[0], printers[1], printers[3]),
              std::make_tuple("PrinterA", "PrinterB", "PrinterOneTray"));
    QComboBox combo;
    QtComboPrinterList list(combo);
    clsqorPrintLib lib;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.defaultPrinter);
        lib.PrCollectionLoad(list, c.defaultPrinter);
        ASSERT_EQ(list.ListCount(), static_cast<int32_t>(printers.size()) + 1);
        EXPECT_EQ(list.List(0), "(Geen)");  // its code -1 shows in the rows selecting it
        EXPECT_EQ(list.ListIndex(), c.selectedPrinter + 1);
        EXPECT_EQ(list.Text(), c.text);
        EXPECT_EQ(list.ItemData(list.ListIndex()), c.code);
        EXPECT_EQ(list.List(3), printers[2]);
        EXPECT_EQ(list.ItemData(3), 15);
    }
    EXPECT_THROW(lib.PrCollectionLoad(list, "x;PrinterA"), RuntimeError);  // a bin code must be a number
}

class PaperBinDialog : public PrinterCollection {
protected:
    void SetUp() override {
        PrinterCollection::SetUp();
        GenServices().Unattended = false;
    }
    static QListWidget* Bins(QWidget* window) { return window->findChild<QListWidget*>(QStringLiteral("List1")); }
    static int Selected(QWidget* window) {
        const QList<QListWidgetItem*> selected = Bins(window)->selectedItems();
        return selected.isEmpty() ? -1 : Bins(window)->row(selected.first());
    }
    // Loads `entry`, opens the dialog on it, runs `act` and gives what the entry became.
    std::pair<std::string, int32_t> ShowBins(const char* entry, const std::function<void(QWidget*)>& act) {
        lib_.PrCollectionLoad(list_, entry);
        test::WhenModal("FrmPaperBin", act);
        lib_.PrCollectionShowBins(list_);
        return {list_.Text(), list_.ItemData(list_.ListIndex())};
    }

    QListWidget widget_;
    QtListPrinterList list_{widget_};
    clsqorPrintLib lib_;
};

TEST_F(PaperBinDialog, ChoosingAutomaticCancelAndEscRewriteTheEntry) {
    using Entry = std::pair<std::string, int32_t>;
    const auto chooseLower = [](QWidget* window) {
        std::vector<std::string> rows;
        for (int i = 0; i < Bins(window)->count(); ++i) rows.push_back(Bins(window)->item(i)->text().toStdString());
        EXPECT_EQ(rows, (std::vector<std::string>{"(Automatisch)", "", "Upper Tray", "Lower Tray", "Middle Tray",
                                                  "Manual Feed"}));
        EXPECT_EQ(Selected(window), 0);
        test::ClickRow(window, "List1", 1);  // the separator line cannot be chosen
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Selected(window), -1);
        test::ClickRow(window, "List1", 3);
    };
    const auto chooseAutomatic = [](QWidget* window) {
        EXPECT_EQ(Selected(window), 3);  // the entry's bin is preselected
        test::ClickRow(window, "List1", 0);
    };
    const auto esc = [](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); };
    const auto cancel = [](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("cmdAnn"), Qt::LeftButton); };
    EXPECT_EQ(ShowBins("PrinterA", chooseLower), (Entry{"PrinterA;Lower Tray", 2}));
    EXPECT_EQ(ShowBins("2;PrinterA;Lower Tray", chooseAutomatic), (Entry{"PrinterA", 15}));
    EXPECT_EQ(ShowBins("2;PrinterA;Lower Tray", esc), (Entry{"PrinterA;Lower Tray", 2}));
    EXPECT_EQ(ShowBins("2;PrinterA;Lower Tray", cancel), (Entry{"PrinterA;Lower Tray", 2}));
}

TEST_F(PaperBinDialog, FewerThanTwoTraysOrNoneEntryOnlyBeepAndUnattendedKeepsThePreselection) {
    lib_.PrCollectionLoad(list_, "PrinterOneTray");
    list_.SetItemData(list_.ListIndex(), 42);
    test::ModalSpy spy;
    for (bool none : {false, true}) {
        SCOPED_TRACE(none ? "(Geen)" : "PrinterOneTray");
        if (none) list_.SetListIndex(0);
        const std::string before = list_.Text();
        const int beeps = BeepCount();
        lib_.PrCollectionShowBins(list_);
        EXPECT_EQ(BeepCount(), beeps + 1);
        EXPECT_EQ(list_.Text(), before);
        EXPECT_EQ(list_.ItemData(list_.ListIndex()), none ? -1 : 42);
    }
    GenServices().Unattended = true;
    MemoryPrinterList memory;
    lib_.PrCollectionLoad(memory, "2;PrinterA;Lower Tray");
    memory.SetItemData(memory.ListIndex(), 99);
    lib_.PrCollectionShowBins(memory);
    EXPECT_EQ(memory.Text(), "PrinterA;Lower Tray");
    EXPECT_EQ(memory.ItemData(memory.ListIndex()), 2);
    EXPECT_EQ(memory.FocusCount(), 1);
    EXPECT_TRUE(spy.Seen().empty());
}

}  // namespace
}  // namespace qor
