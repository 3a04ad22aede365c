// The text forms an import reads, written: day-data CSV, the names file, the
// sector-membership and ex-rights CSVs, and the ex-rights addition text of a
// package. Sample data for imports and installs is made from these, so what
// the writers produce is exactly what the readers take back.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/bars.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"

namespace install {

// A float in the fewest decimal digits that read back as the same float,
// without an exponent ("1.2", "3", "0.0001").
std::string FloatText(float value);

// A field as CSV writes it: quoted when it holds a comma, a quote or blanks
// at its ends.
std::string CsvField(std::string_view text);

// A security's bars (in day-file units) as "date,open,high,low,close,volume,
// amount" lines after that header: prices in yuan, volume in shares, amount
// in yuan.
std::string DayCsvText(std::span<const data::Bar> bars);

// "code,name,initials,total_shares,float_shares" with UTF-8 names.
std::string NamesCsvText(std::span<const data::CodeEntry> entries);

// The sector library's memberships as "family,sector,code" rows, sectors in
// library order. A record that would run past the bytes ends the walk.
std::string SectorsCsvText(std::span<const uint8_t> library);

struct CodeEvent {
    uint32_t code = 0;
    data::ExRightsEvent event;  // date YYYYMMDD
};

// "code,date,bonus_per10,dividend_per10,rights_per10,rights_price".
std::string ExRightsCsvText(std::span<const CodeEvent> events);

// CQADD.TXT: one "/600000,20261120,3,1.2,0,0/" record a line.
std::string ExRightsAdditionText(std::span<const CodeEvent> events);

}  // namespace install
