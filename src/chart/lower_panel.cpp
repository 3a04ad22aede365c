// The lower panel: the selected indicator's lines over the columns, its scale,
// grid, axis labels, title and legend labels, all as its definition describes.
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/chart_layout.h"
#include "indicators/calculations.h"
#include "indicators/recursions.h"
#include "ui/fonts.h"

namespace chart {
namespace {

using indicators::IndicatorDef;
using indicators::IndicatorParams;

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
constexpr int kAxisFont = 13;
constexpr int kNarrowFont = 12;
constexpr int kTitleFont = 12;
constexpr int kTitleX = 68;
constexpr int kLegendValueX = 265;

bool Valid(double value) {
    return !std::isnan(value);
}

// Where a line has a point: the averages not at 0, BOLL's bands not while
// their integer part is 0, real lines not at the no-value marker.
bool HasPoint(indicators::LineKind kind, double value) {
    switch (kind) {
        case indicators::LineKind::PriceAverage:
        case indicators::LineKind::VolumeAverage:
            return value != 0;
        case indicators::LineKind::Band:
            return std::trunc(value) != 0;
        case indicators::LineKind::Real:
            return indicators::HasValue(value);
    }
    return false;
}

// Converts a calculated value into the panel's: NaN where it has no point.
double PanelValue(const IndicatorDef& def, double value, double unit) {
    if (!HasPoint(def.kind, value)) return kMissing;
    const double v = value * unit;
    if (def.panel.zeroLeftOut && v == 0) return kMissing;  // kept out of the scale too
    return v;
}

// Recursive lines with several bars per column: the recursion runs in full
// up to the first column, then advances one step per column with that
// column's bar.
void CarryAlongColumns(std::array<std::vector<double>, indicators::kMaxLines>& values, int index,
                       const PreparedSeries& series, const std::vector<size_t>& bars,
                       const IndicatorParams& params, double unit, IndicatorCache& cache) {
    const IndicatorDef& def = indicators::DefinitionOf(index);
    indicators::Carry carry = cache.CarryBefore(series, index, params, bars[0]);
    for (size_t c = 0; c < bars.size(); ++c) {
        carry.Feed(series.View(), bars[c]);
        const indicators::LineValues lines = carry.Values();
        for (int k = 0; k < def.LineCount(); ++k)
            values[k][c] = PanelValue(def, lines.values[k], unit);
    }
}

void ComputeLines(std::array<std::vector<double>, indicators::kMaxLines>& values, int index,
                  const PreparedSeries& series, const ChartLayout& chart,
                  const IndicatorParams& params, IndicatorCache& cache) {
    const std::vector<size_t>& bars = chart.columnBar;
    const size_t columns = bars.size();
    if (columns == 0) return;
    const IndicatorDef& def = indicators::DefinitionOf(index);
    const double unit = chart.isIndex ? def.panel.indexUnit : 1.0;
    if (def.carry != nullptr && !chart.range.OneBarPerColumn()) {
        CarryAlongColumns(values, index, series, bars, params, unit, cache);
        return;
    }
    // Every other line, and the recursive ones while each column holds one
    // bar (where carrying them is the definition), at each column's bar.
    const indicators::IndicatorSeries& lines =
        cache.Values(series, ReadingFor(def, chart.zoom), index, params, bars.front(), bars.back());
    for (int k = 0; k < lines.lineCount && k < indicators::kMaxLines; ++k)
        for (size_t c = 0; c < columns; ++c)
            values[k][c] =
                lines.Covers(bars[c]) ? PanelValue(def, lines.At(k, bars[c]), unit) : kMissing;
}

TextItem AxisLabel(const Geometry& g, std::string text, int y, int longSpacing) {
    TextItem label;
    const bool isLong = text.size() >= kLongLabel;
    label.x = LabelX(g.plotLeft, text.size(), g.rect.left + 4);
    label.y = y;
    label.font = isLong ? kNarrowFont : kAxisFont;
    label.spacing = isLong ? longSpacing : -1;
    label.colour = kLabelRed;
    label.text = std::move(text);
    return label;
}

void BuildAxisLabels(LowerPanelLayout& panel, const ChartLayout& chart) {
    const Geometry& g = chart.geometry;
    const PanelScale& s = panel.scale;
    panel.axisLabels.clear();
    if (s.kind == ScaleKind::Volume) {
        panel.axisLabels.push_back(
            AxisLabel(g, FormatInt(chart.maxVolume), g.priceBottom + g.unit - 7, -2));
        panel.axisLabels.push_back(
            AxisLabel(g, FormatInt(chart.maxVolume / 2), g.LowerMiddle() - 7, -2));
        if (chart.isIndex)
            panel.axisLabels.push_back({g.rect.left + 32, g.chartBottom - 8, kAxisFont, -1,
                                        kLabelRed, Texts().tenThousandLots});
        return;
    }
    const double span = s.high - s.low;
    const int h = g.lowerHeight;
    panel.axisLabels.push_back(
        AxisLabel(g, FormatValue(s.high, s.format), g.LowerPlotTop() - 7, -1));
    panel.axisLabels.push_back(AxisLabel(g, FormatValue(s.low, s.format), g.chartBottom - 7, -1));
    panel.axisLabels.push_back(
        AxisLabel(g, FormatValue(span / 2 + s.low, s.format), g.chartBottom - h / 2 - 7, -1));
    if (indicators::DefinitionOf(panel.indicator).panel.fifthLines) {
        panel.axisLabels.push_back(AxisLabel(g, FormatValue(s.high - 0.2 * span, s.format),
                                             g.LowerPlotTop() + h / 5 - 7, -1));
        panel.axisLabels.push_back(
            AxisLabel(g, FormatValue(s.low + 0.2 * span, s.format), g.chartBottom - h / 5 - 7, -1));
    }
}

void BuildTitleAndLegend(LowerPanelLayout& panel, const ChartLayout& chart,
                         const IndicatorParams& params) {
    const Geometry& g = chart.geometry;
    const int shift = g.rect.left - kDefaultChartRect.left;
    const int index = panel.indicator;
    const bool dark = chart.theme == ui::ThemeId::ClassicBlack;

    // The Chinese part and the Latin part of the title are two texts.
    const std::string title = indicators::TitleText(index, params);
    size_t split = 0;
    while (split < title.size() && static_cast<unsigned char>(title[split]) >= 0x80) ++split;
    const std::string chinese = ToGbk(title.substr(0, split));
    const int x = kTitleX + shift;
    const int y = g.priceBottom + 2;
    panel.title.clear();
    panel.title.push_back(
        {x, y, kTitleFont, 0, dark ? ui::Rgb{200, 200, 200} : ui::Rgb{0, 0, 128}, chinese});
    panel.title.push_back({x + ui::TextWidth(kTitleFont, chinese), y, kTitleFont, 0,
                           dark ? ui::Rgb{255, 255, 0} : ui::Rgb{128, 0, 0}, title.substr(split)});

    BuildLegendRow(indicators::DefinitionOf(index), params, g.priceBottom + 1, kLegendValueX, shift,
                   panel.legendLabels, panel.legend);
}

int BollScale(const Geometry& g, const PanelScale& s, double x) {
    if (s.high <= s.low || x <= 0) return 0;
    return static_cast<int>((g.lowerHeight - 2) * x / (s.high - s.low));
}

// Everything of the previous panel goes but the values' storage.
void ClearLowerPanel(LowerPanelLayout& panel) {
    panel.lineCount = 0;
    panel.histogram.clear();
    panel.candles.clear();
    panel.gridLines.clear();
    panel.axisLabels.clear();
    panel.title.clear();
    panel.legendLabels.clear();
    for (auto& line : panel.lines) {
        line.drawn = false;
        line.ys.clear();
    }
    for (auto& slot : panel.legend) slot.shown = false;
    panel.scale = PanelScale{};
}

// The scale before any value is seen: 0..100 fixed, the view's highest
// volume, or the definition's start pair.
PanelScale StartScale(const IndicatorDef& def, const ChartLayout& chart) {
    PanelScale scale{def.panel.scale, def.panel.startHigh, def.panel.startLow, def.panel.decimals};
    if (scale.kind == ScaleKind::Fixed) {
        scale.high = 100;
        scale.low = 0;
    } else if (scale.kind == ScaleKind::Volume) {
        scale.high = chart.maxVolume;
        scale.low = 0;
    }
    return scale;
}

// Pass 1: the automatic range over the valid values (and the bars shown).
void WidenScale(LowerPanelLayout& panel, const IndicatorDef& def, const PreparedSeries& series,
                const ChartLayout& chart) {
    PanelScale& scale = panel.scale;
    for (int k = 0; k < def.LineCount(); ++k) {
        if (!def.lines[k].scaled) continue;
        for (double v : panel.values[k]) {
            if (!Valid(v)) continue;
            scale.high = std::max(scale.high, v);
            scale.low = std::min(scale.low, v);
        }
    }
    if (!def.panel.candles) return;
    for (size_t bar : chart.columnBar) {
        const data::Bar b = series.BarAt(bar);
        scale.high = std::max(scale.high, b.high * 0.01);
        if (b.low != 0) scale.low = std::min(scale.low, b.low * 0.01);
    }
}

void BuildHistogram(LowerPanelLayout& panel, int line, const IndicatorDef& def,
                    const ChartLayout& chart, const IndicatorParams& params) {
    const Geometry& g = chart.geometry;
    const int zeroY = std::clamp(PanelY(g, panel.scale, 0.0), g.LowerPlotTop(), g.chartBottom);
    const ui::Rgb rise = params.colours[def.histogram.rise];
    const ui::Rgb fall = BackdropOf(chart.theme) == indicators::Backdrop::Light
                             ? def.histogram.fallOnLight
                             : params.colours[def.histogram.fall];
    const std::vector<double>& values = panel.values[line];
    for (size_t c = 0; c < values.size(); ++c) {
        const double v = values[c];
        if (!Valid(v)) continue;
        panel.histogram.push_back(
            {chart.columnX[c], zeroY, PanelY(g, panel.scale, v), v > 0 ? rise : fall});
    }
}

// Pass 2: points, or the bars of a histogram line.
void BuildPoints(LowerPanelLayout& panel, const IndicatorDef& def, const ChartLayout& chart,
                 const IndicatorParams& params, bool silent) {
    for (int k = 0; k < def.LineCount(); ++k) {
        if (def.lines[k].draw == indicators::LineDraw::Histogram) {
            if (!silent) BuildHistogram(panel, k, def, chart, params);
            continue;
        }
        LinePath& line = panel.lines[k];
        line.colour = params.colours[k];
        line.drawn = !silent && indicators::LineShown(def, k, params);
        if (!line.drawn) continue;
        for (double v : panel.values[k])
            line.ys.push_back(Valid(v) ? PanelY(chart.geometry, panel.scale, v) : kNoPoint);
    }
}

// The bars of the columns scaled into the panel, with the candle rules of
// the price panel.
void BuildPanelCandles(LowerPanelLayout& panel, const PreparedSeries& series,
                       const ChartLayout& chart) {
    const Geometry& g = chart.geometry;
    const PanelScale& s = panel.scale;
    const ui::Rgb rise = chart.palette[ui::ThemeRise];
    const ui::Rgb fall = chart.palette[ui::ThemeFall];
    for (size_t c = 0; c < chart.columnBar.size(); ++c) {
        const data::Bar bar = series.BarAt(chart.columnBar[c]);
        double lo = std::min(bar.open, bar.close) * 0.01;
        const double hi = std::max(bar.open, bar.close) * 0.01;
        const double high = bar.high * 0.01, low = bar.low * 0.01;
        if (lo == 0) lo = s.low;
        CandleShape candle;
        candle.x = chart.columnX[c];
        candle.width = chart.range.step.width;
        const int body = hi > lo ? BollScale(g, s, hi - lo) : 0;
        candle.upper = high > hi ? BollScale(g, s, high - hi) : 0;
        candle.lower = bar.low != 0 && lo >= low ? BollScale(g, s, lo - low) : 0;
        candle.bodyBottom = g.chartBottom - 2 - (lo >= s.low ? BollScale(g, s, lo - s.low) : 0);
        candle.bodyTop = candle.bodyBottom - body;
        candle.colour = bar.close >= bar.open ? rise : fall;
        panel.candles.push_back(candle);
    }
}

// Twelve-digit whole-number highs (OBV) are labelled in thousands (and so
// on), the low alike.
void CutLongLabels(LowerPanelLayout& panel) {
    PanelScale& scale = panel.scale;
    if (scale.kind != ScaleKind::Automatic || scale.format != 0) return;
    const size_t length = FormatValue(scale.high, 0).size();
    if (length <= kLongLabel) return;
    const double divisor = std::pow(10.0, static_cast<double>(length - kLongLabel));
    scale.high /= divisor;
    scale.low /= divisor;
}

}  // namespace

int PanelY(const Geometry& g, const PanelScale& s, double value) {
    switch (s.kind) {
        case ScaleKind::Fixed:
            return static_cast<int>(g.chartBottom -
                                    std::clamp(value, 0.0, 100.0) * 0.01 * g.lowerHeight);
        case ScaleKind::Automatic:
            // All values alike have no spread to map: they sit on the middle line.
            if (!(s.high > s.low)) return g.LowerMiddle();
            return static_cast<int>((g.chartBottom - 1) -
                                    (g.lowerHeight - 2) * (value - s.low) / (s.high - s.low));
        case ScaleKind::Volume:
            if (!(s.high > 0)) return g.chartBottom;
            return static_cast<int>(g.chartBottom -
                                    (g.chartBottom - g.priceBottom - g.offset - g.unit) *
                                        std::min(value, s.high) / s.high);
        case ScaleKind::None:
            break;
    }
    return g.chartBottom;
}

void BuildLowerPanel(LowerPanelLayout& panel, const PreparedSeries& series,
                     const ChartLayout& chart, const IndicatorParams& params,
                     IndicatorCache& cache) {
    const int index = indicators::IsPanelIndicator(chart.selected) ? chart.selected : 0;
    ClearLowerPanel(panel);
    panel.indicator = index;
    if (index == 0) return;
    const IndicatorDef& def = indicators::DefinitionOf(index);
    const Geometry& g = chart.geometry;

    panel.gridLines.push_back(g.LowerPlotTop());
    panel.gridLines.push_back(g.LowerMiddle());
    if (def.panel.fifthLines) {
        panel.gridLines.push_back(g.LowerPlotTop() + g.lowerHeight / 5);
        panel.gridLines.push_back(g.chartBottom - g.lowerHeight / 5);
    }
    BuildTitleAndLegend(panel, chart, params);

    panel.lineCount = def.LineCount();
    panel.scale = StartScale(def, chart);

    // Pass 0: the values of every line in every column.
    const size_t columns = chart.columnBar.size();
    for (int k = 0; k < def.LineCount(); ++k) panel.values[k].assign(columns, kMissing);
    for (int k = def.LineCount(); k < indicators::kMaxLines; ++k) panel.values[k].clear();
    // An indicator whose first length is 0 draws nothing.
    const bool silent = def.params.count > 0 && params.values[0] == 0;
    if (!silent) {
        ComputeLines(panel.values, index, series, chart, params, cache);
        if (panel.scale.kind == ScaleKind::Automatic) WidenScale(panel, def, series, chart);
    }
    BuildPoints(panel, def, chart, params, silent);
    if (def.panel.candles && !silent) BuildPanelCandles(panel, series, chart);
    CutLongLabels(panel);
    BuildAxisLabels(panel, chart);
}

}  // namespace chart
