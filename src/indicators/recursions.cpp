#include "indicators/recursions.h"

#include <cmath>

#include "indicators/bar_reader.h"
#include "indicators/formulas.h"
#include "indicators/yuan.h"

namespace indicators {

MacdRecursion::MacdRecursion(int32_t shortLength, int32_t longLength, int32_t signalLength)
    : m_short(shortLength), m_long(longLength), m_signal(signalLength) {}

void MacdRecursion::Feed(const data::SeriesView& view, size_t t) {
    FeedClose(data::BarClose(view, BarOffset(view, t)));
}

void MacdRecursion::FeedClose(uint32_t close) {
    const double x = Yuan(close);
    if (!m_started) {
        m_started = true;
        m_emaShort = static_cast<float>(x);
        m_emaLong = static_cast<float>(x);
        m_diff = m_dea = m_macd = 0;
        return;
    }
    if (m_short <= 0 || m_long <= 0 || m_signal <= 0) return;
    m_emaShort = static_cast<float>((2 * x + (m_short - 1) * double{m_emaShort}) / (m_short + 1));
    m_emaLong = static_cast<float>((2 * x + (m_long - 1) * double{m_emaLong}) / (m_long + 1));
    m_diff = static_cast<float>(double{m_emaShort} - double{m_emaLong});
    m_dea =
        static_cast<float>(((m_signal - 1) * double{m_dea} + 2 * double{m_diff}) / (m_signal + 1));
    m_macd = static_cast<float>((double{m_diff} - double{m_dea}) * 2);
}

MacdValues MacdRecursion::Values() const {
    if (!m_started || m_short <= 0 || m_long <= 0 || m_signal <= 0) return {};
    return {m_diff, m_dea, m_macd};
}

KdRecursion::KdRecursion(int32_t n, int32_t m1, int32_t m2) : m_n(n), m_m1(m1), m_m2(m2) {}

void KdRecursion::Feed(const data::SeriesView& view, size_t t) {
    FeedRsv(Rsv(view, t, m_n));
}

void KdRecursion::FeedRsv(double rsv) {
    if (m_n <= 0 || m_m1 <= 0 || m_m2 <= 0) return;
    if (!m_started) {
        m_started = true;
        m_k = m_d = static_cast<float>(rsv);
    }
    // K and D live in floats; J is taken before K is stored.
    const double k = (rsv + (m_m1 - 1) * double{m_k}) / m_m1;
    m_k = static_cast<float>(k);
    m_d = static_cast<float>((double{m_k} + (m_m2 - 1) * double{m_d}) / m_m2);
    m_j = 3 * k - 2 * double{m_d};
}

KdValues KdRecursion::Values() const {
    if (!m_started) return {};
    return {m_k, m_d, m_j};
}

RsiRecursion::RsiRecursion(int32_t n) : m_n(n) {}

void RsiRecursion::Feed(const data::SeriesView& view, size_t t) {
    const uint32_t close = data::BarClose(view, BarOffset(view, t));
    const uint32_t previous = t == 0 ? close : data::BarClose(view, BarOffset(view, t - 1));
    FeedMove(previous, close);
}

void RsiRecursion::FeedMove(uint32_t previous, uint32_t close) {
    if (m_n <= 0) return;
    const double move = Yuan(close) - Yuan(previous);
    const double up = move > 0 ? move : 0;
    m_up = (up + (m_n - 1) * m_up) / m_n;
    m_move = (std::fabs(move) + (m_n - 1) * m_move) / m_n;
}

double RsiRecursion::Value() const {
    if (m_n <= 0 || m_move == 0) return kNoValue;
    return m_up * 100 / m_move;
}

void ObvRecursion::Feed(const data::SeriesView& view, size_t t) {
    if (t == 0) return;
    FeedStep(data::BarClose(view, BarOffset(view, t - 1)), data::BarClose(view, BarOffset(view, t)),
             RawVolume(view, t));
}

void ObvRecursion::FeedStep(uint32_t previousClose, uint32_t close, uint32_t rawVolume) {
    if (close > previousClose) m_sum += rawVolume;
    if (close < previousClose) m_sum -= rawVolume;
}

namespace {

template <class Bars>
void FeedRsi(std::array<RsiRecursion, 3>& lines, const Bars& bars, size_t t) {
    const uint32_t close = bars[t].close;
    const uint32_t previous = t == 0 ? close : bars[t - 1].close;
    for (RsiRecursion& rsi : lines) rsi.FeedMove(previous, close);
}

template <class Bars>
void FeedKd(KdRecursion& kd, int32_t n, const Bars& bars, size_t t) {
    kd.FeedRsv(RsvOf(bars, t, n));
}

template <class Bars>
void FeedObv(ObvRecursion& obv, const Bars& bars, size_t t) {
    if (t == 0) return;
    obv.FeedStep(bars[t - 1].close, bars[t].close, bars[t].rawVolume);
}

}  // namespace

RsiLines::RsiLines(const IndicatorParams& params)
    : m_rsi{RsiRecursion(params.values[0]), RsiRecursion(params.values[1]),
            RsiRecursion(params.values[2])} {}

void RsiLines::Feed(const ViewBars& bars, size_t t) {
    FeedRsi(m_rsi, bars, t);
}

void RsiLines::Feed(const DecodedBars& bars, size_t t) {
    FeedRsi(m_rsi, bars, t);
}

LineValues RsiLines::Values() const {
    return {3, {m_rsi[0].Value(), m_rsi[1].Value(), m_rsi[2].Value()}};
}

MacdLines::MacdLines(const IndicatorParams& params)
    : m_macd(params.values[0], params.values[1], params.values[2]) {}

void MacdLines::Feed(const ViewBars& bars, size_t t) {
    m_macd.FeedClose(bars[t].close);
}

void MacdLines::Feed(const DecodedBars& bars, size_t t) {
    m_macd.FeedClose(bars[t].close);
}

LineValues MacdLines::Values() const {
    const MacdValues v = m_macd.Values();
    return {3, {v.diff, v.dea, v.macd}};
}

KdLines::KdLines(const IndicatorParams& params)
    : m_n(params.values[0]), m_kd(params.values[0], params.values[1], params.values[2]) {}

void KdLines::Feed(const ViewBars& bars, size_t t) {
    FeedKd(m_kd, m_n, bars, t);
}

LineValues KdLines::Values() const {
    const KdValues v = m_kd.Values();
    return {3, {v.k, v.d, v.j}};
}

void ObvLine::Feed(const ViewBars& bars, size_t t) {
    FeedObv(m_obv, bars, t);
}

void ObvLine::Feed(const DecodedBars& bars, size_t t) {
    FeedObv(m_obv, bars, t);
}

LineValues ObvLine::Values() const {
    return {1, {m_obv.Value()}};
}

void Carry::Feed(const data::SeriesView& view, size_t t) {
    const ViewBars bars(view);
    std::visit([&](auto& lines) { lines.Feed(bars, t); }, m_lines);
}

LineValues Carry::Values() const {
    return std::visit([](const auto& lines) { return lines.Values(); }, m_lines);
}

}  // namespace indicators
