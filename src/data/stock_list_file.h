// Stock-list files in the XG folder (picked stocks, saved sectors, watch
// lists): GBK text whose header opens with the product word 擎宇 and holds
// the number of stocks, then one line per stock starting with its code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "data/paths.h"

namespace data {

// No more than this is read of a list file.
inline constexpr size_t kListFileReadBytes = 200'000;

// The codes of a list file, at most `capacity` of them (a file declaring more
// is read up to the capacity). Nothing when the file cannot be read, its
// header does not open with 擎宇, or it ends before the codes it declares.
std::optional<std::vector<uint32_t>> ReadStockListFile(const std::string& path, size_t capacity);

// The XG folder of a data root, made when it is missing (a user may have
// removed it, and a fresh data root has none).
base::Status MakeListFolder(const DataPaths& paths);

}  // namespace data
