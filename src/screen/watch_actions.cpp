// The controller's watch list: the list box beside the pages, its caption,
// and the buttons 加入自选, K, 8, ↑, ↓, ×, 保存 and 载入 with the strip's 加入.
#include "base/gbk.h"
#include "data/code_table.h"
#include "screen/screen_controller.h"
#include "ui/drawing.h"
#include "watchlist/watch_file.h"

namespace screen {
namespace {

constexpr ui::Rgb kCaptionStrip{0, 65, 130};
constexpr int kCaptionLeft = 761, kCaptionTop = 436, kCaptionRight = 831, kCaptionBottom = 452;

}  // namespace

void ScreenController::ShowWatchList() {
    data::CodeTable codes(m_workspace.CodeTableRegion());
    std::vector<std::string> lines;
    for (const std::string& line : watchlist::ListBoxLines(m_watch.Codes(), codes))
        lines.push_back(base::GbkToUtf8(line));
    m_host.ShowWatchList(lines);
    DrawWatchCaption();
}

void ScreenController::DrawWatchCaption() {
    ui::FillBox(m_canvas, kCaptionLeft, kCaptionTop, kCaptionRight, kCaptionBottom, kCaptionStrip);
    ui::DrawTextAt(m_canvas, 12, kCaptionLeft + 3, kCaptionTop + 2, ui::kWhite,
                   base::Utf8ToGbk(watchlist::CaptionText(m_watch.Count())));
    Invalidate(Invalidation::Panel);
}

void ScreenController::WatchListChanged(int selectRow) {
    ShowWatchList();
    m_host.SelectWatchRow(selectRow);
}

void ScreenController::EditWatchList(ControlId button) {
    const watchlist::ListBoxState box = m_host.WatchListBox();
    base::Prompter& prompter = m_host.Prompter();
    const std::optional<int> row = button == ControlId::WatchUp     ? m_watch.MoveUp(box, prompter)
                                   : button == ControlId::WatchDown ? m_watch.MoveDown(box, prompter)
                                                                    : m_watch.DeleteChosen(box, prompter);
    if (row) WatchListChanged(*row);
}

void ScreenController::AddOpenStockToWatchList() {
    const uint32_t open = m_chart && m_chart->HasSecurity() ? m_chart->Stock().code : 0;
    if (m_watch.AddOpenStock(open, m_host.Prompter())) WatchListChanged(0);
}

void ScreenController::AddPickedStockToWatchList() {
    if (m_watch.AddPickedStock(ChosenPickedStock(), m_host.Prompter())) WatchListChanged(0);
}

std::optional<uint32_t> ScreenController::ChosenPickedStock() const {
    if (m_pageKind == PageKind::Picking) {
        const int chosen = m_picking.chosenResult;
        if (chosen < 0 || chosen >= static_cast<int>(m_picking.picked.size())) return std::nullopt;
        return m_picking.picked[static_cast<size_t>(chosen)];
    }
    // The sector page has two lists of picked stocks: the member list of the
    // highlighted sector and the first rows of 选出股; the row chosen last counts.
    const int member = m_sectors.selectedMember;
    if (member >= 0 && member < static_cast<int>(m_sectors.members.size()))
        return m_sectors.members[static_cast<size_t>(member)].code;
    const int picked = m_sectors.selectedPicked;
    if (m_sectors.outcome && picked >= 0 &&
        picked < static_cast<int>(m_sectors.outcome->selected.size()))
        return m_sectors.outcome->selected[static_cast<size_t>(picked)].code;
    return std::nullopt;
}

void ScreenController::OpenWatchStock(watchlist::PageRule rule) {
    const auto stock = m_watch.ChosenStock(m_host.WatchListBox(), rule, m_host.Prompter());
    if (stock) OpenSecurity(m_watch.Codes()[*stock]);
}

void ScreenController::ShowWatchEight() {
    auto codes = m_watch.EightFrom(m_host.WatchListBox(), m_host.Prompter());
    if (!codes) return;
    // The page of small charts is a daily page, and so is the chart it opens.
    if (m_chart) m_chart->SetPeriod(data::Period::Daily);
    ShowSmallCharts(std::move(*codes));
}

void ScreenController::SaveWatchList() {
    data::CodeTable codes(m_workspace.CodeTableRegion());
    watchlist::SaveWatchList(m_watch, m_market.paths, m_market.todayShort, codes, m_host.Prompter());
}

void ScreenController::LoadWatchList() {
    if (watchlist::LoadWatchList(m_watch, m_market.paths, m_host.Prompter()) ==
        watchlist::LoadOutcome::Loaded)
        WatchListChanged(0);
}

void ScreenController::DoubleClick(ControlId id) {
    if (id == ControlId::WatchList) OpenWatchStock(watchlist::PageRule::Anywhere);
    m_host.FocusCodeBox();
}

}  // namespace screen
