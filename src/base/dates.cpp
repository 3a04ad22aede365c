#include "base/dates.h"

namespace base {

bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool IsValidDate(uint32_t yyyymmdd) {
    const int y = static_cast<int>(yyyymmdd / 10000);
    const int m = static_cast<int>(yyyymmdd / 100 % 100);
    const int d = static_cast<int>(yyyymmdd % 100);
    return y >= 1900 && y <= 2199 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

}  // namespace base
