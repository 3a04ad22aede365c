// The demo market's tables in the data files' terms: code-table entries and
// sector-library records (GBK names, six-digit member codes).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "data/file_formats.h"
#include "data/sector_library_file.h"
#include "demo/universe.h"

namespace demo {

// Share capital of a stock at the end, after its bonus and rights issues.
struct FinalShares {
    uint32_t total = 0;  // 10,000 shares
    uint32_t floating = 0;
};

// Every stock (finalShares in the order of universe.stocks) and the three
// indices, ascending by code.
std::vector<data::CodeEntry> CodeEntries(const Universe& universe,
                                         std::span<const FinalShares> finalShares);

std::vector<data::SectorRecord> SectorRecords(const Universe& universe);

}  // namespace demo
