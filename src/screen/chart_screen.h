// The chart side of the main window without Qt: opens a security into the
// open-stock region, prepares its daily, weekly or monthly bars for the chart
// page in the adjustment mode on screen, and keeps the indicator settings.
#pragma once

#include <cstdint>

#include "base/prompter.h"
#include "chart/chart_page.h"
#include "data/day_files.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "indicators/indicator_state.h"
#include "ui/canvas.h"
#include "ui/theme.h"

namespace screen {

class ChartScreen {
public:
    ChartScreen(data::Workspace& workspace, data::MarketState& market, base::Prompter& prompter)
        : m_workspace(workspace), m_market(market), m_prompter(prompter) {}

    // Opens a stock or index as the chart. False, after its message, when the
    // day file is missing; the previous security then stays.
    bool Open(uint32_t code, const chart::OpenRequest& request = {});
    bool HasSecurity() const { return m_stock.loaded; }
    const data::OpenStockState& Stock() const { return m_stock; }

    // 日Ｋ, 周Ｋ, 月Ｋ.
    void SetPeriod(data::Period period);
    data::Period Period() const { return m_page.Model().Period(); }

    // The radio group 除权 / 前复权 / 后复权. Returns whether the chart changed
    // (a security without events keeps its picture; the mode is kept for
    // the next one).
    bool SetAdjustMode(data::AdjustMode mode);
    data::AdjustMode AdjustMode() const { return m_mode; }

    // Returns whether the theme changed.
    bool SetTheme(ui::ThemeId theme);
    ui::ThemeId Theme() const { return m_theme.Current(); }

    // The chart page up to the saved image; returns whether it was rebuilt.
    bool Paint(ui::Canvas& canvas);

    chart::ChartPage& Page() { return m_page; }
    indicators::IndicatorState& Indicators() { return m_indicators; }

private:
    void PrepareSeries();

    data::Workspace& m_workspace;
    data::MarketState& m_market;
    base::Prompter& m_prompter;
    data::OpenStockState m_stock;
    data::AdjustMode m_mode = data::AdjustMode::None;
    data::AdjustMode m_appliedMode = data::AdjustMode::None;
    ui::ThemeState m_theme;
    indicators::IndicatorState m_indicators;
    chart::ChartPage m_page;
};

}  // namespace screen
