// A screen's row of custom buttons: records, a visibility mask and one caption
// list in which each caption follows its tag letter ('a'..'z' for buttons 1 to
// 26, then 'A', 'B', ...) and ends at a space.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/canvas.h"

namespace ui {

struct ButtonRecord {
    bool visible = false;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int command = 0;  // what the click dispatcher acts on

    bool operator==(const ButtonRecord&) const = default;
};

inline constexpr int kMaskedButtons = 32;  // buttons past 32 have no mask bit and never show
inline constexpr uint32_t kAllButtons = 0xFFFFFFFFu;
inline constexpr size_t kMaxCaptionBytes = 160;

struct ButtonStrip {
    std::vector<ButtonRecord> buttons;  // button n is buttons[n - 1]
    uint32_t mask = kAllButtons;        // bit n-1 shows button n
    std::string captions;               // GBK

    int Count() const { return static_cast<int>(buttons.size()); }
};

// The mask bits of buttons first..last.
constexpr uint32_t ButtonBits(int first, int last) {
    uint32_t bits = 0;
    for (int n = first; n <= last && n <= kMaskedButtons; ++n) bits |= 1u << (n - 1);
    return bits;
}

// Sets each button's visible flag from the mask.
void ApplyButtonMask(ButtonStrip& strip);

// 'a' + n - 1 up to 26, 'A' + n - 27 from 27 to 52; 0 for other numbers.
char ButtonTagLetter(int number);

// The caption of button n (GBK): the bytes after the first occurrence of its
// tag letter up to the next space or the end of the list, at most 160 bytes.
// The search steps over two-byte characters, whose second byte may look like
// a letter; empty when the letter is not there.
std::string_view ButtonCaption(const ButtonStrip& strip, int number);

// The first visible button, in number order, whose rectangle holds the point
// (all four edges included).
std::optional<int> ButtonAt(const ButtonStrip& strip, int x, int y);

inline constexpr int kFirstStripCommand = 17;
inline constexpr int kLastStripCommand = 77;

// The command a click on the main window's strip gives: the command of the
// button at the point, when it lies in 17..77. A button outside that range
// swallows the click rather than passing it to a button under it.
std::optional<int> ClickedCommand(const ButtonStrip& strip, int x, int y);

enum class ButtonLook { Normal, Highlighted };

inline constexpr Rgb kButtonBorder{30, 0, 0};
inline constexpr Rgb kButtonFill{208, 227, 255};
inline constexpr Rgb kButtonCaption{120, 8, 8};
inline constexpr Rgb kHighlightFill{0, 79, 174};
inline constexpr int kButtonCaptionFont = 13;
// A button with this left edge is the narrow arrow pair; its caption starts at
// the edge itself instead of 4 pixels in.
inline constexpr int kNarrowCaptionLeft = 860;

// One button with its caption, in the normal or the hover colours; character
// spacing is set to 0 first.
void DrawStripButton(Canvas& canvas, const ButtonStrip& strip, int number, ButtonLook look);
// Every visible button in the normal colours.
void DrawButtonStrip(Canvas& canvas, const ButtonStrip& strip);

// Hover highlight: entering a visible button while none is highlighted draws
// it highlighted and remembers it; leaving it draws it normal again and
// forgets it. Both want a repaint so the screen shows the change. A remembered
// button that has been hidden meanwhile is forgotten without drawing.
class StripHover {
public:
    // Follows the pointer; returns whether the canvas changed.
    bool Track(Canvas& canvas, const ButtonStrip& strip, int x, int y);
    std::optional<int> Highlighted() const;
    // After the strip was drawn afresh nothing on it is highlighted any more.
    void Reset() { m_highlighted = 0; }

private:
    int m_highlighted = 0;  // button number, 0 for none
};

// The main window's strip: 21 buttons.
inline constexpr std::string_view kMainStripCaptions =
    " a板块扫描 b板块走势 c保存 d加入 e账户资金奔跑 f怎样操作板块 g↑ h↓ i× j测顶 k测底 "
    "l原理设置 m方法插入 n加入方法 o条修改 p载入 q↑ r↓ s帮助 t帮助 u查询";
inline constexpr int kMainStripButtons = 21;

// Screen masks of the main strip.
inline constexpr uint32_t kSectorHomeMask =
    ButtonBits(1, 6) | ButtonBits(10, 12) | ButtonBits(19, 21);
inline constexpr uint32_t kPickingScreenMask = ButtonBits(7, 12) | ButtonBits(14, 15);
// Buttons 17 and 18 (the lower-panel offset arrows) belong to the chart screen.
inline constexpr uint32_t kChartOnlyButtons = ButtonBits(17, 18);
inline constexpr int kChartScreenMode = 3;

// All buttons visible, mask all set, the caption list in GBK.
ButtonStrip MainStrip();

// Applies the main strip's mask: outside the chart screen buttons 17 and 18
// are taken out of the mask first.
void ApplyMainStripMask(ButtonStrip& strip, int screenMode);

// The setup dialog's strip: up to 37 buttons whose rectangles the dialog sets
// at run time, with this caption list.
inline constexpr std::string_view kSetupDialogCaptions =
    "a确定 b还原 c还原 d还原 e还原 f还原 g还原 h还原 i还原 j还原 k还原 l还原 m还原 n还原 o还原 "
    "p还原 q还原 r还原 s  t设置 u设置 v设置 w设置 x设置 y设置 z设置 A设置 B设置 C设置 D设置 "
    "E设置 F设置 G设置 H设置 I设置 J设置 K全部还原 ";
inline constexpr int kSetupDialogButtons = 37;

}  // namespace ui
