// The tools beside the sector ranking: the top/bottom estimate of a typed
// code, the sector property query, and the simulation bar above the ranking.
#include <cstdlib>

#include "base/gbk.h"
#include "data/code_table.h"
#include "picking/simulation.h"
#include "screen/screen_controller.h"
#include "ui/drawing.h"

namespace screen {
namespace {

constexpr ui::Rgb kSimulationMark{0, 0, 200};
constexpr ui::Rgb kSimulationDate{200, 0, 0};

}  // namespace

void ScreenController::RunEstimate(bool top) {
    const std::string typed = m_host.Text(ControlId::EstimateCode);
    if (typed.size() != 6) return;  // only a whole six-character code is handled
    // The result lines under the box "个股顶部底部测算".
    ui::FillBox(m_canvas, 886, 568, 1020, 607, ui::kPanelBeige);
    Invalidate(Invalidation::Panel);
    const uint32_t code = static_cast<uint32_t>(std::strtoul(typed.c_str(), nullptr, 10));
    data::CodeTable codes(m_workspace.CodeTableRegion());
    if (codes.FindCode(code) == 0) {
        ui::DrawTextAt(m_canvas, 12, 893, 586, ui::kTextDarkBlue,
                       base::Utf8ToGbk(sectors::kEstimateUnknownCode));
        return;
    }
    const bool simulating = m_market.simulation.active;
    ui::DrawTextAt(m_canvas, 12, simulating ? 923 : 912, 576, ui::kTextDarkBlue, data::CodeText(code));
    ui::DrawTextAt(m_canvas, 12, simulating ? 959 : 948, 576, ui::kTextDarkBlue, codes.StockName(code));
    if (simulating) ui::DrawTextAt(m_canvas, 12, 887, 576, kSimulationMark, base::Utf8ToGbk("[模拟]"));
    sectors::EstimateInputs inputs;
    inputs.paths = m_market.paths;
    inputs.index = m_market.index.View(m_workspace.Words(data::BufferId::Index));
    inputs.exRights = &m_market.exRights;
    inputs.cutoff = picking::SimulationCutoff(m_market.simulation);
    const sectors::Estimate estimate = top ? sectors::EstimateTop(inputs, code, m_topWeights)
                                           : sectors::EstimateBottom(inputs, code, m_bottomWeights);
    if (estimate.result < 0) {
        ui::DrawTextAt(m_canvas, 12, 893, 593, ui::kTextDarkBlue,
                       base::Utf8ToGbk(sectors::EstimateFailureText(estimate.result)));
        return;
    }
    ui::DrawTextAt(m_canvas, 12, 896, 593, ui::kTextDarkBlue,
                   base::Utf8ToGbk(top ? "阶段顶部的概率为   % " : "阶段底部的概率为   % "));
    const int x = estimate.result >= 100 ? 992 : estimate.result < 10 ? 1000 : 996;
    ui::DrawNumberAt(m_canvas, 12, x, 593, ui::kTitleDarkRed, estimate.result);
}

void ScreenController::RunPropertyQuery() {
    const std::string entry = m_host.Text(ControlId::QueryBox);
    data::CodeTable codes(m_workspace.CodeTableRegion());
    RankingWeights();  // a library installed since brings its weights back
    sectors::QueryContext context{
        sectors::SectorLibrary(
            m_workspace.Bytes(data::BufferId::SectorLibrary).first(m_market.sectorLibraryBytes)),
        &codes, m_sectors.outcome, &m_tuning};
    const sectors::QueryAnswer answer = sectors::QuerySectorProperty(entry, context, m_host.Prompter());
    switch (answer.kind) {
        case sectors::QueryKind::Property: ShowTextPage(answer.caption, answer.propertyText); return;
        case sectors::QueryKind::SectorFound:
            m_sectors.firstRank = static_cast<int>((answer.rank - 1) / kRankRows * kRankRows + 1);
            ChooseSector(static_cast<int>(answer.rank));  // also moves the scroll bar
            return;
        case sectors::QueryKind::Diagnostic:
            if (m_sectors.outcome) {
                const sectors::DiagnosticPage page =
                    sectors::ShowDiagnosticPage(*m_sectors.outcome, context.library, m_tuning);
                ShowTextPage(page.headline, page.Markup());
            }
            return;
        default: return;
    }
}

sectors::RankWeights ScreenController::RankingWeights() {
    const auto library = sectors::RankWeights::FromLibrary(m_market.sectorHeader);
    if (m_tuningLibrary != library) {
        m_tuningLibrary = library;
        m_tuning.weights = library;
    }
    return m_tuning.weights;
}

// ---- the simulation bar, in the line under the chart buttons where the
// ranking's title goes when no simulation is on ---------------------------------

void ScreenController::DrawSimulationBar() {
    ui::FillBox(m_canvas, 148, 408, 592, 430, ui::kPanelBeige);
    if (!m_market.simulation.active) return;
    const std::string text = "当前模拟日期：" + std::to_string(m_market.simulation.date);
    ui::DrawTextAt(m_canvas, 12, 150, 413, kSimulationDate, base::Utf8ToGbk(text));
}

void ScreenController::UseSimulationDate(uint32_t date) {
    m_market.simulation.active = date != 0;
    if (date != 0) m_market.simulation.date = date;
}

void ScreenController::EnterSimulationMode() {
    const std::string text = picking::EnterSimulation(m_market.simulation);
    m_host.ShowSimulationControls(true, text);
    AfterSimulationChange();
}

void ScreenController::ConfirmSimulation(const std::string& typed) {
    if (picking::ConfirmSimulationDate(typed, m_market.simulation, m_market.index, m_host.Prompter()) ==
        picking::DateChange::Changed)
        AfterSimulationChange();
}

void ScreenController::StepSimulation(int step) {
    const data::SeriesView index = m_market.index.View(m_workspace.Words(data::BufferId::Index));
    if (picking::StepSimulationDate(step, m_market.simulation, index, m_market.index) !=
        picking::DateChange::Changed)
        return;
    m_host.ShowSimulationControls(true, std::to_string(m_market.simulation.date));
    AfterSimulationChange();
}

void ScreenController::ExitSimulationMode() {
    picking::ExitSimulation(m_market.simulation);
    m_host.ShowSimulationControls(false, "");
    AfterSimulationChange();
}

// The chart on screen is read again up to the new date (or to its end).
void ScreenController::AfterSimulationChange() {
    m_sectors.simulation = m_market.simulation.active;
    if (m_screenMode == ScreenMode::Chart) {
        ReopenChart(ResultMark::Drop);
        Invalidate(Invalidation::Chart);
    }
    RedrawSectorPage();
    Invalidate(Invalidation::Page);
}

}  // namespace screen
