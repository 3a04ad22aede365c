// The daily price limit of a stock's board: 20 % for the STAR market
// (688xxx, 689xxx) and for ChiNext (300xxx, 301xxx) from the day its limit
// widened, 10 % for every other stock (ST stocks' 5 % is not told apart).
#pragma once

#include <cstdint>

namespace data {

enum class DailyLimit { TenPercent, TwentyPercent };

// ChiNext's limit became 20 % on this trading day.
inline constexpr uint32_t kChiNextWideLimitDate = 20200824;

constexpr bool IsStarCode(uint32_t code) { return code >= 688000 && code <= 689999; }
constexpr bool IsChiNextCode(uint32_t code) { return code >= 300000 && code <= 301999; }

// The limit of a stock on a trading day (YYYYMMDD).
constexpr DailyLimit DailyLimitOf(uint32_t code, uint32_t date) {
    if (IsStarCode(code)) return DailyLimit::TwentyPercent;
    if (IsChiNextCode(code) && date >= kChiNextWideLimitDate) return DailyLimit::TwentyPercent;
    return DailyLimit::TenPercent;
}

}  // namespace data
