// The whole-series walks of the recursive indicators: every bar from the
// oldest on, through the steppers of recursions.h. Each step waits on the one
// before, so what bounds them is the length of that chain, not the work.
//
// Built without GCC's packing of neighbouring scalars into one vector
// register (see CMakeLists.txt): it packed K and D, and the EMAs, so that each
// of those chains also waited on the other's step.
#include <vector>

#include "indicators/formulas.h"
#include "indicators/recursions.h"
#include "indicators/series_calculations.h"
#include "indicators/window_columns.h"

namespace indicators {
namespace {

// The calculation of a recursive indicator: its lines (recursions.h) fed
// every bar from the oldest on.
template <class Lines>
void Recursive(SeriesWork& work) {
    Lines lines(work.Params());
    for (size_t u = 0; u <= work.Last(); ++u) {
        lines.Feed(work.Bars(), u);
        if (u >= work.First()) work.Set(u, lines.Values());
    }
}

}  // namespace

void KdSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t count = work.BarCount();
    const WindowExtremes extremes(bars, count, n);
    const std::vector<uint32_t> closes = Closes(work);
    // The RSVs first: their divisions do not wait on each other, the
    // recursion's do.
    const std::vector<double> rsv =
        n <= 0 ? std::vector<double>(count, 0.0) : Column<double>(count, [&](size_t u) {
            return RsvFrom(extremes.At(u), closes[u]);
        });
    KdRecursion kd(n, work.Param(1), work.Param(2));
    for (size_t u = 0; u < work.First(); ++u) kd.FeedRsv(rsv[u]);
    work.FillAll([&](size_t t) {
        kd.FeedRsv(rsv[t]);
        const KdValues v = kd.Values();
        return LineValues{3, {v.k, v.d, v.j}};
    });
}

void RsiSeries(SeriesWork& work) {
    Recursive<RsiLines>(work);
}

void MacdSeries(SeriesWork& work) {
    Recursive<MacdLines>(work);
}

void ObvSeries(SeriesWork& work) {
    Recursive<ObvLine>(work);
}

}  // namespace indicators
