// The screen controller without a window system: every strip command,
// control and key as typed events, against a fake host and a recording canvas.
#include "screen/screen_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/code_table.h"
#include "demo/demo_market.h"
#include "picking/candidates.h"
#include "picking/simulation.h"
#include "screen/screen_fixture.h"
#include "ui/fonts.h"

namespace {

using screen::ControlId;
using screen::Invalidation;
using screen::ScreenMode;
using screen::StripCommand;
using screentest::DemoRoot;
using screentest::FirstStock;
using screentest::OwnMarket;
using screentest::Screen;

TEST(ScreenController, StartsOnTheIndexChartAndRefusesASecondCopy) {
    Screen s;
    ASSERT_TRUE(s.started);
    EXPECT_EQ(s.controller.Screen(), ScreenMode::Chart);
    EXPECT_EQ(s.controller.Page(), screen::PageKind::Sector);
    EXPECT_EQ(s.controller.Chart()->Stock().code, 999999u);
    EXPECT_EQ(s.controller.Pending(), Invalidation::None);
    EXPECT_GT(s.host.focusCount, 0);

    screentest::FakeHost otherHost;
    ui::RecordingCanvas otherCanvas;
    screen::ScreenController second(otherHost, otherCanvas);
    EXPECT_FALSE(second.Start(DemoRoot(), std::time(nullptr)));
    ASSERT_EQ(otherHost.prompter.Messages().size(), 1u);
    EXPECT_EQ(otherHost.prompter.Messages()[0].text, "《板块擎宇》已经在运行");
}

TEST(ScreenController, EveryStripCommandDoesItsJobOrSaysWhy) {
    struct Case {
        StripCommand command;
        std::vector<std::string> messages;
    };
    const std::vector<Case> refusals = {
        {StripCommand::SectorScan, {"待选股为零。请先选择沪、深股票，或“载入”待选股，再“板块扫描”"}},
        {StripCommand::SectorTrend, {"请先扫描生成板块"}},
        {StripCommand::SaveSector, {"当前选出股为空，无法保存"}},
        {StripCommand::AddPicked, {"请先在“选出股”中点取股票，再开始加入自选"}},
        // The method-list commands belong to the picking page: nothing here.
        {StripCommand::MethodUp, {}},
        {StripCommand::MethodDown, {}},
        {StripCommand::MethodDelete, {}},
        {StripCommand::MethodInsert, {}},
        {StripCommand::MethodAppend, {}},
        {StripCommand::MethodModify, {}},
        {StripCommand::MethodConfirm, {}},
        {StripCommand::SaveResults, {"当前选出股为空，无法保存"}},
        {StripCommand::StepPick, {"选股方法为空，请先“加入方法”再“单步选股”"}},
        {StripCommand::EstimateTop, {}},  // an empty code box is no code
        {StripCommand::StripLoad, {}},
    };
    for (const Case& c : refusals) {
        Screen s;
        s.controller.Strip(c.command);
        EXPECT_EQ(s.Messages(), c.messages) << static_cast<int>(c.command);
        EXPECT_EQ(s.controller.Screen(), ScreenMode::Chart) << static_cast<int>(c.command);
    }

    // Help commands draw their page; the same command again turns it.
    const struct {
        StripCommand command;
        ui::HelpTopic topic;
    } help[] = {{StripCommand::HelpGrowFunds, ui::HelpTopic::GrowYourFunds},
                {StripCommand::HelpSectors, ui::HelpTopic::OperateSectors},
                {StripCommand::HelpLower, ui::HelpTopic::General},
                {StripCommand::HelpUpper, ui::HelpTopic::General}};
    for (const auto& h : help) {
        Screen s;
        s.controller.Strip(h.command);
        EXPECT_EQ(s.controller.Screen(), ScreenMode::TextPage);
        EXPECT_EQ(s.controller.ShownHelp(), h.topic);
        EXPECT_EQ(s.controller.ShownHelpPage(), 0);
        EXPECT_TRUE(Has(s.controller.Pending(), Invalidation::Page));
        s.controller.Strip(h.command);
        EXPECT_EQ(s.controller.ShownHelpPage(), ui::HelpPageCount(h.topic) > 1 ? 1 : 0);
    }

    // 原理设置 runs the weights editor on the live weights.
    Screen s;
    s.host.editWeights = [](sectors::FactorWeights& top) { top[0] = 50; };
    s.controller.Strip(StripCommand::Weights);
    EXPECT_EQ(s.host.weightsRuns, 1);
    EXPECT_EQ(s.controller.TopWeights()[0], 50);
    EXPECT_EQ(s.controller.BottomWeights(), sectors::kDefaultFactorWeights);

    // An unknown code in the estimate box is said on the page.
    s.host.texts[ControlId::EstimateCode] = "123456";
    s.controller.Strip(StripCommand::EstimateBottom);
    EXPECT_TRUE(s.canvas.FindText(sectors::kEstimateUnknownCode));
    // 测顶 on a stock writes its probability line.
    s.host.texts[ControlId::EstimateCode] = data::CodeText(FirstStock(s.controller));
    s.canvas.Clear();
    s.controller.Strip(StripCommand::EstimateTop);
    EXPECT_TRUE(s.canvas.FindText("阶段顶部的概率为   % "));
}

TEST(ScreenController, LowerPanelArrowsActOnTheChartScreenOnly) {
    Screen s;
    s.controller.Strip(StripCommand::LowerPanelUp);
    EXPECT_EQ(s.controller.Chart()->Page().Model().LowerPanel(), chart::LowerPanelSize::Enlarged);
    EXPECT_TRUE(Has(s.controller.Pending(), Invalidation::Chart));
    s.controller.Render();
    EXPECT_EQ(s.controller.Pending(), Invalidation::None);
    s.controller.Strip(StripCommand::HelpUpper);
    s.controller.Strip(StripCommand::LowerPanelDown);  // on a text page: nothing
    EXPECT_EQ(s.controller.Chart()->Page().Model().LowerPanel(), chart::LowerPanelSize::Enlarged);
    EXPECT_FALSE(screen::StripCommandOf(29).has_value());
    EXPECT_EQ(screen::StripCommandOf(39), StripCommand::LowerPanelUp);
}

TEST(ScreenController, EveryControlOfTheWindowIsHandled) {
    Screen s;
    s.controller.Button(ControlId::ShenzhenIndex);
    EXPECT_EQ(s.controller.Chart()->Stock().code, 399001u);
    s.controller.Button(ControlId::ShanghaiIndex);
    EXPECT_EQ(s.controller.Chart()->Stock().code, 999999u);

    // Zoom and period buttons change the chart.
    const int zoom = s.controller.Chart()->Page().Model().Zoom();
    s.controller.Button(ControlId::ZoomIn);
    EXPECT_NE(s.controller.Chart()->Page().Model().Zoom(), zoom);
    s.controller.Button(ControlId::ZoomOut);
    EXPECT_EQ(s.controller.Chart()->Page().Model().Zoom(), zoom);
    for (ControlId id : {ControlId::First, ControlId::PageBack, ControlId::Back, ControlId::Forward,
                         ControlId::PageForward, ControlId::Last})
        s.controller.Button(id);
    s.controller.Button(ControlId::Weekly);
    EXPECT_EQ(s.controller.Chart()->Period(), data::Period::Weekly);
    s.controller.Button(ControlId::Monthly);
    EXPECT_EQ(s.controller.Chart()->Period(), data::Period::Monthly);
    s.controller.Button(ControlId::Daily);
    EXPECT_EQ(s.controller.Chart()->Period(), data::Period::Daily);

    // ↘ and ↖: the table's next and previous codes with a day file.
    const uint32_t stock = FirstStock(s.controller);
    s.controller.OpenSecurity(stock);
    s.controller.Button(ControlId::NextStock);
    EXPECT_GT(s.controller.Chart()->Stock().code, stock);
    s.controller.Button(ControlId::PreviousStock);
    EXPECT_EQ(s.controller.Chart()->Stock().code, stock);

    // The radios: themes and adjustment modes.
    s.controller.Radio(ControlId::RegularTheme);
    EXPECT_EQ(s.controller.Chart()->Theme(), ui::ThemeId::Regular);
    s.controller.Radio(ControlId::ForwardAdjusted);
    EXPECT_EQ(s.controller.Chart()->AdjustMode(), data::AdjustMode::Forward);
    s.controller.Radio(ControlId::RawPrices);
    EXPECT_EQ(s.controller.Chart()->AdjustMode(), data::AdjustMode::None);

    s.controller.Button(ControlId::IndicatorSettings);
    EXPECT_EQ(s.host.indicatorSettingsRuns, 1);
    EXPECT_TRUE(Has(s.controller.Pending(), Invalidation::Chart));

    s.controller.Button(ControlId::Help);
    EXPECT_EQ(s.controller.ShownHelp(), ui::HelpTopic::General);
    s.controller.Button(ControlId::WatchEight);  // an empty watch list: nothing
    EXPECT_EQ(s.controller.Screen(), ScreenMode::TextPage);
    s.controller.Button(ControlId::PickedEight);  // no scan yet: nothing
    EXPECT_EQ(s.controller.Screen(), ScreenMode::TextPage);

    s.controller.Button(ControlId::DataButton);
    EXPECT_EQ(s.host.dataPages, std::vector<screen::DataPage>{screen::DataPage::Download});

    // The watch-list buttons on an empty list do nothing and say nothing.
    s.host.prompter.records.clear();
    for (ControlId id : {ControlId::WatchOpen, ControlId::WatchUp, ControlId::WatchDown,
                         ControlId::WatchDelete, ControlId::WatchSave})
        s.controller.Button(id);
    EXPECT_TRUE(s.host.prompter.records.empty());
}

TEST(ScreenController, EveryKeyReachesTheChartAndF11OpensTheInstallPage) {
    Screen s;
    const uint32_t stock = FirstStock(s.controller);
    s.controller.OpenSecurity(stock);
    EXPECT_TRUE(s.controller.PressKey(screen::Key::PageDown));
    EXPECT_GT(s.controller.Chart()->Stock().code, stock);
    EXPECT_TRUE(s.controller.PressKey(screen::Key::PageUp));
    EXPECT_EQ(s.controller.Chart()->Stock().code, stock);
    for (screen::Key key : {screen::Key::Home, screen::Key::End, screen::Key::Left, screen::Key::Right,
                            screen::Key::Up, screen::Key::Down, screen::Key::F1, screen::Key::F2,
                            screen::Key::F3, screen::Key::F4})
        s.controller.PressKey(key);
    EXPECT_TRUE(s.controller.PressKey(screen::Key::F11));
    EXPECT_EQ(s.host.dataPages, std::vector<screen::DataPage>{screen::DataPage::Install});
    // Off the chart the keys are not taken.
    s.controller.Strip(StripCommand::HelpUpper);
    EXPECT_FALSE(s.controller.PressKey(screen::Key::Left));
}

TEST(ScreenController, TheCrosshairRepaintsOverTheSavedChartOnly) {
    Screen s;
    s.controller.Render();
    // A move inside the chart asks for the cursor only; its paint puts back
    // the saved chart under the last crosshair and does not rebuild the chart.
    s.controller.MouseMove(400, 150);
    EXPECT_EQ(s.controller.Pending(), Invalidation::Cursor);
    s.canvas.Clear();
    s.controller.Render();
    EXPECT_TRUE(s.canvas.Of(ui::DrawKind::SaveSnapshot).empty());
    s.controller.MouseMove(410, 160);
    s.canvas.Clear();
    s.controller.Render();
    EXPECT_FALSE(s.canvas.Of(ui::DrawKind::RestoreSnapshot).empty());
    EXPECT_TRUE(s.canvas.Of(ui::DrawKind::SaveSnapshot).empty());
    // A chart request rebuilds it and saves the new picture.
    s.controller.RequestChartRedraw();
    s.canvas.Clear();
    s.controller.Render();
    EXPECT_EQ(s.canvas.Of(ui::DrawKind::SaveSnapshot).size(), 1u);
}

TEST(ScreenController, AScanRunsOnItsWorkerAndTheTickPublishesIt) {
    Screen s;
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    EXPECT_EQ(s.controller.Sectors().candidateCount, 300u);
    s.host.texts[ControlId::HotWhole] = "3";
    s.controller.ChooseScanType(sectors::ScanType::Hot);
    EXPECT_EQ(s.controller.Sectors().threshold, 300);
    s.controller.Strip(StripCommand::SectorScan);
    EXPECT_TRUE(s.controller.Busy().load());
    // No second scan while one runs.
    EXPECT_FALSE(s.controller.StartScan());
    while (s.controller.Busy().load()) s.controller.Tick(screen::Timer::Progress);
    EXPECT_EQ(s.host.progress, screen::kProgressMaximum);
    ASSERT_GT(s.controller.Sectors().RankCount(), 0u);
    EXPECT_EQ(s.controller.Sectors().highlightedRank, 1);
    EXPECT_EQ(s.host.scrollBars[ControlId::MemberScrollBar].page, 0);

    // A member opens forward-adjusted and the radio follows.
    s.controller.ChooseMember(0);
    EXPECT_EQ(s.controller.Chart()->Stock().code, s.controller.Sectors().members[0].code);
    EXPECT_EQ(s.host.checked.back(), ControlId::ForwardAdjusted);
    // 加入 puts it in the watch list once.
    s.controller.Strip(StripCommand::AddPicked);
    s.controller.Strip(StripCommand::AddPicked);
    ASSERT_EQ(s.controller.WatchCodes().size(), 1u);
    EXPECT_EQ(s.host.watchLines.size(), 2u);
    EXPECT_EQ(s.host.watchLines[0], data::CodeText(s.controller.Sectors().members[0].code));
    // A new scan type discards the result.
    s.controller.ChooseScanType(sectors::ScanType::Fall);
    EXPECT_EQ(s.controller.Sectors().RankCount(), 0u);
}

// "Set" keeps its weight for every later scan; "Max" lasts until the next
// scan starts, which derives the caps from the weights again.
TEST(ScreenController, RankingKeywordsLastByTheirRule) {
    Screen s;
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.host.texts[ControlId::HotWhole] = "3";
    auto scan = [&] {
        ASSERT_TRUE(s.controller.StartScan());
        s.controller.WaitForScan();
    };
    auto query = [&](const std::string& entry) {
        s.host.texts[ControlId::QueryBox] = entry;
        s.canvas.Clear();
        s.controller.Strip(StripCommand::PropertyQuery);
    };
    scan();
    const sectors::RankWeights library = s.controller.Scan().Outcome().settings.weights;
    EXPECT_EQ(library.count, 200u);

    query("Set2-150");
    query("Max2-9999");
    query("Diag");
    EXPECT_NE(s.canvas.JoinedText().find("CX_Code_p=150"), std::string::npos);
    EXPECT_NE(s.canvas.JoinedText().find("CX_Max=9999"), std::string::npos);
    // Another query does not take the weight back.
    query("600000");
    scan();
    EXPECT_EQ(s.controller.Scan().Outcome().settings.weights.count, 150u);
    EXPECT_EQ(s.controller.Scan().Outcome().settings.weights.share, library.share);
    query("Diag");
    EXPECT_NE(s.canvas.JoinedText().find("CX_Max=4200"), std::string::npos)  // 150 × 28
        << s.canvas.JoinedText();
    // And the weight holds for the scan after that too.
    scan();
    EXPECT_EQ(s.controller.Scan().Outcome().settings.weights.count, 150u);
}

TEST(SectorPage, RankingBarsAreScoreTimes170OverTheTopScore) {
    EXPECT_EQ(screen::RankBarLength(5400, 5400), 170);
    EXPECT_EQ(screen::RankBarLength(2700, 5400), 85);
    EXPECT_EQ(screen::RankBarLength(10, 5400), 1);  // never less than a pixel
    EXPECT_EQ(screen::RankBarLength(-300, 5400), 1);
    EXPECT_EQ(screen::RankBarLength(7, 0), 1);

    // The drawn bars of a real ranking: the top one is 170 pixels long.
    Screen s;
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.host.texts[ControlId::HotWhole] = "3";
    ASSERT_TRUE(s.controller.StartScan());
    s.controller.WaitForScan();
    const auto& sectorsRanked = s.controller.Scan().Outcome().ranking.sectors;
    ASSERT_GE(sectorsRanked.size(), 2u);
    int widest = 0;
    for (const ui::DrawCall& fill : s.canvas.Of(ui::DrawKind::FillRect))
        if (fill.top == 445 + 13 && fill.bottom == 445 + 17) widest = std::max(widest, fill.right - fill.left);
    EXPECT_EQ(widest, 170);
}

TEST(SectorPage, RankingRowsShowTheirLimitUpCounts) {
    Screen s;
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.host.texts[ControlId::HotWhole] = "3";
    ASSERT_TRUE(s.controller.StartScan());
    s.controller.WaitForScan();
    const auto& limits = s.controller.Scan().Outcome().limits;
    // Each of the first page's sectors with a limit-up member shows its count
    // in red at the row's right end, with the streak from two days on.
    size_t expected = 0;
    for (size_t r = 0; r < std::min<size_t>(limits.size(), 10); ++r) {
        if (limits[r].limitUp == 0) continue;
        ++expected;
        std::string text = "涨停" + std::to_string(limits[r].limitUp);
        if (limits[r].streak >= 2) text += " " + std::to_string(limits[r].streak) + "连板";
        bool found = false;
        for (const ui::DrawCall& t : s.canvas.Texts())
            if (t.utf8 == text && t.top == 445 + static_cast<int>(r) * 18 + 1) {
                found = true;
                EXPECT_EQ(t.left + ui::TextWidth(12, t.gbk), 520);
                EXPECT_EQ(t.colour, (ui::Rgb{200, 0, 0}));
            }
        EXPECT_TRUE(found) << text << " on row " << r;
    }
    EXPECT_GT(expected, 0u);
}

TEST(ScreenController, DataPagesLeadToTheReloadsTheirChangesNeed) {
    fixture::TempDir dir;
    Screen s(OwnMarket(dir));
    const uint32_t last = s.controller.Market().index.lastDate;
    // A page that reports nothing changed reloads nothing but the examples.
    s.controller.PressKey(screen::Key::F11);
    EXPECT_EQ(s.controller.Market().index.lastDate, last);
    EXPECT_FALSE(s.host.busyDuringDataPage);

    // A page that brought a newer index day: the index is read again.
    s.host.dataPageWork = [&](data::MarketState& market) {
        auto bytes = base::ReadWholeFile(data::DayFilePath(market.paths, 999999), 1u << 24);
        std::vector<uint8_t> file = *bytes;
        std::vector<uint8_t> bar(file.end() - 28, file.end());
        base::WriteU32(bar.data(), 20261207);
        file.insert(file.end(), bar.begin(), bar.end());
        EXPECT_TRUE(base::WriteFileAtomic(data::DayFilePath(market.paths, 999999), file).ok());
        screen::DataChanges changes = screen::DataChanges::From(market);
        changes.changed = true;
        changes.latestDate = 20261207;
        return changes;
    };
    s.controller.Button(ControlId::DataButton);
    EXPECT_EQ(s.controller.Market().index.lastDate, 20261207u);
    EXPECT_EQ(s.controller.Chart()->Stock().lastDate, 20261207u);  // the open index read again
}

// Raises the last close of every stock by a twentieth, writing into the
// files in place: the day-file folders keep their stamps.
void RaiseLastClosesInPlace(screen::ScreenController& controller) {
    data::CodeTable codes(controller.Workspace().CodeTableRegion());
    for (size_t i = 0; i < codes.Count(); ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (data::IsIndexCode(code)) continue;
        std::fstream file(data::DayFilePath(controller.Market().paths, code),
                          std::ios::in | std::ios::out | std::ios::binary);
        ASSERT_TRUE(file.is_open()) << code;
        file.seekg(-20 + 8, std::ios::end);  // word 2 of the last record: low, close
        uint8_t word[4];
        file.read(reinterpret_cast<char*>(word), 4);
        const uint32_t value = base::ReadU32(word);
        const uint32_t close = (value >> 16) * 21 / 20;
        base::WriteU32(word, (value & 0xFFFF) | (close << 16));
        file.seekp(-20 + 8, std::ios::end);
        file.write(reinterpret_cast<const char*>(word), 4);
    }
}

sectors::ScanOutcome WindowScan(Screen& s) {
    EXPECT_TRUE(s.controller.StartScan());
    s.controller.WaitForScan();
    return s.controller.Scan().Outcome();
}

// The same scan on a scan object of its own that reads every file.
sectors::ScanOutcome FileScan(Screen& s) {
    data::Workspace& workspace = s.controller.Workspace();
    const data::MarketState& market = s.controller.Market();
    const data::CodeTable codes(workspace.CodeTableRegion());
    sectors::SectorScan scan;
    scan.SetReadAhead(std::nullopt);
    std::vector<picking::PendingMessage> messages;
    scan.Run(picking::MarketInputsOf(workspace, market, codes),
             sectors::SectorLibrary(
                 workspace.Bytes(data::BufferId::SectorLibrary).first(market.sectorLibraryBytes)),
             {s.controller.Sectors().type, s.controller.Sectors().threshold,
              sectors::RankWeights::FromLibrary(market.sectorHeader)},
             picking::SelectCandidates(codes, picking::CandidateMarket::All),
             picking::SimulationCutoff(market.simulation), messages);
    return scan.Outcome();
}

// The same date, selection, ranking and stored result (the result buffer
// past the stored sectors holds whatever an earlier scan left there).
bool SameScan(const sectors::ScanOutcome& a, const sectors::ScanOutcome& b) {
    if (a.referenceDate != b.referenceDate || a.selected != b.selected ||
        a.ranking.sectors.size() != b.ranking.sectors.size())
        return false;
    for (size_t i = 0; i < a.ranking.sectors.size(); ++i)
        if (a.ranking.sectors[i].number != b.ranking.sectors[i].number ||
            a.ranking.sectors[i].score != b.ranking.sectors[i].score)
            return false;
    const auto ra = a.Result(), rb = b.Result();
    if (ra.SectorCount() != rb.SectorCount()) return false;
    for (size_t rank = 1; rank <= ra.SectorCount(); ++rank)
        if (ra.ResultSectorName(rank) != rb.ResultSectorName(rank) ||
            ra.LoadResultSector(rank) != rb.LoadResultSector(rank))
            return false;
    return true;
}

TEST(ScreenController, RepeatedScansComeFromKeptTailsUntilTheDataChanges) {
    fixture::TempDir dir;
    Screen s(OwnMarket(dir));
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.host.texts[ControlId::HotWhole] = "0";  // every stock that rose
    s.controller.ChooseScanType(sectors::ScanType::Hot);
    const sectors::ScanOutcome first = WindowScan(s);
    EXPECT_TRUE(SameScan(first, FileScan(s)));
    ASSERT_FALSE(first.selected.empty());

    // Files changed behind the window's back are not read again: the next
    // scan is served from the tails the first one kept.
    RaiseLastClosesInPlace(s.controller);
    const sectors::ScanOutcome changed = FileScan(s);
    ASSERT_FALSE(SameScan(first, changed));
    EXPECT_TRUE(SameScan(WindowScan(s), first));

    // A data page (an install, an import, 数据下载) drops them all.
    s.controller.Button(ControlId::DataButton);
    EXPECT_TRUE(SameScan(WindowScan(s), changed));

    // Simulation dates far back and back again, another type.
    for (uint32_t date : {20260302u, 20261201u, 0u}) {
        s.controller.UseSimulationDate(date);
        EXPECT_TRUE(SameScan(WindowScan(s), FileScan(s))) << date;
    }
    s.controller.ChooseScanType(sectors::ScanType::Fall);
    EXPECT_TRUE(SameScan(WindowScan(s), FileScan(s)));
}

TEST(ScreenController, TypingACodeRunsTheFinderAndOpensTheChoice) {
    Screen s;
    s.host.finderChoice = {600000, 0};
    s.controller.CodeTyped("6");
    EXPECT_EQ(s.host.finderTexts, std::vector<std::string>{"6"});
    EXPECT_EQ(s.host.texts[ControlId::CodeBox], "");
    EXPECT_EQ(s.controller.Chart()->Stock().code, 600000u);
    EXPECT_EQ(s.controller.LastFinderCode(), 600000u);
    // An indicator choice selects it on the chart.
    s.host.finderChoice = {0, 15};
    s.controller.CodeTyped("v");
    EXPECT_EQ(s.controller.LastFinderIndicator(), 15);
    EXPECT_TRUE(Has(s.controller.Pending(), Invalidation::Chart));
    // A blank does not open the finder.
    s.controller.CodeTyped(" ");
    EXPECT_EQ(s.host.finderTexts.size(), 2u);
}

TEST(ScreenController, ExitAsksThenSavesTheWatchListAndLetsGo) {
    fixture::TempDir dir;
    const std::string root = OwnMarket(dir);
    screentest::FakeHost host;
    ui::RecordingCanvas canvas;
    {
        screen::ScreenController controller(host, canvas);
        ASSERT_TRUE(controller.Start(root, std::time(nullptr)));
        host.prompter.answers = {false};
        EXPECT_FALSE(controller.RequestExit());
        EXPECT_FALSE(controller.Released());
        host.prompter.answers = {true};
        EXPECT_TRUE(controller.RequestExit());
        EXPECT_TRUE(controller.Released());
    }
    // The lock went with it: a new controller starts.
    screen::ScreenController again(host, canvas);
    EXPECT_TRUE(again.Start(root, std::time(nullptr)));
}

TEST(ScreenController, IndexChartsShowTheirCodeAndTheRadiosHoldOnEveryPage) {
    Screen s;
    s.controller.Button(ControlId::ChiNextIndex);
    EXPECT_EQ(s.controller.Chart()->Stock().code, 399006u);
    EXPECT_EQ(s.host.texts[ControlId::CodeBox], "399006");
    s.controller.PressKey(screen::Key::F3);
    EXPECT_EQ(s.host.texts[ControlId::CodeBox], "999999");
    s.controller.OpenSecurity(FirstStock(s.controller));
    EXPECT_EQ(s.host.texts[ControlId::CodeBox], "");

    // A radio clicked on a text page still sets what the chart shows next.
    s.controller.OpenSecurity(FirstStock(s.controller));
    s.controller.Strip(StripCommand::HelpUpper);
    s.controller.Radio(ControlId::ForwardAdjusted);
    s.controller.Radio(ControlId::RegularTheme);
    s.controller.OpenSecurity(FirstStock(s.controller));
    EXPECT_EQ(s.controller.Chart()->AdjustMode(), data::AdjustMode::Forward);
    EXPECT_EQ(s.controller.Chart()->Theme(), ui::ThemeId::Regular);
}

TEST(ScreenController, TheSmallChartPageTurnsThroughItsListByEights) {
    Screen s;
    data::CodeTable codes(s.controller.Workspace().CodeTableRegion());
    std::vector<uint32_t> list;
    for (size_t i = 0; i < codes.Count() && list.size() < 10; ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (!data::IsIndexCode(code)) list.push_back(code);
    }
    ASSERT_EQ(list.size(), 10u);
    s.controller.ShowSmallCharts(list);
    EXPECT_TRUE(s.host.shown[ControlId::SmallChartsNext]);
    EXPECT_EQ(s.controller.SmallChartCodes(), std::vector<uint32_t>(list.begin(), list.begin() + 8));
    s.controller.Button(ControlId::SmallChartsNext);
    EXPECT_EQ(s.controller.SmallChartCodes(), std::vector<uint32_t>(list.begin() + 8, list.end()));
    s.controller.Button(ControlId::SmallChartsNext);  // back to the first eight
    EXPECT_EQ(s.controller.SmallChartCodes().front(), list.front());
    s.controller.OpenSecurity(list[3]);
    EXPECT_FALSE(s.host.shown[ControlId::SmallChartsNext]);
}

TEST(ScreenController, AClickInsideTheResultFrameTakesTheResultMarkAway) {
    Screen s;
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    ASSERT_TRUE(s.controller.StartScan());
    s.controller.WaitForScan();
    ASSERT_FALSE(s.controller.Sectors().members.empty());
    s.controller.ChooseMember(0);
    s.controller.Render();
    const auto& page = s.controller.Chart()->Page();
    ASSERT_TRUE(page.Model().OpenedFromResult());
    ASSERT_TRUE(page.Layout().resultMark.has_value());
    const auto mark = *page.Layout().resultMark;
    // Outside the frame nothing changes; inside it the frame goes.
    s.controller.Click(mark.left - 20, mark.top + 5);
    EXPECT_TRUE(page.Model().OpenedFromResult());
    s.controller.Click(mark.left + 1, mark.top + 5);
    EXPECT_FALSE(page.Model().OpenedFromResult());
    EXPECT_TRUE(Has(s.controller.Pending(), Invalidation::Chart));
    s.controller.Render();
    EXPECT_FALSE(page.Layout().resultMark.has_value());
}

TEST(SectorPage, PageDrawsTheEmptyRankingHintAndTheOptionRows) {
    screen::SectorView page;
    ui::RecordingCanvas canvas;
    std::vector<uint32_t> none(8, 0);
    screen::DrawSectorPage(canvas, page, data::CodeTable(none));
    EXPECT_TRUE(canvas.FindText("（当前板块为空，可在下方选取扫描"));
    EXPECT_TRUE(canvas.FindText("热点板块丨扫描涨幅≥"));
    EXPECT_TRUE(canvas.FindText("扫描："));
    EXPECT_TRUE(canvas.FindText("涨幅≥7.50%"));
    page.type = sectors::ScanType::Fund;
    page.threshold = 100;
    ui::RecordingCanvas fund;
    screen::DrawScanCaption(fund, page);
    EXPECT_TRUE(fund.FindText("成交增加≥100%"));
    // The option rows take clicks left of their entry boxes.
    EXPECT_EQ(screen::HitTestSectorPage(page, 150, 640).kind, screen::SectorPageClick::Kind::ChooseType);
    EXPECT_EQ(screen::HitTestSectorPage(page, 150, 684).value, 3);
    // No result yet: a ranking row is no zone.
    EXPECT_EQ(screen::HitTestSectorPage(page, 300, 500).kind, screen::SectorPageClick::Kind::None);
}

}  // namespace
