// CMainDlg: the Qt backend of the main window. It creates the child controls
// from their table, turns Qt events into the screen controller's events, hands
// it the prompter and the dialogs, and copies the canvas to the screen. What
// the screen shows and does lives in screen::ScreenController.
#pragma once

#include <QDialog>

#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "app/qt_canvas.h"
#include "base/prompter.h"
#include "screen/host.h"
#include "screen/screen_controller.h"

class QButtonGroup;
class QKeyEvent;
class QListWidget;
class QScrollBar;
class QTimer;

namespace app {

class CMainDlg : public QDialog, private screen::ScreenHost {
    Q_OBJECT

public:
    // prompter: where messages and questions go (the window's own message
    // boxes when null).
    CMainDlg(std::string dataRoot, base::Prompter* prompter, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The start-up sequence; false when the program must end (the reason has
    // been shown).
    bool Initialise();

    screen::ScreenController& Controller() { return m_controller; }
    const QtCanvas& Canvas() const { return m_canvas; }
    QWidget* Control(screen::ControlId id) const;
    QWidget* Control(int id) const { return Control(static_cast<screen::ControlId>(id)); }
    QScrollBar* ScrollBar(screen::ControlId id) const;
    QScrollBar* RankScrollBar() const { return ScrollBar(screen::ControlId::RankScrollBar); }
    QScrollBar* MemberScrollBar() const { return ScrollBar(screen::ControlId::MemberScrollBar); }
    QListWidget* WatchList() const { return m_watchList; }
    QWidget* SimulationControl(const std::string& name) const;

    // Events as the window receives them, each followed by a paint of what
    // it changed.
    void HandleClick(int x, int y);
    void HandleMouseMove(int x, int y);
    // A key of the chart as the window's key pre-translation passes it;
    // false when not used.
    bool HandleChartKey(int qtKey);
    // Anything done to the controller directly, then the paint it asks for.
    template <class Action>
    auto Run(Action action) {
        if constexpr (std::is_void_v<decltype(action(m_controller))>) {
            action(m_controller);
            Sync();
        } else {
            auto result = action(m_controller);
            Sync();
            return result;
        }
    }

    // The exit path (退出, Escape, closing the window): asks, saves, lets go.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // screen::ScreenHost
    base::Prompter& Prompter() override { return *m_prompter; }
    std::string Text(screen::ControlId id) const override;
    void SetText(screen::ControlId id, const std::string& utf8) override;
    void Check(screen::ControlId id) override;
    void SetScrollBar(screen::ControlId id, screen::ScrollBarState state) override;
    void SetProgress(int value) override;
    int Progress() const override;
    void ShowWatchList(const std::vector<std::string>& lines) override;
    watchlist::ListBoxState WatchListBox() const override;
    void SelectWatchRow(int row) override;
    void ShowSimulationControls(bool active, const std::string& date) override;
    void FocusCodeBox() override;
    void ShowControl(screen::ControlId id, bool visible) override;
    void PlaceControl(screen::ControlId id, int x, int y, int width, int height) override;
    bool DrawPicture(ui::Canvas& canvas, const std::string& path, int x, int y) override;
    screen::FinderChoice RunCodeFinder(const data::CodeTable& codes, const std::string& typed) override;
    void RunIndicatorSettings(indicators::IndicatorState& indicators) override;
    void RunWeightsEditor(sectors::FactorWeights& top, sectors::FactorWeights& bottom) override;
    screen::DataChanges RunDataPage(screen::DataPage page, data::Workspace& workspace,
                                    data::MarketState& market, std::atomic<bool>& busy) override;

    void CreateControls();
    QWidget* CreateControl(const screen::ControlSpec& control, QButtonGroup* themes,
                           QButtonGroup* adjustments);
    void CreateScrollBars();
    void CreateSimulationBar();
    void CreateBoardFields();
    void CreateWatchList();
    void ApplyStartupControlValues();
    // Paints what the controller has pending.
    void Sync();

    std::string m_dataRoot;
    std::unique_ptr<base::Prompter> m_ownPrompter;
    base::Prompter* m_prompter;
    QtCanvas m_canvas;
    screen::ScreenController m_controller;
    std::map<screen::ControlId, QWidget*> m_controls;
    std::map<screen::ControlId, QScrollBar*> m_scrollBars;
    std::map<std::string, QWidget*> m_simulationControls;
    QListWidget* m_watchList = nullptr;
    QTimer* m_progressTimer = nullptr;
    QTimer* m_clockTimer = nullptr;
};

}  // namespace app
