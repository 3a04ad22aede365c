// BKLIB.TXT: the header, the walk over every sector and the lookups a scan
// and the sector page make.
#include <cstdint>
#include <vector>

#include "data/sector_library_file.h"
#include "sectors/library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    (void)data::ReadSectorLibraryHeader(bytes);
    const sectors::SectorLibrary library(bytes);
    uint32_t firstMember = 600'000;
    library.ForEach([&](const sectors::SectorView& sector) {
        if (!sector.members.empty()) firstMember = sector.Member(0);
        (void)sector.HasMember(600'000);
        (void)sectors::FamilyText(sectors::SectorFamily(sector.number));
        return true;
    });
    sectors::StockSectorList list;
    sectors::FindSectorsOfStock(library, firstMember, list);
    (void)sectors::FindSectorByName(library, "\xD2\xBB\xB4\xF8\xD2\xBB\xC2\xB7");
    return 0;
}
