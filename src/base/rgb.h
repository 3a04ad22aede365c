// A colour as three 8-bit channels. The drawing toolkit paints with it and
// the indicator table keeps its line colours in it, so it sits below both.
#pragma once

#include <cstdint>

namespace base {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

}  // namespace base
