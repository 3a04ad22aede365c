// What a definition's calculation works on (inside src/indicators only): the
// bars up to the last one wanted, each decoded once, the parameters in force
// and the lines to fill for the bars first..last. ComputeSeries sets it up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "indicators/bar_reader.h"
#include "indicators/calculations.h"

namespace indicators {

// Values of a helper line (CR, DMI, ADX, ROC, DDD) computed once per bar when
// first asked for, so that a series reuses them across windows.
template <class Value, class Compute>
class Memo {
public:
    Memo(size_t count, Compute compute)
        : m_compute(std::move(compute)), m_values(count), m_done(count, 0) {}
    const Value& operator()(size_t t) const {
        if (!m_done[t]) {
            m_values[t] = m_compute(t);
            m_done[t] = 1;
        }
        return m_values[t];
    }

private:
    Compute m_compute;
    mutable std::vector<Value> m_values;
    mutable std::vector<char> m_done;
};

class SeriesWork {
public:
    SeriesWork(const CachedBars& bars, const IndicatorParams& params, IndicatorSeries& out)
        : m_bars(bars), m_params(params), m_out(out) {}

    const CachedBars& Bars() const { return m_bars; }
    const IndicatorParams& Params() const { return m_params; }
    int32_t Param(int i) const { return m_params.values[i]; }
    int LineCount() const { return m_out.lineCount; }
    size_t First() const { return m_out.first; }
    size_t Last() const { return m_out.first + m_out.count - 1; }

    // A line at every wanted bar, first to last in order: value(t).
    template <class ValueAt>
    void Fill(int line, const ValueAt& value) {
        if (line >= m_out.lineCount) return;
        for (size_t t = First(); t <= Last(); ++t) m_out.lines[line][t - First()] = value(t);
    }
    // Every line at every wanted bar from one call per bar.
    template <class ValuesAt>
    void FillAll(const ValuesAt& values) {
        for (size_t t = First(); t <= Last(); ++t) Set(t, values(t));
    }
    // The lines of one wanted bar; values past the definition's lines are
    // not kept.
    void Set(size_t t, const LineValues& values) {
        for (int k = 0; k < m_out.lineCount && k < values.count; ++k)
            m_out.lines[k][t - First()] = values.values[k];
    }

    // A helper line over the bars up to the last wanted.
    template <class Value, class Compute>
    Memo<Value, Compute> Remember(Compute compute) const {
        return Memo<Value, Compute>(Last() + 1, std::move(compute));
    }

private:
    const CachedBars& m_bars;
    const IndicatorParams& m_params;
    IndicatorSeries& m_out;
};

// The calculation of a recursive indicator: its lines (recursions.h) fed
// every bar from the oldest on.
template <class Lines>
void Recursive(SeriesWork& work) {
    Lines lines(work.Params());
    for (size_t u = 0; u <= work.Last(); ++u) {
        lines.Feed(work.Bars(), u);
        if (u >= work.First()) work.Set(u, lines.Values());
    }
}

}  // namespace indicators
