#include "app/page_parts.h"

#include "base/gbk.h"
#include "ui/button_strip.h"
#include "ui/drawing.h"

namespace app {

void DrawGbk(ui::Canvas& canvas, int sizeCode, int x, int y, ui::Rgb colour, std::string_view utf8) {
    ui::DrawTextAt(canvas, sizeCode, x, y, colour, base::Utf8ToGbk(utf8));
}

void DrawPlainButton(ui::Canvas& canvas, const PageRect& r, std::string_view caption) {
    ui::DrawRoundBoxSmall(canvas, r.left, r.top, r.right, r.bottom, ui::kButtonBorder,
                          ui::kButtonFill);
    DrawGbk(canvas, ui::kButtonCaptionFont, r.left + 4, r.top + 3, ui::kButtonCaption, caption);
}

}  // namespace app
