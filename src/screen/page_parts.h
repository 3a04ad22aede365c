// Drawing pieces both pages of the lower half share: captions in GBK, the
// light-blue panels, the blue caption strips and the candidate-set buttons.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "base/gbk.h"
#include "picking/candidates.h"
#include "ui/drawing.h"
#include "ui/fonts.h"

namespace screen::parts {

inline constexpr ui::Rgb kLightBlue{218, 240, 255};
inline constexpr ui::Rgb kSunkenEdge{113, 110, 101};
inline constexpr ui::Rgb kStrip{0, 65, 130};
inline constexpr ui::Rgb kMarker{170, 0, 0};
inline constexpr ui::Rgb kChosenRow{0, 0, 250};
inline constexpr ui::Rgb kChosenFill{255, 255, 200};
inline constexpr ui::Rgb kButtonEdge{30, 0, 0};
inline constexpr ui::Rgb kButtonFace{208, 227, 255};
inline constexpr ui::Rgb kButtonChosen{0, 79, 174};
inline constexpr ui::Rgb kButtonText{120, 8, 8};

inline std::string Gbk(std::string_view utf8) { return base::Utf8ToGbk(utf8); }

inline void Text(ui::Canvas& canvas, int code, int x, int y, ui::Rgb colour, std::string_view utf8) {
    ui::DrawTextAt(canvas, code, x, y, colour, Gbk(utf8));
}

inline void Panel(ui::Canvas& canvas, int left, int top, int right, int bottom) {
    ui::FillBox(canvas, left, top, right, bottom, kLightBlue);
    ui::DrawSunkenField(canvas, left + 5, top + 4, right - 5, bottom - 4, kSunkenEdge);
}

// A caption strip with white text, centred.
inline void Strip(ui::Canvas& canvas, int left, int top, int right, int bottom, const std::string& gbk) {
    ui::FillBox(canvas, left, top, right, bottom, kStrip);
    const int width = ui::TextWidth(14, gbk);
    ui::DrawTextAt(canvas, 14, left + std::max(2, (right - left - width) / 2), top + 2, ui::kWhite, gbk);
}

// A small button drawn on the page, chosen or not.
inline void PageButton(ui::Canvas& canvas, int left, int top, int right, int bottom, bool chosen,
                       std::string_view utf8) {
    ui::DrawRoundBoxSmall(canvas, left, top, right, bottom, kButtonEdge, chosen ? kButtonChosen : kButtonFace);
    Text(canvas, 13, left + 6, top + 3, chosen ? ui::kWhite : kButtonText, utf8);
}

// The five candidate-set buttons 载入 沪市 深市 创板 全市 from (left, top).
inline constexpr int kSetWidth = 38, kSetHeight = 18;
inline constexpr const char* kSetNames[5] = {"载入", "沪市", "深市", "创板", "全市"};

inline void DrawSetButtons(ui::Canvas& canvas, int left, int top, std::optional<picking::CandidateMarket> market) {
    for (int i = 0; i < 5; ++i) {
        const int x = left + i * kSetWidth;
        const bool chosen = market && static_cast<int>(*market) == i + 1;
        PageButton(canvas, x, top, x + kSetWidth - 2, top + kSetHeight, chosen, kSetNames[i]);
    }
}

// The set button (1 载入 .. 5 全市) at a point.
inline std::optional<int> SetButtonAt(int left, int top, int x, int y) {
    for (int i = 0; i < 5; ++i) {
        const int bx = left + i * kSetWidth;
        if (x >= bx && x < bx + kSetWidth - 2 && y >= top && y < top + kSetHeight) return i + 1;
    }
    return std::nullopt;
}

// Name bytes cut to at most `max`, never inside a two-byte character.
inline std::string CutName(const std::string& gbk, size_t max) {
    size_t end = 0;
    while (end < gbk.size()) {
        const size_t width = ui::IsGbkLeadByte(static_cast<unsigned char>(gbk[end])) ? 2 : 1;
        if (end + width > max) break;
        end += width;
    }
    return gbk.substr(0, end);
}

}  // namespace screen::parts
