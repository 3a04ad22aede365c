// bkqy-cli watch end to end: the list in the settings file, edited with the
// window's rules and messages, saved to and loaded from the XG folder.
#include <gtest/gtest.h>

#include <fstream>

#include "base/file_io.h"
#include "data/settings.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"

namespace {

struct WatchMarket {
    WatchMarket() {
        const std::vector<data::CodeEntry> codes = {
            {1, fixture::Gbk("平安银行"), "PAYH", 1, 1},
            {600000, fixture::Gbk("浦发银行"), "PFYH", 1, 1},
            {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
        market.WriteCodeTable(20240101, codes);
    }
    fixture::CliRun Run(const std::string& words) const {
        return fixture::RunCli("watch --data '" + market.Root() + "' " + words, scratch.Path());
    }
    std::vector<uint32_t> Stored() const {
        bool created = false;
        return data::LoadSettings(market.Paths().settings, &created).watchList;
    }

    fixture::FixtureMarket market;
    fixture::TempDir scratch;
};

TEST(WatchCommand, AddsRemovesAndListsWithTheWindowsRules) {
    WatchMarket m;
    EXPECT_EQ(m.Run("list").out, "自选股(0)\n");
    EXPECT_EQ(m.Run("add 600000").exitCode, 0);
    const fixture::CliRun added = m.Run("add 1");
    EXPECT_EQ(added.exitCode, 0);
    EXPECT_EQ(added.out, "自选股(2)\n000001 平安银行\n600000 浦发银行\n");  // new ones on top
    EXPECT_EQ(m.Stored(), (std::vector<uint32_t>{1, 600000}));

    const fixture::CliRun again = m.Run("add 600000");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("该股已在自选股中"), std::string::npos);
    const fixture::CliRun index = m.Run("add 999999");
    EXPECT_EQ(index.exitCode, 1);
    EXPECT_NE(index.err.find("大盘指数无法加入自选股"), std::string::npos);
    EXPECT_EQ(m.Run("add 600004").exitCode, 1);  // not in the code table
    EXPECT_EQ(m.Run("add 60x").exitCode, 2);
    EXPECT_EQ(m.Run("remove 600004").exitCode, 1);
    EXPECT_EQ(m.Stored(), (std::vector<uint32_t>{1, 600000}));

    EXPECT_EQ(m.Run("list --json").out,
              "{\"count\": 2, \"stocks\": [{\"code\": \"000001\", \"name\": \"平安银行\"}, "
              "{\"code\": \"600000\", \"name\": \"浦发银行\"}]}\n");
    EXPECT_EQ(m.Run("remove 1").out, "自选股(1)\n600000 浦发银行\n");
    EXPECT_EQ(m.Run("").exitCode, 2);
    EXPECT_EQ(m.Run("add").exitCode, 2);
    EXPECT_EQ(m.Run("list --stock 1").exitCode, 2);
}

TEST(WatchCommand, SavesToTheListFolderAndLoadsBack) {
    WatchMarket m;
    ASSERT_EQ(m.Run("add 600000").exitCode, 0);
    ASSERT_EQ(m.Run("add 1").exitCode, 0);
    const fixture::CliRun saved = m.Run("save");
    ASSERT_EQ(saved.exitCode, 0);
    const std::string path = saved.out.substr(0, saved.out.size() - 1);
    EXPECT_NE(path.find("/XG/ZX"), std::string::npos);
    EXPECT_EQ(path.substr(path.size() - 8), "-001.TXT");
    EXPECT_NE(saved.err.find("将自选股以文件名："), std::string::npos);  // the question, answered

    ASSERT_EQ(m.Run("remove 1").exitCode, 0);
    // A damaged file is refused and the stored list kept.
    std::ofstream(m.scratch.Path() + "/bad.TXT") << "nothing of ours\r\n";
    const fixture::CliRun bad = m.Run("load '" + m.scratch.Path() + "/bad.TXT'");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("非擎宇自选股文件，或者文件已被破坏。"), std::string::npos);
    EXPECT_EQ(m.Stored(), std::vector<uint32_t>{600000});
    EXPECT_EQ(m.Run("load '" + path + "'").exitCode, 0);
    EXPECT_EQ(m.Stored(), (std::vector<uint32_t>{1, 600000}));
}

}  // namespace
