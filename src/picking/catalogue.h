// The condition catalogue: codes, titles, parameters and their initial values,
// the setting board's checks, and the method entry text ("a3(5,20.00,50.00);")
// that a configured condition becomes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/prompter.h"
#include "data/examples.h"

namespace picking {

// Group values. The investment-idea articles share the title machinery as group 1.
inline constexpr int kArticleGroup = 1;
inline constexpr int kGroupA = data::kConditionGroupA;  // 2, tab 初级
inline constexpr int kGroupB = data::kConditionGroupB;  // 3, tab 中级
inline constexpr int kGroupC = data::kConditionGroupC;  // 4, tab 高级

// A condition: its group and its number within the group.
struct ConditionCode {
    int group = 0;
    int number = 0;

    // group × 256 + number: a1 = 513, b57 = 825, c1 = 1025; 0 for none.
    int Value() const { return group * 256 + number; }
    bool Is(char letter, int n) const { return group == letter - 'a' + kGroupA && number == n; }
    bool InRange(char letter, int from, int to) const {
        return group == letter - 'a' + kGroupA && number >= from && number <= to;
    }
    // "a3", "b18"; empty for code 0 or a group without a letter.
    std::string Text() const;

    bool operator==(const ConditionCode&) const = default;
};

// Conditions that exist in the catalogue (shown or not): a1-a9, b1-b57, c1-c3.
int ConditionCount(int group);

// The condition number shown at a display position (from 1); 0 beyond the list.
int ConditionAtPosition(int group, int position);
// The display position of a condition in its group's list; 0 when not shown.
int ConditionPosition(ConditionCode code);

// Title of a condition or article by number, without its code; empty when the
// number is not in the list.
std::string ConditionTitleOf(int group, int number);

struct TitleLookup {
    int number = 0;    // 0 when nothing is at that position
    std::string text;  // code, "：" and title ("a1：根据股价(收盘价)选取个股")
};

// Groups 2-4 take a display position and map it to the condition number;
// group 1 (the articles) takes the number directly.
TitleLookup ConditionTitle(int group, int positionOrNumber);

// Up to six parameters are remembered per condition; an entry may carry up to
// eight when read back.
inline constexpr size_t kRememberedParams = 6;
inline constexpr size_t kEntryParams = 8;

using ParamRecord = std::array<int32_t, kRememberedParams>;

enum class ParamKind : uint8_t { Integer, TwoDecimals };

// Kinds of a condition's parameters in entry order; empty for one without any.
std::span<const ParamKind> ConditionParamKinds(ConditionCode code);

// Parameter memory: one record per condition holding the values last used,
// starting with the built-in values (two-decimal values × 100).
class ConditionParamTable {
public:
    ConditionParamTable();  // the initial values
    // Nothing for a code outside the catalogue.
    const ParamRecord* Find(ConditionCode code) const;
    // Parameter k into field k; the fields past the sixth are not kept.
    void Store(ConditionCode code, std::span<const int32_t> params);

private:
    ParamRecord* Slot(ConditionCode code);

    std::array<ParamRecord, 9> m_groupA{};
    std::array<ParamRecord, 57> m_groupB{};
    std::array<ParamRecord, 3> m_groupC{};
};

// The built-in values of a condition.
ParamRecord InitialParams(ConditionCode code);

// A method entry read back: the code and its parameters (two-decimal values
// × 100, so "20.00" reads as 2000 and "-10.00" as -1000).
struct Condition {
    ConditionCode code;
    std::array<int32_t, kEntryParams> params{};
};

// Reads an entry; a first letter outside 'a'..'d' gives code 0.
Condition ReadMethodEntry(std::string_view entry);

// The setting board as typed: one field per parameter, a two-decimal value as
// its whole part and its fraction part.
struct BoardField {
    std::string whole{};
    std::string fraction{};  // only for two-decimal parameters
};

struct SettingBoard {
    int group = kGroupA;
    int position = 1;  // display position in the group's list
    std::array<BoardField, kRememberedParams> fields;
};

// The condition behind a board (code 0 for an empty position).
ConditionCode BoardCondition(const SettingBoard& board);

// A board filled with the given values (the memory, or an entry being
// modified). b20's stored negative bounds are shown as magnitudes.
SettingBoard BoardFromParams(int group, int position, std::span<const int32_t> params);

// Whether every field the board's condition uses holds something.
bool BoardComplete(const SettingBoard& board);

// Validates the board and writes its entry text; nothing after showing the
// validation message (caption "提示").
std::optional<std::string> BuildMethodEntry(const SettingBoard& board, base::Prompter& prompter);

// The smallest N an added entry may have (a3-a6, b1-b7); 0 when the condition
// has no such limit.
int MinimumN(ConditionCode code);

// A range the setting board checks a typed parameter against (inclusive),
// with the message it refuses a value outside with. The N of the pattern
// conditions may also be 0, which switches their context test off.
struct ParamLimit {
    size_t param = 0;
    int32_t min = 0;
    int32_t max = 0;
    bool zeroToo = false;
    std::string_view message;

    bool Accepts(int32_t v) const { return (zeroToo && v == 0) || (v >= min && v <= max); }
};

// The board's range checks of a condition, in the order it makes them.
std::span<const ParamLimit> ParamLimits(ConditionCode code);

// The names of a condition's parameters in entry order ("N", "ZF low" ...),
// as many as it has kinds.
std::span<const std::string_view> ConditionParamNames(ConditionCode code);

// One parameter as an entry writes it: "%d", or two decimals for a value
// × 100; b20's bounds with a minus sign before their size.
std::string ParamText(ConditionCode code, size_t param, int64_t value);

// The entry of a condition with these parameters (two-decimal values × 100):
// "a3(5,20.00,50.00);", "b27(26,2,);".
std::string WriteMethodEntry(ConditionCode code, std::span<const int64_t> params);

// The display line of an entry: code, title and the labelled parameters.
std::string MethodEntryText(std::string_view entry);

// Two-decimal text of a value × 100: 2000 → "20.00", -1000 → "-10.00".
std::string TwoDecimals(int64_t hundredths);

// Conditions of the catalogue (a1-a9, b1-b57, c1-c3, shown or not). A run of
// any other code is refused with kNotInCatalogueMessage.
bool InCatalogue(ConditionCode code);

// Whether a catalogue condition has a test that can select a stock: b8
// (outside the sector scan), b17, b40, b51, b52 and group c select nothing.
bool SelectsStocks(ConditionCode code);

inline constexpr std::string_view kNotInCatalogueMessage = "方法库中没有该选股方法";
inline constexpr std::string_view kPromptCaption = "提示";

}  // namespace picking
