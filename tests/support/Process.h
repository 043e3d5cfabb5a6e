// Running outside programs from tests: a shell command's output and exit code, and quoting.
#pragma once

#include <cstdio>
#include <string>

#include <sys/wait.h>

namespace qor::test {

// `text` quoted for the shell (single quotes, embedded quotes escaped).
inline std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs `command` with /bin/sh and returns what it wrote on standard output and standard
// error together. `status` gets its exit code (-1 when it could not run or was killed).
inline std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        if (status) *status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = ::pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

}  // namespace qor::test
