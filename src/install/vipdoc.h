// The day files of a terminal's vipdoc folder: sh/lday/sh600000.day and
// sz/lday/sz000001.day, each a run of 32-byte records (date YYYYMMDD, open,
// high, low, close in 0.01 yuan, amount in yuan as a float, volume in
// shares, a reserved word; all little-endian).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "data/bars.h"
#include "install/import_bars.h"

namespace install {

inline constexpr size_t kVipdocRecordBytes = 32;
// Far above the longest history; a hostile file cannot exhaust memory.
inline constexpr size_t kMaxVipdocFileBytes = 64u << 20;

struct VipdocFile {
    std::string path;
    uint32_t code = 0;  // in our numbering (sh000001 is 999999)
};

struct VipdocTree {
    std::vector<VipdocFile> files;  // Shanghai first, each market by file name
    size_t skippedOther = 0;        // funds, bonds, other indices, other files
};

// The day files below a folder that holds sh/ and sz/, or below its vipdoc/
// when it has one. Fails when neither market folder is there.
base::Result<VipdocTree> ListVipdocTree(const std::string& folder);

// The code a file name of a market folder ("sh" or "sz") stands for, or
// nothing for anything the import passes over. Case does not matter.
std::optional<uint32_t> VipdocCode(std::string_view market, std::string_view fileName);

// Appends the file's records to bars, converted: amount to 10,000 yuan and
// volume to lots, each half up. Refused: a file that is not whole records, a
// date that is not valid, an amount that is not a number of yuan.
base::Status ReadVipdocBars(const std::string& path, uint32_t source, std::vector<SourceBar>& bars);

// Where a code's file lies below the vipdoc folder: "sh/lday/sh600000.day",
// "sz/lday/sz000001.day"; the Shanghai index 999999 as sh000001.
std::string VipdocRelativePath(uint32_t code);

// Bars in day-file units as vipdoc records: the amount in yuan as a float,
// the volume in shares. A volume of more shares than 32 bits hold is written
// as the largest that fits, and counted in *saturated.
std::vector<uint8_t> EncodeVipdocFile(std::span<const data::Bar> bars, size_t* saturated);

}  // namespace install
