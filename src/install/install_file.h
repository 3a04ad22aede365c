// One offered file installed by what it is: a day-data package (any name,
// recognised by its header) or, by name, MKCODE.TXT, CODEADD.TXT, BKLIB.TXT,
// MKCQ.TXT or CQADD.TXT. Used by the command line and the install page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/startup.h"
#include "data/workspace.h"
#include "install/package_install.h"
#include "install/tables.h"

namespace install {

enum class FileKind {
    Package,
    CodeTable,          // MKCODE.TXT
    CodeAdditions,      // CODEADD.TXT
    SectorLibrary,      // BKLIB.TXT
    ExRightsTable,      // MKCQ.TXT
    ExRightsAdditions,  // CQADD.TXT
};

// "package", "code_table", "code_additions", "sector_library",
// "ex_rights_table", "ex_rights_additions".
std::string_view KindName(FileKind kind);

// The kind a file's name gives (case does not matter); nothing for any
// other name, which only a package may have.
std::optional<FileKind> KindByName(const std::string& path);

// A refusal as the user sees it: message and caption.
struct Refusal {
    std::string text;
    std::string caption;
};

// A package file read whole and accepted, or the refusal of the install page:
// the path with "文件不存在", "申请下载需要的内存失败", "该文件非擎宇数据文件".
struct LoadedPackage {
    PackageFile file;
    std::optional<Refusal> refusal;
};
LoadedPackage LoadPackage(const std::string& path);

// Whether the table files that replace a table (and CODEADD.TXT) are taken
// only when newer than the loaded table.
enum class DateRule { OnlyNewer, Force };

struct TableFileReport {
    std::optional<Refusal> refusal;
    TableMerge merge;  // record-by-record kinds; for a replaced table changed = 1
};

// Installs a table file of a kind other than Package.
TableFileReport InstallTableFile(data::Workspace& workspace, data::MarketState& market,
                                 const std::string& path, FileKind kind, DateRule rule);

}  // namespace install
