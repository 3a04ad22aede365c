// The daily price limit of a stock: 20 % for the STAR market (688xxx,
// 689xxx) and for ChiNext (300xxx, 301xxx) from the day its limit widened,
// 5 % for a stock under special treatment (its name begins "ST" or "*ST"),
// 10 % for every other stock; and the limit prices a close is held to.
#pragma once

#include <cstdint>
#include <string_view>

namespace data {

enum class DailyLimit { TenPercent, TwentyPercent };

// ChiNext's limit became 20 % on this trading day.
inline constexpr uint32_t kChiNextWideLimitDate = 20200824;

constexpr bool IsStarCode(uint32_t code) { return code >= 688000 && code <= 689999; }
constexpr bool IsChiNextCode(uint32_t code) { return code >= 300000 && code <= 301999; }

// The limit of a stock's board on a trading day (YYYYMMDD). The scan's
// selection bounds follow the board only: an ST stock keeps the 10 % bounds.
constexpr DailyLimit DailyLimitOf(uint32_t code, uint32_t date) {
    if (IsStarCode(code)) return DailyLimit::TwentyPercent;
    if (IsChiNextCode(code) && date >= kChiNextWideLimitDate) return DailyLimit::TwentyPercent;
    return DailyLimit::TenPercent;
}

// Special treatment shows in the name of the code table: "ST" or "*ST" first.
constexpr bool IsStName(std::string_view name) {
    return name.starts_with("ST") || name.starts_with("*ST");
}

// The limit in percent: the board's 20 % first, then 5 % for ST, else 10 %.
constexpr uint32_t LimitPercentOf(uint32_t code, uint32_t date, bool st) {
    if (DailyLimitOf(code, date) == DailyLimit::TwentyPercent) return 20;
    return st ? 5 : 10;
}

// previous × (100 ± percent) / 100 rounded half up to the cent (0.01 yuan).
constexpr uint32_t LimitUpPrice(uint32_t previous, uint32_t percent) {
    return static_cast<uint32_t>((uint64_t{previous} * (100 + percent) + 50) / 100);
}
constexpr uint32_t LimitDownPrice(uint32_t previous, uint32_t percent) {
    return static_cast<uint32_t>((uint64_t{previous} * (100 - percent) + 50) / 100);
}

}  // namespace data
