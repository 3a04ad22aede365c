#include "demo/market_tables.h"

#include <algorithm>

#include "base/gbk.h"
#include "demo/index_builder.h"

namespace demo {

std::vector<data::CodeEntry> CodeEntries(const Universe& universe,
                                         std::span<const FinalShares> finalShares) {
    std::vector<data::CodeEntry> entries;
    entries.reserve(universe.stocks.size() + kIndexCount);
    for (size_t i = 0; i < universe.stocks.size(); ++i) {
        const StockSpec& s = universe.stocks[i];
        entries.push_back({s.code, base::Utf8ToGbk(s.name.utf8), s.name.initials,
                           finalShares[i].total, finalShares[i].floating});
    }
    for (size_t k = 0; k < kIndexCount; ++k) {
        const auto index = static_cast<MarketIndex>(k);
        entries.push_back(
            {IndexCode(index), base::Utf8ToGbk(IndexName(index)), IndexInitials(index), 0, 0});
    }
    std::sort(entries.begin(), entries.end(),
              [](const data::CodeEntry& a, const data::CodeEntry& b) { return a.code < b.code; });
    return entries;
}

std::vector<data::SectorRecord> SectorRecords(const Universe& universe) {
    std::vector<data::SectorRecord> records;
    records.reserve(universe.sectors.size());
    for (const SectorSpec& s : universe.sectors) {
        data::SectorRecord r;
        r.family = s.family;
        r.serial = s.serial;
        r.name = base::Utf8ToGbk(s.name);
        r.members.reserve(s.members.size());
        for (uint32_t i : s.members) r.members.push_back(universe.stocks[i].code);
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace demo
