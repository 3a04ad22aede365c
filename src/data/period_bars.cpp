#include "data/period_bars.h"

#include <algorithm>
#include <limits>

namespace data {
namespace {

constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int32_t PeriodKey(uint32_t date, Period period) {
    return period == Period::Weekly ? WeekNumber(date) : MonthNumber(date);
}

// Sums saturate: a month of a whole market's turnover can pass 32 bits, and a
// wrapped sum would be a plainly wrong small number.
uint32_t SaturatingAdd(uint32_t a, uint64_t b) {
    uint64_t sum = a + b;
    return sum > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                      : static_cast<uint32_t>(sum);
}

}  // namespace

int32_t WeekNumber(uint32_t date) {
    const int32_t y = static_cast<int32_t>(date / 10000);
    const int32_t m = static_cast<int32_t>(date / 100 % 100);
    const int32_t d = static_cast<int32_t>(date % 100);
    int32_t n = (y - 1984) * 365 + (y - 1985) / 4 + d;
    for (int32_t month = 1; month < m && month <= 12; ++month)
        n += month == 2 && y % 4 == 0 ? 29 : kMonthDays[month - 1];
    return n / 7;
}

int32_t MonthNumber(uint32_t date) {
    const int32_t y = static_cast<int32_t>(date / 10000);
    const int32_t m = static_cast<int32_t>(date / 100 % 100);
    return y * 12 + m - 23'808;
}

PeriodBuild BuildPeriodBars(const SeriesView& daily, Period period, std::span<uint32_t> out) {
    PeriodBuild build;
    const size_t bars = daily.BarCount();
    if (bars == 0 || out.size() < 7) return build;
    // Each daily bar is decoded once, adjusted in the daily view's mode.
    int32_t previousKey = 0;
    uint32_t* record = nullptr;
    uint64_t volume = 0;
    for (size_t i = 0; i < bars; ++i) {
        const Bar bar = DecodeBar(daily, daily.firstBar + i * daily.width);
        const int32_t key = PeriodKey(bar.date, period);
        if (record == nullptr || key != previousKey) {
            if (build.end + 7 > out.size()) break;
            record = out.data() + build.end;
            build.end += 7;
            ++build.count;
            record[1] = bar.open;
            record[2] = 0;
            record[3] = std::numeric_limits<uint32_t>::max();
            record[5] = 0;
            volume = 0;
            previousKey = key;
        }
        record[0] = bar.date;
        record[2] = std::max(record[2], bar.high);
        record[3] = std::min(record[3], bar.low);
        record[4] = bar.close;
        record[5] = SaturatingAdd(record[5], bar.amount);
        // An index bar decodes in 10,000 lots; the period bar stores lots.
        volume += daily.isIndex ? uint64_t{bar.volume} * 10'000 : bar.volume;
        record[6] = SaturatingAdd(0, volume);
        build.lastDate = bar.date;
    }
    return build;
}

SeriesView PeriodView(std::span<const uint32_t> region, const PeriodBuild& build, Period period,
                      bool isIndex) {
    SeriesView view;
    view.image = region;
    view.firstBar = 0;
    view.end = std::min(build.end, region.size());
    view.width = 7;
    view.isIndex = isIndex;
    view.period = period;
    return view;
}

}  // namespace data
