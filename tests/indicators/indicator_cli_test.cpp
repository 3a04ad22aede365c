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
};

TEST_F(IndicatorCli, PrintsTheLinesOfEveryBarAsOneJsonObject) {
    const CliRun ma = Run("--code 600000 --indicator 0 --json");
    ASSERT_EQ(ma.exitCode, 0) << ma.err;
    EXPECT_TRUE(ma.err.empty()) << ma.err;
    // MA5 of 10.00 .. 10.40 is 10.20; the longer averages have too few bars (0).
    const std::string head =
        "{\"code\": \"600000\", \"indicator\": 0, \"params\": [5, 10, 20, 30, 60], "
        "\"lines\": [\"5日\", \"10日\", \"20日\", \"30日\", \"60日\"], \"bars\": ["
        "{\"date\": 20240102, \"values\": [0, 0, 0, 0, 0]}, ";
    EXPECT_EQ(ma.out.substr(0, head.size()), head);
    EXPECT_NE(ma.out.find("{\"date\": 20240108, \"values\": [1020, 0, 0, 0, 0]}"),
              std::string::npos);
    EXPECT_NE(ma.out.find("{\"date\": 20240112, \"values\": [1060, 0, 0, 0, 0]}"),
              std::string::npos);
    const std::string tail = "{\"date\": 20240115, \"values\": [1070, 1045, 0, 0, 0]}]}\n";
    ASSERT_GE(ma.out.size(), tail.size());
    EXPECT_EQ(ma.out.substr(ma.out.size() - tail.size()), tail);

    // PSY(12) has too few bars: null, never 65535.
    const CliRun psy = Run("--code 600000 --indicator 12 --adjust forward --json");
    ASSERT_EQ(psy.exitCode, 0) << psy.err;
    EXPECT_NE(psy.out.find("\"params\": [12], \"lines\": [\"12日\"]"), std::string::npos);
    EXPECT_NE(psy.out.find("{\"date\": 20240115, \"values\": [null]}]}"), std::string::npos);
    EXPECT_EQ(psy.out.find("65535"), std::string::npos);

    // W&R of a rising flat-bar series: the close is the highest high, 0.
    const CliRun wr = Run("--code 600000 --indicator 8 --json");
    ASSERT_EQ(wr.exitCode, 0) << wr.err;
    EXPECT_NE(wr.out.find("\"lines\": [\"WR1\", \"WR2\"]"), std::string::npos);
    EXPECT_NE(wr.out.find("{\"date\": 20240102, \"values\": [null, null]}"), std::string::npos);
    EXPECT_NE(wr.out.find("{\"date\": 20240103, \"values\": [0, 0]}"), std::string::npos);
}

TEST_F(IndicatorCli, WorksOnWeeklyBarsWithTheirVolumes) {
    // Weeks end 01-05 (4 bars), 01-12 (5 bars) and 01-15 (1 bar); each week
    // closes higher, so OBV adds 500 and then 100 lots.
    const CliRun obv = Run("--code 600000 --indicator 13 --period week --json");
    ASSERT_EQ(obv.exitCode, 0) << obv.err;
    EXPECT_EQ(obv.out,
              "{\"code\": \"600000\", \"indicator\": 13, \"params\": [], \"lines\": [\"OBV\"], "
              "\"bars\": [{\"date\": 20240105, \"values\": [0]}, {\"date\": 20240112, "
              "\"values\": [500]}, {\"date\": 20240115, \"values\": [600]}]}\n");
    const CliRun month = Run("--code 600000 --indicator 4 --period month --json");
    ASSERT_EQ(month.exitCode, 0) << month.err;
    EXPECT_NE(month.out.find("\"lines\": [\"DIFF\", \"DEA\", \"MACD\"], \"bars\": [{\"date\": "
                             "20240115, \"values\": [0, 0, 0]}]}"),
              std::string::npos)
        << month.out;
}

TEST_F(IndicatorCli, ReportsErrorsOnStderrWithAFailingExitCode) {
    const CliRun missing = Run("--code 600001 --indicator 4 --json");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.err.find("600001股票数据文件不存在"), std::string::npos) << missing.err;
    EXPECT_TRUE(missing.out.empty());
    for (const std::string options :
         {"--code 600000 --indicator 18 --json", "--code 600000 --indicator x --json",
          "--code 600000 --json", "--indicator 4 --json", "--code 60000A --indicator 4 --json",
          "--code 600000 --indicator 4", "--code 600000 --indicator 4 --period year --json",
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
