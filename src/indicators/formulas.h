// The indicator formulas, one bar at a time, over bars read as bar_reader.h
// reads them (inside src/indicators only). The public calculations run them
// bar by bar over a view; the definitions' calculations over a whole series.
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

inline int64_t Signed(uint32_t value) {
    return static_cast<int64_t>(value);
}

// Adds a yuan amount to a sum the definition keeps in single precision.
inline void AddSingle(float& sum, double value) {
    sum = static_cast<float>(double{sum} + value);
}

// Close averages round half up, volume averages truncate.
inline uint32_t RoundedMean(uint64_t sum, int32_t n) {
    return static_cast<uint32_t>(static_cast<double>(sum) / n + 0.5);
}
inline uint32_t TruncatedMean(uint64_t sum, int32_t n) {
    return static_cast<uint32_t>(sum / static_cast<uint64_t>(n));
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

template <class Bars>
double RsvOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0) return 0;
    const Extremes e = ExtremesOf(bars, t, n);
    if (e.high == e.low) return 100;
    return static_cast<double>(Signed(bars[t].close) - e.low) * 100 /
           static_cast<double>(Signed(e.high) - e.low);
}

template <class Bars>
double WilliamsROf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0) return kNoValue;
    const Extremes e = ExtremesOf(bars, t, n);
    if (e.high == e.low) return kNoValue;
    return static_cast<double>(Signed(e.high) - bars[t].close) * 100 /
           static_cast<double>(Signed(e.high) - e.low);
}

template <class Bars>
double BiasOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return kNoValue;
    float sum = 0;
    for (int32_t k = 0; k < n; ++k) AddSingle(sum, Yuan(bars[t - k].close));
    if (std::trunc(sum) == 0) return kNoValue;
    const double mean = double{sum} / n;
    return (Yuan(bars[t].close) - mean) * 100 / mean;
}

template <class Bars>
bool FlatCloses(const Bars& bars, size_t t, int32_t n) {
    const uint32_t close = bars[t].close;
    for (int32_t k = 1; k < n; ++k)
        if (bars[t - k].close != close) return false;
    return true;
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
    BollValues v;
    v.mid = double{s1} / n;
    // The float sums can leave a flat window a radicand just below (or above)
    // zero; a flat window has no deviation, and a negative radicand none either.
    const int64_t pairs = int64_t{n} * (n - 1);
    double sd = 0;
    if (pairs != 0 && !FlatCloses(bars, t, n)) {
        const double radicand = (n * double{s2} - double{s1} * double{s1}) / pairs;
        if (radicand > 0) sd = std::sqrt(radicand);
    }
    v.upper = v.mid + width * sd;
    v.lower = v.mid - width * sd;
    return v;
}

template <class Bars>
DirectionalPair DmiOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t < static_cast<size_t>(n)) return {};
    int64_t sumTr = 0;
    int64_t plus = 0;
    int64_t minus = 0;
    for (int32_t k = 0; k < n; ++k) {
        const Prices& bar = bars[t - k];
        const Prices& previous = bars[t - k - 1];
        const int64_t h = bar.high;
        const int64_t l = bar.low;
        const int64_t pc = previous.close;
        sumTr += std::max({h - l, std::abs(h - pc), std::abs(l - pc)});
        const int64_t up = h - Signed(previous.high);
        const int64_t dn = Signed(previous.low) - l;
        if (up > 0 && up > dn) plus += up;
        if (dn > 0 && dn > up) minus += dn;
    }
    if (sumTr == 0) return {};
    return {static_cast<double>(plus) * 100 / static_cast<double>(sumTr),
            static_cast<double>(minus) * 100 / static_cast<double>(sumTr)};
}

template <class DmiAt>
double AdxOf(size_t t, int32_t n, int32_t m, const DmiAt& dmi) {
    if (n <= 0 || m <= 0 || t < static_cast<size_t>(m)) return kNoValue;
    double sum = 0;
    for (int32_t j = 0; j < m; ++j) {
        const DirectionalPair pair = dmi(t - j);
        if (pair.pdi == kNoValue || pair.mdi == kNoValue) return kNoValue;
        const double total = pair.pdi + pair.mdi;
        // No directional movement at all: no trend strength either.
        if (total != 0) sum += std::fabs(pair.pdi - pair.mdi) * 100 / total;
    }
    return sum / m;
}

template <class AdxAt>
double AdxrOf(size_t t, int32_t n, int32_t m, const AdxAt& adx) {
    if (n <= 0 || m <= 0 || t < static_cast<size_t>(m)) return kNoValue;
    const double now = adx(t);
    const double before = adx(t - m);
    if (now == kNoValue || before == kNoValue) return kNoValue;
    return (now + before) / 2;
}

template <class Bars>
double TypicalPrice(const Bars& bars, size_t t) {
    const Prices& bar = bars[t];
    return (Yuan(bar.low) + Yuan(bar.high) + Yuan(bar.close)) * double{kThird};
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
    const double md = double{deviation} / n;
    if (md == 0) return kNoValue;
    return (current - mean) * 200 / (3 * md);
}

template <class Bars>
ArbrValues ArbrOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return {};
    int64_t highOpen = 0;
    int64_t openLow = 0;
    int64_t highClose = 0;
    int64_t closeLow = 0;
    for (int32_t k = 0; k < n; ++k) {
        const size_t u = t - k;
        const Prices& bar = bars[u];
        highOpen += std::abs(Signed(bar.high) - bar.open);
        openLow += std::abs(Signed(bar.open) - bar.low);
        if (u == 0) continue;
        const uint32_t pc = bars[u - 1].close;
        if (pc < bar.high) highClose += Signed(bar.high) - pc;
        if (bar.low < pc) closeLow += Signed(pc) - bar.low;
    }
    ArbrValues v;
    if (openLow != 0) v.ar = static_cast<double>(highOpen) * 100 / static_cast<double>(openLow);
    if (closeLow != 0) v.br = static_cast<double>(highClose) * 100 / static_cast<double>(closeLow);
    return v;
}

template <class Bars>
double PsyOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t < static_cast<size_t>(n)) return kNoValue;
    int32_t rising = 0;
    for (int32_t k = 0; k < n; ++k)
        if (bars[t - k - 1].close < bars[t - k].close) ++rising;
    return static_cast<double>(rising) * 100 / n;
}

template <class Bars>
double CrOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t == 0) return kNoValue;
    float up = 0;
    float down = 0;
    for (int32_t k = 0; k < n && static_cast<size_t>(k) < t; ++k) {
        const Prices& bar = bars[t - k];
        const Prices& previous = bars[t - k - 1];
        const double mid =
            (Yuan(previous.high) + Yuan(previous.low) + Yuan(previous.close)) * double{kThird};
        const double high = Yuan(bar.high);
        const double low = Yuan(bar.low);
        if (high > mid) AddSingle(up, high - mid);
        if (low < mid) AddSingle(down, mid - low);
    }
    if (down == 0) return kNoValue;
    return double{up} * 100 / double{down};
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

template <class Bars>
double VrOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t == 0) return kNoValue;
    double up = 0;
    double down = 0;
    for (int32_t k = 0; k < n && static_cast<size_t>(k) < t; ++k) {
        const Prices& bar = bars[t - k];
        if (bars[t - k - 1].close < bar.close)
            up += bar.volume;
        else
            down += bar.volume;
    }
    if (std::trunc(down) == 0) return kNoValue;
    return up * 100 / down;
}

template <class Bars>
double RocOf(const Bars& bars, size_t t, int32_t n) {
    if (n <= 0 || t < static_cast<size_t>(n)) return kNoValue;
    const double now = Yuan(bars[t].close);
    const double before = Yuan(bars[t - n].close);
    if (before == 0) return kNoValue;
    return (now - before) * 100 / before;
}

// The shared tail of ROCMA and AMA: valid values of the last m bars summed in
// single precision and divided by m, counted or not.
template <class ValueAt>
double SingleAverage(size_t t, int32_t m, const ValueAt& value) {
    float sum = 0;
    for (int32_t j = 0; j < m; ++j) {
        const double v = value(t - j);
        if (HasValue(v)) AddSingle(sum, v);
    }
    if (sum == 0) return kNoValue;
    return double{sum} / m;
}

template <class RocAt>
double RocMaOf(size_t t, int32_t n, int32_t m, const RocAt& roc) {
    if (n <= 0 || m <= 0 || t < static_cast<size_t>(n) || t < static_cast<size_t>(m))
        return kNoValue;
    return SingleAverage(t, m, roc);
}

template <class Bars>
double DddOf(const Bars& bars, size_t t, int32_t n1, int32_t n2) {
    if (!HasBars(t, n1) || !HasBars(t, n2)) return kNoValue;
    // Two float means of the same flat closes can differ in the last bit.
    if (FlatCloses(bars, t, std::max(n1, n2))) return 0;
    float s1 = 0;
    for (int32_t k = 0; k < n1; ++k) AddSingle(s1, Yuan(bars[t - k].close));
    float s2 = 0;
    for (int32_t k = 0; k < n2; ++k) AddSingle(s2, Yuan(bars[t - k].close));
    const float shortMean = static_cast<float>(double{s1} / n1);
    return double{shortMean} - double{s2} / n2;
}

template <class DddAt>
double AmaOf(size_t t, int32_t n1, int32_t n2, int32_t m, const DddAt& ddd) {
    if (!HasBars(t, n1) || !HasBars(t, n2) || !HasBars(t, m)) return kNoValue;
    return SingleAverage(t, m, ddd);
}

}  // namespace indicators
