// The preview's two output actions: printing with copies, range and second bin, and the
// PDF export through a save-as dialog.
#include "preview/FrmPreview.h"

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include <exception>

#include "core/Desktop.h"
#include "core/PrintJobs.h"
#include "core/Printers.h"
#include "preview/ZoomSteps.h"

namespace qor::preview {

void FrmPreview::PrintDocument() {
    ModuleState& state = modqorPrintLib();
    NormaliseCopies();
    try {
        const double copies = GenServices().ToNumber(Variant(txtKopie_->text().toStdString())).ToDouble();
        surface_.Copies(static_cast<int32_t>(RoundHalfEven(copies)));
        // Cancelled in the progress window: nothing printed, the preview stays.
        if (!PrintJobsOn(surface_, PlanPrintJobs(txtRange_->text().toStdString(), surface_.PageCount(),
                                                 surface_.PaperBin(), state.SecondPageBin,
                                                 surface_.Copies())))
            return;
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
    pdfError_.reset();
    try {
        if (std::optional<std::string> file = AskPdfFile(state.PdfExportFile)) {
            BusyPointer busy;
            PDF.ConvertDocument(surface_, *file);
            written = true;
        }
    } catch (const std::exception& e) {
        // The window itself shows no message: PrEndDoc reports a failure that ends PDF mode.
        pdfError_ = e.what();
    }
    if (written || state.PreviewMode == 3) done(QDialog::Accepted);
}

}  // namespace qor::preview
