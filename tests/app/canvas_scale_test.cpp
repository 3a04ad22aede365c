// The canvas at twice the pixels: the same geometry doubled, glyphs drawn at
// the doubled size inside doubled bands.
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "app/qt_canvas.h"
#include "base/gbk.h"
#include "base/recording_prompter.h"
#include "support/small_demo_market.h"
#include "ui/drawing.h"

namespace {

// Whether every pixel of the 1x region is the 2x2 block at double the place.
bool Doubled(const QImage& one, const QImage& two, const QRect& region) {
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    if (two.pixel(2 * x + dx, 2 * y + dy) != one.pixel(x, y)) return false;
    return true;
}

void DrawShapes(ui::Canvas& canvas) {
    canvas.FillRect(0, 0, 120, 80, {0, 0, 0});
    canvas.FillRect(5, 5, 40, 30, {200, 10, 10});
    canvas.DrawLine(3, 70, 110, 12, {255, 255, 0});  // a slanted average line
    canvas.DrawLine(60, 5, 60, 75, {90, 90, 90});
    canvas.DrawRect(70, 40, 115, 78, {0, 200, 200}, ui::Rgb{10, 10, 100});
    ui::DrawTriangleUp(canvas, 30, 60, 5, {255, 0, 0});
}

TEST(CanvasScale, ShapesAtTwiceThePixelsAreTheSameShapesDoubled) {
    app::QtCanvas one(120, 80, 1), two(120, 80, 2);
    DrawShapes(one);
    DrawShapes(two);
    ASSERT_EQ(two.Image().size(), QSize(240, 160));
    EXPECT_EQ(two.Image().devicePixelRatio(), 2.0);
    EXPECT_TRUE(Doubled(one.Image(), two.Image(), QRect(0, 0, 120, 80)));

    // A snapshot put back restores the doubled rectangle only.
    two.SaveSnapshot();
    two.FillRect(0, 0, 120, 80, {1, 2, 3});
    two.RestoreSnapshot(5, 5, 40, 30);
    EXPECT_EQ(two.Image().pixel(10, 10), qRgb(200, 10, 10));
    EXPECT_EQ(two.Image().pixel(79, 59), qRgb(200, 10, 10));
    EXPECT_EQ(two.Image().pixel(80, 60), qRgb(1, 2, 3));
}

TEST(CanvasScale, GlyphsAreDrawnAtTheDoubledSizeInsideTheDoubledBand) {
    const std::string text = base::Utf8ToGbk("收盘价3.82");
    const int width = ui::TextWidth(12, text);
    for (int scale : {1, 2}) {
        app::QtCanvas canvas(200, 40, scale);
        canvas.FillRect(0, 0, 200, 40, {255, 255, 255});
        canvas.DrawText(12, 20, 10, {0, 0, 0}, text);
        const QImage& image = canvas.Image();
        int inkTop = image.height(), inkBottom = -1, inkLeft = image.width(), inkRight = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                    inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
                    inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
                }
        ASSERT_GE(inkBottom, 0) << scale;
        EXPECT_GE(inkTop, 10 * scale) << scale;
        EXPECT_LT(inkBottom, (10 + 12) * scale) << scale;
        EXPECT_GE(inkLeft, 20 * scale) << scale;
        EXPECT_LT(inkRight, (20 + width) * scale) << scale;
        // Drawn at the scaled size, not stretched: at 2x the ink is taller
        // than the 12 pixels a stretched picture would fill with doubled rows.
        if (scale == 2) {
            EXPECT_GT(inkBottom - inkTop, 12);
        }
    }
}

TEST(CanvasScale, TheWindowsChartAtTwiceThePixelsIsTheChartDoubled) {
    auto picture = [](const char* scale) {
        setenv("BKQY_SCALE", scale, 1);
        base::RecordingPrompter prompter;
        app::CMainDlg window(fixture::SmallDemoRoot(), &prompter);
        EXPECT_TRUE(window.Initialise());
        unsetenv("BKQY_SCALE");
        return window.Canvas().Image().copy();
    };
    const QImage one = picture("1");
    const QImage two = picture("2");
    ASSERT_EQ(two.width(), 2 * one.width());
    // The price panel's plot: frame, grid, candles, averages and markers,
    // without the texts of the legend row and the price labels, and left of
    // the lower-panel arrows (buttons with captions) drawn on the chart.
    EXPECT_TRUE(Doubled(one, two, QRect(63, 45, 790, 240)));
    // The tab row's cells and separators under the chart.
    EXPECT_TRUE(Doubled(one, two, QRect(63, 368, 1, 11)));
}

}  // namespace
