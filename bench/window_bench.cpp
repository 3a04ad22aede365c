// Benchmarks of the window and the drawing toolkit: start-up to the first
// paint on the demo market, a full help page, the button strip.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

#include "app/main_window.h"
#include "app/qt_canvas.h"
#include "base/recording_prompter.h"
#include "ui/button_strip.h"
#include "ui/help_pages.h"

namespace {

void BM_WindowStartupToFirstPaint(benchmark::State& state) {
    const char* root = std::getenv("BKQY_BENCH_MARKET");
    if (!root) {
        state.SkipWithError("BKQY_BENCH_MARKET is not set (bench/run.sh sets it)");
        return;
    }
    base::RecordingPrompter prompter;
    for (auto _ : state) {
        app::CMainDlg window(root, &prompter);
        if (!window.Initialise()) {
            state.SkipWithError("the window does not start");
            return;
        }
        window.show();
        QApplication::processEvents();  // the first paint
        benchmark::DoNotOptimize(window.Canvas().Image().constBits());
    }
}
BENCHMARK(BM_WindowStartupToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_DrawHelpPage(benchmark::State& state) {
    app::QtCanvas canvas;
    ui::MarkupLayout layout{};
    for (auto _ : state) ui::DrawHelpPage(canvas, ui::HelpTopic::General, 0, layout);
}
BENCHMARK(BM_DrawHelpPage)->Unit(benchmark::kMicrosecond);

void BM_DrawButtonStrip(benchmark::State& state) {
    app::QtCanvas canvas;
    ui::ButtonStrip strip = ui::MainStrip();
    strip.mask = ui::kSectorHomeMask;
    ui::ApplyMainStripMask(strip, 0);
    for (auto _ : state) ui::DrawButtonStrip(canvas, strip);
}
BENCHMARK(BM_DrawButtonStrip)->Unit(benchmark::kMicrosecond);

}  // namespace
