// The condition tests on hand-made series, at their boundaries. Expected
// values are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <vector>

#include "picking/evaluation.h"
#include "picking_market.h"

namespace {

using pickingtest::MarkValues;
using pickingtest::PickingMarket;
using V = std::vector<uint16_t>;

std::vector<uint32_t> Repeat(uint32_t value, size_t count) {
    return std::vector<uint32_t>(count, value);
}

std::vector<uint32_t> Join(std::vector<uint32_t> a, const std::vector<uint32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The last bar gets a high above its close: not a one-price bar.
std::vector<data::Bar> NotOnePrice(std::vector<data::Bar> bars) {
    bars.back().high += 5;
    return bars;
}

TEST(EvaluationFrame, ReferenceDayCutOffAndAdjustment) {
    PickingMarket m;
    // Stops one day before the index's last day: fails everything on the
    // latest day, passes on the day before in simulation.
    auto stale = m.Bars(Repeat(1500, 21));
    stale.pop_back();
    m.Stock(600001, stale);
    EXPECT_FALSE(m.Passes("a1(0.00,999.00);", 600001));
    EXPECT_FALSE(m.Passes("a7(5,10,0,0,0,9.99);", 600001));
    EXPECT_FALSE(m.Passes("b16(5);", 600001));
    EXPECT_TRUE(m.Passes("a1(0.00,999.00);", 600001, m.DateBack(1)));
    // A cut-off on a weekend means the Friday before it.
    size_t friday = 2;
    while (m.DateBack(friday) + 1 == m.DateBack(friday - 1)) ++friday;
    picking::Evaluator evaluator(m.Inputs(), m.Scan());
    evaluator.Begin(picking::ReadMethodEntry("a1(0.00,999.00);"), m.DateBack(friday) + 1);
    EXPECT_EQ(evaluator.Evaluate(600001).match, picking::Match::Pass);
    EXPECT_EQ(evaluator.Reference().date, m.DateBack(friday));

    // 10送10 dated the day before the last: forward adjustment halves the
    // earlier prices, the event day itself is left alone.
    auto split = m.Bars(Join(Repeat(2000, 10), Repeat(1000, 2)));
    m.Stock(600002, split);
    m.ExRights({{600002, {{m.DateBack(1), 10, 0, 0, 0}}}});
    EXPECT_TRUE(m.Passes("a1(9.00,11.00);", 600002, m.DateBack(2)));
    EXPECT_FALSE(m.Passes("a1(19.00,21.00);", 600002, m.DateBack(2)));
    EXPECT_TRUE(m.Passes("a1(10.00,10.00);", 600002));

    // Index files are never read as stock bars.
    m.Stock(399001, m.Bars(Repeat(1500, 20)));
    EXPECT_FALSE(m.Passes("a1(0.00,999.00);", 399001));
    // No file at all.
    EXPECT_FALSE(m.Passes("a1(0.00,999.00);", 600099));
}

TEST(EvaluationFrame, MissingIndexSaysSoOnceAndFailsEveryStock) {
    PickingMarket m;
    m.Stock(600001, m.Bars(Repeat(1500, 20)));
    m.files.Remove("MKDAY/SH/999999.day");
    picking::Evaluator evaluator(m.Inputs(), m.Scan());
    evaluator.Begin(picking::ReadMethodEntry("a1(0.00,999.00);"), data::kNoSimulationCutoff);
    EXPECT_EQ(evaluator.Evaluate(600001).match, picking::Match::Fail);
    EXPECT_EQ(evaluator.Evaluate(600001).match, picking::Match::Fail);
    evaluator.Begin(picking::ReadMethodEntry("a3(5,0.00,99.00);"), data::kNoSimulationCutoff);
    EXPECT_EQ(evaluator.Evaluate(600001).match, picking::Match::Fail);
    auto messages = evaluator.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "大盘指数文件不存在");
    EXPECT_EQ(messages[0].caption, "提示");
}

TEST(PriceConditions, CloseAndFloatShares) {
    PickingMarket m;
    m.Stock(600001, m.Bars(Repeat(1500, 5)));
    m.Stock(600002, m.Bars(Repeat(2000, 5)));
    m.Codes({{600001, "A", "A", 8000, 5000}, {600002, "B", "B", 9000, 9001}});
    // Bounds in either order, both inclusive.
    EXPECT_TRUE(m.Passes("a1(20.00,10.00);", 600001));
    EXPECT_TRUE(m.Passes("a1(10.00,20.00);", 600002));
    EXPECT_FALSE(m.Passes("a1(10.00,19.99);", 600002));
    EXPECT_TRUE(m.Passes("a2(5000,9000);", 600001));
    EXPECT_FALSE(m.Passes("a2(5001,9000);", 600001));
    EXPECT_FALSE(m.Passes("a2(5000,9000);", 600002));
    EXPECT_EQ(m.Evaluate("a1(0.00,99.00);", 600001).mark.width, 0u);
}

TEST(PriceConditions, A3BoundsComeFromTheScanSettings) {
    PickingMarket m;
    // Five days back 10.00 and 100.00; today +10.00 % (11.00, amount 1100
    // against 1000: +10 %) and +10.99 % (110.99).
    m.Stock(600001, NotOnePrice(m.Bars(Join(Repeat(1000, 11), {1100}))));
    m.Stock(600002, NotOnePrice(m.Bars(Join(Repeat(10000, 11), {11099}))));
    m.Stock(600003, NotOnePrice(m.Bars(Join(Repeat(10000, 11), {11100}))));
    struct Case {
        int type;
        int32_t threshold;
        const char* entry;
        uint32_t code;
        bool passes;
    };
    const Case cases[] = {
        // Rise scan: from T up to 10.99 %, whatever the entry's bounds.
        {1, 200, "a3(5,0.00,0.00);", 600001, true},
        {1, 1000, "a3(5,0.00,0.00);", 600001, true},
        {1, 1001, "a3(5,0.00,99.00);", 600001, false},
        {1, 200, "a3(5,0.00,0.00);", 600002, true},
        {1, 200, "a3(5,0.00,99.00);", 600003, false},
        // Fall scan: the larger of the entry's bounds is the upper bound.
        {3, 200, "a3(5,10.00,2.00);", 600001, true},
        {3, 200, "a3(5,9.99,2.00);", 600001, false},
        {3, 1001, "a3(5,20.00,30.00);", 600001, false},
        // Turnover scan: the amount in whole percent, up to 99,999,999.
        {2, 10, "a3(5,0.00,0.00);", 600001, true},
        {2, 11, "a3(5,0.00,0.00);", 600001, false},
        {2, 10, "a3(0,0.00,0.00);", 600001, false},
    };
    for (const Case& c : cases) {
        const auto verdict =
            m.Evaluate(c.entry, c.code, data::kNoSimulationCutoff, {c.type, c.threshold});
        EXPECT_EQ(verdict.match == picking::Match::Pass, c.passes)
            << c.type << " " << c.threshold << " " << c.entry << " " << c.code;
    }
    EXPECT_EQ(MarkValues(m.Evaluate("a3(5,0.00,0.00);", 600002).mark), V{1099});
    EXPECT_EQ(MarkValues(m.Evaluate("a3(5,0.00,0.00);", 600001, data::kNoSimulationCutoff,
                                    {2, 10})
                             .mark),
              V{10});
}

TEST(PriceConditions, NDayChangeRiseFallAndNewListings) {
    PickingMarket m;
    // c5 = 10.00, c0 = 11.00: +10.00 %, inside the rise scan's 2.00 .. 10.99 %.
    const auto rise = Join(Repeat(1000, 11), {1100});
    m.Stock(600001, NotOnePrice(m.Bars(rise)));
    EXPECT_EQ(MarkValues(m.Evaluate("a3(5,5.00,10.00);", 600001).mark), V{1000});
    EXPECT_FALSE(m.Passes("a3(0,0.00,99.00);", 600001));
    EXPECT_FALSE(m.Passes("a4(5,0.00,99.00);", 600001));

    // Eleven one-price bars before a young stock's last three: newly listed.
    m.Stock(600002, m.Bars(rise));
    EXPECT_FALSE(m.Passes("a3(5,5.00,10.00);", 600002));
    // Six bars before the reference bar: newly listed; seven: not.
    m.Stock(600003, NotOnePrice(m.Bars(Join(Repeat(1000, 6), {1100}))));
    EXPECT_FALSE(m.Passes("a3(5,5.00,10.00);", 600003));
    m.Stock(600004, NotOnePrice(m.Bars(Join(Repeat(1000, 7), {1100}))));
    EXPECT_TRUE(m.Passes("a3(5,5.00,10.00);", 600004));
    EXPECT_TRUE(m.Passes("a3(7,5.00,10.00);", 600004));
    EXPECT_FALSE(m.Passes("a3(8,0.00,99.00);", 600004));  // fewer than N bars before today

    // 200.00 to 200.01 is 0.005 %: half up to 0.01 %.
    m.Stock(600005, NotOnePrice(m.Bars(Join(Repeat(20000, 11), {20001}))));
    EXPECT_EQ(
        MarkValues(m.Evaluate("a3(5,0.01,0.01);", 600005, data::kNoSimulationCutoff, {3, 1}).mark),
        V{1});

    // A fall of 10.00 % passes a4 (its size within the bounds) and fails a3.
    m.Stock(600006, NotOnePrice(m.Bars(Join(Repeat(1000, 11), {900}))));
    EXPECT_EQ(MarkValues(m.Evaluate("a4(5,10.00,10.00);", 600006).mark), V{1000});
    EXPECT_FALSE(m.Passes("a3(5,0.00,99.00);", 600006));
}

TEST(PriceConditions, NDayChangeAmountMode) {
    PickingMarket m;
    auto up = NotOnePrice(m.Bars(Join(Repeat(1000, 11), {1010})));
    up[10].amount = 100, up[11].amount = 150;
    m.Stock(600001, up);
    auto flat = NotOnePrice(m.Bars(Repeat(1000, 12)));
    flat[10].amount = 100, flat[11].amount = 150;
    m.Stock(600002, flat);
    auto less = NotOnePrice(m.Bars(Join(Repeat(1000, 11), {1010})));
    less[10].amount = 3, less[11].amount = 2;
    m.Stock(600003, less);
    auto noAmount = NotOnePrice(m.Bars(Join(Repeat(1000, 11), {1010})));
    noAmount[10].amount = 0;
    m.Stock(600004, noAmount);

    picking::Evaluator e(m.Inputs(), m.Scan());
    e.Begin({}, data::kNoSimulationCutoff);
    auto change = e.MeasureNDayChange(600001, 1, picking::ChangeMode::Amount);
    EXPECT_TRUE(change.hasValue);
    EXPECT_EQ(change.value, 50);
    // More money but no higher close: 0.
    EXPECT_EQ(e.MeasureNDayChange(600002, 1, picking::ChangeMode::Amount).value, 0);
    // 3 to 2: -33.3 % → -33.
    EXPECT_EQ(e.MeasureNDayChange(600003, 1, picking::ChangeMode::Amount).value, -33);
    change = e.MeasureNDayChange(600004, 1, picking::ChangeMode::Amount);
    EXPECT_FALSE(change.hasValue);
    EXPECT_EQ(change.value, picking::kNoValue);
    // The price mode of the same stock: 10.00 to 10.10.
    EXPECT_EQ(e.MeasureNDayChange(600004, 1, picking::ChangeMode::Price).value, 100);
    EXPECT_FALSE(e.MeasureNDayChange(600004, 0, picking::ChangeMode::Price).hasValue);
}

TEST(VolumeConditions, TurnoverOverIndexDays) {
    PickingMarket m;
    m.Codes({{600001, "A", "A", 2000, 1000}, {600002, "B", "B", 2000, 1000}});
    // The last three index days: 100 + 200 + 305 lots = 60,500 shares of a
    // float of 10,000,000: 0.605 % → 0.61 % (the early huge volumes are
    // outside the window).
    auto bars = m.Bars(Repeat(1000, 10));
    for (size_t i = 0; i < 7; ++i) bars[i].volume = 9999;
    bars[7].volume = 100, bars[8].volume = 200, bars[9].volume = 305;
    m.Stock(600001, bars);
    EXPECT_EQ(MarkValues(m.Evaluate("a5(3,0.61,0.61);", 600001).mark), V{61});
    EXPECT_FALSE(m.Passes("a5(3,0.62,1.00);", 600001));
    EXPECT_FALSE(m.Passes("a5(0,0.00,99.00);", 600001));
    // Suspended on the middle day: 405 lots → 0.405 % → 0.41 %.
    bars.erase(bars.begin() + 8);
    m.Stock(600002, bars);
    EXPECT_TRUE(m.Passes("a5(3,0.41,0.41);", 600002));
    // Not in the code table: no float, no turnover.
    m.Stock(600003, m.Bars(Repeat(1000, 10)));
    EXPECT_FALSE(m.Passes("a5(3,0.00,99.00);", 600003));
}

TEST(VolumeConditions, VolumeMultipleOfTruncatedAverage) {
    PickingMarket m;
    // The five days before today average 504 / 5 = 100 (truncated), so 150
    // lots today is 1.50 times; a rounded average (101) would give 1.49.
    auto bars = m.Bars(Repeat(1000, 10));
    for (auto& b : bars) b.volume = 100;
    bars[8].volume = 104;
    bars[9].volume = 150;
    m.Stock(600001, bars);
    EXPECT_EQ(MarkValues(m.Evaluate("a6(5,1.50,1.50);", 600001).mark), V{150});
    // N = 1 compares with yesterday: 150 / 104 = 1.442 → 1.44.
    EXPECT_EQ(MarkValues(m.Evaluate("a6(1,1.44,1.44);", 600001).mark), V{144});
    bars[9].volume = 149;
    m.Stock(600002, bars);
    EXPECT_FALSE(m.Passes("a6(5,1.50,2.00);", 600002));
    bars[9].volume = 0;
    m.Stock(600003, bars);
    EXPECT_FALSE(m.Passes("a6(5,0.00,2.00);", 600003));
    // Four earlier bars for an average of five.
    m.Stock(600004, m.Bars(Repeat(1000, 5)));
    EXPECT_FALSE(m.Passes("a6(5,0.00,9.99);", 600004));
    EXPECT_TRUE(m.Passes("a6(4,1.00,1.00);", 600004));
}

TEST(AverageConditions, SpreadOfAverages) {
    PickingMarket m;
    // MA5 = 11.00, MA10 = 10.50, close 11.00: 0.50 / 11.00 = 4.545 % → 4.55 %.
    m.Stock(600001, m.Bars(Join(Repeat(1000, 5), Repeat(1100, 5))));
    EXPECT_EQ(MarkValues(m.Evaluate("a7(5,10,0,0,0,4.55);", 600001).mark), (V{455, 1100, 1050}));
    EXPECT_FALSE(m.Passes("a7(5,10,0,0,0,4.54);", 600001));
    // Nine bars: MA10 cannot be computed.
    m.Stock(600002, m.Bars(Join(Repeat(1000, 4), Repeat(1100, 5))));
    EXPECT_FALSE(m.Passes("a7(5,10,0,0,0,9.99);", 600002));
    // A zero close cannot be divided by.
    m.Stock(600003, m.Bars(Join(Repeat(1000, 9), {0})));
    EXPECT_FALSE(m.Passes("a7(2,3,0,0,0,99.99);", 600003));
}

TEST(AverageConditions, CrossesAboveAverages) {
    PickingMarket m;
    // MA5: yesterday 9.98 above the close 9.90; today 10.08 below the close 10.50.
    auto bars = m.Bars({1000, 1000, 1000, 1000, 1000, 990, 1050});
    bars.back().high = 1060, bars.back().low = 1040;
    m.Stock(600001, bars);
    // Upper: today's high; lower: yesterday's low 9.90 (below MA 9.98).
    EXPECT_EQ(MarkValues(m.Evaluate("a8(5);", 600001).mark), (V{1060, 990}));
    // Exactly five bars: yesterday's MA5 is 0 and the cross cannot be seen.
    m.Stock(600003, m.Bars({1000, 1000, 1000, 990, 1050}));
    EXPECT_FALSE(m.Passes("a8(5);", 600003));
    EXPECT_TRUE(m.Passes("a8(4);", 600003));

    // MA2 over MA3: yesterday 9.85 < 9.90, today 10.05 > 10.00.
    m.Stock(600004, m.Bars({1000, 1000, 990, 980, 1030}));
    EXPECT_EQ(MarkValues(m.Evaluate("a9(2,3);", 600004).mark), (V{1030, 980}));
    EXPECT_TRUE(m.Passes("a9(3,2);", 600004));
    EXPECT_FALSE(m.Passes("a9(2,5);", 600004));  // MA5 yesterday is 0
}

TEST(AverageConditions, BullishOrder) {
    PickingMarket m;
    // No lengths: passes without reading anything, even without a file.
    auto none = m.Evaluate("b9(0,0,0,0,0);", 600099);
    EXPECT_EQ(none.match, picking::Match::Pass);
    EXPECT_EQ(none.mark.width, 0u);
    // MA2 10.35 > MA3 10.30, both above yesterday (10.25, 10.20).
    m.Stock(600001, m.Bars({1000, 1010, 1020, 1030, 1040}));
    EXPECT_EQ(MarkValues(m.Evaluate("b9(2,3,0,0,0);", 600001).mark), (V{1035, 1030}));
    EXPECT_TRUE(m.Passes("b9(3,0,2,0,0);", 600001));
    // Three bars: yesterday's MA3 is 0, which is no rise to compare with.
    m.Stock(600002, m.Bars({1010, 1020, 1030}));
    EXPECT_FALSE(m.Passes("b9(2,3,0,0,0);", 600002));
    EXPECT_TRUE(m.Passes("b9(2,0,0,0,0);", 600002));
    // MA3 falls from 10.63 to 10.45.
    m.Stock(600003, m.Bars({1000, 1100, 1050, 1040, 1045}));
    EXPECT_FALSE(m.Passes("b9(3,0,0,0,0);", 600003));
    // Equal averages are not an order.
    m.Stock(600004, m.Bars(Repeat(1000, 10)));
    EXPECT_FALSE(m.Passes("b9(2,3,0,0,0);", 600004));
}

TEST(AverageConditions, SpreadBreakout) {
    PickingMarket m;
    // Sixty bars at 100.00, then 101.70: MA5 100.34, MA60 100.03 (600170 / 60),
    // NH = 0.31 / 101.70 = 0.30 %; the rise is exactly 1.70 %.
    m.Stock(600001, m.Bars(Join(Repeat(10000, 60), {10170})));
    EXPECT_EQ(MarkValues(m.Evaluate("b10(2.00);", 600001).mark), (V{30, 10034, 10003}));
    EXPECT_FALSE(m.Passes("b10(0.29);", 600001));
    EXPECT_TRUE(m.Passes("b11(5,60,0,0,0,0.30);", 600001));
    // 1.69 % is not enough.
    m.Stock(600002, m.Bars(Join(Repeat(10000, 60), {10169})));
    EXPECT_FALSE(m.Passes("b10(2.00);", 600002));
    // Sixty bars in all are enough for MA60; fifty-nine are not.
    m.Stock(600003, m.Bars(Join(Repeat(10000, 59), {10170})));
    EXPECT_EQ(MarkValues(m.Evaluate("b10(2.00);", 600003).mark), (V{30, 10034, 10003}));
    m.Stock(600004, m.Bars(Join(Repeat(10000, 58), {10170})));
    EXPECT_FALSE(m.Passes("b10(2.00);", 600004));
}

TEST(AverageConditions, LotusAndSpider) {
    PickingMarket m;
    // Yesterday MA2 100.18 ≤ MA3 100.25 ≤ MA4 100.31, all at or above the
    // close 100.05; today all below 102.06. Rise 201 / 10005 = 2.009 % → 2.00 %.
    m.Stock(600001, m.Bars({10050, 10040, 10030, 10005, 10206}));
    EXPECT_EQ(MarkValues(m.Evaluate("b12(2,3,4);", 600001).mark), (V{10206, 10005}));
    // 200 / 10005 = 1.999 %: truncated to 1.99 %, not enough.
    m.Stock(600002, m.Bars({10050, 10040, 10030, 10005, 10205}));
    EXPECT_FALSE(m.Passes("b12(2,3,4);", 600002));

    // Yesterday 10.10 < 10.20 < 10.30, today 11.00 > 10.73 > 10.65: type 2.
    m.Stock(600003, m.Bars({1060, 1040, 1020, 1000, 1200}));
    EXPECT_EQ(MarkValues(m.Evaluate("b13(2,3,4);", 600003).mark), (V{1200, 1000, 2}));
    // Yesterday 10.25, 10.23, 10.28 is no order; two days ago was bearish: type 3.
    m.Stock(600004, m.Bars({1060, 1040, 1020, 1000, 1050, 1200}));
    EXPECT_EQ(MarkValues(m.Evaluate("b13(2,3,4);", 600004).mark), (V{1200, 1000, 3}));
    m.Stock(600005, m.Bars(Repeat(1000, 10)));
    EXPECT_FALSE(m.Passes("b13(2,3,4);", 600005));
}

TEST(AverageConditions, SilverValleyWalk) {
    PickingMarket m;
    // Averages (MA2, MA4, MA8) from today back:
    //   day 0 1440 1433 1420  S > M > L
    //   day 1 1432 1419 1421  S > L > M
    //   day 2 1427 1407 1424  M below both: phase one, 1 day
    //   day 3 1407 1404 1430  S < L, S ≥ M: phase two, 1 day
    //   day 4 1386 1406 1439  S < M < L: the bottom
    // Span over days 0-4: high 14.44 (today's close), low 13.86 (MA2 of day 4).
    const std::vector<uint32_t> valley = {1500, 1475, 1461, 1454, 1436, 1417,
                                          1384, 1388, 1426, 1428, 1435, 1444};
    m.Stock(600001, m.Bars(valley));
    EXPECT_EQ(MarkValues(m.Evaluate("b14(2,4,8);", 600001).mark), (V{1444, 1386, 4}));
    // A day earlier the middle average had not crossed yet.
    m.Stock(600002, m.Bars(std::vector<uint32_t>(valley.begin(), valley.end() - 1)));
    EXPECT_FALSE(m.Passes("b14(2,4,8);", 600002));
    // Without the first bar, MA8 of day 4 is 0.
    m.Stock(600003, m.Bars(std::vector<uint32_t>(valley.begin() + 1, valley.end())));
    EXPECT_FALSE(m.Passes("b14(2,4,8);", 600003));
}

std::vector<uint32_t> Washout(size_t downDays) {
    std::vector<uint32_t> closes = {1000, 1010, 1020, 1030, 1040};
    for (size_t i = 0; i < downDays; ++i) closes.push_back(closes.back() - 10);
    closes.push_back(closes.back() + 60);
    return closes;
}

TEST(AverageConditions, GoldenCrossAfterWashout) {
    PickingMarket m;
    // Eleven falling days: MA2 ≤ MA3 for ten days (yesterday and nine more);
    // the first falling day (10.30) still had MA2 10.35 > MA3 10.33.
    // The span is those eleven days: its high is MA3 10.30 of the first day
    // below, not MA2 10.35 of the day of the dead cross before it.
    m.Stock(600001, m.Bars(Washout(11)));
    EXPECT_EQ(MarkValues(m.Evaluate("b15(2,3);", 600001).mark), (V{1030, 930, 11}));
    // Twelve falling days: below for eleven days.
    m.Stock(600002, m.Bars(Washout(12)));
    EXPECT_FALSE(m.Passes("b15(2,3);", 600002));
    // Three falling days: two days below, the shortest that passes; two: one day.
    m.Stock(600003, m.Bars(Washout(3)));
    EXPECT_EQ(MarkValues(m.Evaluate("b15(3,2);", 600003).mark), (V{1070, 1010, 3}));
    m.Stock(600004, m.Bars(Washout(2)));
    EXPECT_FALSE(m.Passes("b15(2,3);", 600004));
    // The history begins inside the washout: the walk reaches a day without
    // MA3 before it finds the dead cross.
    auto late = Washout(11);
    late.erase(late.begin(), late.begin() + 6);
    m.Stock(600005, m.Bars(late));
    EXPECT_FALSE(m.Passes("b15(2,3);", 600005));
}

TEST(AverageConditions, ReturnAboveAverage) {
    PickingMarket m;
    // MA5 today 11.20 < 11.40; rise 30 / 1110 = 2.70 %; MA5 yesterday 11.18
    // above its close 11.10; days 2 and 3 (11.10, 11.10) below MA5 11.18 and
    // 11.12 with a non-falling average; day 4 closes 11.30 above 11.04.
    const std::vector<uint32_t> closes = {1000, 1030, 1070, 1080, 1110, 1130,
                                          1130, 1110, 1110, 1110, 1140};
    auto bars = m.Bars(closes);
    bars.back().volume = 150;
    m.Stock(600001, bars);
    EXPECT_EQ(MarkValues(m.Evaluate("b16(5);", 600001).mark), (V{1140, 1110, 5}));
    bars.back().volume = 149;
    m.Stock(600002, bars);
    EXPECT_FALSE(m.Passes("b16(5);", 600002));
    // Yesterday's volume 0.
    bars.back().volume = 150;
    bars[bars.size() - 2].volume = 0;
    m.Stock(600003, bars);
    EXPECT_FALSE(m.Passes("b16(5);", 600003));
    // The history starts on day 4: MA5 of day 4 cannot be computed.
    m.Stock(600004, m.Bars(std::vector<uint32_t>(closes.begin() + 3, closes.end())));
    EXPECT_FALSE(m.Passes("b16(5);", 600004));
}

// A pseudo-random market: reading only a stock's tail must give the same
// verdicts and marks as reading whole files, at the latest day and in simulation.
TEST(EvaluationFrame, TailReadsMatchWholeFiles) {
    PickingMarket m(400);
    uint64_t seed = 12345;
    const auto next = [&](uint32_t below) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>((seed >> 33) % below);
    };
    std::vector<data::CodeEntry> codes;
    for (uint32_t code = 600001; code <= 600040; ++code) {
        const size_t length = 5 + next(390);
        std::vector<uint32_t> closes = {1000 + next(2000)};
        while (closes.size() < length)
            closes.push_back(std::max<uint32_t>(100, closes.back() + next(61) - 30));
        auto bars = m.Bars(closes);
        for (auto& bar : bars) {
            bar.volume = 50 + next(500);
            bar.amount = bar.volume * bar.close / 100;
            bar.open = bar.close + next(161) - 80;
            bar.high = std::max(bar.open, bar.close) + next(60);
            bar.low = std::min(bar.open, bar.close) - next(60);
        }
        // Some suspensions.
        for (int k = 0; k < 3 && bars.size() > 20; ++k)
            bars.erase(bars.begin() + next(static_cast<uint32_t>(bars.size() - 2)));
        m.Stock(code, bars);
        codes.push_back({code, "X", "X", 100000, 1000 + next(5000)});
    }
    m.Codes(codes);
    const char* entries[] = {"a1(10.00,20.00);",
                             "a3(5,0.00,50.00);",
                             "a3(60,0.00,90.00);",
                             "a4(3,0.00,9.00);",
                             "a5(20,0.00,99.99);",
                             "a6(10,0.50,3.00);",
                             "a7(5,10,20,0,0,5.00);",
                             "a8(10);",
                             "a9(5,30);",
                             "b9(5,10,0,0,0);",
                             "b10(9.99);",
                             "b12(3,5,8);",
                             "b13(3,5,8);",
                             "b14(3,5,8);",
                             "b15(3,8);",
                             "b16(10);",
                             "b1(20);",
                             "b2(30);",
                             "b3(12);",
                             "b4(30);",
                             "b5(12);",
                             "b7(5,0.50,0.00);",
                             "b18(6,0.00,100.00);",
                             "b19(6,-99.00,99.00);",
                             "b21(9,3,3,0.00,100.00);",
                             "b22(9,3,3,50.00);",
                             "b23(9,3,3,0.00,100.00);",
                             "b24(12,26,9);",
                             "b26(5,20,4);",
                             "b27(5,2,);",
                             "b28(10,2,0.00,30.00);",
                             "b29(5,1,);",
                             "b30(5,1,1,);",
                             "b32(0,0.00);",
                             "b33(6,0.00);",
                             "b35(0,0.00);",
                             "b39(0,0.00);",
                             "b41(0,0.00,0.00);",
                             "b44(20,1.00,30.00);",
                             "b48(0,0.00,0.00);",
                             "b50(0,0.00,0.00);",
                             "b53(0,0.00);",
                             "b53(6,0.00);",
                             "b54(6,0.00);",
                             "b56(0,0.00);"};
    const auto inputs = m.Inputs();
    std::vector<uint32_t> otherScan(data::kScanAreaWords);
    size_t passes = 0;
    for (uint32_t cutoff : {data::kNoSimulationCutoff, m.DateBack(37), m.DateBack(250)}) {
        for (const char* entry : entries) {
            picking::Evaluator tail(inputs, m.Scan()), whole(inputs, otherScan);
            whole.SetStockReading(picking::StockReading::Whole);
            tail.Begin(picking::ReadMethodEntry(entry), cutoff);
            whole.Begin(picking::ReadMethodEntry(entry), cutoff);
            for (uint32_t code = 600001; code <= 600040; ++code) {
                const auto a = tail.Evaluate(code), b = whole.Evaluate(code);
                ASSERT_EQ(a.match, b.match) << entry << " " << code << " " << cutoff;
                ASSERT_EQ(a.mark, b.mark) << entry << " " << code;
                passes += a.match == picking::Match::Pass;
            }
            // The recursive indicators read every bar, the others a tail.
            const auto code = picking::ReadMethodEntry(entry).code;
            const bool recursive = code.Is('b', 18) || code.InRange('b', 21, 26);
            if (cutoff == data::kNoSimulationCutoff && !recursive) {
                EXPECT_LT(tail.BarsRead(), whole.BarsRead()) << entry;
            }
        }
    }
    EXPECT_GT(passes, 900u);  // the comparison saw real selections
}

}  // namespace
