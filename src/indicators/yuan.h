// Prices in yuan as the calculations see them: the 0.01 price times the
// single-precision constant 0.01f (0.0099999998), so 1000 is 9.9999998 yuan
// before any float storage rounds it.
#pragma once

#include <cstdint>

namespace indicators {

inline constexpr float kCent = 0.01f;
// The third of the typical prices of CCI and CR, also single precision.
inline constexpr float kThird = 0.33333334f;

// The product is exact in double for any price below 2^29, far above real ones.
inline double Yuan(uint32_t price) {
    return static_cast<double>(price) * double{kCent};
}

}  // namespace indicators
