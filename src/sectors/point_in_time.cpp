#include "sectors/point_in_time.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "data/day_files.h"

namespace sectors {
namespace {

namespace fs = std::filesystem;

// Generous: a day file holds at most some tens of thousands of records.
constexpr size_t kMostDayFileBytes = 64u << 20;

// The file's header and the records dated on or before `date`.
std::vector<uint8_t> CutDayFile(std::vector<uint8_t> bytes, uint32_t code, uint32_t date) {
    const size_t record = (data::IsIndexCode(code) ? data::kIndexRecordWords
                                                   : data::kStockRecordWords) * 4;
    size_t end = data::kDayHeaderBytes;
    while (end + record <= bytes.size() && base::ReadU32(bytes.data() + end) <= date) end += record;
    bytes.resize(std::min(end, bytes.size()));
    return bytes;
}

base::Status CopyFolder(const fs::path& from, const fs::path& to, uint32_t date, bool cut) {
    std::error_code error;
    fs::create_directories(to, error);
    if (error) return base::Error{"无法建立文件夹 " + to.string()};
    for (const auto& entry : fs::directory_iterator(from, error)) {
        if (!entry.is_regular_file()) continue;
        const fs::path target = to / entry.path().filename();
        if (!cut || entry.path().extension() != ".day") {
            fs::copy_file(entry.path(), target, error);
            if (error) return base::Error{"无法复制 " + entry.path().string()};
            continue;
        }
        auto bytes = base::ReadWholeFile(entry.path().string(), kMostDayFileBytes);
        if (!bytes.ok()) return base::Error{"无法读取 " + entry.path().string()};
        const uint32_t code =
            static_cast<uint32_t>(std::strtoul(entry.path().stem().c_str(), nullptr, 10));
        const auto kept = CutDayFile(std::move(*bytes), code, date);
        const auto status = base::WriteFileAtomic(target.string(), kept);
        if (!status.ok()) return status;
    }
    if (error) return base::Error{"无法读取文件夹 " + from.string()};
    return {};
}

}  // namespace

base::Status CopyCutAt(const std::string& root, const std::string& copy, uint32_t date) {
    if (fs::exists(copy)) return base::Error{copy + " 已存在"};
    const fs::path from(root), to(copy);
    for (const char* folder : {"MKDAT"}) {
        if (!fs::exists(from / folder)) continue;
        const auto status = CopyFolder(from / folder, to / folder, date, false);
        if (!status.ok()) return status;
    }
    for (const char* folder : {"MKDAY/SH", "MKDAY/SZ"}) {
        const auto status = CopyFolder(from / folder, to / folder, date, true);
        if (!status.ok()) return status;
    }
    return {};
}

std::vector<std::string> CompareScans(const ScanOutcome& full, const ScanOutcome& cut) {
    std::vector<std::string> out;
    if (full.referenceDate != cut.referenceDate)
        out.push_back("参考日 " + std::to_string(full.referenceDate) + " / " +
                      std::to_string(cut.referenceDate));
    if (full.selected != cut.selected)
        out.push_back("选出股 " + std::to_string(full.selected.size()) + " / " +
                      std::to_string(cut.selected.size()));
    const auto& a = full.ranking.sectors;
    const auto& b = cut.ranking.sectors;
    if (a.size() != b.size())
        out.push_back("板块数 " + std::to_string(a.size()) + " / " + std::to_string(b.size()));
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i].number != b[i].number || a[i].hits != b[i].hits || a[i].score != b[i].score)
            out.push_back("第 " + std::to_string(i + 1) + " 名 " + std::to_string(a[i].number) +
                          "/" + std::to_string(a[i].score) + " 与 " +
                          std::to_string(b[i].number) + "/" + std::to_string(b[i].score));
    }
    if (full.limits != cut.limits) out.push_back("涨停跌停统计不同");
    if (full.result != cut.result && out.empty()) out.push_back("扫描结果不同");
    return out;
}

PointInTimeResult CheckPointInTime(const std::string& root, const std::string& scratch,
                                   uint32_t date, const RootScan& scan) {
    PointInTimeResult result;
    const std::string copy = scratch + "/cut";
    if (!CopyCutAt(root, copy, date).ok()) return result;
    auto full = std::make_unique<ScanOutcome>();
    auto cut = std::make_unique<ScanOutcome>();
    if (scan(root, date, *full) && scan(copy, date, *cut)) {
        result.ran = true;
        result.differences = CompareScans(*full, *cut);
    }
    std::error_code error;
    fs::remove_all(copy, error);
    return result;
}

}  // namespace sectors
