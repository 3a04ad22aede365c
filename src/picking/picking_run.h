// The picking run: every candidate evaluated on the reference day, split into
// selected (选出股) and rejected stocks, on a worker thread that publishes its
// progress through atomic counters. Also the history scan over past days and
// the results file.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/prompter.h"
#include "data/code_table.h"
#include "picking/chart_override.h"
#include "picking/evaluation.h"
#include "picking/signal_marks.h"

namespace picking {

// Saving a selection that holds no stock (a results file or a sector list).
inline constexpr std::string_view kNothingToSaveMessage = "当前选出股为空，无法保存";

// The progress bar runs from 0 to this position.
inline constexpr int kProgressEnd = 200;

struct RunResults {
    std::vector<uint32_t> selected;  // in candidate order
    std::vector<uint32_t> rejected;  // in candidate order
    SignalMarkTable marks;           // record k belongs to selected[k]
    uint32_t referenceDate = 0;      // 0 without market index
    // The condition ended the run, or cancelled its selection after the last
    // candidate: nothing is selected.
    bool aborted = false;
    bool stopped = false;  // a stop request ended the loop early
    // What the chart shows a picked stock with (a7-a9 and the indicator conditions).
    std::optional<ChartOverride> chartOverride;
    uint64_t stocksOpened = 0;
    uint64_t filesRead = 0;  // day files read; the others came from kept tails
};

struct RunContext {
    MarketInputs market;
    Condition condition;               // the method list's first entry, read back
    std::vector<uint32_t> candidates;  // copied: the window may not change them mid-run anyway
    uint32_t cutoff = data::kNoSimulationCutoff;  // SimulationCutoff
    ScanInForce scan;                             // a3's bounds
    // The sector scan sets both: its own measure is then evaluated for every
    // candidate instead of the catalogue test bearing the same code.
    bool useScanMeasure = false;
    ScanMeasure scanMeasure;
    // When set, helper threads read each candidate's tail ahead of its
    // evaluation, for a measure whose every load has these needs (the scan's).
    std::optional<StockNeeds> prefetchNeeds;
    unsigned prefetchThreads = 0;  // 0: one a core, at most four
    // Whether the helpers use the tails kept in the data folder between processes.
    TailCacheUse tailCache;
    // Tails kept from earlier runs, taken where they serve and added to by
    // this run's reads; only its worker touches them while it runs.
    KeptTails* keptTails = nullptr;
    // On the worker, after the last candidate (the sector ranking).
    std::function<void(RunResults&)> afterCandidates;
    // On the worker as its very last act, e.g. to wake the window. It must not
    // draw: the window draws when it sees the run finished.
    std::function<void()> onFinished;
};

struct HistoryContext {
    MarketInputs market;
    Condition condition;
    std::vector<uint32_t> candidates;
    uint32_t simulationDate = 0;  // the stored date, whether simulating or not
    size_t lookback = 0;          // index trading days searched back
    ScanInForce scan;             // a3's bounds
    std::string reportPath;       // MKDAT/DEMO_Find.TXT; empty: no report file
    std::function<void()> onFinished;
};

struct HistoryHit {
    uint32_t code = 0;
    uint32_t date = 0;
    size_t daysBack = 0;  // trading days before the simulation date
};

// What the window gets when a run has finished. The run never touched the
// chart's data (it reads its own scan storage), so "restoring the chart"
// comes down to: set the progress bar to its end unless the run was stopped,
// then redraw from the window's own state.
struct RunOutcome {
    RunResults results;
    bool progressToEnd = false;
    // History scan only.
    std::vector<HistoryHit> hits;
    std::string report;                     // GBK, as written to the report file
    std::vector<std::string> closingLines;  // drawn under the status line
};

// Counters shared between the worker and the window thread.
struct RunCounters {
    std::atomic<size_t> processed{0};
    std::atomic<size_t> total{0};
    std::atomic<size_t> selected{0};
    std::atomic<bool> stopRequest{false};
};

// The run itself, synchronous: what the worker executes. Messages the
// evaluation leaves (a missing market index) are appended to `messages`.
RunResults RunPicking(const RunContext& context, RunCounters& counters,
                      std::span<uint32_t> scanStorage, std::vector<PendingMessage>& messages);

// The history scan, synchronous: for each candidate, the first day (from the
// simulation date back over `lookback` index days) on which it passes.
RunOutcome HistoryScan(const HistoryContext& context, RunCounters& counters,
                       std::span<uint32_t> scanStorage, std::vector<PendingMessage>& messages);

// One run at a time on a worker thread, polled by the window's timer.
class PickingRun {
public:
    PickingRun();
    ~PickingRun();
    PickingRun(const PickingRun&) = delete;
    PickingRun& operator=(const PickingRun&) = delete;

    // Starts the run. Refused while a run is busy or while a finished one has
    // not been collected; a condition that is not in the catalogue shows
    // kNotInCatalogueMessage and the run does not start.
    bool Start(RunContext context, base::Prompter& prompter);
    bool StartHistory(HistoryContext context, base::Prompter& prompter);

    // Honoured before the next candidate.
    void RequestStop() { m_counters.stopRequest = true; }

    // The running flag: set from the start until the worker is done.
    bool Busy() const { return m_busy.load(std::memory_order_acquire); }
    // Done and waiting for Finish.
    bool Finished() const { return m_started && !Busy(); }
    size_t Processed() const { return m_counters.processed.load(); }
    size_t Total() const { return m_counters.total.load(); }
    size_t SelectedSoFar() const { return m_counters.selected.load(); }
    // processed × 200 / candidates, capped at 200.
    int Progress() const;

    // Waits for the worker, shows the messages it left and hands over what it
    // found. Nothing when no run was started.
    std::optional<RunOutcome> Finish(base::Prompter& prompter);

private:
    using Work = std::function<RunOutcome(std::span<uint32_t>, std::vector<PendingMessage>&,
                                          std::stop_token)>;
    bool Launch(Work work, std::function<void()> onFinished);

    RunCounters m_counters;
    std::atomic<bool> m_busy{false};
    bool m_started = false;
    std::vector<uint32_t> m_scanStorage;
    RunOutcome m_outcome;
    std::vector<PendingMessage> m_messages;
    std::jthread m_worker;  // last: joined before the members it uses go
};

// The window's progress rule: the bar only moves forward, up to 200.
int ProgressPosition(size_t processed, size_t total);

// Results files (picked stocks saved to the XG folder).
// The scan types, and the stocks of a picking run, which carry no value.
enum class ResultKind : int { Picked = 0, Rise = 1, Turnover = 2, Fall = 3 };

struct ResultLine {
    uint32_t code = 0;
    int64_t value = 0;  // hundredths of a percent (rise, fall) or whole percent (turnover)
};

// A free name in the data root's XG folder: "XG" + today's YYMMDD + "-" + a
// three-digit serial + ".TXT"; nothing when serials 001-999 are all taken.
std::optional<std::string> ProposeResultsFileName(const std::string& dataRoot,
                                                  const std::string& todayShort);

// Asks, then writes the selected stocks to XG/<fileName> in GBK. Returns
// whether the file was written.
bool SaveResultsFile(const std::string& dataRoot, const std::string& fileName, ResultKind kind,
                     std::span<const ResultLine> results, const data::CodeTable* codes,
                     base::Prompter& prompter);

inline constexpr std::string_view kResultsFileHead = "擎宇选出股共";

}  // namespace picking
