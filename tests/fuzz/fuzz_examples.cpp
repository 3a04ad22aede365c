// DEMOD.TXT: the example table filled from the file.
#include <cstdint>
#include <vector>

#include "data/examples.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> workData(4'096);
    data::ExampleTable table;
    data::LoadExamples(fuzz::AsFile(data, size), workData, table);
    for (int number = 0; number < 70; ++number) {
        (void)table.ForCondition(1, number);
        (void)table.ForCondition(2, number);
    }
    return 0;
}
