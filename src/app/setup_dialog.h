// CSetupDlg: the one auxiliary dialog class, opened in a mode that chooses its
// title, size and place relative to the main window. Each mode's content
// arrives with its feature; the dialog owns a canvas of its own.
#pragma once

#include <QDialog>

#include <memory>
#include <string_view>

#include "app/data_page.h"
#include "app/indicator_settings_page.h"
#include "app/install_page.h"
#include "app/qt_canvas.h"
#include "app/weights_editor_page.h"
#include "base/prompter.h"
#include "indicators/indicator_state.h"
#include "ui/button_strip.h"

class QTimer;

namespace app {

enum class SetupMode : int { Download = 2, Indicators = 3, Weights = 6, Install = 9 };

struct SetupModeSpec {
    SetupMode mode;
    std::string_view title;
    int width, height;
    int offsetX, offsetY;  // from the main window's top-left corner
};

const SetupModeSpec& SetupModeSpecOf(SetupMode mode);

class CSetupDlg : public QDialog {
    Q_OBJECT

public:
    // Placed relative to the main window's top-left corner on the screen.
    CSetupDlg(SetupMode mode, QPoint mainTopLeft, QWidget* parent);
    // The indicator page (mode 3) on the settings in force for the run.
    CSetupDlg(QPoint mainTopLeft, indicators::IndicatorState& indicators, base::Prompter& prompter,
              QWidget* parent);
    // The weights page (mode 6) on the live top and bottom weights.
    CSetupDlg(QPoint mainTopLeft, sectors::FactorWeights& topWeights,
              sectors::FactorWeights& bottomWeights, QWidget* parent);
    // The data pages on the window's tables: mode 9, the install page, or
    // mode 2, the local-data page.
    CSetupDlg(SetupMode mode, QPoint mainTopLeft, DataContext data, QWidget* parent);
    ~CSetupDlg() override;

    SetupMode Mode() const { return m_mode; }
    QtCanvas& Canvas() { return m_canvas; }
    ui::ButtonStrip& Strip() { return m_strip; }
    // Only in mode 3 opened on the indicator settings.
    IndicatorSettingsPage* IndicatorPage() { return m_indicatorPage.get(); }
    // Only in mode 6 opened on the weights.
    WeightsEditorPage* WeightsPage() { return m_weightsPage.get(); }
    // Only in mode 9 opened on the data.
    InstallPage* Installer() { return m_installPage.get(); }
    // Only in mode 2 opened on the data.
    DataPage* LocalData() { return m_dataPage.get(); }
    // What the window reads again after a data page closes.
    DataChanges Changes() const;

    // Every way of closing ends a running install or import first.
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void DrawPage();
    void StartPolling();
    void Poll();
    // 数据安装 on the data page: the install page on top of it.
    void OpenInstallOnTop();

    SetupMode m_mode;
    QPoint m_mainTopLeft;
    QtCanvas m_canvas;
    ui::ButtonStrip m_strip;
    std::unique_ptr<IndicatorSettingsPage> m_indicatorPage;
    std::unique_ptr<WeightsEditorPage> m_weightsPage;
    std::unique_ptr<InstallPage> m_installPage;
    std::unique_ptr<DataPage> m_dataPage;
    QTimer* m_pollTimer = nullptr;
};

}  // namespace app
