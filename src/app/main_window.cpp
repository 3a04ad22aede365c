#include "app/main_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <ctime>

#include "app/code_find_dialog.h"
#include "app/qt_prompter.h"
#include "app/setup_dialog.h"
#include "base/file_io.h"
#include "data/paths.h"

namespace app {
namespace {

using screen::ControlId;

std::optional<screen::Key> KeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_PageUp: return screen::Key::PageUp;
        case Qt::Key_PageDown: return screen::Key::PageDown;
        case Qt::Key_Home: return screen::Key::Home;
        case Qt::Key_End: return screen::Key::End;
        case Qt::Key_Left: return screen::Key::Left;
        case Qt::Key_Right: return screen::Key::Right;
        case Qt::Key_Up: return screen::Key::Up;
        case Qt::Key_Down: return screen::Key::Down;
        case Qt::Key_F1: return screen::Key::F1;
        case Qt::Key_F2: return screen::Key::F2;
        case Qt::Key_F3: return screen::Key::F3;
        case Qt::Key_F4: return screen::Key::F4;
        case Qt::Key_F11: return screen::Key::F11;
        default: return std::nullopt;
    }
}

}  // namespace

CMainDlg::CMainDlg(std::string dataRoot, base::Prompter* prompter, QWidget* parent)
    : QDialog(parent), m_dataRoot(std::move(dataRoot)), m_prompter(prompter),
      m_canvas(ui::kCanvasWidth, ui::kCanvasHeight, WindowCanvasScale()),
      m_controller(*this, m_canvas) {
    if (!m_prompter) {
        m_ownPrompter = std::make_unique<QtPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }
    setWindowTitle(QStringLiteral("板块擎宇V2.0"));
    setFixedSize(ui::kCanvasWidth, ui::kCanvasHeight);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(236, 233, 216));
    setPalette(palette);
    setAutoFillBackground(true);
    setMouseTracking(true);
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::Initialise() {
    // A second copy is refused before anything is set up.
    if (!m_controller.AcquireLock(m_dataRoot)) return false;
    CreateControls();
    ApplyStartupControlValues();
    if (!m_controller.Start(m_dataRoot, std::time(nullptr))) return false;
    m_progressTimer = new QTimer(this);
    connect(m_progressTimer, &QTimer::timeout, this,
            [this] { Run([](auto& c) { c.Tick(screen::Timer::Progress); }); });
    m_progressTimer->start(10);
    m_clockTimer = new QTimer(this);
    connect(m_clockTimer, &QTimer::timeout, this,
            [this] { Run([](auto& c) { c.Tick(screen::Timer::Clock); }); });
    m_clockTimer->start(1000);
    Sync();
    return true;
}

void CMainDlg::Sync() {
    if (m_controller.Pending() == screen::Invalidation::None) return;
    m_controller.Render();
    repaint();
}

QWidget* CMainDlg::Control(ControlId id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QScrollBar* CMainDlg::ScrollBar(ControlId id) const {
    auto it = m_scrollBars.find(id);
    return it == m_scrollBars.end() ? nullptr : it->second;
}

QWidget* CMainDlg::SimulationControl(const std::string& name) const {
    auto it = m_simulationControls.find(name);
    return it == m_simulationControls.end() ? nullptr : it->second;
}

// ---- screen::ScreenHost -------------------------------------------------------------

std::string CMainDlg::Text(ControlId id) const {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    return edit ? edit->text().toStdString() : std::string();
}

void CMainDlg::SetText(ControlId id, const std::string& utf8) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    if (!edit) return;
    edit->setText(QString::fromStdString(utf8));
    // A code shown in the full code box is selected, so typing replaces it.
    if (id == ControlId::CodeBox) edit->selectAll();
}

void CMainDlg::Check(ControlId id) {
    if (auto* radio = qobject_cast<QRadioButton*>(Control(id))) radio->setChecked(true);
}

void CMainDlg::SetScrollBar(ControlId id, screen::ScrollBarState state) {
    QScrollBar* bar = ScrollBar(id);
    if (!bar) return;
    const QSignalBlocker quiet(bar);
    bar->setRange(0, std::max(0, state.pages - 1));
    bar->setPageStep(1);
    bar->setValue(state.page);
    bar->setVisible(state.pages > 1);
}

void CMainDlg::SetProgress(int value) {
    static_cast<QProgressBar*>(Control(ControlId::Progress))->setValue(value);
}

int CMainDlg::Progress() const {
    return static_cast<QProgressBar*>(Control(ControlId::Progress))->value();
}

void CMainDlg::ShowWatchList(const std::vector<std::string>& lines) {
    m_watchList->clear();
    const int rowHeight = screen::kWatchListPlace.height / watchlist::kPageRows;
    for (const std::string& line : lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line), m_watchList);
        item->setSizeHint(QSize(screen::kWatchListPlace.width, rowHeight));
    }
}

watchlist::ListBoxState CMainDlg::WatchListBox() const {
    const QModelIndex top = m_watchList->indexAt(QPoint(1, 1));
    return {m_watchList->currentRow(), top.isValid() ? top.row() : 0};
}

void CMainDlg::SelectWatchRow(int row) {
    if (row < 0 || row >= m_watchList->count()) {
        m_watchList->setCurrentRow(-1);
        return;
    }
    m_watchList->setCurrentRow(row);
    m_watchList->scrollToItem(m_watchList->item(row));
}

void CMainDlg::ShowSimulationControls(bool active, const std::string& date) {
    for (auto& [name, widget] : m_simulationControls) widget->setVisible((name == "enter") != active);
    if (active) static_cast<QLineEdit*>(SimulationControl("date"))->setText(QString::fromStdString(date));
}

void CMainDlg::FocusCodeBox() {
    if (QWidget* box = Control(ControlId::CodeBox)) box->setFocus(Qt::OtherFocusReason);
}

void CMainDlg::ShowControl(ControlId id, bool visible) {
    if (QWidget* control = Control(id)) control->setVisible(visible);
}

// The window draws on its own canvas, which is the one the controller has.
bool CMainDlg::DrawPicture(ui::Canvas&, const std::string& path, int x, int y) {
    if (!base::FileExists(path)) return false;
    const QImage picture(QString::fromStdString(path));
    if (picture.isNull()) {
        m_prompter->ShowMessage("Error Loading Picture From Stream!", "");
        return true;
    }
    m_canvas.DrawImage(picture, x, y);
    return true;
}

void CMainDlg::PlaceControl(ControlId id, int x, int y, int width, int height) {
    if (QWidget* control = Control(id)) control->setGeometry(x, y, width, height);
}

screen::FinderChoice CMainDlg::RunCodeFinder(const data::CodeTable& codes, const std::string& typed) {
    CCodeFindDlg finder(codes, typed, *m_prompter, this);
    finder.exec();
    return {finder.ChosenCode(), finder.ChosenIndicator()};
}

void CMainDlg::RunIndicatorSettings(indicators::IndicatorState& indicators) {
    CSetupDlg dialog(mapToGlobal(QPoint(0, 0)), indicators, *m_prompter, this);
    dialog.exec();
}

void CMainDlg::RunWeightsEditor(sectors::FactorWeights& top, sectors::FactorWeights& bottom) {
    CSetupDlg dialog(mapToGlobal(QPoint(0, 0)), top, bottom, this);
    dialog.exec();
    FocusCodeBox();
}

screen::DataChanges CMainDlg::RunDataPage(screen::DataPage page, data::Workspace& workspace,
                                          data::MarketState& market, std::atomic<bool>& busy) {
    const SetupMode mode = page == screen::DataPage::Install ? SetupMode::Install : SetupMode::Download;
    CSetupDlg dialog(mode, mapToGlobal(QPoint(0, 0)), {workspace, market, *m_prompter, busy}, this);
    dialog.exec();
    return dialog.Changes();
}

// ---- Qt events ------------------------------------------------------------------------

void CMainDlg::HandleClick(int x, int y) { Run([&](auto& c) { c.Click(x, y); }); }

void CMainDlg::HandleMouseMove(int x, int y) { Run([&](auto& c) { c.MouseMove(x, y); }); }

bool CMainDlg::HandleChartKey(int qtKey) {
    const auto key = KeyOf(qtKey);
    return key && Run([&](auto& c) { return c.PressKey(*key); });
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    // The key pre-translation: chart keys typed into the code box reach the chart.
    if (event->type() == QEvent::KeyPress && watched == Control(ControlId::CodeBox)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || HandleChartKey(key)) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Escape is taken and does nothing: the window is left by 退出 or closing it.
    if (event->key() == Qt::Key_Escape || HandleChartKey(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMainDlg::paintEvent(QPaintEvent*) {
    // The canvas always holds the whole screen as it should look.
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas.Image());
}

void CMainDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    HandleClick(p.x(), p.y());
}

void CMainDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    HandleMouseMove(p.x(), p.y());
}

void CMainDlg::reject() {
    if (!m_controller.RequestExit()) return;
    if (m_progressTimer) m_progressTimer->stop();
    if (m_clockTimer) m_clockTimer->stop();
    QDialog::reject();
}

}  // namespace app
