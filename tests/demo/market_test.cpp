// Invariants of a generated demo market, read back from its files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "base/file_io.h"
#include "base/gbk.h"
#include "data/capacities.h"
#include "data/examples.h"
#include "demo/calendar.h"
#include "demo_test_support.h"

namespace {

using demotest::GeneratedMarket;
using demotest::SmallMarket;

bool IsStock(uint32_t code) {
    return !data::IsIndexCode(code);
}

const data::ExRightsEvent* EventOn(const GeneratedMarket& m, uint32_t code, uint32_t date) {
    auto it = m.exRights.events.find(code);
    if (it == m.exRights.events.end()) return nullptr;
    for (const auto& e : it->second)
        if (e.date == date) return &e;
    return nullptr;
}

TEST(DemoMarket, WritesEveryDataFileButTheSettings) {
    const GeneratedMarket& m = SmallMarket();
    for (const std::string& path :
         {m.paths.codeTable, m.paths.exRights, m.paths.sectorLibrary, m.paths.examples})
        EXPECT_TRUE(base::FileExists(path)) << path;
    EXPECT_FALSE(base::FileExists(m.paths.settings));
    for (const auto& r : m.codes.records) {
        const auto file =
            demotest::ReadDayFile(data::DayFilePath(m.paths, r.code), data::IsIndexCode(r.code));
        EXPECT_EQ(file.magic, r.code < 600000 ? "MKSZ" : "MKSH") << r.code;
        EXPECT_EQ(file.code, r.code);
        EXPECT_EQ(file.format, 2u);
        EXPECT_EQ(file.trailingBytes, 0u) << r.code;
    }
}

TEST(DemoMarket, CodeTableListsEveryStockAndTheIndicesInOrder) {
    const GeneratedMarket& m = SmallMarket();
    const auto& t = m.codes;
    EXPECT_EQ(t.count, 203u);
    ASSERT_EQ(t.records.size(), 203u);
    EXPECT_EQ(t.bytes, (7u + 7u * 203u) * 4u);
    EXPECT_EQ(t.date, m.summary.lastDate);
    for (size_t i = 1; i < t.records.size(); ++i)
        EXPECT_LT(t.records[i - 1].code, t.records[i].code);

    std::map<uint32_t, std::pair<std::string, std::string>> indices = {
        {999999, {"上证指数", "SZZS"}},
        {399001, {"深证成指", "SZCZ"}},
        {399006, {"创业板指", "CYBZ"}}};
    std::array<uint32_t, demo::kBoardCount> boards{};
    for (const auto& r : t.records) {
        const std::string utf8 = base::GbkToUtf8(r.name);
        EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << r.code;
        if (auto it = indices.find(r.code); it != indices.end()) {
            EXPECT_EQ(utf8, it->second.first);
            EXPECT_EQ(r.initials, it->second.second);
            continue;
        }
        ++boards[static_cast<size_t>(demo::BoardOfCode(r.code))];
        EXPECT_GE(r.name.size(), 4u) << r.code;
        EXPECT_LE(r.name.size(), 8u) << r.code;
        ASSERT_EQ(r.initials.size(), 4u) << utf8;
        for (char c : r.initials) EXPECT_TRUE(c >= 'A' && c <= 'Z') << utf8 << " " << r.initials;
        if (m.IsSt(r.code)) {
            EXPECT_EQ(r.initials.substr(0, 2), "ST");
        }
        EXPECT_GT(r.floatShares, 0u) << r.code;
        EXPECT_LE(r.floatShares, r.totalShares) << r.code;
    }
    EXPECT_EQ(boards, m.summary.boardStocks);
    EXPECT_GT(boards[static_cast<size_t>(demo::Board::Star)], 0u);
    EXPECT_GT(boards[static_cast<size_t>(demo::Board::ChiNext)], 0u);
}

TEST(DemoMarket, StockBarsStayWithinTheirLimitsAndInOrder) {
    const GeneratedMarket& m = SmallMarket();
    const std::set<uint32_t> calendar(m.calendar.begin(), m.calendar.end());
    uint64_t bars = 0, exDates = 0, wideMoves = 0, limitUps = 0;
    for (const auto& [code, series] : m.bars) {
        if (!IsStock(code)) continue;
        const bool st = m.IsSt(code);
        ASSERT_FALSE(series.empty()) << code;
        for (size_t i = 0; i < series.size(); ++i) {
            const data::Bar& b = series[i];
            SCOPED_TRACE(testing::Message() << code << " on " << b.date);
            ASSERT_TRUE(calendar.count(b.date));
            if (i > 0) {
                ASSERT_GT(b.date, series[i - 1].date);
            }
            ASSERT_GE(b.low, 95u) << "prices stay near or above 1 yuan";
            ASSERT_LE(b.high, 65'535u);
            ASSERT_LE(b.low, std::min(b.open, b.close));
            ASSERT_GE(b.high, std::max(b.open, b.close));
            ASSERT_GT(b.volume, 0u);
            // amount = volume * average price, between the day's low and high.
            const uint64_t lo = uint64_t{b.low} * b.volume / 10'000,
                           hi = (uint64_t{b.high} * b.volume + 9'999) / 10'000;
            ASSERT_GE(b.amount, std::max<uint64_t>(1, lo) - 1);
            ASSERT_LE(b.amount, std::max<uint64_t>(1, hi) + 1);
            ++bars;
            if (i == 0) continue;
            uint32_t reference = series[i - 1].close;
            if (const auto* e = EventOn(m, code, b.date)) {
                reference = demotest::ReferencePrice(reference, *e);
                ++exDates;
            }
            const uint32_t percent = demotest::BoardLimitPercent(code, st, b.date);
            const uint32_t up = (reference * (100 + percent) + 50) / 100;
            const uint32_t down = (reference * (100 - percent) + 50) / 100;
            ASSERT_LE(b.high, up) << "reference " << reference << ", " << percent << " %";
            ASSERT_GE(b.low, down) << "reference " << reference << ", " << percent << " %";
            if (b.close * 100 > reference * 111) ++wideMoves;
            limitUps += b.close == up;
        }
    }
    EXPECT_EQ(bars, m.summary.stockBars);
    EXPECT_GT(exDates, 50u);
    EXPECT_GT(wideMoves, 20u) << "the 20 % boards should use their room";
    EXPECT_GT(limitUps, bars / 200) << "limit-up days should be common";
}

TEST(DemoMarket, ListingsStartWithARunOfOnePriceLimitUpDays) {
    const GeneratedMarket& m = SmallMarket();
    uint32_t listings = 0;
    for (const auto& [code, series] : m.bars) {
        if (!IsStock(code)) continue;
        const uint32_t first = series.front().date;
        const demo::Board board = demo::BoardOfCode(code);
        if (board == demo::Board::Star) {
            EXPECT_GE(first, 20190722u) << code;
        }
        if (board == demo::Board::ChiNext) {
            EXPECT_GE(first, 20091030u) << code;
        }
        if (first == m.calendar.front()) continue;  // traded before the range
        ++listings;
        if (series.size() < 2) continue;
        const data::Bar& b = series[1];
        const uint32_t percent = demotest::BoardLimitPercent(code, false, b.date);
        EXPECT_EQ(b.close, (series[0].close * (100 + percent) + 50) / 100) << code;
        EXPECT_TRUE(b.open == b.close && b.high == b.close && b.low == b.close) << code;
        EXPECT_LT(b.volume, series[0].volume) << code;
    }
    EXPECT_EQ(listings, m.summary.newListings);
    EXPECT_GT(listings, 30u);
}

TEST(DemoMarket, SomeStocksAreSuspendedForAWhile) {
    const GeneratedMarket& m = SmallMarket();
    std::map<uint32_t, size_t> position;
    for (size_t i = 0; i < m.calendar.size(); ++i) position[m.calendar[i]] = i;
    uint32_t suspended = 0;
    for (const auto& [code, series] : m.bars) {
        if (!IsStock(code)) continue;
        for (size_t i = 1; i < series.size(); ++i)
            if (position[series[i].date] != position[series[i - 1].date] + 1) {
                ++suspended;
                break;
            }
    }
    EXPECT_GT(suspended, 5u);
    EXPECT_LT(suspended, 100u);
}

TEST(DemoMarket, IndicesCoverEveryTradingDayAndSumTheirConstituents) {
    const GeneratedMarket& m = SmallMarket();
    struct Expect {
        uint32_t code;
        uint32_t base;
        bool (*holds)(uint32_t);
    };
    const Expect indices[] = {
        {999999, 300000, [](uint32_t c) { return c >= 600000; }},
        {399001, 1000000, [](uint32_t c) { return c < 600000; }},
        {399006, 200000, [](uint32_t c) { return c >= 300000 && c < 600000; }},
    };
    for (const Expect& x : indices) {
        SCOPED_TRACE(x.code);
        std::map<uint32_t, std::pair<uint64_t, uint64_t>> sums;  // amount, volume
        for (const auto& [code, series] : m.bars)
            if (IsStock(code) && x.holds(code))
                for (const auto& b : series)
                    sums[b.date].first += b.amount, sums[b.date].second += b.volume;
        const auto& bars = m.bars.at(x.code);
        ASSERT_FALSE(bars.empty());
        const uint32_t first = x.code == 399006 ? sums.begin()->first : m.calendar.front();
        const auto from = std::find(m.calendar.begin(), m.calendar.end(), first);
        ASSERT_EQ(bars.size(), static_cast<size_t>(m.calendar.end() - from));
        for (size_t i = 0; i < bars.size(); ++i) {
            const data::Bar& b = bars[i];
            ASSERT_EQ(b.date, from[static_cast<long>(i)]);
            ASSERT_LE(b.low, std::min(b.open, b.close)) << b.date;
            ASSERT_GE(b.high, std::max(b.open, b.close)) << b.date;
            ASSERT_EQ(b.amount, sums[b.date].first) << b.date;
            ASSERT_EQ(b.volume, sums[b.date].second) << b.date;
            if (i > 0) {
                // An index of many stocks moves far less than its members can.
                const double move = std::fabs(double(b.close) / bars[i - 1].close - 1);
                ASSERT_LT(move, 0.15) << b.date;
            }
        }
        EXPECT_NEAR(bars.front().close, x.base, x.base * 0.1);
        const auto [lo, hi] =
            std::minmax_element(bars.begin(), bars.end(),
                                [](const auto& a, const auto& b) { return a.close < b.close; });
        EXPECT_GT(lo->close, x.base / 3);
        EXPECT_LT(hi->close, x.base * 3);
    }
}

TEST(DemoMarket, ExRightsEventsAreWellFormedAndFallOnTradedDays) {
    const GeneratedMarket& m = SmallMarket();
    const auto& x = m.exRights;
    EXPECT_LE(x.bytes, data::kExRightsBufferBytes);
    EXPECT_EQ(static_cast<size_t>(x.headerCount), x.records);
    EXPECT_EQ(static_cast<uint32_t>(x.headerDate), m.summary.lastDate);
    EXPECT_TRUE(std::is_sorted(x.order.begin(), x.order.end()));
    uint32_t events = 0, dividends = 0, bonuses = 0, rights = 0, summer = 0;
    for (const auto& [code, list] : x.events) {
        ASSERT_FALSE(list.empty()) << code;
        const auto& series = m.bars.at(code);
        for (size_t k = 0; k < list.size(); ++k) {
            const auto& e = list[k];
            SCOPED_TRACE(testing::Message() << code << " on " << e.date);
            if (k > 0) {
                EXPECT_GT(e.date, list[k - 1].date);
            }
            auto it = std::find_if(series.begin(), series.end(),
                                   [&](const auto& b) { return b.date == e.date; });
            ASSERT_NE(it, series.end()) << "no bar on the ex-date";
            ASSERT_NE(it, series.begin()) << "an ex-date needs a previous close";
            const uint32_t previous = (it - 1)->close;
            EXPECT_EQ(e.bonus, std::round(e.bonus));
            EXPECT_EQ(e.rights, std::round(e.rights));
            EXPECT_EQ(std::lround(double(e.dividend) * 100) % 5, 0) << e.dividend;
            EXPECT_LT(double(e.dividend) * 10, previous * 0.5)
                << "cash per share below half the price";
            if (e.rights > 0) {
                EXPECT_GT(e.rightsPrice, 0.0f);
                EXPECT_LT(std::lround(double(e.rightsPrice) * 100), previous);
                ++rights;
            }
            EXPECT_TRUE(e.bonus > 0 || e.dividend > 0 || e.rights > 0);
            dividends += e.dividend > 0;
            bonuses += e.bonus > 0;
            summer += e.dividend > 0 && e.date % 10000 >= 501 && e.date % 10000 <= 831;
            ++events;
        }
    }
    EXPECT_EQ(events, m.summary.exRightsEvents);
    EXPECT_EQ(x.events.size(), m.summary.exRightsStocks);
    EXPECT_EQ(x.records, events + x.events.size());
    EXPECT_GT(dividends, 100u);
    EXPECT_GT(summer, dividends * 9 / 10) << "dividends go ex in early summer";
    EXPECT_LT(x.events.size(), 190u) << "not every stock pays";
    (void)bonuses;
    (void)rights;
}

// Adjusting the close before an ex-date across that one event gives the
// generator's reference price, so the day's move stays within the limit.
// Adjusted to the latest shares (across every later event too) the series
// has no ex-rights gap either; later cash dividends are subtracted, not
// scaled, so they can stretch a day's relative move a little.
TEST(DemoMarket, ForwardAdjustedClosesStayContinuousAtExDates) {
    const GeneratedMarket& m = SmallMarket();
    const auto image = demotest::ReadBytes(m.paths.exRights);
    data::ExRightsTable table(image);
    uint32_t checked = 0;
    for (const auto& [code, list] : m.exRights.events) {
        const data::Adjuster adjuster{&table, data::FindExRightsEntry(table, code),
                                      data::AdjustMode::Forward};
        ASSERT_NE(adjuster.entry, 0u) << code;
        const auto& series = m.bars.at(code);
        const bool st = m.IsSt(code);
        for (const auto& e : list) {
            SCOPED_TRACE(testing::Message() << code << " on " << e.date);
            auto it = std::find_if(series.begin(), series.end(),
                                   [&](const auto& b) { return b.date == e.date; });
            ASSERT_TRUE(it != series.end() && it != series.begin());
            const int64_t percent = demotest::BoardLimitPercent(code, st, e.date);

            const int64_t reference =
                data::AdjustPriceForward(table, code, (it - 1)->close, (it - 1)->date, e.date);
            EXPECT_LE(std::llabs(int64_t{it->close} - reference), reference * percent / 100 + 2)
                << (it - 1)->close << " adjusted to " << reference << ", close " << it->close;

            const int64_t before = data::AdjustPrice(adjuster, (it - 1)->close, (it - 1)->date);
            const int64_t after = data::AdjustPrice(adjuster, it->close, it->date);
            EXPECT_GT(before, 0);
            EXPECT_LE(std::llabs(after - before), before * (percent + 3) / 100 + 2)
                << before << " -> " << after;
            ++checked;
        }
    }
    EXPECT_GT(checked, 50u);
}

TEST(DemoMarket, SectorLibraryIsCompleteAndWithinItsBudget) {
    const GeneratedMarket& m = SmallMarket();
    const auto& l = m.library;
    EXPECT_LE(l.bytes, data::kSectorLibraryReadBytes);
    EXPECT_EQ(l.count, l.sectors.size());
    EXPECT_EQ(l.date, m.summary.lastDate);
    EXPECT_EQ(l.weights[0] | l.weights[1] | l.weights[2], 0);
    EXPECT_EQ(l.sectors.size(), m.summary.sectors);

    std::set<uint32_t> stocks;
    for (const auto& r : m.codes.records)
        if (IsStock(r.code)) stocks.insert(r.code);
    std::map<uint32_t, std::array<uint32_t, 7>> perFamily;
    uint32_t family = 0, serial = 0;
    for (const auto& s : l.sectors) {
        const std::string utf8 = base::GbkToUtf8(s.name);
        SCOPED_TRACE(utf8);
        ASSERT_GE(s.family, 1u);
        ASSERT_LE(s.family, 6u);
        // Families in order, serials counting from 1 within each.
        ASSERT_GE(s.family, family);
        serial = s.family == family ? serial + 1 : 1;
        family = s.family;
        EXPECT_EQ(s.serial, serial);
        EXPECT_FALSE(s.name.empty());
        EXPECT_LE(s.name.size(), 20u);
        EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos);
        EXPECT_FALSE(s.members.empty());
        EXPECT_TRUE(std::is_sorted(s.members.begin(), s.members.end()));
        EXPECT_EQ(std::adjacent_find(s.members.begin(), s.members.end()), s.members.end());
        for (uint32_t code : s.members) {
            EXPECT_TRUE(stocks.count(code)) << code << " is not a listed stock";
            ++perFamily[code][s.family];
        }
    }
    EXPECT_EQ(family, 6u);
    for (uint32_t code : stocks) {
        EXPECT_EQ(perFamily[code][5], 1u) << code << " industries";
        EXPECT_EQ(perFamily[code][6], 1u) << code << " regions";
        EXPECT_GE(perFamily[code][4], 1u) << code << " concepts";
        EXPECT_LE(perFamily[code][4], 6u) << code << " concepts";
    }
}

TEST(DemoMarket, MostDaysHaveASectorFullOfBigMovers) {
    const GeneratedMarket& m = SmallMarket();
    // Stocks closing at least 7.5 % above the previous close, by day.
    std::map<uint32_t, std::set<uint32_t>> movers;
    for (const auto& [code, series] : m.bars) {
        if (!IsStock(code)) continue;
        for (size_t i = 1; i < series.size(); ++i)
            if (uint64_t{series[i].close} * 1000 >= uint64_t{series[i - 1].close} * 1075)
                movers[series[i].date].insert(code);
    }
    uint32_t hotDays = 0;
    for (size_t t = 1; t < m.calendar.size(); ++t) {
        const auto& today = movers[m.calendar[t]];
        size_t best = 0;
        for (const auto& s : m.library.sectors) {
            if (s.family == 6) continue;  // provinces do not move as one
            best =
                std::max<size_t>(best, std::count_if(s.members.begin(), s.members.end(),
                                                     [&](uint32_t c) { return today.count(c); }));
        }
        hotDays += best >= 3;
    }
    EXPECT_GE(hotDays, (m.calendar.size() - 1) * 8 / 10);
}

TEST(DemoMarket, TurnoverIsRealisticForTheFloat) {
    const GeneratedMarket& m = SmallMarket();
    std::vector<double> turnover;
    for (const auto& r : m.codes.records) {
        if (!IsStock(r.code)) continue;
        for (const auto& b : m.bars.at(r.code))
            turnover.push_back(b.volume * 100.0 / (r.floatShares * 10'000.0));
    }
    std::sort(turnover.begin(), turnover.end());
    const double median = turnover[turnover.size() / 2];
    EXPECT_GT(median, 0.003);
    EXPECT_LT(median, 0.05);
    EXPECT_LT(turnover.back(), 1.0);
}

TEST(DemoMarket, ExampleEntriesNameTradingDaysOfTheirMarket) {
    const GeneratedMarket& m = SmallMarket();
    const auto bytes = demotest::ReadBytes(m.paths.examples);
    const std::string text(bytes.begin(), bytes.end());
    ASSERT_GT(text.size(), 7u);
    EXPECT_EQ(text.substr(0, 3).find(':'), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4).find(':'), std::string::npos);
    EXPECT_EQ(base::GbkToUtf8(text).find("\xEF\xBF\xBD"), std::string::npos);

    const std::set<uint32_t> calendar(m.calendar.begin(), m.calendar.end());
    const uint32_t chiNextFirst = m.bars.at(399006).front().date;
    std::set<uint32_t> positions;
    for (size_t at = text.find(':'); at != std::string::npos; at = text.find(':', at + 1)) {
        const std::string key = text.substr(at - 3, 3), value = text.substr(at + 1, 9);
        ASSERT_EQ(key.find_first_not_of("0123456789"), std::string::npos) << key;
        ASSERT_EQ(value.find_first_not_of("0123456789"), std::string::npos) << value;
        const uint32_t group = key[0] - '0', position = std::stoul(key.substr(1));
        const uint32_t market = value[0] - '0', date = std::stoul(value.substr(1));
        EXPECT_TRUE(group == 2 || group == 3) << key;
        EXPECT_GE(position, 1u);
        EXPECT_LE(position, group == 2 ? 9u : 52u);
        EXPECT_TRUE(positions.insert(group * 100 + position).second) << key;
        EXPECT_GE(market, 1u);
        EXPECT_LE(market, 3u);
        EXPECT_TRUE(calendar.count(date)) << value;
        if (market == 3) {
            EXPECT_GE(date, chiNextFirst) << value;
        }
    }
    for (uint32_t p = 1; p <= 9; ++p) EXPECT_TRUE(positions.count(200 + p)) << p;
    EXPECT_GE(positions.size(), 9u + 30u);

    // The program's own reader takes every entry.
    std::vector<uint8_t> work(data::kExampleFileBytes);
    data::ExampleTable table;
    EXPECT_EQ(data::LoadExamples(m.paths.examples, work, table), positions.size());
}

}  // namespace
