#include "ui/drawing.h"

#include <gtest/gtest.h>

#include "pixel_canvas.h"
#include "ui/recording_canvas.h"

namespace {

using uitest::PixelCanvas;
using uitest::Rows;

constexpr ui::Rgb kInk{10, 20, 30};

TEST(Triangles, EachLineSpansPlusMinusItsDistanceFromTheApex) {
    PixelCanvas right(6, 5);
    ui::DrawTriangleRight(right, 4, 2, 3, kInk);
    EXPECT_EQ(right.Picture(0, 0, 6, 5, {{'#', kInk}}),
              Rows({"..#...", "..##..", "..###.", "..##..", "..#..."}));

    PixelCanvas left(6, 5);
    ui::DrawTriangleLeft(left, 1, 2, 3, kInk);
    EXPECT_EQ(left.Picture(0, 0, 6, 5, {{'#', kInk}}),
              Rows({"...#..", "..##..", ".###..", "..##..", "...#.."}));

    PixelCanvas up(5, 4);
    ui::DrawTriangleUp(up, 2, 0, 3, kInk);
    EXPECT_EQ(up.Picture(0, 0, 5, 4, {{'#', kInk}}), Rows({"..#..", ".###.", "#####", "....."}));

    PixelCanvas down(5, 5);
    ui::DrawTriangleDown(down, 2, 3, 3, kInk);
    EXPECT_EQ(down.Picture(0, 0, 5, 5, {{'#', kInk}}),
              Rows({".....", "#####", ".###.", "..#..", "....."}));

    // Size 1 is the apex pixel alone; size 0 draws nothing.
    PixelCanvas tiny(3, 3);
    ui::DrawTriangleRight(tiny, 1, 1, 1, kInk);
    ui::DrawTriangleUp(tiny, 0, 0, 0, kInk);
    EXPECT_EQ(tiny.Picture(0, 0, 3, 3, {{'#', kInk}}), Rows({"...", ".#.", "..."}));
}

TEST(ArrowRight, TriangleAtTheTipAndShaftFromTheFillBoxFormula) {
    // Tip (12,5), head 3, shaft 4 long and 3 thick: the shaft is
    // FillBox(5, 4, 11, 6), i.e. x 5..10 and y 4..5 (T/2 = 1).
    PixelCanvas canvas(16, 10);
    ui::DrawArrowRight(canvas, 12, 5, 3, 4, 3, kInk);
    EXPECT_EQ(canvas.Picture(4, 2, 14, 9, {{'#', kInk}}),
              Rows({"..........", "......#...", ".#######..", ".########.", "......##..",
                    "......#...", ".........."}));

    // The home screen's arrow: tip (276,529), head 8, shaft 17 long, 9 thick.
    PixelCanvas home(300, 560);
    ui::DrawArrowRight(home, 276, 529, 8, 17, 9, kInk);
    EXPECT_EQ(home.At(276, 529), kInk);
    EXPECT_EQ(home.At(277, 529), uitest::kPaper);
    EXPECT_EQ(home.At(269, 522), kInk);  // line 7 of the head: x = 269, y 522..536
    EXPECT_EQ(home.At(269, 536), kInk);
    EXPECT_EQ(home.At(269, 537), uitest::kPaper);
    EXPECT_EQ(home.At(251, 525), kInk);  // shaft x 251..269, y 525..532
    EXPECT_EQ(home.At(250, 525), uitest::kPaper);
    EXPECT_EQ(home.At(251, 524), uitest::kPaper);
    EXPECT_EQ(home.At(251, 532), kInk);
    EXPECT_EQ(home.At(251, 533), uitest::kPaper);
}

TEST(BevelButton, BorderFaceHighlightAndShadowWhereDescribed) {
    // (0,0)-(12,10): highlight x=4 from y 3 to 6 and y=3 from x 4 to 7; shadow
    // y=6 from x 5 to 7 and x=8 from y 4 to 5. Lines leave out their ends.
    const std::string expected =
        Rows({"KKKKKKKKKKKK", "KffffffffffK", "KffffffffffK", "KfffWWWWfffK", "KfffWfffKffK",
              "KfffWfffKffK", "KfffWKKKfffK", "KffffffffffK", "KffffffffffK", "KKKKKKKKKKKK"});

    PixelCanvas plain(12, 10);
    ui::DrawBevelButton(plain, 0, 0, 12, 10);
    EXPECT_EQ(
        plain.Picture(0, 0, 12, 10, {{'K', ui::kBlack}, {'W', ui::kWhite}, {'f', {220, 215, 182}}}),
        expected);

    const ui::Rgb face{200, 100, 50};
    PixelCanvas coloured(12, 10);
    ui::DrawBevelButton(coloured, 0, 0, 12, 10, face);
    EXPECT_EQ(coloured.Picture(0, 0, 12, 10, {{'K', ui::kBlack}, {'W', ui::kWhite}, {'f', face}}),
              expected);

    PixelCanvas grey(12, 10);
    ui::DrawGreyBevelButton(grey, 0, 0, 12, 10, face);
    EXPECT_EQ(grey.Picture(0, 0, 12, 10, {{'K', {112, 112, 112}}, {'W', ui::kWhite}, {'f', face}}),
              expected);
}

TEST(SunkenFields, EdgesAlongTopAndLeftLightLinesAlongRightAndBottom) {
    const ui::Rgb edge{113, 110, 101};
    PixelCanvas field(8, 6);
    ui::DrawSunkenField(field, 0, 0, 8, 6, edge);
    EXPECT_EQ(field.Picture(0, 0, 8, 6, {{'E', edge}, {'W', ui::kWhite}, {'G', {197, 197, 197}}}),
              Rows({"EEEEEEEE", "EEEEEEEE", "EEWWWWWG", "EEWWWWWG", "EEWWWWWG", "EEGGGGGG"}));

    PixelCanvas panel(8, 6);
    ui::DrawSunkenPanelField(panel, 0, 0, 8, 6, edge);
    EXPECT_EQ(panel.Picture(0, 0, 8, 6, {{'E', edge}, {'W', ui::kWhite}, {'B', {236, 233, 216}}}),
              Rows({"EEEEEEEE", "EBBBBBBW", "EBBBBBBW", "EBBBBBBW", "EBBBBBBW", "EWWWWWWW"}));
}

TEST(BoxesAndFrames, OutlinesAsGdiDrawsThem) {
    const ui::Rgb fill{50, 60, 70};
    PixelCanvas box(6, 5);
    ui::DrawBox(box, 1, 1, 5, 4, kInk, fill);
    EXPECT_EQ(box.Picture(0, 0, 6, 5, {{'P', kInk}, {'F', fill}}),
              Rows({"......", ".PPPP.", ".PFFP.", ".PPPP.", "......"}));

    // The outline form fills with the canvas's default brush, white.
    PixelCanvas outline(6, 5);
    ui::DrawBoxOutline(outline, 1, 1, 5, 4, kInk);
    EXPECT_EQ(outline.Picture(0, 0, 6, 5, {{'P', kInk}, {'W', ui::kWhite}}),
              Rows({"......", ".PPPP.", ".PWWP.", ".PPPP.", "......"}));

    // Four lines between the corners; each leaves out its end, so the
    // bottom-right corner stays blank.
    PixelCanvas frame(8, 6);
    ui::DrawFrameLines(frame, 1, 1, 6, 4, kInk);
    EXPECT_EQ(frame.Picture(0, 0, 8, 6, {{'#', kInk}}),
              Rows({"........", ".######.", ".#....#.", ".#....#.", ".#####..", "........"}));
}

TEST(RoundBoxes, CornerSizesAndDefaultFill) {
    ui::RecordingCanvas canvas;
    const ui::Rgb pen{1, 2, 3};
    const ui::Rgb fill{4, 5, 6};
    ui::DrawRoundBox(canvas, 10, 20, 30, 40, pen, fill);
    ui::DrawRoundBoxSmall(canvas, 10, 20, 30, 40, pen, fill);
    ui::DrawRoundBoxCorner(canvas, 10, 20, 30, 40, pen, fill, 35, 25);
    ui::DrawRoundOutline(canvas, 10, 20, 30, 40, pen);

    const auto calls = canvas.Of(ui::DrawKind::RoundRect);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].ellipseWidth, 10);
    EXPECT_EQ(calls[1].ellipseWidth, 5);
    EXPECT_EQ(calls[1].ellipseHeight, 5);
    EXPECT_EQ(calls[2].ellipseWidth, 35);
    EXPECT_EQ(calls[2].ellipseHeight, 25);
    EXPECT_EQ(calls[3].ellipseHeight, 10);
    EXPECT_EQ(calls[3].fill, ui::kWhite);
    for (const auto& call : calls) {
        EXPECT_EQ(call.colour, pen);
        EXPECT_EQ(call.left, 10);
        EXPECT_EQ(call.bottom, 40);
    }
    EXPECT_EQ(calls[0].fill, fill);
}

TEST(Text, DrawTextAtStopsAtNulAndNumbersAreDecimal) {
    ui::RecordingCanvas canvas;
    ui::DrawTextAt(canvas, 14, 5, 6, kInk, std::string_view("AB\0CD", 5));
    ui::DrawTextAt(canvas, 14, 5, 6, kInk, "");
    ui::DrawTextAt(canvas, 14, 5, 6, kInk, std::string_view("\0X", 2));
    ui::DrawNumberAt(canvas, 12, 996, 593, {120, 0, 0}, -25);
    ui::DrawNumberAt(canvas, 12, 996, 593, {120, 0, 0}, 100);

    const auto texts = canvas.Texts();
    ASSERT_EQ(texts.size(), 3u);  // empty texts draw nothing
    EXPECT_EQ(texts[0].gbk, "AB");
    EXPECT_EQ(texts[1].utf8, "-25");
    EXPECT_EQ(texts[1].fontCode, 12);
    EXPECT_EQ(texts[1].x(), 996);
    EXPECT_EQ(texts[1].y(), 593);
    EXPECT_EQ(texts[1].colour, (ui::Rgb{120, 0, 0}));
    EXPECT_EQ(texts[2].utf8, "100");
}

TEST(PageFrame, ClearsTheWorkAreasDrawsTwoRoundBoxesAndTheLabels) {
    const ui::Rgb colour{202, 235, 254};
    ui::RecordingCanvas canvas;
    ui::DrawPageFrame(canvas, 47, 30, 975, 358, colour, ui::CodeEntryHint::Shown);

    const auto fills = canvas.Of(ui::DrawKind::FillRect);
    ASSERT_EQ(fills.size(), 3u);
    const int areas[3][4] = {{2, 26, 1022, 379}, {318, 1, 672, 28}, {833, 1, 1022, 28}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fills[i].left, areas[i][0]);
        EXPECT_EQ(fills[i].top, areas[i][1]);
        EXPECT_EQ(fills[i].right, areas[i][2]);
        EXPECT_EQ(fills[i].bottom, areas[i][3]);
        EXPECT_EQ(fills[i].colour, (ui::Rgb{236, 233, 216}));
    }

    const auto boxes = canvas.Of(ui::DrawKind::RoundRect);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].colour, ui::kWhite);
    EXPECT_EQ(boxes[0].fill, ui::kWhite);
    EXPECT_EQ(boxes[0].ellipseWidth, 35);
    EXPECT_EQ(boxes[0].left, 47);
    EXPECT_EQ(boxes[0].bottom, 358);
    EXPECT_EQ(boxes[1].left, 57);
    EXPECT_EQ(boxes[1].top, 40);
    EXPECT_EQ(boxes[1].right, 965);
    EXPECT_EQ(boxes[1].bottom, 348);
    EXPECT_EQ(boxes[1].colour, colour);
    EXPECT_EQ(boxes[1].fill, colour);
    EXPECT_EQ(boxes[1].ellipseHeight, 25);

    const auto hint = canvas.FindText("(点击股票代码或股票名称，可打开K线图)");
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->x(), 388);
    EXPECT_EQ(hint->y(), 360);
    EXPECT_EQ(hint->fontCode, 14);
    EXPECT_EQ(hint->colour, (ui::Rgb{0, 0, 90}));
    const auto label = canvas.FindText("输入股票");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->x(), 969);
    EXPECT_EQ(label->y(), 367);
    EXPECT_EQ(label->fontCode, 12);
    EXPECT_EQ(label->colour, ui::kBlack);

    ui::RecordingCanvas plain;
    ui::DrawPageFrame(plain, 47, 30, 975, 358, colour, ui::CodeEntryHint::Hidden);
    ASSERT_EQ(plain.Texts().size(), 1u);
    EXPECT_EQ(plain.Texts()[0].utf8, "输入股票");
}

}  // namespace
