#include "sectors/limits.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "base/endian.h"
#include "data/price_limits.h"
#include "picking/evaluation.h"

namespace sectors {
namespace {

struct BarMove {
    LimitMove move = LimitMove::None;
    bool known = true;
};

uint32_t RawClose(const data::SeriesView& bars, size_t offset) {
    return base::HighHalf(bars.image[offset + 2]);
}

BarMove MoveAt(const LimitSeries& s, size_t offset) {
    const data::SeriesView& bars = s.bars;
    const size_t local = (offset - bars.firstBar) / bars.width;
    const size_t before = s.skipped + local;
    // The file's first bar has no previous close; a loaded first bar's is unread.
    if (local == 0) return {LimitMove::None, s.skipped == 0};
    // The newly-listed mark reads the two bars before a young stock's bar.
    if (local < 2 && s.skipped > 0 && before <= 30) return {LimitMove::None, false};
    if (picking::NewlyListedAt(bars, offset, before)) return {};
    const size_t previous = offset - bars.width;
    const uint32_t date = bars.image[offset];
    const uint32_t reference = data::AdjustPriceForward(bars.adjuster, RawClose(bars, previous),
                                                        bars.image[previous], date);
    const uint32_t percent = data::LimitPercentOf(s.code, date, s.st);
    return {LimitMoveOf(RawClose(bars, offset), reference, percent), true};
}

}  // namespace

LimitMove LimitMoveOf(uint32_t close, uint32_t reference, uint32_t percent) {
    if (reference == 0) return LimitMove::None;
    if (close == data::LimitUpPrice(reference, percent)) return LimitMove::Up;
    if (close == data::LimitDownPrice(reference, percent)) return LimitMove::Down;
    return LimitMove::None;
}

StockLimit LimitOnBar(const LimitSeries& series, size_t offset) {
    StockLimit limit;
    limit.code = series.code;
    for (size_t at = offset;; at -= series.bars.width) {
        const BarMove m = MoveAt(series, at);
        if (!m.known) {
            limit.complete = false;
            break;
        }
        if (at == offset) limit.move = m.move;
        if (m.move != LimitMove::Up) break;
        ++limit.streak;
    }
    return limit;
}

std::vector<uint32_t> StCodesOf(const data::CodeTable& codes) {
    std::vector<std::pair<uint32_t, size_t>> records;  // code, record offset
    records.reserve(codes.Count());
    for (size_t i = 0; i < codes.Count(); ++i) {
        const size_t offset = data::CodeTable::RecordOffset(i);
        records.emplace_back(codes.CodeAt(offset), offset);
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<uint32_t> st;
    for (size_t i = 0; i < records.size(); ++i) {
        const bool first = i == 0 || records[i - 1].first != records[i].first;
        if (first && data::IsStName(codes.NameAt(records[i].second))) st.push_back(records[i].first);
    }
    return st;
}

std::vector<SectorLimits> SectorLimitsOf(std::span<const uint32_t> numbers,
                                         std::span<const StockLimit> stocks,
                                         const StockSectorIndex& index) {
    std::vector<SectorLimits> out(numbers.size());
    std::unordered_map<uint32_t, size_t> slot;
    slot.reserve(numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) slot.emplace(numbers[i], i);
    StockSectorList list;
    for (const StockLimit& stock : stocks) {
        if (stock.move == LimitMove::None) continue;
        const size_t n = index.Find(stock.code, list);
        for (size_t k = 0; k < n; ++k) {
            const auto it = slot.find(list.items[k].number);
            if (it == slot.end()) continue;
            SectorLimits& s = out[it->second];
            if (stock.move == LimitMove::Down) {
                ++s.limitDown;
                continue;
            }
            ++s.limitUp;
            if (stock.streak > s.streak) {
                s.streak = stock.streak;
                s.streakCode = stock.code;
            }
        }
    }
    return out;
}

}  // namespace sectors
