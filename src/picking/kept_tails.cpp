#include "picking/kept_tails.h"

#include <sys/stat.h>

#include <algorithm>

#include "data/capacities.h"
#include "data/day_files.h"

namespace picking {
namespace {

constexpr size_t kRecordBytes = data::kStockRecordWords * 4;

}  // namespace

bool KeptTails::FolderStamp::operator==(const FolderStamp& other) const {
    return present == other.present && device == other.device && inode == other.inode &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

KeptTails::FolderStamp KeptTails::StampOf(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return {};
    return {true, info.st_dev, info.st_ino, info.st_mtim};
}

void KeptTails::PrepareRun(const data::DataPaths& paths, size_t records) {
    const std::array<FolderStamp, 2> folders = {StampOf(paths.shFolder), StampOf(paths.szFolder)};
    if (m_dataChanged || folders != m_folders || records > m_shallowest) Clear();
    m_dataChanged = false;
    m_folders = folders;
}

std::optional<TailPrefetch::Tail> KeptTails::Find(uint32_t code) const {
    const auto it = m_tails.find(code);
    if (it == m_tails.end()) return std::nullopt;
    return TailPrefetch::Tail{it->second.fileRecords, it->second.bytes, it->second.ordered};
}

void KeptTails::Keep(uint32_t code, size_t fileRecords, std::span<const uint8_t> newest) {
    const size_t count = std::min(newest.size() / kRecordBytes, kMostRecords);
    if (count == 0) return;
    Kept& kept = m_tails[code];
    kept.fileRecords = fileRecords;
    kept.bytes.assign(newest.end() - static_cast<std::ptrdiff_t>(count * kRecordBytes),
                      newest.end());
    kept.ordered = data::DayRecordsInOrder(kept.bytes);
    if (count < fileRecords) m_shallowest = std::min(m_shallowest, count);
}

void KeptTails::Clear() {
    m_tails.clear();
    m_shallowest = SIZE_MAX;
}

}  // namespace picking
