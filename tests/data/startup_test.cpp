#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "support/fixture_market.h"

namespace {

using base::PromptRecord;

constexpr std::time_t kNoon20170601 = 1496318400;  // 2017-06-01 12:00 UTC

// A complete small market: every start-up file present.
void WriteCompleteMarket(fixture::FixtureMarket& market) {
    std::vector<data::CodeEntry> codes = {
        {1, fixture::Gbk("平安银行"), "PAYH", 1717000, 1691000},
        {600000, fixture::Gbk("浦发银行"), "PFYH", 2935208, 2810376},
        {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20170601, codes);
    market.WriteExRights(20170601, std::vector<data::ExRightsStock>{{600000, {{20170523, 10, 0, 0, 0}}}});
    std::vector<data::SectorRecord> sectors = {{4, 1, fixture::Gbk("一带一路"), {1, 600000}}};
    market.WriteSectorLibrary(20170601, {0, 30, 0}, sectors);
    market.WriteExamples("demo 203:120170105 done");
    std::vector<uint32_t> closes(30, 320000);
    market.WriteDayFile(999999, fixture::FlatBars(20170103, closes));
    market.WriteDayFile(399001, fixture::FlatBars(20170103, closes));
}

TEST(Startup, CompleteMarketLoadsEveryTableWithoutAMessage) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    ASSERT_EQ(data::RunStartup(workspace, market.Root(), prompter, kNoon20170601, state),
              data::StartupOutcome::Ready);
    EXPECT_TRUE(prompter.records.empty());
    EXPECT_EQ(state.codeTableDate, 170601u);
    data::CodeTable codes(workspace.CodeTableRegion());
    EXPECT_EQ(codes.Count(), 3u);
    EXPECT_EQ(codes.StockName(600000), fixture::Gbk("浦发银行"));
    EXPECT_EQ(state.exRights.RecordCount(), 2u);
    EXPECT_NE(state.exRights.FindEntry(600000), 0u);
    EXPECT_TRUE(state.sectorLibraryLoaded);
    EXPECT_EQ(state.sectorHeader.date, 170601u);
    EXPECT_EQ(state.sectorHeader.shareWeight, 20u);
    EXPECT_EQ(state.sectorHeader.countWeight, 30u);
    EXPECT_EQ(state.sectorHeader.moveWeight, 20u);
    EXPECT_TRUE(state.settingsCreated);  // a missing settings file is created silently
    EXPECT_EQ(base::FileSize(state.paths.settings), 400);
    EXPECT_EQ(state.exampleCount, 1u);
    EXPECT_EQ(state.index.source, 2);
    EXPECT_EQ(state.todayShort.size(), 6u);
    EXPECT_EQ(data::ShortDate(kNoon20170601), "170601");
}

TEST(Startup, EachMissingOptionalFileGivesItsMessageAndAnEmptyTable) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    market.Remove("MKDAT/MKCODE.DAT");
    market.Remove("MKDAT/MKCQ.DAT");
    market.Remove("MKDAT/BKLIB.TXT");
    market.Remove("MKDAT/DEMOD.TXT");
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    ASSERT_EQ(data::RunStartup(workspace, market.Root(), prompter, kNoon20170601, state),
              data::StartupOutcome::Ready);
    const auto& p = state.paths;
    std::vector<PromptRecord> expected = {
        {PromptRecord::Kind::Message, "代码表文件MKCODE.DAT不存在!", "提示"},
        {PromptRecord::Kind::Message, p.exRights, "除权表文件不存在"},
        {PromptRecord::Kind::Message, p.sectorLibrary, "板块文件不存在"},
        {PromptRecord::Kind::Message, p.examples, "文件不存在"},
    };
    EXPECT_EQ(prompter.records, expected);
    data::CodeTable codes(workspace.CodeTableRegion());
    EXPECT_EQ(codes.Count(), 0u);
    EXPECT_EQ(codes.StockName(600000), fixture::Gbk("股票名称"));
    EXPECT_FALSE(state.exRights.Loaded());
    EXPECT_EQ(state.exRights.FindEntry(600000), 0u);
    EXPECT_EQ(state.sectorHeader.date, 0u);
    EXPECT_EQ(state.sectorHeader.countWeight, 200u);
    EXPECT_EQ(state.index.source, 2);
}

TEST(Startup, PartsLeftOutAreNeitherLoadedNorMissed) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    market.Remove("MKDAT/DEMOD.TXT");
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    ASSERT_EQ(data::RunStartup(workspace, market.Root(), prompter, kNoon20170601, state,
                               data::kAnalysisParts),
              data::StartupOutcome::Ready);
    // The scan's tables are there; the settings file is not created, and the
    // missing example file goes unmentioned.
    EXPECT_TRUE(prompter.records.empty());
    EXPECT_EQ(data::CodeTable(workspace.CodeTableRegion()).Count(), 3u);
    EXPECT_NE(state.exRights.FindEntry(600000), 0u);
    EXPECT_TRUE(state.sectorLibraryLoaded);
    EXPECT_EQ(state.index.source, 2);
    EXPECT_FALSE(state.settingsCreated);
    EXPECT_EQ(base::FileSize(state.paths.settings), -1);
    EXPECT_EQ(state.exampleCount, 0u);

    // A part asked for still says when its file is missing.
    market.Remove("MKDAT/MKCQ.DAT");
    data::Workspace second;
    data::MarketState secondState;
    ASSERT_EQ(data::RunStartup(second, market.Root(), prompter, kNoon20170601, secondState,
                               {.codeTable = false, .sectorLibrary = false, .settings = false,
                                .examples = false}),
              data::StartupOutcome::Ready);
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].caption, "除权表文件不存在");
    EXPECT_EQ(data::CodeTable(second.CodeTableRegion()).Count(), 0u);
    EXPECT_FALSE(secondState.sectorLibraryLoaded);
}

TEST(Startup, ShenzhenIndexAloneIsEnoughAndNoIndexQuits) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    market.Remove("MKDAY/SH/999999.day");
    {
        data::Workspace workspace;
        base::RecordingPrompter prompter;
        data::MarketState state;
        EXPECT_EQ(data::RunStartup(workspace, market.Root(), prompter, kNoon20170601, state),
                  data::StartupOutcome::Ready);
        EXPECT_EQ(state.index.source, 1);
        EXPECT_TRUE(prompter.records.empty());
    }
    market.Remove("MKDAY/SZ/399001.day");
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    EXPECT_EQ(data::RunStartup(workspace, market.Root(), prompter, kNoon20170601, state),
              data::StartupOutcome::Quit);
    ASSERT_EQ(prompter.records.size(), 1u);
    // The real paths, not the Windows-style names of the message it replaces.
    EXPECT_EQ(prompter.records[0].text,
              "沪市大盘指数文件(" + data::DayFilePath(market.Paths(), 999999) + ")未找到\n\n" +
                  "深市大盘指数文件(" + data::DayFilePath(market.Paths(), 399001) + ")未找到");
    EXPECT_EQ(prompter.records[0].caption, "《板块擎宇》提示");
}

TEST(Startup, FailedAllocationNamesItsBufferAndStops) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    const auto& specs = data::BufferSpecs();
    for (size_t failing = 0; failing < specs.size(); ++failing) {
        size_t calls = 0;
        auto allocator = [&](size_t words) -> data::ZeroedWords {
            if (calls++ == failing) return nullptr;
            return data::AllocateZeroedWords(words);
        };
        data::Workspace workspace;
        base::RecordingPrompter prompter;
        EXPECT_FALSE(workspace.Allocate(prompter, allocator));
        EXPECT_EQ(calls, failing + 1);  // nothing allocated after the failure
        ASSERT_EQ(prompter.records.size(), 1u);
        EXPECT_EQ(prompter.records[0].text, std::string(specs[failing].failureMessage));
        EXPECT_EQ(prompter.records[0].caption, std::string(specs[failing].failureCaption));
        EXPECT_FALSE(workspace.Allocated());
    }
    EXPECT_EQ(specs[2].failureMessage, "除权表内存申请失败，请退出一些程序再运行本软件");
    EXPECT_EQ(specs[2].failureCaption, "提示");
    EXPECT_EQ(specs[0].failureCaption, "《板块擎宇》提示");
    EXPECT_EQ(specs[4].failureMessage, "GL_DATA内存申请失败，请退出一些程序再运行本软件");
}

TEST(Startup, BuffersHaveTheirDocumentedSizesAndStartZeroed) {
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(workspace.Allocate(prompter));
    // pMKbufer grows by the 23,000 words the open stock needs for a whole index history.
    EXPECT_EQ(workspace.Bytes(data::BufferId::Market).size(), 892'000u);
    EXPECT_EQ(workspace.OpenStockRegion().size(), 75'000u);
    EXPECT_EQ(workspace.Bytes(data::BufferId::Index).size(), 300'000u);
    EXPECT_EQ(workspace.Bytes(data::BufferId::ExRights).size(), 1'000'000u);
    EXPECT_EQ(workspace.Bytes(data::BufferId::SectorMoves).size(), 585'000u);
    EXPECT_EQ(workspace.Bytes(data::BufferId::ScanResult).size(), 393'000u);
    EXPECT_EQ(workspace.Bytes(data::BufferId::SortPairs).size(), 16'008u);
    EXPECT_EQ(workspace.CodeTableRegion().size(), 83'000u);
    EXPECT_EQ(workspace.ScanAreaRegion().size(), 52'000u);
    EXPECT_EQ(workspace.WeeklyRegion().size(), data::kPeriodBarCapacity * 7);
    // Zero however the memory was used before: a workspace filled and let go
    // leaves nothing behind for the next.
    {
        data::Workspace used;
        ASSERT_TRUE(used.Allocate(prompter));
        for (size_t i = 0; i < data::kBufferCount; ++i) {
            auto bytes = used.Bytes(static_cast<data::BufferId>(i));
            std::fill(bytes.begin(), bytes.end(), uint8_t{0xA5});
        }
        std::fill(used.WeeklyRegion().begin(), used.WeeklyRegion().end(), 7u);
        std::fill(used.MonthlyRegion().begin(), used.MonthlyRegion().end(), 7u);
    }
    data::Workspace fresh;
    ASSERT_TRUE(fresh.Allocate(prompter));
    for (size_t i = 0; i < data::kBufferCount; ++i) {
        const auto bytes = fresh.Bytes(static_cast<data::BufferId>(i));
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), uint8_t{0}),
                  static_cast<ptrdiff_t>(bytes.size()))
            << data::BufferSpecs()[i].name;
    }
    for (auto region : {fresh.WeeklyRegion(), fresh.MonthlyRegion()})
        EXPECT_EQ(std::count(region.begin(), region.end(), 0u),
                  static_cast<ptrdiff_t>(region.size()));
    // Two workspaces are independent.
    data::Workspace other;
    ASSERT_TRUE(other.Allocate(prompter));
    workspace.Words(data::BufferId::Market)[0] = 7;
    EXPECT_EQ(other.Words(data::BufferId::Market)[0], 0u);
    workspace.Release();
    EXPECT_TRUE(workspace.Words(data::BufferId::Market).empty());
}

TEST(Startup, SecondInstanceOnTheSameDataRootIsRefused) {
    fixture::FixtureMarket market;
    auto paths = data::BuildDataPaths(market.Root());
    base::RecordingPrompter prompter;
    auto first = data::AcquireSingleInstance(paths, prompter);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(prompter.records.empty());
    EXPECT_FALSE(data::AcquireSingleInstance(paths, prompter).has_value());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text, "《板块擎宇》已经在运行");
    EXPECT_EQ(prompter.records[0].caption, "提示");
}

}  // namespace
