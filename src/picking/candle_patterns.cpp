// The named candlestick patterns in their three contexts: during a rise
// (b31-b39), at a bottom (b41-b50) and after a fall (b53-b57). Each pattern
// is integer arithmetic over the last few adjusted candles, with truncating
// division as C has it; a division by a close of 0 fails the stock.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>

#include "picking/condition_frame.h"

namespace picking {
namespace {

// Candles read back from today: enough for the longest pattern (b39 looks
// back nine days).
constexpr int kPatternDepth = 9;

// A candle's prices and volume as signed numbers, so that the formulas may
// subtract in any order.
struct Candle {
    int64_t open = 0;
    int64_t high = 0;
    int64_t low = 0;
    int64_t close = 0;
    int64_t volume = 0;

    bool White() const { return open < close; }
    bool Black() const { return close < open; }
    int64_t Body() const { return std::abs(close - open); }
    int64_t BodyTop() const { return std::max(open, close); }
    int64_t BodyBottom() const { return std::min(open, close); }
};

class Candles {
public:
    explicit Candles(const Days& d) {
        for (int k = 0; k <= kPatternDepth && d.Has(k); ++k) {
            const data::Bar bar = d.Bar(k);
            m_candles[static_cast<size_t>(k)] = {bar.open, bar.high, bar.low, bar.close,
                                                 bar.volume};
            m_count = k + 1;
        }
    }

    bool Has(int k) const { return k >= 0 && k < m_count; }
    const Candle& operator[](int k) const { return m_candles[static_cast<size_t>(k)]; }

    // x × scale / divisor, truncated towards zero. A divisor of 0 gives 0 and
    // marks the test: the stock then fails whatever the pattern says.
    int64_t Per(int64_t x, int64_t scale, int64_t divisor) const {
        if (divisor == 0) {
            m_dividedByZero = true;
            return 0;
        }
        return x * scale / divisor;
    }
    bool DividedByZero() const { return m_dividedByZero; }

    // V3sum: the volumes of days 1, 2 and 3.
    int64_t ThreeDayVolume() const { return m_candles[1].volume + m_candles[2].volume + m_candles[3].volume; }

private:
    std::array<Candle, kPatternDepth + 1> m_candles{};
    int m_count = 0;
    mutable bool m_dividedByZero = false;
};

// A pattern gives the number of candles it spans (the mark's code), 0 when
// it is not there.
using Pattern = int (*)(const Candles&);

bool AllWhite(const Candles& c, std::initializer_list<int> days) {
    return std::all_of(days.begin(), days.end(), [&](int k) { return c[k].White(); });
}

// ---- during a rise ----------------------------------------------------------

// b31 仙人指路: a white candle with a long upper shadow and no lower one.
int ImmortalPointing(const Candles& c) {
    const Candle& t = c[0];
    if (!t.White() || t.close >= t.high || t.Body() >= t.high - t.close) return 0;
    if (c.Per(t.high - t.close, 100, t.close) < 4) return 0;
    return c.Per(t.open - t.low, 200, t.close) == 0 ? 1 : 0;
}

// b32 上涨揉搓线: two small candles, the first with a lower shadow, the second
// with an upper one.
int RisingRubbing(const Candles& c) {
    if (!c.Has(1)) return 0;
    const Candle &t = c[0], &y = c[1];
    if (t.close < y.close) return 0;
    const auto [low, high] = std::minmax({y.high, y.open, y.close, t.low, t.open, t.close});
    if (c.Per(high - low, 10'000, t.close) >= 250) return 0;
    if (y.BodyBottom() < y.low || c.Per(y.BodyBottom() - y.low, 200, y.close) <= 4) return 0;
    if (t.high < t.BodyTop() || c.Per(t.high - t.BodyTop(), 200, t.close) <= 4) return 0;
    return 2;
}

// b33 and b47 向上跳空缺口: two white candles with a gap between them.
int UpwardGap(const Candles& c) {
    if (!c.Has(1)) return 0;
    return c[1].White() && c[0].White() && c[1].high < c[0].low ? 2 : 0;
}

// b34 上涨两颗星: a long white candle followed by two small ones above its close.
int TwoStars(const Candles& c) {
    if (!c.Has(2)) return 0;
    const Candle &t = c[0], &y = c[1], &d2 = c[2];
    if (!d2.White() || d2.close <= 0 || c.Per(d2.close - d2.open, 100, d2.close) < 3) return 0;
    if (y.close < d2.close || t.close < d2.close) return 0;
    const auto [low, high] = std::minmax({y.open, y.close, t.open, t.close});
    return c.Per(high - low, 100, t.close) == 0 ? 3 : 0;
}

// b35 上升三法: a long white candle, three small candles inside it, and a long
// white candle closing above it.
int RisingThreeMethods(const Candles& c) {
    if (!c.Has(4)) return 0;
    const Candle &t = c[0], &d4 = c[4];
    if (!d4.White() || d4.close <= 0 || c.Per(d4.close - d4.open, 100, d4.close) <= 2) return 0;
    for (int k : {3, 2, 1}) {
        const Candle& d = c[k];
        if (d.BodyTop() > d4.close || d.BodyBottom() < d4.open || d.low < d4.low) return 0;
        if (c.Per(d.BodyTop() - d.BodyBottom(), 100, d.close) >= 2) return 0;
    }
    if (!t.White() || t.close <= d4.close || t.close <= 0) return 0;
    return c.Per(t.close - t.open, 100, t.close) > 2 ? 5 : 0;
}

// b36 上升三连击: three rising white candles, then a long black one that
// closes below the first one's open.
int ThreeStrikes(const Candles& c) {
    if (!c.Has(3)) return 0;
    const Candle& t = c[0];
    if (!t.Black() || t.close <= 0 || c.Per(t.open - t.close, 100, t.close) < 4) return 0;
    if (!AllWhite(c, {3, 2, 1}) || !(c[3].close < c[2].close && c[2].close < c[1].close)) return 0;
    return t.close < c[3].open ? 4 : 0;
}

// b37 徐缓上升: three small rising white candles, then a middling white one.
int SlowRise(const Candles& c) {
    if (!c.Has(3)) return 0;
    const Candle& t = c[0];
    if (!t.White() || t.close <= 0) return 0;
    if (c.Per(t.close - t.open, 200, t.close) <= 6 || c.Per(t.close - t.open, 100, t.close) >= 7)
        return 0;
    if (!AllWhite(c, {3, 2, 1}) || !(c[3].close < c[2].close && c[2].close < c[1].close)) return 0;
    for (int k : {3, 2, 1})
        if (c.Per(c[k].Body(), 100, c[k].close) >= 2) return 0;
    return 4;
}

// b38 多方炮: white, black, white, the last closing above the first.
int BullCannon(const Candles& c) {
    if (!c.Has(2)) return 0;
    const Candle &t = c[0], &y = c[1], &d2 = c[2];
    if (!d2.White() || d2.close <= 0 || c.Per(d2.close - d2.open, 100, d2.close) <= 2) return 0;
    if (!y.Black()) return 0;
    if (!t.White() || t.close <= d2.close || t.close <= y.open || t.close <= 0) return 0;
    if (c.Per(t.close - t.open, 100, t.close) <= 1) return 0;
    return t.Body() >= t.high - t.close ? 3 : 0;
}

constexpr int kTwoRedNearest = 4;
constexpr int kTwoRedFarthest = 9;

// b39 上升两头红: two long white candles four to nine days apart, the candles
// between them in the upper half of the first one's body.
int TwoRedEnds(const Candles& c) {
    const Candle& t = c[0];
    if (!t.White() || t.close <= 0 || c.Per(t.close - t.open, 100, t.close) < 3) return 0;
    int k = 0;
    for (int j = 1; j <= kTwoRedFarthest && k == 0; ++j) {
        if (!c.Has(j)) return 0;
        const Candle& d = c[j];
        if (d.White() && d.close > 0 && c.Per(d.close - d.open, 100, d.close) >= 3) k = j;
    }
    if (k < kTwoRedNearest) return 0;
    const Candle& first = c[k];
    for (int j = 1; j <= k - 2; ++j) {
        if (c[j].BodyTop() > first.close * 101 / 100) return 0;
        if (c[j].BodyBottom() < first.open + (first.close - first.open) / 2) return 0;
    }
    return t.close >= first.close ? k + 1 : 0;
}

// ---- at a bottom --------------------------------------------------------------

// b41 底部大阳线: a long white candle rising 3.5 % or more over yesterday.
int BigWhite(const Candles& c) {
    const Candle& t = c[0];
    if (!t.White() || t.close <= 0 || c.Per(t.close - t.open, 100, t.close) < 3) return 0;
    if (!c.Has(1)) return 0;
    const int64_t cy = c[1].close;
    if (!(0 < cy && cy < t.close)) return 0;
    return c.Per(t.close - cy, 200, cy) >= 7 ? 1 : 0;
}

// b42 底部放量大阴线: a long black candle on two thirds of the last three
// days' volume or more.
int HeavyBlack(const Candles& c) {
    const Candle& t = c[0];
    if (!t.Black() || t.close <= 0 || c.Per(t.open - t.close, 100, t.close) < 5) return 0;
    if (!c.Has(3)) return 0;
    return t.volume >= 2 * c.ThreeDayVolume() / 3 ? 1 : 0;
}

// Yesterday a black candle of at least the given size: (Oy - Cy) × scale / Cy ≥ least.
bool BlackYesterday(const Candles& c, int64_t scale, int64_t least) {
    const Candle& y = c[1];
    return y.Black() && y.close > 0 && c.Per(y.open - y.close, scale, y.close) >= least;
}

// Today's volume at least five ninths of the last three days'.
bool VolumeHolds(const Candles& c) {
    return c.Has(3) && c[0].volume >= c.ThreeDayVolume() * 5 / 9;
}

// b43 曙光初现: a white candle opening below a long black one and closing into
// its upper half.
int DawnLight(const Candles& c) {
    if (!c.Has(1)) return 0;
    const Candle &t = c[0], &y = c[1];
    if (!t.White() || !BlackYesterday(c, 200, 7) || t.open >= y.close) return 0;
    return y.close + (y.open - y.close) / 2 <= t.close && t.close < y.open ? 2 : 0;
}

// b44 旭日东升: a white candle opening inside a long black one and closing
// above its open, on volume.
int RisingSun(const Candles& c) {
    if (!c.Has(1)) return 0;
    const Candle &t = c[0], &y = c[1];
    if (!t.White() || !BlackYesterday(c, 200, 7)) return 0;
    if (!(y.close < t.open && t.open < y.open) || t.close <= y.open) return 0;
    return VolumeHolds(c) ? 2 : 0;
}

// b45 底部阳包阴: a white candle engulfing a black one, on volume.
int WhiteEngulfing(const Candles& c) {
    if (!c.Has(1)) return 0;
    const Candle &t = c[0], &y = c[1];
    if (!t.White() || !BlackYesterday(c, 100, 3)) return 0;
    if (t.open >= y.close || t.close <= y.open) return 0;
    return VolumeHolds(c) ? 2 : 0;
}

// b46 底部阴孕阳: a white candle inside yesterday's black body.
int WhiteHarami(const Candles& c) {
    if (!c.Has(1)) return 0;
    const Candle &t = c[0], &y = c[1];
    if (!t.White() || !BlackYesterday(c, 100, 3)) return 0;
    return t.open > y.close && t.high < y.open && t.low > y.close ? 2 : 0;
}

// b47 底部向上跳空缺口: the upward gap, on volume.
int BottomGap(const Candles& c) {
    return UpwardGap(c) && VolumeHolds(c) ? 2 : 0;
}

// b48 底部红三兵: three rising white candles, each with a short range.
int ThreeSoldiers(const Candles& c) {
    if (!c.Has(2)) return 0;
    if (!AllWhite(c, {2, 1, 0}) || !(c[2].close < c[1].close && c[1].close < c[0].close)) return 0;
    for (int k : {2, 1, 0})
        if (c[k].close <= 0 || c.Per(c[k].high - c[k].low, 100, c[k].close) > 3) return 0;
    return 3;
}

// b49 底部上涨镊子线: a long black candle, a small one, and a white one
// recovering half the black body.
int Tweezers(const Candles& c) {
    if (!c.Has(2)) return 0;
    const Candle &t = c[0], &y = c[1], &d2 = c[2];
    if (!d2.Black() || d2.close <= 0 || c.Per(d2.open - d2.close, 200, d2.close) < 7) return 0;
    if (y.close <= 0 || y.Body() > (d2.open - d2.close) / 2) return 0;
    if (!t.White() || t.close < d2.close + (d2.open - d2.close) / 2) return 0;
    return t.close - t.open >= 2 * y.Body() ? 3 : 0;
}

// b50 底部低位连阳: five white candles in a row.
int FiveWhite(const Candles& c) {
    return c.Has(4) && AllWhite(c, {4, 3, 2, 1, 0}) ? 5 : 0;
}

// ---- after a fall -------------------------------------------------------------

// A candle whose lower shadow is long against its close (over `least` per
// cent, or at least it when `orMore`) and at least twice its body.
bool Needle(const Candles& c, const Candle& d, int64_t least, bool orMore) {
    if (d.close <= 0) return false;
    const int64_t shadow = d.BodyBottom() - d.low;
    const int64_t share = c.Per(shadow, 100, d.close);
    return (orMore ? share >= least : share > least) && shadow >= 2 * d.Body();
}

// b53 金针探底.
int GoldenNeedle(const Candles& c) {
    return Needle(c, c[0], 3, true) ? 1 : 0;
}

constexpr int kSecondNeedleDays = 6;

// b54 双针探底: two needles within six days on the same low.
int TwinNeedles(const Candles& c) {
    const Candle& t = c[0];
    if (!Needle(c, t, 2, false)) return 0;
    int i = 0;
    for (int j = 1; j <= kSecondNeedleDays && i == 0; ++j) {
        if (!c.Has(j)) return 0;
        if (Needle(c, c[j], 2, false)) i = j;
    }
    if (i == 0) return 0;
    const Candle& d = c[i];
    if (c.Per(std::abs(t.low - d.low), 100, d.close) != 0) return 0;
    return t.BodyBottom() < d.high && d.BodyBottom() < t.high ? i + 1 : 0;
}

// b55 跌势尽头线: a doji inside the lower shadow of a black candle.
int EndOfFall(const Candles& c) {
    if (!c.Has(1)) return 0;
    const Candle &t = c[0], &y = c[1];
    if (!BlackYesterday(c, 100, 1) || c.Per(y.close - y.low, 100, y.close) <= 1) return 0;
    if (t.high > y.close || t.close <= 0) return 0;
    return c.Per(t.Body(), 100, t.close) == 0 ? 2 : 0;
}

// b56 希望之星: a long black candle, a doji below it, and a white candle
// recovering half the black body.
int MorningStar(const Candles& c) {
    if (!c.Has(2)) return 0;
    const Candle &t = c[0], &y = c[1], &d2 = c[2];
    if (!t.White()) return 0;
    if (!d2.Black() || d2.close <= 0 || c.Per(d2.open - d2.close, 200, d2.close) <= 6) return 0;
    if (y.open > d2.close || y.close <= 0 || c.Per(std::abs(y.open - y.close), 100, y.close) != 0)
        return 0;
    return t.close >= d2.close + (d2.open - d2.close) / 2 && t.close >= y.high ? 3 : 0;
}

// b57 三空阴: three black candles, each opening below the one before.
int ThreeGapsDown(const Candles& c) {
    if (!c.Has(3)) return 0;
    if (!(c[2].open < c[3].BodyBottom() && c[2].Black())) return 0;
    if (!(c[1].open < c[2].close && c[1].Black())) return 0;
    return c[0].open < c[1].close && c[0].Black() ? 4 : 0;
}

constexpr std::array<Pattern, 9> kRising = {ImmortalPointing, RisingRubbing, UpwardGap,
                                            TwoStars,         RisingThreeMethods,
                                            ThreeStrikes,     SlowRise,
                                            BullCannon,       TwoRedEnds};
constexpr std::array<Pattern, 10> kBottom = {BigWhite,    HeavyBlack,     DawnLight, RisingSun,
                                             WhiteEngulfing, WhiteHarami, BottomGap,
                                             ThreeSoldiers, Tweezers,     FiveWhite};
constexpr std::array<Pattern, 5> kAfterFall = {GoldenNeedle, TwinNeedles, EndOfFall, MorningStar,
                                               ThreeGapsDown};

enum class Context { Rising, Bottom, AfterFall };

struct PatternCode {
    Pattern pattern = nullptr;
    Context context = Context::Rising;
};

std::optional<PatternCode> PatternOf(ConditionCode code) {
    if (code.InRange('b', 31, 39))
        return PatternCode{kRising[static_cast<size_t>(code.number - 31)], Context::Rising};
    if (code.InRange('b', 41, 50))
        return PatternCode{kBottom[static_cast<size_t>(code.number - 41)], Context::Bottom};
    if (code.InRange('b', 53, 57))
        return PatternCode{kAfterFall[static_cast<size_t>(code.number - 53)], Context::AfterFall};
    return std::nullopt;
}

// round((a - b) × 10,000 / divisor) for a > b; the divisor is not 0.
int64_t RoundedShare(int64_t a, int64_t b, int64_t divisor) {
    return RoundedRatio(static_cast<uint64_t>(a - b) * 10'000, static_cast<uint64_t>(divisor));
}

// The context of a pattern over the window, once the pattern is there. N = 0
// leaves it out.
bool ContextHolds(const Evaluator& e, const Condition& c, Context context,
                  const StockWindow& window) {
    if (c.params[0] == 0) return true;
    const auto& v = e.Stock();
    const int64_t close = data::BarClose(v, e.ReferenceBar());
    const int64_t first = data::BarClose(v, window.first);
    switch (context) {
        case Context::Rising:  // risen by ZF or more since the window's first close
            return first > 0 && first < close && RoundedShare(close, first, first) >= c.params[1];
        case Context::AfterFall:  // fallen by DF or more
            return first > close && RoundedShare(first, close, first) >= c.params[1];
        case Context::Bottom:
            break;
    }
    // At a bottom: far enough below the window's high and near enough its low.
    int64_t high = 0, low = INT64_MAX;
    for (size_t o = window.first; o <= e.ReferenceBar(); o += data::kStockRecordWords) {
        const data::Bar bar = data::DecodeBar(v, o);
        high = std::max<int64_t>(high, bar.high);
        low = std::min<int64_t>(low, bar.low);
    }
    const int32_t fall = c.params[1], rise = c.params[2];
    if (high <= 0 || close > high) return false;
    if (fall != 0 && RoundedShare(high, close, high) < fall) return false;
    if (low <= 0 || close < low) return false;
    return rise == 0 || RoundedShare(close, low, low) <= rise;
}

}  // namespace

Verdict TestCandlePattern(Evaluator& e, const Condition& c, uint32_t code) {
    const auto pattern = PatternOf(c.code);
    const int32_t n = c.params[0];
    if (!pattern || n < 0) return Verdict::Fail();
    const int32_t extraDay = pattern->context == Context::Bottom ? 0 : 1;
    const auto window =
        PrepareWindow(e, code, kPatternDepth, PatternWindowDays(n, extraDay));
    if (!window) return Verdict::Fail();
    const Days d(e);
    const Candles candles(d);
    const int span = pattern->pattern(candles);
    if (span == 0 || candles.DividedByZero()) return Verdict::Fail();
    if (!ContextHolds(e, c, pattern->context, *window)) return Verdict::Fail();
    int64_t high = 0, low = INT64_MAX;
    for (int k = 0; k < span; ++k) {
        high = std::max(high, candles[k].high);
        low = std::min(low, candles[k].low);
    }
    return Verdict::Pass(SignalMark::Three(static_cast<uint32_t>(high),
                                           static_cast<uint32_t>(low),
                                           static_cast<uint32_t>(span)));
}

}  // namespace picking
