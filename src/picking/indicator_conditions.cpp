// b18-b30: the conditions on RSI, BIAS, KDJ, MACD and BOLL, computed by the
// indicator calculations over the tested stock's adjusted bars up to the
// reference day. A value the calculations cannot give (65535, or 0 for BOLL)
// fails the stock.
#include <algorithm>
#include <cmath>
#include <optional>

#include "indicators/calculations.h"
#include "indicators/recursions.h"
#include "picking/condition_frame.h"

namespace picking {
namespace {

using indicators::HasValue;

// round(value × 100), half up on the size, with the value's sign.
int64_t Hundredths(double value) {
    const auto size = static_cast<int64_t>(std::floor(std::fabs(value) * 100 + 0.5));
    return value < 0 ? -size : size;
}

uint32_t Size(int64_t value) {
    return static_cast<uint32_t>(std::min<int64_t>(value < 0 ? -value : value, UINT32_MAX));
}

// The tested stock's adjusted bars, today the last of them.
class IndicatorBars {
public:
    IndicatorBars(Evaluator& e, AdjustedPrices prices)
        : m_view(e.AdjustedBars(prices)), m_today(m_view.BarCount() - 1) {}

    const data::SeriesView& View() const { return m_view; }
    size_t Today() const { return m_today; }
    bool Has(size_t k) const { return k <= m_today; }
    // Position of day k (k ≤ today).
    size_t Day(size_t k) const { return m_today - k; }
    int64_t Close(size_t k) const {
        return data::BarClose(m_view, indicators::BarOffset(m_view, Day(k)));
    }
    int64_t Low(size_t k) const {
        return data::DecodeBar(m_view, indicators::BarOffset(m_view, Day(k))).low;
    }

private:
    data::SeriesView m_view;
    size_t m_today;
};

// Loads the stock for a test reading `barsBefore` bars before today.
std::optional<IndicatorBars> Prepare(Evaluator& e, uint32_t code, size_t barsBefore,
                                     AdjustedPrices prices = AdjustedPrices::All) {
    if (!e.PrepareStock(code, {barsBefore})) return std::nullopt;
    return IndicatorBars(e, prices);
}

indicators::IndicatorParams Params(int32_t a, int32_t b = 0, int32_t c = 0) {
    indicators::IndicatorParams p;
    p.values = {a, b, c, 0, 0};
    return p;
}

// b18 RSI(N) and b19/b20 BIAS(N) at today within the bounds.
Verdict TestRsiOrBias(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    const bool rsi = c.code.Is('b', 18);
    // RSI starts at the oldest bar; both read closes only.
    const auto bars =
        Prepare(e, code, rsi ? kEveryBar : Lookback(n - 1), AdjustedPrices::ClosesOnly);
    if (!bars) return Verdict::Fail();
    const double value = rsi ? indicators::Rsi(bars->View(), bars->Today(), n)
                             : indicators::Bias(bars->View(), bars->Today(), n);
    if (!HasValue(value)) return Verdict::Fail();
    const int64_t v = Hundredths(value);
    if (!InRange(v, c.params[1], c.params[2])) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(Size(v)));
}

// b21 K within the bounds, b22 J at or below its bound.
Verdict TestKOrJ(Evaluator& e, const Condition& c, uint32_t code) {
    const auto bars = Prepare(e, code, kEveryBar);
    if (!bars) return Verdict::Fail();
    const indicators::KdValues kdj =
        indicators::Kdj(bars->View(), bars->Today(), c.params[0], c.params[1], c.params[2]);
    if (c.code.Is('b', 21)) {
        if (!HasValue(kdj.k)) return Verdict::Fail();
        const int64_t k = Hundredths(kdj.k);
        if (!InRange(k, c.params[3], c.params[4])) return Verdict::Fail();
        return Verdict::Pass(SignalMark::One(Size(k)));
    }
    if (!HasValue(kdj.j)) return Verdict::Fail();
    const int64_t j = Hundredths(kdj.j);
    if (j > c.params[3]) return Verdict::Fail();
    // The size, then the sign as a character and a 0 byte.
    return Verdict::Pass(SignalMark::Two(Size(j), j <= 0 ? '-' : '+'));
}

// b23: K crosses D from at or below to at or above, both within the bounds.
Verdict TestKdCross(Evaluator& e, const Condition& c, uint32_t code) {
    const auto bars = Prepare(e, code, kEveryBar);
    if (!bars || !bars->Has(1)) return Verdict::Fail();
    const size_t t = bars->Today();
    const auto kdj = indicators::ComputeSeries(bars->View(), indicators::kKdj,
                                               Params(c.params[0], c.params[1], c.params[2]),
                                               t - 1, t);
    const double ky = kdj.At(0, t - 1), dy = kdj.At(1, t - 1), k = kdj.At(0, t), d = kdj.At(1, t);
    if (!HasValue(ky) || !HasValue(dy) || ky > dy) return Verdict::Fail();
    if (!HasValue(k) || !HasValue(d) || k < d) return Verdict::Fail();
    const int64_t k100 = Hundredths(k), d100 = Hundredths(d);
    if (!InRange(k100, c.params[3], c.params[4]) || !InRange(d100, c.params[3], c.params[4]))
        return Verdict::Fail();
    return Verdict::Pass(SignalMark::Two(Size(k100), Size(d100)));
}

// b24-b26: the MACD histogram turns red today; b25 above the zero axis, b26
// below it.
Verdict TestMacdTurn(Evaluator& e, const Condition& c, uint32_t code) {
    const auto& p = c.params;
    if (p[0] <= 0 || p[1] <= 0 || p[2] <= 0) return Verdict::Fail();
    const auto bars = Prepare(e, code, kEveryBar, AdjustedPrices::ClosesOnly);
    if (!bars || !bars->Has(1)) return Verdict::Fail();
    // One walk from the oldest bar gives yesterday's and today's values.
    indicators::MacdRecursion macd(p[0], p[1], p[2]);
    for (size_t u = 0; u < bars->Today(); ++u) macd.Feed(bars->View(), u);
    const double before = macd.Values().macd;
    macd.Feed(bars->View(), bars->Today());
    const indicators::MacdValues today = macd.Values();
    const double now = today.macd;
    if (!HasValue(before) || before > 0 || !HasValue(now) || now < 0) return Verdict::Fail();
    if (c.code.Is('b', 24)) {
        const int64_t histogram = std::max<int64_t>(Hundredths(now), 1);
        return Verdict::Pass(SignalMark::One(static_cast<uint32_t>(histogram)));
    }
    const double diff = today.diff, dea = today.dea;
    const bool above = diff > 0 && dea > 0, below = diff < 0 && dea < 0;
    if (c.code.Is('b', 25) ? !above : !below) return Verdict::Fail();
    return Verdict::Pass(SignalMark::Two(Size(Hundredths(diff)), Size(Hundredths(dea))));
}

// BOLL of day k in 0.01 yuan, and which lines are not 0 before rounding
// (all three are 0 when BOLL cannot be computed there).
struct Bands {
    int64_t mid = 0;
    int64_t upper = 0;
    int64_t lower = 0;
    bool midSet = false;
    bool upperSet = false;
    bool lowerSet = false;

    bool Computed() const { return upperSet && lowerSet; }
};

Bands BandsAt(const IndicatorBars& bars, size_t k, int32_t n, int32_t width) {
    if (!bars.Has(k)) return {};
    const auto b = indicators::Boll(bars.View(), bars.Day(k), n, width);
    return {Hundredths(b.mid), Hundredths(b.upper), Hundredths(b.lower),
            b.mid != 0,        b.upper != 0,        b.lower != 0};
}

// b27: yesterday's rising close below the middle band, today's above it.
bool BreaksMiddle(const IndicatorBars& bars, int32_t n, int32_t p) {
    const Bands yesterday = BandsAt(bars, 1, n, p);
    if (!yesterday.midSet || !bars.Has(2)) return false;
    const int64_t cy = bars.Close(1), c2 = bars.Close(2);
    if (cy == 0 || c2 == 0 || c2 >= cy || cy >= yesterday.mid) return false;
    return BandsAt(bars, 0, n, p).mid < bars.Close(0);
}

// b28: the band width in hundredths of a percent of today's close.
std::optional<int64_t> BandWidth(const IndicatorBars& bars, int32_t n, int32_t p) {
    const Bands today = BandsAt(bars, 0, n, p);
    const int64_t close = bars.Close(0);
    if (!today.Computed() || close == 0) return std::nullopt;
    return RoundedRatio(static_cast<uint64_t>(today.upper - today.lower) * 10'000,
                        static_cast<uint64_t>(close));
}

// b29: day 2 touched the lower band, yesterday closed above it, and the
// closes rise on both days since.
bool ReboundsFromLower(const IndicatorBars& bars, int32_t n, int32_t p) {
    if (!bars.Has(2)) return false;
    const Bands day2 = BandsAt(bars, 2, n, p);
    if (!day2.lowerSet || day2.lower < bars.Low(2)) return false;
    const int64_t cy = bars.Close(1);
    return BandsAt(bars, 1, n, p).lower < cy && bars.Close(2) < cy && bars.Close(0) > cy;
}

// b30: the last M closes below the lower band, the one before them not (a
// band that cannot be computed there fails too).
bool RunBelowLower(const IndicatorBars& bars, int32_t n, int32_t p, int32_t m) {
    if (m < 1) return false;
    const auto days = static_cast<size_t>(m);
    for (size_t k = 0; k <= days; ++k) {
        const Bands b = BandsAt(bars, k, n, p);
        if (!bars.Has(k) || !b.Computed()) return false;
        const bool below = bars.Close(k) < b.lower;
        if (below != (k < days)) return false;
    }
    return true;
}

Verdict TestBoll(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0], p = c.params[1];
    // N = 1 has no deviation: it would divide by N(N - 1) = 0.
    if (n <= 1 || p <= 0) return Verdict::Fail();
    const int32_t m = c.params[2];
    const size_t before = c.code.Is('b', 27)   ? Lookback(std::max(n, 2))
                          : c.code.Is('b', 28) ? Lookback(n - 1)
                          : c.code.Is('b', 29) ? Lookback(n + 1)
                                               : Lookback(int64_t{m} + n - 1);
    const auto bars = Prepare(e, code, before);
    if (!bars) return Verdict::Fail();
    if (c.code.Is('b', 27)) return BreaksMiddle(*bars, n, p) ? Verdict::Pass() : Verdict::Fail();
    if (c.code.Is('b', 29))
        return ReboundsFromLower(*bars, n, p) ? Verdict::Pass() : Verdict::Fail();
    if (c.code.Is('b', 30))
        return RunBelowLower(*bars, n, p, m) ? Verdict::Pass(SignalMark::One(0)) : Verdict::Fail();
    const auto width = BandWidth(*bars, n, p);
    if (!width || !InRange(*width, c.params[2], c.params[3])) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(static_cast<uint32_t>(*width)));
}

}  // namespace

Verdict TestIndicator(Evaluator& e, const Condition& c, uint32_t code) {
    const ConditionCode k = c.code;
    if (k.InRange('b', 18, 20)) return TestRsiOrBias(e, c, code);
    if (k.Is('b', 21) || k.Is('b', 22)) return TestKOrJ(e, c, code);
    if (k.Is('b', 23)) return TestKdCross(e, c, code);
    if (k.InRange('b', 24, 26)) return TestMacdTurn(e, c, code);
    return TestBoll(e, c, code);
}

}  // namespace picking
