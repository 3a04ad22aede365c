// The tests of the price, volume and moving-average conditions (a1-a9,
// b9-b16) and the catalogue dispatcher. Every average that comes out 0 (too
// few bars) fails the comparison it takes part in, and every division by a
// close or volume of 0 fails the stock.
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "picking/condition_frame.h"
#include "picking/evaluation.h"

namespace picking {
namespace {

constexpr size_t kWidth = data::kStockRecordWords;

// The non-zero lengths of the first `count` parameters, ascending.
std::vector<int32_t> Lengths(const Condition& c, size_t count) {
    std::vector<int32_t> out;
    for (size_t k = 0; k < count; ++k)
        if (c.params[k] != 0) out.push_back(c.params[k]);
    std::sort(out.begin(), out.end());
    return out;
}

struct Spread {
    int64_t nh = 0;  // hundredths of a percent of today's close
    uint32_t max = 0;
    uint32_t min = 0;
};

// Spread of today's averages of the given lengths, relative to today's close.
std::optional<Spread> AverageSpread(const Days& d, const std::vector<int32_t>& lengths) {
    if (lengths.empty()) return std::nullopt;
    Spread s;
    s.min = UINT32_MAX;
    for (int32_t n : lengths) {
        const uint32_t ma = d.Ma(n, 0);
        if (ma == 0) return std::nullopt;
        s.max = std::max(s.max, ma);
        s.min = std::min(s.min, ma);
    }
    const uint32_t close = d.Close(0);
    if (close == 0) return std::nullopt;
    s.nh = RoundedRatio(uint64_t{s.max - s.min} * 10'000, close);
    return s;
}

// Today's rise over yesterday in hundredths of a percent, truncated; nothing
// when yesterday's close is 0 or today did not rise.
std::optional<int64_t> TruncatedRise(const Days& d) {
    const uint64_t c = d.Close(0), cy = d.Close(1);
    if (cy == 0 || c <= cy) return std::nullopt;
    return static_cast<int64_t>((c - cy) * 10'000 / cy);
}

// Short, middle and long average of one day; all non-zero or nothing.
struct Three {
    uint32_t s, m, l;
};
std::optional<Three> ThreeAverages(const Days& d, const std::vector<int32_t>& n, int k) {
    if (!d.Has(k)) return std::nullopt;
    Three t{d.Ma(n[0], k), d.Ma(n[1], k), d.Ma(n[2], k)};
    if (t.s == 0 || t.m == 0 || t.l == 0) return std::nullopt;
    return t;
}

// Short and long average of one day; both non-zero or nothing.
std::optional<std::pair<uint32_t, uint32_t>> TwoAverages(const Days& d, int32_t s, int32_t l,
                                                         int k) {
    if (!d.Has(k)) return std::nullopt;
    const uint32_t a = d.Ma(s, k), b = d.Ma(l, k);
    if (a == 0 || b == 0) return std::nullopt;
    return std::make_pair(a, b);
}

Verdict TestClose(Evaluator& e, const Condition& c, uint32_t code) {
    if (!e.PrepareStock(code)) return Verdict::Fail();
    return InRange(Days(e).Close(0), c.params[0], c.params[1]) ? Verdict::Pass() : Verdict::Fail();
}

Verdict TestFloatShares(Evaluator& e, const Condition& c, const MarketInputs& market,
                        uint32_t code) {
    if (!e.PrepareStock(code)) return Verdict::Fail();
    const uint32_t floatShares = market.codes ? market.codes->StockShares(code).floatShares : 0;
    return InRange(floatShares, c.params[0], c.params[1]) ? Verdict::Pass() : Verdict::Fail();
}

// The upper bound of a3 for the scan types that cap it: 10.99 % for a rise,
// 99,999,999 % for turnover; other types keep the entry's upper bound.
constexpr int64_t kRiseScanCap = 1'099;
constexpr int64_t kTurnoverScanCap = 99'999'999;
constexpr int kRiseScan = 1;
constexpr int kTurnoverScan = 2;

// a3: the N-day change (of the amount while the scan measures turnover)
// between the scan's threshold and the entry's larger bound.
Verdict TestRise(Evaluator& e, const Condition& c, uint32_t code) {
    if (c.params[0] <= 0) return Verdict::Fail();
    const ScanInForce& scan = e.ScanSettings();
    const ChangeMode mode = scan.type == kTurnoverScan ? ChangeMode::Amount : ChangeMode::Price;
    const NDayChange change = e.MeasureNDayChange(code, c.params[0], mode);
    if (!change.hasValue || change.value < 0 || change.newlyListed) return Verdict::Fail();
    const int64_t upper = scan.type == kRiseScan        ? kRiseScanCap
                          : scan.type == kTurnoverScan ? kTurnoverScanCap
                                                       : std::max(c.params[1], c.params[2]);
    if (change.value < scan.threshold || change.value > upper) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(MarkValue(change.value)));
}

// a4 tests the N-day change as a fall: its size within the bounds.
Verdict TestFall(Evaluator& e, const Condition& c, uint32_t code) {
    if (c.params[0] <= 0) return Verdict::Fail();
    const NDayChange change = e.MeasureNDayChange(code, c.params[0], ChangeMode::Price);
    if (!change.hasValue || change.value > 0) return Verdict::Fail();
    if (!InRange(-change.value, c.params[1], c.params[2])) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(MarkValue(-change.value)));
}

Verdict TestTurnover(Evaluator& e, const Condition& c, const MarketInputs& market, uint32_t code) {
    const int32_t n = c.params[0];
    if (n <= 0 || !e.IndexReady()) return Verdict::Fail();
    const uint32_t start = e.WindowStart(static_cast<size_t>(n - 1));
    // At most one bar per index day lies in the window; the date decides.
    if (!e.PrepareStock(code, {Lookback(n - 1), start})) return Verdict::Fail();
    const uint32_t floatShares = market.codes ? market.codes->StockShares(code).floatShares : 0;
    if (floatShares == 0) return Verdict::Fail();
    const auto& v = e.Stock();
    const auto range =
        data::FindDateRange(v, v.firstBar, e.ReferenceBar(), start, e.Reference().date);
    if (range.last == 0 || range.last < range.first) return Verdict::Fail();
    uint64_t volume = 0;
    for (size_t o = range.first; o <= range.last; o += kWidth) volume += data::BarVolume(v, o);
    // Half up as the rule has it: a remainder of at least half the float (integer halves).
    const uint64_t scaled = volume * 100;
    const int64_t turnover = static_cast<int64_t>(
        scaled / floatShares + (scaled % floatShares >= floatShares / 2 ? 1 : 0));
    if (!InRange(turnover, c.params[1], c.params[2])) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(MarkValue(turnover)));
}

Verdict TestVolumeMultiple(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    if (n <= 0 || !e.PrepareStock(code, {Lookback(n)})) return Verdict::Fail();
    const Days d(e);
    if (!d.Has(1)) return Verdict::Fail();
    const uint64_t average = data::AverageVolume(d.View(), d.At(1), n);
    const uint64_t volume = d.Volume(0);
    if (average == 0 || volume == 0) return Verdict::Fail();
    const int64_t multiple = RoundedRatio(volume * 100, average);
    if (!InRange(multiple, c.params[1], c.params[2])) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(MarkValue(multiple)));
}

Verdict TestSpread(Evaluator& e, const Condition& c, uint32_t code) {
    const auto lengths = Lengths(c, 5);
    if (lengths.empty() || !e.PrepareStock(code, {Lookback(lengths.back() - 1)}))
        return Verdict::Fail();
    const auto spread = AverageSpread(Days(e), lengths);
    if (!spread || spread->nh < 0 || spread->nh > c.params[5]) return Verdict::Fail();
    return Verdict::Pass(SignalMark::Three(MarkValue(spread->nh), spread->max, spread->min));
}

Verdict TestCloseCrossesAverage(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    if (!e.PrepareStock(code, {Lookback(n)})) return Verdict::Fail();
    const Days d(e);
    const uint32_t c0 = d.Close(0), cy = d.Close(1);
    const uint32_t ma0 = d.Ma(n, 0), may = d.Ma(n, 1);
    if (!(ma0 > 0 && c0 > ma0 && may > 0 && cy > 0 && cy < may)) return Verdict::Fail();
    const data::Bar today = d.Bar(0), yesterday = d.Bar(1);
    return Verdict::Pass(SignalMark::Two(std::max({today.high, yesterday.high, ma0}),
                                         std::min({today.low, yesterday.low, may})));
}

Verdict TestGoldenCross(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t s = std::min(c.params[0], c.params[1]), l = std::max(c.params[0], c.params[1]);
    if (!e.PrepareStock(code, {Lookback(l)})) return Verdict::Fail();
    const Days d(e);
    const auto today = TwoAverages(d, s, l, 0), yesterday = TwoAverages(d, s, l, 1);
    if (!today || !yesterday) return Verdict::Fail();
    if (!(today->first > today->second && yesterday->first < yesterday->second))
        return Verdict::Fail();
    const data::Bar b0 = d.Bar(0), by = d.Bar(1);
    return Verdict::Pass(SignalMark::Two(std::max({b0.high, by.high, today->first}),
                                         std::min({b0.low, by.low, yesterday->first})));
}

// b9: every average rising and each strictly above the next longer one.
Verdict TestBullishOrder(Evaluator& e, const Condition& c, uint32_t code) {
    const auto lengths = Lengths(c, 5);
    if (lengths.empty()) return Verdict::Pass();  // nothing to compare: passes unread
    if (!e.PrepareStock(code, {Lookback(lengths.back())})) return Verdict::Fail();
    const Days d(e);
    SpanBounds bounds;
    uint32_t longer = 0;
    for (auto it = lengths.rbegin(); it != lengths.rend(); ++it) {
        const uint32_t today = d.Ma(*it, 0), yesterday = d.Ma(*it, 1);
        if (today == 0 || yesterday == 0 || today < yesterday) return Verdict::Fail();
        if (longer != 0 && today <= longer) return Verdict::Fail();
        longer = today;
        bounds.Add(today);
    }
    return Verdict::Pass(SignalMark::Two(bounds.high, bounds.low));
}

// b10 and b11: averages close together, and today's close breaks above them
// with a rise of at least 1.70 %.
Verdict TestSpreadBreakout(Evaluator& e, const Condition& c, uint32_t code) {
    const bool fixed = c.code.Is('b', 10);
    const std::vector<int32_t> lengths =
        fixed ? std::vector<int32_t>{5, 10, 20, 30, 60} : Lengths(c, 5);
    const int32_t bound = fixed ? c.params[0] : c.params[5];
    if (lengths.empty() || !e.PrepareStock(code, {Lookback(std::max(lengths.back() - 1, 1))}))
        return Verdict::Fail();
    const Days d(e);
    const auto spread = AverageSpread(d, lengths);
    if (!spread || spread->nh < 0 || spread->nh > bound) return Verdict::Fail();
    const uint32_t c0 = d.Close(0), cy = d.Close(1);
    if (c0 <= spread->max || cy == 0 || cy > spread->max) return Verdict::Fail();
    if (RoundedChange(cy, c0) < 170) return Verdict::Fail();
    return Verdict::Pass(SignalMark::Three(MarkValue(spread->nh), spread->max, spread->min));
}

// b12 出水芙蓉: one rising candle of 2 % or more crosses all three averages.
Verdict TestLotusCross(Evaluator& e, const Condition& c, uint32_t code) {
    const auto n = Lengths(c, 3);
    if (n.size() != 3 || !e.PrepareStock(code, {Lookback(n.back())})) return Verdict::Fail();
    const Days d(e);
    const auto rise = TruncatedRise(d);
    if (!rise || *rise < 200) return Verdict::Fail();
    const auto t = ThreeAverages(d, n, 0), y = ThreeAverages(d, n, 1);
    if (!t || !y) return Verdict::Fail();
    const uint32_t c0 = d.Close(0), cy = d.Close(1);
    if (!(t->s < c0 && t->m < c0 && t->l < c0)) return Verdict::Fail();
    if (!(y->s <= y->m && y->m <= y->l && y->s >= cy)) return Verdict::Fail();
    return Verdict::Pass(SignalMark::Two(d.Bar(0).high, d.Bar(1).low));
}

// b13 金蜘蛛: the averages turn from bearish to bullish order within one or two days.
Verdict TestGoldenSpider(Evaluator& e, const Condition& c, uint32_t code) {
    const auto n = Lengths(c, 3);
    if (n.size() != 3 || !e.PrepareStock(code, {Lookback(n.back() + 1)})) return Verdict::Fail();
    const Days d(e);
    const auto rise = TruncatedRise(d);
    if (!rise || *rise <= 0) return Verdict::Fail();
    const auto t = ThreeAverages(d, n, 0);
    if (!t || !(t->s > t->m && t->m > t->l)) return Verdict::Fail();
    const auto bearish = [&](int k) {
        const auto a = ThreeAverages(d, n, k);
        return a && a->s < a->m && a->m < a->l;
    };
    int type = 0;
    if (bearish(1))
        type = 2;
    else if (bearish(2))
        type = 3;
    else
        return Verdict::Fail();
    SpanBounds bounds;
    for (int k = 0; k < type; ++k) {
        bounds.AddBar(d.Bar(k));
        const auto a = ThreeAverages(d, n, k);
        if (!a) return Verdict::Fail();
        bounds.Add(a->s), bounds.Add(a->m), bounds.Add(a->l);
    }
    return Verdict::Pass(SignalMark::Three(bounds.high, bounds.low, static_cast<uint32_t>(type)));
}

constexpr int kValleyPhaseDays = 5;

// b14 银山谷: walking back from today, the short average crossed the long one
// (with the middle one below both), and before that the middle one (with the
// long one above both), each within five days.
Verdict TestSilverValley(Evaluator& e, const Condition& c, uint32_t code) {
    const auto n = Lengths(c, 3);
    const size_t lookback = Lookback(n.empty() ? 0 : n.back()) + 2 + 2 * (kValleyPhaseDays + 1);
    if (n.size() != 3 || !e.PrepareStock(code, {lookback})) return Verdict::Fail();
    const Days d(e);
    SpanBounds bounds;
    const auto visit = [&](int k) {
        auto a = ThreeAverages(d, n, k);
        if (a) {
            bounds.AddBar(d.Bar(k));
            bounds.Add(a->s), bounds.Add(a->m), bounds.Add(a->l);
        }
        return a;
    };
    const auto t = visit(0);
    if (!t || !(t->s > t->m && t->m > t->l)) return Verdict::Fail();
    const auto y = visit(1);
    if (!y || !(y->s > y->l && y->l > y->m)) return Verdict::Fail();

    int k = 2, phaseOne = 0;
    for (;; ++k) {
        const auto a = visit(k);
        if (!a) return Verdict::Fail();
        if (a->s < a->l) break;
        if (!(a->m < a->s && a->m < a->l)) return Verdict::Fail();
        if (++phaseOne > kValleyPhaseDays) return Verdict::Fail();
    }
    if (phaseOne < 1) return Verdict::Fail();

    int phaseTwo = 0;
    for (;; ++k) {
        const auto a = visit(k);
        if (!a) return Verdict::Fail();
        if (!(a->l > a->s && a->l > a->m)) return Verdict::Fail();
        if (a->s < a->m) break;
        if (++phaseTwo > kValleyPhaseDays) return Verdict::Fail();
    }
    if (phaseTwo < 1) return Verdict::Fail();
    return Verdict::Pass(
        SignalMark::Three(bounds.high, bounds.low, static_cast<uint32_t>(phaseOne + phaseTwo + 2)));
}

constexpr int kWashoutMaxDays = 9;

// b15: a golden cross today after the short average stayed at or below the
// long one for 2 to 10 days, which began with an earlier dead cross.
Verdict TestCrossAfterWashout(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t s = std::min(c.params[0], c.params[1]), l = std::max(c.params[0], c.params[1]);
    if (!e.PrepareStock(code, {Lookback(l) + kWashoutMaxDays + 3})) return Verdict::Fail();
    const Days d(e);
    // The span is today, yesterday and the further days; the day of the
    // earlier dead cross, which ends the walk, lies outside it.
    SpanBounds bounds;
    const auto include = [&](int k, const std::pair<uint32_t, uint32_t>& a) {
        bounds.AddBar(d.Bar(k));
        bounds.Add(a.first), bounds.Add(a.second);
    };
    const auto t = TwoAverages(d, s, l, 0), y = TwoAverages(d, s, l, 1);
    if (!t || !y || !(t->first > t->second && y->first < y->second)) return Verdict::Fail();
    include(0, *t);
    include(1, *y);
    int further = 0;
    for (int k = 2;; ++k) {
        const auto a = TwoAverages(d, s, l, k);
        if (!a) return Verdict::Fail();
        if (a->first > a->second) break;
        if (++further > kWashoutMaxDays) return Verdict::Fail();
        include(k, *a);
    }
    if (further < 1) return Verdict::Fail();
    return Verdict::Pass(
        SignalMark::Three(bounds.high, bounds.low, static_cast<uint32_t>(further + 2)));
}

constexpr int kBelowAverageMaxDays = 5;

// b16: the close fell below a rising average for 2 to 6 days and returns
// today on a 2 % rise with at least 1.5 times yesterday's volume.
Verdict TestReturnAboveAverage(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    if (!e.PrepareStock(code, {Lookback(n) + kBelowAverageMaxDays + 4})) return Verdict::Fail();
    const Days d(e);
    const uint32_t c0 = d.Close(0), cy = d.Close(1);
    const uint32_t ma0 = d.Ma(n, 0), may = d.Ma(n, 1);
    if (ma0 == 0 || c0 <= ma0) return Verdict::Fail();
    const auto rise = TruncatedRise(d);
    if (!rise || *rise < 200) return Verdict::Fail();
    const uint64_t v0 = d.Volume(0), vy = d.Volume(1);
    if (vy == 0 || v0 * 100 / vy < 150 || v0 <= vy) return Verdict::Fail();
    if (may == 0 || ma0 < may || cy >= may) return Verdict::Fail();

    SpanBounds bounds;
    bounds.AddBar(d.Bar(0));
    bounds.AddBar(d.Bar(1));
    int further = 0;
    uint32_t later = may;
    for (int k = 2;; ++k) {
        const uint32_t ma = d.Ma(n, k);
        if (!d.Has(k) || ma == 0 || ma > later) return Verdict::Fail();
        bounds.AddBar(d.Bar(k));
        if (d.Close(k) > ma) break;
        if (++further > kBelowAverageMaxDays) return Verdict::Fail();
        later = ma;
    }
    if (further < 1) return Verdict::Fail();
    return Verdict::Pass(
        SignalMark::Three(bounds.high, bounds.low, static_cast<uint32_t>(further + 3)));
}

}  // namespace

Verdict TestCondition(Evaluator& e, const Condition& c, uint32_t code) {
    const ConditionCode k = c.code;
    if (k.Is('a', 1)) return TestClose(e, c, code);
    if (k.Is('a', 2)) return TestFloatShares(e, c, e.Market(), code);
    if (k.Is('a', 3)) return TestRise(e, c, code);
    if (k.Is('a', 4)) return TestFall(e, c, code);
    if (k.Is('a', 5)) return TestTurnover(e, c, e.Market(), code);
    if (k.Is('a', 6)) return TestVolumeMultiple(e, c, code);
    if (k.Is('a', 7)) return TestSpread(e, c, code);
    if (k.Is('a', 8)) return TestCloseCrossesAverage(e, c, code);
    if (k.Is('a', 9)) return TestGoldenCross(e, c, code);
    if (k.Is('b', 9)) return TestBullishOrder(e, c, code);
    if (k.Is('b', 10) || k.Is('b', 11)) return TestSpreadBreakout(e, c, code);
    if (k.Is('b', 12)) return TestLotusCross(e, c, code);
    if (k.Is('b', 13)) return TestGoldenSpider(e, c, code);
    if (k.Is('b', 14)) return TestSilverValley(e, c, code);
    if (k.Is('b', 15)) return TestCrossAfterWashout(e, c, code);
    if (k.Is('b', 16)) return TestReturnAboveAverage(e, c, code);
    if (k.InRange('b', 1, 5)) return TestBreakout(e, c, code);
    if (k.Is('b', 6)) return TestMarketCrash(e, c, code);
    if (k.Is('b', 7)) return TestGeneralFall(e, c, code);
    if (k.InRange('b', 18, 30)) return TestIndicator(e, c, code);
    if (k.InRange('b', 31, 57)) return TestCandlePattern(e, c, code);
    return Verdict::Fail();
}

std::optional<StockWindow> PrepareWindow(Evaluator& e, uint32_t code, size_t barsBefore,
                                         size_t days) {
    if (days == 0 || !e.IndexReady()) return std::nullopt;
    const uint32_t start = e.WindowStart(days - 1);
    // A stock trading every day has days - 1 bars in the window before today.
    if (!e.PrepareStock(code, {std::max(barsBefore, days - 1), start})) return std::nullopt;
    const auto& v = e.Stock();
    const auto range =
        data::FindDateRange(v, v.firstBar, e.ReferenceBar(), start, e.Reference().date);
    if (range.count < 1) return std::nullopt;
    return StockWindow{range.first, range.count + 1};
}

}  // namespace picking
