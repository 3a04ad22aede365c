// bkqy-cli demo end to end: the command line, the summary and the exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "demo_test_support.h"

#include "support/cli_runner.h"
#include "support/json_value.h"

namespace {

using fixture::CliRun;
using fixture::RunCli;

TEST(DemoCommand, WritesAMarketAndSummarisesIt) {
    fixture::TempDir dir;
    const std::string root = dir.Path() + "/market";
    const CliRun run = RunCli(
        "demo --data " + root + " --stocks 40 --years 1 --end 20240628 --seed 9", dir.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_NE(run.out.find("股票          40 只（"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("至 20240628"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("次除权"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("用时"), std::string::npos) << run.out;
    EXPECT_TRUE(base::FileExists(root + "/MKDAT/MKCODE.DAT"));
    EXPECT_EQ(demotest::ReadCodeTable(root + "/MKDAT/MKCODE.DAT").count, 43u);

    // The same market again, told as JSON: its counts add up.
    const CliRun json = RunCli("demo --data " + root + " --stocks 40 --years 1 --end 2024-06-28 "
                               "--seed 9 --json",
                               dir.Path());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto j = fixture::Json::Parse(json.out);
    ASSERT_TRUE(j.has_value()) << json.out;
    EXPECT_EQ((*j)["last_date"].Int(), 20240628);
    EXPECT_EQ((*j)["stocks"].Int(), 40);
    int64_t boards = 0;
    for (const auto& [name, count] : (*j)["boards"].Object()) boards += count.Int();
    EXPECT_EQ(boards, 40);
    int64_t families = 0;
    for (const auto& [name, count] : (*j)["sector_families"].Object()) families += count.Int();
    EXPECT_EQ(families, (*j)["sectors"].Int());
    EXPECT_TRUE((*j)["packages"].IsNull());
    EXPECT_EQ((*j)["pictures"].Int(), 61);
}

// bkqy-cli alone in a folder cannot start the window program: the market is
// still written and usable, and the missing pictures are told, not skipped.
TEST(DemoCommand, WithoutTheWindowProgramTheMarketIsWrittenAndThePicturesToldMissing) {
    fixture::TempDir dir;
    const std::string lone = dir.Path() + "/bin/bkqy-cli";
    std::filesystem::create_directories(dir.Path() + "/bin");
    std::filesystem::copy_file(BKQY_CLI_PATH, lone);
    const std::string root = dir.Path() + "/market";
    const std::string command = "'" + lone + "' demo --data '" + root +
                                "' --stocks 40 --years 1 --end 20240628 --json 2>'" + dir.Path() +
                                "/err.txt'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::vector<uint8_t> errBytes = demotest::ReadBytes(dir.Path() + "/err.txt");
    const std::string err(errBytes.begin(), errBytes.end());
    EXPECT_NE(err.find("bkqy-cli demo: 演示市场已写好，但选股条件的示例图片没有画出："),
              std::string::npos) << err;
    EXPECT_NE(err.find(dir.Path() + "/bin/bkqy-cli-window"), std::string::npos) << err;
    const auto j = fixture::Json::Parse(out);
    ASSERT_TRUE(j.has_value()) << out;
    EXPECT_TRUE((*j)["pictures"].IsNull());
    EXPECT_EQ((*j)["stocks"].Int(), 40);
    EXPECT_EQ(demotest::ReadCodeTable(root + "/MKDAT/MKCODE.DAT").count, 43u);
    EXPECT_FALSE(base::FileExists(root + "/MKDAT/mk2001.jpg"));
}

TEST(DemoCommand, ReportsBadArgumentsOnStderrWithAFailingExitCode) {
    fixture::TempDir dir;
    const std::string root = dir.Path() + "/market";
    const std::string data = "demo --data '" + root + "'";
    const std::vector<std::string> bad = {"demo",
                                          "demo --stocks 10",
                                          data + " --stocks ten",
                                          data + " --stocks 0",
                                          data + " --end 20241340",
                                          data + " --years 99999999999",
                                          data + " --stocks"};
    for (const std::string& args : bad) {
        const CliRun run = RunCli(args, dir.Path());
        EXPECT_NE(run.exitCode, 0) << args;
        EXPECT_FALSE(run.err.empty()) << args;
        EXPECT_TRUE(run.out.empty()) << args << ": " << run.out;
    }
    EXPECT_FALSE(base::FileExists(root + "/MKDAT/MKCODE.DAT"));
}

}  // namespace
