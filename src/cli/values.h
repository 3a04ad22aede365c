// The one reader of each kind of option value, and the words the commands
// print back for them. Nothing comes back for a value that does not parse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/bars.h"
#include "picking/candidates.h"
#include "sectors/scan.h"

namespace cli {

// YYYYMMDD or YYYY-MM-DD, a real calendar day: 20140321.
std::optional<uint32_t> ParseDate(std::string_view text);
// One to six digits: "600000", "1" (000001).
std::optional<uint32_t> ParseCode(std::string_view text);
// A whole number without sign.
std::optional<uint64_t> ParseCount(std::string_view text);
// sh, sz, cy, all (or 沪市, 深市, 创板, 全市).
std::optional<picking::CandidateMarket> ParseMarket(std::string_view text);
// 1, 2, 3 (or rise, turnover, fall; 涨幅, 成交增加, 跌幅).
std::optional<sectors::ScanType> ParseScanType(std::string_view text);
// 0..17, or the name on the chart's tab (MA, VOL, RSI ... DMA; W&R also WR),
// in any case.
std::optional<int> ParseIndicator(std::string_view text);
std::optional<data::Period> ParsePeriod(std::string_view text);      // day|week|month
std::optional<data::AdjustMode> ParseAdjust(std::string_view text);  // none|forward|backward

// The part of the window a picture shows: all of it, the upper work area with
// the chart, or the lower half with the sector page.
enum class PictureArea { Window, Chart, Page };
std::optional<PictureArea> ParseArea(std::string_view text);  // window|chart|page

std::string_view MarketWord(picking::CandidateMarket market);  // "sh" ...
std::string_view MarketName(picking::CandidateMarket market);  // "沪市" ...
std::string_view ScanTypeName(sectors::ScanType type);         // "涨幅", "成交增加", "跌幅"
std::string_view PeriodWord(data::Period period);
std::string_view AdjustWord(data::AdjustMode mode);
// "MA", "VOL" ... "W&R" ... "DMA".
std::string IndicatorName(int index);

// A scan's value or threshold as a percent with its sign: a rise 1007 is
// "10.07", a fall recorded as 674 is "-6.74", a turnover increase of 150 %
// is "150".
std::string ScanPercentText(sectors::ScanType type, int64_t raw);

// What the window's threshold boxes hold at start (2.00 % rise, 100 %
// turnover increase, 1.50 % fall), in raw units.
int32_t StartThreshold(sectors::ScanType type);

}  // namespace cli
