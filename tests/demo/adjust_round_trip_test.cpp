#include <gtest/gtest.h>

#include <cstdlib>

#include "data/ex_rights.h"
#include "demo_test_support.h"

namespace {

// Across every stock's events of the demo market: forward adjustment over a
// span of events and backward adjustment over the same span give back the
// price within one cent (each direction rounds once).
TEST(DemoMarket, ForwardThenBackwardAdjustmentReturnsThePrice) {
    const auto& m = demotest::SmallMarket();
    const auto image = demotest::ReadBytes(m.paths.exRights);
    data::ExRightsTable table(image);
    size_t checked = 0;
    for (const auto& [code, events] : m.exRights.events) {
        const auto& bars = m.bars.at(code);
        const uint32_t from = bars.front().date;
        const uint32_t to = bars.back().date;
        for (size_t i = 0; i < bars.size(); i += 37) {
            const uint32_t price = bars[i].close;
            const uint32_t forward = data::AdjustPriceForward(table, code, price, from, to);
            const uint32_t back = data::AdjustPriceBackward(table, code, forward, from, to);
            ASSERT_LE(std::abs(static_cast<int64_t>(back) - price), 1)
                << code << " " << price << " -> " << forward << " -> " << back;
            ++checked;
        }
    }
    EXPECT_GT(checked, 200u);
}

}  // namespace
