#include "data/code_finder.h"

#include <algorithm>
#include <cstring>

#include "base/gbk.h"
#include "data/paths.h"

namespace data {
namespace {

struct IndicatorEntry {
    int number = 0;
    std::string abbreviation;  // ASCII
    std::string line;          // GBK: abbreviation, blank, Chinese name
};

// The catalogue split into entries, with the lines in GBK so that they sit in
// one list with the GBK stock names.
const std::vector<IndicatorEntry>& IndicatorEntries() {
    static const std::vector<IndicatorEntry> kEntries = [] {
        std::vector<IndicatorEntry> entries;
        const std::string text = base::Utf8ToGbk(kIndicatorCatalogue);
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = std::min(text.find(';', pos), text.size());
            std::string_view entry(text.data() + pos, end - pos);
            pos = end + 1;
            size_t blank = entry.find(' ', 3);
            if (entry.size() < 4 || blank == std::string_view::npos) break;  // "18 end"
            entries.push_back({(entry[0] - '0') * 10 + (entry[1] - '0'),
                               std::string(entry.substr(3, blank - 3)),
                               std::string(entry.substr(3))});
        }
        return entries;
    }();
    return kEntries;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The number in the leading digits of a line (at most six).
uint32_t LeadingCode(std::string_view line) {
    uint32_t code = 0;
    for (size_t i = 0; i < line.size() && i < 6 && IsDigit(line[i]); ++i)
        code = code * 10 + static_cast<uint32_t>(line[i] - '0');
    return code;
}

}  // namespace

bool InitialsMatch(std::string_view typed, const char letters[4]) {
    const size_t n = typed.size();
    if (n == 0 || n > 4) return false;
    for (size_t start = 0; start + n <= 4; ++start) {
        bool same = true;
        for (size_t i = 0; i < n && same; ++i) same = Upper(typed[i]) == letters[start + i];
        if (same) return true;
    }
    return false;
}

std::vector<std::string> FillFinderList(const CodeTable& table, std::string_view typed) {
    std::vector<std::string> lines;
    if (typed.empty() || table.Count() == 0) return lines;

    const bool byCode = IsDigit(typed[0]);
    if (!byCode) {
        for (const IndicatorEntry& entry : IndicatorEntries()) {
            // MA (entry 00) is not offered.
            if (entry.number < 1 || entry.number > 17) continue;
            // A short abbreviation is padded with NULs, which no typed text matches.
            char letters[4] = {};
            std::memcpy(letters, entry.abbreviation.data(),
                        std::min<size_t>(4, entry.abbreviation.size()));
            if (InitialsMatch(typed, letters)) lines.push_back(entry.line);
        }
    }

    const size_t count = table.Count();
    for (size_t i = 0; i < count && lines.size() < kFinderMaxLines; ++i) {
        const size_t offset = CodeTable::RecordOffset(i);
        const std::string codeText = CodeText(table.CodeAt(offset));
        const bool match = byCode ? codeText.starts_with(typed)
                                  : InitialsMatch(typed, table.Initials(offset).data());
        if (match) lines.push_back(codeText + " " + table.NameAt(offset));
    }
    return lines;
}

FinderChoice TakeFinderLine(std::span<const std::string> lines, int selected, int topIndex,
                            FinderTrigger trigger) {
    const int lineCount = static_cast<int>(lines.size());
    const bool hasSelection = selected >= 0 && selected < lineCount;
    int taken = -1;
    if (trigger == FinderTrigger::DoubleClick) {
        // A double-click beside the lines leaves no selection to take.
        if (!hasSelection) return {};
        taken = selected;
    } else {
        if (lineCount == 0) return {};
        if (lineCount == 1) {
            taken = 0;
        } else {
            // The selection must lie on the page: the top line to 14 lines below it.
            if (!hasSelection || selected < topIndex || selected > topIndex + kFinderVisibleLines)
                return {FinderChoice::Kind::ShowMessage};
            taken = selected;
        }
    }

    const std::string& line = lines[static_cast<size_t>(taken)];
    FinderChoice choice{FinderChoice::Kind::Taken};
    if (!line.empty() && IsDigit(line[0])) {
        choice.code = LeadingCode(line);
        return choice;
    }
    for (const IndicatorEntry& entry : IndicatorEntries()) {
        if (entry.line == line) {
            choice.indicator = entry.number;
            break;
        }
    }
    return choice;
}

std::string FinderInitialText(std::string_view codeBoxText) {
    if (codeBoxText.empty()) return {};
    // The box holds UTF-8: keep the whole first character.
    const auto lead = static_cast<unsigned char>(codeBoxText[0]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::string(codeBoxText.substr(0, std::min(length, codeBoxText.size())));
}

bool OpensFinder(std::string_view codeBoxText) {
    return !codeBoxText.empty() && (IsDigit(codeBoxText[0]) || IsAsciiLetter(codeBoxText[0]));
}

}  // namespace data
