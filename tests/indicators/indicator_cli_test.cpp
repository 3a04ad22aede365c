// bkqy-cli indicator end to end on a small hand-made market.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/fixture_market.h"
#include "support/json_value.h"

namespace {

using fixture::CliRun;
using fixture::RunCli;

// Every start-up file present, so that start-up says nothing; stock 600000 has
// ten bars from Tuesday 2024-01-02 with closes 10.00, 10.10, ..., 10.90.
class IndicatorCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<data::CodeEntry> codes = {
            {1, fixture::Gbk("平安银行"), "PAYH", 1717000, 1691000},
            {600000, fixture::Gbk("浦发银行"), "PFYH", 2935208, 2810376},
            {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
        m_market.WriteCodeTable(20240115, codes);
        m_market.WriteExRights(20240115,
                               std::vector<data::ExRightsStock>{{1, {{20240108, 10, 0, 0, 0}}}});
        std::vector<data::SectorRecord> sectors = {{4, 1, fixture::Gbk("一带一路"), {1, 600000}}};
        m_market.WriteSectorLibrary(20240115, {0, 30, 0}, sectors);
        m_market.WriteExamples("demo 203:120240105 done");
        const std::vector<uint32_t> flat(10, 300000);
        m_market.WriteDayFile(999999, fixture::FlatBars(20240102, flat));
        std::vector<uint32_t> closes;
        for (uint32_t i = 0; i < 10; ++i) closes.push_back(1000 + 10 * i);
        m_market.WriteDayFile(600000, fixture::FlatBars(20240102, closes));
    }

    CliRun Run(const std::string& options) {
        return RunCli("indicator --data " + m_market.Root() + " " + options, m_scratch.Path());
    }

    fixture::FixtureMarket m_market;
    fixture::TempDir m_scratch;

    fixture::Json Json(const std::string& options) {
        const CliRun run = Run(options);
        EXPECT_EQ(run.exitCode, 0) << options << run.err;
        EXPECT_TRUE(run.err.empty()) << run.err;
        auto json = fixture::Json::Parse(run.out);
        EXPECT_TRUE(json.has_value()) << run.out.substr(0, 300);
        return json.value_or(fixture::Json());
    }
    // The values of one bar as printed: numbers as their text, "null".
    static std::vector<std::string> Values(const fixture::Json& bar, const char* key = "values") {
        std::vector<std::string> texts;
        for (const fixture::Json& v : bar[key].Array()) texts.push_back(v.IsNull() ? "null" : v.Text());
        return texts;
    }
    using Texts = std::vector<std::string>;
};

TEST_F(IndicatorCli, PrintsTheLinesOfEveryBarInTheirUnits) {
    const fixture::Json ma = Json("--code 600000 --indicator 0 --json");
    EXPECT_EQ(ma["code"].Str(), "600000");
    EXPECT_EQ(ma["name"].Str(), "浦发银行");
    EXPECT_EQ(ma["indicator"].Int(), 0);
    EXPECT_EQ(ma["indicator_name"].Str(), "MA");
    EXPECT_EQ(ma["title"].Str(), "价格均线MA");
    EXPECT_EQ(ma["period"].Str(), "day");
    EXPECT_EQ(ma["adjust"].Str(), "none");
    EXPECT_EQ(ma["unit"].Str(), "元");
    ASSERT_EQ(ma["params"].Size(), 5u);
    EXPECT_EQ(ma["params"][4].Int(), 60);
    ASSERT_EQ(ma["lines"].Size(), 5u);
    EXPECT_EQ(ma["lines"][0].Str(), "5日");
    ASSERT_EQ(ma["bars"].Size(), 10u);
    // MA5 of 10.00 .. 10.40 is 10.20 yuan, kept as 1020; too few bars: null.
    EXPECT_EQ(ma["bars"][0]["date"].Int(), 20240102);
    EXPECT_EQ(Values(ma["bars"][0]), (Texts{"null", "null", "null", "null", "null"}));
    EXPECT_EQ(ma["bars"][4]["date"].Int(), 20240108);
    EXPECT_EQ(Values(ma["bars"][4]), (Texts{"10.20", "null", "null", "null", "null"}));
    EXPECT_EQ(Values(ma["bars"][4], "values_raw"), (Texts{"1020", "null", "null", "null", "null"}));
    EXPECT_EQ(Values(ma["bars"][9]), (Texts{"10.70", "10.45", "null", "null", "null"}));

    // PSY(12) has too few bars: null, never 65535.
    const fixture::Json psy = Json("--code 600000 --indicator psy --adjust forward --json");
    EXPECT_EQ(psy["adjust"].Str(), "forward");
    EXPECT_TRUE(psy["unit"].IsNull());
    EXPECT_EQ(Values(psy["bars"][9]), (Texts{"null"}));
    EXPECT_FALSE(psy["bars"][9].Has("values_raw"));

    // W&R of a rising flat-bar series: the close is the highest high, 0.
    const fixture::Json wr = Json("--code 600000 --indicator 'W&R' --json");
    EXPECT_EQ(wr["lines"][1].Str(), "WR2");
    EXPECT_EQ(Values(wr["bars"][0]), (Texts{"null", "null"}));
    EXPECT_EQ(Values(wr["bars"][1]), (Texts{"0", "0"}));

    // The same values as a table and as CSV, "-" and empty for none.
    const CliRun text = Run("--code 600000 --indicator MA");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("20240108  10.20      -"), std::string::npos) << text.out;
    const CliRun csv = Run("--code 600000 --indicator 0 --csv");
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), "date,5日,10日,20日,30日,60日");
    EXPECT_NE(csv.out.find("\n20240115,10.70,10.45,,,\n"), std::string::npos) << csv.out;
}

TEST_F(IndicatorCli, WorksOnWeeklyBarsWithTheirVolumes) {
    // Weeks end 01-05 (4 bars), 01-12 (5 bars) and 01-15 (1 bar); each week
    // closes higher, so OBV adds 500 and then 100 lots.
    const fixture::Json obv = Json("--code 600000 --indicator 13 --period week --json");
    EXPECT_EQ(obv["period"].Str(), "week");
    EXPECT_EQ(obv["params"].Size(), 0u);
    ASSERT_EQ(obv["bars"].Size(), 3u);
    const Texts dates = {obv["bars"][0]["date"].Text(), obv["bars"][1]["date"].Text(),
                         obv["bars"][2]["date"].Text()};
    EXPECT_EQ(dates, (Texts{"20240105", "20240112", "20240115"}));
    EXPECT_EQ(Values(obv["bars"][1]), (Texts{"500"}));
    EXPECT_EQ(Values(obv["bars"][2]), (Texts{"600"}));
    const fixture::Json month = Json("--code 600000 --indicator MACD --period month --json");
    ASSERT_EQ(month["bars"].Size(), 1u);
    EXPECT_EQ(Values(month["bars"][0]), (Texts{"0", "0", "0"}));
    // Volume averages of a stock are in lots.
    const fixture::Json vol = Json("--code 600000 --indicator VOL --json");
    EXPECT_EQ(vol["unit"].Str(), "手");
    EXPECT_EQ(Values(vol["bars"][9]), (Texts{"100", "100", "null"}));
}

TEST_F(IndicatorCli, ReportsErrorsOnStderrWithAFailingExitCode) {
    const CliRun missing = Run("--code 600001 --indicator 4 --json");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.err.find("600001股票数据文件不存在"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty());
    for (const std::string options :
         {"--code 600000 --indicator 18 --json", "--code 600000 --indicator x --json",
          "--code 600000 --json", "--indicator 4 --json", "--code 60000A --indicator 4 --json",
          "--code 600000 --indicator 4 --json --csv", "--code 600000 --indicator 4 --period year --json",
          "--code 600000 --indicator 4 --adjust both --json",
          "--code 600000 --indicator 4 --json --zoom 3"}) {
        const CliRun run = Run(options);
        EXPECT_NE(run.exitCode, 0) << options;
        EXPECT_FALSE(run.err.empty()) << options;
        EXPECT_TRUE(run.out.empty()) << options << ": " << run.out;
    }
    fixture::TempDir empty;
    const CliRun noMarket =
        RunCli("indicator --data " + empty.Path() + " --code 600000 --indicator 1 --json",
               m_scratch.Path());
    EXPECT_NE(noMarket.exitCode, 0);
    EXPECT_TRUE(noMarket.out.empty());
}

}  // namespace
