// The indicator conditions (b18-b30) on short hand-made series whose
// indicator values are worked out from the definitions: yuan prices are the
// 0.01 price times 0.01f, the recursions start at the oldest bar.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "picking/chart_override.h"
#include "picking/evaluation.h"
#include "picking_market.h"

namespace {

using pickingtest::MarkValues;
using pickingtest::PickingMarket;
using V = std::vector<uint16_t>;

struct IndicatorCase {
    const char* entry;
    uint32_t code;
    V mark;  // when it passes (empty for a test that writes none)
    bool passes;
};

class IndicatorConditions : public ::testing::Test {
protected:
    void SetUp() override {
        // RSI(2) of 10.00, 10.10, 10.00: A = (0 + 0.05) / 2, B = (0.1 + 0.05) / 2,
        // so RSI = 33.33; rising only: 100; flat: no value.
        m.Stock(600001, m.Bars({1000, 1010, 1000}));
        m.Stock(600002, m.Bars({1000, 1010, 1020}));
        m.Stock(600003, m.Bars({1000, 1000, 1000}));
        // BIAS(2): 11.00 against the mean 10.50 is 4.76 %; 9.00 against 9.50 is -5.26 %.
        m.Stock(600004, m.Bars({1000, 1100}));
        m.Stock(600005, m.Bars({1000, 900}));
        // KDJ(1, 3, 3): RSV 50 then 100; K = (100 + 2 × 50) / 3 = 66.67,
        // D = (66.67 + 2 × 50) / 3 = 55.56, J = 3K - 2D = 88.89.
        m.Stock(600006, m.Candles({{1000, 1010, 990, 1000, 100}, {1000, 1010, 990, 1010, 100}}));
        // Closing at the low every day: RSV, K, D and J all 0.
        m.Stock(600007, m.Candles(std::vector<std::array<uint32_t, 5>>(
                            5, std::array<uint32_t, 5>{1000, 1010, 990, 990, 100})));
        // MACD(12, 26, 9) of 10.00, 11.00: DIFF = 2 × 1.00 × (1/13 - 1/27) =
        // 0.0798, DEA 0.0160, MACD 0.1276.
        m.Stock(600008, m.Bars({1000, 1100}));
        // 11.00, 10.00, 11.65: DIFF -0.0097, DEA -0.0147, MACD 0.0099 after -0.1276.
        m.Stock(600009, m.Bars({1100, 1000, 1165}));
        m.Stock(600010, m.Bars({1000, 1000, 999}));
        m.Stock(600011, m.Bars({1000, 1100, 1100}));
        // BOLL(3, 2): yesterday's MID 9.83 above 9.50; today's 9.25 (9.25333)
        // below 9.26, not below 9.25.
        m.Stock(600012, m.Bars({1100, 900, 950, 926}));
        m.Stock(600013, m.Bars({1100, 900, 950, 925}));
        // BOLL(2, 2) of 10.00, 11.00: MID 10.50, sd 0.7071: bands 11.91 and
        // 9.09; width (1191 - 909) × 10,000 / 1100 = 25.64 %.
        m.Stock(600014, m.Bars({1000, 1100}));
        m.Stock(600015, m.Bars({1000, 0}));
        // BOLL(3, 2): day 2's lower band 9.1072 reaches its low 9.11;
        // yesterday's 9.06 lies below 9.60; today 9.61.
        auto rebound = m.Bars({1000, 1000, 940, 960, 961});
        rebound[2].low = 911;
        m.Stock(600016, rebound);
        rebound[2].low = 912;
        m.Stock(600017, rebound);
        // BOLL(3, 1): closes below the lower band on the last four days
        // (9.50 < 9.54, 8.50 < 8.57, 7.00 < 7.08, 4.50 < 4.65), not before
        // (10.00, the band of a flat window).
        m.Stock(600018, m.Bars({1000, 1000, 1000, 950, 850, 700, 450}));
    }

    PickingMarket m;
};

TEST_F(IndicatorConditions, PassAtTheBoundaryAndFailOneUnitBeyond) {
    const IndicatorCase cases[] = {
        {"b18(2,33.33,33.33);", 600001, {3333}, true},
        {"b18(2,33.34,50.00);", 600001, {}, false},
        {"b18(12,100.00,100.00);", 600002, {10000}, true},
        {"b18(12,0.00,99.99);", 600002, {}, false},
        {"b18(12,0.00,100.00);", 600003, {}, false},  // no value
        {"b19(2,4.76,4.76);", 600004, {476}, true},
        {"b19(2,4.77,9.00);", 600004, {}, false},
        {"b19(3,0.00,9.00);", 600004, {}, false},  // three bars needed
        {"b20(2,-5.26,-5.26);", 600005, {526}, true},
        {"b20(2,-5.27,-9.00);", 600005, {}, false},
        {"b20(2,-0.01,-9.00);", 600004, {}, false},  // a positive BIAS never passes
        {"b21(1,3,3,66.67,66.67);", 600006, {6667}, true},
        {"b21(1,3,3,66.68,80.00);", 600006, {}, false},
        {"b22(1,3,3,88.89);", 600006, {8889, '+'}, true},
        {"b22(1,3,3,88.88);", 600006, {}, false},
        {"b22(9,3,3,0.00);", 600007, {0, '-'}, true},
        {"b22(9,3,3,-0.01);", 600007, {}, false},
        // K from 50 ≤ D 50 yesterday to 66.67 ≥ 55.56 today.
        {"b23(1,3,3,55.56,66.67);", 600006, {6667, 5556}, true},
        {"b23(1,3,3,55.57,66.67);", 600006, {}, false},
        {"b24(12,26,9);", 600008, {13}, true},
        {"b25(12,26,9);", 600008, {8, 2}, true},
        {"b26(12,26,9);", 600008, {}, false},
        {"b24(12,26,9);", 600009, {1}, true},
        {"b26(12,26,9);", 600009, {1, 1}, true},
        {"b25(12,26,9);", 600009, {}, false},
        {"b24(12,26,9);", 600003, {1}, true},  // MACD 0 yesterday and today
        {"b25(12,26,9);", 600003, {}, false},
        {"b24(12,26,9);", 600010, {}, false},  // today below 0
        {"b24(12,26,9);", 600011, {}, false},  // yesterday above 0
        {"b24(0,26,9);", 600003, {}, false},
        {"b27(3,2,);", 600012, {}, true},
        {"b27(3,2,);", 600013, {}, false},
        {"b28(2,2,25.64,25.64);", 600014, {2564}, true},
        {"b28(2,2,25.65,30.00);", 600014, {}, false},
        // A window of one bar has no deviation (it would divide by 1 × 0).
        {"b28(1,2,0.00,99.99);", 600014, {}, false},
        {"b28(2,2,0.00,99999.99);", 600015, {}, false},  // today's close 0
        {"b29(3,2,);", 600016, {}, true},
        {"b29(3,2,);", 600017, {}, false},
        {"b30(3,1,4,);", 600018, {0}, true},
        {"b30(3,1,3,);", 600018, {}, false},  // below for four days, not three
        {"b30(3,1,5,);", 600018, {}, false},
    };
    for (const IndicatorCase& c : cases) {
        const auto verdict = m.Evaluate(c.entry, c.code);
        EXPECT_EQ(verdict.match == picking::Match::Pass, c.passes) << c.entry << " " << c.code;
        if (c.passes) {
            EXPECT_EQ(MarkValues(verdict.mark), c.mark) << c.entry << " " << c.code;
        }
    }
}

TEST_F(IndicatorConditions, ComputedOnAdjustedCloses) {
    // 10送10 today: the raw 20.00 before it is 10.00, so BIAS(2) is 4.76 %
    // as for 600004 (raw it would be negative).
    m.Stock(600020, m.Bars({2000, 1100}));
    EXPECT_FALSE(m.Passes("b19(2,4.76,4.76);", 600020));
    m.ExRights({{600020, {{m.LastDate(), 10, 0, 0, 0}}}});
    EXPECT_EQ(MarkValues(m.Evaluate("b19(2,4.76,4.76);", 600020).mark), V{476});

    // The adjusted bars the calculations walk are the decoded bars.
    auto bars = m.Candles({{2070, 2072, 1996, 2000, 100}, {995, 1020, 990, 1017, 300}});
    m.Stock(600021, bars);
    m.ExRights({{600021, {{m.LastDate(), 10, 0, 0, 0}}}});
    picking::Evaluator e(m.Inputs(), m.Scan());
    e.Begin(picking::ReadMethodEntry("a1(0.00,999.00);"), data::kNoSimulationCutoff);
    ASSERT_TRUE(e.PrepareStock(600021));
    const data::SeriesView adjusted = e.AdjustedBars();
    ASSERT_EQ(adjusted.BarCount(), 2u);
    const data::Bar yesterday = data::DecodeBar(adjusted, adjusted.firstBar);
    EXPECT_EQ(yesterday, (data::Bar{bars[0].date, 1035, 1036, 998, 1000, 2000, 100}));
    EXPECT_EQ(data::DecodeBar(adjusted, adjusted.LastBar()), bars[1]);
}

TEST(ChartOverrides, EachIndicatorConditionHandsItsFamily) {
    using Family = indicators::OverrideFamily;
    const struct {
        const char* entry;
        Family family;
        std::vector<int32_t> values;
    } cases[] = {
        {"a8(7);", Family::MovingAverages, {5, 7, 10, 20, 30}},
        {"a9(10,60);", Family::MovingAverages, {5, 10, 20, 30, 60}},
        {"a7(5,10,0,0,0,2.00);", Family::MovingAverages, {5, 10, 0, 0, 0}},
        // One RSI or BIAS length joins the standard 6, 12, 24.
        {"b18(14,0.00,20.00);", Family::Rsi, {6, 12, 14}},
        {"b18(12,0.00,20.00);", Family::Rsi, {6, 12, 24}},
        {"b20(30,-10.00,-20.00);", Family::Bias, {6, 12, 30}},
        {"b23(20,5,4,0.00,20.00);", Family::Kdj, {20, 5, 4}},
        {"b26(10,30,5);", Family::Macd, {10, 30, 5}},
        {"b30(20,3,4,);", Family::Boll, {20, 3}},
    };
    for (const auto& c : cases) {
        const auto hint = picking::ChartOverrideOf(picking::ReadMethodEntry(c.entry));
        ASSERT_TRUE(hint.has_value()) << c.entry;
        EXPECT_EQ(hint->family, c.family) << c.entry;
        const auto values = hint->Values();
        EXPECT_EQ(std::vector<int32_t>(values.begin(), values.end()), c.values) << c.entry;
    }
    for (const char* price : {"a3(5,2.00,30.00);", "b1(60);", "b31(20,10.00);", "b7(1,9.00,2.00);"})
        EXPECT_FALSE(picking::ChartOverrideOf(picking::ReadMethodEntry(price))) << price;
}

}  // namespace
