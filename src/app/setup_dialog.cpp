#include "app/setup_dialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <array>

#include "base/gbk.h"
#include "ui/drawing.h"

namespace app {
namespace {

constexpr std::array<SetupModeSpec, 4> kModes = {{
    {SetupMode::Download, "《板块擎宇》数据下载", 516, 343, 92, 250},
    {SetupMode::Indicators, " 指标选取及设置", 701, 385, 161, 72},
    {SetupMode::Weights, "《板块擎宇》设置", 516, 403, 510, 232},
    {SetupMode::Install, "《板块擎宇》数据安装", 516, 293, 262, 250},
}};

}  // namespace

const SetupModeSpec& SetupModeSpecOf(SetupMode mode) {
    for (const auto& layout : kModes)
        if (layout.mode == mode) return layout;
    return kModes[0];
}

CSetupDlg::CSetupDlg(SetupMode mode, QPoint mainTopLeft, QWidget* parent)
    : QDialog(parent),
      m_mode(mode),
      m_mainTopLeft(mainTopLeft),
      m_canvas(SetupModeSpecOf(mode).width, SetupModeSpecOf(mode).height, WindowCanvasScale()) {
    const SetupModeSpec& layout = SetupModeSpecOf(mode);
    setWindowTitle(QString::fromUtf8(layout.title.data(), static_cast<int>(layout.title.size())));
    setFixedSize(layout.width, layout.height);
    move(mainTopLeft + QPoint(layout.offsetX, layout.offsetY));
    m_strip.captions = base::Utf8ToGbk(ui::kSetupDialogCaptions);
    m_strip.buttons.resize(1);
    m_strip.buttons[0] = {true, layout.width - 80, layout.height - 40, layout.width - 30,
                          layout.height - 20, 1};
    DrawPage();
}

CSetupDlg::CSetupDlg(QPoint mainTopLeft, indicators::IndicatorState& indicators,
                     base::Prompter& prompter, QWidget* parent)
    : CSetupDlg(SetupMode::Indicators, mainTopLeft, parent) {
    m_indicatorPage =
        std::make_unique<IndicatorSettingsPage>(indicators, prompter, m_canvas, m_strip, this);
}

CSetupDlg::CSetupDlg(QPoint mainTopLeft, sectors::FactorWeights& topWeights,
                     sectors::FactorWeights& bottomWeights, QWidget* parent)
    : CSetupDlg(SetupMode::Weights, mainTopLeft, parent) {
    // The page draws its own buttons; the strip's "返回" would cover its place.
    m_strip.buttons.clear();
    m_weightsPage = std::make_unique<WeightsEditorPage>(topWeights, bottomWeights, m_canvas);
}

CSetupDlg::CSetupDlg(SetupMode mode, QPoint mainTopLeft, DataContext data, QWidget* parent)
    : CSetupDlg(mode, mainTopLeft, parent) {
    // The pages draw their own buttons.
    m_strip.buttons.clear();
    DrawPage();
    if (mode == SetupMode::Install)
        m_installPage = std::make_unique<InstallPage>(data, m_canvas);
    else
        m_dataPage = std::make_unique<DataPage>(data, m_canvas);
    StartPolling();
}

// The 10 ms poll of a worker's progress, on the dialog's thread.
void CSetupDlg::StartPolling() {
    m_pollTimer = new QTimer(this);
    connect(m_pollTimer, &QTimer::timeout, this, &CSetupDlg::Poll);
    m_pollTimer->start(10);
}

void CSetupDlg::Poll() {
    if ((m_installPage && m_installPage->Poll()) || (m_dataPage && m_dataPage->Poll())) update();
}

void CSetupDlg::OpenInstallOnTop() {
    CSetupDlg install(SetupMode::Install, m_mainTopLeft, m_dataPage->Context(), this);
    install.exec();
    m_dataPage->AfterInstall(install.Changes());
    update();
}

DataChanges CSetupDlg::Changes() const {
    if (m_installPage) return m_installPage->Changes();
    if (m_dataPage) return m_dataPage->Changes();
    return {};
}

void CSetupDlg::done(int result) {
    // Never leave a worker merging behind a closed dialog.
    if (m_installPage) m_installPage->StopAndWait();
    if (m_dataPage) m_dataPage->StopAndWait();
    if (m_pollTimer) m_pollTimer->stop();
    QDialog::done(result);
}

// The page's edit boxes are children of the dialog: the page lets go of them
// while the dialog still stands.
CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::DrawPage() {
    const SetupModeSpec& layout = SetupModeSpecOf(m_mode);
    ui::FillBox(m_canvas, 0, 0, layout.width, layout.height, ui::kPanelBeige);
    ui::DrawSunkenPanelField(m_canvas, 10, 10, layout.width - 10, layout.height - 50,
                             ui::kTextDarkBlue);
    ui::ApplyButtonMask(m_strip);
    ui::DrawButtonStrip(m_canvas, m_strip);
}

void CSetupDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas.Image());
}

void CSetupDlg::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_indicatorPage) {
        if (m_indicatorPage->Click(p.x(), p.y()) == PageClick::Close) accept();
        return;
    }
    if (m_weightsPage) {
        if (m_weightsPage->Click(p.x(), p.y()) == PageClick::Close) accept();
        update();
        return;
    }
    if (m_installPage) {
        if (m_installPage->Click(p.x(), p.y()) == PageClick::Close) accept();
        update();
        return;
    }
    if (m_dataPage) {
        switch (m_dataPage->Click(p.x(), p.y())) {
            case DataPageClick::Close: accept(); return;
            case DataPageClick::OpenInstall: OpenInstallOnTop(); return;
            case DataPageClick::Stay: update(); return;
        }
    }
    auto button = ui::ButtonAt(m_strip, p.x(), p.y());
    if (button && m_strip.buttons[static_cast<size_t>(*button - 1)].command == 1) accept();
}

}  // namespace app
