// Tails kept between runs: what the store keeps, the rules that drop it, and
// runs served from it that come out exactly as runs reading every file.
#include "picking/kept_tails.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "base/endian.h"
#include "picking/evaluation.h"
#include "picking/picking_run.h"
#include "picking_market.h"

namespace {

using picking::KeptTails;
using pickingtest::PickingMarket;

constexpr size_t kRecord = data::kStockRecordWords * 4;

// Records whose first word is their position in the file.
std::vector<uint8_t> Records(size_t first, size_t count) {
    std::vector<uint8_t> bytes(count * kRecord, 0);
    for (size_t i = 0; i < count; ++i)
        base::WriteU32(bytes.data() + i * kRecord, static_cast<uint32_t>(first + i));
    return bytes;
}

void StampFolder(const std::string& folder, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), times, 0), 0);
}

TEST(KeptTails, KeepsTheNewestRecordsAndDropsThemByTheRules) {
    fixture::FixtureMarket market;
    const data::DataPaths& paths = market.Paths();
    KeptTails kept;
    kept.PrepareRun(paths, 11);
    // At most kMostRecords of a long read, the newest.
    kept.Keep(600001, 500, Records(0, 500));
    const auto tail = kept.Find(600001);
    ASSERT_TRUE(tail.has_value());
    EXPECT_EQ(tail->fileRecords, 500u);
    ASSERT_EQ(tail->bytes.size(), KeptTails::kMostRecords * kRecord);
    EXPECT_EQ(base::ReadU32(tail->bytes.data()), 500 - KeptTails::kMostRecords);
    EXPECT_EQ(base::ReadU32(tail->bytes.data() + tail->bytes.size() - kRecord), 499u);
    EXPECT_FALSE(kept.Find(600002).has_value());

    // A file kept whole never limits how far back a run may reach; a tail
    // short of its file does.
    kept.Keep(600002, 10, Records(0, 10));
    kept.Keep(600003, 200, Records(136, 64));
    kept.PrepareRun(paths, 64);
    EXPECT_EQ(kept.Count(), 3u);
    kept.PrepareRun(paths, 65);
    EXPECT_EQ(kept.Count(), 0u);

    // The data changed through this program.
    kept.Keep(600002, 10, Records(0, 10));
    kept.PrepareRun(paths, 11);
    EXPECT_EQ(kept.Count(), 1u);
    kept.DataChanged();
    EXPECT_EQ(kept.Count(), 1u);  // nothing goes before the next run
    kept.PrepareRun(paths, 11);
    EXPECT_EQ(kept.Count(), 0u);
    kept.Keep(600002, 10, Records(0, 10));
    kept.PrepareRun(paths, 11);
    EXPECT_EQ(kept.Count(), 1u);  // and only once

    // Another program replaced files in either folder.
    for (const std::string& folder : {paths.shFolder, paths.szFolder}) {
        StampFolder(folder, 1'000'000'000);
        kept.PrepareRun(paths, 11);
        EXPECT_EQ(kept.Count(), 0u) << folder;
        kept.Keep(600002, 10, Records(0, 10));
        kept.PrepareRun(paths, 11);
        EXPECT_EQ(kept.Count(), 1u) << folder;
    }
}

std::vector<uint32_t> Closes(size_t count, uint32_t first) {
    std::vector<uint32_t> closes;
    for (size_t i = 0; i < count; ++i) closes.push_back(first + static_cast<uint32_t>(i * 37 % 90));
    return closes;
}

// A market of long, short, newly listed, suspended and missing stocks, and
// one with bars past the index's last day.
struct TailMarket {
    TailMarket() : m(400) {
        m.Stock(600001, m.Bars(Closes(400, 1000)));
        m.Stock(600002, m.Bars(Closes(6, 1000)));
        m.Stock(600003, m.Bars(Closes(40, 1500)));
        auto late = m.Bars(Closes(300, 1200));
        for (uint32_t i = 1; i <= 30; ++i) {
            data::Bar b = late.back();
            b.date = m.LastDate() + i;
            late.push_back(b);
        }
        m.Stock(600004, late);
        auto suspended = m.Bars(Closes(200, 800));
        suspended.erase(suspended.end() - 90, suspended.end() - 2);
        m.Stock(600006, suspended);
        inputs = m.Inputs();
    }
    PickingMarket m;
    picking::MarketInputs inputs;
    const std::vector<uint32_t> codes = {600001, 600002, 600003, 600005, 600004, 600006, 600001};
};

struct Outcome {
    std::vector<picking::NDayChange> changes;
    std::vector<picking::Match> picks;
    uint64_t filesRead = 0;
};

// Every code measured for the scan (N = 1) and tested with a pick condition,
// as a run does it, with or without kept tails.
Outcome RunAll(TailMarket& t, uint32_t cutoff, picking::ChangeMode mode, const std::string& pick,
               KeptTails* kept) {
    Outcome out;
    std::vector<uint32_t> storage(data::kScanAreaWords);
    const picking::StockNeeds needs = picking::NDayChangeNeeds(1);
    if (kept)
        kept->PrepareRun(t.inputs.paths, picking::TailReadRecords(t.inputs.index, cutoff, needs));
    picking::Evaluator measure(t.inputs, storage);
    measure.Begin({}, cutoff);
    measure.SetKeptTails(kept);
    measure.StartPrefetch(t.codes, needs, 2);
    for (uint32_t code : t.codes) out.changes.push_back(measure.MeasureNDayChange(code, 1, mode));
    picking::Evaluator tester(t.inputs, storage);
    tester.Begin(picking::ReadMethodEntry(pick), cutoff);
    tester.SetKeptTails(kept);
    for (uint32_t code : t.codes) out.picks.push_back(tester.Evaluate(code).match);
    out.filesRead = measure.FilesRead() + tester.FilesRead();
    return out;
}

TEST(KeptTails, RunsServedFromThemComeOutAsRunsReadingEveryFile) {
    TailMarket t;
    KeptTails kept;
    const struct {
        uint32_t cutoff;
        picking::ChangeMode mode;
        const char* pick;
        bool fromMemory;  // every tail the run needs is kept already
    } runs[] = {
        {data::kNoSimulationCutoff, picking::ChangeMode::Price, "a3(1,0.00,9.00);", false},
        {data::kNoSimulationCutoff, picking::ChangeMode::Amount, "a3(3,0.00,9.00);", true},
        {t.m.DateBack(20), picking::ChangeMode::Price, "a4(2,0.00,9.00);", true},
        {t.m.DateBack(100), picking::ChangeMode::Price, "a3(1,0.00,9.00);", false},  // beyond
        {t.m.DateBack(60), picking::ChangeMode::Amount, "a3(1,0.00,9.00);", true},
        {data::kNoSimulationCutoff, picking::ChangeMode::Price, "b26(12,26,9);",
         false},  // whole files
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(testing::Message() << "cut-off " << run.cutoff << " " << run.pick);
        const Outcome plain = RunAll(t, run.cutoff, run.mode, run.pick, nullptr);
        const Outcome served = RunAll(t, run.cutoff, run.mode, run.pick, &kept);
        ASSERT_EQ(plain.changes.size(), served.changes.size());
        for (size_t i = 0; i < plain.changes.size(); ++i) {
            SCOPED_TRACE(testing::Message() << t.codes[i]);
            EXPECT_EQ(served.changes[i].hasValue, plain.changes[i].hasValue);
            EXPECT_EQ(served.changes[i].value, plain.changes[i].value);
            EXPECT_EQ(served.changes[i].newlyListed, plain.changes[i].newlyListed);
            EXPECT_EQ(served.picks[i], plain.picks[i]);
        }
        if (run.fromMemory) {
            // Only the stock with bars past the index's last day is read, once
            // by each pass: its reference bar lies behind the newest records
            // a tail read takes.
            EXPECT_EQ(served.filesRead, 2u);
            EXPECT_GT(plain.filesRead, 10u);
        }
    }
    EXPECT_GT(kept.Count(), 0u);
}

TEST(KeptTails, ADamagedTailIsRefusedAsADamagedFileIs) {
    TailMarket t;
    KeptTails kept;
    const Outcome first = RunAll(t, data::kNoSimulationCutoff, picking::ChangeMode::Price,
                                 "a3(1,0.00,9.00);", &kept);
    ASSERT_TRUE(first.changes[2].hasValue);  // 600003
    const auto tail = kept.Find(600003);
    ASSERT_TRUE(tail.has_value());
    EXPECT_TRUE(tail->ordered);

    // The newest two dates swapped in memory: the tail serves, but its bars
    // are not in order, so the stock is not evaluated.
    std::vector<uint8_t> damaged(tail->bytes.begin(), tail->bytes.end());
    const size_t last = damaged.size() - kRecord;
    const uint32_t newest = base::ReadU32(damaged.data() + last);
    base::WriteU32(damaged.data() + last, base::ReadU32(damaged.data() + last - kRecord));
    base::WriteU32(damaged.data() + last - kRecord, newest);
    kept.Keep(600003, tail->fileRecords, damaged);
    EXPECT_FALSE(kept.Find(600003)->ordered);
    const Outcome served = RunAll(t, data::kNoSimulationCutoff, picking::ChangeMode::Price,
                                  "a3(1,0.00,9.00);", &kept);
    EXPECT_FALSE(served.changes[2].hasValue);
    EXPECT_EQ(served.filesRead, 2u);  // from memory, as before

    // Records of positions, not dates, are never taken as in order.
    kept.Keep(600009, 10, Records(0, 10));
    EXPECT_FALSE(kept.Find(600009)->ordered);
}

}  // namespace
