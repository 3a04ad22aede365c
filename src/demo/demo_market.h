// The demo market: a complete data root (day files, code table, ex-rights
// table, sector library, condition examples) simulated from a seed. The same
// options always give the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/result.h"
#include "demo/boards.h"

namespace demo {

inline constexpr uint32_t kMaxStocks = 9'000;
inline constexpr uint32_t kMaxYears = 30;
// Ex-rights dates are stored as YYMMDD and read back as 1980-2079: the market
// must lie inside that window.
inline constexpr uint32_t kEarliestStart = 19910101;
inline constexpr uint32_t kLatestEnd = 20791231;

// The file that marks a folder as a demo market, so that writing one again
// may replace it.
inline constexpr const char* kMarkerFile = ".bkqy-demo";

struct DemoOptions {
    std::string dataRoot;
    uint32_t stocks = 4'000;
    uint32_t years = 10;
    uint32_t endDate = 0;  // 0: the last weekday before today
    uint64_t seed = 1;
};

struct DemoSummary {
    uint32_t firstDate = 0;  // first trading day
    uint32_t lastDate = 0;
    uint32_t tradingDays = 0;
    uint32_t stocks = 0;
    std::array<uint32_t, kBoardCount> boardStocks{};  // by Board
    uint32_t stStocks = 0;
    uint32_t newListings = 0;
    uint64_t stockBars = 0;
    uint32_t sectors = 0;
    std::array<uint32_t, 7> sectorsByFamily{};  // [family], 1..6
    uint32_t exRightsEvents = 0;
    uint32_t exRightsStocks = 0;
    uint32_t filesWritten = 0;
    uint64_t bytesWritten = 0;
};

// The end date the options stand for: the given date or the last weekday
// before today, moved back to the last trading day on or before it.
uint32_t ResolveEndDate(uint32_t requested);

// Why the options cannot make a market; ok when they can.
base::Status CheckOptions(const DemoOptions& options);

// Writes the market below options.dataRoot. The folder must be absent,
// empty of files, or an earlier demo market (whose day files this one
// replaces). MKDAT/Inif2.DAT is left alone.
base::Result<DemoSummary> WriteDemoMarket(const DemoOptions& options);

}  // namespace demo
