#include "picking/chart_override.h"

#include <algorithm>
#include <vector>

namespace picking {
namespace {

using indicators::OverrideFamily;

// The given lengths completed with the standard ones of `index`, each added
// only when new and the list kept sorted, until `count` are listed (zeros
// fill what stays empty).
std::array<int32_t, indicators::kMaxParams> CompleteLengths(std::span<const int32_t> given,
                                                            int index, size_t count) {
    std::vector<int32_t> lengths;
    const auto add = [&](int32_t n) {
        if (n != 0 && std::find(lengths.begin(), lengths.end(), n) == lengths.end())
            lengths.push_back(n);
        std::sort(lengths.begin(), lengths.end());
    };
    for (int32_t n : given) add(n);
    const auto& standard = indicators::DefaultsOf(index).standard;
    for (size_t k = 0; k < count; ++k)
        if (lengths.size() < count) add(standard[k]);
    std::array<int32_t, indicators::kMaxParams> out{};
    std::copy_n(lengths.begin(), std::min(lengths.size(), count), out.begin());
    return out;
}

ChartOverride Override(OverrideFamily family, std::array<int32_t, indicators::kMaxParams> values,
                       size_t count) {
    return {family, values, count};
}

// The entry's first `count` parameters as they stand.
ChartOverride Entry(OverrideFamily family, const Condition& c, size_t count) {
    std::array<int32_t, indicators::kMaxParams> values{};
    std::copy_n(c.params.begin(), count, values.begin());
    return {family, values, count};
}

}  // namespace

std::optional<std::array<int32_t, 5>> ChartAverageLengths(const Condition& c) {
    std::array<int32_t, 5> out{};
    if (c.code.Is('a', 7)) {
        std::copy_n(c.params.begin(), 5, out.begin());
        return out;
    }
    if (!c.code.Is('a', 8) && !c.code.Is('a', 9)) return std::nullopt;
    const size_t given = c.code.Is('a', 9) ? 2 : 1;
    const auto lengths =
        CompleteLengths(std::span(c.params).first(given), indicators::kMa, out.size());
    std::copy_n(lengths.begin(), out.size(), out.begin());
    return out;
}

std::optional<ChartOverride> ChartOverrideOf(const Condition& c) {
    const ConditionCode k = c.code;
    if (const auto averages = ChartAverageLengths(c)) {
        std::array<int32_t, indicators::kMaxParams> values{};
        std::copy(averages->begin(), averages->end(), values.begin());
        return Override(OverrideFamily::MovingAverages, values, averages->size());
    }
    const auto first = std::span(c.params).first(1);
    if (k.Is('b', 18))
        return Override(OverrideFamily::Rsi, CompleteLengths(first, indicators::kRsi, 3), 3);
    if (k.Is('b', 19) || k.Is('b', 20))
        return Override(OverrideFamily::Bias, CompleteLengths(first, indicators::kBias, 3), 3);
    if (k.InRange('b', 21, 23)) return Entry(OverrideFamily::Kdj, c, 3);
    if (k.InRange('b', 24, 26)) return Entry(OverrideFamily::Macd, c, 3);
    if (k.InRange('b', 27, 30)) return Entry(OverrideFamily::Boll, c, 2);
    return std::nullopt;
}

}  // namespace picking
