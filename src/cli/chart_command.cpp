// bkqy-cli chart: the chart page of one security as the window draws it,
// rendered offscreen and saved as a PNG.
#include <QRadioButton>

#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "chart/geometry.h"
#include "cli/offscreen_window.h"
#include "cli/values.h"
#include "screen/controls.h"

namespace cli {
namespace {

// Steps the zoom buttons until the level is reached or no button moves it.
void ZoomTo(screen::ChartScreen& chart, int level) {
    chart::ChartPage& page = chart.Page();
    for (int guard = 0; guard < 2 * chart::kMaxZoom + 2 && page.Model().Zoom() != level; ++guard) {
        const int before = page.Model().Zoom();
        page.Navigate(chart::NavButton::ZoomIn);
        const int afterIn = page.Model().Zoom();
        if (std::abs(afterIn - level) < std::abs(before - level)) continue;
        // Wrong way (or refused): undo and go the other way.
        if (afterIn != before) page.Navigate(chart::NavButton::ZoomOut);
        page.Navigate(chart::NavButton::ZoomOut);
        if (page.Model().Zoom() == before) break;
    }
}

}  // namespace

int RunChartCommand(const Invocation& in) {
    OffscreenWindow offscreen(in);
    if (!offscreen.Start()) return static_cast<int>(Exit::Refused);
    app::CMainDlg& window = offscreen.Window();
    screen::ScreenController& screen = window.Controller();
    // Through the radio group, so the picture shows the mode the chart uses.
    using screen::ControlId;
    const data::AdjustMode adjust = in.Adjust();
    const ControlId radio = adjust == data::AdjustMode::Forward    ? ControlId::ForwardAdjusted
                            : adjust == data::AdjustMode::Backward ? ControlId::BackwardAdjusted
                                                                   : ControlId::RawPrices;
    static_cast<QRadioButton*>(window.Control(radio))->click();
    if (const auto indicator = in.Indicator()) screen.Chart()->Indicators().Select(*indicator);
    const uint32_t code = *in.Code();
    if (!window.Run([&](auto& c) { return c.OpenSecurity(code); }))
        return static_cast<int>(Exit::Refused);
    const data::Period period = in.Period();
    const auto zoom = in.Number("zoom");
    window.Run([&](auto& c) {
        if (period != data::Period::Daily) c.Chart()->SetPeriod(period);
        if (zoom) ZoomTo(*c.Chart(), static_cast<int>(*zoom));
        c.RequestChartRedraw();
    });
    const auto area = static_cast<PictureArea>(
        in.Number("area").value_or(static_cast<int64_t>(PictureArea::Window)));
    switch (area) {
        case PictureArea::Chart:
            return offscreen.SavePng(QRect(0, 0, 1023, 380));
        case PictureArea::Page:
            return offscreen.SavePng(QRect(0, 380, 1023, 321));
        case PictureArea::Window:
            break;
    }
    return offscreen.SavePng();
}

}  // namespace cli
