#include "app/weights_editor_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/setup_dialog.h"
#include "base/recording_prompter.h"
#include "support/fixture_market.h"
#include "ui/recording_canvas.h"

namespace {

using app::PageClick;
using app::PageRect;
using app::WeightsEditorPage;
using sectors::EstimateSide;
using sectors::FactorWeights;

constexpr EstimateSide kTop = EstimateSide::Top;
constexpr EstimateSide kBottom = EstimateSide::Bottom;

struct Harness {
    FactorWeights top = sectors::kDefaultFactorWeights;
    FactorWeights bottom = sectors::kDefaultFactorWeights;
    ui::RecordingCanvas canvas;
    WeightsEditorPage page{top, bottom, canvas};

    PageClick Click(const PageRect& r) { return page.Click(r.CentreX(), r.CentreY()); }
    void Up(EstimateSide side, int factor, int times = 1) {
        for (int i = 0; i < times; ++i) Click(WeightsEditorPage::UpArrowRect(side, factor));
    }
    void Down(EstimateSide side, int factor, int times = 1) {
        for (int i = 0; i < times; ++i) Click(WeightsEditorPage::DownArrowRect(side, factor));
    }
};

TEST(WeightsEditorPage, DrawsTheExplanationPanelsAndValues) {
    Harness h;
    for (const char* text : {"本方法将短期顶部、底部的各种成因和表象精确量化，并辅以不同权重，",
                             "从而可以对短期顶部、底部进行较为准确和科学的预判。也可以调整权重，使",
                             "个股有不同侧重。", "（可点击  调整权重，点击“确定”才生效）",
                             "近4日内未创新高", "5日线,10日线金叉", "返回"})
        EXPECT_TRUE(h.canvas.FindText(text).has_value()) << text;
    const auto title = h.canvas.FindText("形成顶部各因素权重");
    ASSERT_TRUE(title.has_value());
    EXPECT_EQ(title->fontCode, 14);
    EXPECT_EQ(title->colour, (ui::Rgb{120, 0, 0}));
    EXPECT_TRUE(h.canvas.FindText("形成底部各因素权重").has_value());

    // Six rows a panel, 26 pixels apart; the sixth is the fixed 10.
    int others = 0, fixedTens = 0, eighteens = 0;
    for (const auto& call : h.canvas.Texts()) {
        others += call.utf8 == "其它一些因素影响";
        fixedTens += call.utf8 == "10";
        eighteens += call.utf8 == "18";
    }
    EXPECT_EQ(others, 2);
    EXPECT_EQ(fixedTens, 2);
    EXPECT_EQ(eighteens, 10);
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(WeightsEditorPage::ValueRect(kTop, row).top -
                      WeightsEditorPage::ValueRect(kTop, row - 1).top,
                  26);

    // Each "确定" is filled (0,79,174) with a white caption.
    int confirmFills = 0;
    for (const auto& call : h.canvas.Of(ui::DrawKind::RoundRect))
        confirmFills += call.fill == ui::Rgb{0, 79, 174};
    EXPECT_EQ(confirmFills, 2);
    const auto confirm = h.canvas.FindText("确定");
    ASSERT_TRUE(confirm.has_value());
    EXPECT_EQ(confirm->colour, (ui::Rgb{255, 255, 255}));
    // Nothing overlaps: arrows and the fixed row stay inside their panel.
    for (const EstimateSide side : {kTop, kBottom}) {
        const PageRect panel = WeightsEditorPage::PanelRect(side);
        const PageRect lastDown = WeightsEditorPage::DownArrowRect(side, 4);
        EXPECT_LT(lastDown.right, panel.right);
        EXPECT_LT(WeightsEditorPage::ValueRect(side, 5).bottom,
                  WeightsEditorPage::ConfirmRect(side).top);
        EXPECT_LT(WeightsEditorPage::ConfirmRect(side).bottom, panel.bottom);
    }
}

TEST(WeightsEditorPage, ArrowsStepByNineWithinOneAndNinetyNine) {
    Harness h;
    h.Up(kTop, 0);
    EXPECT_EQ(h.page.EditorValues(kTop)[0], 27);
    h.Up(kTop, 0, 8);  // 27 -> 36 ... 81 -> 90 -> 99
    EXPECT_EQ(h.page.EditorValues(kTop)[0], 99);
    h.Up(kTop, 0);
    EXPECT_EQ(h.page.EditorValues(kTop)[0], 99);
    h.Down(kTop, 1);  // 18 -> 9
    EXPECT_EQ(h.page.EditorValues(kTop)[1], 9);
    h.Down(kTop, 1);  // 9 is not above 9: becomes 1
    EXPECT_EQ(h.page.EditorValues(kTop)[1], 1);
    h.Down(kTop, 1);
    EXPECT_EQ(h.page.EditorValues(kTop)[1], 1);
    h.Up(kTop, 1);  // 1 -> 10
    EXPECT_EQ(h.page.EditorValues(kTop)[1], 10);
    // Only the editor changed; the other panel not at all.
    EXPECT_EQ(h.top, sectors::kDefaultFactorWeights);
    EXPECT_EQ(h.page.EditorValues(kBottom), sectors::kDefaultFactorWeights);
    // The value on the page follows.
    h.canvas.Clear();
    h.Up(kBottom, 4);
    EXPECT_TRUE(h.canvas.FindText("27").has_value());
}

TEST(WeightsEditorPage, ConfirmRescalesToNinetyAndPutsThePanelInForce) {
    Harness h;
    // Unchanged values: nothing happens.
    EXPECT_EQ(h.Click(WeightsEditorPage::ConfirmRect(kTop)), PageClick::Stay);
    EXPECT_EQ(h.top, sectors::kDefaultFactorWeights);

    h.Up(kTop, 0);
    h.Up(kBottom, 2);
    h.Click(WeightsEditorPage::ConfirmRect(kTop));
    EXPECT_EQ(h.top, (FactorWeights{25, 16, 16, 16, 17}));
    EXPECT_EQ(h.page.EditorValues(kTop), h.top);
    // The bottom panel's own "确定" has not been pressed.
    EXPECT_EQ(h.bottom, sectors::kDefaultFactorWeights);
    EXPECT_EQ(h.page.EditorValues(kBottom)[2], 27);
    h.Click(WeightsEditorPage::ConfirmRect(kBottom));
    EXPECT_EQ(h.bottom, (FactorWeights{16, 16, 25, 16, 17}));

    // Extreme editor values still leave five weights of at least 0 summing to 90.
    h.Up(kTop, 0, 9);
    h.Down(kTop, 1, 3);
    h.Down(kTop, 2, 3);
    h.Down(kTop, 3, 3);
    h.Down(kTop, 4, 3);
    h.Click(WeightsEditorPage::ConfirmRect(kTop));
    int sum = 0;
    for (int v : h.top) {
        EXPECT_GE(v, 0);
        sum += v;
    }
    EXPECT_EQ(sum, 90);
    EXPECT_EQ(h.top[0], 87);  // 99 x 9000 / 103 = 8650 -> 87
}

TEST(WeightsEditorPage, ReturnClosesAndOtherPlacesDoNothing) {
    Harness h;
    EXPECT_EQ(h.Click(WeightsEditorPage::ReturnRect()), PageClick::Close);
    EXPECT_EQ(h.page.Click(2, 2), PageClick::Stay);
    const PageRect value = WeightsEditorPage::ValueRect(kTop, 0);
    EXPECT_EQ(h.page.Click(value.CentreX(), value.CentreY()), PageClick::Stay);
    EXPECT_EQ(h.page.EditorValues(kTop), sectors::kDefaultFactorWeights);
}

// Strip command 28 runs the dialog in mode 6 over the window's live weights.
TEST(WeightsEditorWindow, PrincipleSettingsChangesTheWeightsOfTheRun) {
    fixture::FixtureMarket market;
    std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 100, 100}};
    market.WriteCodeTable(20260601, codes);
    market.WriteDayFile(999999, fixture::FlatBars(20260105, std::vector<uint32_t>(30, 320000)));
    base::RecordingPrompter prompter;
    auto window = std::make_unique<app::CMainDlg>(market.Root(), &prompter);
    ASSERT_TRUE(window->Initialise());
    window->show();

    QString title;
    QImage shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<app::CSetupDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto click = [&](const PageRect& r) {
            const QPointF p(r.CentreX(), r.CentreY());
            QMouseEvent press(QEvent::MouseButtonPress, p, dialog->mapToGlobal(p), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(dialog, &press);
        };
        click(WeightsEditorPage::UpArrowRect(kTop, 0));
        click(WeightsEditorPage::ConfirmRect(kTop));
        click(WeightsEditorPage::DownArrowRect(kBottom, 3));  // never confirmed
        shown = dialog->Canvas().Image();
        click(WeightsEditorPage::ReturnRect());
    });
    window->Run([&](auto& c) { c.StripNumber(28); });
    EXPECT_EQ(title, QStringLiteral("《板块擎宇》设置"));
    EXPECT_EQ(window->Controller().TopWeights(), (FactorWeights{25, 16, 16, 16, 17}));
    EXPECT_EQ(window->Controller().BottomWeights(), sectors::kDefaultFactorWeights);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelColor(3, 3), QColor(217, 234, 255));
    const PageRect confirm = WeightsEditorPage::ConfirmRect(kTop);
    EXPECT_EQ(shown.pixelColor(confirm.left + 4, confirm.top + 3), QColor(0, 79, 174));

    // A new window starts from the defaults again: weights are never saved.
    window.reset();
    app::CMainDlg again(market.Root(), &prompter);
    ASSERT_TRUE(again.Initialise());
    EXPECT_EQ(again.Controller().TopWeights(), sectors::kDefaultFactorWeights);
}

}  // namespace
