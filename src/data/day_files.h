// Loading day files into their regions: the open stock, the market index and
// the scan area; and the date searches over loaded images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "base/result.h"
#include "data/bars.h"
#include "data/capacities.h"
#include "data/paths.h"

namespace data {

class CodeTable;

// Reads a day file into `region` (header at word 0, bars from word 8) and
// returns the words of the image. A length that is not whole records drops the
// partial tail; a file with more records than the region holds keeps the
// newest whole records that fit, so a chart never loses its latest bars.
// A file whose dates are not real calendar days (1980 to 2099) in ascending
// order is refused as damaged ("数据文件已损坏", its path and the first bad
// record); the failure messages name the file and the real cause.
base::Result<size_t> ReadDayImage(const std::string& path, std::span<uint32_t> region,
                                  size_t recordWords);

// A bar date a day file can hold: a real calendar day from 1980 to 2099.
bool IsPlausibleBarDate(uint32_t date);

// The first bar (0-based) of an image whose date is not plausible or not
// after the one before it; nothing when every date is in order.
std::optional<size_t> FirstDisorderedBar(std::span<const uint32_t> image, size_t recordWords);
// The same test on whole stock records without a header: true when every
// date is in order.
bool DayRecordsInOrder(std::span<const uint8_t> records);

// The simulation date that cuts every analysis at an earlier day.
struct SimulationDate {
    bool active = false;
    uint32_t date = kBuiltInSimulationDate;
};

// The market index in DP_pMKbufer, loaded at start-up.
struct IndexState {
    int source = 0;             // 2 Shanghai (999999), 1 Shenzhen (399001), 0 none
    uint32_t code = 0;
    size_t words = 0;           // words of the image
    uint32_t firstDate = 0;
    uint32_t lastDate = 0;      // the latest trading date of the data
    std::string lastDateText;   // "%d" of lastDate, for the date inputs
    uint32_t earliestSimulationDate = 0;
    std::string earliestSimulationText;
    // Why each index file not used was passed over: damaged, empty, not a
    // regular file (a missing file is not listed; it simply falls back).
    std::vector<std::string> problems;

    SeriesView View(std::span<const uint32_t> image) const;
};

// Tries the Shanghai index file, then the Shenzhen one: a file missing,
// unreadable, damaged or without a bar falls back to the next. Replaces a simulation
// date that still has its built-in value by the date nine bars before the last.
IndexState LoadIndexDayFile(const DataPaths& paths, std::span<uint32_t> region,
                            SimulationDate& simulation);

// The stock (or index) shown on the chart, whose image is pMKbufer word 0.
struct OpenStockState {
    uint32_t code = 0;
    std::string codeText;
    char market = 'H';
    bool loaded = false;
    bool reload = false;        // LoadStockDayFile reads the file at the next paint
    bool isIndex = false;
    size_t imageWords = 0;
    size_t lastBar = 0;         // word offset of the last bar
    uint32_t lastDate = 0;
    size_t viewEnd = 0;         // word offset just past the last bar shown
    uint32_t viewEndDate = 0;   // 0 until a stock has been shown
    uint32_t cursorDate = kLatestBarDate;
    Period period = Period::Daily;
    uint32_t totalShares = 0;  // 10,000 shares, from the code table
    uint32_t floatShares = 0;
    size_t exRightsEntry = 0;
    uint64_t stocksOpened = 0;
    std::string problem;        // why the last load failed, naming the file

    // The daily bars up to the view end.
    SeriesView DailyView(std::span<const uint32_t> image, const class ExRightsTable* table,
                         AdjustMode mode) const;
};

// Whether the code's day file can be opened.
bool DayFileExists(const DataPaths& paths, uint32_t code);

// Makes a code the open stock when its day file exists; otherwise shows the
// code text followed by "股票数据文件不存在" (or, for something that is there
// but cannot be read, what it is and its path) and changes nothing. The file is
// read by LoadStockDayFile.
bool OpenStock(const DataPaths& paths, uint32_t code, OpenStockState& stock,
               base::Prompter& prompter);

// What loading the open stock reads besides its file.
struct StockContext {
    const CodeTable* codeTable = nullptr;
    const ExRightsTable* exRights = nullptr;
    SimulationDate* simulation = nullptr;
};

// Reads the open stock's file into `region` when the reload flag is set.
void LoadStockDayFile(const DataPaths& paths, const StockContext& context,
                      std::span<uint32_t> region, OpenStockState& stock);

// A second stock's image for picking, scans and installs. Always read with
// 5-word records; offsets relative to the region.
struct ScanArea {
    std::span<uint32_t> region;
    size_t firstBar = 0;  // 8 after a load, 0 when the load failed
    size_t lastBar = 0;
    size_t imageWords = 0;
    uint64_t stocksOpened = 0;

    bool Loaded() const { return firstBar != 0; }
    SeriesView View(Adjuster adjuster) const;
};

void LoadScanDayFile(const DataPaths& paths, uint32_t code, ScanArea& area);

struct DateRange {
    size_t first = 0;
    size_t last = 0;
    size_t count = 0;  // distance in bars, one less than the bars in the range
};

// Between the bars at offsets a and b of a series: the first bar on or after
// `start` and the last bar on or before `end`.
DateRange FindDateRange(const SeriesView& view, size_t a, size_t b, uint32_t start, uint32_t end);

struct IndexAlignment {
    bool aligned = false;
    size_t offset = 0;         // the last index bar on or before the date
    uint32_t date = 0;
    size_t earlierOffset = 0;  // n bars before it, never before the first bar
    uint32_t earlierDate = 0;
    bool earlierClamped = false;  // fewer than n bars lie before the match
};

// A date at or above 22,000,000 takes the last index bar.
IndexAlignment AlignWithIndex(const SeriesView& index, uint32_t date, size_t n);

}  // namespace data
