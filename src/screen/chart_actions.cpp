// The controller's chart side: navigation buttons, periods, the adjustment
// and theme radios, keys, the indicator tab row, and the data pages that
// change what the chart reads.
#include "chart/tab_row.h"
#include "data/code_table.h"
#include "data/examples.h"
#include "screen/screen_controller.h"

namespace screen {

void ScreenController::Navigate(chart::NavButton button) {
    if (ChartShown() && m_chart->Page().Navigate(button)) Invalidate(Invalidation::Panel);
}

void ScreenController::ChangePeriod(data::Period period) {
    if (!ChartShown()) return;
    m_chart->SetPeriod(period);
    Invalidate(Invalidation::Panel);
}

void ScreenController::OpenNeighbour(data::Direction direction) {
    if (!ChartShown()) return;
    data::CodeTable codes(m_workspace.CodeTableRegion());
    const auto next = data::NeighbourStock(
        codes, m_chart->Stock().code, direction,
        [this](uint32_t code) { return data::DayFileExists(m_market.paths, code); });
    if (next) OpenSecurity(*next);
}

// The radios always set the chart's theme and mode, whatever page is shown,
// so the radios and the chart never disagree when the chart comes back.
void ScreenController::Radio(ControlId id) {
    if (!m_chart) return;
    bool changed = false;
    if (id == ControlId::ClassicTheme || id == ControlId::RegularTheme) {
        const ui::ThemeId theme =
            id == ControlId::ClassicTheme ? ui::ThemeId::ClassicBlack : ui::ThemeId::Regular;
        changed = m_chart->SetTheme(theme);
    } else {
        const data::AdjustMode mode = id == ControlId::ForwardAdjusted    ? data::AdjustMode::Forward
                                      : id == ControlId::BackwardAdjusted ? data::AdjustMode::Backward
                                                                          : data::AdjustMode::None;
        changed = m_chart->SetAdjustMode(mode);
    }
    if (changed && m_screenMode == ScreenMode::Chart) Invalidate(Invalidation::Panel);
    // The small charts draw in the mode on screen: they are drawn again.
    if (m_screenMode == ScreenMode::SmallCharts) DrawSmallChartPage();
    m_host.FocusCodeBox();
}

void ScreenController::OpenIndicatorSettings() {
    if (!m_chart) return;
    m_host.RunIndicatorSettings(m_chart->Indicators());
    m_host.FocusCodeBox();
    Invalidate(Invalidation::Chart);
}

void ScreenController::ClickTabRow(int x, int y) {
    if (!m_chart->Page().TabCellAt(x, y)) return;
    const chart::TabClick click = chart::ClickTabRow(x, m_chart->Indicators().Selected());
    if (click.action == chart::TabClickAction::OpenSettings) {
        OpenIndicatorSettings();
    } else if (click.action == chart::TabClickAction::Select &&
               m_chart->Indicators().Select(click.index)) {
        Invalidate(Invalidation::Chart);
    }
}

// The lower-panel offset arrows act on the chart screen only.
void ScreenController::SetLowerPanel(chart::LowerPanelSize size) {
    if (m_screenMode != ScreenMode::Chart || !m_chart) return;
    if (m_chart->Page().Model().SetLowerPanel(size)) Invalidate(Invalidation::Chart);
}

bool ScreenController::PressKey(screen::Key key) {
    if (!ChartShown()) return false;
    switch (m_chart->Page().HandleKey(key)) {
        case chart::ChartRequest::NotConsumed: return false;
        case chart::ChartRequest::None: return true;
        case chart::ChartRequest::FullRedraw: Invalidate(Invalidation::Panel); return true;
        case chart::ChartRequest::CursorMoved: Invalidate(Invalidation::Cursor); return true;
        case chart::ChartRequest::CursorLeft: Invalidate(Invalidation::Panel); return true;
        case chart::ChartRequest::OpenShanghaiIndex: OpenSecurity(data::kShanghaiIndexCode); return true;
        case chart::ChartRequest::OpenShenzhenIndex: OpenSecurity(data::kShenzhenIndexCode); return true;
        case chart::ChartRequest::PreviousStock: OpenNeighbour(data::Direction::Previous); return true;
        case chart::ChartRequest::NextStock: OpenNeighbour(data::Direction::Next); return true;
        case chart::ChartRequest::OpenInstallPage: OpenDataPage(DataPage::Install); return true;
    }
    return true;
}

// The open security read again where it stood: new bars, a new simulation
// date, or an ex-rights entry whose offsets moved.
void ScreenController::ReopenChart(ResultMark mark) {
    if (!ChartShown()) return;
    const data::Period period = m_chart->Period();
    chart::OpenRequest request;
    request.fromResult = mark == ResultMark::Keep && m_chart->Page().Model().OpenedFromResult();
    request.keepZoom = true;
    if (m_chart->Open(m_chart->Stock().code, request) && period != data::Period::Daily)
        m_chart->SetPeriod(period);
    Invalidate(Invalidation::Panel);
}

void ScreenController::OpenDataPage(DataPage page) {
    const DataChanges changes = m_host.RunDataPage(page, m_workspace, m_market, m_busy);
    // Whatever the page did, the next scan reads the day files again.
    m_keptTails.DataChanged();
    ReloadAfterDataChanges(changes);
}

void ScreenController::ReloadAfterDataChanges(const DataChanges& changes) {
    const data::IndexState& index = m_market.index;
    // The dates follow the Shanghai index only: a market read from the
    // Shenzhen index (or one that just got a Shanghai index) is read again
    // whenever anything changed.
    const bool shanghai = index.source == 2;
    if (changes.latestDate > index.lastDate ||
        (changes.firstIndexDate != 0 && changes.firstIndexDate < index.firstDate) ||
        (changes.changed && !shanghai))
        m_market.index = data::LoadIndexDayFile(
            m_market.paths, m_workspace.Words(data::BufferId::Index), m_market.simulation);
    m_market.exampleCount = data::LoadExamples(
        m_market.paths.examples, m_workspace.Bytes(data::BufferId::WorkData), m_market.examples);
    if (changes.changed) ReopenChart(ResultMark::Keep);
    // A market's candidates come from the code table, which may have changed.
    if (changes.changed && m_sectors.market && *m_sectors.market != picking::CandidateMarket::File)
        ChooseMarket(*m_sectors.market);
    Invalidate(Invalidation::Page);
    m_host.FocusCodeBox();
}

}  // namespace screen
