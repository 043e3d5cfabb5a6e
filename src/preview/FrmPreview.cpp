#include "preview/FrmPreview.h"

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <exception>
#include <vector>

#include "core/Desktop.h"
#include "core/PreviewHost.h"
#include "core/Twips.h"
#include "preview/FrmPreviewHelp.h"
#include "preview/PageView.h"
#include "preview/UpDown.h"
#include "preview/ZoomSteps.h"
#include "surface/DocumentAccess.h"

// The pictures are compiled into the static library; registering them needs a call from
// the global namespace.
static void InitPreviewResources() { Q_INIT_RESOURCE(preview); }

namespace qor::preview {

namespace {

thread_local FrmPreview* gCurrent = nullptr;

// Design of the window, in twips.
constexpr int kSurfaceLeft = 240;     // L: left edge and margin of the page view
constexpr int kSurfaceTop = 1260;     // T: below the three groups
constexpr int kGroupTop = 180;
constexpr int kGroupHeight = 975;
constexpr int kNavigationLeft = 240;
constexpr int kZoomLeft = 3480;
constexpr int kOutputLeft = 6600;
constexpr int kNavigationWidth = 3105;
constexpr int kZoomWidth = 2880;
constexpr int kOutputWidth = 5160;
constexpr int kButtonWidth = 675;
constexpr int kButtonHeight = 615;
constexpr int kButtonTop = 180;
constexpr int kPictureWidth = 495;
constexpr int kCaptionReserve = 480;  // the window's caption bar, taken from the work area
constexpr int kOutlineWidth = 3000;   // the outline panel, left of the page view
constexpr int kOutlineGap = 120;
// Item data of an outline entry: its page (1-based) and its place on the page (twips).
constexpr int kPageRole = Qt::UserRole;
constexpr int kTopRole = Qt::UserRole + 1;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QToolButton* PictureButton(QWidget* parent, const char* name, const char* picture,
                           const char* toolTip, bool raised) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(QString(":/preview/%1.svg").arg(picture)));
    button->setToolTip(toolTip);
    button->setAutoRaise(!raised);
    // Command buttons take the focus when clicked, so a text box's lost-focus check runs
    // before the button acts; the paging pictures never take it.
    button->setFocusPolicy(raised ? Qt::StrongFocus : Qt::NoFocus);
    return button;
}

QFrame* Group(QWidget* parent, const QString& name, QFrame::Shadow shadow) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(shadow);
    frame->setAutoFillBackground(true);
    return frame;
}

void SetTextColour(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    if (palette.color(QPalette::Text) == colour) return;
    palette.setColor(QPalette::Text, colour);
    box->setPalette(palette);
}

}  // namespace

FrmPreview::FrmPreview(VSPrinter& surface, QWidget* parent) : QDialog(parent), surface_(surface) {
    InitPreviewResources();
    setObjectName("FrmPreview");
    setModal(true);
    setWindowTitle("Print Preview");
    setSizeGripEnabled(true);

    GenServices().FormActivated = false;
    BuildControls();
    Translate();

    int32_t left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
    GenServices().WindowArea(left, top, right, bottom, width, height);
    // Narrower, the output group would reach into the zoom group.
    setMinimumSize(TwipsToPixelsX(kOutputLeft + kOutputWidth + kSurfaceLeft),
                   TwipsToPixelsY(kSurfaceTop + 2400));
    resize(TwipsToPixelsX(width), TwipsToPixelsY(height - kCaptionReserve));
    move(TwipsToPixelsX(left), TwipsToPixelsY(top));

    connect(view_, &PageView::StateNotification, this, &FrmPreview::OnStateNotification);
    connect(view_, &PageView::ZoomChanged, this, &FrmPreview::OnZoomChanged);
    connect(view_, &PageView::PageChanged, this, &FrmPreview::RefreshControls);
    connect(view_, &PageView::UserAction, this, &FrmPreview::RefreshControls);
    view_->SetDocument(&surface_);
    BuildOutline();

    // Key preview: the window sees the keys of every control first.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    gCurrent = this;
}

FrmPreview::~FrmPreview() {
    if (gCurrent == this) gCurrent = nullptr;
}

FrmPreview* FrmPreview::Current() { return gCurrent; }

void FrmPreview::BuildControls() {
    background_ = new QLabel(this);
    background_->setObjectName("ImgBackground");
    background_->setPixmap(QIcon(":/preview/background.svg").pixmap(QSize(256, 256)));
    background_->setScaledContents(true);

    frames_[3] = Group(this, "Frame(3)", QFrame::Raised);   // navigation
    frames_[2] = Group(this, "Frame(2)", QFrame::Raised);   // zoom
    frames_[0] = Group(this, "Frame(0)", QFrame::Raised);   // output
    frames_[4] = Group(frames_[3], "Frame(4)", QFrame::Sunken);
    frames_[1] = Group(frames_[2], "Frame(1)", QFrame::Sunken);

    // Navigation.
    imgPreview_[0] = PictureButton(frames_[3], "ImgPreview(0)", "first", " First Page", false);
    imgPreview_[1] = PictureButton(frames_[3], "ImgPreview(1)", "previous", " Previous Page ", false);
    imgPreview_[2] = PictureButton(frames_[3], "ImgPreview(2)", "next", " Next Page ", false);
    imgPreview_[3] = PictureButton(frames_[3], "ImgPreview(3)", "last", " Last Page ", false);
    textPage_ = new QLineEdit(frames_[4]);
    textPage_->setObjectName("TextPage");
    textPage_->setAlignment(Qt::AlignCenter);
    textPage_->setToolTip(" Type any page number to go straight to that page ");
    labels_[0] = new QLabel("van 120", frames_[4]);
    labels_[0]->setAlignment(Qt::AlignCenter);

    // Zoom.
    cmdPreview_[4] = PictureButton(frames_[2], "cmdPreview(4)", "wholepage", " Full Page View  (Fit Size)  ", true);
    cmdPreview_[5] = PictureButton(frames_[2], "cmdPreview(5)", "zoomin", " Zoom-In ", true);
    cmdPreview_[6] = PictureButton(frames_[2], "cmdPreview(6)", "zoomout", " Zoom-Out ", true);
    labels_[3] = new QLabel("100 %", frames_[1]);
    labels_[3]->setAlignment(Qt::AlignCenter);
    labels_[3]->setToolTip(" Scale ");
    QFont bold = labels_[3]->font();
    bold.setBold(true);
    labels_[3]->setFont(bold);

    // Output.
    labels_[1] = new QLabel("Van-Tot :", frames_[0]);
    labels_[2] = new QLabel("Oplage :", frames_[0]);
    txtRange_ = new QLineEdit(frames_[0]);
    txtRange_->setObjectName("txtRange");
    txtRange_->setToolTip(" Enter the range to be printed or to be saved as PDF ");
    txtKopie_ = new QLineEdit(frames_[0]);
    txtKopie_->setObjectName("txtKopie");
    txtKopie_->setToolTip(" Enter the number of copies to be printed ");
    txtKopie_->setMaxLength(3);
    txtKopie_->setAlignment(Qt::AlignRight);
    upDown_ = new UpDown(frames_[0]);
    upDown_->setObjectName("UpDown1");
    cmdprint_ = PictureButton(frames_[0], "cmdprint", "print", "", true);
    cmdPDF_ = PictureButton(frames_[0], "cmdPDF", "pdf", " Save document as PDF ", true);
    cmdHelp_ = PictureButton(frames_[0], "cmdHelp", "help", " Help ", true);
    cmdExit_ = PictureButton(frames_[0], "cmdExit", "exit", " Close Preview ", true);

    for (int i = 0; i < 4; ++i) labels_[i]->setObjectName(QString("Label(%1)").arg(i));

    view_ = new PageView(this);
    view_->setObjectName("VSPrinter");

    for (int i = 0; i < 4; ++i)
        connect(imgPreview_[i], &QToolButton::clicked, this, [this, i] { PreviewAction(i); });
    for (int i = 4; i < 7; ++i)
        connect(cmdPreview_[i], &QToolButton::clicked, this, [this, i] { PreviewAction(i); });
    connect(textPage_, &QLineEdit::textChanged, this, &FrmPreview::OnPageTextChanged);
    connect(upDown_, &UpDown::UpClicked, this, [this] {
        std::string text = txtKopie_->text().toStdString();
        try {
            GenServices().SpinKey(38, text, std::nullopt, 99);
        } catch (const std::exception&) {
            return;
        }
        txtKopie_->setText(Q(text));
    });
    connect(upDown_, &UpDown::DownClicked, this, [this] {
        std::string text = txtKopie_->text().toStdString();
        try {
            GenServices().SpinKey(40, text);
        } catch (const std::exception&) {
            return;
        }
        txtKopie_->setText(Q(text));
    });
    connect(cmdprint_, &QToolButton::clicked, this, &FrmPreview::PrintDocument);
    connect(cmdPDF_, &QToolButton::clicked, this, &FrmPreview::ExportPdf);
    connect(cmdHelp_, &QToolButton::clicked, this, &FrmPreview::ShowHelp);
    connect(cmdExit_, &QToolButton::clicked, this, &FrmPreview::CloseWithoutPrinting);
}

void FrmPreview::BuildOutline() {
    const auto& outline = surface::DocumentAsSpilled(surface_).outline;
    if (outline.empty()) return;
    tvwOutline_ = new QTreeWidget(this);
    tvwOutline_->setObjectName("tvwOutline");
    tvwOutline_->setHeaderHidden(true);
    tvwOutline_->setColumnCount(1);
    tvwOutline_->setUniformRowHeights(true);
    std::vector<QTreeWidgetItem*> chain;  // the last item of each level
    for (const surface::OutlineEntry& e : outline) {
        chain.resize(std::min<size_t>(chain.size(), e.level));
        auto* item = chain.empty() ? new QTreeWidgetItem(tvwOutline_) : new QTreeWidgetItem(chain.back());
        item->setText(0, Q(e.title));
        item->setData(0, kPageRole, static_cast<int>(e.page) + 1);
        item->setData(0, kTopRole, e.y);
        chain.push_back(item);
    }
    connect(tvwOutline_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ShowOutlineEntry(item); });
    connect(tvwOutline_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { ShowOutlineEntry(item); });
}

void FrmPreview::ShowOutlineEntry(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const int page = item->data(0, kPageRole).toInt();
    try {
        view_->SetPreviewPage(page);
    } catch (const std::exception&) {
        return;
    }
    // A page larger than the view scrolls to the entry's place, a little above it.
    QScrollBar* bar = view_->verticalScrollBar();
    const QRectF rect = view_->PageRectInView(page);
    if (bar->maximum() > 0 && !rect.isEmpty()) {
        const double top = item->data(0, kTopRole).toDouble() * view_->PixelsPerTwip();
        bar->setValue(bar->value() + static_cast<int>(rect.top() + top) - TwipsToPixelsY(240));
    }
    RefreshControls();
}

void FrmPreview::Translate() {
    if (GenServices().LanguageOffset <= 0) return;
    setWindowTitle(Q(GetText(1003)));
    labels_[1]->setText(Q(GetText(1004)));
    labels_[2]->setText(Q(GetText(1002)));
}

void FrmPreview::LayoutControls() {
    if (shrunk_) return;
    const int dpiX = static_cast<int>(ScreenDpiX());
    const int dpiY = static_cast<int>(ScreenDpiY());
    const int clientWidth = width() * 1440 / std::max(1, dpiX);    // twips
    const int clientHeight = height() * 1440 / std::max(1, dpiY);
    const int surfaceWidth = std::max(0, clientWidth - 2 * kSurfaceLeft);
    const int surfaceHeight = std::max(0, clientHeight - kSurfaceTop - kSurfaceLeft);

    SetTwipsGeometry(background_, 0, 0, clientWidth, clientHeight + 400);
    if (tvwOutline_ != nullptr) {
        const int panel = std::min(kOutlineWidth, surfaceWidth / 2);
        SetTwipsGeometry(tvwOutline_, kSurfaceLeft, kSurfaceTop, panel, surfaceHeight);
        SetTwipsGeometry(view_, kSurfaceLeft + panel + kOutlineGap, kSurfaceTop,
                         std::max(0, surfaceWidth - panel - kOutlineGap), surfaceHeight);
    } else {
        SetTwipsGeometry(view_, kSurfaceLeft, kSurfaceTop, surfaceWidth, surfaceHeight);
    }

    // Navigation group.
    SetTwipsGeometry(frames_[3], kNavigationLeft, kGroupTop, kNavigationWidth, kGroupHeight);
    const int pictureTop = (kGroupHeight - kButtonHeight) / 2;
    SetTwipsGeometry(imgPreview_[0], 75, pictureTop, kPictureWidth, kButtonHeight);
    SetTwipsGeometry(imgPreview_[1], 585, pictureTop, kPictureWidth, kButtonHeight);
    SetTwipsGeometry(frames_[4], 1110, 90, 900, kGroupHeight - 180);
    SetTwipsGeometry(textPage_, 90, 75, 720, 330);
    SetTwipsGeometry(labels_[0], 30, 435, 840, 270);
    SetTwipsGeometry(imgPreview_[2], 2025, pictureTop, kPictureWidth, kButtonHeight);
    SetTwipsGeometry(imgPreview_[3], 2535, pictureTop, kPictureWidth, kButtonHeight);

    // Zoom group.
    SetTwipsGeometry(frames_[2], kZoomLeft, kGroupTop, kZoomWidth, kGroupHeight);
    SetTwipsGeometry(cmdPreview_[4], 75, kButtonTop, kButtonWidth, kButtonHeight);
    SetTwipsGeometry(cmdPreview_[5], 765, kButtonTop, kButtonWidth, kButtonHeight);
    SetTwipsGeometry(frames_[1], 1455, kButtonTop, 660, kButtonHeight);
    SetTwipsGeometry(labels_[3], 15, 15, 630, kButtonHeight - 30);
    SetTwipsGeometry(cmdPreview_[6], 2130, kButtonTop, kButtonWidth, kButtonHeight);

    // Output group, its right edge on the page view's right edge.
    const int outputLeft = std::max(kOutputLeft, kSurfaceLeft + surfaceWidth - kOutputWidth);
    SetTwipsGeometry(frames_[0], outputLeft, kGroupTop, kOutputWidth, kGroupHeight);
    SetTwipsGeometry(labels_[1], 120, 150, 1000, 285);
    SetTwipsGeometry(txtRange_, 1140, 120, 1000, 330);
    SetTwipsGeometry(labels_[2], 120, 540, 1000, 285);
    SetTwipsGeometry(txtKopie_, 1140, 510, 745, 330);
    SetTwipsGeometry(upDown_, 1885, 510, 255, 330);
    QToolButton* outputs[] = {cmdprint_, cmdPDF_, cmdHelp_, cmdExit_};
    for (int i = 0; i < 4; ++i)
        SetTwipsGeometry(outputs[i], 2220 + i * (kButtonWidth + 60), kButtonTop, kButtonWidth, kButtonHeight);

    const QSize icon(TwipsToPixelsX(kButtonWidth) - 12, TwipsToPixelsY(kButtonHeight) - 12);
    for (QToolButton* b : findChildren<QToolButton*>())
        if (b->parentWidget() != upDown_) b->setIconSize(icon);
}

void FrmPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutControls();
}

void FrmPreview::Prepare(const PreviewRequest& request) {
    txtKopie_->setText(Q(request.CopiesText));
    cmdprint_->setToolTip(Q(request.PrintToolTip));
    if (!request.Caption.empty()) setWindowTitle(Q(request.Caption));
    try {
        if (request.ZoomMode == kZoomPercentage) {
            view_->SetZoomMode(kZoomPercentage);
            view_->SetZoom(request.Zoom);
        } else {
            view_->SetZoomMode(request.ZoomMode);
        }
    } catch (const std::exception&) {
        view_->SetZoomMode(kZoomWholePage);
    }
    if (!request.PrintEnabled) cmdprint_->setEnabled(false);
    if (!request.PdfEnabled) cmdPDF_->setEnabled(false);
    if (request.ShrunkForPdf) {
        // Only the save dialog is meant to be seen: no caption, 10 by 10 twips, top edge.
        shrunk_ = true;
        setWindowTitle(QString());
        setSizeGripEnabled(false);
        setMinimumSize(0, 0);
        resize(std::max(1, TwipsToPixelsX(10)), std::max(1, TwipsToPixelsY(10)));
        int32_t left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
        GenServices().WindowArea(left, top, right, bottom, width, height);
        move(TwipsToPixelsX(left), TwipsToPixelsY(top));
    }
}

void FrmPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_ || activationQueued_) return;
    activationQueued_ = true;
    QMetaObject::invokeMethod(this, &FrmPreview::FirstActivation, Qt::QueuedConnection);
}

void FrmPreview::FirstActivation() {
    if (activated_) return;
    activated_ = true;
    GenServices().FormActivated = true;
    const int pages = view_->PageCount();
    if (pages <= 1) {
        txtRange_->setText("1");
        txtRange_->setReadOnly(true);
    } else {
        txtRange_->setText("1-" + QString::number(pages));
    }
    if (modqorPrintLib().PreviewMode == 3) {
        ExportPdf();
    } else {
        RefreshControls();
        view_->setFocus();
    }
    RestorePointer();
}

void FrmPreview::RefreshControls() {
    const int page = view_->PreviewPage();
    const int pages = view_->PageCount();
    const QString pageText = QString::number(page);
    if (textPage_->text() != pageText) textPage_->setText(pageText);
    labels_[0]->setText(Q(GetText(1001)) + QString::number(pages));

    const bool back = page != 1 && pages >= 2;
    const bool forward = page != pages && pages >= 2;
    imgPreview_[0]->setEnabled(back);
    imgPreview_[1]->setEnabled(back);
    imgPreview_[2]->setEnabled(forward);
    imgPreview_[3]->setEnabled(forward);

    const double zoom = view_->Zoom();
    cmdPreview_[5]->setEnabled(zoom < kZoomInLimit);
    cmdPreview_[6]->setEnabled(zoom > kZoomOutLimit);

    const int shown = view_->PagesShown();
    if (shown == 1)
        labels_[3]->setText(view_->ZoomMode() == kZoomWholePage ? QString("1") : Q(ZoomLabel(zoom)));
    else
        labels_[3]->setText(QString::number(std::min(shown, pages)));

    if (printers_ == 0) cmdprint_->setEnabled(false);
}

void FrmPreview::PreviewAction(int index) {
    const int page = view_->PreviewPage();
    const int pages = view_->PageCount();
    const int shown = view_->PagesShown();
    try {
        switch (index) {
            case 0: view_->SetPreviewPage(1); break;
            case 1: view_->SetPreviewPage(page - shown); break;
            case 2: view_->SetPreviewPage(page + shown); break;
            case 3: view_->SetPreviewPage(pages + 1 - shown); break;
            case 4: view_->SetZoomMode(kZoomWholePage); break;
            case 5: {
                view_->SetZoomMode(kZoomPercentage);
                const double zoom = ZoomInStep(view_->Zoom());
                view_->SetZoom(zoom);
                // At 100 % with the page's left edge in view, a nudge re-centres the page.
                if (zoom == kZoomHundredPercent && view_->ScrollX() == 0) {
                    view_->SetZoom(kZoomNudge);
                    view_->SetZoom(kZoomHundredPercent);
                }
                break;
            }
            case 6: {
                const double zoom = view_->Zoom();
                if (zoom > kZoomOutToWholePage) {
                    view_->SetZoomMode(kZoomPercentage);
                    view_->SetZoom(ZoomOutStep(zoom));
                } else {
                    view_->SetZoomMode(kZoomWholePage);
                }
                break;
            }
            default: break;
        }
    } catch (const std::exception&) {
        // The page or zoom stays as it was.
    }
    RefreshControls();
    view_->setFocus();
}

void FrmPreview::OnPageTextChanged() {
    if (!activated_ || !GenServices().FormActivated) return;
    double value = 0;
    try {
        value = GenServices().ToNumber(Variant(textPage_->text().toStdString())).ToDouble();
    } catch (const std::exception&) {
        value = 0;
    }
    if (value > 0 && value <= view_->PageCount()) {
        view_->SetPreviewPage(static_cast<int>(RoundHalfEven(value)));
        SetTextColour(textPage_, QColor(0, 0, 0));
        RefreshControls();
    } else {
        SetTextColour(textPage_, QColor(255, 0, 0));
    }
}

void FrmPreview::OnZoomChanged() {
    if (view_->ZoomMode() == kZoomPageWidth) {
        view_->SetZoom(kZoomNudge);
        view_->SetZoom(kZoomHundredPercent);
    }
    RefreshControls();
}

void FrmPreview::OnStateNotification(int code) {
    if (code == 2) {
        if (printers_ < 0) printers_ = surface_.NDevices();
        cmdprint_->setEnabled(printers_ > 0);
    } else if (code == 5) {
        cmdprint_->setEnabled(false);
    }
}

void FrmPreview::CloseWithoutPrinting() {
    modqorPrintLib().DocPrinted = false;
    done(QDialog::Rejected);
}

void FrmPreview::ShowHelp() { FrmPreviewHelp::ShowModal(this); }

void FrmPreview::NormaliseCopies() {
    double value = 0;
    try {
        value = GenServices().ToNumber(Variant(txtKopie_->text().toStdString())).ToDouble();
    } catch (const std::exception&) {
        value = 0;
    }
    if (value == 0) txtKopie_->setText("1");
}

// Keys of the preview's table act whichever control has the focus, and are consumed.
bool FrmPreview::HandlePreviewKey(QKeyEvent* key, bool pressed) {
    const Qt::KeyboardModifiers shiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    switch (key->key()) {
        case Qt::Key_Escape:
            if (pressed) CloseWithoutPrinting();
            return true;
        case Qt::Key_Left:
            if (pressed && imgPreview_[1]->isEnabled()) PreviewAction(1);
            return true;
        case Qt::Key_Right:
            if (pressed && imgPreview_[2]->isEnabled()) PreviewAction(2);
            return true;
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            if (pressed || (key->modifiers() & shiftCtrlAlt)) return true;
            const int index = key->key() == Qt::Key_Home ? 0
                              : key->key() == Qt::Key_End ? 3
                              : key->key() == Qt::Key_PageUp ? 1 : 2;
            if (imgPreview_[index]->isEnabled()) PreviewAction(index);
            return true;
        }
        default:
            return false;
    }
}

bool FrmPreview::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (HandlePreviewKey(key, type == QEvent::KeyPress)) return true;
        if (type == QEvent::KeyPress && !key->text().isEmpty()) {
            const char* classes = watched == txtRange_ ? "C-,"
                                  : (watched == txtKopie_ || watched == textPage_) ? "C" : nullptr;
            const char16_t ch = key->text().at(0).unicode();
            if (classes && ch < 0x8000 &&
                GenServices().FilterKey(static_cast<int16_t>(ch), classes) == 0)
                return true;
            if (classes && ch >= 0x8000) return true;
        }
        if (type == QEvent::KeyRelease && watched == txtKopie_ &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            std::string text = txtKopie_->text().toStdString();
            try {
                GenServices().SpinKey(key->key() == Qt::Key_Up ? 38 : 40, text, 1, 99);
                txtKopie_->setText(Q(text));
            } catch (const std::exception&) {
            }
            return true;
        }
    } else if (type == QEvent::FocusIn) {
        // Select after the click that brought the focus has placed the cursor.
        if (watched == textPage_ || watched == txtKopie_ || watched == txtRange_)
            QMetaObject::invokeMethod(static_cast<QLineEdit*>(watched), &QLineEdit::selectAll,
                                      Qt::QueuedConnection);
    } else if (type == QEvent::FocusOut) {
        if (watched == txtKopie_) {
            NormaliseCopies();
        } else if (watched == txtRange_) {
            const QString trimmed = txtRange_->text().trimmed();
            txtRange_->setText(trimmed.isEmpty() ? QString("1") : trimmed);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPreview::keyPressEvent(QKeyEvent* event) {
    // Esc is the close button's key (handled above); Enter has no default button here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

}  // namespace qor::preview
