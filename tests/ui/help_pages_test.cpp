#include "ui/help_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "base/gbk.h"
#include "ui/recording_canvas.h"

namespace {

using ui::HelpTopic;

constexpr HelpTopic kTopics[] = {HelpTopic::GrowYourFunds, HelpTopic::OperateSectors,
                                 HelpTopic::General};
constexpr ui::Rgb kTitleRed{120, 0, 0};
constexpr ui::Rgb kBodyBlue{0, 0, 90};

bool IsAsciiWordChar(const std::string& glyph) {
    return glyph.size() == 1 && std::isalnum(static_cast<unsigned char>(glyph[0]));
}

// Lines of body text as the renderer wrapped them must read well: no line
// opens with closing punctuation, no Latin word or number is split over two
// lines, and no paragraph ends exactly at the line end (its break would then
// leave an empty line).
void ExpectTidyLines(const std::map<int, std::vector<std::string>>& lines) {
    static const std::vector<std::string> kNoLineStart = {"，", "。", "；", "：", "、",
                                                          "）", "”",  "！", "？", "》"};
    int expectedY = lines.begin()->first;
    const std::vector<std::string>* previous = nullptr;
    for (const auto& [y, glyphs] : lines) {
        EXPECT_EQ(y, expectedY) << "an empty line before y " << y;
        expectedY = y + 21;
        EXPECT_EQ(std::count(kNoLineStart.begin(), kNoLineStart.end(), glyphs.front()), 0)
            << "line " << y << " starts with " << glyphs.front();
        if (previous) {
            EXPECT_FALSE(IsAsciiWordChar(previous->back()) && IsAsciiWordChar(glyphs.front()))
                << "a word split before line " << y;
        }
        previous = &glyphs;
    }
}

std::string WithoutSpaces(std::string text) {
    std::erase(text, ' ');
    return text;
}

TEST(HelpPages, StripCommandsOpenTheirTopics) {
    EXPECT_EQ(ui::HelpTopicForCommand(21), HelpTopic::GrowYourFunds);
    EXPECT_EQ(ui::HelpTopicForCommand(22), HelpTopic::OperateSectors);
    EXPECT_EQ(ui::HelpTopicForCommand(41), HelpTopic::General);
    EXPECT_EQ(ui::HelpTopicForCommand(42), HelpTopic::General);
    for (int command : {17, 20, 23, 40, 43})
        EXPECT_EQ(ui::HelpTopicForCommand(command), std::nullopt);
    EXPECT_EQ(ui::HelpTitle(HelpTopic::GrowYourFunds), "怎样让你的账户资金奔跑？");
    EXPECT_EQ(ui::HelpTitle(HelpTopic::OperateSectors), "怎样用《板块擎宇》操作板块？");
    EXPECT_EQ(ui::HelpTitle(HelpTopic::General), "帮助说明");
}

TEST(HelpPages, EveryPageFitsItsBoxInTheHouseStyle) {
    for (HelpTopic topic : kTopics) {
        const int count = ui::HelpPageCount(topic);
        ASSERT_GE(count, 1);
        for (int page = 0; page < count; ++page) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(topic) << "/" << page);
            const std::string text = ui::HelpPageText(topic, page);
            EXPECT_TRUE(text.starts_with("/c120000000"));
            EXPECT_NE(text.find("/n/c000000090/n  "), std::string::npos);
            // Every character converted; no "?" stands in for a lost one.
            EXPECT_EQ(base::GbkToUtf8(text).find('?'), std::string::npos);

            ui::RecordingCanvas canvas;
            ui::MarkupLayout record;
            const ui::MarkupResult result = ui::DrawHelpPage(canvas, topic, page, record);
            EXPECT_EQ(record, ui::kHelpPageLayout);
            ASSERT_TRUE(result.lastTextLineY);
            EXPECT_TRUE(ui::FitsInBox(record, result)) << *result.lastTextLineY;
            EXPECT_LT(*result.lastTextLineY, 47 + 296);

            // The title line, centred in dark red, then the body in dark blue
            // from the third line on, inside the text grid.
            std::string title;
            std::string body;
            std::map<int, std::vector<std::string>> bodyLines;
            for (const auto& call : canvas.Texts()) {
                if (call.fontCode != 15) continue;  // the page frame's label
                EXPECT_GE(call.x(), 88);
                EXPECT_LE(call.x(), 88 + 120 * 7);
                if (call.colour == kTitleRed) {
                    EXPECT_EQ(call.y(), 61);
                    title += call.utf8;
                } else {
                    EXPECT_EQ(call.colour, kBodyBlue);
                    EXPECT_GE(call.y(), 61 + 2 * 21);
                    body += call.utf8;
                    bodyLines[call.y()].push_back(call.utf8);
                }
            }
            EXPECT_TRUE(title.starts_with(ui::HelpTitle(topic))) << title;
            ASSERT_FALSE(bodyLines.empty());
            ExpectTidyLines(bodyLines);
            // The drawn characters are the text without markup and blanks:
            // no stray "/c", "/h" or "/n" inside the prose.
            const std::string plain = base::GbkToUtf8(text);
            const size_t bodyStart = plain.find("/c000000090") + 11;
            std::string expectedBody = plain.substr(bodyStart);
            for (size_t at; (at = expectedBody.find("/n")) != std::string::npos;)
                expectedBody.erase(at, 2);
            EXPECT_EQ(body, WithoutSpaces(expectedBody));
        }
    }
}

TEST(HelpPages, TitlesAreCentredAndCarryThePageNumber) {
    ui::RecordingCanvas canvas;
    ui::MarkupLayout record;
    ui::DrawHelpPage(canvas, HelpTopic::OperateSectors, 1, record);
    const auto red = canvas.TextsInColour(kTitleRed);
    ASSERT_FALSE(red.empty());
    std::string title;
    for (const auto& call : red) title += call.utf8;
    EXPECT_EQ(title, "怎样用《板块擎宇》操作板块？（二）");
    // 17 characters are 34 columns: (121 - 34) / 4 = 21 leading spaces of two
    // columns each, so the title starts 42 columns in.
    EXPECT_EQ(red.front().x(), 88 + 42 * 7);
}

TEST(HelpPages, FrameUnderTheBoxAndPagesClamped) {
    ui::RecordingCanvas canvas;
    ui::MarkupLayout record;
    ui::DrawHelpPage(canvas, HelpTopic::General, 0, record);
    const auto boxes = canvas.Of(ui::DrawKind::RoundRect);
    ASSERT_EQ(boxes.size(), 3u);  // frame, inner frame, help box
    EXPECT_EQ(boxes[0].left, 47);
    EXPECT_EQ(boxes[0].top, 30);
    EXPECT_EQ(boxes[1].fill, (ui::Rgb{202, 235, 254}));
    EXPECT_EQ(boxes[2].left, 71);
    EXPECT_EQ(boxes[2].bottom, 343);

    const int last = ui::HelpPageCount(HelpTopic::General) - 1;
    EXPECT_EQ(ui::HelpPageText(HelpTopic::General, 99), ui::HelpPageText(HelpTopic::General, last));
    EXPECT_EQ(ui::HelpPageText(HelpTopic::General, -1), ui::HelpPageText(HelpTopic::General, 0));
    EXPECT_NE(ui::HelpPageText(HelpTopic::General, 0), ui::HelpPageText(HelpTopic::General, 1));
}

}  // namespace
