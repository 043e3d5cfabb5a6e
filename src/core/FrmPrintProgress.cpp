#include "core/FrmPrintProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Desktop.h"

namespace qor {

namespace {

QString PageLine(int32_t page, int32_t pages) {
    return QStringLiteral("Bezig met afdrukken van pagina %1 van %2").arg(page).arg(pages);
}

QString Format(const char* pattern, const QString& a, const QString& b = {}) {
    QString text = QString::fromUtf8(pattern);
    text.replace(text.indexOf(QLatin1String("%s")), 2, a);
    if (const int at = text.indexOf(QLatin1String("%s")); at >= 0) text.replace(at, 2, b);
    return text;
}

}  // namespace

FrmPrintProgress::FrmPrintProgress(const std::string& printer, const std::string& port, int32_t pages) {
    setObjectName(QStringLiteral("AbortWindow"));
    setWindowTitle(QStringLiteral("Afdrukken Document..."));
    setWindowModality(Qt::ApplicationModal);
    auto* device = new QLabel(Format("via %s op %s", QString::fromStdString(printer),
                                     QString::fromStdString(port.empty() ? std::string("CUPS") : port)),
                              this);
    device->setObjectName(QStringLiteral("lblDevice"));
    page_ = new QLabel(PageLine(1, pages), this);
    page_->setObjectName(QStringLiteral("lblPage"));
    page_->setMinimumWidth(260);
    auto* cancel = new QPushButton(QStringLiteral("Annuleren"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(device);
    layout->addWidget(page_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    show();
    Pump();
}

bool FrmPrintProgress::Page(int32_t page, int32_t pages) {
    page_->setText(PageLine(page, pages));
    return Pump();
}

bool FrmPrintProgress::Sending() { return Pump(); }

bool FrmPrintProgress::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !cancelled_;
}

std::unique_ptr<surface::PrintProgress> FrmPrintProgress::Make(const std::string& printer,
                                                               const std::string& port, int32_t pages) {
    if (!CanShowWindows()) return nullptr;
    return std::make_unique<FrmPrintProgress>(printer, port, pages);
}

void FrmPrintProgress::Install() { surface::SetPrintProgressFactory(&FrmPrintProgress::Make); }

}  // namespace qor
