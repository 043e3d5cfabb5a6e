// The library object's creation defaults, their reset and the set-up call.
#include <qor/clsqorPrintLib.h>

#include <qor/GenServices.h>
#include "core/ModuleState.h"

namespace qor {

namespace {
// Executable name of the library's own tool.
constexpr const char* kLibraryExeName = "qorprint";
}  // namespace

clsqorPrintLib::clsqorPrintLib() = default;

void clsqorPrintLib::ResetDefaults() {
    VPrinter = nullptr;
    DefaultFontSize = 9;
    DefaultFontName = "Arial";
    PrBackColor = bcWhite;
    PrCaption.clear();
}

void clsqorPrintLib::PrSetUpDLL(const Application& app, int32_t AppOffset) {
    GenServicesObject& services = GenServices();
    services.LanguageOffset = AppOffset;
    modqorPrintLib().ClientApplication = app;
    const bool differs = app.EXEName != kLibraryExeName;
    services.RegisterApplication(app, differs, Variant());
}

}  // namespace qor
