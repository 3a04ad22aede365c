// bkqy-cli demo killed at any moment: every file it left is whole (as the
// finished run writes it), and running it again into the same folder
// completes the market, its temporaries gone.
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
#include "support/quiet_child.h"
#include "support/fixture_market.h"

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::vector<uint8_t>>;

// Every file below the root by its relative path (temporaries included).
Files AllFiles(const std::string& root) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        auto bytes = base::ReadWholeFile(entry.path().string(), 64u << 20);
        files[fs::relative(entry.path(), root).string()] = bytes ? *bytes : std::vector<uint8_t>{};
    }
    return files;
}

pid_t StartDemo(const std::string& root) {
    return fixture::StartQuietCli({"demo", "--data", root, "--stocks", "120", "--years", "2",
                                   "--end", "20241231", "--seed", "5"});
}

using fixture::WaitFor;

TEST(DemoCrash, AKilledDemoLeavesWholeFilesAndARerunCompletesIt) {
    fixture::TempDir dir;
    const std::string reference = dir.Path() + "/reference";
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(WaitFor(StartDemo(reference)), 0);
    const auto took = std::chrono::steady_clock::now() - started;
    const Files finished = AllFiles(reference);
    ASSERT_FALSE(finished.empty());

    const unsigned seed = static_cast<unsigned>(std::random_device{}());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int64_t> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(took).count());
    for (int round = 0; round < 5; ++round) {
        const std::string work = dir.Path() + "/work" + std::to_string(round);
        const int64_t wait = moment(random);
        const pid_t pid = StartDemo(work);
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        ::kill(pid, SIGKILL);
        WaitFor(pid);

        if (fs::exists(work)) {
            for (const auto& [relative, bytes] : AllFiles(work)) {
                if (base::IsTemporaryName(fs::path(relative).filename().string())) continue;
                const auto whole = finished.find(relative);
                ASSERT_NE(whole, finished.end()) << relative;
                EXPECT_EQ(whole->second, bytes)
                    << relative << " is torn after a kill at " << wait << " us (seed " << seed << ")";
            }
        }
        // The rerun takes the half-written folder and finishes the market.
        ASSERT_EQ(WaitFor(StartDemo(work)), 0) << "kill at " << wait << " us, seed " << seed;
        EXPECT_EQ(AllFiles(work), finished) << "kill at " << wait << " us, seed " << seed;
    }
}

}  // namespace
