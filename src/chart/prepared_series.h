// The bars the chart reads, prepared once when the series changes (another
// security, period or adjustment mode) so that no redraw adjusts a price
// again: an adjusted daily stock series is copied into plain 7-word records,
// and the close and volume sums behind the moving averages are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "data/bars.h"
#include "data/ex_rights.h"
#include "indicators/decoded_bars.h"

namespace chart {

// The ex-rights events of the security on screen (empty for an index).
struct EventSource {
    const data::ExRightsTable* table = nullptr;
    size_t entry = 0;
};

class PreparedSeries {
public:
    // source: the bars shown, ending at the series end. The source image must
    // outlive this object's use of it.
    void Prepare(const data::SeriesView& source, const EventSource& events);

    // What every calculation reads; prices as the source gives them.
    const data::SeriesView& View() const { return m_view; }
    const data::SeriesView& Source() const { return m_source; }
    // View()'s bars decoded once, for the indicator calculations.
    const indicators::DecodedBars& Bars() const { return m_bars; }
    // The source read without adjustment.
    data::SeriesView Unadjusted() const;

    size_t Count() const { return m_count; }
    uint32_t Date(size_t t) const { return t < m_count ? m_view.image[Offset(t)] : 0; }
    data::Bar BarAt(size_t t) const { return data::DecodeBar(m_view, Offset(t)); }
    uint32_t Close(size_t t) const;
    uint32_t Volume(size_t t) const;

    // As data::AverageClose and data::AverageVolume on bar t, from kept sums.
    uint32_t CloseAverage(size_t t, int n) const;
    uint32_t VolumeAverage(size_t t, int n) const;

    std::span<const data::ExRightsEvent> Events() const { return m_events; }

    // Different for every preparation, so that values kept for one series
    // are never taken for another.
    uint64_t Id() const { return m_id; }

    size_t Offset(size_t t) const { return m_view.firstBar + t * m_view.width; }

private:
    uint64_t m_id = 0;
    data::SeriesView m_source;
    data::SeriesView m_view;
    size_t m_count = 0;
    std::vector<uint32_t> m_copy;
    indicators::DecodedBars m_bars;
    std::vector<uint64_t> m_closeSums;  // m_closeSums[t] = closes of bars 0..t-1
    std::vector<uint64_t> m_volumeSums;
    std::vector<data::ExRightsEvent> m_events;
};

}  // namespace chart
