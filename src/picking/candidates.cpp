#include "picking/candidates.h"

#include <algorithm>
#include <unordered_set>

#include "base/file_io.h"
#include "data/paths.h"
#include "data/stock_list_file.h"
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
    std::unordered_set<uint32_t> seen;
    for (size_t i = 0; i < codes.Count() && out.size() < kCandidateCapacity; ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        // A code the table lists twice is one stock: counted twice it would
        // give a sector more hits than members.
        if (!data::IsIndexCode(code) && InMarket(code, market) && seen.insert(code).second)
            out.push_back(code);
    }
    return out;
}

std::optional<std::vector<uint32_t>> ReadCandidateFile(const std::string& path) {
    auto codes = data::ReadStockListFile(path, kCandidateCapacity);
    if (!codes) return codes;
    // A code named twice is evaluated once.
    std::unordered_set<uint32_t> seen;
    std::erase_if(*codes, [&](uint32_t code) { return !seen.insert(code).second; });
    return codes;
}

LoadOutcome LoadCandidatePath(const std::string& path, base::Prompter& prompter,
                              CandidateSet& candidates) {
    auto codes = ReadCandidateFile(path);
    candidates.market = CandidateMarket::File;
    if (!codes) {
        candidates.codes.clear();
        candidates.fileName.clear();
        // A file that cannot be read is not a damaged one: say which it is.
        const std::string reason = base::UnreadableReason(path);
        prompter.ShowMessage(reason.empty() ? std::string(kRefusedListFile) : "文件" + reason + "：" + path,
                             std::string(kPromptCaption));
        return LoadOutcome::Refused;
    }
    candidates.codes = std::move(*codes);
    candidates.fileName = ShownName(path);
    return LoadOutcome::Loaded;
}

LoadOutcome LoadCandidateFile(const std::string& dataRoot, base::Prompter& prompter,
                              CandidateSet& candidates) {
    auto chosen = prompter.ChooseFile(data::BuildDataPaths(dataRoot).listFolder + "*.TXT");
    if (!chosen) return LoadOutcome::Cancelled;
    return LoadCandidatePath(*chosen, prompter, candidates);
}

}  // namespace picking
