#include "install/package_install.h"

#include <new>

#include "base/file_io.h"
#include "install/package.h"

namespace install {

base::Result<PackageFile> ReadPackageFile(const std::string& path, PackageReadFailure* failure) {
    uint64_t size = 0;
    if (base::InspectPath(path, &size) != base::PathKind::RegularFile) {
        *failure = PackageReadFailure::CannotOpen;
        return base::Error{path};
    }
    PackageFile file;
    bool allocated = size <= kMaxPackageBytes;
    if (allocated) {
        try {
            file.words.resize(static_cast<size_t>(size / 4));
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        *failure = PackageReadFailure::NoMemory;
        return base::Error{"申请下载需要的内存失败"};
    }
    std::span<uint8_t> bytes(reinterpret_cast<uint8_t*>(file.words.data()), file.words.size() * 4);
    auto read = base::ReadFileInto(path, bytes);
    if (!read) {
        *failure = PackageReadFailure::CannotOpen;
        return base::Error{path};
    }
    // A file that shrank since it was looked at: only what was read counts.
    file.words.resize(*read / 4);
    return file;
}

PackageReport InstallPackageImage(const data::DataPaths& paths, std::span<const uint32_t> words,
                                  InstallProgress& progress, IndexBookkeeping bookkeeping) {
    PackageReport report;
    report.bookkeeping = bookkeeping;
    PackageReader reader(words);
    const uint32_t total = static_cast<uint32_t>(std::min<size_t>(reader.DeclaredBlocks(), UINT32_MAX));
    progress.blocksTotal = total;
    progress.blocksDone = 0;
    MergeScratch scratch;
    size_t problemsSeen = 0;
    while (auto block = reader.Next()) {
        progress.currentCode = block->code;
        const MergeResult result =
            MergeDayRecords(paths, block->code, block->records, scratch, &report.bookkeeping);
        switch (result.outcome) {
            case MergeOutcome::Created: ++report.created; break;
            case MergeOutcome::Merged: ++report.merged; break;
            case MergeOutcome::Unchanged: ++report.unchanged; break;
            case MergeOutcome::Skipped:
                report.skippedCodes.push_back(block->code);
                report.problems.push_back(result.reason);
                break;
        }
        // Blocks the reader passed over on the way here.
        for (; problemsSeen < reader.Problems().size(); ++problemsSeen) {
            const BlockProblem& p = reader.Problems()[problemsSeen];
            if (p.code != 0) report.skippedCodes.push_back(p.code);
            report.problems.push_back(p.reason);
        }
        progress.blocksDone = static_cast<uint32_t>(reader.BlocksRead());
        if (progress.stopRequested.load()) {
            report.stopped = true;
            break;
        }
    }
    for (; problemsSeen < reader.Problems().size(); ++problemsSeen) {
        const BlockProblem& p = reader.Problems()[problemsSeen];
        if (p.code != 0) report.skippedCodes.push_back(p.code);
        report.problems.push_back(p.reason);
    }
    report.blocks = reader.BlocksRead();
    if (!report.stopped) progress.blocksDone = total;
    (void)base::SyncFileSystem(paths.root);
    return report;
}

int InstallBarPixels(uint32_t done, uint32_t total) {
    if (total == 0) return 0;
    const uint64_t pixels = uint64_t{kInstallBarRange} * std::min(done, total) / total;
    return static_cast<int>(pixels);
}

}  // namespace install
