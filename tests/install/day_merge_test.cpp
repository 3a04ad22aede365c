#include "install/day_merge.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "install/package.h"
#include "install/package_install.h"
#include "install/records.h"
#include "support/fixture_market.h"

namespace {

using installtest::DayFile;
using installtest::Index;
using installtest::Join;
using installtest::ReadAll;
using installtest::Stock;
using installtest::Words;

class DayMerge : public ::testing::Test {
protected:
    std::string PathOf(uint32_t code) const { return data::DayFilePath(market.Paths(), code); }
    void Write(uint32_t code, const std::vector<uint8_t>& bytes) {
        market.WriteRaw((data::IsShenzhenCode(code) ? "MKDAY/SZ/" : "MKDAY/SH/") +
                            data::CodeText(code) + ".day",
                        bytes);
    }
    install::MergeResult Merge(uint32_t code, const std::vector<uint32_t>& records,
                               install::IndexBookkeeping* book = nullptr) {
        return install::MergeDayRecords(market.Paths(), code, records, scratch, book);
    }

    fixture::FixtureMarket market;
    install::MergeScratch scratch;
};

TEST_F(DayMerge, NewRecordsReplaceTheirSpanAndLaterBarsFollowUnchanged) {
    Write(600000, DayFile("MKSH", 600000,
                          Join({Stock(20161230, 990), Stock(20170104, 1000), Stock(20170106, 1020),
                                Stock(20170109, 1030)})));
    // Bars for 0103-0105 replace the bar of 0104; 0106 and 0109 stay as they were.
    const auto result =
        Merge(600000, Join({Stock(20170103, 1500), Stock(20170104, 1510), Stock(20170105, 1520)}));
    EXPECT_EQ(result.outcome, install::MergeOutcome::Merged);
    EXPECT_EQ(result.firstDate, 20161230u);
    EXPECT_EQ(result.lastDate, 20170109u);
    EXPECT_EQ(ReadAll(PathOf(600000)),
              DayFile("MKSH", 600000,
                      Join({Stock(20161230, 990), Stock(20170103, 1500), Stock(20170104, 1510),
                            Stock(20170105, 1520), Stock(20170106, 1020), Stock(20170109, 1030)})));

    // The same records again change nothing, and the file is not rewritten.
    struct stat before {};
    ::stat(PathOf(600000).c_str(), &before);
    EXPECT_EQ(Merge(600000, Join({Stock(20170103, 1500), Stock(20170104, 1510)})).outcome,
              install::MergeOutcome::Unchanged);
    struct stat after {};
    ::stat(PathOf(600000).c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // Bars after the last existing one are appended; before the first, put in front.
    Merge(600000, Join({Stock(20170110, 1040)}));
    Merge(600000, Join({Stock(20161229, 980)}));
    const auto words = Words(ReadAll(PathOf(600000)));
    ASSERT_EQ(words.size(), 8u + 8 * 5);
    EXPECT_EQ(words[8], 20161229u);
    EXPECT_EQ(words[8 + 7 * 5], 20170110u);
}

TEST_F(DayMerge, ACorrectedWeekWithFewerBarsLeavesNothingStaleAndShrinks) {
    const auto week = Join({Stock(20170109, 1000), Stock(20170110, 1010), Stock(20170111, 1020),
                            Stock(20170112, 1030), Stock(20170113, 1040), Stock(20170116, 1050)});
    Write(2, DayFile("MKSZ", 2, week));
    // The stock was suspended on Wednesday: the corrected week has four bars.
    const auto corrected = Join({Stock(20170109, 1001), Stock(20170110, 1011),
                                 Stock(20170112, 1031), Stock(20170113, 1041)});
    EXPECT_EQ(Merge(2, corrected).outcome, install::MergeOutcome::Merged);
    const auto bytes = ReadAll(PathOf(2));
    EXPECT_EQ(bytes.size(), 32u + 5 * 20);
    EXPECT_EQ(bytes, DayFile("MKSZ", 2, Join({corrected, Stock(20170116, 1050)})));
}

TEST_F(DayMerge, NewSecuritiesGetTheirHeaderAndIndicesSevenWordRecords) {
    EXPECT_EQ(Merge(600519, Join({Stock(20170103, 33000)})).outcome, install::MergeOutcome::Created);
    EXPECT_EQ(ReadAll(PathOf(600519)), DayFile("MKSH", 600519, Stock(20170103, 33000)));
    EXPECT_EQ(Merge(300750, Join({Stock(20170103, 5000)})).outcome, install::MergeOutcome::Created);
    EXPECT_EQ(ReadAll(PathOf(300750)), DayFile("MKSZ", 300750, Stock(20170103, 5000)));
    const auto trend = Join({Index(20170103, 100000), Index(20170104, 101000)});
    EXPECT_EQ(Merge(999998, trend).outcome, install::MergeOutcome::Created);
    EXPECT_EQ(ReadAll(PathOf(999998)), DayFile("MKSH", 999998, trend));
    // A missing market folder is made.
    std::filesystem::remove_all(market.Paths().szFolder);
    EXPECT_EQ(Merge(1, Stock(20170103, 1000)).outcome, install::MergeOutcome::Created);
}

TEST_F(DayMerge, AFileThatIsNotWholeRecordsIsLeftAlone) {
    auto torn = DayFile("MKSH", 600000, Join({Stock(20170103, 1000), Stock(20170104, 1010)}));
    torn.resize(torn.size() - 3);
    Write(600000, torn);
    const auto result = Merge(600000, Stock(20170105, 1020));
    EXPECT_EQ(result.outcome, install::MergeOutcome::Skipped);
    EXPECT_NE(result.reason.find("不是整条记录"), std::string::npos);
    EXPECT_EQ(ReadAll(PathOf(600000)), torn);
    // A header cut short is no file to merge into either.
    Write(600001, std::vector<uint8_t>(20, 0));
    EXPECT_EQ(Merge(600001, Stock(20170105, 1020)).outcome, install::MergeOutcome::Skipped);
}

TEST_F(DayMerge, TheShanghaiIndexMovesTheDatesTheWindowKeeps) {
    Write(999999, DayFile("MKSH", 999999, Join({Index(20170103, 310000), Index(20170104, 311000)})));
    install::IndexBookkeeping daily{install::DownloadMode::Daily, 20170104, 20170103, {}};
    Merge(999999, Index(20170105, 312000), &daily);
    EXPECT_EQ(daily.latestDate, 20170105u);
    EXPECT_EQ(daily.firstIndexDate, 20170103u);
    Merge(999999, Index(19901219, 9600), &daily);
    EXPECT_EQ(daily.firstIndexDate, 19901219u);
    EXPECT_EQ(daily.historyInstalled, (std::array<bool, 3>{}));
    // Other codes leave the bookkeeping alone.
    Merge(399001, Index(20170106, 1000000), &daily);
    EXPECT_EQ(daily.latestDate, 20170105u);

    // A history install lowers the first date and marks the decades found.
    install::IndexBookkeeping history{install::DownloadMode::History, 20170105, 20170103, {}};
    Merge(999999, Index(20100104, 324000), &history);
    EXPECT_EQ(history.latestDate, 20170105u);
    EXPECT_EQ(history.firstIndexDate, 19901219u);
    EXPECT_EQ(history.historyInstalled, (std::array<bool, 3>{true, false, true}));
}

TEST_F(DayMerge, HistoryStatusAndTheEntriesInstalledMarks) {
    EXPECT_EQ(install::HistoryStatus(market.Paths(), 999999).bytes, 0u);
    EXPECT_EQ(install::HistoryEntryTexts(install::HistoryInstalled(market.Paths()))[0],
              "MK1990年-1999年(14.46M)");
    // Without Shanghai bars the Shenzhen index decides.
    Write(399001, DayFile("MKSZ", 399001, Join({Index(20001229, 1000), Index(20100104, 1100)})));
    Write(999999, DayFile("MKSH", 999999, {}));
    EXPECT_EQ(install::HistoryInstalled(market.Paths()), (std::array<bool, 3>{false, true, true}));

    Write(999999, DayFile("MKSH", 999999,
                          Join({Index(19901219, 9600), Index(19901220, 9700), Index(20170103, 1)})));
    const auto status = install::HistoryStatus(market.Paths(), 999999);
    EXPECT_EQ(status.bytes, 32u + 3 * 28);
    EXPECT_EQ(status.bars, 3u);
    EXPECT_EQ(status.firstDate, 19901219u);
    EXPECT_EQ(status.secondDate, 19901220u);
    EXPECT_EQ(status.lastDate, 20170103u);
    const auto texts = install::HistoryEntryTexts(install::HistoryInstalled(market.Paths()));
    EXPECT_EQ(texts[0], "MK1990年-1999年(14.46M)[已安装]");
    EXPECT_EQ(texts[1], "MK2000年-2009年(56.67M)");
    EXPECT_EQ(texts[2], "MK2010年-2013年(40.58M)");
    EXPECT_EQ(texts[3], "预留下载接口");
}

TEST_F(DayMerge, AnInstallStopsAfterTheBlockItIsOnAndKeepsWhatItMerged) {
    std::vector<install::BlockToWrite> blocks;
    for (uint32_t code = 600000; code < 600010; ++code)
        blocks.push_back({code, install::BlockForm::Short, Stock(20170103, 1000)});
    blocks.push_back({600020, install::BlockForm::Long, Join({Stock(20170104, 1), Stock(20170103, 1)})});
    const auto words = Words(install::EncodePackage(blocks));

    install::InstallProgress progress;
    auto report = install::InstallPackageImage(market.Paths(), words, progress,
                                                install::IndexBookkeeping{});
    EXPECT_EQ(report.blocks, 11u);
    EXPECT_EQ(report.created, 10u);
    EXPECT_EQ(report.skippedCodes, std::vector<uint32_t>{600020});
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(progress.blocksDone, 11u);
    EXPECT_EQ(install::InstallBarPixels(progress.blocksDone, progress.blocksTotal), 350);
    EXPECT_EQ(install::InstallBarPixels(1, 3), 116);

    // The same package again: everything already there.
    report = install::InstallPackageImage(market.Paths(), words, progress, {});
    EXPECT_EQ(report.unchanged, 10u);

    // A stop request set before the first block ends the loop after it.
    for (auto& b : blocks) b.records = Stock(20170104, 1010);
    const auto second = Words(install::EncodePackage(blocks));
    progress.stopRequested = true;
    report = install::InstallPackageImage(market.Paths(), second, progress, {});
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.merged, 1u);
    EXPECT_EQ(progress.blocksDone, 1u);
    EXPECT_EQ(Words(ReadAll(PathOf(600000))).size(), 8u + 10);
    EXPECT_EQ(Words(ReadAll(PathOf(600001))).size(), 8u + 5);
}

}  // namespace
