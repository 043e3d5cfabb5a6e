// The printer and paper-bin routines shared by InitPrinter, the printer windows and the
// clients' own printer lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

class ModuleState;
class PrinterList;
class VSPrinter;
struct PrintJob;

// `text` split at every GenServices().FieldSeparator (an empty text gives one empty part).
std::vector<std::string> SplitFields(const std::string& text);

// Blanks (spaces) removed at both ends.
std::string TrimBlanks(const std::string& text);

// Takes the composite printer string `printerName` of InitPrinter apart into `state`'s
// SelectedPrinter, SelectedBin and SelectedBinName: "printer" and "x;printer" select the
// printer with the automatic bin, "bin;printer;bin name" the bin too; a string of more parts
// is taken whole as the printer's name and leaves the bin as it was. Throws what CLng throws
// for a bin that is not a number.
void SelectNamedPrinter(ModuleState& state, const std::string& printerName);

// Adds one entry per installed printer to `list` (item data 15). The printer named by the
// default-printer string `defaultPrinter` ("printer", "bin;printer" or "bin;printer;bin
// name"; letter case and blanks ignored) is entered as the string describes it (with its bin
// name and code) and selected; without such a printer entry 0 is selected. Returns true
// when the wanted printer was found. Throws RuntimeError(13) for a bin code that is not a
// number, and what the list throws.
bool FillPrinterList(PrinterList& list, const std::string& defaultPrinter);

// Lets the user choose a paper bin for the printer selected in `list` (its text up to the
// field separator) and rewrites that entry as "printer;bin name" with the bin code as item
// data, or the printer alone with 15 for "(Automatisch)". Beeps and changes nothing for a
// printer with fewer than two trays. Unattended, the preselected bin is taken.
void ShowPaperBins(PrinterList& list);

// True when `printer` accepts paper bin `bin`, asked on the thread's probe surface.
bool BinAvailable(const std::string& printer, int32_t bin);

// True when `printer` makes `copies` copies, asked on the probe surface. Otherwise shows
// message 1047 printer 1048 (information, title 1049) and returns false.
bool CopiesSupported(const std::string& printer, int32_t copies);

// Name of the paper bin `code` (texts 1101-1115) as the print button's tool tip shows the
// second bin: " ???" for codes without a name.
std::string SecondBinName(int32_t code);

// Sends `jobs` to the ended document of `surface` in order, each after setting the
// surface's copies and paper bin to the job's. Returns false when the user cancelled one in
// the printing-progress window (the jobs after it are not sent). Throws what PrintDoc throws
// otherwise; the jobs after a failed one are not sent.
bool PrintJobsOn(VSPrinter& surface, const std::vector<PrintJob>& jobs);

}  // namespace qor
