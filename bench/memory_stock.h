// A synthetic stock held in memory as its day-file image with its ex-rights
// table, for benchmarks that must not measure file reading.
#pragma once

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

}  // namespace bench
