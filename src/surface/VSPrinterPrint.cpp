// The printer members of the surface: printers, probes of bins and copies, and printing
// the ended document as one PDF job through the spooler.
#include "qor/VSPrinter.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "qor/RuntimeError.h"
#include "qor/Spooler.h"
#include "surface/DocumentAccess.h"
#include "surface/PrintProgress.h"

namespace qor {

namespace {

using PrinterList = std::vector<std::string>;

// What the spooler answers, or `none` when its library cannot be loaded: a machine without
// the spooler has no printers, and the surface answers as for none.
template <class T, class Ask>
T OrWithoutSpooler(Ask&& ask, T none) {
    try {
        return ask();
    } catch (const RuntimeError& e) {
        if (e.Number() != kErrLoadingLibrary) throw;
        return none;
    }
}

// The printer list NDevices read last, kept so that Devices(i) indexes the same list.
std::shared_ptr<PrinterList> CachedPrinters(surface::PrinterSettings& settings, bool refresh) {
    auto list = std::static_pointer_cast<PrinterList>(settings.extra);
    if (!list || refresh) {
        list = std::make_shared<PrinterList>(
            OrWithoutSpooler([] { return Spooler::Instance().Printers(); }, PrinterList{}));
        settings.extra = list;
    }
    return list;
}

// The installed printer meant by `device`: the default printer for "".
std::string PrinterFor(const std::string& device) {
    if (!device.empty()) return device;
    return OrWithoutSpooler([] { return Spooler::Instance().DefaultPrinter(); }, std::string());
}

// A temporary file removed when it goes out of scope.
class TempPdf {
public:
    TempPdf() {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
        if (ec) dir = "/tmp";
        std::string pattern = (dir / "qorprint-XXXXXX.pdf").string();
        const int fd = ::mkstemps(pattern.data(), 4);
        if (fd < 0) throw RuntimeError(kErrPathFileAccess, "Cannot create a temporary file in " + dir.string());
        ::close(fd);
        path_ = pattern;
    }
    ~TempPdf() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    TempPdf(const TempPdf&) = delete;
    TempPdf& operator=(const TempPdf&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

[[noreturn]] void Cancelled(const std::string& printer) {
    throw RuntimeError(kErrUserInterrupt, "Printing on \"" + printer + "\" was cancelled");
}

// Writes the whole ended document to a temporary PDF and sends it as one job, with the
// progress window when the surface asks for it. Throws RuntimeError(18) when the user
// cancels there: nothing reaches the printer then, or the job is cancelled in the spooler.
void PrintPages(const VSPrinter& surface, const surface::PrinterSettings& settings,
                const std::string& pageRanges) {
    if (surface.IsDocOpen() || surface.PageCount() == 0) {
        throw RuntimeError(kErrInvalidCall, "PrintDoc needs an ended document with pages");
    }
    const std::string printer = PrinterFor(settings.device);
    if (printer.empty()) throw RuntimeError(kErrPrinter, "No printer to print on: no printer is installed");

    const std::unique_ptr<surface::PrintProgress> progress =
        surface.AbortWindow() ? surface::StartPrintProgress(printer, surface.PageCount()) : nullptr;
    TempPdf pdf;
    surface::PageObserver onPage;
    if (progress) {
        onPage = [&](int32_t page, int32_t pages) {
            if (!progress->Page(page, pages)) Cancelled(printer);
        };
    }
    surface::WritePdf(surface, pdf.Path(), surface::AllPages(surface), surface::PdfInfo{}, onPage);
    JobOptions options;
    options.Copies = settings.copies;
    options.PageRanges = pageRanges;
    options.Bin = settings.paperBin;
    if (progress) options.KeepGoing = [&] { return progress->Sending(); };
    Spooler::Instance().Submit(printer, pdf.Path(), options);
}

std::atomic<surface::PrintProgressFactory> gProgressFactory{nullptr};

}  // namespace

void surface::SetPrintProgressFactory(PrintProgressFactory factory) { gProgressFactory.store(factory); }

std::unique_ptr<surface::PrintProgress> surface::StartPrintProgress(const std::string& printer, int32_t pages) {
    const PrintProgressFactory factory = gProgressFactory.load();
    if (factory == nullptr) return nullptr;
    return factory(printer, Spooler::Instance().DeviceUri(printer), pages);
}

int32_t VSPrinter::NDevices() const {
    auto& settings = surface::PrinterOf(const_cast<VSPrinter&>(*this));
    return static_cast<int32_t>(CachedPrinters(settings, true)->size());
}

std::string VSPrinter::Devices(int32_t i) const {
    auto& settings = surface::PrinterOf(const_cast<VSPrinter&>(*this));
    const auto list = CachedPrinters(settings, false);
    if (i < 0 || static_cast<size_t>(i) >= list->size()) throw RuntimeError(kErrSubscript);
    return (*list)[static_cast<size_t>(i)];
}

std::string VSPrinter::Device() const { return surface::PrinterOf(*this).device; }

void VSPrinter::Device(const std::string& name) {
    auto& settings = surface::PrinterOf(*this);
    Spooler& spooler = Spooler::Instance();
    if (name.empty()) {
        settings.device.clear();
        const std::string fallback = OrWithoutSpooler([&] { return spooler.DefaultPrinter(); }, std::string());
        settings.error = fallback.empty() ? kErrPrinter : 0;
        return;
    }
    // The installed spelling of the name; an unknown name stays as given so that the probes
    // that follow fail too.
    const std::string installed = OrWithoutSpooler([&] { return spooler.InstalledName(name); }, std::string());
    settings.device = installed.empty() ? name : installed;
    settings.error = installed.empty() ? kErrPrinter : 0;
}

int32_t VSPrinter::Error() const { return surface::PrinterOf(*this).error; }

void VSPrinter::Clear() { surface::PrinterOf(*this).error = 0; }

int32_t VSPrinter::PaperBin() const { return surface::PrinterOf(*this).paperBin; }

void VSPrinter::PaperBin(int32_t bin) {
    auto& settings = surface::PrinterOf(*this);
    if (Spooler::Instance().AcceptsBin(PrinterFor(settings.device), bin)) {
        settings.paperBin = bin;
        settings.error = 0;
    } else {
        settings.error = kErrPrinter;
    }
}

int32_t VSPrinter::Copies() const { return surface::PrinterOf(*this).copies; }

void VSPrinter::Copies(int32_t copies) {
    auto& settings = surface::PrinterOf(*this);
    if (Spooler::Instance().AcceptsCopies(PrinterFor(settings.device), copies)) {
        settings.copies = copies;
        settings.error = 0;
    } else {
        settings.error = kErrPrinter;
    }
}

void VSPrinter::PrintDoc(bool /*showDialog*/) {
    PrintPages(*this, surface::PrinterOf(*this), "");
}

void VSPrinter::PrintDoc(bool /*showDialog*/, int32_t fromPage, int32_t toPage) {
    const int32_t count = PageCount();
    if (fromPage < 1 || toPage < fromPage || (count > 0 && fromPage > count)) {
        throw RuntimeError(kErrSubscript, "No pages " + std::to_string(fromPage) + " to " +
                                              std::to_string(toPage) + " in a document of " +
                                              std::to_string(count) + " pages");
    }
    const int32_t last = std::min(toPage, count);
    PrintPages(*this, surface::PrinterOf(*this),
               std::to_string(fromPage) + "-" + std::to_string(last));
}

void VSPrinter::PrintDoc(bool /*showDialog*/, const std::string& range) {
    PrintPages(*this, surface::PrinterOf(*this), range);
}

}  // namespace qor
