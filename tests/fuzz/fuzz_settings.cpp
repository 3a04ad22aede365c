// Inif2.DAT: the settings read, the watch list shown, and the file written
// back and read again.
#include <cstdint>
#include <vector>

#include "data/capacities.h"
#include "data/code_table.h"
#include "data/settings.h"
#include "fuzz_input.h"
#include "watchlist/watch_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::AsFile(data, size);
    bool created = false;
    const data::Settings settings = data::LoadSettings(path, &created);
    std::vector<uint32_t> region(data::kCodeFirstRecordWord);
    (void)watchlist::ListBoxLines(settings.watchList, data::CodeTable(region));
    if (data::SaveSettings(path, settings)) (void)data::LoadSettings(path, &created);
    return 0;
}
