// The folder a demo market is written into. A demo market is never written
// over a folder holding other files (it could be someone's real data); an
// earlier demo market, recognised by its marker file, is replaced.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/result.h"
#include "data/paths.h"

namespace demo {

// Checks the root, creates MKDAT, MKDAY/SH and MKDAY/SZ, and writes the marker.
base::Status PrepareMarketFolder(const data::DataPaths& paths, const std::string& markerText);

// Removes day files (and temporaries of interrupted writes) that an earlier
// market left and `codes` (ascending) does not have.
base::Status RemoveStaleDayFiles(const data::DataPaths& paths, std::span<const uint32_t> codes);

}  // namespace demo
