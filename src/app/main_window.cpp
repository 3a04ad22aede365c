#include "app/main_window.h"

#include <QButtonGroup>
#include <QThread>
#include <QKeyEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <cstdlib>
#include <ctime>

#include "app/code_find_dialog.h"
#include "app/controls.h"
#include "app/install_page.h"
#include "app/qt_prompter.h"
#include "app/setup_dialog.h"
#include "base/gbk.h"
#include "data/code_table.h"
#include "data/examples.h"
#include "data/settings.h"
#include "chart/small_charts.h"
#include "chart/tab_row.h"
#include "sectors/sector_files.h"
#include "picking/simulation.h"
#include "ui/drawing.h"

namespace app {
namespace {

constexpr ui::Rgb kClockBorder{0, 0, 0};
constexpr ui::Rgb kClockFill{0, 16, 0};
constexpr ui::Rgb kClockText{51, 255, 51};
constexpr int kUpperLeft = 1, kUpperRight = 1022, kUpperTop = 26, kUpperBottom = 380;
constexpr int kLowerTop = 380;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

CMainDlg::CMainDlg(std::string dataRoot, base::Prompter* prompter, QWidget* parent)
    : QDialog(parent), m_dataRoot(std::move(dataRoot)), m_prompter(prompter) {
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
    m_strip = ui::MainStrip();
}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::Initialise() {
    const data::DataPaths paths = data::BuildDataPaths(m_dataRoot);
    m_lock = data::AcquireSingleInstance(paths, *m_prompter);
    if (!m_lock) return false;
    CreateControls();
    if (data::RunStartup(m_workspace, m_dataRoot, *m_prompter, std::time(nullptr), m_market) !=
        data::StartupOutcome::Ready)
        return false;
    FillWatchList();
    ApplyStartupControlValues();
    m_chart = std::make_unique<ChartScreen>(m_workspace, m_market, *m_prompter);
    m_progressTimer = new QTimer(this);
    connect(m_progressTimer, &QTimer::timeout, this, &CMainDlg::OnProgressTimer);
    m_progressTimer->start(10);
    m_clockTimer = new QTimer(this);
    connect(m_clockTimer, &QTimer::timeout, this, &CMainDlg::OnClockTimer);
    m_clockTimer->start(1000);
    m_currentDate = m_market.index.lastDate;
    bool thresholdOk = false;
    const int32_t threshold = ReadThreshold(&thresholdOk);
    if (thresholdOk) m_sectorPage.threshold = threshold;
    DrawInitialLayout();
    RequestFullRepaint();
    FocusCodeBox();
    return true;
}

void CMainDlg::CreateControls() {
    auto* themeGroup = new QButtonGroup(this);
    auto* adjustGroup = new QButtonGroup(this);
    for (const ControlSpec& placement : kControlSpecs) {
        QWidget* widget = nullptr;
        switch (placement.kind) {
            case ControlKind::Button: {
                auto* button = new QPushButton(Utf8(placement.caption), this);
                button->setFocusPolicy(Qt::NoFocus);  // the code box keeps the keys
                const int id = placement.id;
                connect(button, &QPushButton::clicked, this, [this, id] { OnButton(id); });
                widget = button;
                break;
            }
            case ControlKind::BitmapButton: {
                auto* button = new QPushButton(this);
                const std::string_view picture =
                    placement.id == kIdExit ? kExitButtonPicture : kDataButtonPicture;
                const QString file = Utf8(data::BuildDataPaths(m_dataRoot).root) + Utf8(picture);
                QPixmap pixmap(file);
                if (pixmap.isNull()) {
                    button->setText(Utf8(placement.caption));
                } else {
                    button->setIcon(pixmap);
                    button->setIconSize(pixmap.size());
                }
                if (placement.id == kIdExit) connect(button, &QPushButton::clicked, this, &CMainDlg::reject);
                if (placement.id == kIdDataButton)
                    connect(button, &QPushButton::clicked, this, &CMainDlg::OnDataButton);
                widget = button;
                break;
            }
            case ControlKind::Radio: {
                auto* radio = new QRadioButton(Utf8(placement.caption), this);
                radio->setFocusPolicy(Qt::NoFocus);
                (placement.radioGroup == 1 ? themeGroup : adjustGroup)->addButton(radio, placement.id);
                const int id = placement.id;
                connect(radio, &QRadioButton::clicked, this, [this, id] { OnRadio(id); });
                widget = radio;
                break;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(Utf8(placement.caption), this);
                edit->setMaxLength(placement.maxLength);
                if (placement.id == kIdCodeBox) {
                    connect(edit, &QLineEdit::textEdited, this, &CMainDlg::OnCodeBoxChanged);
                    edit->installEventFilter(this);
                }
                widget = edit;
                break;
            }
            case ControlKind::Progress: {
                auto* bar = new QProgressBar(this);
                bar->setTextVisible(false);
                widget = bar;
                break;
            }
        }
        widget->setGeometry(placement.x, placement.y, placement.width, placement.height);
        widget->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
        m_controls[placement.id] = widget;
    }
    for (int id : kScrollBarIds) {
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->hide();  // shown by the lists that use them
        m_scrollBars[id] = bar;
    }
    // The ranking pages ten sectors at a time, the member list nine members.
    QScrollBar* ranking = m_scrollBars[1096];
    ranking->setGeometry(523, 444, 12, 180);
    connect(ranking, &QScrollBar::valueChanged, this, [this](int value) {
        m_sectorPage.firstRank = value * kRankRows + 1;
        RedrawSectorPage();
    });
    QScrollBar* members = m_scrollBars[1098];
    members->setGeometry(690, 458, 12, 164);
    connect(members, &QScrollBar::valueChanged, this, [this](int value) {
        m_sectorPage.firstMember = value * kMemberRows;
        RedrawSectorPage();
    });
    CreateSimulationBar();
    m_watchList = new QListWidget(this);
    // Under its caption at (761, 436), beside its K/8/↑/↓/× buttons.
    m_watchList->setGeometry(752, 452, 78, 216);
    m_watchList->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
    m_controls[kIdWatchList] = m_watchList;
}

void CMainDlg::ApplyStartupControlValues() {
    static_cast<QRadioButton*>(Control(kIdClassicTheme))->setChecked(true);
    static_cast<QRadioButton*>(Control(kIdRaw))->setChecked(true);
    for (auto& [id, bar] : m_scrollBars) {
        bar->setRange(0, kScrollBarMaximum);
        bar->setPageStep(kScrollBarPage);
        bar->setValue(0);
    }
    auto* progress = static_cast<QProgressBar*>(Control(kIdProgress));
    progress->setRange(0, 200);
    progress->setValue(0);
    progress->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px solid #808080; background: white; }"
        "QProgressBar::chunk { background-color: rgb(0, 0, 230); }"));
}

void CMainDlg::FillWatchList() {
    m_watchList->clear();
    data::CodeTable codes(m_workspace.CodeTableRegion());
    for (const std::string& line : data::WatchListLines(m_market.settings, codes))
        m_watchList->addItem(QString::fromStdString(base::GbkToUtf8(line)));
}

QWidget* CMainDlg::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QScrollBar* CMainDlg::ScrollBar(int id) const {
    auto it = m_scrollBars.find(id);
    return it == m_scrollBars.end() ? nullptr : it->second;
}

void CMainDlg::FocusCodeBox() {
    if (QWidget* box = Control(kIdCodeBox)) box->setFocus(Qt::OtherFocusReason);
}

void CMainDlg::OnCodeBoxChanged(const QString& text) {
    const std::string typed = text.toStdString();
    if (!data::OpensFinder(typed)) return;
    data::CodeTable codes(m_workspace.CodeTableRegion());
    CCodeFindDlg finder(codes, typed, *m_prompter, this);
    finder.exec();
    static_cast<QLineEdit*>(Control(kIdCodeBox))->clear();
    m_lastFinderCode = finder.ChosenCode();
    m_lastFinderIndicator = finder.ChosenIndicator();
    if (m_lastFinderCode != 0) {
        OpenSecurity(m_lastFinderCode);
    } else if (m_lastFinderIndicator != 0 && m_chart->Indicators().Select(m_lastFinderIndicator)) {
        m_chart->Page().Model().RequestFullRedraw();
        RequestFullRepaint();
    }
}

bool CMainDlg::OpenSecurity(uint32_t code, const chart::OpenRequest& request) {
    if (!m_chart || !m_chart->Open(code, request)) return false;
    ShowChartScreen();
    return true;
}

void CMainDlg::UseSimulationDate(uint32_t date) {
    m_market.simulation.active = date != 0;
    if (date != 0) m_market.simulation.date = date;
}

void CMainDlg::ShowChartScreen() {
    if (m_screenMode != ScreenMode::Chart) {
        // Whatever the text page left in the work area goes.
        ui::FillBox(m_canvas, kUpperLeft, kUpperTop - 25, kUpperRight, kUpperBottom, ui::kPanelBeige);
        m_screenMode = ScreenMode::Chart;
        m_helpTopic.reset();
    }
    m_chart->Page().Model().RequestFullRedraw();
    ApplyStripMask();
    RequestFullRepaint();
}

void CMainDlg::ApplyStripMask() {
    m_strip.mask = ui::kSectorHomeMask;
    // The lower-panel arrows beside the chart belong to the chart screen.
    if (m_screenMode == ScreenMode::Chart) m_strip.mask |= ui::kChartOnlyButtons;
    ui::ApplyMainStripMask(m_strip, static_cast<int>(m_screenMode));
    ui::DrawButtonStrip(m_canvas, m_strip);
    m_hover.Reset();
}

void CMainDlg::OnButton(int id) {
    using chart::NavButton;
    const bool chartShown = m_screenMode == ScreenMode::Chart && m_chart && m_chart->HasSecurity();
    auto navigate = [&](NavButton button) {
        if (chartShown && m_chart->Page().Navigate(button)) RequestFullRepaint();
    };
    switch (id) {
        case 1013: OpenSecurity(data::kShanghaiIndexCode); break;
        case 1014: OpenSecurity(data::kShenzhenIndexCode); break;
        case 1019: navigate(NavButton::First); break;
        case 1024: navigate(NavButton::PageBack); break;
        case 1010: navigate(NavButton::Back); break;
        case 1006: navigate(NavButton::ZoomIn); break;
        case 1007: navigate(NavButton::ZoomOut); break;
        case 1018: navigate(NavButton::Forward); break;
        case 1025: navigate(NavButton::PageForward); break;
        case 1008: navigate(NavButton::Last); break;
        case 1026:
        case 1020:
        case 1021:
            if (chartShown) {
                m_chart->SetPeriod(id == 1026   ? data::Period::Daily
                                   : id == 1020 ? data::Period::Weekly
                                                : data::Period::Monthly);
                RequestFullRepaint();
            }
            break;
        case 1052:
        case 1053:
            if (chartShown) HandleChartKey(id == 1052 ? Qt::Key_PageUp : Qt::Key_PageDown);
            break;
        case 1042: OpenIndicatorSettings(); break;
        case 1045:  // the picked list's eight
            if (m_sectorPage.outcome) {
                std::vector<uint32_t> codes;
                for (const auto& e : m_sectorPage.outcome->selected) codes.push_back(e.code);
                ShowSmallCharts(std::move(codes));
            }
            break;
        case 1037: {  // the watch list's eight
            std::vector<uint32_t> codes;
            for (int row = 0; row + 1 < m_watchList->count(); row += 2)
                codes.push_back(m_watchList->item(row)->text().left(6).toUInt());
            ShowSmallCharts(std::move(codes));
            break;
        }
        case 1032: ShowHelp(ui::HelpTopic::General); break;
        default: break;
    }
    FocusCodeBox();
}

void CMainDlg::OnRadio(int id) {
    if (!m_chart) return;
    const bool chartScreens =
        m_screenMode == ScreenMode::Chart || m_screenMode == ScreenMode::SmallCharts;
    if (id == kIdClassicTheme || id == kIdRegularTheme) {
        if (chartScreens &&
            m_chart->SetTheme(id == kIdClassicTheme ? ui::ThemeId::ClassicBlack : ui::ThemeId::Regular))
            RequestFullRepaint();
    } else if (chartScreens) {
        const data::AdjustMode mode = id == kIdForward    ? data::AdjustMode::Forward
                                      : id == kIdBackward ? data::AdjustMode::Backward
                                                          : data::AdjustMode::None;
        if (m_chart->SetAdjustMode(mode)) RequestFullRepaint();
    }
    FocusCodeBox();
}

void CMainDlg::OpenIndicatorSettings() {
    if (!m_chart) return;
    CSetupDlg dialog(mapToGlobal(QPoint(0, 0)), m_chart->Indicators(), *m_prompter, this);
    dialog.exec();
    FocusCodeBox();
    m_chart->Page().Model().RequestFullRedraw();
    RequestRepaint();
}

void CMainDlg::OpenWeightsEditor() {
    CSetupDlg dialog(mapToGlobal(QPoint(0, 0)), m_topWeights, m_bottomWeights, this);
    dialog.exec();
    FocusCodeBox();
}

bool CMainDlg::HandleChartKey(int qtKey) {
    if (m_screenMode != ScreenMode::Chart || !m_chart || !m_chart->HasSecurity()) return false;
    using chart::ChartKey;
    std::optional<ChartKey> key;
    switch (qtKey) {
        case Qt::Key_PageUp: key = ChartKey::PageUp; break;
        case Qt::Key_PageDown: key = ChartKey::PageDown; break;
        case Qt::Key_Home: key = ChartKey::Home; break;
        case Qt::Key_End: key = ChartKey::End; break;
        case Qt::Key_Left: key = ChartKey::Left; break;
        case Qt::Key_Right: key = ChartKey::Right; break;
        case Qt::Key_Up: key = ChartKey::Up; break;
        case Qt::Key_Down: key = ChartKey::Down; break;
        case Qt::Key_F1: key = ChartKey::F1; break;
        case Qt::Key_F2: key = ChartKey::F2; break;
        case Qt::Key_F3: key = ChartKey::F3; break;
        case Qt::Key_F4: key = ChartKey::F4; break;
        case Qt::Key_F11: key = ChartKey::F11; break;
        default: return false;
    }
    switch (m_chart->Page().HandleKey(*key)) {
        case chart::ChartRequest::NotConsumed: return false;
        case chart::ChartRequest::None: return true;
        case chart::ChartRequest::FullRedraw: RequestFullRepaint(); return true;
        case chart::ChartRequest::CursorMoved: RequestRepaint(); return true;
        case chart::ChartRequest::CursorLeft: RequestFullRepaint(); return true;
        case chart::ChartRequest::OpenShanghaiIndex: OpenSecurity(data::kShanghaiIndexCode); return true;
        case chart::ChartRequest::OpenShenzhenIndex: OpenSecurity(data::kShenzhenIndexCode); return true;
        case chart::ChartRequest::PreviousStock:
        case chart::ChartRequest::NextStock: {
            data::CodeTable codes(m_workspace.CodeTableRegion());
            const auto direction = *key == ChartKey::PageUp ? data::Direction::Previous
                                                            : data::Direction::Next;
            const auto next = data::NeighbourStock(
                codes, m_chart->Stock().code, direction,
                [this](uint32_t code) { return data::DayFileExists(m_market.paths, code); });
            if (next) OpenSecurity(*next);
            return true;
        }
        case chart::ChartRequest::OpenInstallPage: OpenInstallPage(); return true;
    }
    return true;
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    // The key pre-translation: chart keys typed into the code box reach the chart.
    if (event->type() == QEvent::KeyPress && watched == Control(kIdCodeBox)) {
        if (HandleChartKey(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    if (HandleChartKey(event->key())) return;
    QDialog::keyPressEvent(event);
}

// ---- drawing -------------------------------------------------------------

void CMainDlg::DrawInitialLayout() {
    ui::FillBox(m_canvas, 0, 0, ui::kCanvasWidth, ui::kCanvasHeight, ui::kPanelBeige);
    DrawSectorPageFrame();
    // The upper work area opens on the market index, as on the big terminals.
    if (!OpenSecurity(m_market.index.code)) ShowHelp(ui::HelpTopic::General);
}

void CMainDlg::DrawSectorPageFrame() {
    ui::FillBox(m_canvas, 0, kLowerTop, ui::kCanvasWidth, ui::kCanvasHeight, ui::kPanelBeige);
    ui::DrawLine(m_canvas, 0, kLowerTop + 27, ui::kCanvasWidth, kLowerTop + 27, {160, 160, 160});
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_sectorPage.Draw(m_canvas, codes);
    ApplyStripMask();  // the buttons sit on the page's panels
    DrawClockBox();
}

void CMainDlg::RedrawSectorPage() {
    data::CodeTable codes(m_workspace.CodeTableRegion());
    DrawSimulationBar();  // first: the ranking's title shares its line
    m_sectorPage.Draw(m_canvas, codes);
    ApplyStripMask();
    RequestRepaint();
}

void CMainDlg::ChooseMarket(picking::CandidateMarket market) {
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_candidates.codes = picking::SelectCandidates(codes, market);
    m_candidates.market = market;
    m_candidates.fileName.clear();
    m_sectorPage.market = market;
    m_sectorPage.candidateCount = m_candidates.codes.size();
    RedrawSectorPage();
}

bool CMainDlg::LoadCandidateList(const std::string& path) {
    const auto outcome = picking::LoadCandidatePath(path, *m_prompter, m_candidates);
    m_sectorPage.market = picking::CandidateMarket::File;
    m_sectorPage.listFileName = m_candidates.fileName;
    m_sectorPage.candidateCount = m_candidates.codes.size();
    RedrawSectorPage();
    return outcome == picking::LoadOutcome::Loaded;
}

void CMainDlg::ChooseScanType(sectors::ScanType type) {
    m_sectorPage.type = type;
    // A new type discards the previous result.
    m_scan.ClearOutcome();
    m_sectorPage.outcome = nullptr;
    m_sectorPage.highlightedRank = 0;
    m_sectorPage.members.clear();
    m_sectorPage.selectedMember = -1;
    m_sectorPage.firstRank = 1;
    UpdateListScrollBars();
    bool ok = false;
    const int32_t threshold = ReadThreshold(&ok);
    if (ok) m_sectorPage.threshold = threshold;
    RedrawSectorPage();
}

int32_t CMainDlg::ReadThreshold(bool* ok) {
    auto text = [this](int id) { return static_cast<QLineEdit*>(Control(id))->text().toStdString(); };
    std::optional<int32_t> value;
    switch (m_sectorPage.type) {
        case sectors::ScanType::Hot: value = sectors::ThresholdFromFields(text(1061), text(1075)); break;
        case sectors::ScanType::Fund: value = sectors::ParseThreshold(sectors::ScanType::Fund, text(1070)); break;
        case sectors::ScanType::Fall: value = sectors::ThresholdFromFields(text(1064), text(1089)); break;
    }
    *ok = value.has_value();
    return value.value_or(0);
}

bool CMainDlg::StartScan() {
    if (m_run.Busy()) return false;
    bool ok = false;
    const int32_t threshold = ReadThreshold(&ok);
    if (ok) m_sectorPage.threshold = threshold;
    m_sectorPage.DrawScanCaption(m_canvas);
    RequestRepaint();
    sectors::ScanSettings settings;
    settings.type = m_sectorPage.type;
    settings.threshold = m_sectorPage.threshold;
    settings.weights = sectors::RankWeights::FromLibrary(m_market.sectorHeader);
    const auto entry = sectors::StartSectorScan(m_candidates.codes.size(), settings, *m_prompter);
    if (!entry) return false;
    // The scan's own condition is the single method entry, as the picking page would show it.
    m_methods.ReplaceWithSingle(*entry);
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_scanCodes = std::make_unique<data::CodeTable>(codes);
    const picking::MarketInputs inputs = picking::MarketInputsOf(m_workspace, m_market, *m_scanCodes);
    const sectors::SectorLibrary library(
        m_workspace.Bytes(data::BufferId::SectorLibrary).first(m_market.sectorLibraryBytes));
    picking::RunContext context = m_scan.PrepareRun(inputs, library, settings, m_candidates.codes,
                                                    picking::SimulationCutoff(m_market.simulation));
    auto* progress = static_cast<QProgressBar*>(Control(kIdProgress));
    progress->setValue(0);
    if (!m_run.Start(std::move(context), *m_prompter)) return false;
    m_progress.busy = true;
    return true;
}

void CMainDlg::WaitForScan() {
    while (m_run.Busy()) QThread::msleep(2);
    if (m_run.Finished()) FinishScan();
}

void CMainDlg::FinishScan() {
    auto outcome = m_run.Finish(*m_prompter);
    m_progress.busy = false;
    if (!outcome) return;
    m_scan.Publish(outcome->results);
    auto* progress = static_cast<QProgressBar*>(Control(kIdProgress));
    if (outcome->progressToEnd) progress->setValue(200);
    m_sectorPage.outcome = &m_scan.Outcome();
    m_sectorPage.pickedCount = outcome->results.selected.size();
    m_sectorPage.simulation = m_market.simulation.active;
    m_sectorPage.firstRank = 1;
    m_sectorPage.highlightedRank = 0;
    if (m_sectorPage.RankCount() > 0) {
        ChooseSector(1);
    } else {
        m_sectorPage.members.clear();
        UpdateListScrollBars();
        RedrawSectorPage();
    }
}

// The simulation bar sits in the line under the chart buttons, where the
// ranking's title goes when no simulation is on.
void CMainDlg::CreateSimulationBar() {
    auto button = [this](const char* name, const QString& caption, int x, int width) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(x, 410, width, 18);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
        m_simulationControls[name] = b;
        return b;
    };
    connect(button("enter", QStringLiteral("进入模拟"), 150, 60), &QPushButton::clicked, this,
            [this] { EnterSimulationMode(); });
    auto* edit = new QLineEdit(this);
    edit->setGeometry(300, 410, 66, 18);
    edit->setMaxLength(8);
    edit->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
    m_simulationControls["date"] = edit;
    connect(button("confirm", QStringLiteral("确定"), 368, 32), &QPushButton::clicked, this,
            [this, edit] { ConfirmSimulation(edit->text().toStdString()); });
    const struct {
        const char* name;
        const char* caption;
        int step;
        int x;
    } steps[] = {{"-10", "-10", -10, 402}, {"-1", "-1", -1, 430}, {"+1", "+1", 1, 454}, {"+10", "+10", 10, 478}};
    for (const auto& s : steps) {
        const int step = s.step;
        connect(button(s.name, QString::fromUtf8(s.caption), s.x, s.step == 10 || s.step == -10 ? 26 : 22),
                &QPushButton::clicked, this, [this, step] { StepSimulation(step); });
    }
    connect(button("exit", QStringLiteral("退出模拟"), 506, 60), &QPushButton::clicked, this,
            [this] { ExitSimulationMode(); });
    for (auto& [name, widget] : m_simulationControls)
        if (name != "enter") widget->hide();
}

QWidget* CMainDlg::SimulationControl(const std::string& name) const {
    auto it = m_simulationControls.find(name);
    return it == m_simulationControls.end() ? nullptr : it->second;
}

void CMainDlg::DrawSimulationBar() {
    ui::FillBox(m_canvas, 148, 408, 592, 430, ui::kPanelBeige);
    if (!m_market.simulation.active) return;
    const std::string text = "当前模拟日期：" + std::to_string(m_market.simulation.date);
    ui::DrawTextAt(m_canvas, 12, 150, 413, {200, 0, 0}, base::Utf8ToGbk(text));
}

void CMainDlg::EnterSimulationMode() {
    const std::string text = picking::EnterSimulation(m_market.simulation);
    auto* edit = static_cast<QLineEdit*>(SimulationControl("date"));
    edit->setText(QString::fromStdString(text));
    for (auto& [name, widget] : m_simulationControls) widget->setVisible(name != "enter");
    AfterSimulationChange();
}

void CMainDlg::ConfirmSimulation(const std::string& typed) {
    if (picking::ConfirmSimulationDate(typed, m_market.simulation, m_market.index, *m_prompter) ==
        picking::DateChange::Changed)
        AfterSimulationChange();
}

void CMainDlg::StepSimulation(int step) {
    const data::SeriesView index = m_market.index.View(m_workspace.Words(data::BufferId::Index));
    if (picking::StepSimulationDate(step, m_market.simulation, index, m_market.index) ==
        picking::DateChange::Changed) {
        static_cast<QLineEdit*>(SimulationControl("date"))
            ->setText(QString::number(m_market.simulation.date));
        AfterSimulationChange();
    }
}

void CMainDlg::ExitSimulationMode() {
    picking::ExitSimulation(m_market.simulation);
    for (auto& [name, widget] : m_simulationControls) widget->setVisible(name == "enter");
    AfterSimulationChange();
}

// The chart on screen is read again up to the new date (or to its end).
void CMainDlg::AfterSimulationChange() {
    m_sectorPage.simulation = m_market.simulation.active;
    if (m_screenMode == ScreenMode::Chart && m_chart && m_chart->HasSecurity()) {
        const data::Period period = m_chart->Period();
        chart::OpenRequest request;
        request.keepZoom = true;
        if (m_chart->Open(m_chart->Stock().code, request) && period != data::Period::Daily)
            m_chart->SetPeriod(period);
        m_chart->Page().Model().RequestFullRedraw();
    }
    RedrawSectorPage();
    RequestFullRepaint();
}

void CMainDlg::ShowTextPage(const std::string& titleGbk, const std::string& bodyGbk) {
    m_screenMode = ScreenMode::TextPage;
    m_helpTopic.reset();
    ui::FillBox(m_canvas, kUpperLeft, 1, kUpperRight, kUpperBottom, ui::kPanelBeige);
    ui::DrawPageFrame(m_canvas, ui::kHelpFrameLeft, ui::kHelpFrameTop, ui::kHelpFrameRight,
                      ui::kHelpFrameBottom, ui::kHelpFrameColour, ui::CodeEntryHint::Shown);
    const std::string text = "/c120000000" + std::string(30, ' ') + titleGbk + "/n/n/c000000090" + bodyGbk;
    m_lastTextLayout = ui::kHelpPageLayout;
    ui::DrawMarkupText(m_canvas, text, m_lastTextLayout);
    ApplyStripMask();
    RequestFullRepaint();
}

void CMainDlg::ShowSectorTrend() {
    const auto& outcome = m_scan.Outcome();
    if (m_sectorPage.RankCount() == 0 || m_sectorPage.highlightedRank == 0) {
        m_prompter->ShowMessage(std::string(sectors::kNoSectorMessage), "提示");
        return;
    }
    sectors::TrendInputs inputs;
    inputs.paths = m_market.paths;
    inputs.index = m_market.index.View(m_workspace.Words(data::BufferId::Index));
    inputs.exRights = &m_market.exRights;
    inputs.scanDate = outcome.referenceDate != 0 ? outcome.referenceDate : data::kNoSimulationCutoff;
    inputs.members = m_sectorPage.members;
    if (sectors::BuildSectorTrend(inputs, *m_prompter) == 0) return;
    OpenSecurity(data::kSectorTrendCode);
}

void CMainDlg::SaveHighlightedSector() {
    if (m_sectorPage.RankCount() == 0 || m_sectorPage.highlightedRank == 0) {
        m_prompter->ShowMessage(std::string(sectors::kNoSectorMessage), "提示");
        return;
    }
    data::CodeTable codes(m_workspace.CodeTableRegion());
    sectors::SaveInputs inputs;
    inputs.dataRoot = m_market.paths.root;
    inputs.type = m_sectorPage.type;
    inputs.sectorNameGbk =
        m_scan.Outcome().Result().ResultSectorName(static_cast<size_t>(m_sectorPage.highlightedRank));
    inputs.scanDate = m_scan.Outcome().referenceDate;
    inputs.members = m_sectorPage.members;
    inputs.codes = &codes;
    sectors::SaveSectorList(inputs, *m_prompter);
}

void CMainDlg::AddMemberToWatchList() {
    if (m_sectorPage.selectedMember < 0 ||
        m_sectorPage.selectedMember >= static_cast<int>(m_sectorPage.members.size()))
        return;
    const uint32_t code = m_sectorPage.members[static_cast<size_t>(m_sectorPage.selectedMember)].code;
    const QString codeText = QString::fromStdString(data::CodeText(code));
    for (int row = 0; row < m_watchList->count(); row += 2)
        if (m_watchList->item(row)->text() == codeText) return;  // already in the list
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_watchList->addItem(codeText);
    m_watchList->addItem(QString::fromStdString(base::GbkToUtf8(codes.StockName(code))));
}

void CMainDlg::RunEstimate(bool top) {
    const std::string typed = static_cast<QLineEdit*>(Control(1073))->text().toStdString();
    if (typed.size() != 6) return;  // only a whole six-character code is handled
    // The result lines under the box "个股顶部底部测算".
    ui::FillBox(m_canvas, 886, 568, 1020, 607, ui::kPanelBeige);
    const uint32_t code = static_cast<uint32_t>(std::strtoul(typed.c_str(), nullptr, 10));
    data::CodeTable codes(m_workspace.CodeTableRegion());
    if (codes.FindCode(code) == 0) {
        ui::DrawTextAt(m_canvas, 12, 893, 586, ui::kTextDarkBlue,
                       base::Utf8ToGbk(sectors::kEstimateUnknownCode));
        RequestRepaint();
        return;
    }
    const bool simulating = m_market.simulation.active;
    ui::DrawTextAt(m_canvas, 12, simulating ? 923 : 912, 576, ui::kTextDarkBlue,
                   data::CodeText(code));
    ui::DrawTextAt(m_canvas, 12, simulating ? 959 : 948, 576, ui::kTextDarkBlue,
                   codes.StockName(code));
    if (simulating) ui::DrawTextAt(m_canvas, 12, 887, 576, {0, 0, 200}, base::Utf8ToGbk("[模拟]"));
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
    } else {
        ui::DrawTextAt(m_canvas, 12, 896, 593, ui::kTextDarkBlue,
                       base::Utf8ToGbk(top ? "阶段顶部的概率为   % " : "阶段底部的概率为   % "));
        const int x = estimate.result >= 100 ? 992 : estimate.result < 10 ? 1000 : 996;
        ui::DrawNumberAt(m_canvas, 12, x, 593, ui::kTitleDarkRed, estimate.result);
    }
    RequestRepaint();
}

void CMainDlg::RunPropertyQuery() {
    const std::string entry = static_cast<QLineEdit*>(Control(kIdDateBox))->text().toStdString();
    data::CodeTable codes(m_workspace.CodeTableRegion());
    m_tuning.weights = sectors::RankWeights::FromLibrary(m_market.sectorHeader);
    sectors::QueryContext context{
        sectors::SectorLibrary(
            m_workspace.Bytes(data::BufferId::SectorLibrary).first(m_market.sectorLibraryBytes)),
        &codes, m_sectorPage.outcome, &m_tuning};
    const sectors::QueryAnswer answer = sectors::QuerySectorProperty(entry, context, *m_prompter);
    switch (answer.kind) {
        case sectors::QueryKind::Property:
            ShowTextPage(answer.caption, answer.propertyText);
            return;
        case sectors::QueryKind::SectorFound:
            m_sectorPage.firstRank =
                static_cast<int>((answer.rank - 1) / kRankRows * kRankRows + 1);
            ChooseSector(static_cast<int>(answer.rank));  // also moves the scroll bar
            return;
        case sectors::QueryKind::Diagnostic:
            if (m_sectorPage.outcome) {
                const sectors::DiagnosticPage page =
                    sectors::ShowDiagnosticPage(*m_sectorPage.outcome, context.library, m_tuning);
                ShowTextPage(page.headline, page.Markup());
            }
            return;
        default:
            return;
    }
}

void CMainDlg::ChoosePicked(int index) {
    if (!m_sectorPage.outcome || index < 0 ||
        index >= static_cast<int>(m_sectorPage.outcome->selected.size()))
        return;
    m_sectorPage.selectedPicked = index;
    RedrawSectorPage();
    const uint32_t code = m_sectorPage.outcome->selected[static_cast<size_t>(index)].code;
    if (data::DayFileExists(m_market.paths, code)) OpenSecurity(code);
}

void CMainDlg::ShowSmallCharts(std::vector<uint32_t> codes) {
    if (codes.size() > 8) codes.resize(8);
    m_smallChartCodes = std::move(codes);
    m_screenMode = ScreenMode::SmallCharts;
    m_helpTopic.reset();
    ui::FillBox(m_canvas, kUpperLeft, 1, kUpperRight, kUpperBottom, ui::kPanelBeige);
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
        return chart::SmallChartSource{
            area.View(adjuster), {code, codeTable.StockName(code), false, shares.total, shares.floatShares}};
    };
    chart::PaintSmallChartPage(m_canvas, m_smallChartCodes, load);
    ApplyStripMask();
    RequestFullRepaint();
}

void CMainDlg::ChooseSector(int rank) {
    if (!m_sectorPage.outcome || rank < 1 || rank > static_cast<int>(m_sectorPage.RankCount())) return;
    m_sectorPage.highlightedRank = rank;
    m_sectorPage.members = m_scan.Outcome().Result().LoadResultSector(static_cast<size_t>(rank));
    m_sectorPage.firstMember = 0;
    m_sectorPage.selectedMember = -1;
    UpdateListScrollBars();
    RedrawSectorPage();
}

// The scroll bars show only when their list has more than one page; moving
// them turns the page.
void CMainDlg::UpdateListScrollBars() {
    const int rankPages = static_cast<int>((m_sectorPage.RankCount() + kRankRows - 1) / kRankRows);
    const int memberPages =
        static_cast<int>((m_sectorPage.members.size() + kMemberRows - 1) / kMemberRows);
    const struct {
        QScrollBar* bar;
        int pages;
        int page;
    } bars[] = {{RankScrollBar(), rankPages, (m_sectorPage.firstRank - 1) / kRankRows},
                {MemberScrollBar(), memberPages, m_sectorPage.firstMember / kMemberRows}};
    for (const auto& b : bars) {
        const QSignalBlocker quiet(b.bar);
        b.bar->setRange(0, std::max(0, b.pages - 1));
        b.bar->setPageStep(1);
        b.bar->setValue(b.page);
        b.bar->setVisible(b.pages > 1);
    }
}

void CMainDlg::ChooseMember(int index) {
    if (index < 0 || index >= static_cast<int>(m_sectorPage.members.size())) return;
    m_sectorPage.selectedMember = index;
    RedrawSectorPage();
    const uint32_t code = m_sectorPage.members[static_cast<size_t>(index)].code;
    if (!data::DayFileExists(m_market.paths, code)) return;
    // A scan result is read forward-adjusted, as the scan measured it.
    static_cast<QRadioButton*>(Control(kIdForward))->setChecked(true);
    m_chart->SetAdjustMode(data::AdjustMode::Forward);
    chart::OpenRequest request;
    request.fromResult = true;
    request.pickSpan = 1;
    OpenSecurity(code, request);
}

void CMainDlg::DrawClockBox() {
    ui::DrawRoundBox(m_canvas, 73, 407, 143, 423, kClockBorder, kClockFill);
    ui::DrawTextAt(m_canvas, 13, 76, 408, kClockText, m_clockText);
}

void CMainDlg::ShowHelp(ui::HelpTopic topic) {
    // The same help command again turns to its next page.
    if (m_screenMode == ScreenMode::TextPage && m_helpTopic == topic)
        m_helpPage = (m_helpPage + 1) % ui::HelpPageCount(topic);
    else
        m_helpPage = 0;
    m_helpTopic = topic;
    m_screenMode = ScreenMode::TextPage;
    ui::DrawHelpPage(m_canvas, topic, m_helpPage, m_lastTextLayout);
    const int pages = ui::HelpPageCount(topic);
    if (pages > 1) {
        const std::string hint = "第" + std::to_string(m_helpPage + 1) + "/" +
                                 std::to_string(pages) + "页  再点一次同一按钮看下一页";
        ui::DrawTextAt(m_canvas, 12, 700, 346, ui::kTextDarkBlue, base::Utf8ToGbk(hint));
    }
    ApplyStripMask();
    RequestFullRepaint();
}

// ---- repaint protocol ----------------------------------------------------

void CMainDlg::RequestFullRepaint() {
    m_fullRepaint = true;
    RefreshCanvas();
}

void CMainDlg::RequestRepaintWithoutChart() {
    m_chartSuppress = true;
    RefreshCanvas();
}

void CMainDlg::RequestRepaint() { RefreshCanvas(); }

void CMainDlg::RefreshCanvas() {
    // The canvas is brought up to date whether or not the window is on a
    // screen (offscreen pictures and tests read it); painting only copies it.
    DrawClockBox();
    if (m_screenMode == ScreenMode::Chart && !m_chartSuppress && m_chart && m_chart->HasSecurity())
        PaintChart();
    m_fullRepaint = false;
    m_chartSuppress = false;
    repaint();
}

void CMainDlg::PaintChart() {
    chart::ChartPage& page = m_chart->Page();
    // The crosshair of the last paint goes: the chart as it was drawn comes back.
    if (!m_savedChart.isNull()) {
        QPainter painter(&m_canvas.Image());
        for (const chart::Box& box : page.LastCursorRects()) {
            if (box.Empty()) continue;
            const QRect rect(box.left, box.top, box.right - box.left, box.bottom - box.top);
            painter.drawImage(rect.topLeft(), m_savedChart, rect);
        }
    }
    if (m_chart->Paint(m_canvas)) {
        // The lower-panel arrows sit on the chart: drawn over it after each rebuild.
        for (int number : {17, 18})
            if (m_strip.buttons[static_cast<size_t>(number - 1)].visible)
                ui::DrawStripButton(m_canvas, m_strip, number, ui::ButtonLook::Normal);
        m_savedChart = m_canvas.Image().copy();
    }
    page.PaintCursor(m_canvas);
}

void CMainDlg::paintEvent(QPaintEvent*) {
    // The canvas always holds the whole screen as it should look.
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas.Image());
}

// ---- input ---------------------------------------------------------------

void CMainDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    HandleClick(p.x(), p.y());
}

void CMainDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    HandleMouseMove(p.x(), p.y());
}

void CMainDlg::HandleClick(int x, int y) {
    // A click on the work area readies the code box, so typing a code opens it.
    if (x >= kUpperLeft && x < kUpperRight && y >= kUpperTop && y < kUpperBottom) FocusCodeBox();
    if (m_screenMode == ScreenMode::SmallCharts) {
        if (auto slot = chart::SmallChartAt(x, y);
            slot && *slot < static_cast<int>(m_smallChartCodes.size())) {
            OpenSecurity(m_smallChartCodes[static_cast<size_t>(*slot)]);
            return;
        }
    }
    if (ui::ButtonAt(m_strip, x, y)) {
        auto command = ui::ClickedCommand(m_strip, x, y);
        if (command && !m_progress.busy.load()) RunStripCommand(*command);
        return;
    }
    // The sector page's zones; nothing while a run is busy.
    if (y >= kLowerTop && !m_progress.busy.load()) {
        const SectorPageClick click = m_sectorPage.HitTest(x, y);
        switch (click.kind) {
            case SectorPageClick::Kind::ChooseMarket:
                ChooseMarket(static_cast<picking::CandidateMarket>(click.value));
                return;
            case SectorPageClick::Kind::LoadList:
                if (picking::LoadCandidateFile(m_market.paths.root, *m_prompter, m_candidates) !=
                    picking::LoadOutcome::Cancelled) {
                    m_sectorPage.market = picking::CandidateMarket::File;
                    m_sectorPage.listFileName = m_candidates.fileName;
                    m_sectorPage.candidateCount = m_candidates.codes.size();
                    RedrawSectorPage();
                }
                return;
            case SectorPageClick::Kind::ChooseType:
                ChooseScanType(static_cast<sectors::ScanType>(click.value));
                return;
            case SectorPageClick::Kind::ChooseSector: ChooseSector(click.value); return;
            case SectorPageClick::Kind::ChooseMember: ChooseMember(click.value); return;
            case SectorPageClick::Kind::ChoosePicked: ChoosePicked(click.value); return;
            default: break;
        }
    }
    // The indicator tab row under the chart.
    if (m_screenMode == ScreenMode::Chart && m_chart && m_chart->HasSecurity()) {
        if (auto cell = m_chart->Page().TabCellAt(x, y)) {
            const chart::TabClick click =
                chart::ClickTabRow(x, m_chart->Indicators().Selected());
            if (click.action == chart::TabClickAction::OpenSettings) {
                OpenIndicatorSettings();
            } else if (click.action == chart::TabClickAction::Select &&
                       m_chart->Indicators().Select(click.index)) {
                m_chart->Page().Model().RequestFullRedraw();
                RequestFullRepaint();
            }
            return;
        }
    }
}

void CMainDlg::HandleMouseMove(int x, int y) {
    if (m_screenMode == ScreenMode::Chart && m_chart && m_chart->HasSecurity()) {
        switch (m_chart->Page().MouseMove(x, y)) {
            case chart::ChartRequest::CursorMoved: RequestRepaint(); break;
            case chart::ChartRequest::CursorLeft: RequestRepaint(); break;
            default: break;
        }
    }
    if (m_hover.Track(m_canvas, m_strip, x, y)) RequestRepaint();
}

void CMainDlg::RunStripCommand(int command) {
    if (auto topic = ui::HelpTopicForCommand(command)) {
        ShowHelp(*topic);
        return;
    }
    switch (command) {
        case 17:
            StartScan();
            return;
        case 18: ShowSectorTrend(); return;
        case 19: SaveHighlightedSector(); return;
        case 20: AddMemberToWatchList(); return;
        case 26: RunEstimate(true); return;
        case 27: RunEstimate(false); return;
        case 28: OpenWeightsEditor(); return;
        case 32: RunPropertyQuery(); return;
        case 39:
        case 40:
            // The lower-panel offset arrows act on the chart screen only.
            if (m_screenMode != ScreenMode::Chart || !m_chart) return;
            if (m_chart->Page().Model().SetLowerPanel(command == 39 ? chart::LowerPanelSize::Enlarged
                                                                    : chart::LowerPanelSize::Normal)) {
                m_chart->Page().Model().RequestFullRedraw();
                RequestFullRepaint();
            }
            return;
        default:
            return;  // the features behind the other commands attach here
    }
}

// ---- timers --------------------------------------------------------------

void CMainDlg::OnProgressTimer() {
    if (!m_progress.busy.load()) return;
    auto* bar = static_cast<QProgressBar*>(Control(kIdProgress));
    const int value = m_run.Progress();
    if (value > bar->value()) bar->setValue(value);
    // The worker is done: the window draws what it left.
    if (m_run.Finished()) FinishScan();
}

void CMainDlg::OnClockTimer() {
    DrawClockBox();
    RequestRepaint();
}

// ---- data button ---------------------------------------------------------

void CMainDlg::OnDataButton() {
    CSetupDlg dialog(SetupMode::Download, mapToGlobal(QPoint(0, 0)),
                     {m_workspace, m_market, *m_prompter, m_progress.busy}, this);
    dialog.exec();
    ReloadAfterDataChanges(dialog.Changes());
}

void CMainDlg::OpenInstallPage() {
    CSetupDlg dialog(SetupMode::Install, mapToGlobal(QPoint(0, 0)),
                     {m_workspace, m_market, *m_prompter, m_progress.busy}, this);
    dialog.exec();
    ReloadAfterDataChanges(dialog.Changes());
}

void CMainDlg::ReloadAfterDataChanges(const DataChanges& changes) {
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
    // New bars, and an ex-rights entry whose offsets may have moved: the open
    // security is read afresh where it stood.
    if (changes.changed && m_chart && m_chart->HasSecurity()) {
        const data::Period period = m_chart->Period();
        chart::OpenRequest request;
        request.fromResult = m_chart->Page().Model().OpenedFromResult();
        request.keepZoom = true;
        if (m_chart->Open(m_chart->Stock().code, request) && period != data::Period::Daily)
            m_chart->SetPeriod(period);
    }
    // A market's candidates come from the code table, which may have changed.
    if (changes.changed && m_sectorPage.market &&
        *m_sectorPage.market != picking::CandidateMarket::File)
        ChooseMarket(*m_sectorPage.market);
    RequestFullRepaint();
    FocusCodeBox();
}

// ---- exit ----------------------------------------------------------------

void CMainDlg::SaveSettingsFile() {
    data::Settings settings = m_market.settings;
    settings.watchList.clear();
    for (int row = 0; row + 1 < m_watchList->count(); row += 2)
        settings.watchList.push_back(m_watchList->item(row)->text().left(6).toUInt());
    data::SaveSettings(m_market.paths.settings, settings);
}

void CMainDlg::reject() {
    if (!m_prompter->AskYesNo("是否退出《板块擎宇》？", "提示")) {
        FocusCodeBox();
        return;
    }
    if (m_workspace.Allocated()) SaveSettingsFile();
    if (m_progressTimer) m_progressTimer->stop();
    if (m_clockTimer) m_clockTimer->stop();
    m_workspace.Release();
    m_lock.reset();
    QDialog::reject();
}

}  // namespace app
