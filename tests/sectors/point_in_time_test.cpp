// The point-in-time check on the small demo market: the scan of a day is the
// same on the market and on a copy cut at that day, and a scan that peeks at
// the next day is caught.
#include "sectors/point_in_time.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/endian.h"
#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/evaluation.h"
#include "sectors/rotation.h"
#include "support/cli_runner.h"
#include "support/small_demo_market.h"

namespace {

constexpr uint32_t kDay = 20261125;

// A hot scan of all stocks on a root, `ahead` index days after `date`.
bool ScanRoot(const std::string& root, uint32_t date, size_t ahead, sectors::ScanOutcome& out) {
    auto workspace = std::make_unique<data::Workspace>();
    base::RecordingPrompter prompter;
    data::MarketState state;
    if (data::RunStartup(*workspace, root, prompter, 0, state) != data::StartupOutcome::Ready)
        return false;
    const data::CodeTable codes(workspace->CodeTableRegion());
    const auto inputs = picking::MarketInputsOf(*workspace, state, codes);
    const sectors::SectorLibrary library(
        workspace->Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
    const auto later = sectors::TradingDaysAfter(inputs.index, date, ahead);
    const uint32_t cutoff = ahead && later.size() == ahead ? later.back() : date;
    auto scan = std::make_unique<sectors::SectorScan>();
    std::vector<picking::PendingMessage> messages;
    scan->Run(inputs, library, {sectors::ScanType::Hot, 500, {}},
              picking::SelectCandidates(codes, picking::CandidateMarket::All), cutoff, messages);
    out = scan->Outcome();
    return out.referenceDate != 0;
}

TEST(PointInTime, TheCutCopyEndsOnTheDay) {
    fixture::TempDir scratch;
    const std::string copy = scratch.Path() + "/cut";
    ASSERT_TRUE(sectors::CopyCutAt(fixture::SmallDemoRoot(), copy, kDay).ok());
    const auto index = base::ReadWholeFile(copy + "/MKDAY/SH/999999.day", 1 << 22);
    ASSERT_TRUE(index.ok());
    // 28-byte index records after the 32-byte header; the last dated kDay.
    ASSERT_GT(index->size(), 32u + 28u);
    EXPECT_EQ((index->size() - 32) % 28, 0u);
    EXPECT_EQ(base::ReadU32(index->data() + index->size() - 28), kDay);
    EXPECT_TRUE(base::FileExists(copy + "/MKDAT/MKCODE.DAT"));
    // A second copy into the same place is refused rather than mixed.
    EXPECT_FALSE(sectors::CopyCutAt(fixture::SmallDemoRoot(), copy, kDay).ok());
}

TEST(PointInTime, TheScanPassesAndALookAheadIsCaught) {
    fixture::TempDir scratch;
    const auto honest = [](const std::string& root, uint32_t date, sectors::ScanOutcome& out) {
        return ScanRoot(root, date, 0, out);
    };
    const auto passed = sectors::CheckPointInTime(fixture::SmallDemoRoot(), scratch.Path(), kDay, honest);
    ASSERT_TRUE(passed.ran);
    EXPECT_TRUE(passed.differences.empty()) << passed.differences.front();

    // Reading the next day's bars: the full market answers for that day, the
    // cut copy cannot.
    const auto peeking = [](const std::string& root, uint32_t date, sectors::ScanOutcome& out) {
        return ScanRoot(root, date, 1, out);
    };
    const auto caught = sectors::CheckPointInTime(fixture::SmallDemoRoot(), scratch.Path(), kDay, peeking);
    ASSERT_TRUE(caught.ran);
    ASSERT_FALSE(caught.differences.empty());
    EXPECT_EQ(caught.differences.front().rfind("参考日", 0), 0u);
    // The copy went with the check.
    EXPECT_FALSE(base::FileExists(scratch.Path() + "/cut/MKDAT/MKCODE.DAT"));
}

#ifdef BKQY_CLI_PATH
TEST(PointInTime, SelfcheckCommandPassesOnTheDemoMarket) {
    fixture::TempDir scratch;
    const auto run = fixture::RunCli("selfcheck --pit --data " + fixture::SmallDemoRoot() +
                                         " --date " + std::to_string(kDay),
                                     scratch.Path());
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("通过"), std::string::npos);
    EXPECT_EQ(fixture::RunCli("selfcheck --data " + fixture::SmallDemoRoot() + " --date " +
                                  std::to_string(kDay),
                              scratch.Path())
                  .exitCode,
              2);
}
#endif

}  // namespace
