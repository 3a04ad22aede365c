#include "chart/view_range.h"

#include <algorithm>

namespace chart {
namespace {

// Columns, f and r for a visible count on a plot width.
void SetColumns(ViewRange& range, int plotWidth) {
    const size_t width = plotWidth > 0 ? static_cast<size_t>(plotWidth) : 0;
    range.columns = static_cast<int>(std::min(width, range.visible));
    range.perColumn = 0;
    range.remainder = 0;
    // With no more bars than pixels every bar gets a column of its own (f
    // would be 0 anyway, and visible - 2 must not go below zero).
    if (range.visible <= width || width <= 2) return;
    range.perColumn = static_cast<int>((range.visible - 2) / (width - 2));
    range.remainder = static_cast<int>((range.visible - 2) % (width - 2));
}

}  // namespace

size_t ViewRange::ColumnStart(int column) const {
    if (column <= 0) return 0;
    if (OneBarPerColumn()) return static_cast<size_t>(column);
    if (column >= columns - 1) return visible - 1;
    const size_t c = static_cast<size_t>(column - 1);
    return 1 + c * perColumn + std::min(c, static_cast<size_t>(remainder));
}

int ViewRange::ColumnBars(int column) const {
    if (OneBarPerColumn() || column <= 0 || column >= columns - 1) return 1;
    return perColumn + (column - 1 < remainder ? 1 : 0);
}

int ViewRange::ColumnOf(size_t relative) const {
    if (OneBarPerColumn()) return static_cast<int>(std::min(relative, visible - 1));
    if (relative == 0) return 0;
    if (relative >= visible - 1) return columns - 1;
    const size_t k = relative - 1;
    const size_t wide = static_cast<size_t>(remainder) * (perColumn + 1);
    if (k < wide) return 1 + static_cast<int>(k / (perColumn + 1));
    return 1 + remainder + static_cast<int>((k - wide) / perColumn);
}

size_t BarsUpToDate(const data::SeriesView& series, uint32_t date) {
    // Dates ascend, so the bars dated on or before `date` are a prefix.
    size_t lo = 0, hi = SeriesBars(series);
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (series.image[series.firstBar + mid * series.width] <= date)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

size_t SeriesBars(const data::SeriesView& series) {
    if (series.width == 0 || series.end > series.image.size()) return 0;
    return series.BarCount();
}

ViewRange ResolveView(const data::SeriesView& series, const ViewRequest& request) {
    ViewRange range;
    range.barCount = SeriesBars(series);
    range.step = ZoomAt(request.zoom);
    range.available = BarsUpToDate(series, request.viewEndDate);
    size_t count = static_cast<size_t>(range.step.bars);
    if (request.width == WidthLayout::Half) count /= 2;
    if (count >= range.available) {
        count = range.available;
        range.allShown = true;
    }
    range.visible = count;
    if (count == 0) return range;
    if (request.recompute) {
        range.first = range.available - count;
    } else {
        // A scrolled view keeps its first bar, within the bars it may show.
        range.first = std::min(request.firstVisible, range.available - count);
    }
    SetColumns(range, request.plotWidth);
    return range;
}

ViewRange FixedView(size_t barCount, int bars, ZoomStep step, int plotWidth) {
    ViewRange range;
    range.barCount = barCount;
    range.available = barCount;
    range.step = step;
    range.visible = std::min(barCount, static_cast<size_t>(std::max(bars, 0)));
    range.allShown = range.visible == barCount;
    range.first = barCount - range.visible;
    SetColumns(range, plotWidth);
    return range;
}

}  // namespace chart
