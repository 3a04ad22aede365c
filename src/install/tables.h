// Installing the files that replace or extend the tables of a data root: the
// code table (MKCODE.TXT whole, CODEADD.TXT record by record), the sector
// library (BKLIB.TXT), the ex-rights table (MKCQ.TXT whole, CQADD.TXT event
// by event). Each writes its data file through a temporary beside it first
// and only then changes the loaded image, so a failed write changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "data/file_formats.h"
#include "data/startup.h"
#include "data/workspace.h"

namespace install {

// The most each offered file may hold (the room the loaded image gives it).
inline constexpr size_t kCodeTableFileMaxBytes = 182'400;
inline constexpr size_t kCodeAdditionsMaxBytes = 79'000;
inline constexpr size_t kSectorLibraryFileMaxBytes = data::kSectorLibraryReadBytes;
inline constexpr size_t kExRightsFileMaxBytes = data::kExRightsBufferBytes;
inline constexpr size_t kExRightsTextMaxBytes = data::kWorkDataBytes;

// What a record-by-record install did.
struct TableMerge {
    size_t changed = 0;    // records or events added or corrected
    size_t unchanged = 0;  // already there as offered
    std::vector<uint32_t> skippedCodes;
    std::vector<std::string> problems;  // Chinese, one line each
};

// YYMMDD the way the loaders hold a table date: 20,000,000 off a YYYYMMDD.
uint32_t LoadedDateForm(uint32_t stored);

// The date an offered file carries (raw, as stored), or nothing when the
// file is too short to carry one.
std::optional<uint32_t> CodeTableFileDate(std::span<const uint8_t> bytes);
std::optional<uint32_t> SectorLibraryFileDate(std::span<const uint8_t> bytes);
std::optional<uint32_t> ExRightsFileDate(std::span<const uint8_t> bytes);
// The dates of the loaded tables, in the loaders' form.
uint32_t LoadedExRightsDate(const data::MarketState& market);

// MKCODE.TXT: header word 4 becomes newDate, then the bytes become MKCODE.DAT
// and the loaded code table.
base::Status ReplaceCodeTable(data::Workspace& workspace, data::MarketState& market,
                              std::span<const uint8_t> bytes, uint32_t newDate);

// Code-table records merged one by one (a new code inserted in code order or
// appended, a changed record overwritten); MKCODE.DAT is written, created when
// missing, when any record changed.
base::Result<TableMerge> MergeCodeRecords(data::Workspace& workspace, data::MarketState& market,
                                          std::span<const data::CodeRecordWords> records);

// CODEADD.TXT: each record merged into the code table (a new code inserted in
// code order, a changed record overwritten); MKCODE.DAT is written when any
// record changed.
base::Result<TableMerge> MergeCodeAdditions(data::Workspace& workspace, data::MarketState& market,
                                            std::span<const uint8_t> image);

// BKLIB.TXT: the new date at byte 12, the three weight bytes applied again.
base::Status ReplaceSectorLibrary(data::Workspace& workspace, data::MarketState& market,
                                  std::span<const uint8_t> bytes, uint32_t newDate);

// MKCQ.TXT: float 3 becomes the new date.
base::Status ReplaceExRightsTable(data::Workspace& workspace, data::MarketState& market,
                                  std::span<const uint8_t> bytes, uint32_t newDate);

// CQADD.TXT: each event merged into the ex-rights table; MKCQ.DAT is written
// when any event changed.
base::Result<TableMerge> MergeExRightsText(data::Workspace& workspace, data::MarketState& market,
                                           std::span<const uint8_t> text);

struct StoredEvent;
// The same merge for events already read (the ex-rights import).
base::Result<TableMerge> MergeExRightsEvents(data::Workspace& workspace, data::MarketState& market,
                                             std::span<const StoredEvent> events);

// Loads the tables an install changes (code table, ex-rights table, sector
// library) from a data root into a workspace, without the messages of the
// window's start-up: a missing table is simply empty. Allocates the
// workspace when needed.
base::Status LoadInstallTables(data::Workspace& workspace, const std::string& root,
                               data::MarketState& market);

}  // namespace install
