#include "indicators/calculations.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "indicators/recursions.h"
#include "indicators/yuan.h"

namespace indicators {
namespace {

// What the formulas read of one bar: adjusted prices in 0.01 units, the volume
// as BarVolume gives it and the raw volume word.
struct Prices {
    uint32_t open = 0;
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t close = 0;
    uint32_t volume = 0;
    uint32_t rawVolume = 0;
};

Prices DecodePrices(const data::SeriesView& view, size_t t) {
    const data::Bar bar = data::DecodeBar(view, BarOffset(view, t));
    return {bar.open, bar.high, bar.low, bar.close, bar.volume, RawVolume(view, t)};
}

// The per-bar definitions read the view on every access ...
class ViewBars {
public:
    explicit ViewBars(const data::SeriesView& view) : m_view(view) {}
    Prices operator[](size_t t) const { return DecodePrices(m_view, t); }

private:
    const data::SeriesView& m_view;
};

// ... a series decodes each bar it reads once. Both give the same Prices, so
// the same formula code gives the same numbers over either.
class CachedBars {
public:
    CachedBars(const data::SeriesView& view, size_t count)
        : m_view(view), m_bars(count), m_decoded(count, 0) {}
    const Prices& operator[](size_t t) const {
        if (!m_decoded[t]) {
            m_bars[t] = DecodePrices(m_view, t);
            m_decoded[t] = 1;
        }
        return m_bars[t];
    }

private:
    const data::SeriesView& m_view;
    mutable std::vector<Prices> m_bars;
    mutable std::vector<char> m_decoded;
};

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

template <class Value, class Compute>
Memo<Value, Compute> MakeMemo(size_t count, Compute compute) {
    return Memo<Value, Compute>(count, std::move(compute));
}

// Whether the n bars ending at t exist (n > 0).
bool HasBars(size_t t, int32_t n) {
    return n > 0 && t + 1 >= static_cast<size_t>(n);
}

int64_t Signed(uint32_t value) {
    return static_cast<int64_t>(value);
}

// Adds a yuan amount to a sum the definition keeps in single precision.
void AddSingle(float& sum, double value) {
    sum = static_cast<float>(double{sum} + value);
}

template <class Bars>
uint32_t CloseAverageOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return 0;
    uint64_t sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += bars[t - k].close;
    return static_cast<uint32_t>(static_cast<double>(sum) / n + 0.5);
}

template <class Bars>
uint32_t VolumeAverageOf(const Bars& bars, size_t t, int32_t n) {
    if (!HasBars(t, n)) return 0;
    uint64_t sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += bars[t - k].volume;
    return static_cast<uint32_t>(sum / static_cast<uint64_t>(n));
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

bool InSeries(const data::SeriesView& view, size_t t) {
    return t < view.BarCount();
}

}  // namespace

uint32_t RawVolume(const data::SeriesView& view, size_t t) {
    if (!InSeries(view, t)) return 0;
    const size_t offset = BarOffset(view, t);
    if (!view.HasBar(offset)) return 0;
    const uint32_t* words = view.image.data() + offset;
    return view.IsDailyStock() ? words[4] : words[6];
}

uint32_t CloseAverage(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return 0;
    return CloseAverageOf(ViewBars(view), t, n);
}

uint32_t VolumeAverage(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return 0;
    return VolumeAverageOf(ViewBars(view), t, n);
}

double Rsv(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return 0;
    return RsvOf(ViewBars(view), t, n);
}

KdValues Kdj(const data::SeriesView& view, size_t t, int32_t n, int32_t m1, int32_t m2) {
    if (!InSeries(view, t)) return {};
    KdRecursion kd(n, m1, m2);
    for (size_t u = 0; u <= t; ++u) kd.Feed(view, u);
    return kd.Values();
}

double Rsi(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    RsiRecursion rsi(n);
    for (size_t u = 0; u <= t; ++u) rsi.Feed(view, u);
    return rsi.Value();
}

double Bias(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return BiasOf(ViewBars(view), t, n);
}

MacdValues Macd(const data::SeriesView& view, size_t t, int32_t shortLength, int32_t longLength,
                int32_t signalLength) {
    if (!InSeries(view, t)) return {};
    MacdRecursion macd(shortLength, longLength, signalLength);
    for (size_t u = 0; u <= t; ++u) macd.Feed(view, u);
    return macd.Values();
}

BollValues Boll(const data::SeriesView& view, size_t t, int32_t n, int32_t width) {
    if (!InSeries(view, t)) return {};
    return BollOf(ViewBars(view), t, n, width);
}

double WilliamsR(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return WilliamsROf(ViewBars(view), t, n);
}

DirectionalPair Dmi(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return {};
    return DmiOf(ViewBars(view), t, n);
}

double Adx(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    if (!InSeries(view, t)) return kNoValue;
    const ViewBars bars(view);
    return AdxOf(t, n, m, [&](size_t u) { return DmiOf(bars, u, n); });
}

double Adxr(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    if (!InSeries(view, t)) return kNoValue;
    return AdxrOf(t, n, m, [&](size_t u) { return Adx(view, u, n, m); });
}

double Cci(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return CciOf(ViewBars(view), t, n);
}

ArbrValues Arbr(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return {};
    return ArbrOf(ViewBars(view), t, n);
}

double Psy(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return PsyOf(ViewBars(view), t, n);
}

double Obv(const data::SeriesView& view, size_t t) {
    if (!InSeries(view, t)) return kNoValue;
    ObvRecursion obv;
    for (size_t u = 1; u <= t; ++u) obv.Feed(view, u);
    return obv.Value();
}

double Cr(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return CrOf(ViewBars(view), t, n);
}

double CrAverage(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    if (!InSeries(view, t)) return kNoValue;
    const ViewBars bars(view);
    return CrAverageOf(t, n, m, [&](size_t u) { return CrOf(bars, u, n); });
}

double Vr(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return VrOf(ViewBars(view), t, n);
}

double Roc(const data::SeriesView& view, size_t t, int32_t n) {
    if (!InSeries(view, t)) return kNoValue;
    return RocOf(ViewBars(view), t, n);
}

double RocMa(const data::SeriesView& view, size_t t, int32_t n, int32_t m) {
    if (!InSeries(view, t)) return kNoValue;
    const ViewBars bars(view);
    return RocMaOf(t, n, m, [&](size_t u) { return RocOf(bars, u, n); });
}

double Ddd(const data::SeriesView& view, size_t t, int32_t n1, int32_t n2) {
    if (!InSeries(view, t)) return kNoValue;
    return DddOf(ViewBars(view), t, n1, n2);
}

double Ama(const data::SeriesView& view, size_t t, int32_t n1, int32_t n2, int32_t m) {
    if (!InSeries(view, t)) return kNoValue;
    const ViewBars bars(view);
    return AmaOf(t, n1, n2, m, [&](size_t u) { return DddOf(bars, u, n1, n2); });
}

LineValues ComputeAt(const data::SeriesView& view, int index, const IndicatorParams& params,
                     size_t t) {
    LineValues out;
    if (!IsIndicator(index)) return out;
    out.count = InfoOf(index).lineCount;
    auto& v = out.values;
    const auto& p = params.values;
    switch (index) {
        case kMa:
            for (int i = 0; i < 5; ++i) v[i] = CloseAverage(view, t, p[i]);
            break;
        case kVol:
            for (int i = 0; i < 3; ++i) v[i] = VolumeAverage(view, t, p[i]);
            break;
        case kRsi:
            for (int i = 0; i < 3; ++i) v[i] = Rsi(view, t, p[i]);
            break;
        case kBias:
            for (int i = 0; i < 3; ++i) v[i] = Bias(view, t, p[i]);
            break;
        case kMacd: {
            const MacdValues m = Macd(view, t, p[0], p[1], p[2]);
            v = {m.diff, m.dea, m.macd};
            break;
        }
        case kKd:
        case kKdj: {
            const KdValues kd = Kdj(view, t, p[0], p[1], p[2]);
            v = {kd.k, kd.d, kd.j};
            break;
        }
        case kBoll: {
            const BollValues b = Boll(view, t, p[0], p[1]);
            v = {b.mid, b.upper, b.lower};
            break;
        }
        case kWr:
            v = {WilliamsR(view, t, p[0]), WilliamsR(view, t, p[1])};
            break;
        case kDmi: {
            const DirectionalPair pair = Dmi(view, t, p[0]);
            v = {pair.pdi, pair.mdi, Adx(view, t, p[0], p[1]), Adxr(view, t, p[0], p[1])};
            break;
        }
        case kCci:
            v[0] = Cci(view, t, p[0]);
            break;
        case kArbr: {
            const ArbrValues a = Arbr(view, t, p[0]);
            v = {a.ar, a.br};
            break;
        }
        case kPsy:
            v[0] = Psy(view, t, p[0]);
            break;
        case kObv:
            v[0] = Obv(view, t);
            break;
        case kCr:
            v = {Cr(view, t, p[0]), CrAverage(view, t, p[0], p[1]), CrAverage(view, t, p[0], p[2]),
                 CrAverage(view, t, p[0], p[3])};
            break;
        case kVr:
            v[0] = Vr(view, t, p[0]);
            break;
        case kRoc:
            v = {Roc(view, t, p[0]), RocMa(view, t, p[0], p[1])};
            break;
        case kDma:
            v = {Ddd(view, t, p[0], p[1]), Ama(view, t, p[0], p[1], p[2])};
            break;
    }
    // Lines past the count stay 0 whatever the arrays above left there.
    for (int i = out.count; i < kMaxLines; ++i) v[i] = 0;
    return out;
}

IndicatorSeries ComputeSeries(const data::SeriesView& view, int index,
                              const IndicatorParams& params, size_t first, size_t last) {
    IndicatorSeries series;
    series.index = index;
    series.first = first;
    const size_t barCount = view.BarCount();
    if (!IsIndicator(index) || barCount == 0 || first >= barCount) return series;
    last = std::min(last, barCount - 1);
    if (first > last) return series;
    series.count = last - first + 1;
    series.lineCount = InfoOf(index).lineCount;
    for (int i = 0; i < series.lineCount; ++i) series.lines[i].resize(series.count);

    const CachedBars bars(view, last + 1);
    const auto& p = params.values;
    auto fill = [&](int line, const auto& valueAt) {
        for (size_t t = first; t <= last; ++t) series.lines[line][t - first] = valueAt(t);
    };
    auto keep = [&](size_t t) { return t >= first; };

    switch (index) {
        case kMa:
            for (int i = 0; i < 5; ++i)
                fill(i, [&](size_t t) { return CloseAverageOf(bars, t, p[i]); });
            break;
        case kVol:
            for (int i = 0; i < 3; ++i)
                fill(i, [&](size_t t) { return VolumeAverageOf(bars, t, p[i]); });
            break;
        case kRsi: {
            std::array<RsiRecursion, 3> rsi{RsiRecursion(p[0]), RsiRecursion(p[1]),
                                            RsiRecursion(p[2])};
            for (size_t u = 0; u <= last; ++u) {
                const uint32_t close = bars[u].close;
                const uint32_t previous = u == 0 ? close : bars[u - 1].close;
                for (int i = 0; i < 3; ++i) {
                    rsi[i].FeedMove(previous, close);
                    if (keep(u)) series.lines[i][u - first] = rsi[i].Value();
                }
            }
            break;
        }
        case kBias:
            for (int i = 0; i < 3; ++i) fill(i, [&](size_t t) { return BiasOf(bars, t, p[i]); });
            break;
        case kMacd: {
            MacdRecursion macd(p[0], p[1], p[2]);
            for (size_t u = 0; u <= last; ++u) {
                macd.FeedClose(bars[u].close);
                if (!keep(u)) continue;
                const MacdValues m = macd.Values();
                series.lines[0][u - first] = m.diff;
                series.lines[1][u - first] = m.dea;
                series.lines[2][u - first] = m.macd;
            }
            break;
        }
        case kKd:
        case kKdj: {
            KdRecursion kd(p[0], p[1], p[2]);
            for (size_t u = 0; u <= last; ++u) {
                kd.FeedRsv(RsvOf(bars, u, p[0]));
                if (!keep(u)) continue;
                const KdValues values = kd.Values();
                series.lines[0][u - first] = values.k;
                series.lines[1][u - first] = values.d;
                if (index == kKdj) series.lines[2][u - first] = values.j;
            }
            break;
        }
        case kBoll:
            for (size_t t = first; t <= last; ++t) {
                const BollValues b = BollOf(bars, t, p[0], p[1]);
                series.lines[0][t - first] = b.mid;
                series.lines[1][t - first] = b.upper;
                series.lines[2][t - first] = b.lower;
            }
            break;
        case kWr:
            for (int i = 0; i < 2; ++i)
                fill(i, [&](size_t t) { return WilliamsROf(bars, t, p[i]); });
            break;
        case kDmi: {
            const int32_t n = p[0];
            const int32_t m = p[1];
            const auto dmi =
                MakeMemo<DirectionalPair>(last + 1, [&](size_t u) { return DmiOf(bars, u, n); });
            const auto adx =
                MakeMemo<double>(last + 1, [&](size_t u) { return AdxOf(u, n, m, dmi); });
            fill(0, [&](size_t t) { return dmi(t).pdi; });
            fill(1, [&](size_t t) { return dmi(t).mdi; });
            fill(2, [&](size_t t) { return adx(t); });
            fill(3, [&](size_t t) { return AdxrOf(t, n, m, adx); });
            break;
        }
        case kCci:
            fill(0, [&](size_t t) { return CciOf(bars, t, p[0]); });
            break;
        case kArbr:
            for (size_t t = first; t <= last; ++t) {
                const ArbrValues a = ArbrOf(bars, t, p[0]);
                series.lines[0][t - first] = a.ar;
                series.lines[1][t - first] = a.br;
            }
            break;
        case kPsy:
            fill(0, [&](size_t t) { return PsyOf(bars, t, p[0]); });
            break;
        case kObv: {
            ObvRecursion obv;
            for (size_t u = 0; u <= last; ++u) {
                if (u > 0) obv.FeedStep(bars[u - 1].close, bars[u].close, bars[u].rawVolume);
                if (keep(u)) series.lines[0][u - first] = obv.Value();
            }
            break;
        }
        case kCr: {
            const int32_t n = p[0];
            const auto cr = MakeMemo<double>(last + 1, [&](size_t u) { return CrOf(bars, u, n); });
            fill(0, [&](size_t t) { return cr(t); });
            for (int i = 1; i < 4; ++i)
                fill(i, [&](size_t t) { return CrAverageOf(t, n, p[i], cr); });
            break;
        }
        case kVr:
            fill(0, [&](size_t t) { return VrOf(bars, t, p[0]); });
            break;
        case kRoc: {
            const int32_t n = p[0];
            const auto roc =
                MakeMemo<double>(last + 1, [&](size_t u) { return RocOf(bars, u, n); });
            fill(0, [&](size_t t) { return roc(t); });
            fill(1, [&](size_t t) { return RocMaOf(t, n, p[1], roc); });
            break;
        }
        case kDma: {
            const auto ddd =
                MakeMemo<double>(last + 1, [&](size_t u) { return DddOf(bars, u, p[0], p[1]); });
            fill(0, [&](size_t t) { return ddd(t); });
            fill(1, [&](size_t t) { return AmaOf(t, p[0], p[1], p[2], ddd); });
            break;
        }
    }
    return series;
}

}  // namespace indicators
