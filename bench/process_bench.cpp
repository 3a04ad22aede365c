// Whole processes as a user starts them: `bkqy-cli scan --market all` from
// exec to exit, its start-up and the loading of its libraries included,
// beside three small processes that find the same stocks in the code table
// and only open and close every day file, read every one whole, or (the
// least a scan must do, on one thread) size it and read its newest records,
// as many as the scan reads. The peak
// resident memory of one more run, started through a small program that
// measures it, is reported as peak_MiB. The scan runs as a user meets it
// again and again, with the day-file tails kept by the scan before it, and as
// the first scan after an install (argument 4: none kept, and it keeps them).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "data/paths.h"
#include "picking/tail_cache.h"

extern char** environ;

namespace {

// Starts the program and waits for it. Its standard output goes to `output`
// when given, otherwise it is thrown away with its errors.
bool RunProcess(const std::vector<std::string>& arguments, std::string* output = nullptr) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (output && ::pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) {
        ::close(pipeEnds[1]);
        char buffer[256];
        for (ssize_t got; started == 0 && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            output->append(buffer, static_cast<size_t>(got));
        ::close(pipeEnds[0]);
    }
    if (started != 0) return false;
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Argument 0: the scan with the tails the scan before it kept; 1: open and
// close every day file; 2: read each whole; 3: read their newest records;
// 4: the scan with no tails kept.
void BM_ScanProcess(benchmark::State& state) {
    const char* root = std::getenv("BKQY_BENCH_MARKET");
    if (!root) {
        state.SkipWithError("BKQY_BENCH_MARKET is not set (bench/run.sh sets it)");
        return;
    }
    const std::vector<std::string> scan = {BKQY_CLI_PROGRAM, "scan", "--data",   root, "--type", "1",
                                           "--threshold",    "7.5",  "--market", "all"};
    std::vector<std::string> arguments;
    switch (state.range(0)) {
        case 0:
            arguments = scan;
            state.SetLabel("bkqy-cli scan --market all");
            break;
        case 1:
            arguments = {BKQY_FLOOR_PROGRAM, "open", root};
            state.SetLabel("open and close every day file");
            break;
        case 2:
            arguments = {BKQY_FLOOR_PROGRAM, "read", root};
            state.SetLabel("read every day file whole");
            break;
        case 3:
            arguments = {BKQY_FLOOR_PROGRAM, "tail", root};
            state.SetLabel("size and read the newest records of every day file");
            break;
        default:
            arguments = scan;
            state.SetLabel("bkqy-cli scan --market all, no tails kept");
            break;
    }
    const std::string cache = picking::TailCache::PathOf(data::BuildDataPaths(root));
    const bool keptTails = state.range(0) == 0;
    if (keptTails) {
        // Day files written less than the settling time ago are not kept:
        // a market made just now is kept by a scan a little later.
        RunProcess(arguments);
        if (!std::filesystem::exists(cache)) {
            std::this_thread::sleep_for(std::chrono::nanoseconds(picking::TailCache::kSettleNs));
            RunProcess(arguments);
        }
    }
    for (auto _ : state) {
        if (state.range(0) == 4) {
            state.PauseTiming();
            std::filesystem::remove(cache);
            state.ResumeTiming();
        }
        if (!RunProcess(arguments)) {
            state.SkipWithError(("the process failed: " + arguments[0]).c_str());
            return;
        }
    }
    std::vector<std::string> measured = {BKQY_PEAK_PROGRAM};
    measured.insert(measured.end(), arguments.begin(), arguments.end());
    std::string peakKiB;
    if (RunProcess(measured, &peakKiB))
        state.counters["peak_MiB"] = std::strtod(peakKiB.c_str(), nullptr) / 1024.0;
}
BENCHMARK(BM_ScanProcess)->DenseRange(0, 4)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
