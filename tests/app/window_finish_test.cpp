// Close-up checks of the window's pixels: nothing clipped, nothing left
// behind when a page replaces the chart.
#include <QApplication>
#include <QKeyEvent>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "base/recording_prompter.h"
#include "screen/controls.h"
#include "support/small_demo_market.h"

namespace {

using screen::ControlId;

QColor At(const app::CMainDlg& window, int x, int y) {
    return window.Canvas().Image().pixelColor(x, y);
}

// Whether any pixel of the rectangle differs from the colour.
bool HasInk(const app::CMainDlg& window, int left, int top, int right, int bottom, QColor background) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (At(window, x, y) != background) return true;
    return false;
}

struct Window {
    Window() : window(fixture::SmallDemoRoot(), &prompter) { started = window.Initialise(); }
    base::RecordingPrompter prompter;
    app::CMainDlg window;
    bool started = false;
};

TEST(WindowFinish, TabNamesStayInsideTheirBandUnderTheChart) {
    Window w;
    ASSERT_TRUE(w.started);
    // The band runs from the frame line under the lower panel (368) to the
    // chart's bottom line (378); the names' ink stays between them, and the
    // row under the chart (379) keeps the page's beige.
    const QColor black(0, 0, 0);
    EXPECT_TRUE(HasInk(w.window, 63, 369, 963, 378, black));
    EXPECT_FALSE(HasInk(w.window, 0, 379, 1023, 380, QColor(236, 233, 216)));
}

TEST(WindowFinish, PagesOverTheChartLeaveNothingOfItBehind) {
    Window w;
    ASSERT_TRUE(w.started);
    // The data table's values reach the canvas' last column on the chart.
    EXPECT_TRUE(HasInk(w.window, 1016, 28, 1023, 360, QColor(236, 233, 216)));
    const QColor beige(236, 233, 216);
    w.window.Run([](auto& c) { c.Strip(screen::StripCommand::HelpUpper); });
    EXPECT_FALSE(HasInk(w.window, 1022, 1, 1023, 380, beige));
    EXPECT_FALSE(HasInk(w.window, 0, 379, 1023, 380, beige));
    w.window.Run([](auto& c) { c.OpenSecurity(999999); });
    w.window.Run([](auto& c) { c.ShowSmallCharts({999999}); });
    EXPECT_FALSE(HasInk(w.window, 1022, 1, 1023, 380, beige));
}

TEST(WindowFinish, RadioCaptionsFitTheirDocumentedRectangles) {
    Window w;
    ASSERT_TRUE(w.started);
    for (ControlId id : {ControlId::ClassicTheme, ControlId::RegularTheme, ControlId::RawPrices,
                         ControlId::ForwardAdjusted, ControlId::BackwardAdjusted}) {
        auto* radio = static_cast<QRadioButton*>(w.window.Control(id));
        EXPECT_LE(radio->sizeHint().width(), radio->width()) << screen::IdNumber(id);
    }
}

TEST(WindowFinish, ScanOptionsHaveABottomEdgeAndMemberCodesClearTheirBorder) {
    Window w;
    ASSERT_TRUE(w.started);
    const QColor edge(113, 110, 101);
    for (int x : {104, 200, 384}) EXPECT_EQ(At(w.window, x, 694), edge) << x;
    // A scan, then the member list: the codes start clear of the panel's edge.
    w.window.Run([](auto& c) { c.ChooseMarket(picking::CandidateMarket::All); });
    ASSERT_TRUE(w.window.Run([](auto& c) { return c.StartScan(); }));
    w.window.Run([](auto& c) { c.WaitForScan(); });
    ASSERT_FALSE(w.window.Controller().Sectors().members.empty());
    const QColor white(255, 255, 255);
    for (int y = 460; y < 620; ++y) EXPECT_EQ(At(w.window, 555, y), white) << y;
}

TEST(WindowFinish, EscapeIsTakenWithoutAskingToQuit) {
    Window w;
    ASSERT_TRUE(w.started);
    w.window.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w.window, &escape);
    QApplication::sendEvent(w.window.Control(ControlId::CodeBox), &escape);
    EXPECT_TRUE(w.prompter.records.empty());
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_FALSE(w.window.Controller().Released());
}

}  // namespace
