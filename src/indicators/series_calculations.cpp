#include "indicators/series_calculations.h"

#include <array>
#include <cmath>
#include <vector>

#include "indicators/formulas.h"
#include "indicators/recursions.h"
#include "indicators/window_columns.h"

namespace indicators {
namespace {

std::vector<double> YuanCloses(const SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    return Column<double>(work.BarCount(), [&](size_t u) { return Yuan(bars[u].close); });
}

// Whether the n bars ending at t have one close (n > 0), from EqualRuns.
bool Flat(const std::vector<uint32_t>& runs, size_t t, int32_t n) {
    return runs[t] >= static_cast<uint32_t>(n);
}

std::vector<uint32_t> CloseRuns(const SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    return EqualRuns(work.BarCount(),
                     [&](size_t u) { return bars[u].close == bars[u - 1].close; });
}

}  // namespace

void BiasSeries(SeriesWork& work) {
    const std::vector<double> closes = YuanCloses(work);
    const std::array<int32_t, 3> lengths{work.Param(0), work.Param(1), work.Param(2)};
    const auto sums = NestedSingleSums(work.First(), work.Last(), lengths, closes);
    for (int k = 0; k < work.LineCount(); ++k) {
        const int32_t n = lengths[k];
        const float* sum = sums[k].data();
        work.FillFrom(k, FirstWithBars(n),
                      [&](size_t t) { return BiasFrom(sum[t - work.First()], closes[t], n); });
    }
}

void BollSeries(SeriesWork& work) {
    const int32_t n = work.Param(0);
    const int32_t width = work.Param(1);
    const std::vector<double> closes = YuanCloses(work);
    const std::vector<double> squares =
        Column<double>(closes.size(), [&](size_t u) { return closes[u] * closes[u]; });
    const size_t first = work.First();
    const auto s1 = SingleSums(first, work.Last(), n, closes);
    const auto s2 = SingleSums(first, work.Last(), n, squares);
    const std::vector<uint32_t> runs = CloseRuns(work);
    // Every window's mean and deviation first, then the bands from them.
    std::vector<double> mids(s1.size());
    std::vector<double> deviations(s1.size());
    for (size_t i = 0; i < s1.size(); ++i) {
        mids[i] = double{s1[i]} / n;
        deviations[i] = BollDeviation(s1[i], s2[i], Flat(runs, first + i, n), n);
    }
    auto band = [&](size_t t) { return BollBand(mids[t - first], deviations[t - first], width); };
    // Before the first whole window the lines are 0, as BollValues{} has them.
    const size_t from = FirstWithBars(n);
    work.FillFrom(0, from, [&](size_t t) { return band(t).mid; }, 0);
    work.FillFrom(1, from, [&](size_t t) { return band(t).upper; }, 0);
    work.FillFrom(2, from, [&](size_t t) { return band(t).lower; }, 0);
}

void WilliamsRSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const std::vector<uint32_t> closes = Closes(work);
    for (int k = 0; k < work.LineCount(); ++k) {
        const int32_t n = work.Param(k);
        const WindowExtremes extremes(bars, work.BarCount(), n);
        work.FillFrom(k, n > 0 ? 0 : SIZE_MAX,
                      [&](size_t t) { return WilliamsRFrom(extremes.At(t), closes[t]); });
    }
}

void DmiSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const int32_t m = work.Param(1);
    const size_t count = work.BarCount();
    // The n-bar sums slide over the moves from bar 1 on. A block of them at a
    // time, then the block's pairs from the first whole window on, none
    // before it.
    std::vector<double> pdi(count, kNoValue);
    std::vector<double> mdi(count, kNoValue);
    SlidingSum<DirectionalMove> window(n);
    std::array<std::array<double, kBlockBars>, 3> block;  // the sums plus, minus, true range
    if (n > 0)
        ForEachBlock(1, count - 1, [&](size_t begin, size_t end) {
            for (size_t u = begin; u < end; ++u) {
                const DirectionalMove& sums = window.Add(DirectionalMoveAt(bars, u));
                block[0][u - begin] = static_cast<double>(sums.plus);
                block[1][u - begin] = static_cast<double>(sums.minus);
                block[2][u - begin] = static_cast<double>(sums.trueRange);
            }
            for (size_t u = std::max(begin, static_cast<size_t>(n)); u < end; ++u) {
                const size_t i = u - begin;
                const DirectionalPair pair = DmiFrom(block[0][i], block[1][i], block[2][i]);
                pdi[u] = pair.pdi;
                mdi[u] = pair.mdi;
            }
        });
    auto dmi = [&](size_t u) { return DirectionalPair{pdi[u], mdi[u]}; };
    // ADX: the DX of the m bars ending at a bar, none where one has no pair;
    // the sums turn into the averages in place.
    const std::vector<double> dx =
        Column<double>(count, [&](size_t u) { return HasPair(dmi(u)) ? DxOf(dmi(u)) : 0.0; });
    std::vector<double> adx = DoubleSums(0, count - 1, m, dx);
    std::vector<uint32_t> pairedRuns(count);  // bars in a row up to t that have a pair
    for (size_t t = 0; t < count; ++t)
        pairedRuns[t] = HasPair(dmi(t)) ? (t > 0 ? pairedRuns[t - 1] : 0) + 1 : 0;
    for (size_t t = 0; t < count; ++t) {
        const double mean = adx[t] / m;
        const bool paired = m > 0 && pairedRuns[t] >= static_cast<uint32_t>(m);
        adx[t] = n <= 0 || !paired || t < static_cast<size_t>(m) ? kNoValue : mean;
    }
    work.Fill(0, [&](size_t t) { return pdi[t]; });
    work.Fill(1, [&](size_t t) { return mdi[t]; });
    work.Fill(2, [&](size_t t) { return adx[t]; });
    work.FillFrom(3, n > 0 && m > 0 ? static_cast<size_t>(m) : SIZE_MAX,
                  [&](size_t t) { return AdxrFrom(adx[t], adx[t - m]); });
}

void CciSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    if (n <= 0) {
        work.Fill(0, [](size_t) { return kNoValue; });
        return;
    }
    const size_t first = work.First();
    const size_t count = work.BarCount();
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
    work.FillFrom(0, FirstWithBars(n), [&](size_t t) {
        const double cci = CciFrom(typical[t], means[t - first], deviations[t - first], n);
        // A flat window deviates by nothing, as CciOf has it.
        return Flat(runs, t, n) ? kNoValue : cci;
    });
}

void ArbrSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t first = work.First();
    // The n-bar sums slide as DMI's do; the ratios come after, from the sums
    // as doubles.
    const size_t wanted = work.Last() - first + 1;
    std::array<std::vector<double>, 4> columns;  // high-open, open-low, high-close, close-low
    for (std::vector<double>& column : columns) column.resize(wanted);
    SlidingSum<ArbrMove> window(n);
    for (size_t u = 0; u <= work.Last(); ++u) {
        const ArbrMove& sums = window.Add(ArbrMoveAt(bars, u));
        if (u < first) continue;
        columns[0][u - first] = static_cast<double>(sums.highOpen);
        columns[1][u - first] = static_cast<double>(sums.openLow);
        columns[2][u - first] = static_cast<double>(sums.highClose);
        columns[3][u - first] = static_cast<double>(sums.closeLow);
    }
    for (int k = 0; k < 2; ++k) {
        const double* over = columns[2 * k].data();
        const double* under = columns[2 * k + 1].data();
        work.FillFrom(k, FirstWithBars(n),
                      [&](size_t t) { return ArbrRatio(over[t - first], under[t - first]); });
    }
}

void PsySeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const RunningTotals rises(work.BarCount(),
                              [&](size_t u) { return u > 0 && RoseAt(bars, u) ? 1 : 0; });
    work.Fill(0, [&](size_t t) {
        if (n <= 0 || t < static_cast<size_t>(n)) return kNoValue;
        return PsyFrom(rises.Window(t, n), n);
    });
}

void CrSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t count = work.BarCount();
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
    // None at bar 0 (no previous bar), nor with no length.
    std::vector<double> cr(count, kNoValue);
    for (size_t t = n > 0 ? 1 : count; t < count; ++t) cr[t] = CrFrom(up[t], down[t]);
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
        work.FillFrom(k, shift + 1, [&](size_t t) {
            const double average = sums[t] / m;
            return cr[t - shift] == kNoValue ? kNoValue : average;
        });
    }
}

void VrSeries(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    const int32_t n = work.Param(0);
    const size_t count = work.BarCount();
    const RunningTotals up(count, [&](size_t u) -> int64_t {
        return u > 0 && RoseAt(bars, u) ? bars[u].volume : 0;
    });
    const RunningTotals down(count, [&](size_t u) -> int64_t {
        return u > 0 && !RoseAt(bars, u) ? bars[u].volume : 0;
    });
    work.FillFrom(0, n > 0 ? 1 : SIZE_MAX, [&](size_t t) {
        return VrFrom(static_cast<double>(up.Window(t, n)), static_cast<double>(down.Window(t, n)));
    });
}

void RocSeries(SeriesWork& work) {
    const int32_t n = work.Param(0);
    const int32_t m = work.Param(1);
    const std::vector<double> closes = YuanCloses(work);
    std::vector<double> roc(closes.size(), kNoValue);
    for (size_t u = n > 0 ? static_cast<size_t>(n) : roc.size(); u < roc.size(); ++u)
        roc[u] = RocFrom(closes[u], closes[u - n]);
    const std::vector<double> valid =
        Column<double>(roc.size(), [&](size_t u) { return ValidOrZero(roc[u]); });
    const std::vector<float> sums = SingleSums(work.First(), work.Last(), m, valid);
    work.Fill(0, [&](size_t t) { return roc[t]; });
    const size_t from = n > 0 && m > 0 ? static_cast<size_t>(std::max(n, m)) : SIZE_MAX;
    work.FillFrom(1, from,
                  [&](size_t t) { return SingleAverageFrom(sums[t - work.First()], m); });
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
    std::vector<double> ddd(work.BarCount(), kNoValue);
    const int32_t longer = std::max(n1, n2);
    const size_t whole = std::max(FirstWithBars(n1), FirstWithBars(n2));  // both windows
    for (size_t t = std::max(from, whole); t <= work.Last(); ++t) {
        const double d = DddFrom(sums[0][t - from], sums[1][t - from], n1, n2);
        // Two float means of the same flat closes can differ in the last bit.
        ddd[t] = Flat(runs, t, longer) ? 0 : d;
    }
    const std::vector<double> valid =
        Column<double>(ddd.size(), [&](size_t u) { return ValidOrZero(ddd[u]); });
    const std::vector<float> amaSums = SingleSums(work.First(), work.Last(), m, valid);
    work.Fill(0, [&](size_t t) { return ddd[t]; });
    work.FillFrom(1, std::max(whole, FirstWithBars(m)),
                  [&](size_t t) { return SingleAverageFrom(amaSums[t - work.First()], m); });
}

}  // namespace indicators
