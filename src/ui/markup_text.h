// The renderer of help, explanation and report texts. Markup in the GBK text:
//   "/c" + nine digits RRRGGGBBB  colour for what follows
//   "/h{title}"                   a heading at the heading offsets (font 19)
//   "/n"                          line break
// A space advances two columns and draws nothing; a two-byte character takes
// two columns and is never split; lines wrap at the column limit. Nothing is
// clipped to the box: callers choose the top offset and split long texts into
// pages (FitsInBox tells whether a page did fit).
#pragma once

#include <optional>
#include <string_view>

#include "ui/canvas.h"

namespace ui {

// The layout of one marked-up text. Callers keep the one they used last in a
// record of their own so that other code can add lines under the text or draw
// it again.
struct MarkupLayout {
    int boxX = 0;
    int boxY = 0;
    int boxWidth = 0;
    int boxHeight = 0;
    int headingXOffset = 0;  // the heading is drawn only when both offsets are non-zero
    int headingYOffset = 0;
    int indent = 0;          // text start x = box x + indent
    int topOffset = 0;       // first line y = box y + top offset (may be negative)
    int columnsPerLine = 0;  // half-width columns
    int lineHeight = 0;
    int columnWidth = 0;  // pixels per half-width column
    int fontCode = 0;     // body font size code

    bool operator==(const MarkupLayout&) const = default;
};

struct MarkupResult {
    // The y of the last line a character was drawn on (LastTextLineY); none
    // when the text drew no character.
    std::optional<int> lastTextLineY;
};

inline constexpr Rgb kMarkupBoxBorder{0, 0, 90};
inline constexpr int kHeadingFont = 19;
inline constexpr size_t kMaxHeadingBytes = 29;

// Draws the box and the text. The text ends at its first NUL or at the end of
// the view, whichever comes first; nothing past it is read.
MarkupResult DrawMarkupText(Canvas& canvas, std::string_view gbkText, const MarkupLayout& layout);

// Whether the last line drawn lies wholly inside the box (its line height
// ends at or above the box bottom). A text that drew nothing fits.
bool FitsInBox(const MarkupLayout& layout, const MarkupResult& result);

}  // namespace ui
