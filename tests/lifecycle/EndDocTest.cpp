// What PrEndDoc hands to the preview window and takes back, PrEmptyReport, PrNewPage, the
// spreadsheet flags and PrResource.
#include "lifecycle/LifecycleSupport.h"

#include "core/Desktop.h"
#include "core/ExcelExportHost.h"
#include "core/PreviewHost.h"
#include "core/Surfaces.h"

#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/VSPDF.h>

#include <QCursor>
#include <filesystem>
#include <QGuiApplication>

namespace qor {
namespace {

using test::LifecycleTest;

// Stands in for the preview window: records what it was given and leaves DocPrinted.
class FakePreview : public PreviewHost {
public:
    void ShowModal(VSPrinter& surface, const PreviewRequest& request) override {
        ++calls;
        last = request;
        pages = surface.PageCount();
        docOpen = surface.IsDocOpen();
        mode = modqorPrintLib().PreviewMode;
        pdfFile = modqorPrintLib().PdfExportFile;
        modqorPrintLib().DocPrinted = printed;
    }
    int calls = 0;
    PreviewRequest last;
    int32_t pages = 0;
    bool docOpen = true;
    int16_t mode = -1;
    std::string pdfFile;
    bool printed = false;
};

class PreviewHandOff : public LifecycleTest {
protected:
    void SetUp() override {
        LifecycleTest::SetUp();
        GenServices().Unattended = false;
        RegisterPreviewHost(&host_);
    }
    void TearDown() override {
        RegisterPreviewHost(nullptr);
        LifecycleTest::TearDown();
    }
    FakePreview host_;
};

TEST_F(PreviewHandOff, ToolTipNamesPrinterAndBins) {
    const struct {
        const char* name;
        int32_t second;
        const char* tip;
    } cases[] = {
        {"PrinterA", 2, " Afdrukken naar PrinterA"},
        {"1;PrinterA;Bovenste lade", 0, " Afdrukken naar PrinterA (Lade Bovenste lade) "},
        {"1;PrinterA;Bovenste lade", 3, " Afdrukken naar PrinterA (Lade Bovenste lade;Middelste lade) "},
        {"1;PrinterA;Bovenste lade", 15, " Afdrukken naar PrinterA (Lade Bovenste lade;Automatisch) "},
        {"1;PrinterA;Bovenste lade", 12, " Afdrukken naar PrinterA (Lade Bovenste lade; ???" ") "},
        {"1;PrinterA;   ", 3, " Afdrukken naar PrinterA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + std::to_string(c.second));
        clsqorPrintLib lib;
        ASSERT_TRUE(lib.InitPrinter(c.name, 1, 1, 1, 9, "", c.second));
        lib.PrEndDoc();
        EXPECT_EQ(host_.last.PrintToolTip, c.tip);
    }
}

TEST_F(PreviewHandOff, PreviewAndViewOnlyGetTheEndedDocumentAndReturnWhatTheWindowLeaves) {
    test::TempFolder folder;
    const std::string file = folder.Path() + "/p.pdf";
    for (int16_t mode : {1, 4}) {
        for (bool printed : {true, false}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + (printed ? " printed" : " closed"));
            host_.printed = printed;
            host_.calls = 0;
            clsqorPrintLib lib;
            lib.PrCaption = "Facturen";
            lib.DefaultFontName = "Courier New";
            lib.PrNbrDec = 2;
            if (mode == 4) test::AcceptPrinterDialog();
            ASSERT_TRUE(lib.InitPrinter("PrinterA", mode, 1, 2, 9, file, 3));
            EXPECT_EQ(lib.VPrinter->Font().Name, "Courier New");
            lib.PrNewPage();
            EXPECT_EQ(lib.PrEndDoc(), printed);
            ASSERT_EQ(host_.calls, 1);
            EXPECT_EQ(host_.pages, 2);
            EXPECT_FALSE(host_.docOpen);
            EXPECT_EQ(host_.mode, mode);
            EXPECT_EQ(host_.pdfFile, file);
            EXPECT_EQ(host_.last.CopiesText, "2");
            EXPECT_EQ(host_.last.Caption, "Facturen");
            EXPECT_EQ(host_.last.ZoomMode, 3);
            EXPECT_EQ(host_.last.PrintEnabled, mode == 1);
            EXPECT_EQ(host_.last.PdfEnabled, mode == 1);
            EXPECT_FALSE(host_.last.ShrunkForPdf);
            EXPECT_EQ(lib.PrPdfFile, file);
            // the per-document settings are back, the others survive
            EXPECT_EQ(lib.PrCaption, "");
            EXPECT_EQ(lib.DefaultFontName, "Arial");
            EXPECT_EQ(lib.VPrinter, nullptr);
            EXPECT_EQ(lib.PrNbrDec, 2);
        }
    }
}

TEST_F(PreviewHandOff, PlacedRichTextAsksForTheFixedZoom) {
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    lib.VPrinter->AutoRTF(true);
    lib.PrEndDoc();
    EXPECT_EQ(host_.last.ZoomMode, 0);
    EXPECT_DOUBLE_EQ(host_.last.Zoom, 93.75);
}

TEST_F(PreviewHandOff, PdfModeGoesThroughTheShrunkWindowWhenWindowsMayBeShown) {
    test::TempFolder folder;
    const std::string file = folder.Path() + "/w.pdf";
    clsqorPrintLib lib;
    lib.PrCaption = "Ignored";
    test::AcceptPrinterDialog();  // attended, the printer dialog comes first
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 3, 1, 1, 9, file));
    EXPECT_TRUE(lib.PrEndDoc());
    ASSERT_EQ(host_.calls, 1);
    EXPECT_TRUE(host_.last.ShrunkForPdf);
    EXPECT_EQ(host_.last.Caption, "");
    EXPECT_FALSE(std::filesystem::exists(file));  // the window writes it, not core

    GenServices().Unattended = true;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 3, 1, 1, 9, file));
    EXPECT_TRUE(lib.PrEndDoc());
    EXPECT_EQ(host_.calls, 1);  // not asked: unattended writes the file itself
    EXPECT_EQ(test::PdfPages(file), 1);
}

TEST_F(PreviewHandOff, WithoutAPreviewLayerThePreviewClosesAtOnce) {
    RegisterPreviewHost(nullptr);
    test::ModalSpy spy;
    clsqorPrintLib lib;
    modqorPrintLib().DocPrinted = true;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    EXPECT_FALSE(lib.PrEndDoc());
    EXPECT_TRUE(spy.Seen().empty());
}

TEST_F(PreviewHandOff, OtherModesEndNothing) {
    clsqorPrintLib lib;
    test::AcceptPrinterDialog();
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 7));
    EXPECT_FALSE(lib.PrEndDoc());
    EXPECT_EQ(host_.calls, 0);
    EXPECT_TRUE(PreviewSurface().IsDocOpen());
}

TEST_F(PreviewHandOff, BusyPointerFromInitPrinterUntilPrEndDocRestoredOnce) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));  // the client's own
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    lib.PrEndDoc();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    try {
        lib.PrEndDoc();  // no document any more
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), kErrObjectNotSet);
    }
    lib.PrEmptyReport();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PreviewHandOff, PrResourceShowsTheSharedTextsInDutchAndFrench) {
    clsqorPrintLib lib;
    lib.PrResource();
    ASSERT_EQ(host_.calls, 1);
    EXPECT_EQ(host_.last.ZoomMode, 0);
    EXPECT_DOUBLE_EQ(host_.last.Zoom, 93.75);
    EXPECT_EQ(host_.last.PrintToolTip, " Afdrukken naar PrinterA");
    EXPECT_NEAR(lib.PrScaleWidth, 210, 0.5);
    EXPECT_LE(lib.T, 280);
    ASSERT_NE(lib.VPrinter, nullptr);
    test::TempFolder folder;
    const std::string file = folder.Path() + "/texts.pdf";
    VSPDF().ConvertDocument(*lib.VPrinter, file);
    const std::string text = test::PdfText(file);
    EXPECT_NE(text.find("9500"), std::string::npos);
    EXPECT_NE(text.find(GenServices().SharedText(9500)), std::string::npos) << text.substr(0, 300);
    EXPECT_NE(text.find(GenServices().SharedText(19500)), std::string::npos);
}

using EmptyReport = LifecycleTest;

TEST_F(EmptyReport, MessageNamesTheDocumentAndTheDocumentIsDiscarded) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"Klanten", "Het Document [Klanten] wordt niet afgedrukt, omdat het geen gegevens bevat..."},
        {"  Klanten ", "Het Document [Klanten] wordt niet afgedrukt, omdat het geen gegevens bevat..."},
        {"  ", "Het Document wordt niet afgedrukt, omdat het geen gegevens bevat..."},
        {"", "Het Document wordt niet afgedrukt, omdat het geen gegevens bevat..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        clsqorPrintLib lib;
        lib.PrCaption = "Klanten";
        ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
        VSPrinter* surface = lib.VPrinter;
        lib.PrEmptyReport(c.name);
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].text, c.text);
        EXPECT_EQ(messages_[0].style, kMsgInformation);
        EXPECT_EQ(messages_[0].title, "Afdrukken Document");
        EXPECT_EQ(surface->PageCount(), 0);
        EXPECT_EQ(lib.VPrinter, nullptr);
        EXPECT_EQ(lib.PrCaption, "");
    }
}

TEST_F(EmptyReport, NoKillDocKeepsTheDocumentOpenForPrEndDoc) {
    test::TempFolder folder;
    const std::string file = folder.Path() + "/kept.pdf";
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
    lib.PrCaption = "Kept";
    lib.PrEmptyReport("X", true);
    ASSERT_NE(lib.VPrinter, nullptr);
    EXPECT_TRUE(lib.VPrinter->IsDocOpen());
    EXPECT_EQ(lib.PrCaption, "Kept");
    lib.VPrinter->Text("Still here");
    EXPECT_TRUE(lib.PrEndDoc());
    EXPECT_NE(test::PdfText(file).find("Still here"), std::string::npos);
}

TEST_F(EmptyReport, WhileExportingItOnlyEndsTheExport) {
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    modqorPrintLib().ExcelMode = true;
    lib.PrEmptyReport("X");
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_FALSE(modqorPrintLib().ExcelMode);
    ASSERT_NE(lib.VPrinter, nullptr);
    EXPECT_TRUE(lib.VPrinter->IsDocOpen());
}

// Stands in for the spreadsheet export.
class FakeExport : public ExcelExportHost {
public:
    void Start(clsqorPrintLib&) override {
        ++starts;
        modqorPrintLib().ExcelMode = ready;
    }
    void Finish(clsqorPrintLib&) override { ++finishes; }
    bool ready = true;
    int starts = 0;
    int finishes = 0;
};

using SpreadsheetMode = LifecycleTest;

TEST_F(SpreadsheetMode, PagesAndEndsFollowExcelMode) {
    FakeExport exporter;
    RegisterExcelExportHost(&exporter);
    clsqorPrintLib lib;
    lib.PrCaption = "Sheet";
    ASSERT_TRUE(lib.InitPrinter("", 2));
    EXPECT_EQ(exporter.starts, 1);
    ASSERT_NE(lib.VPrinter, nullptr);
    const int32_t pagesBefore = lib.VPrinter->PageCount();
    lib.PrNewPage();
    EXPECT_TRUE(modqorPrintLib().ExcelNewPage);
    EXPECT_EQ(lib.VPrinter->PageCount(), pagesBefore);
    EXPECT_FALSE(lib.PrEndDoc());
    EXPECT_EQ(exporter.finishes, 1);
    EXPECT_EQ(lib.PrCaption, "Sheet");  // the finishing routine owns the rest

    modqorPrintLib().ExcelMode = false;
    EXPECT_FALSE(lib.PrEndDoc());  // not exporting: nothing finished, defaults restored
    EXPECT_EQ(exporter.finishes, 1);
    EXPECT_EQ(lib.PrCaption, "");

    exporter.ready = false;
    EXPECT_FALSE(lib.InitPrinter("", 2));
    RegisterExcelExportHost(nullptr);
    EXPECT_FALSE(lib.InitPrinter("", 2));
    RestorePointer();
}

}  // namespace
}  // namespace qor
