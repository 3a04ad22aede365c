#include "indicators/catalogue.h"

#include <algorithm>
#include <cctype>

namespace indicators {
namespace {

constexpr ui::Rgb kWhite{255, 255, 255};
constexpr ui::Rgb kYellow{255, 255, 0};
constexpr ui::Rgb kMagenta{240, 0, 240};
constexpr ui::Rgb kGreen{70, 208, 78};
constexpr ui::Rgb kCyan{0, 255, 255};
constexpr ui::Rgb kMacdRise{213, 0, 0};
constexpr ui::Rgb kMacdFall{92, 249, 254};

constexpr ParamRange kUnused{1, 999};

constexpr IndicatorDefaults Defaults(int32_t count, std::array<int32_t, kMaxParams> standard,
                                     std::array<ParamRange, kMaxParams> ranges) {
    for (int i = count; i < kMaxParams; ++i) ranges[i] = kUnused;
    return IndicatorDefaults{count, standard, ranges};
}

// The palette in order, cut to the record's colour count.
constexpr std::array<ui::Rgb, kMaxColours> Palette(int count) {
    std::array<ui::Rgb, kMaxColours> colours{};
    const std::array<ui::Rgb, kMaxColours> palette{kWhite, kYellow, kMagenta, kGreen, kCyan};
    for (int i = 0; i < count; ++i) colours[i] = palette[i];
    return colours;
}

constexpr std::array<ui::Rgb, kMaxColours> kMacdColours{kWhite, kYellow, kMagenta, kMacdRise,
                                                        kMacdFall};

constexpr std::array<int, kMaxLines> kLengthLines{0, 1, 2, 3, 4};

using Labels = std::array<std::string_view, kMaxLines>;

const std::array<IndicatorInfo, kIndicatorCount> kCatalogue = {{
    {"00 价格均线MA",
     "",
     Defaults(5, {5, 10, 20, 30, 60}, {{{0, 999}, {0, 999}, {0, 999}, {0, 999}, {0, 999}}}),
     5,
     LineKind::PriceAverage,
     LabelStyle::ParameterDays,
     {},
     kLengthLines,
     5,
     Palette(5)},
    {"01 量均线VOL",
     "量均线VOL",
     Defaults(3, {5, 10, 30}, {{{1, 10}, {5, 30}, {10, 60}}}),
     3,
     LineKind::VolumeAverage,
     LabelStyle::ParameterDays,
     {},
     kLengthLines,
     3,
     Palette(3)},
    {"02 相对强弱RSI",
     "相对强弱RSI",
     Defaults(3, {6, 12, 24}, {{{2, 100}, {2, 100}, {2, 100}}}),
     3,
     LineKind::Real,
     LabelStyle::ParameterDays,
     {},
     kLengthLines,
     3,
     Palette(3)},
    {"03 乖离率BIAS",
     "乖离率BIAS",
     Defaults(3, {6, 12, 24}, {{{1, 300}, {1, 300}, {1, 300}}}),
     3,
     LineKind::Real,
     LabelStyle::ParameterDays,
     {},
     kLengthLines,
     3,
     Palette(3)},
    {"04 平滑异同MACD",
     "平滑异同MACD",
     Defaults(3, {12, 26, 9}, {{{5, 40}, {20, 100}, {2, 60}}}),
     3,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"DIFF:", "DEA:", "MACD:"},
     {},
     5,
     kMacdColours},
    {"05 随机指标KD",
     "随机指标KD",
     Defaults(3, {9, 3, 3}, {{{1, 100}, {2, 40}, {2, 40}}}),
     2,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"K:", "D:"},
     {},
     3,
     Palette(3)},
    {"06 随机指标KDJ",
     "随机指标KDJ",
     Defaults(3, {9, 3, 3}, {{{1, 100}, {2, 40}, {2, 40}}}),
     3,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"K:", "D:", "J:"},
     {},
     3,
     Palette(3)},
    {"07 布林线BOLL",
     "布林线BOLL",
     Defaults(2, {26, 2}, {{{5, 300}, {1, 10}}}),
     3,
     LineKind::Band,
     LabelStyle::Fixed,
     Labels{"MID:", "UPPER:", "LOWER:"},
     {},
     3,
     Palette(3)},
    {"08 威廉指标W&R",
     "威廉指标W&R",
     Defaults(2, {14, 28}, {{{2, 100}, {2, 100}}}),
     2,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"WR1:", "WR2:"},
     {},
     2,
     Palette(2)},
    {"09 趋向指标DMI",
     "趋向指标DMI",
     Defaults(2, {14, 6}, {{{2, 100}, {1, 100}}}),
     4,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"PDI:", "MDI:", "ADX:", "ADXR:"},
     {},
     4,
     Palette(4)},
    {"10 顺势指标CCI",
     "顺势指标CCI",
     Defaults(1, {14}, {{{2, 100}}}),
     1,
     LineKind::Real,
     LabelStyle::ParameterDays,
     {},
     kLengthLines,
     1,
     Palette(1)},
    {"11 人气意愿ARBR",
     "人气意愿ARBR",
     Defaults(1, {26}, {{{2, 300}}}),
     2,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"AR:", "BR:"},
     {},
     2,
     Palette(2)},
    {"12 心理线PSY",
     "心理线PSY",
     Defaults(1, {12}, {{{2, 100}}}),
     1,
     LineKind::Real,
     LabelStyle::ParameterDays,
     {},
     kLengthLines,
     1,
     Palette(1)},
    {"13 能量潮OBV",
     "能量潮OBV",
     Defaults(0, {}, {}),
     1,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"OBV:"},
     {},
     1,
     Palette(1)},
    {"14 能量指标CR",
     "能量指标CR",
     Defaults(4, {26, 5, 10, 20}, {{{5, 300}, {1, 99}, {1, 99}, {1, 99}}}),
     4,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"CR:", "MA1:", "MA2:", "MA3:"},
     {},
     4,
     Palette(4)},
    {"15 容量比率VR",
     "容量比率VR",
     Defaults(1, {26}, {{{5, 300}}}),
     1,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"VR:"},
     {},
     1,
     Palette(1)},
    {"16 变动速率ROC",
     "变动速率ROC",
     Defaults(2, {12, 6}, {{{1, 100}, {1, 50}}}),
     2,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"ROC:", "ROCMA:"},
     {},
     2,
     Palette(2)},
    {"17 平均线差DMA",
     "平均线差DMA",
     Defaults(3, {10, 50, 10}, {{{2, 300}, {10, 300}, {1, 300}}}),
     2,
     LineKind::Real,
     LabelStyle::Fixed,
     Labels{"DDD:", "AMA:"},
     {},
     2,
     Palette(2)},
}};

constexpr std::string_view kDescriptionList =
    "00 价格均线MA;01 量均线VOL;02 相对强弱RSI;03 乖离率BIAS;04 平滑异同MACD;05 随机指标KD;"
    "06 随机指标KDJ;07 布林线BOLL;08 威廉指标W&R;09 趋向指标DMI;10 顺势指标CCI;11 "
    "人气意愿ARBR;12 心理线PSY;13 能量潮OBV;14 能量指标CR;15 容量比率VR;16 变动速率ROC;17 "
    "平均线差DMA;18 end";

// The name starts further right the shorter it is, so that names look centred.
constexpr int TextOffset(int bytes) {
    return bytes == 2 ? 19 : bytes == 3 ? 16 : 12;
}

constexpr TabCell Cell(std::string_view name, int bytes) {
    return {name, bytes, TextOffset(bytes)};
}

const std::array<TabCell, kTabCellCount> kTabCells = {{
    Cell("设置", 4),
    Cell("VOL", 3),
    Cell("RSI", 3),
    Cell("BIAS", 4),
    Cell("MACD", 4),
    Cell("KD", 2),
    Cell("KDJ", 3),
    Cell("BOLL", 4),
    Cell("W&R", 3),
    Cell("DMI", 3),
    Cell("CCI", 3),
    Cell("ARBR", 4),
    Cell("PSY", 3),
    Cell("OBV", 3),
    Cell("CR", 2),
    Cell("VR", 2),
    Cell("ROC", 3),
    Cell("DMA", 3),
}};

// "(12,26,9)" for an index with parameters, "" without.
std::string ValueList(int index, const IndicatorParams& params) {
    const int count = ParamCount(index);
    if (count == 0) return "";
    std::string text = "(";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ",";
        text += std::to_string(params.values[i]);
    }
    return text + ")";
}

}  // namespace

const IndicatorInfo& InfoOf(int index) {
    return kCatalogue[IsIndicator(index) ? index : 0];
}

const IndicatorDefaults& DefaultsOf(int index) {
    return InfoOf(index).defaults;
}

int ParamCount(int index) {
    return IsIndicator(index) ? kCatalogue[index].defaults.count : 0;
}

IndicatorParams StandardParams(int index) {
    IndicatorParams params;
    if (!IsIndicator(index)) return params;
    params.values = kCatalogue[index].defaults.standard;
    params.colours = kCatalogue[index].startColours;
    return params;
}

std::string LineLabel(int index, int line, const IndicatorParams& params) {
    if (!IsIndicator(index)) return "";
    const IndicatorInfo& info = kCatalogue[index];
    if (line < 0 || line >= info.lineCount) return "";
    if (info.labelStyle == LabelStyle::Fixed) return std::string(info.labels[line]);
    return std::to_string(params.values[info.labelParam[line]]) + "日";
}

std::string_view DescriptionList() {
    return kDescriptionList;
}

std::string_view DescriptionEntry(int index) {
    constexpr size_t kMaxEntryBytes = 160;
    const std::string_view list = kDescriptionList;
    size_t at = 0;
    while (at < list.size()) {
        while (at < list.size() && !std::isdigit(static_cast<unsigned char>(list[at]))) ++at;
        if (at + 1 >= list.size()) break;
        const int found = (list[at] - '0') * 10 + (list[at + 1] - '0');
        size_t end = list.find(';', at);
        if (end == std::string_view::npos) end = list.size();
        if (found == index) return list.substr(at, std::min(end - at, kMaxEntryBytes));
        at = end;
    }
    return {};
}

std::string RowText(int index, const IndicatorParams& params) {
    return std::string(DescriptionEntry(index)) + ValueList(index, params);
}

std::string TitleText(int index, const IndicatorParams& params) {
    return std::string(InfoOf(index).title) + ValueList(index, params);
}

const TabCell& TabCellOf(int cell) {
    return kTabCells[cell >= 0 && cell < kTabCellCount ? cell : 0];
}

std::optional<int> TabCellAt(int x) {
    if (x < kTabClickLeft || x > kTabClickRight) return std::nullopt;
    // Spans share their edges; the lower cell takes the shared pixel.
    const int cell = (x - kTabRowLeft - 1) / kTabCellWidth;
    if (cell >= kTabCellCount) return std::nullopt;
    return cell;
}

}  // namespace indicators
