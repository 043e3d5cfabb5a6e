#include "preview/FrmPreviewHelp.h"

#include <qor/GenServices.h>
#include <qor/Texts.h>

#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

#include "core/Twips.h"
#include "preview/ZoomSteps.h"

namespace qor::preview {

namespace {

thread_local FrmPreviewHelp* gCurrent = nullptr;

// One line of the window: position in twips, text id, Dutch design text.
struct HelpLine {
    int top;
    int left;
    int32_t textId;
    const char* designText;
};

constexpr HelpLine kLines[17] = {
    {300, 360, 1030, "Weergave :"},
    {840, 1080, 1031, "Dubbelklikken met linker-muisknop"},
    {1080, 1080, 1032, "(of)  Ctrl + linker-muisknop"},
    {1320, 1560, 1033, "= uitvergroten in stappen van 25 %  (tot max. 250 %)"},
    {1800, 1080, 1034, "Dubbelklikken met rechter-muisknop"},
    {2040, 1080, 1035, "(of)  Ctrl + rechter-muisknop"},
    {2280, 1560, 1036, "= verkleinen in stappen van 25 %  (tot min. 50 %)"},
    {2760, 1080, 1037, "Dubbelklikken met rechter-muisknop"},
    {3000, 1080, 1038, "(wanneer de pagina in volledige weergave staat)"},
    {3240, 1560, 1039, "= weergave van 2 tot maximaal 18 pagina's gelijkertijd"},
    {3660, 1080, 1040, "Linker-muisknop ingedrukt houden"},
    {3900, 1080, 1041, "(wanneer de pagina groter is dan het beeldvenster)"},
    {4140, 1560, 1042, "= pagina verschuiven"},
    {5280, 360, 1043, "Afdrukken Van-Tot :"},
    {5310, 3360, 1044, "= Pagina 1"},
    {5670, 3360, 1045, "= Pagina's 1 tot en met 5"},
    {6030, 3360, 1046, "= Pagina's 2 en 4"},
};

// The example range boxes beside lines 14 to 16.
constexpr const char* kExamples[3] = {"1", "1-5", "2,4"};
constexpr int kExampleLeft = 2520;
constexpr int kExampleWidth = 615;
constexpr int kExampleHeight = 285;

// Mouse pictures beside the four mouse entries: top in twips and picture.
struct HelpPicture {
    int top;
    const char* picture;
};
constexpr HelpPicture kPictures[4] = {
    {840, "mouse-left"}, {1800, "mouse-right"}, {2760, "mouse-right"}, {3660, "mouse-drag"}};
constexpr int kPictureLeft = 360;
constexpr int kPictureWidth = 480;
constexpr int kPictureHeight = 720;

constexpr int kLineHeight = 240;
constexpr int kSeparatorTop = 4740;
constexpr int kMargin = 360;
constexpr int kOffsetBelowPreview = 1580;

}  // namespace

FrmPreviewHelp::FrmPreviewHelp(QWidget* preview) : QDialog(preview) {
    setObjectName("FrmPreviewHelp");
    setModal(true);
    setWindowTitle("Help bij Afdrukvoorbeeld");
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 192));
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    QFont font("Arial");
    font.setPointSizeF(9);
    setFont(font);

    for (int i = 0; i < 17; ++i) {
        auto* label = new QLabel(QString::fromUtf8(kLines[i].designText), this);
        label->setObjectName(QString("Label(%1)").arg(i));
        if (i == 0 || i == 13) {
            QFont bold = font;
            bold.setBold(true);
            label->setFont(bold);
        }
        labels_[i] = label;
    }
    for (int i = 0; i < 3; ++i) {
        auto* box = new QLabel(kExamples[i], this);
        box->setObjectName(QString("Label(%1)").arg(20 + i));
        box->setAlignment(Qt::AlignCenter);
        box->setFrameShape(QFrame::Box);
        box->setAutoFillBackground(true);
        QPalette white = box->palette();
        white.setColor(QPalette::Window, Qt::white);
        box->setPalette(white);
        labels_[20 + i] = box;
    }
    for (int i = 0; i < 4; ++i) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QString("Img(%1)").arg(i));
        const QSize size(TwipsToPixelsX(kPictureWidth), TwipsToPixelsY(kPictureHeight));
        picture->setPixmap(QIcon(QString(":/preview/%1.svg").arg(kPictures[i].picture)).pixmap(size));
        picture->installEventFilter(this);   // a click on a picture does nothing
        pictures_[i] = picture;
    }
    line_ = new QFrame(this);
    line_->setObjectName("Line1");
    line_->setFrameShape(QFrame::HLine);
    line_->setFrameShadow(QFrame::Plain);

    Vertaling();
    LayoutLines();
    PlaceOver(preview);
    gCurrent = this;
}

FrmPreviewHelp::~FrmPreviewHelp() {
    if (gCurrent == this) gCurrent = nullptr;
}

FrmPreviewHelp* FrmPreviewHelp::Current() { return gCurrent; }

void FrmPreviewHelp::ShowModal(QWidget* preview) {
    if (gCurrent) return;
    FrmPreviewHelp help(preview);
    help.exec();
}

void FrmPreviewHelp::Vertaling() {
    if (GenServices().LanguageOffset <= 0) return;
    setWindowTitle(QString::fromStdString(GetText(1011)));
    for (int i = 0; i < 17; ++i) labels_[i]->setText(QString::fromStdString(GetText(1030 + i)));
}

void FrmPreviewHelp::LayoutLines() {
    int right = 0;
    for (int i = 0; i < 17; ++i) {
        QLabel* label = labels_[i];
        label->adjustSize();
        label->move(TwipsToPixelsX(kLines[i].left), TwipsToPixelsY(kLines[i].top));
        label->resize(label->width(), std::max(label->height(), TwipsToPixelsY(kLineHeight)));
        right = std::max(right, label->geometry().right());
    }
    for (int i = 0; i < 3; ++i)
        SetTwipsGeometry(labels_[20 + i], kExampleLeft, kLines[14 + i].top - 30, kExampleWidth, kExampleHeight);
    for (int i = 0; i < 4; ++i)
        SetTwipsGeometry(pictures_[i], kPictureLeft, kPictures[i].top, kPictureWidth, kPictureHeight);
    const int width = right + 1 + TwipsToPixelsX(kMargin);
    line_->setGeometry(TwipsToPixelsX(kMargin), TwipsToPixelsY(kSeparatorTop),
                       width - 2 * TwipsToPixelsX(kMargin), 2);
    const int height = TwipsToPixelsY(kLines[16].top - 30 + kExampleHeight + kMargin);
    setFixedSize(width, height);
}

void FrmPreviewHelp::PlaceOver(QWidget* preview) {
    if (!preview) return;
    const QRect frame = preview->frameGeometry();
    const int left = frame.x() + static_cast<int>(RoundHalfEven(frame.width() - width())) / 2;
    move(left, frame.y() + TwipsToPixelsY(kOffsetBelowPreview));
}

bool FrmPreviewHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        return true;   // pictures swallow their clicks
    return QDialog::eventFilter(watched, event);
}

void FrmPreviewHelp::keyPressEvent(QKeyEvent* event) {
    // A key that produces a character closes the window and goes no further; others
    // (arrows, function keys, modifiers) do nothing.
    event->accept();
    if (!event->text().isEmpty()) done(QDialog::Accepted);
}

void FrmPreviewHelp::mousePressEvent(QMouseEvent* event) {
    event->accept();
    done(QDialog::Accepted);
}

}  // namespace qor::preview
