// Indicator values kept between redraws of the same series: the per-bar
// values of the selected indicator over the visible bars (computed in one
// pass, not bar by bar), and for the recursive indicators snapshots of their
// recursion every few hundred bars, so that a chart whose columns hold several
// bars can start its column-by-column carry without walking from the oldest
// bar again. Nothing here changes a value; it only saves recomputing it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "chart/prepared_series.h"
#include "indicators/calculations.h"
#include "indicators/catalogue.h"
#include "indicators/recursions.h"

namespace chart {

// How the bars are read for a calculation.
enum class PriceReading { AsShown, Unadjusted };

// OBV only compares closes; past 30 visible bars it reads them unadjusted to
// spare the adjustment.
inline PriceReading ReadingFor(int index, int zoom) {
    return index == indicators::kObv && zoom > 2 ? PriceReading::Unadjusted : PriceReading::AsShown;
}

class IndicatorCache {
public:
    // Which bars a recursion snapshot is kept for: every kStride-th.
    static constexpr size_t kStride = 256;

    // The lines of `index` for at least the bars [first, last] of the series.
    const indicators::IndicatorSeries& Values(const PreparedSeries& series, PriceReading reading,
                                              int index, const indicators::IndicatorParams& params,
                                              size_t first, size_t last);

    // Each recursion as it stands before bar t is fed.
    indicators::MacdRecursion MacdBefore(const PreparedSeries& series,
                                         const indicators::IndicatorParams& params, size_t t);
    indicators::KdRecursion KdBefore(const PreparedSeries& series,
                                     const indicators::IndicatorParams& params, size_t t);
    indicators::RsiRecursion RsiBefore(const PreparedSeries& series, int line, int32_t length,
                                       size_t t);

private:
    struct Key {
        uint64_t series = 0;
        int index = -1;
        std::array<int32_t, indicators::kMaxParams> values{};
        PriceReading reading = PriceReading::AsShown;

        bool operator==(const Key&) const = default;
    };

    Key m_valuesKey;
    indicators::IndicatorSeries m_values;

    Key m_macdKey;
    std::vector<indicators::MacdRecursion> m_macd;
    Key m_kdKey;
    std::vector<indicators::KdRecursion> m_kd;
    std::array<Key, 3> m_rsiKeys;
    std::array<std::vector<indicators::RsiRecursion>, 3> m_rsi;
};

}  // namespace chart
