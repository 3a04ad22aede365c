// The help pages of the main strip: "怎样让你的账户资金奔跑？" (command 21),
// "怎样用《板块擎宇》操作板块？" (command 22) and "帮助说明" (commands 41 and
// 42), drawn with the marked-up text renderer. Each topic is split into pages
// that fit the help box; the window switches between them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/canvas.h"
#include "ui/markup_text.h"

namespace ui {

enum class HelpTopic { GrowYourFunds, OperateSectors, General };

// The topic a strip command opens, if it opens one.
std::optional<HelpTopic> HelpTopicForCommand(int command);

// The page title (UTF-8).
std::string_view HelpTitle(HelpTopic topic);
int HelpPageCount(HelpTopic topic);

// The help box and its text grid: the body font (code 15) is 7 pixels per
// half-width column, so 121 columns fill the box less its indent.
inline constexpr MarkupLayout kHelpPageLayout = {
    .boxX = 71,
    .boxY = 47,
    .boxWidth = 881,
    .boxHeight = 296,
    .headingXOffset = 171,
    .headingYOffset = 12,
    .indent = 17,
    .topOffset = 14,
    .columnsPerLine = 121,
    .lineHeight = 21,
    .columnWidth = 7,
    .fontCode = 15,
};

// The frame around the help box.
inline constexpr int kHelpFrameLeft = 47;
inline constexpr int kHelpFrameTop = 30;
inline constexpr int kHelpFrameRight = 975;
inline constexpr int kHelpFrameBottom = 358;
inline constexpr Rgb kHelpFrameColour{202, 235, 254};

// The marked-up GBK text of a page (0-based; out-of-range pages are clamped):
// the title centred in dark red, an empty line, then the paragraphs in dark
// blue, each on a new line and indented by two spaces.
std::string HelpPageText(HelpTopic topic, int page);

// Draws the page frame and the page; stores the layout used in lastLayout (the
// caller's last-text-layout record).
MarkupResult DrawHelpPage(Canvas& canvas, HelpTopic topic, int page, MarkupLayout& lastLayout);

}  // namespace ui
