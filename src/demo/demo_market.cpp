#include "demo/demo_market.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "base/dates.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "data/file_formats.h"
#include "data/paths.h"
#include "data/sector_library_file.h"
#include "demo/calendar.h"
#include "demo/examples_file.h"
#include "demo/factors.h"
#include "demo/index_builder.h"
#include "demo/market_folder.h"
#include "demo/market_tables.h"
#include "demo/stock_sim.h"
#include "demo/universe.h"

namespace demo {
namespace {

// Stocks are simulated and written in parallel; every stock has its own
// random stream and index sums are integers, so the bytes never depend on
// the number of workers.
constexpr unsigned kMaxWorkers = 4;

struct StockResult {
    std::vector<data::ExRightsEvent> events;
    FinalShares shares;
    uint32_t bars = 0;
    uint64_t bytes = 0;
    std::string error;
};

base::Status WriteBytes(const std::string& path, std::span<const uint8_t> bytes,
                        DemoSummary& summary) {
    if (auto s = base::WriteFileAtomic(path, bytes, base::Durability::NoFlush); !s) return s;
    ++summary.filesWritten;
    summary.bytesWritten += bytes.size();
    return {};
}

std::string MarkerText(const DemoOptions& o, uint32_t end) {
    return "bkqy demo market\nstocks " + std::to_string(o.stocks) + "\nyears " +
           std::to_string(o.years) + "\nend " + std::to_string(end) + "\nseed " +
           std::to_string(o.seed) + "\n";
}

}  // namespace

uint32_t ResolveEndDate(uint32_t requested) {
    const uint32_t date = requested != 0 ? requested : LastWeekdayBefore(TodayLocal());
    return LastTradingDayOnOrBefore(date);
}

base::Status CheckOptions(const DemoOptions& o) {
    if (o.dataRoot.empty()) return base::Error{"no data folder given"};
    if (o.stocks == 0 || o.stocks > kMaxStocks)
        return base::Error{"the number of stocks must be 1 to " + std::to_string(kMaxStocks) +
                           ", not " + std::to_string(o.stocks)};
    if (o.years == 0 || o.years > kMaxYears)
        return base::Error{"the number of years must be 1 to " + std::to_string(kMaxYears) +
                           ", not " + std::to_string(o.years)};
    if (o.endDate != 0 && !base::IsValidDate(o.endDate))
        return base::Error{"the end date " + std::to_string(o.endDate) +
                           " is not a valid YYYYMMDD date"};
    const uint32_t end = ResolveEndDate(o.endDate);
    if (end > kLatestEnd || YearsBefore(end, o.years) < kEarliestStart)
        return base::Error{"the demo market must lie between " + std::to_string(kEarliestStart) +
                           " and " + std::to_string(kLatestEnd) + "; it would run from " +
                           std::to_string(YearsBefore(end, o.years)) + " to " +
                           std::to_string(end)};
    const uint32_t capacity = StockCapacity(TradingDays(YearsBefore(end, o.years), end));
    if (o.stocks > capacity)
        return base::Error{"the boards open by " + std::to_string(end) +
                           " have codes for at most " + std::to_string(capacity) + " stocks, not " +
                           std::to_string(o.stocks)};
    return {};
}

base::Result<DemoSummary> WriteDemoMarket(const DemoOptions& options) {
    if (auto s = CheckOptions(options); !s) return base::Error{s.error()};
    const uint32_t end = ResolveEndDate(options.endDate);
    const std::vector<uint32_t> calendar = TradingDays(YearsBefore(end, options.years), end);
    const uint32_t days = static_cast<uint32_t>(calendar.size());
    const data::DataPaths paths = data::BuildDataPaths(options.dataRoot);
    if (auto s = PrepareMarketFolder(paths, MarkerText(options, end)); !s)
        return base::Error{s.error()};

    const Universe universe = BuildUniverse(calendar, options.stocks, options.seed);
    const Factors factors = BuildFactors(universe, days, options.seed);
    const EventBudget budget = EventBudgetFor(
        options.stocks, options.years,
        static_cast<uint32_t>(data::kExRightsBufferBytes / data::kExRightsRecordBytes));

    // Stocks: simulate, write the day file, keep what the tables need.
    const size_t stockCount = universe.stocks.size();
    std::vector<StockResult> results(stockCount);
    const unsigned workers =
        std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, kMaxWorkers);
    std::vector<IndexAccumulator> sums(workers, IndexAccumulator(days));
    std::atomic<size_t> next{0};
    auto work = [&](unsigned w) {
        SimulatedStock sim;
        while (true) {
            const size_t i = next.fetch_add(1);
            if (i >= stockCount) break;
            const StockSpec& stock = universe.stocks[i];
            SimulateStock(stock, universe, factors, calendar, budget, options.seed, sim);
            sums[w].Add(stock.board, sim.bars, sim.info);
            const auto bytes = data::EncodeDayFile(stock.code, sim.bars);
            StockResult& r = results[i];
            if (auto s = base::WriteFileAtomic(data::DayFilePath(paths, stock.code), bytes,
                                               base::Durability::NoFlush);
                !s)
                r.error = s.error();
            r.events = std::move(sim.events);
            r.shares = {sim.totalShares, sim.floatShares};
            r.bars = static_cast<uint32_t>(sim.bars.size());
            r.bytes = bytes.size();
        }
    };
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) threads.emplace_back(work, w);
    work(0);
    for (std::thread& t : threads) t.join();

    DemoSummary summary;
    summary.firstDate = calendar.front();
    summary.lastDate = calendar.back();
    summary.tradingDays = days;
    summary.stocks = static_cast<uint32_t>(stockCount);
    for (size_t i = 0; i < stockCount; ++i) {
        const StockSpec& s = universe.stocks[i];
        if (!results[i].error.empty()) return base::Error{results[i].error};
        ++summary.boardStocks[static_cast<size_t>(s.board)];
        summary.stStocks += s.st;
        summary.newListings += !s.preExisting;
        summary.stockBars += results[i].bars;
        ++summary.filesWritten;
        summary.bytesWritten += results[i].bytes;
    }

    // Indices.
    for (unsigned w = 1; w < workers; ++w) sums[0].Merge(sums[w]);
    for (size_t k = 0; k < kIndexCount; ++k) {
        const auto index = static_cast<MarketIndex>(k);
        const auto bars = BuildIndexBars(sums[0], index, calendar);
        const uint32_t code = IndexCode(index);
        if (auto s = WriteBytes(data::DayFilePath(paths, code), data::EncodeDayFile(code, bars),
                                summary);
            !s)
            return base::Error{s.error()};
    }

    // Code table.
    std::vector<FinalShares> shares;
    shares.reserve(stockCount);
    for (const StockResult& r : results) shares.push_back(r.shares);
    const auto entries = CodeEntries(universe, shares);
    if (auto s = WriteBytes(paths.codeTable, data::EncodeCodeTable(end, entries), summary); !s)
        return base::Error{s.error()};

    // Ex-rights table.
    std::vector<data::ExRightsStock> exRights;
    for (size_t i = 0; i < stockCount; ++i) {
        if (results[i].events.empty()) continue;
        summary.exRightsEvents += static_cast<uint32_t>(results[i].events.size());
        exRights.push_back({universe.stocks[i].code, std::move(results[i].events)});
    }
    summary.exRightsStocks = static_cast<uint32_t>(exRights.size());
    const auto exRightsBytes = data::EncodeExRightsTable(end, exRights);
    if (exRightsBytes.size() > data::kExRightsBufferBytes)
        return base::Error{"the ex-rights table would take " +
                           std::to_string(exRightsBytes.size()) +
                           " bytes, more than its buffer holds"};
    if (auto s = WriteBytes(paths.exRights, exRightsBytes, summary); !s)
        return base::Error{s.error()};

    // Sector library.
    const auto records = SectorRecords(universe);
    const auto library = data::EncodeSectorLibrary(end, {}, records);
    if (library.size() > data::kSectorLibraryReadBytes)
        return base::Error{"the sector library would take " + std::to_string(library.size()) +
                           " bytes, more than is read of it"};
    if (auto s = WriteBytes(paths.sectorLibrary, library, summary); !s)
        return base::Error{s.error()};
    for (const SectorSpec& s : universe.sectors) ++summary.sectorsByFamily[s.family];
    summary.sectors = static_cast<uint32_t>(universe.sectors.size());

    // Condition examples.
    const auto examples = PickExamples(sums[0], calendar);
    const std::string text = ExamplesText(examples);
    const std::span<const uint8_t> textBytes(reinterpret_cast<const uint8_t*>(text.data()),
                                             text.size());
    if (auto s = WriteBytes(paths.examples, textBytes, summary); !s) return base::Error{s.error()};

    std::vector<uint32_t> codes;
    for (const data::CodeEntry& e : entries) codes.push_back(e.code);
    if (auto s = RemoveStaleDayFiles(paths, codes); !s) return base::Error{s.error()};
    return summary;
}

}  // namespace demo
