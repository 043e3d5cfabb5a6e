// Short-lived connections to the CUPS server and the IPP requests the spooler makes.
#pragma once

#include <qor/Spooler.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

typedef struct _http_s http_t;

namespace qor::spooler {

// How long a connection attempt may take, and how long a request may wait for the server.
inline constexpr int kConnectTimeoutMs = 1000;
inline constexpr double kRequestTimeoutSeconds = 5.0;
inline constexpr double kSendTimeoutSeconds = 60.0;

struct HttpClose {
    void operator()(http_t* http) const;
};
using Connection = std::unique_ptr<http_t, HttpClose>;

// A new connection to the server libcups names for the calling thread (cupsSetServer,
// else CUPS_SERVER, else the client configuration), or null when none answers in time.
Connection Connect();

// What the spooler needs to know of one installed printer.
struct PrinterInfo {
    std::string Name;          // as installed
    bool HasPpd = false;       // trays are PPD InputSlot choices (else IPP media-source)
    std::vector<Tray> Trays;
    int32_t MaxCopies = 1;
    std::string DeviceUri;     // "" when the server does not say
};

// Names of the installed printers; empty on any failure.
std::vector<std::string> ListPrinters(http_t* http);
// The installed name matching `printer` (trimmed, letter case ignored), if any.
std::optional<std::string> FindPrinter(const std::vector<std::string>& printers,
                                       const std::string& printer);
// Trays and copy limit of the installed printer `name`.
PrinterInfo Describe(http_t* http, const std::string& name);

// The CUPS options of one job on the printer `info`, in order: "copies", then
// "page-ranges" when `ranges` (already checked) is not "", then the tray of `bin` (only its
// low byte counts) as "InputSlot" for a printer with a PPD or "media-source" for one
// without; no tray for the bins that leave the choice to the printer. Throws
// RuntimeError(482) naming the printer for more copies than it makes or a bin it lacks.
std::vector<std::pair<std::string, std::string>> JobOptionList(const PrinterInfo& info, int32_t copies,
                                                               const std::string& ranges, int32_t bin);

// Checks a page list ("3", "2-5", "2,4", "2-") and returns it without blanks; "" for all
// pages. Throws RuntimeError(5) for anything else.
std::string NormalizePageRanges(const std::string& text);

}  // namespace qor::spooler
