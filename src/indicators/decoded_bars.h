// A series' bars decoded once for the indicator calculations: prices as the
// view gives them (adjusted through its adjuster) and the volume both as the
// bar accessors give it and as the word stores it. A caller that computes
// many indicators over one series (the chart) decodes it once and passes it
// to ComputeSeries, which otherwise decodes the view itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/bars.h"

namespace indicators {

struct Prices {
    uint32_t open = 0;
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t close = 0;
    uint32_t volume = 0;
    uint32_t rawVolume = 0;
};

class DecodedBars {
public:
    DecodedBars() = default;
    // Bars 0..count-1 of the view (as many as it has).
    DecodedBars(const data::SeriesView& view, size_t count);
    const Prices& operator[](size_t t) const { return m_bars[t]; }
    size_t Count() const { return m_bars.size(); }

private:
    std::vector<Prices> m_bars;
};

}  // namespace indicators
