#include "chart/cursor_overlay.h"

#include <algorithm>
#include <cstdio>

#include "indicators/calculations.h"
#include "ui/fonts.h"

namespace chart {
namespace {

constexpr int kValueFont = 13;
constexpr int kLegendFont = 13;
constexpr int kLegendBoxWidth = 56;
constexpr int kLegendBoxHeight = 13;
constexpr int kTableStep = 33;
constexpr int kTableBoxHeight = 17;
constexpr int kEventFont = 12;
constexpr ui::Rgb kFallBlue{0, 0, 255};
constexpr ui::Rgb kTableLabel{0, 0, 0};
constexpr ui::Rgb kEventWhite{255, 255, 255};
constexpr ui::Rgb kEventBlue{0, 0, 215};

std::string Printf2(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

// A figure right-aligned in the strip right of the chart, its last cell
// ending at the strip's last column (the spacing after the last character
// takes no room, so a squeezed figure would otherwise run one column past
// the canvas).
TextItem TableValue(const Geometry& g, int y, std::string text, ui::Rgb colour, int spacing = -1) {
    const int extent = ui::TextWidth(kValueFont, text, spacing) - spacing;
    return {g.rect.right + 61 - extent, y, kValueFont, spacing, colour, std::move(text)};
}

void AddLegendValue(BarReadout& readout, const LegendSlot& slot, std::string text) {
    readout.legendBoxes.push_back(
        {slot.valueX, slot.y, slot.valueX + kLegendBoxWidth, slot.y + kLegendBoxHeight});
    readout.legendValues.push_back(
        {slot.valueX, slot.y, kLegendFont, 0, slot.colour, std::move(text)});
}

void BuildLegendValues(BarReadout& readout, const PreparedSeries& series, const ChartLayout& layout,
                       const indicators::IndicatorState& state, size_t bar, IndicatorCache& cache) {
    const indicators::IndicatorParams& ma = state.Params(indicators::kMa);
    for (int k = 0; k < indicators::kMaxLines; ++k) {
        if (!layout.maLegend[k].shown) continue;
        AddLegendValue(readout, layout.maLegend[k],
                       FormatValue(series.CloseAverage(bar, ma.values[k]) * 0.01, 2));
    }
    const LowerPanelLayout& panel = layout.lower;
    const int index = panel.indicator;
    if (index == 0) return;
    const indicators::IndicatorDef& def = indicators::DefinitionOf(index);
    // The values by definition, kept for the visible bars, read as the
    // panel's lines read the bars.
    size_t first = bar, last = bar;
    if (!layout.range.Empty()) {
        first = std::min(first, layout.range.first);
        last = std::max(last, layout.range.Last());
    }
    const indicators::IndicatorSeries& values =
        cache.Values(series, ReadingFor(def, layout.zoom), index, state.Params(index), first, last);
    if (!values.Covers(bar)) return;
    for (int k = 0; k < values.lineCount && k < indicators::kMaxLines; ++k) {
        if (!panel.legend[k].shown) continue;
        const double v = values.At(k, bar);
        if (indicators::IsNoValue(def.kind, v)) continue;
        AddLegendValue(readout, panel.legend[k], FormatValue(v, def.panel.decimals));
    }
}

void BuildTable(BarReadout& readout, const PreparedSeries& series, const ChartLayout& layout,
                const SecurityInfo& security, size_t bar) {
    const Geometry& g = layout.geometry;
    const ChartTexts& texts = Texts();
    const data::Bar b = series.BarAt(bar);
    auto rowY = [&](int k) { return g.rect.top - 13 + kTableStep * k; };
    auto box = [&](int y) {
        readout.tableBoxes.push_back(
            {g.rect.right + 1, y - 1, g.rect.right + 61, y - 1 + kTableBoxHeight});
    };

    box(rowY(0));
    readout.tableValues.push_back(TableValue(g, rowY(0), FormatInt(b.date), kLabelRed));
    const uint32_t prices[4] = {b.open, b.high, b.low, b.close};
    for (int k = 0; k < 4; ++k) {
        box(rowY(k + 1));
        readout.tableValues.push_back(TableValue(g, rowY(k + 1), PriceText(prices[k]), kLabelRed));
    }

    // Volume: long numbers move left and squeeze from nine digits on.
    std::string volume = FormatInt(b.volume);
    const int volumeSpacing = volume.size() >= kLongLabel ? -2 : -1;
    if (security.isIndex) volume += texts.tenThousand;
    box(rowY(5));
    readout.tableValues.push_back(TableValue(g, rowY(5), volume, kLabelRed, volumeSpacing));

    std::string amount = security.isIndex
                             ? FormatInt((b.amount / 10000) + (b.amount % 10000 >= 5000 ? 1 : 0)) +
                                   texts.hundredMillion
                             : FormatInt(b.amount);
    box(rowY(6));
    readout.tableValues.push_back(TableValue(g, rowY(6), amount, kLabelRed));

    box(rowY(7));
    if (bar == 0) {
        readout.tableValues.push_back(TableValue(g, rowY(7), "0.00%", kLabelRed));
    } else {
        const double previous = series.Close(bar - 1);
        const double close = b.close;
        if (previous == 0) {
            readout.tableValues.push_back(TableValue(g, rowY(7), "0.00%", kLabelRed));
        } else if (close < previous) {
            readout.tableValues.push_back(TableValue(
                g, rowY(7), "-" + Printf2((previous - close) * 100 / previous) + "%", kFallBlue));
        } else {
            readout.tableValues.push_back(TableValue(
                g, rowY(7), "+" + Printf2((close - previous) * 100 / previous) + "%", kLabelRed));
        }
    }

    if (security.isIndex || security.floatShares == 0) return;
    box(rowY(8));
    readout.tableValues.push_back(
        TableValue(g, rowY(8), Printf2(static_cast<double>(b.volume) / security.floatShares) + "%",
                   kLabelRed));

    // Share capital and float, in 10,000 shares up to 10,000 of them, else in 100 million.
    const int top = g.rect.top;
    auto shares = [&](uint32_t count, int labelY, const std::string& small,
                      const std::string& large) {
        const bool inTenThousands = count <= 10000;
        readout.tableBoxes.push_back(
            {g.rect.right + 1, labelY - 1, g.rect.right + 61, labelY + 30});
        readout.tableValues.push_back(
            {g.rect.right + 4, labelY, 12, 0, kTableLabel, inTenThousands ? small : large});
        readout.tableValues.push_back(
            TableValue(g, labelY + 14, inTenThousands ? FormatInt(count) : Printf2(count * 0.0001),
                       kLabelRed));
    };
    shares(security.totalShares, top + 270, texts.totalTenThousand, texts.totalHundredMillion);
    shares(security.floatShares, top + 303, texts.floatTenThousand, texts.floatHundredMillion);
}

// The event of the security dated after the previous bar and on or before
// this one; the first loaded bar only shows an event of its own date.
const data::ExRightsEvent* EventOnBar(const PreparedSeries& series, size_t bar) {
    const uint32_t date = series.Date(bar);
    const uint32_t previous = bar > 0 ? series.Date(bar - 1) : date;
    for (const data::ExRightsEvent& event : series.Events())
        if (event.date == date || (event.date > previous && event.date < date)) return &event;
    return nullptr;
}

}  // namespace

void BuildBarReadout(BarReadout& readout, const PreparedSeries& series, const ChartLayout& layout,
                     const ChartSettings& settings, size_t bar) {
    IndicatorCache cache;
    BuildBarReadout(readout, series, layout, settings, bar, cache);
}

void BuildBarReadout(BarReadout& readout, const PreparedSeries& series, const ChartLayout& layout,
                     const ChartSettings& settings, size_t bar, IndicatorCache& cache) {
    readout.legendValues.clear();
    readout.legendBoxes.clear();
    readout.tableBoxes.clear();
    readout.tableValues.clear();
    readout.shown = bar < series.Count();
    readout.bar = bar;
    if (!readout.shown) return;
    static const indicators::IndicatorState kStandard;
    const indicators::IndicatorState& state =
        settings.indicators ? *settings.indicators : kStandard;
    BuildLegendValues(readout, series, layout, state, bar, cache);
    BuildTable(readout, series, layout, settings.security, bar);
}

uint32_t PriceAt(const ChartLayout& layout, int y) {
    const Geometry& g = layout.geometry;
    const int span = g.PriceSpan();
    if (span <= 0) return layout.high;
    const int64_t fromTop = y < g.rect.top + g.unit ? 0 : y - g.unit - g.rect.top;
    const int64_t price =
        int64_t{layout.high} - (int64_t{layout.high} - layout.low) * fromTop / span;
    return price > 0 ? static_cast<uint32_t>(price) : 0;
}

double PanelValueAt(const Geometry& g, const PanelScale& scale, int y) {
    if (g.lowerHeight == 0) return scale.low;
    return scale.low + (g.chartBottom - y - 1) * (scale.high - scale.low) / g.lowerHeight;
}

void BuildCrosshair(CrosshairLayout& crosshair, const PreparedSeries& series,
                    const ChartLayout& layout, const ChartModel& model,
                    const ChartSettings& settings) {
    IndicatorCache cache;
    BuildCrosshair(crosshair, series, layout, model, settings, cache);
}

void BuildCrosshair(CrosshairLayout& crosshair, const PreparedSeries& series,
                    const ChartLayout& layout, const ChartModel& model,
                    const ChartSettings& settings, IndicatorCache& cache) {
    const Geometry& g = layout.geometry;
    const Cursor& cursor = model.CursorState();
    crosshair.hasReadout = false;
    crosshair.hasEvent = false;
    crosshair.shown = cursor.x != 0 && !layout.range.Empty();
    if (!crosshair.shown) {
        crosshair.bar.shown = false;
        return;
    }
    crosshair.x = cursor.x;
    crosshair.y = cursor.y;
    crosshair.top = g.rect.top;
    crosshair.bottom = g.rect.bottom;
    crosshair.left = g.plotLeft;
    crosshair.right = g.rect.right;

    // Left readout at the cursor's height.
    const int y = cursor.y;
    if (y != 0) {
        TextItem& text = crosshair.readout;
        text.font = kValueFont;
        text.colour = ui::kWhite;
        text.spacing = -1;
        int longX = g.rect.left + 2;
        bool isLong = false;
        if (y < g.priceBottom) {
            PriceLabelText price = FormatPrice(PriceAt(layout, y));
            text.text = std::move(price.text);
            isLong = price.isLong;
            text.y = std::max(y - 12, g.rect.top + 2);
            crosshair.hasReadout = true;
        } else if (layout.lower.scale.kind == ScaleKind::Volume) {
            int64_t volume = 0;
            const int room = g.chartBottom - g.unit - g.priceBottom;
            if (y <= g.chartBottom && room > 0)
                volume = std::min<int64_t>(int64_t{g.chartBottom - y} * layout.maxVolume / room,
                                           layout.maxVolume);
            text.text = FormatInt(volume);
            isLong = text.text.size() >= kLongLabel;
            text.y = y - 12;
            crosshair.hasReadout = true;
        } else if (layout.lower.indicator != 0 && y < g.chartBottom) {
            const PanelScale& s = layout.lower.scale;
            text.text = FormatValue(PanelValueAt(g, s, y), s.format);
            text.y = y - 7;
            longX = g.rect.left + 3;
            isLong = text.text.size() >= kLongLabel;
            if (isLong) text.spacing = -2;
            crosshair.hasReadout = true;
        }
        if (crosshair.hasReadout) {
            text.x = LabelX(g.plotLeft, text.text.size(), isLong, longX);
            crosshair.readoutBox = {text.x - 1, text.y, g.plotLeft - 1, text.y + 14};
        }
    }

    const std::optional<size_t> bar = model.CursorBar(layout.range);
    BuildBarReadout(crosshair.bar, series, layout, settings, bar.value_or(0), cache);
    if (!bar) return;

    // The bar's date and weekday along the bottom.
    const uint32_t date = series.Date(*bar);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%u(%d)", date, Weekday(date));
    TextItem& dateText = crosshair.date;
    dateText = {std::min(cursor.x, g.rect.right - 76),
                g.rect.bottom - 13,
                kValueFont,
                -1,
                ui::kWhite,
                buffer};
    crosshair.dateBox = {dateText.x - 1, dateText.y,
                         dateText.x + ui::TextWidth(kValueFont, dateText.text, -1) + 1,
                         dateText.y + 14};

    // On an ex-rights date, what the event gave per 10 shares.
    if (const data::ExRightsEvent* event = EventOnBar(series, *bar)) {
        TextItem& text = crosshair.event;
        text.text = ToGbk(data::EventText(*event));
        const int width = 6 * static_cast<int>(text.text.size());
        text.x = cursor.x + 4;
        if (text.x + width > g.rect.right - 2) text.x = g.rect.right - 2 - width;
        text.y = g.priceBottom - 12;
        text.font = kEventFont;
        text.spacing = 0;
        text.colour = settings.theme == ui::ThemeId::ClassicBlack ? kEventWhite : kEventBlue;
        crosshair.eventBox = {text.x, text.y, text.x + width, text.y + 12};
        crosshair.hasEvent = true;
    }
}

std::vector<Box> CrosshairLayout::RestoreRects() const {
    std::vector<Box> rects;
    if (!shown) return rects;
    rects.push_back({x, top, x + 1, bottom + 1});
    if (y != 0) rects.push_back({left, y, right + 1, y + 1});
    if (hasReadout) rects.push_back(readoutBox);
    if (bar.shown) rects.push_back(dateBox);
    if (hasEvent) rects.push_back(eventBox);
    return rects;
}

}  // namespace chart
