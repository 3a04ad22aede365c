// A method entry as typed or stored ("a3(5,20.00,50.00);"): read, shown,
// and written back from what was read.
#include <cstdint>
#include <string_view>

#include "picking/catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view entry(reinterpret_cast<const char*>(data), size);
    const picking::Condition condition = picking::ReadMethodEntry(entry);
    (void)picking::MethodEntryText(entry);
    if (picking::InCatalogue(condition.code)) {
        (void)picking::ParamLimits(condition.code);
        (void)picking::MinimumN(condition.code);
    }
    return 0;
}
