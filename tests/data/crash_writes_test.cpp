// Writers killed at random moments: every file the program writes goes
// through one atomic writer, so what is left is the old file or the new one,
// and the temporaries of the killed writer go at the next start.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/settings.h"
#include "data/startup.h"
#include "support/fixture_market.h"
#include "support/kill_while_writing.h"

namespace {

namespace fs = std::filesystem;
using fixture::KillWhileWriting;

TEST(CrashWrites, TheAtomicWriterLeavesTheOldOrTheNewFile) {
    fixture::TempDir dir;
    const std::string path = dir.Path() + "/MKCODE.DAT";
    // Two versions of different sizes, large enough that a write takes a while.
    const std::vector<uint8_t> a(300'000, 0xA5), b(200'000, 0x5A);
    ASSERT_TRUE(base::WriteFileAtomic(path, a).ok());
    KillWhileWriting(
        [&](uint32_t round) {
            (void)base::WriteFileAtomic(path, round % 2 ? a : b, base::Durability::NoFlush);
        },
        [&](unsigned seed) {
            auto bytes = base::ReadWholeFile(path, 1'000'000);
            ASSERT_TRUE(bytes.ok());
            EXPECT_TRUE(*bytes == a || *bytes == b) << bytes->size() << " bytes, seed " << seed;
        },
        20);
}

TEST(CrashWrites, SettingsKilledWhileSavedAreOldOrNewAndTemporariesGoAtTheNextStart) {
    fixture::FixtureMarket market;
    const std::string path = market.Paths().settings;
    data::Settings few;
    few.watchList = {600000, 1};
    data::Settings many;
    for (uint32_t c = 600000; c < 600200; ++c) many.watchList.push_back(c);
    bool created = false;
    (void)data::LoadSettings(path, &created);
    ASSERT_TRUE(data::SaveSettings(path, few).ok());
    KillWhileWriting(
        [&](uint32_t round) { (void)data::SaveSettings(path, round % 2 ? few : many); },
        [&](unsigned seed) {
            const auto list = data::LoadSettings(path, &created).watchList;
            EXPECT_TRUE(list == few.watchList || list == many.watchList)
                << list.size() << " codes, seed " << seed;
        },
        12);

    // A killed write may have left a temporary beside the file; taking the
    // lock (the next start) removes it, and nothing else.
    const std::string left = path + ".tmp12345-0";
    ASSERT_TRUE(base::WriteFileAtomic(left, std::vector<uint8_t>(10, 1)).ok());
    base::RecordingPrompter prompter;
    auto lock = data::AcquireSingleInstance(market.Paths(), prompter);
    ASSERT_TRUE(lock.has_value());
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(path));
    for (const auto& entry : fs::directory_iterator(market.Root()))
        EXPECT_FALSE(base::IsTemporaryName(entry.path().filename().string())) << entry.path();
}

}  // namespace
