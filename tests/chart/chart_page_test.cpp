// The chart page's paint order, and that the cursor repaints only its overlay.
#include "chart/chart_page.h"

#include <gtest/gtest.h>

#include "ui/fonts.h"

#include "chart/small_charts.h"
#include "chart_fixture.h"
#include "data/period_bars.h"
#include "indicators/calculations.h"
#include "ui/recording_canvas.h"

namespace {

using charttest::ImageSeries;
using charttest::Utf8;
using ui::DrawKind;

// Position of the first call matching, or -1.
template <class Match>
int IndexOf(const ui::RecordingCanvas& canvas, Match match) {
    const auto& calls = canvas.Calls();
    for (size_t i = 0; i < calls.size(); ++i)
        if (match(calls[i])) return static_cast<int>(i);
    return -1;
}

int FillAt(const ui::RecordingCanvas& canvas, int left, int top, int right, int bottom) {
    return IndexOf(canvas, [&](const ui::DrawCall& c) {
        return c.kind == DrawKind::FillRect && c.left == left && c.top == top && c.right == right &&
               c.bottom == bottom;
    });
}

int TextIndex(const ui::RecordingCanvas& canvas, const std::string& utf8) {
    return IndexOf(
        canvas, [&](const ui::DrawCall& c) { return c.kind == DrawKind::Text && c.utf8 == utf8; });
}

TEST(ChartPage, PaintOrderAndTheCursorOverlay) {
    std::vector<data::Bar> bars = charttest::WalkBars(charttest::WanderingCloses(200));
    const ImageSeries image(600000, bars);
    const indicators::IndicatorState state;
    chart::ChartPage page;
    page.Model().Open({});
    page.SetSeries(image.View(), {600000, fixture::Gbk("浦发银行"), false, 0, 0},
                   data::AdjustMode::None, {});

    ui::RecordingCanvas canvas;
    EXPECT_TRUE(page.Paint(canvas, state, ui::ThemeId::ClassicBlack));
    // Background first; the strip after the lower panel's lines; the tab row,
    // then the price labels; the header; the newest bar's figures last.
    const int background = FillAt(canvas, 2, 28, 963, 379);
    const int strip = FillAt(canvas, 960, 2, 1023, 379);
    const int tabs = TextIndex(canvas, "MACD");
    const int firstLabel = IndexOf(canvas, [](const ui::DrawCall& c) {
        return c.kind == DrawKind::Text && c.fontCode == 13 && c.y() == 34;
    });
    const int header = TextIndex(canvas, "600000");
    const int newest = TextIndex(canvas, std::to_string(bars.back().date));
    EXPECT_EQ(background, 0);
    EXPECT_GT(strip, background);
    EXPECT_GT(tabs, strip);
    EXPECT_GT(firstLabel, tabs);
    EXPECT_GT(header, firstLabel);
    EXPECT_GT(newest, header);
    EXPECT_GE(TextIndex(canvas, "浦发银行(日K线)"), 0);
    EXPECT_GE(TextIndex(canvas, "量均线"), 0);
    EXPECT_GE(TextIndex(canvas, "VOL(5,10,30)"), 0);

    // Nothing pending: no rebuild, the figures are redrawn over cleared boxes.
    canvas.Clear();
    EXPECT_FALSE(page.Paint(canvas, state, ui::ThemeId::ClassicBlack));
    EXPECT_EQ(FillAt(canvas, 2, 28, 963, 379), -1);
    EXPECT_GE(TextIndex(canvas, std::to_string(bars.back().date)), 0);

    // The pointer in the plot: only the overlay is drawn.
    EXPECT_EQ(page.MouseMove(500, 200), chart::ChartRequest::CursorMoved);
    canvas.Clear();
    page.PaintCursor(canvas);
    EXPECT_EQ(FillAt(canvas, 2, 28, 963, 379), -1);
    EXPECT_EQ(canvas.Of(DrawKind::Line).size(), 2u);  // the crosshair
    EXPECT_EQ(page.LastCursorRects().front(), (chart::Box{500, 28, 501, 379}));
    const size_t bar = 110 + 43;  // first visible 110, column 43 at x = 500
    EXPECT_GE(TextIndex(canvas, std::to_string(bars[bar].date)), 0);

    // With a cursor the page leaves the figures to the overlay.
    canvas.Clear();
    page.Paint(canvas, state, ui::ThemeId::ClassicBlack);
    EXPECT_EQ(TextIndex(canvas, std::to_string(bars.back().date)), -1);

    // Navigation asks for a rebuild, which clears the old crosshair.
    EXPECT_TRUE(page.Navigate(chart::NavButton::ZoomIn));
    canvas.Clear();
    EXPECT_TRUE(page.Paint(canvas, state, ui::ThemeId::ClassicBlack));
    EXPECT_TRUE(page.LastCursorRects().empty());

    // Weekly bars: the header names the period.
    std::vector<uint32_t> region(7 * 100);
    const data::PeriodBuild weekly =
        data::BuildPeriodBars(image.View(), data::Period::Weekly, region);
    EXPECT_EQ(weekly.count, 40u);  // 200 weekdays
    page.Model().SetPeriod(data::Period::Weekly);
    page.SetSeries(data::PeriodView(region, weekly, data::Period::Weekly, false),
                   {600000, fixture::Gbk("浦发银行"), false, 0, 0}, data::AdjustMode::None, {});
    canvas.Clear();
    EXPECT_TRUE(page.Paint(canvas, state, ui::ThemeId::ClassicBlack));
    EXPECT_GE(TextIndex(canvas, "浦发银行(周K线)"), 0);
    EXPECT_EQ(page.Layout().candles.size(), 40u);

    // The tab row under the lower panel.
    EXPECT_EQ(page.TabCellAt(120, 372), 1);
    EXPECT_EQ(page.TabCellAt(63, 372), 0);
    EXPECT_EQ(page.TabCellAt(120, 300), std::nullopt);
}

TEST(ChartPage, KeptIndicatorValuesFollowTheSeriesAndTheParameters) {
    const ImageSeries first(600000, charttest::WalkBars(charttest::WanderingCloses(300, 1)));
    const ImageSeries second(600000, charttest::WalkBars(charttest::WanderingCloses(300, 2)));
    indicators::IndicatorState state;
    state.Select(indicators::kCr);
    chart::ChartPage page;
    page.Model().Open({});
    ui::RecordingCanvas canvas;
    auto expectDefinition = [&](const data::SeriesView& view) {
        const chart::ChartLayout& layout = page.Layout();
        for (size_t c = 0; c < layout.columnBar.size(); c += 17) {
            const indicators::LineValues v = indicators::ComputeAt(
                view, indicators::kCr, state.Params(indicators::kCr), layout.columnBar[c]);
            ASSERT_EQ(layout.lower.values[0][c], v.values[0]) << c;
            ASSERT_EQ(layout.lower.values[3][c], v.values[3]) << c;
        }
    };
    page.SetSeries(first.View(), {}, data::AdjustMode::None, {});
    page.Paint(canvas, state, ui::ThemeId::ClassicBlack);
    expectDefinition(first.View());
    // Another security: nothing of the first one's values is kept.
    page.SetSeries(second.View(), {}, data::AdjustMode::None, {});
    page.Paint(canvas, state, ui::ThemeId::ClassicBlack);
    expectDefinition(second.View());
    // New parameters from the settings page.
    const int32_t values[4] = {30, 4, 8, 16};
    ASSERT_EQ(state.SetValues(indicators::kCr, values), indicators::SetValuesResult::Applied);
    page.Model().RequestFullRedraw();
    page.Paint(canvas, state, ui::ThemeId::ClassicBlack);
    expectDefinition(second.View());
    EXPECT_EQ(page.Layout().lower.title[1].text, "CR(30,4,8,16)");
}

TEST(ChartPage, NoSeriesPaintsNothing) {
    chart::ChartPage page;
    const indicators::IndicatorState state;
    ui::RecordingCanvas canvas;
    EXPECT_FALSE(page.Paint(canvas, state, ui::ThemeId::ClassicBlack));
    page.PaintCursor(canvas);
    EXPECT_TRUE(canvas.Calls().empty());
    EXPECT_EQ(page.HandleKey(chart::ChartKey::Left), chart::ChartRequest::NotConsumed);
    EXPECT_FALSE(page.Navigate(chart::NavButton::First));

    // An empty series draws frame, grid and labels, and no figures.
    const ImageSeries empty(600000, {});
    page.SetSeries(empty.View(), {}, data::AdjustMode::None, {});
    EXPECT_TRUE(page.Paint(canvas, state, ui::ThemeId::ClassicBlack));
    EXPECT_TRUE(page.Layout().candles.empty());
    EXPECT_EQ(page.Layout().priceLabels.size(), 5u);
    EXPECT_EQ(page.Layout().priceLabels[0].text, "0.00");
    EXPECT_EQ(TextIndex(canvas, "0.00%"), -1);
}

TEST(SmallCharts, PageSlotsAndCaption) {
    EXPECT_EQ(chart::SmallChartAt(64, 64), 0);
    EXPECT_EQ(chart::SmallChartAt(245, 174), 0);
    EXPECT_EQ(chart::SmallChartAt(246, 100), std::nullopt);
    EXPECT_EQ(chart::SmallChartAt(301, 220), 5);
    EXPECT_EQ(chart::SmallChartAt(958, 330), 7);
    EXPECT_EQ(chart::SmallChartAt(500, 200), std::nullopt);

    std::vector<uint32_t> closes = charttest::WanderingCloses(50);
    closes[48] = 1000;
    closes[49] = 990;
    const ImageSeries image(600000, charttest::WalkBars(closes));
    chart::SmallChartLayout layout;
    chart::BuildSmallChart(layout, chart::kSmallChartRects[0],
                           {image.View(), {600000, fixture::Gbk("浦发银行"), false, 0, 0}});
    // 45 bars at pitch 4 from the rectangle's left edge (no label margin).
    EXPECT_EQ(layout.range.visible, 45u);
    EXPECT_EQ(layout.candles.size(), 45u);
    EXPECT_EQ(layout.candles.front().x, 66);  // 64 + 1 + 1
    EXPECT_EQ(layout.candles.back().x, 242);
    EXPECT_EQ(layout.geometry.priceBottom, 144);
    ASSERT_EQ(layout.caption.size(), 2u);
    EXPECT_EQ(Utf8(layout.caption[0].text), "浦发银行 20170310");  // the 50th weekday
    EXPECT_EQ(Utf8(layout.caption[1].text), "收9.90 -1.00%");
    EXPECT_EQ(layout.caption[1].colour, (ui::Rgb{0, 0, 255}));
    // The two lines never run into each other, and stay inside the framed
    // area above the first row (from y = 32).
    const auto& first = layout.caption[0];
    const auto& second = layout.caption[1];
    EXPECT_GE(second.y - first.y, 12);
    EXPECT_GE(first.y, 32);
    EXPECT_LE(first.x + ui::TextWidth(first.font, first.text), chart::kSmallChartRects[0].right);

    // Slots past the list, and codes that do not load, stay empty.
    ui::RecordingCanvas canvas;
    const std::vector<uint32_t> codes = {600000, 600001, 600000};
    chart::PaintSmallChartPage(
        canvas, codes, [&](uint32_t code) -> std::optional<chart::SmallChartSource> {
            if (code != 600000) return std::nullopt;
            return chart::SmallChartSource{image.View(), {code, "", false, 0, 0}};
        });
    EXPECT_GE(FillAt(canvas, 64, 64, 246, 175), 0);
    EXPECT_EQ(FillAt(canvas, 301, 64, 483, 175), -1);
    EXPECT_GE(FillAt(canvas, 540, 64, 722, 175), 0);
    EXPECT_EQ(FillAt(canvas, 777, 64, 959, 175), -1);
    EXPECT_EQ(FillAt(canvas, 64, 220, 246, 331), -1);
    const std::optional<ui::DrawCall> title = canvas.FindText("小K线图(点击可打开大图)");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->x(), 422);
    EXPECT_EQ(title->y(), 11);
    // The "常规" colours on white whatever the theme.
    bool regularCandle = false;
    for (const ui::DrawCall& call : canvas.Calls())
        if (call.colour == ui::Rgb{210, 0, 0} || call.colour == ui::Rgb{0, 0, 210})
            regularCandle = true;
    EXPECT_TRUE(regularCandle);
}

}  // namespace
