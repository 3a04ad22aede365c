// The evaluation frame shared by every condition test: the reference day from
// the market index and the cut-off, the tested stock read into the run's own
// scan storage with forward-adjusted prices, and the dispatcher.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "data/bars.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/ex_rights.h"
#include "data/paths.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "picking/catalogue.h"
#include "picking/kept_tails.h"
#include "picking/signal_marks.h"
#include "picking/tail_prefetch.h"

namespace picking {

// The match flag: fail, pass, or end the whole run.
enum class Match : int { Fail = 0, Pass = 1, Abort = 4444 };

struct Verdict {
    Match match = Match::Fail;
    SignalMark mark;

    static Verdict Fail() { return {}; }
    static Verdict Pass(SignalMark mark = {}) { return {Match::Pass, mark}; }
    static Verdict Abort() { return {Match::Abort, {}}; }
};

// What an evaluation reads besides the tested stock. All of it is read-only
// while a run lasts, so a worker may read it beside the window thread.
struct MarketInputs {
    data::DataPaths paths;
    data::SeriesView index;  // the market index; no bars when none was loaded
    const data::CodeTable* codes = nullptr;
    const data::ExRightsTable* exRights = nullptr;
};

// The inputs of a started market. `codes` must outlive the inputs.
MarketInputs MarketInputsOf(data::Workspace& workspace, const data::MarketState& market,
                            const data::CodeTable& codes);

// Reported by the N-day change when it has no value.
inline constexpr int64_t kNoValue = 16'777'215;

// Price mode compares closes; amount mode (the fund-flow scan) compares amounts.
enum class ChangeMode { Price, Amount };

struct NDayChange {
    bool hasValue = false;
    int64_t value = kNoValue;  // hundredths of a percent (price) or whole percent (amount)
    bool newlyListed = false;
};

// How much of a tested stock a test reads: bars before the reference bar, and
// (for date windows) every bar from a date on.
struct StockNeeds {
    size_t barsBefore = 0;
    uint32_t fromDate = 0;  // 0: no date window
};

// More bars before the reference bar than the scan storage holds: the whole
// file. The recursive indicators (RSI, KDJ, MACD) start at the oldest bar
// loaded, so their tests read everything a whole read would.
inline constexpr size_t kEveryBar = data::kScanAreaWords;

// The sector-scan settings in force, from which a3 takes its bounds and its
// measure: the scan type (1 rise, 2 turnover amount, 3 fall) and the
// threshold T (hundredths of a percent for types 1 and 3, whole percent for
// type 2). They start as the window's fields do: type 1 at 2.00 %.
struct ScanInForce {
    int type = 1;
    int32_t threshold = 200;
};

// What the market-breadth conditions keep over a run: b6's judgement of the
// index move, made on the first candidate of a reference day, and b7's
// counts of rising and falling candidates since the run began.
struct BreadthState {
    std::optional<Match> indexMove;  // Pass when the index fell far enough
    uint32_t falling = 0;
    uint32_t rising = 0;
};

enum class AdjustedPrices { ClosesOnly, All };

// The newly-listed mark of a daily stock bar with `barsBefore` bars of its
// file before it; the two bars before it must be loaded when it has 7 to 30.
bool NewlyListedAt(const data::SeriesView& stock, size_t offset, size_t barsBefore);

// What the N-day change loads of a stock.
StockNeeds NDayChangeNeeds(int n);

// The newest records of a stock's file that a tail read takes for a test
// with these needs at a cut-off (the reference day, the bars before it, a
// little slack and every index day after it).
size_t TailReadRecords(const data::SeriesView& index, uint32_t cutoff, const StockNeeds& needs);

// A message an evaluation leaves for the window thread to show.
struct PendingMessage {
    std::string text;
    std::string caption;
};

inline constexpr std::string_view kMissingIndexText = "大盘指数文件不存在";

// The one note of a run for the day files it refused as damaged (codes ascending).
std::string DamagedFilesText(const data::DataPaths& paths, std::span<const uint32_t> codes);

class Evaluator;

// The sector scan's own per-stock measure, called instead of the catalogue
// test while it is set.
using ScanMeasure = std::function<Verdict(Evaluator& evaluator, uint32_t code)>;

// Whether a tested stock is read from its tail (the bars the test needs) or
// whole (kept for repeated evaluations of one stock at several cut-offs).
enum class StockReading { Tail, Whole };

class Evaluator {
public:
    // scanStorage: the run's own scan area (never the open chart's image).
    Evaluator(const MarketInputs& market, std::span<uint32_t> scanStorage);

    // Starts a run: the reference day is aligned from the cut-off at the next
    // call, and what the conditions keep over a run starts afresh.
    void Begin(const Condition& condition, uint32_t cutoff);
    // A new cut-off within the run (the history scan's days).
    void SetCutoff(uint32_t cutoff);
    const Condition& CurrentCondition() const { return m_condition; }
    const MarketInputs& Market() const { return m_market; }
    uint32_t Cutoff() const { return m_cutoff; }

    void SetScanInForce(const ScanInForce& scan) { m_scan = scan; }
    const ScanInForce& ScanSettings() const { return m_scan; }
    BreadthState& Breadth() { return m_breadth; }

    void SetScanMeasure(ScanMeasure measure) { m_scanMeasure = std::move(measure); }
    void SetStockReading(StockReading reading) { m_reading = reading; }
    // Tail reads take the kept tails that serve and keep what they read
    // (tail reading only); the store must outlive the evaluator's use of it.
    void SetKeptTails(KeptTails* kept) { m_kept = kept; }

    // The dispatcher: the scan's measure when one is set, else the catalogue test.
    Verdict Evaluate(uint32_t code);

    // The reference day: the last index bar on or before the cut-off. Not
    // aligned when no market index is loaded.
    const data::IndexAlignment& Reference();
    // Date of the index bar n bars before the reference bar; a window reaching
    // before the first index bar starts at the first bar.
    uint32_t WindowStart(size_t n);
    // False without market index; the first such call leaves the message
    // "大盘指数文件不存在".
    bool IndexReady();

    // The common opening of every test: loads the stock, which must have a
    // bar dated on the reference day, and adjusts it forward.
    bool PrepareStock(uint32_t code, const StockNeeds& needs = {});
    // Loads without the reference-day test (the N-day change checks its own range).
    bool LoadStock(uint32_t code, const StockNeeds& needs);

    // Whether the last load of `code` succeeded and its bars are the ones held.
    bool Holds(uint32_t code) const { return m_loaded && m_code == code; }
    // The tested stock, forward adjusted; valid after a successful load.
    const data::SeriesView& Stock() const { return m_view; }
    // Offset of the reference bar after PrepareStock.
    size_t ReferenceBar() const { return m_referenceBar; }
    // Bars of the stock's file that lie before a loaded bar (counting those
    // that were not read).
    size_t BarsBefore(size_t offset) const;
    // The loaded bars up to the reference bar with their prices adjusted
    // once, laid out as period bars (7 words: date, open, high, low, close,
    // amount, volume), which every accessor reads as stored. The indicator
    // calculations walk these instead of adjusting each price on each read.
    // Adjusting a price walks the events after its bar, so the walks over a
    // whole history that read closes only (RSI, MACD) may leave the other
    // prices out: ClosesOnly writes the close in their place. Valid after
    // PrepareStock until the next load.
    data::SeriesView AdjustedBars(AdjustedPrices prices = AdjustedPrices::All);

    // The N-day change of a stock to the reference day (also the sector scan's measure).
    NDayChange MeasureNDayChange(uint32_t code, int n, ChangeMode mode);

    void Note(std::string text, std::string caption = std::string(kPromptCaption));
    // The notes so far, and one naming the day files found damaged (each once).
    std::vector<PendingMessage> TakeMessages();

    uint64_t StocksOpened() const { return m_stocksOpened; }
    uint64_t BarsRead() const { return m_barsRead; }
    // Day files read, by this thread or its read-ahead helpers.
    uint64_t FilesRead() const { return m_filesRead; }

    // Has helper threads read the tails of `codes` ahead of the evaluations
    // that will load them in this order with these needs (tail reading only).
    // With the cache in use, tails kept in the data folder serve where unchanged.
    void StartPrefetch(std::vector<uint32_t> codes, const StockNeeds& needs, unsigned threads,
                       TailCacheUse cache = {});
    // After the last evaluation: the helpers stop and, with the cache in
    // use, what they read is kept there for the next process.
    void FinishPrefetch();

private:
    size_t TailRecords(const StockNeeds& needs);
    size_t ReadDepth(size_t wanted) const;
    size_t StorageRecords() const;
    uint8_t* BarBytes();
    void PlaceTail(size_t records, size_t count);
    bool ReadTail(int fd, size_t records, size_t count);
    void UseTail(std::span<const uint8_t> bytes, size_t records, size_t wanted);
    std::optional<TailPrefetch::Tail> TailInMemory(uint32_t code, size_t wanted);
    void KeepStorage(uint32_t code, size_t records);
    bool TailHoldsReference(const StockNeeds& needs, uint32_t referenceDate) const;
    bool ReadStockFile(uint32_t code, const StockNeeds& needs);

    MarketInputs m_market;
    std::span<uint32_t> m_storage;
    Condition m_condition;
    uint32_t m_cutoff = data::kNoSimulationCutoff;
    ScanInForce m_scan;
    BreadthState m_breadth;
    std::vector<uint32_t> m_adjusted;
    ScanMeasure m_scanMeasure;
    StockReading m_reading = StockReading::Tail;

    bool m_referenceAligned = false;
    data::IndexAlignment m_reference;
    std::vector<std::pair<size_t, uint32_t>> m_windows;
    bool m_indexMessageLeft = false;
    std::vector<uint32_t> m_damaged;  // codes whose day file was refused as damaged

    uint32_t m_code = 0;
    bool m_loaded = false;
    bool m_whole = false;
    size_t m_skipped = 0;
    data::SeriesView m_view;
    size_t m_referenceBar = 0;
    uint32_t m_entryCode = UINT32_MAX;  // whose ex-rights entry m_entry is
    size_t m_entry = 0;

    std::vector<PendingMessage> m_messages;
    uint64_t m_stocksOpened = 0;
    uint64_t m_barsRead = 0;
    uint64_t m_filesRead = 0;
    std::unique_ptr<TailPrefetch> m_prefetch;
    KeptTails* m_kept = nullptr;
};

// The catalogue test of a condition on one stock (the dispatcher without the
// scan's measure). The conditions without a test (b8 outside the scan, b17,
// b40, b51, b52, group c) fail every stock.
Verdict TestCondition(Evaluator& evaluator, const Condition& condition, uint32_t code);

// Called once the last candidate of a run has been evaluated: whether the
// condition cancels the run's whole selection. b7 does when the falling
// candidates were too few against the rising ones, and leaves its message.
bool SelectionCancelled(Evaluator& evaluator, const Condition& condition);

// b7's counts so far and their ratio (falling × 100 / rising, half up, with
// no rising candidate taken as one).
struct BreadthRatio {
    uint32_t falling = 0;
    uint32_t rising = 0;
    int64_t ratio = 0;
};
BreadthRatio RatioOf(const BreadthState& breadth);

}  // namespace picking
