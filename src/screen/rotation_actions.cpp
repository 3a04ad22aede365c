// The 板块轮动 page: the scans of the last days with the published scan's
// settings, drawn as a heat map in the upper work area.
#include <algorithm>
#include <memory>

#include "base/gbk.h"
#include "data/code_table.h"
#include "screen/screen_controller.h"
#include "sectors/library.h"

namespace screen {
namespace {

std::string NamesOf(const sectors::SectorLibrary& library, const std::vector<sectors::DayRank>& ranks) {
    std::string names;
    for (const sectors::DayRank& s : ranks) {
        if (!names.empty()) names += base::Utf8ToGbk("、");
        names += sectors::SectorNameAndFamily(library, s.number).name;
    }
    return names.empty() ? base::Utf8ToGbk("无") : names;
}

}  // namespace

void ScreenController::ShowRotationPage() {
    if (m_screenMode == ScreenMode::Rotation) {
        ShowChartScreen();
        return;
    }
    if (m_run.Busy() || m_busy.load()) return;
    if (!m_sectors.outcome || m_sectors.outcome->referenceDate == 0) {
        m_host.Prompter().ShowMessage("请先做一次板块扫描，板块轮动按这次扫描的方式和阈值逐日扫描。", "提示");
        return;
    }
    ComputeRotation();
    SetScreenMode(ScreenMode::Rotation);
    ApplyStripMask();
    DrawRotation();
}

void ScreenController::ChooseRotationSpan(int days) {
    if (m_screenMode != ScreenMode::Rotation || m_run.Busy() || m_busy.load()) return;
    m_rotation.span = days;
    ComputeRotation();
    DrawRotation();
}

void ScreenController::ComputeRotation() {
    const sectors::ScanOutcome& outcome = *m_sectors.outcome;
    const data::CodeTable codes(m_workspace.CodeTableRegion());
    const picking::MarketInputs inputs = picking::MarketInputsOf(m_workspace, m_market, codes);
    const sectors::SectorLibrary library(
        m_workspace.Bytes(data::BufferId::SectorLibrary).first(m_market.sectorLibraryBytes));
    const auto dates = sectors::TradingDaysUpTo(inputs.index, outcome.referenceDate,
                                                static_cast<size_t>(m_rotation.span));
    // A scan of its own: the published one stays what the ranking shows.
    // The window's kept tails serve the days after the first.
    auto scan = std::make_unique<sectors::SectorScan>();
    scan->SetKeptTails(&m_keptTails);
    std::vector<picking::PendingMessage> messages;
    m_rotation.settings = outcome.settings;
    m_rotation.days = sectors::RunRotation({inputs, library, outcome.settings, m_candidates.codes},
                                           *scan, dates, messages);
    m_rotation.rows = RotationRowsOf(m_rotation.days);
    for (RotationRow& row : m_rotation.rows)
        row.name = sectors::SectorNameAndFamily(library, row.number).name;
    m_rotation.changeText.clear();
    if (m_rotation.days.size() >= 2) {
        const auto change = sectors::TopChangeOf(m_rotation.days[m_rotation.days.size() - 2],
                                                 m_rotation.days.back());
        m_rotation.changeText = base::Utf8ToGbk("最后一日新进前十：") + NamesOf(library, change.entered) +
                                base::Utf8ToGbk("　退出前十：") + NamesOf(library, change.left);
    }
    m_rotation.selectedRow = RotationRowOfRank(m_rotation, m_sectors.highlightedRank);
    if (!messages.empty()) m_host.Prompter().ShowMessage(messages.front().text, messages.front().caption);
}

void ScreenController::DrawRotation() {
    DrawRotationPage(m_canvas, m_rotation);
    Invalidate(Invalidation::Page);
}

bool ScreenController::ClickRotationPage(int x, int y) {
    const RotationClick click = RotationClickAt(m_rotation, x, y);
    switch (click.kind) {
        case RotationClick::Kind::None: return false;
        case RotationClick::Kind::Row: ChooseRotationRow(click.value); return true;
        case RotationClick::Kind::Span: ChooseRotationSpan(click.value); return true;
        case RotationClick::Kind::Back: ShowChartScreen(); return true;
    }
    return false;
}

void ScreenController::ChooseRotationRow(int row) {
    if (m_screenMode != ScreenMode::Rotation || row < 0 ||
        row >= static_cast<int>(m_rotation.rows.size()) || m_rotation.days.empty())
        return;
    if (m_pageKind != PageKind::Sector) ShowSectorPage();
    const size_t rank = sectors::RankOn(m_rotation.days.back(), m_rotation.rows[static_cast<size_t>(row)].number);
    if (rank != 0) {
        m_sectors.firstRank = static_cast<int>((rank - 1) / kRankRows * kRankRows + 1);
        ChooseSector(static_cast<int>(rank));
    } else {
        // Ranked on earlier days only: on the scan's day it has no moving members.
        m_sectors.highlightedRank = 0;
        m_sectors.members.clear();
        UpdateListScrollBars();
        RedrawSectorPage();
    }
    m_rotation.selectedRow = row;
    DrawRotation();
}

}  // namespace screen
