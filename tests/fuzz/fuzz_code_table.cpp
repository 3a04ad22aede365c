// MKCODE.DAT: loaded into its region, then every record's fields and the
// lookups the finder and the charts make.
#include <cstdint>
#include <vector>

#include "data/capacities.h"
#include "data/code_table.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A small region, so that tables larger than it are common.
    std::vector<uint32_t> region(data::kCodeFirstRecordWord + 64 * data::kCodeRecordWords);
    uint32_t date = 0;
    data::CodeTableRecords records;
    if (!data::LoadCodeTable(fuzz::AsFile(data, size), region, &date, &records)) return 0;
    const data::CodeTable table(region);
    for (size_t i = 0; i < table.Count(); ++i) {
        const size_t offset = data::CodeTable::RecordOffset(i);
        const uint32_t code = table.CodeAt(offset);
        (void)table.NameAt(offset);
        (void)table.Initials(offset);
        (void)table.StockName(code);
        (void)table.StockShares(code);
        (void)table.FindCode(code + 1);
    }
    return 0;
}
