// MKCQ.DAT: the table over the bytes, every stock's events, and prices
// adjusted forward and backward through them. The series adjuster (with its
// 4,096-slot memory) runs on the first stock only: its paths are the same
// for every stock, and setting it up for hundreds of them per input cut the
// fuzzer to a few hundred inputs a second.
#include <cstdint>
#include <vector>

#include "data/capacities.h"
#include "data/ex_rights.h"

constexpr uint32_t kSeriesStocks = 1;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const data::ExRightsTable table(bytes);
    for (uint32_t r = 1; r <= table.RecordCount(); ++r) {
        const size_t entry = r * data::kExRightsRecordFloats;
        const uint32_t n = table.EventCount(entry);
        for (uint32_t k = 0; k < n && k < 64; ++k) (void)data::EventText(table.EventAt(entry, k));
        for (const auto mode : {data::AdjustMode::Forward, data::AdjustMode::Backward}) {
            const data::Adjuster adjuster{&table, entry, mode};
            (void)data::AdjustPrice(adjuster, 1234, 20'100'104);
            if (r > kSeriesStocks) continue;
            data::SeriesAdjuster series(adjuster);
            for (uint32_t date : {19'900'101u, 20'100'104u, 20'991'231u}) {
                series.Seek(date);
                (void)series.AdjustRemembered(5678);
            }
        }
    }
    (void)table.FindEntry(600'000);
    (void)data::FindEventOnBar(table, 600'000, 20'100'104, 20'100'101);
    return 0;
}
