// Benchmarks of the data layer: decoding and adjusting bars, building period
// bars, and reading every day file of a market into the scan area (the floor
// the sector scan is measured against).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/file_formats.h"
#include "data/period_bars.h"
#include "data/startup.h"
#include "memory_stock.h"

namespace {

// A stock with the longest history the open-stock region holds, a yearly
// dividend and a bonus every third year.
bench::MemoryStock MakeLongStock() {
    std::vector<data::Bar> bars;
    data::ExRightsStock events{600000, {}};
    uint32_t y = 1983, m = 1, d = 3, close = 1000;
    for (size_t i = 0; i < data::kOpenStockBarCapacity; ++i) {
        uint32_t date = y * 10000 + m * 100 + d;
        close = 800 + (close * 7 + static_cast<uint32_t>(i)) % 900;
        bars.push_back({date, close - 5, close + 20, close - 20, close, 5000, 20000});
        if (m == 6 && d == 10) events.events.push_back({date, y % 3 == 0 ? 5.0f : 0, 1.5f, 0, 0});
        if (++d > 28) d = 1, m = m % 12 + 1, y += (m == 1);
    }
    return bench::MemoryStock(bars, events);
}

const bench::MemoryStock& Long() {
    static const bench::MemoryStock stock = MakeLongStock();
    return stock;
}

void BM_DecodeAndAdjustLongStock(benchmark::State& state) {
    const auto mode = static_cast<data::AdjustMode>(state.range(0));
    auto view = Long().View(mode);
    for (auto _ : state) {
        uint64_t sum = 0;
        for (size_t o = view.firstBar; o < view.end; o += view.width) sum += data::DecodeBar(view, o).close;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * view.BarCount()));
}
BENCHMARK(BM_DecodeAndAdjustLongStock)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_BuildPeriodBars(benchmark::State& state) {
    const auto period = static_cast<data::Period>(state.range(0));
    auto view = Long().View(data::AdjustMode::Forward);
    std::vector<uint32_t> out(data::kPeriodBarCapacity * 7);
    for (auto _ : state) benchmark::DoNotOptimize(data::BuildPeriodBars(view, period, out));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * view.BarCount()));
}
BENCHMARK(BM_BuildPeriodBars)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// Every stock of the demo market read into the scan area once.
void BM_LoadScanDayFileWholeMarket(benchmark::State& state) {
    const char* root = std::getenv("BKQY_BENCH_MARKET");
    if (!root) {
        state.SkipWithError("BKQY_BENCH_MARKET is not set (bench/run.sh sets it)");
        return;
    }
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState market;
    if (data::RunStartup(workspace, root, prompter, 0, market) != data::StartupOutcome::Ready) {
        state.SkipWithError("the market does not start");
        return;
    }
    data::CodeTable codes(workspace.CodeTableRegion());
    std::vector<uint32_t> stocks;
    for (size_t i = 0; i < codes.Count(); ++i) {
        uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (!data::IsIndexCode(code)) stocks.push_back(code);
    }
    data::ScanArea area{workspace.ScanAreaRegion()};
    for (auto _ : state) {
        uint64_t bars = 0;
        for (uint32_t code : stocks) {
            data::LoadScanDayFile(market.paths, code, area);
            bars += (area.lastBar - area.firstBar) / 5;
        }
        benchmark::DoNotOptimize(bars);
    }
    state.counters["stocks"] = static_cast<double>(stocks.size());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * stocks.size()));
}
BENCHMARK(BM_LoadScanDayFileWholeMarket)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

