// clsRapport from SQLite to an .xlsx workbook (output mode 2) for the sample invoices overview
// (10 columns, one year of the sample database) and for 10,000 and 100,000 generated invoices
// of 6 columns with a totals band, against the same rows and columns written straight from
// the same query with libxlsxwriter's C API in constant-memory mode. Every measurement runs in
// a child process of its own, so each peak resident size belongs to one run only. Every
// workbook is read back: it must be a zip whose first sheet holds at least one row per record
// and one filled cell per record and column.
//
//   bench_report_xlsx [records ...]      default: 10000 100000
#include <qor/GenServices.h>
#include <qor/SpreadsheetExport.h>
#include <qor/SqliteRecordset.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include <sqlite3.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zlib.h>

#include "support/Child.h"
#include "support/Invoices.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Measure {
    double seconds = 0;
    double peakMb = 0;
};

// One report column, and how the reference writes it.
struct Column {
    float width;
    const char* caption;
    const char* field;
    int32_t frmt;
    int32_t align;
    bool prLeft;
    int32_t totalType;  // 0 none, 1 sum, 2 count
};

// One report: where its rows come from and how it looks.
struct Case {
    std::string name;
    std::string db;
    std::string query;
    std::vector<std::pair<std::string, int>> params;  // named integer parameters
    int32_t orient = 1;
    std::string title;
    std::string subTitle;
    std::vector<Column> columns;
};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_report_xlsx: %s\n", what.c_str());
    std::exit(1);
}

using bench::PeakMb;

double FileMb(const std::string& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    return ec ? 0 : size / 1048576.0;
}

// ---- Databases ------------------------------------------------------------------------------

const char* const kGeneratedQuery = bench::kInvoiceQuery;

void MakeGeneratedDatabase(const std::string& file, int records) {
    if (!bench::MakeInvoiceDatabase(file, records)) Fail("cannot create " + file);
}

void MakeSampleDatabase(const std::string& file) {
    const std::string command = "bash '" QOR_SOURCE_DIR "/examples/sample/make_sample_db.sh' '" + file +
                                "' >/dev/null";
    if (std::system(command.c_str()) != 0 || !fs::exists(file))
        Fail("examples/sample/make_sample_db.sh could not make " + file);
}

// The query of `c` prepared with its parameters bound; Fail on any error.
sqlite3_stmt* Prepare(sqlite3* h, const Case& c) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, c.query.c_str(), -1, &st, nullptr) != SQLITE_OK)
        Fail(c.db + ": " + sqlite3_errmsg(h));
    for (const auto& [name, value] : c.params) {
        const int index = sqlite3_bind_parameter_index(st, (":" + name).c_str());
        if (index == 0 || sqlite3_bind_int(st, index, value) != SQLITE_OK) Fail(c.query + ": cannot bind " + name);
    }
    return st;
}

int CountRecords(const Case& c) {
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(c.db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) Fail("cannot open " + c.db);
    sqlite3_stmt* st = Prepare(h, c);
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) ++n;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return n;
}

// ---- The library: clsRapport in output mode 2 -------------------------------------------------

// Renders `c` with clsRapport into the workbook SpreadsheetFileFor(exportFile).
Measure RunReport(const Case& c, const std::string& exportFile) {
    qor::GenServices().Unattended = true;
    qor::GenServices().Locale = "en_US";
    Measure m;
    const auto t0 = Clock::now();
    qor::clsqorPrintLib lib;
    qor::clsRapport& r = lib.PrRapport();
    r.Init("", 2, c.orient, 1, 9, exportFile);
    r.Title = c.title;
    r.SubTitle = c.subTitle;
    r.FootNote = "Amounts in euro";
    for (std::size_t i = 0; i < c.columns.size(); ++i) {
        const Column& col = c.columns[i];
        r.SetCol(static_cast<int16_t>(i), col.width, col.caption, col.field, col.frmt, col.align, false, "",
                 col.prLeft, 0, 0, -1, col.totalType);
    }
    std::vector<std::pair<std::string, qor::Variant>> params;
    for (const auto& [name, value] : c.params) params.emplace_back(name, qor::Variant(value));
    r.SetRt(qor::SqliteRecordset::OpenNamed(c.db, c.query, params));
    r.EndDoc();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.peakMb = PeakMb();
    return m;
}

// ---- The reference: libxlsxwriter's C API -----------------------------------------------------

void Check(lxw_error e, const char* what) {
    if (e != LXW_NO_ERROR) Fail(std::string(what) + ": " + lxw_strerror(e));
}

// The same title, captions, record cells and totals row written directly: strings as
// strings, numbers as numbers (amounts with "#,##0.00"), a SUM or COUNTA formula with its
// value under each totalled column.
Measure RunReference(const Case& c, const std::string& file) {
    Measure m;
    const auto t0 = Clock::now();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
    if (!wb) Fail("libxlsxwriter cannot create " + file);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* titleFormat = workbook_add_format(wb);
    format_set_bold(titleFormat);
    format_set_font_size(titleFormat, 14);
    lxw_format* captionFormat = workbook_add_format(wb);
    format_set_bold(captionFormat);
    format_set_font_color(captionFormat, LXW_COLOR_WHITE);
    format_set_bg_color(captionFormat, 0x0A246A);
    format_set_border(captionFormat, LXW_BORDER_THIN);
    lxw_format* amountFormat = workbook_add_format(wb);
    format_set_num_format(amountFormat, "#,##0.00");
    lxw_format* totalFormat = workbook_add_format(wb);
    format_set_bold(totalFormat);
    format_set_num_format(totalFormat, "#,##0.00");

    const auto cols = static_cast<lxw_col_t>(c.columns.size());
    for (lxw_col_t k = 0; k < cols; ++k) {
        const Column& col = c.columns[k];
        Check(worksheet_set_column(ws, k, k, col.width / 2.0,
                                   col.frmt == qor::frmtAmount2 ? amountFormat : nullptr),
              "worksheet_set_column");
    }
    Check(worksheet_write_string(ws, 0, 0, c.title.c_str(), titleFormat), "worksheet_write_string");
    Check(worksheet_write_string(ws, 1, 0, c.subTitle.c_str(), nullptr), "worksheet_write_string");
    for (lxw_col_t k = 0; k < cols; ++k)
        Check(worksheet_write_string(ws, 3, k, c.columns[k].caption, captionFormat), "worksheet_write_string");

    sqlite3* h = nullptr;
    if (sqlite3_open_v2(c.db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) Fail("cannot open " + c.db);
    sqlite3_stmt* st = Prepare(h, c);
    std::vector<double> sums(cols, 0);
    lxw_row_t row = 4;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (lxw_col_t k = 0; k < cols; ++k) {
            const int type = sqlite3_column_type(st, static_cast<int>(k));
            if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                const double v = sqlite3_column_double(st, static_cast<int>(k));
                sums[k] += v;
                Check(worksheet_write_number(ws, row, k, v,
                                             c.columns[k].frmt == qor::frmtAmount2 ? amountFormat : nullptr),
                      "worksheet_write_number");
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, static_cast<int>(k)));
                Check(worksheet_write_string(ws, row, k, text ? text : "", nullptr), "worksheet_write_string");
            }
        }
        ++row;
    }
    sqlite3_finalize(st);
    sqlite3_close(h);

    const lxw_row_t first = 4, last = row - 1;
    for (lxw_col_t k = 0; k < cols; ++k) {
        if (c.columns[k].totalType == 0) continue;
        const bool count = c.columns[k].totalType == 2;
        char letter[4];
        lxw_col_to_name(letter, k, false);
        const std::string formula = std::string(count ? "=COUNTA(" : "=SUM(") + letter +
                                    std::to_string(first + 1) + ":" + letter + std::to_string(last + 1) + ")";
        Check(worksheet_write_formula_num(ws, row, k, formula.c_str(), totalFormat,
                                          count ? static_cast<double>(last + 1 - first) : sums[k]),
              "worksheet_write_formula_num");
    }
    Check(workbook_close(wb), "workbook_close");
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.peakMb = PeakMb();
    return m;
}

// ---- Reading a workbook back ------------------------------------------------------------------

struct SheetCount {
    long rows = 0;
    long cells = 0;  // cells with a value or a formula; cells holding only a style do not count
};

uint32_t U16(const std::string& b, std::size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8;
}
uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

long Occurrences(const std::string& text, const char* needle) {
    long n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

// The rows and the cells with content of xl/worksheets/sheet1.xml in the workbook `file`. Fails loudly when
// the file is missing, is no zip ("PK" first) or has no readable first sheet.
SheetCount ReadSheet(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) Fail(file + ": no workbook was written");
    const std::string zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (zip.size() < 22 || zip.compare(0, 2, "PK") != 0) Fail(file + ": not a zip file (no \"PK\" at the start)");

    std::size_t end = std::string::npos;  // the end-of-central-directory record, searched from the back
    for (std::size_t at = zip.size() - 22;; --at) {
        if (U32(zip, at) == 0x06054b50u) {
            end = at;
            break;
        }
        if (at == 0 || zip.size() - at > 22 + 0xFFFF) break;
    }
    if (end == std::string::npos) Fail(file + ": zip without a central directory");
    const uint32_t entries = U16(zip, end + 10);
    std::size_t at = U32(zip, end + 16);
    for (uint32_t i = 0; i < entries; ++i) {
        if (at + 46 > zip.size() || U32(zip, at) != 0x02014b50u) Fail(file + ": damaged central directory");
        const uint32_t method = U16(zip, at + 10), packed = U32(zip, at + 20), size = U32(zip, at + 24);
        const uint32_t nameLength = U16(zip, at + 28), extra = U16(zip, at + 30), comment = U16(zip, at + 32);
        const uint32_t local = U32(zip, at + 42);
        if (zip.compare(at + 46, nameLength, "xl/worksheets/sheet1.xml") != 0 ||
            nameLength != std::strlen("xl/worksheets/sheet1.xml")) {
            at += 46 + nameLength + extra + comment;
            continue;
        }
        if (local + 30 > zip.size() || U32(zip, local) != 0x04034b50u) Fail(file + ": damaged local header");
        const std::size_t data = local + 30 + U16(zip, local + 26) + U16(zip, local + 28);
        if (data + packed > zip.size()) Fail(file + ": truncated sheet");
        std::string xml;
        if (method == 0) {
            xml = zip.substr(data, packed);
        } else if (method == 8) {
            xml.resize(size);
            z_stream zs{};
            if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) Fail("inflateInit2 failed");
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            zs.avail_in = packed;
            zs.next_out = reinterpret_cast<Bytef*>(xml.data());
            zs.avail_out = size;
            const int rc = inflate(&zs, Z_FINISH);
            inflateEnd(&zs);
            if (rc != Z_STREAM_END || zs.total_out != size) Fail(file + ": the sheet does not inflate");
        } else {
            Fail(file + ": sheet stored with zip method " + std::to_string(method));
        }
        return {Occurrences(xml, "<row "), Occurrences(xml, "</c>")};
    }
    Fail(file + ": no xl/worksheets/sheet1.xml");
}

// ---- Child processes --------------------------------------------------------------------------

struct Result {
    int records = 0;
    Measure lib, ref;
    double libMb = 0, refMb = 0;
};

Result RunCase(const Case& c, const fs::path& dir) {
    Result res;
    res.records = CountRecords(c);
    const std::string exportFile = (dir / "out.pdf").string();
    const std::string workbook = qor::SpreadsheetFileFor(exportFile);
    const std::string reference = (dir / "reference.xlsx").string();
    fs::remove(workbook);
    fs::remove(reference);
    res.lib = bench::InChild("bench_report_xlsx: the report", [&] { return RunReport(c, exportFile); });
    res.ref = bench::InChild("bench_report_xlsx: the reference", [&] { return RunReference(c, reference); });
    res.libMb = FileMb(workbook);
    res.refMb = FileMb(reference);
    const long cols = static_cast<long>(c.columns.size());
    for (const auto& [file, who] : {std::pair{workbook, "report"}, std::pair{reference, "reference"}}) {
        const SheetCount sheet = ReadSheet(file);
        if (sheet.rows < res.records || sheet.cells < res.records * cols)
            Fail(c.name + ": the " + who + " workbook holds " + std::to_string(sheet.rows) + " rows and " +
                 std::to_string(sheet.cells) + " filled cells for " + std::to_string(res.records) + " records of " +
                 std::to_string(cols) + " columns");
    }
    fs::remove(workbook);
    fs::remove(reference);
    return res;
}

// The invoices overview of examples/reports/invoices-overview.json: one year of the sample
// database, landscape, a count and three sums in the totals band.
Case SampleCase(const std::string& db) {
    Case c;
    c.name = "sample overview";
    c.db = db;
    c.query = "SELECT number, date, customer, postal_code, city, region, amount, vat_rate, vat, total "
              "FROM invoice_lines WHERE year = :year ORDER BY date, number";
    c.params = {{"year", 2025}};
    c.orient = 2;
    c.title = "Invoice overview";
    c.subTitle = "One line per invoice";
    c.columns = {{26, "Invoice", "number", qor::frmtText, 0, false, 2},
                 {22, "Date", "date", qor::frmtText, 2, false, 0},
                 {62, "Customer", "customer", qor::frmtText, 0, true, 0},
                 {14, "Code", "postal_code", qor::frmtText, 2, false, 0},
                 {34, "City", "city", qor::frmtText, 0, true, 0},
                 {22, "Region", "region", qor::frmtText, 0, false, 0},
                 {26, "Excl. VAT", "amount", qor::frmtAmount2, 1, false, 1},
                 {14, "VAT %", "vat_rate", qor::frmtNumber, 1, false, 0},
                 {24, "VAT", "vat", qor::frmtAmount2, 1, false, 1},
                 {26, "Total", "total", qor::frmtAmount2, 1, false, 1}};
    return c;
}

// Generated invoices: 6 columns filling the portrait line, no sub-totals, a count and two
// sums in the totals band.
Case GeneratedCase(const std::string& db, int records) {
    Case c;
    c.name = std::to_string(records) + " generated";
    c.db = db;
    c.query = kGeneratedQuery;
    c.title = "Invoices";
    c.subTitle = "Benchmark";
    c.columns = {{26, "Invoice", "number", qor::frmtText, 0, false, 2},
                 {22, "Date", "date", qor::frmtText, 2, false, 0},
                 {60, "Customer", "customer", qor::frmtText, 0, true, 0},
                 {22, "City", "city", qor::frmtText, 0, false, 0},
                 {25, "Excl. VAT", "amount", qor::frmtAmount2, 1, false, 1},
                 {25, "Total", "total", qor::frmtAmount2, 1, false, 1}};
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QORPRINT_UNATTENDED", "1", 1);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const int n = std::atoi(argv[i]);
        if (n <= 0) Fail(std::string("not a record count: ") + argv[i]);
        sizes.push_back(n);
    }
    if (sizes.empty()) sizes = {10000, 100000};

    const fs::path dir = fs::temp_directory_path() / ("bench-report-xlsx-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::vector<Case> cases;
    const std::string sampleDb = (dir / "invoices.sqlite").string();
    MakeSampleDatabase(sampleDb);
    cases.push_back(SampleCase(sampleDb));
    for (int n : sizes) cases.push_back(GeneratedCase((dir / ("invoices-" + std::to_string(n) + ".sqlite")).string(), n));

    std::printf("clsRapport output mode 2 against libxlsxwriter (constant memory), same query\n");
    std::printf("%-17s %8s %4s | %8s %10s %8s %8s | %8s %8s %8s | %11s\n", "report", "records", "cols",
                "report s", "records/s", "peak MB", "xlsx MB", "lxw s", "peak MB", "xlsx MB", "time ratio");
    double goalSeconds = -1, goalMb = -1;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        if (i > 0) MakeGeneratedDatabase(c.db, sizes[i - 1]);
        const Result r = RunCase(c, dir);
        std::printf("%-17s %8d %4zu | %8.3f %10.0f %8.1f %8.2f | %8.3f %8.1f %8.2f | %10.2fx\n", c.name.c_str(),
                    r.records, c.columns.size(), r.lib.seconds, r.records / r.lib.seconds, r.lib.peakMb,
                    r.libMb, r.ref.seconds, r.ref.peakMb, r.refMb, r.lib.seconds / r.ref.seconds);
        std::fflush(stdout);
        if (i > 0 && r.records == 100000) {
            goalSeconds = r.lib.seconds;
            goalMb = r.lib.peakMb;
        }
        fs::remove(c.db);
    }
    std::printf("time ratio = report s / lxw s (1.00x: as fast as writing the cells directly)\n");
    std::printf("goal: 100,000 rows in under 3 s and under 150 MB\n");
    if (goalSeconds >= 0)
        std::printf("100,000 rows: %.3f s, %.1f MB peak: %s\n", goalSeconds, goalMb,
                    goalSeconds < 3 && goalMb < 150 ? "met" : "NOT met");
    fs::remove_all(dir);
    return 0;
}
