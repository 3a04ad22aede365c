// Benchmarks of the indicator calculations: every line of every bar of the
// 10,000-bar chart stock, forward adjusted, for all the lower panel's
// indicators together and for each one alone. The chart adjusts a stock's
// bars once when it opens (chart::PreparedSeries) and computes from that
// copy: argument 0 does the same, preparing included; argument 1 computes
// from the day-file view with its adjuster, as a command on one security
// does. Beside them, the floor of decoding and adjusting every bar once.
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

size_t ComputeEveryPanelIndicator(const data::SeriesView& view) {
    size_t lines = 0;
    for (int index = 1; index <= indicators::kLastIndicator; ++index)
        lines += static_cast<size_t>(indicators::ComputeSeries(view, index,
                                                               indicators::StandardParams(index), 0,
                                                               view.BarCount() - 1)
                                         .lineCount);
    return lines;
}

void BM_AllPanelIndicatorsEveryBar(benchmark::State& state) {
    const data::SeriesView view = LongView();
    const bench::MemoryStock& stock = bench::LongChartStock();
    for (auto _ : state) {
        if (state.range(0) == 0) {
            chart::PreparedSeries prepared;
            prepared.Prepare(view, {&stock.exRights, view.adjuster.entry});
            benchmark::DoNotOptimize(ComputeEveryPanelIndicator(prepared.View()));
        } else {
            benchmark::DoNotOptimize(ComputeEveryPanelIndicator(view));
        }
    }
    state.SetLabel(state.range(0) == 0 ? "from the chart's adjusted copy"
                                       : "from the day-file view");
    state.counters["bars"] = static_cast<double>(view.BarCount());
}
BENCHMARK(BM_AllPanelIndicatorsEveryBar)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Argument: the indicator's index (1..17), from the chart's adjusted copy.
void BM_IndicatorEveryBar(benchmark::State& state) {
    const data::SeriesView view = LongView();
    chart::PreparedSeries prepared;
    prepared.Prepare(view, {&bench::LongChartStock().exRights, view.adjuster.entry});
    const int index = static_cast<int>(state.range(0));
    const indicators::IndicatorParams params = indicators::StandardParams(index);
    for (auto _ : state)
        benchmark::DoNotOptimize(indicators::ComputeSeries(prepared.View(), index, params, 0,
                                                           prepared.View().BarCount() - 1)
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
