// The indicator settings in force for the run: one IndicatorParams record per
// index, the selected lower-panel indicator with the index the user chose
// last, the temporary overrides a sector-scan result applies, and the colour
// change that goes with the chart's background. Nothing here is saved to a
// file: every run starts with the standard values and VOL selected.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "base/rgb.h"
#include "indicators/catalogue.h"

namespace indicators {

// Families of parameter overrides handed over by a picking condition.
enum class OverrideFamily : int {
    MovingAverages = 1,  // the five MA lengths; the panel stays as it is
    Rsi = 3,             // the three RSI lengths; shows RSI
    Bias = 4,            // the three BIAS lengths; shows BIAS
    Macd = 5,            // the three MACD values; shows MACD
    Kdj = 7,             // the three KDJ values; shows KDJ
    Boll = 8,            // the two BOLL values; shows BOLL
};

// The family of a number, when it is one of the six above.
std::optional<OverrideFamily> OverrideFamilyOf(int family);

enum class SetValuesResult { Applied, OutOfRange, NoParameters };

// The chart background the line colours are chosen for: the dark one of the
// theme "经典黑" or the light one of "常规".
enum class Backdrop { Dark, Light };

class IndicatorState {
public:
    IndicatorState();  // standard values, starting colours, VOL selected

    const IndicatorParams& Params(int index) const;  // index 0..17
    std::span<const IndicatorParams, kIndicatorCount> AllParams() const { return m_params; }

    // The lower-panel indicator, 1..17, and the index the user chose last.
    int Selected() const { return m_selected; }
    int Remembered() const { return m_remembered; }
    // The user's choice (tab row, settings page): sets both. Returns whether
    // the selection changed; an index outside 1..17 changes nothing.
    bool Select(int index);

    // "确定" of the settings page: every value is checked against its range,
    // first to last; when one is outside nothing changes (the caller shows
    // kOutOfRangeMessage). `values` holds the index's parameters in order.
    SetValuesResult SetValues(int index, std::span<const int32_t> values);
    // "还原" of one row: the standard values (colours stay).
    void RestoreStandard(int index);
    // "全部还原": rows 0..17 in order.
    void RestoreAll();

    // Opening a member of a sector-scan result: the user's values of the
    // family are saved once (until restored), the override values are copied
    // in and the family's panel is shown without touching the remembered
    // index. Values beyond the family's count are ignored; an unknown family
    // changes nothing. Returns whether anything changed.
    bool ApplyOverride(int family, std::span<const int32_t> values);
    // Before a stock is opened another way while the opened-from-result flag
    // is set: the saved values go back and the selection returns to the
    // remembered index.
    void RestoreOverride();
    bool HasSavedValues(OverrideFamily family) const;

    // Recolours the records for a background: towards the light one every
    // white line colour becomes (51,51,51) and a yellow one directly after it
    // (0,0,255); towards the dark one the reverse. Only colour triples are
    // looked at, never parameter values. The backdrop already in use changes
    // nothing.
    void AdjustColoursFor(Backdrop backdrop);

private:
    std::array<IndicatorParams, kIndicatorCount> m_params;
    int m_selected = kVol;
    int m_remembered = kVol;

    // Per family: whether the user's values are saved, and the saved values.
    static constexpr int kFamilySlots = 9;
    std::array<bool, kFamilySlots> m_saved{};
    std::array<std::array<int32_t, kMaxParams>, kFamilySlots> m_savedValues{};
};

// Colour pairs of the theme change.
inline constexpr base::Rgb kLineWhite{255, 255, 255};
inline constexpr base::Rgb kLineYellow{255, 255, 0};
inline constexpr base::Rgb kLineDarkGrey{51, 51, 51};
inline constexpr base::Rgb kLineBlue{0, 0, 255};

}  // namespace indicators
