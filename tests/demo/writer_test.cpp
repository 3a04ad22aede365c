// Writing a market: identical bytes for identical options, refusal of bad
// options and of folders holding other data, replacement of an earlier demo.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/file_io.h"
#include "demo/demo_market.h"
#include "demo_test_support.h"

namespace {

namespace fs = std::filesystem;

demo::DemoOptions SmallOptions(const std::string& root, uint64_t seed = 3) {
    demo::DemoOptions o;
    o.dataRoot = root;
    o.stocks = 60;
    o.years = 2;
    o.endDate = 20240628;
    o.seed = seed;
    return o;
}

// Every file below the root by relative path, with its bytes.
std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] =
                demotest::ReadBytes(entry.path().string());
    return files;
}

size_t DayFileCount(const std::string& root) {
    size_t n = 0;
    for (const char* folder : {"/MKDAY/SH", "/MKDAY/SZ"})
        for (const auto& entry : fs::directory_iterator(root + folder))
            n += entry.path().extension() == ".day";
    return n;
}

TEST(DemoWriter, SameOptionsGiveIdenticalBytesAndAnotherSeedDiffers) {
    fixture::TempDir dir;
    ASSERT_TRUE(demo::WriteDemoMarket(SmallOptions(dir.Path() + "/a")).ok());
    ASSERT_TRUE(demo::WriteDemoMarket(SmallOptions(dir.Path() + "/b")).ok());
    ASSERT_TRUE(demo::WriteDemoMarket(SmallOptions(dir.Path() + "/c", 4)).ok());
    const auto a = Snapshot(dir.Path() + "/a"), b = Snapshot(dir.Path() + "/b"),
               c = Snapshot(dir.Path() + "/c");
    EXPECT_EQ(a.size(), 60u + 3u + 4u + 1u);  // day files, tables, marker
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        ASSERT_TRUE(b.count(path)) << path;
        EXPECT_TRUE(bytes == b.at(path)) << path << " differs between two runs";
    }
    EXPECT_FALSE(a.at("MKDAT/MKCODE.DAT") == c.at("MKDAT/MKCODE.DAT"));
    EXPECT_FALSE(a.at("MKDAY/SH/999999.day") == c.at("MKDAY/SH/999999.day"));
}

TEST(DemoWriter, RefusesOptionsThatCannotMakeAMarket) {
    fixture::TempDir dir;
    const std::string root = dir.Path() + "/m";
    auto refused = [&](auto change) {
        demo::DemoOptions o = SmallOptions(root);
        change(o);
        auto r = demo::WriteDemoMarket(o);
        EXPECT_FALSE(r.ok());
        return r.ok() ? std::string() : r.error();
    };
    EXPECT_NE(refused([](auto& o) { o.stocks = 0; }).find("stocks"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.stocks = 9'001; }).find("9000"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.years = 0; }).find("years"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.years = 31; }).find("years"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.endDate = 20230229; }).find("20230229"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.endDate = 20231301; }).find("date"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.endDate = 19991231, o.years = 10; }).find("1991"),
              std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.endDate = 20800102; }).find("2079"), std::string::npos);
    EXPECT_NE(refused([](auto& o) { o.dataRoot.clear(); }).find("folder"), std::string::npos);
    // Before ChiNext and STAR opened there are not codes for 9,000 stocks.
    EXPECT_NE(refused([](auto& o) { o.endDate = 20081231, o.stocks = 9'000; }).find("at most"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(root)) << "nothing is written for refused options";
}

TEST(DemoWriter, AnEndOnAHolidayMovesBackToTheLastTradingDay) {
    fixture::TempDir dir;
    auto o = SmallOptions(dir.Path());
    o.endDate = 20241005;  // National Day week
    auto r = demo::WriteDemoMarket(o);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->lastDate, 20240930u);
    const auto bars = demotest::ReadDayFile(dir.Path() + "/MKDAY/SH/999999.day", true).bars;
    ASSERT_FALSE(bars.empty());
    EXPECT_EQ(bars.back().date, 20240930u);
    EXPECT_EQ(demotest::ReadCodeTable(dir.Path() + "/MKDAT/MKCODE.DAT").date, 20240930u);
}

TEST(DemoWriter, NeverWritesOverAFolderHoldingOtherFiles) {
    fixture::TempDir dir;
    fixture::FixtureMarket foreign;  // an empty skeleton is fine to fill
    EXPECT_TRUE(demo::WriteDemoMarket(SmallOptions(foreign.Root())).ok());

    const std::string root = dir.Path() + "/real";
    ASSERT_TRUE(base::MakeFolders(root + "/MKDAY/SH").ok());
    const std::vector<uint8_t> bytes = {1, 2, 3};
    ASSERT_TRUE(base::WriteFileAtomic(root + "/MKDAY/SH/600000.day", bytes).ok());
    auto r = demo::WriteDemoMarket(SmallOptions(root));
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("not a demo market"), std::string::npos) << r.error();
    EXPECT_EQ(demotest::ReadBytes(root + "/MKDAY/SH/600000.day"), bytes);
    EXPECT_FALSE(fs::exists(root + "/MKDAT"));
}

TEST(DemoWriter, ASmallerMarketReplacesAnEarlierOneCompletely) {
    fixture::TempDir dir;
    const std::string root = dir.Path();
    ASSERT_TRUE(demo::WriteDemoMarket(SmallOptions(root)).ok());
    EXPECT_EQ(DayFileCount(root), 63u);
    // The program's own settings survive a new demo market.
    const std::vector<uint8_t> settings = {9, 9, 9};
    ASSERT_TRUE(base::WriteFileAtomic(root + "/MKDAT/Inif2.DAT", settings).ok());

    auto o = SmallOptions(root, 5);
    o.stocks = 25;
    auto r = demo::WriteDemoMarket(o);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(DayFileCount(root), 28u);
    const auto codes = demotest::ReadCodeTable(root + "/MKDAT/MKCODE.DAT");
    for (const auto& rec : codes.records)
        EXPECT_TRUE(fs::exists(data::DayFilePath(data::BuildDataPaths(root), rec.code)))
            << rec.code;
    EXPECT_EQ(demotest::ReadBytes(root + "/MKDAT/Inif2.DAT"), settings);
}

}  // namespace
