// The bars an import reads, on their way into day-file records: already in
// the record's units (0.01 yuan, 10,000 yuan, lots) but still wide, so that a
// value the record cannot hold is refused instead of written wrapped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "data/bars.h"

namespace install {

// Where a bar came from, for the messages that refuse it.
enum class PlaceKind { Line, Record };
struct SourceFile {
    std::string path;
    PlaceKind kind = PlaceKind::Line;
};

struct SourceBar {
    uint32_t date = 0;
    uint64_t open = 0;  // 0.01 yuan, 0.01 points for an index
    uint64_t high = 0;
    uint64_t low = 0;
    uint64_t close = 0;
    uint64_t amount = 0;  // 10,000 yuan
    uint64_t volume = 0;  // lots of 100 shares
    uint32_t place = 0;   // line or record number, from 1
    uint32_t source = 0;  // index into the security's source files
};

// "文件 第N行" or "文件 第N条记录".
std::string PlaceText(const std::string& path, PlaceKind kind, size_t place);
std::string PlaceText(const SourceBar& bar, std::span<const SourceFile> files);

// Sorts the bars by date and packs them into the code's day-file records
// (7 words for an index, 5 for a stock). Refused, with the place of the bar
// at fault: no bars, a date that repeats, a stock price above the 16-bit
// price field (655.35 yuan), or any value above its 32-bit field.
base::Result<std::vector<uint32_t>> BuildDayRecords(uint32_t code, std::vector<SourceBar>& bars,
                                                    std::span<const SourceFile> files);

// A day-file record (5 words, or 7 for an index code) as its values, in the
// file's own units: the inverse of the packing BuildDayRecords does.
data::Bar RecordValues(uint32_t code, std::span<const uint32_t> record);

// The securities an import takes: A-share stocks (Shanghai 600000-609999 and
// 688000-689999, Shenzhen 000001-004999 and 300000-309999) and the market
// indices 999999, 399001 and 399006. Funds, bonds, B shares and other indices
// are passed over.
bool IsImportedCode(uint32_t code);

// 0.01-yuan units as yuan text: 65536 gives "655.36".
std::string YuanText(uint64_t hundredths);

}  // namespace install
