// The eight fonts, chosen by size code, and the fixed-pitch grid text sits on.
// Screens place text by the documented pixel arithmetic (a Chinese character
// is two columns), so every backend lays glyphs out on this grid instead of
// using the face's own advances.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace ui {

struct FontSpec {
    int sizeCode = 0;
    int pixelHeight = 0;
    int weight = 0;  // 0 is the platform's default (normal) weight

    bool operator==(const FontSpec&) const = default;
};

// The size code is not always the pixel height: code 14 is a 13-pixel font.
// The eight shared fonts, and a 10-pixel one for the indicator tab row, whose
// band under the chart is 9 pixels high: a 12-pixel Chinese name would lose
// its bottom there.
inline constexpr int kTabRowFont = 10;
inline constexpr std::array<FontSpec, 9> kFontTable = {{
    {12, 12, 0},
    {13, 13, 600},
    {14, 13, 550},
    {15, 14, 550},
    {16, 15, 550},
    {19, 19, 550},
    {25, 25, 1000},
    {35, 35, 800},
    {kTabRowFont, 10, 0},
}};

// A Song face with crisp small sizes, and the fallback when it is missing.
inline constexpr std::string_view kFontFace = "AR PL UMing CN";
inline constexpr std::string_view kFallbackFontFace = "WenQuanYi Zen Hei";

// What a canvas draws in before any text has chosen a font.
inline constexpr FontSpec kStartFont = kFontTable[0];

// The font of a size code, or nullptr for a code outside the table.
const FontSpec* FindFont(int sizeCode);

// The font state of one canvas: a code outside the table keeps the font that
// was selected last.
class FontSelector {
public:
    const FontSpec& Select(int sizeCode);
    const FontSpec& Current() const { return m_current; }

private:
    FontSpec m_current = kStartFont;
};

// First byte of a two-byte GBK character.
constexpr bool IsGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// Pixels of a half-width character; a two-byte character takes twice that.
int HalfAdvance(const FontSpec& font);
// For a size code; codes outside the table measure as the start font.
int HalfAdvance(int sizeCode);

// Where each character of a GBK text goes: its bytes and its x from the text's
// left edge. A two-byte character is one cell two columns wide; a lead byte
// with nothing after it is a cell of its own. charSpacing is added after every
// character.
struct GlyphCell {
    size_t offset = 0;
    size_t length = 0;
    int x = 0;

    bool operator==(const GlyphCell&) const = default;
};
std::vector<GlyphCell> LayoutGlyphs(const FontSpec& font, std::string_view gbkText,
                                    int charSpacing = 0);

// Advance of the whole text, spacing included.
int TextWidth(const FontSpec& font, std::string_view gbkText, int charSpacing = 0);
int TextWidth(int sizeCode, std::string_view gbkText, int charSpacing = 0);

}  // namespace ui
