// The controller's sector page: candidate sets, scan options, the scan on its
// worker, the ranking and member lists with their scroll bars, and the strip
// commands that act on a scan's result.
#include <cstdlib>

#include "base/gbk.h"
#include "data/code_table.h"
#include "picking/simulation.h"
#include "screen/screen_controller.h"
#include "sectors/sector_files.h"
#include "ui/drawing.h"

namespace screen {

void ScreenController::RedrawSectorPage() {
    // The candidate sets are on both pages: whoever changes them redraws here.
    if (m_pageKind == PageKind::Picking) {
        RedrawPickingPage();
        return;
    }
    data::CodeTable codes(m_workspace.CodeTableRegion());
    DrawSimulationBar();  // first: the ranking's title shares its line
    DrawSectorPage(m_canvas, m_sectors, codes);
    ApplyStripMask();
    Invalidate(Invalidation::Panel);
}

bool ScreenController::ClickSectorPage(int x, int y) {
    const SectorPageClick click = HitTestSectorPage(m_sectors, x, y);
    using Kind = SectorPageClick::Kind;
    switch (click.kind) {
        case Kind::ChooseMarket: ChooseMarket(static_cast<picking::CandidateMarket>(click.value)); return true;
        case Kind::LoadList: LoadCandidateFile(); return true;
        case Kind::ChooseType: ChooseScanType(static_cast<sectors::ScanType>(click.value)); return true;
        case Kind::ChooseSector: ChooseSector(click.value); return true;
        case Kind::ChooseMember: ChooseMember(click.value); return true;
        case Kind::ChoosePicked: ChoosePicked(click.value); return true;
        default: return false;
    }
}

void ScreenController::ChooseMarket(picking::CandidateMarket market) {
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_candidates.codes = picking::SelectCandidates(codes, market);
    m_candidates.market = market;
    m_candidates.fileName.clear();
    m_sectors.market = market;
    m_sectors.candidateCount = m_candidates.codes.size();
    RedrawSectorPage();
}

bool ScreenController::LoadCandidateList(const std::string& path) {
    const auto outcome = picking::LoadCandidatePath(path, m_host.Prompter(), m_candidates);
    m_sectors.market = picking::CandidateMarket::File;
    m_sectors.listFileName = m_candidates.fileName;
    m_sectors.candidateCount = m_candidates.codes.size();
    RedrawSectorPage();
    return outcome == picking::LoadOutcome::Loaded;
}

void ScreenController::LoadCandidateFile() {
    if (picking::LoadCandidateFile(m_market.paths.root, m_host.Prompter(), m_candidates) ==
        picking::LoadOutcome::Cancelled)
        return;
    m_sectors.market = picking::CandidateMarket::File;
    m_sectors.listFileName = m_candidates.fileName;
    m_sectors.candidateCount = m_candidates.codes.size();
    RedrawSectorPage();
}

void ScreenController::ChooseScanType(sectors::ScanType type) {
    m_sectors.type = type;
    // A new type discards the previous result.
    m_scan.ClearOutcome();
    m_sectors.outcome = nullptr;
    m_sectors.highlightedRank = 0;
    m_sectors.members.clear();
    m_sectors.selectedMember = -1;
    m_sectors.firstRank = 1;
    UpdateListScrollBars();
    bool ok = false;
    const int32_t threshold = ReadThreshold(&ok);
    if (ok) m_sectors.threshold = threshold;
    RedrawSectorPage();
}

int32_t ScreenController::ReadThreshold(bool* ok) const {
    auto text = [this](ControlId id) { return m_host.Text(id); };
    std::optional<int32_t> value;
    switch (m_sectors.type) {
        case sectors::ScanType::Hot:
            value = sectors::ThresholdFromFields(text(ControlId::HotWhole), text(ControlId::HotHundredths));
            break;
        case sectors::ScanType::Fund:
            value = sectors::ParseThreshold(sectors::ScanType::Fund, text(ControlId::FundThreshold));
            break;
        case sectors::ScanType::Fall:
            value = sectors::ThresholdFromFields(text(ControlId::FallWhole), text(ControlId::FallHundredths));
            break;
    }
    *ok = value.has_value();
    return value.value_or(0);
}

bool ScreenController::StartScan() {
    if (m_run.Busy() || m_busy.load()) return false;
    bool ok = false;
    const int32_t threshold = ReadThreshold(&ok);
    if (ok) m_sectors.threshold = threshold;
    DrawScanCaption(m_canvas, m_sectors);
    Invalidate(Invalidation::Panel);
    sectors::ScanSettings settings;
    settings.type = m_sectors.type;
    settings.threshold = m_sectors.threshold;
    settings.weights = RankingWeights();
    const auto entry = sectors::StartSectorScan(m_candidates.codes.size(), settings, m_host.Prompter());
    if (!entry) return false;
    // A cap set with "Max" lasts until a scan starts.
    m_tuning.caps = sectors::RankCaps::From(settings.weights);
    // The scan's own condition is the single method entry, as the picking page would show it.
    m_methods.ReplaceWithSingle(*entry);
    m_scanCodes = std::make_unique<data::CodeTable>(m_workspace.CodeTableRegion());
    const picking::MarketInputs inputs = picking::MarketInputsOf(m_workspace, m_market, *m_scanCodes);
    const sectors::SectorLibrary library(
        m_workspace.Bytes(data::BufferId::SectorLibrary).first(m_market.sectorLibraryBytes));
    picking::RunContext context = m_scan.PrepareRun(inputs, library, settings, m_candidates.codes,
                                                    picking::SimulationCutoff(m_market.simulation));
    m_host.SetProgress(0);
    if (!m_run.Start(std::move(context), m_host.Prompter())) return false;
    m_busy = true;
    return true;
}

void ScreenController::WaitForScan() {
    while (m_run.Busy()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (m_run.Finished()) FinishRun();
}

void ScreenController::FinishScan() {
    auto outcome = m_run.Finish(m_host.Prompter());
    m_busy = false;
    if (!outcome) return;
    m_scan.Publish(outcome->results);
    if (outcome->progressToEnd) m_host.SetProgress(kProgressMaximum);
    m_sectors.outcome = &m_scan.Outcome();
    m_sectors.pickedCount = outcome->results.selected.size();
    m_sectors.simulation = m_market.simulation.active;
    m_sectors.firstRank = 1;
    m_sectors.highlightedRank = 0;
    // The heat map on screen follows the new scan.
    if (m_screenMode == ScreenMode::Rotation) ComputeRotation();
    if (m_sectors.RankCount() > 0) {
        ChooseSector(1);
    } else {
        m_sectors.members.clear();
        UpdateListScrollBars();
        RedrawSectorPage();
        if (m_screenMode == ScreenMode::Rotation) DrawRotation();
    }
}

void ScreenController::ChooseSector(int rank) {
    if (!m_sectors.outcome || rank < 1 || rank > static_cast<int>(m_sectors.RankCount())) return;
    m_sectors.highlightedRank = rank;
    m_sectors.members = m_scan.Outcome().Result().LoadResultSector(static_cast<size_t>(rank));
    m_sectors.firstMember = 0;
    m_sectors.selectedMember = -1;
    UpdateListScrollBars();
    RedrawSectorPage();
    if (m_screenMode == ScreenMode::Rotation) {
        m_rotation.selectedRow = RotationRowOfRank(m_rotation, rank);
        DrawRotation();
    }
}

void ScreenController::ChooseMember(int index) {
    if (index < 0 || index >= static_cast<int>(m_sectors.members.size())) return;
    m_sectors.selectedMember = index;
    m_sectors.selectedPicked = -1;  // the row chosen last is the one 加入 adds
    RedrawSectorPage();
    const uint32_t code = m_sectors.members[static_cast<size_t>(index)].code;
    if (!data::DayFileExists(m_market.paths, code)) return;
    // A scan result is read forward-adjusted, as the scan measured it.
    m_host.Check(ControlId::ForwardAdjusted);
    m_chart->SetAdjustMode(data::AdjustMode::Forward);
    chart::OpenRequest request;
    request.fromResult = true;
    request.pickSpan = 1;
    OpenSecurity(code, request);
}

void ScreenController::ChoosePicked(int index) {
    if (!m_sectors.outcome || index < 0 ||
        index >= static_cast<int>(m_sectors.outcome->selected.size()))
        return;
    m_sectors.selectedPicked = index;
    m_sectors.selectedMember = -1;
    RedrawSectorPage();
    const uint32_t code = m_sectors.outcome->selected[static_cast<size_t>(index)].code;
    if (data::DayFileExists(m_market.paths, code)) OpenSecurity(code);
}

// The scroll bars show only when their list has more than one page; moving
// them turns the page.
void ScreenController::UpdateListScrollBars() {
    const int rankPages = static_cast<int>((m_sectors.RankCount() + kRankRows - 1) / kRankRows);
    const int memberPages = static_cast<int>((m_sectors.members.size() + kMemberRows - 1) / kMemberRows);
    m_host.SetScrollBar(ControlId::RankScrollBar, {rankPages, (m_sectors.firstRank - 1) / kRankRows});
    m_host.SetScrollBar(ControlId::MemberScrollBar, {memberPages, m_sectors.firstMember / kMemberRows});
}

void ScreenController::Scrolled(ControlId id, int value) {
    if (id == ControlId::RankScrollBar) m_sectors.firstRank = value * kRankRows + 1;
    else if (id == ControlId::MemberScrollBar) m_sectors.firstMember = value * kMemberRows;
    else return;
    RedrawSectorPage();
}

void ScreenController::ShowSectorTrend() {
    const auto& outcome = m_scan.Outcome();
    if (m_sectors.RankCount() == 0 || m_sectors.highlightedRank == 0) {
        m_host.Prompter().ShowMessage(std::string(sectors::kNoSectorMessage), "提示");
        return;
    }
    sectors::TrendInputs inputs;
    inputs.paths = m_market.paths;
    inputs.index = m_market.index.View(m_workspace.Words(data::BufferId::Index));
    inputs.exRights = &m_market.exRights;
    inputs.scanDate = outcome.referenceDate != 0 ? outcome.referenceDate : data::kNoSimulationCutoff;
    inputs.members = m_sectors.members;
    if (sectors::BuildSectorTrend(inputs, m_host.Prompter()) == 0) return;
    OpenSecurity(data::kSectorTrendCode);
}

void ScreenController::SaveHighlightedSector() {
    if (m_sectors.RankCount() == 0 || m_sectors.highlightedRank == 0) {
        m_host.Prompter().ShowMessage(std::string(picking::kNothingToSaveMessage), "提示");
        return;
    }
    data::CodeTable codes(m_workspace.CodeTableRegion());
    sectors::SaveInputs inputs;
    inputs.dataRoot = m_market.paths.root;
    inputs.type = m_sectors.type;
    inputs.sectorNameGbk =
        m_scan.Outcome().Result().ResultSectorName(static_cast<size_t>(m_sectors.highlightedRank));
    inputs.scanDate = m_scan.Outcome().referenceDate;
    inputs.members = m_sectors.members;
    inputs.codes = &codes;
    sectors::SaveSectorList(inputs, m_host.Prompter());
}

}  // namespace screen
