// Which bars the chart shows and how they fall into pixel columns. Bars are
// counted by position in the series (0 = oldest bar); column positions are
// relative to the first visible bar.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chart/geometry.h"
#include "data/bars.h"

namespace chart {

struct ViewRange {
    size_t barCount = 0;   // bars in the series up to its end
    size_t available = 0;  // bars up to and including the rightmost bar by the view end date
    size_t visible = 0;
    bool allShown = false;  // the visible count was cut to the bars available
    size_t first = 0;       // position of the first visible bar
    ZoomStep step;          // candle width and gap of the zoom level
    int columns = 0;
    int perColumn = 0;  // f: 0 while every bar has its own column
    int remainder = 0;  // r

    bool Empty() const { return visible == 0; }
    bool OneBarPerColumn() const { return perColumn == 0; }
    size_t Last() const { return first + visible - 1; }  // only when not empty

    // The column walk: column 0 takes one bar, columns 1..r take f + 1,
    // the following ones f, the last one bar. Only a column's first bar is
    // drawn. Positions are relative to `first`.
    size_t ColumnStart(int column) const;
    int ColumnBars(int column) const;
    // The column whose bars include the relative position.
    int ColumnOf(size_t relative) const;
};

// What the view is derived from besides the series.
struct ViewRequest {
    int zoom = kDefaultZoom;
    WidthLayout width = WidthLayout::Normal;
    uint32_t viewEndDate = 0;  // the rightmost bar is the last one dated on or before it
    bool recompute = true;     // derive the first bar from the view end; else keep `firstVisible`
    size_t firstVisible = 0;
    int plotWidth = 0;
};

ViewRange ResolveView(const data::SeriesView& series, const ViewRequest& request);

// The same walk for a fixed number of bars ending with the series' last bar
// and a fixed pitch (the small charts).
ViewRange FixedView(size_t barCount, int bars, ZoomStep step, int plotWidth);

// Bars of the series, 0 for a view that does not fit its image.
size_t SeriesBars(const data::SeriesView& series);

// Position of the last bar dated on or before `date`, plus one; 0 when every
// bar is later.
size_t BarsUpToDate(const data::SeriesView& series, uint32_t date);

}  // namespace chart
