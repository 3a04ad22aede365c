// The scan scorecard: for every trading day of a range, the top-K sectors of
// that day's scan, and how their selected stocks did over the next h trading
// days against all candidates.
//
// A stock's forward return from day d over h days is its close on the h-th
// index trading day after d (or, suspended then, its last close before it)
// against its close on d adjusted forward across the ex-rights events up to
// that later bar, so a bonus or dividend inside the horizon is no loss. A
// sector's return is the equal-weighted mean of its selected stocks'; the
// top-K's the mean of its sectors'; the market's the mean of every candidate
// with a bar on d. A day whose horizon runs past the last index day is left
// out of that horizon and counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "data/bars.h"
#include "data/ex_rights.h"
#include "picking/evaluation.h"
#include "sectors/rotation.h"
#include "sectors/scan.h"

namespace sectors {

inline constexpr size_t kDefaultScorecardTop = 5;

// The raw daily bars of the stocks a scorecard measures, as a series each
// (prices unadjusted, the stock's ex-rights entry in the adjuster).
class StockBars {
public:
    // `newest`: whole 20-byte records, oldest first, ending with the file's last.
    void Add(uint32_t code, std::span<const uint8_t> newest, const data::Adjuster& adjuster);
    // The series of a code; nothing when it was not added.
    std::optional<data::SeriesView> Of(uint32_t code) const;
    size_t Count() const { return m_stocks.size(); }

private:
    struct Stock {
        std::vector<uint32_t> words;  // a day-file image: header words, then the records
        data::Adjuster adjuster;
    };
    std::unordered_map<uint32_t, Stock> m_stocks;
};

// The forward return (a fraction: 0.05 is 5 %) of a stock from its bar dated
// `day` to `later`; nothing without a bar on `day` or a close of 0.
std::optional<double> ForwardReturn(const data::SeriesView& bars, uint32_t day, uint32_t later);

// One horizon of one day.
struct DayOutcome {
    uint32_t later = 0;  // the h-th trading day after the day, 0 past the last day
    double top = 0;      // mean return of the top-K sectors
    double market = 0;   // mean return of the candidates
    size_t sectors = 0;  // top sectors with a return
    size_t stocks = 0;   // candidates with a return
    bool Counted() const { return later != 0 && sectors > 0 && stocks > 0; }
    double Excess() const { return top - market; }
};

struct ScorecardDay {
    uint32_t date = 0;
    std::vector<uint32_t> topSectors;  // numbers, rank order
    std::vector<DayOutcome> horizons;  // as the horizons given
};

// One day of the scorecard from its scan: the first `top` ranked sectors and
// their returns over each horizon (`laterDays`: the trading days after the
// day, as many as the longest horizon where there are).
ScorecardDay ScoreDay(const ScanOutcome& outcome, const StockBars& bars,
                      std::span<const uint32_t> candidates, size_t top,
                      std::span<const int> horizons, std::span<const uint32_t> laterDays);

struct HorizonSummary {
    int horizon = 0;
    size_t counted = 0;   // days with a return both for the top and the market
    size_t leftOut = 0;   // days whose horizon runs past the last trading day
    size_t hits = 0;      // counted days the top beat the market
    double hitRate = 0;   // hits / counted
    double meanExcess = 0;
};

std::vector<HorizonSummary> Summarise(std::span<const ScorecardDay> days,
                                      std::span<const int> horizons);

// Reads the newest `records` records of each code's day file, each once.
void ReadStockBars(const picking::MarketInputs& market, std::span<const uint32_t> codes,
                   size_t records, StockBars& bars);

struct Scorecard {
    std::vector<ScorecardDay> days;
    std::vector<HorizonSummary> summary;
};

// The scorecard of `dates` (index days, oldest first): the candidates' bars
// from the first day on, then each day's scan and its returns.
Scorecard RunScorecard(const DayScanInputs& inputs, SectorScan& scan,
                       std::span<const uint32_t> dates, size_t top, std::span<const int> horizons,
                       std::vector<picking::PendingMessage>& messages);

}  // namespace sectors
