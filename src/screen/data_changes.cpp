#include "screen/data_changes.h"

#include <algorithm>

namespace screen {

DataChanges DataChanges::From(const data::MarketState& market) {
    return {false, market.index.lastDate, market.index.firstDate};
}

void DataChanges::Merge(const DataChanges& later) {
    changed = changed || later.changed;
    latestDate = std::max(latestDate, later.latestDate);
    if (later.firstIndexDate != 0 && (firstIndexDate == 0 || later.firstIndexDate < firstIndexDate))
        firstIndexDate = later.firstIndexDate;
}

}  // namespace screen
