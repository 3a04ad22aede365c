// Worked picking examples (MKDAT/DEMOD.TXT, one per condition, shown on the
// condition's help page) and the history-search report (MKDAT/DEMO_Find.TXT).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/prompter.h"

namespace data {

// Condition groups as the example file numbers them: a (初级), b (中级), c.
inline constexpr int kConditionGroupA = 2;
inline constexpr int kConditionGroupB = 3;
inline constexpr int kConditionGroupC = 4;

// The condition number shown at a display position (from 1) of a group's
// list; 0 for a position beyond the group's visible entries or an unknown group.
int ConditionAtPosition(int group, int position);

// Number of visible entries of a group (0 for an unknown group).
int VisibleConditionCount(int group);

// Group b's examples sit 30 slots above its condition numbers.
inline constexpr size_t kExampleGroupBOffset = 30;
inline constexpr size_t kExampleSlots = kExampleGroupBOffset + 57 + 1;  // b57 is the last

// One value per condition: market digit and YYYYMMDD as nine digits, 0 for none.
struct ExampleTable {
    std::array<uint32_t, kExampleSlots> slots{};

    // The example of condition `number` of group a or b; 0 when there is none.
    uint32_t ForCondition(int group, int number) const;
};

inline constexpr uint32_t kNoExamples = 0xFFFF;

// Reads the example file into workData (at most its size) and fills the table
// afresh. Returns the number of examples stored, kNoExamples when the file
// holds none, and 0 when it cannot be opened.
uint32_t LoadExamples(const std::string& path, std::span<uint8_t> workData, ExampleTable& table);

// Market and date of an example value: "沪市", "深市" or "创板" (UTF-8; an
// unknown market digit reads as 沪市), and YYYYMMDD.
std::string_view ExampleMarketName(uint32_t example);
uint32_t ExampleDate(uint32_t example);

inline constexpr std::string_view kReportCaption = "生成文件";

// Writes the first `length` bytes of workData to the report file and shows its
// path with the caption "生成文件". Nothing happens for length 0, and nothing
// is shown when the file cannot be written.
void WriteReport(const std::string& path, std::span<const uint8_t> workData, size_t length,
                 base::Prompter& prompter);

}  // namespace data
