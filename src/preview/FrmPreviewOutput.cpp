// The preview's two output actions: printing with copies, range and second bin, and the
// PDF export through a save-as dialog.
#include "preview/FrmPreview.h"

#include <qor/GenServices.h>
#include <qor/ModuleState.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include <cmath>
#include <exception>
#include <iostream>

#include "core/Desktop.h"
#include "preview/ZoomSteps.h"

namespace qor::preview {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// True when `text` is the plain decimal form of a whole number ("12"; not "012" or "1-5"):
// the whole part of its numeric value, written out, gives the text back.
bool IsSinglePageNumber(const std::string& text, int32_t& page) {
    double value = 0;
    try {
        value = GenServices().ToNumber(Variant(text)).ToDouble();
    } catch (const std::exception&) {
        return false;
    }
    const double whole = std::trunc(value);
    if (std::fabs(whole) > 2147483647.0) return false;
    page = static_cast<int32_t>(whole);
    return std::to_string(page) == text;
}

// Prints `range` as one job: a single page number as a from/to pair, anything else as
// the page list itself.
void PrintRange(VSPrinter& surface, const std::string& range) {
    int32_t page = 0;
    if (IsSinglePageNumber(range, page))
        surface.PrintDoc(false, page, page);
    else
        surface.PrintDoc(false, range);
}

}  // namespace

void FrmPreview::PrintDocument() {
    ModuleState& state = modqorPrintLib();
    NormaliseCopies();
    try {
        const double copies = GenServices().ToNumber(Variant(txtKopie_->text().toStdString())).ToDouble();
        surface_.Copies(static_cast<int32_t>(RoundHalfEven(copies)));

        const std::string range = txtRange_->text().toStdString();
        const bool empty = IsBlank(range);
        const int32_t secondBin = state.SecondPageBin;
        const int32_t pages = surface_.PageCount();
        if (secondBin == 0) {
            if (empty)
                surface_.PrintDoc(false);
            else
                PrintRange(surface_, range);
        } else if (empty) {
            // Page 1 from the bin chosen when the document was opened, the rest from the
            // second bin.
            if (pages > 1) {
                surface_.PrintDoc(false, 1, 1);
                surface_.PaperBin(secondBin);
                surface_.PrintDoc(false, 2, pages);
            } else {
                surface_.PrintDoc(false);
            }
        } else if (range == "1") {
            surface_.PrintDoc(false, 1, 1);
        } else if (range.rfind("1-", 0) == 0) {
            surface_.PrintDoc(false, 1, 1);
            surface_.PaperBin(secondBin);
            surface_.PrintDoc(false, "2-" + range.substr(2));
        } else if (range.rfind("1,", 0) == 0) {
            surface_.PrintDoc(false, 1, 1);
            surface_.PaperBin(secondBin);
            surface_.PrintDoc(false, range.substr(2));
        } else {
            surface_.PaperBin(secondBin);
            PrintRange(surface_, range);
        }
    } catch (const std::exception& e) {
        // The printer refused: say so and leave the window open for another try.
        GenServices().ShowMessage(e.what(), kMsgCritical, GetText(1049));
        return;
    }
    state.DocPrinted = true;
    done(QDialog::Accepted);
}

std::optional<std::string> FrmPreview::AskPdfFile(const std::string& proposed) {
    if (GenServices().Unattended) return proposed;   // a user accepting the proposal
    QFileDialog dialog(this, QString::fromStdString(GetText(1065)));
    dialog.setObjectName("PDFDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("Acrobat Reader (PDF) (*.pdf *.PDF)");
    dialog.setDefaultSuffix("pdf");
    const QFileInfo file(QString::fromStdString(proposed));
    if (!proposed.empty()) {
        dialog.setDirectory(file.absolutePath());
        dialog.selectFile(file.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

void FrmPreview::ExportPdf() {
    ModuleState& state = modqorPrintLib();
    bool written = false;
    try {
        if (std::optional<std::string> file = AskPdfFile(state.PdfExportFile)) {
            SetBusyPointer();
            try {
                PDF.ConvertDocument(surface_, *file);
                written = true;
            } catch (...) {
                RestorePointer();
                throw;
            }
            RestorePointer();
        }
    } catch (const std::exception& e) {
        // The window shows no message for a failed export; the reason goes to the log.
        std::cerr << "qorPrintLib: the PDF was not written: " << e.what() << '\n';
    }
    if (written || state.PreviewMode == 3) done(QDialog::Accepted);
}

}  // namespace qor::preview
