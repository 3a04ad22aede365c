// bkqy-cli demo end to end: the command line, the summary and the exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "demo_test_support.h"

#include "support/cli_runner.h"

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
    EXPECT_NE(run.out.find("stocks        40 ("), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(".. 20240628"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("ex-rights"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("elapsed"), std::string::npos) << run.out;
    EXPECT_TRUE(base::FileExists(root + "/MKDAT/MKCODE.DAT"));
    EXPECT_EQ(demotest::ReadCodeTable(root + "/MKDAT/MKCODE.DAT").count, 43u);
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
