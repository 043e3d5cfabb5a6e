// The printer dialog driven by Qt Test, and its unattended answer.
#include "lifecycle/LifecycleSupport.h"

#include <qor/Spooler.h>

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
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
    static QListWidget* List(QWidget* window, const char* name = "lstPrinters") {
        return window->findChild<QListWidget*>(QString::fromLatin1(name));
    }
    static int RowOf(QWidget* window, const std::string& text, const char* name = "lstPrinters") {
        const auto found = List(window, name)->findItems(QString::fromStdString(text), Qt::MatchExactly);
        return found.isEmpty() ? -1 : List(window, name)->row(found.first());
    }
    static void Click(QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
};

TEST_F(PrinterDialog, ChosenPrinterAndTrayWithTheDefaultBox) {
    std::string trayName;
    for (const Tray& tray : Spooler::Instance().Trays("PrinterB"))
        if (tray.Code == 14) trayName = tray.Name;
    ASSERT_FALSE(trayName.empty());

    test::WhenModal("FrmSelectPrinter", [&](QWidget* window) {
        ASSERT_EQ(List(window)->count(), static_cast<int>(Spooler::Instance().Printers().size()));
        EXPECT_EQ(List(window)->currentItem()->text(), "PrinterA") << "the default printer is preselected";
        test::ClickRow(window, "lstPrinters", RowOf(window, "PrinterB"));
        test::WhenModal("FrmPaperBin",
                        [&](QWidget* bins) { test::ClickRow(bins, "List1", RowOf(bins, trayName, "List1")); });
        Click(window, "cmdPapierBak");
        EXPECT_EQ(List(window)->currentItem()->text().toStdString(), "PrinterB;" + trayName);
        Click(window, "CheckDefPr");
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
        test::WhenModal("FrmSelectPrinter", cancel);
        EXPECT_FALSE(lib.InitPrinter("", 0));
        EXPECT_EQ(lib.DefaultPrinter, "");
        EXPECT_EQ(modqorPrintLib().SelectedPrinter, "");
        EXPECT_EQ(modqorPrintLib().SelectedBin, -1);
        EXPECT_FALSE(PointerIsBusy());
    }
}

TEST_F(PrinterDialog, MissingPrinterIsNamedAndEnterTakesTheDefaultPrinter) {
    test::WhenModal("FrmSelectPrinter", [&](QWidget* window) {
        EXPECT_EQ(window->findChild<QLabel*>("Label1")->text(), "Gone");
        QTest::keyClick(List(window), Qt::Key_Return);
        if (window->isVisible()) QTest::keyClick(window, Qt::Key_Return);
    });
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("2;Gone;Lower", 1));
    EXPECT_EQ(modqorPrintLib().SelectedPrinter, "PrinterA");
    EXPECT_EQ(modqorPrintLib().SelectedBin, 15);
    lib.PrEndDoc();
}

}  // namespace
}  // namespace qor
