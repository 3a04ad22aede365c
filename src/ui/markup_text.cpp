#include "ui/markup_text.h"

#include <algorithm>

#include "ui/drawing.h"
#include "ui/fonts.h"

namespace ui {
namespace {

constexpr size_t kColourDigits = 9;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal reading of a three-byte group: its leading digits, 0 without
// any. A component cannot go past 255.
uint8_t ColourComponent(std::string_view group) {
    int value = 0;
    for (char c : group) {
        if (!IsDigit(c)) break;
        value = value * 10 + (c - '0');
    }
    return static_cast<uint8_t>(std::min(value, 255));
}

// The title without a two-byte character that the 29-byte cut split.
std::string_view WholeCharacters(std::string_view title) {
    size_t i = 0;
    while (i < title.size()) {
        const size_t length = IsGbkLeadByte(static_cast<unsigned char>(title[i])) ? 2 : 1;
        if (i + length > title.size()) break;
        i += length;
    }
    return title.substr(0, i);
}

// The pen of the renderer: position, column counter and colour.
class Pen {
public:
    Pen(Canvas& canvas, const MarkupLayout& layout)
        : m_canvas(canvas),
          m_layout(layout),
          m_startX(layout.boxX + layout.indent),
          m_x(m_startX),
          m_y(layout.boxY + layout.topOffset) {}

    void SetColour(Rgb colour) { m_colour = colour; }
    Rgb Colour() const { return m_colour; }

    void Draw(std::string_view glyph) {
        DrawTextAt(m_canvas, m_layout.fontCode, m_x, m_y, m_colour, glyph);
        m_result.lastTextLineY = m_y;
        Advance(static_cast<int>(glyph.size()));
    }

    void Space() { Advance(2); }

    void LineBreak() {
        m_column = m_layout.columnsPerLine;
        Advance(1);
    }

    const MarkupResult& Result() const { return m_result; }

private:
    // The wrap rule: past the last column the pen goes to the start of the
    // next line, otherwise it moves on by the columns just taken.
    void Advance(int columns) {
        m_column += columns;
        if (m_column > m_layout.columnsPerLine) {
            m_x = m_startX;
            m_column = 1;
            m_y += m_layout.lineHeight;
        } else {
            m_x += columns * m_layout.columnWidth;
        }
    }

    Canvas& m_canvas;
    const MarkupLayout& m_layout;
    const int m_startX;
    int m_x;
    int m_y;
    int m_column = 1;
    Rgb m_colour = kBlack;
    MarkupResult m_result;
};

}  // namespace

MarkupResult DrawMarkupText(Canvas& canvas, std::string_view gbkText, const MarkupLayout& layout) {
    DrawRoundBox(canvas, layout.boxX, layout.boxY, layout.boxX + layout.boxWidth,
                 layout.boxY + layout.boxHeight, kMarkupBoxBorder, kWhite);

    const std::string_view text = gbkText.substr(0, gbkText.find('\0'));
    const size_t n = text.size();
    Pen pen(canvas, layout);
    size_t i = 0;
    while (i < n) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '/' && i + 1 < n) {
            const char tag = text[i + 1];
            if (tag == 'c') {
                // The nine bytes after "c" are taken as they stand; a tag cut
                // short by the end ends the text.
                if (n - (i + 2) < kColourDigits) break;
                const std::string_view digits = text.substr(i + 2, kColourDigits);
                pen.SetColour({ColourComponent(digits.substr(0, 3)),
                               ColourComponent(digits.substr(3, 3)),
                               ColourComponent(digits.substr(6, 3))});
                i += 2 + kColourDigits;
                continue;
            }
            if (tag == 'h') {
                size_t k = i + 2;
                if (k >= n) break;  // no opening byte: the text ends
                ++k;                // the opening byte, "{" or whatever it is
                const size_t titleStart = k;
                while (k < n && text[k] != '}' && k - titleStart < kMaxHeadingBytes) ++k;
                const std::string_view title =
                    WholeCharacters(text.substr(titleStart, k - titleStart));
                if (layout.headingXOffset != 0 && layout.headingYOffset != 0)
                    DrawTextAt(canvas, kHeadingFont, layout.boxX + layout.headingXOffset,
                               layout.boxY + layout.headingYOffset, pen.Colour(), title);
                if (k >= n) break;  // the end of the text ended the title too
                i = k + 1;          // the brace, or the byte after the 29th in its place
                continue;
            }
            if (tag == 'n') {
                pen.LineBreak();
                i += 2;
                continue;
            }
            // "/" before any other byte is an ordinary character (below).
        }
        if (byte == ' ') {
            pen.Space();
            ++i;
        } else if (IsGbkLeadByte(byte)) {
            if (i + 1 >= n) break;  // half a character at the end: nothing to draw
            pen.Draw(text.substr(i, 2));
            i += 2;
        } else {
            pen.Draw(text.substr(i, 1));
            ++i;
        }
    }
    return pen.Result();
}

bool FitsInBox(const MarkupLayout& layout, const MarkupResult& result) {
    if (!result.lastTextLineY) return true;
    return *result.lastTextLineY + layout.lineHeight <= layout.boxY + layout.boxHeight;
}

}  // namespace ui
