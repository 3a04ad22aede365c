// The common drivers of demo prices, one value per trading day: the market
// factor and its level, and a factor per sector with the days on which the
// sector is hot (many members jump, several to the limit) or cold.
// Returns are in parts per million throughout.
#pragma once

#include <cstdint>
#include <vector>

#include "demo/universe.h"

namespace demo {

struct SectorDay {
    int32_t factor = 0;      // ordinary co-movement
    int32_t boost = 0;       // > 0 hot, < 0 cold, 0 an ordinary day
    uint16_t joinOdds = 0;   // per mille of members that take part on a boost day
    uint16_t limitOdds = 0;  // per mille of those driven to the limit
};

struct Factors {
    uint32_t days = 0;
    std::vector<int32_t> market;        // daily market return
    std::vector<int64_t> marketLevel;   // 1,000,000 at the start
    std::vector<SectorDay> sectorDays;  // [sector * days + day]

    const SectorDay& At(size_t sector, uint32_t day) const {
        return sectorDays[sector * days + day];
    }
};

Factors BuildFactors(const Universe& universe, uint32_t days, uint64_t seed);

}  // namespace demo
