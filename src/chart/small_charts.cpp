#include "chart/small_charts.h"

#include <algorithm>
#include <cstdio>

#include "chart/paint.h"
#include "ui/drawing.h"
#include "ui/theme.h"

namespace chart {
namespace {

constexpr ui::Rgb kSmallBackground{255, 255, 255};
constexpr ui::Rgb kPageFrame{0, 0, 90};
constexpr ui::Rgb kTitleColour{120, 0, 0};
constexpr ui::Rgb kCaptionColour{0, 0, 90};
constexpr ui::Rgb kFallBlue{0, 0, 255};
constexpr int kCaptionFont = 12;
constexpr int kCaptionFirstLine = 31;   // above the chart rectangle's top
constexpr int kCaptionSecondLine = 17;

}  // namespace

void BuildSmallChart(SmallChartLayout& layout, const ChartRect& rect,
                     const SmallChartSource& source) {
    const ui::ThemePalette& palette = ui::PaletteOf(ui::ThemeId::Regular);
    Geometry& g = layout.geometry;
    g = MakeGeometry(rect, LowerPanelSize::Normal, 0);
    layout.candles.clear();
    layout.volumes.clear();
    layout.caption.clear();
    layout.priceGrid = PriceGridLines(g);
    layout.lowerGrid = {g.LowerPlotTop(), g.LowerMiddle()};

    // Only the last 45 bars and the one before them (for the change) are read.
    data::SeriesView view = source.series;
    const size_t count = SeriesBars(view);
    const size_t keep = std::min<size_t>(count, kSmallChartBars + 1);
    view.firstBar += (count - keep) * view.width;
    PreparedSeries series;
    series.Prepare(view, {});

    layout.range = FixedView(series.Count(), kSmallChartBars, kSmallChartStep, g.plotWidth);
    const indicators::IndicatorParams noAverages{};
    const PriceRange prices = FindPriceRange(series, layout.range, noAverages, nullptr);
    layout.high = prices.high;
    layout.low = prices.low;
    layout.maxVolume = prices.maxVolume;
    const PriceScale scale = MakePriceScale(g, layout.high, layout.low);
    for (int c = 0; c < layout.range.columns; ++c) {
        const size_t t = layout.range.first + layout.range.ColumnStart(c);
        const data::Bar bar = series.BarAt(t);
        const int x = ColumnX(g, kSmallChartStep, c);
        CandleShape candle = MakeCandle(scale, bar, x, kSmallChartStep.width);
        candle.colour = bar.close >= bar.open ? palette[ui::ThemeRise] : palette[ui::ThemeFall];
        layout.candles.push_back(candle);
        layout.volumes.push_back({x, kSmallChartStep.width,
                                  g.chartBottom - VolumeHeight(g, bar.volume, layout.maxVolume),
                                  candle.colour});
    }

    // Caption in two lines over the chart: name and last date, then the close
    // and its change (a four-character name with its date fills a line).
    if (series.Count() == 0) return;
    const size_t last = series.Count() - 1;
    const data::Bar bar = series.BarAt(last);
    char date[16];
    std::snprintf(date, sizeof date, " %u", bar.date);
    layout.caption.push_back({rect.left, rect.top - kCaptionFirstLine, kCaptionFont, 0, kCaptionColour,
                              source.security.name + date});
    std::string close = Texts().closeMark + PriceText(bar.close);
    ui::Rgb colour = kLabelRed;
    if (last > 0 && series.Close(last - 1) != 0) {
        const double previous = series.Close(last - 1);
        const double change = (bar.close - previous) * 100.0 / previous;
        char text[32];
        std::snprintf(text, sizeof text, " %+.2f%%", change);
        close += text;
        if (change < 0) colour = kFallBlue;
    }
    layout.caption.push_back({rect.left, rect.top - kCaptionSecondLine, kCaptionFont, 0, colour, close});
}

void PaintSmallChart(ui::Canvas& canvas, const SmallChartLayout& layout) {
    const ui::ThemePalette& palette = ui::PaletteOf(ui::ThemeId::Regular);
    const Geometry& g = layout.geometry;
    const ChartRect& r = g.rect;
    canvas.FillRect(r.left, r.top, r.right + 1, r.bottom + 1, kSmallBackground);
    ui::DrawFrameLines(canvas, r.left, r.top, r.right, r.bottom, kFrameRed);
    canvas.DrawLine(g.plotLeft, g.priceBottom, r.right, g.priceBottom, kFrameRed);
    canvas.DrawLine(g.plotLeft, g.chartBottom, r.right, g.chartBottom, kFrameRed);
    for (int y : layout.priceGrid)
        canvas.DrawLine(g.plotLeft + 1, y, r.right - 1, y, palette[ui::ThemeGrid]);
    for (int y : layout.lowerGrid)
        canvas.DrawLine(g.plotLeft + 1, y, r.right - 1, y, palette[ui::ThemeGrid]);
    for (const CandleShape& candle : layout.candles) PaintCandle(canvas, candle);
    for (const VolumeBar& bar : layout.volumes) {
        const int left = bar.x - bar.width / 2;
        canvas.FillRect(left, bar.top, left + bar.width, g.chartBottom, bar.colour);
    }
    PaintTexts(canvas, layout.caption);
}

void PaintSmallChartPage(ui::Canvas& canvas, std::span<const uint32_t> codes,
                         const SmallChartLoader& load) {
    canvas.FillRect(2, 26, 1022, 379, kStripBeige);
    canvas.FillRect(318, 1, 672, 28, kStripBeige);
    ui::DrawBox(canvas, 28, 32, 999, 365, kPageFrame, kStripBeige);
    canvas.SetCharSpacing(0);
    canvas.DrawText(16, 422, 11, kTitleColour, Texts().smallChartsTitle);
    SmallChartLayout layout;
    for (size_t slot = 0; slot < codes.size() && slot < kSmallChartRects.size(); ++slot) {
        const std::optional<SmallChartSource> source = load ? load(codes[slot]) : std::nullopt;
        if (!source) continue;
        BuildSmallChart(layout, kSmallChartRects[slot], *source);
        PaintSmallChart(canvas, layout);
    }
}

std::optional<int> SmallChartAt(int x, int y) {
    for (int slot = 0; slot < kSmallChartCount; ++slot) {
        const ChartRect& r = kSmallChartRects[slot];
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) return slot;
    }
    return std::nullopt;
}

}  // namespace chart
