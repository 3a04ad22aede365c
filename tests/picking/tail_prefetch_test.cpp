// Reading day-file tails ahead on helper threads: the bytes and counts handed
// over, files that cannot serve, the consumer's order, and evaluations that
// come out the same with and without it.
#include "picking/tail_prefetch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/endian.h"
#include "picking/evaluation.h"
#include "picking_market.h"

namespace {

using picking::TailPrefetch;
using pickingtest::FileBytes;
using pickingtest::PickingMarket;

constexpr size_t kRecord = data::kStockRecordWords * 4;

std::vector<uint32_t> Closes(size_t count, uint32_t first) {
    std::vector<uint32_t> closes;
    for (size_t i = 0; i < count; ++i) closes.push_back(first + static_cast<uint32_t>(i * 7 % 50));
    return closes;
}

void AppendBytes(const std::string& path, size_t count) {
    FILE* f = std::fopen(path.c_str(), "ab");
    ASSERT_NE(f, nullptr);
    const std::vector<uint8_t> junk(count, 0xAB);
    std::fwrite(junk.data(), 1, junk.size(), f);
    std::fclose(f);
}

TEST(TailPrefetch, HandsOverTheNewestRecordsInOrder) {
    PickingMarket m;
    m.Stock(600001, m.Bars(Closes(60, 1000)));
    m.Stock(600002, m.Bars(Closes(3, 2000)));  // fewer records than wanted
    m.Stock(600003, m.Bars(Closes(20, 3000)));
    AppendBytes(data::DayFilePath(m.files.Paths(), 600003), kRecord - 1);  // a torn last record
    m.files.WriteRaw("MKDAY/SH/600004.day", std::vector<uint8_t>(data::kDayHeaderBytes, 0));  // header only
    // 600005 has no file.

    for (unsigned threads : {1u, 3u}) {
        TailPrefetch prefetch(m.files.Paths(), {600001, 600002, 600003, 600004, 600005, 600001},
                              5, threads);
        auto a = prefetch.Take(600001);
        ASSERT_TRUE(a.has_value());
        EXPECT_EQ(a->fileRecords, 60u);
        ASSERT_EQ(a->bytes.size(), 5 * kRecord);
        // The last record's date is the index's last day; the first handed over is 5 back.
        EXPECT_EQ(base::ReadU32(a->bytes.data() + 4 * kRecord), m.LastDate());
        EXPECT_EQ(base::ReadU32(a->bytes.data()), m.DateBack(4));

        auto b = prefetch.Take(600002);
        ASSERT_TRUE(b.has_value());
        EXPECT_EQ(b->fileRecords, 3u);
        EXPECT_EQ(b->bytes.size(), 3 * kRecord);

        auto c = prefetch.Take(600003);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(c->fileRecords, 20u);
        EXPECT_EQ(base::ReadU32(c->bytes.data() + 4 * kRecord), m.LastDate());

        EXPECT_FALSE(prefetch.Take(600004).has_value());
        EXPECT_FALSE(prefetch.Take(600005).has_value());
        EXPECT_TRUE(prefetch.Take(600001).has_value());  // a code may come twice
        EXPECT_FALSE(prefetch.Take(600001).has_value());  // but not a third time
    }
}

TEST(TailPrefetch, SkipsPassedCodesAndNeverGoesBack) {
    PickingMarket m;
    std::vector<uint32_t> codes;
    for (uint32_t code = 600001; code <= 600100; ++code) {
        m.Stock(code, m.Bars(Closes(10, code % 1000 + 100)));
        codes.push_back(code);
    }
    TailPrefetch prefetch(m.files.Paths(), codes, 4, 2);
    EXPECT_TRUE(prefetch.Take(600003).has_value());   // 600001-2 passed over
    EXPECT_FALSE(prefetch.Take(600002).has_value());  // behind: the caller reads it
    EXPECT_FALSE(prefetch.Take(600099).has_value());  // too far ahead to look
    EXPECT_TRUE(prefetch.Take(600004).has_value());
    EXPECT_FALSE(prefetch.Take(999999).has_value());  // never a candidate
    EXPECT_TRUE(prefetch.Take(600005).has_value());
    // Going out of scope with most slots untaken stops the helpers.
}

// The consumer sleeps whenever it catches up with the helpers and is woken
// only by the helper of the slot it waits for: however the helpers and the
// consumer are paced, every tail must arrive (a lost wake-up hangs here) and
// be that stock's own, from either market's folder.
TEST(TailPrefetch, EveryTailArrivesHoweverTheHelpersArePaced) {
    PickingMarket m(30);
    std::vector<uint32_t> codes;
    for (uint32_t i = 0; i < 150; ++i) {
        for (uint32_t code : {600001 + i, 1 + i}) {
            m.Stock(code, m.Bars(Closes(12 + i % 9, 100 + code % 1000)));
            codes.push_back(code);
        }
    }
    for (unsigned threads : {1u, 2u, 4u}) {
        for (int round = 0; round < 4; ++round) {
            TailPrefetch prefetch(m.files.Paths(), codes, 6, threads);
            for (uint32_t code : codes) {
                const auto tail = prefetch.Take(code);
                ASSERT_TRUE(tail.has_value()) << code;
                const size_t i = code >= 600001 ? code - 600001 : code - 1;
                EXPECT_EQ(tail->fileRecords, 12 + i % 9);
                ASSERT_EQ(tail->bytes.size(), 6 * kRecord);
                const std::vector<uint8_t> file = FileBytes(data::DayFilePath(m.files.Paths(), code));
                EXPECT_TRUE(std::equal(tail->bytes.begin(), tail->bytes.end(), file.end() - 6 * kRecord))
                    << code;
            }
        }
    }
}

TEST(TailPrefetch, AMissingMarketFolderServesNothing) {
    PickingMarket m;
    m.Stock(600001, m.Bars(Closes(10, 1000)));
    std::filesystem::remove_all(m.files.Root() + "/MKDAY/SZ");
    TailPrefetch prefetch(m.files.Paths(), {1, 600001, 2}, 4, 2);
    EXPECT_FALSE(prefetch.Take(1).has_value());
    EXPECT_TRUE(prefetch.Take(600001).has_value());
    EXPECT_FALSE(prefetch.Take(2).has_value());
}

// The N-day change with and without read-ahead, for every stock and cut-off.
TEST(TailPrefetch, EvaluationsAreTheSameAsReadingEachFile) {
    PickingMarket m(80);
    m.Stock(600001, m.Bars(Closes(80, 1000)));
    m.Stock(600002, m.Bars(Closes(6, 1000)));  // newly listed
    // Bars on days the index does not have, after the simulation date: the
    // tail read ahead misses the reference day and the file is read whole.
    auto extra = m.Bars(Closes(40, 1500));
    std::vector<uint32_t> later;  // real weekdays after the last index day
    for (uint32_t date : fixture::Weekdays(m.LastDate(), 32))
        if (date > m.LastDate() && later.size() < 30) later.push_back(date);
    for (size_t i = 0; i < 30; ++i) {
        data::Bar b = extra.back();
        b.date = later[i];
        b.close += static_cast<uint32_t>(i);
        extra.push_back(b);
    }
    m.Stock(600003, extra);
    std::vector<data::Bar> suspended = m.Bars(Closes(50, 800));
    suspended.erase(suspended.end() - 12, suspended.end() - 2);  // a gap before the last days
    m.Stock(600004, suspended);
    const std::vector<uint32_t> codes = {600001, 600002, 600003, 600005, 600004, 600001};

    for (uint32_t cutoff : {data::kNoSimulationCutoff, m.DateBack(5), m.DateBack(30)}) {
        for (auto mode : {picking::ChangeMode::Price, picking::ChangeMode::Amount}) {
            std::vector<picking::NDayChange> plain, ahead;
            std::vector<uint32_t> scanA(data::kScanAreaWords), scanB(data::kScanAreaWords);
            picking::Evaluator a(m.Inputs(), scanA), b(m.Inputs(), scanB);
            a.Begin({}, cutoff);
            b.Begin({}, cutoff);
            b.StartPrefetch(codes, picking::NDayChangeNeeds(1), 2);
            for (uint32_t code : codes) {
                plain.push_back(a.MeasureNDayChange(code, 1, mode));
                ahead.push_back(b.MeasureNDayChange(code, 1, mode));
            }
            for (size_t i = 0; i < codes.size(); ++i) {
                SCOPED_TRACE(testing::Message() << codes[i] << " cut-off " << cutoff);
                EXPECT_EQ(plain[i].hasValue, ahead[i].hasValue);
                EXPECT_EQ(plain[i].value, ahead[i].value);
                EXPECT_EQ(plain[i].newlyListed, ahead[i].newlyListed);
            }
            EXPECT_EQ(a.StocksOpened(), b.StocksOpened());
            EXPECT_TRUE(plain[0].hasValue);
            EXPECT_TRUE(ahead[2].hasValue);  // found behind the bars the index lacks
        }
    }
}

}  // namespace
