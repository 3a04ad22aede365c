// What the condition tests share: half-up ratios, range tests, the bars of
// the tested stock counted back from the reference day, and the test groups
// the dispatcher calls. Used only inside the picking folder.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "data/bars.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "picking/evaluation.h"

namespace picking {

// Half up for a non-negative ratio; the denominator must not be 0.
inline int64_t RoundedRatio(uint64_t numerator, uint64_t denominator) {
    const uint64_t q = numerator / denominator, r = numerator % denominator;
    return static_cast<int64_t>(q + (2 * r >= denominator ? 1 : 0));
}

// The change from `from` to `to` in hundredths of a percent of `from`, half
// up, negative for a fall. `from` must not be 0.
inline int64_t RoundedChange(uint64_t from, uint64_t to) {
    const int64_t size = RoundedRatio((to > from ? to - from : from - to) * 10'000, from);
    return to < from ? -size : size;
}

// Within [min(a, b), max(a, b)]: bounds may be typed in either order.
inline bool InRange(int64_t v, int32_t a, int32_t b) {
    return v >= std::min(a, b) && v <= std::max(a, b);
}

inline size_t Lookback(int64_t bars) {
    return bars > 0 ? static_cast<size_t>(bars) : 0;
}

// Bars counted back from the reference bar: day 0 is today, day 1 yesterday.
class Days {
public:
    explicit Days(const Evaluator& e) : m_view(e.Stock()), m_today(e.ReferenceBar()) {}

    // An offset stepped below the image wraps and reads as no bar.
    size_t At(int k) const { return m_today - static_cast<size_t>(k) * data::kStockRecordWords; }
    bool Has(int k) const { return k >= 0 && m_view.HasBar(At(k)); }
    uint32_t Close(int k) const { return Has(k) ? data::BarClose(m_view, At(k)) : 0; }
    uint32_t Volume(int k) const { return Has(k) ? data::BarVolume(m_view, At(k)) : 0; }
    data::Bar Bar(int k) const { return Has(k) ? data::DecodeBar(m_view, At(k)) : data::Bar{}; }
    uint32_t Ma(int32_t n, int k) const {
        return Has(k) ? data::AverageClose(m_view, At(k), n) : 0;
    }
    const data::SeriesView& View() const { return m_view; }

private:
    const data::SeriesView& m_view;
    size_t m_today;
};

// Running high and low of a span of days, over bars and averages.
struct SpanBounds {
    uint32_t high = 0;
    uint32_t low = UINT32_MAX;

    void Add(uint32_t value) {
        high = std::max(high, value);
        low = std::min(low, value);
    }
    void AddBar(const data::Bar& bar) {
        high = std::max(high, bar.high);
        low = std::min(low, bar.low);
    }
};

// A window of `days` index trading days ending on the reference day, and the
// tested stock's bars in it.
struct StockWindow {
    size_t first = 0;  // offset of the stock's first bar in the window
    size_t bars = 0;   // the stock's bars in the window
};

// Prepares the stock for a test reading `barsBefore` bars before today and a
// window of `days` index days (at least 1): the stock must have a bar on the
// reference day and another in the window. Nothing when it has not.
std::optional<StockWindow> PrepareWindow(Evaluator& e, uint32_t code, size_t barsBefore,
                                         size_t days);

// Index days in the window of the breakout and pattern conditions: N, plus
// one for the rising and after-fall patterns, with an N of 0 counted as 6.
inline size_t PatternWindowDays(int32_t n, int32_t extraDays) {
    return static_cast<size_t>((n == 0 ? 6 : n) + extraDays);
}

// The test groups of the catalogue, each for its own codes.
Verdict TestBreakout(Evaluator& e, const Condition& c, uint32_t code);       // b1-b5
Verdict TestCandlePattern(Evaluator& e, const Condition& c, uint32_t code);  // b31-b57
Verdict TestIndicator(Evaluator& e, const Condition& c, uint32_t code);      // b18-b30
Verdict TestMarketCrash(Evaluator& e, const Condition& c, uint32_t code);    // b6
Verdict TestGeneralFall(Evaluator& e, const Condition& c, uint32_t code);    // b7

}  // namespace picking
