// The eighteen technical indicators, one definition each (definitions.cpp):
// the name and tab name, the parameters with their standard values and
// ranges, the lines with their legend labels and positions, the colours, how
// the lower panel scales and draws it, whether it is a recursion, and its
// calculation. The settings page's rows, the panel title, the tab row, the
// lower panel, the legend and the cursor readout all read these entries, so
// adding an indicator is one entry and its calculation.
//
// Index 0 (MA) is drawn over the candles; exactly one of 1..17 is the
// selected indicator drawn in the lower panel.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/rgb.h"

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
inline constexpr int kLastIndicator = kIndicatorCount - 1;  // bounds every loop over the catalogue
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

// Inclusive range of one parameter; slots beyond an indicator's parameters
// hold 1..999.
struct ParamRange {
    int32_t min = 1;
    int32_t max = 999;

    constexpr bool Contains(int32_t value) const { return value >= min && value <= max; }
};

// One parameter of a definition: its standard value and accepted range.
struct Param {
    int32_t standard = 0;
    ParamRange range{};
};

// The standard settings of one index, restored by "还原". Slots beyond the
// count hold 0 and the range 1..999.
struct IndicatorDefaults {
    int32_t count = 0;  // 0..5; 0 for OBV
    std::array<int32_t, kMaxParams> standard{};
    std::array<ParamRange, kMaxParams> ranges{};

    constexpr IndicatorDefaults() = default;
    constexpr IndicatorDefaults(std::initializer_list<Param> params) {
        for (const Param& param : params) {
            standard[count] = param.standard;
            ranges[count] = param.range;
            ++count;
        }
    }
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

inline bool IsAverage(LineKind kind) {
    return kind == LineKind::PriceAverage || kind == LineKind::VolumeAverage;
}

// How the lower panel draws a line.
enum class LineDraw {
    Curve,      // segments joining the points of neighbouring columns
    Histogram,  // one bar per column from the zero level, coloured by sign
};

struct LineDef {
    // The legend label, "DIFF:". Empty: the line's length (line k has
    // parameter k as its length) "%d" followed by "日", "6日".
    std::string_view label{};
    // Where a fixed label starts in the legend row; where the "日" of a
    // length label starts (its number ends there).
    int labelX = 0;
    LineDraw draw = LineDraw::Curve;
    // Whether the values widen an automatic scale (BOLL's MID, between its
    // bands, does not).
    bool scaled = true;
};

// A short list written as a braced list in an entry; the count is what the
// list holds.
template <class Item, int kCapacity>
struct FixedList {
    int count = 0;
    std::array<Item, kCapacity> items{};

    constexpr FixedList() = default;
    constexpr FixedList(std::initializer_list<Item> list) {
        for (const Item& item : list) items[count++] = item;
    }
    constexpr const Item& operator[](int i) const { return items[i]; }
};

using LineList = FixedList<LineDef, kMaxLines>;
// The colour triples of a record, in line order; MACD's fourth and fifth are
// its histogram's, KD keeps a third it does not draw.
using ColourList = FixedList<base::Rgb, kMaxColours>;

enum class ScaleKind {
    None,       // no panel
    Volume,     // 0 .. the view's highest volume; the volume bars are drawn too
    Fixed,      // 0..100
    Automatic,  // the range of the visible values, widened from a start pair
};

// How the lower panel scales and labels an indicator.
struct PanelRule {
    ScaleKind scale = ScaleKind::Automatic;
    // Automatic scales start from this pair; the first valid value replaces
    // a pair whose high is below its low. (0, 0) keeps the zero level in.
    double startHigh = 0;
    double startLow = 0;
    // Axis labels, cursor readout and legend values: "%.0f" .. "%.2f". A
    // whole-number automatic scale keeps its labels to nine digits.
    int decimals = 2;
    bool fifthLines = false;   // grid lines and labels at 20 % and 80 % as well
    bool candles = false;      // the visible bars drawn in the panel and in its range
    bool zeroLeftOut = false;  // a value of 0 is neither drawn nor scaled
    double indexUnit = 1;      // an index series' values are scaled times this
    // With more than 30 bars visible the bars are read without adjustment
    // (OBV only compares closes).
    bool unadjustedWhenWide = false;
};

// Which colour triples a histogram line takes.
struct HistogramColours {
    int rise = 0;             // above zero
    int fall = 0;             // zero and below, on a dark background
    base::Rgb fallOnLight{};  // zero and below, on a light background
};

enum class Recursion {
    None,           // every value comes from a window of bars ending at it
    FromOldestBar,  // defined from the oldest loaded bar on: values depend on the history loaded
};

// The live values and colours of one index. The values in force start as the
// standard values; the colours start as the definition's and change only
// with the chart's background. Slots beyond the definition's counts are 0.
struct IndicatorParams {
    std::array<int32_t, kMaxParams> values{};
    std::array<base::Rgb, kMaxColours> colours{};

    bool operator==(const IndicatorParams&) const = default;
};

class SeriesWork;  // series_work.h
class Carry;       // recursions.h

// Every line for a range of bars (ComputeSeries hands the work over).
using Calculate = void (*)(SeriesWork& work);
// The recursion of lines the lower panel carries one step per column, before
// any bar is fed.
using StartCarry = Carry (*)(const IndicatorParams& params);

struct IndicatorDef {
    Indicator id = kMa;          // the table is in index order
    std::string_view name{};     // "平滑异同MACD": settings row and panel title
    std::string_view tabName{};  // "MACD": the tab row's cell
    IndicatorDefaults params{};
    LineKind kind = LineKind::Real;
    LineList lines{};
    ColourList colours{};
    PanelRule panel{};
    HistogramColours histogram{};
    Recursion recursion = Recursion::None;
    Calculate calculate = nullptr;
    // Set for the lines the lower panel advances one step per column when
    // its columns hold several bars; nothing else carries a recursion.
    StartCarry carry = nullptr;

    constexpr int LineCount() const { return lines.count; }
};

// The definition of an index 0..17 (MA's for any other index).
const IndicatorDef& DefinitionOf(int index);
const IndicatorDefaults& DefaultsOf(int index);
// The parameter count of an index; 0 for an index outside 0..17.
int ParamCount(int index);

// A fresh record of an index: standard values and starting colours.
IndicatorParams StandardParams(int index);

// An average line (MA, VOL) of length 0 or less is neither drawn nor in the
// legend; every other line is.
bool LineShown(const IndicatorDef& def, int line, const IndicatorParams& params);

// The legend label of a line of indicator `index` with the given values:
// "DIFF:", or "6日" for a length-labelled line. Empty outside the lines.
std::string LineLabel(int index, int line, const IndicatorParams& params);

// The settings page's entry of an index, two digits, a blank and the name:
// "04 平滑异同MACD"; empty outside 0..17.
std::string DescriptionEntry(int index);

// The settings page's row text: the entry, then "(" + values "%d" joined by
// "," + ")" when the index has parameters: "04 平滑异同MACD(12,26,9)".
std::string RowText(int index, const IndicatorParams& params);

// The lower panel's title row text: the name and, with parameters,
// "(" + values + ")": "布林线BOLL(26,2)", "能量潮OBV".
std::string TitleText(int index, const IndicatorParams& params);

// The settings page's refusal of an out-of-range value.
inline constexpr std::string_view kOutOfRangeMessage = "输入的值超出范围";
inline constexpr std::string_view kOutOfRangeCaption = "提示";

}  // namespace indicators
