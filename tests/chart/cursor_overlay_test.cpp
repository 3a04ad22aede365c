// The data table, the legend values and the crosshair readouts.
#include "chart/cursor_overlay.h"

#include <gtest/gtest.h>

#include "chart/paint.h"
#include "chart_fixture.h"
#include "ui/recording_canvas.h"

namespace {

using charttest::ImageSeries;
using charttest::Utf8;

struct Built {
    chart::PreparedSeries series;
    chart::ChartLayout layout;
    chart::ChartSettings settings;
};

void Build(Built& built, const data::SeriesView& view, const chart::ChartModel& model,
           const indicators::IndicatorState& state, chart::SecurityInfo security = {},
           chart::EventSource events = {}) {
    built.series.Prepare(view, events);
    built.settings.indicators = &state;
    built.settings.security = security;
    chart::BuildChartLayout(built.layout, built.series, model, built.settings);
}

chart::ChartModel Opened() {
    chart::ChartModel model;
    model.Open({});
    return model;
}

std::vector<std::pair<std::string, int>> Values(const chart::BarReadout& readout) {
    std::vector<std::pair<std::string, int>> out;
    for (const chart::TextItem& text : readout.tableValues)
        out.emplace_back(Utf8(text.text), text.y);
    return out;
}

TEST(DataTable, StockFigures) {
    const ImageSeries image(600000, {{20170103, 1000, 1010, 990, 1000, 5000, 100},
                                     {20170104, 1010, 1100, 990, 1050, 12345, 67890},
                                     {20170105, 1050, 1060, 1000, 1050, 300, 50},
                                     {20170106, 1040, 1045, 1000, 1010, 300, 50}});
    const indicators::IndicatorState state;
    const chart::SecurityInfo security{600000, fixture::Gbk("浦发银行"), false, 150000, 20000};
    Built built;
    Build(built, image.View(), Opened(), state, security);

    chart::BarReadout readout;
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 1);
    using Rows = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Values(readout), (Rows{{"20170104", 15},
                                     {"10.10", 48},
                                     {"11.00", 81},
                                     {"9.90", 114},
                                     {"10.50", 147},
                                     {"67890", 180},
                                     {"12345", 213},
                                     {"+5.00%", 246},
                                     {"3.39%", 279},  // 67890 lots / 20000 (10,000 shares)
                                     {"股本(亿)", 298},
                                     {"15.00", 312},
                                     {"流通(亿)", 331},
                                     {"2.00", 345}}));
    // Right-aligned in the strip: eight characters 6 pixels apart, the last
    // 7-pixel cell ending on the canvas' last column (1022).
    EXPECT_EQ(readout.tableValues[0].x, 974);
    EXPECT_EQ(readout.tableValues[0].colour, (ui::Rgb{255, 0, 0}));
    EXPECT_EQ(readout.tableBoxes[0], (chart::Box{963, 14, 1023, 31}));

    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 0);
    EXPECT_EQ(Utf8(readout.tableValues[7].text), "0.00%");  // the first loaded bar
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 2);
    EXPECT_EQ(Utf8(readout.tableValues[7].text), "+0.00%");  // unchanged close
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 3);
    EXPECT_EQ(Utf8(readout.tableValues[7].text), "-3.81%");  // 40 * 100 / 1050
    EXPECT_EQ(readout.tableValues[7].colour, (ui::Rgb{0, 0, 255}));

    // Small share counts stay in 10,000 shares.
    const chart::SecurityInfo small{600000, "", false, 9000, 10000};
    Build(built, image.View(), Opened(), state, small);
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 1);
    EXPECT_EQ(Utf8(readout.tableValues[9].text), "股本(万)");
    EXPECT_EQ(Utf8(readout.tableValues[10].text), "9000");
    EXPECT_EQ(Utf8(readout.tableValues[12].text), "10000");

    // Without float shares: no turnover and no share rows, and no 换手率 label.
    const chart::SecurityInfo unknown{600000, "", false, 0, 0};
    Build(built, image.View(), Opened(), state, unknown);
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 1);
    EXPECT_EQ(readout.tableValues.size(), 8u);
    EXPECT_EQ(built.layout.tableLabels.size(), 8u + 1u);  // eight labels and 输入股票
}

TEST(DataTable, IndexFigures) {
    const ImageSeries image(999999,
                            {{20170103, 310000, 312000, 309000, 311000, 123456789, 25004999},
                             {20170104, 311000, 315000, 310000, 314000, 99995000, 100}});
    const indicators::IndicatorState state;
    Built built;
    Build(built, image.View(), Opened(), state, {999999, "", true, 0, 0});
    chart::BarReadout readout;
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 0);
    ASSERT_EQ(readout.tableValues.size(), 8u);
    EXPECT_EQ(Utf8(readout.tableValues[1].text), "3100.00");
    EXPECT_EQ(Utf8(readout.tableValues[5].text), "2500万");   // 25,004,999 lots, half up
    EXPECT_EQ(Utf8(readout.tableValues[6].text), "12346亿");  // 123,456,789 / 10,000, half up
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 1);
    EXPECT_EQ(Utf8(readout.tableValues[6].text), "10000亿");
    EXPECT_EQ(Utf8(readout.tableValues[5].text), "0万");
    EXPECT_EQ(Utf8(readout.tableValues[7].text), "+0.96%");  // 3000 * 100 / 311000
}

TEST(LegendValues, BothRowsForOneBar) {
    const std::vector<uint32_t> closes = {1000, 1000, 1010, 1020, 1030, 1040};
    const ImageSeries image(600000, fixture::FlatBars(20170102, closes, 500));
    indicators::IndicatorState state;
    Built built;
    Build(built, image.View(), Opened(), state);
    chart::BarReadout readout;
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 5);
    // MA5 of 1000..1040 is 1020; the longer averages lack bars and read 0.
    ASSERT_GE(readout.legendValues.size(), 5u);
    EXPECT_EQ(readout.legendValues[0].text, "10.20");
    EXPECT_EQ(readout.legendValues[0].x, 240);  // 225 + 15
    EXPECT_EQ(readout.legendValues[0].y, 29);
    EXPECT_EQ(readout.legendValues[0].colour, ui::kWhite);
    EXPECT_EQ(readout.legendValues[1].text, "0.00");
    EXPECT_EQ(readout.legendValues[1].x, 377);
    EXPECT_EQ(readout.legendBoxes[0], (chart::Box{240, 29, 296, 42}));
    // VOL: integer averages at 265, 402, 539 on the lower row.
    ASSERT_EQ(readout.legendValues.size(), 8u);
    EXPECT_EQ(readout.legendValues[5].text, "500");
    EXPECT_EQ(readout.legendValues[5].x, 265);
    EXPECT_EQ(readout.legendValues[5].y, 289);

    // RSI of a bar whose moves are all up: 100; a value the bar lacks is not written.
    state.Select(indicators::kRsi);
    Build(built, image.View(), Opened(), state);
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 5);
    ASSERT_EQ(readout.legendValues.size(), 8u);
    EXPECT_EQ(readout.legendValues[5].text, "100.00");
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 1);
    EXPECT_EQ(readout.legendValues.size(), 5u);  // no move yet: B = 0, no RSI

    // Update mode clears each value's box with the background first.
    ui::RecordingCanvas canvas;
    chart::BuildBarReadout(readout, built.series, built.layout, built.settings, 5);
    chart::PaintBarReadout(canvas, readout, built.layout, chart::ReadoutMode::Update);
    bool cleared = false;
    for (const ui::DrawCall& call : canvas.Of(ui::DrawKind::FillRect))
        if (call.left == 240 && call.top == 29 && call.right == 296 && call.colour == ui::kBlack)
            cleared = true;
    EXPECT_TRUE(cleared);
    canvas.Clear();
    chart::PaintBarReadout(canvas, readout, built.layout, chart::ReadoutMode::FullRedraw);
    for (const ui::DrawCall& call : canvas.Of(ui::DrawKind::FillRect))
        EXPECT_NE(call.colour, ui::kBlack);
}

std::vector<data::Bar> ThreeBars() {
    return {{20170102, 1000, 1100, 900, 1050, 0, 100},
            {20170103, 1050, 1200, 1000, 1000, 0, 200},
            {20170104, 1100, 1150, 1050, 1100, 0, 0}};
}

TEST(Crosshair, ReadoutsAtTheCursorHeight) {
    const ImageSeries image(600000, ThreeBars());
    indicators::IndicatorState state;  // VOL
    Built built;
    chart::ChartModel model = Opened();
    Build(built, image.View(), model, state);
    chart::CrosshairLayout crosshair;
    auto readoutAt = [&](int y) {
        model.MouseMove(76, y, image.View());
        chart::BuildCrosshair(crosshair, built.series, built.layout, model, built.settings);
        return crosshair.hasReadout ? crosshair.readout.text : std::string("-");
    };
    // Price panel, high 1200 and low 900 over 234 pixels from y = 41.
    EXPECT_EQ(readoutAt(41), "12.00");
    EXPECT_EQ(crosshair.readout.y, 30);  // not above top + 2
    EXPECT_EQ(readoutAt(35), "12.00");   // within d of the top
    EXPECT_EQ(readoutAt(158), "10.50");
    EXPECT_EQ(crosshair.readout.y, 146);
    EXPECT_EQ(crosshair.readout.x, 25);
    EXPECT_EQ(crosshair.readoutBox, (chart::Box{24, 146, 61, 160}));
    EXPECT_EQ(crosshair.readout.colour, ui::kWhite);
    EXPECT_EQ(readoutAt(275), "9.00");
    EXPECT_EQ(readoutAt(287), "8.85");  // 1200 - 300 * 246 / 234
    // VOL panel: (368 - y) * 200 / 67, at most the highest volume.
    EXPECT_EQ(readoutAt(334), "101");
    EXPECT_EQ(crosshair.readout.y, 322);
    EXPECT_EQ(readoutAt(301), "200");
    EXPECT_EQ(readoutAt(290), "200");
    // Another panel: low + (368 - y - 1) (high - low) / 67.
    state.Select(indicators::kRsi);
    Build(built, image.View(), model, state);
    EXPECT_EQ(readoutAt(334), "49.25");
    EXPECT_EQ(crosshair.readout.y, 327);
    EXPECT_EQ(chart::PanelValueAt(built.layout.geometry, built.layout.lower.scale, 300), 100.0);

    // The bar under the pointer: its date with the weekday along the bottom.
    EXPECT_EQ(crosshair.bar.bar, 1u);
    EXPECT_EQ(crosshair.date.text, "20170103(2)");
    EXPECT_EQ(crosshair.date.x, 76);
    EXPECT_EQ(crosshair.date.y, 365);
    EXPECT_EQ(Utf8(crosshair.bar.tableValues[0].text), "20170103");

    // Drawn over the chart: lines in (108,108,108), then the readout on blue.
    ui::RecordingCanvas canvas;
    chart::PaintCrosshair(canvas, crosshair, built.layout);
    const std::vector<ui::DrawCall> lines = canvas.Of(ui::DrawKind::Line);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].left, 76);
    EXPECT_EQ(lines[0].top, 28);
    EXPECT_EQ(lines[0].bottom, 378);
    EXPECT_EQ(lines[1].top, 334);
    EXPECT_EQ(lines[1].left, 62);
    EXPECT_EQ(lines[1].right, 962);
    EXPECT_EQ(lines[0].colour, (ui::Rgb{108, 108, 108}));
    const std::vector<chart::Box> rects = crosshair.RestoreRects();
    EXPECT_EQ(rects[0], (chart::Box{76, 28, 77, 379}));
    EXPECT_EQ(rects[1], (chart::Box{62, 334, 963, 335}));
}

TEST(Crosshair, ExRightsTextAndKeyCursor) {
    std::vector<data::Bar> bars = charttest::WalkBars(charttest::WanderingCloses(100));
    const uint32_t last = bars.back().date;
    const uint32_t second = bars[1].date;
    const charttest::EventTable events(
        {{600000, {{second, 10, 1.5f, 0, 0}, {last, 0, 0, 3, 8.5f}}}});
    const ImageSeries image(600000, bars);
    const indicators::IndicatorState state;
    Built built;
    chart::ChartModel model = Opened();
    chart::CrosshairLayout crosshair;

    // The key cursor on the last column: no horizontal line, no readout; the
    // text is pulled left to end 2 pixels before the right edge.
    model.HandleKey(chart::ChartKey::End, image.View());
    Build(built, image.View(), model, state, {}, {&events.Table(), events.Entry(600000)});
    chart::BuildCrosshair(crosshair, built.series, built.layout, model, built.settings);
    EXPECT_EQ(crosshair.x, 956);
    EXPECT_EQ(crosshair.y, 0);
    EXPECT_FALSE(crosshair.hasReadout);
    ASSERT_TRUE(crosshair.hasEvent);
    EXPECT_EQ(Utf8(crosshair.event.text), "10配3股8.5元");
    EXPECT_EQ(crosshair.event.x, 960 - 6 * 12);  // 12 GBK bytes
    EXPECT_EQ(crosshair.event.y, 276);
    EXPECT_EQ(crosshair.event.colour, ui::kWhite);
    EXPECT_EQ(crosshair.date.x, 962 - 76);
    EXPECT_EQ(crosshair.RestoreRects().size(), 3u);  // vertical line, date, event

    // Scrolled to the start: bar 1 carries 10送10股派1.5元 at cursor x + 4.
    model.Navigate(chart::NavButton::First, image.View());
    Build(built, image.View(), model, state, {}, {&events.Table(), events.Entry(600000)});
    model.HandleKey(chart::ChartKey::Home, image.View());
    model.HandleKey(chart::ChartKey::Right, image.View());
    built.settings.theme = ui::ThemeId::Regular;
    chart::BuildCrosshair(crosshair, built.series, built.layout, model, built.settings);
    EXPECT_EQ(crosshair.bar.bar, 1u);
    ASSERT_TRUE(crosshair.hasEvent);
    EXPECT_EQ(Utf8(crosshair.event.text), "10送10股派1.5元");
    EXPECT_EQ(crosshair.event.x, 76 + 4);
    EXPECT_EQ(crosshair.event.colour, (ui::Rgb{0, 0, 215}));
    model.HandleKey(chart::ChartKey::Right, image.View());
    chart::BuildCrosshair(crosshair, built.series, built.layout, model, built.settings);
    EXPECT_FALSE(crosshair.hasEvent);
}

}  // namespace
