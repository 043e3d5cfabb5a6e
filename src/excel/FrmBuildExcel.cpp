#include "excel/FrmBuildExcel.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

#include <qor/Texts.h>


#include "../../resources/excel/spreadsheet.xpm"

namespace qor {

FrmBuildExcel::FrmBuildExcel(std::function<bool()> prepare) : prepare_(std::move(prepare)) {
    setObjectName(QStringLiteral("frmBuildExcel"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(kSpreadsheetXpm));
    auto* text = new QLabel(QString::fromStdString(GetText(1053)), this);
    text->setObjectName(QStringLiteral("lblText"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 24, 16);
    layout->setSpacing(14);
    layout->addWidget(picture);
    layout->addWidget(text);
    setFixedSize(sizeHint());
}

void FrmBuildExcel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    // Runs once the window is on the screen, from the event loop of the modal display.
    QTimer::singleShot(0, this, &FrmBuildExcel::Activate);
}

void FrmBuildExcel::Activate() {
    repaint();
    QElapsedTimer shown;
    shown.start();
    const bool ready = prepare_();
    const qint64 left = ready ? kMinimumShownMs - shown.elapsed() : 0;
    // accept() rather than done(): reject() is disabled.
    QTimer::singleShot(static_cast<int>(std::max<qint64>(left, 0)), this, [this] { accept(); });
}

void ShowBuildExcelWindow(const std::function<bool()>& prepare) {
    FrmBuildExcel window(prepare);
    window.exec();
}

bool OpenUrlWithDesktop(const std::string& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file)));
}

}  // namespace qor
