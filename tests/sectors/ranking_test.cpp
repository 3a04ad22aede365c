// The accumulation of selected stocks per sector, the ranking and the
// ScanResult layout, with every score worked out by hand.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "base/endian.h"
#include "data/capacities.h"
#include "data/sector_library_file.h"
#include "sectors/scan.h"
#include "support/fixture_market.h"

namespace {

using data::MakeSectorNumber;
using fixture::Gbk;

std::vector<uint32_t> Range(uint32_t from, uint32_t to) {
    std::vector<uint32_t> v(to - from + 1);
    std::iota(v.begin(), v.end(), from);
    return v;
}

std::vector<uint32_t> Join(std::vector<uint32_t> a, const std::vector<uint32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Ranked {
    explicit Ranked(const std::vector<data::SectorRecord>& sectors)
        : image(data::EncodeSectorLibrary(0, {}, sectors)), library(image) {
        index.Follow(library);
    }

    sectors::Ranking Rank(int32_t threshold = 750) {
        sectors::ScanSettings settings;
        settings.threshold = threshold;
        return sectors::RankSectors(accumulator, library, settings);
    }

    std::vector<uint8_t> image;
    sectors::SectorLibrary library;
    sectors::StockSectorIndex index;
    sectors::ScanAccumulator accumulator;
};

TEST(SectorRanking, AverageHitsQualifiesAndRescales) {
    // Hits 5, 2 and 1: the average is 8 / 3 = 2 remainder 2 > 1, so 3; only A qualifies.
    Ranked r({{4, 1, Gbk("甲"), Range(1, 10)},
              {4, 2, Gbk("乙"), Join({1, 2}, Range(101, 198))},
              {4, 3, Gbk("丙"), Join({1}, Range(201, 249))}});
    for (uint32_t code = 1; code <= 5; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, 800);
    ASSERT_EQ(r.accumulator.MoveCount(), 8u);
    const auto ranking = r.Rank();
    EXPECT_EQ(ranking.minCx, 3);
    EXPECT_EQ(ranking.aheadCx, 1);
    ASSERT_EQ(ranking.sectors.size(), 3u);
    // A: share 500 → CXL min(20 × 500, 6000) = 6000; CX = 4 × 200 × (5 − 3 − 4) = −1600;
    // ZF = (800 − 750) × 20 = 1000.
    EXPECT_EQ(ranking.sectors[0].number, MakeSectorNumber(4, 1));
    EXPECT_EQ(ranking.sectors[0].score, 5400);
    // B and C: share 20 each, rescaled to 20 × 5400 × 9 / (20 × 10) = 4860, arrival order kept.
    EXPECT_EQ(ranking.sectors[1].number, MakeSectorNumber(4, 2));
    EXPECT_EQ(ranking.sectors[1].score, 4860);
    EXPECT_EQ(ranking.sectors[2].number, MakeSectorNumber(4, 3));
    EXPECT_EQ(ranking.sectors[2].score, 4860);
    ASSERT_EQ(ranking.qualifiedShares.size(), 1u);
    EXPECT_EQ(ranking.qualifiedShares[0].value, 1500);
}

TEST(SectorRanking, ShareOfHitMembersAndNegativeCountPart) {
    // Five hits each: A has 10 members (share 500), B 100 (share 50); both qualify.
    Ranked r(
        {{5, 7, Gbk("乙"), Join(Range(1, 5), Range(101, 195))}, {5, 8, Gbk("甲"), Range(1, 10)}});
    for (uint32_t code = 1; code <= 5; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, 800);
    const auto ranking = r.Rank();
    EXPECT_EQ(ranking.minCx, 5);
    EXPECT_EQ(ranking.aheadCx, 2);
    ASSERT_EQ(ranking.qualifiedShares.size(), 2u);
    EXPECT_EQ(ranking.qualifiedShares[0].sector, MakeSectorNumber(5, 8));  // sorted by 1000 + share
    EXPECT_EQ(ranking.qualifiedShares[0].value, 1500);
    EXPECT_EQ(ranking.qualifiedShares[1].value, 1050);
    // A: 6000 − 3200 + 1000 = 3800. B: 20 × 50 − 3200 + 1000 = −1200.
    EXPECT_EQ(ranking.sectors[0].score, 3800);
    EXPECT_EQ(ranking.sectors[1].score, -1200);
}

TEST(SectorRanking, NonQualifiedStayBelowANegativeLowestQualified) {
    // Hits 5, 5, 1, 1: average 3. A (10 members): 6000 + 4 × 200 × (2 − 4) + 1000 = 5400.
    // B (250 members, share 20): 400 − 1600 + 1000 = −200. C (share 100) and D
    // (share 50) are not qualified; scaled by −200 they would become −180 and
    // −90, above B and in reverse order. They go just below B, order kept.
    Ranked r({{4, 1, "a", Range(1, 10)},
              {4, 2, "b", Join(Range(1, 5), Range(101, 345))},
              {4, 3, "c", Join({1}, Range(201, 209))},
              {4, 4, "d", Join({2}, Range(301, 319))}});
    for (uint32_t code = 1; code <= 5; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, 800);
    const auto ranking = r.Rank();
    EXPECT_EQ(ranking.minCx, 3);
    ASSERT_EQ(ranking.aheadCx, 2);
    std::vector<int64_t> scores;
    for (const auto& s : ranking.sectors) scores.push_back(s.score);
    EXPECT_EQ(scores, (std::vector<int64_t>{5400, -200, -201, -251}));
}

TEST(SectorRanking, CapsLargeSectorsAndTheHitCountOfBigSectors) {
    // 30 hits on one sector: the average 30 is capped at 10. M = 300 > 270, so
    // CX = (30 − 10) × 200 / 6 = 666; share 100 → CXL 2000; values 900 → ZF 3000.
    {
        Ranked r({{4, 1, "a", Range(1, 300)}});
        for (uint32_t code = 1; code <= 30; ++code)
            r.accumulator.RecordSelectedStock(r.index, code, 900);
        const auto ranking = r.Rank();
        EXPECT_EQ(ranking.minCx, 10);
        ASSERT_EQ(ranking.sectors.size(), 1u);
        EXPECT_EQ(ranking.sectors[0].score, 2000 + 666 + 3000);
    }
    // One hit in 1,500 members: share 0. f is the hit count (1), not
    // round(1500 × 0 / 1000) = 0, so the move part counts: (900 − 750) × 20.
    {
        Ranked r({{4, 1, "big", Range(1, 1500)}});
        r.accumulator.RecordSelectedStock(r.index, 77, 900);
        const auto ranking = r.Rank();
        ASSERT_EQ(ranking.aheadCx, 1);
        EXPECT_EQ(ranking.sectors[0].score, 3000);
    }
    // The count part is capped at 28 × CX_Code_p, the move part at 800 × ZF_Code_p.
    {
        Ranked r({{4, 1, "a", Range(1, 100)}, {4, 2, "b", {1}}});
        for (uint32_t code = 1; code <= 40; ++code)
            r.accumulator.RecordSelectedStock(r.index, code, 1099);
        const auto ranking = r.Rank(0);
        // minCx = 41 / 2 = 20 rem 1 (not > 1) → 20, capped 10. A: d = 30 → CX 12000 → 5600;
        // ZF 1099 × 20 = 21980 → 16000; share 400 → 8000 → 6000.
        EXPECT_EQ(ranking.sectors[0].score, 5600 + 16000 + 6000);
    }
}

TEST(SectorRanking, EqualScoresKeepArrivalOrder) {
    for (bool swapped : {false, true}) {
        std::vector<data::SectorRecord> lib{{4, 1, "a", Range(1, 10)}, {4, 2, "b", Range(1, 10)}};
        if (swapped) std::swap(lib[0], lib[1]);
        Ranked r(lib);
        for (uint32_t code = 1; code <= 3; ++code)
            r.accumulator.RecordSelectedStock(r.index, code, 800);
        const auto ranking = r.Rank();
        ASSERT_EQ(ranking.sectors.size(), 2u);
        EXPECT_EQ(ranking.sectors[0].score, ranking.sectors[1].score);
        EXPECT_EQ(ranking.sectors[0].number, lib[0].family | (lib[0].serial << 8));
    }
    std::vector<sectors::SectorPair> pairs{{1, 5}, {2, 7}, {3, 5}, {4, 7}, {5, -1}};
    sectors::SortPairs(pairs);
    EXPECT_EQ((std::vector<uint32_t>{pairs[0].sector, pairs[1].sector, pairs[2].sector,
                                     pairs[3].sector, pairs[4].sector}),
              (std::vector<uint32_t>{2, 4, 1, 3, 5}));
}

TEST(SectorRanking, EmptyAccumulationGivesEmptyResult) {
    Ranked r({{4, 1, "a", Range(1, 10)}});
    r.accumulator.RecordSelectedStock(r.index, 99, 800);  // in no sector
    EXPECT_EQ(r.accumulator.MoveCount(), 0u);
    const auto ranking = r.Rank();
    EXPECT_TRUE(ranking.sectors.empty());
    EXPECT_EQ(ranking.minCx, 0);
    std::vector<uint8_t> out(data::kScanResultBytes, 0xAA);
    EXPECT_EQ(sectors::BuildScanResult(ranking, r.accumulator, r.library, out), 0u);
    EXPECT_EQ(sectors::ScanResultView(out).SectorCount(), 0u);
}

TEST(SectorRanking, ResultLayoutSortsMembersByValue) {
    Ranked r({{4, 12, Gbk("一带一路"), Range(1, 10)}, {5, 3, "b", {2, 4}}});
    const uint32_t values[] = {800, 900, 800, 950, 900};
    for (uint32_t code = 1; code <= 5; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, values[code - 1]);
    const auto ranking = r.Rank();
    std::vector<uint8_t> out(data::kScanResultBytes, 0);
    ASSERT_EQ(sectors::BuildScanResult(ranking, r.accumulator, r.library, out), 2u);
    // Ranking: a has 5 hits of 10 (share 500), b 2 of 2 (share 1000); average
    // 7 / 2 = 3 rem 1 (not > 1) → 3, so only a qualifies and leads.
    const uint8_t* p = out.data();
    EXPECT_EQ(base::ReadU16(p), 2u);
    p += 16;
    EXPECT_EQ(base::ReadU16(p), 5u);
    EXPECT_EQ(base::ReadU24(p + 2), MakeSectorNumber(4, 12));
    const std::string name = Gbk("一带一路");
    ASSERT_EQ(p[5], name.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 6), p[5]), name);
    const uint8_t* e = p + 6 + name.size();
    // Largest first; equal values in recording order.
    const uint32_t expect[][2] = {{4, 950}, {2, 900}, {5, 900}, {1, 800}, {3, 800}};
    for (const auto& x : expect) {
        EXPECT_EQ(base::ReadU24(e), x[0]);
        EXPECT_EQ(base::ReadU24(e + 3), x[1]);
        e += 6;
    }
    const sectors::ScanResultView view(out);
    EXPECT_EQ(view.ResultSectorName(1), name);
    EXPECT_EQ(view.ResultSectorMemberCount(2), 2u);
    EXPECT_EQ(view.ResultSectorMember(2, 0), (sectors::ResultEntry{4, 950}));
    EXPECT_EQ(view.ResultSectorMember(2, 1), (sectors::ResultEntry{2, 900}));
    EXPECT_EQ(view.LoadResultSector(2).size(), 2u);
    EXPECT_EQ(view.FindRank(MakeSectorNumber(5, 3)), 2u);
    EXPECT_EQ(view.FindRank(MakeSectorNumber(5, 4)), 0u);
    EXPECT_EQ(view.ResultSectorMemberCount(3), 0u);  // no such rank
    EXPECT_TRUE(view.LoadResultSector(0).empty());
}

TEST(SectorRanking, BigSectorIsSortedInFullAndTheBufferNeverOverflows) {
    // 2,500 movers in one sector: more than the 2,000 pairs of the shared sort.
    Ranked r({{4, 1, "big", Range(1, 2500)}});
    for (uint32_t code = 1; code <= 2500; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, (code * 37) % 1000);
    const auto ranking = r.Rank();
    std::vector<uint8_t> out(data::kScanResultBytes, 0);
    ASSERT_EQ(sectors::BuildScanResult(ranking, r.accumulator, r.library, out), 1u);
    const auto members = sectors::ScanResultView(out).LoadResultSector(1);
    ASSERT_EQ(members.size(), 2500u);
    for (size_t k = 1; k < members.size(); ++k) {
        ASSERT_GE(members[k - 1].value, members[k].value);
        if (members[k - 1].value == members[k].value) {
            ASSERT_LT(members[k - 1].code, members[k].code);
        }
    }

    // 60,000 moves at most (200 sectors × 300 stocks); the hits go on counting.
    std::vector<data::SectorRecord> lib;
    for (uint32_t s = 1; s <= 200; ++s) lib.push_back({4, s, "s", Range(1, 400)});
    Ranked many(lib);
    for (uint32_t code = 1; code <= 310; ++code)
        many.accumulator.RecordSelectedStock(many.index, code, 800);
    EXPECT_EQ(many.accumulator.MoveCount(), 60000u);
    EXPECT_EQ(many.accumulator.MoveAt(59999).code, 300u);
    EXPECT_EQ(many.accumulator.Hits()[0].value, 310);
    EXPECT_EQ(sectors::BuildScanResult(many.Rank(), many.accumulator, many.library, out), 200u);
    EXPECT_EQ(sectors::ScanResultView(out).ResultSectorMemberCount(1), 300u);
}

TEST(SectorRanking, ResultRecordsStopBeforeTheBufferEnd) {
    // Records of 6 + 255 + 6 = 267 bytes: after 1,471 of them the write
    // position is 392,773, not past 392,900, yet a 1,472nd would end at
    // 393,040, beyond the 393,000 bytes of the buffer. It is not written.
    std::vector<data::SectorRecord> lib;
    for (uint32_t s = 1; s <= 1600; ++s) lib.push_back({4, s, std::string(255, 'n'), {s}});
    Ranked r(lib);
    for (uint32_t code = 1; code <= 1600; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, 800);
    std::vector<uint8_t> out(data::kScanResultBytes, 0);
    EXPECT_EQ(sectors::BuildScanResult(r.Rank(), r.accumulator, r.library, out), 1471u);
    const sectors::ScanResultView view(out);
    EXPECT_EQ(view.SectorCount(), 1471u);
    EXPECT_EQ(view.ResultSectorMemberCount(1471), 1u);
}

TEST(SectorRanking, SectorTableHoldsAtMost2000Sectors) {
    std::vector<data::SectorRecord> lib;
    for (uint32_t s = 1; s <= 2100; ++s) lib.push_back({4, s, "s", {s, 5000}});
    Ranked r(lib);
    for (uint32_t code = 1; code <= 2100; ++code)
        r.accumulator.RecordSelectedStock(r.index, code, 800);
    EXPECT_EQ(r.accumulator.Hits().size(), 2000u);
    // A sector already held keeps counting once the table is full.
    r.accumulator.RecordSelectedStock(r.index, 5000, 900);
    EXPECT_EQ(r.accumulator.Hits()[0].value, 2);
    EXPECT_EQ(r.accumulator.Sums()[0].value, 1700);
    EXPECT_EQ(r.accumulator.Hits().size(), 2000u);
}

}  // namespace
