// The private PostgreSQL server of scripts/test-db.sh, started on demand, and connection
// strings for the three ODBC drivers the tests use.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/Process.h"

namespace qor::test {

// Starts (or reuses) the server of `dir` ("" for the shared one: $QOR_TEST_DB_DIR or the
// script's default) and takes over its env file's variables. Returns the script's message
// on failure, "" on success.
inline std::string StartTestDb(const std::string& dir = "") {
    const std::string script = std::string(QOR_SOURCE_DIR) + "/scripts/test-db.sh";
    int status = 0;
    // The script's last line names the env file.
    std::string out = Shell((dir.empty() ? "" : "QOR_TEST_DB_DIR=" + Quote(dir) + " ") + "bash " + Quote(script) + " start", &status);
    while (!out.empty() && out.back() == '\n') out.pop_back();
    const std::string envFile = out.substr(out.rfind('\n') + 1);
    if (status != 0 || envFile.empty()) return "test-db.sh start failed: " + out;
    std::ifstream in(envFile);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (line.rfind("export ", 0) != 0 || eq == std::string::npos) continue;
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '\'') value = value.substr(1, value.size() - 2);
        ::setenv(line.substr(7, eq - 7).c_str(), value.c_str(), 1);
    }
    return "";
}

inline void StopTestDb(const std::string& dir) {
    Shell("QOR_TEST_DB_DIR=" + Quote(dir) + " bash " + Quote(std::string(QOR_SOURCE_DIR) + "/scripts/test-db.sh") + " stop");
}

inline std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The test server's connection string, with `password` (default: the right one).
inline std::string PgConnection(const std::string& password = Env("QOR_TEST_PG_PASSWORD")) {
    return "Driver={PostgreSQL Unicode};Servername=" + Env("QOR_TEST_PG_HOST") + ";Port=" + Env("QOR_TEST_PG_PORT") +
           ";Database=" + Env("QOR_TEST_PG_DATABASE") + ";Uid=" + Env("QOR_TEST_PG_USER") + ";Pwd=" + password;
}

inline std::string SqliteConnection(const std::string& file) { return "Driver=SQLite3;Database=" + file; }

inline std::string NorthwindConnection() {
    return "Driver={MDBTools};DBQ=" + std::string(QOR_SHARED_FIXTURES_DIR) + "/access/nwind.mdb";
}

}  // namespace qor::test
