#include "chart/chart_page.h"

#include "chart/paint.h"
#include "chart/tab_row.h"

namespace chart {

void ChartPage::SetSeries(const data::SeriesView& series, const SecurityInfo& security,
                          data::AdjustMode mode, const EventSource& events) {
    m_series.Prepare(series, events);
    m_settings.security = security;
    m_settings.adjustMode = mode;
    m_hasSeries = true;
    m_model.RequestFullRedraw();
}

bool ChartPage::Navigate(NavButton button) {
    return m_hasSeries && m_model.Navigate(button, m_series.View());
}

ChartRequest ChartPage::HandleKey(ChartKey key) {
    if (!m_hasSeries) return ChartRequest::NotConsumed;
    return m_model.HandleKey(key, m_series.View());
}

ChartRequest ChartPage::MouseMove(int x, int y) {
    if (!m_hasSeries) return ChartRequest::None;
    return m_model.MouseMove(x, y, m_series.View());
}

bool ChartPage::Paint(ui::Canvas& canvas, const indicators::IndicatorState& indicators,
                      ui::ThemeId theme) {
    if (!m_hasSeries) return false;
    m_settings.indicators = &indicators;
    m_settings.theme = theme;
    const bool rebuild = m_model.TakeFullRedraw() || !m_built;
    if (rebuild) {
        m_model.SetRect(kDefaultChartRect);
        m_model.SetWidth(WidthLayout::Normal);
        BuildChartLayout(m_layout, m_series, m_model, m_settings, m_cache);
        PaintChart(canvas, m_layout);
        m_built = true;
        // Nothing of an earlier crosshair is left on the new chart.
        m_crosshair.shown = false;
    }
    PaintHeader(canvas, m_layout.header);
    if (!m_layout.range.Empty() && !m_model.HasCursor()) {
        BuildBarReadout(m_readout, m_series, m_layout, m_settings, m_layout.range.Last(), m_cache);
        PaintBarReadout(canvas, m_readout, m_layout,
                        rebuild ? ReadoutMode::FullRedraw : ReadoutMode::Update);
    }
    return rebuild;
}

void ChartPage::PaintCursor(ui::Canvas& canvas) {
    if (!m_built || m_layout.range.Empty()) {
        m_crosshair.shown = false;
        return;
    }
    BuildCrosshair(m_crosshair, m_series, m_layout, m_model, m_settings, m_cache);
    PaintCrosshair(canvas, m_crosshair, m_layout);
}

std::optional<int> ChartPage::TabCellAt(int x, int y) const {
    if (!m_built || y < m_layout.tabs.top || y > m_layout.tabs.bottom) return std::nullopt;
    return chart::TabCellAt(x);
}

bool ChartPage::ClickResultMark(int x, int y) {
    if (!m_built || !m_model.OpenedFromResult() || !m_layout.resultMark ||
        !m_layout.resultMark->Holds(x, y))
        return false;
    m_model.ClearOpenedFromResult();
    m_model.RequestFullRedraw();
    return true;
}

}  // namespace chart
