#include "sectors/library.h"

#include <algorithm>

#include "base/endian.h"
#include "base/gbk.h"

namespace sectors {

std::string FamilyText(uint32_t family) {
    static const char* const kTexts[] = {"新概念", "新行业", "新地区", "概念", "行业", "地区"};
    if (family < 1 || family > 6) return {};
    return base::Utf8ToGbk(kTexts[family - 1]);
}

uint32_t SectorView::Member(size_t k) const {
    return base::ReadU24(members.data() + 3 * k);
}

bool SectorView::HasMember(uint32_t code) const {
    for (size_t k = 0; k < memberCount; ++k) {
        const uint32_t member = Member(k);
        if (member >= code) return member == code;
    }
    return false;
}

size_t SectorLibrary::SectorCount() const {
    return m_image.size() >= 3 ? base::ReadU24(m_image.data()) : 0;
}

bool SectorLibrary::ReadRecord(size_t offset, SectorView& view) const {
    const size_t size = m_image.size();
    if (offset > size || size - offset < kRecordHeadBytes) return false;
    const uint8_t* p = m_image.data() + offset;
    const size_t count = base::ReadU16(p);
    const size_t nameLength = p[5];
    const size_t length = kRecordHeadBytes + nameLength + 3 * count;
    if (size - offset < length) return false;  // a record running past the image ends the walk
    view.offset = offset;
    view.memberCount = static_cast<uint32_t>(count);
    view.number = base::ReadU24(p + 2);
    view.name = {reinterpret_cast<const char*>(p + kRecordHeadBytes), nameLength};
    view.members = m_image.subspan(offset + kRecordHeadBytes + nameLength, 3 * count);
    return true;
}

namespace {

// Sorts by code and keeps the order of equal codes: two counting passes over
// the low and the high twelve bits of the 24-bit member codes. Every scan
// process builds the index, and a merge sort of its entries was most of that.
void SortByCodeKeepingOrder(std::vector<StockSector>& entries) {
    constexpr uint32_t kDigitBits = 12;
    constexpr size_t kBuckets = size_t{1} << kDigitBits;
    std::vector<StockSector> sorted(entries.size());
    for (const uint32_t shift : {0u, kDigitBits}) {
        std::vector<size_t> next(kBuckets + 1, 0);
        for (const StockSector& e : entries) ++next[((e.code >> shift) & (kBuckets - 1)) + 1];
        for (size_t b = 1; b <= kBuckets; ++b) next[b] += next[b - 1];
        for (const StockSector& e : entries) sorted[next[(e.code >> shift) & (kBuckets - 1)]++] = e;
        entries.swap(sorted);
    }
}

}  // namespace

size_t FindSectorsOfStock(const SectorLibrary& library, uint32_t code, StockSectorList& list) {
    list.count = 0;
    library.ForEach([&](const SectorView& sector) {
        if (sector.memberCount == 0 || !sector.HasMember(code)) return true;
        list.items[list.count++] = {code, sector.number};
        return list.count < kMaxSectorsPerStock;
    });
    return list.count;
}

void StockSectorIndex::Follow(const SectorLibrary& library) {
    const std::span<const uint8_t> image = library.Image();
    if (m_built && std::equal(image.begin(), image.end(), m_indexed.begin(), m_indexed.end()))
        return;
    m_indexed.assign(image.begin(), image.end());
    m_built = true;
    m_entries.clear();
    library.ForEach([&](const SectorView& sector) {
        // HasMember stops at the first member not below the code, so it finds
        // exactly the members above every member before them.
        for (size_t k = 0; k < sector.memberCount; ++k) {
            const uint32_t member = sector.Member(k);
            if (k == 0 || member > m_entries.back().code) m_entries.push_back({member, sector.number});
        }
        return true;
    });
    SortByCodeKeepingOrder(m_entries);
}

size_t StockSectorIndex::Find(uint32_t code, StockSectorList& list) const {
    list.count = 0;
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), code,
                               [](const StockSector& e, uint32_t c) { return e.code < c; });
    for (; it != m_entries.end() && it->code == code && list.count < kMaxSectorsPerStock; ++it)
        list.items[list.count++] = *it;
    return list.count;
}

uint32_t SectorMemberCount(const SectorLibrary& library, uint32_t number) {
    uint32_t count = 0;
    library.ForEach([&](const SectorView& sector) {
        if (sector.number != number) return true;
        count = sector.memberCount;
        return false;
    });
    return count;
}

std::unordered_map<uint32_t, uint32_t> SectorMemberCounts(const SectorLibrary& library) {
    std::unordered_map<uint32_t, uint32_t> counts;
    library.ForEach([&](const SectorView& sector) {
        counts.emplace(sector.number, sector.memberCount);
        return true;
    });
    return counts;
}

SectorNameFamily SectorNameAndFamily(const SectorLibrary& library, uint32_t number) {
    SectorNameFamily out;
    library.ForEach([&](const SectorView& sector) {
        if (sector.number != number) return true;
        out.name.assign(sector.name);
        out.family = FamilyText(SectorFamily(number));
        return false;
    });
    return out;
}

std::optional<uint32_t> FindSectorByName(const SectorLibrary& library, std::string_view gbkName) {
    std::optional<uint32_t> found;
    library.ForEach([&](const SectorView& sector) {
        if (sector.name != gbkName) return true;
        found = sector.number;
        return false;
    });
    return found;
}

}  // namespace sectors
