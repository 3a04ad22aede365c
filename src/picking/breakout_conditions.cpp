// b1-b5: a breakout above the high of the last N days, and platforms and
// boxes (consolidation between a top and a bottom touched several times)
// with their breakouts. All arithmetic is integer with truncating division.
#include <algorithm>

#include "picking/condition_frame.h"

namespace picking {
namespace {

// The high must be this many days old.
constexpr int kHighMinAge = 6;
// Touches that make a platform (top) and a box (top and bottom).
constexpr int kTopTouches = 3;
constexpr int kBottomTouches = 2;

// The window of N index days must hold two to N + 1 of the stock's bars.
bool PrepareBreakout(Evaluator& e, uint32_t code, int32_t n, size_t barsBefore) {
    if (n < 1) return false;
    const auto window = PrepareWindow(e, code, barsBefore, PatternWindowDays(n, 0));
    return window && window->bars <= static_cast<size_t>(n) + 1;
}

// Today's close more than 1 % (truncated) above yesterday's.
bool RisesOverOnePercent(const Days& d) {
    const int64_t c = d.Close(0), cy = d.Close(1);
    return cy > 0 && c > cy && (c - cy) * 100 / cy > 1;
}

struct Extreme {
    uint32_t value = 0;
    int day = 0;
};

// The highest of `value` over days 1 .. last, the earlier day winning a tie.
template <class Value>
Extreme HighestBefore(int last, Value value) {
    Extreme e;
    for (int k = 1; k <= last; ++k)
        if (const uint32_t v = value(k); v >= e.value) e = {v, k};
    return e;
}

// b1: today's close above the highest high of days 1 .. N - 1, a high six or
// more days old and confirmed by volume.
Verdict TestHighBreakout(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    // The volume test reads up to three days behind the high (day N - 1).
    if (!PrepareBreakout(e, code, n, Lookback(n + 2))) return Verdict::Fail();
    const Days d(e);
    if (!RisesOverOnePercent(d) || !d.Has(n - 1)) return Verdict::Fail();
    const Extreme high = HighestBefore(n - 1, [&](int k) { return d.Bar(k).high; });
    const Extreme volume = HighestBefore(n - 1, [&](int k) { return d.Volume(k); });
    const int f = high.day;
    if (f < kHighMinAge) return Verdict::Fail();
    if (volume.day != f) {
        // Around the bar of the high, in time order: the bars just before and
        // after it against the two before those and the second one after.
        if (!d.Has(f + 3)) return Verdict::Fail();
        const uint64_t around = uint64_t{d.Volume(f + 1)} + d.Volume(f) + d.Volume(f - 1);
        const uint64_t outside = uint64_t{d.Volume(f + 3)} + d.Volume(f + 2) + d.Volume(f - 2);
        if (around < 2 * outside) return Verdict::Fail();
    }
    if (d.Close(0) <= high.value) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(high.value));
}

// Days of 1 .. last that count as touches: after a touch the walk jumps
// `spacing` days further.
template <class Touches>
int CountTouches(int last, int spacing, Touches touches) {
    int count = 0;
    for (int j = 1; j <= last;) {
        if (touches(j)) {
            ++count;
            j += spacing + 1;
        } else {
            ++j;
        }
    }
    return count;
}

// b2-b5: a top (and for boxes a bottom) over days 1 .. N - 1 touched again
// and again; the consolidation forms close at or below the top, the
// breakouts above it after a rise of more than 1 %.
Verdict TestPlatformOrBox(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    const bool box = c.code.Is('b', 4) || c.code.Is('b', 5);
    const bool breakout = c.code.Is('b', 3) || c.code.Is('b', 5);
    if (!PrepareBreakout(e, code, n, Lookback(n - 1))) return Verdict::Fail();
    const Days d(e);
    if (breakout && !RisesOverOnePercent(d)) return Verdict::Fail();
    if (!d.Has(n - 1)) return Verdict::Fail();
    int64_t top = 0, bottom = UINT32_MAX;
    for (int k = 1; k <= n - 1; ++k) {
        const data::Bar bar = d.Bar(k);
        top = std::max<int64_t>(top, bar.high);
        bottom = std::min<int64_t>(bottom, bar.low);
    }
    const int spacing = std::max(n / 10, 2);
    const int topTouches = CountTouches(n - 1, spacing, [&](int j) {
        return (top - d.Bar(j).high) * 100 < top;
    });
    const int bottomTouches = CountTouches(n - 1, spacing, [&](int j) {
        return (d.Bar(j).low - bottom) * 100 < bottom;
    });
    if (top == 0 || topTouches < kTopTouches) return Verdict::Fail();
    if (box && (bottom == 0 || bottomTouches < kBottomTouches)) return Verdict::Fail();
    const bool above = d.Close(0) > top;
    if (above != breakout) return Verdict::Fail();
    return Verdict::Pass(
        SignalMark::Two(static_cast<uint32_t>(top), static_cast<uint32_t>(bottom)));
}

}  // namespace

Verdict TestBreakout(Evaluator& e, const Condition& c, uint32_t code) {
    return c.code.Is('b', 1) ? TestHighBreakout(e, c, code) : TestPlatformOrBox(e, c, code);
}

}  // namespace picking
