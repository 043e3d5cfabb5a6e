// clsRapport from SQLite to a PDF file for 10,000 and 100,000 invoices of 6 columns, against
// the same texts and lines drawn with QPainter on a QPdfWriter. Every measurement runs in a
// child process of its own, so each peak resident size belongs to one run only.
//
//   bench_report_pdf [records ...]      default: 10000 100000
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

#include "support/Invoices.h"
#include <sys/wait.h>
#include <unistd.h>

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

struct Measure {
    double seconds = 0;
    double readSeconds = 0;  // reading every cell's text from SQLite, nothing drawn
    int pages = 0;
    double peakMb = 0;
    double fileMb = 0;
};

using bench::PeakMb;
using bench::kInvoiceQuery;

// The report: 6 columns filling the portrait line, a count and two sums in the totals band.
Measure RunReport(const std::string& db, const std::string& pdf) {
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
    r.Init("", 3, 1, 1, 9, pdf);
    r.Title = "Invoices";
    r.SubTitle = "Benchmark";
    r.FootNote = "qorPrintLib";
    r.SetCol(0, 26, "Invoice", "number", qor::frmtText, 0, false, "", false, 0, 0, -1, 2);
    r.SetCol(1, 22, "Date", "date", qor::frmtText, 2);
    r.SetCol(2, 60, "Customer", "customer", qor::frmtText, 0, false, "", true);
    r.SetCol(3, 22, "City", "city", qor::frmtText, 0);
    r.SetCol(4, 25, "Excl. VAT", "amount", qor::frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetCol(5, 25, "Total", "total", qor::frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
    r.SetRt(qor::SqliteRecordset::Open(db, kInvoiceQuery));
    r.EndDoc();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.pages = r.Document().PageCount();
    m.peakMb = PeakMb();
    m.fileMb = fs::exists(pdf) ? fs::file_size(pdf) / 1048576.0 : 0;
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
    auto X = [&](double v) { return (v + 5) * mm; };
    QFont normal("Arial");
    normal.setPointSizeF(9);
    QFont bold = normal;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSizeF(24);
    QFont caps = normal;
    caps.setPointSizeF(8);
    const double colX[] = {10, 36, 58, 118, 140, 165, 190};
    const int align[] = {0, 2, 0, 0, 1, 1};
    const char* captions[] = {"INVOICE", "DATE", "CUSTOMER", "CITY", "EXCL. VAT", "TOTAL"};
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    auto text = [&](double x, double y, const QString& s, int a, const QFont& f) {
        p.setFont(f);
        const QFontMetricsF fm(f);
        const double w = fm.horizontalAdvance(s);
        const double left = a == 0 ? X(x) : a == 1 ? X(x) - w : X(x) - w / 2;
        p.drawText(QPointF(left, X(y) + fm.ascent()), s);
    };
    auto cellX = [&](int c) {
        return align[c] == 0 ? colX[c] + 1 : align[c] == 1 ? colX[c + 1] - 1 : (colX[c] + colX[c + 1]) / 2;
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
            if (c > 0) p.drawLine(QPointF(X(colX[c]), X(24)), QPointF(X(colX[c]), X(274)));
            text(cellX(c), 25, captions[c], align[c], caps);
        }
        text(10, 276, locale.toString(QDate::currentDate(), QLocale::ShortFormat), 0, normal);
        text(100, 276, "qorPrintLib", 2, normal);
        text(190, 276, QString("Page %1").arg(page), 1, normal);
    };
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, kInvoiceQuery, -1, &st, nullptr);
    double y = 30.4, sumA = 0, sumT = 0;
    int count = 0;
    frame();
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < 6; ++c) {
            QString s;
            if (c >= 4) {
                const double v = sqlite3_column_double(st, c);
                (c == 4 ? sumA : sumT) += v;
                s = locale.toString(v, 'f', 2);
            } else {
                s = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            }
            text(cellX(c), y, s, align[c], normal);
        }
        ++count;
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(X(10), X(y + 3.7)), QPointF(X(190), X(y + 3.7)));
        y += 4;
        if (y >= 274) {
            frame();
            y = 30.4;
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    if (y + 4 > 274) frame();
    p.setPen(QPen(Qt::black, 10));
    p.drawRect(QRectF(X(10), X(266), 180 * mm, 8 * mm));
    text(15, 268, "TOTAL", 0, bold);
    text(cellX(0), 268, QString::number(count), 0, bold);
    text(cellX(4), 268, locale.toString(sumA, 'f', 2), 1, bold);
    text(cellX(5), 268, locale.toString(sumT, 'f', 2), 1, bold);
    p.end();
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.pages = page;
    m.peakMb = PeakMb();
    m.fileMb = fs::exists(pdf) ? fs::file_size(pdf) / 1048576.0 : 0;
    return m;
}

// Runs `fn` in a child process and returns what it measured.
template <typename Fn>
Measure InChild(Fn fn) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const Measure m = fn();
        if (write(fds[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    Measure m;
    const bool ok = read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_report_pdf: a measurement failed\n");
        std::exit(1);
    }
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QORPRINT_UNATTENDED", "1", 1);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};

    const fs::path dir = fs::temp_directory_path() / ("bench-report-pdf-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::printf("%9s | %8s %10s %8s %6s %8s %7s %7s | %8s %8s %7s | %7s\n", "records", "report s",
                "records/s", "pages/s", "pages", "peak MB", "PDF MB", "read s", "QPdf s",
                "peak MB", "PDF MB", "speed-up");
    for (int n : sizes) {
        const std::string db = (dir / ("invoices-" + std::to_string(n) + ".sqlite")).string();
        if (!bench::MakeInvoiceDatabase(db, n)) std::abort();
        const std::string pdf = (dir / "report.pdf").string();
        const std::string ref = (dir / "reference.pdf").string();
        const Measure a = InChild([&] { return RunReport(db, pdf); });
        const Measure b = InChild([&] { return RunReference(db, ref); });
        std::printf("%9d | %8.3f %10.0f %8.0f %6d %8.1f %7.2f %7.3f | %8.3f %8.1f %7.2f | %6.1fx\n", n,
                    a.seconds, n / a.seconds, a.pages / a.seconds, a.pages, a.peakMb, a.fileMb,
                    a.readSeconds, b.seconds, b.peakMb, b.fileMb, b.seconds / a.seconds);
        std::fflush(stdout);
    }
    fs::remove_all(dir);
    return 0;
}
