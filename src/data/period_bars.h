// Weekly and monthly bars aggregated in memory from the daily bars, already
// adjusted in the current mode, in the 7-word index record layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "data/bars.h"

namespace data {

// Weeks run Sunday to Saturday, so a trading week always has one key.
int32_t WeekNumber(uint32_t date);
int32_t MonthNumber(uint32_t date);

struct PeriodBuild {
    size_t end = 0;         // word offset just past the last period bar
    uint32_t lastDate = 0;  // date of the last period bar
    size_t count = 0;       // period bars built
};

// Builds the bars of `period` (Weekly or Monthly) from the daily bars of
// `daily` up to its end into `out`, starting at word 0. Stops at the end of
// `out` rather than write past it.
PeriodBuild BuildPeriodBars(const SeriesView& daily, Period period, std::span<uint32_t> out);

// The view the chart and indicators walk after a build.
SeriesView PeriodView(std::span<const uint32_t> region, const PeriodBuild& build, Period period,
                      bool isIndex);

}  // namespace data
