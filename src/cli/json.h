// JSON output of the commands: one string escaper for all of them.
#pragma once

#include <string>

namespace cli {

// A JSON string literal of UTF-8 text; quotes, backslashes and control
// characters are escaped.
std::string JsonString(const std::string& text);

}  // namespace cli
