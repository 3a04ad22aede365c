#include <gtest/gtest.h>

#include "base/gbk.h"
#include "ui/fonts.h"
#include "ui/theme.h"

namespace {

using ui::FontSpec;

TEST(Fonts, SizeCodesAreNotAlwaysPixelHeights) {
    const FontSpec* code14 = ui::FindFont(14);
    ASSERT_NE(code14, nullptr);
    EXPECT_EQ(code14->pixelHeight, 13);
    EXPECT_EQ(code14->weight, 550);
    EXPECT_EQ(*ui::FindFont(12), (FontSpec{12, 12, 0}));
    EXPECT_EQ(*ui::FindFont(13), (FontSpec{13, 13, 600}));
    EXPECT_EQ(*ui::FindFont(15), (FontSpec{15, 14, 550}));
    EXPECT_EQ(*ui::FindFont(16), (FontSpec{16, 15, 550}));
    EXPECT_EQ(*ui::FindFont(19), (FontSpec{19, 19, 550}));
    EXPECT_EQ(*ui::FindFont(25), (FontSpec{25, 25, 1000}));
    EXPECT_EQ(*ui::FindFont(35), (FontSpec{35, 35, 800}));
    for (int code : {0, 11, 17, 18, 20, 36, -1}) EXPECT_EQ(ui::FindFont(code), nullptr) << code;
}

TEST(Fonts, CodeOutsideTheTableKeepsTheLastSelectedFont) {
    ui::FontSelector selector;
    EXPECT_EQ(selector.Current().sizeCode, 12);  // before any text
    EXPECT_EQ(selector.Select(17).sizeCode, 12);
    EXPECT_EQ(selector.Select(15).pixelHeight, 14);
    EXPECT_EQ(selector.Select(17).sizeCode, 15);
    EXPECT_EQ(selector.Select(0).sizeCode, 15);
    EXPECT_EQ(selector.Current().sizeCode, 15);
    EXPECT_EQ(selector.Select(14), (FontSpec{14, 13, 550}));
    EXPECT_EQ(selector.Select(99), (FontSpec{14, 13, 550}));
}

TEST(Fonts, FixedPitchGrid) {
    // Half the pixel height, rounded up: the help pages' 7-pixel columns are
    // code 15, the picking help panel's 8-pixel columns code 16.
    EXPECT_EQ(ui::HalfAdvance(15), 7);
    EXPECT_EQ(ui::HalfAdvance(16), 8);
    EXPECT_EQ(ui::HalfAdvance(12), 6);
    EXPECT_EQ(ui::HalfAdvance(13), 7);
    EXPECT_EQ(ui::HalfAdvance(14), 7);
    EXPECT_EQ(ui::HalfAdvance(19), 10);
    EXPECT_EQ(ui::HalfAdvance(25), 13);
    EXPECT_EQ(ui::HalfAdvance(35), 18);
    EXPECT_EQ(ui::HalfAdvance(77), 6);  // measured as the start font

    const std::string text = "A" + base::Utf8ToGbk("中") + "B";
    const FontSpec& font = *ui::FindFont(15);
    EXPECT_EQ(ui::LayoutGlyphs(font, text),
              (std::vector<ui::GlyphCell>{{0, 1, 0}, {1, 2, 7}, {3, 1, 21}}));
    EXPECT_EQ(ui::TextWidth(15, text), 28);
    // Spacing -1 after every character, a two-byte character counting once.
    EXPECT_EQ(ui::LayoutGlyphs(font, text, -1),
              (std::vector<ui::GlyphCell>{{0, 1, 0}, {1, 2, 6}, {3, 1, 19}}));
    EXPECT_EQ(ui::TextWidth(15, text, -1), 25);
    // A lead byte with nothing after it is a half-width cell of its own.
    EXPECT_EQ(ui::LayoutGlyphs(font, "A\xD6"), (std::vector<ui::GlyphCell>{{0, 1, 0}, {1, 1, 7}}));
    EXPECT_EQ(ui::TextWidth(12, base::Utf8ToGbk("板块擎宇")), 48);
    EXPECT_EQ(ui::TextWidth(12, ""), 0);
}

TEST(Theme, StartsClassicBlackAndSwitchingToTheCurrentThemeDoesNothing) {
    ui::ThemeState theme;
    EXPECT_EQ(theme.Current(), ui::ThemeId::ClassicBlack);
    EXPECT_EQ(theme.Colour(ui::ThemeBackground), (ui::Rgb{0, 0, 0}));
    EXPECT_EQ(theme.Colour(ui::ThemeGrid), (ui::Rgb{76, 14, 14}));
    EXPECT_EQ(theme.Colour(ui::ThemeRise), (ui::Rgb{179, 101, 99}));
    EXPECT_EQ(theme.Colour(ui::ThemeFall), (ui::Rgb{92, 249, 254}));

    EXPECT_FALSE(theme.SwitchTo(ui::ThemeId::ClassicBlack));
    EXPECT_TRUE(theme.SwitchTo(ui::ThemeId::Regular));
    EXPECT_EQ(theme.Current(), ui::ThemeId::Regular);
    EXPECT_EQ(theme.Colour(ui::ThemeBackground), (ui::Rgb{213, 213, 213}));
    EXPECT_EQ(theme.Colour(ui::ThemeGrid), (ui::Rgb{210, 180, 200}));
    EXPECT_EQ(theme.Colour(ui::ThemeRise), (ui::Rgb{210, 0, 0}));
    EXPECT_EQ(theme.Colour(ui::ThemeFall), (ui::Rgb{0, 0, 210}));
    EXPECT_FALSE(theme.SwitchTo(ui::ThemeId::Regular));
    EXPECT_TRUE(theme.SwitchTo(ui::ThemeId::ClassicBlack));

    EXPECT_EQ(ui::ThemeName(ui::ThemeId::ClassicBlack), "经典黑");
    EXPECT_EQ(ui::ThemeName(ui::ThemeId::Regular), "常规");
    EXPECT_EQ(ui::kChartFrameColour, (ui::Rgb{255, 0, 0}));
}

}  // namespace
