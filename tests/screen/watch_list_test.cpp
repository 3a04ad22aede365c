// The watch list in the window without Qt: its buttons as events against the
// fake host's list box, the caption on the canvas and the focus afterwards.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_io.h"
#include "data/settings.h"
#include "screen/screen_fixture.h"

namespace {

using screen::ControlId;
using screen::ScreenMode;
using screen::StripCommand;
using screentest::NthStock;
using screentest::OwnMarket;
using screentest::Screen;

// The caption strip over the list box shows the count in white.
bool CaptionShows(const Screen& s, size_t count) {
    const auto text = s.canvas.FindText("自选股(" + std::to_string(count) + ")");
    return text && text->x() == 764 && text->y() == 438 && text->colour == ui::kWhite;
}

// Opens the n-th stock and presses 加入自选.
void AddNth(Screen& s, size_t n) {
    s.controller.OpenSecurity(NthStock(s.controller, n));
    s.controller.Button(ControlId::AddToWatchList);
}

TEST(WatchListScreen, AddingFromTheChartInsertsOnTopAndRedrawsTheCaption) {
    fixture::TempDir dir;
    Screen s(OwnMarket(dir));
    EXPECT_TRUE(s.controller.WatchCodes().empty());

    // The index chart on screen: refused.
    const int focus = s.host.focusCount;
    s.controller.Button(ControlId::AddToWatchList);
    EXPECT_EQ(s.Messages(), std::vector<std::string>{"大盘指数无法加入自选股"});
    EXPECT_GT(s.host.focusCount, focus);  // the code box has the keys again

    AddNth(s, 0);
    AddNth(s, 1);
    EXPECT_EQ(s.controller.WatchCodes(),
              (std::vector<uint32_t>{NthStock(s.controller, 1), NthStock(s.controller, 0)}));
    ASSERT_EQ(s.host.watchLines.size(), 4u);
    EXPECT_EQ(s.host.watchLines[0], data::CodeText(NthStock(s.controller, 1)));
    EXPECT_EQ(s.host.watchBox.selectedRow, 0);  // the new stock is chosen
    EXPECT_TRUE(CaptionShows(s, 2));

    s.host.prompter.records.clear();
    AddNth(s, 1);
    EXPECT_EQ(s.Messages(), std::vector<std::string>{"该股已在自选股中"});
    EXPECT_EQ(s.controller.WatchCodes().size(), 2u);
}

TEST(WatchListScreen, ButtonsActOnTheChosenRowOfTheVisiblePage) {
    fixture::TempDir dir;
    Screen s(OwnMarket(dir));
    for (size_t n = 0; n < 12; ++n) AddNth(s, n);
    const std::vector<uint32_t> added = s.controller.WatchCodes();  // the last added on top
    ASSERT_EQ(added.size(), 12u);

    // K opens the chosen stock; its name row counts as its code row.
    s.host.watchBox = {3, 0};
    s.controller.Button(ControlId::WatchOpen);
    EXPECT_EQ(s.controller.Chart()->Stock().code, added[1]);
    // Scrolled off the page: the buttons refuse, a double click does not.
    s.host.watchBox = {20, 0};
    s.host.prompter.records.clear();
    s.controller.Button(ControlId::WatchOpen);
    s.controller.Button(ControlId::WatchDelete);
    EXPECT_EQ(s.Messages(), std::vector<std::string>(2, "请先在自选股中选取股票"));
    EXPECT_EQ(s.controller.WatchCodes(), added);
    s.controller.DoubleClick(ControlId::WatchList);
    EXPECT_EQ(s.controller.Chart()->Stock().code, added[10]);

    // ↓, ↑ and × move the selection with the stock.
    s.host.watchBox = {2, 0};
    s.controller.Button(ControlId::WatchDown);
    EXPECT_EQ(s.controller.WatchCodes()[2], added[1]);
    EXPECT_EQ(s.host.watchBox.selectedRow, 4);
    s.controller.Button(ControlId::WatchUp);
    EXPECT_EQ(s.controller.WatchCodes(), added);
    EXPECT_EQ(s.host.watchBox.selectedRow, 2);
    s.host.watchBox = {22, 8};
    s.controller.Button(ControlId::WatchDelete);
    EXPECT_EQ(s.controller.WatchCodes().size(), 11u);
    EXPECT_EQ(s.host.watchBox.selectedRow, 20);  // the stock before the deleted last one
    EXPECT_TRUE(CaptionShows(s, 11));

    // 8: the small charts from the chosen stock on, as daily charts.
    s.controller.Button(ControlId::Weekly);
    s.host.watchBox = {6, 0};
    s.controller.Button(ControlId::WatchEight);
    EXPECT_EQ(s.controller.Screen(), ScreenMode::SmallCharts);
    EXPECT_EQ(s.controller.SmallChartCodes(),
              std::vector<uint32_t>(added.begin() + 3, added.begin() + 11));
    EXPECT_EQ(s.controller.Chart()->Period(), data::Period::Daily);
}

TEST(WatchListScreen, StripAddTakesTheStockChosenInThePickedList) {
    Screen s;
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.host.texts[ControlId::HotWhole] = "3";
    s.controller.ChooseScanType(sectors::ScanType::Hot);
    ASSERT_TRUE(s.controller.StartScan());
    s.controller.WaitForScan();
    ASSERT_GT(s.controller.Sectors().members.size(), 0u);
    ASSERT_GT(s.controller.Sectors().outcome->selected.size(), 1u);

    s.controller.ChooseMember(0);
    s.controller.Strip(StripCommand::AddPicked);
    // The picked list's row, chosen last, is the one added next.
    s.controller.ChoosePicked(1);
    s.controller.Strip(StripCommand::AddPicked);
    const uint32_t member = s.controller.Sectors().members[0].code;
    const uint32_t picked = s.controller.Sectors().outcome->selected[1].code;
    const std::vector<uint32_t> expected =
        member == picked ? std::vector<uint32_t>{member} : std::vector<uint32_t>{picked, member};
    EXPECT_EQ(s.controller.WatchCodes(), expected);
}

TEST(WatchListScreen, SaveAndLoadGoThroughTheListFolder) {
    fixture::TempDir dir;
    const std::string root = OwnMarket(dir);
    std::filesystem::remove_all(root + "/XG");  // saving makes it again
    Screen s(root);
    for (size_t n = 0; n < 3; ++n) AddNth(s, n);
    const std::vector<uint32_t> saved = s.controller.WatchCodes();
    s.host.prompter.defaultAnswer = true;
    s.controller.Button(ControlId::WatchSave);
    const std::string file = root + "/XG/ZX" + s.controller.Market().todayShort + "-001.TXT";
    ASSERT_TRUE(base::FileExists(file));

    s.host.watchBox = {0, 0};
    s.controller.Button(ControlId::WatchDelete);
    ASSERT_EQ(s.controller.WatchCodes().size(), 2u);
    // A damaged file is refused and the list kept.
    const std::string bad = root + "/XG/bad.TXT";
    ASSERT_TRUE(base::WriteFileAtomic(bad, std::vector<uint8_t>{'x', '\r', '\n'}).ok());
    s.host.prompter.files = {bad, file};
    s.host.prompter.records.clear();
    s.controller.Button(ControlId::WatchLoad);
    EXPECT_EQ(s.Messages(), std::vector<std::string>{"非擎宇自选股文件，或者文件已被破坏。"});
    EXPECT_EQ(s.controller.WatchCodes().size(), 2u);
    s.controller.Button(ControlId::WatchLoad);
    EXPECT_EQ(s.controller.WatchCodes(), saved);
    EXPECT_TRUE(CaptionShows(s, 3));

    // The list is kept in the settings file at exit, in its order.
    s.host.prompter.answers = {true};
    ASSERT_TRUE(s.controller.RequestExit());
    bool created = false;
    EXPECT_EQ(data::LoadSettings(root + "/MKDAT/Inif2.DAT", &created).watchList, saved);
}

}  // namespace
