#include "cli/text_table.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "base/gbk.h"

namespace cli {

namespace {

// Whether a code point is one of the ideographs or full-width forms that GBK
// holds in two bytes; a table of a thousand rows measures mostly these.
bool TwoBytesInGbk(uint32_t c) {
    return (c >= 0x4E00 && c <= 0x9FA5) || (c >= 0xFF01 && c <= 0xFF5E);
}

// The width counted straight from the UTF-8 when every character is ASCII or
// one of those; nothing otherwise.
std::optional<size_t> PlainWidth(std::string_view utf8) {
    size_t width = 0;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            ++width, ++i;
            continue;
        }
        if ((b & 0xF0) != 0xE0 || utf8.size() - i < 3) return std::nullopt;
        const auto b1 = static_cast<unsigned char>(utf8[i + 1]);
        const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
        if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return std::nullopt;
        const uint32_t c = (b & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (b2 & 0x3Fu);
        if (!TwoBytesInGbk(c)) return std::nullopt;
        width += 2, i += 3;
    }
    return width;
}

}  // namespace

size_t DisplayWidth(std::string_view utf8) {
    // Converting costs a call into the character-set library per cell.
    if (const auto width = PlainWidth(utf8)) return *width;
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
