// The indicator tab row under the price panel: cell 0 "设置" opens the
// settings page, cells 1..17 select the lower-panel indicator of the same
// index, named by its definition's tab name.
#pragma once

#include <optional>
#include <string_view>

#include "indicators/catalogue.h"
#include "ui/canvas.h"

namespace chart {

inline constexpr int kTabCellCount = indicators::kLastIndicator + 1;
inline constexpr int kTabRowLeft = 62;  // left edge of cell 0
inline constexpr int kTabCellWidth = 50;
inline constexpr int kTabClickLeft = 63;               // clicks count from here ...
inline constexpr int kTabClickRight = 963;             // ... to here, inclusive
inline constexpr ui::Rgb kTabSelectedLine{180, 0, 0};  // along the selected cell's top

struct TabCell {
    std::string_view name;  // UTF-8
    int nameBytes = 0;      // the name's width in GBK bytes (2 per Chinese character)
    int textOffset = 0;     // x of the name from the cell's left edge
};

const TabCell& TabCellOf(int cell);
inline int TabCellLeft(int cell) {
    return kTabRowLeft + kTabCellWidth * cell;
}
// The cell whose span [62 + 50k, 62 + 50(k + 1)] holds x, the lower one on a
// shared edge; nothing outside the clickable band 63..963 or past cell 17.
std::optional<int> TabCellAt(int x);

// What a click on the tab row asks for.
enum class TabClickAction {
    None,          // outside the cells, or the cell already selected
    OpenSettings,  // cell 0: the settings page, then a full redraw
    Select,        // cells 1..17: select that indicator, then a full redraw
};

struct TabClick {
    TabClickAction action = TabClickAction::None;
    int index = 0;  // the indicator to select (Select only)
};

// A click at x (the caller has checked y is inside the row) while
// `selected` is the lower panel's indicator.
TabClick ClickTabRow(int x, int selected);

}  // namespace chart
