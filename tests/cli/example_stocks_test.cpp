// The stock an example picture shows is the one a user gets by following the
// condition's article: the default entry of its board, the example's market
// and day, the first picked stock; and the pictures command refuses a data
// root without examples.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "base/recording_prompter.h"
#include "cli/example_stocks.h"
#include "data/examples.h"
#include "picking/example_pictures.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"
#include "support/json_value.h"
#include "support/small_demo_market.h"

namespace {

using picking::CandidateMarket;
using picking::ConditionCode;

TEST(ExampleStocks, TheArticlesMarketNamesTheCandidatesButton) {
    EXPECT_EQ(cli::ExampleCandidates(120261120), CandidateMarket::Shanghai);
    EXPECT_EQ(cli::ExampleCandidates(220260427), CandidateMarket::Shenzhen);
    EXPECT_EQ(cli::ExampleCandidates(320260514), CandidateMarket::ChiNext);
    EXPECT_EQ(cli::ExampleCandidates(920260514), CandidateMarket::Shanghai);
}

// Every pictured condition's board takes the values it opens with, and the
// entry it adds is the catalogue's standard entry (the one `methods` shows).
TEST(ExampleStocks, EveryPicturedConditionsBoardAddsItsStandardEntry) {
    const std::vector<ConditionCode> conditions = picking::PicturedConditions();
    EXPECT_EQ(conditions.size(), 61u);
    for (const ConditionCode code : conditions) {
        EXPECT_TRUE(picking::SelectsStocks(code)) << code.Text();
        base::RecordingPrompter prompter;
        const auto condition = cli::DefaultCondition(code, prompter);
        ASSERT_TRUE(condition.has_value()) << code.Text();
        EXPECT_TRUE(prompter.records.empty()) << code.Text() << " " << prompter.records[0].text;
        const picking::ParamRecord initial = picking::InitialParams(code);
        const auto kinds = picking::ConditionParamKinds(code);
        const std::vector<int64_t> values(initial.begin(), initial.begin() + kinds.size());
        const picking::Condition standard =
            picking::ReadMethodEntry(picking::WriteMethodEntry(code, values));
        EXPECT_EQ(condition->code, code);
        EXPECT_EQ(condition->params, standard.params) << code.Text();
    }
}

// The entry text of a condition's default method entry.
std::string DefaultEntry(ConditionCode code) {
    base::RecordingPrompter prompter;
    const auto condition = cli::DefaultCondition(code, prompter);
    const size_t count = picking::ConditionParamKinds(code).size();
    return picking::WriteMethodEntry(
        code, std::vector<int64_t>(condition->params.begin(), condition->params.begin() + count));
}

// The small demo market started as the pictures command starts it.
class ExampleStockChoice : public ::testing::Test {
protected:
    const std::string& root = fixture::SmallDemoRoot();
    data::Workspace workspace;
    data::MarketState market;
    base::RecordingPrompter prompter;
    const bool started = data::RunStartup(workspace, root, prompter, std::time(nullptr), market,
                                          {.sectorLibrary = false, .settings = false}) ==
                         data::StartupOutcome::Ready;
    const data::CodeTable codes{workspace.CodeTableRegion()};
};

// The chosen stock is what `bkqy-cli pick` prints first for the same entry,
// market and day; when it prints none, the market's first candidate.
TEST_F(ExampleStockChoice, TheChosenStockIsWhatPickPicksFirstOnTheExampleDay) {
    ASSERT_TRUE(started);
    const char* markets[] = {"", "", "sh", "sz", "cy"};
    bool sawPicked = false, sawStandIn = false;
    for (const ConditionCode code : {ConditionCode{picking::kGroupA, 3}, {picking::kGroupA, 9},
                                     {picking::kGroupB, 6}, {picking::kGroupB, 24},
                                     {picking::kGroupB, 43}}) {
        const auto stock = cli::ChooseExampleStock(workspace, market, codes, code, prompter);
        ASSERT_TRUE(stock.has_value()) << code.Text();
        const uint32_t example = market.examples.ForCondition(code.group, code.number);
        EXPECT_EQ(stock->date, data::ExampleDate(example));
        EXPECT_TRUE(market.simulation.active);

        fixture::TempDir scratch;
        const fixture::CliRun run = fixture::RunCli(
            "pick --data '" + root + "' --method '" + DefaultEntry(code) + "' --market " +
                markets[static_cast<int>(stock->market)] + " --date " +
                std::to_string(stock->date) + " --json",
            scratch.Path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto json = fixture::Json::Parse(run.out);
        ASSERT_TRUE(json.has_value()) << run.out;
        const auto& selected = (*json)["selected"].Array();
        if (selected.empty()) {
            EXPECT_FALSE(stock->picked) << code.Text();
            EXPECT_EQ(stock->code, picking::SelectCandidates(codes, stock->market).front());
            sawStandIn = true;
        } else {
            EXPECT_TRUE(stock->picked) << code.Text();
            EXPECT_EQ(data::CodeText(stock->code), selected[0]["code"].Str()) << code.Text();
            sawPicked = true;
        }
    }
    EXPECT_TRUE(sawPicked);
    EXPECT_TRUE(sawStandIn);
}

TEST_F(ExampleStockChoice, AConditionWithoutAnExampleOrADayOutsideTheDataIsRefused) {
    ASSERT_TRUE(started);
    const ConditionCode a3{picking::kGroupA, 3};
    prompter.records.clear();
    market.examples.slots.fill(0);
    EXPECT_FALSE(cli::ChooseExampleStock(workspace, market, codes, a3, prompter).has_value());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_NE(prompter.records[0].text.find("a3 在 "), std::string::npos);
    EXPECT_NE(prompter.records[0].text.find("DEMOD.TXT 中没有示例"), std::string::npos);

    prompter.records.clear();
    market.examples.slots[3] = 120300105;  // after the data's last day
    EXPECT_FALSE(cli::ChooseExampleStock(workspace, market, codes, a3, prompter).has_value());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_NE(prompter.records[0].text.find("模拟日期的范围在"), std::string::npos);
}

TEST(ExampleStocks, PicturesWithoutAnExamplesFileAreRefused) {
    fixture::FixtureMarket market;
    market.WriteCodeTable(20200601, std::vector<data::CodeEntry>{
                                        {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}});
    market.WriteDayFile(999999, fixture::FlatBars(20200601, std::vector<uint32_t>(30, 320000)));
    fixture::TempDir scratch;
    const fixture::CliRun run = fixture::RunCli("pictures --data '" + market.Root() + "'", scratch.Path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("bkqy-cli pictures: 选股示例文件 "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("无法画出示例图片"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
}

}  // namespace
