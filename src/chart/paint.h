// Drawing a computed chart layout on a canvas. Nothing here computes a value
// or reads a bar; everything comes from the layout structs.
#pragma once

#include "chart/chart_layout.h"
#include "chart/cursor_overlay.h"
#include "ui/canvas.h"

namespace chart {

// The full redraw, in this order: frame and grid, lower-panel title, candles
// and volume bars, ex-rights markers, MA lines, the lower panel's lines and
// axis labels, the strip right of the chart, the tab row; then the price
// labels and the legend labels of both panels.
void PaintChart(ui::Canvas& canvas, const ChartLayout& layout);

// The code and name above the chart.
void PaintHeader(ui::Canvas& canvas, const HeaderLayout& header);

enum class ReadoutMode {
    FullRedraw,  // straight onto a freshly drawn chart
    Update,      // over earlier figures: each legend value's box is cleared first
};

// Data table and legend values of one bar.
void PaintBarReadout(ui::Canvas& canvas, const BarReadout& readout, const ChartLayout& layout,
                     ReadoutMode mode);

// Crosshair, readouts, the bar's figures, date label and ex-rights text.
void PaintCrosshair(ui::Canvas& canvas, const CrosshairLayout& crosshair,
                    const ChartLayout& layout);

// Pieces shared with the small charts.
void PaintCandle(ui::Canvas& canvas, const CandleShape& candle);
void PaintLine(ui::Canvas& canvas, const LinePath& line, const std::vector<int>& xs);
void PaintTexts(ui::Canvas& canvas, const std::vector<TextItem>& texts);
void PaintText(ui::Canvas& canvas, const TextItem& text);

}  // namespace chart
