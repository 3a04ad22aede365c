#include "ui/markup_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/gbk.h"
#include "ui/recording_canvas.h"

namespace {

using ui::DrawCall;
using ui::MarkupLayout;
using ui::Rgb;

// The help-page values: text starts at x = 71 + 17 = 88, first line y = 47 + 21 = 68.
constexpr MarkupLayout kLayout = {
    .boxX = 71,
    .boxY = 47,
    .boxWidth = 881,
    .boxHeight = 296,
    .headingXOffset = 171,
    .headingYOffset = 12,
    .indent = 17,
    .topOffset = 21,
    .columnsPerLine = 121,
    .lineHeight = 22,
    .columnWidth = 7,
    .fontCode = 15,
};
constexpr int kX = 88;
constexpr int kY = 68;

std::string Gbk(const std::string& utf8) {
    return base::Utf8ToGbk(utf8);
}

struct Drawn {
    ui::RecordingCanvas canvas;
    ui::MarkupResult result;
    std::vector<DrawCall> texts;
};

Drawn Render(std::string_view gbk, const MarkupLayout& layout = kLayout) {
    Drawn drawn;
    drawn.result = ui::DrawMarkupText(drawn.canvas, gbk, layout);
    drawn.texts = drawn.canvas.Texts();
    return drawn;
}

void ExpectAt(const DrawCall& call, int x, int y, const std::string& utf8) {
    EXPECT_EQ(call.x(), x) << utf8;
    EXPECT_EQ(call.y(), y) << utf8;
    EXPECT_EQ(call.utf8, utf8);
}

std::string Letters(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

TEST(MarkupText, BoxThenCharactersOneByOneInTheBodyFont) {
    const Drawn drawn = Render(Gbk("A中"));
    const auto& calls = drawn.canvas.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, ui::DrawKind::RoundRect);
    EXPECT_EQ(calls[0].left, 71);
    EXPECT_EQ(calls[0].top, 47);
    EXPECT_EQ(calls[0].right, 952);
    EXPECT_EQ(calls[0].bottom, 343);
    EXPECT_EQ(calls[0].colour, (Rgb{0, 0, 90}));
    EXPECT_EQ(calls[0].fill, ui::kWhite);
    EXPECT_EQ(calls[0].ellipseWidth, 10);
    ExpectAt(drawn.texts[0], kX, kY, "A");
    ExpectAt(drawn.texts[1], kX + 7, kY, "中");
    for (const auto& text : drawn.texts) {
        EXPECT_EQ(text.fontCode, 15);
        EXPECT_EQ(text.colour, ui::kBlack);  // black until a colour tag
    }
    EXPECT_EQ(drawn.result.lastTextLineY, kY);
}

TEST(MarkupText, ColourTagsStayInForceAndDoNotMoveThePen) {
    const Drawn drawn = Render(Gbk("/c255000000中A/c000000090B中"));
    ASSERT_EQ(drawn.texts.size(), 4u);
    ExpectAt(drawn.texts[0], kX, kY, "中");
    EXPECT_EQ(drawn.texts[0].colour, (Rgb{255, 0, 0}));
    ExpectAt(drawn.texts[1], kX + 14, kY, "A");
    EXPECT_EQ(drawn.texts[1].colour, (Rgb{255, 0, 0}));
    ExpectAt(drawn.texts[2], kX + 21, kY, "B");
    EXPECT_EQ(drawn.texts[2].colour, (Rgb{0, 0, 90}));
    EXPECT_EQ(drawn.texts[3].colour, (Rgb{0, 0, 90}));
}

TEST(MarkupText, MalformedColourDigitsAreReadGroupByGroup) {
    // Each three-byte group gives its leading digits, 0 without any; the nine
    // bytes are consumed even when they hold markup.
    Drawn drawn = Render("/c2x5000abcZ/c12 0a0001Y/c1/n000000Q");
    ASSERT_EQ(drawn.texts.size(), 3u);
    ExpectAt(drawn.texts[0], kX, kY, "Z");
    EXPECT_EQ(drawn.texts[0].colour, (Rgb{2, 0, 0}));
    EXPECT_EQ(drawn.texts[1].colour, (Rgb{12, 0, 1}));
    ExpectAt(drawn.texts[2], kX + 14, kY, "Q");  // the "/n" inside the tag broke nothing
    EXPECT_EQ(drawn.texts[2].colour, (Rgb{1, 0, 0}));

    // A component cannot pass 255.
    drawn = Render("/c999300256K");
    ASSERT_EQ(drawn.texts.size(), 1u);
    EXPECT_EQ(drawn.texts[0].colour, (Rgb{255, 255, 255}));
}

TEST(MarkupText, ColourTagCutShortEndsTheText) {
    for (const char* text : {"A/c25500", "A/c", "A/c12345678"}) {
        const Drawn drawn = Render(text);
        ASSERT_EQ(drawn.texts.size(), 1u) << text;
        EXPECT_EQ(drawn.texts[0].utf8, "A");
    }
    // The NUL ends the text, even inside a tag.
    const Drawn drawn =
        Render(std::string_view("A/c1234\0"
                                "56789B",
                                14));
    ASSERT_EQ(drawn.texts.size(), 1u);
}

TEST(MarkupText, LatinLettersFillExactlyTheColumnsPerLine) {
    const Drawn drawn = Render(Letters(122));
    ASSERT_EQ(drawn.texts.size(), 122u);
    EXPECT_EQ(drawn.texts[0].x(), kX);
    EXPECT_EQ(drawn.texts[119].x(), kX + 119 * 7);
    EXPECT_EQ(drawn.texts[120].x(), kX + 120 * 7);  // the 121st, x = 928
    EXPECT_EQ(drawn.texts[120].y(), kY);
    EXPECT_EQ(drawn.texts[121].x(), kX);  // the 122nd starts line 2
    EXPECT_EQ(drawn.texts[121].y(), kY + 22);
    EXPECT_EQ(drawn.result.lastTextLineY, kY + 22);

    // The 121st letter wraps the pen, but its own line is still the first.
    EXPECT_EQ(Render(Letters(121)).result.lastTextLineY, kY);
}

TEST(MarkupText, TwoByteCharacterPastTheLimitStaysOnItsLine) {
    // 60 characters bring the counter to 121; the 61st is drawn on the same
    // line (counter 123 > 121) and the 62nd starts the next one.
    std::string text;
    for (int i = 0; i < 62; ++i) text += Gbk("擎");
    const Drawn drawn = Render(text);
    ASSERT_EQ(drawn.texts.size(), 62u);
    EXPECT_EQ(drawn.texts[59].x(), kX + 59 * 14);
    ExpectAt(drawn.texts[60], kX + 60 * 14, kY, "擎");
    ExpectAt(drawn.texts[61], kX, kY + 22, "擎");
    for (const auto& call : drawn.texts) EXPECT_EQ(call.gbk.size(), 2u);  // never split

    // After an odd number of half-width columns the character still goes whole
    // to the end of the line.
    const Drawn odd = Render(Letters(119) + Gbk("擎擎"));
    ASSERT_EQ(odd.texts.size(), 121u);
    ExpectAt(odd.texts[119], kX + 119 * 7, kY, "擎");
    ExpectAt(odd.texts[120], kX, kY + 22, "擎");
}

TEST(MarkupText, LineBreaksAndSpaces) {
    // "/n/n" leaves one empty line; a space is two columns and draws nothing.
    Drawn drawn = Render(Gbk("A/n/n  B C/nD"));
    ASSERT_EQ(drawn.texts.size(), 4u);
    ExpectAt(drawn.texts[0], kX, kY, "A");
    ExpectAt(drawn.texts[1], kX + 28, kY + 44, "B");
    ExpectAt(drawn.texts[2], kX + 28 + 7 + 14, kY + 44, "C");
    ExpectAt(drawn.texts[3], kX, kY + 66, "D");

    // A space at the end of a line wraps without drawing: 120 letters and a
    // space take the counter to 123.
    drawn = Render(Letters(120) + " Z");
    ASSERT_EQ(drawn.texts.size(), 121u);
    ExpectAt(drawn.texts[120], kX, kY + 22, "Z");
    // 118 letters and a space end at counter 121: no wrap, Z is column 121.
    drawn = Render(Letters(118) + " Z");
    ExpectAt(drawn.texts[118], kX + 120 * 7, kY, "Z");

    // A break right after an automatic wrap makes an empty line.
    drawn = Render(Letters(121) + "/nZ");
    ExpectAt(drawn.texts[121], kX, kY + 44, "Z");
}

TEST(MarkupText, SlashBeforeAnyOtherByteIsAnOrdinaryCharacter) {
    const Drawn drawn = Render("a/b//c000000255x/");
    ASSERT_EQ(drawn.texts.size(), 6u);
    ExpectAt(drawn.texts[0], kX, kY, "a");
    ExpectAt(drawn.texts[1], kX + 7, kY, "/");
    ExpectAt(drawn.texts[2], kX + 14, kY, "b");
    ExpectAt(drawn.texts[3], kX + 21, kY, "/");  // "//" draws one slash, then a colour tag
    ExpectAt(drawn.texts[4], kX + 28, kY, "x");
    EXPECT_EQ(drawn.texts[4].colour, (Rgb{0, 0, 255}));
    ExpectAt(drawn.texts[5], kX + 35, kY, "/");  // a slash at the very end
}

TEST(MarkupText, HeadingsNeedBothOffsetsAndLeaveThePenWhereItWas) {
    const std::string text = Gbk("/c120000000/h{板块擎宇}A");
    Drawn drawn = Render(text);
    ASSERT_EQ(drawn.texts.size(), 2u);
    ExpectAt(drawn.texts[0], 71 + 171, 47 + 12, "板块擎宇");
    EXPECT_EQ(drawn.texts[0].fontCode, 19);
    EXPECT_EQ(drawn.texts[0].colour, (Rgb{120, 0, 0}));
    ExpectAt(drawn.texts[1], kX, kY, "A");
    EXPECT_EQ(drawn.result.lastTextLineY, kY);

    for (auto [dx, dy] : {std::pair{0, 12}, std::pair{171, 0}, std::pair{0, 0}}) {
        MarkupLayout layout = kLayout;
        layout.headingXOffset = dx;
        layout.headingYOffset = dy;
        drawn = Render(text, layout);
        ASSERT_EQ(drawn.texts.size(), 1u) << dx << "," << dy;
        ExpectAt(drawn.texts[0], kX, kY, "A");
    }

    // The opening byte is skipped whatever it is.
    drawn = Render("/h(Title}Z");
    ASSERT_EQ(drawn.texts.size(), 2u);
    EXPECT_EQ(drawn.texts[0].utf8, "Title");
    ExpectAt(drawn.texts[1], kX, kY, "Z");
}

TEST(MarkupText, LongHeadingsAreCutAt29Bytes) {
    // The 30th byte is consumed in place of the brace; the brace is then text.
    Drawn drawn = Render("/h{" + Letters(30) + "}Z");
    ASSERT_EQ(drawn.texts.size(), 3u);
    EXPECT_EQ(drawn.texts[0].utf8, Letters(29));
    ExpectAt(drawn.texts[1], kX, kY, "}");
    ExpectAt(drawn.texts[2], kX + 7, kY, "Z");

    // Exactly 29 bytes: the brace closes it.
    drawn = Render("/h{" + Letters(29) + "}Z");
    ASSERT_EQ(drawn.texts.size(), 2u);
    EXPECT_EQ(drawn.texts[0].utf8, Letters(29));
    ExpectAt(drawn.texts[1], kX, kY, "Z");

    // The cut falls inside the 15th character: the heading shows 14, the 15th's
    // second byte goes in place of the brace.
    std::string title;
    for (int i = 0; i < 15; ++i) title += Gbk("宇");
    drawn = Render("/h{" + title + "}Z");
    ASSERT_EQ(drawn.texts.size(), 3u);
    EXPECT_EQ(drawn.texts[0].gbk, title.substr(0, 28));
    ExpectAt(drawn.texts[1], kX, kY, "}");
    ExpectAt(drawn.texts[2], kX + 7, kY, "Z");
}

TEST(MarkupText, EndOfTextInsideAHeadingEndsBoth) {
    Drawn drawn = Render("A/h{Tit");
    ASSERT_EQ(drawn.texts.size(), 2u);
    EXPECT_EQ(drawn.texts[1].utf8, "Tit");
    EXPECT_EQ(drawn.texts[1].fontCode, 19);
    for (const char* text : {"A/h{", "A/h"}) {
        drawn = Render(text);
        ASSERT_EQ(drawn.texts.size(), 1u) << text;
    }
    drawn = Render(std::string_view("/h{Ti\0tle}Z", 11));
    ASSERT_EQ(drawn.texts.size(), 1u);
    EXPECT_EQ(drawn.texts[0].utf8, "Ti");
}

TEST(MarkupText, NeverReadsPastTheEndOfTheText) {
    // A lead byte as the last byte: half a character is not drawn.
    const std::string text = Gbk("A中");
    Drawn drawn = Render(std::string_view(text.data(), 2));
    ASSERT_EQ(drawn.texts.size(), 1u);
    EXPECT_EQ(drawn.texts[0].utf8, "A");
    EXPECT_EQ(drawn.result.lastTextLineY, kY);

    // Nor before a NUL.
    drawn = Render(std::string_view("B\xD6\0\x90", 4));
    ASSERT_EQ(drawn.texts.size(), 1u);

    // GBK characters whose first byte is below 0xA0 are still one character.
    drawn = Render("\x81\x40Z");
    ASSERT_EQ(drawn.texts.size(), 2u);
    EXPECT_EQ(drawn.texts[0].gbk, "\x81\x40");
    ExpectAt(drawn.texts[1], kX + 14, kY, "Z");
}

TEST(MarkupText, LastTextLineYFollowsTheLastDrawnCharacterOnly) {
    Drawn drawn = Render("");
    EXPECT_EQ(drawn.canvas.Of(ui::DrawKind::RoundRect).size(), 1u);  // the box is drawn
    EXPECT_EQ(drawn.result.lastTextLineY, std::nullopt);
    drawn = Render("   /n/n  /c255000000");
    EXPECT_TRUE(drawn.texts.empty());
    EXPECT_EQ(drawn.result.lastTextLineY, std::nullopt);
    // Spaces and breaks after the last character do not move it.
    drawn = Render("A/n/n" + std::string(130, ' '));
    EXPECT_EQ(drawn.result.lastTextLineY, kY);

    // A negative top offset moves the text up.
    MarkupLayout layout = kLayout;
    layout.topOffset = -9;
    drawn = Render("x/ny", layout);
    EXPECT_EQ(drawn.texts[0].y(), 38);
    EXPECT_EQ(drawn.result.lastTextLineY, 60);
}

TEST(MarkupText, FitsInBoxWhenTheLastLineEndsAboveTheBoxBottom) {
    // Box bottom 343, line height 22: a line at y 321 fits, one at 322 does not.
    MarkupLayout layout = kLayout;
    EXPECT_TRUE(ui::FitsInBox(layout, {321}));
    EXPECT_FALSE(ui::FitsInBox(layout, {322}));
    EXPECT_TRUE(ui::FitsInBox(layout, {}));

    // 12 lines from y 68 end at 68 + 11 * 22 = 310; a 13th at 332 is out.
    std::string text = "a";
    for (int i = 0; i < 11; ++i) text += "/na";
    EXPECT_TRUE(ui::FitsInBox(layout, Render(text).result));
    EXPECT_FALSE(ui::FitsInBox(layout, Render(text + "/na").result));
}

}  // namespace
