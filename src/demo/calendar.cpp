#include "demo/calendar.h"

#include <algorithm>
#include <ctime>

#include "base/dates.h"

namespace demo {
namespace {

using base::DaysInMonth;

uint32_t MakeDate(int y, int m, int d) {
    return static_cast<uint32_t>(y * 10000 + m * 100 + d);
}

uint32_t AddDays(uint32_t date, int32_t days) {
    return DateFromDayNumber(DayNumber(date) + days);
}

// Lunar new year, month * 100 + day, 1990..2040.
constexpr uint16_t kSpringFestival[] = {
    127, 215, 204, 123, 210, 131, 219, 207, 128, 216,  // 1990
    205, 124, 212, 201, 122, 209, 129, 218, 207, 126,  // 2000
    214, 203, 123, 210, 131, 219, 208, 128, 216, 205,  // 2010
    125, 212, 201, 122, 210, 129, 217, 206, 126, 213,  // 2020
    203, 123, 211, 131, 219, 208, 128, 215, 204, 124,  // 2030
    212,                                               // 2040
};
constexpr int kFirstTableYear = 1990;
constexpr int kLastTableYear = 2040;

// A holiday that stands alone is observed on the Monday after when it falls on
// a weekend.
uint32_t Observed(uint32_t date) {
    switch (Weekday(date)) {
        case 6:
            return AddDays(date, 2);
        case 0:
            return AddDays(date, 1);
        default:
            return date;
    }
}

// A lunar-calendar holiday: `offset` days after the new year, a lunar month
// later when that lands before `earliest` (a leap month came in between).
uint32_t LunarHoliday(int year, int32_t offset, uint32_t earliest) {
    uint32_t date = AddDays(SpringFestival(year), offset);
    if (date < earliest) date = AddDays(date, 30);
    return date;
}

}  // namespace

// Howard Hinnant's days_from_civil.
int32_t DayNumber(uint32_t yyyymmdd) {
    int y = static_cast<int>(yyyymmdd / 10000);
    const int m = static_cast<int>(yyyymmdd / 100 % 100);
    const int d = static_cast<int>(yyyymmdd % 100);
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

uint32_t DateFromDayNumber(int32_t days) {
    days += 719468;
    const int era = (days >= 0 ? days : days - 146096) / 146097;
    const int doe = days - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp < 10 ? mp + 3 : mp - 9;
    const int y = yoe + era * 400 + (m <= 2);
    return MakeDate(y, m, d);
}

int Weekday(uint32_t yyyymmdd) {
    const int32_t n = DayNumber(yyyymmdd);  // 1970-01-01 was a Thursday
    return static_cast<int>(((n % 7) + 7 + 4) % 7);
}

uint32_t SpringFestival(int year) {
    if (year >= kFirstTableYear && year <= kLastTableYear)
        return static_cast<uint32_t>(year) * 10000 + kSpringFestival[year - kFirstTableYear];
    const int step = year < kFirstTableYear ? 19 : -19;
    return SpringFestival(year + step) % 10000 + static_cast<uint32_t>(year) * 10000;
}

std::vector<uint32_t> MarketHolidays(int year) {
    std::vector<uint32_t> closed;
    auto closeRange = [&](uint32_t from, int days) {
        for (int i = 0; i < days; ++i) closed.push_back(AddDays(from, i));
    };
    closed.push_back(Observed(MakeDate(year, 1, 1)));
    // The exchanges close from new year's eve for the whole week.
    closeRange(AddDays(SpringFestival(year), -1), 8);
    if (year < 2008) {
        closeRange(MakeDate(year, 5, 1), 7);
    } else {
        // Qingming falls on 4 April in the first two years of each leap cycle.
        closed.push_back(Observed(MakeDate(year, 4, year % 4 <= 1 ? 4 : 5)));
        closeRange(MakeDate(year, 5, 1), 3);
        closed.push_back(Observed(LunarHoliday(year, 122, MakeDate(year, 5, 28))));
        closed.push_back(Observed(LunarHoliday(year, 221, MakeDate(year, 9, 8))));
    }
    closeRange(MakeDate(year, 10, 1), 7);

    std::vector<uint32_t> weekdays;
    for (uint32_t date : closed) {
        const int wd = Weekday(date);
        if (wd != 0 && wd != 6) weekdays.push_back(date);
    }
    std::sort(weekdays.begin(), weekdays.end());
    weekdays.erase(std::unique(weekdays.begin(), weekdays.end()), weekdays.end());
    return weekdays;
}

bool IsTradingDay(uint32_t yyyymmdd) {
    const int wd = Weekday(yyyymmdd);
    if (wd == 0 || wd == 6) return false;
    const auto holidays = MarketHolidays(static_cast<int>(yyyymmdd / 10000));
    return !std::binary_search(holidays.begin(), holidays.end(), yyyymmdd);
}

std::vector<uint32_t> TradingDays(uint32_t first, uint32_t last) {
    std::vector<uint32_t> days;
    if (first > last) return days;
    int year = -1;
    std::vector<uint32_t> holidays;
    for (int32_t n = DayNumber(first), end = DayNumber(last); n <= end; ++n) {
        const uint32_t date = DateFromDayNumber(n);
        const int wd = static_cast<int>(((n % 7) + 7 + 4) % 7);
        if (wd == 0 || wd == 6) continue;
        if (static_cast<int>(date / 10000) != year) {
            year = static_cast<int>(date / 10000);
            holidays = MarketHolidays(year);
        }
        if (!std::binary_search(holidays.begin(), holidays.end(), date)) days.push_back(date);
    }
    return days;
}

uint32_t LastTradingDayOnOrBefore(uint32_t yyyymmdd) {
    uint32_t date = yyyymmdd;
    while (!IsTradingDay(date)) date = AddDays(date, -1);
    return date;
}

uint32_t LastWeekdayBefore(uint32_t yyyymmdd) {
    uint32_t date = AddDays(yyyymmdd, -1);
    while (Weekday(date) == 0 || Weekday(date) == 6) date = AddDays(date, -1);
    return date;
}

uint32_t YearsBefore(uint32_t yyyymmdd, uint32_t years) {
    const int y = static_cast<int>(yyyymmdd / 10000) - static_cast<int>(years);
    const int m = static_cast<int>(yyyymmdd / 100 % 100);
    const int d = std::min(static_cast<int>(yyyymmdd % 100), DaysInMonth(y, m));
    return MakeDate(y, m, d);
}

uint32_t TodayLocal() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace demo
