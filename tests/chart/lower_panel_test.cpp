// The lower panel: its scales, the column-carried recursions, the start pairs,
// labels and what a short series shows.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "chart/chart_layout.h"
#include "chart/paint.h"
#include "chart_fixture.h"
#include "indicators/calculations.h"
#include "indicators/recursions.h"
#include "ui/recording_canvas.h"

namespace {

using charttest::ImageSeries;

struct Built {
    chart::PreparedSeries series;
    chart::ChartLayout layout;
};

void Build(Built& built, const data::SeriesView& view, const chart::ChartModel& model,
           const indicators::IndicatorState& state, ui::ThemeId theme = ui::ThemeId::ClassicBlack) {
    built.series.Prepare(view, {});
    chart::ChartSettings settings;
    settings.indicators = &state;
    settings.theme = theme;
    chart::BuildChartLayout(built.layout, built.series, model, settings);
}

indicators::IndicatorState Selecting(int index) {
    indicators::IndicatorState state;
    state.Select(index);
    return state;
}

chart::ChartModel Opened() {
    chart::ChartModel model;
    model.Open({});
    return model;
}

std::vector<std::string> LabelTexts(const chart::LowerPanelLayout& panel) {
    std::vector<std::string> texts;
    for (const chart::TextItem& label : panel.axisLabels) texts.push_back(label.text);
    return texts;
}

TEST(PanelScale, FixedAndAutomaticMappings) {
    const chart::Geometry g =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    // Fixed 0..100: y = 368 - clamp(v) * 0.01 * 67, truncated.
    const chart::PanelScale fixed{chart::ScaleKind::Fixed, 100, 0, 2};
    EXPECT_EQ(chart::PanelY(g, fixed, 100), 301);  // the panel's top grid line
    EXPECT_EQ(chart::PanelY(g, fixed, 0), 368);    // the chart bottom line
    EXPECT_EQ(chart::PanelY(g, fixed, 170), 301);
    EXPECT_EQ(chart::PanelY(g, fixed, -20), 368);
    EXPECT_EQ(chart::PanelY(g, fixed, 50), 334);  // 334.5

    // Automatic: y = 367 - 65 (v - low) / (high - low).
    const chart::PanelScale automatic{chart::ScaleKind::Automatic, 10, -10, 2};
    EXPECT_EQ(chart::PanelY(g, automatic, 10), 302);
    EXPECT_EQ(chart::PanelY(g, automatic, -10), 367);
    EXPECT_EQ(chart::PanelY(g, automatic, 0), 334);  // 334.5
    // No spread: the middle line.
    const chart::PanelScale flat{chart::ScaleKind::Automatic, 3, 3, 2};
    EXPECT_EQ(chart::PanelY(g, flat, 3), g.LowerMiddle());

    // Volume: 368 - 67 * min(v, max) / max.
    const chart::PanelScale volume{chart::ScaleKind::Volume, 200, 0, 0};
    EXPECT_EQ(chart::PanelY(g, volume, 100), 334);
    EXPECT_EQ(chart::PanelY(g, volume, 500), 301);
}

TEST(LowerPanel, FixedScaleGridAndLabels) {
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(200)));
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kRsi));
    const chart::LowerPanelLayout& panel = built.layout.lower;
    EXPECT_EQ(panel.gridLines, (std::vector<int>{301, 334, 314, 355}));
    EXPECT_EQ(LabelTexts(panel),
              (std::vector<std::string>{"100.00", "0.00", "50.00", "80.00", "20.00"}));
    EXPECT_EQ(panel.axisLabels[0].y, 294);
    EXPECT_EQ(panel.axisLabels[0].x, 18);  // 62 - 42 - 2
    EXPECT_EQ(panel.axisLabels[1].y, 361);
    EXPECT_EQ(panel.axisLabels[2].y, 328);  // 368 - 33 - 7
    EXPECT_EQ(panel.axisLabels[3].y, 307);  // 301 + 13 - 7
    EXPECT_EQ(panel.axisLabels[4].y, 348);  // 368 - 13 - 7

    // Every RSI point lies between 0 (bottom line) and 100 (top grid line).
    for (int k = 0; k < 3; ++k)
        for (int y : panel.lines[k].ys) {
            if (y == chart::kNoPoint) continue;
            EXPECT_TRUE(y >= 301 && y <= 368) << y;
        }

    // The title row: Chinese and Latin parts, and the legend labels "6日" ...
    ASSERT_EQ(panel.title.size(), 2u);
    EXPECT_EQ(charttest::Utf8(panel.title[0].text), "相对强弱");
    EXPECT_EQ(panel.title[0].x, 68);
    EXPECT_EQ(panel.title[0].y, 290);
    EXPECT_EQ(panel.title[1].text, "RSI(6,12,24)");
    EXPECT_EQ(panel.title[1].x, 68 + 4 * 12);
    ASSERT_EQ(panel.legendLabels.size(), 6u);
    EXPECT_EQ(panel.legendLabels[0].text, "6");
    EXPECT_EQ(panel.legendLabels[0].x, 243);  // ends at 250
    EXPECT_EQ(panel.legendLabels[2].text, "12");
    EXPECT_EQ(panel.legendLabels[2].x, 387 - 14);
    EXPECT_EQ(panel.legendLabels[3].x, 387);
    EXPECT_EQ(panel.legend[2].valueX, 539);
}

TEST(LowerPanel, FlatValuesSitOnTheMiddleLine) {
    // Constant closes: no bar rises, every PSY is 0, so the automatic range
    // starting from (0, 100) ends as 0..0.
    const std::vector<uint32_t> flat(60, 1000);
    const ImageSeries image(600000, fixture::FlatBars(20170102, flat));
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kPsy));
    const chart::LowerPanelLayout& panel = built.layout.lower;
    EXPECT_EQ(panel.scale.high, 0.0);
    EXPECT_EQ(panel.scale.low, 0.0);
    int points = 0;
    for (int y : panel.lines[0].ys)
        if (y != chart::kNoPoint) {
            EXPECT_EQ(y, 334);
            ++points;
        }
    EXPECT_EQ(points, 60 - 12);  // PSY needs t >= 12
    EXPECT_EQ(LabelTexts(panel), (std::vector<std::string>{"0.00", "0.00", "0.00"}));
}

TEST(LowerPanel, ShortSeriesShowNothingBeforeTheLength) {
    // Ten bars: BIAS 6 has values from bar 5 on, BIAS 12 and 24 none at all.
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(10)));
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kBias));
    const chart::LowerPanelLayout& panel = built.layout.lower;
    for (size_t c = 0; c < 10; ++c) EXPECT_EQ(panel.lines[0].ys[c] == chart::kNoPoint, c < 5) << c;
    for (int k = 1; k < 3; ++k)
        for (int y : panel.lines[k].ys) EXPECT_EQ(y, chart::kNoPoint);

    ui::RecordingCanvas canvas;
    chart::PaintChart(canvas, built.layout);
    int biasSegments = 0;
    for (const ui::DrawCall& call : canvas.Of(ui::DrawKind::Line))
        if (call.top > 288 && call.colour == ui::kWhite && call.left != call.right) ++biasSegments;
    EXPECT_EQ(biasSegments, 4);  // columns 5..9 joined
    for (const ui::DrawCall& call : canvas.Of(ui::DrawKind::Line)) {
        if (call.top <= 288 || call.bottom <= 288) continue;
        EXPECT_NE(call.colour, (ui::Rgb{255, 255, 0})) << "BIAS 12 drew a segment";
    }

    // Volume averages of 10 and 30 bars: only MA5 and MA10 have points.
    Build(built, image.View(), Opened(), Selecting(indicators::kVol));
    EXPECT_EQ(built.layout.lower.lines[0].ys[3], chart::kNoPoint);
    EXPECT_NE(built.layout.lower.lines[0].ys[4], chart::kNoPoint);
    EXPECT_NE(built.layout.lower.lines[1].ys[9], chart::kNoPoint);
    for (int y : built.layout.lower.lines[2].ys) EXPECT_EQ(y, chart::kNoPoint);
}

TEST(LowerPanel, NoValidValueShowsTheStartPair) {
    // Identical highs, lows and closes: CCI has no value anywhere.
    const std::vector<uint32_t> flat(40, 1000);
    const ImageSeries image(600000, fixture::FlatBars(20170102, flat));
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kCci));
    const chart::LowerPanelLayout& panel = built.layout.lower;
    EXPECT_EQ(panel.scale.high, -3000.0);
    EXPECT_EQ(panel.scale.low, 3000.0);
    for (int y : panel.lines[0].ys) EXPECT_EQ(y, chart::kNoPoint);
    EXPECT_EQ(LabelTexts(panel), (std::vector<std::string>{"-3000.00", "3000.00", "0.00"}));
    EXPECT_EQ(panel.axisLabels[0].x, 4);  // 62 - 56 - 2

    // W&R on the same bars has no value either; its fixed scale is 0..100.
    Build(built, image.View(), Opened(), Selecting(indicators::kWr));
    EXPECT_EQ(LabelTexts(built.layout.lower),
              (std::vector<std::string>{"100.00", "0.00", "50.00"}));
    for (int y : built.layout.lower.lines[0].ys) EXPECT_EQ(y, chart::kNoPoint);

    // ARBR and DMI on flat bars: no movement at all, so no values, the pairs stay.
    Build(built, image.View(), Opened(), Selecting(indicators::kArbr));
    EXPECT_EQ(built.layout.lower.scale.high, -1000.0);
    EXPECT_EQ(built.layout.lower.scale.low, 1000.0);
}

TEST(LowerPanel, RocAndDmaKeepTheZeroLevel) {
    // Rising closes: every ROC is above 0, yet the low stays at 0.
    std::vector<uint32_t> rising;
    for (uint32_t i = 0; i < 80; ++i) rising.push_back(1000 + 10 * i);
    const ImageSeries image(600000, charttest::WalkBars(rising));
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kRoc));
    EXPECT_EQ(built.layout.lower.scale.low, 0.0);
    EXPECT_GT(built.layout.lower.scale.high, 0.0);
    EXPECT_EQ(built.layout.lower.axisLabels[1].text, "0.00");
    Build(built, image.View(), Opened(), Selecting(indicators::kDma));
    EXPECT_EQ(built.layout.lower.scale.low, 0.0);

    // MACD: DIFF and DEA lines, the histogram from the zero level, red above it.
    Build(built, image.View(), Opened(), Selecting(indicators::kMacd));
    const chart::LowerPanelLayout& macd = built.layout.lower;
    EXPECT_TRUE(macd.lines[0].drawn);
    EXPECT_TRUE(macd.lines[1].drawn);
    EXPECT_FALSE(macd.lines[2].drawn);
    ASSERT_EQ(macd.histogram.size(), 80u);
    const int zeroY = chart::PanelY(built.layout.geometry, macd.scale, 0.0);
    for (const chart::HistogramBar& bar : macd.histogram) EXPECT_EQ(bar.from, zeroY);
    EXPECT_EQ(macd.histogram[40].colour, (ui::Rgb{213, 0, 0}));
    // At the oldest bar MACD is 0: not above zero, the falling colour per theme.
    EXPECT_EQ(macd.histogram[0].colour, (ui::Rgb{92, 249, 254}));
    Build(built, image.View(), Opened(), Selecting(indicators::kMacd), ui::ThemeId::Regular);
    EXPECT_EQ(built.layout.lower.histogram[0].colour, (ui::Rgb{51, 102, 0}));
}

TEST(LowerPanel, ObvLabelsOfTwelveDigitsAreInThousands) {
    // Thirty rising bars of 4e9 lots: OBV reaches 29 * 4e9 = 1.16e11.
    std::vector<data::Bar> bars = charttest::WalkBars([] {
        std::vector<uint32_t> closes;
        for (uint32_t i = 0; i < 30; ++i) closes.push_back(1000 + i);
        return closes;
    }());
    for (data::Bar& bar : bars) bar.volume = 4'000'000'000u;
    const ImageSeries image(600000, bars);
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kObv));
    const chart::LowerPanelLayout& panel = built.layout.lower;
    EXPECT_EQ(panel.scale.format, 0);
    EXPECT_EQ(panel.scale.high, 116'000'000.0);  // 116,000,000,000 / 1000
    EXPECT_EQ(panel.scale.low, 4'000'000.0);     // the zero of the first bar is left out
    EXPECT_EQ(panel.lines[0].ys[0], chart::kNoPoint);
    EXPECT_EQ(panel.axisLabels[0].text, "116000000");
    EXPECT_EQ(panel.axisLabels[0].x, 6);  // nine characters: from left + 4, narrower
    EXPECT_EQ(panel.axisLabels[0].font, 12);
}

TEST(LowerPanel, AnObvAtTheNoValueMarkerHasNoPointLikeAnyOtherLine) {
    // Rising closes; the second bar's 65,535 lots make OBV exactly 65535
    // there, the number that stands for "no value": no point and no part of
    // the scale, as its legend already leaves it out.
    std::vector<uint32_t> rising;
    for (uint32_t i = 0; i < 40; ++i) rising.push_back(1000 + 10 * i);
    std::vector<data::Bar> bars = charttest::WalkBars(rising);
    for (data::Bar& bar : bars) bar.volume = 1000;
    bars[1].volume = 65535;
    const ImageSeries image(600000, bars);
    Built built;
    Build(built, image.View(), Opened(), Selecting(indicators::kObv));
    const chart::LowerPanelLayout& panel = built.layout.lower;
    EXPECT_EQ(panel.lines[0].ys[0], chart::kNoPoint);  // 0 is left out
    EXPECT_EQ(panel.lines[0].ys[1], chart::kNoPoint);
    EXPECT_NE(panel.lines[0].ys[2], chart::kNoPoint);
    EXPECT_EQ(panel.scale.low, 66535.0);
    EXPECT_EQ(panel.scale.high, 65535.0 + 38 * 1000);
}

TEST(LowerPanel, CarriedRecursionsEqualTheDefinitionAtOneBarPerColumn) {
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(300, 11)));
    const data::SeriesView view = image.View();
    for (int index : {indicators::kRsi, indicators::kMacd, indicators::kKd, indicators::kKdj}) {
        const indicators::IndicatorState state = Selecting(index);
        Built built;
        Build(built, view, Opened(), state);
        const chart::LowerPanelLayout& panel = built.layout.lower;
        ASSERT_EQ(built.layout.columnBar.size(), 90u);
        for (size_t c = 0; c < 90; ++c) {
            const indicators::LineValues expected =
                indicators::ComputeAt(view, index, state.Params(index), built.layout.columnBar[c]);
            for (int k = 0; k < expected.count; ++k) {
                const double v = panel.values[k][c];
                if (!indicators::HasValue(expected.values[k])) {
                    EXPECT_TRUE(std::isnan(v)) << index << " line " << k << " column " << c;
                } else {
                    EXPECT_EQ(v, expected.values[k]) << index << " line " << k << " column " << c;
                }
            }
        }
    }
}

TEST(LowerPanel, ManyBarsPerColumnCarryOneStepPerColumn) {
    // The first column holds the full recursion; later ones advance once per
    // column, so they are computed from fewer steps than the definition.
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(3000, 5)));
    const data::SeriesView view = image.View();
    chart::ChartModel model = Opened();
    for (int i = 0; i < 7; ++i) model.Navigate(chart::NavButton::ZoomOut, view);
    ASSERT_EQ(model.Zoom(), 11);
    const indicators::IndicatorState state = Selecting(indicators::kMacd);
    Built built;
    Build(built, view, model, state);
    const std::vector<size_t>& bars = built.layout.columnBar;
    const indicators::MacdValues first = indicators::Macd(view, bars[0], 12, 26, 9);
    EXPECT_EQ(built.layout.lower.values[0][0], first.diff);

    indicators::MacdRecursion carried(12, 26, 9);
    for (size_t t = 0; t <= bars[0]; ++t) carried.Feed(view, t);
    for (size_t c = 1; c < bars.size(); ++c) carried.Feed(view, bars[c]);
    EXPECT_EQ(built.layout.lower.values[1].back(), carried.Values().dea);
}

TEST(LowerPanel, EveryCarriedIndicatorStepsOncePerColumnFromItsSnapshot) {
    // Far from the oldest bar the carry starts from a kept snapshot of the
    // recursion; each line must still equal the recursion fed by hand.
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(3000, 5)));
    const data::SeriesView view = image.View();
    chart::ChartModel model = Opened();
    for (int i = 0; i < 7; ++i) model.Navigate(chart::NavButton::ZoomOut, view);
    model.Navigate(chart::NavButton::PageBack, view);
    Built built;
    Build(built, view, model, Selecting(indicators::kRsi));
    const std::vector<size_t> bars = built.layout.columnBar;
    ASSERT_FALSE(built.layout.range.OneBarPerColumn());
    ASSERT_GT(bars[0], chart::IndicatorCache::kStride);

    auto expectCarried = [&](int index, auto recursion, auto linesOf) {
        const indicators::IndicatorState state = Selecting(index);
        Build(built, view, model, state);
        for (size_t t = 0; t < bars[0]; ++t) recursion.Feed(view, t);
        for (size_t c = 0; c < bars.size(); ++c) {
            recursion.Feed(view, bars[c]);
            const std::vector<double> expected = linesOf(recursion);
            ASSERT_EQ(built.layout.lower.lineCount, static_cast<int>(expected.size())) << index;
            for (size_t k = 0; k < expected.size(); ++k)
                ASSERT_EQ(built.layout.lower.values[k][c], expected[k])
                    << index << " line " << k << " column " << c;
        }
    };
    expectCarried(indicators::kMacd, indicators::MacdRecursion(12, 26, 9),
                  [](const indicators::MacdRecursion& r) {
                      return std::vector<double>{r.Values().diff, r.Values().dea, r.Values().macd};
                  });
    expectCarried(indicators::kKd, indicators::KdRecursion(9, 3, 3),
                  [](const indicators::KdRecursion& r) {
                      return std::vector<double>{r.Values().k, r.Values().d};
                  });
    expectCarried(indicators::kKdj, indicators::KdRecursion(9, 3, 3),
                  [](const indicators::KdRecursion& r) {
                      return std::vector<double>{r.Values().k, r.Values().d, r.Values().j};
                  });
    // RSI's three lengths each carry a recursion of their own.
    struct Rsi3 {
        std::array<indicators::RsiRecursion, 3> lines{indicators::RsiRecursion(6),
                                                      indicators::RsiRecursion(12),
                                                      indicators::RsiRecursion(24)};
        void Feed(const data::SeriesView& v, size_t t) {
            for (auto& line : lines) line.Feed(v, t);
        }
    };
    expectCarried(indicators::kRsi, Rsi3{}, [](const Rsi3& r) {
        return std::vector<double>{r.lines[0].Value(), r.lines[1].Value(), r.lines[2].Value()};
    });
}

TEST(LowerPanel, LegendPositionsPerIndicator) {
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(100)));
    Built built;
    auto labels = [&](int index) {
        Build(built, image.View(), Opened(), Selecting(index));
        std::vector<std::pair<std::string, int>> out;
        for (const chart::TextItem& label : built.layout.lower.legendLabels)
            out.emplace_back(label.text, label.x);
        return out;
    };
    using Labels = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(labels(indicators::kMacd), (Labels{{"DIFF:", 229}, {"DEA:", 372}, {"MACD:", 503}}));
    EXPECT_EQ(labels(indicators::kBoll), (Labels{{"MID:", 235}, {"UPPER:", 360}, {"LOWER:", 497}}));
    EXPECT_EQ(labels(indicators::kDmi),
              (Labels{{"PDI:", 235}, {"MDI:", 372}, {"ADX:", 509}, {"ADXR:", 642}}));
    EXPECT_EQ(labels(indicators::kCr),
              (Labels{{"CR:", 241}, {"MA1:", 372}, {"MA2:", 509}, {"MA3:", 646}}));
    EXPECT_EQ(labels(indicators::kKdj), (Labels{{"K:", 247}, {"D:", 384}, {"J:", 521}}));
    EXPECT_EQ(labels(indicators::kRoc), (Labels{{"ROC:", 235}, {"ROCMA:", 360}}));
    const Labels psy = labels(indicators::kPsy);
    ASSERT_EQ(psy.size(), 2u);
    EXPECT_EQ(psy[0], (std::pair<std::string, int>{"12", 236}));
    EXPECT_EQ(psy[1].second, 250);
}

}  // namespace
