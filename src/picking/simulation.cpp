#include "picking/simulation.h"

#include <algorithm>

#include "data/capacities.h"
#include "picking/catalogue.h"

namespace picking {
namespace {

constexpr size_t kDateChars = 8;

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int TwoDigits(std::string_view text, size_t at) {
    return 10 * (text[at] - '0') + (text[at + 1] - '0');
}

}  // namespace

std::string EnterSimulation(data::SimulationDate& simulation) {
    simulation.active = true;
    std::string text = std::to_string(simulation.date);
    return text.size() == kDateChars ? text : std::string();
}

void ExitSimulation(data::SimulationDate& simulation) {
    simulation.active = false;
}

uint32_t SimulationCutoff(const data::SimulationDate& simulation) {
    return simulation.active ? simulation.date : data::kNoSimulationCutoff;
}

DateChange ConfirmSimulationDate(std::string_view typed, data::SimulationDate& simulation,
                                 const data::IndexState& index, base::Prompter& prompter) {
    // Every character must be a digit: a letter would otherwise count as some
    // other digit in the month or day, or make the number meaningless.
    if (typed.size() != kDateChars || !AllDigits(typed) || TwoDigits(typed, 4) < 1 ||
        TwoDigits(typed, 4) > 12 || TwoDigits(typed, 6) < 1 || TwoDigits(typed, 6) > 31) {
        prompter.ShowMessage(std::string(kSimulationFormatMessage), std::string(kPromptCaption));
        return DateChange::Refused;
    }
    const uint32_t date = static_cast<uint32_t>(std::stoul(std::string(typed)));
    if (date == simulation.date) return DateChange::Unchanged;
    if (date < index.earliestSimulationDate || date > index.lastDate) {
        prompter.ShowMessage("模拟日期的范围在" + std::to_string(index.earliestSimulationDate) +
                                 "--" + std::to_string(index.lastDate) + "之间",
                             std::string(kPromptCaption));
        return DateChange::Refused;
    }
    simulation.date = date;
    return DateChange::Changed;
}

uint32_t NextIndexDate(const data::SeriesView& indexBars, const data::IndexState& index,
                       uint32_t date, int step) {
    const uint32_t earliest = index.earliestSimulationDate;
    const uint32_t latest = index.lastDate;
    if (indexBars.BarCount() == 0) return std::clamp(date, earliest, std::max(earliest, latest));
    const size_t last = indexBars.BarCount() - 1;
    const auto dateAt = [&](size_t i) {
        return data::BarDate(indexBars, indexBars.firstBar + i * indexBars.width);
    };
    size_t at = 0;
    while (at < last && dateAt(at) < date) ++at;
    const int64_t target = static_cast<int64_t>(at) + step;
    uint32_t result;
    if (target < 0)
        result = earliest;
    else if (static_cast<size_t>(target) > last)
        result = dateAt(last);
    else
        result = dateAt(static_cast<size_t>(target));
    return std::clamp(result, earliest, std::max(earliest, latest));
}

DateChange StepSimulationDate(int step, data::SimulationDate& simulation,
                              const data::SeriesView& indexBars, const data::IndexState& index) {
    if (step == 0) return DateChange::Unchanged;
    if (step < 0 && simulation.date <= index.earliestSimulationDate) return DateChange::Unchanged;
    if (step > 0 && simulation.date >= index.lastDate) return DateChange::Unchanged;
    const uint32_t next = NextIndexDate(indexBars, index, simulation.date, step);
    if (next == simulation.date) return DateChange::Unchanged;
    simulation.date = next;
    return DateChange::Changed;
}

ChartUpdate ApplySimulationDate(data::SimulationDate& simulation, data::OpenStockState& stock,
                                std::span<const uint32_t> stockImage, bool chartOnScreen) {
    if (!simulation.active || !chartOnScreen || !stock.loaded) return {};
    const size_t width = stock.isIndex ? data::kIndexRecordWords : data::kStockRecordWords;
    const size_t words = std::min(stock.imageWords, stockImage.size());
    if (words < data::kDayHeaderWords + width) return {};
    const size_t lastBar =
        data::kDayHeaderWords + (words - data::kDayHeaderWords) / width * width - width;
    const uint32_t lastDate = stockImage[lastBar];
    simulation.date = std::min(simulation.date, lastDate);
    // Show the bars up to and including the first one dated on or after the date.
    size_t offset = data::kDayHeaderWords;
    while (offset < lastBar && stockImage[offset] < simulation.date) offset += width;
    stock.viewEnd = offset + width;
    stock.viewEndDate = stockImage[offset];
    return {true, stock.period != data::Period::Daily};
}

}  // namespace picking
