// qorprint printers: every printer with its trays, the default marked.
#include "Commands.h"

#include <qor/Spooler.h>

#include <cstdio>

namespace qortool {

int RunPrinters(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::puts("usage: qorprint printers\n"
                      "Lists the printers of the CUPS server, the default marked with \"*\", each\n"
                      "with its paper trays: the bin code to use in a composite printer string\n"
                      "(\"bin;printer;tray name\") and the tray's name.");
            return kExitOk;
        }
        throw CommandError(kExitUsage, "printers: unexpected argument \"" + a + "\"");
    }
    qor::Spooler& spooler = qor::Spooler::Instance();
    const std::vector<std::string> printers = spooler.Printers();
    if (printers.empty()) {
        std::fputs("qorprint: no printers are installed (or no CUPS server answers)\n", stderr);
        return kExitOk;
    }
    const std::string def = spooler.DefaultPrinter();
    for (const std::string& p : printers) {
        std::printf("%s %s\n", p == def ? "*" : " ", p.c_str());
        for (const qor::Tray& t : spooler.Trays(p))
            std::printf("    %3d  %s\n", t.Code, t.Name.c_str());
    }
    return kExitOk;
}

}  // namespace qortool
