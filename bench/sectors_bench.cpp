// Benchmarks of the sector scan: a hot-sector scan of the whole market beside
// the floor it is measured against (opening and closing every day file once)
// and reading every day file whole; the window's repeated scans from the tails
// it keeps; and the ranking alone.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/evaluation.h"
#include "picking/kept_tails.h"
#include "sectors/scan.h"
#include "scan_market.h"

namespace {

using bench::ScanMarket;

ScanMarket& Market() { return bench::SharedScanMarket(); }
bool Ready(benchmark::State& state) { return bench::ScanMarketReady(state); }
sectors::ScanSettings HotSettings() { return Market().HotSettings(); }

// Argument 0: every file read on the run's own thread; 1: with the read-ahead
// threads the window uses. Times are wall-clock, which is what the user waits.
void BM_SectorScanWholeMarket(benchmark::State& state) {
    if (!Ready(state)) return;
    ScanMarket& m = Market();
    const auto inputs = picking::MarketInputsOf(m.workspace, m.state, *m.codes);
    sectors::SectorScan scan;
    if (state.range(0) == 0) scan.SetReadAhead(std::nullopt);
    state.counters["threads"] = state.range(0) == 0 ? 0 : picking::TailPrefetch::DefaultThreads();
    for (auto _ : state) {
        std::vector<picking::PendingMessage> messages;
        scan.Run(inputs, m.library, HotSettings(), m.candidates, data::kNoSimulationCutoff,
                 messages);
        benchmark::DoNotOptimize(scan.Outcome().Result().SectorCount());
    }
    state.counters["stocks"] = static_cast<double>(m.candidates.size());
    state.counters["selected"] = static_cast<double>(scan.Outcome().selected.size());
    state.counters["sectors"] = static_cast<double>(scan.Outcome().ranking.sectors.size());
}
BENCHMARK(BM_SectorScanWholeMarket)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor: every candidate's day file opened and closed once.
void BM_OpenCloseEveryDayFile(benchmark::State& state) {
    if (!Ready(state)) return;
    ScanMarket& m = Market();
    for (auto _ : state) {
        size_t opened = 0;
        for (uint32_t code : m.candidates) {
            const int fd =
                ::open(data::DayFilePath(m.state.paths, code).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) ++opened, ::close(fd);
        }
        benchmark::DoNotOptimize(opened);
    }
}
BENCHMARK(BM_OpenCloseEveryDayFile)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadEveryDayFileWhole(benchmark::State& state) {
    if (!Ready(state)) return;
    ScanMarket& m = Market();
    std::vector<uint32_t> storage(data::kScanAreaWords, 0);
    data::ScanArea area{storage};
    for (auto _ : state) {
        size_t bars = 0;
        for (uint32_t code : m.candidates) {
            data::LoadScanDayFile(m.state.paths, code, area);
            bars += area.Loaded() ? (area.lastBar - area.firstBar) / 5 + 1 : 0;
        }
        benchmark::DoNotOptimize(bars);
    }
}
BENCHMARK(BM_ReadEveryDayFileWhole)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The ranking and the result of a hot-sector scan, from its accumulation.
void BM_RankSectors(benchmark::State& state) {
    if (!Ready(state)) return;
    ScanMarket& m = Market();
    const auto inputs = picking::MarketInputsOf(m.workspace, m.state, *m.codes);
    sectors::SectorScan scan;
    std::vector<picking::PendingMessage> messages;
    scan.Run(inputs, m.library, HotSettings(), m.candidates, data::kNoSimulationCutoff, messages);
    sectors::StockSectorIndex index;
    index.Follow(m.library);
    sectors::ScanAccumulator accumulator;
    for (const auto& stock : scan.Outcome().selected)
        accumulator.RecordSelectedStock(index, stock.code, static_cast<int32_t>(stock.value));
    std::vector<uint8_t> result(data::kScanResultBytes, 0);
    for (auto _ : state) {
        const sectors::Ranking ranking =
            sectors::RankSectors(accumulator, m.library, HotSettings());
        benchmark::DoNotOptimize(sectors::BuildScanResult(ranking, accumulator, m.library, result));
    }
    state.counters["sectors"] = static_cast<double>(accumulator.Hits().size());
    state.counters["moves"] = static_cast<double>(accumulator.MoveCount());
}
BENCHMARK(BM_RankSectors)->Unit(benchmark::kMicrosecond);

// The window's scans after its first: another type or threshold each time,
// served from the tails the first scan kept (argument 1), beside the same
// scans reading every file as the first one does (argument 0, with the
// read-ahead threads, as in the window).
void BM_RepeatedScanInWindow(benchmark::State& state) {
    if (!Ready(state)) return;
    ScanMarket& m = Market();
    const auto inputs = picking::MarketInputsOf(m.workspace, m.state, *m.codes);
    picking::KeptTails kept;
    sectors::SectorScan scan;
    if (state.range(0) == 1) scan.SetKeptTails(&kept);
    const struct {
        sectors::ScanType type;
        int32_t threshold;
    } scans[] = {{sectors::ScanType::Hot, 750},
                 {sectors::ScanType::Fall, 500},
                 {sectors::ScanType::Fund, 10},
                 {sectors::ScanType::Hot, 300}};
    std::vector<picking::PendingMessage> messages;
    scan.Run(inputs, m.library, HotSettings(), m.candidates, data::kNoSimulationCutoff, messages);
    size_t next = 0;
    uint64_t filesRead = 0;
    for (auto _ : state) {
        sectors::ScanSettings settings = HotSettings();
        settings.type = scans[next].type;
        settings.threshold = scans[next].threshold;
        next = (next + 1) % std::size(scans);
        messages.clear();
        filesRead +=
            scan.Run(inputs, m.library, settings, m.candidates, data::kNoSimulationCutoff, messages)
                .filesRead;
        benchmark::DoNotOptimize(scan.Outcome().Result().SectorCount());
    }
    state.SetLabel(state.range(0) == 1 ? "kept tails" : "every file read");
    state.counters["files_per_scan"] =
        static_cast<double>(filesRead) / static_cast<double>(state.iterations());
    state.counters["kept_tails"] = static_cast<double>(kept.Count());
}
BENCHMARK(BM_RepeatedScanInWindow)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
