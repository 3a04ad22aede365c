// Benchmarks of the picking engine: a3 over every stock of the demo market,
// reading only the tail of each day file (what a run does) against reading
// whole files, whole runs of a3 beside a pattern, an indicator and a breadth
// condition, and a run at a simulation date far back.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/picking_run.h"

namespace {

struct BenchMarket {
    data::Workspace workspace;
    data::MarketState market;
    std::unique_ptr<data::CodeTable> codes;
    std::vector<uint32_t> candidates;
    picking::MarketInputs inputs;
    bool ready = false;
};

BenchMarket* Market(benchmark::State& state) {
    static BenchMarket* loaded = [] {
        auto* m = new BenchMarket;
        const char* root = std::getenv("BKQY_BENCH_MARKET");
        if (!root) return m;
        base::RecordingPrompter prompter;
        if (data::RunStartup(m->workspace, root, prompter, 0, m->market) !=
            data::StartupOutcome::Ready)
            return m;
        m->codes = std::make_unique<data::CodeTable>(m->workspace.CodeTableRegion());
        m->candidates = picking::SelectCandidates(*m->codes, picking::CandidateMarket::All);
        m->inputs = picking::MarketInputsOf(m->workspace, m->market, *m->codes);
        m->ready = true;
        return m;
    }();
    if (!loaded->ready) {
        state.SkipWithError(
            "BKQY_BENCH_MARKET is not set or does not start (bench/run.sh sets it)");
        return nullptr;
    }
    return loaded;
}

// Arg 0: a run as the window starts it (tail reads); 1: every file read whole.
void BM_PickA3WholeMarket(benchmark::State& state) {
    BenchMarket* m = Market(state);
    if (!m) return;
    const auto condition = picking::ReadMethodEntry("a3(1,5.00,9.00);");
    const bool whole = state.range(0) == 1;
    std::vector<uint32_t> scan(data::kScanAreaWords);
    size_t selected = 0;
    uint64_t bars = 0;
    for (auto _ : state) {
        picking::Evaluator evaluator(m->inputs, scan);
        evaluator.SetStockReading(whole ? picking::StockReading::Whole
                                        : picking::StockReading::Tail);
        evaluator.Begin(condition, data::kNoSimulationCutoff);
        selected = 0;
        for (uint32_t code : m->candidates)
            selected += evaluator.Evaluate(code).match == picking::Match::Pass;
        bars = evaluator.BarsRead();
        benchmark::DoNotOptimize(selected);
    }
    state.counters["stocks"] = static_cast<double>(m->candidates.size());
    state.counters["selected"] = static_cast<double>(selected);
    state.counters["bars_read"] = static_cast<double>(bars);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * m->candidates.size()));
}
BENCHMARK(BM_PickA3WholeMarket)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One whole run (as pick makes it) of a condition over every stock, the
// existing a3 beside a pattern (b31), the MACD condition (b26, which reads
// each file whole for its recursion) and the breadth condition b7.
void BM_PickRun(benchmark::State& state, const char* entry) {
    BenchMarket* m = Market(state);
    if (!m) return;
    picking::RunContext context;
    context.market = m->inputs;
    context.condition = picking::ReadMethodEntry(entry);
    context.candidates = m->candidates;
    std::vector<uint32_t> scan(data::kScanAreaWords);
    picking::RunCounters counters;
    std::vector<picking::PendingMessage> messages;
    size_t selected = 0;
    for (auto _ : state) {
        messages.clear();
        const auto results = picking::RunPicking(context, counters, scan, messages);
        selected = results.selected.size();
        benchmark::DoNotOptimize(selected);
    }
    state.counters["selected"] = static_cast<double>(selected);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * m->candidates.size()));
}
BENCHMARK_CAPTURE(BM_PickRun, a3, "a3(1,5.00,9.00);")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_PickRun, b31, "b31(20,10.00);")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_PickRun, b26, "b26(12,26,9);")->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_PickRun, b7, "b7(1,9.00,2.00);")->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The threaded run of the window, with a simulation date about a year back.
void BM_PickingRunSimulated(benchmark::State& state) {
    BenchMarket* m = Market(state);
    if (!m) return;
    const auto index = m->inputs.index;
    const uint32_t cutoff = data::BarDate(index, index.LastBar() - 250 * index.width);
    picking::RunContext context;
    context.market = m->inputs;
    context.condition = picking::ReadMethodEntry("a3(1,5.00,9.00);");
    context.candidates = m->candidates;
    context.cutoff = cutoff;
    base::RecordingPrompter prompter;
    picking::PickingRun run;
    for (auto _ : state) {
        run.Start(context, prompter);
        auto outcome = run.Finish(prompter);
        benchmark::DoNotOptimize(outcome);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * m->candidates.size()));
}
BENCHMARK(BM_PickingRunSimulated)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
