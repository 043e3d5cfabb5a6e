// How long a dense page takes to paint at the zooms of the preview: the work of a new page
// or a new zoom on screen. A frame at 60 Hz leaves 16 ms.
#include <qor/PagePainting.h>
#include <qor/VSPrinter.h>

#include <QApplication>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

// One A4 page of 300 texts, 70 lines and 3 boxes.
void MakeDensePage(qor::VSPrinter& s) {
    s.StartDoc();
    s.Font().Size = 8;
    for (int i = 0; i < 300; ++i) {
        s.CurrentX(600 + (i % 5) * 2200);
        s.CurrentY(900 + (i / 5) * 250);
        s.Text("Item " + std::to_string(i) + " 1.234,56 EUR");
    }
    for (int i = 0; i < 70; ++i) s.DrawLine(600, 880 + i * 220, 11300, 880 + i * 220);
    for (int i = 0; i < 3; ++i) s.DrawRectangle(600 + i * 3600, 16000, 3900 + i * 3600, 16500);
    s.EndDoc();
}

qor::VSPrinter& DensePage() {
    static qor::VSPrinter surface;
    if (surface.PageCount() == 0) MakeDensePage(surface);
    return surface;
}

// Zoom argument: 0 the whole page in a view 800 pixels high, else a percentage (50, 100,
// 250) of the page at 96 dpi.
void BM_PaintPage(benchmark::State& state) {
    qor::VSPrinter& page = DensePage();
    const double width = page.PageWidthOf(1), height = page.PageHeightOf(1);
    const double screen = 96.0 / 1440.0;
    const double scale = state.range(0) == 0 ? 780.0 / height
                                             : screen * static_cast<double>(state.range(0)) / 100.0;
    QPixmap target(static_cast<int>(std::ceil(width * scale)), static_cast<int>(std::ceil(height * scale)));
    for (auto _ : state) {
        QPainter painter(&target);
        qor::PaintPage(painter, page, 1, scale);
    }
}
BENCHMARK(BM_PaintPage)->Arg(0)->Arg(50)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
