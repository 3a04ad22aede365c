// Reads the newest records of many day files on helper threads, ahead of an
// evaluator that takes them in candidate order. Opening and reading a few
// hundred bytes of four thousand files is almost all system-call time, which
// several threads share out; the evaluation itself stays on one thread and in
// candidate order, so results are the same as reading each file in turn.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "data/paths.h"
#include "picking/tail_cache.h"

namespace picking {

// Record count of an open stock day file (a torn last record left out); 0
// when it holds none or cannot be examined.
size_t DayFileRecords(int fd);
// The same for a file of `bytes` bytes.
size_t DayFileRecordsOfSize(uint64_t bytes);
// Opens a stock's day file as base::OpenForReading does; -1 when it cannot,
// else the descriptor, with its record count in `records`.
int OpenDayFile(const std::string& path, size_t& records);
// The same for a file named inside a folder opened with base::OpenFolder (or
// a whole path with AT_FDCWD); `stamp`, when given, gets the file's stamp.
int OpenDayFileIn(int folder, const std::string& name, size_t& records,
                  FileStamp* stamp = nullptr);
// Reads the records [records - count, records) of an open day file into dest.
bool ReadNewestRecords(int fd, size_t records, size_t count, uint8_t* dest);

class TailPrefetch {
public:
    struct Tail {
        size_t fileRecords = 0;         // records in the whole file
        std::span<const uint8_t> bytes;  // the newest min(fileRecords, wanted) records
        // Every date already checked to be a real day in ascending order (a
        // kept tail); false when nobody looked yet.
        bool ordered = false;
    };

    // Starts reading the newest `wanted` records of each code's day file.
    // With the cache in use, a tail kept in the data folder by an earlier
    // process serves where its file is unchanged (see tail_cache.h).
    TailPrefetch(const data::DataPaths& paths, std::vector<uint32_t> codes, size_t wanted,
                 unsigned threads, TailCacheUse cache = {});
    ~TailPrefetch();  // stops the helpers and waits for them
    TailPrefetch(const TailPrefetch&) = delete;
    TailPrefetch& operator=(const TailPrefetch&) = delete;

    size_t Wanted() const { return m_wanted; }
    // The tail of `code` when it is the next code in order, waiting for its
    // read; nothing when the file could not be read or the code is not the
    // next one (the caller then reads the file itself).
    std::optional<Tail> Take(uint32_t code);

    // Stops the helpers and, with the cache in use, keeps there what they
    // read from the files and may be kept.
    void SaveCache();
    // Tails served from the cache.
    size_t CacheHits() const;

    // Helper threads for this machine: its cores, at most four.
    static unsigned DefaultThreads();

private:
    enum State : int { kPending = 0, kReady = 1, kFailed = 2 };
    struct Slot {
        std::atomic<int> state{kPending};
        size_t fileRecords = 0;
        size_t count = 0;
        FileStamp stamp;                // of the file read
        bool cached = false;            // served from the cache, not read
        const uint8_t* bytes = nullptr;  // count records: the slot's room or the cache's
    };

    void Work(std::stop_token stop, unsigned first, unsigned step);
    // Sleeps until slot i is read or has failed.
    void WaitFor(size_t i);

    int FolderOf(uint32_t code) const;
    // The day file of a code, opened inside its market folder when that
    // folder could be opened, else by its whole path.
    int OpenDayFileOf(uint32_t code, size_t& records, FileStamp& stamp) const;
    // Fills slot i from the cache when its file is unchanged.
    bool ServeFromCache(size_t i);
    // Fills slot i from the file; the slot's new state.
    int ReadFromFile(size_t i);
    uint8_t* SlotBytes(size_t i);

    data::DataPaths m_paths;
    int m_shFolder = -1;
    int m_szFolder = -1;
    std::vector<uint32_t> m_codes;
    size_t m_wanted;
    std::unique_ptr<Slot[]> m_slots;
    // Room for `wanted` records a code, in candidate order; left unfilled,
    // as only what a read puts there is ever looked at.
    std::unique_ptr<uint8_t[]> m_bytes;
    size_t m_next = 0;             // the consumer's position
    static constexpr size_t kNobody = SIZE_MAX;
    std::atomic<size_t> m_wakeAt{kNobody};  // the slot the consumer sleeps on
    std::atomic<uint32_t> m_progress{0};    // the word it sleeps on
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
                  std::atomic<uint32_t>::is_always_lock_free);
    TailCacheUse m_cacheUse;
    TailCache m_cache;
    int64_t m_readStartNs = 0;  // wall clock before the first read
    std::vector<std::jthread> m_threads;
};

}  // namespace picking
