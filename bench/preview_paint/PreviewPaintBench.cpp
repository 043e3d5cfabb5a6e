// The preview of the invoice report of bench_report_pdf (100,000 invoices by default):
// - how long from Init, and from the EndDoc call that opens the preview, to the first page
//   painted in the preview window;
// - a repaint of the shown page from the view's cache of rendered pages;
// - the time to render one page (what a new page or a new zoom costs: the view caches the
//   rendered pixmap per page and scale) at every zoom the preview offers: whole page and page
//   width in the window's view, and the 25 % grid from "50 %" to "250 %" (43.75 % up to
//   243.75 %). A frame at 60 Hz leaves 16 ms.
//
//   bench_preview_paint [--records N] [--pages K] [--repaints R]
//   default: 100000 records, 25 pages spread over the document, 50 repaints
#include <qor/GenServices.h>
#include <qor/PagePainting.h>
#include <qor/SqliteRecordset.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "support/Child.h"
#include "support/InvoiceReport.h"
#include "support/Invoices.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to = Clock::now()) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Notes when the page view of the preview window first finished painting.
class App : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        const bool viewPaint = event->type() == QEvent::Paint && firstPaint_ == nullptr && receiver->parent() &&
                               receiver->parent()->inherits("qor::preview::PageView");
        const bool result = QApplication::notify(receiver, event);
        if (viewPaint) {
            painted = Clock::now();
            firstPaint_ = static_cast<QWidget*>(receiver);
            QTimer::singleShot(0, this, [this] { AfterFirstPaint(); });
        }
        return result;
    }

    Clock::time_point painted{};
    int repaints = 50;
    double repaintMs = 0;
    int viewWidth = 0, viewHeight = 0, dpi = 96;

private:
    // Repaints of the shown page come from the view's cache; then the window is closed.
    void AfterFirstPaint() {
        viewWidth = firstPaint_->width();
        viewHeight = firstPaint_->height();
        dpi = firstPaint_->logicalDpiX();
        std::vector<double> times;
        for (int i = 0; i < repaints; ++i) {
            const auto t0 = Clock::now();
            firstPaint_->repaint();
            times.push_back(Ms(t0));
        }
        repaintMs = bench::Median(times);
        if (QWidget* window = QApplication::activeModalWidget()) window->close();
    }

    QWidget* firstPaint_ = nullptr;
};

// Median milliseconds to render each of `pages` into a fresh pixmap at `pixelsPerTwip`.
double PageRenderMs(const qor::VSPrinter& doc, const std::vector<int>& pages, double pixelsPerTwip) {
    std::vector<double> times;
    for (int page : pages) {
        const auto t0 = Clock::now();
        QPixmap pixmap(static_cast<int>(std::ceil(doc.PageWidthOf(page) * pixelsPerTwip)),
                       static_cast<int>(std::ceil(doc.PageHeightOf(page) * pixelsPerTwip)));
        pixmap.fill(Qt::white);
        {
            QPainter painter(&pixmap);
            qor::PaintPage(painter, doc, page, pixelsPerTwip);
        }
        times.push_back(Ms(t0));
    }
    return bench::Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    unsetenv("QORPRINT_UNATTENDED");
    int records = 100000, samplePages = 25, repaints = 50;
    for (int i = 1; i < argc; ++i) {
        int* target = std::strcmp(argv[i], "--records") == 0    ? &records
                      : std::strcmp(argv[i], "--pages") == 0    ? &samplePages
                      : std::strcmp(argv[i], "--repaints") == 0 ? &repaints
                                                                 : nullptr;
        if (target == nullptr || i + 1 >= argc || std::atoi(argv[i + 1]) < 1) {
            std::fprintf(stderr, "usage: bench_preview_paint [--records N] [--pages K] [--repaints R]\n");
            return 2;
        }
        *target = std::atoi(argv[++i]);
    }
    const fs::path dir = fs::temp_directory_path() / ("bench-preview-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string db = (dir / "invoices.sqlite").string();
    if (!bench::MakeInvoiceDatabase(db, records)) std::abort();

    App app(argc, argv);
    app.repaints = repaints;
    qor::GenServices().Unattended = false;
    qor::GenServices().Locale = "en_US";
    // Closes the window should it never paint.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* window = QApplication::activeModalWidget()) window->close();
    });
    watchdog.start(600000);

    qor::clsqorPrintLib lib;
    qor::clsRapport& r = lib.PrRapport();
    const auto start = Clock::now();
    bench::SetUpInvoiceReport(r, "", 1);
    r.SetRt(qor::SqliteRecordset::Open(db, bench::kInvoiceQuery));
    const auto endDoc = Clock::now();
    r.EndDoc();
    const double peakAfterPreview = bench::PeakMb();
    fs::remove_all(dir);
    if (app.painted == Clock::time_point{}) {
        std::fprintf(stderr, "bench_preview_paint: the preview window painted no page\n");
        return 1;
    }
    const qor::VSPrinter& doc = r.Document();
    const int pageCount = doc.PageCount();
    std::vector<int> pages;
    for (int i = 0; i < samplePages && i < pageCount; ++i)
        pages.push_back(1 + static_cast<int>(static_cast<long long>(i) * (pageCount - 1) / std::max(1, samplePages - 1)));

    std::printf("\n### Preview of the %d-invoice report (%d pages), view %d x %d px at %d dpi\n\n", records, pageCount,
                app.viewWidth, app.viewHeight, app.dpi);
    std::printf("| what | ms |\n|---|--:|\n");
    std::printf("| Init to first page painted in the preview | %.1f |\n", Ms(start, app.painted));
    std::printf("| EndDoc call (opens the preview) to first page painted | %.1f |\n", Ms(endDoc, app.painted));
    std::printf("| repaint of the shown page from the view's cache (median of %d) | %.3f |\n", repaints, app.repaintMs);
    std::printf("\nPeak resident memory with every page kept and the preview shown: %.1f MB\n", peakAfterPreview);

    // The zooms of the preview and the pixels per twip of each.
    const double width = doc.PageWidthOf(1), height = doc.PageHeightOf(1);
    struct Zoom {
        std::string label;
        double scale;
    };
    std::vector<Zoom> zooms = {{"whole page", std::min(app.viewWidth / width, app.viewHeight / height)},
                               {"page width", app.viewWidth / width}};
    for (double z = 43.75; z < 250; z += 25) {
        char label[48];
        std::snprintf(label, sizeof label, "%d %% (%.2f)", static_cast<int>(z + 7), z);
        zooms.push_back({label, z / 100.0 * app.dpi / 1440.0});
    }
    std::printf("\n| zoom | page px | render one page, median of %zu pages, ms | under 16 ms |\n|---|--:|--:|---|\n",
                pages.size());
    for (const Zoom& z : zooms) {
        const double ms = PageRenderMs(doc, pages, z.scale);
        std::printf("| %s | %.0f x %.0f | %.2f | %s |\n", z.label.c_str(), width * z.scale, height * z.scale, ms,
                    ms < 16 ? "yes" : "no");
    }
    return 0;
}
