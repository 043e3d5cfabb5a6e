// What the report benchmarks share: a generated invoice database, its query, and the peak
// memory of the measuring process.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

// The six columns of the generated invoices, in insertion order.
inline const char* const kInvoiceQuery =
    "SELECT number, date, customer, city, amount, total FROM invoices ORDER BY id";

// Writes `records` invoices with fixed pseudo-random amounts, dates, customers and cities into
// a new SQLite file `file` (an older file is replaced). Returns false when SQLite fails.
inline bool MakeInvoiceDatabase(const std::string& file, int records) {
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return false;
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; BEGIN;"
                 "CREATE TABLE invoices(id INTEGER PRIMARY KEY, number TEXT, date TEXT,"
                 " customer TEXT, city TEXT, amount REAL, total REAL);",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO invoices VALUES(?,?,?,?,?,?,?)", -1, &ins, nullptr);
    static const char* const cities[] = {"Gent", "Antwerpen", "Leuven", "Brugge", "Namur", "Liège"};
    uint32_t x = 12345;
    for (int i = 1; i <= records; ++i) {
        x = x * 1103515245u + 12345u;
        const double amount = ((x >> 8) % 500000) / 100.0 + 10;
        char number[32], date[16], customer[64];
        std::snprintf(number, sizeof number, "F2026-%06d", i);
        std::snprintf(date, sizeof date, "2026-%02d-%02d", 1 + (i / 2000) % 12, 1 + i % 28);
        std::snprintf(customer, sizeof customer, "Customer %03u Bouw en Interieur NV", (x >> 4) % 400);
        sqlite3_bind_int(ins, 1, i);
        sqlite3_bind_text(ins, 2, number, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 3, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 4, customer, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 5, cities[(x >> 12) % 6], -1, SQLITE_STATIC);
        sqlite3_bind_double(ins, 6, amount);
        sqlite3_bind_double(ins, 7, amount * 1.21);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    const bool ok = sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Peak resident memory of this process so far, in MB.
inline double PeakMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

}  // namespace bench
