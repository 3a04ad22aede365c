#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/main_window.h"
#include "base/recording_prompter.h"
#include "demo/demo_market.h"
#include "support/fixture_market.h"
#include "ui/recording_canvas.h"

namespace {

// One small demo market for the tests of this file.
const std::string& DemoRoot() {
    static fixture::TempDir dir;
    static const bool written = [] {
        demo::DemoOptions options;
        options.dataRoot = dir.Path() + "/market";
        options.stocks = 300;
        options.years = 2;
        options.endDate = 20261204;
        return demo::WriteDemoMarket(options).ok();
    }();
    static const std::string root = dir.Path() + "/market";
    EXPECT_TRUE(written);
    return root;
}

TEST(SectorPageWindow, ScanWithoutCandidatesIsRefusedWithItsMessage) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    EXPECT_FALSE(window.StartScan());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text,
              "待选股为零。请先选择沪、深股票，或“载入”待选股，再“板块扫描”");
    EXPECT_EQ(prompter.records[0].caption, "提示");
}

TEST(SectorPageWindow, HotScanRanksSectorsAndAMemberOpensForwardAdjusted) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    window.ChooseMarket(picking::CandidateMarket::All);
    EXPECT_EQ(window.Sectors().candidateCount, 300u);
    window.ChooseScanType(sectors::ScanType::Hot);
    EXPECT_EQ(window.Sectors().threshold, 200);  // the boxes start at "2" "00"
    ASSERT_TRUE(window.StartScan());
    window.WaitForScan();
    EXPECT_FALSE(window.Progress().busy.load());
    const auto& outcome = window.Scan().Outcome();
    ASSERT_GT(window.Sectors().RankCount(), 0u);
    EXPECT_EQ(window.Sectors().highlightedRank, 1);
    ASSERT_FALSE(window.Sectors().members.empty());
    // Scores fall with the rank, and every member moved at least the threshold.
    for (size_t i = 1; i < outcome.ranking.sectors.size(); ++i)
        EXPECT_LE(outcome.ranking.sectors[i].score, outcome.ranking.sectors[i - 1].score);
    for (const auto& member : window.Sectors().members) EXPECT_GE(member.value, 200u);

    // The scan's own condition is the single method entry.
    ASSERT_EQ(window.Methods().Count(), 1u);
    EXPECT_EQ(window.Methods().Entry(1).substr(0, 5), "b8(1,");
    // More than ten sectors: the ranking's scroll bar turns to the next page.
    if (window.Sectors().RankCount() > 10) {
        EXPECT_TRUE(window.RankScrollBar()->isVisible() || !window.isVisible());
        window.RankScrollBar()->setValue(1);
        EXPECT_EQ(window.Sectors().firstRank, 11);
        window.RankScrollBar()->setValue(0);
    }

    const uint32_t code = window.Sectors().members[0].code;
    window.ChooseMember(0);
    EXPECT_EQ(window.Chart()->Stock().code, code);
    EXPECT_EQ(window.Chart()->AdjustMode(), data::AdjustMode::Forward);
    EXPECT_TRUE(static_cast<QRadioButton*>(window.Control(app::kIdForward))->isChecked());
    EXPECT_TRUE(window.Chart()->Page().Model().OpenedFromResult());

    // A new scan type discards the result.
    window.ChooseScanType(sectors::ScanType::Fall);
    EXPECT_EQ(window.Sectors().RankCount(), 0u);
    EXPECT_EQ(window.Sectors().highlightedRank, 0);
}

TEST(SectorPageWindow, TrendSaveAndWatchListActOnTheHighlightedSector) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    window.RunStripCommand(18);  // 板块走势 before any scan
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text, "请先扫描生成板块");

    window.ChooseMarket(picking::CandidateMarket::All);
    ASSERT_TRUE(window.StartScan());
    window.WaitForScan();
    ASSERT_GT(window.Sectors().RankCount(), 0u);
    window.RunStripCommand(18);
    EXPECT_EQ(window.Chart()->Stock().code, 999998u);
    EXPECT_TRUE(window.Chart()->Stock().isIndex);
    EXPECT_EQ(window.Screen(), app::ScreenMode::Chart);

    const size_t before = static_cast<size_t>(window.WatchList()->count());
    window.ChooseMember(0);
    window.RunStripCommand(20);  // 加入
    window.RunStripCommand(20);  // a second time adds nothing
    EXPECT_EQ(static_cast<size_t>(window.WatchList()->count()), before + 2);
}

TEST(SectorPageWindow, PageDrawsTheEmptyRankingHintAndTheOptionRows) {
    app::SectorPage page;
    ui::RecordingCanvas canvas;
    std::vector<uint32_t> none(8, 0);
    page.Draw(canvas, data::CodeTable(none));
    EXPECT_TRUE(canvas.FindText("（当前板块为空，可在下方选取扫描"));
    EXPECT_TRUE(canvas.FindText("热点板块丨扫描涨幅≥"));
    EXPECT_TRUE(canvas.FindText("扫描："));
    EXPECT_TRUE(canvas.FindText("涨幅≥7.50%"));
    page.type = sectors::ScanType::Fund;
    page.threshold = 100;
    ui::RecordingCanvas fund;
    page.DrawScanCaption(fund);
    EXPECT_TRUE(fund.FindText("成交增加≥100%"));
    // The option rows take clicks left of their entry boxes.
    EXPECT_EQ(page.HitTest(150, 640).kind, app::SectorPageClick::Kind::ChooseType);
    EXPECT_EQ(page.HitTest(150, 684).value, 3);
    EXPECT_EQ(page.HitTest(300, 500).kind, app::SectorPageClick::Kind::None);  // no result yet
}

}  // namespace

namespace {

TEST(SimulationBar, DatesAreCheckedSteppedAndCutTheChart) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    const uint32_t latest = window.Market().index.lastDate;
    EXPECT_EQ(window.Chart()->Stock().viewEndDate, latest);

    window.EnterSimulationMode();
    EXPECT_TRUE(window.Market().simulation.active);
    window.ConfirmSimulation("2014032");
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text,
              "模拟日期输入格式有误。例如模拟日期2014年3月21日，输入格式为20140321");

    window.ConfirmSimulation("20260105");
    EXPECT_EQ(window.Market().simulation.date, 20260105u);
    EXPECT_EQ(window.Chart()->Stock().viewEndDate, 20260105u);  // the index chart stops there
    window.StepSimulation(1);
    EXPECT_EQ(window.Market().simulation.date, 20260106u);
    EXPECT_EQ(window.Chart()->Stock().viewEndDate, 20260106u);

    window.ExitSimulationMode();
    EXPECT_FALSE(window.Market().simulation.active);
    EXPECT_EQ(window.Chart()->Stock().viewEndDate, latest);
    EXPECT_EQ(window.Market().simulation.date, 20260106u);  // kept for the next time
}

}  // namespace

namespace {

TEST(SmallChartPage, PickedStocksShowAsEightChartsAndOneOpens) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    window.ChooseMarket(picking::CandidateMarket::All);
    ASSERT_TRUE(window.StartScan());
    window.WaitForScan();
    const auto& selected = window.Scan().Outcome().selected;
    ASSERT_FALSE(selected.empty());
    static_cast<QPushButton*>(window.Control(1045))->click();
    EXPECT_EQ(window.Screen(), app::ScreenMode::SmallCharts);
    EXPECT_EQ(window.SmallChartCodes().size(), std::min<size_t>(8, selected.size()));
    EXPECT_EQ(window.SmallChartCodes()[0], selected[0].code);
    // A click on the first chart opens that stock.
    window.HandleClick(100, 100);
    EXPECT_EQ(window.Screen(), app::ScreenMode::Chart);
    EXPECT_EQ(window.Chart()->Stock().code, selected[0].code);
    // The picked list itself opens its rows.
    window.ChoosePicked(0);
    EXPECT_EQ(window.Sectors().selectedPicked, 0);
}

}  // namespace

namespace {

// Whether any pixel of the rectangle differs from the panel's beige.
bool Drawn(const QImage& image, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (image.pixelColor(x, y) != QColor(236, 233, 216)) return true;
    return false;
}

TEST(EstimateBox, ResultsAndFailuresAreWrittenUnderTheBox) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    auto* box = static_cast<QLineEdit*>(window.Control(1073));
    EXPECT_FALSE(Drawn(window.Canvas().Image(), 886, 570, 1020, 606));
    box->setText(QStringLiteral("60000"));  // five characters: ignored
    window.RunStripCommand(26);
    EXPECT_FALSE(Drawn(window.Canvas().Image(), 886, 570, 1020, 606));
    box->setText(QStringLiteral("999990"));  // not in the code table
    window.RunStripCommand(26);
    EXPECT_TRUE(Drawn(window.Canvas().Image(), 893, 586, 1000, 600));
    EXPECT_FALSE(Drawn(window.Canvas().Image(), 912, 576, 1000, 585));  // no code line
    box->setText(QString::fromStdString(data::CodeText(window.Scan().Outcome().selected.empty()
                                                           ? 600000
                                                           : window.Scan().Outcome().selected[0].code)));
    window.RunStripCommand(27);
    EXPECT_TRUE(Drawn(window.Canvas().Image(), 896, 593, 1010, 606));
    EXPECT_TRUE(prompter.records.empty());  // written on the page, no message boxes
}

}  // namespace
