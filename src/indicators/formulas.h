// The indicator formulas, one bar at a time, over bars read as bar_reader.h
// reads them (inside src/indicators only). The public calculations run them
// bar by bar over a view. A windowed formula is split into the window's sums
// (summed here afresh at each bar) and what it makes of them (the ...From
// functions), so that the whole-series calculations (series_calculations.cpp)
// can come by the same sums faster and finish them the same way.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "indicators/bar_reader.h"
#include "indicators/calculations.h"
#include "indicators/yuan.h"

namespace indicators {

// Whether the n bars ending at t exist (n > 0).
inline bool HasBars(size_t t, int32_t n) {
    return n > 0 && t + 1 >= static_cast<size_t>(n);
}

// The first bar with n bars up to it; none (past every bar) for n <= 0.
inline size_t FirstWithBars(int32_t n) {
    return n > 0 ? static_cast<size_t>(n) - 1 : SIZE_MAX;
}

inline int64_t Signed(uint32_t value) {
    return static_cast<int64_t>(value);
}

// Adds a yuan amount to a sum the definition keeps in single precision.
inline void AddSingle(float& sum, double value) {
    sum = static_cast<float>(double{sum} + value);
}

// Close averages round half up, volume averages truncate (n > 0).
inline uint32_t RoundedMean(uint64_t sum, int32_t n) {
    return static_cast<uint32_t>(static_cast<double>(sum) / n + 0.5);
}
// Truncated in double, a fraction of the cost of a 64-bit integer division
// and exact below 2^53: the double holds the sum, and the quotient, at least
// 1/n short of the next whole number, is less than 2^53 / n, so rounding
// moves it by under half of 1/n and never across one. Larger sums, far beyond
// real volumes, divide as integers.
inline uint32_t TruncatedMean(uint64_t sum, int32_t n) {
    if (sum >= uint64_t{1} << 53) return static_cast<uint32_t>(sum / static_cast<uint64_t>(n));
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<double>(sum) / n));
}

inline uint32_t CloseOf(const Prices& bar) {
    return bar.close;
}
inline uint32_t VolumeOf(const Prices& bar) {
    return bar.volume;
}

template <class Bars>
uint32_t CloseAverageOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return 0;
    uint64_t sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += CloseOf(bars[t - k]);
    return RoundedMean(sum, n);
}

template <class Bars>
uint32_t VolumeAverageOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return 0;
    uint64_t sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += VolumeOf(bars[t - k]);
    return TruncatedMean(sum, n);
}

struct Extremes {
    uint32_t high = 0;
    uint32_t low = 16'777'215;
};

// Highest high and lowest low of the n bars ending at t, fewer near bar 0.
template <class Bars>
Extremes ExtremesOf(const Bars& bars, size_t t, int32_t n) {
    Extremes e;
    for (int32_t k = 0; k < n && static_cast<size_t>(k) <= t; ++k) {
        const Prices& bar = bars[t - k];
        e.high = std::max(e.high, bar.high);
        e.low = std::min(e.low, bar.low);
    }
    return e;
}

// The ...From functions compute their value whether or not it is kept and
// choose after, so that whole columns of them run on the vector units.
// The differences of two prices are exact in double as they are in integers.
inline double PriceDifference(uint32_t a, uint32_t b) {
    return static_cast<double>(a) - static_cast<double>(b);
}

inline double RsvFrom(const Extremes& e, uint32_t close) {
    const double rsv = PriceDifference(close, e.low) * 100 / PriceDifference(e.high, e.low);
    return e.high == e.low ? 100 : rsv;
}

template <class Bars>
double RsvOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0) return 0;
    return RsvFrom(ExtremesOf(bars, t, n), bars[t].close);
}

inline double WilliamsRFrom(const Extremes& e, uint32_t close) {
    const double wr = PriceDifference(e.high, close) * 100 / PriceDifference(e.high, e.low);
    return e.high == e.low ? kNoValue : wr;
}

template <class Bars>
double WilliamsROf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0) return kNoValue;
    return WilliamsRFrom(ExtremesOf(bars, t, n), bars[t].close);
}

// The single-precision sum of the yuan closes of the n bars ending at t,
// newest first.
template <class Bars>
float CloseSum(const Bars& bars, size_t t, int32_t n) {
    float sum = 0;
    for (int32_t k = 0; k < n; ++k) AddSingle(sum, Yuan(bars[t - k].close));
    return sum;
}

// close in yuan.
inline double BiasFrom(float sum, double close, int32_t n) {
    const double mean = double{sum} / n;
    const double bias = (close - mean) * 100 / mean;
    return std::fabs(sum) < 1 ? kNoValue : bias;  // the sum's integer part is 0
}

template <class Bars>
double BiasOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return kNoValue;
    return BiasFrom(CloseSum(bars, t, n), Yuan(bars[t].close), n);
}

template <class Bars>
bool FlatCloses(const Bars& bars, size_t t, int32_t n) {
    const uint32_t close = bars[t].close;
    for (int32_t k = 1; k < n; ++k)
        if (bars[t - k].close != close) return false;
    return true;
}

// s1 and s2: the single-precision sums of the yuan closes and of their
// squares, newest first; flat: whether the window's closes are all the same.
inline double BollDeviation(float s1, float s2, bool flat, int32_t n) {
    // The float sums can leave a flat window a radicand just below (or above)
    // zero; a flat window has no deviation, and a negative radicand none either.
    const int64_t pairs = int64_t{n} * (n - 1);
    const double radicand =
        (n * double{s2} - double{s1} * double{s1}) / static_cast<double>(pairs);
    const double sd = std::sqrt(radicand);
    return pairs != 0 && !flat && radicand > 0 ? sd : 0;
}

inline BollValues BollBand(double mid, double sd, int32_t width) {
    return {mid, mid + width * sd, mid - width * sd};
}

inline BollValues BollFrom(float s1, float s2, bool flat, int32_t n, int32_t width) {
    return BollBand(double{s1} / n, BollDeviation(s1, s2, flat, n), width);
}

template <class Bars>
BollValues BollOf(const Bars& bars, size_t t, int32_t n, int32_t width) {
    if (!HasBars(t, n)) return {};
    float s1 = 0;
    float s2 = 0;
    for (int32_t i = 0; i < n; ++i) {
        const double x = Yuan(bars[t - i].close);
        AddSingle(s1, x);
        AddSingle(s2, x * x);
    }
    return BollFrom(s1, s2, FlatCloses(bars, t, n), n, width);
}

// What bar u (u > 0) adds to the DMI sums: its true range and its
// directional movements up and down.
struct DirectionalMove {
    int64_t trueRange = 0;
    int64_t plus = 0;
    int64_t minus = 0;

    DirectionalMove& operator+=(const DirectionalMove& m) {
        trueRange += m.trueRange;
        plus += m.plus;
        minus += m.minus;
        return *this;
    }
    DirectionalMove& operator-=(const DirectionalMove& m) {
        trueRange -= m.trueRange;
        plus -= m.plus;
        minus -= m.minus;
        return *this;
    }
};

template <class Bars>
DirectionalMove DirectionalMoveAt(const Bars& bars, size_t u) {
    const Prices& bar = bars[u];
    const Prices& previous = bars[u - 1];
    const int64_t h = bar.high;
    const int64_t l = bar.low;
    const int64_t pc = previous.close;
    DirectionalMove move;
    move.trueRange = std::max({h - l, std::abs(h - pc), std::abs(l - pc)});
    const int64_t up = h - Signed(previous.high);
    const int64_t dn = Signed(previous.low) - l;
    if (up > 0 && up > dn) move.plus = up;
    if (dn > 0 && dn > up) move.minus = dn;
    return move;
}

// The sums as doubles (exact: whole numbers far below 2^53).
inline DirectionalPair DmiFrom(double plus, double minus, double trueRange) {
    const DirectionalPair pair{plus * 100 / trueRange, minus * 100 / trueRange};
    return trueRange == 0 ? DirectionalPair{} : pair;
}

inline DirectionalPair DmiFrom(const DirectionalMove& sums) {
    return DmiFrom(static_cast<double>(sums.plus), static_cast<double>(sums.minus),
                   static_cast<double>(sums.trueRange));
}

template <class Bars>
DirectionalPair DmiOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t < static_cast<size_t>(n)) return {};
    DirectionalMove sums;
    for (int32_t k = 0; k < n; ++k) sums += DirectionalMoveAt(bars, t - k);
    return DmiFrom(sums);
}

inline bool HasPair(const DirectionalPair& pair) {
    return pair.pdi != kNoValue && pair.mdi != kNoValue;
}

// DX of a valid pair. No directional movement at all: no trend strength
// either. Never negative, so a sum of DX never turns -0.
inline double DxOf(const DirectionalPair& pair) {
    const double total = pair.pdi + pair.mdi;
    const double dx = std::fabs(pair.pdi - pair.mdi) * 100 / total;
    return total != 0 ? dx : 0;
}

template <class DmiAt>
double AdxOf(size_t t, int32_t n, int32_t m, const DmiAt& dmi) {
    if (n <= 0 || m <= 0 || t < static_cast<size_t>(m)) return kNoValue;
    double sum = 0;
    for (int32_t j = 0; j < m; ++j) {
        const DirectionalPair pair = dmi(t - j);
        if (!HasPair(pair)) return kNoValue;
        sum += DxOf(pair);
    }
    return sum / m;
}

// now and before: the ADX of a bar and of the bar m before it.
inline double AdxrFrom(double now, double before) {
    return now == kNoValue || before == kNoValue ? kNoValue : (now + before) / 2;
}

template <class AdxAt>
double AdxrOf(size_t t, int32_t n, int32_t m, const AdxAt& adx) {
    if (n <= 0 || m <= 0 || t < static_cast<size_t>(m)) return kNoValue;
    return AdxrFrom(adx(t), adx(t - m));
}

template <class Bars>
double TypicalPrice(const Bars& bars, size_t t) {
    const Prices& bar = bars[t];
    return (Yuan(bar.low) + Yuan(bar.high) + Yuan(bar.close)) * double{kThird};
}

// mean: the window's typical prices summed in single precision, newest
// first, over n; deviation: their distances from it summed the same way.
inline double CciFrom(double current, double mean, float deviation, int32_t n) {
    const double md = double{deviation} / n;
    const double cci = (current - mean) * 200 / (3 * md);
    return md == 0 ? kNoValue : cci;
}

template <class Bars>
double CciOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return kNoValue;
    const double current = TypicalPrice(bars, t);
    float sum = 0;
    bool flat = true;
    for (int32_t k = 0; k < n; ++k) {
        const double tp = TypicalPrice(bars, t - k);
        flat = flat && tp == current;
        AddSingle(sum, tp);
    }
    // Identical typical prices deviate by nothing; the float mean of them
    // need not equal them exactly, which would otherwise give a value.
    if (flat) return kNoValue;
    const double mean = double{sum} / n;
    float deviation = 0;
    for (int32_t k = 0; k < n; ++k)
        AddSingle(deviation, std::fabs(mean - TypicalPrice(bars, t - k)));
    return CciFrom(current, mean, deviation, n);
}

// What bar u adds to the ARBR sums (the previous close counts from bar 1).
struct ArbrMove {
    int64_t highOpen = 0;
    int64_t openLow = 0;
    int64_t highClose = 0;
    int64_t closeLow = 0;

    ArbrMove& operator+=(const ArbrMove& m) {
        highOpen += m.highOpen;
        openLow += m.openLow;
        highClose += m.highClose;
        closeLow += m.closeLow;
        return *this;
    }
    ArbrMove& operator-=(const ArbrMove& m) {
        highOpen -= m.highOpen;
        openLow -= m.openLow;
        highClose -= m.highClose;
        closeLow -= m.closeLow;
        return *this;
    }
};

template <class Bars>
ArbrMove ArbrMoveAt(const Bars& bars, size_t u) {
    const Prices& bar = bars[u];
    ArbrMove move;
    move.highOpen = std::abs(Signed(bar.high) - bar.open);
    move.openLow = std::abs(Signed(bar.open) - bar.low);
    if (u == 0) return move;
    const uint32_t pc = bars[u - 1].close;
    if (pc < bar.high) move.highClose = Signed(bar.high) - pc;
    if (bar.low < pc) move.closeLow = Signed(pc) - bar.low;
    return move;
}

// A ratio of two of the sums as doubles (exact: whole numbers far below 2^53).
inline double ArbrRatio(double over, double under) {
    const double ratio = over * 100 / under;
    return under != 0 ? ratio : kNoValue;
}

inline ArbrValues ArbrFrom(const ArbrMove& sums) {
    return {ArbrRatio(static_cast<double>(sums.highOpen), static_cast<double>(sums.openLow)),
            ArbrRatio(static_cast<double>(sums.highClose), static_cast<double>(sums.closeLow))};
}

template <class Bars>
ArbrValues ArbrOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return {};
    ArbrMove sums;
    for (int32_t k = 0; k < n; ++k) sums += ArbrMoveAt(bars, t - k);
    return ArbrFrom(sums);
}

// Whether bar u (u > 0) closed above the bar before it.
template <class Bars>
bool RoseAt(const Bars& bars, size_t u) {
    return bars[u - 1].close < bars[u].close;
}

inline double PsyFrom(int64_t rising, int32_t n) {
    return static_cast<double>(rising) * 100 / n;
}

template <class Bars>
double PsyOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t < static_cast<size_t>(n)) return kNoValue;
    int64_t rising = 0;
    for (int32_t k = 0; k < n; ++k)
        if (RoseAt(bars, t - k)) ++rising;
    return PsyFrom(rising, n);
}

// What bar u (u > 0) adds to CR's sums: how far its high rose above the
// previous bar's middle price and its low fell below it, in yuan; 0 where
// it did not (adding 0 leaves a sum as it is, so a term can stand in for
// an addition left out).
struct CrMove {
    double up = 0;
    double down = 0;
};

template <class Bars>
CrMove CrMoveAt(const Bars& bars, size_t u) {
    const Prices& bar = bars[u];
    const Prices& previous = bars[u - 1];
    const double mid =
        (Yuan(previous.high) + Yuan(previous.low) + Yuan(previous.close)) * double{kThird};
    const double high = Yuan(bar.high);
    const double low = Yuan(bar.low);
    return {high > mid ? high - mid : 0.0, low < mid ? mid - low : 0.0};
}

inline double CrFrom(float up, float down) {
    const double cr = double{up} * 100 / double{down};
    return down == 0 ? kNoValue : cr;
}

template <class Bars>
double CrOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t == 0) return kNoValue;
    float up = 0;
    float down = 0;
    for (int32_t k = 0; k < n && static_cast<size_t>(k) < t; ++k) {
        const CrMove move = CrMoveAt(bars, t - k);
        AddSingle(up, move.up);
        AddSingle(down, move.down);
    }
    return CrFrom(up, down);
}

template <class CrAt>
double CrAverageOf(size_t t, int32_t n, int32_t m, const CrAt& cr) {
    if (n <= 0 || m <= 0) return kNoValue;
    const int64_t shift = int64_t{7} * m / 5;
    if (static_cast<int64_t>(t) <= shift) return kNoValue;
    const size_t start = t - static_cast<size_t>(shift);
    if (cr(start) == kNoValue) return kNoValue;
    double sum = 0;
    for (int32_t j = 0; j < m; ++j) {
        const double value = cr(start + j);
        if (value != kNoValue) sum += value;
    }
    return sum / m;
}

// up and down: the volumes of the rising and the other bars, summed in
// double; whole numbers far below 2^53, so every partial sum is exact.
inline double VrFrom(double up, double down) {
    const double vr = up * 100 / down;
    return std::fabs(down) < 1 ? kNoValue : vr;  // the integer part of down is 0
}

template <class Bars>
double VrOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t == 0) return kNoValue;
    double up = 0;
    double down = 0;
    for (int32_t k = 0; k < n && static_cast<size_t>(k) < t; ++k) {
        if (RoseAt(bars, t - k))
            up += bars[t - k].volume;
        else
            down += bars[t - k].volume;
    }
    return VrFrom(up, down);
}

// now and before: the yuan closes of a bar and of the bar n before it.
inline double RocFrom(double now, double before) {
    const double roc = (now - before) * 100 / before;
    return before == 0 ? kNoValue : roc;
}

template <class Bars>
double RocOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t < static_cast<size_t>(n)) return kNoValue;
    return RocFrom(Yuan(bars[t].close), Yuan(bars[t - n].close));
}

// The shared tail of ROCMA and AMA: valid values of the last m bars summed in
// single precision and divided by m, counted or not. A value without value
// adds 0, which leaves the sum as it is (x + -x is +0, so it never turns -0).
inline double ValidOrZero(double value) {
    return HasValue(value) ? value : 0.0;
}

inline double SingleAverageFrom(float sum, int32_t m) {
    const double average = double{sum} / m;
    return sum == 0 ? kNoValue : average;
}

template <class ValueAt>
double SingleAverage(size_t t, int32_t m, const ValueAt& value) {
    float sum = 0;
    for (int32_t j = 0; j < m; ++j) AddSingle(sum, ValidOrZero(value(t - j)));
    return SingleAverageFrom(sum, m);
}

template <class RocAt>
double RocMaOf(size_t t, int32_t n, int32_t m, const RocAt& roc) {
    if (n <= 0 || m <= 0 || t < static_cast<size_t>(n) || t < static_cast<size_t>(m))
        return kNoValue;
    return SingleAverage(t, m, roc);
}

inline double DddFrom(float s1, float s2, int32_t n1, int32_t n2) {
    const float shortMean = static_cast<float>(double{s1} / n1);
    return double{shortMean} - double{s2} / n2;
}

template <class Bars>
double DddOf(const Bars& bars, size_t t, int32_t n1, int32_t n2) {
    if (!HasBars(t, n1) || !HasBars(t, n2)) return kNoValue;
    // Two float means of the same flat closes can differ in the last bit.
    if (FlatCloses(bars, t, std::max(n1, n2))) return 0;
    return DddFrom(CloseSum(bars, t, n1), CloseSum(bars, t, n2), n1, n2);
}

template <class DddAt>
double AmaOf(size_t t, int32_t n1, int32_t n2, int32_t m, const DddAt& ddd) {
    if (!HasBars(t, n1) || !HasBars(t, n2) || !HasBars(t, m)) return kNoValue;
    return SingleAverage(t, m, ddd);
}

}  // namespace indicators
