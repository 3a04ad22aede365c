// Candidate sets (待选股) of a picking run: the markets taken from the code
// table, or the codes of a stock-list file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/prompter.h"
#include "data/code_table.h"

namespace picking {

inline constexpr size_t kCandidateCapacity = 6'498;

// The set buttons, numbered as the label text "载入沪市深市创板全市" counts them.
enum class CandidateMarket : int { File = 1, Shanghai = 2, Shenzhen = 3, ChiNext = 4, All = 5 };

// Two characters per button, 载入 first.
inline constexpr std::string_view kCandidateButtonLabels = "载入沪市深市创板全市";

struct CandidateSet {
    std::vector<uint32_t> codes;
    CandidateMarket market = CandidateMarket::All;
    std::string fileName;  // shown under 载入 for a list file
};

// The codes of a market in code-table order, at most kCandidateCapacity:
// 沪市 from 600000 on, 深市 below 300001, 创板 from 300001 up to 600000, 全市
// all. Index codes are never candidates, and a code the table lists twice is
// taken once.
std::vector<uint32_t> SelectCandidates(const data::CodeTable& codes, CandidateMarket market);

// The codes of a stock-list file: a header whose text opens with 擎宇 and
// holds the count, then one code per line. Nothing when the file is refused.
// A file declaring more codes than the capacity is read up to the capacity; a
// code named twice is taken once.
std::optional<std::vector<uint32_t>> ReadCandidateFile(const std::string& path);

inline constexpr std::string_view kRefusedListFile = "非擎宇文件，或者文件已被破坏。";
inline constexpr size_t kShownFileNameBytes = 27;

enum class LoadOutcome { Cancelled, Refused, Loaded };

// 载入: asks for a file in the data root's XG folder and makes its codes the
// candidates. A refused file shows its message and leaves no candidates.
LoadOutcome LoadCandidateFile(const std::string& dataRoot, base::Prompter& prompter,
                              CandidateSet& candidates);

// Reads a chosen file as LoadCandidateFile does, without the dialog.
LoadOutcome LoadCandidatePath(const std::string& path, base::Prompter& prompter,
                              CandidateSet& candidates);

}  // namespace picking
