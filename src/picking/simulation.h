// The simulation date (模拟): while it is on, picking and the chart see the
// market only up to an earlier trading day.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/prompter.h"
#include "data/bars.h"
#include "data/day_files.h"

namespace picking {

// 进入模拟: the flag goes on; returns the text for the date input field (the
// date's text when it has eight characters, otherwise empty).
std::string EnterSimulation(data::SimulationDate& simulation);

// 退出模拟: the flag goes off; the date is kept for the next time.
void ExitSimulation(data::SimulationDate& simulation);

// The cut-off a run evaluates against: the simulation date while simulating.
uint32_t SimulationCutoff(const data::SimulationDate& simulation);

enum class DateChange { Unchanged, Refused, Changed };

// 确定: checks the typed date (format, then range) and stores it. Refusals
// show their message (caption "提示") and keep the old date. After Changed
// the caller applies the date to the chart (ApplySimulationDate).
DateChange ConfirmSimulationDate(std::string_view typed, data::SimulationDate& simulation,
                                 const data::IndexState& index, base::Prompter& prompter);

// The date `step` index bars away from the first index bar on or after
// `date`, clamped to the allowed range (earliest allowed date .. latest
// trading date).
uint32_t NextIndexDate(const data::SeriesView& indexBars, const data::IndexState& index,
                       uint32_t date, int step);

// The -10, -1, +1 and +10 buttons. Stepping back from the earliest allowed
// date or forward from the latest trading date does nothing.
DateChange StepSimulationDate(int step, data::SimulationDate& simulation,
                              const data::SeriesView& indexBars, const data::IndexState& index);

// What the chart must do after ApplySimulationDate.
struct ChartUpdate {
    bool redraw = false;
    bool rebuildPeriodBars = false;  // weekly or monthly view
};

// Re-limits the open stock's view to the simulation date (only while the
// chart is on screen). A stock whose last bar is earlier lowers the date to
// that bar's date and shows its whole history.
ChartUpdate ApplySimulationDate(data::SimulationDate& simulation, data::OpenStockState& stock,
                                std::span<const uint32_t> stockImage, bool chartOnScreen);

inline constexpr std::string_view kSimulationFormatMessage =
    "模拟日期输入格式有误。例如模拟日期2014年3月21日，输入格式为20140321";

}  // namespace picking
