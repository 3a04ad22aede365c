// Where everything of the chart lies, derived from the chart rectangle at
// every redraw: the unit d, the price and lower panels, the zoom table and the
// two mappings every part of the chart shares (price to y, column to x).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace chart {

struct ChartRect {
    int left = 2;
    int top = 28;
    int right = 962;
    int bottom = 378;

    bool operator==(const ChartRect&) const = default;
};

inline constexpr ChartRect kDefaultChartRect{2, 28, 962, 378};

// The two arrows beside the chart trade price-panel height for lower-panel
// height.
enum class LowerPanelSize { Normal, Enlarged };

// The picking page shows the chart at half width with half the bars.
enum class WidthLayout { Normal, Half };

inline constexpr int kPriceLabelMargin = 60;  // left of the plot, for the price labels

struct Geometry {
    ChartRect rect;
    int unit = 0;         // d
    int halfUnit = 0;     // d / 2
    int offset = 0;       // e: 4 with the enlarged lower panel
    int plotLeft = 0;     // the frame line left of the candles
    int priceBottom = 0;  // also the lower panel's top
    int chartBottom = 0;  // the bottom frame line; volume bars stand on it
    int plotWidth = 0;
    int lowerHeight = 0;  // H: chartBottom - e - d - priceBottom

    // Top of the lower panel's plot area, its upper grid line.
    int LowerPlotTop() const { return priceBottom + unit + offset; }
    int LowerMiddle() const { return LowerPlotTop() + lowerHeight / 2; }
    // Pixels the price scale spreads high - low over.
    int PriceSpan() const { return priceBottom - 2 * unit - rect.top; }
};

// margin: pixels left of the plot kept for the price labels (the small charts
// have none).
Geometry MakeGeometry(const ChartRect& rect, LowerPanelSize lower, int margin = kPriceLabelMargin);

// The price panel's five grid lines: top + d, three more each half-unit + 4d
// lower, and price-panel bottom - d. The price labels sit on the same lines.
std::array<int, 5> PriceGridLines(const Geometry& geometry);

// Price to pixel over the view's price range. Integer arithmetic, truncated:
// the highest price sits at top + d, the lowest at price-panel bottom - d.
struct PriceScale {
    uint32_t high = 0;
    uint32_t low = 0;
    int span = 0;    // Geometry::PriceSpan
    int bottom = 0;  // price-panel bottom - d

    // span * x / (high - low); 0 when high <= low and for x below 0 (prices
    // under the low are never scaled downwards past the panel).
    int Scale(int64_t x) const;
    int Y(uint32_t price) const { return bottom - Scale(int64_t{price} - low); }
};

PriceScale MakePriceScale(const Geometry& geometry, uint32_t high, uint32_t low);

// Zoom: bars shown, candle width w and gap g per level 0..15.
struct ZoomStep {
    int bars = 0;
    int width = 0;
    int gap = 0;

    int Pitch() const { return width + gap; }
};

inline constexpr int kMinZoom = 0;
inline constexpr int kMaxZoom = 15;
inline constexpr int kDefaultZoom = 4;

inline constexpr std::array<ZoomStep, 16> kZoomTable = {{
    {10, 67, 23},
    {15, 44, 16},
    {30, 22, 8},
    {50, 12, 6},
    {90, 6, 4},
    {150, 4, 2},
    {225, 2, 2},
    {300, 2, 1},
    {450, 1, 1},
    {900, 1, 0},
    {1500, 1, 0},
    {2500, 1, 0},
    {3500, 1, 0},
    {5000, 1, 0},
    {9900, 1, 0},
    {15000, 1, 0},
}};

const ZoomStep& ZoomAt(int level);

// The level a member of a sector-scan result opens at: the first level from 4
// whose bar count holds the span its picking condition reported, 13 beyond
// 3,500 bars; 4 when no span was reported.
int ZoomForSpan(std::optional<uint32_t> spanBars);

// Centre of column i: plot left + w/2 + i(w + g) + 1.
inline int ColumnX(const Geometry& geometry, const ZoomStep& step, int column) {
    return geometry.plotLeft + step.width / 2 + column * step.Pitch() + 1;
}

}  // namespace chart
