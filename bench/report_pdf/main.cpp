// clsRapport from SQLite to a PDF file for 10,000 and 100,000 invoices of 6 columns, against
// the same texts and lines drawn with QPainter on a QPdfWriter and (when built with cairo and
// pango) with pango on a cairo PDF surface. The three run in turn, round after round; every
// run is a child process of its own, so each peak resident size belongs to one run only. The
// table gives the median wall time of each.
//
//   bench_report_pdf [--rounds N] [--keep DIR] [--outline COL] [records ...]
//   default: 5 rounds of 10000 and 100000; --keep leaves the databases and PDFs in DIR.
//   --outline COL measures the cost of bookmarks instead: each round runs our report without
//   them and with clsRapport::Outline = COL (2: the customer), no peers.
#include <qor/GenServices.h>
#include <qor/SqliteRecordset.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <sqlite3.h>

#include "Peers.h"
#include "support/Child.h"
#include "support/InvoiceReport.h"
#include "support/Invoices.h"

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
using bench::PeakMb;
using bench::kInvoiceQuery;
using namespace reportpdf;

double FileBytes(const std::string& file) {
    std::error_code ec;
    return static_cast<double>(fs::file_size(file, ec));
}

Measure RunReport(const std::string& db, const std::string& pdf, int outline = -1) {
    qor::GenServices().Unattended = true;
    qor::GenServices().Locale = "en_US";
    Measure m;

    // Reading alone, for the breakdown.
    auto t0 = Clock::now();
    {
        auto rs = qor::SqliteRecordset::Open(db, kInvoiceQuery);
        std::string text;
        while (!rs->IsEOF()) {
            for (int32_t f = 0; f < 6; ++f) rs->Text(f, text);
            rs->MoveNext();
        }
    }
    m.readSeconds = std::chrono::duration<double>(Clock::now() - t0).count();

    t0 = Clock::now();
    qor::clsqorPrintLib lib;
    qor::clsRapport& r = lib.PrRapport();
    bench::SetUpInvoiceReport(r, pdf);
    r.Outline = outline;
    r.SetRt(qor::SqliteRecordset::Open(db, kInvoiceQuery));
    r.EndDoc();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.pages = r.Document().PageCount();
    m.peakMb = PeakMb();
    m.fileBytes = FileBytes(pdf);
    return m;
}

// The same page content drawn directly: title box and texts, frame, captions, dividers, one
// line of six texts and a separator per record, foot lines, and the totals band.
Measure RunReference(const std::string& db, const std::string& pdf) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("bench"), nullptr};
    QGuiApplication app(argc, argv);
    Measure m;
    const auto t0 = Clock::now();
    QPdfWriter writer(QString::fromStdString(pdf));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(1440);
    QPainter p(&writer);
    const double mm = 1440 / 25.4;
    auto X = [&](double v) { return (v + kOffsetMm) * mm; };
    QFont normal("Arial");
    normal.setPointSizeF(9);
    QFont bold = normal;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSizeF(24);
    QFont caps = normal;
    caps.setPointSizeF(8);
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    auto text = [&](double x, double y, const QString& s, int a, const QFont& f) {
        p.setFont(f);
        const QFontMetricsF fm(f, &writer);  // metrics at the writer's 1440 dpi
        const double w = fm.horizontalAdvance(s);
        const double left = a == 0 ? X(x) : a == 1 ? X(x) - w : X(x) - w / 2;
        p.drawText(QPointF(left, X(y) + fm.ascent()), s);
    };
    int page = 0;
    auto frame = [&]() {
        if (page > 0) writer.newPage();
        ++page;
        p.fillRect(QRectF(X(10), X(5), 180 * mm, 13 * mm), QColor(0x0A, 0x24, 0x6A));
        p.setPen(QColor(0x79, 0xCD, 0x0D));
        text(15, 6, "Invoices", 0, title);
        p.setPen(Qt::white);
        text(185, 12, "Benchmark", 1, bold);
        p.setPen(QPen(Qt::black, 10));
        p.drawRect(QRectF(X(10), X(24), 180 * mm, 250 * mm));
        p.fillRect(QRectF(X(10), X(24), 180 * mm, 6 * mm), QColor(0xF0, 0xF0, 0xF0));
        for (int c = 0; c < 6; ++c) {
            if (c > 0) p.drawLine(QPointF(X(kColX[c]), X(24)), QPointF(X(kColX[c]), X(kFrameBottomMm)));
            text(CellX(c), 25, kCaptions[c], kAlign[c], caps);
        }
        text(10, 276, locale.toString(QDate::currentDate(), QLocale::ShortFormat), 0, normal);
        text(100, 276, "qorPrintLib", 2, normal);
        text(190, 276, QString("Page %1").arg(page), 1, normal);
    };
    const Totals t = WalkInvoices(db, frame, [&](sqlite3_stmt* st, double y) {
        for (int c = 0; c < 4; ++c)
            text(CellX(c), y, QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c))), kAlign[c],
                 normal);
        for (int c = 4; c < 6; ++c) text(CellX(c), y, locale.toString(sqlite3_column_double(st, c), 'f', 2), kAlign[c], normal);
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(X(10), X(y + 3.7)), QPointF(X(190), X(y + 3.7)));
    });
    p.setPen(QPen(Qt::black, 10));
    p.drawRect(QRectF(X(10), X(266), 180 * mm, 8 * mm));
    text(15, 268, "TOTAL", 0, bold);
    text(CellX(0), 268, QString::number(t.count), 0, bold);
    text(CellX(4), 268, locale.toString(t.amount, 'f', 2), 1, bold);
    text(CellX(5), 268, locale.toString(t.total, 'f', 2), 1, bold);
    p.end();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.pages = page;
    m.peakMb = PeakMb();
    m.fileBytes = FileBytes(pdf);
    return m;
}

// The medians of one size over every round.
struct Row {
    int records = 0;
    Measure ours, qt, cairo;
    bool hasCairo = false;
};

Measure Medians(const std::vector<Measure>& runs) {
    std::vector<double> seconds, read, peak;
    for (const Measure& m : runs) {
        seconds.push_back(m.seconds);
        read.push_back(m.readSeconds);
        peak.push_back(m.peakMb);
    }
    Measure m = runs.back();
    m.seconds = bench::Median(seconds);
    m.readSeconds = bench::Median(read);
    m.peakMb = bench::Median(peak);
    return m;
}

void PrintTable(const std::vector<Row>& rows, int rounds) {
    std::printf("\n### Report to PDF (median of %d interleaved rounds)\n\n", rounds);
    std::printf("| records | pages | ours s | Qt s | cairo s | fastest peer / ours | ours MB | Qt MB | cairo MB "
                "| ours PDF bytes/record | ours read s |\n");
    std::printf("|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n");
    for (const Row& r : rows) {
        const double fastest = r.hasCairo ? std::min(r.qt.seconds, r.cairo.seconds) : r.qt.seconds;
        char cairoS[32] = "n/a", cairoMb[32] = "n/a";
        if (r.hasCairo) {
            std::snprintf(cairoS, sizeof cairoS, "%.3f", r.cairo.seconds);
            std::snprintf(cairoMb, sizeof cairoMb, "%.1f", r.cairo.peakMb);
        }
        std::printf("| %d | %d | %.3f | %.3f | %s | %.2fx | %.1f | %.1f | %s | %.0f | %.3f |\n", r.records,
                    r.ours.pages, r.ours.seconds, r.qt.seconds, cairoS, fastest / r.ours.seconds, r.ours.peakMb,
                    r.qt.peakMb, cairoMb, r.ours.fileBytes / r.records, r.ours.readSeconds);
    }
    std::printf("\nPeer pages: ");
    for (const Row& r : rows)
        std::printf("%d records: Qt %d%s; ", r.records, r.qt.pages,
                    r.hasCairo ? (", cairo " + std::to_string(r.cairo.pages)).c_str() : "");
    std::printf("\nA ratio above 1 means ours is faster than the fastest peer.\n");
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QORPRINT_UNATTENDED", "1", 1);
    std::vector<int> sizes;
    int rounds = 5;
    std::string keep;
    int outline = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            keep = argv[++i];
        } else if (std::strcmp(argv[i], "--outline") == 0 && i + 1 < argc) {
            outline = std::atoi(argv[++i]);
        } else if (std::atoi(argv[i]) > 0) {
            sizes.push_back(std::atoi(argv[i]));
        } else {
            std::fprintf(stderr, "usage: bench_report_pdf [--rounds N] [--keep DIR] [--outline COL] [records ...]\n");
            return 2;
        }
    }
    if (sizes.empty()) sizes = {10000, 100000};
#ifdef QOR_BENCH_CAIRO
    const bool hasCairo = true;
#else
    const bool hasCairo = false;
#endif

    const fs::path dir =
        keep.empty() ? fs::temp_directory_path() / ("bench-report-pdf-" + std::to_string(getpid())) : fs::path(keep);
    fs::create_directories(dir);
    std::vector<Row> rows;
    for (int n : sizes) {
        const std::string db = (dir / ("invoices-" + std::to_string(n) + ".sqlite")).string();
        if (!bench::MakeInvoiceDatabase(db, n)) std::abort();
        const std::string tag = "-" + std::to_string(n) + ".pdf";
        const std::string pdf = (dir / ("report" + tag)).string();
        const std::string qtPdf = (dir / ("qt" + tag)).string();
        [[maybe_unused]] const std::string cairoPdf = (dir / ("cairo" + tag)).string();
        std::vector<Measure> ours, qt, cairo;
        if (outline >= 0) {
            std::vector<double> off, on;
            const std::string marked = (dir / ("outline" + tag)).string();
            for (int round = 1; round <= rounds; ++round) {
                off.push_back(bench::InChild("bench_report_pdf: the report", [&] { return RunReport(db, pdf); }).seconds);
                on.push_back(bench::InChild("bench_report_pdf: the report with bookmarks",
                                            [&] { return RunReport(db, marked, outline); }).seconds);
                std::fprintf(stderr, "%d records, round %d/%d: %.3f s, with bookmarks %.3f s\n", n, round, rounds,
                             off.back(), on.back());
            }
            const double a = bench::Median(off), b = bench::Median(on);
            std::printf("%d records, median of %d interleaved rounds: %.3f s, with Outline = %d %.3f s (%+.1f %%), "
                        "PDF %.0f / %.0f bytes\n",
                        n, rounds, a, outline, b, 100 * (b / a - 1), FileBytes(pdf), FileBytes(marked));
            continue;
        }
        for (int round = 1; round <= rounds; ++round) {
            ours.push_back(bench::InChild("bench_report_pdf: the report", [&] { return RunReport(db, pdf); }));
            qt.push_back(bench::InChild("bench_report_pdf: the Qt peer", [&] { return RunReference(db, qtPdf); }));
#ifdef QOR_BENCH_CAIRO
            cairo.push_back(bench::InChild("bench_report_pdf: the cairo peer", [&] { return RunCairoReference(db, cairoPdf); }));
#endif
            std::fprintf(stderr, "%d records, round %d/%d: ours %.3f s, Qt %.3f s", n, round, rounds,
                         ours.back().seconds, qt.back().seconds);
            if (hasCairo) std::fprintf(stderr, ", cairo %.3f s", cairo.back().seconds);
            std::fprintf(stderr, "\n");
        }
        Row row;
        row.records = n;
        row.ours = Medians(ours);
        row.qt = Medians(qt);
        row.hasCairo = hasCairo;
        if (hasCairo) row.cairo = Medians(cairo);
        rows.push_back(row);
    }
    if (outline < 0) PrintTable(rows, rounds);
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
