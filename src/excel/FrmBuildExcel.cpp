#include "excel/FrmBuildExcel.h"

#include <filesystem>

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/SpreadsheetExport.h>
#include <qor/Texts.h>

#include "core/Desktop.h"
#include "core/ExcelExportHost.h"
#include "core/ModuleState.h"
#include "drawing/ExcelBridge.h"
#include "excel/ExcelExport.h"

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

namespace {

// The export's side of the seam through which InitPrinter and PrEndDoc reach it.
class SpreadsheetExportHost final : public ExcelExportHost {
public:
    void Start(clsqorPrintLib&, const std::string& exportFile) override {
        ModuleState& state = modqorPrintLib();
        const std::string file = SpreadsheetFileFor(exportFile);
        auto prepare = [&state, &file] {
            state.ExcelMode = Create(state, file);
            return state.ExcelMode;
        };
        if (CanShowWindows()) {
            FrmBuildExcel window(prepare);
            window.exec();
        } else {
            prepare();
        }
    }

    void Finish(clsqorPrintLib&) override { excel::ExcelFinish(); }

private:
    // Creates the workbook, or reports why it cannot be and returns false.
    static bool Create(ModuleState& state, const std::string& file) {
        try {
            excel::StartWorkbook(state, file);
            return true;
        } catch (const RuntimeError& e) {
            GenServicesObject& services = GenServices();
            services.LastErrorNumber = e.Number();
            services.LastErrorText = e.Description();
            const std::string& sep = services.MessageSeparator;
            services.ShowMessage(GetText(1054) + sep + "Error " + std::to_string(services.LastErrorNumber) +
                                     sep + services.LastErrorText,
                                 kMsgCritical, "InitPrinter - Excel");
            return false;
        }
    }
};

SpreadsheetExportHost& Host() {
    static SpreadsheetExportHost host;
    return host;
}

}  // namespace

void excel::OpenWithDesktop(const std::string& file) {
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (QDesktopServices::openUrl(url)) return;
    } else if (QProcess::startDetached(QStringLiteral("xdg-open"), {url.toLocalFile()})) {
        return;
    }
    GenServices().ShowMessage("The workbook was saved as " + file +
                                  " but no application could be started to open it.",
                              kMsgInformation, "InitPrinter - Excel");
}

std::string SpreadsheetFileFor(const std::string& exportFile) {
    std::filesystem::path path = exportFile.empty() ? std::filesystem::path(DefaultPdfFile())
                                                    : std::filesystem::path(exportFile);
    path.replace_extension(".xlsx");
    return path.string();
}

void InstallSpreadsheetExport() {
    RegisterExcelExportHost(&Host());
    SetExcelCellWriter(&excel::ExcelWriteCell);
}

}  // namespace qor
