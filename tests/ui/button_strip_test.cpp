#include "ui/button_strip.h"

#include <gtest/gtest.h>

#include <string>

#include "base/gbk.h"
#include "ui/recording_canvas.h"

namespace {

using ui::ButtonStrip;

std::string Utf8(std::string_view gbk) {
    return base::GbkToUtf8(gbk);
}

ButtonStrip SetupStrip(int count) {
    ButtonStrip strip;
    for (int n = 1; n <= count; ++n) strip.buttons.push_back({false, 10 * n, 0, 10 * n + 8, 8, n});
    strip.captions = base::Utf8ToGbk(ui::kSetupDialogCaptions);
    return strip;
}

std::vector<int> VisibleButtons(const ButtonStrip& strip) {
    std::vector<int> visible;
    for (int n = 1; n <= strip.Count(); ++n)
        if (strip.buttons[n - 1].visible) visible.push_back(n);
    return visible;
}

TEST(ButtonCaptions, LookedUpByTagLetter) {
    EXPECT_EQ(ui::ButtonTagLetter(1), 'a');
    EXPECT_EQ(ui::ButtonTagLetter(26), 'z');
    EXPECT_EQ(ui::ButtonTagLetter(27), 'A');
    EXPECT_EQ(ui::ButtonTagLetter(37), 'K');
    EXPECT_EQ(ui::ButtonTagLetter(0), '\0');
    EXPECT_EQ(ui::ButtonTagLetter(53), '\0');

    const ButtonStrip main = ui::MainStrip();
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 1)), "板块扫描");
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 5)), "账户资金奔跑");
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 9)), "×");
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 12)), "原理设置");
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 17)), "↑");
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 18)), "↓");
    EXPECT_EQ(Utf8(ui::ButtonCaption(main, 21)), "查询");  // the list ends without a space
    EXPECT_EQ(ui::ButtonCaption(main, 22), "");            // no 'v' in the list

    const ButtonStrip setup = SetupStrip(37);
    EXPECT_EQ(Utf8(ui::ButtonCaption(setup, 1)), "确定");
    EXPECT_EQ(Utf8(ui::ButtonCaption(setup, 18)), "还原");
    EXPECT_EQ(ui::ButtonCaption(setup, 19), "");  // "s " has an empty caption
    EXPECT_EQ(Utf8(ui::ButtonCaption(setup, 20)), "设置");
    EXPECT_EQ(Utf8(ui::ButtonCaption(setup, 27)), "设置");
    EXPECT_EQ(Utf8(ui::ButtonCaption(setup, 37)), "全部还原");
}

TEST(ButtonCaptions, SecondBytesOfCharactersAreNotTagsAndLongCaptionsAreCut) {
    // 0x81 0x62 is one GBK character whose second byte reads as 'b'.
    ButtonStrip strip;
    strip.captions = "a\x81\x62X b" + base::Utf8ToGbk("好") + " c";
    EXPECT_EQ(ui::ButtonCaption(strip, 1), "\x81\x62X");
    EXPECT_EQ(Utf8(ui::ButtonCaption(strip, 2)), "好");
    EXPECT_EQ(ui::ButtonCaption(strip, 3), "");

    strip.captions = "a" + std::string(200, 'x') + " b";
    EXPECT_EQ(ui::ButtonCaption(strip, 1), std::string(160, 'x'));

    // 160 bytes, but never half a character: "y" plus 79 characters.
    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += base::Utf8ToGbk("中");
    strip.captions = "ay" + chinese;
    EXPECT_EQ(ui::ButtonCaption(strip, 1), "y" + chinese.substr(0, 158));
}

TEST(ButtonMask, ScreensChooseTheirButtons) {
    ButtonStrip main = ui::MainStrip();
    EXPECT_EQ(main.Count(), 21);
    EXPECT_EQ(VisibleButtons(main).size(), 21u);

    main.mask = ui::kSectorHomeMask;
    ui::ApplyButtonMask(main);
    EXPECT_EQ(VisibleButtons(main), (std::vector<int>{1, 2, 3, 4, 5, 6, 10, 11, 12, 19, 20, 21}));

    main.mask = ui::kPickingScreenMask;
    ui::ApplyButtonMask(main);
    EXPECT_EQ(VisibleButtons(main), (std::vector<int>{7, 8, 9, 10, 11, 12, 14, 15}));

    // Outside the chart screen 17 and 18 go, whatever the mask says.
    for (int mode : {0, 2}) {
        main.mask = ui::kAllButtons;
        ui::ApplyMainStripMask(main, mode);
        const auto visible = VisibleButtons(main);
        EXPECT_EQ(visible.size(), 19u) << mode;
        EXPECT_FALSE(main.buttons[16].visible);
        EXPECT_FALSE(main.buttons[17].visible);
        EXPECT_TRUE(main.buttons[15].visible);
        EXPECT_TRUE(main.buttons[18].visible);
    }
    main.mask = ui::kAllButtons;
    ui::ApplyMainStripMask(main, 3);
    EXPECT_EQ(VisibleButtons(main).size(), 21u);

    // Past 32 there is no mask bit: never visible.
    ButtonStrip setup = SetupStrip(37);
    setup.mask = ui::kAllButtons;
    ui::ApplyButtonMask(setup);
    EXPECT_EQ(VisibleButtons(setup).size(), 32u);
    EXPECT_TRUE(setup.buttons[31].visible);
    EXPECT_FALSE(setup.buttons[32].visible);
    setup.mask = 1u << 31;
    ui::ApplyButtonMask(setup);
    EXPECT_EQ(VisibleButtons(setup), (std::vector<int>{32}));
}

TEST(ButtonHits, FirstVisibleButtonWithEdgesIncluded) {
    ButtonStrip main = ui::MainStrip();
    // Button 1 is (470,661)-(533,679), all edges inside.
    EXPECT_EQ(ui::ButtonAt(main, 470, 661), 1);
    EXPECT_EQ(ui::ButtonAt(main, 533, 679), 1);
    EXPECT_EQ(ui::ButtonAt(main, 534, 679), std::nullopt);
    EXPECT_EQ(ui::ButtonAt(main, 470, 660), std::nullopt);

    // (990,540) is in button 6 (909..1000) and in button 7 (980..1001).
    EXPECT_EQ(ui::ButtonAt(main, 990, 540), 6);
    main.mask = ui::kPickingScreenMask;
    ui::ApplyButtonMask(main);
    EXPECT_EQ(ui::ButtonAt(main, 990, 540), 7);
    // 13 and 14 share the rows 562..563; 13 is hidden on the picking screen.
    EXPECT_EQ(ui::ButtonAt(main, 700, 550), std::nullopt);
    EXPECT_EQ(ui::ButtonAt(main, 700, 562), 14);
    main.mask = ui::kAllButtons;
    ui::ApplyButtonMask(main);
    EXPECT_EQ(ui::ButtonAt(main, 700, 563), 13);
    EXPECT_EQ(ui::ButtonAt(main, 700, 564), 14);

    main.mask = ui::kSectorHomeMask;
    ui::ApplyButtonMask(main);
    EXPECT_EQ(ui::ButtonAt(main, 990, 610), std::nullopt);  // button 9, hidden
    EXPECT_EQ(ui::ClickedCommand(main, 500, 670), 17);
    EXPECT_EQ(ui::ClickedCommand(main, 600, 670), 41);
    EXPECT_EQ(ui::ClickedCommand(main, 720, 660), 32);
}

TEST(ButtonHits, CommandsOutsideTheDispatchedRangeSwallowTheClick) {
    ButtonStrip strip;
    strip.buttons = {{true, 0, 0, 10, 10, 16},
                     {true, 0, 0, 10, 10, 20},
                     {true, 20, 0, 30, 10, 77},
                     {true, 40, 0, 50, 10, 78}};
    EXPECT_EQ(ui::ClickedCommand(strip, 5, 5), std::nullopt);
    EXPECT_EQ(ui::ClickedCommand(strip, 25, 5), 77);
    EXPECT_EQ(ui::ClickedCommand(strip, 45, 5), std::nullopt);
    EXPECT_EQ(ui::ClickedCommand(strip, 15, 5), std::nullopt);
}

TEST(ButtonStripDrawing, VisibleButtonsWithCaptionsFourPixelsIn) {
    ButtonStrip main = ui::MainStrip();
    main.mask = ui::kSectorHomeMask | ui::kChartOnlyButtons;
    ui::ApplyMainStripMask(main, 3);
    ui::RecordingCanvas canvas;
    canvas.SetCharSpacing(-1);
    canvas.Clear();
    ui::DrawButtonStrip(canvas, main);

    ASSERT_FALSE(canvas.Calls().empty());
    EXPECT_EQ(canvas.Calls().front().kind, ui::DrawKind::CharSpacing);
    EXPECT_EQ(canvas.CharSpacing(), 0);

    const auto boxes = canvas.Of(ui::DrawKind::RoundRect);
    const auto texts = canvas.Texts();
    ASSERT_EQ(boxes.size(), 14u);
    ASSERT_EQ(texts.size(), 14u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.colour, (ui::Rgb{30, 0, 0}));
        EXPECT_EQ(box.fill, (ui::Rgb{208, 227, 255}));
        EXPECT_EQ(box.ellipseWidth, 5);
    }
    for (const auto& text : texts) {
        EXPECT_EQ(text.fontCode, 13);
        EXPECT_EQ(text.colour, (ui::Rgb{120, 8, 8}));
        EXPECT_EQ(text.charSpacing, 0);
    }
    EXPECT_EQ(boxes[0].left, 470);
    EXPECT_EQ(boxes[0].top, 661);
    EXPECT_EQ(boxes[0].right, 533);
    EXPECT_EQ(boxes[0].bottom, 679);
    EXPECT_EQ(texts[0].utf8, "板块扫描");
    EXPECT_EQ(texts[0].x(), 474);
    EXPECT_EQ(texts[0].y(), 664);

    // Buttons 17 and 18 (left edge 860) write their arrows at the edge itself.
    const auto up = canvas.FindText("↑");
    ASSERT_TRUE(up);
    EXPECT_EQ(up->x(), 860);
    EXPECT_EQ(up->y(), 286);
    const auto down = canvas.FindText("↓");
    ASSERT_TRUE(down);
    EXPECT_EQ(down->x(), 860);
    EXPECT_EQ(down->y(), 207);
    const auto query = canvas.FindText("查询");
    ASSERT_TRUE(query);
    EXPECT_EQ(query->x(), 708);
    EXPECT_EQ(query->y(), 661);
}

TEST(ButtonHover, EnterHighlightsLeaveRestoresBothAskForARepaint) {
    ButtonStrip main = ui::MainStrip();
    main.mask = ui::kSectorHomeMask;
    ui::ApplyButtonMask(main);
    ui::StripHover hover;
    ui::RecordingCanvas canvas;

    EXPECT_FALSE(hover.Track(canvas, main, 10, 10));
    EXPECT_TRUE(canvas.Calls().empty());

    EXPECT_TRUE(hover.Track(canvas, main, 480, 670));
    EXPECT_EQ(hover.Highlighted(), 1);
    auto boxes = canvas.Of(ui::DrawKind::RoundRect);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].fill, (ui::Rgb{0, 79, 174}));
    EXPECT_EQ(boxes[0].colour, (ui::Rgb{30, 0, 0}));
    EXPECT_EQ(boxes[0].left, 470);
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].utf8, "板块扫描");
    EXPECT_EQ(canvas.Texts()[0].colour, ui::kWhite);
    EXPECT_EQ(canvas.Texts()[0].x(), 474);

    // Moving inside, right up to the edges, changes nothing.
    canvas.Clear();
    EXPECT_FALSE(hover.Track(canvas, main, 500, 675));
    EXPECT_FALSE(hover.Track(canvas, main, 533, 679));
    EXPECT_TRUE(canvas.Calls().empty());

    EXPECT_TRUE(hover.Track(canvas, main, 534, 679));
    EXPECT_EQ(hover.Highlighted(), std::nullopt);
    boxes = canvas.Of(ui::DrawKind::RoundRect);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].fill, (ui::Rgb{208, 227, 255}));
    ASSERT_EQ(canvas.Texts().size(), 1u);
    EXPECT_EQ(canvas.Texts()[0].colour, (ui::Rgb{120, 8, 8}));

    // From one button straight into another: restore, then highlight.
    main.mask = ui::kAllButtons;
    ui::ApplyButtonMask(main);
    canvas.Clear();
    EXPECT_TRUE(hover.Track(canvas, main, 700, 550));
    EXPECT_EQ(hover.Highlighted(), 13);
    canvas.Clear();
    EXPECT_FALSE(hover.Track(canvas, main, 700, 563));  // still inside 13
    EXPECT_TRUE(hover.Track(canvas, main, 700, 570));
    EXPECT_EQ(hover.Highlighted(), 14);
    boxes = canvas.Of(ui::DrawKind::RoundRect);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].top, 545);
    EXPECT_EQ(boxes[0].fill, (ui::Rgb{208, 227, 255}));
    EXPECT_EQ(boxes[1].top, 562);
    EXPECT_EQ(boxes[1].fill, (ui::Rgb{0, 79, 174}));

    // A highlighted button hidden by a new screen is forgotten, not drawn.
    main.mask = ui::kSectorHomeMask;
    ui::ApplyButtonMask(main);
    canvas.Clear();
    EXPECT_FALSE(hover.Track(canvas, main, 700, 570));
    EXPECT_EQ(hover.Highlighted(), std::nullopt);
    EXPECT_TRUE(canvas.Calls().empty());
}

}  // namespace
