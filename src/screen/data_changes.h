// What the window has to read again after a data page closes.
#pragma once

#include <cstdint>

#include "data/startup.h"

namespace screen {

struct DataChanges {
    bool changed = false;         // day files or tables changed
    uint32_t latestDate = 0;      // the latest trading date now on disk
    uint32_t firstIndexDate = 0;  // the first index date now on disk

    // Starts from the dates of the loaded index.
    static DataChanges From(const data::MarketState& market);
    void Merge(const DataChanges& later);
};

}  // namespace screen
