#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "screen/controls.h"
#include "base/recording_prompter.h"
#include "demo/demo_market.h"
#include "support/fixture_market.h"
#include "support/small_demo_market.h"
#include "ui/recording_canvas.h"

namespace {

const std::string& DemoRoot() { return fixture::SmallDemoRoot(); }

TEST(SectorPageWindow, ScanWithoutCandidatesIsRefusedWithItsMessage) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    EXPECT_FALSE(window.Run([&](auto& c) { return c.StartScan(); }));
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text,
              "待选股为零。请先选择沪、深股票，或“载入”待选股，再“板块扫描”");
    EXPECT_EQ(prompter.records[0].caption, "提示");
}

TEST(SectorPageWindow, HotScanRanksSectorsAndAMemberOpensForwardAdjusted) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    window.Run([&](auto& c) { c.ChooseMarket(picking::CandidateMarket::All); });
    EXPECT_EQ(window.Controller().Sectors().candidateCount, 300u);
    window.Run([&](auto& c) { c.ChooseScanType(sectors::ScanType::Hot); });
    EXPECT_EQ(window.Controller().Sectors().threshold, 200);  // the boxes start at "2" "00"
    ASSERT_TRUE(window.Run([&](auto& c) { return c.StartScan(); }));
    window.Run([&](auto& c) { c.WaitForScan(); });
    EXPECT_FALSE(window.Controller().Busy().load());
    const auto& outcome = window.Controller().Scan().Outcome();
    ASSERT_GT(window.Controller().Sectors().RankCount(), 0u);
    EXPECT_EQ(window.Controller().Sectors().highlightedRank, 1);
    ASSERT_FALSE(window.Controller().Sectors().members.empty());
    // Scores fall with the rank, and every member moved at least the threshold.
    for (size_t i = 1; i < outcome.ranking.sectors.size(); ++i)
        EXPECT_LE(outcome.ranking.sectors[i].score, outcome.ranking.sectors[i - 1].score);
    for (const auto& member : window.Controller().Sectors().members) EXPECT_GE(member.value, 200u);

    // The scan's own condition is the single method entry.
    ASSERT_EQ(window.Controller().Methods().Count(), 1u);
    EXPECT_EQ(window.Controller().Methods().Entry(1).substr(0, 5), "b8(1,");
    // More than ten sectors: the ranking's scroll bar turns to the next page.
    if (window.Controller().Sectors().RankCount() > 10) {
        EXPECT_TRUE(window.RankScrollBar()->isVisible() || !window.isVisible());
        window.RankScrollBar()->setValue(1);
        EXPECT_EQ(window.Controller().Sectors().firstRank, 11);
        window.RankScrollBar()->setValue(0);
    }

    const uint32_t code = window.Controller().Sectors().members[0].code;
    window.Run([&](auto& c) { c.ChooseMember(0); });
    EXPECT_EQ(window.Controller().Chart()->Stock().code, code);
    EXPECT_EQ(window.Controller().Chart()->AdjustMode(), data::AdjustMode::Forward);
    EXPECT_TRUE(static_cast<QRadioButton*>(window.Control(screen::ControlId::ForwardAdjusted))->isChecked());
    EXPECT_TRUE(window.Controller().Chart()->Page().Model().OpenedFromResult());

    // A new scan type discards the result.
    window.Run([&](auto& c) { c.ChooseScanType(sectors::ScanType::Fall); });
    EXPECT_EQ(window.Controller().Sectors().RankCount(), 0u);
    EXPECT_EQ(window.Controller().Sectors().highlightedRank, 0);
}

TEST(SectorPageWindow, TrendSaveAndWatchListActOnTheHighlightedSector) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    window.Run([&](auto& c) { c.StripNumber(18); });  // 板块走势 before any scan
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text, "请先扫描生成板块");

    window.Run([&](auto& c) { c.ChooseMarket(picking::CandidateMarket::All); });
    ASSERT_TRUE(window.Run([&](auto& c) { return c.StartScan(); }));
    window.Run([&](auto& c) { c.WaitForScan(); });
    ASSERT_GT(window.Controller().Sectors().RankCount(), 0u);
    window.Run([&](auto& c) { c.StripNumber(18); });
    EXPECT_EQ(window.Controller().Chart()->Stock().code, 999998u);
    EXPECT_TRUE(window.Controller().Chart()->Stock().isIndex);
    EXPECT_EQ(window.Controller().Screen(), screen::ScreenMode::Chart);

    const size_t before = static_cast<size_t>(window.WatchList()->count());
    window.Run([&](auto& c) { c.ChooseMember(0); });
    window.Run([&](auto& c) { c.StripNumber(20); });  // 加入
    window.Run([&](auto& c) { c.StripNumber(20); });  // a second time adds nothing
    EXPECT_EQ(static_cast<size_t>(window.WatchList()->count()), before + 2);
}


TEST(SimulationBar, DatesAreCheckedSteppedAndCutTheChart) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();
    const uint32_t latest = window.Controller().Market().index.lastDate;
    EXPECT_EQ(window.Controller().Chart()->Stock().viewEndDate, latest);

    window.Run([&](auto& c) { c.EnterSimulationMode(); });
    EXPECT_TRUE(window.Controller().Market().simulation.active);
    window.Run([&](auto& c) { c.ConfirmSimulation("2014032"); });
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text,
              "模拟日期输入格式有误。例如模拟日期2014年3月21日，输入格式为20140321");

    window.Run([&](auto& c) { c.ConfirmSimulation("20260105"); });
    EXPECT_EQ(window.Controller().Market().simulation.date, 20260105u);
    EXPECT_EQ(window.Controller().Chart()->Stock().viewEndDate, 20260105u);  // the index chart stops there
    window.Run([&](auto& c) { c.StepSimulation(1); });
    EXPECT_EQ(window.Controller().Market().simulation.date, 20260106u);
    EXPECT_EQ(window.Controller().Chart()->Stock().viewEndDate, 20260106u);

    window.Run([&](auto& c) { c.ExitSimulationMode(); });
    EXPECT_FALSE(window.Controller().Market().simulation.active);
    EXPECT_EQ(window.Controller().Chart()->Stock().viewEndDate, latest);
    EXPECT_EQ(window.Controller().Market().simulation.date, 20260106u);  // kept for the next time
}

}  // namespace

namespace {

TEST(SmallChartPage, PickedStocksShowAsEightChartsAndOneOpens) {
    base::RecordingPrompter prompter;
    app::CMainDlg window(DemoRoot(), &prompter);
    ASSERT_TRUE(window.Initialise());
    window.Run([&](auto& c) { c.ChooseMarket(picking::CandidateMarket::All); });
    ASSERT_TRUE(window.Run([&](auto& c) { return c.StartScan(); }));
    window.Run([&](auto& c) { c.WaitForScan(); });
    const auto& selected = window.Controller().Scan().Outcome().selected;
    ASSERT_FALSE(selected.empty());
    static_cast<QPushButton*>(window.Control(1045))->click();
    EXPECT_EQ(window.Controller().Screen(), screen::ScreenMode::SmallCharts);
    EXPECT_EQ(window.Controller().SmallChartCodes().size(), std::min<size_t>(8, selected.size()));
    EXPECT_EQ(window.Controller().SmallChartCodes()[0], selected[0].code);
    // A click on the first chart opens that stock.
    window.HandleClick(100, 100);
    EXPECT_EQ(window.Controller().Screen(), screen::ScreenMode::Chart);
    EXPECT_EQ(window.Controller().Chart()->Stock().code, selected[0].code);
    // The picked list itself opens its rows.
    window.Run([&](auto& c) { c.ChoosePicked(0); });
    EXPECT_EQ(window.Controller().Sectors().selectedPicked, 0);
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
    window.Run([&](auto& c) { c.StripNumber(26); });
    EXPECT_FALSE(Drawn(window.Canvas().Image(), 886, 570, 1020, 606));
    box->setText(QStringLiteral("999990"));  // not in the code table
    window.Run([&](auto& c) { c.StripNumber(26); });
    EXPECT_TRUE(Drawn(window.Canvas().Image(), 893, 586, 1000, 600));
    EXPECT_FALSE(Drawn(window.Canvas().Image(), 912, 576, 1000, 585));  // no code line
    box->setText(QString::fromStdString(data::CodeText(window.Controller().Scan().Outcome().selected.empty()
                                                           ? 600000
                                                           : window.Controller().Scan().Outcome().selected[0].code)));
    window.Run([&](auto& c) { c.StripNumber(27); });
    EXPECT_TRUE(Drawn(window.Canvas().Image(), 896, 593, 1010, 606));
    EXPECT_TRUE(prompter.records.empty());  // written on the page, no message boxes
}

}  // namespace
