#include "screen/chart_screen.h"

#include "data/code_table.h"
#include "data/period_bars.h"

namespace screen {

bool ChartScreen::Open(uint32_t code, const chart::OpenRequest& request) {
    data::OpenStockState next = m_stock;
    if (!data::OpenStock(m_market.paths, code, next, m_prompter)) return false;
    // Another way in than a scan result: the user's indicator values return.
    if (!request.fromResult) m_indicators.RestoreOverride();
    data::CodeTable codes(m_workspace.CodeTableRegion());
    data::StockContext context{&codes, &m_market.exRights,
                               m_market.simulation.active ? &m_market.simulation : nullptr};
    data::LoadStockDayFile(m_market.paths, context, m_workspace.OpenStockRegion(), next);
    if (!next.loaded) {
        m_prompter.ShowMessage(next.problem, "提示");
        return false;
    }
    m_stock = next;
    m_page.Model().Open(request);
    m_appliedMode = m_mode;
    PrepareSeries();
    return true;
}

void ChartScreen::PrepareSeries() {
    if (!m_stock.loaded) return;
    data::CodeTable codes(m_workspace.CodeTableRegion());
    const chart::SecurityInfo info{m_stock.code, codes.StockName(m_stock.code), m_stock.isIndex,
                                   m_stock.totalShares, m_stock.floatShares};
    const chart::EventSource events{&m_market.exRights, m_stock.exRightsEntry};
    const data::SeriesView daily =
        m_stock.DailyView(m_workspace.OpenStockRegion(), &m_market.exRights, m_appliedMode);
    const data::Period period = m_page.Model().Period();
    if (period == data::Period::Daily) {
        m_page.SetSeries(daily, info, m_appliedMode, events);
        return;
    }
    auto region = period == data::Period::Weekly ? m_workspace.WeeklyRegion()
                                                 : m_workspace.MonthlyRegion();
    const data::PeriodBuild build = data::BuildPeriodBars(daily, period, region);
    m_page.SetSeries(data::PeriodView(region, build, period, m_stock.isIndex), info, m_appliedMode,
                     events);
}

void ChartScreen::SetPeriod(data::Period period) {
    m_page.Model().SetPeriod(period);
    PrepareSeries();
}

bool ChartScreen::SetAdjustMode(data::AdjustMode mode) {
    m_mode = mode;
    if (mode == m_appliedMode || !m_stock.loaded || m_stock.exRightsEntry == 0) return false;
    m_appliedMode = mode;
    PrepareSeries();
    return true;
}

bool ChartScreen::SetTheme(ui::ThemeId theme) {
    if (!m_theme.SwitchTo(theme)) return false;
    m_indicators.AdjustColoursFor(chart::BackdropOf(theme));
    m_page.Model().RequestFullRedraw();
    return true;
}

bool ChartScreen::Paint(ui::Canvas& canvas) {
    if (!m_stock.loaded || !m_page.HasSeries()) return false;
    return m_page.Paint(canvas, m_indicators, m_theme.Current());
}

}  // namespace screen
