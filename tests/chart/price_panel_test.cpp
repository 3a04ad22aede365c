// The price panel: range, candles, volume bars, labels, MA lines and
// ex-rights markers, as layout values and as drawn on a recording canvas.
#include <gtest/gtest.h>

#include <algorithm>

#include "chart/chart_layout.h"
#include "chart/paint.h"
#include "chart_fixture.h"
#include "ui/recording_canvas.h"

namespace {

using charttest::ImageSeries;
using ui::DrawKind;

constexpr ui::Rgb kRise{179, 101, 99};
constexpr ui::Rgb kFall{92, 249, 254};

struct Built {
    chart::PreparedSeries series;
    chart::ChartLayout layout;
};

void Build(Built& built, const data::SeriesView& view, const chart::ChartModel& model,
           const indicators::IndicatorState& state, chart::ChartSettings settings = {},
           chart::EventSource events = {}) {
    built.series.Prepare(view, events);
    settings.indicators = &state;
    chart::BuildChartLayout(built.layout, built.series, model, settings);
}

bool HasCall(const ui::RecordingCanvas& canvas, DrawKind kind, int l, int t, int r, int b,
             ui::Rgb colour) {
    for (const ui::DrawCall& call : canvas.Calls())
        if (call.kind == kind && call.left == l && call.top == t && call.right == r &&
            call.bottom == b && call.colour == colour)
            return true;
    return false;
}

std::vector<data::Bar> ThreeBars() {
    const std::vector<uint32_t> dates = fixture::Weekdays(20170102, 3);
    return {
        {dates[0], 1000, 1100, 900, 1050, 0, 100},   // rising
        {dates[1], 1050, 1200, 1000, 1000, 0, 200},  // falling
        {dates[2], 1100, 1150, 1050, 1100, 0, 0},    // doji, no volume
    };
}

TEST(PricePanel, CandlesVolumeBarsAndLabels) {
    const ImageSeries image(600000, ThreeBars());
    chart::ChartModel model;
    model.Open({});
    indicators::IndicatorState state;  // VOL selected, MA 5/10/20/30/60
    Built built;
    Build(built, image.View(), model, state);
    const chart::ChartLayout& l = built.layout;

    // Range 900..1200: S(x) = 234x / 300; the three-bar MA (1050) stays inside.
    EXPECT_EQ(l.high, 1200u);
    EXPECT_EQ(l.low, 900u);
    EXPECT_EQ(l.maxVolume, 200u);
    ASSERT_EQ(l.candles.size(), 3u);
    EXPECT_EQ(l.columnX, (std::vector<int>{66, 76, 86}));

    const chart::CandleShape& up = l.candles[0];
    EXPECT_EQ(up.bodyBottom, 197);  // 275 - S(100)
    EXPECT_EQ(up.bodyTop, 158);     // body S(50) = 39
    EXPECT_EQ(up.upper, 39);
    EXPECT_EQ(up.lower, 78);
    EXPECT_EQ(up.colour, kRise);
    const chart::CandleShape& down = l.candles[1];
    EXPECT_EQ(down.bodyTop, 158);
    EXPECT_EQ(down.upper, 117);
    EXPECT_EQ(down.lower, 0);  // open or close at the low
    EXPECT_EQ(down.colour, kFall);
    const chart::CandleShape& doji = l.candles[2];
    EXPECT_EQ(doji.bodyTop, 119);
    EXPECT_EQ(doji.bodyBottom, 119);
    EXPECT_EQ(doji.colour, kRise);  // close >= open

    // Volume bars stand on the chart bottom line: 67 * v / 200, at least 1.
    ASSERT_EQ(l.volumes.size(), 3u);
    EXPECT_EQ(l.volumes[0].top, 368 - 33);
    EXPECT_EQ(l.volumes[1].top, 368 - 67);
    EXPECT_EQ(l.volumes[2].top, 368 - 1);

    ui::RecordingCanvas canvas;
    chart::PaintChart(canvas, l);
    EXPECT_TRUE(HasCall(canvas, DrawKind::FillRect, 63, 158, 69, 197, kRise));
    EXPECT_TRUE(HasCall(canvas, DrawKind::Line, 66, 197, 66, 275, kRise));  // lower shadow
    EXPECT_TRUE(HasCall(canvas, DrawKind::Line, 66, 158, 66, 119, kRise));  // upper shadow
    EXPECT_TRUE(HasCall(canvas, DrawKind::FillRect, 73, 158, 79, 197, kFall));
    EXPECT_TRUE(HasCall(canvas, DrawKind::FillRect, 83, 119, 89, 120, kRise));  // doji: 1 pixel
    EXPECT_TRUE(HasCall(canvas, DrawKind::FillRect, 63, 335, 69, 368, kRise));
    EXPECT_TRUE(HasCall(canvas, DrawKind::FillRect, 73, 301, 79, 368, kFall));

    // Labels at the five grid lines: high, high - q, - 2q, - 3q, low (q = 75).
    std::vector<std::string> texts;
    for (const chart::TextItem& label : l.priceLabels) texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"12.00", "11.25", "10.50", "9.75", "9.00"}));
    EXPECT_EQ(l.priceLabels[0].x, 25);
    EXPECT_EQ(l.priceLabels[0].y, 34);
    EXPECT_EQ(l.priceLabels[3].x, 32);
    EXPECT_EQ(l.priceLabels[4].y, 268);
    const std::optional<ui::DrawCall> label = canvas.FindText("10.50");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->y(), 150);
    EXPECT_EQ(label->colour, (ui::Rgb{255, 0, 0}));
    EXPECT_EQ(label->charSpacing, -1);
    EXPECT_EQ(label->fontCode, 13);
}

TEST(PricePanel, WidthOneCandlesAndLongLabels) {
    const std::vector<uint32_t> dates = fixture::Weekdays(20170102, 2);
    // A flat bar keeps one pixel at width 1; the second bar gives the range.
    const ImageSeries image(999999, {{dates[0], 100000, 100000, 100000, 100000, 0, 0},
                                     {dates[1], 1234567, 1300000, 90000, 1200000, 0, 0}});
    chart::ChartModel model;
    model.Open({});
    indicators::IndicatorState state;
    Built built;
    Build(built, image.View(), model, state);

    // Width 1, through MakeCandle itself.
    const chart::Geometry g =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    const chart::PriceScale scale = chart::MakePriceScale(g, 1100, 900);
    chart::CandleShape flat =
        chart::MakeCandle(scale, {dates[0], 1000, 1000, 1000, 1000, 0, 0}, 63, 1);
    flat.colour = kRise;
    EXPECT_EQ(flat.bodyTop, 158);
    EXPECT_EQ(flat.upper + flat.lower, 0);
    ui::RecordingCanvas canvas;
    chart::PaintCandle(canvas, flat);
    ASSERT_EQ(canvas.Calls().size(), 1u);
    EXPECT_TRUE(HasCall(canvas, DrawKind::Line, 63, 158, 63, 159, kRise));

    // An index above 12,345: "13000.00" still fits, 9-character labels do not.
    EXPECT_EQ(built.layout.high, 1300000u);
    EXPECT_EQ(built.layout.priceLabels[0].text, "13000.00");
    EXPECT_EQ(built.layout.priceLabels[0].x, 4);
    const ImageSeries huge(999999, {{dates[0], 12345678, 12345678, 12345678, 12345678, 0, 0}});
    Build(built, huge.View(), model, state);
    EXPECT_EQ(built.layout.priceLabels[0].text, "123456.8");
    EXPECT_EQ(built.layout.priceLabels[0].x, 4);  // starts at left + 2
}

TEST(PricePanel, VolumeHeightSwitchesToFloatingPointForHugeVolumes) {
    const chart::Geometry g =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    EXPECT_EQ(chart::VolumeHeight(g, 0, 100), 1);
    EXPECT_EQ(chart::VolumeHeight(g, 100, 0), 1);
    EXPECT_EQ(chart::VolumeHeight(g, 50, 100), 33);
    EXPECT_EQ(chart::VolumeHeight(g, 64'000'000, 64'000'000), 67);
    // 67 * 4e9 would overflow 32 bits; the result is still exact.
    EXPECT_EQ(chart::VolumeHeight(g, 4'000'000'000u, 4'000'000'000u), 67);
    EXPECT_EQ(chart::VolumeHeight(g, 2'000'000'000u, 4'000'000'000u), 33);
    // The enlarged lower panel: 368 - 208 - 9 - 4 = 147.
    const chart::Geometry e =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Enlarged);
    EXPECT_EQ(chart::VolumeHeight(e, 10, 10), 147);
}

TEST(PricePanel, MaLinesAndTheirDetailRule) {
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(400)));
    indicators::IndicatorState state;
    chart::ChartModel model;
    model.Open({});
    Built built;
    Build(built, image.View(), model, state);
    const chart::ChartLayout& l = built.layout;
    const chart::PreparedSeries& s = built.series;

    // Each column's point: y = top + d + S(high - MA), the MA clamped into the range.
    for (int k = 0; k < 5; ++k) {
        ASSERT_TRUE(l.ma[k].drawn);
        const int n = state.Params(indicators::kMa).values[k];
        for (size_t c = 0; c < l.columnBar.size(); ++c) {
            const uint32_t v = data::AverageClose(image.View(), 8 + l.columnBar[c] * 5, n);
            ASSERT_NE(v, 0u);
            const uint32_t clamped = std::clamp(v, l.low, l.high);
            ASSERT_EQ(l.ma[k].ys[c], 41 + l.scale.Scale(int64_t{l.high} - clamped));
        }
    }
    EXPECT_EQ(s.CloseAverage(310, 60), data::AverageClose(image.View(), 8 + 310 * 5, 60));

    // Not enough bars for MA60 in the first columns: no point, no segment into it.
    model.Navigate(chart::NavButton::First, image.View());
    Build(built, image.View(), model, state);
    EXPECT_EQ(built.layout.ma[4].ys[0], chart::kNoPoint);
    EXPECT_EQ(built.layout.ma[4].ys[58], chart::kNoPoint);
    EXPECT_NE(built.layout.ma[4].ys[59], chart::kNoPoint);
    ui::RecordingCanvas canvas;
    chart::PaintLine(canvas, built.layout.ma[4], built.layout.columnX);
    EXPECT_EQ(canvas.Calls().size(), 90u - 60u);
    EXPECT_EQ(canvas.Calls()[0].left, built.layout.columnX[59]);

    // Above level 9 an adjusted stock chart leaves out lines 3..5; an index keeps them.
    const ImageSeries many(600000, charttest::WalkBars(charttest::WanderingCloses(2000)));
    model.Open({});
    for (int i = 0; i < 6; ++i) model.Navigate(chart::NavButton::ZoomOut, many.View());
    ASSERT_EQ(model.Zoom(), 10);
    chart::ChartSettings adjusted;
    adjusted.adjustMode = data::AdjustMode::Forward;
    Build(built, many.View(), model, state, adjusted);
    EXPECT_TRUE(built.layout.ma[1].drawn);
    EXPECT_FALSE(built.layout.ma[2].drawn);
    EXPECT_FALSE(built.layout.ma[4].drawn);
    adjusted.security.isIndex = true;
    Build(built, many.View(), model, state, adjusted);
    EXPECT_TRUE(built.layout.ma[4].drawn);
    model.Navigate(chart::NavButton::ZoomIn, many.View());
    adjusted.security.isIndex = false;
    Build(built, many.View(), model, state, adjusted);
    EXPECT_TRUE(built.layout.ma[4].drawn);  // level 9 keeps them
}

TEST(PricePanel, ExRightsMarkers) {
    // Ten weekdays from Monday 2017-01-02 to Friday 2017-01-13.
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(10)));
    const charttest::EventTable events({{600000,
                                         {{20161201, 3, 0, 0, 0},      // before the first bar
                                          {20170104, 10, 0, 0, 0},     // Wednesday, bar 2
                                          {20170108, 0, 1.5f, 0, 0},   // Sunday: Monday's bar 5
                                          {20170120, 0, 2, 0, 0}}}});  // after the last bar
    const chart::EventSource source{&events.Table(), events.Entry(600000)};
    chart::ChartModel model;
    model.Open({});
    indicators::IndicatorState state;
    Built built;
    chart::ChartSettings settings;

    Build(built, image.View(), model, state, settings, source);
    ASSERT_EQ(built.layout.markers.size(), 2u);
    EXPECT_EQ(built.layout.markers[0].x, 86);   // column 2
    EXPECT_EQ(built.layout.markers[0].y, 281);  // 7 above the price-panel bottom
    EXPECT_EQ(built.layout.markers[0].size, 4);
    EXPECT_EQ(built.layout.markers[0].colour, ui::kWhite);
    EXPECT_EQ(built.layout.markers[1].x, 116);  // column 5

    settings.adjustMode = data::AdjustMode::Forward;
    Build(built, image.View(events.Adjuster(600000, data::AdjustMode::Forward)), model, state,
          settings, source);
    ASSERT_EQ(built.layout.markers.size(), 2u);
    EXPECT_EQ(built.layout.markers[0].x, 83);
    EXPECT_EQ(built.layout.markers[0].size, 5);
    EXPECT_EQ(built.layout.markers[0].colour, (ui::Rgb{255, 0, 0}));
    settings.adjustMode = data::AdjustMode::Backward;
    Build(built, image.View(), model, state, settings, source);
    EXPECT_EQ(built.layout.markers[1].x, 119);

    // Drawn as upward triangles: the apex line and the widest line.
    ui::RecordingCanvas canvas;
    chart::PaintChart(canvas, built.layout);
    EXPECT_TRUE(HasCall(canvas, DrawKind::Line, 89, 281, 90, 281, (ui::Rgb{255, 0, 0})));
    EXPECT_TRUE(HasCall(canvas, DrawKind::Line, 85, 285, 94, 285, (ui::Rgb{255, 0, 0})));

    // Fifteen bars at level 0 show bars 5..14: Monday's bar 5 is the first
    // visible bar, and its previous bar (Friday, off screen) is before the
    // Sunday event, so the first column is marked; Wednesday's is not shown
    // and the Friday 20th now has a bar of its own (column 9).
    const ImageSeries longer(600000, charttest::WalkBars(charttest::WanderingCloses(15)));
    model.Open({});
    for (int i = 0; i < 4; ++i) model.Navigate(chart::NavButton::ZoomIn, longer.View());
    ASSERT_EQ(model.Resolve(longer.View()).first, 5u);
    settings.adjustMode = data::AdjustMode::None;
    Build(built, longer.View(), model, state, settings, source);
    ASSERT_EQ(built.layout.markers.size(), 2u);
    EXPECT_EQ(built.layout.markers[0].x, 96);
    EXPECT_EQ(built.layout.markers[1].x, 906);
}

}  // namespace
