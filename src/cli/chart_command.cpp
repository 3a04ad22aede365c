// bkqy-cli chart: the chart page of one security as the window draws it,
// rendered offscreen and saved as a PNG.
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "chart/geometry.h"
#include "cli/args.h"
#include "cli/offscreen_window.h"
#include "screen/controls.h"

namespace cli {
namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "bkqy-cli chart: %s\n", message.c_str());
    return 2;
}

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

int RunChartCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnown({"data", "code", "period", "adjust", "indicator", "zoom", "date", "png",
                         "scale", "area"},
                        &error) ||
        !OffscreenWindow::UseScale(args.Get("scale"), &error))
        return Fail(error);
    // The whole window, the chart's half (the upper work area) or the page's.
    const std::string area = args.Get("area").value_or("window");
    if (area != "window" && area != "chart" && area != "page")
        return Fail("--area is window, chart or page");
    auto root = args.Get("data");
    auto png = args.Get("png");
    auto code = args.GetNumber("code", &error);
    if (!error.empty()) return Fail(error);
    if (!root || root->empty() || !png || png->empty() || !code)
        return Fail("--data DIR, --code CODE and --png FILE are required");
    const std::string period = args.Get("period").value_or("day");
    const std::string adjust = args.Get("adjust").value_or("none");
    if (period != "day" && period != "week" && period != "month")
        return Fail("--period is day, week or month");
    if (adjust != "none" && adjust != "forward" && adjust != "backward")
        return Fail("--adjust is none, forward or backward");
    auto indicator = args.GetNumber("indicator", &error);
    auto zoom = args.GetNumber("zoom", &error);
    auto date = args.GetNumber("date", &error);
    if (!error.empty()) return Fail(error);
    if (indicator && (*indicator < 1 || *indicator > 17)) return Fail("--indicator is 1..17");
    if (zoom && *zoom > static_cast<uint64_t>(chart::kMaxZoom)) return Fail("--zoom is 0..15");

    OffscreenWindow offscreen(*root);
    app::CMainDlg& window = offscreen.Window();
    if (!window.Initialise()) return 1;
    screen::ScreenController& screen = window.Controller();
    if (date) screen.UseSimulationDate(static_cast<uint32_t>(*date));
    // Through the radio group, so the picture shows the mode the chart uses.
    using screen::ControlId;
    const ControlId radio = adjust == "forward"    ? ControlId::ForwardAdjusted
                            : adjust == "backward" ? ControlId::BackwardAdjusted
                                                   : ControlId::RawPrices;
    static_cast<QRadioButton*>(window.Control(radio))->click();
    if (indicator) screen.Chart()->Indicators().Select(static_cast<int>(*indicator));
    if (!window.Run([&](auto& c) { return c.OpenSecurity(static_cast<uint32_t>(*code)); })) return 1;
    window.Run([&](auto& c) {
        if (period != "day")
            c.Chart()->SetPeriod(period == "week" ? data::Period::Weekly : data::Period::Monthly);
        if (zoom) ZoomTo(*c.Chart(), static_cast<int>(*zoom));
        c.RequestChartRedraw();
    });
    const std::optional<QRect> part = area == "chart"  ? std::optional<QRect>(QRect(0, 0, 1023, 380))
                                      : area == "page" ? std::optional<QRect>(QRect(0, 380, 1023, 321))
                                                       : std::nullopt;
    return offscreen.SavePng("chart", *png, part);
}

}  // namespace cli
