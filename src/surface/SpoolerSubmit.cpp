// Sending a PDF document to a printer as one job.
#include <qor/RuntimeError.h>
#include <qor/Spooler.h>

#include "surface/SpoolerCups.h"
#include "surface/SpoolerLibrary.h"
#include "surface/SpoolerTrays.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace qor {

using spooler::Cups;
using spooler::CupsFunctions;

namespace {

[[noreturn]] void PrinterError(const std::string& printer, const std::string& what) {
    throw RuntimeError(kErrPrinter, "Printer \"" + printer + "\" " + what);
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

struct Options {
    int count = 0;
    cups_option_t* list = nullptr;
    ~Options() { Cups().cupsFreeOptions(count, list); }
    void Add(const char* name, const std::string& value) {
        count = Cups().cupsAddOption(name, value.c_str(), count, &list);
    }
};

// Cancels a job that could not be completed, on a connection of its own: the one the job
// was sent on may be unusable after the failure.
void CancelQuietly(const std::string& printer, int32_t jobId) {
    if (spooler::Connection http = spooler::Connect()) {
        Cups().cupsCancelJob2(http.get(), printer.c_str(), jobId, 0);
    }
}

}  // namespace

namespace spooler {

std::vector<std::pair<std::string, std::string>> JobOptionList(const PrinterInfo& info, int32_t copies,
                                                               const std::string& ranges, int32_t bin) {
    std::vector<std::pair<std::string, std::string>> list{{"copies", std::to_string(copies)}};
    if (copies > info.MaxCopies) PrinterError(info.Name, "cannot print " + std::to_string(copies) + " copies");
    if (!ranges.empty()) list.emplace_back("page-ranges", ranges);
    bin &= 0xFF;
    if (!BinSendsNoTray(bin)) {
        const auto tray = std::find_if(info.Trays.begin(), info.Trays.end(),
                                       [bin](const Tray& t) { return t.Code == bin; });
        if (tray == info.Trays.end()) PrinterError(info.Name, "has no paper bin " + std::to_string(bin));
        list.emplace_back(info.HasPpd ? "InputSlot" : "media-source", tray->Keyword);
    }
    return list;
}

}  // namespace spooler

int32_t Spooler::Submit(const std::string& printer, const std::string& pdfFile,
                        const JobOptions& options) {
    if (options.Copies < 1) {
        throw RuntimeError(kErrInvalidCall,
                           "Copies must be 1 or more, not " + std::to_string(options.Copies));
    }
    const std::string ranges = spooler::NormalizePageRanges(options.PageRanges);
    Fd file{::open(pdfFile.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) throw RuntimeError(kErrFileNotFound, "File not found: " + pdfFile);

    const CupsFunctions& cups = Cups();
    spooler::Connection http = spooler::Connect();
    if (!http) PrinterError(printer, "is not available: no print server answers");
    const auto found = spooler::FindPrinter(spooler::ListPrinters(http.get()), printer);
    if (!found) PrinterError(printer, "is not installed");
    const std::string& name = *found;
    const spooler::PrinterInfo info = spooler::Describe(http.get(), name);

    Options job;
    for (const auto& [option, value] : spooler::JobOptionList(info, options.Copies, ranges, options.Bin))
        job.Add(option.c_str(), value);

    const std::string title = options.Title.empty() ? "qorPrintLib" : options.Title;
    const int32_t id = cups.cupsCreateJob(http.get(), name.c_str(), title.c_str(), job.count, job.list);
    if (id <= 0) PrinterError(name, std::string("refused the job: ") + cups.cupsLastErrorString());

    cups.httpSetTimeout(http.get(), spooler::kSendTimeoutSeconds, nullptr, nullptr);
    if (cups.cupsStartDocument(http.get(), name.c_str(), id, title.c_str(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        const std::string why = cups.cupsLastErrorString();
        CancelQuietly(name, id);
        PrinterError(name, "refused the document: " + why);
    }
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            CancelQuietly(name, id);
            throw RuntimeError(kErrPathFileAccess, "Cannot read " + pdfFile);
        }
        if (n == 0) break;
        if (options.KeepGoing && !options.KeepGoing()) {
            CancelQuietly(name, id);
            throw RuntimeError(kErrUserInterrupt, "Printing on \"" + name + "\" was cancelled");
        }
        if (cups.cupsWriteRequestData(http.get(), buffer, static_cast<size_t>(n)) !=
            HTTP_STATUS_CONTINUE) {
            const std::string why = cups.cupsLastErrorString();
            CancelQuietly(name, id);
            PrinterError(name, "stopped taking the document: " + why);
        }
    }
    if (cups.cupsFinishDocument(http.get(), name.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const std::string why = cups.cupsLastErrorString();
        CancelQuietly(name, id);
        PrinterError(name, "refused the document: " + why);
    }
    return id;
}

}  // namespace qor
