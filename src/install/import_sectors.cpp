// The sector-membership CSV made into a sector library.
#include <algorithm>
#include <ctime>
#include <map>

#include "base/gbk.h"
#include "data/capacities.h"
#include "data/sector_library_file.h"
#include "install/csv_text.h"
#include "install/import.h"
#include "install/import_bars.h"
#include "install/tables.h"
#include "sectors/scan.h"

namespace install {
namespace {

constexpr size_t kFamilyField = 0;
constexpr size_t kSectorField = 1;
constexpr size_t kCodeField = 2;
constexpr size_t kFields = 3;
constexpr size_t kMaxNameBytes = 255;    // the record's one-byte name length
constexpr size_t kMaxMembers = 0xFFFF;   // the record's 16-bit member count
constexpr uint32_t kMaxSerial = 0xFFFF;  // the upper 16 bits of a sector number
// The scan's limit on sectors keeps every serial inside its 16 bits.
static_assert(sectors::kMaxScanSectors <= kMaxSerial);

uint32_t TodayDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<uint32_t>((local.tm_year + 1900) * 10'000 + (local.tm_mon + 1) * 100 +
                                 local.tm_mday);
}

// The library being built: sectors in order of first appearance, serials
// counted per family.
class LibraryBuilder {
public:
    base::Status Add(const CsvLine& line) {
        if (line.fields.size() != kFields)
            return base::Error{"应有3列（类别,板块,代码），实有" +
                               std::to_string(line.fields.size()) + "列"};
        const auto family = SectorFamilyCode(line.fields[kFamilyField]);
        if (!family)
            return base::Error{"类别应为概念、行业、地区或新概念、新行业、新地区（" +
                               line.fields[kFamilyField] + "）"};
        const std::string& name = line.fields[kSectorField];
        if (name.empty() || HasControlCharacter(name))
            return base::Error{"板块名称为空或含控制字符"};
        const std::string gbk = base::Utf8ToGbk(name);
        if (gbk.size() > kMaxNameBytes) return base::Error{"板块名称超过255字节：" + name};
        const auto code = ParseSixDigitCode(line.fields[kCodeField]);
        if (!code) return base::Error{"股票代码不是六位数字（" + line.fields[kCodeField] + "）"};
        const auto key = std::make_pair(*family, gbk);
        auto found = m_index.find(key);
        if (found == m_index.end()) {
            if (m_sectors.size() >= sectors::kMaxScanSectors)
                return base::Error{"板块超过" + std::to_string(sectors::kMaxScanSectors) +
                                   "个，板块扫描容纳不下"};
            const uint32_t serial = ++m_serials[*family];
            found = m_index.emplace(key, m_sectors.size()).first;
            m_sectors.push_back({*family, serial, gbk, {}});
        }
        m_sectors[found->second].members.push_back(*code);
        ++m_memberships;
        return {};
    }

    // The sectors with their members sorted and single; fails on a sector
    // with more members than its record can count.
    base::Result<std::vector<data::SectorRecord>> Finish() {
        for (data::SectorRecord& sector : m_sectors) {
            auto& m = sector.members;
            std::sort(m.begin(), m.end());
            m.erase(std::unique(m.begin(), m.end()), m.end());
            if (m.size() > kMaxMembers)
                return base::Error{"板块成员超过65535只：" + base::GbkToUtf8(sector.name)};
        }
        return m_sectors;
    }

    size_t Memberships() const { return m_memberships; }

private:
    std::vector<data::SectorRecord> m_sectors;
    std::map<std::pair<uint32_t, std::string>, size_t> m_index;
    std::map<uint32_t, uint32_t> m_serials;
    size_t m_memberships = 0;
};

}  // namespace

base::Result<SectorImportReport> ImportSectors(data::Workspace& workspace,
                                               data::MarketState& market, const std::string& csv,
                                               uint32_t libraryDate) {
    LibraryBuilder builder;
    const auto isHeader = [](const CsvLine& first) {
        return first.fields.size() == kFields && IsColumnName(first.fields[kCodeField]);
    };
    auto walked = ForEachCsvLine(csv, isHeader, [&](const CsvLine& line) -> base::Status {
        if (auto s = builder.Add(line); !s)
            return base::Error{s.error() + "：" + PlaceText(csv, PlaceKind::Line, line.number)};
        return {};
    });
    if (!walked) return base::Error{"板块文件未导入，" + walked.error()};
    if (builder.Memberships() == 0) return base::Error{"板块文件中没有板块成员：" + csv};
    auto sectors = builder.Finish();
    if (!sectors) return base::Error{"板块文件未导入，" + sectors.error()};
    const uint32_t date = libraryDate != 0 ? libraryDate : TodayDate();
    const auto bytes = data::EncodeSectorLibrary(date, {}, *sectors);
    if (bytes.size() > data::kSectorLibraryReadBytes)
        return base::Error{"板块文件未导入，生成的板块库有" + std::to_string(bytes.size()) +
                           "字节，超过程序读取的" + std::to_string(data::kSectorLibraryReadBytes) +
                           "字节"};
    if (auto s = ReplaceSectorLibrary(workspace, market, bytes, date); !s)
        return base::Error{s.error()};
    SectorImportReport report{sectors->size(), 0};
    for (const data::SectorRecord& sector : *sectors) report.memberships += sector.members.size();
    return report;
}

}  // namespace install
