// The printers of the system, their paper trays and print jobs, through CUPS.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qor {

// One paper tray of a printer.
struct Tray {
    // Windows paper-bin code: the standard codes 1-15 (1 upper, 2 lower, 3 middle, 4 manual,
    // 5 envelope, 6 envelope manual, 7 automatic, 8 tractor, 9 small format, 10 large format,
    // 11 large capacity, 14 cassette, 15 form source) for trays with that meaning, else 16,
    // 17, ... in the printer's order. Always between 1 and 255.
    int32_t Code = 0;
    // Display name of the tray as the printer's driver gives it, at most 24 bytes (cut at a
    // character boundary).
    std::string Name;
    // The printer's own keyword for the tray: the PPD's InputSlot choice (e.g. "Upper"), or
    // the IPP media-source keyword (e.g. "top") for printers without a PPD.
    std::string Keyword;
};

// What one print job asks of the printer.
struct JobOptions {
    // Number of copies, 1 or more.
    int32_t Copies = 1;
    // Pages to print: "" for all, else a page list such as "3", "2-5", "2,4" or "2-" (page 2
    // to the end). Blanks are ignored.
    std::string PageRanges;
    // Windows paper-bin code of the tray to print from. 7 (automatic) and 15 (form source)
    // send no tray: the printer chooses.
    int32_t Bin = 15;
    // Job name shown by the spooler; "" gives "qorPrintLib".
    std::string Title;
    // Asked while the document is sent; returning false cancels the job in the spooler.
    std::function<bool()> KeepGoing;
};

// The system's printers, reached through the CUPS server of the environment (CUPS_SERVER,
// else the client configuration, else the local scheduler). Every call asks the server
// afresh, so printers added or removed meanwhile are seen. When no server answers, every
// call behaves as if no printer were installed, after at most about a second: nothing waits
// longer for a server that is not there. A server that stops answering in the middle of a
// request is given up after five seconds (a minute while a document is being sent).
//
// A queue says that it takes no copies (copies are then made by nobody, so only 1 is
// accepted) by an upper bound of 1: its PPD's "*cupsMaxCopies: 1", or an IPP
// copies-supported of 1-1 for queues without a PPD.
//
// Printer names compare without regard to letter case, as the library matches upper-cased
// names; calls that take a printer accept any casing of an installed name. A blank name names
// no printer: calls taking one answer at once, without asking the server.
//
// All members are safe to call from several threads at once: each call uses a connection
// of its own.
//
// libcups is opened the first time a member needs the server. When it cannot be loaded
// (libcups.so.2 missing, or lacking a function the spooler calls), every member that asks the
// server throws qor::RuntimeError(48) naming the library instead of answering.
class Spooler {
public:
    // The one spooler of the process.
    static Spooler& Instance();

    // Names of the installed printers and classes in the server's order (sorted by name);
    // empty when no server answers.
    std::vector<std::string> Printers();
    // The default printer: the user's choice (LPDEST, PRINTER, lpoptions) when installed,
    // else the server's default; "" when there is none or no server answers.
    std::string DefaultPrinter();
    // True when `printer` is installed (blanks around it and letter case ignored).
    bool HasPrinter(const std::string& printer);
    // The installed printer's name as the server spells it ("printera " gives "PrinterA");
    // "" when `printer` is not installed or no server answers.
    std::string InstalledName(const std::string& printer);
    // The trays of `printer` in the driver's order, at most 127; empty for a printer that is
    // not installed or has no tray choice.
    std::vector<Tray> Trays(const std::string& printer);
    // True when `printer` is installed and can print from the tray of bin code `code`. The
    // codes 7 (automatic) and 15 (form source) are accepted by every installed printer,
    // because the printer then chooses. Only the low byte of `code` counts.
    bool AcceptsBin(const std::string& printer, int32_t code);
    // True when `printer` is installed and makes `copies` copies (1 up to its limit).
    bool AcceptsCopies(const std::string& printer, int32_t copies);
    // Where the queue sends its jobs (its device URI, such as "usb://..." or
    // "file:///dev/null"); "" when the printer is not installed or the server does not say.
    std::string DeviceUri(const std::string& printer);

    // Sends the PDF file `pdfFile` to `printer` as one job with the copies, page list and
    // tray of `options` (the tray as the PPD's InputSlot, or media-source for printers
    // without a PPD). Returns the job id the server gave. The file may be removed as soon as
    // this returns. Throws qor::RuntimeError(5) for a bad page list or copies below 1,
    // qor::RuntimeError(53) when `pdfFile` cannot be read, and qor::RuntimeError(482) with a
    // text naming the printer when it is not installed (or no server answers), lacks the
    // tray, does not make that many copies, or refuses the job, and qor::RuntimeError(18)
    // after cancelling the job when `options.KeepGoing` returned false.
    int32_t Submit(const std::string& printer, const std::string& pdfFile,
                   const JobOptions& options);

    Spooler(const Spooler&) = delete;
    Spooler& operator=(const Spooler&) = delete;

private:
    Spooler() = default;
};

}  // namespace qor
