#include "install/package.h"

#include <gtest/gtest.h>

#include "install/records.h"

namespace {

using installtest::Index;
using installtest::Join;
using installtest::Stock;
using installtest::Words;

TEST(Package, AcceptanceLooksAtTheFirstFourWords) {
    // Both marker forms are packages.
    EXPECT_TRUE(install::IsPackage(std::vector<uint32_t>{1, 0, 0, 7}));
    EXPECT_TRUE(install::IsPackage(std::vector<uint32_t>{1, 0xCCCCCCCC, 0xCCCCCCCC, 7}));
    // Word 3 = 0, no blocks, unequal or other markers are not.
    EXPECT_FALSE(install::IsPackage(std::vector<uint32_t>{1, 0, 0, 0}));
    EXPECT_FALSE(install::IsPackage(std::vector<uint32_t>{0, 0, 0, 7}));
    EXPECT_FALSE(install::IsPackage(std::vector<uint32_t>{1, 0, 0xCCCCCCCC, 7}));
    EXPECT_FALSE(install::IsPackage(std::vector<uint32_t>{1, 5, 5, 7}));
    // Shorter than 16 bytes: a 12-byte file declaring billions of blocks.
    EXPECT_FALSE(install::IsPackage(std::vector<uint32_t>{0xFFFFFFFF, 0, 0}));
    EXPECT_FALSE(install::IsPackage(std::vector<uint32_t>{}));
}

TEST(Package, BothBlockFormsReadBackWithTheirWidths) {
    const auto stock = Join({Stock(20170103, 1000), Stock(20170104, 1010), Stock(20170105, 1020)});
    const auto index = Join({Index(20170103, 310000), Index(20170104, 311000)});
    const auto trend = Index(20170105, 100000);
    const std::vector<install::BlockToWrite> blocks = {
        {600000, install::BlockForm::Short, stock},
        {999999, install::BlockForm::Long, index},
        {999998, install::BlockForm::Short, trend},
    };
    const auto words = Words(install::EncodePackage(blocks, install::kPackageMarker));
    // 600000 with three records: L = 16 and word 0 = 600000 × 4096 + 16.
    EXPECT_EQ(words[3], 600000u * 4096 + 16);
    EXPECT_EQ(words[4], 20170103u);
    // The long form: code, then L = 2 + 14.
    EXPECT_EQ(words[3 + 16], 999999u);
    EXPECT_EQ(words[3 + 17], 16u);
    ASSERT_TRUE(install::IsPackage(words));

    install::PackageReader reader(words);
    EXPECT_EQ(reader.DeclaredBlocks(), 3u);
    auto first = reader.Next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->code, 600000u);
    EXPECT_EQ(first->form, install::BlockForm::Short);
    EXPECT_EQ(std::vector<uint32_t>(first->records.begin(), first->records.end()), stock);
    auto second = reader.Next();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->code, 999999u);
    EXPECT_EQ(second->form, install::BlockForm::Long);
    EXPECT_EQ(second->records.size(), 14u);
    // The sector trend is an index everywhere: 7-word records.
    auto third = reader.Next();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->code, 999998u);
    EXPECT_EQ(third->records.size(), 7u);
    EXPECT_FALSE(reader.Next());
    EXPECT_TRUE(reader.Problems().empty());

    // A block too long for the short form's 12 bits is written long.
    std::vector<uint32_t> many;
    for (uint32_t d = 0; d < 900; ++d) {
        auto r = Stock(19950101 + d % 28 + (d / 28) * 100, 1000);
        many.insert(many.end(), r.begin(), r.end());
    }
    const auto big = Words(install::EncodePackage(
        std::vector<install::BlockToWrite>{{1, install::BlockForm::Short, many}}));
    EXPECT_EQ(big[3], 1u);
    EXPECT_EQ(big[4], 4502u);
}

TEST(Package, BadBlocksAreReportedAndNeverReadPast) {
    const auto good = Join({Stock(20170103, 1000), Stock(20170104, 1010)});
    // Dates not ascending, a partial record and a code that is not a code:
    // each is passed over, the blocks after them still read.
    std::vector<uint32_t> words = {5, 0, 0};
    auto add = [&](uint32_t code, const std::vector<uint32_t>& records) {
        words.push_back(code);
        words.push_back(static_cast<uint32_t>(records.size() + 2));
        words.insert(words.end(), records.begin(), records.end());
    };
    add(600001, Join({Stock(20170104, 1000), Stock(20170103, 1010)}));
    add(600002, std::vector<uint32_t>(good.begin(), good.end() - 1));
    add(1'234'567, good);
    add(600003, Join({Stock(20171345, 1000)}));
    add(600004, good);
    install::PackageReader reader(words);
    auto block = reader.Next();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->code, 600004u);
    EXPECT_FALSE(reader.Next());
    ASSERT_EQ(reader.Problems().size(), 4u);
    EXPECT_EQ(reader.Problems()[0].code, 600001u);
    EXPECT_EQ(reader.Problems()[0].reason, "数据块的日期无效或未按升序：600001");
    EXPECT_EQ(reader.Problems()[1].reason, "数据块的记录不完整：600002");
    EXPECT_EQ(reader.Problems()[2].code, 0u);
    EXPECT_EQ(reader.Problems()[3].code, 600003u);

    // A length of 0 and a length past the end stop the walk: the next block
    // cannot be found, and nothing past the words is read.
    const std::vector<uint32_t> zero = {2, 0, 0, 600000, 0, 20170103, 1, 2, 3, 4};
    install::PackageReader zeroReader(zero);
    EXPECT_FALSE(zeroReader.Next());
    ASSERT_EQ(zeroReader.Problems().size(), 1u);
    EXPECT_EQ(zeroReader.Problems()[0].reason, "数据块长度为0：600000");

    const std::vector<uint32_t> past = {1, 0, 0, (600000u << 12) | 4000, 20170103, 1, 2, 3, 4};
    install::PackageReader pastReader(past);
    EXPECT_FALSE(pastReader.Next());
    EXPECT_EQ(pastReader.Problems()[0].reason, "数据块超出数据包末尾：600000");

    // Billions of blocks declared in 16 bytes: one problem, no loop.
    const std::vector<uint32_t> hostile = {0xFFFFFFFF, 0, 0, 9};
    install::PackageReader hostileReader(hostile);
    EXPECT_FALSE(hostileReader.Next());
    EXPECT_EQ(hostileReader.Problems().size(), 1u);
    EXPECT_EQ(hostileReader.BlocksRead(), 0u);
}

}  // namespace
