#include "picking/candidates.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/gbk.h"
#include "data/paths.h"
#include "picking/catalogue.h"

namespace picking {
namespace {

constexpr uint32_t kShanghaiFirst = 600'000;
constexpr uint32_t kChiNextFirst = 300'001;

bool InMarket(uint32_t code, CandidateMarket market) {
    switch (market) {
        case CandidateMarket::Shanghai:
            return code >= kShanghaiFirst;
        case CandidateMarket::Shenzhen:
            return code < kChiNextFirst;
        case CandidateMarket::ChiNext:
            return code >= kChiNextFirst && code < kShanghaiFirst;
        case CandidateMarket::All:
            return true;
        case CandidateMarket::File:
            return false;
    }
    return false;
}

bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

// Reads up to `maxDigits` digits at pos; pos moves past them.
uint32_t ReadDigits(std::span<const uint8_t> text, size_t& pos, int maxDigits) {
    uint32_t value = 0;
    for (int n = 0; n < maxDigits && pos < text.size() && IsDigit(text[pos]); ++n, ++pos)
        value = value * 10 + (text[pos] - '0');
    return value;
}

// The last part of a path, cut to the bytes shown without splitting a character.
std::string ShownName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() <= kShownFileNameBytes) return name;
    size_t cut = kShownFileNameBytes;
    while (cut > 0 && (static_cast<uint8_t>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

}  // namespace

std::vector<uint32_t> SelectCandidates(const data::CodeTable& codes, CandidateMarket market) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < codes.Count() && out.size() < kCandidateCapacity; ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (!data::IsIndexCode(code) && InMarket(code, market)) out.push_back(code);
    }
    return out;
}

std::optional<std::vector<uint32_t>> ReadCandidateFile(const std::string& path) {
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
    const size_t wanted = std::min<size_t>(declared, kCandidateCapacity);
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

LoadOutcome LoadCandidatePath(const std::string& path, base::Prompter& prompter,
                              CandidateSet& candidates) {
    auto codes = ReadCandidateFile(path);
    candidates.market = CandidateMarket::File;
    if (!codes) {
        candidates.codes.clear();
        candidates.fileName.clear();
        prompter.ShowMessage(std::string(kRefusedListFile), std::string(kPromptCaption));
        return LoadOutcome::Refused;
    }
    candidates.codes = std::move(*codes);
    candidates.fileName = ShownName(path);
    return LoadOutcome::Loaded;
}

LoadOutcome LoadCandidateFile(const std::string& dataRoot, base::Prompter& prompter,
                              CandidateSet& candidates) {
    const std::string root = data::BuildDataPaths(dataRoot).root;
    auto chosen = prompter.ChooseFile(root + "XG/*.TXT");
    if (!chosen) return LoadOutcome::Cancelled;
    return LoadCandidatePath(*chosen, prompter, candidates);
}

}  // namespace picking
