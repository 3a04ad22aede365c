// What the cursor shows over a built chart: the figures of one bar in the
// data table and the legend rows, and the crosshair with its readouts. It is
// painted over the chart image saved after the last full paint, so moving the
// cursor never rebuilds the chart.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/chart_model.h"
#include "chart/prepared_series.h"

namespace chart {

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const Box&) const = default;
};

// Legend values and data-table figures of one bar.
struct BarReadout {
    bool shown = false;
    size_t bar = 0;
    std::vector<TextItem> legendValues;
    std::vector<Box> legendBoxes;  // 56 x 13, filled with the background before an update
    std::vector<Box> tableBoxes;   // beige, cleared before the figures
    std::vector<TextItem> tableValues;
};

// The cache is the one the layout was built with.
void BuildBarReadout(BarReadout& readout, const PreparedSeries& series, const ChartLayout& layout,
                     const ChartSettings& settings, size_t bar, IndicatorCache& cache);
void BuildBarReadout(BarReadout& readout, const PreparedSeries& series, const ChartLayout& layout,
                     const ChartSettings& settings, size_t bar);

inline constexpr ui::Rgb kCrosshairPen{108, 108, 108};
inline constexpr ui::Rgb kReadoutBlue{0, 0, 198};

struct CrosshairLayout {
    bool shown = false;
    int x = 0;
    int y = 0;  // 0: no horizontal line and no readout (a cursor placed by keys)
    int top = 0;
    int bottom = 0;
    int left = 0;  // the horizontal line runs left .. right
    int right = 0;
    bool hasReadout = false;
    Box readoutBox;
    TextItem readout;
    Box dateBox;
    TextItem date;
    bool hasEvent = false;
    Box eventBox;
    TextItem event;
    BarReadout bar;

    // What the previous crosshair covered: restore these from the saved chart
    // image before drawing the next one.
    std::vector<Box> RestoreRects() const;
};

void BuildCrosshair(CrosshairLayout& crosshair, const PreparedSeries& series,
                    const ChartLayout& layout, const ChartModel& model,
                    const ChartSettings& settings, IndicatorCache& cache);
void BuildCrosshair(CrosshairLayout& crosshair, const PreparedSeries& series,
                    const ChartLayout& layout, const ChartModel& model,
                    const ChartSettings& settings);

// The value the readout shows at a height of the lower panel (not VOL).
double PanelValueAt(const Geometry& geometry, const PanelScale& scale, int y);
// The price at a height of the price panel, in 0.01 units.
uint32_t PriceAt(const ChartLayout& layout, int y);

}  // namespace chart
