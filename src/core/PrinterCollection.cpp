// The printer routines offered to clients for their own list and combo boxes.
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "core/Printers.h"

#include <qor/PrinterList.h>
#include <qor/Texts.h>

namespace qor {

void clsqorPrintLib::PrCollectionLoad(PrinterList& ComboList, const std::string& DefaultPrinter) {
    ComboList.Clear();
    ComboList.AddItem(GetText(1023));
    ComboList.SetItemData(ComboList.NewIndex(), -1);
    FillPrinterList(ComboList, DefaultPrinter);
}

void clsqorPrintLib::PrCollectionShowBins(PrinterList& Combo) {
    if (Combo.ListIndex() == 0) {
        Beep();
        return;
    }
    ShowPaperBins(Combo);
}

}  // namespace qor
