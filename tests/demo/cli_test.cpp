// bkqy-cli demo end to end: the command line, the summary and the exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "demo_test_support.h"

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliRun RunCli(const std::string& arguments, const std::string& scratch) {
    const std::string errFile = scratch + "/stderr.txt";
    const std::string command =
        "'" + std::string(BKQY_CLI_PATH) + "' " + arguments + " 2>'" + errFile + "'";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto err = demotest::ReadBytes(errFile);
    run.err.assign(err.begin(), err.end());
    return run;
}

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
