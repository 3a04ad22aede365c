// Where the parts of the main window's screen lie, in canvas pixels.
#pragma once

namespace screen {

// The upper work area: chart, text pages and small charts.
inline constexpr int kUpperLeft = 1, kUpperRight = 1022, kUpperTop = 26, kUpperBottom = 380;
// The lower half: the sector page.
inline constexpr int kLowerTop = 380;

// The strip's buttons 17 and 18 are the lower-panel arrows drawn on the chart.
inline constexpr int kLowerPanelArrowButtons[] = {17, 18};

}  // namespace screen
