#include "core/ModuleState.h"

namespace qor {

void ModuleState::Reset() {
    PdfExportFile.clear();
    DocPrinted = false;
    PreviewMode = 0;
    SecondPageBin = 0;
    SelectedPrinter.clear();
    SelectedBinName.clear();
    SelectedBin = 0;
    NewDefaultPrinter.clear();
    ClientApplication.reset();
    ExcelMode = false;
    ExcelApp.reset();
    ExcelSheet = ExcelSheetState{};
    ExcelHeader = ExcelHeaderState{};
}

ModuleState& modqorPrintLib() {
    thread_local ModuleState state;
    return state;
}

}  // namespace qor
