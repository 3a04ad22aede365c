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

// Past zoom level 2 (more than 30 visible bars) an indicator that only
// compares closes reads them unadjusted, to spare the adjustment.
inline PriceReading ReadingFor(const indicators::IndicatorDef& def, int zoom) {
    return def.panel.unadjustedWhenWide && zoom > 2 ? PriceReading::Unadjusted
                                                    : PriceReading::AsShown;
}

class IndicatorCache {
public:
    // Which bars a recursion snapshot is kept for: every kStride-th.
    static constexpr size_t kStride = 256;

    // The lines of `index` for at least the bars [first, last] of the series.
    const indicators::IndicatorSeries& Values(const PreparedSeries& series, PriceReading reading,
                                              int index, const indicators::IndicatorParams& params,
                                              size_t first, size_t last);

    // The carried recursion of `index` (its definition has one) as it
    // stands before bar t is fed.
    indicators::Carry CarryBefore(const PreparedSeries& series, int index,
                                  const indicators::IndicatorParams& params, size_t t);

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

    Key m_carryKey;
    std::vector<indicators::Carry> m_carries;
};

}  // namespace chart
