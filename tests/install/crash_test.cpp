// An install killed at any moment leaves every day file either as it was or
// as the install makes it, never torn; running it again completes it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "base/file_io.h"
#include "data/paths.h"
#include "demo/demo_market.h"
#include "install/package.h"
#include "install/records.h"
#include "support/quiet_child.h"
#include "support/fixture_market.h"

namespace {

namespace fs = std::filesystem;
using installtest::ReadAll;
using installtest::Words;

using Files = std::map<std::string, std::vector<uint8_t>>;

// Every day file below the root, by its path relative to the root.
Files DayFiles(const std::string& root) {
    Files files;
    for (const char* folder : {"MKDAY/SH", "MKDAY/SZ"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(root) / folder)) {
            const std::string name = entry.path().filename().string();
            if (name.size() == 10 && name.ends_with(".day"))
                files[std::string(folder) + "/" + name] = ReadAll(entry.path().string());
        }
    }
    return files;
}

// A package that rewrites every security's whole history (each close one
// cent higher, so every file changes) and adds a few new securities.
std::vector<uint8_t> RewritingPackage(const std::string& root) {
    std::vector<install::BlockToWrite> blocks;
    for (const auto& [relative, bytes] : DayFiles(root)) {
        const auto words = Words(bytes);
        const uint32_t code = words[1];
        const size_t width = install::RecordWordsOf(code);
        std::vector<uint32_t> records(words.begin() + 8, words.end());
        for (size_t r = 0; r < records.size(); r += width) records[r + (width == 5 ? 2 : 4)] += 1 << (width == 5 ? 16 : 0);
        blocks.push_back({code, install::BlockForm::Long, records});
    }
    for (uint32_t code = 605000; code < 605040; ++code)
        blocks.push_back({code, install::BlockForm::Short, installtest::Stock(20200102, 1000)});
    return install::EncodePackage(blocks);
}

pid_t StartInstall(const std::string& root, const std::string& package) {
    return fixture::StartQuietCli({"install", "--data", root, package});
}

using fixture::WaitFor;

void CopyMarket(const std::string& from, const std::string& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

TEST(InstallCrash, AKilledInstallLeavesEveryFileOldOrNewAndARerunCompletesIt) {
    fixture::TempDir dir;
    const std::string original = dir.Path() + "/original";
    demo::DemoOptions options;
    options.dataRoot = original;
    options.stocks = 400;
    options.years = 3;
    options.endDate = 20241231;
    ASSERT_TRUE(demo::WriteDemoMarket(options).ok());
    const std::string package = dir.Path() + "/DAYALL.TXT";
    ASSERT_TRUE(base::WriteFileAtomic(package, RewritingPackage(original)).ok());

    // The whole install once, timed, gives the new content of every file.
    const std::string reference = dir.Path() + "/reference";
    CopyMarket(original, reference);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(WaitFor(StartInstall(reference, package)), 0);
    const auto took = std::chrono::steady_clock::now() - started;
    const Files before = DayFiles(original);
    const Files after = DayFiles(reference);
    ASSERT_EQ(after.size(), before.size() + 40);

    const unsigned seed = static_cast<unsigned>(std::random_device{}());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int64_t> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(took).count());
    const std::string work = dir.Path() + "/work";
    for (int round = 0; round < 6; ++round) {
        CopyMarket(original, work);
        const int64_t wait = moment(random);
        const pid_t pid = StartInstall(work, package);
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        ::kill(pid, SIGKILL);
        WaitFor(pid);

        for (const auto& [relative, bytes] : DayFiles(work)) {
            const auto old = before.find(relative);
            const bool isOld = old != before.end() && old->second == bytes;
            const bool isNew = after.at(relative) == bytes;
            ASSERT_TRUE(isOld || isNew) << relative << " is torn after a kill at " << wait
                                        << " us (seed " << seed << ")";
        }
        // A rerun completes the install: every file as the whole install makes it.
        ASSERT_EQ(WaitFor(StartInstall(work, package)), 0) << "seed " << seed;
        EXPECT_EQ(DayFiles(work), after) << "seed " << seed;
        // The rerun also cleared the temporaries the killed install left.
        for (const char* folder : {"MKDAY/SH", "MKDAY/SZ"})
            for (const auto& entry : fs::directory_iterator(fs::path(work) / folder))
                EXPECT_TRUE(entry.path().filename().string().ends_with(".day")) << entry.path();
    }
}

}  // namespace
