#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/code_find_dialog.h"
#include "app/main_window.h"
#include "screen/controls.h"
#include "app/setup_dialog.h"
#include "base/endian.h"
#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "support/fixture_market.h"

namespace {

using app::CMainDlg;
using base::PromptRecord;

void WriteMarket(fixture::FixtureMarket& market) {
    std::vector<data::CodeEntry> codes = {
        {1, fixture::Gbk("平安银行"), "PAYH", 1717000, 1691000},
        {600000, fixture::Gbk("浦发银行"), "PFYH", 2935208, 2810376},
        {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20170601, codes);
    market.WriteExRights(20170601, std::vector<data::ExRightsStock>{{600000, {{20170523, 10, 0, 0, 0}}}});
    std::vector<data::SectorRecord> sectors = {{4, 1, fixture::Gbk("一带一路"), {1, 600000}}};
    market.WriteSectorLibrary(20170601, {}, sectors);
    market.WriteExamples("203:120170105");
    std::vector<uint32_t> closes(30, 320000);
    market.WriteDayFile(999999, fixture::FlatBars(20170103, closes));
}

// The settings file with a watch list of the given codes.
void WriteSettings(fixture::FixtureMarket& market, const std::vector<uint32_t>& codes) {
    std::vector<uint8_t> bytes(400, 0);
    base::WriteU32(bytes.data() + 30 * 4, static_cast<uint32_t>(codes.size()));
    for (size_t i = 0; i < codes.size(); ++i) base::WriteU32(bytes.data() + (31 + i) * 4, codes[i]);
    market.WriteRaw("MKDAT/Inif2.DAT", bytes);
}

// Where a strip button is: the middle of its rectangle.
QPoint StripButton(int number) {
    const auto strip = ui::MainStrip();
    const auto& b = strip.buttons[static_cast<size_t>(number - 1)];
    return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
}

TEST(MainWindow, StartsWithEveryControlInPlaceAndTheHomeStrip) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    EXPECT_TRUE(prompter.records.empty());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("板块擎宇V2.0"));
    EXPECT_EQ(window.size(), QSize(1023, 701));

    for (const screen::ControlSpec& placement : screen::kControlSpecs) {
        QWidget* control = window.Control(placement.id);
        ASSERT_NE(control, nullptr) << screen::IdNumber(placement.id);
        EXPECT_EQ(control->geometry(), QRect(placement.x, placement.y, placement.width, placement.height)) << screen::IdNumber(placement.id);
    }
    auto* codeBox = static_cast<QLineEdit*>(window.Control(screen::ControlId::CodeBox));
    EXPECT_EQ(codeBox->maxLength(), 6);
    EXPECT_EQ(static_cast<QLineEdit*>(window.Control(1070))->text(), QStringLiteral("100"));
    EXPECT_EQ(static_cast<QPushButton*>(window.Control(1026))->text(), QStringLiteral("日Ｋ"));
    EXPECT_TRUE(static_cast<QRadioButton*>(window.Control(screen::ControlId::ClassicTheme))->isChecked());
    EXPECT_TRUE(static_cast<QRadioButton*>(window.Control(screen::ControlId::RawPrices))->isChecked());
    // No pictures in the data root: the picture buttons show their captions.
    EXPECT_EQ(static_cast<QPushButton*>(window.Control(screen::ControlId::Exit))->text(), QStringLiteral("退出"));
    EXPECT_EQ(static_cast<QPushButton*>(window.Control(screen::ControlId::DataButton))->text(),
              QStringLiteral("数据下载"));
    for (screen::ControlId id : screen::kScrollBarIds) {
        ASSERT_NE(window.ScrollBar(id), nullptr);
        EXPECT_EQ(window.ScrollBar(id)->maximum(), 145);
        EXPECT_EQ(window.ScrollBar(id)->pageStep(), 20);
    }
    auto* progress = static_cast<QProgressBar*>(window.Control(screen::ControlId::Progress));
    EXPECT_EQ(progress->maximum(), 200);

    // The home strip: 板块扫描 is drawn, the picking page's 方法插入 is not.
    const QImage& canvas = window.Canvas().Image();
    EXPECT_EQ(canvas.pixelColor(StripButton(1)), QColor(208, 227, 255));
    EXPECT_NE(canvas.pixelColor(StripButton(13)), QColor(208, 227, 255));
    EXPECT_EQ(window.Controller().Market().index.source, 2);
    EXPECT_EQ(window.Controller().Page(), screen::PageKind::Sector);
    EXPECT_EQ(window.Controller().ClockText(), "00:00:00");
}

TEST(MainWindow, MissingCodeTableIsReportedAndStartUpGoesOn) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    market.Remove("MKDAT/MKCODE.DAT");
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0],
              (PromptRecord{PromptRecord::Kind::Message, "代码表文件MKCODE.DAT不存在!", "提示"}));
}

TEST(MainWindow, MissingIndexShowsTheTwoLineMessageAndQuits) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    market.Remove("MKDAY/SH/999999.day");
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    EXPECT_FALSE(window.Initialise());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].caption, "《板块擎宇》提示");
    EXPECT_NE(prompter.records[0].text.find("\n\n"), std::string::npos);
}

TEST(MainWindow, SecondCopyOnTheSameDataIsRefused) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    base::RecordingPrompter prompter;
    CMainDlg first(market.Root(), &prompter);
    ASSERT_TRUE(first.Initialise());
    CMainDlg second(market.Root(), &prompter);
    EXPECT_FALSE(second.Initialise());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0],
              (PromptRecord{PromptRecord::Kind::Message, "《板块擎宇》已经在运行", "提示"}));
    EXPECT_EQ(second.Control(screen::ControlId::CodeBox), nullptr);  // refused before anything was set up
}

TEST(MainWindow, HelpButtonsShowTheirPagesAndTurnThem) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());

    QPoint help = StripButton(19);
    window.HandleClick(help.x(), help.y());
    EXPECT_EQ(window.Controller().Screen(), screen::ScreenMode::TextPage);
    ASSERT_TRUE(window.Controller().ShownHelp().has_value());
    EXPECT_EQ(*window.Controller().ShownHelp(), ui::HelpTopic::General);
    const int firstPage = window.Controller().ShownHelpPage();
    window.HandleClick(help.x(), help.y());
    ASSERT_GT(ui::HelpPageCount(ui::HelpTopic::General), 1);
    EXPECT_EQ(window.Controller().ShownHelpPage(), firstPage + 1);

    QPoint run = StripButton(5);  // 账户资金奔跑
    window.HandleClick(run.x(), run.y());
    EXPECT_EQ(*window.Controller().ShownHelp(), ui::HelpTopic::GrowYourFunds);
    EXPECT_EQ(window.Controller().ShownHelpPage(), 0);

    // While a run is busy the strip does nothing.
    window.Controller().Busy() = true;
    QPoint operate = StripButton(6);
    window.HandleClick(operate.x(), operate.y());
    EXPECT_EQ(*window.Controller().ShownHelp(), ui::HelpTopic::GrowYourFunds);
    window.Controller().Busy() = false;
    window.HandleClick(operate.x(), operate.y());
    EXPECT_EQ(*window.Controller().ShownHelp(), ui::HelpTopic::OperateSectors);
    EXPECT_TRUE(prompter.records.empty());
}

TEST(MainWindow, HoverHighlightsAButtonAndRestoresIt) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    QPoint scan = StripButton(1);
    window.HandleMouseMove(scan.x(), scan.y());
    EXPECT_EQ(window.Canvas().Image().pixelColor(scan), QColor(0, 79, 174));
    window.HandleMouseMove(10, 10);
    EXPECT_EQ(window.Canvas().Image().pixelColor(scan), QColor(208, 227, 255));
}

// The list box itself: its selection and page reach the controller, a
// double click opens the stock, and the buttons keep the selection on it.
TEST(MainWindow, WatchListBoxSelectionDrivesItsButtons) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    std::vector<uint32_t> closes(30, 1200);
    market.WriteDayFile(600000, fixture::FlatBars(20170103, closes));
    market.WriteDayFile(1, fixture::FlatBars(20170103, closes));
    WriteSettings(market, {600000, 1});
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    QListWidget* list = window.WatchList();
    list->setCurrentRow(3);  // the name row of 000001
    static_cast<QPushButton*>(window.Control(screen::ControlId::WatchOpen))->click();
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 1u);
    static_cast<QPushButton*>(window.Control(screen::ControlId::WatchUp))->click();
    EXPECT_EQ(window.Controller().WatchCodes(), (std::vector<uint32_t>{1, 600000}));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("000001"));

    list->setCurrentRow(2);
    Q_EMIT list->itemDoubleClicked(list->item(2));
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 600000u);
    static_cast<QPushButton*>(window.Control(screen::ControlId::WatchDelete))->click();
    EXPECT_EQ(window.Controller().WatchCodes(), std::vector<uint32_t>{1});
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(prompter.records.empty());
}

TEST(MainWindow, ExitAsksAndNoKeepsEverything) {
    fixture::FixtureMarket market;
    WriteMarket(market);
    WriteSettings(market, {600000, 1});
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    ASSERT_EQ(window.WatchList()->count(), 4);
    EXPECT_EQ(window.WatchList()->item(0)->text(), QStringLiteral("600000"));
    EXPECT_EQ(window.WatchList()->item(1)->text(), QStringLiteral("浦发银行"));
    window.show();
    window.activateWindow();
    QApplication::processEvents();

    prompter.answers = {false};
    window.reject();
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0],
              (PromptRecord{PromptRecord::Kind::Question, "是否退出《板块擎宇》？", "提示"}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.Controller().Released());
    EXPECT_EQ(QApplication::focusWidget(), window.Control(screen::ControlId::CodeBox));

    // Yes saves the watch list (two stocks: 132 + 4 × 2 bytes) and lets go.
    prompter.answers = {true};
    window.reject();
    EXPECT_TRUE(window.Controller().Released());
    EXPECT_FALSE(window.isVisible());
    auto saved = base::ReadWholeFile(market.Paths().settings, 1000);
    ASSERT_TRUE(saved.ok());
    ASSERT_EQ(saved->size(), 140u);
    EXPECT_EQ(base::ReadU32(saved->data() + 30 * 4), 2u);
    EXPECT_EQ(base::ReadU32(saved->data() + 31 * 4), 600000u);
    // The lock went with the window: the data root can be opened again.
    CMainDlg again(market.Root(), &prompter);
    EXPECT_TRUE(again.Initialise());
}

TEST(SetupDialog, ModesHaveTheirTitlesSizesAndPlaces) {
    app::CSetupDlg weights(app::SetupMode::Weights, QPoint(100, 50), nullptr);
    EXPECT_EQ(weights.windowTitle(), QStringLiteral("《板块擎宇》设置"));
    EXPECT_EQ(weights.size(), QSize(516, 403));
    EXPECT_EQ(weights.pos(), QPoint(610, 282));
    app::CSetupDlg indicators(app::SetupMode::Indicators, QPoint(0, 0), nullptr);
    EXPECT_EQ(indicators.windowTitle(), QStringLiteral(" 指标选取及设置"));
    EXPECT_EQ(indicators.size(), QSize(701, 385));
    EXPECT_EQ(app::SetupModeSpecOf(app::SetupMode::Install).title, "《板块擎宇》数据安装");
    EXPECT_EQ(app::SetupModeSpecOf(app::SetupMode::Download).width, 516);
}

}  // namespace

namespace {

// Two stocks with day files around one without.
void WriteChartMarket(fixture::FixtureMarket& market) {
    std::vector<data::CodeEntry> codes = {
        {1, fixture::Gbk("平安银行"), "PAYH", 100, 100},
        {2, fixture::Gbk("万科"), "WK", 100, 100},
        {600000, fixture::Gbk("浦发银行"), "PFYH", 100, 100},
        {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20260101, codes);
    std::vector<uint32_t> closes;
    for (uint32_t i = 0; i < 120; ++i) closes.push_back(1000 + (i * 37) % 300);
    market.WriteDayFile(1, fixture::FlatBars(20260105, closes));
    market.WriteDayFile(600000, fixture::FlatBars(20260105, closes));
    std::vector<uint32_t> index(120, 320000);
    market.WriteDayFile(999999, fixture::FlatBars(20260105, index));
}

TEST(MainWindowChart, StartsOnTheIndexAndPagesThroughStocksWithData) {
    fixture::FixtureMarket market;
    WriteChartMarket(market);
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();  // this market has no ex-rights, sector or example file
    EXPECT_EQ(window.Controller().Screen(), screen::ScreenMode::Chart);
    ASSERT_NE(window.Controller().Chart(), nullptr);
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 999999u);
    // The chart was drawn: the classic black chart background is on the canvas.
    EXPECT_EQ(window.Canvas().Image().pixelColor(400, 200), QColor(0, 0, 0));

    ASSERT_TRUE(window.Run([&](auto& c) { return c.OpenSecurity(1); }));
    EXPECT_TRUE(window.HandleChartKey(Qt::Key_PageDown));  // 000002 has no day file
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 600000u);
    EXPECT_TRUE(window.HandleChartKey(Qt::Key_PageUp));
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 1u);
    EXPECT_TRUE(prompter.records.empty());

    // A code without a day file: its message, and the chart stays.
    EXPECT_FALSE(window.Run([&](auto& c) { return c.OpenSecurity(2); }));
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text, "000002股票数据文件不存在");
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 1u);
}

TEST(MainWindowChart, FinderIndicatorLineSelectsThePanel) {
    fixture::FixtureMarket market;
    WriteChartMarket(market);
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    window.show();
    QTimer::singleShot(0, [&] {
        auto* finder = qobject_cast<app::CCodeFindDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(finder, nullptr);
        for (int i = 0; i < finder->List()->count(); ++i)
            if (finder->List()->item(i)->text() == QStringLiteral("VR 容量比率"))
                finder->List()->setCurrentRow(i);
        finder->accept();
    });
    auto* codeBox = static_cast<QLineEdit*>(window.Control(screen::ControlId::CodeBox));
    codeBox->setText(QStringLiteral("v"));
    Q_EMIT codeBox->textEdited(codeBox->text());
    EXPECT_EQ(window.Controller().LastFinderIndicator(), 15);
    EXPECT_EQ(window.Controller().Chart()->Indicators().Selected(), 15);
}

TEST(MainWindowChart, PeriodAndAdjustmentButtonsRebuildTheSeries) {
    fixture::FixtureMarket market;
    WriteChartMarket(market);
    market.WriteExRights(20260101, std::vector<data::ExRightsStock>{{1, {{20260302, 10, 0, 0, 0}}}});
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    ASSERT_TRUE(window.Run([&](auto& c) { return c.OpenSecurity(1); }));
    const size_t days = window.Controller().Chart()->Page().Series().Count();
    static_cast<QPushButton*>(window.Control(1020))->click();  // 周Ｋ
    EXPECT_EQ(window.Controller().Chart()->Period(), data::Period::Weekly);
    EXPECT_EQ(window.Controller().Chart()->Page().Series().Count(), days / 5);
    static_cast<QPushButton*>(window.Control(1026))->click();  // 日Ｋ
    EXPECT_EQ(window.Controller().Chart()->Page().Series().Count(), days);
    const uint32_t rawFirst = window.Controller().Chart()->Page().Series().Close(0);
    static_cast<QRadioButton*>(window.Control(screen::ControlId::ForwardAdjusted))->click();
    EXPECT_EQ(window.Controller().Chart()->AdjustMode(), data::AdjustMode::Forward);
    EXPECT_EQ(window.Controller().Chart()->Page().Series().Close(0), rawFirst / 2);  // before the 10-for-10 bonus
}

}  // namespace
