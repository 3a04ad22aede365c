// Bar series built in memory for the indicator tests: a day-file image (or a
// period region) and the view over it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "data/bars.h"

namespace indtest {

struct TestBar {
    uint32_t open = 0;
    uint32_t high = 0;
    uint32_t low = 0;
    uint32_t close = 0;
    uint32_t volume = 100;
};

// Open = high = low = close.
inline std::vector<TestBar> FlatBars(const std::vector<uint32_t>& closes, uint32_t volume = 100) {
    std::vector<TestBar> bars;
    for (uint32_t c : closes) bars.push_back({c, c, c, c, volume});
    return bars;
}

// High, low and close given; open = close.
inline std::vector<TestBar> HighLowClose(const std::vector<std::array<uint32_t, 3>>& rows) {
    std::vector<TestBar> bars;
    for (const auto& r : rows) bars.push_back({r[2], r[0], r[1], r[2], 100});
    return bars;
}

enum class Layout { DailyStock, DailyIndex, Weekly };

// Owns the image; View() is valid while the series lives.
class Series {
public:
    explicit Series(const std::vector<TestBar>& bars, Layout layout = Layout::DailyStock)
        : m_layout(layout) {
        const bool packed = layout == Layout::DailyStock;
        const size_t header = layout == Layout::Weekly ? 0 : 8;
        m_image.assign(header, 0);
        uint32_t date = 20240102;
        for (const TestBar& b : bars) {
            m_image.push_back(date++);
            if (packed) {
                m_image.push_back(b.open | (b.high << 16));
                m_image.push_back(b.low | (b.close << 16));
                m_image.push_back(b.close);  // amount
                m_image.push_back(b.volume);
            } else {
                for (uint32_t w : {b.open, b.high, b.low, b.close, b.close, b.volume})
                    m_image.push_back(w);
            }
        }
    }

    data::SeriesView View() const {
        data::SeriesView view;
        view.image = m_image;
        view.firstBar = m_layout == Layout::Weekly ? 0 : 8;
        view.end = m_image.size();
        view.width = m_layout == Layout::DailyStock ? 5 : 7;
        view.isIndex = m_layout == Layout::DailyIndex;
        view.period = m_layout == Layout::Weekly ? data::Period::Weekly : data::Period::Daily;
        return view;
    }

private:
    Layout m_layout;
    std::vector<uint32_t> m_image;
};

}  // namespace indtest
