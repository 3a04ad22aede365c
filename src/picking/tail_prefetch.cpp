#include "picking/tail_prefetch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "base/file_io.h"
#include "data/capacities.h"

namespace picking {
namespace {

constexpr size_t kRecordBytes = data::kStockRecordWords * 4;
constexpr unsigned kMostThreads = 4;
constexpr size_t kLookAhead = 64;
constexpr size_t kWaitBatch = 32;

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
    // One fstat both refuses what is not a regular file and gives the size.
    uint64_t bytes = 0;
    const auto opened = base::OpenForReading(path, &bytes);
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
    threads = std::max(1u, threads);
    for (unsigned t = 0; t < threads; ++t)
        m_threads.emplace_back([this, t, threads](std::stop_token stop) { Work(stop, t, threads); });
}

TailPrefetch::~TailPrefetch() {
    for (auto& thread : m_threads) thread.request_stop();
    m_threads.clear();  // joins
}

unsigned TailPrefetch::DefaultThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
}

void TailPrefetch::Work(std::stop_token stop, unsigned first, unsigned step) {
    for (size_t i = first; i < m_codes.size() && !stop.stop_requested(); i += step) {
        Slot& slot = m_slots[i];
        int state = kFailed;
        const std::string path = data::DayFilePath(m_paths, m_codes[i]);
        size_t records = 0;
        const int fd = OpenDayFile(path, records);
        if (fd >= 0) {
            slot.fileRecords = records;
            slot.count = std::min(slot.fileRecords, m_wanted);
            if (slot.count > 0 &&
                ReadNewestRecords(fd, slot.fileRecords, slot.count,
                                  m_bytes.data() + i * m_wanted * kRecordBytes))
                state = kReady;
            ::close(fd);
        }
        slot.state.store(state, std::memory_order_release);
        slot.state.notify_one();
    }
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
    int state = slot.state.load(std::memory_order_acquire);
    if (state == kPending) {
        // Caught up with the helpers: sleep until a batch further on is read,
        // not once a file, as every sleep and wake-up costs system calls.
        Slot& later = m_slots[std::min(m_codes.size() - 1, i + kWaitBatch)];
        while (later.state.load(std::memory_order_acquire) == kPending)
            later.state.wait(kPending, std::memory_order_acquire);
    }
    while ((state = slot.state.load(std::memory_order_acquire)) == kPending)
        slot.state.wait(kPending, std::memory_order_acquire);
    if (state != kReady) return std::nullopt;
    return Tail{slot.fileRecords,
                {m_bytes.data() + i * m_wanted * kRecordBytes, slot.count * kRecordBytes}};
}

}  // namespace picking
