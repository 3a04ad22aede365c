#include "picking/tail_prefetch.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include "base/file_io.h"
#include "data/capacities.h"

namespace picking {
namespace {

constexpr size_t kRecordBytes = data::kStockRecordWords * 4;
constexpr unsigned kMostThreads = 4;
constexpr size_t kLookAhead = 64;
constexpr size_t kWaitBatch = 32;

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

int OpenDayFileIn(int folder, const std::string& name, size_t& records) {
    // One fstat both refuses what is not a regular file and gives the size.
    uint64_t bytes = 0;
    const auto opened = base::OpenForReadingIn(folder, name, &bytes);
    records = opened ? DayFileRecordsOfSize(bytes) : 0;
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
                           unsigned threads)
    : m_paths(paths),
      m_codes(std::move(codes)),
      m_wanted(wanted),
      m_slots(std::make_unique<Slot[]>(m_codes.size())),
      m_bytes(m_codes.size() * wanted * kRecordBytes) {
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

int TailPrefetch::OpenDayFileOf(uint32_t code, size_t& records) const {
    const int folder = data::IsShenzhenCode(code) ? m_szFolder : m_shFolder;
    if (folder < 0) return OpenDayFile(data::DayFilePath(m_paths, code), records);
    return OpenDayFileIn(folder, data::DayFileName(code), records);
}

unsigned TailPrefetch::DefaultThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
}

void TailPrefetch::Work(std::stop_token stop, unsigned first, unsigned step) {
    for (size_t i = first; i < m_codes.size() && !stop.stop_requested(); i += step) {
        Slot& slot = m_slots[i];
        int state = kFailed;
        size_t records = 0;
        const int fd = OpenDayFileOf(m_codes[i], records);
        if (fd >= 0) {
            slot.fileRecords = records;
            slot.count = std::min(slot.fileRecords, m_wanted);
            if (slot.count > 0 &&
                ReadNewestRecords(fd, slot.fileRecords, slot.count,
                                  m_bytes.data() + i * m_wanted * kRecordBytes))
                state = kReady;
            ::close(fd);
        }
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
                {m_bytes.data() + i * m_wanted * kRecordBytes, slot.count * kRecordBytes}};
}

}  // namespace picking
