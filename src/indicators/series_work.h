// What a definition's calculation works on (inside src/indicators only): the
// bars up to the last one wanted, each decoded once, the parameters in force
// and the lines to fill for the bars first..last. ComputeSeries sets it up.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "indicators/bar_reader.h"
#include "indicators/calculations.h"

namespace indicators {

class SeriesWork {
public:
    SeriesWork(const DecodedBars& bars, const IndicatorParams& params, IndicatorSeries& out)
        : m_bars(bars), m_params(params), m_out(out) {}

    const DecodedBars& Bars() const { return m_bars; }
    const IndicatorParams& Params() const { return m_params; }
    int32_t Param(int i) const { return m_params.values[i]; }
    int LineCount() const { return m_out.lineCount; }
    size_t First() const { return m_out.first; }
    size_t Last() const { return m_out.first + m_out.count - 1; }
    // Bars 0..Last(): all that the wanted bars' values depend on.
    size_t BarCount() const { return Last() + 1; }

    // A line at every wanted bar, first to last in order: value(t).
    template <class ValueAt>
    void Fill(int line, const ValueAt& value) {
        FillFrom(line, 0, value);
    }
    // A line that is `before` up to bar `from` and value(t) from there on.
    // value runs unconditionally, so its loop can run on the vector units.
    template <class ValueAt>
    void FillFrom(int line, size_t from, const ValueAt& value, double before = kNoValue) {
        if (line >= m_out.lineCount) return;
        double* out = m_out.lines[line].data();
        const size_t first = First();
        const size_t split = std::clamp(from, first, Last() + 1);
        for (size_t t = first; t < split; ++t) out[t - first] = before;
        for (size_t t = split; t <= Last(); ++t) out[t - first] = value(t);
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

private:
    const DecodedBars& m_bars;
    const IndicatorParams& m_params;
    IndicatorSeries& m_out;
};

// The closes of bars 0..Last() as a column of their own: a vector loop that
// reads them out of the bar records assembles them through memory, which
// costs more than this copy.
inline std::vector<uint32_t> Closes(const SeriesWork& work) {
    std::vector<uint32_t> closes(work.BarCount());
    for (size_t u = 0; u < closes.size(); ++u) closes[u] = work.Bars()[u].close;
    return closes;
}

}  // namespace indicators
