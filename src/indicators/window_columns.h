// Window sums for a whole range of bars at once (inside src/indicators only):
// what the formulas of formulas.h sum afresh at every bar, for the bars
// first..last together, to the same bits.
//
// Integer sums are exact, so they come from running totals. Sums kept in
// single (or double) precision depend on their order, so each window is still
// added newest bar first, as the formula adds it; but all windows take their
// k-th step together, so no window waits for the rounding of its previous
// step, and the passes run at the processor's throughput instead of its
// latency.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "indicators/formulas.h"

namespace indicators {

// One value per bar 0..count-1.
template <class Value, class ValueAt>
std::vector<Value> Column(size_t count, const ValueAt& valueAt) {
    std::vector<Value> column(count);
    for (size_t u = 0; u < count; ++u) column[u] = valueAt(u);
    return column;
}

// sums[i] = AddSingle(sums[i], terms[i]) for i < count; doubles the same
// with a plain double addition. One step of every window at once; built for
// the wider vector units too where the processor has them (the same IEEE
// operations, so the same bits).
void AddSingleColumn(float* sums, const double* terms, size_t count);
void AddDoubleColumn(double* sums, const double* terms, size_t count);
// out[i] = max(a[i], b[i]), and min.
void HigherOfColumns(uint32_t* out, const uint32_t* a, const uint32_t* b, size_t count);
void LowerOfColumns(uint32_t* out, const uint32_t* a, const uint32_t* b, size_t count);

// Bars per block of the window passes. Each block takes every step of its
// windows before the next block starts, so its sums and the values they reach
// stay in the first-level cache instead of every step streaming whole columns
// through it. Each window still takes its steps in order: the same bits.
inline constexpr size_t kBlockBars = 1024;

// block(begin, end) for the bars first..last cut into blocks, begin < end.
template <class Block>
void ForEachBlock(size_t first, size_t last, const Block& block) {
    for (size_t begin = first; begin <= last; begin += kBlockBars)
        block(begin, std::min(last + 1, begin + kBlockBars));
}

// step(k, from, count): the k-th step (k = 0..n-1) of the windows ending at
// bars from..from+count-1, each window stopping at bar 0; block by block.
template <class Step>
void ForEachWindowStep(size_t first, size_t last, int32_t n, const Step& step) {
    ForEachBlock(first, last, [&](size_t begin, size_t end) {
        for (int32_t k = 0; k < n; ++k) {
            const size_t from = std::max(begin, static_cast<size_t>(k));
            if (from >= end) break;
            step(k, from, end - from);
        }
    });
}

// sums[t - first] = AddSingle of values[t], values[t - 1], ... over the n
// bars ending at t, newest first, stopping at bar 0; values holds bars
// 0..last.
inline std::vector<float> SingleSums(size_t first, size_t last, int32_t n,
                                     const std::vector<double>& values) {
    std::vector<float> sums(last - first + 1, 0.0f);
    ForEachWindowStep(first, last, n, [&](int32_t k, size_t from, size_t count) {
        AddSingleColumn(sums.data() + (from - first), values.data() + (from - k), count);
    });
    return sums;
}

// SingleSums for several window lengths from one pass: the sum of the n
// bars ending at t is the longer windows' sum after their first n steps.
template <size_t kLengths>
std::array<std::vector<float>, kLengths> NestedSingleSums(
    size_t first, size_t last, const std::array<int32_t, kLengths>& lengths,
    const std::vector<double>& values) {
    std::array<std::vector<float>, kLengths> out;
    for (std::vector<float>& sums : out) sums.resize(last - first + 1);
    const int32_t longest = std::max(0, *std::max_element(lengths.begin(), lengths.end()));
    std::vector<float> sums(last - first + 1, 0.0f);
    ForEachBlock(first, last, [&](size_t begin, size_t end) {
        for (int32_t k = 0; k <= longest; ++k) {
            for (size_t i = 0; i < kLengths; ++i)
                if (lengths[i] == k || (k == 0 && lengths[i] < 0))
                    std::copy(sums.begin() + (begin - first), sums.begin() + (end - first),
                              out[i].begin() + (begin - first));
            const size_t from = std::max(begin, static_cast<size_t>(k));
            if (k == longest || from >= end) continue;
            AddSingleColumn(sums.data() + (from - first), values.data() + (from - k), end - from);
        }
    });
    return out;
}

// The same as SingleSums in double precision.
inline std::vector<double> DoubleSums(size_t first, size_t last, int32_t n,
                                      const std::vector<double>& values) {
    std::vector<double> sums(last - first + 1, 0.0);
    ForEachWindowStep(first, last, n, [&](int32_t k, size_t from, size_t count) {
        AddDoubleColumn(sums.data() + (from - first), values.data() + (from - k), count);
    });
    return sums;
}

// Exact sums of whole-number values over windows: totals[i] are the values
// of bars 0..i-1 added up, so the n bars ending at t (fewer near bar 0) sum
// to Window(t, n).
class RunningTotals {
public:
    template <class ValueAt>
    RunningTotals(size_t count, const ValueAt& valueAt) : m_totals(count + 1, 0) {
        for (size_t u = 0; u < count; ++u) m_totals[u + 1] = m_totals[u] + valueAt(u);
    }
    int64_t Window(size_t t, int32_t n) const {
        const size_t length = std::min(static_cast<size_t>(std::max(n, 0)), t + 1);
        return m_totals[t + 1] - m_totals[t + 1 - length];
    }

private:
    std::vector<int64_t> m_totals;
};

// The sum of the last n moves added (all of them while there are fewer),
// for moves of whole numbers, which add and take off exactly: each new move
// is added and the one n moves before it taken off, so each is made once.
template <class Move>
class SlidingSum {
public:
    explicit SlidingSum(int32_t n) : m_recent(static_cast<size_t>(std::max(n, 0))) {}
    const Move& Add(const Move& move) {
        m_sum += move;
        if (m_recent.empty()) return m_sum;
        if (m_full) m_sum -= m_recent[m_oldest];
        m_recent[m_oldest] = move;
        if (++m_oldest == m_recent.size()) {
            m_oldest = 0;
            m_full = true;
        }
        return m_sum;
    }

private:
    Move m_sum;
    std::vector<Move> m_recent;  // the last n moves, oldest at m_oldest once full
    size_t m_oldest = 0;
    bool m_full = false;
};

// How many bars in a row end at bar u with the same value: the n bars ending
// at t are all the same exactly when Runs()[t] >= n.
template <class SameAsBefore>
std::vector<uint32_t> EqualRuns(size_t count, const SameAsBefore& sameAsBefore) {
    std::vector<uint32_t> runs(count);
    for (size_t u = 0; u < count; ++u) runs[u] = u > 0 && sameAsBefore(u) ? runs[u - 1] + 1 : 1;
    return runs;
}

// The extreme of the n values ending at every entry (fewer near the first),
// by doubling: after a step of length p each entry holds the extreme of the
// p values ending at it, and two overlapping windows of the longest such p
// cover n. A few whole-column passes, which run on the vector units, instead
// of a scan that waits on itself. take(out, a, b, count): out[i] = the
// extreme of a[i] and b[i].
template <class Take>
std::vector<uint32_t> WindowExtreme(std::vector<uint32_t> values, int32_t n, const Take& take) {
    const size_t count = values.size();
    std::vector<uint32_t> next(count);
    // The entries before `shift` keep theirs: their windows reach the first.
    auto step = [&](size_t shift) {
        const size_t kept = std::min(shift, count);
        std::copy(values.begin(), values.begin() + kept, next.begin());
        if (kept < count)
            take(next.data() + kept, values.data() + kept, values.data(), count - kept);
        values.swap(next);
    };
    size_t p = 1;
    for (; 2 * p <= static_cast<size_t>(n); p *= 2) step(p);
    if (static_cast<size_t>(n) > p) step(static_cast<size_t>(n) - p);
    return values;
}

// ExtremesOf for every bar 0..count-1: the highest high and lowest low of
// the n bars ending at it (fewer near bar 0).
class WindowExtremes {
public:
    template <class Bars>
    WindowExtremes(const Bars& bars, size_t count, int32_t n) {
        if (n <= 0) {
            m_high.assign(count, Extremes{}.high);
            m_low.assign(count, Extremes{}.low);
            return;
        }
        std::vector<uint32_t> highs(count);
        std::vector<uint32_t> lows(count);
        for (size_t u = 0; u < count; ++u) {
            highs[u] = std::max(Extremes{}.high, bars[u].high);
            lows[u] = std::min(Extremes{}.low, bars[u].low);
        }
        m_high = WindowExtreme(std::move(highs), n, HigherOfColumns);
        m_low = WindowExtreme(std::move(lows), n, LowerOfColumns);
    }
    Extremes At(size_t t) const { return {m_high[t], m_low[t]}; }

private:
    std::vector<uint32_t> m_high;
    std::vector<uint32_t> m_low;
};

}  // namespace indicators
