#include "chart/chart_model.h"

#include <gtest/gtest.h>

#include "chart_fixture.h"

namespace {

using chart::ChartKey;
using chart::ChartModel;
using chart::ChartRequest;
using chart::NavButton;
using charttest::ImageSeries;

ImageSeries Bars(size_t n) {
    return ImageSeries(600000, charttest::WalkBars(charttest::WanderingCloses(n)));
}

size_t First(const ChartModel& model, const data::SeriesView& view) {
    return model.Resolve(view).first;
}

TEST(Navigation, ScrollingStopsAtBothEnds) {
    const ImageSeries series = Bars(300);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    EXPECT_EQ(First(model, view), 210u);

    EXPECT_TRUE(model.Navigate(NavButton::Back, view));
    EXPECT_EQ(First(model, view), 209u);
    EXPECT_FALSE(model.Recompute());
    EXPECT_TRUE(model.Navigate(NavButton::PageBack, view));
    EXPECT_EQ(First(model, view), 109u);
    EXPECT_TRUE(model.Navigate(NavButton::PageBack, view));
    EXPECT_TRUE(model.Navigate(NavButton::PageBack, view));
    EXPECT_EQ(First(model, view), 0u);
    EXPECT_FALSE(model.Navigate(NavButton::PageBack, view));  // already at the first bar
    EXPECT_FALSE(model.Navigate(NavButton::Back, view));

    EXPECT_TRUE(model.Navigate(NavButton::Forward, view));
    EXPECT_EQ(First(model, view), 1u);
    EXPECT_TRUE(model.Navigate(NavButton::PageForward, view));
    EXPECT_TRUE(model.Navigate(NavButton::PageForward, view));
    EXPECT_EQ(First(model, view), 201u);
    EXPECT_TRUE(model.Navigate(NavButton::PageForward, view));
    EXPECT_EQ(First(model, view), 210u);  // series end - visible count
    EXPECT_FALSE(model.Navigate(NavButton::Forward, view));
    EXPECT_FALSE(model.Navigate(NavButton::PageForward, view));

    EXPECT_TRUE(model.Navigate(NavButton::First, view));
    EXPECT_EQ(First(model, view), 0u);
    // →▎ puts the newest bar back at the right.
    EXPECT_TRUE(model.Navigate(NavButton::Last, view));
    EXPECT_TRUE(model.Recompute());
    EXPECT_EQ(First(model, view), 210u);

    // A zoom also returns to the newest bar.
    model.Navigate(NavButton::First, view);
    EXPECT_TRUE(model.Navigate(NavButton::ZoomIn, view));
    EXPECT_EQ(model.Zoom(), 3);
    EXPECT_EQ(First(model, view), 250u);
}

TEST(Navigation, FewBarsAndNoBars) {
    // 30 bars at level 4 (90): → and ‥→ do nothing, ← only after a move back.
    const ImageSeries series = Bars(30);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    EXPECT_FALSE(model.Navigate(NavButton::Forward, view));
    EXPECT_FALSE(model.Navigate(NavButton::PageForward, view));
    EXPECT_FALSE(model.Navigate(NavButton::Back, view));
    // ↓键 is refused while every bar is shown.
    EXPECT_FALSE(model.Navigate(NavButton::ZoomOut, view));
    EXPECT_EQ(model.Zoom(), 4);
    EXPECT_EQ(model.HandleKey(ChartKey::Down, view), ChartRequest::None);
    model.Navigate(NavButton::ZoomIn, view);  // 50 bars: still all shown
    model.Navigate(NavButton::ZoomIn, view);  // 30 bars: exactly all
    EXPECT_FALSE(model.Navigate(NavButton::ZoomOut, view));
    EXPECT_EQ(model.HandleKey(ChartKey::Up, view), ChartRequest::FullRedraw);  // 15 bars
    EXPECT_EQ(model.Zoom(), 1);
    EXPECT_EQ(First(model, view), 15u);
    EXPECT_TRUE(model.Navigate(NavButton::Back, view));
    EXPECT_TRUE(model.Navigate(NavButton::ZoomOut, view));
    EXPECT_EQ(model.Zoom(), 2);

    const ImageSeries empty(600000, {});
    ChartModel blank;
    blank.Open({});
    for (NavButton button :
         {NavButton::First, NavButton::PageBack, NavButton::Back, NavButton::Forward,
          NavButton::PageForward, NavButton::Last, NavButton::ZoomIn, NavButton::ZoomOut})
        EXPECT_FALSE(blank.Navigate(button, empty.View()));
    EXPECT_EQ(blank.Zoom(), 4);
    EXPECT_EQ(blank.HandleKey(ChartKey::Home, empty.View()), ChartRequest::None);
}

TEST(Navigation, ZoomLimits) {
    const ImageSeries series = Bars(16000);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    for (int i = 0; i < 20; ++i) model.Navigate(NavButton::ZoomOut, view);
    EXPECT_EQ(model.Zoom(), 15);
    EXPECT_EQ(model.Resolve(view).visible, 15000u);
    for (int i = 0; i < 20; ++i) model.Navigate(NavButton::ZoomIn, view);
    EXPECT_EQ(model.Zoom(), 0);
    EXPECT_EQ(model.Resolve(view).visible, 10u);
}

TEST(Opening, ZoomPeriodAndFlags) {
    const ImageSeries series = Bars(300);
    ChartModel model;
    model.Open({3500, true, false});
    EXPECT_EQ(model.Zoom(), 12);
    EXPECT_TRUE(model.OpenedFromResult());
    model.Open({3501, true, false});
    EXPECT_EQ(model.Zoom(), 13);
    model.Open({std::nullopt, false, true});  // the picking page's chart keeps its level
    EXPECT_EQ(model.Zoom(), 13);
    EXPECT_FALSE(model.OpenedFromResult());
    model.Open({});
    EXPECT_EQ(model.Zoom(), 4);
    EXPECT_EQ(model.Period(), data::Period::Daily);
    EXPECT_TRUE(model.TakeFullRedraw());
    EXPECT_FALSE(model.TakeFullRedraw());

    model.Navigate(NavButton::ZoomOut, series.View());
    model.Navigate(NavButton::Back, series.View());
    model.SetPeriod(data::Period::Weekly);
    EXPECT_EQ(model.Period(), data::Period::Weekly);
    EXPECT_EQ(model.Zoom(), 4);
    EXPECT_TRUE(model.Recompute());
    EXPECT_TRUE(model.FullRedrawPending());

    EXPECT_TRUE(model.SetLowerPanel(chart::LowerPanelSize::Enlarged));
    EXPECT_FALSE(model.SetLowerPanel(chart::LowerPanelSize::Enlarged));
    EXPECT_EQ(model.MakeGeometry().unit, 9);
}

TEST(Keys, WhatTheWindowIsAskedToDo) {
    const ImageSeries series = Bars(300);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    EXPECT_EQ(model.HandleKey(ChartKey::F3, view), ChartRequest::OpenShanghaiIndex);
    EXPECT_EQ(model.HandleKey(ChartKey::F4, view), ChartRequest::OpenShenzhenIndex);
    EXPECT_EQ(model.HandleKey(ChartKey::PageUp, view), ChartRequest::PreviousStock);
    EXPECT_EQ(model.HandleKey(ChartKey::PageDown, view), ChartRequest::NextStock);
    EXPECT_EQ(model.HandleKey(ChartKey::F11, view), ChartRequest::OpenInstallPage);
    EXPECT_EQ(model.HandleKey(ChartKey::F1, view), ChartRequest::NotConsumed);
    EXPECT_EQ(model.HandleKey(ChartKey::F2, view), ChartRequest::NotConsumed);
    EXPECT_EQ(model.HandleKey(ChartKey::Escape, view), ChartRequest::None);
    EXPECT_EQ(model.HandleKey(ChartKey::Down, view), ChartRequest::FullRedraw);
    EXPECT_EQ(model.Zoom(), 5);
    EXPECT_EQ(model.HandleKey(ChartKey::Up, view), ChartRequest::FullRedraw);
    EXPECT_EQ(model.Zoom(), 4);
}

TEST(CursorKeys, OneBarPerColumn) {
    const ImageSeries series = Bars(300);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    const chart::ViewRange range = model.Resolve(view);

    // No cursor yet: the first Left shows the remembered (rightmost) column.
    EXPECT_EQ(model.HandleKey(ChartKey::Left, view), ChartRequest::CursorMoved);
    EXPECT_EQ(model.CursorState().column, 89);
    EXPECT_EQ(model.CursorState().x, 956);
    EXPECT_EQ(model.CursorState().y, 0);
    EXPECT_EQ(model.CursorBar(range), 299u);
    model.HandleKey(ChartKey::Left, view);
    EXPECT_EQ(model.CursorBar(range), 298u);
    EXPECT_EQ(model.CursorState().x, 946);
    model.HandleKey(ChartKey::Home, view);
    EXPECT_EQ(model.CursorState().column, 0);
    EXPECT_EQ(model.CursorState().x, 66);
    EXPECT_EQ(model.CursorBar(range), 210u);
    model.HandleKey(ChartKey::Left, view);
    EXPECT_EQ(model.CursorState().column, 0);  // stops at column 0
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorState().column, 1);
    model.HandleKey(ChartKey::End, view);
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorState().column, 89);  // stops at the last column

    // With the cursor gone (pointer left the plot) at column 0, the first
    // Right shows column 0 again instead of moving.
    model.HandleKey(ChartKey::Home, view);
    model.MouseMove(5, 5, view);
    EXPECT_FALSE(model.HasCursor());
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorState().column, 0);
    EXPECT_TRUE(model.HasCursor());
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorState().column, 1);
    // ... and elsewhere the first press moves as usual.
    model.MouseMove(5, 5, view);
    model.HandleKey(ChartKey::Left, view);
    EXPECT_EQ(model.CursorState().column, 0);
}

TEST(CursorKeys, ManyBarsPerColumnReachEveryBar) {
    const ImageSeries series = Bars(2000);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    for (int i = 0; i < 6; ++i) model.Navigate(NavButton::ZoomOut, view);
    ASSERT_EQ(model.Zoom(), 10);
    const chart::ViewRange range = model.Resolve(view);
    ASSERT_FALSE(range.OneBarPerColumn());

    model.HandleKey(ChartKey::Home, view);
    EXPECT_EQ(model.CursorBar(range), 500u);
    EXPECT_EQ(model.CursorState().x, 63);  // the plot's left edge column
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorBar(range), 501u);
    EXPECT_EQ(model.CursorState().x, 64);
    model.HandleKey(ChartKey::Right, view);  // the second bar of column 1
    EXPECT_EQ(model.CursorBar(range), 502u);
    EXPECT_EQ(model.CursorState().x, 64);
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorBar(range), 503u);
    EXPECT_EQ(model.CursorState().x, 65);

    // One bar per press, through all 1,500 bars and back.
    model.HandleKey(ChartKey::Home, view);
    for (size_t bar = 501; bar < 2000; ++bar) {
        model.HandleKey(ChartKey::Right, view);
        ASSERT_EQ(model.CursorBar(range), bar);
    }
    model.HandleKey(ChartKey::Right, view);
    EXPECT_EQ(model.CursorBar(range), 1999u);
    EXPECT_EQ(model.CursorState().x, 962);  // the plot's right edge
    for (size_t bar = 1999; bar-- > 500;) {
        model.HandleKey(ChartKey::Left, view);
        ASSERT_EQ(model.CursorBar(range), bar);
    }
    model.HandleKey(ChartKey::End, view);
    EXPECT_EQ(model.CursorBar(range), 1999u);
}

TEST(PointerToBar, OneBarPerColumn) {
    const chart::Geometry g =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    const ImageSeries series = Bars(300);
    chart::ViewRequest request;
    request.viewEndDate = 0xFFFFFFFFu;
    request.plotWidth = 900;

    // Level 4 (w 6, g 4): boundaries b(i) = 62 + 10i - 2 + 1.
    request.zoom = 4;
    const chart::ViewRange four = chart::ResolveView(series.View(), request);
    auto column = [&](const chart::ViewRange& r, int x) {
        return chart::PointerToBar(g, r, x)->column;
    };
    EXPECT_EQ(column(four, 63), 0);
    EXPECT_EQ(column(four, 71), 0);
    EXPECT_EQ(column(four, 72), 1);
    EXPECT_EQ(column(four, 956), 89);
    EXPECT_EQ(column(four, 961), 89);  // right of the last boundary: the last column

    // Level 0 (w 67, g 23): b(i) = 62 + 90i - 11 + 1.
    request.zoom = 0;
    const chart::ViewRange zero = chart::ResolveView(series.View(), request);
    EXPECT_EQ(column(zero, 96), 0);
    EXPECT_EQ(column(zero, 142), 0);
    EXPECT_EQ(column(zero, 143), 1);
    EXPECT_EQ(column(zero, 906), 9);

    // Width 1: b(i) = 62 + i, so a column's own centre selects it.
    request.zoom = 8;
    const chart::ViewRange eight = chart::ResolveView(series.View(), request);
    EXPECT_EQ(column(eight, 63), 0);
    EXPECT_EQ(column(eight, 64), 0);
    EXPECT_EQ(column(eight, 65), 1);
    EXPECT_EQ(column(eight, chart::ColumnX(g, eight.step, 123)), 123);
}

TEST(PointerToBar, ManyBarsPerColumnFollowTheColumnFormula) {
    const chart::Geometry g =
        chart::MakeGeometry(chart::kDefaultChartRect, chart::LowerPanelSize::Normal);
    const ImageSeries series = Bars(2000);
    chart::ViewRequest request;
    request.zoom = 10;
    request.viewEndDate = 0xFFFFFFFFu;
    request.plotWidth = 900;
    const chart::ViewRange r = chart::ResolveView(series.View(), request);
    // i counted from x in pitches from plot left + w/2; bar index 0 for i = 0
    // and 1, else (i - 2) f + min(i - 1, r + 1).
    for (int i = 1; i < 900; ++i) {
        const size_t expected =
            i < 2 ? 0
                  : static_cast<size_t>((i - 2) * r.perColumn + std::min(i - 1, r.remainder + 1));
        ASSERT_EQ(chart::PointerToBar(g, r, 62 + i)->relative, expected) << i;
    }
    // It is the bar drawn at that x.
    EXPECT_EQ(chart::PointerToBar(g, r, chart::ColumnX(g, r.step, 700))->relative,
              r.ColumnStart(700));
}

TEST(MouseMove, InsideThePlotAndLeavingIt) {
    const ImageSeries series = Bars(300);
    const data::SeriesView view = series.View();
    ChartModel model;
    model.Open({});
    // Strictly inside: 62 < x < 962, 28 < y < 367.
    EXPECT_EQ(model.MouseMove(62, 100, view), ChartRequest::None);
    EXPECT_EQ(model.MouseMove(63, 100, view), ChartRequest::CursorMoved);
    EXPECT_EQ(model.CursorState().x, 63);
    EXPECT_EQ(model.CursorState().y, 100);
    EXPECT_EQ(model.MouseMove(500, 366, view), ChartRequest::CursorMoved);
    EXPECT_EQ(model.CursorState().column, 43);  // b(44) = 501 >= 500
    EXPECT_EQ(model.CursorBar(model.Resolve(view)), 253u);
    // Leaving: the cursor goes and the chart area is repainted once.
    EXPECT_EQ(model.MouseMove(500, 367, view), ChartRequest::CursorLeft);
    EXPECT_FALSE(model.HasCursor());
    EXPECT_EQ(model.MouseMove(962, 100, view), ChartRequest::None);
    EXPECT_EQ(model.MouseMove(300, 28, view), ChartRequest::None);
    // The bar under the pointer stays remembered for the keys.
    EXPECT_EQ(model.CursorState().column, 43);

    // A zoom under the pointer keeps the cursor on the bar at the pointer.
    model.MouseMove(956, 200, view);
    EXPECT_EQ(model.CursorBar(model.Resolve(view)), 299u);
    model.Navigate(NavButton::ZoomIn, view);
    EXPECT_EQ(model.CursorBar(model.Resolve(view)), 299u);
    EXPECT_EQ(model.CursorState().column, 49);
}

}  // namespace
