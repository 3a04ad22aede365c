#include <gtest/gtest.h>

#include <vector>

#include "base/endian.h"
#include "data/file_formats.h"
#include "data/period_bars.h"
#include "support/fixture_market.h"

namespace {

using data::Bar;
using data::Period;

struct Daily {
    Daily(uint32_t code, std::vector<Bar> bars) : bars(std::move(bars)) {
        auto bytes = data::EncodeDayFile(code, this->bars);
        image.resize(bytes.size() / 4);
        for (size_t i = 0; i < image.size(); ++i) image[i] = base::ReadU32(bytes.data() + 4 * i);
        view.image = image;
        view.end = image.size();
        view.isIndex = data::IsIndexCode(code);
        view.width = view.isIndex ? 7 : 5;
    }
    std::vector<Bar> bars;
    std::vector<uint32_t> image;
    data::SeriesView view;
};

std::vector<Bar> Built(const Daily& daily, Period period, size_t room = 7 * 200) {
    std::vector<uint32_t> out(room, 0xDEADBEEF);
    auto build = data::BuildPeriodBars(daily.view, period, out);
    auto view = data::PeriodView(out, build, period, daily.view.isIndex);
    std::vector<Bar> bars;
    for (size_t i = 0; i < build.count; ++i) {
        const uint32_t* w = out.data() + 7 * i;
        bars.push_back({w[0], w[1], w[2], w[3], w[4], w[5], w[6]});
    }
    EXPECT_EQ(view.BarCount(), build.count);
    if (!bars.empty()) {
        EXPECT_EQ(build.lastDate, bars.back().date);
    }
    return bars;
}

TEST(PeriodBars, WeekKeysRunSundayToSaturday) {
    EXPECT_EQ(data::WeekNumber(20170102), data::WeekNumber(20170106));
    EXPECT_NE(data::WeekNumber(20170106), data::WeekNumber(20170109));
    EXPECT_EQ(data::WeekNumber(20170108), data::WeekNumber(20170109));  // Sunday opens the week
    EXPECT_EQ(data::WeekNumber(20161231) + 1, data::WeekNumber(20170101));
    // A week across a year end and a leap day keeps one key.
    EXPECT_EQ(data::WeekNumber(20151228), data::WeekNumber(20160101));
    EXPECT_EQ(data::WeekNumber(20160229), data::WeekNumber(20160304));
    EXPECT_EQ(data::MonthNumber(20170131) + 1, data::MonthNumber(20170201));
    EXPECT_EQ(data::MonthNumber(19850101), 13);
}

TEST(PeriodBars, AWeekOfDailyBarsBecomesOneBarDatedItsLastDay) {
    Daily daily(600000, {{20170103, 100, 120, 90, 110, 5, 50},
                         {20170104, 110, 130, 105, 125, 6, 60},
                         {20170105, 125, 126, 80, 81, 7, 70},  // Friday is a holiday
                         {20170109, 90, 95, 85, 94, 8, 80}});
    auto weeks = Built(daily, Period::Weekly);
    ASSERT_EQ(weeks.size(), 2u);
    EXPECT_EQ(weeks[0], (Bar{20170105, 100, 130, 80, 81, 18, 180}));
    EXPECT_EQ(weeks[1], (Bar{20170109, 90, 95, 85, 94, 8, 80}));
    auto months = Built(daily, Period::Monthly);
    ASSERT_EQ(months.size(), 1u);
    EXPECT_EQ(months[0], (Bar{20170109, 100, 130, 80, 94, 26, 260}));
}

TEST(PeriodBars, SingleBarAndZeroLow) {
    Daily one(1, {{20170103, 100, 120, 90, 110, 5, 50}});
    EXPECT_EQ(Built(one, Period::Weekly), (std::vector<Bar>{{20170103, 100, 120, 90, 110, 5, 50}}));
    EXPECT_EQ(Built(one, Period::Monthly), (std::vector<Bar>{{20170103, 100, 120, 90, 110, 5, 50}}));
    Daily zero(1, {{20170103, 100, 120, 0, 110, 5, 50}, {20170104, 100, 120, 90, 110, 5, 50}});
    EXPECT_EQ(Built(zero, Period::Weekly)[0].low, 0u);
}

TEST(PeriodBars, ForwardAdjustedWeekOpensAtTheAdjustedOpen) {
    auto table = data::EncodeExRightsTable(
        20170601, std::vector<data::ExRightsStock>{{600000, {{20170110, 10, 0, 0, 0}}}});
    data::ExRightsTable exRights(table);
    Daily daily(600000, {{20170103, 2000, 2200, 1900, 2100, 1, 1},
                         {20170104, 2100, 2300, 2000, 2200, 1, 1},
                         {20170110, 1100, 1150, 1050, 1120, 1, 1}});
    daily.view.adjuster = {&exRights, exRights.FindEntry(600000), data::AdjustMode::Forward};
    auto weeks = Built(daily, Period::Weekly);
    ASSERT_EQ(weeks.size(), 2u);
    EXPECT_EQ(weeks[0], (Bar{20170104, 1000, 1150, 950, 1100, 2, 2}));
    EXPECT_EQ(weeks[1].open, 1100u);
}

TEST(PeriodBars, IndexVolumesAreSummedInRoundedTenThousandsOfLots) {
    Daily index(999999, {{20170103, 1, 2, 1, 2, 10, 14'999}, {20170104, 1, 2, 1, 2, 10, 25'000}});
    auto weeks = Built(index, Period::Weekly);
    ASSERT_EQ(weeks.size(), 1u);
    EXPECT_EQ(weeks[0].volume, 40'000u);  // 1 + 3 ten-thousands, not 39,999
}

TEST(PeriodBars, SumsEqualTheDailySumsAndBuildStopsAtItsRoom) {
    auto dates = fixture::Weekdays(20150105, 600);
    std::vector<Bar> bars;
    uint64_t amount = 0, volume = 0;
    for (size_t i = 0; i < dates.size(); ++i) {
        uint32_t c = 1000 + static_cast<uint32_t>((i * 37) % 200);
        bars.push_back({dates[i], c, c + 10, c - 10, c + 3, static_cast<uint32_t>(i % 17),
                        static_cast<uint32_t>(1000 + i)});
        amount += bars.back().amount;
        volume += bars.back().volume;
    }
    Daily daily(600000, bars);
    for (Period period : {Period::Weekly, Period::Monthly}) {
        auto built = Built(daily, period);
        uint64_t a = 0, v = 0;
        uint32_t high = 0;
        for (const Bar& b : built) a += b.amount, v += b.volume, high = std::max(high, b.high);
        EXPECT_EQ(a, amount);
        EXPECT_EQ(v, volume);
        EXPECT_EQ(high, 1000u + 199 + 10);
        EXPECT_EQ(built.back().date, dates.back());
        EXPECT_EQ(built.back().close, bars.back().close);
    }
    // Room for three bars: exactly three are written, nothing past the room.
    std::vector<uint32_t> out(7 * 3 + 2, 0xDEADBEEF);
    auto build = data::BuildPeriodBars(daily.view, Period::Weekly,
                                       std::span<uint32_t>(out).first(7 * 3));
    EXPECT_EQ(build.count, 3u);
    EXPECT_EQ(out[21], 0xDEADBEEFu);
}

}  // namespace
