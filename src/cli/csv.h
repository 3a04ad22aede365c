// CSV output: a header line, then one line per row; fields holding a comma, a
// quote or a line break are quoted, quotes doubled. UTF-8, LF line ends.
#pragma once

#include <string>
#include <vector>

namespace cli {

std::string CsvField(const std::string& text);
// One line with its line break.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace cli
