// A day-data package: recognised, then every block walked and checked.
#include <cstdint>
#include <cstring>
#include <vector>

#include "install/package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint32_t> words(size / 4);
    if (!words.empty()) std::memcpy(words.data(), data, words.size() * 4);
    if (!install::IsPackage(words)) return 0;
    install::PackageReader reader(words);
    size_t blocks = 0;
    while (auto block = reader.Next()) {
        if (block->records.data() < words.data() ||
            block->records.data() + block->records.size() > words.data() + words.size())
            __builtin_trap();
        ++blocks;
    }
    if (blocks > reader.DeclaredBlocks()) __builtin_trap();
    return 0;
}
