#include "core/Printers.h"

#include "core/Desktop.h"
#include "core/PrintJobs.h"
#include "core/Surfaces.h"
#include "surface/SpoolerTrays.h"

#include <qor/GenServices.h>
#include <qor/PrinterList.h>
#include <qor/RuntimeError.h>
#include <qor/Spooler.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include <cctype>

namespace qor {

namespace {

std::string UpperTrimmed(const std::string& text) {
    std::string out = TrimBlanks(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::vector<std::string> SplitFields(const std::string& text) {
    const std::string& separator = GenServices().FieldSeparator;
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string::npos) break;
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool FillPrinterList(PrinterList& list, const std::string& defaultPrinter) {
    BusyPointer busy;
    const std::vector<std::string> parts = SplitFields(defaultPrinter);
    std::string wanted;
    bool haveWanted = true;
    if (parts.size() == 1) wanted = parts[0];
    else if (parts.size() <= 3) wanted = parts[1];
    else haveWanted = false;
    const std::string wantedKey = UpperTrimmed(wanted);
    const std::string& separator = GenServices().FieldSeparator;

    bool found = false;
    for (const std::string& printer : Spooler::Instance().Printers()) {
        if (haveWanted && UpperTrimmed(printer) == wantedKey) {
            switch (parts.size()) {
                case 1:
                    list.AddItem(wanted);
                    list.SetItemData(list.NewIndex(), kBinFormSource);
                    break;
                case 2:
                    list.AddItem(wanted);
                    list.SetItemData(list.NewIndex(), CLng(Variant(parts[0])));
                    break;
                default:
                    list.AddItem(wanted + separator + parts[2]);
                    list.SetItemData(list.NewIndex(), CLng(Variant(parts[0])));
                    break;
            }
            list.SetListIndex(list.NewIndex());
            found = true;
        } else {
            list.AddItem(printer);
            list.SetItemData(list.NewIndex(), kBinFormSource);
        }
    }
    if (list.ListIndex() < 0 && list.ListCount() > 0) list.SetListIndex(0);
    return found;
}

bool BinAvailable(const std::string& printer, int32_t bin) {
    VSPrinter& probe = TempPrinter();
    probe.Device(printer);
    probe.PaperBin(bin);
    const int32_t error = probe.Error();
    probe.Clear();
    return error == 0;
}

bool CopiesSupported(const std::string& printer, int32_t copies) {
    VSPrinter& probe = TempPrinter();
    probe.Device(printer);
    probe.Copies(copies);
    const bool supported = probe.Error() == 0;
    if (!supported) {
        GenServices().ShowMessage(GetText(1047) + printer + GetText(1048), kMsgInformation,
                                  GetText(1049));
    }
    probe.Clear();
    return supported;
}

std::string SecondBinName(int32_t code) {
    if ((code >= 1 && code <= 11) || code == 14 || code == 15) return GetText(1100 + code);
    return " ???";
}

bool PrintJobsOn(VSPrinter& surface, const std::vector<PrintJob>& jobs) {
    try {
        for (const PrintJob& job : jobs) {
            if (surface.Copies() != job.Copies) surface.Copies(job.Copies);
            if (surface.PaperBin() != job.Bin) surface.PaperBin(job.Bin);
            if (job.FromPage > 0)
                surface.PrintDoc(false, job.FromPage, job.ToPage);
            else if (job.Pages.empty())
                surface.PrintDoc(false);
            else
                surface.PrintDoc(false, job.Pages);
        }
    } catch (const RuntimeError& e) {
        if (e.Number() != kErrUserInterrupt) throw;
        return false;
    }
    return true;
}

}  // namespace qor
