// BKLIB.TXT: the header, the walk over every sector and the lookups a scan
// and the sector page make; the stock-to-sectors index a scan builds must
// give exactly what the walk gives, or the target stops.
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
    sectors::StockSectorIndex index;
    index.Follow(library);
    for (const uint32_t code : {firstMember, 600'000u}) {
        sectors::StockSectorList walked;
        sectors::StockSectorList indexed;
        sectors::FindSectorsOfStock(library, code, walked);
        index.Find(code, indexed);
        if (walked.count != indexed.count) __builtin_trap();
        for (size_t i = 0; i < walked.count; ++i)
            if (walked.items[i].number != indexed.items[i].number) __builtin_trap();
    }
    (void)sectors::FindSectorByName(library, "\xD2\xBB\xB4\xF8\xD2\xBB\xC2\xB7");
    return 0;
}
