#include "chart/chart_model.h"

#include <algorithm>
#include <limits>

namespace chart {
namespace {

constexpr int kRightmostColumn = std::numeric_limits<int>::max();
constexpr long long kPageBars = 100;

}  // namespace

std::optional<PointerHit> PointerToBar(const Geometry& g, const ViewRange& range, int x) {
    if (range.Empty() || range.columns == 0) return std::nullopt;
    const ZoomStep& step = range.step;
    const int pitch = std::max(step.Pitch(), 1);
    PointerHit hit;
    if (range.OneBarPerColumn()) {
        // Each column owns the pixels up to its right boundary b(i + 1).
        int i = 0;
        const int count = static_cast<int>(range.visible);
        for (; i < count; ++i) {
            const int boundary = step.width < 2 ? g.plotLeft + i * pitch + step.width / 2
                                                : g.plotLeft + i * pitch - step.gap / 2 + 1;
            if (boundary >= x) break;
        }
        // Right of the last boundary lies the last column.
        hit.column = std::max(i - 1, 0);
        hit.relative = static_cast<size_t>(hit.column);
        return hit;
    }
    const int fromStart = x - (g.plotLeft + step.width / 2);
    const int i = fromStart > 0 ? fromStart / pitch : 0;
    // Counted this way column i holds the bars of draw column i - 1.
    hit.column = std::clamp(i - 1, 0, range.columns - 1);
    hit.relative = range.ColumnStart(hit.column);
    return hit;
}

bool ChartModel::SetLowerPanel(LowerPanelSize size) {
    if (size == m_lowerPanel) return false;
    m_lowerPanel = size;
    m_fullRedraw = true;
    return true;
}

Geometry ChartModel::MakeGeometry() const {
    return chart::MakeGeometry(m_rect, m_lowerPanel);
}

void ChartModel::Open(const OpenRequest& request) {
    m_period = data::Period::Daily;
    if (!request.keepZoom) m_zoom = ZoomForSpan(request.pickSpan);
    m_fromResult = request.fromResult;
    m_resultSpan = std::max<uint32_t>(request.pickSpan.value_or(1), 1);
    m_viewEndDate = data::kLatestBarDate;
    m_recompute = true;
    m_firstVisible = 0;
    ClearCursor();
    // The data table shows the newest bar until the cursor moves, so the keys
    // start from the last column.
    m_cursor.column = kRightmostColumn;
    m_fullRedraw = true;
}

void ChartModel::SetPeriod(data::Period period) {
    m_period = period;
    m_zoom = kDefaultZoom;
    m_viewEndDate = data::kLatestBarDate;
    m_recompute = true;
    // Other bars come: the cursor returns with the pointer's next move.
    ClearCursor();
    m_cursor.column = kRightmostColumn;
    m_cursorMode = true;
    m_fullRedraw = true;
}

ViewRange ChartModel::Resolve(const data::SeriesView& series) const {
    ViewRequest request;
    request.zoom = m_zoom;
    request.width = m_width;
    request.viewEndDate = m_viewEndDate;
    request.recompute = m_recompute;
    request.firstVisible = m_firstVisible;
    request.plotWidth = MakeGeometry().plotWidth;
    return ResolveView(series, request);
}

void ChartModel::ChangedView(const data::SeriesView& series) {
    m_cursorMode = true;
    m_fullRedraw = true;
    if (!HasCursor()) return;
    // Keep the cursor on what it points at in the new view: the pointer's
    // column under the pointer, a key-placed cursor on its column's centre.
    const ViewRange range = Resolve(series);
    if (range.Empty() || range.columns == 0) {
        ClearCursor();
        return;
    }
    const Geometry g = MakeGeometry();
    if (m_cursor.y != 0) {
        if (std::optional<PointerHit> hit = PointerToBar(g, range, m_cursor.x)) {
            m_cursor.column = hit->column;
            m_cursor.sub = 0;
        }
    } else {
        m_cursor.column = std::clamp(m_cursor.column, 0, range.columns - 1);
        m_cursor.sub = std::clamp(m_cursor.sub, 0, range.ColumnBars(m_cursor.column) - 1);
        m_cursor.x = ColumnX(g, range.step, m_cursor.column);
    }
}

bool ChartModel::Scroll(long long bars, const data::SeriesView& series) {
    const ViewRange range = Resolve(series);
    if (range.Empty()) return false;
    const long long first = static_cast<long long>(range.first);
    const long long latest = static_cast<long long>(range.barCount - range.visible);
    long long moved = first + bars;
    if (bars < 0) moved = std::max(moved, 0LL);
    if (bars > 0) moved = std::max(std::min(moved, latest), first);
    if (moved == first) return false;
    m_firstVisible = static_cast<size_t>(moved);
    m_recompute = false;
    ChangedView(series);
    return true;
}

bool ChartModel::ZoomBy(int step, const data::SeriesView& series) {
    const ViewRange range = Resolve(series);
    if (range.Empty()) return false;
    // Zooming out is pointless once every available bar is shown.
    if (step > 0 && range.allShown) return false;
    const int level = std::clamp(m_zoom + step, kMinZoom, kMaxZoom);
    m_zoom = level;
    m_viewEndDate = series.image[series.LastBar()];
    m_recompute = true;
    ChangedView(series);
    return true;
}

bool ChartModel::Navigate(NavButton button, const data::SeriesView& series) {
    switch (button) {
        case NavButton::First: {
            const ViewRange range = Resolve(series);
            if (range.Empty()) return false;
            m_firstVisible = 0;
            m_recompute = false;
            ChangedView(series);
            return true;
        }
        case NavButton::PageBack:
            return Scroll(-kPageBars, series);
        case NavButton::Back:
            return Scroll(-1, series);
        case NavButton::Forward:
            return Scroll(1, series);
        case NavButton::PageForward:
            return Scroll(kPageBars, series);
        case NavButton::Last: {
            const ViewRange range = Resolve(series);
            if (range.Empty()) return false;
            m_viewEndDate = series.image[series.LastBar()];
            m_recompute = true;
            ChangedView(series);
            return true;
        }
        case NavButton::ZoomIn:
            return ZoomBy(-1, series);
        case NavButton::ZoomOut:
            return ZoomBy(1, series);
    }
    return false;
}

ChartRequest ChartModel::HandleKey(ChartKey key, const data::SeriesView& series) {
    switch (key) {
        case ChartKey::PageUp:
            return ChartRequest::PreviousStock;
        case ChartKey::PageDown:
            return ChartRequest::NextStock;
        case ChartKey::Home:
        case ChartKey::End:
        case ChartKey::Left:
        case ChartKey::Right:
            return CursorKey(key, series);
        case ChartKey::Up:
            return Navigate(NavButton::ZoomIn, series) ? ChartRequest::FullRedraw
                                                       : ChartRequest::None;
        case ChartKey::Down:
            return Navigate(NavButton::ZoomOut, series) ? ChartRequest::FullRedraw
                                                        : ChartRequest::None;
        case ChartKey::F3:
            return ChartRequest::OpenShanghaiIndex;
        case ChartKey::F4:
            return ChartRequest::OpenShenzhenIndex;
        case ChartKey::F11:
            return ChartRequest::OpenInstallPage;
        case ChartKey::Escape:
            return ChartRequest::None;
        case ChartKey::F1:
        case ChartKey::F2:
            return ChartRequest::NotConsumed;
    }
    return ChartRequest::NotConsumed;
}

ChartRequest ChartModel::CursorKey(ChartKey key, const data::SeriesView& series) {
    if (!m_cursorMode) return ChartRequest::None;
    const ViewRange range = Resolve(series);
    if (range.Empty() || range.columns == 0) return ChartRequest::None;
    const Geometry g = MakeGeometry();
    const int last = range.columns - 1;
    int column = std::clamp(m_cursor.column, 0, last);
    int sub = std::clamp(m_cursor.sub, 0, range.ColumnBars(column) - 1);
    const bool onScreen = HasCursor();

    if (range.OneBarPerColumn()) {
        sub = 0;
        switch (key) {
            case ChartKey::Home:
                column = 0;
                break;
            case ChartKey::End:
                column = last;
                break;
            // With no cursor on screen the first press shows the remembered
            // column where moving would leave the rightmost (left key) or
            // the leftmost (right key) column.
            case ChartKey::Left:
                if (onScreen || column != last) column = std::max(column - 1, 0);
                break;
            case ChartKey::Right:
                if (onScreen || column != 0) column = std::min(column + 1, last);
                break;
            default:
                break;
        }
    } else {
        // Several bars per column: every bar is reached, one per press; the
        // cursor stays on the column until its last bar is passed.
        switch (key) {
            case ChartKey::Home:
                column = 0;
                sub = 0;
                break;
            case ChartKey::End:
                column = last;
                sub = 0;
                break;
            case ChartKey::Left:
                if (sub > 0) {
                    --sub;
                } else if (column > 0) {
                    --column;
                    sub = range.ColumnBars(column) - 1;
                }
                break;
            case ChartKey::Right:
                if (sub + 1 < range.ColumnBars(column)) {
                    ++sub;
                } else if (column < last) {
                    ++column;
                    sub = 0;
                }
                break;
            default:
                break;
        }
    }
    m_cursor.column = column;
    m_cursor.sub = sub;
    m_cursor.x = ColumnX(g, range.step, column);
    return ChartRequest::CursorMoved;
}

ChartRequest ChartModel::MouseMove(int x, int y, const data::SeriesView& series) {
    if (!m_cursorMode) return ChartRequest::None;
    const Geometry g = MakeGeometry();
    const bool inside =
        x > g.plotLeft && x < m_rect.right && y > m_rect.top && y < m_rect.bottom - 11;
    if (!inside) {
        const bool hadCursor = HasCursor();
        m_cursor.x = 0;
        m_cursor.y = 0;
        return hadCursor ? ChartRequest::CursorLeft : ChartRequest::None;
    }
    m_cursor.x = x;
    m_cursor.y = y;
    m_cursor.sub = 0;
    const ViewRange range = Resolve(series);
    if (std::optional<PointerHit> hit = PointerToBar(g, range, x)) m_cursor.column = hit->column;
    return ChartRequest::CursorMoved;
}

void ChartModel::ClearCursor() {
    m_cursor.x = 0;
    m_cursor.y = 0;
    m_cursor.sub = 0;
}

std::optional<size_t> ChartModel::CursorBar(const ViewRange& range) const {
    if (range.Empty() || range.columns == 0) return std::nullopt;
    const int column = std::clamp(m_cursor.column, 0, range.columns - 1);
    const int sub = std::clamp(m_cursor.sub, 0, range.ColumnBars(column) - 1);
    const size_t relative = std::min(range.ColumnStart(column) + sub, range.visible - 1);
    return range.first + relative;
}

bool ChartModel::TakeFullRedraw() {
    const bool pending = m_fullRedraw;
    m_fullRedraw = false;
    return pending;
}

}  // namespace chart
