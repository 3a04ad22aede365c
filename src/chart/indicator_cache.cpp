#include "chart/indicator_cache.h"

#include <algorithm>

namespace chart {
namespace {

// Snapshots of a recursion before bars 0, kStride, 2 kStride, ... in one pass.
template <class Recursion>
void TakeSnapshots(std::vector<Recursion>& snapshots, Recursion recursion,
                   const data::SeriesView& view, size_t count) {
    snapshots.clear();
    for (size_t t = 0; t < count; ++t) {
        if (t % IndicatorCache::kStride == 0) snapshots.push_back(recursion);
        recursion.Feed(view, t);
    }
    if (snapshots.empty()) snapshots.push_back(recursion);
}

template <class Recursion>
Recursion Before(const std::vector<Recursion>& snapshots, const data::SeriesView& view, size_t t) {
    const size_t j = std::min(t / IndicatorCache::kStride, snapshots.size() - 1);
    Recursion recursion = snapshots[j];
    for (size_t u = j * IndicatorCache::kStride; u < t; ++u) recursion.Feed(view, u);
    return recursion;
}

// Near the oldest bar walking from it is cheaper than taking snapshots.
template <class Recursion>
Recursion FedUpTo(Recursion recursion, const PreparedSeries& series, size_t t) {
    for (size_t u = 0; u < t; ++u) recursion.Feed(series.View(), u);
    return recursion;
}

}  // namespace

const indicators::IndicatorSeries& IndicatorCache::Values(const PreparedSeries& series,
                                                          PriceReading reading, int index,
                                                          const indicators::IndicatorParams& params,
                                                          size_t first, size_t last) {
    const Key key{series.Id(), index, params.values, reading};
    if (key == m_valuesKey && m_values.Covers(first) && m_values.Covers(last)) return m_values;
    const data::SeriesView view =
        reading == PriceReading::Unadjusted ? series.Unadjusted() : series.View();
    m_values = indicators::ComputeSeries(view, index, params, first, last);
    m_valuesKey = key;
    return m_values;
}

indicators::MacdRecursion IndicatorCache::MacdBefore(const PreparedSeries& series,
                                                     const indicators::IndicatorParams& params,
                                                     size_t t) {
    const auto& p = params.values;
    if (t < IndicatorCache::kStride)
        return FedUpTo(indicators::MacdRecursion(p[0], p[1], p[2]), series, t);
    const Key key{series.Id(), indicators::kMacd, {p[0], p[1], p[2], 0, 0}, PriceReading::AsShown};
    if (!(key == m_macdKey) || m_macd.empty()) {
        TakeSnapshots(m_macd, indicators::MacdRecursion(p[0], p[1], p[2]), series.View(),
                      series.Count());
        m_macdKey = key;
    }
    return Before(m_macd, series.View(), t);
}

indicators::KdRecursion IndicatorCache::KdBefore(const PreparedSeries& series,
                                                 const indicators::IndicatorParams& params,
                                                 size_t t) {
    const auto& p = params.values;
    if (t < IndicatorCache::kStride)
        return FedUpTo(indicators::KdRecursion(p[0], p[1], p[2]), series, t);
    const Key key{series.Id(), indicators::kKd, {p[0], p[1], p[2], 0, 0}, PriceReading::AsShown};
    if (!(key == m_kdKey) || m_kd.empty()) {
        TakeSnapshots(m_kd, indicators::KdRecursion(p[0], p[1], p[2]), series.View(),
                      series.Count());
        m_kdKey = key;
    }
    return Before(m_kd, series.View(), t);
}

indicators::RsiRecursion IndicatorCache::RsiBefore(const PreparedSeries& series, int line,
                                                   int32_t length, size_t t) {
    if (t < IndicatorCache::kStride) return FedUpTo(indicators::RsiRecursion(length), series, t);
    const size_t slot = static_cast<size_t>(std::clamp(line, 0, 2));
    const Key key{series.Id(), indicators::kRsi, {length, 0, 0, 0, 0}, PriceReading::AsShown};
    if (!(key == m_rsiKeys[slot]) || m_rsi[slot].empty()) {
        TakeSnapshots(m_rsi[slot], indicators::RsiRecursion(length), series.View(), series.Count());
        m_rsiKeys[slot] = key;
    }
    return Before(m_rsi[slot], series.View(), t);
}

}  // namespace chart
