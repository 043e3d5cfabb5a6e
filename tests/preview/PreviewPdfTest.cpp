// Saving the previewed document as PDF: the save dialog, PDF mode and unattended mode,
// checked against the files written.
#include <qor/GenServices.h>
#include "core/ModuleState.h"

#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <filesystem>

#include "preview/FrmPreview.h"
#include "preview/PreviewTestSupport.h"
#include "support/Files.h"
#include "support/Pdf.h"

namespace qor::test {
namespace {

using preview::FrmPreview;

bool Exists(const std::string& file) { return std::filesystem::exists(file); }
void Accept(QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); }
void Reject(QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); }

class PreviewPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        GenServices().LanguageOffset = 0;
        modqorPrintLib().PreviewMode = 1;
        modqorPrintLib().PdfExportFile = dir_.File("proposed.pdf");
        MakeDocument(surface, 12);
    }
    void TearDown() override { GenServices().Unattended = false; }

    TempDir dir_;
    VSPrinter surface;
};

TEST_F(PreviewPdfTest, SaveDialogProposesExportFileAndWritesWholeDocumentButACancelOrFailureNothing) {
    const std::string chosen = dir_.File("chosen.pdf");
    modqorPrintLib().DocPrinted = true;
    const PreviewOutcome outcome = RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        w.findChild<QLineEdit*>("txtRange")->setText("2,4");
        WhenModal("PDFDialog", [&](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            ASSERT_NE(dialog, nullptr);
            ASSERT_FALSE(dialog->selectedFiles().isEmpty());
            EXPECT_EQ(dialog->selectedFiles().first().toStdString(), modqorPrintLib().PdfExportFile);
            dialog->selectFile(QString::fromStdString(chosen));
            Accept(dialog);
        });
        QTest::mouseClick(w.findChild<QToolButton*>("cmdPDF"), Qt::LeftButton);
        EXPECT_FALSE(w.isVisible()) << "the window closes after the export";
    });
    EXPECT_FALSE(outcome.PdfError);
    EXPECT_EQ(PdfPages(chosen), 12) << "the range box does not apply to the PDF";
    EXPECT_NE(PdfText(chosen).find("Line 30 of page 7"), std::string::npos);
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile)) << "only the chosen file is written";
    EXPECT_TRUE(modqorPrintLib().DocPrinted) << "a PDF export leaves DocPrinted alone";
    std::filesystem::remove(chosen);

    // A cancel, or a document the converter refuses, keeps the window open and writes nothing.
    VSPrinter empty;
    for (VSPrinter* doc : {&surface, &empty}) {
        const bool fails = doc == &empty;
        RunPreview(*doc, WholePageRequest(), [&](FrmPreview& w) {
            WhenModal("PDFDialog", fails ? Accept : Reject);
            QTest::mouseClick(w.findChild<QToolButton*>("cmdPDF"), Qt::LeftButton);
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(bool(w.PdfError()), fails) << "a cancel is no failure";
        });
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path())) << "nothing written";
}

TEST_F(PreviewPdfTest, PdfModeRunsTheExportAtOnceClosesAndReportsAFailure) {
    modqorPrintLib().PreviewMode = 3;
    GenServices().Unattended = false;
    PreviewRequest request = WholePageRequest();
    request.ShrunkForPdf = true;
    WhenModal("PDFDialog", [&](QWidget* dialog) {
        ASSERT_NE(FrmPreview::Current(), nullptr);
        EXPECT_LE(FrmPreview::Current()->width(), 2) << "the preview itself is shrunk out of the way";
        Reject(dialog);
    });
    EXPECT_FALSE(ShowModalGuarded(surface, request).PdfError) << "a cancel is no failure";
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile));

    WhenModal("PDFDialog", Accept);
    EXPECT_FALSE(ShowModalGuarded(surface, request).PdfError);
    EXPECT_EQ(PdfPages(modqorPrintLib().PdfExportFile), 12);

    // A document the converter refuses: the window closes without a message and says why.
    VSPrinter empty;
    modqorPrintLib().PdfExportFile = dir_.File("empty.pdf");
    WhenModal("PDFDialog", Accept);
    EXPECT_TRUE(ShowModalGuarded(empty, request).PdfError);
    EXPECT_EQ(FrmPreview::Current(), nullptr) << "PDF mode closes whatever happens";
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile));

    GenServices().Unattended = true;  // unattended takes the proposed file without asking
    modqorPrintLib().PdfExportFile = dir_.File("unattended.pdf");
    EXPECT_FALSE(ShowModalGuarded(surface, request).PdfError);
    EXPECT_EQ(PdfPages(modqorPrintLib().PdfExportFile), 12);
}

}  // namespace
}  // namespace qor::test
