// Output mode 2: documents written into a spreadsheet workbook (.xlsx) instead of pages.
#pragma once

#include <string>

namespace qor {

// Makes InitPrinter with Preview 2 export documents to a workbook: every PrItem and
// PrBoxText becomes a cell, PrEndDoc formats the sheet and saves it. The shared library
// libqorprint installs it by itself; a program linking the static subsystem libraries calls
// this once before its first export. Calling it again changes nothing. Never throws.
void InstallSpreadsheetExport();

// The file an export opened with InitPrinter's `exportFile` is saved to: that name with its
// extension replaced by ".xlsx" (added when it has none), or Document.xlsx in the user's
// documents folder (the home folder when there is none) when `exportFile` is "".
std::string SpreadsheetFileFor(const std::string& exportFile);

}  // namespace qor
