#include "base/dates.h"
#include "demo/calendar.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using demo::IsTradingDay;

TEST(DemoCalendar, DateArithmeticRoundTripsAndKnowsWeekdays) {
    for (int32_t n = demo::DayNumber(19800101); n <= demo::DayNumber(20801231); n += 7) {
        const uint32_t date = demo::DateFromDayNumber(n);
        ASSERT_TRUE(base::IsValidDate(date)) << date;
        ASSERT_EQ(demo::DayNumber(date), n);
    }
    EXPECT_EQ(demo::Weekday(20241204), 3);                                // a Wednesday
    EXPECT_EQ(demo::Weekday(20000101), 6);                                // a Saturday
    EXPECT_EQ(demo::DayNumber(20000301) - demo::DayNumber(20000228), 2);  // 2000 is leap
    EXPECT_EQ(demo::DayNumber(21000301) - demo::DayNumber(21000228), 1);  // 2100 is not
    EXPECT_FALSE(base::IsValidDate(20230229));
    EXPECT_FALSE(base::IsValidDate(20231301));
    EXPECT_FALSE(base::IsValidDate(20230400));
    EXPECT_TRUE(base::IsValidDate(20240229));
}

TEST(DemoCalendar, ClosesForTheChineseHolidays) {
    // Spring Festival 2024 (10 Feb): closed from the eve through the week.
    for (uint32_t d = 20240209; d <= 20240216; ++d) EXPECT_FALSE(IsTradingDay(d)) << d;
    EXPECT_TRUE(IsTradingDay(20240208));
    EXPECT_TRUE(IsTradingDay(20240219));
    // Spring Festival 2025 (29 Jan).
    for (uint32_t d = 20250128; d <= 20250131; ++d) EXPECT_FALSE(IsTradingDay(d)) << d;
    EXPECT_FALSE(IsTradingDay(20250203));
    EXPECT_FALSE(IsTradingDay(20250204));
    EXPECT_TRUE(IsTradingDay(20250205));
    // National Day week, Labour Day, New Year on a Sunday observed on Monday.
    for (uint32_t d = 20241001; d <= 20241007; ++d) EXPECT_FALSE(IsTradingDay(d)) << d;
    EXPECT_TRUE(IsTradingDay(20241008));
    for (uint32_t d = 20240501; d <= 20240503; ++d) EXPECT_FALSE(IsTradingDay(d)) << d;
    EXPECT_FALSE(IsTradingDay(20230102));
    EXPECT_TRUE(IsTradingDay(20230103));
    // Qingming: a Thursday in 2024, a Sunday in 2026 observed on Monday.
    EXPECT_FALSE(IsTradingDay(20240404));
    EXPECT_FALSE(IsTradingDay(20260406));
    // Dragon Boat 2025 fell on Saturday 31 May: Monday 2 June closed.
    EXPECT_FALSE(IsTradingDay(20250602));
    // Weekends never trade.
    EXPECT_FALSE(IsTradingDay(20241207));
    EXPECT_FALSE(IsTradingDay(20241208));
}

TEST(DemoCalendar, EveryYearHasAFullYearOfTradingDays) {
    // The lunar holidays come from a table and an approximation beyond it:
    // each year must still close on about the dozen weekdays real years do.
    for (int y = 1991; y <= 2079; ++y) {
        const auto days = demo::TradingDays(static_cast<uint32_t>(y) * 10000 + 101,
                                            static_cast<uint32_t>(y) * 10000 + 1231);
        EXPECT_GE(days.size(), 232u) << y;
        EXPECT_LE(days.size(), 252u) << y;
        const auto holidays = demo::MarketHolidays(y);
        EXPECT_GE(holidays.size(), 9u) << y;
        EXPECT_LE(holidays.size(), 20u) << y;
    }
}

TEST(DemoCalendar, TradingDaysAgreeWithTheDayTest) {
    const auto days = demo::TradingDays(20191220, 20210110);
    ASSERT_FALSE(days.empty());
    EXPECT_TRUE(std::is_sorted(days.begin(), days.end()));
    size_t k = 0;
    for (int32_t n = demo::DayNumber(20191220); n <= demo::DayNumber(20210110); ++n) {
        const uint32_t date = demo::DateFromDayNumber(n);
        const bool listed = k < days.size() && days[k] == date;
        EXPECT_EQ(listed, IsTradingDay(date)) << date;
        k += listed;
    }
    EXPECT_EQ(k, days.size());
    EXPECT_TRUE(demo::TradingDays(20240105, 20240104).empty());
}

TEST(DemoCalendar, EndDatesMoveBackToATradingDay) {
    EXPECT_EQ(demo::LastTradingDayOnOrBefore(20241005), 20240930u);
    EXPECT_EQ(demo::LastTradingDayOnOrBefore(20240211), 20240208u);
    EXPECT_EQ(demo::LastTradingDayOnOrBefore(20241204), 20241204u);
    EXPECT_EQ(demo::LastWeekdayBefore(20241209), 20241206u);  // Monday -> Friday
    EXPECT_EQ(demo::LastWeekdayBefore(20241207), 20241206u);  // Saturday -> Friday
    EXPECT_EQ(demo::LastWeekdayBefore(20241205), 20241204u);
    EXPECT_EQ(demo::YearsBefore(20240229, 1), 20230228u);
    EXPECT_EQ(demo::YearsBefore(20261204, 10), 20161204u);
}

}  // namespace
