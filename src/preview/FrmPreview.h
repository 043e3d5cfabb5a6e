// The preview window: pages through an ended document, zooms, prints a range with copies
// and saves the document as PDF.
#pragma once

#include <qor/VSPDF.h>

#include <QDialog>
#include <QPointer>

#include <array>
#include <optional>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qor {
class VSPrinter;
struct PreviewRequest;
}

namespace qor::preview {

class PageView;
class UpDown;

// FrmPreview is the modal preview of one document. Its controls carry the names users of
// the library know as objectName; members of a control array are named with their index
// in parentheses: "ImgPreview(0)" .. "ImgPreview(3)", "cmdPreview(4)" .. "cmdPreview(6)",
// "Label(0)" .. "Label(3)", "Frame(0)" .. "Frame(4)". The page view is "VSPrinter", the
// spinner "UpDown1" (with buttons "Up" and "Down"), the background picture "ImgBackground"
// and the save dialog, while it is open, "PDFDialog". A document with an outline shows it
// left of the pages in the tree "tvwOutline"; choosing an entry shows its page, scrolled to
// the entry's place when the page is larger than the view.
//
// One window exists per thread at most (Current()); it is created by the preview host,
// shown modally and deleted when it closes. The surface must outlive the window.
class FrmPreview : public QDialog {
    Q_OBJECT

public:
    // Loads the window over `surface`: captions in the language of the thread's
    // LanguageOffset, size from GenServices().WindowArea, FormActivated false. The
    // document is shown from page 1 in whole-page view.
    explicit FrmPreview(VSPrinter& surface, QWidget* parent = nullptr);
    ~FrmPreview() override;

    // The open preview window of the calling thread, or nullptr.
    static FrmPreview* Current();

    // Puts on what PrEndDoc prepares: copies box, print button tool tip, caption, zoom,
    // the enabled state of print and PDF, and the shrunken form of PDF mode.
    void Prepare(const PreviewRequest& request);

    // True once the first activation has run.
    bool Activated() const { return activated_; }

    // Brings every control in line with the page view: page box, page count label,
    // navigation buttons, zoom buttons and label, print button.
    void RefreshControls();
    // The paging and zoom actions: 0 first, 1 previous, 2 next, 3 last page, 4 whole
    // page, 5 zoom in, 6 zoom out. Errors of the view are ignored.
    void PreviewAction(int index);
    // The print button: prints with the copies, range and second bin; closes the window.
    // A failure of the printer is shown in a message and leaves the window open.
    void PrintDocument();
    // The PDF button: asks for a file (proposing PdfExportFile) and writes the whole
    // document there, then closes. A cancel or failure closes only in PDF mode. The window
    // shows no message: the reason of the last failed export is kept in PdfError().
    void ExportPdf();
    // Why the last PDF export failed; empty after a written file or a cancel.
    const std::optional<std::string>& PdfError() const { return pdfError_; }

    PageView* View() const { return view_; }
    // The outline panel; nullptr when the document has no outline.
    QTreeWidget* OutlinePanel() const { return tvwOutline_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void Translate();
    void LayoutControls();
    void FirstActivation();
    void OnPageTextChanged();
    void OnZoomChanged();
    void OnStateNotification(int code);
    void CloseWithoutPrinting();
    void ShowHelp();
    bool HandlePreviewKey(QKeyEvent* key, bool pressed);
    void NormaliseCopies();
    std::optional<std::string> AskPdfFile(const std::string& proposed);
    void BuildOutline();
    void ShowOutlineEntry(QTreeWidgetItem* item);

    VSPrinter& surface_;
    VSPDF PDF;
    std::optional<std::string> pdfError_;
    PageView* view_ = nullptr;
    QLabel* background_ = nullptr;
    std::array<QFrame*, 5> frames_{};
    std::array<QToolButton*, 4> imgPreview_{};
    std::array<QToolButton*, 7> cmdPreview_{};   // indexes 4 to 6 are used
    std::array<QLabel*, 4> labels_{};
    QLineEdit* textPage_ = nullptr;
    QLineEdit* txtRange_ = nullptr;
    QLineEdit* txtKopie_ = nullptr;
    UpDown* upDown_ = nullptr;
    QToolButton* cmdprint_ = nullptr;
    QToolButton* cmdPDF_ = nullptr;
    QToolButton* cmdHelp_ = nullptr;
    QToolButton* cmdExit_ = nullptr;
    QTreeWidget* tvwOutline_ = nullptr;
    bool activated_ = false;
    bool activationQueued_ = false;
    bool shrunk_ = false;
    int printers_ = -1;   // printers installed, read once when the document arrives
};

}  // namespace qor::preview
