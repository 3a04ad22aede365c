// BKQYTAIL.DAT, the day-file tails a scan keeps between processes: read,
// looked up, and written again. A cache read whole must read back the same
// after writing it out.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picking/tail_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    picking::TailCache cache;
    cache.Parse(std::vector<uint8_t>(data, data + size));
    for (const auto& entry : cache.Entries())
        if (cache.Find(entry.code) != &entry) std::abort();
    if (cache.Count() == 0) return 0;
    picking::TailCache again;
    again.Parse(picking::TailCache::Encode(cache.Entries()));
    if (again.Count() != cache.Count()) std::abort();
    for (size_t i = 0; i < cache.Count(); ++i) {
        const auto& a = cache.Entries()[i];
        const auto& b = again.Entries()[i];
        if (a.code != b.code || !(a.stamp == b.stamp) || a.fileRecords != b.fileRecords ||
            a.bytes.size() != b.bytes.size() ||
            !std::equal(a.bytes.begin(), a.bytes.end(), b.bytes.begin()))
            std::abort();
    }
    return 0;
}
