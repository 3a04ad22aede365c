// Merging new records of one security into its day file: the new records
// replace every existing record from the first one dated on or after their
// first date up to the last one dated on or before their last date, so the
// file stays in date order with no stale record. Files are replaced whole
// through a temporary beside them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/paths.h"

namespace install {

enum class MergeOutcome {
    Created,    // the file did not exist
    Merged,     // the file changed
    Unchanged,  // the records were already there, byte for byte
    Skipped,    // the file was left alone; see the reason
};

struct MergeResult {
    MergeOutcome outcome = MergeOutcome::Skipped;
    std::string reason;  // Chinese, for a skipped file
    uint32_t firstDate = 0;  // of the file after the merge
    uint32_t lastDate = 0;
};

// How a download or install was started (the index bookkeeping differs).
enum class DownloadMode { None = 0, Daily = 1, History = 2 };

// The three history entries: the years whose bars mark them installed.
inline constexpr std::array<uint32_t, 3> kHistoryYears = {1990, 2000, 2010};

// What merging the Shanghai index file updates besides the file.
struct IndexBookkeeping {
    DownloadMode mode = DownloadMode::None;
    uint32_t latestDate = 0;      // the latest trading date
    uint32_t firstIndexDate = 0;  // the first index date
    std::array<bool, 3> historyInstalled{};
};

// The largest day file a merge reads: far above any real history, small
// enough that a hostile file cannot exhaust memory.
inline constexpr uint64_t kMaxMergedFileBytes = 64ull << 20;

// Reused between merges, so that an install does not allocate per security.
struct MergeScratch {
    std::vector<uint8_t> old;
    std::vector<uint8_t> merged;
};

// Merges whole records (width by code) of ascending dates into the code's day
// file; a new file gets the header "MKSH"/"MKSZ", the code and 2. For 999999
// the bookkeeping is updated as the install mode asks. A file whose length is
// not whole records after its header, or that cannot be read or written, is
// left unchanged and the result says why.
MergeResult MergeDayRecords(const data::DataPaths& paths, uint32_t code,
                            std::span<const uint32_t> records, MergeScratch& scratch,
                            IndexBookkeeping* bookkeeping = nullptr);

// The installed state of a security's day file.
struct HistoryRecord {
    uint64_t bytes = 0;
    uint64_t bars = 0;
    uint32_t firstDate = 0;
    uint32_t secondDate = 0;
    uint32_t lastDate = 0;
    std::array<bool, 3> years{};  // a bar in 1990, 2000, 2010
};

// All zero when the file cannot be opened.
HistoryRecord HistoryStatus(const data::DataPaths& paths, uint32_t code);

// The installed flags of the three history entries: from the Shanghai index,
// or the Shenzhen index when the Shanghai one has no bars.
std::array<bool, 3> HistoryInstalled(const data::DataPaths& paths);

// The three entries as listed, "[已安装]" after an installed one, and the
// reserved fourth.
std::array<std::string, 4> HistoryEntryTexts(const std::array<bool, 3>& installed);

}  // namespace install
