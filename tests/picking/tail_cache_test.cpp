// Day-file tails kept on disk between processes: the file read back as
// written, damage counted as no cache, and the rule that a changed day file
// is never served from it.
#include "picking/tail_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "picking/tail_prefetch.h"
#include "picking_market.h"

namespace {

using picking::TailCache;
using picking::TailCacheUse;
using picking::TailPrefetch;
using pickingtest::FileBytes;
using pickingtest::PickingMarket;

constexpr size_t kRecord = data::kStockRecordWords * 4;
// Files written by the test itself count as left alone.
constexpr TailCacheUse kAtOnce{.enabled = true, .settleNs = 0};

std::vector<uint32_t> Closes(size_t count, uint32_t first) {
    std::vector<uint32_t> closes;
    for (size_t i = 0; i < count; ++i) closes.push_back(first + static_cast<uint32_t>(i * 3 % 40));
    return closes;
}

TailCache::Entry MakeEntry(uint32_t code, size_t fileRecords, const std::vector<uint8_t>& bytes) {
    TailCache::Entry e;
    e.code = code;
    e.stamp = {7, 1000 + code, data::kDayHeaderBytes + fileRecords * kRecord, 11, 12};
    e.fileRecords = fileRecords;
    e.bytes = bytes;
    return e;
}

TailCache Parsed(std::vector<uint8_t> bytes) {
    TailCache cache;
    cache.Parse(std::move(bytes));
    return cache;
}

TEST(TailCache, ReadsBackWhatWasWrittenAndRefusesDamage) {
    std::vector<uint8_t> a(3 * kRecord), b(kRecord), c(2 * kRecord);
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<uint8_t>(i);
    b.assign(b.size(), 0x5A);
    c.assign(c.size(), 0xC3);
    // Any order in; a code twice is kept once, the first given.
    const std::vector<uint8_t> bytes =
        TailCache::Encode({MakeEntry(600001, 40, a), MakeEntry(1, 1, b), MakeEntry(600001, 9, c)});
    const TailCache cache = Parsed(bytes);
    ASSERT_EQ(cache.Count(), 2u);
    const TailCache::Entry* e = cache.Find(600001);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->fileRecords, 40u);
    EXPECT_EQ(e->stamp, MakeEntry(600001, 40, a).stamp);
    EXPECT_TRUE(std::equal(e->bytes.begin(), e->bytes.end(), a.begin(), a.end()));
    ASSERT_NE(cache.Find(1), nullptr);
    EXPECT_EQ(cache.Find(1)->bytes.size(), kRecord);
    EXPECT_EQ(cache.Find(2), nullptr);

    // Cut anywhere, or any byte changed: no cache at all, never a part.
    for (size_t size = 0; size < bytes.size(); size += 7)
        EXPECT_EQ(Parsed({bytes.begin(), bytes.begin() + static_cast<long>(size)}).Count(), 0u) << size;
    for (size_t at = 0; at < bytes.size(); at += 5) {
        std::vector<uint8_t> flipped = bytes;
        flipped[at] ^= 0x10;
        EXPECT_EQ(Parsed(flipped).Count(), 0u) << at;
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(Parsed(longer).Count(), 0u);

    // Entries that cannot be true, though the checksum holds.
    EXPECT_EQ(Parsed(TailCache::Encode({MakeEntry(600001, 2, a)})).Count(), 0u);  // more kept than the file has
    EXPECT_EQ(Parsed(TailCache::Encode({MakeEntry(1'000'000, 40, a)})).Count(), 0u);  // not a code
    TailCache::Entry sized = MakeEntry(1, 40, a);
    sized.stamp.size += kRecord;  // the size says 41 records
    EXPECT_EQ(Parsed(TailCache::Encode({sized})).Count(), 0u);
    const std::vector<uint8_t> many((TailCache::kMostRecords + 1) * kRecord, 1);
    EXPECT_EQ(Parsed(TailCache::Encode({MakeEntry(1, 100, many)})).Count(), 0u);
    EXPECT_EQ(Parsed(TailCache::Encode({MakeEntry(1, 100, {})})).Count(), 0u);  // nothing kept
    EXPECT_EQ(Parsed(TailCache::Encode({})).Count(), 0u);
}

TEST(TailCache, OnlyFilesLeftAloneLongEnoughAreKept) {
    picking::FileStamp stamp;
    stamp.changedNs = 10'000'000'000;
    EXPECT_TRUE(TailCache::Settled(stamp, 12'000'000'000));
    EXPECT_FALSE(TailCache::Settled(stamp, 11'999'999'999));
    EXPECT_TRUE(TailCache::Settled(stamp, 10'000'000'000, 0));
}

class TailCacheMarket : public testing::Test {
protected:
    TailCacheMarket() {
        std::filesystem::create_directories(m.files.Root() + "/MKDAT");
        for (uint32_t i = 0; i < 40; ++i) {
            for (uint32_t code : {600001 + i, 1 + i}) {
                m.Stock(code, m.Bars(Closes(10 + i % 7, 200 + code % 500)));
                codes.push_back(code);
            }
        }
    }

    std::string Cache() const { return TailCache::PathOf(m.files.Paths()); }
    std::string DayFile(uint32_t code) const { return data::DayFilePath(m.files.Paths(), code); }

    // One read-ahead over every code, its tails checked against the files,
    // then kept; returns how many came from the cache.
    size_t Run(TailCacheUse use, size_t wanted = 6) {
        TailPrefetch prefetch(m.files.Paths(), codes, wanted, 2, use);
        for (uint32_t code : codes) {
            const auto tail = prefetch.Take(code);
            EXPECT_TRUE(tail.has_value()) << code;
            if (!tail) continue;
            const std::vector<uint8_t> file = FileBytes(DayFile(code));
            const size_t records = (file.size() - data::kDayHeaderBytes) / kRecord;
            EXPECT_EQ(tail->fileRecords, records) << code;
            const size_t count = std::min(records, wanted);
            EXPECT_EQ(tail->bytes.size(), count * kRecord) << code;
            const auto end = file.begin() + static_cast<long>(data::kDayHeaderBytes + records * kRecord);
            EXPECT_TRUE(std::equal(tail->bytes.begin(), tail->bytes.end(), end - static_cast<long>(count * kRecord)))
                << code;
        }
        const size_t hits = prefetch.CacheHits();
        prefetch.SaveCache();
        return hits;
    }

    PickingMarket m{30};
    std::vector<uint32_t> codes;
};

TEST_F(TailCacheMarket, ServesUnchangedFilesAndReadsChangedOnes) {
    EXPECT_EQ(Run(kAtOnce), 0u);
    ASSERT_TRUE(std::filesystem::exists(Cache()));
    EXPECT_EQ(Run(kAtOnce), codes.size());
    EXPECT_EQ(Run(kAtOnce, 3), codes.size());  // fewer records: the newest of those kept

    // Grown by a record; rewritten in place with the same size a clock tick
    // later; replaced by a copy renamed over it; removed.
    std::vector<data::Bar> grown = m.Bars(Closes(12, 900));
    m.Stock(600003, grown);
    const std::string rewritten = DayFile(5);
    std::vector<uint8_t> bytes = FileBytes(rewritten);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    bytes[bytes.size() - 8] ^= 0x01;
    {
        std::fstream f(rewritten, std::ios::in | std::ios::out | std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    const std::string copy = DayFile(600007) + ".copy";
    std::filesystem::copy_file(DayFile(600007), copy);
    std::filesystem::rename(copy, DayFile(600007));
    EXPECT_EQ(Run(kAtOnce), codes.size() - 3);  // the checks inside Run see the new bytes
    EXPECT_EQ(Run(kAtOnce), codes.size());

    // More records than the cache keeps: neither served nor written.
    const auto before = std::filesystem::last_write_time(Cache());
    EXPECT_EQ(Run(kAtOnce, TailCache::kMostRecords + 1), 0u);
    EXPECT_EQ(std::filesystem::last_write_time(Cache()), before);
}

TEST_F(TailCacheMarket, FilesJustWrittenAreNotKept) {
    EXPECT_EQ(Run({.enabled = true}), 0u);
    EXPECT_EQ(Run({.enabled = true}), 0u);
    EXPECT_FALSE(std::filesystem::exists(Cache()));
}

TEST_F(TailCacheMarket, ADamagedCacheIsReadAsNoneAndWrittenAfresh) {
    m.files.WriteRaw("MKDAT/BKQYTAIL.DAT", std::vector<uint8_t>(5000, 0xEE));
    EXPECT_EQ(Run(kAtOnce), 0u);
    EXPECT_EQ(Run(kAtOnce), codes.size());
    // A cache that claims a stock's file is longer than it is serves nothing
    // for it: the stamp no longer matches.
    std::filesystem::resize_file(DayFile(600002), data::kDayHeaderBytes + 3 * kRecord);
    EXPECT_EQ(Run(kAtOnce), codes.size() - 1);
}

TEST_F(TailCacheMarket, WithoutTheCacheNothingIsWritten) {
    EXPECT_EQ(Run({}), 0u);
    EXPECT_FALSE(std::filesystem::exists(Cache()));
}

}  // namespace
