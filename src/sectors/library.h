// The sector library (BKLIB.TXT) used in place: a 16-byte header, then records
// of member count, 24-bit sector number, name and ascending 24-bit member
// codes. Every lookup walks the records from byte 16; the walk never leaves the
// image, whatever its counts and lengths say, and stops at the last whole record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sectors {

inline constexpr size_t kLibraryHeaderBytes = 16;
inline constexpr size_t kRecordHeadBytes = 6;  // count (16), number (24), name length (8)
inline constexpr size_t kMaxSectorsPerStock = 200;

// Families, the low byte of a sector number.
inline constexpr uint32_t kFamilyNewConcept = 1;
inline constexpr uint32_t kFamilyNewIndustry = 2;
inline constexpr uint32_t kFamilyNewRegion = 3;
inline constexpr uint32_t kFamilyConcept = 4;
inline constexpr uint32_t kFamilyIndustry = 5;
inline constexpr uint32_t kFamilyRegion = 6;

inline uint32_t SectorFamily(uint32_t number) {
    return number & 0xFFu;
}
inline uint32_t SectorSerial(uint32_t number) {
    return (number >> 8) & 0xFFFFu;
}
// The four-digit number the user sees and types: family × 1000 + serial.
inline uint32_t SectorDisplayNumber(uint32_t number) {
    return SectorFamily(number) * 1000 + SectorSerial(number);
}

// GBK family text ("概念", "行业" …); empty for an unknown family code.
std::string FamilyText(uint32_t family);

// One whole record of the image.
struct SectorView {
    size_t offset = 0;  // byte offset of the record
    uint32_t memberCount = 0;
    uint32_t number = 0;
    std::string_view name;             // GBK bytes, no terminator
    std::span<const uint8_t> members;  // 3 bytes per member code

    uint32_t Member(size_t k) const;
    bool HasMember(uint32_t code) const;  // early stop on the ascending order
};

// A view of the loaded library bytes (what was read, at most 299,999).
class SectorLibrary {
public:
    SectorLibrary() = default;
    explicit SectorLibrary(std::span<const uint8_t> image) : m_image(image) {}

    std::span<const uint8_t> Image() const { return m_image; }

    // The walk: calls fn(const SectorView&) for every whole record in order;
    // fn returns false to stop early.
    template <class Fn>
    void ForEach(Fn&& fn) const {
        const size_t count = SectorCount();
        size_t offset = kLibraryHeaderBytes;
        for (size_t i = 0; i < count; ++i) {
            SectorView view;
            if (!ReadRecord(offset, view)) return;
            if (!fn(static_cast<const SectorView&>(view))) return;
            offset += kRecordHeadBytes + view.name.size() + view.members.size();
        }
    }

    // SectorCount: the 24-bit count of the header (0 without a library).
    size_t SectorCount() const;

private:
    bool ReadRecord(size_t offset, SectorView& view) const;

    std::span<const uint8_t> m_image;
};

struct StockSector {
    uint32_t code = 0;
    uint32_t number = 0;
};

// The scratch list of a stock's sectors, at most 200.
struct StockSectorList {
    std::array<StockSector, kMaxSectorsPerStock> items{};
    size_t count = 0;
};

inline size_t SectorCount(const SectorLibrary& library) {
    return library.SectorCount();
}

// The sectors that list the stock, in library order; at most 200 are recorded
// (and counted). Returns the number recorded.
size_t FindSectorsOfStock(const SectorLibrary& library, uint32_t code, StockSectorList& list);

// The same answer as FindSectorsOfStock for every stock, found by a binary
// search: a scan looks up thousands of stocks, each walk of the library
// costs a pass over all its records. Follow() rebuilds the index when the
// library's bytes are not the ones indexed (an install rewrites the library
// in place, so its address says nothing).
class StockSectorIndex {
public:
    void Follow(const SectorLibrary& library);
    size_t Find(uint32_t code, StockSectorList& list) const;

private:
    std::vector<uint8_t> m_indexed;
    bool m_built = false;
    std::vector<StockSector> m_entries;  // by code, library order within a code
};

// Member count of the first sector with that number, 0 when none has it.
uint32_t SectorMemberCount(const SectorLibrary& library, uint32_t number);
// Every sector's member count by number, in one walk (the first of a number).
std::unordered_map<uint32_t, uint32_t> SectorMemberCounts(const SectorLibrary& library);

struct SectorNameFamily {
    std::string name;    // GBK; empty when no sector has the number
    std::string family;  // GBK family text
};
SectorNameFamily SectorNameAndFamily(const SectorLibrary& library, uint32_t number);

// The number of the first sector whose name has exactly these GBK bytes.
std::optional<uint32_t> FindSectorByName(const SectorLibrary& library, std::string_view gbkName);

}  // namespace sectors
