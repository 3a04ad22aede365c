// What the chart page draws, worked out in plain structs before anything is
// painted: columns and their bars, candle and volume pixels, the MA lines, the
// lower panel with its scale, grid, labels, title and legend, the header, the
// strip right of the chart and the indicator tab row. BuildChartLayout fills
// a layout from the prepared series, the chart state and the indicator
// settings; paint.h draws it.
#pragma once

#include <array>
#include <optional>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "chart/chart_model.h"
#include "chart/geometry.h"
#include "chart/indicator_cache.h"
#include "chart/labels.h"
#include "chart/prepared_series.h"
#include "chart/view_range.h"
#include "data/bars.h"
#include "data/ex_rights.h"
#include "indicators/catalogue.h"
#include "indicators/indicator_state.h"
#include "ui/canvas.h"
#include "ui/theme.h"

namespace chart {

// A line has no point in a column where its value is missing.
inline constexpr int kNoPoint = INT_MIN;

inline constexpr ui::Rgb kFrameRed{255, 0, 0};
inline constexpr ui::Rgb kLabelRed{255, 0, 0};
inline constexpr ui::Rgb kStripBeige{236, 233, 216};

// The security on screen, as the header and the data table name it.
struct SecurityInfo {
    uint32_t code = 0;
    std::string name;  // GBK
    bool isIndex = false;
    uint32_t totalShares = 0;  // 10,000 shares
    uint32_t floatShares = 0;
};

// The indicator line colours go with the theme's background.
inline indicators::Backdrop BackdropOf(ui::ThemeId theme) {
    return theme == ui::ThemeId::Regular ? indicators::Backdrop::Light : indicators::Backdrop::Dark;
}

// Everything a layout is built from besides the bars.
struct ChartSettings {
    const indicators::IndicatorState* indicators = nullptr;
    ui::ThemeId theme = ui::ThemeId::ClassicBlack;
    data::AdjustMode adjustMode = data::AdjustMode::None;
    SecurityInfo security;
};

struct CandleShape {
    int x = 0;        // column centre
    int width = 1;    // w
    int bodyTop = 0;  // the body covers rows bodyTop .. bodyBottom - 1
    int bodyBottom = 0;
    int upper = 0;  // shadow lengths above bodyTop and from bodyBottom down
    int lower = 0;
    ui::Rgb colour;
};

struct VolumeBar {
    int x = 0;
    int width = 1;
    int top = 0;  // rows top .. chart bottom line - 1
    ui::Rgb colour;
};

struct Marker {
    int x = 0;  // apex of an upward triangle
    int y = 0;
    int size = 0;
    ui::Rgb colour;
};

// One line over the columns: y per column or kNoPoint. A segment joins two
// neighbouring columns that both have a point.
struct LinePath {
    bool drawn = false;
    ui::Rgb colour;
    std::vector<int> ys;
};

struct HistogramBar {
    int x = 0;
    int from = 0;  // y of the zero level
    int to = 0;    // y of the value
    ui::Rgb colour;
};

using ScaleKind = indicators::ScaleKind;

// The lower panel's scale, kept for its labels and the cursor readout.
struct PanelScale {
    ScaleKind kind = ScaleKind::None;
    double high = 0;
    double low = 0;
    int format = 2;  // 0 "%.0f", 1 "%.1f", 2 "%.2f"
};

// A legend entry: where its label went and where its value goes.
struct LegendSlot {
    int valueX = 0;
    int y = 0;
    ui::Rgb colour;
    bool shown = false;  // a line with length 0 has no value
};

struct LowerPanelLayout {
    int indicator = 0;  // 1..17; 0 draws nothing
    PanelScale scale;
    int lineCount = 0;
    // Each line's value per column; NaN where it has none.
    std::array<std::vector<double>, indicators::kMaxLines> values;
    std::array<LinePath, indicators::kMaxLines> lines;
    std::vector<HistogramBar> histogram;  // a histogram line's bars (MACD)
    std::vector<CandleShape> candles;     // the bars, when the panel shows them (BOLL)
    std::vector<int> gridLines;
    std::vector<TextItem> axisLabels;
    std::vector<TextItem> title;  // the Chinese and the Latin part
    std::vector<TextItem> legendLabels;
    std::array<LegendSlot, indicators::kMaxLines> legend;
};

struct HeaderLayout {
    bool shown = false;
    TextItem code;
    std::vector<TextItem> name;  // the name and the period text
};

struct TabRowLayout {
    int top = 0;  // the band a click in the row hits, rows top .. bottom - 1
    int bottom = 0;
    int left = 0;
    int right = 0;
    int selected = 0;
    std::vector<TextItem> names;
};

struct ResultMark {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0;

    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const ResultMark&) const = default;
};

struct ChartLayout {
    Geometry geometry;
    ViewRange range;
    ui::ThemeId theme = ui::ThemeId::ClassicBlack;
    ui::ThemePalette palette{};
    int zoom = kDefaultZoom;
    data::Period period = data::Period::Daily;
    bool isIndex = false;
    int selected = 0;  // the lower panel's indicator

    // The view's price range: highest high, lowest non-zero low, highest volume.
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t maxVolume = 0;
    PriceScale scale;

    // Per column: its x and the position of the bar drawn there.
    std::vector<int> columnX;
    std::vector<size_t> columnBar;

    std::vector<CandleShape> candles;
    std::vector<VolumeBar> volumes;  // only with VOL selected
    std::vector<Marker> markers;
    // The frame around the bars a scan result picked, while the chart shows
    // one (a click inside it takes it away).
    std::optional<ResultMark> resultMark;
    std::array<LinePath, 5> ma;

    std::array<int, 5> priceGrid{};
    std::vector<TextItem> priceLabels;
    std::vector<TextItem> maLegendLabels;
    std::array<LegendSlot, indicators::kMaxLines> maLegend;

    LowerPanelLayout lower;
    HeaderLayout header;
    std::vector<TextItem> tableLabels;  // the strip right of the chart
    TabRowLayout tabs;
};

// Fills `layout` (its vectors keep their storage from one build to the next).
// The cache keeps indicator values for the next build of the same series.
void BuildChartLayout(ChartLayout& layout, const PreparedSeries& series, const ChartModel& model,
                      const ChartSettings& settings, IndicatorCache& cache);
void BuildChartLayout(ChartLayout& layout, const PreparedSeries& series, const ChartModel& model,
                      const ChartSettings& settings);

// Parts, also used by the small charts and the tests.
struct PriceRange {
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t maxVolume = 0;
};
// Over the visible bars, widened by the MA lines (and the VOL averages when
// VOL is selected) of the first visible bars.
PriceRange FindPriceRange(const PreparedSeries& series, const ViewRange& range,
                          const indicators::IndicatorParams& ma,
                          const indicators::IndicatorParams* vol);

CandleShape MakeCandle(const PriceScale& scale, const data::Bar& bar, int x, int width);
// Height of a volume bar standing on the chart bottom line.
int VolumeHeight(const Geometry& geometry, uint32_t volume, uint32_t maxVolume);

// A legend row: each shown line's label in its colour where the definition
// puts it, and the slot its value goes to, from firstValueX in steps of 137.
// Positions were laid out for the chart at x = 2; `shift` moves them along.
void BuildLegendRow(const indicators::IndicatorDef& def, const indicators::IndicatorParams& params,
                    int y, int firstValueX, int shift, std::vector<TextItem>& labels,
                    std::array<LegendSlot, indicators::kMaxLines>& slots);

// The lower panel of the selected indicator.
void BuildLowerPanel(LowerPanelLayout& panel, const PreparedSeries& series,
                     const ChartLayout& chart, const indicators::IndicatorParams& params,
                     IndicatorCache& cache);

// The lower panel's plot mapping of a value by its scale.
int PanelY(const Geometry& geometry, const PanelScale& scale, double value);

}  // namespace chart
