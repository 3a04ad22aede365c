#include "chart/geometry.h"

#include <gtest/gtest.h>

#include "chart/labels.h"

namespace {

using chart::Geometry;

TEST(ChartGeometry, DefaultAndEnlargedLowerPanel) {
    const Geometry g = chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    EXPECT_EQ(g.unit, 13);  // (378 - 28 - 10) / 25
    EXPECT_EQ(g.halfUnit, 6);
    EXPECT_EQ(g.offset, 0);
    EXPECT_EQ(g.plotLeft, 62);
    EXPECT_EQ(g.priceBottom, 288);
    EXPECT_EQ(g.chartBottom, 368);
    EXPECT_EQ(g.plotWidth, 900);
    EXPECT_EQ(g.lowerHeight, 67);  // 368 - 0 - 13 - 288
    EXPECT_EQ(g.LowerPlotTop(), 301);
    EXPECT_EQ(g.LowerMiddle(), 334);
    EXPECT_EQ(g.PriceSpan(), 234);
    // top + d, then steps of half-unit + 4d = 58, and price-panel bottom - d.
    EXPECT_EQ(chart::PriceGridLines(g), (std::array<int, 5>{41, 99, 157, 215, 275}));

    // The enlarged lower panel: d = 9, the price panel 260 -> 180 pixels and
    // the lower panel 80 -> 160.
    const Geometry e =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Enlarged);
    EXPECT_EQ(e.unit, 9);
    EXPECT_EQ(e.offset, 4);
    EXPECT_EQ(e.priceBottom - 28, 180);
    EXPECT_EQ(e.rect.bottom - e.priceBottom, 170);
    EXPECT_EQ(e.chartBottom - e.priceBottom, 160);
    EXPECT_EQ(e.lowerHeight, 147);  // 368 - 4 - 9 - 208
    EXPECT_EQ(e.LowerPlotTop(), 221);
}

TEST(PriceScale, MapsTheRangeOntoTopPlusDToBottomMinusD) {
    const Geometry g = chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    const chart::PriceScale s = chart::MakePriceScale(g, 2000, 1000);
    EXPECT_EQ(s.Y(2000), 41);
    EXPECT_EQ(s.Y(1000), 275);
    EXPECT_EQ(s.Y(1500), 158);  // 275 - 234 * 500 / 1000 = 275 - 117
    EXPECT_EQ(s.Y(1004), 275);  // 234 * 4 / 1000 = 0.936, truncated
    EXPECT_EQ(s.Y(1005), 274);  // 1.17
    EXPECT_EQ(s.Y(999), 275);   // below the low: not scaled past the panel
    EXPECT_EQ(s.Scale(300), 70);

    // No spread: every price sits on price-panel bottom - d.
    const chart::PriceScale flat = chart::MakePriceScale(g, 1500, 1500);
    EXPECT_EQ(flat.Y(1500), 275);
    EXPECT_EQ(flat.Y(9999), 275);
    const chart::PriceScale inverted = chart::MakePriceScale(g, 0, 700);
    EXPECT_EQ(inverted.Y(0), 275);

    // Large index prices do not overflow the product.
    const chart::PriceScale wide = chart::MakePriceScale(g, 4'000'000'000u, 0);
    EXPECT_EQ(wide.Y(2'000'000'000u), 158);
}

TEST(ColumnX, CentreIsPlotLeftPlusHalfWidthPlusPitchesPlusOne) {
    const Geometry g = chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(4), 0), 66);    // 62 + 3 + 1
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(4), 89), 956);  // + 89 * 10
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(0), 0), 96);    // 62 + 33 + 1
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(0), 9), 906);
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(9), 0), 63);
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(9), 899), 962);
    EXPECT_EQ(chart::ColumnX(g, chart::ZoomAt(7), 1), 62 + 1 + 3 + 1);
}

TEST(ZoomTable, LevelsAndTheSpanRule) {
    EXPECT_EQ(chart::ZoomAt(4).bars, 90);
    EXPECT_EQ(chart::ZoomAt(4).Pitch(), 10);
    EXPECT_EQ(chart::ZoomAt(15).bars, 15000);
    EXPECT_EQ(chart::ZoomAt(-3).bars, 10);  // clamped into 0..15
    EXPECT_EQ(chart::ZoomAt(99).bars, 15000);
    // Every level shows more bars than the one below it.
    for (int level = 1; level <= chart::kMaxZoom; ++level)
        EXPECT_GT(chart::ZoomAt(level).bars, chart::ZoomAt(level - 1).bars) << level;

    EXPECT_EQ(chart::ZoomForSpan(std::nullopt), 4);
    EXPECT_EQ(chart::ZoomForSpan(0), 4);
    EXPECT_EQ(chart::ZoomForSpan(90), 4);
    EXPECT_EQ(chart::ZoomForSpan(91), 5);
    EXPECT_EQ(chart::ZoomForSpan(150), 5);
    EXPECT_EQ(chart::ZoomForSpan(151), 6);
    EXPECT_EQ(chart::ZoomForSpan(300), 7);
    EXPECT_EQ(chart::ZoomForSpan(451), 9);
    EXPECT_EQ(chart::ZoomForSpan(901), 10);
    EXPECT_EQ(chart::ZoomForSpan(2500), 11);
    EXPECT_EQ(chart::ZoomForSpan(3500), 12);
    EXPECT_EQ(chart::ZoomForSpan(3501), 13);
    EXPECT_EQ(chart::ZoomForSpan(50000), 13);
}

TEST(LabelFormats, NineCharacterRule) {
    EXPECT_EQ(chart::FormatPrice(1234).text, "12.34");
    EXPECT_FALSE(chart::FormatPrice(1234).isLong);
    EXPECT_EQ(chart::FormatPrice(5).text, "0.05");
    // "12345.67" is eight characters and still fits right of the left edge:
    // right-aligned it starts at 62 - 56 - 2 = 4.
    EXPECT_EQ(chart::FormatPrice(1234567).text, "12345.67");
    EXPECT_EQ(chart::LabelX(62, 8, false, 4), 4);
    // Nine characters drop to one decimal and start at the chart's left edge.
    const chart::PriceLabelText big = chart::FormatPrice(12345678);
    EXPECT_EQ(big.text, "123456.8");
    EXPECT_TRUE(big.isLong);
    EXPECT_EQ(chart::LabelX(62, big.text.size(), big.isLong, 4), 4);
    EXPECT_EQ(chart::LabelX(62, 5, 4), 25);  // "12.00": 62 - 35 - 2
    EXPECT_EQ(chart::LabelX(62, 9, 6), 6);

    EXPECT_EQ(chart::FormatValue(-1.005, 2), "-1.00");  // binary -1.00499...
    EXPECT_EQ(chart::FormatValue(99999999999.4, 0), "99999999999");
    EXPECT_EQ(chart::FormatValue(2.25, 1), "2.2");
    EXPECT_EQ(chart::FormatInt(-42), "-42");
}

TEST(Weekday, FromTheDayCountOfTheWeeklyBars) {
    EXPECT_EQ(chart::Weekday(20170106), 5);  // Friday
    EXPECT_EQ(chart::Weekday(20170109), 1);  // Monday
    EXPECT_EQ(chart::Weekday(20170101), 0);  // Sunday
    EXPECT_EQ(chart::Weekday(20000229), 2);  // Tuesday, leap day
    EXPECT_EQ(chart::Weekday(19850101), 2);
}

}  // namespace
