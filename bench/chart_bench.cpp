// Benchmarks of the chart page on a stock with about 10,000 daily bars and
// yearly events, painted on the window's real canvas: a full redraw with each
// lower panel at zoom 4 and 15, and one crosshair move.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/qt_canvas.h"
#include "memory_stock.h"
#include "chart/chart_page.h"
#include "data/file_formats.h"
#include "indicators/indicator_state.h"

namespace {

const bench::MemoryStock& Long() { return bench::LongChartStock(); }

// A page showing the long stock at a zoom level with one lower panel.
struct PageAt {
    PageAt(int zoom, int indicator) {
        const auto view = Long().View(data::AdjustMode::Forward);
        page.SetSeries(view, {600000, "PF", false, 100000, 80000}, data::AdjustMode::Forward,
                       {&Long().exRights, view.adjuster.entry});
        for (int guard = 0; guard < 40 && page.Model().Zoom() != zoom; ++guard)
            page.Navigate(page.Model().Zoom() < zoom ? chart::NavButton::ZoomOut
                                                     : chart::NavButton::ZoomIn);
        if (page.Model().Zoom() != zoom)
            for (int guard = 0; guard < 40 && page.Model().Zoom() != zoom; ++guard)
                page.Navigate(page.Model().Zoom() < zoom ? chart::NavButton::ZoomIn
                                                         : chart::NavButton::ZoomOut);
        indicators.Select(indicator);
        page.Paint(canvas, indicators, ui::ThemeId::ClassicBlack);  // warm: indicator lines cached
    }
    chart::ChartPage page;
    indicators::IndicatorState indicators;
    app::QtCanvas canvas;
};

void BM_ChartFullRedraw(benchmark::State& state) {
    PageAt at(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (at.page.Model().Zoom() != state.range(0)) {
        state.SkipWithError("zoom level not reached");
        return;
    }
    for (auto _ : state) {
        at.page.Model().RequestFullRedraw();
        at.page.Paint(at.canvas, at.indicators, ui::ThemeId::ClassicBlack);
    }
}
BENCHMARK(BM_ChartFullRedraw)
    ->ArgsProduct({{4, 15}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}})
    ->Unit(benchmark::kMicrosecond);

void BM_ChartCrosshairMove(benchmark::State& state) {
    PageAt at(4, 4);
    int x = 300;
    for (auto _ : state) {
        x = x == 300 ? 301 : 300;
        at.page.MouseMove(x, 150);
        at.page.PaintCursor(at.canvas);
    }
}
BENCHMARK(BM_ChartCrosshairMove)->Unit(benchmark::kMicrosecond);

}  // namespace
