// Long-running process: many documents of mixed kinds made one after another, as a server or a
// batch job would, with the resident memory sampled every `--every` documents. After the
// first `--settle` documents (caches filled, fonts loaded) memory should stay flat; the run
// prints the curve and fails when a later sample is more than `--tolerance` percent above or
// below the sample taken at `--settle`.
//
//   bench_soak [--documents N] [--every N] [--settle N] [--tolerance PCT]
//   defaults: 5000 documents, a sample every 100, settled after 500, 5 %
//
// The kinds, in turn: an invoice report to PDF, a hand-drawn letter to PDF, a letter with
// rich text and a picture to PDF, the invoice report into a workbook, and a report that fails
// on an infinite amount (the error path must not keep anything). Languages and locales rotate.
#include <qor/GenServices.h>
#include <qor/Picture.h>
#include <qor/RtfText.h>
#include <qor/RuntimeError.h>
#include <qor/SqliteRecordset.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include "support/InvoiceReport.h"
#include "support/Invoices.h"

#include <QBuffer>
#include <QImage>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Options {
    int documents = 5000;
    int every = 100;
    int settle = 500;
    double tolerance = 5;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) {
            std::fprintf(stderr, "bench_soak: %s needs a value\n", arg.c_str());
            std::exit(2);
        }
        if (arg == "--documents") o.documents = std::atoi(value);
        else if (arg == "--every") o.every = std::atoi(value);
        else if (arg == "--settle") o.settle = std::atoi(value);
        else if (arg == "--tolerance") o.tolerance = std::atof(value);
        else {
            std::fprintf(stderr, "usage: bench_soak [--documents N] [--every N] [--settle N] [--tolerance PCT]\n");
            std::exit(2);
        }
        ++i;
    }
    if (o.documents <= 0 || o.every <= 0 || o.settle < 0 || o.settle > o.documents) {
        std::fprintf(stderr, "bench_soak: need documents > 0, every > 0, 0 <= settle <= documents\n");
        std::exit(2);
    }
    return o;
}

// Resident memory of this process now, in MB.
double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

const char* const kLocales[] = {"nl_BE", "fr_BE", "en_US"};
const int32_t kLanguages[] = {0, 10000, 20000};

void InvoiceReport(const std::string& db, const std::string& out, int16_t mode, int n) {
    qor::clsRapport r;
    bench::SetUpInvoiceReport(r, out, mode);
    const int rows = 100 + (n * 37) % 200;  // 2 to 6 pages
    r.SetRt(qor::SqliteRecordset::Open(db, std::string(bench::kInvoiceQuery) + " LIMIT " + std::to_string(rows)));
    r.EndDoc();
}

void Letter(qor::clsqorPrintLib& lib, const std::string& out, int n, const qor::Picture* picture) {
    using namespace qor;
    if (!lib.InitPrinter("", 3, 1, 1, 9, out)) return;
    lib.PrLine(0, 30, 190, 30, 15, 0x7D491F);
    lib.PrItem(110, 34, Variant("Personal"), frmtText, alignLeft, psCaps, "F");
    lib.T = 38;
    for (const char* line : {"Mrs A. Janssens", "Bondgenotenlaan 12", "3000 Leuven"})
        lib.PrItem(110, 0, Variant(line), frmtText, alignLeft);
    std::string reference = "Our reference: F2026-" + std::to_string(n) + " / yearly supply contract";
    lib.PrLeft(reference, 80.0f);
    lib.PrItem(0, 72, Variant(reference), frmtText, alignLeft);
    lib.PrBoxText(0, 86, 92, 130,
                  "Thank you for your order. All goods were delivered to your office, and we enclose "
                  "the invoice for the yearly supply contract below. The unit prices remain unchanged "
                  "for the whole of this year.",
                  true, alignLeft, psNormal, "", 10, 0x7D491F, 0xE0FFFF);
    lib.PrBox(0, 140, 190, 180);
    for (int row = 0; row < 5; ++row) {
        const float y = 142 + 7 * row;
        lib.PrItem(2, y, Variant("Item " + std::to_string(row + 1)), frmtText, alignLeft);
        lib.PrNbrDec = 2;
        lib.PrItem(130, y, Variant(12.5 * (row + 1) + n % 100), frmtNumberDec, alignRight);
        lib.PrItem(188, y, Variant(1234.5 * (row + 1)), frmtEuroSign2, alignRight);
    }
    lib.PrCheckBox(0, 190, n % 2 == 0 ? kChecked : kUnchecked);
    lib.PrCircle(165, 200, 11, 25, 0x1D1DC0);
    if (picture != nullptr) {
        lib.PrNewPage();
        lib.PrFrame(1, 0, 0, 190, 270, 0xE0FFFF);
        lib.PrRTF(RtfText("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 General terms: "
                          "{\\b payment} within {\\i thirty} days.\\par Second paragraph.\\par}"),
                  20, 10, 180);
        Picture copy = *picture;
        lib.PrPaintPicture(copy, 120, 60, 40, 20);
    }
    lib.PrEndDoc();
}

// A report over rows with an infinite amount: EndDoc fails on the second record.
void FailingReport(const std::string& out) {
    qor::clsRapport r;
    bench::SetUpInvoiceReport(r, out, 3);
    r.SetRt(std::make_shared<qor::MemoryRecordset>(
        std::vector<std::string>{"number", "date", "customer", "city", "amount", "total"},
        std::vector<std::vector<qor::Variant>>{
            {qor::Variant("F1"), qor::Variant("2026-01-01"), qor::Variant("Acme"), qor::Variant("Gent"),
             qor::Variant(10.0), qor::Variant(12.1)},
            {qor::Variant("F2"), qor::Variant("2026-01-02"), qor::Variant("Bolt"), qor::Variant("Gent"),
             qor::Variant(HUGE_VAL), qor::Variant(12.1)}}));
    try {
        r.EndDoc();
        std::fprintf(stderr, "bench_soak: the failing report did not fail\n");
        std::exit(1);
    } catch (const qor::RuntimeError&) {
    }
}

qor::Picture MakePicture() {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return qor::Picture::FromBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("qor-soak-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string db = (dir / "invoices.sqlite").string();
    if (!bench::MakeInvoiceDatabase(db, 1000)) {
        std::fprintf(stderr, "bench_soak: could not make %s\n", db.c_str());
        return 1;
    }
    qor::GenServices().Unattended = true;
    const qor::Picture picture = MakePicture();
    qor::clsqorPrintLib lib;

    const auto start = std::chrono::steady_clock::now();
    std::vector<std::pair<int, double>> samples{{0, ResidentMb()}};
    for (int n = 1; n <= o.documents; ++n) {
        const int language = (n / 5) % 3;
        lib.PrSetUpDLL(qor::Application{"bench_soak", dir.string()}, kLanguages[language]);
        qor::GenServices().Locale = kLocales[language];
        const std::string pdf = (dir / "out.pdf").string();
        const std::string xlsx = (dir / "out.xlsx").string();
        fs::remove(pdf);
        fs::remove(xlsx);
        switch (n % 5) {
            case 0: InvoiceReport(db, pdf, 3, n); break;
            case 1: Letter(lib, pdf, n, nullptr); break;
            case 2: Letter(lib, pdf, n, &picture); break;
            case 3: InvoiceReport(db, xlsx, 2, n); break;
            case 4: FailingReport(pdf); break;
        }
        // Every kind but the failing report leaves its file: a run that makes nothing proves nothing.
        const std::string& made = n % 5 == 3 ? xlsx : pdf;
        if (n % 5 != 4 && (!fs::exists(made) || fs::file_size(made) < 1000)) {
            std::fprintf(stderr, "bench_soak: document %d (kind %d) made no %s\n", n, n % 5, made.c_str());
            return 1;
        }
        if (n % o.every == 0) {
            samples.emplace_back(n, ResidentMb());
            std::fprintf(stderr, "\r%d documents, %.1f MB", n, samples.back().second);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "\n");
    fs::remove_all(dir);

    double base = 0, low = 1e300, high = 0;
    for (const auto& [n, mb] : samples) {
        if (n == o.settle || (base == 0 && n > o.settle)) base = mb;
        if (n >= o.settle && n > 0) {
            low = std::min(low, mb);
            high = std::max(high, mb);
        }
    }
    std::printf("| documents | resident MB |\n|--:|--:|\n");
    for (const auto& [n, mb] : samples) std::printf("| %d | %.1f |\n", n, mb);
    const double drift = base > 0 ? std::max(high - base, base - low) / base * 100 : 0;
    std::printf("\nAfter %d documents: %.1f MB; later samples %.1f to %.1f MB, at most %.1f %% from it "
                "(limit %.1f %%). Peak %.1f MB. %d documents in %.1f s.\n",
                o.settle, base, low, high, drift, o.tolerance, bench::PeakMb(), o.documents, seconds);
    return drift <= o.tolerance ? 0 : 1;
}
