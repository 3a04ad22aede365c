#include <gtest/gtest.h>

#include <vector>

#include "base/endian.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"

namespace {

using data::AdjustMode;
using data::ExRightsEvent;
using data::ExRightsStock;

// A table image kept alive beside its view.
struct Table {
    explicit Table(std::vector<ExRightsStock> stocks, uint32_t dataDate = 20170601)
        : bytes(data::EncodeExRightsTable(dataDate, stocks)), view(bytes) {}
    std::vector<uint8_t> bytes;
    data::ExRightsTable view;

    data::Adjuster For(uint32_t code, AdjustMode mode) const {
        return {&view, data::FindExRightsEntry(view, code), mode};
    }
};

ExRightsEvent Bonus(uint32_t date, float perTen) { return {date, perTen, 0, 0, 0}; }
ExRightsEvent Dividend(uint32_t date, float yuanPerTen) { return {date, 0, yuanPerTen, 0, 0}; }

TEST(ExRights, RawModeAndStocksWithoutEventsKeepEveryPrice) {
    Table t({{600000, {Bonus(20170523, 10)}}});
    EXPECT_EQ(data::AdjustPrice(t.For(600000, AdjustMode::None), 2000, 20170522), 2000u);
    EXPECT_EQ(data::AdjustPrice(t.For(1, AdjustMode::Forward), 2000, 20170522), 2000u);
    EXPECT_EQ(t.For(1, AdjustMode::Forward).entry, 0u);
    data::ExRightsTable missing;
    EXPECT_EQ(data::FindExRightsEntry(missing, 600000), 0u);
}

TEST(ExRights, TenForTenBonusHalvesEarlierPricesAndDoublesLaterOnes) {
    Table t({{1, {Dividend(20160601, 1)}}, {600000, {Bonus(20170523, 10)}}});
    auto forward = t.For(600000, AdjustMode::Forward);
    EXPECT_EQ(forward.entry, 15u);  // after the header and stock 1 with its event
    EXPECT_EQ(data::AdjustPrice(forward, 2000, 20170522), 1000u);
    EXPECT_EQ(data::AdjustPrice(forward, 1000, 20170523), 1000u);  // the ex-date itself
    auto backward = t.For(600000, AdjustMode::Backward);
    EXPECT_EQ(data::AdjustPrice(backward, 1000, 20170523), 2000u);
    EXPECT_EQ(data::AdjustPrice(backward, 2000, 20170522), 2000u);
}

TEST(ExRights, ForwardPriceIsFlooredAtOneCent) {
    Table t({{600001, {Dividend(20170523, 5)}}});
    // 0.40 less 0.50 per share would be -0.10.
    EXPECT_EQ(data::AdjustPrice(t.For(600001, AdjustMode::Forward), 40, 20170522), 1u);
}

TEST(ExRights, RoundingLooksAtTheThirdDecimal) {
    // 10.01 less a dividend of 0.0051 per share: 10.0049 -> 10.00.
    Table low({{600002, {Dividend(20170523, 0.051f)}}});
    EXPECT_EQ(data::AdjustPrice(low.For(600002, AdjustMode::Forward), 1001, 20170101), 1000u);
    // 10.01 less 0.0049: 10.0051 -> 10.01.
    Table high({{600002, {Dividend(20170523, 0.049f)}}});
    EXPECT_EQ(data::AdjustPrice(high.For(600002, AdjustMode::Forward), 1001, 20170101), 1001u);
}

TEST(ExRights, EventsApplyNewestFirstBackwardAndOldestFirstForward) {
    // 10 for 10 bonus, then a rights issue of 3 per 10 at 5.00 and a 2.00 dividend.
    ExRightsEvent rights{20180710, 0, 2.0f, 3.0f, 5.0f};
    Table t({{2, {Bonus(20170523, 10), rights}}});
    auto forward = t.For(2, AdjustMode::Forward);
    // 30.00 before both: /2 = 15.00, then (150 - 2 + 15) / 13 = 12.538... -> 12.54.
    EXPECT_EQ(data::AdjustPrice(forward, 3000, 20170101), 1254u);
    // Between the events only the rights issue applies: (200 - 2 + 15) / 13 = 16.38.
    EXPECT_EQ(data::AdjustPrice(forward, 2000, 20170601), 1638u);
    auto backward = t.For(2, AdjustMode::Backward);
    // After both: (13 * 12.54 - 15 + 2) / 10 = 15.002, then doubled = 30.004 -> 30.00.
    EXPECT_EQ(data::AdjustPrice(backward, 1254, 20190101), 3000u);
}

TEST(ExRights, ForwardAndBackwardAcrossADateRangeAreInverses) {
    ExRightsEvent rights{20180710, 3, 1.5f, 2.0f, 6.5f};
    Table t({{300001, {Dividend(20160615, 2.5f), Bonus(20170523, 5), rights}}});
    for (uint32_t price : {123u, 999u, 1550u, 4321u, 65535u}) {
        uint32_t forward = data::AdjustPriceForward(t.view, 300001, price, 20160101, 20181231);
        uint32_t back = data::AdjustPriceBackward(t.view, 300001, forward, 20160101, 20181231);
        EXPECT_NEAR(static_cast<double>(back), price, 1.0) << price;
    }
    // Only events after `from` and on or before `to` count.
    EXPECT_EQ(data::AdjustPriceForward(t.view, 300001, 1500, 20170523, 20170601), 1500u);
    EXPECT_EQ(data::AdjustPriceForward(t.view, 300001, 1500, 20170522, 20170523), 1000u);
    EXPECT_EQ(data::AdjustPriceBackward(t.view, 300001, 1000, 20170522, 20170523), 1500u);
    EXPECT_EQ(data::AdjustPriceForward(t.view, 999, 1500, 20100101, 20200101), 1500u);
}

TEST(ExRights, PricesOfABarAdjustedTogetherMatchOneByOne) {
    ExRightsEvent rights{20180710, 3, 1.5f, 2.0f, 6.5f};
    Table t({{300001, {Dividend(20160615, 2.5f), Bonus(20170523, 5), rights}}});
    for (AdjustMode mode : {AdjustMode::None, AdjustMode::Forward, AdjustMode::Backward}) {
        auto adjuster = t.For(300001, mode);
        for (uint32_t date : {20150101u, 20160615u, 20170601u, 20180710u, 20190101u}) {
            uint32_t prices[4] = {40, 1234, 999, 65535};
            const uint32_t raw[4] = {40, 1234, 999, 65535};
            data::AdjustPrices(adjuster, date, prices);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(prices[i], data::AdjustPrice(adjuster, raw[i], date))
                    << static_cast<int>(mode) << " " << date << " " << raw[i];
        }
    }
}

TEST(ExRights, CenturyRuleSplitsAt800101) {
    EXPECT_EQ(data::ExRightsFullDate(991231), 19991231u);
    EXPECT_EQ(data::ExRightsFullDate(101), 20000101u);
    EXPECT_EQ(data::ExRightsFullDate(800101), 19800101u);
    EXPECT_EQ(data::ExRightsFullDate(791231), 20791231u);
    Table t({{600003, {Bonus(19991231, 10)}}});
    EXPECT_EQ(t.view.EventAt(t.For(600003, AdjustMode::None).entry, 0).date, 19991231u);
    // A 1999 event is before every 2000 bar: forward adjustment leaves them alone.
    EXPECT_EQ(data::AdjustPrice(t.For(600003, AdjustMode::Forward), 1000, 20000104), 1000u);
}

TEST(ExRights, EventOnBarFindsEventsInTheGapBeforeABar) {
    Table t({{600004, {Bonus(20170520, 10), Dividend(20170601, 1)}}});
    // 2017-05-20 is a Saturday: it belongs to the Monday bar after it.
    EXPECT_EQ(data::FindEventOnBar(t.view, 600004, 20170522, 20170519), 0);
    EXPECT_EQ(data::FindEventOnBar(t.view, 600004, 20170601, 20170531), 1);
    EXPECT_EQ(data::FindEventOnBar(t.view, 600004, 20170531, 20170530), -1);
    EXPECT_EQ(data::FindEventOnBar(t.view, 600005, 20170601, 20170531), -1);
}

TEST(ExRights, EventTextDropsTrailingZeros) {
    EXPECT_EQ(data::EventText({0, 3, 1.2f, 0, 0}), "10送3股派1.2元");
    EXPECT_EQ(data::EventText({0, 0, 0, 2, 8.5f}), "10配2股8.5元");
    EXPECT_EQ(data::EventText({0, 0, 0.25f, 0, 0}), "10派0.25元");
    EXPECT_EQ(data::EventText({0, 10, 0, 3, 6}), "10送10股配3股6元");
    EXPECT_EQ(data::EventText({0, 0, 0, 0, 0}), "");
}

// The entry as the table defines it: the first of the counted records whose
// float 0 equals the code plus 6,000,000, found by walking them all.
size_t EntryByWalking(std::span<const uint8_t> bytes, uint32_t records, uint32_t code) {
    const float wanted = static_cast<float>(code) + 6'000'000.0f;
    for (uint32_t r = 1; r <= records; ++r)
        if (base::ReadF32(bytes.data() + r * 20) == wanted) return r * 5;
    return 0;
}

TEST(ExRights, LookupFindsWhatAWalkOverTheTableFinds) {
    // Codes out of order, one listed twice (the first record counts), a
    // stock without events, events of both centuries.
    Table t({{600010, {Bonus(19991231, 10), Dividend(20170523, 5)}},
             {1, {{20000101, 3, 1.2f, 0, 0}}},
             {688001, {}},
             {600010, {Bonus(20200101, 1)}},
             {300750, {{20240102, 0, 0, 2, 8.5f}}}});
    for (uint32_t code : {0u, 1u, 2u, 300750u, 600010u, 688001u, 999999u, 6'000'000u}) {
        EXPECT_EQ(t.view.FindEntry(code), EntryByWalking(t.bytes, t.view.RecordCount(), code))
            << code;
    }
    EXPECT_EQ(t.view.FindEntry(600010), 5u);
    EXPECT_EQ(t.view.EventCount(t.view.FindEntry(600010)), 2u);

    // Records past the header's count are not part of the table; a NaN, or
    // an event whose first float happens to equal a code's key, are records
    // like any other.
    std::vector<uint8_t> bytes = t.bytes;
    // Event 1 of 600010 now reads as 300750's key.
    base::WriteF32(bytes.data() + 2 * 20, 6'300'750.0f);
    base::WriteU32(bytes.data() + 4 * 20, 0x7FC00000);    // stock 1's record: NaN
    const data::ExRightsTable odd(bytes);
    for (uint32_t code : {1u, 300750u, 600010u, 688001u})
        EXPECT_EQ(odd.FindEntry(code), EntryByWalking(bytes, odd.RecordCount(), code)) << code;
    EXPECT_EQ(odd.FindEntry(300750), 10u);
    EXPECT_EQ(odd.FindEntry(1), 0u);
    base::WriteF32(bytes.data(), 3.0f);  // counted: 600010's record and its two events
    const data::ExRightsTable cut(bytes);
    EXPECT_EQ(cut.FindEntry(688001), 0u);
    EXPECT_EQ(cut.FindEntry(300750), 10u);
}

TEST(ExRights, LookupAgreesWithTheWalkOnALargeShuffledTable) {
    // Four thousand stocks in a scrambled order, some twice, most with events.
    std::vector<ExRightsStock> stocks;
    uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1103515245u + 12345u; };
    for (uint32_t i = 0; i < 4000; ++i) {
        const uint32_t code = (next() >> 8) % 1'000'000;
        std::vector<ExRightsEvent> events;
        for (uint32_t k = next() % 4; k > 0; --k)
            events.push_back(Dividend(20100101 + k * 10000, 1));
        stocks.push_back({code, events});
        if (i % 97 == 0) stocks.push_back({code, {Bonus(20230101, 2)}});
    }
    const auto bytes = data::EncodeExRightsTable(20260101, stocks);
    const data::ExRightsTable table(bytes);
    size_t found = 0;
    for (const ExRightsStock& stock : stocks) {
        for (uint32_t code : {stock.code, stock.code + 1}) {
            const size_t entry = table.FindEntry(code);
            ASSERT_EQ(entry, EntryByWalking(bytes, table.RecordCount(), code)) << code;
            found += entry != 0;
        }
    }
    EXPECT_GT(found, 4000u);
}

TEST(ExRights, CountsThatRunPastTheImageAreCut) {
    auto bytes = data::EncodeExRightsTable(20170601, std::vector<ExRightsStock>{
                                                         {600000, {Bonus(20170523, 10)}}});
    // Header claims 1000 records; only 2 are there.
    base::WriteF32(bytes.data(), 1000.0f);
    // The stock record claims 50 events; only 1 is there.
    base::WriteF32(bytes.data() + 24, 50.0f);
    data::ExRightsTable table(bytes);
    EXPECT_EQ(table.RecordCount(), 2u);
    size_t entry = table.FindEntry(600000);
    ASSERT_EQ(entry, 5u);
    EXPECT_EQ(table.EventCount(entry), 1u);
    EXPECT_EQ(data::AdjustPrice({&table, entry, AdjustMode::Forward}, 2000, 20170101), 1000u);

    // A count that is not a number, or negative, reads as an empty table.
    base::WriteF32(bytes.data(), -5.0f);
    EXPECT_EQ(data::ExRightsTable(bytes).RecordCount(), 0u);
    base::WriteU32(bytes.data(), 0x7FC00000);  // NaN
    EXPECT_EQ(data::ExRightsTable(bytes).RecordCount(), 0u);
    // An image shorter than one record holds nothing.
    EXPECT_EQ(data::ExRightsTable(std::span(bytes).first(7)).FindEntry(600000), 0u);
}

}  // namespace
