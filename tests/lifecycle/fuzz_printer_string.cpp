// libFuzzer entry: the input is a composite printer string as InitPrinter's PrinterName
// ("printer", "x;printer" or "bin;printer;bin name"). SelectNamedPrinter may throw
// qor::RuntimeError (a bin that is not a number) and nothing else; what it stores is the
// string's parts as the header describes; SplitFields and TrimBlanks keep every character.

#include "core/ModuleState.h"
#include "core/Printers.h"
#include "surface/SpoolerTrays.h"

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string& separator = qor::GenServices().FieldSeparator;

    const std::vector<std::string> parts = qor::SplitFields(text);
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) joined += (i ? separator : "") + parts[i];
    if (joined != text) std::abort();
    for (const std::string& part : parts) {
        const std::string trimmed = qor::TrimBlanks(part);
        if (part.find(trimmed) == std::string::npos) std::abort();
        if (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.back() == ' ')) std::abort();
    }

    qor::ModuleState& state = qor::modqorPrintLib();
    state.SelectedPrinter = "before";
    state.SelectedBin = 3;
    state.SelectedBinName = "before";
    try {
        qor::SelectNamedPrinter(state, text);
    } catch (const qor::RuntimeError&) {
        if (parts.size() != 3) std::abort();  // only the bin of "bin;printer;bin name" is converted
        return 0;
    }
    if (parts.size() <= 2) {
        if (state.SelectedPrinter != parts.back() || state.SelectedBin != qor::kBinAutomatic ||
            !state.SelectedBinName.empty())
            std::abort();
    } else if (parts.size() == 3) {
        if (state.SelectedPrinter != parts[1] || state.SelectedBinName != parts[2]) std::abort();
    } else if (state.SelectedPrinter != text || state.SelectedBin != 3 || state.SelectedBinName != "before") {
        std::abort();
    }
    return 0;
}
