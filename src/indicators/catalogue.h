// The eighteen technical indicators as data: fixed index, names, parameters
// with their standard values and ranges, legend labels, colours and the kind
// of value each line holds. The calculations (calculations.h) and the live
// settings (indicator_state.h) both read this one table.
//
// Index 0 (MA) is drawn over the candles; exactly one of 1..17 is the
// selected indicator drawn in the lower panel.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/canvas.h"

namespace indicators {

// The fixed indices. Plain enumerators so that they compare and index as ints.
enum Indicator : int {
    kMa = 0,
    kVol = 1,
    kRsi = 2,
    kBias = 3,
    kMacd = 4,
    kKd = 5,
    kKdj = 6,
    kBoll = 7,
    kWr = 8,
    kDmi = 9,
    kCci = 10,
    kArbr = 11,
    kPsy = 12,
    kObv = 13,
    kCr = 14,
    kVr = 15,
    kRoc = 16,
    kDma = 17,
};

inline constexpr int kIndicatorCount = 18;
inline constexpr int kLastIndicator = 17;  // bounds every loop over the catalogue
inline constexpr int kFirstPanelIndicator = 1;
inline constexpr int kMaxParams = 5;
inline constexpr int kMaxLines = 5;    // values per bar a calculation gives
inline constexpr int kMaxColours = 5;  // colour triples per record (MA, MACD)

inline bool IsIndicator(int index) {
    return index >= 0 && index <= kLastIndicator;
}
inline bool IsPanelIndicator(int index) {
    return index >= kFirstPanelIndicator && index <= kLastIndicator;
}

// Inclusive range of one parameter.
struct ParamRange {
    int32_t min = 1;
    int32_t max = 999;

    bool Contains(int32_t value) const { return value >= min && value <= max; }
};

// The standard settings of one index, restored by "还原". Slots beyond the
// count hold 0 and the range 1..999 (MA's five slots are all live, 0..999).
struct IndicatorDefaults {
    int32_t count = 0;  // 0..5; 0 for OBV
    std::array<int32_t, kMaxParams> standard{};
    std::array<ParamRange, kMaxParams> ranges{};
};

// How the values of an indicator's lines are to be read.
enum class LineKind {
    // Integer close average in 0.01 price units; 0 means no value (MA).
    PriceAverage,
    // Integer volume average in lots (10,000 lots for an index); 0 means no value (VOL).
    VolumeAverage,
    // Real value in yuan; a value whose integer part is 0 has none (BOLL).
    Band,
    // Real value; a value whose integer part is 65535 has none (all others).
    Real,
};

// How the legend names a line.
enum class LabelStyle {
    Fixed,          // the label text of the table, e.g. "DIFF:"
    ParameterDays,  // the line's length parameter "%d" followed by "日", e.g. "6日"
};

struct IndicatorInfo {
    std::string_view catalogueText;  // the description-list entry, "04 平滑异同MACD"
    std::string_view title;          // the lower panel's title, "平滑异同MACD"; "" for MA
    IndicatorDefaults defaults;
    int lineCount = 0;  // lines the calculation gives per bar
    LineKind kind = LineKind::Real;
    LabelStyle labelStyle = LabelStyle::Fixed;
    std::array<std::string_view, kMaxLines> labels{};  // Fixed style only
    // Which parameter is each line's length (ParameterDays style only).
    std::array<int, kMaxLines> labelParam{};
    int colourCount = 0;  // colour triples in the record; may exceed lineCount
    std::array<ui::Rgb, kMaxColours> startColours{};
};

// The catalogue row of an index 0..17.
const IndicatorInfo& InfoOf(int index);
const IndicatorDefaults& DefaultsOf(int index);
// The parameter count of an index; 0 for an index outside 0..17.
int ParamCount(int index);

// The live values and colours of one index. The values in force start as the
// standard values; the colours start as the catalogue's and change only with
// the theme. Slots beyond the catalogue's counts are 0.
struct IndicatorParams {
    std::array<int32_t, kMaxParams> values{};
    std::array<ui::Rgb, kMaxColours> colours{};

    bool operator==(const IndicatorParams&) const = default;
};

// A fresh record of an index: standard values and starting colours.
IndicatorParams StandardParams(int index);

// The legend label of a line of indicator `index` with the given values:
// "DIFF:", or "6日" for a length-labelled line. Empty outside the lines.
std::string LineLabel(int index, int line, const IndicatorParams& params);

// The description list: "00 价格均线MA;01 量均线VOL;...;17 平均线差DMA;18 end".
std::string_view DescriptionList();
// The entry of an index found in the description list the way the settings
// page finds it; empty when the list has none.
std::string_view DescriptionEntry(int index);

// The settings page's row text: the entry, then "(" + values "%d" joined by
// "," + ")" when the index has parameters: "04 平滑异同MACD(12,26,9)".
std::string RowText(int index, const IndicatorParams& params);

// The lower panel's title row text: the title and, with parameters,
// "(" + values + ")": "布林线BOLL(26,2)", "能量潮OBV".
std::string TitleText(int index, const IndicatorParams& params);

// The tab row under the price panel: cell 0 "设置" opens the settings page,
// cells 1..17 select the lower-panel indicator of the same index.
inline constexpr int kTabCellCount = 18;
inline constexpr int kTabRowLeft = 62;  // left edge of cell 0
inline constexpr int kTabCellWidth = 50;
inline constexpr int kTabClickLeft = 63;               // clicks count from here ...
inline constexpr int kTabClickRight = 963;             // ... to here, inclusive
inline constexpr ui::Rgb kTabSelectedLine{180, 0, 0};  // along the selected cell's top

struct TabCell {
    std::string_view name;  // UTF-8
    int nameBytes = 0;      // the name's width in GBK bytes (2 per Chinese character)
    int textOffset = 0;     // x of the name from the cell's left edge
};

const TabCell& TabCellOf(int cell);
inline int TabCellLeft(int cell) {
    return kTabRowLeft + kTabCellWidth * cell;
}
// x of separator i = 1..17 (white vertical lines between the cells).
inline int TabSeparatorX(int i) {
    return kTabRowLeft + kTabCellWidth * i;
}
// The cell whose span [62 + 50k, 62 + 50(k + 1)] holds x, the lower one on a
// shared edge; nothing outside the clickable band 63..963 or past cell 17.
std::optional<int> TabCellAt(int x);

// The settings page's refusal of an out-of-range value.
inline constexpr std::string_view kOutOfRangeMessage = "输入的值超出范围";
inline constexpr std::string_view kOutOfRangeCaption = "提示";

}  // namespace indicators
