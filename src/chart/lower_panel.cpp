// The lower panel: the selected indicator's lines over the columns, its scale,
// grid, axis labels, title and legend labels.
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/chart_layout.h"
#include "indicators/calculations.h"
#include "indicators/recursions.h"
#include "ui/fonts.h"

namespace chart {
namespace {

using indicators::IndicatorParams;

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
constexpr int kAxisFont = 13;
constexpr int kNarrowFont = 12;
constexpr int kTitleFont = 12;
constexpr int kLegendFont = 13;
constexpr int kLegendStep = 137;
constexpr int kTitleX = 68;
constexpr int kLegendValueX = 265;
constexpr ui::Rgb kMacdFallRegular{51, 102, 0};

struct ScaleRule {
    ScaleKind kind = ScaleKind::Automatic;
    double high = 0;  // start pair: pass 1 widens the range from here
    double low = 0;
    int format = 2;
};

ScaleRule RuleOf(int index) {
    switch (index) {
        case indicators::kVol:
            return {ScaleKind::Volume, 0, 0, 0};
        case indicators::kRsi:
        case indicators::kKd:
        case indicators::kKdj:
        case indicators::kWr:
            return {ScaleKind::Fixed, 100, 0, 2};
        case indicators::kBias:
        case indicators::kDmi:
            return {ScaleKind::Automatic, -100, 100, 2};
        case indicators::kMacd:
            return {ScaleKind::Automatic, -10, 10, 2};
        case indicators::kBoll:
            return {ScaleKind::Automatic, 0, 10000, 2};
        case indicators::kCci:
            return {ScaleKind::Automatic, -3000, 3000, 2};
        case indicators::kArbr:
            return {ScaleKind::Automatic, -1000, 1000, 2};
        case indicators::kPsy:
            return {ScaleKind::Automatic, 0, 100, 2};
        case indicators::kObv:
            return {ScaleKind::Automatic, -100000, 99999999999999.0, 0};
        case indicators::kCr:
        case indicators::kVr:
            return {ScaleKind::Automatic, 0, 1000, 2};
        default:  // ROC, DMA: (0, 0) keeps the zero level in the panel
            return {ScaleKind::Automatic, 0, 0, 2};
    }
}

bool HasGridFifths(int index) {
    return index == indicators::kRsi || index == indicators::kKd || index == indicators::kKdj;
}

// x of the legend label of line k (0-based), for the fixed labels.
int FixedLabelX(int index, int k) {
    switch (index) {
        case indicators::kMacd: {
            static constexpr int kX[3] = {229, 372, 503};
            return kX[k];
        }
        case indicators::kBoll: {
            static constexpr int kX[3] = {235, 360, 497};
            return kX[k];
        }
        case indicators::kKd:
        case indicators::kKdj:
            return 247 + kLegendStep * k;
        case indicators::kDmi:
            return k == 3 ? 642 : 235 + kLegendStep * k;
        case indicators::kArbr:
            return 241 + kLegendStep * k;
        case indicators::kVr:
            return 241;
        case indicators::kCr:
            return k == 0 ? 241 : 235 + kLegendStep * k;
        case indicators::kRoc:
            return k == 0 ? 235 : 360;
        default:  // W&R, OBV, DMA
            return 235 + kLegendStep * k;
    }
}

bool Valid(double value) {
    return !std::isnan(value);
}

double Real(double value) {
    return indicators::HasValue(value) ? value : kMissing;
}
// BOLL has no value while its integer part is 0.
double Band(double value) {
    return std::trunc(value) != 0 ? value : kMissing;
}

bool IsRecursive(int index) {
    return index == indicators::kRsi || index == indicators::kMacd || index == indicators::kKd ||
           index == indicators::kKdj;
}

// Converts a calculated value into the panel's: NaN where it has none.
double PanelValue(int index, double value, double unit) {
    if (index == indicators::kBoll) return Band(value);
    if (index == indicators::kObv) {
        const double v = value * unit;
        return v != 0 ? v : kMissing;  // zero values stay out of the scale
    }
    return Real(value);
}

// Recursive lines with several bars per column: the recursion runs in full
// up to the first column, then advances one step per column with that
// column's bar.
void CarryAlongColumns(std::array<std::vector<double>, indicators::kMaxLines>& values, int index,
                       const PreparedSeries& series, const std::vector<size_t>& bars,
                       const IndicatorParams& params, IndicatorCache& cache) {
    const data::SeriesView& view = series.View();
    const size_t columns = bars.size();
    const auto& p = params.values;
    switch (index) {
        case indicators::kRsi:
            for (int k = 0; k < 3; ++k) {
                indicators::RsiRecursion rsi = cache.RsiBefore(series, k, p[k], bars[0]);
                for (size_t c = 0; c < columns; ++c) {
                    rsi.Feed(view, bars[c]);
                    values[k][c] = Real(rsi.Value());
                }
            }
            break;
        case indicators::kMacd: {
            indicators::MacdRecursion macd = cache.MacdBefore(series, params, bars[0]);
            for (size_t c = 0; c < columns; ++c) {
                macd.Feed(view, bars[c]);
                const indicators::MacdValues v = macd.Values();
                values[0][c] = Real(v.diff);
                values[1][c] = Real(v.dea);
                values[2][c] = Real(v.macd);
            }
            break;
        }
        default: {  // KD, KDJ
            indicators::KdRecursion kd = cache.KdBefore(series, params, bars[0]);
            for (size_t c = 0; c < columns; ++c) {
                kd.Feed(view, bars[c]);
                const indicators::KdValues v = kd.Values();
                values[0][c] = Real(v.k);
                values[1][c] = Real(v.d);
                if (index == indicators::kKdj) values[2][c] = Real(v.j);
            }
            break;
        }
    }
}

void ComputeLines(std::array<std::vector<double>, indicators::kMaxLines>& values, int index,
                  const PreparedSeries& series, const ChartLayout& chart,
                  const IndicatorParams& params, IndicatorCache& cache) {
    const std::vector<size_t>& bars = chart.columnBar;
    const size_t columns = bars.size();
    if (columns == 0) return;

    if (index == indicators::kVol) {
        for (int k = 0; k < 3; ++k) {
            if (params.values[k] <= 0) continue;
            for (size_t c = 0; c < columns; ++c) {
                const uint32_t v = series.VolumeAverage(bars[c], params.values[k]);
                values[k][c] = v != 0 ? static_cast<double>(v) : kMissing;
            }
        }
        return;
    }
    if (IsRecursive(index) && !chart.range.OneBarPerColumn()) {
        CarryAlongColumns(values, index, series, bars, params, cache);
        return;
    }
    // Every other line, and the recursive ones while each column holds one
    // bar (where carrying them is the definition), at each column's bar.
    const PriceReading reading = ReadingFor(index, chart.zoom);
    const indicators::IndicatorSeries& lines =
        cache.Values(series, reading, index, params, bars.front(), bars.back());
    const double unit = index == indicators::kObv && chart.isIndex ? 0.01 : 1.0;
    for (int k = 0; k < lines.lineCount && k < indicators::kMaxLines; ++k)
        for (size_t c = 0; c < columns; ++c)
            values[k][c] =
                lines.Covers(bars[c]) ? PanelValue(index, lines.At(k, bars[c]), unit) : kMissing;
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
    if (HasGridFifths(panel.indicator)) {
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

    panel.legendLabels.clear();
    const indicators::IndicatorInfo& info = indicators::InfoOf(index);
    const int row = g.priceBottom + 1;
    for (int k = 0; k < info.lineCount && k < indicators::kMaxLines; ++k) {
        const ui::Rgb colour = params.colours[k];
        LegendSlot& slot = panel.legend[k];
        slot = {kLegendValueX + kLegendStep * k + shift, row, colour, true};
        if (info.labelStyle == indicators::LabelStyle::ParameterDays) {
            const int length = params.values[info.labelParam[k]];
            if (index == indicators::kVol && length <= 0) {
                slot.shown = false;
                continue;
            }
            const std::string number = FormatInt(length);
            const int end = 250 + kLegendStep * k + shift;
            panel.legendLabels.push_back(
                {end - 7 * static_cast<int>(number.size()), row, kLegendFont, 0, colour, number});
            panel.legendLabels.push_back({end, row, kLegendFont, 0, colour, Texts().day});
        } else {
            panel.legendLabels.push_back({FixedLabelX(index, k) + shift, row, kLegendFont, 0,
                                          colour, std::string(info.labels[k])});
        }
    }
}

int BollScale(const Geometry& g, const PanelScale& s, double x) {
    if (s.high <= s.low || x <= 0) return 0;
    return static_cast<int>((g.lowerHeight - 2) * x / (s.high - s.low));
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
    const Geometry& g = chart.geometry;
    const int index = indicators::IsPanelIndicator(chart.selected) ? chart.selected : 0;
    panel.indicator = index;
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
    if (index == 0) return;

    panel.gridLines.push_back(g.LowerPlotTop());
    panel.gridLines.push_back(g.LowerMiddle());
    if (HasGridFifths(index)) {
        panel.gridLines.push_back(g.LowerPlotTop() + g.lowerHeight / 5);
        panel.gridLines.push_back(g.chartBottom - g.lowerHeight / 5);
    }
    BuildTitleAndLegend(panel, chart, params);

    const indicators::IndicatorInfo& info = indicators::InfoOf(index);
    const ScaleRule rule = RuleOf(index);
    panel.lineCount = info.lineCount;
    panel.scale = {rule.kind, rule.high, rule.low, rule.format};
    if (rule.kind == ScaleKind::Volume) panel.scale.high = chart.maxVolume;

    // Pass 0: the values of every line in every column.
    const size_t columns = chart.columnBar.size();
    for (int k = 0; k < info.lineCount; ++k) panel.values[k].assign(columns, kMissing);
    for (int k = info.lineCount; k < indicators::kMaxLines; ++k) panel.values[k].clear();
    // An indicator whose first length is 0 draws nothing.
    const bool silent = indicators::ParamCount(index) > 0 && params.values[0] == 0;
    if (!silent) ComputeLines(panel.values, index, series, chart, params, cache);

    // Pass 1: the automatic range over the valid values.
    if (rule.kind == ScaleKind::Automatic) {
        for (int k = 0; k < info.lineCount; ++k) {
            if (index == indicators::kBoll && k == 0) continue;  // MID lies between the bands
            for (double v : panel.values[k]) {
                if (!Valid(v)) continue;
                panel.scale.high = std::max(panel.scale.high, v);
                panel.scale.low = std::min(panel.scale.low, v);
            }
        }
        if (index == indicators::kBoll && !silent) {
            for (size_t bar : chart.columnBar) {
                const data::Bar b = series.BarAt(bar);
                panel.scale.high = std::max(panel.scale.high, b.high * 0.01);
                if (b.low != 0) panel.scale.low = std::min(panel.scale.low, b.low * 0.01);
            }
        }
    }

    // Pass 2: points.
    const bool isMacd = index == indicators::kMacd;
    const int drawnLines = isMacd ? 2 : info.lineCount;
    for (int k = 0; k < drawnLines; ++k) {
        LinePath& line = panel.lines[k];
        line.colour = params.colours[k];
        line.drawn = !silent && !(index == indicators::kVol && params.values[k] <= 0);
        if (!line.drawn) continue;
        for (double v : panel.values[k])
            line.ys.push_back(Valid(v) ? PanelY(g, panel.scale, v) : kNoPoint);
    }
    if (isMacd && !silent) {
        const int zeroY = std::clamp(PanelY(g, panel.scale, 0.0), g.LowerPlotTop(), g.chartBottom);
        const ui::Rgb fall =
            chart.theme == ui::ThemeId::Regular ? kMacdFallRegular : params.colours[4];
        for (size_t c = 0; c < columns; ++c) {
            const double v = panel.values[2][c];
            if (!Valid(v)) continue;
            panel.histogram.push_back({chart.columnX[c], zeroY, PanelY(g, panel.scale, v),
                                       v > 0 ? params.colours[3] : fall});
        }
    }
    if (index == indicators::kBoll && !silent) {
        const PanelScale& s = panel.scale;
        const ui::Rgb rise = chart.palette[ui::ThemeRise];
        const ui::Rgb fall = chart.palette[ui::ThemeFall];
        for (size_t c = 0; c < columns; ++c) {
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

    // Twelve-digit OBV highs are labelled in thousands (and so on), the low alike.
    if (index == indicators::kObv) {
        const size_t length = FormatValue(panel.scale.high, 0).size();
        if (length > kLongLabel) {
            const double divisor = std::pow(10.0, static_cast<double>(length - kLongLabel));
            panel.scale.high /= divisor;
            panel.scale.low /= divisor;
        }
    }
    BuildAxisLabels(panel, chart);
}

}  // namespace chart
