// Benchmarks of data installs on the bench market: a package of its last 20
// trading days merged into a copy of the market that lacks them, against
// writing the same day files once (the floor any install stands on); and the
// whole market imported from a vipdoc tree into an empty data root, against
// copying the tree's bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/paths.h"
#include "install/import.h"
#include "install/package.h"
#include "install/package_install.h"
#include "install/vipdoc.h"

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

// The bench market as a vipdoc tree, written once beside it.
struct VipdocSetup {
    std::string tree;    // holds sh/ and sz/
    std::string target;  // the data root an import makes anew each time
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;  // relative path, bytes
    bool ok = false;
};

std::vector<data::Bar> DecodeAll(uint32_t code, std::span<const uint8_t> bytes) {
    const std::vector<uint32_t> words = WordsOf(bytes.subspan(32));
    std::vector<data::Bar> bars;
    const bool index = data::IsIndexCode(code);
    const size_t width = install::RecordWordsOf(code);
    for (size_t r = 0; r + width <= words.size(); r += width) {
        const uint32_t* w = &words[r];
        if (index)
            bars.push_back({w[0], w[1], w[2], w[3], w[4], w[5], w[6]});
        else
            bars.push_back({w[0], base::LowHalf(w[1]), base::HighHalf(w[1]), base::LowHalf(w[2]),
                            base::HighHalf(w[2]), w[3], w[4]});
    }
    return bars;
}

VipdocSetup MakeVipdocSetup() {
    VipdocSetup setup;
    const InstallSetup& market = Setup();
    if (!market.ok) return setup;
    const char* root = std::getenv("BKQY_BENCH_MARKET");
    setup.tree = std::string(root) + "-vipdoc-bench/";
    setup.target = std::string(root) + "-import-bench/";
    for (const DayFileCopy& f : market.files) {
        size_t saturated = 0;
        const std::string relative = install::VipdocRelativePath(f.code);
        setup.files.push_back({relative, install::EncodeVipdocFile(DecodeAll(f.code, f.after), &saturated)});
        fs::create_directories(fs::path(setup.tree + relative).parent_path());
        (void)base::WriteFileAtomic(setup.tree + relative, setup.files.back().second,
                                    base::Durability::NoFlush);
    }
    setup.ok = true;
    return setup;
}

const VipdocSetup& Vipdoc() {
    static const VipdocSetup setup = MakeVipdocSetup();
    return setup;
}

void BM_ImportVipdocTree(benchmark::State& state) {
    const VipdocSetup& setup = Vipdoc();
    if (!setup.ok) return state.SkipWithError("set BKQY_BENCH_MARKET to a demo market");
    const data::DataPaths paths = data::BuildDataPaths(setup.target);
    install::ImportOptions options;
    options.source = install::ImportSource::Vipdoc;
    options.path = setup.tree;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(setup.target);
        (void)install::PrepareDataRoot(setup.target);
        (void)base::SyncFileSystem(setup.tree);
        state.ResumeTiming();
        install::ImportProgress progress;
        const auto report = install::ImportDayData(paths, options, progress);
        if (report.imported != setup.files.size()) state.SkipWithError("the import was not whole");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * setup.files.size()));
}
BENCHMARK(BM_ImportVipdocTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tree's files read and written once each, and the file system synced.
void BM_CopyVipdocTreeBytes(benchmark::State& state) {
    const VipdocSetup& setup = Vipdoc();
    if (!setup.ok) return state.SkipWithError("set BKQY_BENCH_MARKET to a demo market");
    const std::string copy = setup.target + "copy/";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(setup.target);
        for (const char* market : {"sh/lday", "sz/lday"}) fs::create_directories(copy + market);
        (void)base::SyncFileSystem(setup.tree);
        state.ResumeTiming();
        for (const auto& [relative, expected] : setup.files) {
            auto bytes = base::ReadWholeFile(setup.tree + relative, 1u << 26);
            if (bytes)
                (void)base::WriteFileAtomic(copy + relative, *bytes, base::Durability::NoFlush);
        }
        (void)base::SyncFileSystem(copy);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * setup.files.size()));
}
BENCHMARK(BM_CopyVipdocTreeBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
