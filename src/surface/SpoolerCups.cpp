// IPP requests of the spooler, each on a connection that gives up quickly.
#include "surface/SpoolerCups.h"

#include "surface/SpoolerLibrary.h"
#include "surface/SpoolerTrays.h"

#include <qor/RuntimeError.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace qor::spooler {

namespace {

struct IppDelete {
    void operator()(ipp_t* ipp) const { Cups().ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDelete>;

// Copies-supported bound assumed for a printer that does not state one.
constexpr int32_t kDefaultMaxCopies = 9999;

std::string UpperTrimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    std::string out = text.substr(first, last - first + 1);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Sends `request` (consumed) and returns the answer when it succeeded.
Ipp Ask(http_t* http, ipp_t* request, const char* resource) {
    const CupsFunctions& cups = Cups();
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                      cups.cupsUser());
    Ipp response(cups.cupsDoRequest(http, request, resource));
    if (!response || cups.ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        return nullptr;
    }
    return response;
}

std::vector<TraySource> MediaSources(ipp_attribute_t* attr) {
    const CupsFunctions& cups = Cups();
    std::vector<TraySource> sources;
    for (int i = 0; attr && i < cups.ippGetCount(attr); ++i) {
        const char* keyword = cups.ippGetString(attr, i, nullptr);
        if (keyword && *keyword) sources.push_back({keyword, TrayNameFromKeyword(keyword)});
    }
    return sources;
}

// The printer's PPD, when it has one: its InputSlot choices and its copy limit.
bool ReadPpd(http_t* http, const std::string& name, PrinterInfo& info) {
    const CupsFunctions& cups = Cups();
    std::string file;
    {
        // cupsGetPPD2 compares the server with this host's name through httpGetHostname,
        // which calls gethostbyname: its result lives in one static buffer of the C library,
        // so two threads fetching PPDs at once overwrite each other's (ThreadSanitizer shows
        // it in tests/threads). One fetch at a time.
        static std::mutex hostLookup;
        std::lock_guard lock(hostLookup);
        const char* fetched = cups.cupsGetPPD2(http, name.c_str());
        if (!fetched) return false;
        file = fetched;
    }
    ppd_file_t* ppd = cups.ppdOpenFile(file.c_str());
    ::unlink(file.c_str());
    if (!ppd) return false;
    std::vector<TraySource> sources;
    if (ppd_option_t* slot = cups.ppdFindOption(ppd, "InputSlot")) {
        for (int i = 0; i < slot->num_choices; ++i) {
            sources.push_back({slot->choices[i].choice, slot->choices[i].text});
        }
    }
    if (ppd_attr_t* attr = cups.ppdFindAttr(ppd, "cupsMaxCopies", nullptr); attr && attr->value) {
        const int32_t max = std::atoi(attr->value);
        if (max >= 1) info.MaxCopies = std::min(info.MaxCopies, max);
    }
    cups.ppdClose(ppd);
    info.HasPpd = true;
    info.Trays = AssignTrayCodes(sources);
    return true;
}

[[noreturn]] void BadRange(const std::string& text) {
    throw RuntimeError(kErrInvalidCall, "Invalid page range \"" + text + "\"");
}

// A page number of `part` starting at `pos`; advances `pos` past it.
int32_t PageNumber(const std::string& part, size_t& pos, const std::string& text) {
    int32_t value = 0;
    const char* begin = part.data() + pos;
    const char* end = part.data() + part.size();
    auto [next, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || next == begin || value < 1) BadRange(text);
    pos += static_cast<size_t>(next - begin);
    return value;
}

}  // namespace

void HttpClose::operator()(http_t* http) const { Cups().httpClose(http); }

Connection Connect() {
    const CupsFunctions& cups = Cups();
    // cupsServer() and ippPort() follow cupsSetServer, CUPS_SERVER and client.conf.
    http_t* http = cups.httpConnect2(cups.cupsServer(), cups.ippPort(), nullptr, AF_UNSPEC,
                                     cups.cupsEncryption(), 1, kConnectTimeoutMs, nullptr);
    if (http) cups.httpSetTimeout(http, kRequestTimeoutSeconds, nullptr, nullptr);
    return Connection(http);
}

std::vector<std::string> ListPrinters(http_t* http) {
    const CupsFunctions& cups = Cups();
    ipp_t* request = cups.ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                      "printer-name");
    std::vector<std::string> names;
    Ipp response = Ask(http, request, "/");
    if (!response) return names;
    for (ipp_attribute_t* attr = cups.ippFirstAttribute(response.get()); attr;
         attr = cups.ippNextAttribute(response.get())) {
        const char* name = cups.ippGetName(attr);
        if (name && std::string_view(name) == "printer-name" &&
            cups.ippGetValueTag(attr) == IPP_TAG_NAME) {
            if (const char* value = cups.ippGetString(attr, 0, nullptr)) names.emplace_back(value);
        }
    }
    return names;
}

std::optional<std::string> FindPrinter(const std::vector<std::string>& printers,
                                       const std::string& printer) {
    const std::string wanted = UpperTrimmed(printer);
    if (wanted.empty()) return std::nullopt;
    for (const std::string& name : printers) {
        if (UpperTrimmed(name) == wanted) return name;
    }
    return std::nullopt;
}

PrinterInfo Describe(http_t* http, const std::string& name) {
    const CupsFunctions& cups = Cups();
    PrinterInfo info;
    info.Name = name;
    info.MaxCopies = kDefaultMaxCopies;

    char uri[HTTP_MAX_URI];
    cups.httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                          cups.ippPort(), "/printers/%s", name.c_str());
    ipp_t* request = cups.ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const kWanted[] = {"copies-supported", "media-source-supported", "device-uri"};
    cups.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3,
                       nullptr, kWanted);
    Ipp response = Ask(http, request, "/");
    ipp_attribute_t* sources = nullptr;
    if (response) {
        if (ipp_attribute_t* copies =
                cups.ippFindAttribute(response.get(), "copies-supported", IPP_TAG_RANGE)) {
            int upper = 0;
            cups.ippGetRange(copies, 0, &upper);
            info.MaxCopies = std::max(1, upper);
        }
        sources = cups.ippFindAttribute(response.get(), "media-source-supported", IPP_TAG_ZERO);
        if (ipp_attribute_t* device = cups.ippFindAttribute(response.get(), "device-uri", IPP_TAG_URI))
            info.DeviceUri = cups.ippGetString(device, 0, nullptr);
    }
    if (!ReadPpd(http, name, info)) info.Trays = AssignTrayCodes(MediaSources(sources));
    return info;
}

std::string NormalizePageRanges(const std::string& text) {
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t') compact += c;
    }
    if (compact.empty()) return {};
    size_t start = 0;
    while (true) {
        const size_t comma = compact.find(',', start);
        const std::string part =
            compact.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        size_t pos = 0;
        const int32_t first = PageNumber(part, pos, text);
        if (pos < part.size()) {
            if (part[pos] != '-') BadRange(text);
            ++pos;
            if (pos < part.size() && PageNumber(part, pos, text) < first) BadRange(text);
            if (pos != part.size()) BadRange(text);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return compact;
}

}  // namespace qor::spooler
