#include "picking/simulation.h"

#include <gtest/gtest.h>

#include "base/recording_prompter.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "support/fixture_market.h"

namespace {

// An index on the weekdays from Tuesday 2014-03-04 to Friday 2014-03-28
// (19 bars), loaded the way start-up loads it.
class Simulation : public ::testing::Test {
protected:
    void SetUp() override {
        m_dates = fixture::Weekdays(20140304, 19);
        ASSERT_EQ(m_dates.back(), 20140328u);
        std::vector<data::Bar> bars;
        for (uint32_t d : m_dates) bars.push_back({d, 2000, 2000, 2000, 2000, 1, 1});
        m_market.WriteDayFile(999999, bars);
        m_image.assign(data::kIndexBufferBytes / 4, 0);
        m_index = data::LoadIndexDayFile(m_market.Paths(), m_image, m_simulation);
        m_view = m_index.View(m_image);
    }

    fixture::FixtureMarket m_market;
    std::vector<uint32_t> m_dates;
    std::vector<uint32_t> m_image;
    data::SimulationDate m_simulation;
    data::IndexState m_index;
    data::SeriesView m_view;
};

TEST_F(Simulation, EnteringAndLeavingKeepTheDate) {
    // Start-up put the date nine bars before the last.
    EXPECT_EQ(m_simulation.date, 20140317u);
    EXPECT_EQ(picking::SimulationCutoff(m_simulation), data::kNoSimulationCutoff);
    EXPECT_EQ(picking::EnterSimulation(m_simulation), "20140317");
    EXPECT_EQ(picking::SimulationCutoff(m_simulation), 20140317u);
    picking::ExitSimulation(m_simulation);
    EXPECT_FALSE(m_simulation.active);
    EXPECT_EQ(m_simulation.date, 20140317u);
    data::SimulationDate odd{false, 1234567};
    EXPECT_EQ(picking::EnterSimulation(odd), "");
}

TEST_F(Simulation, TypedDatesAreChecked) {
    base::RecordingPrompter prompter;
    picking::EnterSimulation(m_simulation);
    const std::string format =
        "模拟日期输入格式有误。例如模拟日期2014年3月21日，输入格式为20140321";
    for (const char* typed :
         {"2014032", "20141301", "20140300", "20140332", "201403210", "2014o321", ""}) {
        prompter.records.clear();
        EXPECT_EQ(picking::ConfirmSimulationDate(typed, m_simulation, m_index, prompter),
                  picking::DateChange::Refused)
            << typed;
        ASSERT_EQ(prompter.Messages().size(), 1u) << typed;
        EXPECT_EQ(prompter.Messages()[0].text, format);
        EXPECT_EQ(prompter.Messages()[0].caption, "提示");
    }
    // The range is the first index date .. the last one.
    prompter.records.clear();
    EXPECT_EQ(picking::ConfirmSimulationDate("20140303", m_simulation, m_index, prompter),
              picking::DateChange::Refused);
    EXPECT_EQ(prompter.Messages().at(0).text, "模拟日期的范围在20140304--20140328之间");
    EXPECT_EQ(picking::ConfirmSimulationDate("20140331", m_simulation, m_index, prompter),
              picking::DateChange::Refused);
    EXPECT_EQ(m_simulation.date, 20140317u);
    // The date in force: nothing happens, nothing is said.
    prompter.records.clear();
    EXPECT_EQ(picking::ConfirmSimulationDate("20140317", m_simulation, m_index, prompter),
              picking::DateChange::Unchanged);
    EXPECT_TRUE(prompter.records.empty());
    // A Saturday is accepted as typed.
    EXPECT_EQ(picking::ConfirmSimulationDate("20140322", m_simulation, m_index, prompter),
              picking::DateChange::Changed);
    EXPECT_EQ(m_simulation.date, 20140322u);
    EXPECT_EQ(picking::SimulationCutoff(m_simulation), 20140322u);
}

TEST_F(Simulation, SteppingOverTradingDays) {
    // +1 on a Friday is the next Monday; from a Saturday the next trading day
    // counts as the start.
    EXPECT_EQ(picking::NextIndexDate(m_view, m_index, 20140314, 1), 20140317u);
    EXPECT_EQ(picking::NextIndexDate(m_view, m_index, 20140315, 1), 20140318u);
    EXPECT_EQ(picking::NextIndexDate(m_view, m_index, 20140314, -1), 20140313u);
    // Past the ends: the last trading date, or the earliest allowed date.
    EXPECT_EQ(picking::NextIndexDate(m_view, m_index, 20140324, 10), 20140328u);
    EXPECT_EQ(picking::NextIndexDate(m_view, m_index, 20140306, -10), 20140304u);
    EXPECT_EQ(picking::NextIndexDate(m_view, m_index, 20140401, -1), 20140327u);

    m_simulation.date = 20140326;
    EXPECT_EQ(picking::StepSimulationDate(10, m_simulation, m_view, m_index),
              picking::DateChange::Changed);
    EXPECT_EQ(m_simulation.date, 20140328u);
    EXPECT_EQ(picking::StepSimulationDate(1, m_simulation, m_view, m_index),
              picking::DateChange::Unchanged);
    EXPECT_EQ(picking::StepSimulationDate(-10, m_simulation, m_view, m_index),
              picking::DateChange::Changed);
    EXPECT_EQ(m_simulation.date, 20140314u);
    EXPECT_EQ(picking::StepSimulationDate(-10, m_simulation, m_view, m_index),
              picking::DateChange::Changed);
    EXPECT_EQ(m_simulation.date, 20140304u);
    EXPECT_EQ(picking::StepSimulationDate(-1, m_simulation, m_view, m_index),
              picking::DateChange::Unchanged);
    EXPECT_EQ(m_simulation.date, 20140304u);
}

TEST_F(Simulation, EarliestAllowedDateIsNotBeforeTheYear2000) {
    std::vector<data::Bar> bars;
    for (uint32_t d : fixture::Weekdays(19991227, 10)) bars.push_back({d, 1, 1, 1, 1, 1, 1});
    m_market.WriteDayFile(999999, bars);
    data::SimulationDate simulation;
    auto index = data::LoadIndexDayFile(m_market.Paths(), m_image, simulation);
    auto view = index.View(m_image);
    EXPECT_EQ(index.earliestSimulationDate, 20000104u);
    // Stepping back from the first bars lands on the earliest allowed date.
    EXPECT_EQ(picking::NextIndexDate(view, index, 20000105, -3), 20000104u);
    base::RecordingPrompter prompter;
    EXPECT_EQ(picking::ConfirmSimulationDate("19991230", simulation, index, prompter),
              picking::DateChange::Refused);
    EXPECT_EQ(prompter.Messages().at(0).text, "模拟日期的范围在20000104--20000107之间");
}

TEST_F(Simulation, ApplyingLimitsTheOpenChart) {
    // A stock with bars on 03-10 .. 03-14 and 03-17 .. 03-19.
    std::vector<data::Bar> bars;
    for (uint32_t d : fixture::Weekdays(20140310, 8))
        bars.push_back({d, 1000, 1000, 1000, 1000, 1, 1});
    m_market.WriteDayFile(600000, bars);
    std::vector<uint32_t> image(data::kOpenStockWords, 0);
    data::OpenStockState stock;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(data::OpenStock(m_market.Paths(), 600000, stock, prompter));
    data::LoadStockDayFile(m_market.Paths(), {}, image, stock);
    ASSERT_TRUE(stock.loaded);

    data::SimulationDate simulation{true, 20140315};  // a Saturday
    // Off screen nothing changes.
    EXPECT_FALSE(picking::ApplySimulationDate(simulation, stock, image, false).redraw);
    auto update = picking::ApplySimulationDate(simulation, stock, image, true);
    EXPECT_TRUE(update.redraw);
    EXPECT_FALSE(update.rebuildPeriodBars);
    // Up to and including the first bar on or after the date: Monday 03-17.
    EXPECT_EQ(stock.viewEndDate, 20140317u);
    EXPECT_EQ(stock.viewEnd, 8u + 6 * 5);
    // A stock that stopped before the date shows its whole history and
    // lowers the date to its last bar.
    simulation.date = 20140326;
    stock.period = data::Period::Weekly;
    update = picking::ApplySimulationDate(simulation, stock, image, true);
    EXPECT_TRUE(update.rebuildPeriodBars);
    EXPECT_EQ(simulation.date, 20140319u);
    EXPECT_EQ(stock.viewEnd, stock.imageWords);
    // Without simulation the chart is left alone.
    simulation.active = false;
    stock.viewEnd = 0;
    EXPECT_FALSE(picking::ApplySimulationDate(simulation, stock, image, true).redraw);
    EXPECT_EQ(stock.viewEnd, 0u);
}

}  // namespace
