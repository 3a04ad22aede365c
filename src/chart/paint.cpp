#include "chart/paint.h"

#include <algorithm>

#include "chart/tab_row.h"
#include "ui/drawing.h"

namespace chart {
namespace {

constexpr ui::Rgb kResultMark{255, 200, 0};  // the frame around a scan result's bars

constexpr ui::Rgb kHeaderBox{236, 233, 216};
constexpr ui::Rgb kTabSeparator{255, 255, 255};
constexpr ui::Rgb kTabSelectedBox{255, 255, 255};

void PaintFrameAndGrid(ui::Canvas& canvas, const ChartLayout& layout) {
    const Geometry& g = layout.geometry;
    const ChartRect& r = g.rect;
    ui::FillBox(canvas, r.left, r.top, r.right + 1, r.bottom + 1,
                layout.palette[ui::ThemeBackground]);
    ui::DrawFrameLines(canvas, r.left, r.top, r.right, r.bottom, kFrameRed);
    ui::DrawLine(canvas, g.plotLeft, g.priceBottom, r.right, g.priceBottom, kFrameRed);
    ui::DrawLine(canvas, g.plotLeft, g.chartBottom, r.right, g.chartBottom, kFrameRed);
    ui::DrawLine(canvas, g.plotLeft, r.top, g.plotLeft, r.bottom, kFrameRed);

    // Grid lines span plot left + 1 .. right - 2.
    const ui::Rgb grid = layout.palette[ui::ThemeGrid];
    for (int y : layout.priceGrid) ui::DrawLine(canvas, g.plotLeft + 1, y, r.right - 1, y, grid);
    for (int y : layout.lower.gridLines)
        ui::DrawLine(canvas, g.plotLeft + 1, y, r.right - 1, y, grid);
}

void PaintVolumes(ui::Canvas& canvas, const ChartLayout& layout) {
    const int base = layout.geometry.chartBottom;
    for (const VolumeBar& bar : layout.volumes) {
        if (bar.width <= 1) {
            canvas.DrawLine(bar.x, bar.top, bar.x, base, bar.colour);
        } else {
            const int left = bar.x - bar.width / 2;
            canvas.FillRect(left, bar.top, left + bar.width, base, bar.colour);
        }
    }
}

void PaintLowerPanel(ui::Canvas& canvas, const ChartLayout& layout) {
    const LowerPanelLayout& panel = layout.lower;
    for (const CandleShape& candle : panel.candles) PaintCandle(canvas, candle);
    for (const HistogramBar& bar : panel.histogram)
        canvas.DrawLine(bar.x, bar.from, bar.x, bar.to, bar.colour);
    for (int k = 0; k < panel.lineCount; ++k) PaintLine(canvas, panel.lines[k], layout.columnX);
    PaintTexts(canvas, panel.axisLabels);
}

void PaintStrip(ui::Canvas& canvas, const ChartLayout& layout) {
    const ChartRect& r = layout.geometry.rect;
    canvas.FillRect(r.right - 2, r.top - 26, r.right + 61, r.bottom + 1, kStripBeige);
    PaintTexts(canvas, layout.tableLabels);
}

void PaintTabs(ui::Canvas& canvas, const ChartLayout& layout) {
    const TabRowLayout& tabs = layout.tabs;
    canvas.FillRect(tabs.left, tabs.top, tabs.right, tabs.bottom,
                    layout.palette[ui::ThemeBackground]);
    for (int i = 1; i < kTabCellCount; ++i) {
        const int x = tabs.left + kTabCellWidth * i;
        canvas.DrawLine(x, tabs.top, x, tabs.bottom, kTabSeparator);
    }
    const int left = tabs.left + kTabCellWidth * tabs.selected;
    canvas.FillRect(left + 1, tabs.top, left + kTabCellWidth, tabs.bottom, kTabSelectedBox);
    canvas.DrawLine(left + 1, tabs.top, left + kTabCellWidth, tabs.top, kTabSelectedLine);
    PaintTexts(canvas, tabs.names);
}

}  // namespace

void PaintText(ui::Canvas& canvas, const TextItem& text) {
    canvas.SetCharSpacing(text.spacing);
    canvas.DrawText(text.font, text.x, text.y, text.colour, text.text);
}

void PaintTexts(ui::Canvas& canvas, const std::vector<TextItem>& texts) {
    int spacing = 0;
    bool set = false;
    for (const TextItem& text : texts) {
        if (!set || text.spacing != spacing) {
            canvas.SetCharSpacing(text.spacing);
            spacing = text.spacing;
            set = true;
        }
        canvas.DrawText(text.font, text.x, text.y, text.colour, text.text);
    }
    if (set && spacing != 0) canvas.SetCharSpacing(0);
}

void PaintCandle(ui::Canvas& canvas, const CandleShape& c) {
    if (c.lower > 0) canvas.DrawLine(c.x, c.bodyBottom, c.x, c.bodyBottom + c.lower, c.colour);
    if (c.upper > 0) canvas.DrawLine(c.x, c.bodyTop, c.x, c.bodyTop - c.upper, c.colour);
    const int body = c.bodyBottom - c.bodyTop;
    if (c.width <= 1) {
        if (body > 0) {
            canvas.DrawLine(c.x, c.bodyTop, c.x, c.bodyBottom, c.colour);
        } else if (c.upper == 0 && c.lower == 0) {
            // Nothing at all would show: one pixel keeps the bar visible.
            canvas.DrawLine(c.x, c.bodyTop, c.x, c.bodyTop + 1, c.colour);
        }
        return;
    }
    // Rising and falling bodies are both filled, at least one pixel high.
    const int left = c.x - c.width / 2;
    canvas.FillRect(left, c.bodyTop, left + c.width, c.bodyTop + std::max(body, 1), c.colour);
}

void PaintLine(ui::Canvas& canvas, const LinePath& line, const std::vector<int>& xs) {
    if (!line.drawn) return;
    const size_t n = std::min(line.ys.size(), xs.size());
    for (size_t c = 1; c < n; ++c) {
        if (line.ys[c - 1] == kNoPoint || line.ys[c] == kNoPoint) continue;
        canvas.DrawLine(xs[c - 1], line.ys[c - 1], xs[c], line.ys[c], line.colour);
    }
}

void PaintChart(ui::Canvas& canvas, const ChartLayout& layout) {
    PaintFrameAndGrid(canvas, layout);
    PaintTexts(canvas, layout.lower.title);
    for (const CandleShape& candle : layout.candles) PaintCandle(canvas, candle);
    PaintVolumes(canvas, layout);
    for (const Marker& marker : layout.markers)
        ui::DrawTriangleUp(canvas, marker.x, marker.y, marker.size, marker.colour);
    for (const LinePath& line : layout.ma) PaintLine(canvas, line, layout.columnX);
    if (const auto& mark = layout.resultMark)
        canvas.DrawRect(mark->left, mark->top, mark->right, mark->bottom, kResultMark, std::nullopt);
    PaintLowerPanel(canvas, layout);
    PaintStrip(canvas, layout);
    PaintTabs(canvas, layout);
    PaintTexts(canvas, layout.priceLabels);
    PaintTexts(canvas, layout.maLegendLabels);
    PaintTexts(canvas, layout.lower.legendLabels);
}

void PaintHeader(ui::Canvas& canvas, const HeaderLayout& header) {
    if (!header.shown) return;
    canvas.FillRect(310, 3, 614, 23, kHeaderBox);
    PaintText(canvas, header.code);
    PaintTexts(canvas, header.name);
    canvas.SetCharSpacing(0);
}

void PaintBarReadout(ui::Canvas& canvas, const BarReadout& readout, const ChartLayout& layout,
                     ReadoutMode mode) {
    if (!readout.shown) return;
    for (const Box& box : readout.tableBoxes)
        canvas.FillRect(box.left, box.top, box.right, box.bottom, kStripBeige);
    PaintTexts(canvas, readout.tableValues);
    if (mode == ReadoutMode::Update) {
        const ui::Rgb background = layout.palette[ui::ThemeBackground];
        for (const Box& box : readout.legendBoxes)
            canvas.FillRect(box.left, box.top, box.right, box.bottom, background);
    }
    PaintTexts(canvas, readout.legendValues);
}

void PaintCrosshair(ui::Canvas& canvas, const CrosshairLayout& crosshair,
                    const ChartLayout& layout) {
    if (!crosshair.shown) return;
    canvas.DrawLine(crosshair.x, crosshair.top, crosshair.x, crosshair.bottom, kCrosshairPen);
    if (crosshair.y != 0)
        canvas.DrawLine(crosshair.left, crosshair.y, crosshair.right, crosshair.y, kCrosshairPen);
    if (crosshair.hasReadout) {
        const Box& box = crosshair.readoutBox;
        canvas.FillRect(box.left, box.top, box.right, box.bottom, kReadoutBlue);
        PaintText(canvas, crosshair.readout);
    }
    PaintBarReadout(canvas, crosshair.bar, layout, ReadoutMode::Update);
    if (crosshair.bar.shown) {
        const Box& box = crosshair.dateBox;
        canvas.FillRect(box.left, box.top, box.right, box.bottom, kReadoutBlue);
        PaintText(canvas, crosshair.date);
    }
    if (crosshair.hasEvent) PaintText(canvas, crosshair.event);
    canvas.SetCharSpacing(0);
}

}  // namespace chart
