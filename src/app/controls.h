// The child controls of the main window, placed at their documented client
// rectangles with their captions and limits.
#pragma once

#include <array>
#include <string_view>

namespace app {

enum class ControlKind { Button, Radio, Edit, Progress, BitmapButton };

struct ControlSpec {
    int id;
    ControlKind kind;
    std::string_view caption;  // button caption or initial edit text (UTF-8)
    int x, y, width, height;
    int maxLength;  // edit boxes only
    int radioGroup;  // 0: none; 1 theme, 2 adjustment
};

// Control ids used by name in the window.
inline constexpr int kIdExit = 2;
inline constexpr int kIdCodeBox = 1001;
inline constexpr int kIdClassicTheme = 1011;
inline constexpr int kIdRegularTheme = 1012;
inline constexpr int kIdDataButton = 1044;
inline constexpr int kIdProgress = 1059;
inline constexpr int kIdRaw = 1056;
inline constexpr int kIdForward = 1057;
inline constexpr int kIdBackward = 1069;
inline constexpr int kIdWatchList = 1055;
inline constexpr int kIdDateBox = 1009;

inline constexpr std::array<ControlSpec, 42> kControlSpecs = {{
    {1042, ControlKind::Button, "指标设置", 86, 384, 53, 18, 0, 0},
    {1013, ControlKind::Button, "沪指", 148, 384, 34, 18, 0, 0},
    {1014, ControlKind::Button, "深指", 189, 384, 34, 18, 0, 0},
    {kIdRaw, ControlKind::Radio, "除权", 234, 386, 41, 15, 0, 2},
    {kIdForward, ControlKind::Radio, "前复权", 281, 386, 54, 15, 0, 2},
    {kIdBackward, ControlKind::Radio, "后复权", 335, 386, 53, 15, 0, 2},
    {1019, ControlKind::Button, "▕←", 408, 384, 32, 17, 0, 0},
    {1024, ControlKind::Button, "←‥", 446, 384, 29, 17, 0, 0},
    {1010, ControlKind::Button, "←", 480, 384, 29, 17, 0, 0},
    {1006, ControlKind::Button, "↑键", 515, 384, 32, 17, 0, 0},
    {1007, ControlKind::Button, "↓键", 554, 384, 32, 17, 0, 0},
    {1018, ControlKind::Button, "→", 591, 384, 29, 17, 0, 0},
    {1025, ControlKind::Button, "‥→", 626, 384, 29, 17, 0, 0},
    {1008, ControlKind::Button, "→▎", 662, 384, 30, 17, 0, 0},
    {1026, ControlKind::Button, "日Ｋ", 708, 384, 38, 17, 0, 0},
    {1020, ControlKind::Button, "周Ｋ", 755, 384, 38, 17, 0, 0},
    {1021, ControlKind::Button, "月Ｋ", 801, 384, 38, 17, 0, 0},
    {1030, ControlKind::Button, "加入自选", 852, 383, 54, 18, 0, 0},
    {1032, ControlKind::Button, "帮助", 915, 383, 38, 18, 0, 0},
    {kIdCodeBox, ControlKind::Edit, "", 969, 383, 45, 21, 6, 0},
    {1052, ControlKind::Button, "↖", 966, 411, 24, 15, 0, 0},
    {1053, ControlKind::Button, "↘", 993, 411, 24, 15, 0, 0},
    {1040, ControlKind::Button, "载入", 756, 673, 41, 17, 0, 0},
    {1048, ControlKind::Button, "保存", 803, 673, 39, 17, 0, 0},
    {1033, ControlKind::Button, "K", 833, 497, 15, 18, 0, 0},
    {1037, ControlKind::Button, "8", 833, 521, 15, 15, 0, 0},
    {1034, ControlKind::Button, "↑", 833, 542, 15, 18, 0, 0},
    {1035, ControlKind::Button, "↓", 833, 566, 15, 18, 0, 0},
    {1036, ControlKind::Button, "×", 833, 589, 15, 17, 0, 0},
    {1045, ControlKind::Button, "8", 711, 467, 15, 15, 0, 0},
    {kIdClassicTheme, ControlKind::Radio, "经典黑", 29, 9, 53, 15, 0, 1},
    {kIdRegularTheme, ControlKind::Radio, "常规", 84, 9, 47, 15, 0, 1},
    {1061, ControlKind::Edit, "2", 261, 633, 23, 14, 2, 0},
    {1075, ControlKind::Edit, "00", 290, 633, 23, 14, 2, 0},
    {1064, ControlKind::Edit, "1", 261, 677, 23, 14, 2, 0},
    {1089, ControlKind::Edit, "50", 290, 677, 23, 14, 2, 0},
    {1070, ControlKind::Edit, "100", 285, 655, 30, 14, 3, 0},
    {kIdDateBox, ControlKind::Edit, "", 648, 657, 46, 19, 16, 0},
    {1073, ControlKind::Edit, "", 912, 651, 46, 19, 6, 0},
    {kIdProgress, ControlKind::Progress, "", 387, 684, 233, 7, 0, 0},
    // The two picture buttons; their captions show when the picture is missing.
    {kIdDataButton, ControlKind::BitmapButton, "数据下载", 5, 519, 59, 30, 0, 0},
    {kIdExit, ControlKind::BitmapButton, "退出", 5, 555, 61, 30, 0, 0},
}};

// Pictures of the bitmap buttons, looked up in the data root.
inline constexpr std::string_view kDataButtonPicture = "sjxz.bmp";
inline constexpr std::string_view kExitButtonPicture = "exit.bmp";

// The four vertical scroll bars set up at start-up: range 0..145, page 20.
inline constexpr std::array<int, 4> kScrollBarIds = {1096, 1098, 1097, 1099};
inline constexpr int kScrollBarMaximum = 145;
inline constexpr int kScrollBarPage = 20;

}  // namespace app
