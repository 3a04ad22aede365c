// How the commands spell computed reals, the same in JSON, CSV and text.
// (Values kept as integers in hundredths come out as exact decimals through
// picking::TwoDecimals.)
#pragma once

#include <string>

namespace cli {

// The shortest decimal that gives back the same float: 0.12f -> "0.12",
// 2.5 -> "2.5", 3.0 -> "3". Empty for NaN and infinities (no value).
std::string RealText(double value);

}  // namespace cli
