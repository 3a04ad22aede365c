// The trading calendar of the demo market: weekdays less the Chinese market
// holidays. Dates are YYYYMMDD throughout.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

// Days since 1970-01-01 and back.
int32_t DayNumber(uint32_t yyyymmdd);
uint32_t DateFromDayNumber(int32_t days);

// 0 Sunday .. 6 Saturday.
int Weekday(uint32_t yyyymmdd);

// The first day of the Spring Festival (lunar new year) of a year: from a
// table for 1990-2040, otherwise from the date 19 years earlier (the lunar
// calendar nearly repeats over that cycle).
uint32_t SpringFestival(int year);

// Weekdays of a year on which the exchanges are closed, ascending.
std::vector<uint32_t> MarketHolidays(int year);

bool IsTradingDay(uint32_t yyyymmdd);

// Trading days from first to last, both included when they trade.
std::vector<uint32_t> TradingDays(uint32_t first, uint32_t last);

uint32_t LastTradingDayOnOrBefore(uint32_t yyyymmdd);

// The last Monday-to-Friday day strictly before the date.
uint32_t LastWeekdayBefore(uint32_t yyyymmdd);

// The same month and day `years` earlier; 29 February becomes the 28th.
uint32_t YearsBefore(uint32_t yyyymmdd, uint32_t years);

// Today in local time.
uint32_t TodayLocal();

}  // namespace demo
