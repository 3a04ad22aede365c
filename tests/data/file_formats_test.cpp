#include <gtest/gtest.h>

#include <vector>

#include "base/endian.h"
#include "data/code_table.h"
#include "data/file_formats.h"
#include "data/sector_library_file.h"
#include "support/fixture_market.h"

namespace {

TEST(FileFormats, CodeNamesAreCutAtACharacterBoundary) {
    std::vector<data::CodeEntry> entries = {
        {1, fixture::Gbk("华兴科技集团"), "HXKJ", 1, 1},  // 12 bytes -> 4 characters
        {2, "A" + fixture::Gbk("华兴科技"), "AHXK", 1, 1},  // 9 bytes -> "A" + 3 characters
        {3, "ST" + fixture::Gbk("华兴"), "STHX", 1, 1}};
    auto bytes = data::EncodeCodeTable(20260101, entries);
    std::vector<uint32_t> region(bytes.size() / 4);
    for (size_t i = 0; i < region.size(); ++i) region[i] = base::ReadU32(bytes.data() + 4 * i);
    data::CodeTable table(region);
    EXPECT_EQ(table.StockName(1), fixture::Gbk("华兴科技"));
    EXPECT_EQ(table.StockName(2), "A" + fixture::Gbk("华兴科"));
    EXPECT_EQ(table.StockName(3), "ST" + fixture::Gbk("华兴"));
}

TEST(FileFormats, SectorLibraryHeaderKeepsDefaultsForZeroWeights) {
    std::vector<data::SectorRecord> sectors = {{4, 12, fixture::Gbk("一带一路"), {1, 600100}}};
    auto bytes = data::EncodeSectorLibrary(20170102, {0, 255, 0}, sectors);
    ASSERT_EQ(bytes.size(), 16u + 6 + 8 + 6);
    EXPECT_EQ(base::ReadU24(bytes.data()), 1u);
    EXPECT_EQ(base::ReadU24(bytes.data() + 16 + 2), 4u | (12u << 8));
    EXPECT_EQ(base::ReadU24(bytes.data() + 16 + 6 + 8 + 3), 600100u);
    auto header = data::ReadSectorLibraryHeader(bytes);
    EXPECT_EQ(header.date, 170102u);
    EXPECT_EQ(header.shareWeight, 20u);
    EXPECT_EQ(header.countWeight, 255u);
    EXPECT_EQ(header.moveWeight, 20u);
    base::WriteU32(bytes.data() + 12, 170102);
    EXPECT_EQ(data::ReadSectorLibraryHeader(bytes).date, 170102u);
    EXPECT_EQ(data::ReadSectorLibraryHeader(std::span(bytes).first(15)).date, 0u);
}

}  // namespace
