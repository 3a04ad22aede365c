// How the indicator formulas read bars (inside src/indicators only): one
// bar at a time from the view, or from bars decoded once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "data/bars.h"
#include "indicators/decoded_bars.h"

namespace indicators {

Prices DecodePrices(const data::SeriesView& view, size_t t);

// The volume word of the bar stored at `words`, as RawVolume gives it.
inline uint32_t RawVolumeWord(const data::SeriesView& view, const uint32_t* words) {
    return view.IsDailyStock() ? words[4] : words[6];
}

// One bar's definition reads few bars: each access decodes ...
class ViewBars {
public:
    explicit ViewBars(const data::SeriesView& view) : m_view(view) {}
    Prices operator[](size_t t) const { return DecodePrices(m_view, t); }

private:
    const data::SeriesView& m_view;
};

// ... a pass over a series walks DecodedBars (decoded_bars.h), each bar
// decoded once up front. Both give the same Prices, so the same formula
// gives the same numbers.

}  // namespace indicators
