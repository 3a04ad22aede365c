// Limit-up and limit-down days (涨停 / 跌停) and limit-up streaks (连板) of
// the stocks a scan evaluates, and their counts per ranked sector.
//
// A close is at its limit when it equals the limit price of the previous
// close: previous × (1 ± limit) half up to the cent, the limit by board, date
// and ST name (data/price_limits.h). On an ex-rights day the previous close
// is first adjusted across the event, as the exchange does. Newly listed
// stocks (the scan's newly-listed mark) have no limit. A streak counts the
// stock's own bars: a suspension neither ends it nor adds to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "data/bars.h"
#include "data/code_table.h"
#include "sectors/library.h"

namespace sectors {

enum class LimitMove : uint8_t { None, Up, Down };

// The move of a raw close against the limits of its previous close's
// ex-rights reference price.
LimitMove LimitMoveOf(uint32_t close, uint32_t reference, uint32_t percent);

// A stock's daily bars as a test loaded them: raw prices in the image, its
// ex-rights entry in bars.adjuster, `skipped` bars of the file before the
// first loaded one.
struct LimitSeries {
    const data::SeriesView& bars;
    size_t skipped = 0;
    uint32_t code = 0;
    bool st = false;
};

struct StockLimit {
    uint32_t code = 0;
    LimitMove move = LimitMove::None;  // on the reference day
    uint32_t streak = 0;               // limit-up bars in a row, ending on the reference day
    // False when the loaded bars ended before the streak or the newly-listed
    // mark could be told: read further back and ask again.
    bool complete = true;
};

// The codes whose name in the table marks them ST, ascending; a code the
// table lists twice goes by its first record, as a lookup of its name does.
std::vector<uint32_t> StCodesOf(const data::CodeTable& codes);

// The limit move and streak of the bar at `offset` (the reference day).
StockLimit LimitOnBar(const LimitSeries& series, size_t offset);

struct SectorLimits {
    uint32_t limitUp = 0;
    uint32_t limitDown = 0;
    uint32_t streak = 0;      // the longest of its members
    uint32_t streakCode = 0;  // that member (the first in candidate order on a tie), 0 without
    bool operator==(const SectorLimits&) const = default;
};

// For each of `numbers` (the ranked sectors), its members among the limit
// stocks (in candidate order).
std::vector<SectorLimits> SectorLimitsOf(std::span<const uint32_t> numbers,
                                         std::span<const StockLimit> stocks,
                                         const StockSectorIndex& index);

}  // namespace sectors
