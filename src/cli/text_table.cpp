#include "cli/text_table.h"

#include <algorithm>

#include "base/gbk.h"

namespace cli {

size_t DisplayWidth(std::string_view utf8) {
    return base::Utf8ToGbk(utf8).size();
}

std::string Printable(std::string_view utf8) {
    std::string text(utf8);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

std::string PadRight(std::string_view utf8, size_t columns) {
    const size_t width = DisplayWidth(utf8);
    return std::string(utf8) + std::string(width < columns ? columns - width : 0, ' ');
}

std::string PadLeft(std::string_view utf8, size_t columns) {
    const size_t width = DisplayWidth(utf8);
    return std::string(width < columns ? columns - width : 0, ' ') + std::string(utf8);
}

std::string TextTable::Text(std::string_view indent) const {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : m_rows) {
        rows.emplace_back();
        for (const std::string& cell : row) rows.back().push_back(Printable(cell));
    }
    std::vector<size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line(indent);
        for (size_t c = 0; c < row.size(); ++c) {
            const bool right = c < m_right.size() && m_right[c];
            const bool last = c + 1 == row.size();
            if (c) line += "  ";
            if (right)
                line += PadLeft(row[c], widths[c]);
            else
                line += last ? row[c] : PadRight(row[c], widths[c]);
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace cli
