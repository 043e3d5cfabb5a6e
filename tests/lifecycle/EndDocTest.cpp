// What PrEndDoc hands to the preview window and takes back, PrEmptyReport, PrNewPage, the
// spreadsheet flags and PrResource.
#include "lifecycle/LifecycleSupport.h"

#include "core/ExcelExportHost.h"
#include "core/PreviewHost.h"
#include "core/Surfaces.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Pdf.h"

#include <qor/RuntimeError.h>
#include <qor/VSPDF.h>

#include <QCursor>
#include <filesystem>
#include <QGuiApplication>

namespace qor {
namespace {

using test::LifecycleTest;

// Stands in for the preview window: records what it was given and leaves DocPrinted.
struct FakePreview : PreviewHost {
    PreviewOutcome ShowModal(VSPrinter& surface, const PreviewRequest& request) override {
        ++calls;
        last = request;
        pages = surface.PageCount();
        docOpen = surface.IsDocOpen();
        mode = modqorPrintLib().PreviewMode;
        pdfFile = modqorPrintLib().PdfExportFile;
        modqorPrintLib().DocPrinted = printed;
        return outcome;
    }
    int calls = 0;
    int32_t pages = 0;
    int16_t mode = -1;
    bool docOpen = true, printed = false;
    std::string pdfFile;
    PreviewRequest last;
    PreviewOutcome outcome;
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

TEST_F(PreviewHandOff, PreviewAndViewOnlyGetTheEndedDocumentAndReturnWhatTheWindowLeaves) {
    test::TempDir folder;
    const std::string file = folder.File("p.pdf");
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
            lib.PrNewPage();
            EXPECT_EQ(lib.PrEndDoc(), printed);
            ASSERT_EQ(host_.calls, 1);
            EXPECT_EQ(std::tie(host_.pages, host_.docOpen, host_.mode, host_.pdfFile),
                      std::make_tuple(2, false, mode, file));
            EXPECT_EQ(std::tie(host_.last.CopiesText, host_.last.Caption, host_.last.ZoomMode),
                      std::make_tuple("2", "Facturen", 3));
            EXPECT_EQ(host_.last.PrintEnabled, mode == 1);
            EXPECT_EQ(host_.last.PdfEnabled, mode == 1);
            EXPECT_FALSE(host_.last.ShrunkForPdf);
            // the per-document settings are back, the others survive
            EXPECT_EQ(std::tie(lib.PrCaption, lib.DefaultFontName, lib.PrNbrDec), std::make_tuple("", "Arial", 2));
            EXPECT_EQ(lib.VPrinter, nullptr);
        }
    }
    clsqorPrintLib lib;  // placed rich text asks for the fixed zoom
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    lib.VPrinter->AutoRTF(true);
    lib.PrEndDoc();
    EXPECT_EQ(host_.last.ZoomMode, 0);
    EXPECT_DOUBLE_EQ(host_.last.Zoom, 93.75);
    const struct { const char* name; int32_t second; const char* tip; } tips[] = {
        {"1;PrinterA;Bovenste lade", 3, " Afdrukken naar PrinterA (Lade Bovenste lade;Middelste lade) "},
        {"1;PrinterA;Bovenste lade", 12, " Afdrukken naar PrinterA (Lade Bovenste lade; ???" ") "},
        {"1;PrinterA;   ", 3, " Afdrukken naar PrinterA"},
    };
    for (const auto& c : tips) {
        ASSERT_TRUE(lib.InitPrinter(c.name, 1, 1, 1, 9, "", c.second));
        lib.PrEndDoc();
        EXPECT_EQ(host_.last.PrintToolTip, c.tip) << c.name << " / " << c.second;
    }
    host_.calls = 0;  // other modes end nothing
    test::AcceptPrinterDialog();
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 7));
    EXPECT_FALSE(lib.PrEndDoc());
    EXPECT_EQ(host_.calls, 0);
    EXPECT_TRUE(PreviewSurface().IsDocOpen());
}

TEST_F(PreviewHandOff, PdfModeGoesThroughTheShrunkWindowWhichReportsAFailureButNotACancel) {
    test::TempDir folder;
    const std::string file = folder.File("w.pdf");
    for (bool failed : {false, true}) {
        SCOPED_TRACE(failed ? "failed" : "cancelled");
        host_.outcome.PdfError.reset();
        if (failed) host_.outcome.PdfError = "Cannot write the file \"" + file + "\": Disk full";
        clsqorPrintLib lib;
        lib.PrCaption = "Ignored";
        test::AcceptPrinterDialog();  // attended, the printer dialog comes first
        ASSERT_TRUE(lib.InitPrinter("PrinterA", 3, 1, 1, 9, file));
        EXPECT_EQ(lib.PrEndDoc(), !failed);
        EXPECT_TRUE(host_.last.ShrunkForPdf);
        EXPECT_EQ(host_.last.Caption, "");
        EXPECT_FALSE(std::filesystem::exists(file));  // the window writes it, not core
        ASSERT_EQ(messages_.size(), failed ? 1u : 0u);
        if (failed) {
            EXPECT_EQ(messages_[0].text, *host_.outcome.PdfError);
            EXPECT_EQ(messages_[0].style, kMsgCritical);
        }
    }
}

TEST_F(PreviewHandOff, BusyPointerFromInitPrinterUntilPrEndDocRestoredOnce) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));  // the client's own
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    lib.PrEndDoc();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    test::ExpectRuntimeError(kErrObjectNotSet, [&] { lib.PrEndDoc(); });  // no document any more
    lib.PrEmptyReport();
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The shared texts in Dutch and French, one line each, shown in the preview at the zoom of
// rich text.
TEST_F(PreviewHandOff, PrResourceShowsTheSharedTextsInDutchAndFrench) {
    clsqorPrintLib lib;
    lib.PrResource();
    ASSERT_EQ(host_.calls, 1);
    EXPECT_EQ(std::tie(host_.last.ZoomMode, host_.last.Zoom), std::make_tuple(kZoomPercentage, 93.75));
    ASSERT_NE(lib.VPrinter, nullptr);
    test::TempDir folder;
    VSPDF().ConvertDocument(*lib.VPrinter, folder.File("texts.pdf"));
    const std::string text = test::PdfText(folder.File("texts.pdf"));
    // One line per text: its number, the Dutch text, the French text.
    for (int32_t id : {9500, 9502}) {
        const std::string line = std::to_string(id) + " " + GenServices().SharedText(id) + " " +
                                 GenServices().SharedText(id + 10000) + "\n";
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

using EmptyReport = LifecycleTest;

TEST_F(EmptyReport, MessageNamesTheDocumentWhichIsDiscardedUnlessKeptOrExporting) {
    const struct { const char* name; const char* text; } cases[] = {
        {"  Klanten ", "Het Document [Klanten] wordt niet afgedrukt, omdat het geen gegevens bevat..."},
        {"  ", "Het Document wordt niet afgedrukt, omdat het geen gegevens bevat..."},
    };
    for (const auto& c : cases) {
        messages_.clear();
        clsqorPrintLib lib;
        lib.PrCaption = "Klanten";
        ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
        VSPrinter* surface = lib.VPrinter;
        lib.PrEmptyReport(c.name);
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(std::tie(messages_[0].text, messages_[0].style), std::make_tuple(c.text, kMsgInformation));
        EXPECT_EQ(std::make_tuple(surface->PageCount(), lib.VPrinter, lib.PrCaption),
                  std::make_tuple(0, nullptr, std::string()));
    }

    // With no-kill the document stays open for PrEndDoc.
    test::TempDir folder;
    const std::string file = folder.File("kept.pdf");
    clsqorPrintLib lib;
    ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
    lib.PrCaption = "Kept";
    lib.PrEmptyReport("X", true);
    ASSERT_NE(lib.VPrinter, nullptr);
    EXPECT_EQ(lib.PrCaption, "Kept");
    lib.VPrinter->Text("Still here");
    EXPECT_TRUE(lib.PrEndDoc());
    EXPECT_NE(test::PdfText(file).find("Still here"), std::string::npos);

    // While exporting it only ends the export.
    ASSERT_TRUE(lib.InitPrinter("PrinterA", 1));
    modqorPrintLib().ExcelMode = true;
    lib.PrEmptyReport("X");
    EXPECT_FALSE(modqorPrintLib().ExcelMode);
    ASSERT_NE(lib.VPrinter, nullptr);
    EXPECT_TRUE(lib.VPrinter->IsDocOpen());
    lib.PrEmptyReport();
}

// Stands in for the spreadsheet export.
struct FakeExport : ExcelExportHost {
    void Start(clsqorPrintLib&, const std::string&) override { modqorPrintLib().ExcelMode = ready; }
    void Finish(clsqorPrintLib&) override { ++finishes; }
    bool ready = true;
    int finishes = 0;
};

using SpreadsheetMode = LifecycleTest;

TEST_F(SpreadsheetMode, PagesAndEndsFollowExcelMode) {
    FakeExport exporter;
    RegisterExcelExportHost(&exporter);
    clsqorPrintLib lib;
    lib.PrCaption = "Sheet";
    ASSERT_TRUE(lib.InitPrinter("", 2));
    lib.PrNewPage();
    EXPECT_TRUE(modqorPrintLib().ExcelNewPage);
    EXPECT_EQ(lib.VPrinter->PageCount(), 0);  // no page added
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
