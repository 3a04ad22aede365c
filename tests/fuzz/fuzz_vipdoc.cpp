// A vipdoc day file (sh/lday/sh600000.day) read as bars for an import.
#include <cstdint>
#include <vector>

#include "fuzz_input.h"
#include "install/vipdoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<install::SourceBar> bars;
    (void)install::ReadVipdocBars(fuzz::AsFile(data, size), 1, bars);
    return 0;
}
