// The sector scan: the one-day move of every candidate stock, the accumulation
// of the selected stocks per sector, the weighted ranking of the sectors and
// the ranked result (ScanResult, the layout of BK_Stock_Result_Buf).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/prompter.h"
#include "data/bars.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "data/ex_rights.h"
#include "data/paths.h"
#include "data/price_limits.h"
#include "data/sector_library_file.h"
#include "picking/catalogue.h"
#include "picking/evaluation.h"
#include "picking/picking_run.h"
#include "sectors/library.h"
#include "sectors/limits.h"

namespace sectors {

enum class ScanType : int { Hot = 1, Fund = 2, Fall = 3 };

// A typed threshold of 20.00 % or more is refused for rises and falls: no
// stock moves that far in a day.
inline constexpr int32_t kThresholdLimit = 2000;

// The bounds a selected value keeps, by the stock's daily limit: a rise stays
// below the ceiling (a one-day move past it is not a real move) and at most
// the cap, a fall at most the cap. The 10 % bounds are the documented ones;
// a stock of a 20 % board has them moved up by ten points, so its limit-up
// days count and its rises above 10 % can be scanned at all. Turnover
// increases keep the 10 % ceiling whatever the board.
struct ScanBounds {
    int64_t ceiling = 0;
    int64_t cap = 0;
};
inline constexpr ScanBounds kTenPercentBounds{1020, 1099};
inline constexpr ScanBounds kTwentyPercentBounds{2020, 2099};
inline constexpr int64_t kFundCap = 99'999'999;
ScanBounds BoundsOf(ScanType type, data::DailyLimit limit);
// What a measure that cannot be computed reports.
inline constexpr int64_t kNoValue = 16'777'215;

// Accumulation limits.
inline constexpr size_t kMoveRecordBytes = 9;  // code, sector, value: 24 bits each
inline constexpr size_t kMaxMoveRecords = 60'000;
inline constexpr size_t kMaxScanSectors = 2'000;
inline constexpr int32_t kSortSentinel = 16'777'215;

// ScanResult layout.
inline constexpr size_t kResultHeaderBytes = 16;
inline constexpr size_t kResultEntryBytes = 6;
inline constexpr size_t kResultStopOffset = 392'900;

// Ranking constants.
inline constexpr int32_t kQualifiedBonus = 1000;
inline constexpr int32_t kAverageHitsCap = 10;
inline constexpr uint32_t kLargeSectorMembers = 270;

inline constexpr std::string_view kPromptCaption = "提示";
inline constexpr std::string_view kNoCandidatesMessage =
    "待选股为零。请先选择沪、深股票，或“载入”待选股，再“板块扫描”";
inline constexpr std::string_view kRiseTooLargeMessage = "扫描的单日涨幅不能大于等于20%";
inline constexpr std::string_view kFallTooLargeMessage = "扫描的单日跌幅不能大于等于20%";
inline constexpr std::string_view kNoIndexMessage = "大盘指数文件不存在";

// Result title word of a type ("热点板块" …), UTF-8.
std::string_view ScanTitleWord(ScanType type);

// The three weights of the library and the caps derived from them.
struct RankWeights {
    uint32_t share = data::kDefaultShareWeight;  // CXL_p
    uint32_t count = data::kDefaultCountWeight;  // CX_Code_p
    uint32_t move = data::kDefaultMoveWeight;    // ZF_Code_p

    static RankWeights FromLibrary(const data::SectorLibraryHeader& header) {
        return {header.shareWeight, header.countWeight, header.moveWeight};
    }
    bool operator==(const RankWeights&) const = default;
};

struct RankCaps {
    int64_t share = 0;  // CXL_Max
    int64_t count = 0;  // CX_Max
    int64_t move = 0;   // ZF_Max

    static RankCaps From(const RankWeights& w) {
        return {int64_t{w.share} * 300, int64_t{w.count} * 28, int64_t{w.move} * 800};
    }
};

struct ScanSettings {
    ScanType type = ScanType::Hot;
    int32_t threshold = 750;  // hundredths of a percent (types 1, 3), whole percent (type 2)
    RankWeights weights;
};

// T from the two entry fields of types 1 and 3: whole × 100 + decimal, one
// decimal digit counting as tenths ("7", "5" gives 750). Nothing when a field
// holds anything but digits or the decimal part has more than two digits.
std::optional<int32_t> ThresholdFromFields(std::string_view whole, std::string_view decimal);
// T as typed on the command line: "7.5" for types 1 and 3, "20" for type 2.
std::optional<int32_t> ParseThreshold(ScanType type, std::string_view text);
// "%.2f" of T / 100 for types 1 and 3, "%d" for type 2.
std::string ThresholdText(ScanType type, int32_t threshold);

// The scan's own condition: b8 for types 1 and 2, b9 for 3, with N = 1 and
// the entry's standard bounds 7.50 and 10.00.
picking::Condition ScanCondition(ScanType type);
// The same as the method list shows it: "b8(1,7.50,10.00);", "b9(…)".
std::string ScanMethodEntry(ScanType type);

// StartSectorScan: validates the settings. Shows the refusal (caption "提示")
// and returns nothing when the scan must not start; otherwise returns the
// method entry to make the single entry of the method list.
std::optional<std::string> StartSectorScan(size_t candidateCount, const ScanSettings& settings,
                                           base::Prompter& prompter);

// The selection rule on the one-day change (the N-day change with N = 1, in
// price mode for types 1 and 3 and amount mode for type 2) within the bounds
// of the stock's daily limit on the reference day: the value to record, or
// nothing when the stock is not selected.
std::optional<int32_t> SelectedValue(const picking::NDayChange& change, ScanType type,
                                     int32_t threshold,
                                     data::DailyLimit limit = data::DailyLimit::TenPercent);

inline picking::ChangeMode ScanChangeMode(ScanType type) {
    return type == ScanType::Fund ? picking::ChangeMode::Amount : picking::ChangeMode::Price;
}

struct MoveRecord {
    uint32_t code = 0;
    uint32_t sector = 0;
    uint32_t value = 0;
};

struct SectorPair {
    uint32_t sector = 0;
    int32_t value = 0;  // hits, sum of values, or score
};

// The three accumulation buffers of a scan (Math_Stock_BKNo_ZFVal,
// Save_BK_NO_CX, Save_BK_NO_ZF), owned by the scan so a worker never writes
// what the window draws from.
class ScanAccumulator {
public:
    ScanAccumulator();
    void Clear();

    // RecordSelectedStock: the stock's sectors get one more hit and its value.
    void RecordSelectedStock(const StockSectorIndex& index, uint32_t code, int32_t value);

    size_t MoveCount() const { return m_moveCount; }
    MoveRecord MoveAt(size_t index) const;
    const std::vector<SectorPair>& Hits() const { return m_hits; }
    const std::vector<SectorPair>& Sums() const { return m_sums; }

private:
    // Left unfilled: only the first m_moveCount records are ever read.
    std::unique_ptr<uint8_t[]> m_moves;
    size_t m_moveCount = 0;
    std::vector<SectorPair> m_hits;
    std::vector<SectorPair> m_sums;
    std::unordered_map<uint32_t, size_t> m_slots;  // sector → index in m_hits/m_sums
    StockSectorList m_list;
};

// The sort of the ranking: descending by value, equal values keep their order.
void SortPairs(std::vector<SectorPair>& pairs);

struct RankedSector {
    uint32_t number = 0;
    int32_t hits = 0;
    int64_t sum = 0;       // of the values of its selected members
    uint32_t members = 0;  // in the library
    int64_t score = 0;     // final ranking score
    bool qualified = false;
};

struct ScoreParts {
    int64_t share = 0;  // CXL
    int64_t count = 0;  // CX
    int64_t move = 0;   // ZF
    int64_t Total() const { return share + count + move; }
};

// The three parts of a qualified sector's score.
ScoreParts QualifiedScoreParts(int32_t share, int32_t hits, uint32_t members, int32_t minCx,
                               int64_t sum, int32_t threshold, const RankWeights& weights,
                               const RankCaps& caps);

struct Ranking {
    int32_t minCx = 0;                        // Min_cx, average hits
    int32_t aheadCx = 0;                      // Ahead_cx, qualified sectors
    std::vector<RankedSector> sectors;        // rank order
    std::vector<SectorPair> qualifiedShares;  // (sector, 1000 + share)
};

// RankSectors: the ranking of the accumulated sectors.
Ranking RankSectors(const ScanAccumulator& accumulator, const SectorLibrary& library,
                    const ScanSettings& settings);

// Writes ScanResult into `out` (393,000 bytes): ranked sectors with their
// selected members by value. Returns the number of sectors stored.
size_t BuildScanResult(const Ranking& ranking, const ScanAccumulator& accumulator,
                       const SectorLibrary& library, std::span<uint8_t> out);

struct ResultEntry {
    uint32_t code = 0;
    uint32_t value = 0;
    bool operator==(const ResultEntry&) const = default;
};

// Read access to a ScanResult image. Ranks count from 1.
class ScanResultView {
public:
    ScanResultView() = default;
    // Walks the records once and keeps where each rank's record starts, so a
    // rank is found without walking again.
    explicit ScanResultView(std::span<const uint8_t> bytes);

    size_t SectorCount() const;
    size_t ResultSectorMemberCount(size_t rank) const;
    ResultEntry ResultSectorMember(size_t rank, size_t k) const;
    std::string ResultSectorName(size_t rank) const;  // GBK
    uint32_t ResultSectorNumber(size_t rank) const;
    // LoadResultSector: the sector's (code, value) entries for the member list.
    std::vector<ResultEntry> LoadResultSector(size_t rank) const;
    // The rank of a sector number, 0 when it is not in the result.
    size_t FindRank(uint32_t number) const;

private:
    // Byte offset of a rank's record, 0 when there is none.
    size_t RecordOffset(size_t rank) const;
    std::span<const uint8_t> m_bytes;
    std::vector<uint32_t> m_offsets;  // by rank - 1, the whole records present
};

// What a finished scan leaves for the window to draw.
struct ScanOutcomeFields {
    uint32_t referenceDate = 0;  // 0 without market index
    size_t candidates = 0;
    ScanSettings settings;
    std::vector<ResultEntry> selected;  // (code, recorded value) in candidate order
    Ranking ranking;
    // The candidates at a limit on the reference day, in candidate order, and
    // their counts per ranked sector (by rank - 1, as ranking.sectors).
    std::vector<StockLimit> limitStocks;
    std::vector<SectorLimits> limits;
    std::vector<uint8_t> result;  // ScanResult, 393,000 bytes
    bool stopped = false;
};

struct ScanOutcome : ScanOutcomeFields {
    ScanResultView view;  // over `result`, made when the outcome is published

    ScanOutcome() = default;
    // A copy views its own result bytes, never those of the outcome it was
    // copied from (which the next scans overwrite). A move takes the bytes
    // along with the view over them.
    ScanOutcome(const ScanOutcome& other) : ScanOutcomeFields(other), view(result) {}
    ScanOutcome& operator=(const ScanOutcome& other) {
        ScanOutcomeFields::operator=(other);
        view = ScanResultView(result);
        return *this;
    }
    ScanOutcome(ScanOutcome&&) noexcept = default;
    ScanOutcome& operator=(ScanOutcome&&) noexcept = default;

    const ScanResultView& Result() const { return view; }
};

// A sector scan run by the picking run. PrepareRun fills a run context whose
// dispatcher hands every candidate to EvaluateScanStock and whose end ranks
// the sectors; the worker works on this object's own buffers only. The window
// starts the context with picking::PickingRun, polls its progress, and once
// it has finished (PickingRun::Finish) calls Publish and draws Outcome().
class SectorScan {
public:
    SectorScan();
    SectorScan(const SectorScan&) = delete;
    SectorScan& operator=(const SectorScan&) = delete;

    // The scan must outlive the run. Clears the worker's buffers.
    picking::RunContext PrepareRun(const picking::MarketInputs& market, SectorLibrary library,
                                   const ScanSettings& settings, std::vector<uint32_t> candidates,
                                   uint32_t cutoff);
    // Makes the finished run's result the one the window reads.
    void Publish(const picking::RunResults& results);
    // PrepareRun, the run on the calling thread, and Publish.
    picking::RunResults Run(const picking::MarketInputs& market, SectorLibrary library,
                            const ScanSettings& settings, std::vector<uint32_t> candidates,
                            uint32_t cutoff, std::vector<picking::PendingMessage>& messages);

    // The per-stock measure behind the scan's method entry: selected stocks
    // pass (with the change as their mark) and are recorded per sector.
    picking::Verdict EvaluateScanStock(picking::Evaluator& evaluator, uint32_t code);

    // The last published scan; empty before the first.
    const ScanOutcome& Outcome() const { return m_published; }
    // Discards the published result (a new scan type was chosen).
    void ClearOutcome();

    // Threads that read day files ahead of the measure; without them every
    // file is read on the run's own thread. The result is the same either way.
    void SetReadAhead(std::optional<unsigned> threads) { m_readAhead = threads; }
    // The read-ahead also uses the day-file tails kept in the data folder by
    // earlier processes, and keeps what it reads (see picking/tail_cache.h).
    void SetTailCache(picking::TailCacheUse use) { m_tailCache = use; }
    // Tails kept between runs (the window's): each run prepares them for its
    // date, takes those that serve and keeps what it reads. The result is the
    // same with or without them.
    void SetKeptTails(picking::KeptTails* kept) { m_kept = kept; }
    picking::KeptTails* KeptTailsInUse() const { return m_kept; }

private:
    // Files the evaluated stock's limit move on the reference day.
    void RecordLimit(picking::Evaluator& evaluator, uint32_t code);

    ScanOutcome m_work;
    ScanOutcome m_published;
    ScanAccumulator m_accumulator;
    SectorLibrary m_library;
    StockSectorIndex m_sectorIndex;  // of m_library
    std::vector<uint32_t> m_stCodes;  // of the run's code table (StCodesOf)
    std::optional<unsigned> m_readAhead = picking::TailPrefetch::DefaultThreads();
    picking::KeptTails* m_kept = nullptr;
    picking::TailCacheUse m_tailCache;
};

}  // namespace sectors
