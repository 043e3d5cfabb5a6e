// The seam between the document lifecycle (core) and the spreadsheet export, which lives in
// a higher layer. The export layer registers its host once per process; InitPrinter and
// PrEndDoc call it in output mode 2 without including any export code.
#pragma once

#include <string>

namespace qor {

class clsqorPrintLib;

class ExcelExportHost {
public:
    virtual ~ExcelExportHost() = default;
    // InitPrinter in mode 2, busy pointer already shown: prepares the export (the
    // frmBuildExcel window) and sets the thread's ExcelMode when it is ready. `exportFile`
    // is InitPrinter's export file name, from which the workbook's file is named.
    virtual void Start(clsqorPrintLib& lib, const std::string& exportFile) = 0;
    // PrEndDoc in mode 2 while ExcelMode is set: finishes and saves the workbook. PrEndDoc
    // returns false right after it, without resetting the object's defaults or the pointer.
    virtual void Finish(clsqorPrintLib& lib) = 0;
};

// Registers the host used by every thread; nullptr removes it. Not owned.
void RegisterExcelExportHost(ExcelExportHost* host);
// The registered host, or nullptr when no export layer is linked in.
ExcelExportHost* CurrentExcelExportHost();

}  // namespace qor
