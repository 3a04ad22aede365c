// Benchmarks of the commands built on many days' scans, on the full-size demo
// market: a 60-day rotation (aim: under a second) and a 250-day scorecard
// (aim: under three seconds), each from a cold start of its scans.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "sectors/rotation.h"
#include "sectors/scorecard.h"
#include "scan_market.h"

namespace {

// What each benchmark runs on: the started market's inputs, the hot-sector
// settings and the last `count` index days, oldest first.
struct Days {
    bench::ScanMarket& market;
    picking::MarketInputs inputs;
    sectors::ScanSettings settings;
    std::vector<uint32_t> dates;
};

Days LastDays(size_t count) {
    bench::ScanMarket& m = bench::SharedScanMarket();
    const picking::MarketInputs inputs = m.Inputs();
    return {m, inputs, m.HotSettings(), sectors::TradingDaysUpTo(inputs.index, UINT32_MAX, count)};
}

void BM_Rotation60Days(benchmark::State& state) {
    if (!bench::ScanMarketReady(state)) return;
    const Days d = LastDays(60);
    for (auto _ : state) {
        auto scan = std::make_unique<sectors::SectorScan>();
        std::vector<picking::PendingMessage> messages;
        const auto days = sectors::RunRotation(
            {d.inputs, d.market.library, d.settings, d.market.candidates}, *scan, d.dates, messages);
        benchmark::DoNotOptimize(days.data());
    }
}
BENCHMARK(BM_Rotation60Days)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The baseline: the same 60 days as 60 scans of their own, each reading
// every day file, as 60 runs of `scan --date` would.
void BM_Rotation60DaysEachScanAlone(benchmark::State& state) {
    if (!bench::ScanMarketReady(state)) return;
    const Days d = LastDays(60);
    for (auto _ : state) {
        for (const uint32_t date : d.dates) {
            auto scan = std::make_unique<sectors::SectorScan>();
            std::vector<picking::PendingMessage> messages;
            scan->Run(d.inputs, d.market.library, d.settings, d.market.candidates, date, messages);
            benchmark::DoNotOptimize(scan->Outcome().selected.data());
        }
    }
}
BENCHMARK(BM_Rotation60DaysEachScanAlone)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_Scorecard250Days(benchmark::State& state) {
    if (!bench::ScanMarketReady(state)) return;
    const Days d = LastDays(250);
    const std::vector<int> horizons = {1, 3, 5};
    for (auto _ : state) {
        auto scan = std::make_unique<sectors::SectorScan>();
        std::vector<picking::PendingMessage> messages;
        const auto card =
            sectors::RunScorecard({d.inputs, d.market.library, d.settings, d.market.candidates},
                                  *scan, d.dates, 5, horizons, messages);
        benchmark::DoNotOptimize(card.days.data());
    }
}
BENCHMARK(BM_Scorecard250Days)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
