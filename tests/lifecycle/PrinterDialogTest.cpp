// The printer dialog driven by Qt Test, and its unattended answer.
#include "lifecycle/LifecycleSupport.h"

#include <qor/Spooler.h>
#include <qor/Texts.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace qor {
namespace {

using test::LifecycleTest;

class PrinterDialog : public LifecycleTest {
protected:
    void SetUp() override {
        LifecycleTest::SetUp();
        GenServices().Unattended = false;
    }

    static QString LabelText(QWidget* window, const char* name) {
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }
    static int RowOf(QWidget* window, const QString& text) {
        auto* list = window->findChild<QListWidget*>(QStringLiteral("lstPrinters"));
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? -1 : list->row(found.first());
    }
    static void Click(QWidget* window, const char* name) {
        auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(PrinterDialog, ShowsThePromptAndEveryPrinterTranslucent) {
    std::vector<std::string> printers = Spooler::Instance().Printers();
    bool checked = false;
    test::OnModal("FrmSelectPrinter", [&](QWidget* window) {
        EXPECT_EQ(LabelText(window, "Label0").toStdString(), GetText(1070));
        EXPECT_EQ(LabelText(window, "Label1"), "");
        EXPECT_NEAR(window->windowOpacity(), 240.0 / 255.0, 0.01);
        auto* list = window->findChild<QListWidget*>(QStringLiteral("lstPrinters"));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), static_cast<int>(printers.size()));
        for (int i = 0; i < list->count(); ++i) {
            EXPECT_EQ(list->item(i)->text().toStdString(), printers[static_cast<size_t>(i)]);
            EXPECT_EQ(list->item(i)->data(Qt::UserRole).toInt(), 15);
        }
        // the default printer of the test spooler is preselected
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_EQ(list->currentItem()->text(), "PrinterA");
        EXPECT_EQ(window->findChild<QPushButton*>("cmdAnn")->text().toStdString(), GetText(9500));
        EXPECT_EQ(window->findChild<QPushButton*>("cmdPapierBak")->toolTip().toStdString(), GetText(1071));
        EXPECT_EQ(window->findChild<QCheckBox*>("CheckDefPr")->text(), "Use as default Printer");
        checked = true;
        Click(window, "cmdOK");
    });
    clsqorPrintLib lib;
    EXPECT_TRUE(lib.InitPrinter("", 1));
    EXPECT_TRUE(checked);
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "PrinterA");
    EXPECT_EQ(lib.DefaultPrinter, "");
    lib.PrEndDoc();
}

TEST_F(PrinterDialog, ChosenPrinterAndTrayWithTheDefaultBox) {
    std::string trayName;
    for (const Tray& tray : Spooler::Instance().Trays("PrinterB"))
        if (tray.Code == 14) trayName = tray.Name;
    ASSERT_FALSE(trayName.empty());

    test::OnModal("FrmSelectPrinter", [&](QWidget* window) {
        test::ClickRow(window, "lstPrinters", RowOf(window, "PrinterB"));
        test::OnModal("FrmPaperBin", [&](QWidget* bins) {
            auto* list = bins->findChild<QListWidget*>(QStringLiteral("List1"));
            const QList<QListWidgetItem*> found =
                list->findItems(QString::fromStdString(trayName), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            test::ClickRow(bins, "List1", list->row(found.first()));
        });
        Click(window, "cmdPapierBak");
        auto* list = window->findChild<QListWidget*>(QStringLiteral("lstPrinters"));
        EXPECT_EQ(list->currentItem()->text().toStdString(), "PrinterB;" + trayName);
        EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toInt(), 14);
        Click(window, "CheckDefPr");
        EXPECT_TRUE(list->hasFocus() || !window->isActiveWindow());
        Click(window, "cmdOK");
    });
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 0));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "PrinterB");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 14);
    EXPECT_EQ(modqorPrintLib().SelectedBinName, trayName);
    EXPECT_EQ(lib.DefaultPrinter, "14;PrinterB;" + trayName);
    EXPECT_EQ(lib.VPrinter->PaperBin(), 14);
    lib.PrEmptyReport();

    // the string it produced chooses the same printer and tray again
    modqorPrintLib().Reset();
    GenServices().Unattended = true;
    ASSERT_TRUE(lib.InitPrinter("14;PrinterB;" + trayName, 0));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "PrinterB");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 14);
    EXPECT_EQ(lib.VPrinter->PaperBin(), 14);
    lib.PrEmptyReport();
}

TEST_F(PrinterDialog, DefaultBoxWithoutTrayGivesCode15) {
    test::OnModal("FrmSelectPrinter", [&](QWidget* window) {
        test::ClickRow(window, "lstPrinters", RowOf(window, "PrinterOneTray"));
        Click(window, "CheckDefPr");
        Click(window, "cmdOK");
    });
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 4));
    EXPECT_EQ(lib.DefaultPrinter, "15;PrinterOneTray");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 15);
    lib.PrEndDoc();
}

TEST_F(PrinterDialog, CancelByButtonEscOrCloseBoxStartsNothing) {
    const std::function<void(QWidget*)> cancels[] = {
        [](QWidget* window) { Click(window, "cmdAnn"); },
        [](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); },
        [](QWidget* window) { window->close(); },
    };
    for (const auto& cancel : cancels) {
        modqorPrintLib().NewDefaultPrinter = "15;PrinterA";
        clsqorPrintLib lib;
        lib.DefaultPrinter = "15;PrinterA";
        test::OnModal("FrmSelectPrinter", cancel);
        EXPECT_FALSE(lib.InitPrinter("", 0));
        EXPECT_EQ(lib.DefaultPrinter, "");
        EXPECT_EQ(modqorPrintLib().SelectedPrinter, "");
        EXPECT_EQ(modqorPrintLib().SelectedBinName, "");
        EXPECT_EQ(modqorPrintLib().SelectedBin, -1);
        EXPECT_FALSE(PointerIsBusy());
    }
}

TEST_F(PrinterDialog, MissingPrinterIsNamedAndEnterTakesTheDefaultPrinter) {
    test::OnModal("FrmSelectPrinter", [&](QWidget* window) {
        EXPECT_EQ(LabelText(window, "Label0").toStdString(), GetText(1026));
        EXPECT_EQ(LabelText(window, "Label1"), "Gone");
        QTest::keyClick(window->findChild<QListWidget*>("lstPrinters"), Qt::Key_Return);
        if (window->isVisible()) QTest::keyClick(window, Qt::Key_Return);
    });
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("2;Gone;Lower", 1));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "PrinterA");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 15);
    lib.PrEndDoc();
}

TEST_F(PrinterDialog, DoubleClickChooses) {
    test::OnModal("FrmSelectPrinter", [&](QWidget* window) {
        auto* list = window->findChild<QListWidget*>(QStringLiteral("lstPrinters"));
        QListWidgetItem* item = list->item(RowOf(window, "PrinterNoCopies"));
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    });
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 3));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "PrinterNoCopies");
    lib.PrEmptyReport();
}

TEST_F(PrinterDialog, UnattendedTakesTheNamedThenTheDefaultPrinter) {
    GenServices().Unattended = true;
    const struct {
        const char* name;
        const char* printer;
        int32_t bin;
        const char* binName;
    } cases[] = {
        {"PrinterB", "PrinterB", 15, ""},
        {"printerb", "printerb", 15, ""},
        {"Gone", "PrinterA", 15, ""},
        {"", "PrinterA", 15, ""},
        {"2;PrinterA;Lower Tray", "PrinterA", 2, "Lower Tray"},
        {"14;PrinterB", "PrinterB", 14, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ModalSpy spy;
        modqorPrintLib().NewDefaultPrinter = "15;PrinterB";
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(c.name, 0));
        EXPECT_TRUE(spy.Seen().empty());
        EXPECT_EQ(modqorPrintLib().SelectedPrinter, c.printer);
        EXPECT_EQ(modqorPrintLib().SelectedBin, c.bin);
        EXPECT_EQ(modqorPrintLib().SelectedBinName, c.binName);
        EXPECT_EQ(lib.DefaultPrinter, "");  // the default box is not ticked
        lib.PrEmptyReport();
    }
}

}  // namespace
}  // namespace qor
