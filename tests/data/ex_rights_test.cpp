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
