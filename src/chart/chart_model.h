// The chart state of the security on screen: zoom level, scroll position,
// cursor, period, lower-panel size and the opened-from-result flag, with the
// navigation operations of the buttons under the chart, the keys and the
// mouse. Operations take the series they act on and answer what the window
// has to do next; they never draw.
//
// The window calls them only while the chart page is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "chart/geometry.h"
#include "chart/view_range.h"
#include "data/bars.h"
#include "data/capacities.h"

namespace chart {

enum class NavButton {
    First,        // ▕←
    PageBack,     // ←‥ (100 bars)
    Back,         // ←
    Forward,      // →
    PageForward,  // ‥→
    Last,         // →▎
    ZoomIn,       // ↑键
    ZoomOut,      // ↓键
};

enum class ChartKey {
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    Up,
    Down,
    F1,
    F2,
    F3,
    F4,
    F11,
    Escape
};

// What the window does after an operation.
enum class ChartRequest {
    NotConsumed,        // the key goes on to the window's normal processing
    None,               // consumed; nothing changes
    FullRedraw,         // rebuild the chart and repaint it
    CursorMoved,        // repaint the cursor overlay over the saved chart image
    CursorLeft,         // erase the crosshair: repaint the chart area once
    OpenShanghaiIndex,  // as 沪指: open 999999
    OpenShenzhenIndex,  // as 深指: open 399001
    PreviousStock,      // Page Up: the previous stock of the code table with a day file
    NextStock,          // Page Down
    OpenInstallPage,    // F11: the data-package install page
};

inline constexpr uint32_t kShanghaiIndexCode = 999999;
inline constexpr uint32_t kShenzhenIndexCode = 399001;
inline constexpr uint32_t kChiNextIndexCode = 399006;

// How a chart is opened.
struct OpenRequest {
    // The span in bars of the picking condition, when a member of a
    // sector-scan result is opened; it chooses the zoom level.
    std::optional<uint32_t> pickSpan;
    bool fromResult = false;
    // The chart inside the picking page keeps its level.
    bool keepZoom = false;
};

struct Cursor {
    int x = 0;  // 0: no cursor on screen
    int y = 0;  // 0: no horizontal line (a cursor put there by keys alone)
    // The remembered column (draw column) and the bar within it; a column past
    // the last one means the last.
    int column = 0;
    int sub = 0;
};

class ChartModel {
public:
    ChartModel() = default;

    // ---- layout ----
    const ChartRect& Rect() const { return m_rect; }
    void SetRect(const ChartRect& rect) { m_rect = rect; }
    LowerPanelSize LowerPanel() const { return m_lowerPanel; }
    // Returns whether the size changed (the chart then needs a rebuild).
    bool SetLowerPanel(LowerPanelSize size);
    WidthLayout Width() const { return m_width; }
    void SetWidth(WidthLayout width) { m_width = width; }
    Geometry MakeGeometry() const;

    // ---- opening ----
    // Daily bars, the zoom level (4, the span rule, or kept), the newest bar
    // at the right, no cursor.
    void Open(const OpenRequest& request);
    bool OpenedFromResult() const { return m_fromResult; }
    void ClearOpenedFromResult() { m_fromResult = false; }
    // The bars the picking condition's mark spans, ending at the newest bar
    // (1 when the condition gave none); only while opened from a result.
    uint32_t ResultSpan() const { return m_resultSpan; }

    // 日Ｋ, 周Ｋ, 月Ｋ: the period at zoom level 4 with its newest bar at the right.
    void SetPeriod(data::Period period);
    data::Period Period() const { return m_period; }

    int Zoom() const { return m_zoom; }
    uint32_t ViewEndDate() const { return m_viewEndDate; }
    bool Recompute() const { return m_recompute; }

    // The bars shown for the series.
    ViewRange Resolve(const data::SeriesView& series) const;

    // ---- navigation ----
    // Returns whether the chart changed and must be redrawn.
    bool Navigate(NavButton button, const data::SeriesView& series);
    ChartRequest HandleKey(ChartKey key, const data::SeriesView& series);
    // The pointer at (x, y) in canvas pixels.
    ChartRequest MouseMove(int x, int y, const data::SeriesView& series);

    bool CursorMode() const { return m_cursorMode; }
    void SetCursorMode(bool on) { m_cursorMode = on; }
    const Cursor& CursorState() const { return m_cursor; }
    bool HasCursor() const { return m_cursor.x != 0; }
    void ClearCursor();
    // The bar (position in the series) under the cursor's column and
    // sub-index; nothing when no bar is visible.
    std::optional<size_t> CursorBar(const ViewRange& range) const;

    // Set by every operation that changes what is shown; the paint handler
    // takes it when it rebuilds.
    bool FullRedrawPending() const { return m_fullRedraw; }
    void RequestFullRedraw() { m_fullRedraw = true; }
    bool TakeFullRedraw();

private:
    bool Scroll(long long bars, const data::SeriesView& series);
    bool ZoomBy(int step, const data::SeriesView& series);
    ChartRequest CursorKey(ChartKey key, const data::SeriesView& series);
    void ChangedView(const data::SeriesView& series);

    ChartRect m_rect = kDefaultChartRect;
    LowerPanelSize m_lowerPanel = LowerPanelSize::Normal;
    WidthLayout m_width = WidthLayout::Normal;
    data::Period m_period = data::Period::Daily;
    int m_zoom = kDefaultZoom;
    uint32_t m_viewEndDate = data::kLatestBarDate;  // the newest bar
    bool m_recompute = true;
    size_t m_firstVisible = 0;
    bool m_fromResult = false;
    uint32_t m_resultSpan = 1;
    bool m_cursorMode = true;
    Cursor m_cursor;
    bool m_fullRedraw = true;
};

// The bar (relative to the first visible bar) and column the pointer at x
// selects; nothing when no bar is visible.
struct PointerHit {
    int column = 0;
    size_t relative = 0;
};
std::optional<PointerHit> PointerToBar(const Geometry& geometry, const ViewRange& range, int x);

}  // namespace chart
