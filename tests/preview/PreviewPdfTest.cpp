// Saving the previewed document as PDF: the save dialog, PDF mode and unattended mode,
// checked against the files written.
#include <qor/GenServices.h>
#include <qor/ModuleState.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "preview/FrmPreview.h"
#include "preview/PreviewTestSupport.h"

namespace qor::test {
namespace {

using preview::FrmPreview;

bool Exists(const std::string& file) { return QFile::exists(QString::fromStdString(file)); }

class PreviewPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        GenServices().LanguageOffset = 0;
        modqorPrintLib().PreviewMode = 1;
        modqorPrintLib().PdfExportFile = TempDir() + "/proposed.pdf";
        QFile::remove(QString::fromStdString(modqorPrintLib().PdfExportFile));
        MakeDocument(surface, 12);
    }
    VSPrinter surface;
};

TEST_F(PreviewPdfTest, SaveDialogProposesExportFileAndWritesWholeDocument) {
    const std::string chosen = TempDir() + "/chosen.pdf";
    modqorPrintLib().DocPrinted = true;
    RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        w.findChild<QLineEdit*>("txtRange")->setText("2,4");
        WhenModal("PDFDialog", [&](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog->directory().absolutePath().toStdString(), TempDir());
            ASSERT_FALSE(dialog->selectedFiles().isEmpty());
            EXPECT_EQ(dialog->selectedFiles().first().toStdString(), modqorPrintLib().PdfExportFile);
            EXPECT_TRUE(dialog->nameFilters().join(";").contains("*.pdf"));
            dialog->selectFile(QString::fromStdString(chosen));
            static_cast<QDialog*>(dialog)->accept();   // the Save button
        });
        QTest::mouseClick(w.findChild<QToolButton*>("cmdPDF"), Qt::LeftButton);
        EXPECT_FALSE(w.isVisible()) << "the window closes after the export";
    });
    ASSERT_TRUE(Exists(chosen));
    EXPECT_EQ(PdfPages(chosen), 12) << "the range box does not apply to the PDF";
    const std::string text = ReadPdfText(chosen);
    EXPECT_NE(text.find("Page 1"), std::string::npos);
    EXPECT_NE(text.find("Page 12"), std::string::npos);
    EXPECT_NE(text.find("Line 30 of page 7"), std::string::npos);
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile)) << "only the chosen file is written";
    EXPECT_EQ(modqorPrintLib().PdfExportFile, TempDir() + "/proposed.pdf") << "the proposal is kept";
    EXPECT_TRUE(modqorPrintLib().DocPrinted) << "a PDF export leaves DocPrinted alone";
}

TEST_F(PreviewPdfTest, CancelOutsidePdfModeKeepsTheWindowOpen) {
    const QDir dir(QString::fromStdString(TempDir()));
    const qsizetype before = dir.entryList({"*.pdf"}).size();
    RunPreview(surface, WholePageRequest(), [&](FrmPreview& w) {
        WhenModal("PDFDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        QTest::mouseClick(w.findChild<QToolButton*>("cmdPDF"), Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(dir.entryList({"*.pdf"}).size(), before) << "nothing written";
    });
}

TEST_F(PreviewPdfTest, PdfModeRunsTheExportAtOnceAndClosesEitherWay) {
    modqorPrintLib().PreviewMode = 3;
    PreviewRequest request = WholePageRequest();
    request.ShrunkForPdf = true;
    request.Caption.clear();

    // Cancelled: nothing written, window closed.
    bool asked = false;
    GenServices().Unattended = false;
    WhenModal("PDFDialog", [&](QWidget* dialog) {
        asked = true;
        QWidget* preview = FrmPreview::Current();
        ASSERT_NE(preview, nullptr);
        EXPECT_LE(preview->width(), 2) << "the preview itself is shrunk out of the way";
        EXPECT_TRUE(preview->windowTitle().isEmpty());
        qobject_cast<QDialog*>(dialog)->reject();
    });
    ShowModalGuarded(surface, request);
    EXPECT_TRUE(asked);
    EXPECT_EQ(FrmPreview::Current(), nullptr);
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile));

    // Accepted as proposed: the whole document in the proposed file.
    WhenModal("PDFDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    ShowModalGuarded(surface, request);
    EXPECT_EQ(FrmPreview::Current(), nullptr);
    ASSERT_TRUE(Exists(modqorPrintLib().PdfExportFile));
    EXPECT_EQ(PdfPages(modqorPrintLib().PdfExportFile), 12);
}

TEST_F(PreviewPdfTest, UnattendedPdfModeAcceptsTheProposedFile) {
    modqorPrintLib().PreviewMode = 3;
    PreviewRequest request = WholePageRequest();
    request.ShrunkForPdf = true;
    GenServices().Unattended = true;
    ShowModalGuarded(surface, request);
    GenServices().Unattended = false;
    ASSERT_TRUE(Exists(modqorPrintLib().PdfExportFile));
    EXPECT_EQ(PdfPages(modqorPrintLib().PdfExportFile), 12);
}

TEST_F(PreviewPdfTest, FailedExportClosesOnlyInPdfMode) {
    VSPrinter empty;   // no pages: the converter refuses
    RunPreview(empty, WholePageRequest(), [&](FrmPreview& w) {
        WhenModal("PDFDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
        QTest::mouseClick(w.findChild<QToolButton*>("cmdPDF"), Qt::LeftButton);
        EXPECT_TRUE(w.isVisible()) << "a failed export outside PDF mode leaves the window open";
    });
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile));

    modqorPrintLib().PreviewMode = 3;
    PreviewRequest request = WholePageRequest();
    request.ShrunkForPdf = true;
    GenServices().Unattended = false;
    WhenModal("PDFDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    ShowModalGuarded(empty, request);
    EXPECT_EQ(FrmPreview::Current(), nullptr) << "PDF mode closes whatever happens";
    EXPECT_FALSE(Exists(modqorPrintLib().PdfExportFile));
}

}  // namespace
}  // namespace qor::test
