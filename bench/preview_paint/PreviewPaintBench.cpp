// How long the page view takes to repaint a dense page: from its cache (scrolling, a
// window passing over it) and rendered afresh (a new page or zoom). A frame at 60 Hz
// leaves 16 ms.
#include <qor/VSPrinter.h>

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <string>

#include "preview/PageView.h"

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

struct Fixture {
    Fixture() {
        MakeDensePage(surface);
        view.resize(1000, 800);
        view.SetDocument(&surface);
        view.show();
    }
    // Paints the view's viewport as the screen would, into a buffer of its size.
    void Paint() { view.viewport()->render(&target); }

    qor::VSPrinter surface;
    qor::preview::PageView view;
    QPixmap target{1000, 800};
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void SetZoom(qor::preview::PageView& view, int64_t zoom) {
    if (zoom == 0)
        view.SetZoomMode(qor::preview::kZoomWholePage);
    else
        view.SetZoom(static_cast<double>(zoom) - 6.25);
}

// Zoom argument: 0 whole page, else the label percentage (50, 100, 250).
void BM_RepaintCached(benchmark::State& state) {
    Fixture& f = Shared();
    SetZoom(f.view, state.range(0));
    f.Paint();
    for (auto _ : state) f.Paint();
}
BENCHMARK(BM_RepaintCached)->Arg(0)->Arg(50)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_RepaintFresh(benchmark::State& state) {
    Fixture& f = Shared();
    SetZoom(f.view, state.range(0));
    for (auto _ : state) {
        f.view.Invalidate();
        f.Paint();
    }
}
BENCHMARK(BM_RepaintFresh)->Arg(0)->Arg(50)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
