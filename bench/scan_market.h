// The full-size demo market the sector benchmarks scan (BKQY_BENCH_MARKET,
// which bench/run.sh and the CI set), started once for the whole run: its
// code table, the candidates of the whole market and the sector library.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/evaluation.h"
#include "sectors/scan.h"

namespace bench {

struct ScanMarket {
    bool ready = false;
    data::Workspace workspace;
    data::MarketState state;
    std::unique_ptr<data::CodeTable> codes;
    std::vector<uint32_t> candidates;
    sectors::SectorLibrary library;

    ScanMarket() {
        const char* root = std::getenv("BKQY_BENCH_MARKET");
        if (!root) return;
        base::RecordingPrompter prompter;
        if (data::RunStartup(workspace, root, prompter, 0, state) != data::StartupOutcome::Ready)
            return;
        codes = std::make_unique<data::CodeTable>(workspace.CodeTableRegion());
        candidates = picking::SelectCandidates(*codes, picking::CandidateMarket::All);
        library = sectors::SectorLibrary(
            workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
        ready = true;
    }

    picking::MarketInputs Inputs() { return picking::MarketInputsOf(workspace, state, *codes); }

    // The hot-sector scan at 7.50 % with the library's weights.
    sectors::ScanSettings HotSettings() const {
        sectors::ScanSettings settings;
        settings.type = sectors::ScanType::Hot;
        settings.threshold = 750;
        settings.weights = sectors::RankWeights::FromLibrary(state.sectorHeader);
        return settings;
    }
};

inline ScanMarket& SharedScanMarket() {
    static ScanMarket market;
    return market;
}

// False, with the benchmark skipped and told why, when there is no market.
inline bool ScanMarketReady(benchmark::State& state) {
    if (SharedScanMarket().ready) return true;
    state.SkipWithError("BKQY_BENCH_MARKET is not set or does not start (bench/run.sh sets it)");
    return false;
}

}  // namespace bench
