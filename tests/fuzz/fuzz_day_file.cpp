// A day file of a stock and of an index: read into a region, then every bar
// decoded, adjusted and summed up into weeks and months.
#include <cstdint>
#include <vector>

#include "data/bars.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "data/period_bars.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::AsFile(data, size);
    for (const size_t width : {data::kStockRecordWords, data::kIndexRecordWords}) {
        std::vector<uint32_t> region(4'096);
        const auto words = data::ReadDayImage(path, region, width);
        if (!words) continue;
        data::SeriesView view;
        view.image = region;
        view.end = *words;
        view.width = width;
        view.isIndex = width == data::kIndexRecordWords;
        uint64_t sum = 0;
        for (size_t at = view.firstBar; view.HasBar(at); at += width) {
            const data::Bar bar = data::DecodeBar(view, at);
            sum += bar.close + data::AverageClose(view, at, 5) + data::AverageVolume(view, at, 10);
        }
        std::vector<uint32_t> weeks(region.size()), months(region.size());
        data::BuildPeriodBars(view, data::Period::Weekly, weeks);
        data::BuildPeriodBars(view, data::Period::Monthly, months);
        if (view.BarCount() > 0) data::AlignWithIndex(view, static_cast<uint32_t>(sum), 9);
    }
    return 0;
}
