#include "core/PrinterChoice.h"

#include <qor/GenServices.h>
#include <qor/PrinterList.h>
#include <qor/Spooler.h>
#include <qor/Texts.h>

#include "core/Desktop.h"
#include "core/ModuleState.h"
#include "core/Printers.h"
#include "genlib/WindowPart.h"
#include "surface/SpoolerTrays.h"

namespace qor {

void StoreCancelledPrinterChoice() {
    ModuleState& state = modqorPrintLib();
    state.SelectedPrinter.clear();
    state.SelectedBinName.clear();
    state.SelectedBin = -1;
}

void PreselectPrinter(PrinterList& list, const std::string& wanted) {
    if (FillPrinterList(list, wanted)) return;
    const std::string defaultPrinter = Spooler::Instance().DefaultPrinter();
    if (defaultPrinter.empty()) return;
    for (int32_t i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == defaultPrinter) {
            list.SetListIndex(i);
            return;
        }
    }
}

void ApplyPrinterChoice(const PrinterList& list, bool keepAsDefault) {
    const int32_t index = list.ListIndex();
    if (index < 0) {
        StoreCancelledPrinterChoice();
        return;
    }
    ModuleState& state = modqorPrintLib();
    const std::string& separator = GenServices().FieldSeparator;
    const std::string text = list.Text();
    const std::size_t at = text.find(separator);
    if (at != std::string::npos) {
        state.SelectedPrinter = TrimBlanks(text.substr(0, at));
        state.SelectedBinName = TrimBlanks(text.substr(at + separator.size()));
    } else {
        state.SelectedPrinter = text;
        state.SelectedBinName.clear();
    }
    state.SelectedBin = list.ItemData(index);
    if (!keepAsDefault) {
        state.NewDefaultPrinter.clear();
    } else if (!state.SelectedBinName.empty()) {
        state.NewDefaultPrinter = std::to_string(state.SelectedBin) + separator + state.SelectedPrinter +
                                  separator + state.SelectedBinName;
    } else {
        state.NewDefaultPrinter = std::to_string(kBinFormSource) + separator + state.SelectedPrinter;
    }
}

void ChoosePrinter(const std::optional<std::string>& prompt, const std::string& missing,
                   const std::string& wanted) {
    if (!CanShowWindows()) {
        MemoryPrinterList list;
        PreselectPrinter(list, wanted);
        ApplyPrinterChoice(list, false);
        return;
    }
    gui::Window().ChoosePrinterWindow(prompt, missing, wanted);
}

std::vector<BinEntry> BinListEntries(const std::vector<BinEntry>& trays) {
    std::vector<BinEntry> entries;
    entries.emplace_back(GetText(1009), kBinFormSource);
    entries.emplace_back(std::string(), 0);
    for (const BinEntry& tray : trays) {
        const int32_t code = tray.second & 0xFF;
        if (BinSendsNoTray(code)) continue;
        entries.emplace_back(tray.first, code);
    }
    return entries;
}

void ShowPaperBins(PrinterList& list) {
    const std::string& separator = GenServices().FieldSeparator;
    const std::string text = list.Text();
    const std::size_t at = text.find(separator);
    const std::string printer = at == std::string::npos ? text : TrimBlanks(text.substr(0, at));
    std::vector<BinEntry> entries;
    int32_t preselect = 0;
    {
        BusyPointer busy;
        std::vector<BinEntry> trays;
        for (const Tray& tray : Spooler::Instance().Trays(printer)) trays.emplace_back(tray.Name, tray.Code);
        if (trays.size() < 2) {
            Beep();
            return;
        }
        entries = BinListEntries(trays);
        if (at != std::string::npos) {
            const std::string wanted = TrimBlanks(text.substr(at + separator.size()));
            preselect = -1;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (i != 1 && entries[i].first == wanted) {
                    preselect = static_cast<int32_t>(i);
                    break;
                }
            }
        }
    }

    int32_t chosen = preselect;
    if (CanShowWindows()) {
        chosen = gui::Window().ChoosePaperBin(entries, preselect);
    }
    if (chosen < 0 || chosen == 1) return;

    const int32_t index = list.ListIndex();
    const BinEntry& bin = entries[static_cast<std::size_t>(chosen)];
    list.SetList(index, chosen >= 2 ? printer + separator + bin.first : printer);
    list.SetItemData(index, bin.second);
    list.SetFocus();
}

}  // namespace qor
