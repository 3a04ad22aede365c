// How the indicator formulas read bars (inside src/indicators only): the
// prices of one bar, adjusted through the view, and the volume both as the
// bar accessors give it and as the word stores it.
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

Prices DecodePrices(const data::SeriesView& view, size_t t);

// One bar's definition reads few bars: each access decodes ...
class ViewBars {
public:
    explicit ViewBars(const data::SeriesView& view) : m_view(view) {}
    Prices operator[](size_t t) const { return DecodePrices(m_view, t); }

private:
    const data::SeriesView& m_view;
};

// ... a pass over a series decodes each of its bars 0..count-1 once. Both
// give the same Prices, so the same formula gives the same numbers.
class CachedBars {
public:
    CachedBars(const data::SeriesView& view, size_t count)
        : m_view(view), m_bars(count), m_decoded(count, 0) {}
    const Prices& operator[](size_t t) const {
        if (!m_decoded[t]) {
            m_bars[t] = DecodePrices(m_view, t);
            m_decoded[t] = 1;
        }
        return m_bars[t];
    }

private:
    const data::SeriesView& m_view;
    mutable std::vector<Prices> m_bars;
    mutable std::vector<char> m_decoded;
};

}  // namespace indicators
