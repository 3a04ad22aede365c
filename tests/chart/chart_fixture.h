// Hand-made series for the chart tests: bars encoded as a day-file image
// (5-word stock or 7-word index records) and read through a SeriesView, and
// an ex-rights table built in memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "data/bars.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"
#include "data/paths.h"
#include "support/fixture_market.h"

namespace charttest {

inline std::vector<uint32_t> ToWords(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = uint32_t{bytes[4 * i]} | uint32_t{bytes[4 * i + 1]} << 8 |
                   uint32_t{bytes[4 * i + 2]} << 16 | uint32_t{bytes[4 * i + 3]} << 24;
    return words;
}

// A day-file image of `code` with its bars; index codes get 7-word records.
class ImageSeries {
public:
    ImageSeries(uint32_t code, std::vector<data::Bar> bars)
        : m_words(ToWords(data::EncodeDayFile(code, bars))), m_isIndex(data::IsIndexCode(code)) {}

    data::SeriesView View(data::Adjuster adjuster = {}) const {
        data::SeriesView view;
        view.image = m_words;
        view.firstBar = 8;
        view.end = m_words.size();
        view.width = m_isIndex ? 7 : 5;
        view.isIndex = m_isIndex;
        view.adjuster = adjuster;
        return view;
    }

private:
    std::vector<uint32_t> m_words;
    bool m_isIndex;
};

// Bars with the given closes on consecutive weekdays from 2017-01-02: open is
// the previous close, high and low 1% around the larger and smaller of the
// two, volume 1000 + 37 * (i mod 11).
inline std::vector<data::Bar> WalkBars(const std::vector<uint32_t>& closes,
                                       uint32_t first = 20170102) {
    const std::vector<uint32_t> dates = fixture::Weekdays(first, closes.size());
    std::vector<data::Bar> bars;
    for (size_t i = 0; i < closes.size(); ++i) {
        const uint32_t open = i == 0 ? closes[0] : closes[i - 1];
        const uint32_t hi = std::max(open, closes[i]), lo = std::min(open, closes[i]);
        bars.push_back({dates[i], open, hi + hi / 100, lo - lo / 100, closes[i], closes[i] * 10,
                        1000 + 37 * static_cast<uint32_t>(i % 11)});
    }
    return bars;
}

// A deterministic wandering close series of n bars around 1000.
inline std::vector<uint32_t> WanderingCloses(size_t n, uint32_t seed = 7) {
    std::vector<uint32_t> closes;
    uint32_t state = seed;
    int64_t price = 1000;
    for (size_t i = 0; i < n; ++i) {
        state = state * 1103515245u + 12345u;
        const int step = static_cast<int>((state >> 16) % 41) - 20;
        price = std::clamp<int64_t>(price + step, 300, 3000);
        closes.push_back(static_cast<uint32_t>(price));
    }
    return closes;
}

// An ex-rights table image holding the stocks' events.
class EventTable {
public:
    explicit EventTable(std::vector<data::ExRightsStock> stocks)
        : m_bytes(data::EncodeExRightsTable(20170601, stocks)), m_table(m_bytes) {}

    const data::ExRightsTable& Table() const { return m_table; }
    size_t Entry(uint32_t code) const { return m_table.FindEntry(code); }
    data::Adjuster Adjuster(uint32_t code, data::AdjustMode mode) const {
        return {&m_table, Entry(code), mode};
    }

private:
    std::vector<uint8_t> m_bytes;
    data::ExRightsTable m_table;
};

inline std::string Utf8(const std::string& gbk) {
    return base::GbkToUtf8(gbk);
}

}  // namespace charttest
