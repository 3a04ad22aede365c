// Writers of the binary data files, shared by the demo market, the test
// fixtures and data installs. Readers use the images in place (bars.h,
// code_table.h, ex_rights.h); these build images from plain values.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/bars.h"
#include "data/ex_rights.h"

namespace data {

// A day file: the header ("MKSH"/"MKSZ", code, format 2) and one record per
// bar, 28-byte index records for index codes and 20-byte records otherwise.
// Stock prices must fit 16 bits.
std::vector<uint8_t> EncodeDayFile(uint32_t code, std::span<const Bar> bars);

// The 7 words of one code-table record.
using CodeRecordWords = std::array<uint32_t, 7>;

struct CodeEntry {
    uint32_t code = 0;
    std::string name;      // GBK, at most 8 bytes (longer is cut)
    std::string initials;  // pinyin initials, at most 4 ASCII letters
    uint32_t totalShares = 0;  // 10,000 shares
    uint32_t floatShares = 0;  // 10,000 shares
};

CodeRecordWords PackCodeRecord(const CodeEntry& entry);

// MKCODE.DAT: count and date in the header, records in the given order
// (callers pass them sorted by code).
std::vector<uint8_t> EncodeCodeTable(uint32_t date, std::span<const CodeEntry> entries);

struct ExRightsStock {
    uint32_t code = 0;
    std::vector<ExRightsEvent> events;  // ascending dates, YYYYMMDD
};

// MKCQ.DAT: the header record (count in float 0, data date in float 3), then a
// stock record followed by its event records for each stock.
std::vector<uint8_t> EncodeExRightsTable(uint32_t dataDate, std::span<const ExRightsStock> stocks);

// YYYYMMDD to the YYMMDD the table stores.
uint32_t ExRightsShortDate(uint32_t yyyymmdd);

}  // namespace data
