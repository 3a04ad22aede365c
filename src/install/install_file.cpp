#include "install/install_file.h"

#include <algorithm>
#include <cctype>

#include "base/file_io.h"
#include "install/package.h"

namespace install {
namespace {

constexpr const char* kNotOurFile = "该文件非擎宇数据文件";

std::string BaseNameUpper(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

size_t MaxBytesOf(FileKind kind) {
    switch (kind) {
        case FileKind::CodeTable: return kCodeTableFileMaxBytes;
        case FileKind::CodeAdditions: return kCodeAdditionsMaxBytes;
        case FileKind::SectorLibrary: return kSectorLibraryFileMaxBytes;
        case FileKind::ExRightsTable: return kExRightsFileMaxBytes;
        case FileKind::ExRightsAdditions: return kExRightsTextMaxBytes;
        case FileKind::Package: break;
    }
    return 0;
}

// The offered file's date and the loaded table's, both in the loaders' form.
struct Dates {
    std::optional<uint32_t> offered;  // raw, as the file stores it
    uint32_t loaded = 0;
};

Dates DatesOf(FileKind kind, std::span<const uint8_t> bytes, const data::MarketState& market) {
    switch (kind) {
        case FileKind::CodeTable:
        case FileKind::CodeAdditions: return {CodeTableFileDate(bytes), market.codeTableDate};
        case FileKind::SectorLibrary: return {SectorLibraryFileDate(bytes), market.sectorHeader.date};
        case FileKind::ExRightsTable: return {ExRightsFileDate(bytes), LoadedExRightsDate(market)};
        default: return {};
    }
}

}  // namespace

std::string_view KindName(FileKind kind) {
    switch (kind) {
        case FileKind::Package: return "package";
        case FileKind::CodeTable: return "code_table";
        case FileKind::CodeAdditions: return "code_additions";
        case FileKind::SectorLibrary: return "sector_library";
        case FileKind::ExRightsTable: return "ex_rights_table";
        case FileKind::ExRightsAdditions: return "ex_rights_additions";
    }
    return "package";
}

std::optional<FileKind> KindByName(const std::string& path) {
    const std::string name = BaseNameUpper(path);
    if (name == "MKCODE.TXT") return FileKind::CodeTable;
    if (name == "CODEADD.TXT") return FileKind::CodeAdditions;
    if (name == "BKLIB.TXT") return FileKind::SectorLibrary;
    if (name == "MKCQ.TXT") return FileKind::ExRightsTable;
    if (name == "CQADD.TXT") return FileKind::ExRightsAdditions;
    return std::nullopt;
}

LoadedPackage LoadPackage(const std::string& path) {
    LoadedPackage loaded;
    PackageReadFailure failure = PackageReadFailure::CannotOpen;
    auto file = ReadPackageFile(path, &failure);
    if (!file) {
        loaded.refusal = failure == PackageReadFailure::CannotOpen
                             ? Refusal{path, "文件不存在"}
                             : Refusal{"申请下载需要的内存失败", "提示"};
        return loaded;
    }
    if (!IsPackage(file->words)) {
        loaded.refusal = Refusal{kNotOurFile, "提示"};
        return loaded;
    }
    loaded.file = std::move(*file);
    return loaded;
}

TableFileReport InstallTableFile(data::Workspace& workspace, data::MarketState& market,
                                 const std::string& path, FileKind kind, DateRule rule) {
    TableFileReport report;
    uint64_t size = 0;
    if (base::InspectPath(path, &size) != base::PathKind::RegularFile) {
        report.refusal = Refusal{path, "文件不存在"};
        return report;
    }
    auto bytes = base::ReadWholeFile(path, MaxBytesOf(kind));
    if (!bytes) {
        report.refusal = Refusal{size > MaxBytesOf(kind) ? "文件过大：" + path : path,
                                 size > MaxBytesOf(kind) ? "提示" : "文件不存在"};
        return report;
    }

    const Dates dates = DatesOf(kind, *bytes, market);
    if (kind != FileKind::ExRightsAdditions) {
        if (!dates.offered) {
            report.refusal = Refusal{kNotOurFile, "提示"};
            return report;
        }
        if (rule == DateRule::OnlyNewer && LoadedDateForm(*dates.offered) <= dates.loaded) {
            report.refusal = Refusal{"文件日期" + std::to_string(LoadedDateForm(*dates.offered)) +
                                         "不比已安装的" + std::to_string(dates.loaded) + "新，未安装",
                                     "提示"};
            return report;
        }
    }

    base::Status status;
    switch (kind) {
        case FileKind::CodeTable:
            status = ReplaceCodeTable(workspace, market, *bytes, *dates.offered);
            break;
        case FileKind::SectorLibrary:
            status = ReplaceSectorLibrary(workspace, market, *bytes, *dates.offered);
            break;
        case FileKind::ExRightsTable:
            status = ReplaceExRightsTable(workspace, market, *bytes, *dates.offered);
            break;
        case FileKind::CodeAdditions:
        case FileKind::ExRightsAdditions: {
            auto merge = kind == FileKind::CodeAdditions ? MergeCodeAdditions(workspace, market, *bytes)
                                                         : MergeExRightsText(workspace, market, *bytes);
            if (!merge) {
                status = base::Error{merge.error()};
                break;
            }
            report.merge = std::move(*merge);
            return report;
        }
        case FileKind::Package: status = base::Error{kNotOurFile}; break;
    }
    if (!status) {
        report.refusal = Refusal{status.error(), "提示"};
        return report;
    }
    report.merge.changed = 1;
    return report;
}

}  // namespace install
