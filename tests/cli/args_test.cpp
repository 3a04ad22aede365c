#include <gtest/gtest.h>

#include "cli/args.h"

namespace {

TEST(CliArgs, OptionsPairWithTheirValuesAndUnknownOnesAreNamed) {
    std::string error;
    auto args = cli::Args::Parse({"--data", "dir", "--json", "--threshold", "7.5"}, &error);
    ASSERT_TRUE(args.has_value()) << error;
    EXPECT_EQ(args->Get("data"), "dir");
    EXPECT_TRUE(args->Has("json"));
    EXPECT_EQ(args->Get("json"), "");
    EXPECT_FALSE(args->Get("png").has_value());
    EXPECT_TRUE(args->OnlyKnown({"data", "json", "threshold"}, &error));
    EXPECT_FALSE(args->OnlyKnown({"data", "json"}, &error));
    EXPECT_EQ(error, "unknown option --threshold");

    // A plain word is refused by commands that take no files.
    auto plain = cli::Args::Parse({"data"}, &error);
    ASSERT_TRUE(plain.has_value());
    EXPECT_FALSE(plain->OnlyKnown({"data"}, &error));
    EXPECT_EQ(error, "unexpected argument: data");
}

TEST(CliArgs, FilesFollowOptionsAndBareFlagsNeverTakeThem) {
    std::string error;
    auto args = cli::Args::Parse({"--data", "dir", "a.TXT", "--force", "CQADD.TXT", "--json", "b"},
                                 &error);
    ASSERT_TRUE(args.has_value());
    EXPECT_EQ(args->Get("data"), "dir");
    EXPECT_EQ(args->Get("force"), "");
    EXPECT_EQ(args->Files(), (std::vector<std::string>{"a.TXT", "CQADD.TXT", "b"}));
    EXPECT_TRUE(args->OnlyKnownWithFiles({"data", "force", "json"}, &error));
    EXPECT_FALSE(args->OnlyKnown({"data", "force", "json"}, &error));
    EXPECT_EQ(error, "unexpected argument: a.TXT");
}

TEST(CliArgs, NumbersMustBeWholeAndNonNegative) {
    std::string error;
    auto args = cli::Args::Parse({"--stocks", "200", "--years", "-3", "--end", "2026x", "--seed", ""},
                                 &error);
    ASSERT_TRUE(args.has_value());
    EXPECT_EQ(args->GetNumber("stocks", &error), 200u);
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(args->GetNumber("years", &error).has_value());
    EXPECT_EQ(error, "--years needs a whole number, not \"-3\"");
    error.clear();
    EXPECT_FALSE(args->GetNumber("end", &error).has_value());
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(args->GetNumber("absent", &error).has_value());
    EXPECT_TRUE(error.empty());
}

}  // namespace
