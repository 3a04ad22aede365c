#include "install/day_merge.h"

#include <algorithm>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "install/package.h"

namespace install {
namespace {

constexpr uint32_t kLatestDateLimit = 20'300'000;

uint32_t DateAt(std::span<const uint8_t> image, size_t record, size_t recordBytes) {
    return base::ReadU32(image.data() + data::kDayHeaderBytes + record * recordBytes);
}

void WriteHeader(uint8_t* p, uint32_t code) {
    std::fill_n(p, data::kDayHeaderBytes, 0);
    std::copy_n(data::IsShenzhenCode(code) ? "MKSZ" : "MKSH", 4, p);
    base::WriteU32(p + 4, code);
    base::WriteU32(p + 8, 2);
}

void Keep(IndexBookkeeping& book, std::span<const uint8_t> image, size_t recordBytes,
          uint32_t firstDate, uint32_t lastDate) {
    const bool lowerFirst = book.firstIndexDate == 0 || firstDate < book.firstIndexDate;
    if (book.mode == DownloadMode::Daily) {
        if (lastDate > book.latestDate && lastDate <= kLatestDateLimit) book.latestDate = lastDate;
        if (lowerFirst) book.firstIndexDate = firstDate;
    } else if (book.mode == DownloadMode::History) {
        if (lowerFirst) book.firstIndexDate = firstDate;
        const size_t records = (image.size() - data::kDayHeaderBytes) / recordBytes;
        for (size_t r = 0; r < records; ++r) {
            const uint32_t year = DateAt(image, r, recordBytes) / 10'000;
            for (size_t k = 0; k < kHistoryYears.size(); ++k)
                if (year == kHistoryYears[k]) book.historyInstalled[k] = true;
        }
    }
}

// Reads the whole file into `out`; false when it cannot be read whole.
bool ReadInto(const std::string& path, uint64_t size, std::vector<uint8_t>& out) {
    out.resize(static_cast<size_t>(size));
    auto read = base::ReadFileInto(path, out);
    return read && *read == out.size();
}

}  // namespace

MergeResult MergeDayRecords(const data::DataPaths& paths, uint32_t code,
                            std::span<const uint32_t> records, MergeScratch& scratch,
                            IndexBookkeeping* bookkeeping) {
    MergeResult result;
    const size_t width = RecordWordsOf(code);
    const size_t recordBytes = width * 4;
    if (records.empty() || records.size() % width != 0) {
        result.reason = "记录不完整：" + data::CodeText(code);
        return result;
    }
    const size_t newCount = records.size() / width;
    const uint32_t first = records[0];
    const uint32_t last = records[records.size() - width];
    const std::string path = data::DayFilePath(paths, code);

    uint64_t size = 0;
    const base::PathKind kind = base::InspectPath(path, &size);
    std::vector<uint8_t>& merged = scratch.merged;
    if (kind == base::PathKind::Other) {
        result.reason = "日线文件无法打开：" + path;
        return result;
    }
    if (kind == base::PathKind::Missing) {
        merged.resize(data::kDayHeaderBytes + records.size() * 4);
        WriteHeader(merged.data(), code);
        std::copy_n(reinterpret_cast<const uint8_t*>(records.data()), records.size() * 4,
                    merged.data() + data::kDayHeaderBytes);
        result.outcome = MergeOutcome::Created;
    } else {
        if (size > kMaxMergedFileBytes) {
            result.reason = "日线文件过大：" + path;
            return result;
        }
        if (size < data::kDayHeaderBytes || (size - data::kDayHeaderBytes) % recordBytes != 0) {
            result.reason = "日线文件长度不是整条记录，未改动：" + path;
            return result;
        }
        std::vector<uint8_t>& old = scratch.old;
        if (!ReadInto(path, size, old)) {
            result.reason = "日线文件无法读取：" + path;
            return result;
        }
        const size_t oldCount = (old.size() - data::kDayHeaderBytes) / recordBytes;
        size_t insertAt = 0;
        while (insertAt < oldCount && DateAt(old, insertAt, recordBytes) < first) ++insertAt;
        size_t spanEnd = insertAt;
        while (spanEnd < oldCount && DateAt(old, spanEnd, recordBytes) <= last) ++spanEnd;

        const size_t keptBefore = data::kDayHeaderBytes + insertAt * recordBytes;
        const size_t keptAfter = (oldCount - spanEnd) * recordBytes;
        merged.resize(keptBefore + newCount * recordBytes + keptAfter);
        std::copy_n(old.data(), keptBefore, merged.data());
        std::copy_n(reinterpret_cast<const uint8_t*>(records.data()), newCount * recordBytes,
                    merged.data() + keptBefore);
        std::copy_n(old.data() + data::kDayHeaderBytes + spanEnd * recordBytes, keptAfter,
                    merged.data() + keptBefore + newCount * recordBytes);
        result.outcome = merged == old ? MergeOutcome::Unchanged : MergeOutcome::Merged;
    }

    if (result.outcome != MergeOutcome::Unchanged) {
        if (kind == base::PathKind::Missing) {
            const size_t slash = path.rfind('/');
            if (auto s = base::MakeFolders(path.substr(0, slash)); !s) {
                result = {MergeOutcome::Skipped, "日线文件无法建立：" + path, 0, 0};
                return result;
            }
        }
        // The install syncs the file system once at its end.
        if (auto s = base::WriteFileAtomic(path, merged, base::Durability::NoFlush); !s) {
            result = {MergeOutcome::Skipped, "日线文件无法写入：" + path, 0, 0};
            return result;
        }
    }
    const size_t mergedCount = (merged.size() - data::kDayHeaderBytes) / recordBytes;
    result.firstDate = DateAt(merged, 0, recordBytes);
    result.lastDate = DateAt(merged, mergedCount - 1, recordBytes);
    if (bookkeeping && code == data::kShanghaiIndexCode)
        Keep(*bookkeeping, merged, recordBytes, result.firstDate, result.lastDate);
    return result;
}

HistoryRecord HistoryStatus(const data::DataPaths& paths, uint32_t code) {
    HistoryRecord record;
    const std::string path = data::DayFilePath(paths, code);
    uint64_t size = 0;
    if (base::InspectPath(path, &size) != base::PathKind::RegularFile) return record;
    const size_t recordBytes = RecordWordsOf(code) * 4;
    record.bytes = size;
    if (size < data::kDayHeaderBytes + recordBytes || size > kMaxMergedFileBytes) return record;
    std::vector<uint8_t> image;
    if (!ReadInto(path, size, image)) return {};
    const size_t bars = (image.size() - data::kDayHeaderBytes) / recordBytes;
    record.bars = bars;
    record.firstDate = DateAt(image, 0, recordBytes);
    record.secondDate = bars > 1 ? DateAt(image, 1, recordBytes) : 0;
    record.lastDate = DateAt(image, bars - 1, recordBytes);
    for (size_t r = 0; r < bars; ++r) {
        const uint32_t year = DateAt(image, r, recordBytes) / 10'000;
        for (size_t k = 0; k < kHistoryYears.size(); ++k)
            if (year == kHistoryYears[k]) record.years[k] = true;
    }
    return record;
}

std::array<bool, 3> HistoryInstalled(const data::DataPaths& paths) {
    HistoryRecord index = HistoryStatus(paths, data::kShanghaiIndexCode);
    if (index.bars == 0) index = HistoryStatus(paths, data::kShenzhenIndexCode);
    return index.years;
}

std::array<std::string, 4> HistoryEntryTexts(const std::array<bool, 3>& installed) {
    std::array<std::string, 4> texts = {"MK1990年-1999年(14.46M)", "MK2000年-2009年(56.67M)",
                                        "MK2010年-2013年(40.58M)", "预留下载接口"};
    for (size_t k = 0; k < installed.size(); ++k)
        if (installed[k]) texts[k] += "[已安装]";
    return texts;
}

}  // namespace install
