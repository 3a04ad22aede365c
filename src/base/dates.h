// Calendar dates as the decimal numbers YYYYMMDD the data files use.
#pragma once

#include <cstdint>

namespace base {

bool IsLeapYear(int year);

// 1..12; February has 29 days in leap years.
int DaysInMonth(int year, int month);

// A real calendar day of the years 1900 to 2199.
bool IsValidDate(uint32_t yyyymmdd);

}  // namespace base
