// A synthetic stock held in memory as its day-file image with its ex-rights
// table, for benchmarks that must not measure file reading.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "base/endian.h"
#include "data/bars.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"

namespace bench {

struct MemoryStock {
    MemoryStock(const std::vector<data::Bar>& bars, const data::ExRightsStock& events)
        : code(events.code) {
        const auto bytes = data::EncodeDayFile(events.code, bars);
        image.resize(bytes.size() / 4);
        for (size_t i = 0; i < image.size(); ++i) image[i] = base::ReadU32(bytes.data() + 4 * i);
        table = data::EncodeExRightsTable(20260101, std::vector<data::ExRightsStock>{events});
        exRights = data::ExRightsTable(table);
    }
    // The table views the bytes it was made from.
    MemoryStock(const MemoryStock&) = delete;
    MemoryStock& operator=(const MemoryStock&) = delete;

    data::SeriesView View(data::AdjustMode mode) const {
        data::SeriesView v;
        v.image = image;
        v.end = image.size();
        v.adjuster = {&exRights, exRights.FindEntry(code), mode};
        return v;
    }

    uint32_t code;
    std::vector<uint32_t> image;
    std::vector<uint8_t> table;
    data::ExRightsTable exRights;
};

// About 10,000 daily bars from 1985 with varied moves and volumes, and a
// dividend every June with a bonus every fourth year: the long chart of the
// chart and indicator benchmarks.
inline const MemoryStock& LongChartStock() {
    static const std::unique_ptr<const MemoryStock> stock = [] {
        std::vector<data::Bar> bars;
        data::ExRightsStock events{600000, {}};
        uint32_t y = 1985, m = 1, d = 2, close = 1000;
        for (size_t i = 0; i < 10'000; ++i) {
            const uint32_t date = y * 10000 + m * 100 + d;
            const uint32_t open = close;
            close = 800 + (close * 7 + static_cast<uint32_t>(i) * 13) % 900;
            const uint32_t high = std::max(open, close) + 15, low = std::min(open, close) - 15;
            bars.push_back({date, open, high, low, close, 5000 + static_cast<uint32_t>(i % 97) * 40,
                            20000 + static_cast<uint32_t>(i % 89) * 300});
            if (m == 6 && d == 10)
                events.events.push_back({date, y % 4 == 0 ? 3.0f : 0, 1.5f, 0, 0});
            if (++d > 28) d = 1, m = m % 12 + 1, y += (m == 1);
        }
        return std::make_unique<const MemoryStock>(bars, events);
    }();
    return *stock;
}

}  // namespace bench
