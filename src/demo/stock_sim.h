// One stock's daily bars over the calendar, with its ex-rights events: the
// listing (an issue-day jump and a run of one-price limit-up days),
// suspensions, daily limits and the raw price gap on ex-dates.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "data/bars.h"
#include "data/ex_rights.h"
#include "demo/factors.h"
#include "demo/universe.h"

namespace demo {

// How many ex-rights events a stock may have, so that the whole table keeps
// within its buffer.
struct EventBudget {
    uint32_t perStock = 0;      // hard cap per stock
    uint32_t reserve = 0;       // of the cap, kept for bonus issues that hold the price in range
    uint32_t ratePerMille = 0;  // scales the yearly chances of ordinary events
};

// The budget for a market: with at most perStock events per stock the table
// (a header, one record per stock with events, one per event) never exceeds
// maxRecords records.
EventBudget EventBudgetFor(uint32_t stocks, uint32_t years, uint32_t maxRecords);

// What the index builder needs besides the bar.
struct BarInfo {
    uint32_t day = 0;  // calendar index
    // Previous close or ex-rights reference; 0 on the listing day and its
    // one-price run, which keeps a new stock out of index returns until it
    // trades freely.
    uint32_t reference = 0;
    uint32_t totalShares = 0;  // 10,000 shares on that day
    uint32_t floatShares = 0;
};

struct SimulatedStock {
    std::vector<data::Bar> bars;
    std::vector<BarInfo> info;  // one per bar
    std::vector<data::ExRightsEvent> events;
    uint32_t totalShares = 0;  // at the end
    uint32_t floatShares = 0;

    void Clear() {
        bars.clear();
        info.clear();
        events.clear();
    }
};

// The highest close the simulation lets a stock reach, in cents: a 20 % limit
// above it still fits the 16-bit price of a day file.
inline constexpr uint32_t kHighestClose = 54'000;
// Closes are held at or above this where the limits allow.
inline constexpr uint32_t kLowestClose = 100;

void SimulateStock(const StockSpec& stock, const Universe& universe, const Factors& factors,
                   std::span<const uint32_t> calendar, const EventBudget& budget, uint64_t seed,
                   SimulatedStock& out);

}  // namespace demo
