// Benchmarks of the indicator calculations: every line of every bar of the
// 10,000-bar chart stock, forward adjusted, for all the lower panel's
// indicators together and for each one alone. The chart adjusts and decodes
// a stock's bars once when it opens (chart::PreparedSeries) and computes
// every indicator it shows from that: argument 0 does the same, with the
// preparation measured on its own beside it; argument 1 computes from the
// day-file view with its adjuster, as a command on one security does. Beside
// them, the floor of decoding and adjusting every bar once.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "chart/prepared_series.h"
#include "data/bars.h"
#include "indicators/calculations.h"
#include "indicators/catalogue.h"
#include "memory_stock.h"

namespace {

data::SeriesView LongView() {
    return bench::LongChartStock().View(data::AdjustMode::Forward);
}

template <class Bars>
size_t ComputeEveryPanelIndicator(const Bars& bars, size_t count) {
    size_t lines = 0;
    for (int index = 1; index <= indicators::kLastIndicator; ++index)
        lines += static_cast<size_t>(
            indicators::ComputeSeries(bars, index, indicators::StandardParams(index), 0, count - 1)
                .lineCount);
    return lines;
}

// Prepared in place: the prepared view points into the object's own copy.
void PrepareLongStock(chart::PreparedSeries& prepared) {
    const data::SeriesView view = LongView();
    prepared.Prepare(view, {&bench::LongChartStock().exRights, view.adjuster.entry});
}

void BM_AllPanelIndicatorsEveryBar(benchmark::State& state) {
    const data::SeriesView view = LongView();
    chart::PreparedSeries prepared;
    PrepareLongStock(prepared);
    for (auto _ : state) {
        if (state.range(0) == 0)
            benchmark::DoNotOptimize(ComputeEveryPanelIndicator(prepared.Bars(), prepared.Count()));
        else
            benchmark::DoNotOptimize(ComputeEveryPanelIndicator(view, view.BarCount()));
    }
    state.SetLabel(state.range(0) == 0 ? "from the chart's prepared series"
                                       : "from the day-file view");
    state.counters["bars"] = static_cast<double>(view.BarCount());
}
BENCHMARK(BM_AllPanelIndicatorsEveryBar)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the chart does once when it opens the stock, before any indicator.
void BM_PrepareChartSeries(benchmark::State& state) {
    chart::PreparedSeries prepared;
    for (auto _ : state) {
        PrepareLongStock(prepared);
        benchmark::DoNotOptimize(prepared.Count());
    }
}
BENCHMARK(BM_PrepareChartSeries)->Unit(benchmark::kMillisecond);

// Argument: the indicator's index (1..17), from the chart's prepared series.
void BM_IndicatorEveryBar(benchmark::State& state) {
    chart::PreparedSeries prepared;
    PrepareLongStock(prepared);
    const int index = static_cast<int>(state.range(0));
    const indicators::IndicatorParams params = indicators::StandardParams(index);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            indicators::ComputeSeries(prepared.Bars(), index, params, 0, prepared.Count() - 1)
                .count);
}
BENCHMARK(BM_IndicatorEveryBar)
    ->DenseRange(1, indicators::kLastIndicator)
    ->Unit(benchmark::kMicrosecond);

// The floor: every bar decoded and adjusted once.
void BM_DecodeEveryBarOnce(benchmark::State& state) {
    const data::SeriesView view = LongView();
    for (auto _ : state) {
        uint64_t sum = 0;
        for (size_t o = view.firstBar; o < view.end; o += view.width)
            sum += data::DecodeBar(view, o).close;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DecodeEveryBarOnce)->Unit(benchmark::kMicrosecond);

}  // namespace
