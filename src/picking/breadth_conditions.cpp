// b6 and b7: a stock that rose over N days while the market fell, judged by
// the market index (b6) or by the candidates of the run themselves (b7).
// Both end the run (4444) when there is no market index.
#include <string>

#include "picking/condition_frame.h"

namespace picking {
namespace {

// The stock's closes at both ends of the N-day window: bars from the window
// start to the reference day, the first dated on the start, and N bars
// before today.
struct WindowCloses {
    uint64_t today = 0;   // s0
    uint64_t earlier = 0;  // sN, not 0
};

std::optional<WindowCloses> ClosesOverWindow(Evaluator& e, uint32_t code, int32_t n) {
    if (n < 0) return std::nullopt;
    const auto days = static_cast<size_t>(n);
    const uint32_t start = e.WindowStart(days);
    if (!e.PrepareStock(code, {days, start})) return std::nullopt;
    const auto& v = e.Stock();
    const size_t today = e.ReferenceBar();
    const auto range = data::FindDateRange(v, v.firstBar, today, start, e.Reference().date);
    if (range.count < 1 || v.image[range.first] != start) return std::nullopt;
    if (e.BarsBefore(today) < days) return std::nullopt;
    const Days d(e);
    const WindowCloses closes{d.Close(0), d.Close(n)};
    if (closes.earlier == 0) return std::nullopt;
    return closes;
}

// Passes a stock that rose by at least `least` over the window.
Verdict RoseEnough(const WindowCloses& s, int32_t least) {
    if (s.today <= s.earlier) return Verdict::Fail();
    const int64_t rise = RoundedChange(s.earlier, s.today);
    if (rise < least) return Verdict::Fail();
    return Verdict::Pass(SignalMark::One(MarkValue(rise)));
}

// The index's move over the window, judged once per reference day: it must
// have fallen by at least `least`. Otherwise the message says what it did.
Match JudgeIndexMove(Evaluator& e, int32_t n, int32_t least) {
    const data::SeriesView& index = e.Market().index;
    const auto at = data::AlignWithIndex(index, e.Cutoff(), static_cast<size_t>(n));
    const uint64_t c0 = data::BarClose(index, at.offset), cN = data::BarClose(index, at.earlierOffset);
    if (cN == 0) return Match::Abort;
    const int64_t change = RoundedChange(cN, c0);
    if (c0 < cN && -change >= least) return Match::Pass;
    e.Note(std::to_string(n) + "日内大盘指数涨跌幅(" + TwoDecimals(change) + "%)不满足选股条件");
    return Match::Abort;
}

}  // namespace

Verdict TestMarketCrash(Evaluator& e, const Condition& c, uint32_t code) {
    const int32_t n = c.params[0];
    if (!e.IndexReady()) return Verdict::Abort();
    if (n < 0) return Verdict::Fail();
    BreadthState& breadth = e.Breadth();
    if (!breadth.indexMove) breadth.indexMove = JudgeIndexMove(e, n, c.params[1]);
    if (*breadth.indexMove == Match::Abort) return Verdict::Abort();
    const auto closes = ClosesOverWindow(e, code, n);
    return closes ? RoseEnough(*closes, c.params[2]) : Verdict::Fail();
}

Verdict TestGeneralFall(Evaluator& e, const Condition& c, uint32_t code) {
    if (!e.IndexReady()) return Verdict::Abort();
    const auto closes = ClosesOverWindow(e, code, c.params[0]);
    if (!closes) return Verdict::Fail();
    BreadthState& breadth = e.Breadth();
    if (closes->today > closes->earlier) ++breadth.rising;
    if (closes->today < closes->earlier) ++breadth.falling;
    return RoseEnough(*closes, c.params[2]);
}

BreadthRatio RatioOf(const BreadthState& breadth) {
    const uint32_t rising = breadth.rising == 0 ? 1 : breadth.rising;
    return {breadth.falling, breadth.rising, RoundedRatio(uint64_t{breadth.falling} * 100, rising)};
}

bool SelectionCancelled(Evaluator& e, const Condition& c) {
    if (!c.code.Is('b', 7)) return false;
    const BreadthRatio r = RatioOf(e.Breadth());
    if (r.ratio >= c.params[1]) return false;
    // Counts of 0 are written "0" (a "%.d" would leave them out).
    e.Note(std::to_string(c.params[0]) + "日内下跌家数(" + std::to_string(r.falling) +
           ")与上涨家数(" + std::to_string(r.rising) + ")之比=(" + TwoDecimals(r.ratio) +
           ")，不满足选股条件");
    return true;
}

}  // namespace picking
