// Benchmarks of the data layer: decoding and adjusting bars, building period
// bars, reading every day file of a market into the scan area (the floor the
// sector scan is measured against), start-up alone, and finding every stock's
// ex-rights entry.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/capacities.h"
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

const char* MarketRoot(benchmark::State& state) {
    const char* root = std::getenv("BKQY_BENCH_MARKET");
    if (!root) state.SkipWithError("BKQY_BENCH_MARKET is not set (bench/run.sh sets it)");
    return root;
}

// Start-up from nothing to a ready market, buffers included, as each command
// of the command line pays it (argument 0: the tables a scan reads) and the
// window (1: everything); beside it (2) the floor: the same table files and
// the market index read whole into buffers that already exist.
void BM_StartupOnly(benchmark::State& state) {
    const char* root = MarketRoot(state);
    if (!root) return;
    base::RecordingPrompter prompter;
    const data::DataPaths paths = data::BuildDataPaths(root);
    if (state.range(0) == 2) {
        const std::string files[] = {paths.codeTable, paths.exRights, paths.sectorLibrary,
                                     paths.shFolder + "999999.day"};
        std::vector<uint8_t> buffer(size_t{4} << 20);
        for (auto _ : state)
            for (const std::string& file : files)
                benchmark::DoNotOptimize(base::ReadFileInto(file, buffer).ok());
        state.SetLabel("the files read whole");
        return;
    }
    const data::StartupParts parts = state.range(0) == 0 ? data::kAnalysisParts : data::kEveryPart;
    for (auto _ : state) {
        data::Workspace workspace;
        data::MarketState market;
        if (data::RunStartup(workspace, root, prompter, 0, market, parts) !=
            data::StartupOutcome::Ready) {
            state.SkipWithError("the market does not start");
            return;
        }
        benchmark::DoNotOptimize(market.index.lastDate);
    }
    state.SetLabel(state.range(0) == 0 ? "a scan's tables" : "everything");
}
BENCHMARK(BM_StartupOnly)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The entry of every stock of the market in its ex-rights table: the table's
// lookup (argument 1: the view made, its keys sorted, then every stock found)
// beside a walk over the table for each stock (0, the lookup it replaced).
void BM_ExRightsLookupWholeMarket(benchmark::State& state) {
    const char* root = MarketRoot(state);
    if (!root) return;
    const data::DataPaths paths = data::BuildDataPaths(root);
    const auto table = base::ReadWholeFile(paths.exRights, data::kExRightsBufferBytes);
    const auto codeBytes = base::ReadWholeFile(paths.codeTable, data::kCodeTableWords * 4);
    if (!table || !codeBytes) {
        state.SkipWithError("the market has no ex-rights or code table");
        return;
    }
    std::vector<uint32_t> codeWords(codeBytes->size() / 4);
    for (size_t i = 0; i < codeWords.size(); ++i)
        codeWords[i] = base::ReadU32(codeBytes->data() + 4 * i);
    const data::CodeTable codes(codeWords);
    std::vector<uint32_t> stocks;
    for (size_t i = 0; i < codes.Count(); ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (!data::IsIndexCode(code)) stocks.push_back(code);
    }
    const data::ExRightsTable view(*table);
    size_t found = 0;
    if (state.range(0) == 0) {
        const auto walk = [&](uint32_t code) -> size_t {
            const float wanted = static_cast<float>(code) + data::kExRightsCodeBias;
            for (size_t r = 1; r <= view.RecordCount(); ++r)
                if (base::ReadF32(table->data() + r * data::kExRightsRecordBytes) == wanted)
                    return r * data::kExRightsRecordFloats;
            return 0;
        };
        for (auto _ : state) {
            found = 0;
            for (uint32_t code : stocks) found += walk(code) != 0;
            benchmark::DoNotOptimize(found);
        }
    } else {
        for (auto _ : state) {
            const data::ExRightsTable made(*table);
            found = 0;
            for (uint32_t code : stocks) found += made.FindEntry(code) != 0;
            benchmark::DoNotOptimize(found);
        }
    }
    state.SetLabel(state.range(0) == 0 ? "a walk per stock" : "sorted keys");
    state.counters["stocks"] = static_cast<double>(stocks.size());
    state.counters["with_events"] = static_cast<double>(found);
    state.counters["records"] = static_cast<double>(view.RecordCount());
}
BENCHMARK(BM_ExRightsLookupWholeMarket)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
