// Import of market data users already have on disk: a terminal's vipdoc tree
// of 32-byte day records, or CSV exports. Bars are converted to our day-file
// records and merged like a package block; new codes get code-table records.
// Also the sector-membership and ex-rights CSVs, and a data root made from
// nothing but such data.
#pragma once

#include <atomic>
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

struct ImportRefusal {
    uint32_t code = 0;  // 0 when a whole file was refused
    std::string reason;  // Chinese
};

struct ImportReport {
    size_t imported = 0;      // securities whose day file now holds the imported bars
    size_t created = 0;       // of them, day files that did not exist
    size_t unchanged = 0;     // of them, day files that already held them byte for byte
    size_t skippedOther = 0;  // funds, bonds and other indices of a vipdoc tree
    std::vector<ImportRefusal> refused;
    bool stopped = false;
    // Code-table records for the imported codes the table lacks, and for
    // codes the names file names; applied by ApplyImportedCodes.
    std::vector<data::CodeEntry> codeEntries;
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

// Merges the report's code entries into the loaded code table and writes it.
base::Status ApplyImportedCodes(data::Workspace& workspace, data::MarketState& market,
                                const ImportReport& report);

struct SectorImportReport {
    size_t sectors = 0;
    size_t memberships = 0;
};
// The memberships CSV ("family,sector,code", family 概念 / 行业 / 地区 or the
// 新 variants) becomes the sector library, replacing it.
base::Result<SectorImportReport> ImportSectors(data::Workspace& workspace,
                                               data::MarketState& market, const std::string& csv);

struct ExRightsImportReport {
    size_t changed = 0;
    size_t unchanged = 0;
    std::vector<std::string> problems;
};
// The events CSV ("code,date,bonus_per10,dividend_per10,rights_per10,
// rights_price") merged into the ex-rights table.
base::Result<ExRightsImportReport> ImportExRights(data::Workspace& workspace,
                                                  data::MarketState& market,
                                                  const std::string& csv);

}  // namespace install
