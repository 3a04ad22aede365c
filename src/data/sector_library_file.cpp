#include "data/sector_library_file.h"

#include <algorithm>

#include "base/endian.h"

namespace data {

SectorLibraryHeader ReadSectorLibraryHeader(std::span<const uint8_t> image) {
    SectorLibraryHeader header;
    if (image.size() < 16) return header;
    uint32_t date = base::ReadU32(image.data() + 12);
    header.date = date > 20'000'000 ? date - 20'000'000 : date;
    if (image[9] != 0) header.shareWeight = image[9];
    if (image[10] != 0) header.countWeight = image[10];
    if (image[11] != 0) header.moveWeight = image[11];
    return header;
}

std::vector<uint8_t> EncodeSectorLibrary(uint32_t date, SectorLibraryWeights weights,
                                         std::span<const SectorRecord> sectors) {
    std::vector<uint8_t> bytes(16, 0);
    base::WriteU24(bytes.data(), static_cast<uint32_t>(sectors.size()));
    bytes[9] = weights.share;
    bytes[10] = weights.count;
    bytes[11] = weights.move;
    base::WriteU32(bytes.data() + 12, date);
    for (const auto& sector : sectors) {
        const size_t nameLength = std::min<size_t>(sector.name.size(), 255);
        const size_t at = bytes.size();
        bytes.resize(at + 6 + nameLength + 3 * sector.members.size());
        uint8_t* p = bytes.data() + at;
        base::WriteU16(p, static_cast<uint32_t>(sector.members.size()));
        base::WriteU24(p + 2, MakeSectorNumber(sector.family, sector.serial));
        p[5] = static_cast<uint8_t>(nameLength);
        std::copy_n(sector.name.data(), nameLength, p + 6);
        p += 6 + nameLength;
        for (uint32_t code : sector.members) base::WriteU24(p, code), p += 3;
    }
    return bytes;
}

}  // namespace data
