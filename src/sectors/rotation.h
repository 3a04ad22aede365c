// Sector rotation: the sector scan of each of a run of trading days, every
// day scanned exactly as a scan with that day as its simulation date (the
// same SectorScan, run once a day, oldest first), and what moved in and out
// of the top of the ranking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "data/bars.h"
#include "picking/evaluation.h"
#include "sectors/scan.h"

namespace sectors {

// The top of the ranking that entering and leaving is told against.
inline constexpr size_t kRotationTop = 10;

// Offset of the last bar of a series dated on or before `date`; nothing
// before its first bar.
std::optional<size_t> LastBarOnOrBefore(const data::SeriesView& series, uint32_t date);

// The last `count` index trading days on or before `to`, oldest first (fewer
// when the index starts later; none without index bars on or before `to`).
std::vector<uint32_t> TradingDaysUpTo(const data::SeriesView& index, uint32_t to, size_t count);
// The index trading days from `from` to `to`, both included.
std::vector<uint32_t> TradingDaysBetween(const data::SeriesView& index, uint32_t from,
                                         uint32_t to);
// The index trading days after `date`, at most `count`, oldest first.
std::vector<uint32_t> TradingDaysAfter(const data::SeriesView& index, uint32_t date,
                                       size_t count);

// The inputs every day's scan shares.
struct DayScanInputs {
    const picking::MarketInputs& market;
    const SectorLibrary& library;
    const ScanSettings& settings;
    const std::vector<uint32_t>& candidates;
};

// Runs the scan of each day (the cut-off of a scan with that simulation date)
// in the order given, handing each outcome to `each` while it is valid.
// Given oldest first, each day file is read once: the first run reads
// furthest back and the later days are served from the tails it kept (the
// scan's own when it has some, the window's, else tails kept for this call).
void ScanDays(const DayScanInputs& inputs, SectorScan& scan, std::span<const uint32_t> days,
              const std::function<void(const ScanOutcome&)>& each,
              std::vector<picking::PendingMessage>& messages);

// One ranked sector of one day.
struct DayRank {
    uint32_t number = 0;
    size_t rank = 0;  // from 1
    int32_t hits = 0;
    int64_t score = 0;
    bool operator==(const DayRank&) const = default;
};

// One day of a rotation: its ranking as the scan left it.
struct RotationDay {
    uint32_t date = 0;  // the scan's reference day
    size_t selected = 0;
    std::vector<DayRank> sectors;  // rank order
};

RotationDay RotationDayOf(const ScanOutcome& outcome);

// The rotation of `dates` (index days, oldest first).
std::vector<RotationDay> RunRotation(const DayScanInputs& inputs, SectorScan& scan,
                                     std::span<const uint32_t> dates,
                                     std::vector<picking::PendingMessage>& messages);

// The sectors of the last day's top that were not in the day before's, and
// those of the day before's top that are not in the last day's, in rank order.
struct TopChange {
    std::vector<DayRank> entered;  // ranks of the last day
    std::vector<DayRank> left;     // ranks of the day before
};
TopChange TopChangeOf(const RotationDay& before, const RotationDay& last,
                      size_t top = kRotationTop);

// The rank of a sector on a day, 0 when it was not ranked.
size_t RankOn(const RotationDay& day, uint32_t number);

}  // namespace sectors
