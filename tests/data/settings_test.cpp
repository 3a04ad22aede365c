#include "data/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/code_table.h"
#include "support/fixture_market.h"

namespace {

using data::Settings;
using fixture::Gbk;

const char* const kSettingsFile = "MKDAT/Inif2.DAT";

// A settings image of `bytes` bytes with the given words set.
std::vector<uint8_t> Image(size_t bytes, std::initializer_list<std::pair<size_t, uint32_t>> words) {
    std::vector<uint8_t> image(bytes, 0);
    for (auto [word, value] : words) base::WriteU32(image.data() + word * 4, value);
    return image;
}

std::vector<uint8_t> ReadBack(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, 1'000'000);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    return bytes.ok() ? *bytes : std::vector<uint8_t>{};
}

uint32_t Word(const std::vector<uint8_t>& bytes, size_t word) {
    return base::ReadU32(bytes.data() + word * 4);
}

TEST(Settings, MissingFileIsCreatedWithZerosAndDefaults) {
    fixture::FixtureMarket market;
    bool created = false;
    Settings s = data::LoadSettings(market.Paths().settings, &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(s.firstServer, 1);
    EXPECT_EQ(s.secondServer, 1);
    EXPECT_TRUE(s.watchList.empty());
    EXPECT_FALSE(s.MarkerSet(1, 1));
    EXPECT_EQ(ReadBack(market.Paths().settings), std::vector<uint8_t>(400, 0));

    // The second start finds the file.
    data::LoadSettings(market.Paths().settings, &created);
    EXPECT_FALSE(created);
}

TEST(Settings, LoadReadsServersClientValuesMarkersAndWatchList) {
    fixture::FixtureMarket market;
    auto image = Image(144, {{0, 7},
                             {1, 6},
                             {12, 11},
                             {13, 12},
                             {14, 13},
                             {15, 14},
                             {30, 3},
                             {31, 600000},
                             {32, 1},
                             {33, 300059},
                             {34, 0xAAAA}});
    image[80] = 0x80;   // page 1, item 1
    image[83] = 0x01;   // page 1, item 32
    image[84] = 0x40;   // page 2, item 2
    image[107] = 0x01;  // page 3, item 160
    market.WriteRaw(kSettingsFile, image);

    bool created = true;
    Settings s = data::LoadSettings(market.Paths().settings, &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(s.firstServer, 1);  // 7 is no server
    EXPECT_EQ(s.secondServer, 6);
    EXPECT_EQ(s.clientValues, (std::array<uint32_t, 4>{11, 12, 13, 14}));
    EXPECT_EQ(s.watchList, (std::vector<uint32_t>{600000, 1, 300059}));
    EXPECT_TRUE(s.MarkerSet(1, 1));
    EXPECT_FALSE(s.MarkerSet(1, 2));
    EXPECT_FALSE(s.MarkerSet(1, 8));
    EXPECT_TRUE(s.MarkerSet(1, 32));
    EXPECT_TRUE(s.MarkerSet(2, 2));
    EXPECT_FALSE(s.MarkerSet(2, 1));
    EXPECT_TRUE(s.MarkerSet(3, 160));
    EXPECT_FALSE(s.MarkerSet(3, 159));
    EXPECT_EQ(s.loadedWords[0], 7u);  // as stored

    EXPECT_EQ(data::ServerChoice(0), 1);
    EXPECT_EQ(data::ServerChoice(1), 1);
    EXPECT_EQ(data::ServerChoice(3), 3);
    EXPECT_EQ(data::ServerChoice(0xFFFFFFFF), 1);
}

TEST(Settings, MarkerBitsFollowTheItemRuleAndStayInsideTheirPage) {
    Settings s;
    EXPECT_TRUE(s.ToggleMarker(1, 1));
    EXPECT_EQ(s.markers[0], 0x80);
    EXPECT_TRUE(s.ToggleMarker(1, 9));
    EXPECT_EQ(s.markers[1], 0x80);
    EXPECT_TRUE(s.ToggleMarker(2, 8));
    EXPECT_EQ(s.markers[4], 0x01);
    EXPECT_TRUE(s.ToggleMarker(3, 1));
    EXPECT_EQ(s.markers[8], 0x80);
    EXPECT_TRUE(s.ToggleMarker(3, 160));
    EXPECT_EQ(s.markers[27], 0x01);
    // Toggling again clears.
    EXPECT_FALSE(s.ToggleMarker(1, 1));
    EXPECT_EQ(s.markers[0], 0x00);

    // Items past a page, and pages that do not exist, are never set.
    const auto before = s.markers;
    EXPECT_FALSE(s.ToggleMarker(1, 33));
    EXPECT_FALSE(s.ToggleMarker(2, 33));
    EXPECT_FALSE(s.ToggleMarker(3, 161));
    EXPECT_FALSE(s.ToggleMarker(0, 1));
    EXPECT_FALSE(s.ToggleMarker(4, 1));
    EXPECT_FALSE(s.ToggleMarker(1, 0));
    EXPECT_FALSE(s.ToggleMarker(1, -7));
    EXPECT_EQ(s.markers, before);
    EXPECT_FALSE(s.MarkerSet(1, 33));  // would be page 2's item 1 if it ran over
    EXPECT_FALSE(s.MarkerSet(3, 161));
}

TEST(Settings, SaveWritesTheLengthRuleAndKeepsReservedWords) {
    fixture::FixtureMarket market;
    const std::string& path = market.Paths().settings;
    // An existing 400-byte file with something in every reserved word.
    std::vector<uint8_t> old(400, 0);
    for (size_t w = 0; w < 100; ++w) base::WriteU32(old.data() + w * 4, 0x1000 + w);
    base::WriteU32(old.data() + 30 * 4, 0);
    market.WriteRaw(kSettingsFile, old);

    Settings s = data::LoadSettings(path, nullptr);
    EXPECT_EQ(s.firstServer, 1);  // 0x1000 is no server
    s.firstServer = 4;
    s.secondServer = 9;  // saved as 1
    s.clientValues = {21, 22, 23, 24};
    s.markers.fill(0);
    s.ToggleMarker(1, 8);

    // No codes: 128 bytes, word 31 as the old file had it.
    ASSERT_TRUE(data::SaveSettings(path, s).ok());
    auto bytes = ReadBack(path);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(Word(bytes, 0), 4u);
    EXPECT_EQ(Word(bytes, 1), 1u);
    EXPECT_EQ(Word(bytes, 12), 21u);
    EXPECT_EQ(Word(bytes, 15), 24u);
    EXPECT_EQ(Word(bytes, 30), 0u);
    EXPECT_EQ(Word(bytes, 31), 0x1000u + 31);
    for (size_t w : {2u, 11u, 16u, 19u, 27u, 29u}) EXPECT_EQ(Word(bytes, w), 0x1000u + w) << w;
    EXPECT_EQ(Word(bytes, 20), 0x01u);  // markers come from the settings, not the file
    EXPECT_EQ(Word(bytes, 26), 0u);

    // Three codes: 144 bytes; the two words after the last code are the file's.
    market.WriteRaw(kSettingsFile, old);
    s.watchList = {600000, 1, 300059};
    ASSERT_TRUE(data::SaveSettings(path, s).ok());
    bytes = ReadBack(path);
    ASSERT_EQ(bytes.size(), 144u);
    EXPECT_EQ(Word(bytes, 30), 3u);
    EXPECT_EQ(Word(bytes, 31), 600000u);
    EXPECT_EQ(Word(bytes, 32), 1u);
    EXPECT_EQ(Word(bytes, 33), 300059u);
    EXPECT_EQ(Word(bytes, 34), 0x1000u + 34);
    EXPECT_EQ(Word(bytes, 35), 0x1000u + 35);
    EXPECT_EQ(Word(bytes, 5), 0x1000u + 5);

    // Without a file the reserved words and the two trailing words are zero.
    market.Remove(kSettingsFile);
    ASSERT_TRUE(data::SaveSettings(path, s).ok());
    bytes = ReadBack(path);
    ASSERT_EQ(bytes.size(), 144u);
    EXPECT_EQ(Word(bytes, 0), 4u);
    EXPECT_EQ(Word(bytes, 5), 0u);
    EXPECT_EQ(Word(bytes, 34), 0u);
    EXPECT_EQ(Word(bytes, 35), 0u);
}

TEST(Settings, SaveThenLoadKeepsEverythingTheProgramChanged) {
    fixture::FixtureMarket market;
    const std::string& path = market.Paths().settings;
    market.WriteRaw(kSettingsFile, Image(400, {{0, 2}, {1, 3}, {7, 777}, {13, 1313}, {28, 2828}}));

    Settings s = data::LoadSettings(path, nullptr);
    s.ToggleMarker(1, 5);
    s.ToggleMarker(2, 32);
    s.ToggleMarker(3, 100);
    s.watchList = {600036, 2, 688001, 300750};
    s.secondServer = 5;
    ASSERT_TRUE(data::SaveSettings(path, s).ok());

    Settings again = data::LoadSettings(path, nullptr);
    EXPECT_EQ(again.firstServer, 2);
    EXPECT_EQ(again.secondServer, 5);
    EXPECT_EQ(again.clientValues[1], 1313u);
    EXPECT_EQ(again.markers, s.markers);
    EXPECT_TRUE(again.MarkerSet(3, 100));
    EXPECT_EQ(again.watchList, s.watchList);
    EXPECT_EQ(again.loadedWords[7], 777u);
    EXPECT_EQ(again.loadedWords[28], 2828u);
    EXPECT_EQ(ReadBack(path).size(), 132u + 4u * 4u);
}

TEST(Settings, WatchCountIsCutToTheCodesInTheFile) {
    fixture::FixtureMarket market;
    const std::string& path = market.Paths().settings;

    // N says 1,000 but two codes follow.
    market.WriteRaw(kSettingsFile, Image(132, {{30, 1000}, {31, 600000}, {32, 600004}}));
    EXPECT_EQ(data::LoadSettings(path, nullptr).watchList, (std::vector<uint32_t>{600000, 600004}));

    // An absurd count over a 128-byte file: only word 31 is there.
    market.WriteRaw(kSettingsFile, Image(128, {{30, 0xFFFFFFFF}, {31, 600000}}));
    EXPECT_EQ(data::LoadSettings(path, nullptr).watchList, (std::vector<uint32_t>{600000}));

    // A partial word at the end is not a code.
    auto image = Image(131, {{30, 5}, {31, 1}});
    market.WriteRaw(kSettingsFile, image);
    EXPECT_EQ(data::LoadSettings(path, nullptr).watchList, (std::vector<uint32_t>{1}));

    // A truncated file: what is there is read, the rest is zero.
    image = Image(100, {{0, 3}});
    image[80] = 0x80;
    image[99] = 0xFF;  // the last byte read: page 3, items 89-96
    market.WriteRaw(kSettingsFile, image);
    bool created = true;
    Settings s = data::LoadSettings(path, &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(s.firstServer, 3);
    EXPECT_TRUE(s.MarkerSet(1, 1));
    EXPECT_FALSE(s.MarkerSet(3, 88));
    EXPECT_TRUE(s.MarkerSet(3, 89));
    EXPECT_TRUE(s.MarkerSet(3, 96));
    EXPECT_FALSE(s.MarkerSet(3, 97));  // byte 100 lies past the file
    EXPECT_TRUE(s.watchList.empty());
    EXPECT_EQ(s.clientValues[0], 0u);
    // Nothing was written to the short file while loading.
    EXPECT_EQ(ReadBack(path).size(), 100u);
}

TEST(Settings, UnreadableFileIsNeitherReplacedNorOverwritten) {
    fixture::FixtureMarket market;
    const std::string& path = market.Paths().settings;
    std::filesystem::create_directories(path);  // something that cannot be read as a file
    bool created = true;
    Settings s = data::LoadSettings(path, &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(s.firstServer, 1);
    s.watchList = {600000};
    EXPECT_FALSE(data::SaveSettings(path, s).ok());
    EXPECT_TRUE(std::filesystem::is_directory(path));

    // A folder that does not exist cannot take the file.
    EXPECT_FALSE(data::SaveSettings(market.Root() + "/NOPE/Inif2.DAT", s).ok());
}

}  // namespace
