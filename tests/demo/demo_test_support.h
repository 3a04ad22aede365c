// Readers of the written files for the demo tests (independent of the data
// layer's readers, so a shared misunderstanding of a format cannot hide), and
// one small generated market shared by the tests of a process.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/bars.h"
#include "data/ex_rights.h"
#include "data/paths.h"
#include "data/sector_library_file.h"
#include "demo/demo_market.h"
#include "support/fixture_market.h"

namespace demotest {

std::vector<uint8_t> ReadBytes(const std::string& path);

struct DayFile {
    std::string magic;
    uint32_t code = 0;
    uint32_t format = 0;
    size_t trailingBytes = 0;  // bytes after the last whole record
    std::vector<data::Bar> bars;
};
DayFile ReadDayFile(const std::string& path, bool index);

struct CodeRecord {
    uint32_t code = 0;
    std::string name;  // GBK
    std::string initials;
    uint32_t totalShares = 0;
    uint32_t floatShares = 0;
};
struct CodeTableFile {
    uint32_t count = 0;
    uint32_t date = 0;
    size_t bytes = 0;
    std::vector<CodeRecord> records;
};
CodeTableFile ReadCodeTable(const std::string& path);

struct ExRightsFile {
    size_t bytes = 0;
    float headerCount = 0;
    float headerDate = 0;
    size_t records = 0;                                           // after the header
    std::vector<uint32_t> order;                                  // codes in file order
    std::map<uint32_t, std::vector<data::ExRightsEvent>> events;  // dates YYYYMMDD
};
ExRightsFile ReadExRights(const std::string& path);

struct LibraryFile {
    size_t bytes = 0;
    uint32_t count = 0;
    uint32_t date = 0;
    uint8_t weights[3] = {};
    std::vector<data::SectorRecord> sectors;
};
LibraryFile ReadLibrary(const std::string& path);

// The daily limit in percent by the market's rules, from the code, the name
// and the date.
uint32_t BoardLimitPercent(uint32_t code, bool st, uint32_t date);

// The ex-rights reference price in cents, from an event as the table stores it.
uint32_t ReferencePrice(uint32_t previousClose, const data::ExRightsEvent& e);

struct GeneratedMarket {
    fixture::TempDir dir;
    demo::DemoOptions options;
    demo::DemoSummary summary;
    data::DataPaths paths;
    CodeTableFile codes;
    std::map<uint32_t, std::vector<data::Bar>> bars;  // stocks and indices
    ExRightsFile exRights;
    LibraryFile library;
    std::vector<uint32_t> calendar;

    bool IsSt(uint32_t code) const;
    const CodeRecord* Find(uint32_t code) const;
};

// Writes and reads back a market; failures are reported to the running test.
void Generate(const demo::DemoOptions& options, GeneratedMarket& market);

// 200 stocks over three years to 30 June 2021: STAR opens inside the range
// and ChiNext's limits widen during it.
const GeneratedMarket& SmallMarket();

}  // namespace demotest
