#include "core/FrmPaperBin.h"

#include "core/Desktop.h"
#include "core/Printers.h"
#include "core/Twips.h"
#include "surface/SpoolerTrays.h"

#include <qor/GenServices.h>
#include <qor/PrinterList.h>
#include <qor/Spooler.h>
#include <qor/Texts.h>

#include <QLabel>
#include <algorithm>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include "../../resources/core/papertray.xpm"
#include "../../resources/core/printer.xpm"

namespace qor {

namespace {

// Design layout, twips.
constexpr int32_t kMargin = 120;
constexpr int32_t kListWidth = 3000;
constexpr int32_t kLineHeight = 255;      // list height per entry
constexpr int32_t kButtonGap = 150;       // list bottom to the cancel button
constexpr int32_t kPictureGap = 100;      // list bottom to the lower picture
constexpr int32_t kButtonWidth = 1200;
constexpr int32_t kButtonHeight = 375;
constexpr int32_t kPictureSize = 480;
// The window's outer height is the button's top + 880; a title bar of about 385 twips is
// part of that, the rest is the client area below the button's top.
constexpr int32_t kBelowButtonTop = 880 - 385;
constexpr int32_t kEdgeDistance = 400;    // nearest a window may come to the screen's edge

// Dutch design texts, kept when no other language is chosen.
constexpr const char* kDesignCaption = "Papierlade selecteren";
constexpr const char* kDesignCancel = "Annuleren";

}  // namespace

FrmPaperBin::FrmPaperBin(const std::vector<BinEntry>& entries, QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget(this)),
      cancel_(new QPushButton(this)),
      picture_(new QLabel(this)),
      trayPicture_(new QLabel(this)) {
    setObjectName(QStringLiteral("FrmPaperBin"));
    setModal(true);
    list_->setObjectName(QStringLiteral("List1"));
    cancel_->setObjectName(QStringLiteral("cmdAnn"));
    picture_->setObjectName(QStringLiteral("Image1"));
    trayPicture_->setObjectName(QStringLiteral("Image2"));
    GenServices().FormActivated = false;

    QString caption = QString::fromUtf8(kDesignCaption);
    QString cancel = QString::fromUtf8(kDesignCancel);
    QString tip = caption;
    if (GenServices().LanguageOffset > 0) {  // Vertaling
        caption = QString::fromStdString(TrimBlanks(GetText(1008)));
        cancel = QString::fromStdString(GetText(9500));
        tip = QString::fromStdString(GetText(1008));
    }
    setWindowTitle(caption);
    cancel_->setText(cancel);
    list_->setToolTip(tip);

    for (const BinEntry& entry : entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.first), list_);
        item->setData(Qt::UserRole, entry.second);
    }
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    const int32_t count = static_cast<int32_t>(entries.size());
    const int32_t listHeight = (count + 1) * kLineHeight;
    const int32_t listBottom = kMargin + listHeight;
    const int32_t buttonTop = listBottom + kButtonGap;
    widthTwips_ = kMargin + kListWidth + kMargin + kPictureSize + kMargin;
    heightTwips_ = buttonTop + 880;
    SetTwipsGeometry(list_, kMargin, kMargin, kListWidth, listHeight);
    SetTwipsGeometry(cancel_, kMargin + kListWidth - kButtonWidth, buttonTop, kButtonWidth,
                     kButtonHeight);
    SetTwipsGeometry(picture_, kMargin, listBottom + kPictureGap, kPictureSize, kPictureSize);
    SetTwipsGeometry(trayPicture_, kMargin + kListWidth + kMargin, kMargin, kPictureSize,
                     kPictureSize);
    picture_->setPixmap(QPixmap(kPaperTrayXpm));
    trayPicture_->setPixmap(QPixmap(kPrinterXpm));
    setFixedSize(TwipsToPixelsX(widthTwips_),
                 TwipsToPixelsY(std::max(buttonTop + kBelowButtonTop,
                                         listBottom + kPictureGap + kPictureSize + kMargin)));

    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { OnListClicked(list_->row(item)); });
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { OnListClicked(list_->row(item)); });
    connect(cancel_, &QPushButton::clicked, this, &FrmPaperBin::reject);
}

void FrmPaperBin::Preselect(int32_t index) {
    if (index < 0 || index >= list_->count()) {
        list_->setCurrentRow(-1);
        list_->clearSelection();
        return;
    }
    list_->setCurrentRow(index);
}

int32_t FrmPaperBin::Selection() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void FrmPaperBin::PlaceAt(int32_t xTwips, int32_t yTwips) {
    int32_t left = 0, top = 0, right = 0, bottom = 0, screenWidth = 0, screenHeight = 0;
    GenServices().WindowArea(left, top, right, bottom, screenWidth, screenHeight);
    int32_t x = xTwips;
    int32_t y = yTwips;
    if (x + widthTwips_ > screenWidth - kEdgeDistance) x = xTwips - widthTwips_;
    if (y + heightTwips_ > screenHeight - kEdgeDistance) y = yTwips - heightTwips_;
    move(TwipsToPixelsX(x), TwipsToPixelsY(y));
}

void FrmPaperBin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    GenServices().FormActivated = true;
}

void FrmPaperBin::reject() { hide(); }

void FrmPaperBin::OnListClicked(int row) {
    if (!GenServices().FormActivated) return;
    if (row == 1) {  // the separator line cannot be chosen
        list_->clearSelection();
        list_->setCurrentRow(-1);
        return;
    }
    accept();
}

int32_t ChoosePaperBinWindow(const std::vector<BinEntry>& entries, int32_t preselect) {
    FrmPaperBin form(entries);
    form.Preselect(preselect);
    form.PlaceAt(GenServices().ScreenPoint("X"), GenServices().ScreenPoint("Y"));
    form.exec();
    return form.Selection();
}

}  // namespace qor
