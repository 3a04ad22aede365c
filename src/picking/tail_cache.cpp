#include "picking/tail_cache.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "picking/tail_prefetch.h"

namespace picking {
namespace {

// Layout, little-endian: "BKQYTL01", entry count (u32), record size (u32),
// checksum of everything after the header (u64); then per entry, in
// ascending codes: code, file records, records kept, 0 (u32 each), device,
// inode, size (u64 each), modification and change time in ns (i64 each),
// and the records kept.
constexpr char kMagic[8] = {'B', 'K', 'Q', 'Y', 'T', 'L', '0', '1'};
constexpr size_t kHeaderBytes = 24;
constexpr size_t kEntryHeadBytes = 56;
constexpr size_t kRecordBytes = data::kStockRecordWords * 4;
constexpr uint32_t kHighestCode = 999'999;
// Four thousand stocks at the most kept: a larger file is not ours.
constexpr size_t kMostBytes = 64u << 20;

uint64_t ReadU64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

void WriteU64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }

// A word at a time: the file is a megabyte or two, read by every scan.
uint64_t Checksum(std::span<const uint8_t> bytes) {
    uint64_t h = 0xCBF29CE484222325ull;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) h = (h ^ ReadU64(bytes.data() + i)) * 0x100000001B3ull;
    for (; i < bytes.size(); ++i) h = (h ^ bytes[i]) * 0x100000001B3ull;
    return h;
}

}  // namespace

FileStamp StampOf(const struct stat& info) {
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
            static_cast<uint64_t>(std::max<off_t>(info.st_size, 0)),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            static_cast<int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec};
}

std::string TailCache::PathOf(const data::DataPaths& paths) {
    return paths.root + "MKDAT/BKQYTAIL.DAT";
}

bool TailCache::Settled(const FileStamp& stamp, int64_t readStartNs, int64_t settleNs) {
    return stamp.changedNs <= readStartNs - settleNs;
}

void TailCache::Load(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, kMostBytes);
    Parse(bytes ? std::move(*bytes) : std::vector<uint8_t>{});
}

void TailCache::Parse(std::vector<uint8_t> bytes) {
    m_entries.clear();
    m_bytes = std::move(bytes);
    const std::span<const uint8_t> all(m_bytes);
    const auto damaged = [this] {
        m_entries.clear();
        m_bytes.clear();
    };
    if (all.size() < kHeaderBytes || std::memcmp(all.data(), kMagic, sizeof kMagic) != 0 ||
        base::ReadU32(all.data() + 12) != kRecordBytes ||
        ReadU64(all.data() + 16) != Checksum(all.subspan(kHeaderBytes)))
        return damaged();
    const size_t count = base::ReadU32(all.data() + 8);
    m_entries.reserve(std::min(count, all.size() / kEntryHeadBytes));
    size_t at = kHeaderBytes;
    for (size_t k = 0; k < count; ++k) {
        if (all.size() - at < kEntryHeadBytes) return damaged();
        const uint8_t* p = all.data() + at;
        Entry e;
        e.code = base::ReadU32(p);
        e.fileRecords = base::ReadU32(p + 4);
        const size_t kept = base::ReadU32(p + 8);
        e.stamp = {ReadU64(p + 16), ReadU64(p + 24), ReadU64(p + 32),
                   static_cast<int64_t>(ReadU64(p + 40)), static_cast<int64_t>(ReadU64(p + 48))};
        const bool ascending = m_entries.empty() || m_entries.back().code < e.code;
        if (e.code > kHighestCode || !ascending || kept == 0 || kept > kMostRecords ||
            kept > e.fileRecords || e.fileRecords != DayFileRecordsOfSize(e.stamp.size) ||
            (all.size() - at - kEntryHeadBytes) / kRecordBytes < kept)
            return damaged();
        e.bytes = all.subspan(at + kEntryHeadBytes, kept * kRecordBytes);
        at += kEntryHeadBytes + kept * kRecordBytes;
        m_entries.push_back(e);
    }
    if (at != all.size()) return damaged();
}

const TailCache::Entry* TailCache::Find(uint32_t code) const {
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), code,
                                     [](const Entry& e, uint32_t c) { return e.code < c; });
    return it != m_entries.end() && it->code == code ? &*it : nullptr;
}

std::vector<uint8_t> TailCache::Encode(std::vector<Entry> entries) {
    // A code twice (a list may name a stock twice) is kept once.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.code < b.code; });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const Entry& a, const Entry& b) { return a.code == b.code; }),
                  entries.end());
    size_t size = kHeaderBytes;
    for (const Entry& e : entries) size += kEntryHeadBytes + e.bytes.size();
    std::vector<uint8_t> bytes(size, 0);
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    base::WriteU32(bytes.data() + 8, static_cast<uint32_t>(entries.size()));
    base::WriteU32(bytes.data() + 12, kRecordBytes);
    uint8_t* p = bytes.data() + kHeaderBytes;
    for (const Entry& e : entries) {
        base::WriteU32(p, e.code);
        base::WriteU32(p + 4, static_cast<uint32_t>(e.fileRecords));
        base::WriteU32(p + 8, static_cast<uint32_t>(e.bytes.size() / kRecordBytes));
        WriteU64(p + 16, e.stamp.device);
        WriteU64(p + 24, e.stamp.inode);
        WriteU64(p + 32, e.stamp.size);
        WriteU64(p + 40, static_cast<uint64_t>(e.stamp.modifiedNs));
        WriteU64(p + 48, static_cast<uint64_t>(e.stamp.changedNs));
        std::copy(e.bytes.begin(), e.bytes.end(), p + kEntryHeadBytes);
        p += kEntryHeadBytes + e.bytes.size();
    }
    WriteU64(bytes.data() + 16, Checksum(std::span<const uint8_t>(bytes).subspan(kHeaderBytes)));
    return bytes;
}

bool TailCache::Save(const std::string& path, const std::vector<Entry>& fresh,
                     std::span<const uint32_t> replaced) const {
    std::unordered_set<uint32_t> gone(replaced.begin(), replaced.end());
    for (const Entry& e : fresh) gone.insert(e.code);
    std::vector<Entry> entries = fresh;
    for (const Entry& e : m_entries)
        if (!gone.count(e.code)) entries.push_back(e);
    // A copy lost in a crash is read again: no wait for the disk.
    return base::WriteFileAtomic(path, Encode(std::move(entries)), base::Durability::NoFlush).ok();
}

}  // namespace picking
