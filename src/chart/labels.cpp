#include "chart/labels.h"

#include <algorithm>
#include <cstdio>

#include "base/gbk.h"

namespace chart {
namespace {

std::string Printf(const char* format, double value) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, n > 0 ? static_cast<size_t>(std::min(n, 63)) : 0);
}

}  // namespace

PriceLabelText FormatPrice(uint32_t price) {
    const double yuan = price * 0.01;
    PriceLabelText label{Printf("%.2f", yuan), false};
    if (label.text.size() >= kLongLabel) label = {Printf("%.1f", yuan), true};
    return label;
}

std::string PriceText(uint32_t price) {
    return FormatPrice(price).text;
}

std::string FormatValue(double value, int format) {
    switch (format) {
        case 0:
            return Printf("%.0f", value);
        case 1:
            return Printf("%.1f", value);
        default:
            return Printf("%.2f", value);
    }
}

std::string FormatInt(long long value) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%lld", value);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

int LabelX(int plotLeft, size_t length, bool isLong, int longX) {
    if (isLong) return longX;
    return plotLeft - 7 * static_cast<int>(length) - 2;
}

int Weekday(uint32_t date) {
    const int y = static_cast<int>(date / 10000);
    const int m = static_cast<int>(date / 100 % 100);
    const int d = static_cast<int>(date % 100);
    static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int n = (y - 1984) * 365 + (y - 1985) / 4 + d;
    for (int k = 1; k < m && k <= 12; ++k) n += (k == 2 && y % 4 == 0) ? 29 : kMonthDays[k - 1];
    const int w = n % 7;
    return w < 0 ? w + 7 : w;
}

std::string ToGbk(std::string_view utf8) {
    return base::Utf8ToGbk(utf8);
}

const ChartTexts& Texts() {
    static const ChartTexts texts = [] {
        ChartTexts t;
        t.day = ToGbk("日");
        t.dailyOpen = ToGbk("(日");
        t.weeklyOpen = ToGbk("(周");
        t.monthlyOpen = ToGbk("(月");
        t.kLineClose = ToGbk("K线)");
        const char* labels[9] = {"日 期",    "开盘价",   "最高价", "最低价", "收盘价",
                                 "成交(手)", "金额(万)", "涨跌幅", "换手率"};
        for (int i = 0; i < 9; ++i) t.tableLabels[i] = ToGbk(labels[i]);
        t.enterCode = ToGbk("输入股票");
        t.tenThousand = ToGbk("万");
        t.hundredMillion = ToGbk("亿");
        t.tenThousandLots = ToGbk("万手");
        t.totalTenThousand = ToGbk("股本(万)");
        t.totalHundredMillion = ToGbk("股本(亿)");
        t.floatTenThousand = ToGbk("流通(万)");
        t.floatHundredMillion = ToGbk("流通(亿)");
        t.smallChartsTitle = ToGbk("小K线图(点击可打开大图)");
        t.closeMark = ToGbk("收");
        return t;
    }();
    return texts;
}

}  // namespace chart
