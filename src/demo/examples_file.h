// The example dates of the picking conditions (DEMOD.TXT): entries
// "KNN:MDDDDDDDD" (group, position, market digit, date) chosen among the demo
// market's liveliest days, so each condition's help page has a day on which
// it finds something.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "demo/index_builder.h"

namespace demo {

inline constexpr uint32_t kExampleGroupA = 2;
inline constexpr uint32_t kExampleGroupB = 3;
inline constexpr uint32_t kGroupAPositions = 9;
inline constexpr uint32_t kGroupBPositions = 52;

// Market digits of an entry.
inline constexpr uint32_t kExampleShanghai = 1;
inline constexpr uint32_t kExampleShenzhen = 2;
inline constexpr uint32_t kExampleChiNext = 3;

struct ExampleEntry {
    uint32_t group = 0;
    uint32_t position = 0;
    uint32_t market = 0;
    uint32_t date = 0;
};

std::vector<ExampleEntry> PickExamples(const IndexAccumulator& sums,
                                       std::span<const uint32_t> calendar);

// The file's text in GBK: a header line, one entry per line, a closing line.
std::string ExamplesText(std::span<const ExampleEntry> entries);

}  // namespace demo
