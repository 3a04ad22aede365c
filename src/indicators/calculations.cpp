#include "indicators/calculations.h"

#include <algorithm>
#include <limits>

#include "indicators/bar_reader.h"
#include "indicators/formulas.h"
#include "indicators/recursions.h"
#include "indicators/series_work.h"

namespace indicators {
namespace {

bool InSeries(const data::SeriesView& view, size_t t) {
    return t < view.BarCount();
}

// A formula at bar t of the view, read bar by bar; `none` where t has no bar.
template <class Value, class Formula>
Value AtBar(const data::SeriesView& view, size_t t, Value none, const Formula& formula) {
    if (!InSeries(view, t)) return none;
    return formula(ViewBars(view));
}

// A recursion fed the bars 0..t of the view; `none` where t has no bar.
template <class Value, class Recursion, class Read>
Value Walked(const data::SeriesView& view, size_t t, Value none, Recursion recursion,
             const Read& read) {
    if (!InSeries(view, t)) return none;
    for (size_t u = 0; u <= t; ++u) recursion.Feed(view, u);
    return read(recursion);
}

// The value a line answers where it cannot be computed at all.
double NoValueOf(LineKind kind) {
    return kind == LineKind::Real ? kNoValue : 0;
}

}  // namespace

Prices DecodePrices(const data::SeriesView& view, size_t t) {
    const data::Bar bar = data::DecodeBar(view, BarOffset(view, t));
    return {bar.open, bar.high, bar.low, bar.close, bar.volume, RawVolume(view, t)};
}

uint32_t RawVolume(const data::SeriesView& view, size_t t) {
    if (!InSeries(view, t)) return 0;
    const size_t offset = BarOffset(view, t);
    if (!view.HasBar(offset)) return 0;
    return RawVolumeWord(view, view.image.data() + offset);
}

DecodedBars::DecodedBars(const data::SeriesView& view, size_t count) {
    count = std::min(count, view.BarCount());
    m_bars.resize(count);
    size_t offset = view.firstBar;
    // As DecodePrices gives them, without the per-bar position arithmetic.
    for (size_t t = 0; t < count && view.HasBar(offset); ++t, offset += view.width) {
        const data::Bar bar = data::DecodeBar(view, offset);
        m_bars[t] = {bar.open,   bar.high,   bar.low,
                     bar.close,  bar.volume, RawVolumeWord(view, view.image.data() + offset)};
    }
}

uint32_t CloseAverage(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, 0u, [&](const ViewBars& bars) { return CloseAverageOf(bars, t, n); });
}

uint32_t VolumeAverage(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, 0u, [&](const ViewBars& bars) { return VolumeAverageOf(bars, t, n); });
}

double Rsv(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, 0.0, [&](const ViewBars& bars) { return RsvOf(bars, t, n); });
}

KdValues Kdj(const data::SeriesView& view, size_t t, int32_t n, int32_t m1, int32_t m2) {
    return Walked(view, t, KdValues{}, KdRecursion(n, m1, m2),
                  [](const KdRecursion& kd) { return kd.Values(); });
}

double Rsi(const data::SeriesView& view, size_t t, int32_t n) {
    return Walked(view, t, kNoValue, RsiRecursion(n),
                  [](const RsiRecursion& rsi) { return rsi.Value(); });
}

double Bias(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return BiasOf(bars, t, n); });
}

MacdValues Macd(const data::SeriesView& view, size_t t, int32_t shortLength, int32_t longLength,
                int32_t signalLength) {
    return Walked(view, t, MacdValues{}, MacdRecursion(shortLength, longLength, signalLength),
                  [](const MacdRecursion& macd) { return macd.Values(); });
}

BollValues Boll(const data::SeriesView& view, size_t t, int32_t n, int32_t width) {
    return AtBar(view, t, BollValues{},
                 [&](const ViewBars& bars) { return BollOf(bars, t, n, width); });
}

double WilliamsR(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return WilliamsROf(bars, t, n); });
}

DirectionalPair Dmi(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, DirectionalPair{},
                 [&](const ViewBars& bars) { return DmiOf(bars, t, n); });
}

double Adx(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) {
        return AdxOf(t, n, m, [&](size_t u) { return DmiOf(bars, u, n); });
    });
}

double Adxr(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) {
        const auto dmi = [&](size_t u) { return DmiOf(bars, u, n); };
        return AdxrOf(t, n, m, [&](size_t u) { return AdxOf(u, n, m, dmi); });
    });
}

double Cci(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return CciOf(bars, t, n); });
}

ArbrValues Arbr(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, ArbrValues{}, [&](const ViewBars& bars) { return ArbrOf(bars, t, n); });
}

double Psy(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return PsyOf(bars, t, n); });
}

double Obv(const data::SeriesView& view, size_t t) {
    return Walked(view, t, kNoValue, ObvRecursion(),
                  [](const ObvRecursion& obv) { return obv.Value(); });
}

double Cr(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return CrOf(bars, t, n); });
}

double CrAverage(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) {
        return CrAverageOf(t, n, m, [&](size_t u) { return CrOf(bars, u, n); });
    });
}

double Vr(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return VrOf(bars, t, n); });
}

double Roc(const data::SeriesView& view, size_t t, int32_t n) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return RocOf(bars, t, n); });
}

double RocMa(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) {
        return RocMaOf(t, n, m, [&](size_t u) { return RocOf(bars, u, n); });
    });
}

double Ddd(const data::SeriesView& view, size_t t, int32_t n1, int32_t n2) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) { return DddOf(bars, t, n1, n2); });
}

double Ama(const data::SeriesView& view, size_t t, int32_t n1, int32_t n2, int32_t m) {
    return AtBar(view, t, kNoValue, [&](const ViewBars& bars) {
        return AmaOf(t, n1, n2, m, [&](size_t u) { return DddOf(bars, u, n1, n2); });
    });
}

LineValues ComputeAt(const data::SeriesView& view, int index, const IndicatorParams& params,
                     size_t t) {
    LineValues out;
    if (!IsIndicator(index)) return out;
    const IndicatorDef& def = DefinitionOf(index);
    out.count = def.LineCount();
    if (!InSeries(view, t)) {
        for (int k = 0; k < out.count; ++k) out.values[k] = NoValueOf(def.kind);
        return out;
    }
    const IndicatorSeries one = ComputeSeries(view, index, params, t, t);
    for (int k = 0; k < out.count; ++k) out.values[k] = one.At(k, t);
    return out;
}

IndicatorSeries ComputeSeries(const data::SeriesView& view, int index,
                              const IndicatorParams& params, size_t first, size_t last) {
    const size_t barCount = view.BarCount();
    if (barCount == 0 || first >= barCount) return ComputeSeries(DecodedBars(), index, params, first, last);
    return ComputeSeries(DecodedBars(view, std::min(last, barCount - 1) + 1), index, params, first,
                         last);
}

IndicatorSeries ComputeSeries(const DecodedBars& bars, int index, const IndicatorParams& params,
                              size_t first, size_t last) {
    IndicatorSeries series;
    series.index = index;
    series.first = first;
    const size_t barCount = bars.Count();
    if (!IsIndicator(index) || barCount == 0 || first >= barCount) return series;
    last = std::min(last, barCount - 1);
    if (first > last) return series;
    const IndicatorDef& def = DefinitionOf(index);
    series.count = last - first + 1;
    series.lineCount = def.LineCount();
    // A line the calculation leaves out shows as NaN, never as a plausible 0.
    for (int k = 0; k < series.lineCount; ++k)
        series.lines[k].assign(series.count, std::numeric_limits<double>::quiet_NaN());
    SeriesWork work(bars, params, series);
    def.calculate(work);
    return series;
}

}  // namespace indicators
