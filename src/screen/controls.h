// The child controls of the main window: their ids, kinds, captions and
// client rectangles. The screen controller names them by ControlId; a
// backend creates one widget per row of the table.
#pragma once

#include <array>
#include <string_view>

namespace screen {

enum class ControlId : int {
    Exit = 2,
    CodeBox = 1001,
    ZoomIn = 1006,           // ↑键
    ZoomOut = 1007,          // ↓键
    Last = 1008,             // →▎
    QueryBox = 1009,         // the sector property query
    Back = 1010,             // ←
    ClassicTheme = 1011,     // 经典黑
    RegularTheme = 1012,     // 常规
    ShanghaiIndex = 1013,    // 沪指
    ShenzhenIndex = 1014,    // 深指
    ChiNextIndex = 1015,     // 创指
    Forward = 1018,          // →
    First = 1019,            // ▕←
    Weekly = 1020,           // 周Ｋ
    Monthly = 1021,          // 月Ｋ
    PageBack = 1024,         // ←‥
    PageForward = 1025,      // ‥→
    Daily = 1026,            // 日Ｋ
    AddToWatchList = 1030,   // 加入自选
    Help = 1032,             // 帮助
    WatchOpen = 1033,        // K
    WatchUp = 1034,          // ↑
    WatchDown = 1035,        // ↓
    WatchDelete = 1036,      // ×
    WatchEight = 1037,       // 8
    SmallChartsNext = 1039,  // ∷ on the small-chart page
    WatchLoad = 1040,        // 载入
    IndicatorSettings = 1042,
    DataButton = 1044,       // 数据下载
    PickedEight = 1045,      // 8 of the picked list
    PickingEight = 1046,     // 8 of the picking page's picked stocks
    WatchSave = 1048,        // 保存
    PreviousStock = 1052,    // ↖
    NextStock = 1053,        // ↘
    WatchList = 1055,
    RawPrices = 1056,        // 除权
    ForwardAdjusted = 1057,  // 前复权
    Progress = 1059,
    HotWhole = 1061,         // the rise threshold: whole percent
    FallWhole = 1064,        // the fall threshold: whole percent
    BackwardAdjusted = 1069, // 后复权
    FundThreshold = 1070,    // the turnover threshold
    EstimateCode = 1073,     // the top/bottom code box
    HotHundredths = 1075,    // the rise threshold: hundredths
    FallHundredths = 1089,   // the fall threshold: hundredths
    RankScrollBar = 1096,
    SpareScrollBar = 1097,
    MemberScrollBar = 1098,
    PickedScrollBar = 1099,
    // The picking page's setting board: two fields per parameter (the whole
    // part, then the two-digit fraction), 1101..1112, placed by the board.
    BoardFieldFirst = 1101,
};

inline constexpr int IdNumber(ControlId id) { return static_cast<int>(id); }

enum class ControlKind { Button, Radio, Edit, Progress, BitmapButton };

// Radio groups: the theme and the ex-rights adjustment.
enum class RadioGroup { None, Theme, Adjustment };

struct ControlSpec {
    ControlId id;
    ControlKind kind;
    std::string_view caption;  // button caption or initial edit text (UTF-8)
    int x, y, width, height;
    int maxLength;  // edit boxes only
    RadioGroup group;
};

namespace table {
using K = ControlKind;
using G = RadioGroup;
using C = ControlId;
inline constexpr std::array<ControlSpec, 45> kControls = {{
    {C::IndicatorSettings, K::Button, "指标设置", 86, 384, 53, 18, 0, G::None},
    {C::ShanghaiIndex, K::Button, "沪指", 148, 384, 34, 18, 0, G::None},
    {C::ShenzhenIndex, K::Button, "深指", 189, 384, 34, 18, 0, G::None},
    // 创指 has no documented place beside 沪指 and 深指: it heads the left
    // column above the data button.
    {C::ChiNextIndex, K::Button, "创指", 5, 490, 59, 22, 0, G::None},
    // Shown only on the small-chart page: the next eight codes of its list.
    {C::SmallChartsNext, K::Button, "∷", 960, 8, 30, 18, 0, G::None},
    {C::RawPrices, K::Radio, "除权", 234, 386, 41, 15, 0, G::Adjustment},
    {C::ForwardAdjusted, K::Radio, "前复权", 281, 386, 54, 15, 0, G::Adjustment},
    {C::BackwardAdjusted, K::Radio, "后复权", 335, 386, 53, 15, 0, G::Adjustment},
    {C::First, K::Button, "▕←", 408, 384, 32, 17, 0, G::None},
    {C::PageBack, K::Button, "←‥", 446, 384, 29, 17, 0, G::None},
    {C::Back, K::Button, "←", 480, 384, 29, 17, 0, G::None},
    {C::ZoomIn, K::Button, "↑键", 515, 384, 32, 17, 0, G::None},
    {C::ZoomOut, K::Button, "↓键", 554, 384, 32, 17, 0, G::None},
    {C::Forward, K::Button, "→", 591, 384, 29, 17, 0, G::None},
    {C::PageForward, K::Button, "‥→", 626, 384, 29, 17, 0, G::None},
    {C::Last, K::Button, "→▎", 662, 384, 30, 17, 0, G::None},
    {C::Daily, K::Button, "日Ｋ", 708, 384, 38, 17, 0, G::None},
    {C::Weekly, K::Button, "周Ｋ", 755, 384, 38, 17, 0, G::None},
    {C::Monthly, K::Button, "月Ｋ", 801, 384, 38, 17, 0, G::None},
    {C::AddToWatchList, K::Button, "加入自选", 852, 383, 54, 18, 0, G::None},
    {C::Help, K::Button, "帮助", 915, 383, 38, 18, 0, G::None},
    {C::CodeBox, K::Edit, "", 969, 383, 45, 21, 6, G::None},
    {C::PreviousStock, K::Button, "↖", 966, 411, 24, 15, 0, G::None},
    {C::NextStock, K::Button, "↘", 993, 411, 24, 15, 0, G::None},
    {C::WatchLoad, K::Button, "载入", 756, 673, 41, 17, 0, G::None},
    {C::WatchSave, K::Button, "保存", 803, 673, 39, 17, 0, G::None},
    {C::WatchOpen, K::Button, "K", 833, 497, 15, 18, 0, G::None},
    {C::WatchEight, K::Button, "8", 833, 521, 15, 15, 0, G::None},
    {C::WatchUp, K::Button, "↑", 833, 542, 15, 18, 0, G::None},
    {C::WatchDown, K::Button, "↓", 833, 566, 15, 18, 0, G::None},
    {C::WatchDelete, K::Button, "×", 833, 589, 15, 17, 0, G::None},
    {C::PickedEight, K::Button, "8", 711, 467, 15, 15, 0, G::None},
    {C::PickingEight, K::Button, "8", 946, 673, 15, 15, 0, G::None},
    {C::ClassicTheme, K::Radio, "经典黑", 29, 9, 53, 15, 0, G::Theme},
    {C::RegularTheme, K::Radio, "常规", 84, 9, 47, 15, 0, G::Theme},
    {C::HotWhole, K::Edit, "2", 261, 633, 23, 14, 2, G::None},
    {C::HotHundredths, K::Edit, "00", 290, 633, 23, 14, 2, G::None},
    {C::FallWhole, K::Edit, "1", 261, 677, 23, 14, 2, G::None},
    {C::FallHundredths, K::Edit, "50", 290, 677, 23, 14, 2, G::None},
    {C::FundThreshold, K::Edit, "100", 285, 655, 30, 14, 3, G::None},
    {C::QueryBox, K::Edit, "", 648, 657, 46, 19, 16, G::None},
    {C::EstimateCode, K::Edit, "", 912, 651, 46, 19, 6, G::None},
    {C::Progress, K::Progress, "", 387, 684, 233, 7, 0, G::None},
    // The two picture buttons; their captions show when the picture is missing.
    {C::DataButton, K::BitmapButton, "数据下载", 5, 519, 59, 30, 0, G::None},
    {C::Exit, K::BitmapButton, "退出", 5, 555, 61, 30, 0, G::None},
}};
}  // namespace table
inline constexpr const auto& kControlSpecs = table::kControls;

// Pictures of the bitmap buttons, looked up in the data root.
inline constexpr std::string_view kDataButtonPicture = "sjxz.bmp";
inline constexpr std::string_view kExitButtonPicture = "exit.bmp";

// The controls of the sector page only, hidden while the picking page shows.
inline constexpr std::array<ControlId, 8> kSectorPageControls = {
    ControlId::HotWhole,     ControlId::HotHundredths, ControlId::FallWhole,
    ControlId::FallHundredths, ControlId::FundThreshold, ControlId::QueryBox,
    ControlId::EstimateCode, ControlId::PickedEight};
// The picking page's own controls beside the board's fields.
inline constexpr std::array<ControlId, 1> kPickingPageControls = {ControlId::PickingEight};

// The four vertical scroll bars set up at start-up: range 0..145, page 20.
inline constexpr std::array<ControlId, 4> kScrollBarIds = {
    ControlId::RankScrollBar, ControlId::MemberScrollBar, ControlId::SpareScrollBar,
    ControlId::PickedScrollBar};
inline constexpr int kScrollBarMaximum = 145;
inline constexpr int kScrollBarPage = 20;
// Controls placed by the lists that use them.
struct ControlPlace {
    ControlId id;
    int x, y, width, height;
};
inline constexpr ControlPlace kRankScrollPlace{ControlId::RankScrollBar, 523, 444, 12, 180};
inline constexpr ControlPlace kMemberScrollPlace{ControlId::MemberScrollBar, 690, 458, 12, 164};

// The progress bar's range.
inline constexpr int kProgressMaximum = 200;

// The watch-list box: under its caption at (761, 436), beside its buttons.
inline constexpr ControlPlace kWatchListPlace{ControlId::WatchList, 752, 452, 78, 216};

}  // namespace screen
