// What the user does with a ranked sector: its trend written as the synthetic
// index 999998 (MKDAY/SH/999998.day), and its movers saved as a list file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "data/bars.h"
#include "data/code_table.h"
#include "data/ex_rights.h"
#include "data/paths.h"
#include "sectors/scan.h"

namespace sectors {

inline constexpr size_t kTrendDays = 150;
inline constexpr size_t kTrendStocks = 255;
inline constexpr std::string_view kNoSectorMessage = "请先扫描生成板块";

struct TrendInputs {
    data::DataPaths paths;
    data::SeriesView index;  // the market index
    const data::ExRightsTable* exRights = nullptr;
    uint32_t scanDate = data::kNoSimulationCutoff;  // the cut-off of the scan
    std::span<const ResultEntry> members;           // the highlighted sector's member list
};

// The trend records: one per index trading day (150 ending at the scan date,
// fewer when the index is shorter), each the average forward-adjusted prices
// and the summed amount and volume of the first 255 members that traded that
// day. A day without contributors repeats the record before it, date included;
// the oldest day, having none before it, keeps its own date and takes the
// prices of the first later day that has them (amount 0, volume 1). Empty when
// no member traded on any of the days.
std::vector<data::Bar> SectorTrendBars(const TrendInputs& inputs);

// BuildSectorTrend: writes the trend file (replacing it atomically) and
// returns the bytes written, 0 when nothing was written.
size_t BuildSectorTrend(const TrendInputs& inputs, base::Prompter& prompter);

// The saved list's file name (UTF-8): the type word, the sector name and the
// scan date's month and day ("热点一带一路概念板块0203.TXT").
std::string SectorListFileName(ScanType type, const std::string& sectorNameGbk, uint32_t scanDate);

struct SaveInputs {
    std::string dataRoot;
    ScanType type = ScanType::Hot;
    std::string sectorNameGbk;
    uint32_t scanDate = 0;
    std::span<const ResultEntry> members;
    const data::CodeTable* codes = nullptr;
};

// SaveSectorList: asks, then writes XG/<name> in GBK: "擎宇选出股共" N "个:",
// then per member CR LF, code, name and the signed value; a final CR LF.
// Returns whether it was written.
bool SaveSectorList(const SaveInputs& inputs, base::Prompter& prompter);

}  // namespace sectors
