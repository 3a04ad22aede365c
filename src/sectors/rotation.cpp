#include "sectors/rotation.h"

#include <algorithm>

#include "picking/kept_tails.h"

namespace sectors {
std::optional<size_t> LastBarOnOrBefore(const data::SeriesView& series, uint32_t date) {
    if (series.BarCount() == 0 || series.image[series.firstBar] > date) return std::nullopt;
    size_t lo = 0, hi = series.BarCount();  // the answer lies in [lo, hi)
    while (hi - lo > 1) {
        const size_t mid = lo + (hi - lo) / 2;
        if (series.image[series.firstBar + mid * series.width] <= date)
            lo = mid;
        else
            hi = mid;
    }
    return series.firstBar + lo * series.width;
}

namespace {

// Index days from `to` back, at most `count` of them and none before `from`,
// oldest first.
std::vector<uint32_t> DaysBack(const data::SeriesView& index, uint32_t to, size_t count,
                               uint32_t from) {
    std::vector<uint32_t> days;
    const auto last = LastBarOnOrBefore(index, to);
    if (!last) return days;
    for (size_t offset = *last; days.size() < count && index.image[offset] >= from;
         offset -= index.width) {
        days.push_back(index.image[offset]);
        if (offset < index.firstBar + index.width) break;
    }
    std::reverse(days.begin(), days.end());
    return days;
}

}  // namespace

std::vector<uint32_t> TradingDaysUpTo(const data::SeriesView& index, uint32_t to, size_t count) {
    return DaysBack(index, to, count, 0);
}

std::vector<uint32_t> TradingDaysBetween(const data::SeriesView& index, uint32_t from,
                                         uint32_t to) {
    return DaysBack(index, to, SIZE_MAX, from);
}

std::vector<uint32_t> TradingDaysAfter(const data::SeriesView& index, uint32_t date,
                                       size_t count) {
    std::vector<uint32_t> days;
    const auto at = LastBarOnOrBefore(index, date);
    size_t offset = at ? *at + index.width : index.firstBar;
    for (; days.size() < count && index.HasBar(offset); offset += index.width)
        if (index.image[offset] > date) days.push_back(index.image[offset]);
    return days;
}

void ScanDays(const DayScanInputs& inputs, SectorScan& scan, std::span<const uint32_t> days,
              const std::function<void(const ScanOutcome&)>& each,
              std::vector<picking::PendingMessage>& messages) {
    picking::KeptTails ownTails;
    const bool usesOwn = scan.KeptTailsInUse() == nullptr;
    if (usesOwn) scan.SetKeptTails(&ownTails);
    for (const uint32_t day : days) {
        scan.Run(inputs.market, inputs.library, inputs.settings, inputs.candidates, day, messages);
        each(scan.Outcome());
    }
    if (usesOwn) scan.SetKeptTails(nullptr);
}

RotationDay RotationDayOf(const ScanOutcome& outcome) {
    RotationDay day;
    day.date = outcome.referenceDate;
    day.selected = outcome.selected.size();
    // The sectors the result stores: what the scan shows.
    const ScanResultView& result = outcome.Result();
    const size_t stored = std::min(result.SectorCount(), outcome.ranking.sectors.size());
    day.sectors.reserve(stored);
    for (size_t rank = 1; rank <= stored; ++rank) {
        const auto hits = static_cast<int32_t>(result.ResultSectorMemberCount(rank));
        day.sectors.push_back(
            {result.ResultSectorNumber(rank), rank, hits, outcome.ranking.sectors[rank - 1].score});
    }
    return day;
}

std::vector<RotationDay> RunRotation(const DayScanInputs& inputs, SectorScan& scan,
                                     std::span<const uint32_t> dates,
                                     std::vector<picking::PendingMessage>& messages) {
    std::vector<RotationDay> days;
    ScanDays(inputs, scan, dates, [&](const ScanOutcome& o) { days.push_back(RotationDayOf(o)); },
             messages);
    return days;
}

size_t RankOn(const RotationDay& day, uint32_t number) {
    for (const DayRank& s : day.sectors)
        if (s.number == number) return s.rank;
    return 0;
}

TopChange TopChangeOf(const RotationDay& before, const RotationDay& last, size_t top) {
    TopChange change;
    const auto inTop = [top](const RotationDay& day, uint32_t number) {
        const size_t rank = RankOn(day, number);
        return rank != 0 && rank <= top;
    };
    for (const DayRank& s : last.sectors)
        if (s.rank <= top && !inTop(before, s.number)) change.entered.push_back(s);
    for (const DayRank& s : before.sectors)
        if (s.rank <= top && !inTop(last, s.number)) change.left.push_back(s);
    return change;
}

}  // namespace sectors
