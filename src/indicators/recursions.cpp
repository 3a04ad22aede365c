#include "indicators/recursions.h"

#include "indicators/bar_reader.h"
#include "indicators/formulas.h"

namespace indicators {

void MacdRecursion::Feed(const data::SeriesView& view, size_t t) {
    FeedClose(data::BarClose(view, BarOffset(view, t)));
}

void KdRecursion::Feed(const data::SeriesView& view, size_t t) {
    FeedRsv(Rsv(view, t, m_n));
}

void RsiRecursion::Feed(const data::SeriesView& view, size_t t) {
    const uint32_t close = data::BarClose(view, BarOffset(view, t));
    const uint32_t previous = t == 0 ? close : data::BarClose(view, BarOffset(view, t - 1));
    FeedMove(previous, close);
}

void ObvRecursion::Feed(const data::SeriesView& view, size_t t) {
    if (t == 0) return;
    FeedStep(data::BarClose(view, BarOffset(view, t - 1)), data::BarClose(view, BarOffset(view, t)),
             RawVolume(view, t));
}

KdLines::KdLines(const IndicatorParams& params)
    : m_n(params.values[0]), m_kd(params.values[0], params.values[1], params.values[2]) {}

void KdLines::Feed(const ViewBars& bars, size_t t) {
    m_kd.FeedRsv(RsvOf(bars, t, m_n));
}

LineValues KdLines::Values() const {
    const KdValues v = m_kd.Values();
    return {3, {v.k, v.d, v.j}};
}

void Carry::Feed(const data::SeriesView& view, size_t t) {
    const ViewBars bars(view);
    std::visit([&](auto& lines) { lines.Feed(bars, t); }, m_lines);
}

LineValues Carry::Values() const {
    return std::visit([](const auto& lines) { return lines.Values(); }, m_lines);
}

}  // namespace indicators
