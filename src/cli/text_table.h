// The readable tables the commands print: columns counted as a terminal shows
// them, a Chinese character two columns wide (as its GBK bytes count).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

size_t DisplayWidth(std::string_view utf8);
// The text with every control character (a byte below 0x20, or 0x7F) shown
// as '?': a name from a data file must not move the cursor or break a line.
std::string Printable(std::string_view utf8);
// Blanks added after (PadRight) or before (PadLeft) up to `columns`.
std::string PadRight(std::string_view utf8, size_t columns);
std::string PadLeft(std::string_view utf8, size_t columns);

// Rows of cells laid out in columns: each column as wide as its widest cell,
// two blanks between columns; columns marked right-aligned take numbers.
// Cells are shown Printable.
class TextTable {
public:
    explicit TextTable(std::vector<bool> rightAligned) : m_right(std::move(rightAligned)) {}
    void Add(std::vector<std::string> cells) { m_rows.push_back(std::move(cells)); }
    // Every row with its line break; `indent` before each.
    std::string Text(std::string_view indent = {}) const;

private:
    std::vector<bool> m_right;
    std::vector<std::vector<std::string>> m_rows;
};

}  // namespace cli
