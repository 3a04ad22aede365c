// What a picking condition hands the chart so that a picked stock opens with
// the lines that explain why it was picked: an indicator override family
// (the temporary override of the indicator settings) with its values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "indicators/catalogue.h"
#include "indicators/indicator_state.h"
#include "picking/catalogue.h"

namespace picking {

struct ChartOverride {
    indicators::OverrideFamily family = indicators::OverrideFamily::MovingAverages;
    std::array<int32_t, indicators::kMaxParams> values{};
    size_t count = 0;  // values the family takes

    std::span<const int32_t> Values() const { return std::span(values).first(count); }
    bool operator==(const ChartOverride&) const = default;
};

// The five average lengths the chart draws for a7, a8 and a9; nothing for
// other conditions.
std::optional<std::array<int32_t, 5>> ChartAverageLengths(const Condition& condition);

// The family a condition hands over: the averages of a7-a9 (family 1), and
// for the indicator conditions their indicator with the entry's parameters:
// b18 RSI, b19/b20 BIAS (the entry's length completed with the standard
// lengths, kept sorted and distinct, as a8 and a9 complete theirs), b21-b23
// KDJ (N, M1, M2), b24-b26 MACD (SHORT, LONG, MID), b27-b30 BOLL (N, P).
// Nothing for every other condition.
std::optional<ChartOverride> ChartOverrideOf(const Condition& condition);

}  // namespace picking
