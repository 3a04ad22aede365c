#include "data/stock_list_file.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/gbk.h"

namespace data {
namespace {

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Reads up to `maxDigits` digits at pos; pos moves past them.
uint32_t ReadDigits(std::span<const uint8_t> text, size_t& pos, int maxDigits) {
    uint32_t value = 0;
    for (int n = 0; n < maxDigits && pos < text.size() && IsDigit(text[pos]); ++n, ++pos)
        value = value * 10 + (text[pos] - '0');
    return value;
}

}  // namespace

std::optional<std::vector<uint32_t>> ReadStockListFile(const std::string& path, size_t capacity) {
    std::vector<uint8_t> buffer(kListFileReadBytes);
    auto read = base::ReadFileInto(path, buffer);
    if (!read) return std::nullopt;
    const std::span<const uint8_t> text(buffer.data(), *read);

    // The header's text begins with the product word 擎宇 after any leading ASCII.
    static const std::string kProductWord = base::Utf8ToGbk("擎宇");
    size_t pos = 0;
    while (pos < text.size() && text[pos] < 0xA0) ++pos;
    if (text.size() - pos < kProductWord.size() ||
        !std::equal(kProductWord.begin(), kProductWord.end(),
                    text.begin() + static_cast<ptrdiff_t>(pos),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
        return std::nullopt;

    while (pos < text.size() && !IsDigit(text[pos])) ++pos;
    if (pos >= text.size()) return std::nullopt;
    const uint32_t declared = ReadDigits(text, pos, 8);

    std::vector<uint32_t> codes;
    const size_t wanted = std::min<size_t>(declared, capacity);
    for (size_t k = 0; k < wanted; ++k) {
        // The next line, then its first digit.
        while (pos + 1 < text.size() && !(text[pos] == '\r' && text[pos + 1] == '\n')) ++pos;
        if (pos + 1 >= text.size()) return std::nullopt;
        pos += 2;
        while (pos < text.size() && !IsDigit(text[pos])) ++pos;
        if (pos >= text.size()) return std::nullopt;
        codes.push_back(ReadDigits(text, pos, 7));
    }
    return codes;
}

base::Status MakeListFolder(const DataPaths& paths) {
    return base::MakeFolders(paths.listFolder);
}

}  // namespace data
