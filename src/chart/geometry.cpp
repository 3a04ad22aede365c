#include "chart/geometry.h"

#include <algorithm>

namespace chart {

Geometry MakeGeometry(const ChartRect& rect, LowerPanelSize lower, int margin) {
    Geometry g;
    g.rect = rect;
    const bool enlarged = lower == LowerPanelSize::Enlarged;
    g.unit = (rect.bottom - rect.top - 10) / 25 - (enlarged ? 4 : 0);
    g.halfUnit = g.unit / 2;
    g.offset = enlarged ? 4 : 0;
    g.plotLeft = rect.left + margin;
    g.priceBottom = rect.top + 20 * g.unit;
    g.chartBottom = rect.bottom - 10;
    g.plotWidth = rect.right - g.plotLeft;
    g.lowerHeight = g.chartBottom - g.offset - g.unit - g.priceBottom;
    return g;
}

std::array<int, 5> PriceGridLines(const Geometry& g) {
    const int first = g.rect.top + g.unit;
    const int step = g.halfUnit + 4 * g.unit;
    return {first, first + step, first + 2 * step, first + 3 * step, g.priceBottom - g.unit};
}

int PriceScale::Scale(int64_t x) const {
    if (high <= low || x <= 0) return 0;
    return static_cast<int>(int64_t{span} * x / (int64_t{high} - low));
}

PriceScale MakePriceScale(const Geometry& g, uint32_t high, uint32_t low) {
    return {high, low, g.PriceSpan(), g.priceBottom - g.unit};
}

const ZoomStep& ZoomAt(int level) {
    return kZoomTable[static_cast<size_t>(std::clamp(level, kMinZoom, kMaxZoom))];
}

int ZoomForSpan(std::optional<uint32_t> spanBars) {
    if (!spanBars) return kDefaultZoom;
    for (int level = kDefaultZoom; level <= 12; ++level)
        if (*spanBars <= static_cast<uint32_t>(kZoomTable[level].bars)) return level;
    return 13;
}

}  // namespace chart
