#include "demo/index_builder.h"

#include <algorithm>

#include "data/paths.h"

namespace demo {
namespace {

__extension__ typedef __int128 Int128;

// level * numerator / denominator, half up; all positive.
int64_t Scale(int64_t level, int64_t numerator, int64_t denominator) {
    const Int128 n = static_cast<Int128>(level) * numerator * 2 + denominator;
    return static_cast<int64_t>(n / (static_cast<Int128>(denominator) * 2));
}

uint32_t Saturate(uint64_t v) {
    return static_cast<uint32_t>(std::min<uint64_t>(v, UINT32_MAX));
}

}  // namespace

uint32_t IndexCode(MarketIndex index) {
    switch (index) {
        case MarketIndex::Shanghai:
            return data::kShanghaiIndexCode;
        case MarketIndex::Shenzhen:
            return data::kShenzhenIndexCode;
        case MarketIndex::ChiNext:
            return data::kChiNextIndexCode;
    }
    return 0;
}

const char* IndexName(MarketIndex index) {
    switch (index) {
        case MarketIndex::Shanghai:
            return "上证指数";
        case MarketIndex::Shenzhen:
            return "深证成指";
        case MarketIndex::ChiNext:
            return "创业板指";
    }
    return "";
}

const char* IndexInitials(MarketIndex index) {
    switch (index) {
        case MarketIndex::Shanghai:
            return "SZZS";
        case MarketIndex::Shenzhen:
            return "SZCZ";
        case MarketIndex::ChiNext:
            return "CYBZ";
    }
    return "";
}

uint32_t IndexBaseLevel(MarketIndex index) {
    switch (index) {
        case MarketIndex::Shanghai:
            return 300'000;
        case MarketIndex::Shenzhen:
            return 1'000'000;
        case MarketIndex::ChiNext:
            return 200'000;
    }
    return 0;
}

bool IndexHolds(MarketIndex index, Board board) {
    switch (index) {
        case MarketIndex::Shanghai:
            return board == Board::ShMain || board == Board::Star;
        case MarketIndex::Shenzhen:
            return board == Board::SzMain || board == Board::Sme || board == Board::ChiNext;
        case MarketIndex::ChiNext:
            return board == Board::ChiNext;
    }
    return false;
}

IndexAccumulator::IndexAccumulator(uint32_t days) : m_dayCount(days) {
    for (auto& d : m_days) d.assign(days, IndexDay{});
}

void IndexAccumulator::Add(Board board, std::span<const data::Bar> bars,
                           std::span<const BarInfo> info) {
    for (size_t k = 0; k < kIndexCount; ++k) {
        const auto index = static_cast<MarketIndex>(k);
        if (!IndexHolds(index, board)) continue;
        // The Shanghai composite weighs total capital, the Shenzhen indices the float.
        const bool total = index == MarketIndex::Shanghai;
        for (size_t i = 0; i < bars.size(); ++i) {
            IndexDay& d = m_days[k][info[i].day];
            const data::Bar& b = bars[i];
            d.amount += b.amount;
            d.volume += b.volume;
            ++d.bars;
            const uint32_t ref = info[i].reference;
            if (ref == 0) continue;  // a new listing joins the returns once it trades freely
            const int64_t w = total ? info[i].totalShares : info[i].floatShares;
            d.reference += w * ref;
            d.open += w * b.open;
            d.high += w * b.high;
            d.low += w * b.low;
            d.close += w * b.close;
            if (static_cast<uint64_t>(b.close) * 1000 >=
                static_cast<uint64_t>(ref) * kBigMovePerMille)
                ++d.bigMovers;
        }
    }
}

void IndexAccumulator::Merge(const IndexAccumulator& other) {
    for (size_t k = 0; k < kIndexCount; ++k) {
        for (uint32_t t = 0; t < m_dayCount; ++t) {
            IndexDay& d = m_days[k][t];
            const IndexDay& o = other.m_days[k][t];
            d.reference += o.reference;
            d.open += o.open;
            d.high += o.high;
            d.low += o.low;
            d.close += o.close;
            d.amount += o.amount;
            d.volume += o.volume;
            d.bars += o.bars;
            d.bigMovers += o.bigMovers;
        }
    }
}

std::vector<data::Bar> BuildIndexBars(const IndexAccumulator& sums, MarketIndex index,
                                      std::span<const uint32_t> calendar) {
    std::vector<data::Bar> bars;
    uint32_t first = 0;
    if (index == MarketIndex::ChiNext) {
        while (first < sums.Days() && sums.Day(index, first).bars == 0) ++first;
    }
    int64_t level = IndexBaseLevel(index);
    for (uint32_t t = first; t < sums.Days(); ++t) {
        const IndexDay& d = sums.Day(index, t);
        int64_t open = level, high = level, low = level, close = level;
        if (d.reference > 0) {
            open = Scale(level, d.open, d.reference);
            close = Scale(level, d.close, d.reference);
            // Constituents do not all peak together: half the summed range.
            const int64_t top = std::max(open, close), bottom = std::min(open, close);
            high = top + (std::max(top, Scale(level, d.high, d.reference)) - top) / 2;
            low = bottom - (bottom - std::min(bottom, Scale(level, d.low, d.reference))) / 2;
        }
        data::Bar bar;
        bar.date = calendar[t];
        bar.open = static_cast<uint32_t>(open);
        bar.high = static_cast<uint32_t>(high);
        bar.low = static_cast<uint32_t>(low);
        bar.close = static_cast<uint32_t>(close);
        bar.amount = Saturate(d.amount);
        bar.volume = Saturate(d.volume);
        bars.push_back(bar);
        level = close;
    }
    return bars;
}

}  // namespace demo
