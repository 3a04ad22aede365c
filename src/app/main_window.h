// CMainDlg: the program's one main window. Its start-up loads the market data
// and sets up the canvas and controls; its paint handler copies the canvas to
// the screen; clicks go through one dispatcher to the feature that owns the
// spot; its exit path asks, saves the settings and lets everything go.
#pragma once

#include <QDialog>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/chart_screen.h"
#include "app/qt_canvas.h"
#include "app/sector_page.h"
#include "picking/candidates.h"
#include "picking/method_list.h"
#include "picking/picking_run.h"
#include "sectors/estimate.h"
#include "sectors/query.h"
#include "sectors/scan.h"
#include "base/instance_lock.h"
#include "base/prompter.h"
#include "data/day_files.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "ui/button_strip.h"
#include "ui/help_pages.h"
#include "ui/markup_text.h"
#include "ui/theme.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QScrollBar;
class QTimer;

namespace app {

struct DataChanges;

enum class ScreenMode : int { TextPage = 0, SmallCharts = 2, Chart = 3 };
enum class PageKind : int { Sector = 1, Picking = 2 };

// Progress of a picking or scan run, shared with its worker.
struct RunProgress {
    std::atomic<bool> busy{false};
    std::atomic<uint32_t> processed{0};
    std::atomic<uint32_t> total{0};
};

class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // prompter: where messages and questions go (the window's own message
    // boxes when null).
    CMainDlg(std::string dataRoot, base::Prompter* prompter, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The start-up sequence; false when the program must end (the reason has
    // been shown).
    bool Initialise();

    // The three repaint requests.
    void RequestFullRepaint();
    void RequestRepaintWithoutChart();
    void RequestRepaint();

    // The click dispatcher and hover, in canvas coordinates.
    void HandleClick(int x, int y);
    void HandleMouseMove(int x, int y);
    // A key of the chart (arrows, Page Up/Down, Home/End, F-keys) as the
    // window's key pre-translation passes it; false when not used.
    bool HandleChartKey(int qtKey);
    // Opens a stock or index as the chart of the upper work area.
    bool OpenSecurity(uint32_t code, const chart::OpenRequest& request = {});
    ChartScreen* Chart() { return m_chart.get(); }
    // Analyses see the market as of `date` (0 ends that).
    void UseSimulationDate(uint32_t date);

    // The sector page: candidate sets, the scan and its result.
    void ChooseMarket(picking::CandidateMarket market);
    void ChooseScanType(sectors::ScanType type);
    // 载入 with a chosen file; false after its message when refused.
    bool LoadCandidateList(const std::string& path);
    // 板块扫描: validates, then starts the scan on a worker; false when refused.
    bool StartScan();
    // Waits for a running scan and shows its result (the timer does this too).
    void WaitForScan();
    const SectorPage& Sectors() const { return m_sectorPage; }
    const sectors::SectorScan& Scan() const { return m_scan; }
    const picking::MethodList& Methods() const { return m_methods; }
    // The ranking's and the member list's scroll bars.
    QScrollBar* RankScrollBar() const { return ScrollBar(1096); }
    QScrollBar* MemberScrollBar() const { return ScrollBar(1098); }
    void ChooseSector(int rank);
    void ChooseMember(int index);
    void ChoosePicked(int index);
    // The page of eight small charts for the first eight codes.
    void ShowSmallCharts(std::vector<uint32_t> codes);
    const std::vector<uint32_t>& SmallChartCodes() const { return m_smallChartCodes; }
    // A text page in the upper work area (screen mode 0): a title in dark
    // red and a marked-up GBK body.
    void ShowTextPage(const std::string& titleGbk, const std::string& bodyGbk);

    // The simulation bar: 进入模拟, 确定 with the typed date, the -10/-1/+1/+10
    // steps and 退出模拟.
    void EnterSimulationMode();
    void ConfirmSimulation(const std::string& typed);
    void StepSimulation(int step);
    void ExitSimulationMode();
    QWidget* SimulationControl(const std::string& name) const;
    // A strip command as the dispatcher runs it.
    void RunStripCommand(int command);

    // The exit path (退出, Escape, closing the window): asks, saves, lets go.
    void reject() override;

    ScreenMode Screen() const { return m_screenMode; }
    PageKind Page() const { return m_pageKind; }
    std::optional<ui::HelpTopic> ShownHelp() const { return m_helpTopic; }
    int ShownHelpPage() const { return m_helpPage; }
    const QtCanvas& Canvas() const { return m_canvas; }
    QWidget* Control(int id) const;
    QScrollBar* ScrollBar(int id) const;
    QListWidget* WatchList() const { return m_watchList; }
    const data::MarketState& Market() const { return m_market; }
    data::Workspace& Workspace() { return m_workspace; }
    RunProgress& Progress() { return m_progress; }
    bool Released() const { return !m_workspace.Allocated(); }
    const std::string& ClockText() const { return m_clockText; }
    // What the code finder handed back last (0 when nothing was chosen).
    uint32_t LastFinderCode() const { return m_lastFinderCode; }
    int LastFinderIndicator() const { return m_lastFinderIndicator; }
    // The weights "测顶" and "测底" use now.
    const sectors::FactorWeights& TopWeights() const { return m_topWeights; }
    const sectors::FactorWeights& BottomWeights() const { return m_bottomWeights; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void CreateControls();
    void ApplyStartupControlValues();
    void FillWatchList();
    void DrawInitialLayout();
    void DrawSectorPageFrame();
    void DrawClockBox();
    void ShowHelp(ui::HelpTopic topic);
    void OnProgressTimer();
    void OnClockTimer();
    // The data button: the local-data page, then the reloads.
    void OnDataButton();
    // F11: the install page, then the reloads.
    void OpenInstallPage();
    // After a data page: the market index when its dates moved out, the
    // examples, the open chart read afresh, a repaint and the code box.
    void ReloadAfterDataChanges(const DataChanges& changes);
    void SaveSettingsFile();
    void FocusCodeBox();
    void OnCodeBoxChanged(const QString& text);
    void OnButton(int id);
    void OnRadio(int id);
    void ShowChartScreen();
    void PaintChart();
    void RefreshCanvas();
    void ApplyStripMask();
    void OpenIndicatorSettings();
    // "原理设置": the top/bottom weights, in force for this run only.
    void OpenWeightsEditor();

    std::string m_dataRoot;
    std::unique_ptr<base::Prompter> m_ownPrompter;
    base::Prompter* m_prompter;
    std::optional<base::InstanceLock> m_lock;
    data::Workspace m_workspace;
    data::MarketState m_market;
    QtCanvas m_canvas;
    void FinishScan();
    void CreateSimulationBar();
    void DrawSimulationBar();
    void AfterSimulationChange();
    std::map<std::string, QWidget*> m_simulationControls;
    std::vector<uint32_t> m_smallChartCodes;
    void ShowSectorTrend();
    void SaveHighlightedSector();
    void AddMemberToWatchList();
    void RunEstimate(bool top);
    void RunPropertyQuery();
    sectors::FactorWeights m_topWeights = sectors::kDefaultFactorWeights;
    sectors::FactorWeights m_bottomWeights = sectors::kDefaultFactorWeights;
    sectors::RankTuning m_tuning;
    void RedrawSectorPage();
    int32_t ReadThreshold(bool* ok);

    std::unique_ptr<ChartScreen> m_chart;
    SectorPage m_sectorPage;
    sectors::SectorScan m_scan;
    picking::PickingRun m_run;
    picking::CandidateSet m_candidates;
    picking::MethodList m_methods;
    void UpdateListScrollBars();
    std::unique_ptr<data::CodeTable> m_scanCodes;  // outlives the run that reads it
    QImage m_savedChart;  // the canvas as the chart left it, under the crosshair
    ui::ButtonStrip m_strip;
    ui::StripHover m_hover;
    ui::MarkupLayout m_lastTextLayout{};
    RunProgress m_progress;

    ScreenMode m_screenMode = ScreenMode::TextPage;
    PageKind m_pageKind = PageKind::Sector;
    bool m_fullRepaint = false;
    bool m_chartSuppress = false;
    bool m_chartRebuild = false;
    std::optional<ui::HelpTopic> m_helpTopic;
    int m_helpPage = 0;
    uint32_t m_currentDate = 0;
    std::string m_clockText = "00:00:00";
    uint32_t m_lastFinderCode = 0;
    int m_lastFinderIndicator = 0;

    std::map<int, QWidget*> m_controls;
    std::map<int, QScrollBar*> m_scrollBars;
    QListWidget* m_watchList = nullptr;
    QTimer* m_progressTimer = nullptr;
    QTimer* m_clockTimer = nullptr;
};

}  // namespace app
