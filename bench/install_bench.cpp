// Benchmarks of data installs on the bench market: a package of its last 20
// trading days merged into a copy of the market that lacks them, against
// writing the same day files once (the floor any install stands on).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/paths.h"
#include "install/package.h"
#include "install/package_install.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kPackageDays = 20;

struct DayFileCopy {
    uint32_t code = 0;
    std::vector<uint8_t> before;  // without the last 20 days
    std::vector<uint8_t> after;   // as the market has it
};

// The bench market's day files, each also without its last 20 records, the
// package of those records, and a scratch data root of the same layout.
struct InstallSetup {
    std::vector<DayFileCopy> files;
    std::vector<uint32_t> package;
    std::string root;
    bool ok = false;
};

std::vector<uint32_t> WordsOf(std::span<const uint8_t> bytes) {
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = base::ReadU32(bytes.data() + 4 * i);
    return words;
}

InstallSetup MakeSetup() {
    InstallSetup setup;
    const char* market = std::getenv("BKQY_BENCH_MARKET");
    if (!market) return setup;
    const data::DataPaths source = data::BuildDataPaths(market);
    std::vector<install::BlockToWrite> blocks;
    for (const std::string& folder : {source.shFolder, source.szFolder}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.size() != 10 || !name.ends_with(".day")) continue;
            auto bytes = base::ReadWholeFile(entry.path().string(), 1u << 26);
            if (!bytes || bytes->size() < 32) continue;
            DayFileCopy file;
            file.code = base::ReadU32(bytes->data() + 4);
            const size_t recordBytes = install::RecordWordsOf(file.code) * 4;
            const size_t records = (bytes->size() - 32) / recordBytes;
            const size_t kept = records > kPackageDays ? records - kPackageDays : 0;
            file.after = *bytes;
            file.before.assign(bytes->begin(), bytes->begin() + 32 + kept * recordBytes);
            const auto tail = std::span<const uint8_t>(*bytes).subspan(32 + kept * recordBytes);
            const auto form = data::IsIndexCode(file.code) ? install::BlockForm::Long
                                                           : install::BlockForm::Short;
            blocks.push_back({file.code, form, WordsOf(tail)});
            setup.files.push_back(std::move(file));
        }
    }
    setup.package = WordsOf(install::EncodePackage(blocks));
    setup.root = std::string(market) + "-install-bench/";
    fs::create_directories(setup.root + "MKDAY/SH");
    fs::create_directories(setup.root + "MKDAY/SZ");
    setup.ok = !setup.files.empty();
    return setup;
}

const InstallSetup& Setup() {
    static const InstallSetup setup = MakeSetup();
    return setup;
}

void WriteFiles(const data::DataPaths& paths, const std::vector<DayFileCopy>& files,
                bool after) {
    for (const DayFileCopy& f : files)
        (void)base::WriteFileAtomic(data::DayFilePath(paths, f.code), after ? f.after : f.before,
                                    base::Durability::NoFlush);
}

void BM_InstallLast20DaysPackage(benchmark::State& state) {
    const InstallSetup& setup = Setup();
    if (!setup.ok) return state.SkipWithError("set BKQY_BENCH_MARKET to a demo market");
    const data::DataPaths paths = data::BuildDataPaths(setup.root);
    for (auto _ : state) {
        state.PauseTiming();
        WriteFiles(paths, setup.files, false);
        (void)base::SyncFileSystem(setup.root);
        state.ResumeTiming();
        install::InstallProgress progress;
        const auto report = install::InstallPackageImage(paths, setup.package, progress, {});
        if (report.merged != setup.files.size()) state.SkipWithError("the package did not merge");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * setup.files.size()));
}
BENCHMARK(BM_InstallLast20DaysPackage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same day files, as the install leaves them, written once each through
// a temporary and a rename, and the file system synced once at the end.
void BM_WriteSameDayFilesOnce(benchmark::State& state) {
    const InstallSetup& setup = Setup();
    if (!setup.ok) return state.SkipWithError("set BKQY_BENCH_MARKET to a demo market");
    const data::DataPaths paths = data::BuildDataPaths(setup.root);
    for (auto _ : state) {
        state.PauseTiming();
        WriteFiles(paths, setup.files, false);
        (void)base::SyncFileSystem(setup.root);
        state.ResumeTiming();
        WriteFiles(paths, setup.files, true);
        (void)base::SyncFileSystem(setup.root);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * setup.files.size()));
}
BENCHMARK(BM_WriteSameDayFilesOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
