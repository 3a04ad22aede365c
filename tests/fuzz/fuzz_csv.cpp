// A CSV export: lines walked, fields split, and each field read as every
// kind of value the import takes.
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "install/csv_day_data.h"
#include "install/csv_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::AsFile(data, size);
    std::vector<install::SourceBar> bars;
    (void)install::ReadCsvSecurityFile(path, 1, bars);
    (void)install::ReadCsvCodeColumnFile(path, 1);
    (void)install::ForEachCsvLine(
        path, [](const install::CsvLine& first) { return install::DetectDayLayout(first).has_value(); },
        [](const install::CsvLine& line) {
            if (auto layout = install::DetectDayLayout(line)) {
                install::SourceBar bar;
                (void)install::ParseDayLine(line, layout->columns, 1, bar);
            }
            for (const std::string& field : line.fields) {
                (void)install::ParseScaledDecimal(field, 2);
                (void)install::ParseDecimalFloat(field);
                (void)install::ParseCsvDate(field);
                (void)install::ParseSixDigitCode(field);
                (void)install::SectorFamilyCode(field);
            }
            return base::Status{};
        });
    return 0;
}
