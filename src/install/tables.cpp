#include "install/tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/endian.h"
#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/ex_rights.h"
#include "data/sector_library_file.h"
#include "install/ex_rights_merge.h"

namespace install {
namespace {

constexpr uint32_t kDateCentury = 20'000'000;
constexpr size_t kSectorHeaderBytes = 16;
constexpr size_t kSectorDateByte = 12;

base::Status Write(const std::string& path, std::span<const uint8_t> bytes) {
    if (auto s = base::WriteFileAtomic(path, bytes); !s)
        return base::Error{"写入文件失败：" + path};
    return {};
}

// The code-table image is whole: a header, and the records it counts.
bool CodeImageIsWhole(std::span<const uint8_t> bytes) {
    const size_t header = data::kCodeHeaderWords * 4;
    if (bytes.size() < header) return false;
    const size_t records = (bytes.size() - header) / (data::kCodeRecordWords * 4);
    return base::ReadU32(bytes.data()) <= records;
}

// Every record the header counts lies inside the bytes.
bool SectorLibraryIsWhole(std::span<const uint8_t> bytes) {
    if (bytes.size() < kSectorHeaderBytes) return false;
    const uint32_t count = base::ReadU24(bytes.data());
    size_t at = kSectorHeaderBytes;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < 6) return false;
        const size_t members = base::ReadU16(bytes.data() + at);
        const size_t nameLength = bytes[at + 5];
        const size_t length = 6 + nameLength + 3 * members;
        if (bytes.size() - at < length) return false;
        at += length;
    }
    return true;
}

bool ExRightsImageIsWhole(std::span<const uint8_t> bytes) {
    if (bytes.size() < data::kExRightsRecordBytes) return false;
    const float count = base::ReadF32(bytes.data());
    const size_t records = bytes.size() / data::kExRightsRecordBytes - 1;
    return std::isfinite(count) && count >= 0 && count <= static_cast<float>(records);
}

void UseExRights(data::Workspace& workspace, data::MarketState& market,
                 std::span<const uint8_t> bytes) {
    auto buffer = workspace.Bytes(data::BufferId::ExRights);
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    std::fill(buffer.begin() + static_cast<ptrdiff_t>(bytes.size()), buffer.end(), 0);
    market.exRights = data::ExRightsTable(buffer.first(bytes.size()));
}

// The loaded code table as MKCODE.DAT holds it, as bytes to change.
std::vector<uint8_t> CodeTableBytes(data::Workspace& workspace) {
    auto region = workspace.CodeTableRegion();
    const data::CodeTable table(region);
    const auto* first = reinterpret_cast<const uint8_t*>(region.data());
    return std::vector<uint8_t>(first, first + table.FileBytes());
}

void UseCodeTable(data::Workspace& workspace, data::MarketState& market,
                  std::span<const uint8_t> bytes) {
    auto region = workspace.CodeTableRegion();
    auto* dest = reinterpret_cast<uint8_t*>(region.data());
    std::copy(bytes.begin(), bytes.end(), dest);
    std::fill(dest + bytes.size(), dest + region.size_bytes(), 0);
    market.codeTableDate = LoadedDateForm(region[data::kCodeDateWord]);
    market.codeTableLoaded = true;
}

base::Result<TableMerge> MergeEvents(data::Workspace& workspace, data::MarketState& market,
                                     std::span<const StoredEvent> events, TableMerge merge) {
    ExRightsImage image(market.exRights.Bytes(), data::kExRightsBufferBytes);
    for (const StoredEvent& event : events) {
        switch (image.Merge(event)) {
            case EventMerge::Added:
            case EventMerge::Changed: ++merge.changed; break;
            case EventMerge::Unchanged: ++merge.unchanged; break;
            case EventMerge::TableFull:
                merge.skippedCodes.push_back(event.code);
                merge.problems.push_back("除权表已满，未能加入：" + data::CodeText(event.code));
                break;
        }
    }
    if (merge.changed == 0) return merge;
    if (auto s = Write(market.paths.exRights, image.FileBytes()); !s) return base::Error{s.error()};
    UseExRights(workspace, market, image.FileBytes());
    return merge;
}

}  // namespace

uint32_t LoadedDateForm(uint32_t stored) {
    return stored > kDateCentury ? stored - kDateCentury : stored;
}

std::optional<uint32_t> CodeTableFileDate(std::span<const uint8_t> bytes) {
    if (bytes.size() < data::kCodeHeaderWords * 4) return std::nullopt;
    return base::ReadU32(bytes.data() + data::kCodeDateWord * 4);
}

std::optional<uint32_t> SectorLibraryFileDate(std::span<const uint8_t> bytes) {
    if (bytes.size() < kSectorHeaderBytes) return std::nullopt;
    return base::ReadU32(bytes.data() + kSectorDateByte);
}

std::optional<uint32_t> ExRightsFileDate(std::span<const uint8_t> bytes) {
    if (bytes.size() < data::kExRightsRecordBytes) return std::nullopt;
    const float date = base::ReadF32(bytes.data() + 12);
    if (!(date >= 0.0f && date < 4e9f)) return 0u;
    return static_cast<uint32_t>(date);
}

uint32_t LoadedExRightsDate(const data::MarketState& market) {
    const float date = market.exRights.DataDate();
    if (!(date >= 0.0f && date < 4e9f)) return 0;
    return LoadedDateForm(static_cast<uint32_t>(date));
}

base::Status ReplaceCodeTable(data::Workspace& workspace, data::MarketState& market,
                              std::span<const uint8_t> bytes, uint32_t newDate) {
    if (bytes.size() > kCodeTableFileMaxBytes) return base::Error{"代码表文件过大"};
    if (!CodeImageIsWhole(bytes)) return base::Error{"代码表文件已损坏"};
    std::vector<uint8_t> image(bytes.begin(), bytes.end());
    base::WriteU32(image.data() + data::kCodeDateWord * 4, newDate);
    if (auto s = Write(market.paths.codeTable, image); !s) return s;
    UseCodeTable(workspace, market, image);
    return {};
}

base::Result<TableMerge> MergeCodeRecords(data::Workspace& workspace, data::MarketState& market,
                                          std::span<const data::CodeRecordWords> records) {
    std::vector<uint8_t> table = CodeTableBytes(workspace);
    if (table.empty()) table.assign(data::kCodeHeaderWords * 4, 0);  // no table: start one
    // The merge works on a copy with the region's room, so a failed write
    // leaves the loaded table as it was.
    std::vector<uint32_t> words(workspace.CodeTableRegion().size(), 0);
    std::memcpy(words.data(), table.data(), table.size());
    data::CodeTable copy(words);
    TableMerge merge;
    for (const data::CodeRecordWords& record : records) {
        if (copy.MergeCodeRecord(record) == 1) {
            ++merge.changed;
        } else if (copy.FindCode(record[0]) != 0) {
            ++merge.unchanged;
        } else {
            merge.skippedCodes.push_back(record[0]);
            merge.problems.push_back("代码表已满，未能加入：" + data::CodeText(record[0]));
        }
    }
    if (merge.changed == 0) return merge;
    const auto* first = reinterpret_cast<const uint8_t*>(words.data());
    const std::span<const uint8_t> bytes(first, copy.FileBytes());
    if (auto s = Write(market.paths.codeTable, bytes); !s) return base::Error{s.error()};
    UseCodeTable(workspace, market, bytes);
    return merge;
}

base::Result<TableMerge> MergeCodeAdditions(data::Workspace& workspace, data::MarketState& market,
                                            std::span<const uint8_t> image) {
    if (image.size() > kCodeAdditionsMaxBytes) return base::Error{"代码补充文件过大"};
    if (!CodeImageIsWhole(image)) return base::Error{"代码补充文件已损坏"};
    const uint32_t count = base::ReadU32(image.data());
    std::vector<data::CodeRecordWords> records(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = image.data() + (data::kCodeHeaderWords + i * data::kCodeRecordWords) * 4;
        for (size_t w = 0; w < records[i].size(); ++w) records[i][w] = base::ReadU32(p + w * 4);
    }
    return MergeCodeRecords(workspace, market, records);
}

base::Status ReplaceSectorLibrary(data::Workspace& workspace, data::MarketState& market,
                                  std::span<const uint8_t> bytes, uint32_t newDate) {
    if (bytes.size() > kSectorLibraryFileMaxBytes) return base::Error{"板块文件过大"};
    if (!SectorLibraryIsWhole(bytes)) return base::Error{"板块文件已损坏"};
    std::vector<uint8_t> image(bytes.begin(), bytes.end());
    base::WriteU32(image.data() + kSectorDateByte, newDate);
    if (auto s = Write(market.paths.sectorLibrary, image); !s) return s;
    auto buffer = workspace.Bytes(data::BufferId::SectorLibrary);
    std::copy(image.begin(), image.end(), buffer.begin());
    std::fill(buffer.begin() + static_cast<ptrdiff_t>(image.size()), buffer.end(), 0);
    market.sectorLibraryLoaded = true;
    market.sectorLibraryBytes = image.size();
    market.sectorHeader = data::ReadSectorLibraryHeader(image);
    return {};
}

base::Status ReplaceExRightsTable(data::Workspace& workspace, data::MarketState& market,
                                  std::span<const uint8_t> bytes, uint32_t newDate) {
    if (bytes.size() > kExRightsFileMaxBytes) return base::Error{"除权表文件过大"};
    if (!ExRightsImageIsWhole(bytes)) return base::Error{"除权表文件已损坏"};
    std::vector<uint8_t> image(bytes.begin(), bytes.end());
    base::WriteF32(image.data() + 12, static_cast<float>(newDate));
    if (auto s = Write(market.paths.exRights, image); !s) return s;
    UseExRights(workspace, market, image);
    return {};
}

base::Result<TableMerge> MergeExRightsText(data::Workspace& workspace, data::MarketState& market,
                                           std::span<const uint8_t> text) {
    if (text.size() > kExRightsTextMaxBytes) return base::Error{"除权补充文件过大"};
    ParsedText parsed = ParseExRightsText(text);
    TableMerge merge;
    merge.problems = std::move(parsed.problems);
    return MergeEvents(workspace, market, parsed.events, std::move(merge));
}

base::Result<TableMerge> MergeExRightsEvents(data::Workspace& workspace, data::MarketState& market,
                                             std::span<const StoredEvent> events) {
    return MergeEvents(workspace, market, events, TableMerge{});
}

base::Status LoadInstallTables(data::Workspace& workspace, const std::string& root,
                               data::MarketState& market) {
    if (!workspace.Allocated()) {
        base::RecordingPrompter quiet;
        if (!workspace.Allocate(quiet)) return base::Error{"内存不足，无法安装"};
    }
    market.paths = data::BuildDataPaths(root);
    market.codeTableLoaded =
        data::LoadCodeTable(market.paths.codeTable, workspace.CodeTableRegion(), &market.codeTableDate);
    auto exRights = workspace.Bytes(data::BufferId::ExRights);
    std::fill(exRights.begin(), exRights.end(), 0);
    auto read = base::ReadFileInto(market.paths.exRights, exRights);
    market.exRights = read ? data::ExRightsTable(exRights.first(*read)) : data::ExRightsTable();
    auto library = workspace.Bytes(data::BufferId::SectorLibrary);
    std::fill(library.begin(), library.end(), 0);
    auto libraryRead = base::ReadFileInto(market.paths.sectorLibrary,
                                          library.first(data::kSectorLibraryReadBytes));
    market.sectorLibraryLoaded = libraryRead.ok();
    market.sectorLibraryBytes = 0;
    if (libraryRead) {
        const data::SectorLibraryCheck check = data::CheckSectorLibrary(library.first(*libraryRead));
        market.sectorLibraryBytes = check.bytes;
        market.sectorsSkipped = check.skipped;
    }
    market.sectorHeader = data::ReadSectorLibraryHeader(library.first(market.sectorLibraryBytes));
    return {};
}

}  // namespace install
