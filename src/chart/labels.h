// Number formats of the chart's labels and readouts, and the fixed Chinese
// texts the chart draws, converted to GBK once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/canvas.h"

namespace chart {

// A text to draw: GBK bytes at (x, y) in a font size code.
struct TextItem {
    int x = 0;
    int y = 0;
    int font = 13;
    int spacing = 0;  // character spacing in force while it is drawn
    ui::Rgb colour;
    std::string text;
};

// Labels of this many characters or more no longer fit right of the chart's
// left edge: prices drop to one decimal and start at the edge instead.
inline constexpr size_t kLongLabel = 9;

// price (0.01 units) * 0.01 as "%.2f", or "%.1f" when "%.2f" makes kLongLabel
// characters or more; such a label is placed as a long one.
struct PriceLabelText {
    std::string text;
    bool isLong = false;
};
PriceLabelText FormatPrice(uint32_t price);
std::string PriceText(uint32_t price);

// "%.0f", "%.1f" or "%.2f" of a value by label format 0, 1, 2.
std::string FormatValue(double value, int format);
std::string FormatInt(long long value);

// Right-aligned to end 2 pixels left of the plot at 7 pixels a character;
// a long text starts at `longX` instead.
int LabelX(int plotLeft, size_t length, bool isLong, int longX);
inline int LabelX(int plotLeft, size_t length, int longX) {
    return LabelX(plotLeft, length, length >= kLongLabel, longX);
}

// Weekday digit of a date, 0 Sunday .. 6 Saturday, from the day count the
// weekly bars are keyed by.
int Weekday(uint32_t date);

// The fixed texts, in GBK.
struct ChartTexts {
    std::string day;                  // 日 (legend: "5" + 日)
    std::string dailyOpen;            // (日
    std::string weeklyOpen;           // (周
    std::string monthlyOpen;          // (月
    std::string kLineClose;           // K线)
    std::string tableLabels[9];       // 日 期 .. 换手率
    std::string enterCode;            // 输入股票
    std::string tenThousand;          // 万
    std::string hundredMillion;       // 亿
    std::string tenThousandLots;      // 万手
    std::string totalTenThousand;     // 股本(万)
    std::string totalHundredMillion;  // 股本(亿)
    std::string floatTenThousand;     // 流通(万)
    std::string floatHundredMillion;  // 流通(亿)
    std::string smallChartsTitle;     // 小K线图(点击可打开大图)
    std::string closeMark;            // 收
};
const ChartTexts& Texts();

// GBK of a UTF-8 text (titles, event texts).
std::string ToGbk(std::string_view utf8);

}  // namespace chart
