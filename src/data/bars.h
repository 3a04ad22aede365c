// Bars addressed by word offset into a loaded image: the first bar at the
// series' first-bar offset (8 for a file image), the previous bar at minus the
// record width. A SeriesView carries everything the accessors read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "data/ex_rights.h"

namespace data {

enum class Period : int { Daily = 1, Weekly = 2, Monthly = 3 };

struct Bar {
    uint32_t date = 0;
    uint32_t open = 0;
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t close = 0;
    uint32_t amount = 0;  // 10,000 yuan
    uint32_t volume = 0;  // lots; 10,000 lots for a decoded index bar

    bool operator==(const Bar&) const = default;
};

struct SeriesView {
    std::span<const uint32_t> image;  // offsets index into this
    size_t firstBar = 8;              // word offset of the first bar
    size_t end = 0;                   // word offset just past the last bar
    size_t width = 5;                 // record width in words: 5 stock, 7 index or period
    bool isIndex = false;
    Period period = Period::Daily;
    Adjuster adjuster;                // applied to daily stock prices

    // Daily stock bars use the packed 5-word record and pass through the adjuster.
    bool IsDailyStock() const { return !isIndex && period == Period::Daily; }
    bool HasBar(size_t offset) const {
        // Written so that an offset stepped back below zero (wrapped) fails too.
        return offset >= firstBar && offset <= end && end - offset >= width &&
               end <= image.size();
    }
    size_t BarCount() const { return end > firstBar ? (end - firstBar) / width : 0; }
    size_t LastBar() const { return end - width; }  // only when BarCount() > 0
};

// An index volume word in lots to 10,000 lots, half up.
inline uint32_t IndexVolume(uint32_t lots) { return lots / 10'000 + (lots % 10'000 >= 5'000); }

// All seven values; a daily stock bar's prices are adjusted. An offset outside
// the series gives an all-zero bar.
Bar DecodeBar(const SeriesView& view, size_t offset);

uint32_t BarDate(const SeriesView& view, size_t offset);

// 0 below the first bar (and outside the series).
uint32_t BarClose(const SeriesView& view, size_t offset);
uint32_t BarVolume(const SeriesView& view, size_t offset);

// Mean close of the bar at offset and the n - 1 before it, half up; 0 when n is 0
// or fewer than n bars exist.
uint32_t AverageClose(const SeriesView& view, size_t offset, int n);

// Mean volume, truncated; 0 when n is not positive or fewer than n bars exist.
uint32_t AverageVolume(const SeriesView& view, size_t offset, int n);

}  // namespace data
