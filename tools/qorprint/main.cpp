// qorprint: renders report definitions from a database to PDF, PNG pages, a printer or the
// preview window, and lists the printers.
#include "Commands.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace qortool {

const char* const kMainUsage =
    "usage: qorprint report DEFINITION.json [options]   render a report (see qorprint report --help)\n"
    "       qorprint printers                           list printers and their trays\n"
    "       qorprint --help | --version\n"
    "\n"
    "exit codes: 0 ok, 1 usage error, 2 definition error, 3 data error,\n"
    "            4 output error, 5 nothing printed (no rows)\n";

}  // namespace qortool

int main(int argc, char** argv) {
    using namespace qortool;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kMainUsage, stderr);
        return kExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(kMainUsage, stdout);
            return kExitOk;
        }
        if (command == "--version") {
            std::puts("qorprint " QORPRINT_VERSION);
            return kExitOk;
        }
        if (command == "report") return RunReport(args, argv[0]);
        if (command == "printers") return RunPrinters(args);
        std::fprintf(stderr, "qorprint: unknown command \"%s\"\n%s", command.c_str(), kMainUsage);
        return kExitUsage;
    } catch (const CommandError& e) {
        std::fprintf(stderr, "qorprint: %s\n", e.what());
        if (e.Code() == kExitUsage) std::fputs("(qorprint --help shows the usage)\n", stderr);
        return e.Code();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qorprint: %s\n", e.what());
        return kExitOutput;
    }
}
