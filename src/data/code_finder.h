// The code finder's rules: which lines a typed code prefix or pinyin initials
// list, and what taking a line chooses. The dialog itself only shows the lines
// and reports the clicks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/code_table.h"

namespace data {

// The indicator catalogue as the finder knows it (UTF-8): number, abbreviation
// and Chinese name per entry, closed by "18 end".
inline constexpr std::string_view kIndicatorCatalogue =
    "00 MA 价格均线;01 VOL 量均线;02 RSI 相对强弱;03 BIAS 乖离率;04 MACD 平滑异同;"
    "05 KD 随机指标;06 KDJ 随机指标;07 BOLL 布林线;08 WR 威廉指标;09 DMI 趋向指标;"
    "10 CCI 顺势指标;11 ARBR 人气意愿;12 PSY 心理线;13 OBV 能量潮;14 CR 能量指标;"
    "15 VR 容量比率;16 ROC 变动速率;17 DMA 平均线差;18 end";

inline constexpr std::string_view kFinderCaption = "股票代码查找";
inline constexpr std::string_view kFinderPickFirstMessage = "请先选取股票或指标";  // no caption
inline constexpr size_t kFinderMaxLines = 200;
inline constexpr int kFinderVisibleLines = 14;
inline constexpr size_t kFinderEditMaxChars = 6;

// The initials rule: typed text of 1 to 4 characters (lower-case letters taken
// as upper-case) equals a run of the stored letters starting at any position
// where it fits; 5 or more characters never match.
bool InitialsMatch(std::string_view typed, const char letters[4]);

// The finder's list for the typed text, as GBK lines: when the first character
// is not a digit, the matching indicators ("VOL 量均线") first, then the
// matching stocks ("600000 " + name) in table order; at most 200 lines. Empty
// for empty text and for an empty code table.
std::vector<std::string> FillFinderList(const CodeTable& table, std::string_view typed);

enum class FinderTrigger { OkOrEnter, DoubleClick };

struct FinderChoice {
    enum class Kind {
        StayOpen,     // nothing happens
        ShowMessage,  // show kFinderPickFirstMessage without caption, stay open
        Taken,        // close with code and indicator (either may be 0)
    };
    Kind kind = Kind::StayOpen;
    uint32_t code = 0;
    int indicator = 0;

    bool operator==(const FinderChoice&) const = default;
};

// What taking a line does. selected is the list's selection (-1 for none),
// topIndex its first visible line.
FinderChoice TakeFinderLine(std::span<const std::string> lines, int selected, int topIndex,
                            FinderTrigger trigger);

// The finder starts with the first character of the main code box only.
std::string FinderInitialText(std::string_view codeBoxText);

// A change of the main code box opens the finder when its first character is
// a digit or an ASCII letter.
bool OpensFinder(std::string_view codeBoxText);

}  // namespace data
