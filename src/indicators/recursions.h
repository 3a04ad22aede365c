// The recursive indicators as steppers, for callers that carry them forward
// themselves. Feeding the bars 0, 1, ..., t in order gives exactly the values
// of calculations.h at t; the chart may feed fewer bars (one per pixel
// column) once the recursion has been run up to its first column.
//
// The steps are defined here, inline: a whole-series calculation feeds every
// bar, and a step called out of line keeps its state in memory, which adds a
// store and a load to every link of the recursion's chain.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <variant>

#include "data/bars.h"
#include "indicators/calculations.h"
#include "indicators/yuan.h"

namespace indicators {

// A divisor of the float recursions with its reciprocal, taken once.
struct Divisor {
    explicit Divisor(double d) : value(d), reciprocal(1.0 / d) {}
    double value;
    double reciprocal;
};

// static_cast<float>(x / d.value), the double quotient stored in a float as
// the recursions keep K, D and the EMAs, given back as a double. A division
// waits some 14 cycles and every step of such a recursion waits on the one
// before; a multiplication by the reciprocal waits 4. Its product p is within
// 4 units in the last place of the quotient q (two roundings of at most half
// a unit each, plus the reciprocal's), so p and q store as the same float
// unless a midpoint between two floats lies within 4 units of p. Such
// midpoints sit in p's binade, where the 29 bits below the float's precision
// read 2^28; if they are more than 8 units off, and p is well inside the
// floats' normal range, the float of p is the float of q, and p rounds to it
// by adding half a float unit to those bits and clearing them (no tie to
// break, a carry moves into the exponent as it should), without the two
// conversions to float and back. Otherwise (one step in some thirty million)
// it divides.
inline double SingleQuotient(double x, const Divisor& d) {
    constexpr uint64_t kBelow = (uint64_t{1} << 29) - 1;
    constexpr uint64_t kHalf = uint64_t{1} << 28;
    const double p = x * d.reciprocal;
    const uint64_t bits = std::bit_cast<uint64_t>(p);
    const uint64_t exponent = (bits >> 52) & 0x7FF;  // biased by 1023
    const bool clear = (bits & kBelow) - (kHalf - 8) > 16;
    const bool normal = exponent - (1023 - 125) <= 125 + 126;  // 2^-125 <= |p| < 2^127
    if (clear && normal) [[likely]]
        return std::bit_cast<double>((bits + kHalf) & ~kBelow);
    return static_cast<float>(x / d.value);
}

// MACD: EMA_S, EMA_L, DIFF, DEA and MACD held in 32-bit floats. The first bar
// fed seeds both averages with its close and gives DIFF = DEA = MACD = 0.
class MacdRecursion {
public:
    MacdRecursion(int32_t shortLength, int32_t longLength, int32_t signalLength)
        : m_short(shortLength),
          m_long(longLength),
          m_signal(signalLength),
          m_shortDivisor(shortLength + 1.0),
          m_longDivisor(longLength + 1.0),
          m_signalDivisor(signalLength + 1.0) {}
    void Feed(const data::SeriesView& view, size_t t);
    // The step with a given close in 0.01 units (what Feed does).
    void FeedClose(uint32_t close);
    // All 65535 when a length is 0 or nothing was fed.
    MacdValues Values() const;

private:
    int32_t m_short;
    int32_t m_long;
    int32_t m_signal;
    Divisor m_shortDivisor;
    Divisor m_longDivisor;
    Divisor m_signalDivisor;
    bool m_started = false;
    // The averages and DEA are float values, kept as doubles (the step uses
    // them so); DIFF and MACD are floats.
    double m_emaShort = 0;
    double m_emaLong = 0;
    float m_diff = 0;
    double m_dea = 0;
    float m_macd = 0;
};

// KD/KDJ: K and D held in 32-bit floats; the first bar fed seeds both with its
// RSV before the first step. J comes from the unrounded K and the stored D.
class KdRecursion {
public:
    KdRecursion(int32_t n, int32_t m1, int32_t m2)
        : m_n(n), m_m1(m1), m_m2(m2), m_kDivisor(m1), m_dDivisor(m2) {}
    void Feed(const data::SeriesView& view, size_t t);
    // The step with a given RSV (what Feed does after computing it).
    void FeedRsv(double rsv);
    KdValues Values() const;

private:
    int32_t m_n;
    int32_t m_m1;
    int32_t m_m2;
    Divisor m_kDivisor;
    Divisor m_dDivisor;
    bool m_started = false;
    double m_k = 0;  // float values, kept as doubles (the step uses them so)
    double m_d = 0;
    double m_j = 0;
};

// RSI: the smoothed up-move A and absolute move B in double. Feeding bar t
// uses its move from bar t - 1; bar 0 has no move.
class RsiRecursion {
public:
    explicit RsiRecursion(int32_t n) : m_n(n) {}
    void Feed(const data::SeriesView& view, size_t t);
    // The step with the move from `previous` to `close` (0.01 units); bar 0 is
    // fed as (close, close).
    void FeedMove(uint32_t previous, uint32_t close);
    // 65535 while B is 0 or the length is 0.
    double Value() const;
    double UpAverage() const { return m_averages[0]; }
    double MoveAverage() const { return m_averages[1]; }

private:
    // A and B side by side: they take the same step, so one two-lane division
    // serves both, and the chain of divisions a whole series waits on halves.
    using Averages = double __attribute__((vector_size(16)));

    int32_t m_n;
    Averages m_averages{0, 0};
};

// OBV: the raw volume of a bar added when its close rises over the previous
// close, taken off when it falls; accumulated in double.
class ObvRecursion {
public:
    void Feed(const data::SeriesView& view, size_t t);
    // The step of one bar after the first: its close against the previous one
    // and its raw volume word.
    void FeedStep(uint32_t previousClose, uint32_t close, uint32_t rawVolume);
    double Value() const { return m_sum; }

private:
    double m_sum = 0;
};

class ViewBars;  // bar_reader.h

// The recursive lines of a whole indicator, fed together one bar at a time:
// what a definition's calculation walks from the oldest bar, and what the
// chart's Carry steps column by column. Bars: ViewBars or DecodedBars
// (bar_reader.h), both giving Prices.
class RsiLines {  // three RSI lengths
public:
    explicit RsiLines(const IndicatorParams& params)
        : m_rsi{RsiRecursion(params.values[0]), RsiRecursion(params.values[1]),
                RsiRecursion(params.values[2])} {}
    template <class Bars>
    void Feed(const Bars& bars, size_t t) {
        const uint32_t close = bars[t].close;
        const uint32_t previous = t == 0 ? close : bars[t - 1].close;
        // Named one by one, not looped: a whole-series walk then keeps all
        // three in registers.
        m_rsi[0].FeedMove(previous, close);
        m_rsi[1].FeedMove(previous, close);
        m_rsi[2].FeedMove(previous, close);
    }
    LineValues Values() const;

private:
    std::array<RsiRecursion, 3> m_rsi;
};

class MacdLines {  // DIFF, DEA, MACD
public:
    explicit MacdLines(const IndicatorParams& params)
        : m_macd(params.values[0], params.values[1], params.values[2]) {}
    template <class Bars>
    void Feed(const Bars& bars, size_t t) {
        m_macd.FeedClose(bars[t].close);
    }
    LineValues Values() const {
        const MacdValues v = m_macd.Values();
        return {3, {v.diff, v.dea, v.macd}};
    }

private:
    MacdRecursion m_macd;
};

class KdLines {  // K, D and J; KD shows the first two
public:
    explicit KdLines(const IndicatorParams& params);
    void Feed(const ViewBars& bars, size_t t);
    LineValues Values() const;

private:
    int32_t m_n;
    KdRecursion m_kd;
};

class ObvLine {
public:
    explicit ObvLine(const IndicatorParams&) {}
    template <class Bars>
    void Feed(const Bars& bars, size_t t) {
        if (t > 0) m_obv.FeedStep(bars[t - 1].close, bars[t].close, bars[t].rawVolume);
    }
    LineValues Values() const { return {1, {m_obv.Value()}}; }

private:
    ObvRecursion m_obv;
};

// The recursion of an indicator the lower panel carries along its columns:
// fed bars in order (every bar up to the first column, then one bar per
// column), it gives every line after each. A copy is a snapshot.
class Carry {
public:
    template <class Lines>
    explicit Carry(Lines lines) : m_lines(std::move(lines)) {}

    void Feed(const data::SeriesView& view, size_t t);
    LineValues Values() const;

private:
    std::variant<RsiLines, MacdLines, KdLines> m_lines;
};

// A definition's StartCarry.
template <class Lines>
Carry StartCarryOf(const IndicatorParams& params) {
    return Carry(Lines(params));
}

inline void MacdRecursion::FeedClose(uint32_t close) {
    const double x = Yuan(close);
    if (!m_started) {
        m_started = true;
        m_emaShort = static_cast<float>(x);
        m_emaLong = static_cast<float>(x);
        m_diff = m_dea = m_macd = 0;
        return;
    }
    if (m_short <= 0 || m_long <= 0 || m_signal <= 0) return;
    m_emaShort = SingleQuotient(2 * x + (m_short - 1) * double{m_emaShort}, m_shortDivisor);
    m_emaLong = SingleQuotient(2 * x + (m_long - 1) * double{m_emaLong}, m_longDivisor);
    m_diff = static_cast<float>(double{m_emaShort} - double{m_emaLong});
    m_dea = SingleQuotient((m_signal - 1) * double{m_dea} + 2 * double{m_diff}, m_signalDivisor);
    m_macd = static_cast<float>((double{m_diff} - double{m_dea}) * 2);
}

inline MacdValues MacdRecursion::Values() const {
    if (!m_started || m_short <= 0 || m_long <= 0 || m_signal <= 0) return {};
    return {m_diff, m_dea, m_macd};
}

inline void KdRecursion::FeedRsv(double rsv) {
    if (m_n <= 0 || m_m1 <= 0 || m_m2 <= 0) return;
    if (!m_started) {
        m_started = true;
        m_k = m_d = static_cast<float>(rsv);
    }
    // K and D live in floats; J is taken before K is stored (the division
    // itself, which the next step does not wait on).
    const double sum = rsv + (m_m1 - 1) * double{m_k};
    m_k = SingleQuotient(sum, m_kDivisor);
    m_d = SingleQuotient(double{m_k} + (m_m2 - 1) * double{m_d}, m_dDivisor);
    m_j = 3 * (sum / m_m1) - 2 * double{m_d};
}

inline KdValues KdRecursion::Values() const {
    if (!m_started) return {};
    return {m_k, m_d, m_j};
}

inline void RsiRecursion::FeedMove(uint32_t previous, uint32_t close) {
    if (m_n <= 0) return;
    const double move = Yuan(close) - Yuan(previous);
    const Averages moved{move > 0 ? move : 0, std::fabs(move)};
    m_averages = (moved + static_cast<double>(m_n - 1) * m_averages) / static_cast<double>(m_n);
}

inline double RsiRecursion::Value() const {
    if (m_n <= 0 || MoveAverage() == 0) return kNoValue;
    return UpAverage() * 100 / MoveAverage();
}

inline void ObvRecursion::FeedStep(uint32_t previousClose, uint32_t close, uint32_t rawVolume) {
    if (close > previousClose) m_sum += rawVolume;
    if (close < previousClose) m_sum -= rawVolume;
}

inline LineValues RsiLines::Values() const {
    return {3, {m_rsi[0].Value(), m_rsi[1].Value(), m_rsi[2].Value()}};
}

}  // namespace indicators
