#include "screen/screen_controller.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/gbk.h"
#include "chart/small_charts.h"
#include "data/code_finder.h"
#include "data/code_table.h"
#include "data/settings.h"
#include "screen/layout.h"
#include "ui/drawing.h"

namespace screen {
namespace {

constexpr ui::Rgb kClockBorder{0, 0, 0};
constexpr ui::Rgb kClockFill{0, 16, 0};
constexpr ui::Rgb kClockText{51, 255, 51};

}  // namespace

ScreenController::ScreenController(ScreenHost& host, ui::Canvas& canvas)
    : m_host(host), m_canvas(canvas), m_strip(PageStrip(PageKind::Sector)) {
    m_scan.SetKeptTails(&m_keptTails);
}

// A run still going reads the workspace: it is waited for before that goes.
ScreenController::~ScreenController() {
    while (m_run.Busy()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

bool ScreenController::AcquireLock(const std::string& dataRoot) {
    if (m_lock) return true;
    // A lock file that cannot be created (a read-only folder) has been named in
    // a message; the window can still show the data, so only a held lock stops it.
    bool held = false;
    m_lock = data::AcquireSingleInstance(data::BuildDataPaths(dataRoot), m_host.Prompter(), &held);
    return m_lock.has_value() || !held;
}

bool ScreenController::Start(const std::string& dataRoot, std::time_t now) {
    base::Prompter& prompter = m_host.Prompter();
    if (!AcquireLock(dataRoot)) return false;
    if (data::RunStartup(m_workspace, dataRoot, prompter, now, m_market) != data::StartupOutcome::Ready)
        return false;
    m_watch.Replace(m_market.settings.watchList);
    ShowWatchList();
    m_chart = std::make_unique<ChartScreen>(m_workspace, m_market, prompter);
    bool thresholdOk = false;
    const int32_t threshold = ReadThreshold(&thresholdOk);
    if (thresholdOk) m_sectors.threshold = threshold;
    DrawInitialLayout();
    Invalidate(Invalidation::Page);
    m_host.FocusCodeBox();
    return true;
}

bool ScreenController::RequestExit() {
    if (!m_host.Prompter().AskYesNo("是否退出《板块擎宇》？", "提示")) {
        m_host.FocusCodeBox();
        return false;
    }
    WaitForScan();
    if (m_workspace.Allocated()) {
        data::Settings settings = m_market.settings;
        settings.watchList = m_watch.Codes();
        data::SaveSettings(m_market.paths.settings, settings);
    }
    m_chart.reset();
    m_workspace.Release();
    m_lock.reset();
    return true;
}

// ---- the canvas -------------------------------------------------------------

void ScreenController::Render() {
    if (m_pending == Invalidation::None) return;
    // The canvas is brought up to date whether or not the window is on a
    // screen (offscreen pictures and tests read it); painting only copies it.
    DrawClockBox();
    if (ChartShown()) {
        if (Has(m_pending, Invalidation::Chart)) m_chart->Page().Model().RequestFullRedraw();
        PaintChart();
    }
    m_pending = Invalidation::None;
}

bool ScreenController::ChartShown() {
    return m_screenMode == ScreenMode::Chart && m_chart && m_chart->HasSecurity();
}

void ScreenController::PaintChart() {
    chart::ChartPage& page = m_chart->Page();
    // The crosshair of the last paint goes: the chart as it was drawn comes back.
    if (m_canvas.HasSnapshot())
        for (const chart::Box& box : page.LastCursorRects())
            if (!box.Empty()) m_canvas.RestoreSnapshot(box.left, box.top, box.right, box.bottom);
    if (m_chart->Paint(m_canvas)) {
        // The lower-panel arrows sit on the chart: drawn over it after each rebuild.
        for (int number : kLowerPanelArrowButtons)
            if (m_strip.buttons[static_cast<size_t>(number - 1)].visible)
                ui::DrawStripButton(m_canvas, m_strip, number, ui::ButtonLook::Normal);
        m_canvas.SaveSnapshot();
    }
    page.PaintCursor(m_canvas);
}

void ScreenController::DrawClockBox() {
    ui::DrawRoundBox(m_canvas, 73, 407, 143, 423, kClockBorder, kClockFill);
    ui::DrawTextAt(m_canvas, 13, 76, 408, kClockText, m_clockText);
}

// ---- screens ------------------------------------------------------------------

void ScreenController::DrawInitialLayout() {
    ui::FillBox(m_canvas, 0, 0, ui::kCanvasWidth, ui::kCanvasHeight, ui::kPanelBeige);
    DrawSectorPageFrame();
    ShowSectorControls(true);
    // The upper work area opens on the market index, as on the big terminals.
    if (!OpenSecurity(m_market.index.code)) ShowHelp(ui::HelpTopic::General);
}

void ScreenController::DrawSectorPageFrame() {
    ui::FillBox(m_canvas, 0, kLowerTop, ui::kCanvasWidth, ui::kCanvasHeight, ui::kPanelBeige);
    ui::DrawLine(m_canvas, 0, kLowerTop + 27, ui::kCanvasWidth, kLowerTop + 27, {160, 160, 160});
    data::CodeTable codes(m_workspace.CodeTableRegion());
    DrawSectorPage(m_canvas, m_sectors, codes);
    DrawWatchCaption();
    ApplyStripMask();  // the buttons sit on the page's panels
    DrawClockBox();
}

bool ScreenController::OpenSecurity(uint32_t code, const chart::OpenRequest& request) {
    if (!m_chart || !m_chart->Open(code, request)) return false;
    // An index chart shows its code in the code box; a stock's leaves it
    // empty for the next code, as the finder does.
    m_host.SetText(ControlId::CodeBox, data::IsIndexCode(code) ? data::CodeText(code) : "");
    ShowChartScreen();
    return true;
}

void ScreenController::ShowChartScreen() {
    if (m_screenMode != ScreenMode::Chart) {
        // Whatever the text page left in the work area goes.
        ui::FillBox(m_canvas, kUpperLeft, kUpperTop - 25, kUpperRight, kUpperBottom, ui::kPanelBeige);
        SetScreenMode(ScreenMode::Chart);
    }
    ApplyStripMask();
    Invalidate(Invalidation::Chart);
}

void ScreenController::ApplyStripMask() {
    m_strip.mask = PageStripMask(m_pageKind);
    // The lower-panel arrows beside the chart belong to the chart screen.
    if (m_screenMode == ScreenMode::Chart) m_strip.mask |= ui::kChartOnlyButtons;
    ui::ApplyMainStripMask(m_strip, static_cast<int>(m_screenMode));
    ui::DrawButtonStrip(m_canvas, m_strip);
    m_hover.Reset();
}

// Pages drawn over the chart's place clear all of it first: the page
// frames clear only their own rectangles, which would leave the chart's
// last column and row behind.
void ScreenController::ClearUpperArea() {
    ui::FillBox(m_canvas, 0, 1, ui::kCanvasWidth, kUpperBottom, ui::kPanelBeige);
}

void ScreenController::ShowHelp(ui::HelpTopic topic) {
    // The same help command again turns to its next page.
    if (m_screenMode == ScreenMode::TextPage && m_helpTopic == topic)
        m_helpPage = (m_helpPage + 1) % ui::HelpPageCount(topic);
    else
        m_helpPage = 0;
    SetScreenMode(ScreenMode::TextPage);
    m_helpTopic = topic;
    ClearUpperArea();
    ui::DrawHelpPage(m_canvas, topic, m_helpPage, m_lastTextLayout);
    const int pages = ui::HelpPageCount(topic);
    if (pages > 1) {
        const std::string hint = "第" + std::to_string(m_helpPage + 1) + "/" +
                                 std::to_string(pages) + "页  再点一次同一按钮看下一页";
        ui::DrawTextAt(m_canvas, 12, 700, 346, ui::kTextDarkBlue, base::Utf8ToGbk(hint));
    }
    ApplyStripMask();
    Invalidate(Invalidation::Page);
}

void ScreenController::ShowTextPage(const std::string& titleGbk, const std::string& bodyGbk) {
    SetScreenMode(ScreenMode::TextPage);
    m_helpTopic.reset();
    ClearUpperArea();
    ui::DrawPageFrame(m_canvas, ui::kHelpFrameLeft, ui::kHelpFrameTop, ui::kHelpFrameRight,
                      ui::kHelpFrameBottom, ui::kHelpFrameColour, ui::CodeEntryHint::Shown);
    const std::string text =
        "/c120000000" + std::string(30, ' ') + titleGbk + "/n/n/c000000090" + bodyGbk;
    m_lastTextLayout = ui::kHelpPageLayout;
    ui::DrawMarkupText(m_canvas, text, m_lastTextLayout);
    ApplyStripMask();
    Invalidate(Invalidation::Page);
}

void ScreenController::ShowSmallCharts(std::vector<uint32_t> codes) {
    m_smallChartList = std::move(codes);
    m_smallChartStart = 0;
    DrawSmallChartPage();
}

// "∷": the next eight codes of the list the page was filled from, back to
// its first eight after the last.
void ScreenController::NextSmallCharts() {
    if (m_screenMode != ScreenMode::SmallCharts) return;
    const size_t slots = static_cast<size_t>(chart::kSmallChartCount);
    m_smallChartStart += slots;
    if (m_smallChartStart >= m_smallChartList.size()) m_smallChartStart = 0;
    DrawSmallChartPage();
}

void ScreenController::DrawSmallChartPage() {
    const size_t slots = static_cast<size_t>(chart::kSmallChartCount);
    const size_t start = std::min(m_smallChartStart, m_smallChartList.size());
    const size_t end = std::min(start + slots, m_smallChartList.size());
    m_smallChartCodes.assign(m_smallChartList.begin() + static_cast<std::ptrdiff_t>(start),
                             m_smallChartList.begin() + static_cast<std::ptrdiff_t>(end));
    SetScreenMode(ScreenMode::SmallCharts);
    ClearUpperArea();
    data::CodeTable codeTable(m_workspace.CodeTableRegion());
    data::ScanArea area{m_workspace.ScanAreaRegion()};
    const data::AdjustMode mode = m_chart ? m_chart->AdjustMode() : data::AdjustMode::None;
    // One stock at a time through the window's own scan area.
    auto load = [&](uint32_t code) -> std::optional<chart::SmallChartSource> {
        if (data::IsIndexCode(code)) return std::nullopt;
        data::LoadScanDayFile(m_market.paths, code, area);
        if (!area.Loaded()) return std::nullopt;
        const data::Adjuster adjuster{&m_market.exRights, m_market.exRights.FindEntry(code), mode};
        const auto shares = codeTable.StockShares(code);
        return chart::SmallChartSource{area.View(adjuster),
                                       {code, codeTable.StockName(code), false, shares.total,
                                        shares.floatShares}};
    };
    chart::PaintSmallChartPage(m_canvas, m_smallChartCodes, load);
    ApplyStripMask();
    Invalidate(Invalidation::Page);
}

// The screen mode, and the controls that belong to one screen only.
void ScreenController::SetScreenMode(ScreenMode mode) {
    m_screenMode = mode;
    if (mode != ScreenMode::TextPage) m_helpTopic.reset();
    m_host.ShowControl(ControlId::SmallChartsNext, mode == ScreenMode::SmallCharts);
}

// ---- input ------------------------------------------------------------------------

void ScreenController::Click(int x, int y) {
    ClickUpperArea(x, y);
    if (m_screenMode == ScreenMode::SmallCharts && ClickSmallChart(x, y)) return;
    if (m_screenMode == ScreenMode::Rotation && !m_busy.load() && ClickRotationPage(x, y)) return;
    if (ui::ButtonAt(m_strip, x, y)) {
        const auto number = ui::ClickedCommand(m_strip, x, y);
        if (number && !m_busy.load()) StripNumber(*number);
        return;
    }
    if (ChartShown() && m_chart->Page().ClickResultMark(x, y)) {
        Invalidate(Invalidation::Chart);
        return;
    }
    // The page's zones; nothing while a run is busy.
    if (y >= kLowerTop && !m_busy.load()) {
        if (m_pageKind == PageKind::Picking ? ClickPickingPage(x, y) : ClickSectorPage(x, y)) return;
    }
    if (ChartShown()) ClickTabRow(x, y);
}

// A click on the work area readies the code box, so typing a code opens it.
void ScreenController::ClickUpperArea(int x, int y) {
    if (x >= kUpperLeft && x < kUpperRight && y >= kUpperTop && y < kUpperBottom)
        m_host.FocusCodeBox();
}

bool ScreenController::ClickSmallChart(int x, int y) {
    const auto slot = chart::SmallChartAt(x, y);
    if (!slot || *slot >= static_cast<int>(m_smallChartCodes.size())) return false;
    OpenSecurity(m_smallChartCodes[static_cast<size_t>(*slot)]);
    return true;
}

void ScreenController::MouseMove(int x, int y) {
    if (ChartShown()) {
        switch (m_chart->Page().MouseMove(x, y)) {
            case chart::ChartRequest::CursorMoved:
            case chart::ChartRequest::CursorLeft: Invalidate(Invalidation::Cursor); break;
            default: break;
        }
    }
    if (m_hover.Track(m_canvas, m_strip, x, y)) Invalidate(Invalidation::Panel);
}

void ScreenController::CodeTyped(const std::string& text) {
    if (!data::OpensFinder(text)) return;
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_lastFinder = m_host.RunCodeFinder(codes, text);
    m_host.SetText(ControlId::CodeBox, "");
    if (m_lastFinder.code != 0) {
        OpenSecurity(m_lastFinder.code);
    } else if (m_lastFinder.indicator != 0 && m_chart->Indicators().Select(m_lastFinder.indicator)) {
        Invalidate(Invalidation::Chart);
    }
}

void ScreenController::Tick(Timer timer) {
    if (timer == Timer::Clock) {
        DrawClockBox();
        Invalidate(Invalidation::Panel);
        return;
    }
    if (!m_busy.load()) return;
    const int value = m_run.Progress();
    if (value > m_host.Progress()) m_host.SetProgress(value);
    // The worker is done: the screen draws what it left.
    if (m_run.Finished()) FinishRun();
}

void ScreenController::StripNumber(int number) {
    if (auto command = StripCommandOf(number)) Strip(*command);
}

void ScreenController::Strip(StripCommand command) {
    if (auto topic = ui::HelpTopicForCommand(static_cast<int>(command))) {
        ShowHelp(*topic);
        return;
    }
    switch (command) {
        case StripCommand::SectorScan: StartScan(); return;
        case StripCommand::SectorTrend: ShowSectorTrend(); return;
        case StripCommand::SaveSector: SaveHighlightedSector(); return;
        case StripCommand::AddPicked:
            AddPickedStockToWatchList();
            m_host.FocusCodeBox();
            return;
        case StripCommand::EstimateTop: RunEstimate(true); return;
        case StripCommand::EstimateBottom: RunEstimate(false); return;
        case StripCommand::Weights: m_host.RunWeightsEditor(m_topWeights, m_bottomWeights); return;
        case StripCommand::PropertyQuery: RunPropertyQuery(); return;
        case StripCommand::LowerPanelUp: SetLowerPanel(chart::LowerPanelSize::Enlarged); return;
        case StripCommand::LowerPanelDown: SetLowerPanel(chart::LowerPanelSize::Normal); return;
        case StripCommand::StripLoad: return;  // 载入 is the watch list's control
        case StripCommand::MethodUp:
        case StripCommand::MethodDown:
        case StripCommand::MethodDelete:
        case StripCommand::MethodInsert:
        case StripCommand::MethodAppend:
        case StripCommand::MethodModify:
        case StripCommand::MethodConfirm: EditMethods(command); return;
        case StripCommand::PickingPage: ShowPickingPage(); return;
        case StripCommand::RotationPage: ShowRotationPage(); return;
        case StripCommand::SectorPage: ShowSectorPage(); return;
        case StripCommand::StepPick: StartPicking(); return;
        case StripCommand::SaveResults: SavePickedStocks(); return;
        case StripCommand::HelpGrowFunds:
        case StripCommand::HelpSectors:
        case StripCommand::HelpLower:
        case StripCommand::HelpUpper: return;  // help pages, above
    }
}

void ScreenController::Button(ControlId id) {
    switch (id) {
        case ControlId::ShanghaiIndex: OpenSecurity(data::kShanghaiIndexCode); break;
        case ControlId::ShenzhenIndex: OpenSecurity(data::kShenzhenIndexCode); break;
        case ControlId::ChiNextIndex: OpenSecurity(data::kChiNextIndexCode); break;
        case ControlId::SmallChartsNext: NextSmallCharts(); break;
        case ControlId::First: Navigate(chart::NavButton::First); break;
        case ControlId::PageBack: Navigate(chart::NavButton::PageBack); break;
        case ControlId::Back: Navigate(chart::NavButton::Back); break;
        case ControlId::ZoomIn: Navigate(chart::NavButton::ZoomIn); break;
        case ControlId::ZoomOut: Navigate(chart::NavButton::ZoomOut); break;
        case ControlId::Forward: Navigate(chart::NavButton::Forward); break;
        case ControlId::PageForward: Navigate(chart::NavButton::PageForward); break;
        case ControlId::Last: Navigate(chart::NavButton::Last); break;
        case ControlId::Daily: ChangePeriod(data::Period::Daily); break;
        case ControlId::Weekly: ChangePeriod(data::Period::Weekly); break;
        case ControlId::Monthly: ChangePeriod(data::Period::Monthly); break;
        case ControlId::PreviousStock: OpenNeighbour(data::Direction::Previous); break;
        case ControlId::NextStock: OpenNeighbour(data::Direction::Next); break;
        case ControlId::IndicatorSettings: OpenIndicatorSettings(); break;
        case ControlId::PickedEight: {
            if (!m_sectors.outcome) break;
            std::vector<uint32_t> codes;
            for (const auto& e : m_sectors.outcome->selected) codes.push_back(e.code);
            ShowSmallCharts(std::move(codes));
            break;
        }
        case ControlId::WatchEight: ShowWatchEight(); break;
        case ControlId::PickingEight: ShowSmallCharts(m_picking.picked); break;
        case ControlId::Help: ShowHelp(ui::HelpTopic::General); break;
        case ControlId::DataButton: OpenDataPage(DataPage::Download); break;
        case ControlId::AddToWatchList: AddOpenStockToWatchList(); break;
        case ControlId::WatchOpen: OpenWatchStock(watchlist::PageRule::VisiblePage); break;
        case ControlId::WatchUp:
        case ControlId::WatchDown:
        case ControlId::WatchDelete: EditWatchList(id); break;
        case ControlId::WatchLoad: LoadWatchList(); break;
        case ControlId::WatchSave: SaveWatchList(); break;
        default: break;
    }
    m_host.FocusCodeBox();
}

}  // namespace screen
