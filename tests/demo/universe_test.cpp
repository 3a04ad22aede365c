// The market's make-up before any price exists: boards, codes, listings and
// sectors, including the extreme sizes whose files must still fit.
#include "demo/universe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "data/capacities.h"
#include "data/sector_library_file.h"
#include "demo/calendar.h"
#include "demo/market_tables.h"
#include "demo/sector_catalogue.h"
#include "demo/stock_sim.h"

namespace {

std::vector<uint32_t> Calendar(uint32_t end, uint32_t years) {
    return demo::TradingDays(demo::YearsBefore(end, years), end);
}

TEST(DemoUniverse, BoardsGetExactlyTheStocksAskedForWithinTheirCodeRoom) {
    for (uint32_t stocks : {1u, 7u, 200u, 4'000u, 9'000u}) {
        for (uint32_t end : {20081231u, 20190930u, 20261204u}) {
            const auto calendar = Calendar(end, 10);
            const auto counts = demo::BoardCounts(calendar, stocks);
            // Before ChiNext and STAR opened, the other boards hold fewer than 9,000 codes.
            const uint32_t capacity = demo::StockCapacity(calendar);
            EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0u),
                      std::min(stocks, capacity));
            EXPECT_GE(capacity, end < 20091030 ? 7'000u : 9'000u);
            for (demo::Board b : demo::kAllBoards) {
                const uint32_t n = counts[static_cast<size_t>(b)];
                EXPECT_LE(n, demo::BoardCodeCapacity(b));
                if (demo::BoardOpenDate(b) > end) {
                    EXPECT_EQ(n, 0u) << demo::BoardName(b) << " " << end;
                }
            }
        }
    }
    // A mature market has the usual mix.
    const auto counts = demo::BoardCounts(Calendar(20261204, 10), 4'000);
    EXPECT_NEAR(counts[static_cast<size_t>(demo::Board::ShMain)], 1'640, 200);
    EXPECT_NEAR(counts[static_cast<size_t>(demo::Board::ChiNext)], 1'040, 200);
    EXPECT_GT(counts[static_cast<size_t>(demo::Board::Star)], 200u);
}

TEST(DemoUniverse, CodesAndListingsFollowTheBoards) {
    const auto calendar = Calendar(20210630, 13);  // ChiNext and STAR both open inside
    const auto u = demo::BuildUniverse(calendar, 3'000, 5);
    ASSERT_EQ(u.stocks.size(), 3'000u);
    std::set<uint32_t> codes;
    uint32_t st = 0, preExisting = 0;
    for (const auto& s : u.stocks) {
        EXPECT_TRUE(codes.insert(s.code).second) << s.code;
        EXPECT_EQ(demo::BoardOfCode(s.code), s.board) << s.code;
        if (s.preExisting) {
            ++preExisting;
            EXPECT_LT(demo::BoardOpenDate(s.board), calendar.front()) << s.code;
        } else {
            ASSERT_LT(s.listDay, calendar.size());
            EXPECT_GE(calendar[s.listDay], demo::BoardOpenDate(s.board)) << s.code;
        }
        if (s.st) {
            ++st;
            EXPECT_TRUE(demo::BoardAllowsSt(s.board)) << s.code;
            EXPECT_EQ(s.name.utf8.compare(0, 2, "ST"), 0) << s.code;
        }
        EXPECT_GE(s.startPrice, 150u) << s.code;
        EXPECT_LE(s.startPrice, 6'000u) << s.code;
        EXPECT_GT(s.floatShares, 0u);
        EXPECT_LE(s.floatShares, s.totalShares);
    }
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_GT(st, 30u);
    EXPECT_LT(st, 200u);
    // About half the main-board stocks listed within the 13 years, nearly
    // all of ChiNext's and STAR's.
    EXPECT_GT(preExisting, 600u);
    EXPECT_LT(preExisting, 1'500u);
}

TEST(DemoUniverse, EveryStockHasOneIndustryOneRegionAndOneToSixConcepts) {
    const auto u = demo::BuildUniverse(Calendar(20261204, 10), 4'000, 1);
    std::vector<uint32_t> perFamily(7 * u.stocks.size(), 0);
    std::set<std::pair<uint32_t, uint32_t>> numbers;
    for (const auto& sector : u.sectors) {
        EXPECT_TRUE(numbers.insert({sector.family, sector.serial}).second) << sector.name;
        EXPECT_FALSE(sector.members.empty()) << sector.name;
        EXPECT_TRUE(std::is_sorted(sector.members.begin(), sector.members.end())) << sector.name;
        for (uint32_t i : sector.members) ++perFamily[i * 7 + sector.family];
    }
    for (size_t i = 0; i < u.stocks.size(); ++i) {
        EXPECT_EQ(perFamily[i * 7 + demo::kFamilyIndustry], 1u) << u.stocks[i].code;
        EXPECT_EQ(perFamily[i * 7 + demo::kFamilyRegion], 1u) << u.stocks[i].code;
        EXPECT_GE(perFamily[i * 7 + demo::kFamilyConcept], 1u) << u.stocks[i].code;
        EXPECT_LE(perFamily[i * 7 + demo::kFamilyConcept], 6u) << u.stocks[i].code;
    }
    // About 300 sectors; concepts from about ten members to a few hundred.
    EXPECT_GE(u.sectors.size(), 270u);
    EXPECT_LE(u.sectors.size(), 330u);
    size_t smallest = SIZE_MAX, largest = 0;
    for (const auto& s : u.sectors) {
        if (s.family != demo::kFamilyConcept) continue;
        smallest = std::min(smallest, s.members.size());
        largest = std::max(largest, s.members.size());
    }
    EXPECT_LE(smallest, 20u);
    EXPECT_GE(largest, 150u);
    EXPECT_LE(largest, 900u);
    for (uint32_t family = 1; family <= 6; ++family)
        EXPECT_TRUE(std::any_of(u.sectors.begin(), u.sectors.end(), [&](const auto& s) {
            return s.family == family;
        })) << family;
}

TEST(DemoUniverse, TheLargestMarketsStillFitTheLibraryAndExRightsBuffers) {
    const auto u = demo::BuildUniverse(Calendar(20261204, 30), 9'000, 3);
    const auto library = data::EncodeSectorLibrary(20261204, {}, demo::SectorRecords(u));
    EXPECT_LE(library.size(), data::kSectorLibraryReadBytes);

    // Every stock at its cap, each with its own stock record and a header.
    const uint32_t maxRecords = data::kExRightsBufferBytes / data::kExRightsRecordBytes;
    for (uint32_t stocks : {1u, 200u, 4'000u, 9'000u}) {
        for (uint32_t years : {1u, 10u, 30u}) {
            const auto b = demo::EventBudgetFor(stocks, years, maxRecords);
            EXPECT_LE(1ull + stocks + uint64_t{stocks} * b.perStock, maxRecords)
                << stocks << " stocks, " << years << " years";
            EXPECT_GE(b.perStock, 2u);
            EXPECT_LT(b.reserve, b.perStock);
            EXPECT_GT(b.ratePerMille, 0u);
        }
    }
}

TEST(DemoUniverse, TheSameSeedGivesTheSameMarketAndAnotherSeedAnother) {
    const auto calendar = Calendar(20221230, 2);
    const auto a = demo::BuildUniverse(calendar, 300, 11);
    const auto b = demo::BuildUniverse(calendar, 300, 11);
    const auto c = demo::BuildUniverse(calendar, 300, 12);
    auto fingerprint = [](const demo::Universe& u) {
        std::string f;
        for (const auto& s : u.stocks)
            f += std::to_string(s.code) + s.name.utf8 + std::to_string(s.listDay);
        for (const auto& s : u.sectors) f += s.name + std::to_string(s.members.size());
        return f;
    };
    EXPECT_EQ(fingerprint(a), fingerprint(b));
    EXPECT_NE(fingerprint(a), fingerprint(c));
}

}  // namespace
