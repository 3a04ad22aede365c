// The recursive indicators as steppers, for callers that carry them forward
// themselves. Feeding the bars 0, 1, ..., t in order gives exactly the values
// of calculations.h at t; the chart may feed fewer bars (one per pixel
// column) once the recursion has been run up to its first column.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <variant>

#include "data/bars.h"
#include "indicators/calculations.h"

namespace indicators {

// MACD: EMA_S, EMA_L, DIFF, DEA and MACD held in 32-bit floats. The first bar
// fed seeds both averages with its close and gives DIFF = DEA = MACD = 0.
class MacdRecursion {
public:
    MacdRecursion(int32_t shortLength, int32_t longLength, int32_t signalLength);
    void Feed(const data::SeriesView& view, size_t t);
    // The step with a given close in 0.01 units (what Feed does).
    void FeedClose(uint32_t close);
    // All 65535 when a length is 0 or nothing was fed.
    MacdValues Values() const;

private:
    int32_t m_short;
    int32_t m_long;
    int32_t m_signal;
    bool m_started = false;
    float m_emaShort = 0;
    float m_emaLong = 0;
    float m_diff = 0;
    float m_dea = 0;
    float m_macd = 0;
};

// KD/KDJ: K and D held in 32-bit floats; the first bar fed seeds both with its
// RSV before the first step. J comes from the unrounded K and the stored D.
class KdRecursion {
public:
    KdRecursion(int32_t n, int32_t m1, int32_t m2);
    void Feed(const data::SeriesView& view, size_t t);
    // The step with a given RSV (what Feed does after computing it).
    void FeedRsv(double rsv);
    KdValues Values() const;

private:
    int32_t m_n;
    int32_t m_m1;
    int32_t m_m2;
    bool m_started = false;
    float m_k = 0;
    float m_d = 0;
    double m_j = 0;
};

// RSI: the smoothed up-move A and absolute move B in double. Feeding bar t
// uses its move from bar t - 1; bar 0 has no move.
class RsiRecursion {
public:
    explicit RsiRecursion(int32_t n);
    void Feed(const data::SeriesView& view, size_t t);
    // The step with the move from `previous` to `close` (0.01 units); bar 0 is
    // fed as (close, close).
    void FeedMove(uint32_t previous, uint32_t close);
    // 65535 while B is 0 or the length is 0.
    double Value() const;
    double UpAverage() const { return m_up; }
    double MoveAverage() const { return m_move; }

private:
    int32_t m_n;
    double m_up = 0;
    double m_move = 0;
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

class ViewBars;    // bar_reader.h
class DecodedBars;  // bar_reader.h

// The recursive lines of a whole indicator, fed together one bar at a time:
// what a definition's calculation walks from the oldest bar, and what the
// chart's Carry steps column by column.
class RsiLines {  // three RSI lengths
public:
    explicit RsiLines(const IndicatorParams& params);
    void Feed(const ViewBars& bars, size_t t);
    void Feed(const DecodedBars& bars, size_t t);
    LineValues Values() const;

private:
    std::array<RsiRecursion, 3> m_rsi;
};

class MacdLines {  // DIFF, DEA, MACD
public:
    explicit MacdLines(const IndicatorParams& params);
    void Feed(const ViewBars& bars, size_t t);
    void Feed(const DecodedBars& bars, size_t t);
    LineValues Values() const;

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
    void Feed(const ViewBars& bars, size_t t);
    void Feed(const DecodedBars& bars, size_t t);
    LineValues Values() const;

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

}  // namespace indicators
