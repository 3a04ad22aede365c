#include "indicators/series_calculations.h"

#include <array>
#include <cmath>
#include <vector>

#include "indicators/formulas.h"
#include "indicators/recursions.h"
#include "indicators/window_columns.h"

namespace indicators {
namespace {

size_t BarsUpToLast(const SeriesWork& work) {
    return work.Last() + 1;
}

std::vector<double> YuanCloses(const SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    return Column<double>(BarsUpToLast(work), [&](size_t u) { return Yuan(bars[u].close); });
}

// Whether the n bars ending at t have one close (n > 0), from EqualRuns.
bool Flat(const std::vector<uint32_t>& runs, size_t t, int32_t n) {
    return runs[t] >= static_cast<uint32_t>(n);
}

std::vector<uint32_t> CloseRuns(const SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    return EqualRuns(BarsUpToLast(work),
                     [&](size_t u) { return bars[u].close == bars[u - 1].close; });
}

}  // namespace

void BiasSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const std::vector<double> closes = YuanCloses(work);
    const std::array<int32_t, 3> lengths{work.Param(0), work.Param(1), work.Param(2)};
    const auto sums = NestedSingleSums(work.First(), work.Last(), lengths, closes);
    for (int k = 0; k < work.LineCount(); ++k) {
        const int32_t n = lengths[k];
        work.Fill(k, [&](size_t t) {
            if (!HasBars(t, n)) return kNoValue;
            return BiasFrom(sums[k][t - work.First()], bars[t].close, n);
        });
    }
}

void KdSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t count = BarsUpToLast(work);
    const WindowExtremes extremes(bars, count, n);
    // The RSVs first: their divisions do not wait on each other, the
    // recursion's do.
    const std::vector<double> rsv = Column<double>(
        count, [&](size_t u) { return n <= 0 ? 0 : RsvFrom(extremes.At(u), bars[u].close); });
    KdRecursion kd(n, work.Param(1), work.Param(2));
    for (size_t u = 0; u < work.First(); ++u) kd.FeedRsv(rsv[u]);
    work.FillAll([&](size_t t) {
        kd.FeedRsv(rsv[t]);
        const KdValues v = kd.Values();
        return LineValues{3, {v.k, v.d, v.j}};
    });
}

void BollSeries(SeriesWork& work) {
    const int32_t n = work.Param(0);
    const int32_t width = work.Param(1);
    const std::vector<double> closes = YuanCloses(work);
    const std::vector<double> squares =
        Column<double>(closes.size(), [&](size_t u) { return closes[u] * closes[u]; });
    const auto s1 = SingleSums(work.First(), work.Last(), n, closes);
    const auto s2 = SingleSums(work.First(), work.Last(), n, squares);
    const std::vector<uint32_t> runs = CloseRuns(work);
    work.FillAll([&](size_t t) {
        BollValues b;
        if (HasBars(t, n))
            b = BollFrom(s1[t - work.First()], s2[t - work.First()], Flat(runs, t, n), n, width);
        return LineValues{3, {b.mid, b.upper, b.lower}};
    });
}

void WilliamsRSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    for (int k = 0; k < work.LineCount(); ++k) {
        const int32_t n = work.Param(k);
        const WindowExtremes extremes(bars, BarsUpToLast(work), n);
        work.Fill(k, [&](size_t t) {
            return n <= 0 ? kNoValue : WilliamsRFrom(extremes.At(t), bars[t].close);
        });
    }
}

void DmiSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const int32_t m = work.Param(1);
    const size_t count = BarsUpToLast(work);
    // The n-bar sums slide: each bar's move added, the one n bars before it
    // taken off again (exact integers).
    std::vector<DirectionalPair> dmi(count);
    DirectionalMove sums;
    for (size_t u = 1; n > 0 && u < count; ++u) {
        sums += DirectionalMoveAt(bars, u);
        if (u < static_cast<size_t>(n)) continue;
        if (u > static_cast<size_t>(n)) sums -= DirectionalMoveAt(bars, u - n);
        dmi[u] = DmiFrom(sums);
    }
    // ADX: the DX of the m bars ending at a bar, none where one has no pair;
    // the sums turn into the averages in place.
    const std::vector<double> dx =
        Column<double>(count, [&](size_t u) { return HasPair(dmi[u]) ? DxOf(dmi[u]) : 0.0; });
    std::vector<double> adx = DoubleSums(0, count - 1, m, dx);
    size_t pairedRun = 0;  // bars in a row up to t that have a pair
    for (size_t t = 0; t < count; ++t) {
        pairedRun = HasPair(dmi[t]) ? pairedRun + 1 : 0;
        const bool paired = m > 0 && pairedRun >= static_cast<size_t>(m);
        adx[t] = n <= 0 || !paired || t < static_cast<size_t>(m) ? kNoValue : adx[t] / m;
    }
    work.Fill(0, [&](size_t t) { return dmi[t].pdi; });
    work.Fill(1, [&](size_t t) { return dmi[t].mdi; });
    work.Fill(2, [&](size_t t) { return adx[t]; });
    work.Fill(3, [&](size_t t) { return AdxrOf(t, n, m, [&](size_t u) { return adx[u]; }); });
}

void CciSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    if (n <= 0) {
        work.Fill(0, [](size_t) { return kNoValue; });
        return;
    }
    const size_t first = work.First();
    const size_t count = BarsUpToLast(work);
    const std::vector<double> typical =
        Column<double>(count, [&](size_t u) { return TypicalPrice(bars, u); });
    const std::vector<uint32_t> runs =
        EqualRuns(count, [&](size_t u) { return typical[u] == typical[u - 1]; });
    const size_t last = work.Last();
    const std::vector<float> sums = SingleSums(first, last, n, typical);
    std::vector<double> means(sums.size());
    for (size_t i = 0; i < sums.size(); ++i) means[i] = double{sums[i]} / n;
    // The distances from each window's own mean, one step of every window
    // at a time, as SingleSums adds.
    std::vector<float> deviations(sums.size(), 0.0f);
    std::array<double, kBlockBars> distances;
    ForEachWindowStep(first, last, n, [&](int32_t k, size_t from, size_t count) {
        for (size_t i = 0; i < count; ++i)
            distances[i] = std::fabs(means[from + i - first] - typical[from + i - k]);
        AddSingleColumn(deviations.data() + (from - first), distances.data(), count);
    });
    work.Fill(0, [&](size_t t) {
        // A flat window deviates by nothing, as CciOf has it.
        if (!HasBars(t, n) || Flat(runs, t, n)) return kNoValue;
        return CciFrom(typical[t], means[t - first], deviations[t - first], n);
    });
}

void ArbrSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    // The n-bar sums slide as DMI's do.
    ArbrMove sums;
    for (size_t u = 0; u <= work.Last(); ++u) {
        sums += ArbrMoveAt(bars, u);
        if (n > 0 && u >= static_cast<size_t>(n)) sums -= ArbrMoveAt(bars, u - n);
        if (u < work.First()) continue;
        ArbrValues a;
        if (HasBars(u, n)) a = ArbrFrom(sums);
        work.Set(u, {2, {a.ar, a.br}});
    }
}

void PsySeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const RunningTotals rises(BarsUpToLast(work),
                              [&](size_t u) { return u > 0 && RoseAt(bars, u) ? 1 : 0; });
    work.Fill(0, [&](size_t t) {
        if (n <= 0 || t < static_cast<size_t>(n)) return kNoValue;
        return PsyFrom(rises.Window(t, n), n);
    });
}

void CrSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t count = BarsUpToLast(work);
    // The averages read CR up to 7m/5 + 1 bars back: CR of every bar.
    std::vector<double> ups(count, 0.0);
    std::vector<double> downs(count, 0.0);
    for (size_t u = 1; u < count; ++u) {
        const CrMove move = CrMoveAt(bars, u);
        ups[u] = move.up;
        downs[u] = move.down;
    }
    const std::vector<float> up = SingleSums(0, count - 1, n, ups);
    const std::vector<float> down = SingleSums(0, count - 1, n, downs);
    const std::vector<double> cr = Column<double>(count, [&](size_t t) {
        return n <= 0 || t == 0 ? kNoValue : CrFrom(up[t], down[t]);
    });
    // A value without value adds 0 to the averages (CR is never negative).
    const std::vector<double> valid =
        Column<double>(count, [&](size_t u) { return cr[u] != kNoValue ? cr[u] : 0.0; });
    work.Fill(0, [&](size_t t) { return cr[t]; });
    for (int k = 1; k < work.LineCount(); ++k) {
        const int32_t m = work.Param(k);
        if (n <= 0 || m <= 0) {
            work.Fill(k, [](size_t) { return kNoValue; });
            continue;
        }
        // CrAverageOf: the m values from 7m/5 bars back, oldest first, in
        // double.
        const size_t shift = static_cast<size_t>(int64_t{7} * m / 5);
        const size_t from = std::max(work.First(), shift + 1);
        std::vector<double> sums(count, 0.0);
        if (from <= work.Last())
            ForEachBlock(from, work.Last(), [&](size_t begin, size_t end) {
                for (int32_t j = 0; j < m; ++j)
                    AddDoubleColumn(sums.data() + begin, valid.data() + (begin - shift + j),
                                    end - begin);
            });
        work.Fill(k, [&](size_t t) {
            if (t <= shift || cr[t - shift] == kNoValue) return kNoValue;
            return sums[t] / m;
        });
    }
}

void VrSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t count = BarsUpToLast(work);
    const RunningTotals up(count, [&](size_t u) -> int64_t {
        return u > 0 && RoseAt(bars, u) ? bars[u].volume : 0;
    });
    const RunningTotals down(count, [&](size_t u) -> int64_t {
        return u > 0 && !RoseAt(bars, u) ? bars[u].volume : 0;
    });
    work.Fill(0, [&](size_t t) {
        if (n <= 0 || t == 0) return kNoValue;
        return VrFrom(static_cast<double>(up.Window(t, n)), static_cast<double>(down.Window(t, n)));
    });
}

void RocSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const int32_t m = work.Param(1);
    const std::vector<double> roc =
        Column<double>(BarsUpToLast(work), [&](size_t u) { return RocOf(bars, u, n); });
    const std::vector<double> valid =
        Column<double>(roc.size(), [&](size_t u) { return ValidOrZero(roc[u]); });
    const std::vector<float> sums = SingleSums(work.First(), work.Last(), m, valid);
    work.Fill(0, [&](size_t t) { return roc[t]; });
    work.Fill(1, [&](size_t t) {
        if (n <= 0 || m <= 0 || t < static_cast<size_t>(n) || t < static_cast<size_t>(m))
            return kNoValue;
        return SingleAverageFrom(sums[t - work.First()], m);
    });
}

void DmaSeries(SeriesWork& work) {
    const int32_t n1 = work.Param(0);
    const int32_t n2 = work.Param(1);
    const int32_t m = work.Param(2);
    // AMA averages DDD over the m bars ending at each wanted bar.
    const size_t from = m > 0 && work.First() >= static_cast<size_t>(m) ? work.First() - (m - 1) : 0;
    const std::vector<double> closes = YuanCloses(work);
    const std::vector<uint32_t> runs = CloseRuns(work);
    const auto sums = NestedSingleSums(from, work.Last(), std::array<int32_t, 2>{n1, n2}, closes);
    std::vector<double> ddd(BarsUpToLast(work), kNoValue);
    for (size_t t = from; t <= work.Last(); ++t) {
        if (!HasBars(t, n1) || !HasBars(t, n2)) continue;
        // Two float means of the same flat closes can differ in the last bit.
        ddd[t] = Flat(runs, t, std::max(n1, n2))
                     ? 0
                     : DddFrom(sums[0][t - from], sums[1][t - from], n1, n2);
    }
    const std::vector<double> valid =
        Column<double>(ddd.size(), [&](size_t u) { return ValidOrZero(ddd[u]); });
    const std::vector<float> amaSums = SingleSums(work.First(), work.Last(), m, valid);
    work.Fill(0, [&](size_t t) { return ddd[t]; });
    work.Fill(1, [&](size_t t) {
        if (!HasBars(t, n1) || !HasBars(t, n2) || !HasBars(t, m)) return kNoValue;
        return SingleAverageFrom(amaSums[t - work.First()], m);
    });
}

}  // namespace indicators
