#include "data/examples.h"

#include <algorithm>
#include <iterator>

#include "base/file_io.h"

namespace data {
namespace {

// Display order of the condition lists: the condition number at each visible
// position. Group b hides 8, 17, 40, 51 and 52.
inline constexpr uint8_t kGroupAOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
inline constexpr uint8_t kGroupBOrder[] = {1,  2,  3,  4,  5,  6,  7,       //
                                           9,  10, 11, 12, 13, 14, 15, 16,  //
                                           18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
                                           29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,  //
                                           41, 42, 43, 44, 45, 46, 47, 48, 49, 50,      //
                                           53, 54, 55, 56, 57};
inline constexpr uint8_t kGroupCOrder[] = {1};

static_assert(std::size(kGroupBOrder) == 52);

std::span<const uint8_t> DisplayOrder(int group) {
    switch (group) {
        case kConditionGroupA:
            return kGroupAOrder;
        case kConditionGroupB:
            return kGroupBOrder;
        case kConditionGroupC:
            return kGroupCOrder;
        default:
            return {};
    }
}

inline constexpr size_t kExampleDigits = 9;
inline constexpr uint32_t kMarketDivisor = 100'000'000;

bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int ConditionAtPosition(int group, int position) {
    auto order = DisplayOrder(group);
    if (position < 1 || static_cast<size_t>(position) > order.size()) return 0;
    return order[static_cast<size_t>(position - 1)];
}

int VisibleConditionCount(int group) {
    return static_cast<int>(DisplayOrder(group).size());
}

uint32_t ExampleTable::ForCondition(int group, int number) const {
    if (number < 1) return 0;
    size_t slot = static_cast<size_t>(number);
    if (group == kConditionGroupB)
        slot += kExampleGroupBOffset;
    else if (group != kConditionGroupA)
        return 0;
    return slot < slots.size() ? slots[slot] : 0;
}

uint32_t LoadExamples(const std::string& path, std::span<uint8_t> workData, ExampleTable& table) {
    // A reload after a download must not keep examples the new file dropped.
    table.slots.fill(0);
    auto read = base::ReadFileInto(path, workData);
    if (!read) return 0;
    const size_t length = *read;

    uint32_t stored = 0;
    // A colon among the first three or the last four bytes is not an entry.
    for (size_t i = 3; i + 4 < length; ++i) {
        if (workData[i] != ':') continue;
        const uint8_t k = workData[i - 3];
        if (!IsDigit(k) || !IsDigit(workData[i - 2]) || !IsDigit(workData[i - 1])) continue;
        const int group = k - '0';
        if (group != kConditionGroupA && group != kConditionGroupB) continue;

        // Exactly nine digits: a tenth one spoils the entry; the data's end stops the count.
        size_t digits = 0;
        while (digits <= kExampleDigits && i + 1 + digits < length &&
               IsDigit(workData[i + 1 + digits]))
            ++digits;
        if (digits != kExampleDigits) continue;
        uint32_t value = 0;
        for (size_t d = 0; d < kExampleDigits; ++d)
            value = value * 10 + static_cast<uint32_t>(workData[i + 1 + d] - '0');

        const int position = (workData[i - 2] - '0') * 10 + (workData[i - 1] - '0');
        const int condition = ConditionAtPosition(group, position);
        // A position with no condition lands in slot 0 (30 for group b), which
        // no help page reads; it still counts as stored.
        size_t slot = static_cast<size_t>(condition);
        if (group == kConditionGroupB) slot += kExampleGroupBOffset;
        table.slots[slot] = value;
        ++stored;
    }
    return stored ? stored : kNoExamples;
}

std::string_view ExampleMarketName(uint32_t example) {
    switch (example / kMarketDivisor) {
        case 2:
            return "深市";
        case 3:
            return "创板";
        default:
            return "沪市";
    }
}

uint32_t ExampleDate(uint32_t example) {
    return example % kMarketDivisor;
}

void WriteReport(const std::string& path, std::span<const uint8_t> workData, size_t length,
                 base::Prompter& prompter) {
    if (length == 0) return;
    length = std::min(length, workData.size());
    if (!base::WriteFileAtomic(path, workData.first(length)).ok()) return;
    prompter.ShowMessage(path, std::string(kReportCaption));
}

}  // namespace data
