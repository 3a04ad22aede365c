// The three market indices, built from their constituents' bars: a
// capitalisation-weighted return against ex-rights reference prices (so
// dividends do not drop an index), and the constituents' summed amount and
// volume. Sums are integers, so the order stocks are added in does not matter.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "data/bars.h"
#include "demo/boards.h"
#include "demo/stock_sim.h"

namespace demo {

enum class MarketIndex : uint8_t { Shanghai, Shenzhen, ChiNext };
inline constexpr size_t kIndexCount = 3;

uint32_t IndexCode(MarketIndex index);
const char* IndexName(MarketIndex index);  // UTF-8
const char* IndexInitials(MarketIndex index);

// Level of an index on its first day, in 0.01 points.
uint32_t IndexBaseLevel(MarketIndex index);

// The indices a stock of a board belongs to.
bool IndexHolds(MarketIndex index, Board board);

// A close at least this much (per mille) above the reference counts as a big mover.
inline constexpr uint32_t kBigMovePerMille = 1075;

struct IndexDay {
    int64_t reference = 0;  // sum of reference price * weight shares
    int64_t open = 0;
    int64_t high = 0;
    int64_t low = 0;
    int64_t close = 0;
    uint64_t amount = 0;  // 10,000 yuan
    uint64_t volume = 0;  // lots
    uint32_t bars = 0;    // constituents that traded
    uint32_t bigMovers = 0;
};

class IndexAccumulator {
public:
    explicit IndexAccumulator(uint32_t days);

    // Adds a stock's bars.
    void Add(Board board, std::span<const data::Bar> bars, std::span<const BarInfo> info);
    void Merge(const IndexAccumulator& other);

    const IndexDay& Day(MarketIndex index, uint32_t day) const {
        return m_days[static_cast<size_t>(index)][day];
    }
    uint32_t Days() const { return m_dayCount; }

private:
    uint32_t m_dayCount;
    std::array<std::vector<IndexDay>, kIndexCount> m_days;
};

// The index's bars from its first day with a traded constituent (the first
// calendar day for Shanghai and Shenzhen) to the end. Days without a
// constituent repeat the last level with zero amount and volume.
std::vector<data::Bar> BuildIndexBars(const IndexAccumulator& sums, MarketIndex index,
                                      std::span<const uint32_t> calendar);

}  // namespace demo
