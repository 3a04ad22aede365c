// The overview page of eight small charts ("小K线图"), two rows of four, for
// the codes its caller hands over (the watch list's or the picked list's
// current eight). Each chart shows the last 45 bars in the "常规" colours on
// white, whatever the theme; a click on one opens its stock.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/geometry.h"
#include "data/bars.h"
#include "ui/canvas.h"

namespace chart {

inline constexpr int kSmallChartCount = 8;
inline constexpr int kSmallChartBars = 45;
inline constexpr ZoomStep kSmallChartStep{kSmallChartBars, 2, 2};

// The eight chart rectangles, row by row.
inline constexpr std::array<ChartRect, kSmallChartCount> kSmallChartRects = {{
    {64, 64, 245, 174},
    {301, 64, 482, 174},
    {540, 64, 721, 174},
    {777, 64, 958, 174},
    {64, 220, 245, 330},
    {301, 220, 482, 330},
    {540, 220, 721, 330},
    {777, 220, 958, 330},
}};

// One slot's stock: its daily bars and name.
struct SmallChartSource {
    data::SeriesView series;
    SecurityInfo security;
};

// What one small chart draws.
struct SmallChartLayout {
    Geometry geometry;
    ViewRange range;
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t maxVolume = 0;
    std::array<int, 5> priceGrid{};
    std::vector<int> lowerGrid;
    std::vector<CandleShape> candles;
    std::vector<VolumeBar> volumes;
    std::vector<TextItem> caption;
};

void BuildSmallChart(SmallChartLayout& layout, const ChartRect& rect,
                     const SmallChartSource& source);
void PaintSmallChart(ui::Canvas& canvas, const SmallChartLayout& layout);

// The page: title, frame and a chart for each code that loads; slots past
// the list or whose stock does not load stay empty. `load` is asked for one
// code at a time, so it may reuse one buffer.
using SmallChartLoader = std::function<std::optional<SmallChartSource>(uint32_t code)>;
void PaintSmallChartPage(ui::Canvas& canvas, std::span<const uint32_t> codes,
                         const SmallChartLoader& load);

// The slot (0..7) of the chart rectangle holding the point.
std::optional<int> SmallChartAt(int x, int y);

}  // namespace chart
