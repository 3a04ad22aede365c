// Installing a day-data package: its blocks merged one by one into the day
// files, with progress another thread can watch and a stop request honoured
// after the current block (what was merged stays merged).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "data/paths.h"
#include "install/day_merge.h"

namespace install {

// Shared between an install's worker and the thread that shows its progress.
struct InstallProgress {
    std::atomic<uint32_t> blocksDone{0};
    std::atomic<uint32_t> blocksTotal{0};
    std::atomic<uint32_t> currentCode{0};
    std::atomic<bool> stopRequested{false};
};

struct PackageReport {
    size_t blocks = 0;  // blocks walked
    size_t created = 0;
    size_t merged = 0;
    size_t unchanged = 0;
    std::vector<uint32_t> skippedCodes;
    std::vector<std::string> problems;  // Chinese, one line each
    bool stopped = false;
    IndexBookkeeping bookkeeping;
};

// The most a package file may hold: a whole-market history is a few hundred
// megabytes; more is refused as if the memory could not be had.
inline constexpr uint64_t kMaxPackageBytes = 1ull << 30;

// Reads a package file whole into words (a trailing partial word is dropped).
// Fails with the file's path when it cannot be opened, with
// "申请下载需要的内存失败" when it is too large to hold.
enum class PackageReadFailure { CannotOpen, NoMemory };
struct PackageFile {
    std::vector<uint32_t> words;
};
base::Result<PackageFile> ReadPackageFile(const std::string& path, PackageReadFailure* failure);

// The block loop: blocks merged in package order; after each block the
// progress moves and a stop request ends the loop. The file system is synced
// once at the end.
PackageReport InstallPackageImage(const data::DataPaths& paths, std::span<const uint32_t> words,
                                  InstallProgress& progress, IndexBookkeeping bookkeeping);

// The progress bar: 350 pixels at most inside its 352-pixel frame.
inline constexpr int kInstallBarRange = 350;
int InstallBarPixels(uint32_t done, uint32_t total);

}  // namespace install
