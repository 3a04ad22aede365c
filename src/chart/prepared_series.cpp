#include "chart/prepared_series.h"

#include <atomic>

#include "base/endian.h"
#include "chart/view_range.h"

namespace chart {
namespace {

constexpr size_t kCopyWidth = 7;

std::vector<data::ExRightsEvent> ReadEvents(const data::ExRightsTable* table, size_t entry) {
    std::vector<data::ExRightsEvent> events;
    if (!table || entry == 0) return events;
    const uint32_t n = table->EventCount(entry);
    events.reserve(n);
    for (uint32_t k = 0; k < n; ++k) events.push_back(table->EventAt(entry, k));
    return events;
}

}  // namespace

void PreparedSeries::Prepare(const data::SeriesView& source, const EventSource& events) {
    static std::atomic<uint64_t> nextId{1};
    m_id = nextId++;
    m_source = source;
    m_view = source;
    m_count = SeriesBars(source);
    m_events = ReadEvents(events.table, events.entry);

    data::SeriesAdjuster adjuster(source.adjuster);
    if (source.IsDailyStock() && adjuster.Active() && m_count > 0) {
        // Adjusted once here; the copy reads like period bars (no adjuster,
        // amount and volume in words 5 and 6).
        m_copy.resize(m_count * kCopyWidth);
        for (size_t t = 0; t < m_count; ++t) {
            const uint32_t* w = source.image.data() + source.firstBar + t * source.width;
            uint32_t* out = m_copy.data() + t * kCopyWidth;
            adjuster.Seek(w[0]);
            out[0] = w[0];
            out[1] = adjuster.AdjustRemembered(base::LowHalf(w[1]));
            out[2] = adjuster.AdjustRemembered(base::HighHalf(w[1]));
            out[3] = adjuster.AdjustRemembered(base::LowHalf(w[2]));
            out[4] = adjuster.AdjustRemembered(base::HighHalf(w[2]));
            out[5] = w[3];
            out[6] = w[4];
        }
        m_view = data::SeriesView{};
        m_view.image = m_copy;
        m_view.firstBar = 0;
        m_view.end = m_copy.size();
        m_view.width = kCopyWidth;
        m_view.isIndex = false;
        m_view.period = data::Period::Weekly;
    }

    m_bars = indicators::DecodedBars(m_view, m_count);
    m_closeSums.assign(m_count + 1, 0);
    m_volumeSums.assign(m_count + 1, 0);
    for (size_t t = 0; t < m_count; ++t) {
        m_closeSums[t + 1] = m_closeSums[t] + Close(t);
        m_volumeSums[t + 1] = m_volumeSums[t] + Volume(t);
    }
}

data::SeriesView PreparedSeries::Unadjusted() const {
    data::SeriesView view = m_source;
    view.adjuster.mode = data::AdjustMode::None;
    return view;
}

uint32_t PreparedSeries::Close(size_t t) const {
    return t < m_count ? data::BarClose(m_view, Offset(t)) : 0;
}

uint32_t PreparedSeries::Volume(size_t t) const {
    return t < m_count ? data::BarVolume(m_view, Offset(t)) : 0;
}

uint32_t PreparedSeries::CloseAverage(size_t t, int n) const {
    if (n <= 0 || t >= m_count || static_cast<size_t>(n) > t + 1) return 0;
    const uint64_t sum = m_closeSums[t + 1] - m_closeSums[t + 1 - n];
    const double mean = static_cast<double>(sum) / n;
    return static_cast<uint32_t>(mean + 0.5);
}

uint32_t PreparedSeries::VolumeAverage(size_t t, int n) const {
    if (n <= 0 || t >= m_count || static_cast<size_t>(n) > t + 1) return 0;
    const uint64_t sum = m_volumeSums[t + 1] - m_volumeSums[t + 1 - n];
    return static_cast<uint32_t>(sum / static_cast<uint64_t>(n));
}

}  // namespace chart
