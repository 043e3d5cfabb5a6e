// Choosing a printer and a paper bin: what the printer dialog and the paper-bin dialog store,
// and what happens where no window may be shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qor {

class PrinterList;

// Fills `list` with the installed printers and selects the entry a user would start from:
// the printer of `wanted` when installed (as FillPrinterList enters it), else the default
// printer, else entry 0.
void PreselectPrinter(PrinterList& list, const std::string& wanted);

// Stores the choice of `list`'s selected entry: SelectedPrinter and SelectedBinName (the
// text before and after the field separator, trimmed), SelectedBin (its item data) and
// NewDefaultPrinter (the default-printer string when `keepAsDefault`, else ""). Without a
// selection stores the cancelled state.
void ApplyPrinterChoice(const PrinterList& list, bool keepAsDefault);

// Lets the user choose a printer. `prompt` replaces the dialog's own prompt (text 1026);
// `missing` goes to the second label. Shown modally where windows may be shown; otherwise
// the preselected entry is taken as if OK was pressed (the default box not ticked).
void ChoosePrinter(const std::optional<std::string>& prompt, const std::string& missing,
                   const std::string& wanted);

// Stores the cancelled state of the printer dialog (SelectedPrinter "", SelectedBin -1).
void StoreCancelledPrinterChoice();

// One line of the bin list: its text and Windows bin code.
using BinEntry = std::pair<std::string, int32_t>;

// The bin list for `trays` (text and code as the driver reports them): "(Automatisch)"
// (text 1009) with 15, an empty line with 0, then every tray but codes 7 and 15, each code
// reduced to its low byte.
std::vector<BinEntry> BinListEntries(const std::vector<BinEntry>& trays);

}  // namespace qor
