// bkqy-cli install end to end on a demo market: packages and table files,
// the date rule, refusals that change nothing, and what the other commands
// see afterwards.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "data/file_formats.h"
#include "demo/demo_market.h"
#include "install/package.h"
#include "install/records.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"
#include "support/json_value.h"

namespace {

using installtest::ReadAll;
using installtest::Words;

class InstallCli : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.Path() + "/market";
        demo::DemoOptions options;
        options.dataRoot = root;
        options.stocks = 60;
        options.years = 1;
        options.endDate = 20241227;  // a Friday; the next trading day is 20241230
        ASSERT_TRUE(demo::WriteDemoMarket(options).ok());
        paths = data::BuildDataPaths(root);
    }
    std::string Offer(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir.Path() + "/" + name;
        EXPECT_TRUE(base::WriteFileAtomic(path, bytes).ok());
        return path;
    }
    fixture::CliRun Run(const std::string& arguments) {
        return fixture::RunCli(arguments, dir.Path());
    }
    static fixture::Json Parsed(const fixture::CliRun& run) {
        auto json = fixture::Json::Parse(run.out);
        EXPECT_TRUE(json.has_value()) << run.out;
        return json.value_or(fixture::Json());
    }
    // The last record of a day file: its first word is the date.
    uint32_t LastDate(uint32_t code) {
        const auto words = Words(ReadAll(data::DayFilePath(paths, code)));
        return words[words.size() - (data::IsIndexCode(code) ? 7 : 5)];
    }

    fixture::TempDir dir;
    std::string root;
    data::DataPaths paths;
};

TEST_F(InstallCli, APackageBringsANewDayThatTheOtherCommandsSee) {
    // The next day for both indices (long form) and one stock (short form),
    // and a new listing.
    const auto index = installtest::Index(20241230, 340000);
    const std::vector<install::BlockToWrite> blocks = {
        {999999, install::BlockForm::Long, index},
        {399001, install::BlockForm::Long, index},
        {600000, install::BlockForm::Short, installtest::Stock(20241230, 1234)},
        {603999, install::BlockForm::Short, installtest::Stock(20241230, 880)},
    };
    const std::string package = Offer("DAY20241230.TXT", install::EncodePackage(blocks));
    const auto run = Run("install --data '" + root + "' '" + package + "' --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const fixture::Json json = Parsed(run);
    ASSERT_EQ(json["files"].Size(), 1u);
    const fixture::Json& file = json["files"][0];
    EXPECT_EQ(file["file"].Str(), package);
    EXPECT_EQ(file["kind"].Str(), "package");
    EXPECT_EQ(file["blocks"].Int(), 4);
    EXPECT_EQ(file["created"].Int(), 1);
    EXPECT_EQ(file["merged"].Int(), 3);
    EXPECT_EQ(file["unchanged"].Int(), 0);
    EXPECT_EQ(file["skipped"].Size(), 0u);
    EXPECT_FALSE(file["stopped"].Bool());
    EXPECT_EQ(file["problems"].Size(), 0u);
    EXPECT_FALSE(file.Has("refused"));
    EXPECT_EQ(LastDate(999999), 20241230u);
    EXPECT_EQ(LastDate(603999), 20241230u);

    const auto summary = Run("summary --data '" + root + "'");
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_NE(summary.out.find("最新交易日    20241230"), std::string::npos) << summary.out;

    // The same package again merges nothing.
    const auto again = Run("install --data '" + root + "' '" + package + "'");
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_NE(again.out.find("4 个数据块：新建 0，合并 0，未变 4"), std::string::npos) << again.out;
}

TEST_F(InstallCli, RefusedFilesChangeNothingAndExitNonZero) {
    const auto before = ReadAll(data::DayFilePath(paths, 600000));
    const std::string junk = Offer("DAY.TXT", std::vector<uint8_t>(40, 7));
    auto run = Run("install --data '" + root + "' '" + junk + "' --json");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Parsed(run)["files"][0]["refused"].Str(), "该文件非擎宇数据文件");
    EXPECT_NE(run.err.find("bkqy-cli install: " + junk + "：该文件非擎宇数据文件"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadAll(data::DayFilePath(paths, 600000)), before);

    // A package with a bad block installs the rest and says which was skipped.
    std::vector<uint32_t> words = {2, 0, 0, 600000, 7};
    const auto stock = installtest::Stock(20241230, 1300);
    words.insert(words.end(), stock.begin(), stock.end());
    words.insert(words.end(), {600001, 12});  // runs past the end
    std::vector<uint8_t> bytes(words.size() * 4);
    for (size_t i = 0; i < words.size(); ++i) base::WriteU32(bytes.data() + 4 * i, words[i]);
    run = Run("install --data '" + root + "' '" + Offer("PART.TXT", bytes) + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(LastDate(600000), 20241230u);
    EXPECT_NE(run.out.find("数据块超出数据包末尾：600001"), std::string::npos) << run.out;

    run = Run("install --data '" + root + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("缺少要安装的文件"), std::string::npos) << run.err;
    run = Run("install --data '" + root + "' --froce x");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("未知选项 --froce"), std::string::npos) << run.err;
}

TEST_F(InstallCli, TableFilesMustBeNewerThanTheLoadedOnesUnlessForced) {
    // The demo's code table is dated 20241227: a table of that date is refused.
    const auto entries = std::vector<data::CodeEntry>{
        {600000, fixture::Gbk("浦发银行"), "PFYH", 1, 1}, {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    const std::string table = Offer("MKCODE.TXT", data::EncodeCodeTable(20241227, entries));
    const auto before = ReadAll(paths.codeTable);
    auto run = Run("install --data '" + root + "' '" + table + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("文件日期241227不比已安装的241227新，未安装"), std::string::npos) << run.out;
    EXPECT_EQ(ReadAll(paths.codeTable), before);

    run = Run("install --data '" + root + "' --force '" + table + "' --json");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(Parsed(run)["files"][0]["kind"].Str(), "code_table");
    EXPECT_EQ(ReadAll(paths.codeTable).size(), 28u + 2 * 28);

    // CQADD.TXT has no date to compare: each event merged or found unchanged.
    const std::string text = "/600000,20241230,0,1.5,0,0/ /600000,20241230,0,1.5,0,0/";
    const std::vector<uint8_t> cqadd(text.begin(), text.end());
    run = Run("install --data '" + root + "' '" + Offer("CQADD.TXT", cqadd) + "' --json");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    const fixture::Json additions = Parsed(run)["files"][0];
    EXPECT_EQ(additions["kind"].Str(), "ex_rights_additions");
    EXPECT_EQ(additions["blocks"].Int(), 0);
    EXPECT_EQ(additions["merged"].Int(), 1);
    EXPECT_EQ(additions["unchanged"].Int(), 1);
}

}  // namespace
