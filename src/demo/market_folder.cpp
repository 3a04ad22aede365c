#include "demo/market_folder.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/file_io.h"
#include "demo/demo_market.h"

namespace demo {
namespace fs = std::filesystem;
namespace {

// Some regular file below the folder, or "" when it holds none; the
// temporaries of a killed write are not counted.
std::string AnyFileBelow(const fs::path& folder) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && !base::IsTemporaryName(it->path().filename().string()))
            return it->path().string();
    }
    return "";
}

// The code of a day-file name ("600000.day"), or -1.
int64_t DayFileCode(const std::string& name) {
    if (name.size() < 10 || name.compare(6, 4, ".day") != 0) return -1;
    int64_t code = 0;
    for (size_t i = 0; i < 6; ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        code = code * 10 + (name[i] - '0');
    }
    // "600000.day" itself, or a temporary of an interrupted write of it.
    if (name.size() == 10 || name.compare(10, 4, ".tmp") == 0) return code;
    return -1;
}

}  // namespace

base::Status PrepareMarketFolder(const data::DataPaths& paths, const std::string& markerText) {
    const fs::path root(paths.root);
    std::error_code ec;
    if (fs::exists(root, ec)) {
        if (!fs::is_directory(root, ec)) return base::Error{paths.root + " is not a folder"};
        if (!fs::exists(root / kMarkerFile, ec)) {
            const std::string file = AnyFileBelow(root);
            if (!file.empty())
                return base::Error{paths.root + " already holds files (" + file +
                                   ") and is not a demo market: give a new or empty folder"};
        }
    }
    // XG holds what users save; a fresh market has it ready. A run killed
    // half-way left its marker (or not yet) and temporaries: the folder is
    // ours, and its temporaries go.
    for (const std::string& folder :
         {paths.root + "MKDAT", paths.shFolder, paths.szFolder, paths.listFolder}) {
        if (auto s = base::MakeFolders(folder); !s) return s;
        base::RemoveLeftTemporaries(folder);
    }
    base::RemoveLeftTemporaries(paths.root);
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(markerText.data()),
                                         markerText.size());
    return base::WriteFileAtomic(paths.root + kMarkerFile, bytes, base::Durability::NoFlush);
}

base::Status RemoveStaleDayFiles(const data::DataPaths& paths, std::span<const uint32_t> codes) {
    std::vector<fs::path> stale;
    for (const std::string& folder : {paths.shFolder, paths.szFolder}) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            const int64_t code = DayFileCode(name);
            if (code < 0) continue;
            const bool isTemporary = name.size() > 10;
            if (isTemporary ||
                !std::binary_search(codes.begin(), codes.end(), static_cast<uint32_t>(code)))
                stale.push_back(it->path());
        }
        if (ec) return base::Error{"cannot list " + folder + ": " + ec.message()};
    }
    for (const fs::path& path : stale) {
        std::error_code ec;
        fs::remove(path, ec);
        if (ec) return base::Error{"cannot remove " + path.string() + ": " + ec.message()};
    }
    return {};
}

}  // namespace demo
