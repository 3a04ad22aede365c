#include "picking/tail_prefetch.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>

#include "base/file_io.h"
#include "data/capacities.h"

namespace picking {
namespace {

constexpr size_t kRecordBytes = data::kStockRecordWords * 4;
constexpr unsigned kMostThreads = 4;
constexpr size_t kLookAhead = 64;
constexpr size_t kWaitBatch = 32;

// The clock file change times are kept in.
int64_t WallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A futex of our own rather than atomic::wait: the library's wait spins and
// yields before it sleeps, and its notify may call the kernel for waiters on
// other slots that share its table.
void SleepWhile(std::atomic<uint32_t>& word, uint32_t value) {
    ::syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT_PRIVATE, value, nullptr,
              nullptr, 0);
}

void WakeAll(std::atomic<uint32_t>& word) {
    ::syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr,
              nullptr, 0);
}

}  // namespace

size_t DayFileRecords(int fd) {
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_size < 0) return 0;
    return DayFileRecordsOfSize(static_cast<uint64_t>(info.st_size));
}

size_t DayFileRecordsOfSize(uint64_t bytes) {
    return bytes > data::kDayHeaderBytes
               ? static_cast<size_t>((bytes - data::kDayHeaderBytes) / kRecordBytes)
               : 0;
}

int OpenDayFile(const std::string& path, size_t& records) {
    return OpenDayFileIn(AT_FDCWD, path, records);
}

int OpenDayFileIn(int folder, const std::string& name, size_t& records, FileStamp* stamp) {
    // One fstat both refuses what is not a regular file and gives the size.
    struct stat info {};
    const auto opened = base::OpenRegularFileIn(folder, name, info);
    records = opened ? DayFileRecordsOfSize(static_cast<uint64_t>(std::max<off_t>(info.st_size, 0))) : 0;
    if (opened && stamp) *stamp = StampOf(info);
    return opened ? *opened : -1;
}

bool ReadNewestRecords(int fd, size_t records, size_t count, uint8_t* dest) {
    if (count > records) return false;
    const size_t want = count * kRecordBytes;
    const off_t at = static_cast<off_t>(data::kDayHeaderBytes + (records - count) * kRecordBytes);
    size_t done = 0;
    while (done < want) {
        const ssize_t n = ::pread(fd, dest + done, want - done, at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

TailPrefetch::TailPrefetch(const data::DataPaths& paths, std::vector<uint32_t> codes, size_t wanted,
                           unsigned threads, TailCacheUse cache)
    : m_paths(paths),
      m_codes(std::move(codes)),
      m_wanted(wanted),
      m_slots(std::make_unique<Slot[]>(m_codes.size())),
      m_bytes(new uint8_t[m_codes.size() * wanted * kRecordBytes]),
      m_cacheUse(cache) {
    // A read further back than the cache keeps neither uses nor changes it.
    m_cacheUse.enabled = m_cacheUse.enabled && wanted <= TailCache::kMostRecords;
    if (m_cacheUse.enabled) {
        m_readStartNs = WallClockNs();
        m_cache.Load(TailCache::PathOf(m_paths));
    }
    // Four thousand opens by whole path walk the same folders four thousand
    // times; opening inside the folder walks only the file's own name.
    m_shFolder = base::OpenFolder(m_paths.shFolder);
    m_szFolder = base::OpenFolder(m_paths.szFolder);
    threads = std::max(1u, threads);
    for (unsigned t = 0; t < threads; ++t)
        m_threads.emplace_back([this, t, threads](std::stop_token stop) { Work(stop, t, threads); });
}

TailPrefetch::~TailPrefetch() {
    for (auto& thread : m_threads) thread.request_stop();
    m_threads.clear();  // joins
    if (m_shFolder >= 0) ::close(m_shFolder);
    if (m_szFolder >= 0) ::close(m_szFolder);
}

uint8_t* TailPrefetch::SlotBytes(size_t i) { return m_bytes.get() + i * m_wanted * kRecordBytes; }

int TailPrefetch::FolderOf(uint32_t code) const {
    return data::IsShenzhenCode(code) ? m_szFolder : m_shFolder;
}

int TailPrefetch::OpenDayFileOf(uint32_t code, size_t& records, FileStamp& stamp) const {
    const int folder = FolderOf(code);
    if (folder < 0) return OpenDayFileIn(AT_FDCWD, data::DayFilePath(m_paths, code), records, &stamp);
    return OpenDayFileIn(folder, data::DayFileName(code), records, &stamp);
}

bool TailPrefetch::ServeFromCache(size_t i) {
    const uint32_t code = m_codes[i];
    const int folder = FolderOf(code);
    const TailCache::Entry* kept = m_cache.Find(code);
    if (!kept || folder < 0) return false;
    const size_t count = std::min(kept->fileRecords, m_wanted);
    if (count == 0 || kept->bytes.size() / kRecordBytes < count) return false;
    struct stat info {};
    if (::fstatat(folder, data::DayFileName(code).c_str(), &info, 0) != 0 ||
        !S_ISREG(info.st_mode) || StampOf(info) != kept->stamp)
        return false;
    Slot& slot = m_slots[i];
    slot.bytes = kept->bytes.data() + kept->bytes.size() - count * kRecordBytes;
    slot.fileRecords = kept->fileRecords;
    slot.count = count;
    slot.cached = true;
    return true;
}

int TailPrefetch::ReadFromFile(size_t i) {
    Slot& slot = m_slots[i];
    size_t records = 0;
    const int fd = OpenDayFileOf(m_codes[i], records, slot.stamp);
    if (fd < 0) return kFailed;
    slot.fileRecords = records;
    slot.count = std::min(records, m_wanted);
    slot.bytes = SlotBytes(i);
    const bool read = slot.count > 0 && ReadNewestRecords(fd, records, slot.count, SlotBytes(i));
    ::close(fd);
    return read ? kReady : kFailed;
}

size_t TailPrefetch::CacheHits() const {
    size_t hits = 0;
    for (size_t i = 0; i < m_codes.size(); ++i)
        hits += m_slots[i].state.load(std::memory_order_acquire) == kReady && m_slots[i].cached;
    return hits;
}

void TailPrefetch::SaveCache() {
    if (!m_cacheUse.enabled) return;
    for (auto& thread : m_threads) thread.request_stop();
    m_threads.clear();  // joins
    std::vector<TailCache::Entry> fresh;
    std::vector<uint32_t> replaced;  // read again: what was kept is out of date
    bool changed = false;
    for (size_t i = 0; i < m_codes.size(); ++i) {
        const Slot& slot = m_slots[i];
        const int state = slot.state.load(std::memory_order_acquire);
        if (state == kPending || slot.cached) continue;
        replaced.push_back(m_codes[i]);
        changed = changed || m_cache.Find(m_codes[i]) != nullptr;
        if (state == kReady && TailCache::Settled(slot.stamp, m_readStartNs, m_cacheUse.settleNs))
            fresh.push_back({m_codes[i], slot.stamp, slot.fileRecords,
                             {slot.bytes, slot.count * kRecordBytes}});
    }
    if (fresh.empty() && !changed) return;
    m_cache.Save(TailCache::PathOf(m_paths), fresh, replaced);
}

unsigned TailPrefetch::DefaultThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
}

void TailPrefetch::Work(std::stop_token stop, unsigned first, unsigned step) {
    for (size_t i = first; i < m_codes.size() && !stop.stop_requested(); i += step) {
        Slot& slot = m_slots[i];
        const int state = m_cacheUse.enabled && ServeFromCache(i) ? kReady : ReadFromFile(i);
        slot.state.store(state, std::memory_order_seq_cst);
        // Only the consumer asleep on this very slot costs a wake-up.
        if (i == m_wakeAt.load(std::memory_order_seq_cst)) {
            m_progress.fetch_add(1, std::memory_order_seq_cst);
            WakeAll(m_progress);
        }
    }
}

void TailPrefetch::WaitFor(size_t i) {
    // The sleep is on m_progress, which the helper of slot i bumps after
    // finishing it once it sees m_wakeAt; the slot is looked at again after
    // m_wakeAt is set, so a helper that finished it before saw no sleeper.
    while (m_slots[i].state.load(std::memory_order_acquire) == kPending) {
        const uint32_t seen = m_progress.load(std::memory_order_seq_cst);
        m_wakeAt.store(i, std::memory_order_seq_cst);
        if (m_slots[i].state.load(std::memory_order_seq_cst) != kPending) break;
        SleepWhile(m_progress, seen);
    }
    m_wakeAt.store(kNobody, std::memory_order_seq_cst);
}

std::optional<TailPrefetch::Tail> TailPrefetch::Take(uint32_t code) {
    // Codes the caller passed over without reading them are skipped; a code
    // not found a short way ahead is read by the caller.
    const size_t end = std::min(m_codes.size(), m_next + kLookAhead);
    size_t i = m_next;
    while (i < end && m_codes[i] != code) ++i;
    if (i == end) return std::nullopt;
    m_next = i + 1;
    Slot& slot = m_slots[i];
    if (slot.state.load(std::memory_order_acquire) == kPending) {
        // Caught up with the helpers: sleep until a batch further on is read,
        // not once a file, as every sleep and wake-up costs system calls.
        WaitFor(std::min(m_codes.size() - 1, i + kWaitBatch));
        WaitFor(i);
    }
    if (slot.state.load(std::memory_order_acquire) != kReady) return std::nullopt;
    return Tail{slot.fileRecords,
                {slot.bytes, slot.count * kRecordBytes}};
}

}  // namespace picking
