// The chart page as the window holds it: the chart state, the prepared bars
// of the security on screen, the last layout and the last crosshair.
//
// The window's part:
//   - opening a security: Model().Open(...); once its day file is loaded,
//     SetSeries(...) with the bars up to the view end (or the period bars);
//     again after a period or adjustment change;
//   - buttons, keys, mouse: Navigate / HandleKey / MouseMove, then repaint
//     as the answer asks;
//   - every repaint of the chart page: restore LastCursorRects() from the
//     saved chart image, Paint(canvas, ...) (it rebuilds when a redraw is
//     pending), save the chart rectangle as the new chart image, then
//     PaintCursor(canvas). The crosshair is drawn on the canvas, so the
//     restore keeps it out of the saved image.
#pragma once

#include <optional>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/chart_model.h"
#include "chart/cursor_overlay.h"
#include "chart/indicator_cache.h"
#include "chart/prepared_series.h"
#include "indicators/indicator_state.h"
#include "ui/canvas.h"
#include "ui/theme.h"

namespace chart {

class ChartPage {
public:
    ChartModel& Model() { return m_model; }
    const ChartModel& Model() const { return m_model; }

    // The bars to show and what they belong to. Marks the chart for a full
    // redraw.
    void SetSeries(const data::SeriesView& series, const SecurityInfo& security,
                   data::AdjustMode mode, const EventSource& events);
    bool HasSeries() const { return m_hasSeries; }
    const PreparedSeries& Series() const { return m_series; }

    bool Navigate(NavButton button);
    ChartRequest HandleKey(ChartKey key);
    ChartRequest MouseMove(int x, int y);

    // The paint order up to the saved chart image: a full redraw (chart
    // rectangle back to its default) when one is pending, the header, and
    // while there is no cursor the figures of the rightmost visible bar.
    // Returns whether the chart was rebuilt.
    bool Paint(ui::Canvas& canvas, const indicators::IndicatorState& indicators, ui::ThemeId theme);
    // The crosshair and readouts of the current cursor (nothing without one).
    void PaintCursor(ui::Canvas& canvas);
    // What the crosshair painted last covers on the chart.
    std::vector<Box> LastCursorRects() const { return m_crosshair.RestoreRects(); }

    const ChartLayout& Layout() const { return m_layout; }
    const CrosshairLayout& Crosshair() const { return m_crosshair; }

    // The indicator tab row cell at a point, for the click dispatcher.
    std::optional<int> TabCellAt(int x, int y) const;
    // A click inside the frame around a scan result's bars takes the frame
    // and the result's flag away; true when it did (the chart must be rebuilt).
    bool ClickResultMark(int x, int y);

private:
    ChartModel m_model;
    PreparedSeries m_series;
    bool m_hasSeries = false;
    ChartSettings m_settings;
    bool m_built = false;
    IndicatorCache m_cache;
    ChartLayout m_layout;
    CrosshairLayout m_crosshair;
    BarReadout m_readout;
};

}  // namespace chart
