// The indicator calculations: pure functions over a series of bars (daily,
// weekly or monthly; prices already adjusted through the view's adjuster) and
// the parameters in force.
//
// Bars are addressed by position: t = 0 is the oldest bar of the view, t + 1
// the next; BarOffset/BarPosition convert to and from the word offsets of
// data::SeriesView. A position at or past the view's bar count has no bar.
//
// Values:
//   - close averages (MA lines) are integers in 0.01 price units, volume
//     averages (VOL lines) integers in lots (10,000 lots for an index); both
//     answer 0 when they cannot be computed;
//   - BOLL answers MID = UPPER = LOWER = 0 when it cannot be computed;
//   - every other line is real and answers kNoValue (65535.0) when it cannot
//     be computed (too few bars, a length of 0, a zero denominator). A value
//     whose integer part is 65535 is treated as having no value: HasValue.
// Prices in yuan (BOLL, DMA, the moves inside RSI) are the 0.01 price times
// the single-precision constant 0.01f. Arithmetic runs in double; the values
// a definition keeps in 32-bit floats (MACD's averages and lines, K and D,
// the sums of yuan prices) are rounded to float where they are stored, which
// shows in the last digits and is part of the definition.
//
// Where float sums would make a flat window look not quite flat, the flat
// case is answered as what it is: CCI has no value when every typical price
// of the window is the same (its mean deviation is 0), DDD is 0 when every
// close of the longer window is the same, and BOLL's bands lie on MID for a
// flat window; a negative BOLL radicand counts as 0, so no line is ever NaN.
// DX is 0 where PDI + MDI = 0.
//
// A whole indicator comes from its definition's calculation (catalogue.h):
// ComputeSeries gives the values of bars [first, last] in one pass,
// ComputeAt those of one bar, the same numbers bit for bit. The recursive
// lines (MACD, KD/KDJ, RSI, OBV) start at the oldest bar of the view, so
// their values depend on how much history the view holds; recursions.h lets
// a caller carry them forward itself. Prices without adjustment (OBV of a
// wide view) come from the same view with its adjuster's mode set to None.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/bars.h"
#include "indicators/catalogue.h"
#include "indicators/decoded_bars.h"

namespace indicators {

// The answer of a real-valued calculation that cannot be computed: NoValue.
inline constexpr uint32_t kNoValueWord = 65535;
inline constexpr double kNoValue = 65535.0;

// False for a value whose integer part (truncated) is 65535. (Compared, not
// truncated: the same test, and one that whole columns can take at once.)
inline bool HasValue(double value) {
    return !(value >= kNoValue && value < kNoValue + 1);
}

inline size_t BarOffset(const data::SeriesView& view, size_t t) {
    return view.firstBar + t * view.width;
}
inline size_t BarPosition(const data::SeriesView& view, size_t offset) {
    return (offset - view.firstBar) / view.width;
}

// The volume word as stored: word 4 of a daily stock bar, word 6 otherwise
// (lots, an index's volume not divided by 10,000); 0 without a bar.
uint32_t RawVolume(const data::SeriesView& view, size_t t);

// ---- One bar, one line (the definitions) ----------------------------------
// Parameters as in the catalogue; a length of 0 or below counts as 0.

uint32_t CloseAverage(const data::SeriesView& view, size_t t, int32_t n);   // MA, rounded
uint32_t VolumeAverage(const data::SeriesView& view, size_t t, int32_t n);  // VOL, truncated

// Raw stochastic value 0..100 over the n bars ending at t (fewer near the start).
double Rsv(const data::SeriesView& view, size_t t, int32_t n);

struct KdValues {
    double k = kNoValue;  // float-valued
    double d = kNoValue;  // float-valued
    double j = kNoValue;
};
// KD (index 5) shows k and d, KDJ (index 6) all three.
KdValues Kdj(const data::SeriesView& view, size_t t, int32_t n, int32_t m1, int32_t m2);

double Rsi(const data::SeriesView& view, size_t t, int32_t n);
double Bias(const data::SeriesView& view, size_t t, int32_t n);  // percent

struct MacdValues {
    double diff = kNoValue;  // all three float-valued
    double dea = kNoValue;
    double macd = kNoValue;
};
MacdValues Macd(const data::SeriesView& view, size_t t, int32_t shortLength, int32_t longLength,
                int32_t signalLength);

struct BollValues {  // yuan
    double mid = 0;
    double upper = 0;
    double lower = 0;
};
BollValues Boll(const data::SeriesView& view, size_t t, int32_t n, int32_t width);

double WilliamsR(const data::SeriesView& view, size_t t, int32_t n);  // 0..100

struct DirectionalPair {
    double pdi = kNoValue;
    double mdi = kNoValue;
};
// Plain n-bar sums of the directional movements over the true ranges.
DirectionalPair Dmi(const data::SeriesView& view, size_t t, int32_t n);
// DX is taken as 0 where PDI + MDI = 0 (no directional movement at all).
double Adx(const data::SeriesView& view, size_t t, int32_t n, int32_t m);
double Adxr(const data::SeriesView& view, size_t t, int32_t n, int32_t m);

double Cci(const data::SeriesView& view, size_t t, int32_t n);

struct ArbrValues {
    double ar = kNoValue;
    double br = kNoValue;
};
ArbrValues Arbr(const data::SeriesView& view, size_t t, int32_t n);

double Psy(const data::SeriesView& view, size_t t, int32_t n);  // 0..100
// On-balance volume over the raw volume words (an index's volume is not
// divided by 10,000 here).
double Obv(const data::SeriesView& view, size_t t);
double Cr(const data::SeriesView& view, size_t t, int32_t n);
// The m-bar average of CR shifted back by 7m/5 bars.
double CrAverage(const data::SeriesView& view, size_t t, int32_t n, int32_t m);
double Vr(const data::SeriesView& view, size_t t, int32_t n);
double Roc(const data::SeriesView& view, size_t t, int32_t n);  // percent
// The sum of the valid ROC values of the last m bars divided by m.
double RocMa(const data::SeriesView& view, size_t t, int32_t n, int32_t m);
double Ddd(const data::SeriesView& view, size_t t, int32_t n1, int32_t n2);  // yuan
// The sum of the valid DDD values of the last m bars divided by m.
double Ama(const data::SeriesView& view, size_t t, int32_t n1, int32_t n2, int32_t m);

// ---- Whole indicators ------------------------------------------------------
// The lines of an index and the parameters each reads are its definition's
// (definitions.cpp).

struct LineValues {
    int count = 0;  // the definition's lines
    std::array<double, kMaxLines> values{};
};

// Whether a line's value is the no-value marker. Only real lines have one:
// the averages and BOLL answer 0 instead, a number like any other.
inline bool IsNoValue(LineKind kind, double value) {
    return kind == LineKind::Real && !HasValue(value);
}

// Every line of indicator `index` at bar t; outside the series each line's
// no-value (0 for the averages and BOLL, kNoValue for the others).
LineValues ComputeAt(const data::SeriesView& view, int index, const IndicatorParams& params,
                     size_t t);

// Every line of an indicator for the bars [first, last]: lines[line][t - first].
struct IndicatorSeries {
    int index = -1;
    size_t first = 0;
    size_t count = 0;  // bars computed; 0 when the range holds no bar
    int lineCount = 0;
    std::array<std::vector<double>, kMaxLines> lines;

    bool Covers(size_t t) const { return t >= first && t - first < count; }
    double At(int line, size_t t) const { return lines[line][t - first]; }
};

// One pass: recursions are carried forward from the oldest bar, window sums
// taken for all wanted bars together from bars decoded once. `last` is cut
// to the view's last bar; an unknown index or an empty range gives count 0.
IndicatorSeries ComputeSeries(const data::SeriesView& view, int index,
                              const IndicatorParams& params, size_t first, size_t last);
// The same over bars the caller decoded from the view (decoded_bars.h).
IndicatorSeries ComputeSeries(const DecodedBars& bars, int index, const IndicatorParams& params,
                              size_t first, size_t last);

}  // namespace indicators
