#include "data/code_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "base/endian.h"
#include "data/capacities.h"
#include "data/file_formats.h"
#include "support/fixture_market.h"

namespace {

using data::CodeEntry;
using data::CodeTable;
using data::Direction;
using fixture::Gbk;

std::vector<CodeEntry> SampleEntries() {
    return {
        {1, Gbk("平安银行"), "PAYH", 1'945'000, 1'941'000},
        {600000, Gbk("浦发银行"), "PFYH", 2'935'000, 2'810'000},
        {600004, Gbk("白云"), "BY", 120'000, 110'000},
        {600036, Gbk("招商银行"), "ZSYH", 2'521'000, 2'062'000},
        {999999, Gbk("上证指数"), "SZZS", 0, 0},
    };
}

// The table file's words, the way the region holds them after a load.
std::vector<uint32_t> TableWords(uint32_t date, const std::vector<CodeEntry>& entries,
                                 size_t regionWords = data::kCodeTableWords) {
    auto bytes = data::EncodeCodeTable(date, entries);
    std::vector<uint32_t> words(regionWords, 0);
    std::memcpy(words.data(), bytes.data(), std::min(bytes.size(), regionWords * 4));
    return words;
}

TEST(CodeTable, LoadedFileAnswersNamesSharesAndOffsets) {
    fixture::FixtureMarket market;
    market.WriteCodeTable(20140321, SampleEntries());
    std::vector<uint32_t> region(data::kCodeTableWords, 0);
    uint32_t date = 99;
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, &date));
    EXPECT_EQ(date, 140321u);  // a stored YYYYMMDD is used as YYMMDD

    CodeTable table(region);
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(table.FileBytes(), 28u + 28u * 5u);
    EXPECT_EQ(table.FindCode(1), 7u);
    EXPECT_EQ(table.FindCode(600036), 28u);
    EXPECT_EQ(table.FindCode(600001), 0u);
    EXPECT_EQ(table.StockName(600000), Gbk("浦发银行"));
    EXPECT_EQ(table.StockName(1), Gbk("平安银行"));
    // A two-character name comes without its NUL padding.
    EXPECT_EQ(table.StockName(600004), Gbk("白云"));
    EXPECT_EQ(table.StockName(600004).size(), 4u);
    EXPECT_EQ(table.StockName(123456), Gbk("股票名称"));
    auto shares = table.StockShares(600036);
    EXPECT_EQ(shares.total, 2'521'000u);
    EXPECT_EQ(shares.floatShares, 2'062'000u);
    shares = table.StockShares(123456);
    EXPECT_EQ(shares.total, 0u);
    EXPECT_EQ(shares.floatShares, 0u);
    auto letters = table.Initials(table.FindCode(600004));
    EXPECT_EQ(std::string(letters.data(), 4), std::string("BY\0\0", 4));
}

TEST(CodeTable, DateAtOrBelowTheCenturyStaysAsStored) {
    fixture::FixtureMarket market;
    std::vector<uint32_t> region(data::kCodeTableWords, 0);
    uint32_t date = 0;
    market.WriteCodeTable(140321, SampleEntries());
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, &date));
    EXPECT_EQ(date, 140321u);
    market.WriteCodeTable(20'000'000, SampleEntries());
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, &date));
    EXPECT_EQ(date, 20'000'000u);
    market.WriteCodeTable(20'000'001, SampleEntries());
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, &date));
    EXPECT_EQ(date, 1u);
}

TEST(CodeTable, MissingFileLeavesAnEmptyTableThatAnswersPlaceholders) {
    fixture::FixtureMarket market;
    // An earlier table still in the region must not survive.
    std::vector<uint32_t> region = TableWords(20140321, SampleEntries());
    uint32_t date = 77;
    EXPECT_FALSE(data::LoadCodeTable(market.Paths().codeTable, region, &date));
    EXPECT_EQ(region[0], 0u);
    EXPECT_EQ(date, 0u);

    CodeTable table(region);
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(table.FindCode(600000), 0u);
    EXPECT_EQ(table.StockName(600000), Gbk("股票名称"));
    EXPECT_EQ(table.StockShares(600000).floatShares, 0u);

    CodeTable none{std::span<uint32_t>()};
    EXPECT_EQ(none.Count(), 0u);
    EXPECT_EQ(none.FindCode(600000), 0u);
}

TEST(CodeTable, CountIsCutToTheWholeRecordsRead) {
    fixture::FixtureMarket market;
    auto bytes = data::EncodeCodeTable(20140321, SampleEntries());
    std::vector<uint32_t> region(data::kCodeTableWords, 0);

    // A count far beyond the file.
    std::vector<uint8_t> inflated = bytes;
    base::WriteU32(inflated.data(), 1'000'000);
    market.WriteRaw("MKDAT/MKCODE.DAT", inflated);
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, nullptr));
    EXPECT_EQ(CodeTable(region).Count(), 5u);
    EXPECT_EQ(region[0], 5u);

    // The last record cut short: only four whole records remain.
    std::vector<uint8_t> truncated(bytes.begin(), bytes.end() - 10);
    market.WriteRaw("MKDAT/MKCODE.DAT", truncated);
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, nullptr));
    CodeTable table(region);
    EXPECT_EQ(table.Count(), 4u);
    EXPECT_EQ(table.FindCode(999999), 0u);
    EXPECT_EQ(table.StockName(600036), Gbk("招商银行"));

    // Not even a whole header: nothing of the previous load's header is kept.
    region = TableWords(20140321, SampleEntries());
    std::vector<uint8_t> stub(bytes.begin(), bytes.begin() + 12);
    market.WriteRaw("MKDAT/MKCODE.DAT", stub);
    uint32_t date = 1;
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, &date));
    EXPECT_EQ(region[0], 0u);
    EXPECT_EQ(date, 0u);
    EXPECT_EQ(region[4], 0u);
}

TEST(CodeTable, FileLargerThanTheRegionKeepsTheFirstRecordsThatFit) {
    fixture::FixtureMarket market;
    market.WriteCodeTable(20140321, SampleEntries());
    // Room for three records and a few spare words; a guard word follows the region.
    std::vector<uint32_t> storage(7 + 3 * 7 + 4 + 1, 0);
    const uint32_t guard = 0xDEADBEEF;
    storage.back() = guard;
    std::span<uint32_t> region(storage.data(), storage.size() - 1);
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, nullptr));
    EXPECT_EQ(storage.back(), guard);
    CodeTable table(region);
    EXPECT_EQ(table.Count(), 3u);
    EXPECT_EQ(table.FindCode(600004), 21u);
    EXPECT_EQ(table.FindCode(600036), 0u);

    // The full region holds 11,856 records; a longer table is cut there.
    std::vector<CodeEntry> many;
    for (uint32_t i = 0; i < data::kCodeTableCapacity + 5; ++i)
        many.push_back({100'000 + i, Gbk("测试"), "CS", 1, 1});
    market.WriteCodeTable(20140321, many);
    std::vector<uint32_t> full(data::kCodeTableWords, 0);
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, full, nullptr));
    CodeTable big(full);
    EXPECT_EQ(big.Count(), 11'856u);
    EXPECT_EQ(big.FindCode(100'000 + 11'855), 7u + 11'855u * 7u);
    EXPECT_EQ(big.FindCode(100'000 + 11'856), 0u);
}

TEST(CodeTable, MergeUpdatesOrInsertsInCodeOrder) {
    auto region = TableWords(20140321, SampleEntries());
    CodeTable table(region);

    // Same code and same words 1-6: nothing changes.
    EXPECT_EQ(table.MergeCodeRecord(data::PackCodeRecord(SampleEntries()[1])), 0);
    // Only the reserved word differs: still an update.
    auto reserved = data::PackCodeRecord(SampleEntries()[1]);
    reserved[6] = 5;
    EXPECT_EQ(table.MergeCodeRecord(reserved), 1);
    EXPECT_EQ(region[14 + 6], 5u);
    // New share counts overwrite the record in place.
    EXPECT_EQ(table.MergeCodeRecord(
                  data::PackCodeRecord({600000, Gbk("浦发银行"), "PFYH", 3'000'000, 2'900'000})),
              1);
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(table.StockShares(600000).total, 3'000'000u);

    // A new code between two others moves the rest one record back.
    EXPECT_EQ(table.MergeCodeRecord(data::PackCodeRecord({600016, Gbk("民生银行"), "MSYH", 7, 6})),
              1);
    EXPECT_EQ(table.Count(), 6u);
    EXPECT_EQ(region[0], 6u);
    EXPECT_EQ(table.FindCode(600016), 28u);
    EXPECT_EQ(table.FindCode(600036), 35u);
    EXPECT_EQ(table.FindCode(999999), 42u);
    EXPECT_EQ(table.StockName(600036), Gbk("招商银行"));
    EXPECT_EQ(table.StockShares(600016).floatShares, 6u);

    // In front of the first code.
    EXPECT_EQ(table.MergeCodeRecord(data::PackCodeRecord({0, Gbk("零"), "L", 1, 1})), 1);
    EXPECT_EQ(table.CodeAt(CodeTable::RecordOffset(0)), 0u);
    EXPECT_EQ(table.CodeAt(CodeTable::RecordOffset(1)), 1u);
    EXPECT_EQ(table.Count(), 7u);
}

TEST(CodeTable, MergeAppendsTopCodesAndLeavesFullRegionsAlone) {
    // A code above every code in the table is appended, not lost.
    auto entries = SampleEntries();
    entries.pop_back();  // 600036 is now the last code
    auto region = TableWords(20140321, entries);
    CodeTable table(region);
    EXPECT_EQ(table.MergeCodeRecord(data::PackCodeRecord({600519, Gbk("贵州茅台"), "GZMT", 1, 1})),
              1);
    EXPECT_EQ(table.Count(), 5u);
    EXPECT_EQ(table.CodeAt(CodeTable::RecordOffset(4)), 600519u);
    EXPECT_EQ(table.StockName(600519), Gbk("贵州茅台"));
    EXPECT_EQ(table.CodeAt(CodeTable::RecordOffset(3)), 600036u);

    // An empty table takes its first record.
    auto empty = TableWords(20140321, {});
    CodeTable none(empty);
    EXPECT_EQ(none.MergeCodeRecord(data::PackCodeRecord(SampleEntries()[0])), 1);
    EXPECT_EQ(none.Count(), 1u);
    EXPECT_EQ(none.FindCode(SampleEntries()[0].code), 7u);

    // A region with room for exactly these five records refuses an insert but
    // still takes an update; the word after the region is untouched.
    std::vector<uint32_t> storage = TableWords(20140321, SampleEntries(), 7 + 5 * 7 + 1);
    storage.back() = 0xDEADBEEF;
    CodeTable full(std::span<uint32_t>(storage.data(), storage.size() - 1));
    EXPECT_EQ(full.Capacity(), 5u);
    EXPECT_EQ(full.MergeCodeRecord(data::PackCodeRecord({600016, Gbk("民生银行"), "MSYH", 7, 6})),
              0);
    EXPECT_EQ(full.MergeCodeRecord(data::PackCodeRecord({600999, Gbk("招商证券"), "ZSZQ", 7, 6})),
              0);
    EXPECT_EQ(full.Count(), 5u);
    EXPECT_EQ(full.FindCode(600036), 28u);
    EXPECT_EQ(storage.back(), 0xDEADBEEFu);
    EXPECT_EQ(full.MergeCodeRecord(data::PackCodeRecord({600036, Gbk("招商银行"), "ZSYH", 1, 1})),
              1);
    EXPECT_EQ(full.StockShares(600036).total, 1u);
}

TEST(CodeTable, NeighbourStockSkipsCodesWithoutDayFiles) {
    auto region = TableWords(20140321, SampleEntries());
    CodeTable table(region);
    std::set<uint32_t> withFiles = {1, 600004, 999999};
    auto hasFile = [&](uint32_t code) { return withFiles.count(code) > 0; };

    EXPECT_EQ(data::NeighbourStock(table, 600004, Direction::Next, hasFile), 999999u);
    EXPECT_EQ(data::NeighbourStock(table, 600004, Direction::Previous, hasFile), 1u);
    // The open stock itself need not have a file.
    EXPECT_EQ(data::NeighbourStock(table, 600000, Direction::Next, hasFile), 600004u);
    // At the ends of the table.
    EXPECT_EQ(data::NeighbourStock(table, 1, Direction::Previous, hasFile), std::nullopt);
    EXPECT_EQ(data::NeighbourStock(table, 999999, Direction::Next, hasFile), std::nullopt);
    // Not in the table.
    EXPECT_EQ(data::NeighbourStock(table, 600001, Direction::Next, hasFile), std::nullopt);
    // No file anywhere that way.
    withFiles = {600004};
    EXPECT_EQ(data::NeighbourStock(table, 600004, Direction::Next, hasFile), std::nullopt);
    EXPECT_EQ(data::NeighbourStock(table, 600004, Direction::Previous, hasFile), std::nullopt);
}

}  // namespace
