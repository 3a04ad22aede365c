#include "chart/tab_row.h"

#include <array>

#include "base/gbk.h"

namespace chart {
namespace {

constexpr std::string_view kSettingsCell = "设置";

// The name starts further right the shorter it is, so that names look centred.
int TextOffset(int bytes) {
    return bytes == 2 ? 19 : bytes == 3 ? 16 : 12;
}

TabCell Cell(std::string_view name) {
    const int bytes = static_cast<int>(base::Utf8ToGbk(name).size());
    return {name, bytes, TextOffset(bytes)};
}

}  // namespace

const TabCell& TabCellOf(int cell) {
    static const std::array<TabCell, kTabCellCount> cells = [] {
        std::array<TabCell, kTabCellCount> made;
        made[0] = Cell(kSettingsCell);
        for (int k = indicators::kFirstPanelIndicator; k < kTabCellCount; ++k)
            made[k] = Cell(indicators::DefinitionOf(k).tabName);
        return made;
    }();
    return cells[cell >= 0 && cell < kTabCellCount ? cell : 0];
}

std::optional<int> TabCellAt(int x) {
    if (x < kTabClickLeft || x > kTabClickRight) return std::nullopt;
    // Spans share their edges; the lower cell takes the shared pixel.
    const int cell = (x - kTabRowLeft - 1) / kTabCellWidth;
    if (cell >= kTabCellCount) return std::nullopt;
    return cell;
}

TabClick ClickTabRow(int x, int selected) {
    const std::optional<int> cell = TabCellAt(x);
    if (!cell) return {};
    if (*cell == 0) return {TabClickAction::OpenSettings, 0};
    if (*cell == selected) return {};
    return {TabClickAction::Select, *cell};
}

}  // namespace chart
