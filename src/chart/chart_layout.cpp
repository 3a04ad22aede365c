#include "chart/chart_layout.h"

#include <algorithm>
#include <cstdio>

#include "chart/tab_row.h"
#include "data/paths.h"
#include "ui/fonts.h"

namespace chart {
namespace {

constexpr ui::Rgb kMarkerWhite{255, 255, 255};
constexpr ui::Rgb kMarkerRed{255, 0, 0};
constexpr ui::Rgb kTableLabel{0, 0, 0};
constexpr int kHeaderFont = 16;  // 15 pixels high
constexpr int kLabelFont = 13;
constexpr int kTabFont = ui::kTabRowFont;
constexpr int kMaLegendValueX = 240;  // the values step by 137, 15 right of each label

// MA lines 3..5 need a price adjustment for every close they average; above
// this level they are left out of an adjusted stock chart.
constexpr int kMaDetailZoom = 9;

// Legend positions were laid out for the chart at x = 2.
int Shift(const Geometry& g) {
    return g.rect.left - kDefaultChartRect.left;
}

const std::string& TabName(int cell) {
    static const std::array<std::string, kTabCellCount> names = [] {
        std::array<std::string, kTabCellCount> gbk;
        for (int k = 0; k < kTabCellCount; ++k) gbk[k] = ToGbk(TabCellOf(k).name);
        return gbk;
    }();
    return names[static_cast<size_t>(cell)];
}

void BuildColumns(ChartLayout& layout) {
    const ViewRange& range = layout.range;
    layout.columnX.clear();
    layout.columnBar.clear();
    for (int c = 0; c < range.columns; ++c) {
        layout.columnX.push_back(ColumnX(layout.geometry, range.step, c));
        layout.columnBar.push_back(range.first + range.ColumnStart(c));
    }
}

void BuildCandles(ChartLayout& layout, const PreparedSeries& series, bool withVolume) {
    layout.candles.clear();
    layout.volumes.clear();
    const int width = layout.range.step.width;
    const ui::Rgb rise = layout.palette[ui::ThemeRise];
    const ui::Rgb fall = layout.palette[ui::ThemeFall];
    for (size_t c = 0; c < layout.columnX.size(); ++c) {
        const data::Bar bar = series.BarAt(layout.columnBar[c]);
        CandleShape candle = MakeCandle(layout.scale, bar, layout.columnX[c], width);
        candle.colour = bar.close >= bar.open ? rise : fall;
        layout.candles.push_back(candle);
        if (withVolume) {
            const int height = VolumeHeight(layout.geometry, bar.volume, layout.maxVolume);
            layout.volumes.push_back(
                {layout.columnX[c], width, layout.geometry.chartBottom - height, candle.colour});
        }
    }
}

// Events are consumed in date order: a column shows a marker when an event
// falls after the previous bar's date and on or before its bar's date. The
// first loaded bar has no previous bar; only an event on its own date marks it
// (older events have no bar of this series to sit on).
void BuildMarkers(ChartLayout& layout, const PreparedSeries& series, data::AdjustMode mode) {
    layout.markers.clear();
    const auto events = series.Events();
    size_t k = 0;
    const int y = layout.geometry.priceBottom - 7;
    for (size_t c = 0; c < layout.columnBar.size() && k < events.size(); ++c) {
        const size_t t = layout.columnBar[c];
        const uint32_t date = series.Date(t);
        while (k < events.size() &&
               (t > 0 ? events[k].date <= series.Date(t - 1) : events[k].date < date))
            ++k;
        if (k == events.size() || events[k].date > date) continue;
        while (k < events.size() && events[k].date <= date) ++k;
        const int x = layout.columnX[c];
        switch (mode) {
            case data::AdjustMode::None:
                layout.markers.push_back({x, y, 4, kMarkerWhite});
                break;
            case data::AdjustMode::Forward:
                layout.markers.push_back({x - 3, y, 5, kMarkerRed});
                break;
            case data::AdjustMode::Backward:
                layout.markers.push_back({x + 3, y, 5, kMarkerRed});
                break;
        }
    }
}

// The columns of the result's span, from the newest visible bar back, and
// the height of the price panel.
void BuildResultMark(ChartLayout& layout, const ChartModel& model) {
    layout.resultMark.reset();
    if (!model.OpenedFromResult() || layout.columnX.empty()) return;
    const size_t columns = layout.columnX.size();
    const size_t span = std::min<size_t>(model.ResultSpan(), columns);
    const Geometry& g = layout.geometry;
    const int halfPitch = kZoomTable[static_cast<size_t>(layout.zoom)].Pitch() / 2 + 1;
    layout.resultMark = ResultMark{layout.columnX[columns - span] - halfPitch, g.rect.top + 1,
                                   layout.columnX[columns - 1] + halfPitch + 1, g.priceBottom};
}

void BuildMaLines(ChartLayout& layout, const PreparedSeries& series,
                  const indicators::IndicatorParams& ma, data::AdjustMode mode) {
    const Geometry& g = layout.geometry;
    const bool dropDetail =
        !layout.isIndex && mode != data::AdjustMode::None && layout.zoom > kMaDetailZoom;
    for (int k = 0; k < 5; ++k) {
        LinePath& line = layout.ma[k];
        line.colour = ma.colours[k];
        line.ys.clear();
        const int n = ma.values[k];
        line.drawn = n > 0 && !(dropDetail && k >= 2);
        if (!line.drawn) continue;
        for (size_t c = 0; c < layout.columnBar.size(); ++c) {
            const uint32_t v = series.CloseAverage(layout.columnBar[c], n);
            if (v == 0) {
                line.ys.push_back(kNoPoint);
                continue;
            }
            const uint32_t clamped = std::clamp(v, layout.low, std::max(layout.high, layout.low));
            line.ys.push_back(g.rect.top + g.unit +
                              layout.scale.Scale(int64_t{layout.high} - clamped));
        }
    }
}

void BuildPriceLabels(ChartLayout& layout) {
    const Geometry& g = layout.geometry;
    layout.priceGrid = PriceGridLines(g);
    layout.priceLabels.clear();
    const uint32_t q = layout.high > layout.low ? (layout.high - layout.low) / 4 : 0;
    const uint32_t values[5] = {layout.high, layout.high - q, layout.high - 2 * q,
                                layout.high - 3 * q, layout.low};
    for (int i = 0; i < 5; ++i) {
        TextItem label;
        PriceLabelText price = FormatPrice(values[i]);
        label.x = LabelX(g.plotLeft, price.text.size(), price.isLong, g.rect.left + 2);
        label.text = std::move(price.text);
        label.y = layout.priceGrid[i] - 7;
        label.font = kLabelFont;
        label.spacing = -1;
        label.colour = kLabelRed;
        layout.priceLabels.push_back(std::move(label));
    }
}

void BuildMaLegend(ChartLayout& layout, const indicators::IndicatorParams& ma) {
    const Geometry& g = layout.geometry;
    BuildLegendRow(indicators::DefinitionOf(indicators::kMa), ma, g.rect.top + 1, kMaLegendValueX,
                   Shift(g), layout.maLegendLabels, layout.maLegend);
}

void BuildHeader(ChartLayout& layout, const SecurityInfo& security, WidthLayout width) {
    HeaderLayout& header = layout.header;
    header.shown = true;
    const int x = width == WidthLayout::Half ? 316 : 424;
    header.code = {x, 6, kHeaderFont, 0, kLabelRed, data::CodeText(security.code)};
    header.name.clear();
    const ChartTexts& texts = Texts();
    const std::string& open = layout.period == data::Period::Weekly    ? texts.weeklyOpen
                              : layout.period == data::Period::Monthly ? texts.monthlyOpen
                                                                       : texts.dailyOpen;
    header.name.push_back(
        {x + 60, 6, kHeaderFont, 0, kLabelRed, security.name + open + texts.kLineClose});
}

void BuildTableLabels(ChartLayout& layout, const SecurityInfo& security, WidthLayout width) {
    const Geometry& g = layout.geometry;
    layout.tableLabels.clear();
    const ChartTexts& texts = Texts();
    const bool turnover = !security.isIndex && security.floatShares != 0;
    for (int i = 0; i < (turnover ? 9 : 8); ++i)
        layout.tableLabels.push_back(
            {g.rect.right + 4, g.rect.top - 26 + 33 * i, 12, 0, kTableLabel, texts.tableLabels[i]});
    if (width == WidthLayout::Normal)
        layout.tableLabels.push_back({969, 367, 12, 0, kTableLabel, texts.enterCode});
}

void BuildTabs(ChartLayout& layout, int selected) {
    const Geometry& g = layout.geometry;
    TabRowLayout& tabs = layout.tabs;
    tabs.top = g.chartBottom + 1;
    tabs.bottom = g.rect.bottom;
    tabs.left = kTabRowLeft + Shift(g);
    tabs.right = TabCellLeft(kTabCellCount) + Shift(g);
    tabs.selected = selected;
    tabs.names.clear();
    const bool dark = layout.theme == ui::ThemeId::ClassicBlack;
    for (int k = 0; k < kTabCellCount; ++k) {
        const ui::Rgb colour = k == selected ? ui::Rgb{0, 0, 160}
                               : dark        ? ui::Rgb{192, 192, 192}
                                             : ui::Rgb{64, 64, 64};
        tabs.names.push_back({TabCellLeft(k) + Shift(g) + TabCellOf(k).textOffset, g.chartBottom,
                              kTabFont, 0, colour, TabName(k)});
    }
}

}  // namespace

PriceRange FindPriceRange(const PreparedSeries& series, const ViewRange& range,
                          const indicators::IndicatorParams& ma,
                          const indicators::IndicatorParams* vol) {
    PriceRange result;
    uint32_t low = UINT32_MAX;
    if (range.Empty()) return {0, 0, 0};
    for (size_t t = range.first; t <= range.Last(); ++t) {
        const data::Bar bar = series.BarAt(t);
        result.high = std::max(result.high, bar.high);
        if (bar.low != 0) low = std::min(low, bar.low);
        result.maxVolume = std::max(result.maxVolume, bar.volume);
    }
    // The averages of the first visible bars, each over no more bars than
    // are visible.
    for (int k = 0; k < 5; ++k) {
        const size_t length = std::min<size_t>(std::max(ma.values[k], 0), range.visible);
        for (size_t i = 0; i < length; ++i) {
            const uint32_t v = series.CloseAverage(range.first + i, static_cast<int>(length));
            if (v == 0) continue;
            result.high = std::max(result.high, v);
            low = std::min(low, v);
        }
    }
    if (vol) {
        for (int k = 0; k < 3; ++k) {
            const size_t length = std::min<size_t>(std::max(vol->values[k], 0), range.visible);
            for (size_t i = 0; i < length; ++i)
                result.maxVolume =
                    std::max(result.maxVolume,
                             series.VolumeAverage(range.first + i, static_cast<int>(length)));
        }
    }
    result.low = low == UINT32_MAX ? 0 : low;
    return result;
}

CandleShape MakeCandle(const PriceScale& scale, const data::Bar& bar, int x, int width) {
    CandleShape candle;
    candle.x = x;
    candle.width = width;
    uint32_t lo = std::min(bar.open, bar.close);
    const uint32_t hi = std::max(bar.open, bar.close);
    if (lo == 0) lo = scale.low;
    const int body = hi > lo ? scale.Scale(int64_t{hi} - lo) : 0;
    candle.upper = bar.high > hi ? scale.Scale(int64_t{bar.high} - hi) : 0;
    candle.lower = bar.low != 0 && lo >= bar.low ? scale.Scale(int64_t{lo} - bar.low) : 0;
    candle.bodyBottom = scale.bottom - scale.Scale(int64_t{lo} - scale.low);
    candle.bodyTop = candle.bodyBottom - body;
    return candle;
}

int VolumeHeight(const Geometry& g, uint32_t volume, uint32_t maxVolume) {
    if (volume == 0 || maxVolume == 0) return 1;
    const int64_t room = g.chartBottom - g.priceBottom - g.unit - g.offset;
    // The integer product would overflow 32 bits above 64,000,000 lots.
    if (volume > 64'000'000u)
        return static_cast<int>(static_cast<double>(room) * volume / maxVolume);
    return static_cast<int>(room * volume / maxVolume);
}

void BuildChartLayout(ChartLayout& layout, const PreparedSeries& series, const ChartModel& model,
                      const ChartSettings& settings) {
    IndicatorCache cache;
    BuildChartLayout(layout, series, model, settings, cache);
}

void BuildChartLayout(ChartLayout& layout, const PreparedSeries& series, const ChartModel& model,
                      const ChartSettings& settings, IndicatorCache& cache) {
    static const indicators::IndicatorState kStandard;
    const indicators::IndicatorState& state =
        settings.indicators ? *settings.indicators : kStandard;
    layout.geometry = model.MakeGeometry();
    layout.range = model.Resolve(series.View());
    layout.theme = settings.theme;
    layout.palette = ui::PaletteOf(settings.theme);
    layout.zoom = model.Zoom();
    layout.period = model.Period();
    layout.isIndex = settings.security.isIndex;
    layout.selected = state.Selected();

    // A panel on the volume scale shows the volume bars, and its averages
    // widen the highest volume.
    const bool volumePanel =
        indicators::DefinitionOf(layout.selected).panel.scale == ScaleKind::Volume;
    const PriceRange prices =
        FindPriceRange(series, layout.range, state.Params(indicators::kMa),
                       volumePanel ? &state.Params(layout.selected) : nullptr);
    layout.high = prices.high;
    layout.low = prices.low;
    layout.maxVolume = prices.maxVolume;
    layout.scale = MakePriceScale(layout.geometry, layout.high, layout.low);

    BuildColumns(layout);
    BuildCandles(layout, series, volumePanel);
    BuildMarkers(layout, series, settings.adjustMode);
    BuildResultMark(layout, model);
    BuildMaLines(layout, series, state.Params(indicators::kMa), settings.adjustMode);
    BuildPriceLabels(layout);
    BuildMaLegend(layout, state.Params(indicators::kMa));
    BuildLowerPanel(layout.lower, series, layout, state.Params(layout.selected), cache);
    BuildHeader(layout, settings.security, model.Width());
    BuildTableLabels(layout, settings.security, model.Width());
    BuildTabs(layout, layout.selected);
}

}  // namespace chart
