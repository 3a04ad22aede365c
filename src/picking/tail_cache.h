// The newest records of day files, kept in a file of the data folder between
// processes: a scan from the command line then reads that one file and looks
// at each day file's stamp, instead of opening four thousand files.
//
// When a kept tail serves (the rule that keeps a changed file from ever being
// served stale): its day file must still have the device, inode, size,
// modification time and change time it had when the tail was read. The kernel
// sets the change time on every write, truncation, rename or time change, and
// no program can set it back; a file replaced by renaming has a new inode.
// Only a tail whose file last changed at least two seconds before the read
// began is kept: a write in the same clock tick as the read could otherwise
// leave every stamp as it was.
//
// The file is only a copy. A missing, damaged or foreign one counts as empty;
// one that cannot be written is not written; nothing is ever shown about it.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/paths.h"

namespace picking {

// What a file looked like when it was read.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const struct stat& info);

class TailCache {
public:
    // No more than this is kept of a file: a read further back is not kept.
    static constexpr size_t kMostRecords = 64;
    static constexpr int64_t kSettleNs = 2'000'000'000;

    struct Entry {
        uint32_t code = 0;
        FileStamp stamp;
        size_t fileRecords = 0;          // records in the whole file
        std::span<const uint8_t> bytes;  // the newest records kept, whole records
    };

    // MKDAT/BKQYTAIL.DAT of the data folder.
    static std::string PathOf(const data::DataPaths& paths);
    // Whether a file with this stamp, read from `readStartNs` on, may be
    // kept: it had been left alone for `settleNs` when the read began.
    static bool Settled(const FileStamp& stamp, int64_t readStartNs, int64_t settleNs = kSettleNs);

    // Reads the kept tails of a file; none when it is absent or damaged.
    void Load(const std::string& path);
    // The same from the file's bytes.
    void Parse(std::vector<uint8_t> bytes);

    // The kept tail of a code, or nothing.
    const Entry* Find(uint32_t code) const;
    size_t Count() const { return m_entries.size(); }
    const std::vector<Entry>& Entries() const { return m_entries; }

    // The file's bytes for these entries (any order; one entry a code).
    static std::vector<uint8_t> Encode(std::vector<Entry> entries);
    // Writes the kept entries with `fresh` in place of those of `replaced`
    // codes and of the fresh ones' codes; false when it could not.
    bool Save(const std::string& path, const std::vector<Entry>& fresh,
              std::span<const uint32_t> replaced) const;

private:
    std::vector<uint8_t> m_bytes;
    std::vector<Entry> m_entries;  // ascending codes; bytes point into m_bytes
};

// Whether a read-ahead uses the cache, and how long a file must have been left
// alone before its tail is kept (tests of files just written use 0).
struct TailCacheUse {
    bool enabled = false;
    int64_t settleNs = TailCache::kSettleNs;
};

}  // namespace picking
