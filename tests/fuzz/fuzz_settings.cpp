// Inif2.DAT: the settings read and the watch list shown. (Saving is left
// out: the settings writer waits for the disk, which would slow every run.)
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
    return 0;
}
