// The sector library file BKLIB.TXT: a 16-byte header (24-bit count, three
// ranking weights in bytes 9-11, the date at byte 12), then records of member
// count, 24-bit sector number, name and 24-bit member codes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace data {

inline constexpr uint32_t kDefaultShareWeight = 20;    // CXL_p
inline constexpr uint32_t kDefaultCountWeight = 200;   // CX_Code_p
inline constexpr uint32_t kDefaultMoveWeight = 20;     // ZF_Code_p

// The values start-up takes from the library header.
struct SectorLibraryHeader {
    uint32_t date = 0;                       // 20,000,000 taken off when larger
    uint32_t shareWeight = kDefaultShareWeight;
    uint32_t countWeight = kDefaultCountWeight;
    uint32_t moveWeight = kDefaultMoveWeight;
};

// Reads the header of a loaded image; a zero weight byte keeps its default.
// An image shorter than the header gives date 0 and the defaults.
SectorLibraryHeader ReadSectorLibraryHeader(std::span<const uint8_t> image);

struct SectorRecord {
    uint32_t family = 0;   // 1..6: 新概念, 新行业, 新地区, 概念, 行业, 地区
    uint32_t serial = 0;   // within the family
    std::string name;      // GBK, at most 255 bytes
    std::vector<uint32_t> members;  // six-digit codes, ascending
};

// family in the low byte, serial above.
inline uint32_t MakeSectorNumber(uint32_t family, uint32_t serial) {
    return (family & 0xFFu) | (serial << 8);
}

struct SectorLibraryWeights {
    uint8_t share = 0;  // 0 keeps the default
    uint8_t count = 0;
    uint8_t move = 0;
};

// What CheckSectorLibrary kept and left out.
struct SectorLibraryCheck {
    size_t bytes = 0;   // the image's length after the check
    size_t loaded = 0;  // sectors kept
    size_t skipped = 0;
    std::vector<std::string> problems;  // UTF-8, one per sector left out, naming it
};

// Checks a loaded library image before it is used and keeps, in place, only
// the sectors that can be: a sector whose family is not 1..6, whose members
// are not six-digit codes in ascending order, whose number an earlier sector
// already has, or whose member count runs past the file is left out (the
// records behind it move up; after an impossible count the walk goes on at
// the next record that reads as a sector). The header count becomes the
// sectors kept. An image shorter than the header is left as it is.
SectorLibraryCheck CheckSectorLibrary(std::span<uint8_t> image);

std::vector<uint8_t> EncodeSectorLibrary(uint32_t date, SectorLibraryWeights weights,
                                         std::span<const SectorRecord> sectors);

}  // namespace data
