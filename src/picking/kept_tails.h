// The newest records of the day files runs have read, kept between runs of
// the window so that the next scan (another type, threshold or market, the
// same or an earlier date) reads memory instead of four thousand files. Only
// raw records are kept; everything computed from them (adjusted prices,
// values, rankings) is computed again by each run.
//
// When kept tails serve: a run takes a code's kept tail when it holds as
// many of the file's newest records as the run would read itself, and it
// still checks, stock by stock, that the tail reaches back to the reference
// day with the bars before it that the test needs; otherwise it reads the
// file and keeps what it read. Every tail is dropped before the next run
//  - when the data was changed by this program (DataChanged: an install, an
//    import, the 数据下载 page),
//  - when either day-file folder's modification stamp differs from the one
//    seen when the tails were kept (another program added or replaced day
//    files: writers replace a file by renaming a new one over it),
//  - when the next run would read further back than some kept tail holds
//    (a simulation date beyond them).
//
// Threads: the run's worker finds and keeps tails while the run lasts;
// DataChanged and PrepareRun belong to the thread that starts runs and are
// called only while no run that uses the tails is busy.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "data/paths.h"
#include "picking/tail_prefetch.h"

namespace picking {

class KeptTails {
public:
    // Records read and kept of each file at least: about three months, so a
    // simulation date moved back some weeks is still served from memory.
    static constexpr size_t kDepth = 64;
    // A run at a date far back reads more; no more than this is kept of a file.
    static constexpr size_t kMostRecords = 300;

    // The data on disk changed: every tail goes before the next run.
    void DataChanged() { m_dataChanged = true; }
    // Before a run that reads `records` newest records of each file (or
    // fewer when they serve): drops every tail by the rules above.
    void PrepareRun(const data::DataPaths& paths, size_t records);

    // The kept tail of a code, if any.
    std::optional<TailPrefetch::Tail> Find(uint32_t code) const;
    bool Holds(uint32_t code) const { return m_tails.count(code) != 0; }
    // Keeps the newest records of `newest` (whole records, ending with the
    // file's last) for a file of `fileRecords` records.
    void Keep(uint32_t code, size_t fileRecords, std::span<const uint8_t> newest);
    size_t Count() const { return m_tails.size(); }
    void Clear();

private:
    struct Kept {
        size_t fileRecords = 0;
        std::vector<uint8_t> bytes;
        bool ordered = false;  // checked once when kept
    };
    // What a folder looked like: replaced folders and renamed files show.
    struct FolderStamp {
        bool present = false;
        dev_t device = 0;
        ino_t inode = 0;
        timespec modified{};
        bool operator==(const FolderStamp& other) const;
    };
    static FolderStamp StampOf(const std::string& folder);

    std::unordered_map<uint32_t, Kept> m_tails;
    // The fewest records a kept tail holds short of its whole file: a run
    // reading more than this back might find a tail that cannot serve it.
    size_t m_shallowest = SIZE_MAX;
    bool m_dataChanged = false;
    std::array<FolderStamp, 2> m_folders{};
};

}  // namespace picking
