// Benchmarks of the commands built on many days' scans, on the full-size demo
// market: a 60-day rotation (aim: under a second) and a 250-day scorecard
// (aim: under three seconds), each from a cold start of its scans.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "sectors/rotation.h"
#include "sectors/scorecard.h"

namespace {

struct DaysMarket {
    bool ready = false;
    data::Workspace workspace;
    data::MarketState state;
    std::unique_ptr<data::CodeTable> codes;
    std::vector<uint32_t> candidates;
    sectors::SectorLibrary library;
    picking::MarketInputs inputs;
    sectors::ScanSettings settings;

    DaysMarket() {
        const char* root = std::getenv("BKQY_BENCH_MARKET");
        if (!root) return;
        base::RecordingPrompter prompter;
        if (data::RunStartup(workspace, root, prompter, 0, state) != data::StartupOutcome::Ready)
            return;
        codes = std::make_unique<data::CodeTable>(workspace.CodeTableRegion());
        candidates = picking::SelectCandidates(*codes, picking::CandidateMarket::All);
        library = sectors::SectorLibrary(
            workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
        inputs = picking::MarketInputsOf(workspace, state, *codes);
        settings = {sectors::ScanType::Hot, 750,
                    sectors::RankWeights::FromLibrary(state.sectorHeader)};
        ready = true;
    }

    std::vector<uint32_t> LastDays(size_t count) const {
        return sectors::TradingDaysUpTo(inputs.index, UINT32_MAX, count);
    }
};

DaysMarket& Market() {
    static DaysMarket market;
    return market;
}

bool Ready(benchmark::State& state) {
    if (Market().ready) return true;
    state.SkipWithError("BKQY_BENCH_MARKET is not set or does not start (bench/run.sh sets it)");
    return false;
}

void BM_Rotation60Days(benchmark::State& state) {
    if (!Ready(state)) return;
    DaysMarket& m = Market();
    const auto dates = m.LastDays(60);
    for (auto _ : state) {
        auto scan = std::make_unique<sectors::SectorScan>();
        std::vector<picking::PendingMessage> messages;
        const auto days =
            sectors::RunRotation({m.inputs, m.library, m.settings, m.candidates}, *scan, dates,
                                 messages);
        benchmark::DoNotOptimize(days.data());
    }
}
BENCHMARK(BM_Rotation60Days)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The baseline: the same 60 days as 60 scans of their own, each reading
// every day file, as 60 runs of `scan --date` would.
void BM_Rotation60DaysEachScanAlone(benchmark::State& state) {
    if (!Ready(state)) return;
    DaysMarket& m = Market();
    const auto dates = m.LastDays(60);
    for (auto _ : state) {
        for (const uint32_t date : dates) {
            auto scan = std::make_unique<sectors::SectorScan>();
            std::vector<picking::PendingMessage> messages;
            scan->Run(m.inputs, m.library, m.settings, m.candidates, date, messages);
            benchmark::DoNotOptimize(scan->Outcome().selected.data());
        }
    }
}
BENCHMARK(BM_Rotation60DaysEachScanAlone)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_Scorecard250Days(benchmark::State& state) {
    if (!Ready(state)) return;
    DaysMarket& m = Market();
    const auto dates = m.LastDays(250);
    const std::vector<int> horizons = {1, 3, 5};
    for (auto _ : state) {
        auto scan = std::make_unique<sectors::SectorScan>();
        std::vector<picking::PendingMessage> messages;
        const auto card = sectors::RunScorecard({m.inputs, m.library, m.settings, m.candidates},
                                                *scan, dates, 5, horizons, messages);
        benchmark::DoNotOptimize(card.days.data());
    }
}
BENCHMARK(BM_Scorecard250Days)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
