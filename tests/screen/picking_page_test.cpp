// The picking page without Qt: reaching it and back, the library's tabs and
// markers, the setting boards with their fields, the method list's commands
// and 单步选股, whose selection must be the command line's for the same entry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/gbk.h"
#include "picking/board_texts.h"
#include "screen/screen_fixture.h"
#include "support/cli_runner.h"

namespace {

using screen::ControlId;
using screen::PageKind;
using screen::StripCommand;
using screentest::OwnMarket;
using screentest::Screen;

// Canvas points of the page's zones.
constexpr int kTitleX = 150, kMarkerX = 84, kTitleTop = 460, kRowHeight = 18;
int TitleY(int row) { return kTitleTop + row * kRowHeight + 8; }
int TabX(int tab) { return 74 + tab * 49 + 20; }
constexpr int kTabY = 440;
int MethodRowY(int row) { return 455 + (row - 1) * kRowHeight + 8; }
constexpr int kMethodX = 600;

// Fills the open board's fields: whole parts, and "whole.fraction" for
// two-decimal parameters.
void Type(Screen& s, const std::vector<std::string>& values) {
    for (size_t k = 0; k < values.size(); ++k) {
        const std::string& v = values[k];
        const size_t point = v.find('.');
        s.host.texts[screen::BoardFieldId(k, false)] = v.substr(0, point);
        if (point != std::string::npos) s.host.texts[screen::BoardFieldId(k, true)] = v.substr(point + 1);
    }
}

bool Shown(const Screen& s, ControlId id) {
    auto it = s.host.shown.find(id);
    return it != s.host.shown.end() && it->second;
}

// Opens a condition by clicking its tab and its title row (paging as needed).
void OpenByClicks(Screen& s, int tab, int position) {
    s.controller.Click(TabX(tab), kTabY);
    for (int first = 1; position >= first + screen::kTitleRows; first += screen::kTitleRows)
        s.controller.Click(72 + 8 + 38 + 5, 680 + 8);  // 下页
    s.controller.Click(kTitleX, TitleY((position - 1) % screen::kTitleRows));
}

// The codes `bkqy-cli pick --json` selects for an entry over the whole market.
std::vector<uint32_t> CliPick(const std::string& root, const std::string& entry, const std::string& scratch) {
    const auto run = fixture::RunCli("pick --data '" + root + "' --method '" + entry + "' --market all --json", scratch);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<uint32_t> codes;
    for (size_t at = run.out.find("\"code\": \""); at != std::string::npos;
         at = run.out.find("\"code\": \"", at + 1))
        codes.push_back(static_cast<uint32_t>(std::stoul(run.out.substr(at + 9, 6))));
    return codes;
}

TEST(PickingPage, OpensFromTheHomeStripAndGoesBack) {
    Screen s;
    EXPECT_EQ(s.controller.Page(), PageKind::Sector);
    EXPECT_FALSE(Shown(s, ControlId::PickingEight));
    s.controller.Click(30, 608);  // 条件选股 in the left column
    EXPECT_EQ(s.controller.Page(), PageKind::Picking);
    EXPECT_FALSE(Shown(s, ControlId::HotWhole));
    EXPECT_FALSE(Shown(s, ControlId::QueryBox));
    EXPECT_TRUE(s.canvas.FindText("初级"));
    EXPECT_TRUE(s.canvas.FindText("a1：根据股价(收盘价)选取个股"));
    EXPECT_TRUE(s.canvas.FindText("选股方法(  0)"));
    // Each page shows its own 8 beside its picked list.
    EXPECT_TRUE(Shown(s, ControlId::PickingEight));
    EXPECT_FALSE(Shown(s, ControlId::PickedEight));

    // The board's fields go with the page.
    s.controller.OpenConditionBoard(1);
    EXPECT_TRUE(Shown(s, screen::BoardFieldId(0, false)));
    s.controller.Click(630, 418);  // 返回板块
    EXPECT_EQ(s.controller.Page(), PageKind::Sector);
    EXPECT_TRUE(Shown(s, ControlId::HotWhole));
    EXPECT_FALSE(Shown(s, screen::BoardFieldId(0, false)));
    EXPECT_TRUE(Shown(s, ControlId::PickedEight));
    EXPECT_FALSE(Shown(s, ControlId::PickingEight));
    // The documented method buttons are not on the sector page.
    s.controller.Click(563, 597);
    EXPECT_TRUE(s.Messages().empty());
}

TEST(PickingPage, TabsPageTheLibraryAndMarkersToggleIntoTheSettings) {
    Screen s;
    s.controller.ShowPickingPage();
    s.controller.Click(TabX(1), kTabY);  // 中级
    EXPECT_EQ(s.controller.Picking().tab, picking::kGroupB);
    EXPECT_TRUE(s.canvas.FindText("b1：向上突破Ｎ日内高点的个股"));
    // Position 8 of group b is b9.
    s.canvas.Clear();
    s.controller.Click(kTitleX, TitleY(7));
    EXPECT_EQ(s.controller.Picking().OpenCondition(), (picking::ConditionCode{picking::kGroupB, 9}));
    EXPECT_TRUE(s.canvas.FindText("选取下列均线向上多头排列的个股："));
    // The second page starts at position 13 (b14); 上页 goes back.
    s.controller.Click(72 + 8 + 38 + 5, 688);
    EXPECT_EQ(s.controller.Picking().firstTitle, 13);
    s.controller.Click(72 + 8 + 5, 688);
    EXPECT_EQ(s.controller.Picking().firstTitle, 1);

    EXPECT_FALSE(s.controller.Market().settings.MarkerSet(3, 2));
    s.controller.Click(kMarkerX, TitleY(1));
    EXPECT_TRUE(s.controller.Market().settings.MarkerSet(3, 2));
    s.controller.Click(kMarkerX, TitleY(1));
    EXPECT_FALSE(s.controller.Market().settings.MarkerSet(3, 2));
    // A marker click does not open the board.
    EXPECT_EQ(s.controller.Picking().openPosition, 8);
}

TEST(PickingPage, ConditionsAndIdeasShowTheirArticlesAbove) {
    Screen s;
    s.controller.ShowPickingPage();
    const picking::ConditionCode a3{picking::kGroupA, 3};
    ASSERT_TRUE(s.controller.OpenCondition(a3));
    EXPECT_EQ(s.controller.Screen(), screen::ScreenMode::TextPage);
    const std::string text = s.canvas.JoinedText();
    EXPECT_NE(text.find("N日涨幅选股"), std::string::npos);
    // The demo market has an example for every condition: its date and market.
    const uint32_t example = s.controller.Market().examples.ForCondition(a3.group, a3.number);
    ASSERT_NE(example, 0u);
    EXPECT_NE(text.find("输入模拟日期" + std::to_string(data::ExampleDate(example))), std::string::npos);
    EXPECT_NE(text.find("选“" + std::string(data::ExampleMarketName(example)) + "”"), std::string::npos);
    // The picture of a3 is MKDAT/mk2003.jpg; without one its path is drawn.
    ASSERT_EQ(s.host.pictures.size(), 1u);
    const std::string picture = s.controller.Market().paths.root + "MKDAT/mk2003.jpg";
    EXPECT_EQ(s.host.pictures[0], picture);
    EXPECT_TRUE(s.canvas.FindText("图片文件未找到"));
    EXPECT_TRUE(s.canvas.FindText(picture));
    EXPECT_FALSE(s.controller.OpenCondition({picking::kGroupB, 8}));  // not in the library

    // The fourth tab lists the ten investment ideas; a title shows its article and no board.
    s.controller.Click(TabX(3), kTabY);
    EXPECT_EQ(s.controller.Picking().tab, picking::kArticleGroup);
    s.canvas.Clear();
    s.controller.Click(kTitleX, TitleY(8));
    EXPECT_NE(s.canvas.JoinedText().find("买入前就定好止损价"), std::string::npos);
    EXPECT_FALSE(Shown(s, screen::BoardFieldId(0, false)));
    s.controller.Click(kMarkerX, TitleY(8));
    EXPECT_TRUE(s.controller.Market().settings.MarkerSet(1, 9));
    // 加入方法 has no board to take an entry from.
    s.controller.Strip(StripCommand::MethodAppend);
    EXPECT_EQ(s.controller.Methods().Count(), 0u);
}

TEST(PickingPage, BoardsShowTheRememberedValuesInTheirFields) {
    Screen s;
    s.controller.ShowPickingPage();
    s.controller.ChooseLibraryTab(picking::kGroupB);
    s.controller.OpenConditionBoard(16);  // b18
    EXPECT_TRUE(s.canvas.FindText("选取Ｎ日相对强弱指标RSI在下列范围股票："));
    EXPECT_TRUE(s.canvas.FindText("（Ｎ范围2-100）"));
    EXPECT_EQ(s.host.texts[screen::BoardFieldId(0, false)], "12");
    EXPECT_EQ(s.host.texts[screen::BoardFieldId(1, false)], "0");
    EXPECT_EQ(s.host.texts[screen::BoardFieldId(1, true)], "00");
    EXPECT_EQ(s.host.texts[screen::BoardFieldId(2, false)], "20");
    // N takes no fraction field; the fields of one row go left to right.
    EXPECT_FALSE(Shown(s, screen::BoardFieldId(0, true)));
    EXPECT_TRUE(Shown(s, screen::BoardFieldId(2, true)));
    const auto& low = s.host.places[screen::BoardFieldId(1, false)];
    const auto& high = s.host.places[screen::BoardFieldId(2, false)];
    EXPECT_EQ(low.y, high.y);
    EXPECT_LT(low.x + low.width, high.x);
    EXPECT_GT(low.y, s.host.places[screen::BoardFieldId(0, false)].y);
    // Fields of the previous board that this one lacks are hidden.
    s.controller.OpenConditionBoard(8);  // b9: five lengths
    EXPECT_TRUE(Shown(s, screen::BoardFieldId(4, false)));
    s.controller.OpenConditionBoard(1);  // b1: N only
    EXPECT_FALSE(Shown(s, screen::BoardFieldId(4, false)));
    EXPECT_FALSE(Shown(s, screen::BoardFieldId(1, false)));
}

TEST(PickingPage, TheMethodListIsBuiltFromBoardsAndRunsItsFirstEntry) {
    fixture::TempDir scratch;
    Screen s;
    s.controller.Click(30, 608);
    // a1 as offered.
    OpenByClicks(s, 0, 1);
    s.controller.Strip(StripCommand::MethodAppend);
    // a7 with two lengths of five, sorted and padded.
    OpenByClicks(s, 0, 7);
    Type(s, {"10", "0", "5", "10", "0", "3.5"});
    s.controller.Strip(StripCommand::MethodAppend);
    // b18: N out of range first, then accepted.
    OpenByClicks(s, 1, 16);  // b18
    Type(s, {"1", "0.00", "30.00"});
    s.controller.Strip(StripCommand::MethodAppend);
    EXPECT_EQ(s.Messages(), std::vector<std::string>{"N值输入范围为2—100"});
    Type(s, {"14", "0.00", "30.00"});
    s.controller.Strip(StripCommand::MethodAppend);
    // b31 with N = 3 is refused; N = 0 switches its context off.
    OpenByClicks(s, 1, 29);
    EXPECT_EQ(s.controller.Picking().OpenCondition(), (picking::ConditionCode{picking::kGroupB, 31}));
    Type(s, {"3", "10.00"});
    s.controller.Strip(StripCommand::MethodInsert);
    Type(s, {"0", "10.00"});
    s.controller.Strip(StripCommand::MethodInsert);
    EXPECT_EQ(s.Messages(), (std::vector<std::string>{"N值输入范围为2—100", "N值输入不能小于6"}));
    EXPECT_EQ(s.controller.Methods().Entries(),
              (std::vector<std::string>{"b31(0,10.00);", "a1(12.01,20.01);", "a7(5,10,0,0,0,3.50);",
                                        "b18(14,0.00,30.00);"}));
    EXPECT_TRUE(s.canvas.FindText("选股方法(  4)"));
    // The board remembers what was added last.
    OpenByClicks(s, 1, 16);  // b18
    EXPECT_EQ(s.host.texts[screen::BoardFieldId(0, false)], "14");

    // Modify a1 (row 2): its board opens on 初级 with the entry's values.
    s.controller.Click(kMethodX, MethodRowY(2));
    s.controller.Strip(StripCommand::MethodModify);
    EXPECT_EQ(s.controller.Picking().tab, picking::kGroupA);
    EXPECT_TRUE(s.controller.Picking().modifying);
    EXPECT_TRUE(s.canvas.FindText(std::string(picking::kModifyHint)));
    EXPECT_EQ(s.host.texts[screen::BoardFieldId(0, false)], "12");
    s.controller.Strip(StripCommand::MethodAppend);  // blocked until confirmed
    EXPECT_EQ(s.Messages().back(), "当前处于方法修改状态中，修改完后请点击“确认修改”");
    Type(s, {"3.00", "30.00"});
    s.controller.Strip(StripCommand::MethodConfirm);
    EXPECT_FALSE(s.controller.Picking().modifying);
    EXPECT_EQ(s.controller.Methods().Entry(2), "a1(3.00,30.00);");

    // Each entry moved to the top and run: the window picks what the command line picks.
    for (const std::string entry : {"b31(0,10.00);", "a1(3.00,30.00);", "a7(5,10,0,0,0,3.50);", "b18(14,0.00,30.00);"}) {
        const auto& entries = s.controller.Methods().Entries();
        const size_t index = static_cast<size_t>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
        ASSERT_LT(index, entries.size());
        s.controller.Click(kMethodX, MethodRowY(static_cast<int>(index) + 1));
        for (size_t up = index; up > 0; --up) s.controller.Strip(StripCommand::MethodUp);
        ASSERT_EQ(s.controller.Methods().Entry(1), entry);
        s.controller.ChooseMarket(picking::CandidateMarket::All);
        s.controller.Strip(StripCommand::StepPick);
        s.controller.WaitForScan();
        EXPECT_TRUE(s.controller.Picking().ran);
        EXPECT_EQ(s.controller.Picking().ranEntry, entry);
        EXPECT_EQ(s.controller.Picking().picked, CliPick(screentest::DemoRoot(), entry, scratch.Path())) << entry;
        EXPECT_EQ(s.host.progress, screen::kProgressMaximum);
    }
    const auto& picked = s.controller.Picking().picked;
    EXPECT_FALSE(picked.empty());  // b18 over 0..30 finds some on the demo market

    // 8 beside the picked list: their small charts, eight at most.
    s.controller.Button(ControlId::PickingEight);
    EXPECT_EQ(s.controller.Screen(), screen::ScreenMode::SmallCharts);
    const size_t shown = std::min<size_t>(picked.size(), 8);
    EXPECT_EQ(s.controller.SmallChartCodes(),
              std::vector<uint32_t>(picked.begin(), picked.begin() + static_cast<std::ptrdiff_t>(shown)));
}

TEST(PickingPage, EmptyListOrCandidatesRefuseTheRunAndABusyRunRefusesTheCommands) {
    Screen s;
    s.controller.ShowPickingPage();
    s.controller.Strip(StripCommand::StepPick);
    EXPECT_EQ(s.Messages(), std::vector<std::string>{"选股方法为空，请先“加入方法”再“单步选股”"});
    s.controller.OpenConditionBoard(8);  // a8
    s.controller.Strip(StripCommand::MethodAppend);
    s.host.prompter.records.clear();
    s.controller.Strip(StripCommand::StepPick);
    EXPECT_EQ(s.Messages(),
              std::vector<std::string>{"待选股为零。请先选择沪、深股票，或“载入”待选股，再“单步选股”"});

    s.controller.ChooseMarket(picking::CandidateMarket::Shanghai);
    ASSERT_TRUE(s.controller.StartPicking());
    // While it runs, the strip and the page's zones do nothing.
    s.controller.Click(TabX(1), kTabY);
    s.controller.Click(563, 597);  // ↑
    EXPECT_EQ(s.controller.Picking().tab, picking::kGroupA);
    s.controller.WaitForScan();
    EXPECT_TRUE(s.controller.Picking().ran);
    s.controller.Click(TabX(1), kTabY);
    EXPECT_EQ(s.controller.Picking().tab, picking::kGroupB);
}

TEST(PickingPage, PickedStocksOpenGoToTheWatchListAndAreSaved) {
    fixture::TempDir dir;
    Screen s(OwnMarket(dir));
    s.controller.ShowPickingPage();
    s.controller.OpenConditionBoard(1);
    Type(s, {"0.01", "9999.00"});  // every stock with a close
    s.controller.Strip(StripCommand::MethodAppend);
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.controller.Strip(StripCommand::StepPick);
    s.controller.WaitForScan();
    const auto picked = s.controller.Picking().picked;
    ASSERT_GE(picked.size(), 2u);
    EXPECT_TRUE(s.canvas.FindText("选出股(" + std::to_string(picked.size()) + ")"));

    // 加入 without a chosen stock, then with the second one.
    s.controller.Strip(StripCommand::AddPicked);
    EXPECT_EQ(s.Messages(), std::vector<std::string>{"请先在“选出股”中点取股票，再开始加入自选"});
    s.controller.Click(900, 457 + kRowHeight + 8);
    EXPECT_EQ(s.controller.Chart()->Stock().code, picked[1]);
    s.controller.Strip(StripCommand::AddPicked);
    EXPECT_EQ(s.controller.WatchCodes(), std::vector<uint32_t>{picked[1]});

    // 保存 asks, then writes the results file in the XG folder.
    s.host.prompter.answers = {true};
    s.controller.Strip(StripCommand::SaveResults);
    const std::string file = s.controller.Market().paths.listFolder + "XG" + s.controller.Market().todayShort + "-001.TXT";
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in.good()) << file;
    std::stringstream text;
    text << in.rdbuf();
    // Code and name a line: a picking run measures no value to write.
    data::CodeTable codes(s.controller.Workspace().CodeTableRegion());
    std::string expected = base::Utf8ToGbk("擎宇选出股共" + std::to_string(picked.size()) + "个:");
    for (uint32_t code : picked) expected += "\r\n" + data::CodeText(code) + " " + codes.StockName(code);
    EXPECT_EQ(text.str(), expected + "\r\n");
}

}  // namespace
