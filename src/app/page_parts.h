// Pieces the pages of CSetupDlg share: a hit rectangle, what a click asks of
// the dialog, and the text and button helpers they draw with.
#pragma once

#include <string_view>

#include "ui/canvas.h"

namespace app {

struct PageRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    bool Holds(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
    int CentreX() const { return (left + right) / 2; }
    int CentreY() const { return (top + bottom) / 2; }
};

enum class PageClick { Stay, Close };

// A line of UTF-8 text, converted for the canvas.
void DrawGbk(ui::Canvas& canvas, int sizeCode, int x, int y, ui::Rgb colour, std::string_view utf8);

// A button in the strip's look, for buttons that have no caption slot ("返回").
void DrawPlainButton(ui::Canvas& canvas, const PageRect& r, std::string_view caption);

}  // namespace app
