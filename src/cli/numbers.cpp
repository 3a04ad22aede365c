#include "cli/numbers.h"

#include <charconv>
#include <cmath>

namespace cli {

std::string RealText(double value) {
    if (!std::isfinite(value)) return {};
    // The calculations keep their lines as floats: what a float holds is the
    // value, the digits a double would add are noise.
    const float single = static_cast<float>(value);
    if (!std::isfinite(single)) return {};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, single);
    return std::string(buffer, result.ptr);
}

}  // namespace cli
