// Import of market data users already have on disk: a terminal's vipdoc tree
// of 32-byte day records, or CSV exports. Bars are converted to our day-file
// records and merged like a package block; new codes get code-table records.
// Also the sector-membership and ex-rights CSVs, and a data root made from
// nothing but such data.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "data/file_formats.h"
#include "data/startup.h"
#include "data/workspace.h"

namespace install {

enum class ImportSource {
    Vipdoc,  // a folder holding sh/lday/sh600000.day, sz/lday/sz000001.day
    Csv,     // a file or a folder of files: one per security, or one with a code column
};

struct ImportOptions {
    ImportSource source = ImportSource::Vipdoc;
    std::string path;
    std::string namesFile;  // optional "code,name[,initials,total_shares,float_shares]" CSV
};

// Shared between an import's worker and the thread that shows its progress.
struct ImportProgress {
    std::atomic<uint32_t> done{0};   // securities handled
    std::atomic<uint32_t> total{0};
    std::atomic<bool> stopRequested{false};
};

// A security the names file describes. Only the fields it gives replace
// those of an existing code-table record.
struct NamedCode {
    uint32_t code = 0;
    std::string name;  // GBK; empty when not given
    std::optional<std::string> initials;  // upper-case ASCII letters, at most 4
    std::optional<uint32_t> totalShares;  // 10,000 shares
    std::optional<uint32_t> floatShares;
};

struct ImportRefusal {
    uint32_t code = 0;  // 0 when a whole file was refused
    std::string reason;  // Chinese
};

struct ImportReport {
    size_t imported = 0;      // securities whose day file now holds the imported bars
    size_t created = 0;       // of them, day files that did not exist
    size_t unchanged = 0;     // of them, day files that already held them byte for byte
    size_t skippedOther = 0;  // funds, bonds, other indices, files without day data
    std::vector<ImportRefusal> refused;
    bool stopped = false;
    // What ApplyImportedCodes needs: the codes whose day files now hold
    // imported bars, and the names file's entries.
    std::vector<uint32_t> importedCodes;
    std::vector<NamedCode> names;
    uint32_t lastDate = 0;  // the latest bar imported
};

// Creates what a data root needs to start when it is missing: MKDAT, the
// MKDAY folders, an empty ex-rights table, the settings file and an empty
// example file. Existing files are left alone.
base::Status PrepareDataRoot(const std::string& root);

// Reads the source and merges every security's bars into its day file (the
// imported span replaces the records of that span). Touches only day files,
// so it may run on a worker while the window keeps its tables.
ImportReport ImportDayData(const data::DataPaths& paths, const ImportOptions& options,
                           ImportProgress& progress);

// Gives every imported code the table lacks a record (its name from the
// names file, else the index's usual name, else the code), replaces the
// fields the names file gives for codes already there, and writes the table.
struct CodeImportCounts {
    size_t added = 0;    // records for codes the table lacked
    size_t changed = 0;  // existing records the names file changed
};
base::Status ApplyImportedCodes(data::Workspace& workspace, data::MarketState& market,
                                const ImportReport& report, CodeImportCounts* counts = nullptr);

struct SectorImportReport {
    size_t sectors = 0;
    size_t memberships = 0;
};
// The memberships CSV file ("family,sector,code", family 概念 / 行业 / 地区 or
// the 新 variants, one row per member) becomes the sector library, replacing
// it, dated libraryDate (0: today). Any bad row refuses the whole file.
base::Result<SectorImportReport> ImportSectors(data::Workspace& workspace,
                                               data::MarketState& market, const std::string& csv,
                                               uint32_t libraryDate = 0);

struct ExRightsImportReport {
    size_t changed = 0;
    size_t unchanged = 0;
    std::vector<std::string> problems;
};
// The events CSV file ("code,date,bonus_per10,dividend_per10,rights_per10,
// rights_price") merged into the ex-rights table. Rows that cannot be read
// are listed in problems; the others are merged.
base::Result<ExRightsImportReport> ImportExRights(data::Workspace& workspace,
                                                  data::MarketState& market,
                                                  const std::string& csv);

}  // namespace install
