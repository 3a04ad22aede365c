#include "ui/fonts.h"

namespace ui {

const FontSpec* FindFont(int sizeCode) {
    for (const FontSpec& font : kFontTable)
        if (font.sizeCode == sizeCode) return &font;
    return nullptr;
}

const FontSpec& FontSelector::Select(int sizeCode) {
    if (const FontSpec* font = FindFont(sizeCode)) m_current = *font;
    return m_current;
}

int HalfAdvance(const FontSpec& font) {
    return (font.pixelHeight + 1) / 2;
}

int HalfAdvance(int sizeCode) {
    const FontSpec* font = FindFont(sizeCode);
    return HalfAdvance(font ? *font : kStartFont);
}

std::vector<GlyphCell> LayoutGlyphs(const FontSpec& font, std::string_view gbkText,
                                    int charSpacing) {
    std::vector<GlyphCell> cells;
    const int half = HalfAdvance(font);
    int x = 0;
    for (size_t i = 0; i < gbkText.size();) {
        const bool twoByte =
            IsGbkLeadByte(static_cast<unsigned char>(gbkText[i])) && i + 1 < gbkText.size();
        const size_t length = twoByte ? 2 : 1;
        cells.push_back({i, length, x});
        x += (twoByte ? 2 * half : half) + charSpacing;
        i += length;
    }
    return cells;
}

int TextWidth(const FontSpec& font, std::string_view gbkText, int charSpacing) {
    const int half = HalfAdvance(font);
    int width = 0;
    for (const GlyphCell& cell : LayoutGlyphs(font, gbkText, charSpacing))
        width += static_cast<int>(cell.length) * half + charSpacing;
    return width;
}

int TextWidth(int sizeCode, std::string_view gbkText, int charSpacing) {
    const FontSpec* font = FindFont(sizeCode);
    return TextWidth(font ? *font : kStartFont, gbkText, charSpacing);
}

}  // namespace ui
