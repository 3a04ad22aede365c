#include <string>

#include "base/file_io.h"
#include "data/capacities.h"
#include "data/file_formats.h"
#include "data/paths.h"
#include "data/settings.h"
#include "install/import.h"

namespace install {
namespace {

// Writes a file only when nothing is there yet.
base::Status WriteWhenMissing(const std::string& path, std::span<const uint8_t> bytes) {
    if (base::InspectPath(path) != base::PathKind::Missing) return {};
    return base::WriteFileAtomic(path, bytes);
}

}  // namespace

base::Status PrepareDataRoot(const std::string& root) {
    const data::DataPaths paths = data::BuildDataPaths(root);
    for (const std::string& folder : {paths.root + "MKDAT", paths.shFolder, paths.szFolder})
        if (auto s = base::MakeFolders(folder); !s) return s;
    // An empty ex-rights table: the header record with a count of 0.
    const auto exRights = data::EncodeExRightsTable(0, {});
    if (auto s = WriteWhenMissing(paths.exRights, exRights); !s) return s;
    const std::vector<uint8_t> settings(data::kSettingsNewFileBytes, 0);
    if (auto s = WriteWhenMissing(paths.settings, settings); !s) return s;
    // Without examples the condition help pages simply show none.
    if (auto s = WriteWhenMissing(paths.examples, {}); !s) return s;
    return {};
}

}  // namespace install
