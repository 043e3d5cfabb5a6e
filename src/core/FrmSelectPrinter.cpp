#include "core/FrmSelectPrinter.h"

#include "core/Desktop.h"
#include "core/Printers.h"
#include "core/Twips.h"
#include "surface/SpoolerTrays.h"

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include "core/QtPrinterList.h"
#include <qor/Spooler.h>
#include <qor/Texts.h>

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include "../../resources/core/papertray.xpm"
#include "../../resources/core/printer.xpm"

namespace qor {

namespace {

// Design layout, twips.
constexpr int32_t kWidth = 5640;
constexpr int32_t kHeight = 4620;
constexpr int32_t kMargin = 120;
constexpr int32_t kPictureSize = 480;
constexpr int32_t kTextLeft = kMargin + kPictureSize + kMargin;
constexpr int32_t kTextWidth = kWidth - kTextLeft - kMargin;
constexpr int32_t kListTop = 1140;
constexpr int32_t kListHeight = 2400;
constexpr int32_t kCheckTop = kListTop + kListHeight + 90;
constexpr int32_t kButtonTop = kCheckTop + 375;
constexpr int32_t kButtonHeight = 420;
constexpr int32_t kButtonWidth = 1260;
constexpr double kOpacity = 240.0 / 255.0;

}  // namespace

FrmSelectPrinter::FrmSelectPrinter(const std::string& wanted, QWidget* parent)
    : QDialog(parent),
      printers_(new QListWidget(this)),
      keepDefault_(new QCheckBox(this)),
      ok_(new QPushButton(this)),
      cancel_(new QPushButton(this)),
      bins_(new QPushButton(this)),
      prompt_(new QLabel(this)),
      missing_(new QLabel(this)),
      picture_(new QLabel(this)),
      list_(nullptr) {
    setObjectName(QStringLiteral("FrmSelectPrinter"));
    setModal(true);
    setWindowOpacity(kOpacity);
    printers_->setObjectName(QStringLiteral("lstPrinters"));
    keepDefault_->setObjectName(QStringLiteral("CheckDefPr"));
    ok_->setObjectName(QStringLiteral("cmdOK"));
    cancel_->setObjectName(QStringLiteral("cmdAnn"));
    bins_->setObjectName(QStringLiteral("cmdPapierBak"));
    prompt_->setObjectName(QStringLiteral("Label0"));
    missing_->setObjectName(QStringLiteral("Label1"));
    picture_->setObjectName(QStringLiteral("Image1"));

    setWindowTitle(QStringLiteral("Printer"));
    keepDefault_->setText(QStringLiteral("Use as default Printer"));
    ok_->setText(QStringLiteral("OK"));
    ok_->setDefault(true);
    bins_->setIcon(QIcon(QPixmap(kPaperTrayXpm)));
    bins_->setIconSize(QSize(TwipsToPixelsX(360), TwipsToPixelsY(360)));
    picture_->setPixmap(QPixmap(kPrinterXpm));
    prompt_->setWordWrap(true);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Vertaling
    prompt_->setText(QString::fromStdString(GetText(1026)));
    bins_->setToolTip(QString::fromStdString(GetText(1071)));
    cancel_->setText(QString::fromStdString(GetText(9500)));

    SetTwipsGeometry(picture_, kMargin, kMargin, kPictureSize, kPictureSize);
    SetTwipsGeometry(prompt_, kTextLeft, kMargin, kTextWidth, 660);
    SetTwipsGeometry(missing_, kTextLeft, 810, kTextWidth, 285);
    SetTwipsGeometry(printers_, kMargin, kListTop, kWidth - 2 * kMargin, kListHeight);
    SetTwipsGeometry(keepDefault_, kMargin, kCheckTop, 3600, 285);
    SetTwipsGeometry(bins_, kMargin, kButtonTop, 600, kButtonHeight);
    SetTwipsGeometry(ok_, kWidth - kMargin - 2 * kButtonWidth - kMargin, kButtonTop, kButtonWidth,
                     kButtonHeight);
    SetTwipsGeometry(cancel_, kWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
    setFixedSize(TwipsToPixelsX(kWidth), TwipsToPixelsY(kHeight));

    list_ = new QtListPrinterList(*printers_);
    PreselectPrinter(*list_, wanted);

    connect(ok_, &QPushButton::clicked, this, &FrmSelectPrinter::accept);
    connect(cancel_, &QPushButton::clicked, this, &FrmSelectPrinter::reject);
    connect(printers_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(keepDefault_, &QCheckBox::clicked, this, [this] { printers_->setFocus(); });
    connect(bins_, &QPushButton::clicked, this, [this] { ShowPaperBins(*list_); });
    printers_->setFocus();
}

FrmSelectPrinter::~FrmSelectPrinter() { delete list_; }

void FrmSelectPrinter::SetLabels(const std::optional<std::string>& prompt, const std::string& missing) {
    if (prompt) prompt_->setText(QString::fromStdString(*prompt));
    missing_->setText(QString::fromStdString(missing));
}

void FrmSelectPrinter::accept() {
    ApplyPrinterChoice(*list_, keepDefault_->isChecked());
    QDialog::accept();
}

void FrmSelectPrinter::reject() {
    StoreCancelledPrinterChoice();
    QDialog::reject();
}

void ChoosePrinterWindow(const std::optional<std::string>& prompt, const std::string& missing,
                         const std::string& wanted) {
    FrmSelectPrinter form(wanted);
    Beep();
    form.SetLabels(prompt, missing);
    form.exec();
}

}  // namespace qor
