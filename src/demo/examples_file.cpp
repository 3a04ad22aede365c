#include "demo/examples_file.h"

#include <algorithm>
#include <cstdio>

#include "base/gbk.h"

namespace demo {
namespace {

// Group a's examples come from the most recent year of trading.
constexpr uint32_t kRecentDays = 250;
// Two group-a examples lie at least this many days apart.
constexpr uint32_t kGroupASpacing = 5;

MarketIndex IndexOfMarket(uint32_t market) {
    switch (market) {
        case kExampleShenzhen:
            return MarketIndex::Shenzhen;
        case kExampleChiNext:
            return MarketIndex::ChiNext;
        default:
            return MarketIndex::Shanghai;
    }
}

// The day in [from, to) with the most big movers in the market, skipping
// days already taken; `to` when the market has no constituents there.
uint32_t BestDay(const IndexAccumulator& sums, uint32_t market, uint32_t from, uint32_t to,
                 const std::vector<uint32_t>& taken) {
    const MarketIndex index = IndexOfMarket(market);
    uint32_t best = to;
    for (uint32_t t = from; t < to; ++t) {
        const IndexDay& d = sums.Day(index, t);
        if (d.bars == 0) continue;
        bool near = false;
        for (uint32_t k : taken) near = near || (t + kGroupASpacing > k && k + kGroupASpacing > t);
        if (near) continue;
        if (best == to || d.bigMovers > sums.Day(index, best).bigMovers) best = t;
    }
    return best;
}

}  // namespace

std::vector<ExampleEntry> PickExamples(const IndexAccumulator& sums,
                                       std::span<const uint32_t> calendar) {
    const uint32_t days = static_cast<uint32_t>(calendar.size());
    std::vector<ExampleEntry> entries;
    const uint32_t markets[] = {kExampleShanghai, kExampleShenzhen, kExampleChiNext};

    // Group a: strong recent days, a different one for each entry.
    std::vector<uint32_t> taken;
    const uint32_t recent = days > kRecentDays ? days - kRecentDays : 0;
    for (uint32_t p = 1; p <= kGroupAPositions; ++p) {
        uint32_t market = markets[(p - 1) % 3];
        uint32_t day = BestDay(sums, market, recent, days, taken);
        if (day == days) {  // no ChiNext stocks yet: Shanghai instead
            market = kExampleShanghai;
            day = BestDay(sums, market, recent, days, taken);
        }
        if (day == days) day = days - 1;
        taken.push_back(day);
        entries.push_back({kExampleGroupA, p, market, calendar[day]});
    }

    // Group b: the strongest day of each of 52 stretches of the whole range.
    const std::vector<uint32_t> none;
    for (uint32_t p = 1; p <= kGroupBPositions; ++p) {
        const uint32_t from =
            static_cast<uint32_t>(static_cast<uint64_t>(days) * (p - 1) / kGroupBPositions);
        const uint32_t to = std::max(
            from + 1, static_cast<uint32_t>(static_cast<uint64_t>(days) * p / kGroupBPositions));
        uint32_t market = markets[(p - 1) % 3];
        uint32_t day = BestDay(sums, market, from, to, none);
        if (day == to && market == kExampleChiNext) {
            market = kExampleShenzhen;
            day = BestDay(sums, market, from, to, none);
        }
        if (day == to) market = kExampleShanghai, day = from;
        entries.push_back({kExampleGroupB, p, market, calendar[std::min(day, days - 1)]});
    }
    return entries;
}

std::string ExamplesText(std::span<const ExampleEntry> entries) {
    std::string text = "演示行情的条件示例日期\r\n";
    text += "2NN 为初级条件，3NN 为中级条件；市场 1 沪市，2 深市，3 创板\r\n";
    for (const ExampleEntry& e : entries) {
        char line[32];
        std::snprintf(line, sizeof line, "%u%02u:%u%08u\r\n", e.group, e.position, e.market,
                      e.date);
        text += line;
    }
    text += "以上均为演示行情的交易日\r\n";
    return base::Utf8ToGbk(text);
}

}  // namespace demo
