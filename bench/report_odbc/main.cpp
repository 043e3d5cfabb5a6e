// The invoice report of bench_report_pdf (6 columns, a count and two sums) with its rows read
// from PostgreSQL through ODBC (psqlODBC, the private test server on its Unix socket) and,
// for comparison, directly from SQLite. Every measurement runs in a child process of its
// own, so each peak resident size belongs to one run only.
//
//   bench_report_odbc [records ...]      default: 10000 100000
#include <qor/GenServices.h>
#include <qor/OdbcRecordset.h>
#include <qor/SqliteRecordset.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include "support/Child.h"
#include "support/InvoiceReport.h"
#include "support/Invoices.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
using Open = std::function<std::shared_ptr<qor::Recordset>()>;

struct Measure {
    double seconds = 0;
    double readSeconds = 0;  // reading every cell's text, nothing drawn
    int pages = 0;
    int rowsPerFetch = 0;
    double peakMb = 0;
};

Measure RunReport(const Open& open, const std::string& pdf) {
    qor::GenServices().Unattended = true;
    qor::GenServices().Locale = "en_US";
    Measure m;
    auto t0 = Clock::now();
    {
        auto rs = open();
        if (auto* odbc = dynamic_cast<qor::OdbcRecordset*>(rs.get())) m.rowsPerFetch = odbc->RowsPerFetch();
        std::string text;
        for (; !rs->IsEOF(); rs->MoveNext())
            for (int32_t f = 0; f < 6; ++f) rs->Text(f, text);
    }
    m.readSeconds = std::chrono::duration<double>(Clock::now() - t0).count();

    t0 = Clock::now();
    qor::clsqorPrintLib lib;
    qor::clsRapport& r = lib.PrRapport();
    bench::SetUpInvoiceReport(r, pdf);
    r.SetRt(open());
    r.EndDoc();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.pages = r.Document().PageCount();
    m.peakMb = bench::PeakMb();
    return m;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

// Starts the private test server and takes over its variables; false when it cannot start.
bool StartServer() {
    const std::string script = std::string(QOR_SOURCE_DIR) + "/scripts/test-db.sh";
    FILE* pipe = ::popen(("bash '" + script + "' start").c_str(), "r");
    if (pipe == nullptr) return false;
    char line[4096] = {};
    std::string last;
    while (std::fgets(line, sizeof line, pipe)) last = line;
    if (::pclose(pipe) != 0 || last.empty()) return false;
    last.erase(last.find_last_not_of('\n') + 1);
    std::ifstream env(last);
    for (std::string l; std::getline(env, l);) {
        const auto eq = l.find('=');
        if (l.rfind("export ", 0) != 0 || eq == std::string::npos) continue;
        setenv(l.substr(7, eq - 7).c_str(), l.substr(eq + 1).c_str(), 1);
    }
    return std::getenv("QOR_TEST_PG_HOST") != nullptr;
}

std::string Env(const char* name) { return std::getenv(name) ? std::getenv(name) : ""; }

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QORPRINT_UNATTENDED", "1", 1);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};
    if (!StartServer()) {
        std::fprintf(stderr, "bench_report_odbc: the test server did not start (scripts/test-db.sh start)\n");
        return 1;
    }
    const std::string table = "bench_invoices_" + std::to_string(getpid());
    const std::string psql = "PGOPTIONS='-c client_min_messages=warning' PGPASSWORD=" + Env("QOR_TEST_PG_PASSWORD") +
                             " psql -X -q -v ON_ERROR_STOP=1 -h " + Env("QOR_TEST_PG_HOST") + " -p " +
                             Env("QOR_TEST_PG_PORT") + " -U " + Env("QOR_TEST_PG_USER") + " -d " +
                             Env("QOR_TEST_PG_DATABASE");
    const std::string connection = "Driver={PostgreSQL Unicode};Servername=" + Env("QOR_TEST_PG_HOST") + ";Port=" +
                                   Env("QOR_TEST_PG_PORT") + ";Database=" + Env("QOR_TEST_PG_DATABASE") + ";Uid=" +
                                   Env("QOR_TEST_PG_USER") + ";Pwd=" + Env("QOR_TEST_PG_PASSWORD");
    const std::string query = "SELECT number, date, customer, city, amount, total FROM " + table + " ORDER BY id";

    const fs::path dir = fs::temp_directory_path() / ("bench-report-odbc-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::printf("%9s | %9s %8s %7s | %9s %8s %7s %6s | %7s %7s\n", "records", "SQLite s", "peak MB", "read s",
                "ODBC-PG s", "peak MB", "read s", "rows/f", "time x", "mem x");
    for (int n : sizes) {
        const std::string db = (dir / ("invoices-" + std::to_string(n) + ".sqlite")).string();
        if (!bench::MakeInvoiceDatabase(db, n)) std::abort();
        // The same rows in PostgreSQL, amounts as numeric(12,2).
        if (Shell(psql + " -c 'DROP TABLE IF EXISTS " + table + "; CREATE TABLE " + table +
                  "(id integer PRIMARY KEY, number varchar(20), date varchar(10), customer varchar(60),"
                  " city varchar(30), amount numeric(12,2), total numeric(12,2))' && sqlite3 -csv '" + db +
                  "' 'SELECT id, number, date, customer, city, amount, total FROM invoices' | " + psql +
                  " -c '\\copy " + table + " FROM STDIN WITH (FORMAT csv)' && " + psql + " -c 'ANALYZE " + table + "'") != 0)
            std::abort();
        const std::string pdf = (dir / "report.pdf").string();
        const Measure a = bench::InChild("bench_report_odbc: SQLite", [&] { return RunReport([&] { return qor::SqliteRecordset::Open(db, bench::kInvoiceQuery); }, pdf); });
        const Measure b = bench::InChild("bench_report_odbc: ODBC", [&] { return RunReport([&] { return qor::OdbcRecordset::Open(connection, query); }, pdf); });
        std::printf("%9d | %9.3f %8.1f %7.3f | %9.3f %8.1f %7.3f %6d | %6.2fx %6.2fx\n", n, a.seconds, a.peakMb,
                    a.readSeconds, b.seconds, b.peakMb, b.readSeconds, b.rowsPerFetch, b.seconds / a.seconds,
                    b.peakMb / a.peakMb);
        std::fflush(stdout);
    }
    Shell(psql + " -c 'DROP TABLE IF EXISTS " + table + "'");
    fs::remove_all(dir);
    return 0;
}
