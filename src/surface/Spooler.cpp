// Printers, default printer and trays as the CUPS server reports them.
#include <qor/Spooler.h>

#include "surface/SpoolerCups.h"
#include "surface/SpoolerLibrary.h"
#include "surface/SpoolerTrays.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace qor {

using spooler::Connect;
using spooler::Connection;
using spooler::Cups;
using spooler::CupsFunctions;

namespace {

struct Installed {
    Connection http;
    std::string name;  // as the server spells it
};

// The installed printer `printer` names, with the connection it was found on; nothing when no
// server answers or no such printer is installed. A blank name names no printer and asks
// nothing of the server.
std::optional<Installed> FindInstalled(const std::string& printer) {
    if (printer.find_first_not_of(" \t") == std::string::npos) return std::nullopt;
    Connection http = Connect();
    if (!http) return std::nullopt;
    auto name = spooler::FindPrinter(spooler::ListPrinters(http.get()), printer);
    if (!name) return std::nullopt;
    return Installed{std::move(http), std::move(*name)};
}

}  // namespace

Spooler& Spooler::Instance() {
    static Spooler instance;
    return instance;
}

std::vector<std::string> Spooler::Printers() {
    Connection http = Connect();
    if (!http) return {};
    return spooler::ListPrinters(http.get());
}

std::string Spooler::DefaultPrinter() {
    const CupsFunctions& cups = Cups();
    Connection http = Connect();
    if (!http) return {};
    const std::vector<std::string> printers = spooler::ListPrinters(http.get());
    if (printers.empty()) return {};

    // The user's choice (LPDEST, PRINTER, lpoptions) comes first; an instance suffix
    // ("PrinterA/draft") names the same printer.
    if (const char* chosen = cups.cupsGetDefault2(http.get())) {
        std::string name = chosen;
        name = name.substr(0, name.find('/'));
        if (auto found = spooler::FindPrinter(printers, name)) return *found;
    }
    // That choice may name a printer that is gone: then the server's own default.
    ipp_t* request = cups.ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                      "printer-name");
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                      cups.cupsUser());
    ipp_t* response = cups.cupsDoRequest(http.get(), request, "/");
    std::string result;
    if (response && cups.ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        if (ipp_attribute_t* attr = cups.ippFindAttribute(response, "printer-name", IPP_TAG_NAME)) {
            if (auto found = spooler::FindPrinter(printers, cups.ippGetString(attr, 0, nullptr))) {
                result = *found;
            }
        }
    }
    cups.ippDelete(response);
    return result;
}

bool Spooler::HasPrinter(const std::string& printer) { return !InstalledName(printer).empty(); }

std::string Spooler::InstalledName(const std::string& printer) {
    auto found = FindInstalled(printer);
    return found ? found->name : std::string();
}

std::vector<Tray> Spooler::Trays(const std::string& printer) {
    auto found = FindInstalled(printer);
    if (!found) return {};
    return spooler::Describe(found->http.get(), found->name).Trays;
}

bool Spooler::AcceptsBin(const std::string& printer, int32_t code) {
    code &= 0xFF;
    auto found = FindInstalled(printer);
    if (!found) return false;
    if (BinSendsNoTray(code)) return true;
    const std::vector<Tray> trays = spooler::Describe(found->http.get(), found->name).Trays;
    return std::any_of(trays.begin(), trays.end(), [code](const Tray& t) { return t.Code == code; });
}

bool Spooler::AcceptsCopies(const std::string& printer, int32_t copies) {
    if (copies < 1) return false;
    auto found = FindInstalled(printer);
    if (!found) return false;
    return copies <= spooler::Describe(found->http.get(), found->name).MaxCopies;
}

std::string Spooler::DeviceUri(const std::string& printer) {
    auto found = FindInstalled(printer);
    if (!found) return {};
    return spooler::Describe(found->http.get(), found->name).DeviceUri;
}

}  // namespace qor
