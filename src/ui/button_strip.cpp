#include "ui/button_strip.h"

#include "base/gbk.h"
#include "ui/drawing.h"
#include "ui/fonts.h"

namespace ui {
namespace {

bool Holds(const ButtonRecord& button, int x, int y) {
    return button.left <= x && x <= button.right && button.top <= y && y <= button.bottom;
}

}  // namespace

void ApplyButtonMask(ButtonStrip& strip) {
    for (int n = 1; n <= strip.Count(); ++n)
        strip.buttons[n - 1].visible = n <= kMaskedButtons && ((strip.mask >> (n - 1)) & 1u) != 0;
}

char ButtonTagLetter(int number) {
    if (number >= 1 && number <= 26) return static_cast<char>('a' + number - 1);
    if (number >= 27 && number <= 52) return static_cast<char>('A' + number - 27);
    return '\0';
}

std::string_view ButtonCaption(const ButtonStrip& strip, int number) {
    const char tag = ButtonTagLetter(number);
    const std::string_view list = strip.captions;
    if (tag == '\0') return {};
    size_t i = 0;
    while (i < list.size() && list[i] != tag)
        i += IsGbkLeadByte(static_cast<unsigned char>(list[i])) ? 2 : 1;
    if (i >= list.size()) return {};
    const size_t start = i + 1;
    size_t end = start;
    // Up to the space, whole characters only.
    while (end < list.size() && list[end] != ' ') {
        const size_t length = IsGbkLeadByte(static_cast<unsigned char>(list[end])) ? 2 : 1;
        if (end + length - start > kMaxCaptionBytes || end + length > list.size()) break;
        end += length;
    }
    return list.substr(start, end - start);
}

std::optional<int> ButtonAt(const ButtonStrip& strip, int x, int y) {
    for (int n = 1; n <= strip.Count(); ++n) {
        const ButtonRecord& button = strip.buttons[n - 1];
        if (button.visible && Holds(button, x, y)) return n;
    }
    return std::nullopt;
}

std::optional<int> ClickedCommand(const ButtonStrip& strip, int x, int y) {
    const std::optional<int> number = ButtonAt(strip, x, y);
    if (!number) return std::nullopt;
    const int command = strip.buttons[*number - 1].command;
    if (command < kFirstStripCommand || command > kLastStripCommand) return std::nullopt;
    return command;
}

void DrawStripButton(Canvas& canvas, const ButtonStrip& strip, int number, ButtonLook look) {
    if (number < 1 || number > strip.Count()) return;
    const ButtonRecord& button = strip.buttons[number - 1];
    const bool highlighted = look == ButtonLook::Highlighted;
    SetCharSpacing(canvas, 0);
    DrawRoundBoxSmall(canvas, button.left, button.top, button.right, button.bottom, kButtonBorder,
                      highlighted ? kHighlightFill : kButtonFill);
    const int x = button.left == kNarrowCaptionLeft ? button.left : button.left + 4;
    DrawTextAt(canvas, kButtonCaptionFont, x, button.top + 3, highlighted ? kWhite : kButtonCaption,
               ButtonCaption(strip, number));
}

void DrawButtonStrip(Canvas& canvas, const ButtonStrip& strip) {
    SetCharSpacing(canvas, 0);
    for (int n = 1; n <= strip.Count(); ++n)
        if (strip.buttons[n - 1].visible) DrawStripButton(canvas, strip, n, ButtonLook::Normal);
}

bool StripHover::Track(Canvas& canvas, const ButtonStrip& strip, int x, int y) {
    bool changed = false;
    if (m_highlighted != 0) {
        const bool exists = m_highlighted <= strip.Count();
        const bool shown = exists && strip.buttons[m_highlighted - 1].visible;
        if (!shown || !Holds(strip.buttons[m_highlighted - 1], x, y)) {
            if (shown) {
                DrawStripButton(canvas, strip, m_highlighted, ButtonLook::Normal);
                changed = true;
            }
            m_highlighted = 0;
        }
    }
    if (m_highlighted == 0) {
        if (const std::optional<int> number = ButtonAt(strip, x, y)) {
            DrawStripButton(canvas, strip, *number, ButtonLook::Highlighted);
            m_highlighted = *number;
            changed = true;
        }
    }
    return changed;
}

std::optional<int> StripHover::Highlighted() const {
    if (m_highlighted == 0) return std::nullopt;
    return m_highlighted;
}

ButtonStrip MainStrip() {
    ButtonStrip strip;
    strip.buttons = {
        {true, 470, 661, 533, 679, 17},   // 板块扫描
        {true, 600, 411, 663, 429, 18},   // 板块走势
        {true, 712, 495, 747, 512, 19},   // 保存
        {true, 712, 529, 747, 546, 20},   // 加入
        {true, 909, 478, 1000, 496, 21},  // 账户资金奔跑
        {true, 909, 527, 1000, 545, 22},  // 怎样操作板块
        {true, 980, 535, 1001, 553, 23},  // ↑
        {true, 980, 570, 1001, 588, 24},  // ↓
        {true, 980, 605, 1001, 623, 25},  // ×
        {true, 973, 641, 1007, 658, 26},  // 测顶
        {true, 973, 664, 1007, 681, 27},  // 测底
        {true, 906, 677, 967, 694, 28},   // 原理设置
        {true, 670, 545, 732, 563, 35},   // 方法插入
        {true, 670, 562, 732, 580, 36},   // 加入方法
        {true, 682, 479, 729, 497, 37},   // 条修改
        {true, 106, 501, 141, 519, 38},   // 载入
        {true, 860, 283, 874, 300, 39},   // ↑
        {true, 860, 204, 874, 221, 40},   // ↓
        {true, 585, 661, 618, 678, 41},   // 帮助
        {true, 712, 411, 747, 428, 42},   // 帮助
        {true, 704, 658, 738, 675, 32},   // 查询
    };
    strip.mask = kAllButtons;
    strip.captions = base::Utf8ToGbk(kMainStripCaptions);
    return strip;
}

void ApplyMainStripMask(ButtonStrip& strip, int screenMode) {
    if (screenMode != kChartScreenMode) strip.mask &= ~kChartOnlyButtons;
    ApplyButtonMask(strip);
}

}  // namespace ui
