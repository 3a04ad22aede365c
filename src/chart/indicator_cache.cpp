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
    m_values = reading == PriceReading::Unadjusted
                   ? indicators::ComputeSeries(series.Unadjusted(), index, params, first, last)
                   : indicators::ComputeSeries(series.Bars(), index, params, first, last);
    m_valuesKey = key;
    return m_values;
}

indicators::Carry IndicatorCache::CarryBefore(const PreparedSeries& series, int index,
                                              const indicators::IndicatorParams& params, size_t t) {
    const indicators::Carry start = indicators::DefinitionOf(index).carry(params);
    if (t < IndicatorCache::kStride) return FedUpTo(start, series, t);
    const Key key{series.Id(), index, params.values, PriceReading::AsShown};
    if (!(key == m_carryKey) || m_carries.empty()) {
        TakeSnapshots(m_carries, start, series.View(), series.Count());
        m_carryKey = key;
    }
    return Before(m_carries, series.View(), t);
}

}  // namespace chart
