// The commands of the qorprint tool and the exit codes they return.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace qortool {

// Exit codes a script can branch on.
enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1,       // bad command line
    kExitDefinition = 2,  // the definition file is unreadable or wrong
    kExitData = 3,        // database, query, parameters or a field the query lacks
    kExitOutput = 4,      // output file not writable, printer missing, job refused
    kExitEmpty = 5,       // the query gave no rows: nothing printed
};

// A failure that ends the command with `code`; what() is the message for standard error.
class CommandError : public std::runtime_error {
public:
    CommandError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int Code() const noexcept { return code_; }

private:
    int code_;
};

// `qorprint report DEFINITION.json [options]`; `args` excludes the command name.
int RunReport(const std::vector<std::string>& args, char* argv0);
// `qorprint printers`.
int RunPrinters(const std::vector<std::string>& args);

// Help texts.
extern const char* const kMainUsage;
extern const char* const kReportUsage;

}  // namespace qortool
