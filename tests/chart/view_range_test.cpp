#include "chart/view_range.h"

#include <gtest/gtest.h>

#include "chart_fixture.h"

namespace {

using charttest::ImageSeries;

ImageSeries Bars(size_t n) {
    return ImageSeries(600000, charttest::WalkBars(charttest::WanderingCloses(n)));
}

chart::ViewRange Resolve(const data::SeriesView& view, int zoom, bool recompute = true,
                         size_t first = 0, uint32_t endDate = 0xFFFFFFFFu,
                         chart::WidthLayout width = chart::WidthLayout::Normal) {
    chart::ViewRequest request;
    request.zoom = zoom;
    request.width = width;
    request.viewEndDate = endDate;
    request.recompute = recompute;
    request.firstVisible = first;
    request.plotWidth = 900;
    return chart::ResolveView(view, request);
}

// Every bar of the view belongs to exactly one column, in order.
void ExpectWalkCoversEveryBar(const chart::ViewRange& r) {
    size_t next = 0;
    for (int c = 0; c < r.columns; ++c) {
        ASSERT_EQ(r.ColumnStart(c), next) << "column " << c;
        for (int b = 0; b < r.ColumnBars(c); ++b) ASSERT_EQ(r.ColumnOf(next + b), c);
        next += r.ColumnBars(c);
    }
    EXPECT_EQ(next, r.visible);
}

TEST(ColumnWalk, OneBarPerColumn) {
    const ImageSeries series = Bars(300);
    const chart::ViewRange r = Resolve(series.View(), 4);
    EXPECT_EQ(r.barCount, 300u);
    EXPECT_EQ(r.visible, 90u);
    EXPECT_FALSE(r.allShown);
    EXPECT_EQ(r.first, 210u);
    EXPECT_EQ(r.columns, 90);
    EXPECT_TRUE(r.OneBarPerColumn());
    EXPECT_EQ(r.ColumnStart(37), 37u);
    ExpectWalkCoversEveryBar(r);

    // Level 9 shows 900 bars on 900 pixels: still one bar each.
    const ImageSeries many = Bars(1000);
    const chart::ViewRange nine = Resolve(many.View(), 9);
    EXPECT_EQ(nine.columns, 900);
    EXPECT_TRUE(nine.OneBarPerColumn());
    ExpectWalkCoversEveryBar(nine);
}

TEST(ColumnWalk, FewerBarsThanTheLevelShowsThemAllFromTheLeft) {
    const ImageSeries series = Bars(30);
    const chart::ViewRange r = Resolve(series.View(), 4);
    EXPECT_EQ(r.visible, 30u);
    EXPECT_TRUE(r.allShown);
    EXPECT_EQ(r.first, 0u);
    EXPECT_EQ(r.columns, 30);
    EXPECT_EQ(r.step.Pitch(), 10);  // the level's pitch, not stretched

    // One or two bars never make visible - 2 negative.
    const ImageSeries one = Bars(1);
    const chart::ViewRange single = Resolve(one.View(), 15);
    EXPECT_EQ(single.columns, 1);
    EXPECT_TRUE(single.OneBarPerColumn());
    ExpectWalkCoversEveryBar(single);

    const chart::ViewRange none = Resolve(ImageSeries(600000, {}).View(), 4);
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.columns, 0);
}

TEST(ColumnWalk, ManyBarsPerColumn) {
    const ImageSeries series = Bars(2000);
    const chart::ViewRange r = Resolve(series.View(), 10);
    EXPECT_EQ(r.visible, 1500u);
    EXPECT_EQ(r.first, 500u);
    EXPECT_EQ(r.columns, 900);
    EXPECT_EQ(r.perColumn, 1);    // 1498 / 898
    EXPECT_EQ(r.remainder, 600);  // 1498 mod 898
    EXPECT_EQ(r.ColumnStart(0), 0u);
    EXPECT_EQ(r.ColumnBars(0), 1);
    EXPECT_EQ(r.ColumnStart(1), 1u);
    EXPECT_EQ(r.ColumnBars(1), 2);
    EXPECT_EQ(r.ColumnStart(2), 3u);
    EXPECT_EQ(r.ColumnStart(600), 1199u);  // 1 + 599 + 599
    EXPECT_EQ(r.ColumnBars(600), 2);
    EXPECT_EQ(r.ColumnStart(601), 1201u);
    EXPECT_EQ(r.ColumnBars(601), 1);
    EXPECT_EQ(r.ColumnStart(899), 1499u);  // the last column holds the last bar
    ExpectWalkCoversEveryBar(r);

    // 10,000 bars at level 15: all shown, f = 11, r = 9998 - 11 * 898 = 120.
    const ImageSeries big = Bars(10000);
    const chart::ViewRange top = Resolve(big.View(), 15);
    EXPECT_EQ(top.visible, 10000u);
    EXPECT_TRUE(top.allShown);
    EXPECT_EQ(top.perColumn, 11);
    EXPECT_EQ(top.remainder, 120);
    ExpectWalkCoversEveryBar(top);
}

TEST(ViewRange, ViewEndDateHalfWidthAndScrolling) {
    const ImageSeries series = Bars(300);
    const data::SeriesView view = series.View();
    const uint32_t date100 = view.image[8 + 100 * 5];

    // The rightmost bar is the last one dated on or before the view end.
    const chart::ViewRange ended = Resolve(view, 4, true, 0, date100);
    EXPECT_EQ(ended.available, 101u);
    EXPECT_EQ(ended.first, 11u);
    EXPECT_EQ(ended.Last(), 100u);
    EXPECT_EQ(chart::BarsUpToDate(view, date100 - 1), 100u);
    EXPECT_EQ(chart::BarsUpToDate(view, 19000101), 0u);
    EXPECT_TRUE(Resolve(view, 4, true, 0, 19000101).Empty());

    // Half width: half the level's bars.
    EXPECT_EQ(Resolve(view, 4, true, 0, 0xFFFFFFFFu, chart::WidthLayout::Half).visible, 45u);

    // A scrolled view keeps its first bar, never past the last full screen.
    EXPECT_EQ(Resolve(view, 4, false, 17).first, 17u);
    EXPECT_EQ(Resolve(view, 4, false, 250).first, 210u);
}

}  // namespace
