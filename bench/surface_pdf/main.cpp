// Writes 200 A4 pages of 300 texts, 70 lines and 3 boxes each through the surface to a PDF
// file, and draws the same items with QPainter onto a QPdfWriter as the reference.
// Prints both times, their ratio, the file sizes and the time to paint one such page at
// screen resolution.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <qor/PagePainting.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>

namespace {

constexpr int kPages = 200, kTexts = 300, kLines = 70, kBoxes = 3;
constexpr double kMm = 1440.0 / 25.4;

struct Item {
    enum Kind { Text, Line, Box } kind;
    double x1, y1, x2, y2;
    std::string text;
    bool bold;
};

// One page of a ruled report: 50 rows of 6 cells, rules under every row and between the
// columns, a title box, a totals box and a frame.
std::vector<Item> PageItems(int page) {
    static const char* customers[] = {"Janssens NV", "Peeters & Zonen", "Maes BVBA", "Jacobs",
                                      "Mertens Logistics", "Willems", "Claes en Co", "Goossens"};
    std::vector<Item> items;
    const double left = 15 * kMm, top = 30 * kMm, row = 5 * kMm;
    const double cols[] = {15, 35, 85, 115, 145, 170};
    for (int r = 0; r < 50; ++r) {
        int n = page * 50 + r;
        char amount[32], vat[32], date[16], number[16];
        std::snprintf(number, sizeof number, "%06d", 100000 + n);
        std::snprintf(date, sizeof date, "%02d/%02d/2026", 1 + n % 28, 1 + n % 12);
        std::snprintf(amount, sizeof amount, "%d.%03d,%02d", (n * 37) % 90 + 1, (n * 7919) % 1000, n % 100);
        std::snprintf(vat, sizeof vat, "%d,%02d", (n * 13) % 900 + 10, (n * 3) % 100);
        const std::string cells[] = {number, customers[n % 8], date, amount, vat, n % 3 ? "paid" : "open"};
        for (int c = 0; c < 6; ++c)
            items.push_back({Item::Text, cols[c] * kMm, top + r * row + 0.8 * kMm, 0, 0, cells[c], c == 0});
    }
    for (int r = 0; r < 64; ++r)
        items.push_back({Item::Line, left, top + r * 4 * kMm, 195 * kMm, top + r * 4 * kMm, "", false});
    for (int c = 0; c < 6; ++c)
        items.push_back({Item::Line, (cols[c] - 1) * kMm, top, (cols[c] - 1) * kMm, top + 250 * kMm, "", false});
    items.push_back({Item::Box, left, 12 * kMm, 195 * kMm, 25 * kMm, "", false});
    items.push_back({Item::Box, 120 * kMm, 282 * kMm, 195 * kMm, 290 * kMm, "", false});
    items.push_back({Item::Box, 10 * kMm, 10 * kMm, 200 * kMm, 292 * kMm, "", false});
    return items;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// CPU time of this thread: on a busy machine wall time also counts other processes.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

long PeakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void Compose(qor::VSPrinter& p, const std::vector<std::vector<Item>>& pages) {
    p.PaperSize(9);
    p.StartDoc();
    p.Font().Name = "Arial";
    p.Font().Size = 9;
    p.PenWidth(10);
    p.BrushStyle(1);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i) p.NewPage();
        for (const Item& it : pages[i]) {
            switch (it.kind) {
            case Item::Text:
                p.Font().Bold = it.bold;
                p.CurrentX(it.x1);
                p.CurrentY(it.y1);
                p.Text(it.text);
                break;
            case Item::Line: p.DrawLine(it.x1, it.y1, it.x2, it.y2); break;
            case Item::Box: p.DrawRectangle(it.x1, it.y1, it.x2, it.y2); break;
            }
        }
    }
    p.EndDoc();
}

void Reference(const std::string& file, const std::vector<std::vector<Item>>& pages) {
    QPdfWriter writer(QString::fromStdString(file));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(1440);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    QFont regular("Arial");
    regular.setPixelSize(180);
    regular.setKerning(false);
    QFont bold = regular;
    bold.setBold(true);
    const double ascent = QFontMetricsF(regular).ascent();
    QPen pen(Qt::black);
    pen.setWidthF(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i) writer.newPage();
        for (const Item& it : pages[i]) {
            switch (it.kind) {
            case Item::Text:
                painter.setFont(it.bold ? bold : regular);
                painter.drawText(QPointF(it.x1, it.y1 + ascent), QString::fromStdString(it.text));
                break;
            case Item::Line: painter.drawLine(QPointF(it.x1, it.y1), QPointF(it.x2, it.y2)); break;
            case Item::Box: painter.drawRect(QRectF(it.x1, it.y1, it.x2 - it.x1, it.y2 - it.y1)); break;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string ours = dir + "/bench_surface_ours.pdf", ref = dir + "/bench_surface_qt.pdf";
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // "bench_surface_pdf N paint" only repeats the page painting (for a profiler).
    const bool paintOnly = argc > 2 && std::string(argv[2]) == "paint";

    std::vector<std::vector<Item>> pages;
    for (int i = 0; i < kPages; ++i) pages.push_back(PageItems(i));
    size_t items = 0;
    for (auto& p : pages) items += p.size();

    // Warm up fonts and caches once for both.
    {
        qor::VSPrinter warm;
        Compose(warm, {pages[0]});
        qor::VSPDF().ConvertDocument(warm, ours);
        Reference(ref, {pages[0]});
    }

    if (paintOnly) {
        qor::VSPrinter p;
        Compose(p, {PageItems(0)});
        QImage screen(794, 1123, QImage::Format_RGB32);
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        for (int r = 0; r < runs; ++r) {
            QPainter painter(&screen);
            qor::PaintPage(painter, p, 1, 96.0 / 1440.0);
        }
        std::printf("paint: %.2f ms a page (CPU %.2f ms)\n",
                    Seconds(std::chrono::steady_clock::now() - t0) * 1000 / runs,
                    (CpuSeconds() - c0) * 1000 / runs);
        return 0;
    }

    std::vector<double> compose, write, total, qt, cpuOurs, cpuQt;
    for (int r = 0; r < runs; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        qor::VSPrinter p;
        Compose(p, pages);
        auto t1 = std::chrono::steady_clock::now();
        qor::VSPDF().ConvertDocument(p, ours);
        auto t2 = std::chrono::steady_clock::now();
        compose.push_back(Seconds(t1 - t0));
        write.push_back(Seconds(t2 - t1));
        total.push_back(Seconds(t2 - t0));
        cpuOurs.push_back(CpuSeconds() - c0);
    }
    long rssOurs = PeakRssKb();
    for (int r = 0; r < runs; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        Reference(ref, pages);
        qt.push_back(Seconds(std::chrono::steady_clock::now() - t0));
        cpuQt.push_back(CpuSeconds() - c0);
    }
    long rssAll = PeakRssKb();

    // One dense page painted at screen resolution (96 dpi), as the preview does.
    qor::VSPrinter p;
    Compose(p, {pages[0]});
    QImage screen(794, 1123, QImage::Format_RGB32);
    std::vector<double> paint, paintCpu;
    for (int r = 0; r < 20; ++r) {
        QPainter painter(&screen);
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        qor::PaintPage(painter, p, 1, 96.0 / 1440.0);
        painter.end();
        paint.push_back(Seconds(std::chrono::steady_clock::now() - t0));
        paintCpu.push_back(CpuSeconds() - c0);
    }

    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double ourTotal = median(total), qtTotal = median(qt);
    const auto ourSize = std::filesystem::file_size(ours), qtSize = std::filesystem::file_size(ref);
    std::printf("pages %d, items %zu (%d texts, %d lines, %d boxes a page), medians of %d runs\n",
                kPages, items, kTexts, kLines, kBoxes, runs);
    std::printf("surface + own PDF writer: %.3f s (compose %.3f s, write %.3f s)\n", ourTotal,
                median(compose), median(write));
    std::printf("QPainter + QPdfWriter:    %.3f s\n", qtTotal);
    std::printf("speed-up:                 %.1f x (CPU time: ours %.3f s, reference %.3f s, %.1f x)\n",
                qtTotal / ourTotal, median(cpuOurs), median(cpuQt), median(cpuQt) / median(cpuOurs));
    std::printf("file size: ours %zu bytes (%.1f KB a page), reference %zu bytes (%.1f KB a page)\n",
                static_cast<size_t>(ourSize), ourSize / 1024.0 / kPages, static_cast<size_t>(qtSize),
                qtSize / 1024.0 / kPages);
    std::printf("peak RSS after ours: %ld KB, after reference: %ld KB\n", rssOurs, rssAll);
    std::printf("paint one dense page at 96 dpi: %.2f ms, CPU %.2f ms (medians of 20)\n",
                median(paint) * 1000, median(paintCpu) * 1000);
    std::filesystem::remove(ours);
    std::filesystem::remove(ref);
    return 0;
}
