#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/endian.h"
#include "base/file_io.h"
#include "base/gbk.h"
#include "base/instance_lock.h"
#include "support/fixture_market.h"

namespace {

TEST(Endian, TwentyFourBitFieldsRoundTripAndDropHighBits) {
    uint8_t bytes[6] = {0xAA, 0, 0, 0, 0, 0xBB};
    base::WriteU24(bytes + 1, 600'100);
    EXPECT_EQ(base::ReadU24(bytes + 1), 600'100u);
    EXPECT_EQ(bytes[0], 0xAA);  // neighbours untouched
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[5], 0xBB);
    base::WriteU24(bytes + 1, 0x12345678);
    EXPECT_EQ(base::ReadU24(bytes + 1), 0x345678u);
    EXPECT_EQ(bytes[4], 0);
}

TEST(Endian, PackedHalvesKeepSixteenBitPrices) {
    uint32_t word = base::PackHalves(65535, 1);
    EXPECT_EQ(base::LowHalf(word), 65535u);
    EXPECT_EQ(base::HighHalf(word), 1u);
    uint8_t bytes[4];
    base::WriteU32(bytes, 0x01020304);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(base::ReadU16(bytes), 0x0304);
}

TEST(Gbk, RoundTripsChineseAndSurvivesBadBytes) {
    std::string gbk = base::Utf8ToGbk("股票名称");
    EXPECT_EQ(gbk, "\xB9\xC9\xC6\xB1\xC3\xFB\xB3\xC6");
    EXPECT_EQ(base::GbkToUtf8(gbk), "股票名称");
    // A lone lead byte at the end (a name cut in the middle) does not stop the
    // conversion or lose what came before.
    std::string cut = gbk.substr(0, 3);
    EXPECT_EQ(base::GbkToUtf8(cut), "股\xEF\xBF\xBD");
    EXPECT_EQ(base::Utf8ToGbk("A\xF0\x9F\x98\x80" "B"), "A?B");
}

TEST(Gbk, FieldTextStopsAtNulOrWidth) {
    const char name[8] = {'A', 'B', '\0', 'X', 'X', 'X', 'X', 'X'};
    EXPECT_EQ(base::FieldText(name, 8), "AB");
    const char full[8] = {'1', '2', '3', '4', '5', '6', '7', '8'};
    EXPECT_EQ(base::FieldText(full, 8), "12345678");
}

TEST(FileIo, BoundedReadsNeverPassTheDestination) {
    fixture::TempDir dir;
    std::string path = dir.Path() + "/f.bin";
    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(base::WriteFileAtomic(path, bytes).ok());

    uint8_t dest[40] = {};
    auto read = base::ReadFileIntoSized(path, dest);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->bytesRead, 40u);
    EXPECT_EQ(read->fileSize, 100u);
    EXPECT_EQ(dest[39], 39);

    uint8_t tail[10];
    ASSERT_TRUE(base::ReadFileRange(path, 90, tail).ok());
    EXPECT_EQ(tail[0], 90);
    EXPECT_FALSE(base::ReadFileRange(path, 95, tail).ok());  // past the end

    EXPECT_FALSE(base::ReadWholeFile(path, 99).ok());
    EXPECT_EQ(base::ReadWholeFile(path, 100)->size(), 100u);
    EXPECT_FALSE(base::ReadFileInto(dir.Path() + "/missing", dest).ok());
    EXPECT_EQ(base::FileSize(dir.Path() + "/missing"), -1);
    EXPECT_FALSE(base::FileExists(dir.Path()));  // a folder is not a data file
}

TEST(FileIo, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
    fixture::TempDir dir;
    std::string path = dir.Path() + "/settings.dat";
    std::vector<uint8_t> big(400, 7), small(128, 1);
    ASSERT_TRUE(base::WriteFileAtomic(path, big).ok());
    ASSERT_TRUE(base::WriteFileAtomic(path, small).ok());
    EXPECT_EQ(base::FileSize(path), 128);  // not the old length with a new head
    size_t entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1u);

    // A write that cannot happen leaves the old file as it was.
    std::string blocked = dir.Path() + "/no-such-folder/x.dat";
    EXPECT_FALSE(base::WriteFileAtomic(blocked, small).ok());
    EXPECT_EQ(base::ReadWholeFile(path, 1000)->at(0), 1);
}

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstGoes) {
    fixture::TempDir dir;
    std::string lockFile = dir.Path() + "/.lock";
    auto first = base::InstanceLock::Acquire(lockFile);
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(base::InstanceLock::Acquire(lockFile).has_value());
    first.reset();
    EXPECT_TRUE(base::InstanceLock::Acquire(lockFile).has_value());
}

}  // namespace
