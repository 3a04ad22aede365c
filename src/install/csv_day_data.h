// Day data as CSV: "date,open,high,low,close,volume,amount" (date YYYYMMDD or
// YYYY-MM-DD, prices in yuan, volume in shares, amount in yuan), either one
// file per security named by its code (600000.csv) or one file whose first
// column is the code. A header line naming these columns may put them in any
// order; without one they are taken in this order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "install/csv_text.h"
#include "install/import_bars.h"

namespace install {

struct DayColumns {
    std::optional<size_t> code;
    size_t date = 0;
    size_t open = 1;
    size_t high = 2;
    size_t low = 3;
    size_t close = 4;
    size_t volume = 5;
    size_t amount = 6;
    size_t count = 7;  // fields a line must have
};

struct DayLayout {
    DayColumns columns;
    bool headerLine = false;  // the first line names the columns
};

// What the first line of a file says about it; nothing when the file does
// not hold day data in either form.
std::optional<DayLayout> DetectDayLayout(const CsvLine& first);

// One data line as a bar in day-file units (prices half up to 0.01 yuan,
// volume to lots, amount to 10,000 yuan) with its place. The error says what
// is wrong with the line.
base::Status ParseDayLine(const CsvLine& line, const DayColumns& columns, uint32_t source,
                          SourceBar& bar);

// Reads a file of one security into bars; the first malformed line refuses it.
base::Status ReadCsvSecurityFile(const std::string& path, uint32_t source,
                                 std::vector<SourceBar>& bars);

// A file with a code column, its bars grouped by code. A malformed line
// refuses its own security only; a line whose code cannot be read refuses the
// whole file, since it may belong to any of them.
struct CodeColumnSecurity {
    std::vector<SourceBar> bars;
    std::string refusal;
};
base::Result<std::map<uint32_t, CodeColumnSecurity>> ReadCsvCodeColumnFile(const std::string& path,
                                                                           uint32_t source);

// The CSV files of an import: the file given, or the *.csv files of the
// folder given (sorted by name).
struct CsvSource {
    std::string path;
    std::optional<uint32_t> code;  // a file of one security: the code its name gives
};
struct CsvSources {
    std::vector<CsvSource> files;
    size_t skippedOther = 0;  // files of a folder that hold no day data
};
base::Result<CsvSources> ListCsvSources(const std::string& path);

}  // namespace install
