// Output mode 2 as the lifecycle reaches it: the export host, the workbook's file name and
// handing the saved workbook to the desktop.
#include <qor/SpreadsheetExport.h>

#include <filesystem>

#include <QProcess>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>

#include "core/Desktop.h"
#include "core/ExcelExportHost.h"
#include "core/ModuleState.h"
#include "drawing/ExcelBridge.h"
#include "excel/ExcelExport.h"
#include "genlib/WindowPart.h"

namespace qor {

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
            gui::Window().ShowBuildExcel(prepare);
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
    if (gui::OnGuiThread()) {
        if (gui::Window().OpenWithDesktop(file)) return;
    } else if (QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(file)})) {
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
