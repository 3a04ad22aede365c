// The main window's screen without a window system: it owns what the screen
// shows (screen mode, page kind, the chart, the sector page, the simulation
// bar, the top/bottom estimate, the watch list, help and text pages), takes
// typed events (clicks at points, controls by ControlId, strip commands, keys,
// timer ticks) and draws on the canvas it is given. What changed is merged in
// one invalidation mask that the backend's paint consumes once with Render().
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/instance_lock.h"
#include "chart/chart_page.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "picking/candidates.h"
#include "picking/method_list.h"
#include "picking/picking_run.h"
#include "screen/chart_screen.h"
#include "screen/events.h"
#include "screen/host.h"
#include "screen/picking_page.h"
#include "screen/rotation_page.h"
#include "screen/sector_page.h"
#include "sectors/estimate.h"
#include "sectors/query.h"
#include "sectors/scan.h"
#include "ui/button_strip.h"
#include "ui/canvas.h"
#include "ui/help_pages.h"
#include "ui/markup_text.h"
#include "watchlist/watch_list.h"

namespace screen {

class ScreenController {
public:
    ScreenController(ScreenHost& host, ui::Canvas& canvas);
    ~ScreenController();
    ScreenController(const ScreenController&) = delete;
    ScreenController& operator=(const ScreenController&) = delete;

    // The first step of the start-up: the data root's single-instance lock.
    // False, after "《板块擎宇》已经在运行", when another copy holds it; a lock
    // file that cannot be created is reported and the start goes on.
    bool AcquireLock(const std::string& dataRoot);
    // The start-up on a data root: the lock (unless held already), the
    // buffers and tables, the watch list and the first layout. False when the
    // program must end (the reason has been shown).
    bool Start(const std::string& dataRoot, std::time_t now);
    // The exit path: asks, saves the settings and lets everything go; false
    // when the user stays.
    bool RequestExit();
    bool Released() const { return !m_workspace.Allocated(); }

    // ---- events -----------------------------------------------------------
    void Click(int x, int y);
    void MouseMove(int x, int y);
    void Button(ControlId id);
    void Radio(ControlId id);
    // A double click on a list control (the watch list opens the stock clicked).
    void DoubleClick(ControlId id);
    // A chart key; false when the chart did not take it.
    bool PressKey(screen::Key key);
    // The code box's text changed (typing opens the code finder).
    void CodeTyped(const std::string& text);
    void Scrolled(ControlId id, int value);
    void Tick(Timer timer);
    void Strip(StripCommand command);
    // A strip command by its number (a button record's command).
    void StripNumber(int number);

    // ---- the canvas ---------------------------------------------------------
    Invalidation Pending() const { return m_pending; }
    // Brings the canvas up to date for what is pending and clears it.
    void Render();
    // The chart was changed through Chart() directly: rebuild it at the next paint.
    void RequestChartRedraw() { Invalidate(Invalidation::Chart); }

    // ---- actions the events lead to, also used directly -----------------------
    bool OpenSecurity(uint32_t code, const chart::OpenRequest& request = {});
    void ChooseMarket(picking::CandidateMarket market);
    void ChooseScanType(sectors::ScanType type);
    // 载入 with a chosen file; false after its message when refused.
    bool LoadCandidateList(const std::string& path);
    // 板块扫描: validates, then starts the scan on a worker; false when refused.
    bool StartScan();
    // Waits for a running scan and shows its result (the progress tick does this too).
    void WaitForScan();
    void ChooseSector(int rank);
    void ChooseMember(int index);
    void ChoosePicked(int index);
    // The page of small charts for the first eight codes ("∷" turns to the
    // next eight).
    void ShowSmallCharts(std::vector<uint32_t> codes);
    // A text page in the upper work area: a dark red title and a marked-up GBK body.
    void ShowTextPage(const std::string& titleGbk, const std::string& bodyGbk);
    // The simulation bar: 进入模拟, 确定 with the typed date, the steps, 退出模拟.
    void EnterSimulationMode();
    void ConfirmSimulation(const std::string& typed);
    void StepSimulation(int step);
    void ExitSimulationMode();
    // Analyses see the market as of `date` (0 ends that).
    void UseSimulationDate(uint32_t date);
    // The picking page: 条件选股 opens it, 返回板块 goes back to the sector page.
    void ShowPickingPage();
    void ShowSectorPage();
    void ChooseLibraryTab(int group);
    // Opens the board of the condition at a display position of the tab,
    // with the values last used (or `params` when given).
    void OpenConditionBoard(int position, const std::optional<picking::ParamRecord>& params = {});
    // The condition's tab and board (false for one the library does not show).
    bool OpenCondition(picking::ConditionCode code);
    void ToggleLibraryMarker(int position);
    void ChooseMethodRow(int row);
    // 单步选股: the method list's first entry over the candidates, on the worker.
    bool StartPicking();
    void ChoosePickedResult(int index);
    // 板块轮动: the heat map of the last scan's settings over the last days
    // up to its reference day; again, or 返回K线, goes back to the chart.
    void ShowRotationPage();
    void ChooseRotationSpan(int days);
    // A row of the heat map: its sector chosen in the ranking, as a click there does.
    void ChooseRotationRow(int row);

    // ---- what the screen shows ------------------------------------------------
    ScreenMode Screen() const { return m_screenMode; }
    PageKind Page() const { return m_pageKind; }
    std::optional<ui::HelpTopic> ShownHelp() const { return m_helpTopic; }
    int ShownHelpPage() const { return m_helpPage; }
    const SectorView& Sectors() const { return m_sectors; }
    const sectors::SectorScan& Scan() const { return m_scan; }
    const picking::MethodList& Methods() const { return m_methods; }
    const PickingView& Picking() const { return m_picking; }
    const RotationView& Rotation() const { return m_rotation; }
    const picking::ConditionParamTable& ParamMemory() const { return m_paramMemory; }
    ChartScreen* Chart() { return m_chart.get(); }
    const std::vector<uint32_t>& SmallChartCodes() const { return m_smallChartCodes; }
    const std::vector<uint32_t>& WatchCodes() const { return m_watch.Codes(); }
    const std::string& ClockText() const { return m_clockText; }
    uint32_t LastFinderCode() const { return m_lastFinder.code; }
    int LastFinderIndicator() const { return m_lastFinder.indicator; }
    const sectors::FactorWeights& TopWeights() const { return m_topWeights; }
    const sectors::FactorWeights& BottomWeights() const { return m_bottomWeights; }
    const data::MarketState& Market() const { return m_market; }
    data::Workspace& Workspace() { return m_workspace; }
    // Set while a scan or a data task runs: data commands and strip commands wait.
    std::atomic<bool>& Busy() { return m_busy; }

private:
    void Invalidate(Invalidation level) { m_pending = m_pending | level; }

    // Screens and pages (screen_controller.cpp).
    void DrawInitialLayout();
    void DrawSectorPageFrame();
    void DrawClockBox();
    void ShowChartScreen();
    void ClearUpperArea();
    void SetScreenMode(ScreenMode mode);
    void NextSmallCharts();
    void DrawSmallChartPage();
    void ShowHelp(ui::HelpTopic topic);
    void ApplyStripMask();
    void PaintChart();
    bool ChartShown();
    void ClickUpperArea(int x, int y);
    bool ClickSmallChart(int x, int y);

    // The watch list (watch_actions.cpp).
    void ShowWatchList();
    void DrawWatchCaption();
    // After a change: the list box and its caption again, and the row to select.
    void WatchListChanged(int selectRow);
    // ↑, ↓ and × of the list box.
    void EditWatchList(ControlId button);
    void AddOpenStockToWatchList();
    void AddPickedStockToWatchList();
    // The stock chosen in the picked list of the page on screen.
    std::optional<uint32_t> ChosenPickedStock() const;
    void OpenWatchStock(watchlist::PageRule rule);
    void ShowWatchEight();
    void SaveWatchList();
    void LoadWatchList();

    // The chart's controls and keys (chart_actions.cpp).
    void Navigate(chart::NavButton button);
    void ChangePeriod(data::Period period);
    void OpenNeighbour(data::Direction direction);
    void OpenIndicatorSettings();
    void ClickTabRow(int x, int y);
    void SetLowerPanel(chart::LowerPanelSize size);
    // Whether a reopened chart keeps the mark of the scan result it shows.
    enum class ResultMark { Keep, Drop };
    void ReopenChart(ResultMark mark);
    void OpenDataPage(DataPage page);
    void ReloadAfterDataChanges(const DataChanges& changes);

    // The sector page (sector_actions.cpp).
    bool ClickSectorPage(int x, int y);
    void LoadCandidateFile();
    int32_t ReadThreshold(bool* ok) const;
    void FinishScan();
    void RedrawSectorPage();
    void UpdateListScrollBars();
    void ShowSectorTrend();
    void SaveHighlightedSector();
    void RunEstimate(bool top);
    void RunPropertyQuery();
    // The weights a ranking uses: the library's, or what "Set" made of them.
    sectors::RankWeights RankingWeights();
    void DrawSimulationBar();
    void AfterSimulationChange();
    // Whichever run the worker finished: a scan or 单步选股.
    void FinishRun();

    // The 板块轮动 page (rotation_actions.cpp).
    bool ClickRotationPage(int x, int y);
    // The scans of the chosen span, up to the published scan's day, with its settings.
    void ComputeRotation();
    void DrawRotation();

    // The picking page (picking_actions.cpp).
    void DrawLowerPage();
    void RedrawPickingPage();
    void ShowSectorControls(bool shown);
    void HideBoardFields();
    bool ClickPickingPage(int x, int y);
    picking::SettingBoard ReadBoard() const;
    void EditMethods(StripCommand command);
    void ModifyChosenMethod();
    void FinishPicking();
    void ShowConditionArticle(picking::ConditionCode code);
    void ShowIdeaArticle(int number);
    void ShowArticle(const std::string& utf8);
    void DrawExamplePicture(picking::ConditionCode code);
    void SavePickedStocks();

    ScreenHost& m_host;
    ui::Canvas& m_canvas;
    std::optional<base::InstanceLock> m_lock;
    data::Workspace m_workspace;
    data::MarketState m_market;
    std::unique_ptr<ChartScreen> m_chart;

    SectorView m_sectors;
    // The tails scans read, kept for the next scans (before the run that uses them).
    picking::KeptTails m_keptTails;
    sectors::SectorScan m_scan;
    picking::PickingRun m_run;
    picking::CandidateSet m_candidates;
    picking::MethodList m_methods;
    picking::ConditionParamTable m_paramMemory;
    PickingView m_picking;
    RotationView m_rotation;
    std::optional<picking::ChartOverride> m_pickOverride;  // of the last 单步选股
    enum class RunKind { Scan, Picking } m_runKind = RunKind::Scan;
    std::unique_ptr<data::CodeTable> m_scanCodes;  // outlives the run that reads it
    std::atomic<bool> m_busy{false};
    sectors::RankTuning m_tuning;
    std::optional<sectors::RankWeights> m_tuningLibrary;  // the library weights m_tuning began from
    sectors::FactorWeights m_topWeights = sectors::kDefaultFactorWeights;
    sectors::FactorWeights m_bottomWeights = sectors::kDefaultFactorWeights;

    ui::ButtonStrip m_strip;
    ui::StripHover m_hover;
    ui::MarkupLayout m_lastTextLayout{};
    ScreenMode m_screenMode = ScreenMode::TextPage;
    PageKind m_pageKind = PageKind::Sector;
    std::optional<ui::HelpTopic> m_helpTopic;
    int m_helpPage = 0;
    std::vector<uint32_t> m_smallChartList;   // the list the page was filled from
    size_t m_smallChartStart = 0;             // its first code on the page
    std::vector<uint32_t> m_smallChartCodes;  // the codes on the page
    watchlist::WatchList m_watch;
    std::string m_clockText = "00:00:00";
    FinderChoice m_lastFinder;
    Invalidation m_pending = Invalidation::None;
};

}  // namespace screen
