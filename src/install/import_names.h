// The names file of an import: "code,name[,initials,total_shares,float_shares]"
// in UTF-8, shares in 10,000 shares, an optional header line.
#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "install/import.h"

namespace install {

struct NamesFile {
    std::vector<NamedCode> entries;       // in file order
    std::vector<ImportRefusal> problems;  // lines passed over, with why
};

// Fails only when the file cannot be read at all.
base::Result<NamesFile> ReadNamesFile(const std::string& path);

}  // namespace install
