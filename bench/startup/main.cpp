// What a short job costs. From process start (fork and exec to exit, median of N runs):
// `qorprint --help`, and `qorprint report` of a one-page PDF (50 invoices). In one process:
// the same one-page report made again and again, the first apart from the median of the rest.
//
//   bench_startup [--runs N] [--documents N]      default: 15 runs, 100 documents
#include <qor/GenServices.h>
#include <qor/SqliteRecordset.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include "support/Child.h"
#include "support/InvoiceReport.h"
#include "support/Invoices.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// Milliseconds from fork to the exit of `args` (output to /dev/null); exits on a failed run.
double TimeProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = Ms(t0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup: %s failed (status %d)\n", args[0].c_str(), status);
        std::exit(1);
    }
    return ms;
}

// The invoice report of the report benchmarks as a qorprint definition.
void WriteDefinition(const std::string& file, const std::string& db) {
    std::ofstream out(file);
    out << R"({"title": "Invoices", "subTitle": "Benchmark", "footNote": "qorPrintLib", "init": {"orient": "portrait"},
 "data": {"sqlite": ")" << db << R"(", "query": ")" << bench::kInvoiceQuery << R"("},
 "columns": [
  {"width": 26, "caption": "Invoice", "dataField": "number", "totalType": "count"},
  {"width": 22, "caption": "Date", "dataField": "date", "align": "center"},
  {"width": 60, "caption": "Customer", "dataField": "customer", "prLeft": true},
  {"width": 22, "caption": "City", "dataField": "city"},
  {"width": 25, "caption": "Excl. VAT", "dataField": "amount", "frmt": "frmtAmount2", "align": "right", "totalType": "sum"},
  {"width": 25, "caption": "Total", "dataField": "total", "frmt": "frmtAmount2", "align": "right", "totalType": "sum"}]}
)";
}

struct InProcess {
    double firstMs = 0;
    double medianMs = 0;  // every document after the first
    int pages = 0;
};

// `documents` one-page reports of the same rows in one process.
InProcess RunInProcess(const std::string& db, const std::string& pdf, int documents) {
    qor::GenServices().Unattended = true;
    qor::GenServices().Locale = "en_US";
    InProcess result;
    std::vector<double> rest;
    for (int i = 0; i < documents; ++i) {
        const auto t0 = Clock::now();
        qor::clsqorPrintLib lib;
        qor::clsRapport& r = lib.PrRapport();
        bench::SetUpInvoiceReport(r, pdf);
        r.SetRt(qor::SqliteRecordset::Open(db, bench::kInvoiceQuery));
        r.EndDoc();
        const double ms = Ms(t0);
        if (i == 0) {
            result.firstMs = ms;
            result.pages = r.Document().PageCount();
        } else {
            rest.push_back(ms);
        }
    }
    result.medianMs = bench::Median(rest);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QORPRINT_UNATTENDED", "1", 1);
    int runs = 15, documents = 100;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--documents") == 0 && i + 1 < argc) {
            documents = std::max(2, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: bench_startup [--runs N] [--documents N]\n");
            return 2;
        }
    }
    const fs::path dir = fs::temp_directory_path() / ("bench-startup-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string db = (dir / "invoices-50.sqlite").string();
    const std::string definition = (dir / "invoices.json").string();
    const std::string pdf = (dir / "report.pdf").string();
    if (!bench::MakeInvoiceDatabase(db, 50)) std::abort();
    WriteDefinition(definition, db);

    const std::vector<std::string> help = {QORPRINT_TOOL, "--help"};
    const std::vector<std::string> report = {QORPRINT_TOOL, "report", definition, "--lang", "en", "--out", pdf};
    TimeProcess(help);  // warms the page cache
    TimeProcess(report);
    std::vector<double> helpMs, reportMs;
    for (int i = 0; i < runs; ++i) {  // interleaved
        helpMs.push_back(TimeProcess(help));
        reportMs.push_back(TimeProcess(report));
    }
    const InProcess in = bench::InChild("bench_startup: in process", [&] { return RunInProcess(db, pdf, documents); });

    std::printf("\n### Start-up (median of %d runs from process start; %d documents in one process)\n\n", runs,
                documents);
    std::printf("| what | median ms | min ms | max ms |\n|---|--:|--:|--:|\n");
    const auto row = [](const char* what, const std::vector<double>& v) {
        std::printf("| %s | %.1f | %.1f | %.1f |\n", what, bench::Median(v), *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
    };
    row("`qorprint --help`", helpMs);
    row("`qorprint report`, 50 invoices to PDF", reportMs);
    std::printf("| one-page report in process, first document | %.2f | | |\n", in.firstMs);
    std::printf("| one-page report in process, each later document (median) | %.2f | | |\n", in.medianMs);
    if (in.pages != 1) std::printf("\nThe in-process document had %d pages, not 1.\n", in.pages);
    fs::remove_all(dir);
    return 0;
}
