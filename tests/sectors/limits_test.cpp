// Limit-up and limit-down days and streaks on a hand-made market that ends on
// the day ChiNext's limit widened: the limit price at its rounding edge, ST
// names, the board and date, an ex-rights day, a suspension inside a streak,
// a streak longer than the scan's tail read, and newly listed stocks.
#include "sectors/limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/price_limits.h"
#include "data/startup.h"
#include "picking/evaluation.h"
#include "sectors/scan.h"
#include "support/fixture_market.h"

namespace {

using fixture::Gbk;
using sectors::LimitMove;
using sectors::ScanType;

constexpr uint32_t kLast = 20200824;
constexpr uint32_t kFriday = 20200821;

// The index's days: weekdays up to the day ChiNext's limit widened.
std::vector<uint32_t> Days() {
    auto days = fixture::Weekdays(20200601, 80);
    days.erase(std::upper_bound(days.begin(), days.end(), kLast), days.end());
    return days;
}

std::vector<data::Bar> Bars(const std::vector<uint32_t>& dates,
                            const std::vector<uint32_t>& closes) {
    return fixture::PricedBars(dates, closes);
}

// Steady at 1000 with the given last closes.
std::vector<uint32_t> Closes(std::vector<uint32_t> last, size_t days = Days().size()) {
    std::vector<uint32_t> closes(days - last.size(), 1000);
    closes.insert(closes.end(), last.begin(), last.end());
    return closes;
}

// n limit-ups in a row from 1000, ending on the last day.
std::vector<uint32_t> Streak(size_t n) {
    std::vector<uint32_t> last{1000};
    for (size_t i = 0; i < n; ++i) last.push_back(data::LimitUpPrice(last.back(), 10));
    last.erase(last.begin());
    return Closes(last);
}

struct LimitMarket {
    LimitMarket() {
        const auto days = Days();
        auto index = Bars(days, std::vector<uint32_t>(days.size(), 300000));
        fx.WriteDayFile(999999, index);
        // ChiNext: 10 % on Friday, 20 % from Monday on.
        fx.WriteDayFile(300001, Bars(days, Closes({1100, 1320})));
        fx.WriteDayFile(300002, Bars(days, Closes({1000, 1100})));
        fx.WriteDayFile(600002, Bars(days, Closes({1050})));         // ST: 5 %
        fx.WriteDayFile(600012, Bars(days, Closes({950})));          // *ST: -5 %
        fx.WriteDayFile(600003, Bars(days, Closes({1005, 1106})));   // 11.055 rounds to 11.06
        fx.WriteDayFile(600004, Bars(days, Closes({1005, 1105})));   // a cent short
        fx.WriteDayFile(600005, Bars(days, Closes({1005, 905})));    // 9.045 rounds to 9.05
        fx.WriteDayFile(600006, Bars(days, Closes({1005, 904})));    // past the limit: no limit
        fx.WriteDayFile(600008, Bars(days, Streak(15)));             // longer than a tail read
        fx.WriteDayFile(688001, Bars(days, Closes({1200})));         // STAR: 20 %
        fx.WriteDayFile(600009, Bars(days, Closes({1100, 1210}, 6)));  // listed six days ago
        fx.WriteDayFile(600010, Bars(days, Closes({550})));          // 10送10 on the last day
        // Two limit-ups, two days of suspension, then three more.
        auto suspended = Bars(days, Streak(5));
        std::vector<data::Bar> withGap(suspended.begin(), suspended.end() - 3);
        for (size_t k = 0; k < 3; ++k) withGap.push_back(suspended[suspended.size() - 3 + k]);
        // The suspension takes two days: the oldest two bars go, the last
        // three fall on the last days and the rest end two days earlier.
        withGap.erase(withGap.begin(), withGap.begin() + 2);
        const size_t n = withGap.size();
        for (size_t k = 0; k < 3; ++k) withGap[n - 1 - k].date = days[days.size() - 1 - k];
        for (size_t k = 3; k < n; ++k) withGap[n - 1 - k].date = days[days.size() - 3 - k];
        fx.WriteDayFile(600007, withGap);

        fx.WriteExRights(kLast, std::vector<data::ExRightsStock>{
                                    {600010, {{kLast, 10.0f, 0.0f, 0.0f, 0.0f}}}});
        std::vector<data::CodeEntry> entries;
        for (uint32_t code : {300001u, 300002u, 600003u, 600004u, 600005u, 600006u, 600007u,
                              600008u, 600009u, 600010u, 688001u})
            entries.push_back({code, Gbk("股票"), "GP", 100, 100});
        entries.push_back({600002, Gbk("ST甲"), "STJ", 100, 100});
        entries.push_back({600012, Gbk("*ST乙"), "STY", 100, 100});
        entries.push_back({999999, Gbk("上证指数"), "SZZS", 0, 0});
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.code < b.code; });
        fx.WriteCodeTable(kLast, entries);
        fx.WriteSectorLibrary(
            kLast, {},
            std::vector<data::SectorRecord>{
                {4, 1, Gbk("连板"), {600002, 600003, 600005, 600007, 600008, 688001}},
                {5, 1, Gbk("除权"), {600004, 600006, 600009, 600010, 600012}},
                {6, 1, Gbk("创业"), {300001, 300002}},
            });
        EXPECT_EQ(data::RunStartup(workspace, fx.Root(), prompter, 0, state),
                  data::StartupOutcome::Ready);
        codes = std::make_unique<data::CodeTable>(workspace.CodeTableRegion());
        inputs = picking::MarketInputsOf(workspace, state, *codes);
        library = sectors::SectorLibrary(
            workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
    }

    const sectors::ScanOutcome& Scan(uint32_t cutoff) {
        std::vector<picking::PendingMessage> messages;
        scan.Run(inputs, library, {ScanType::Hot, 750, {}},
                 {300001, 300002, 600002, 600003, 600004, 600005, 600006, 600007, 600008, 600009,
                  600010, 600012, 688001},
                 cutoff, messages);
        return scan.Outcome();
    }

    fixture::FixtureMarket fx;
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    std::unique_ptr<data::CodeTable> codes;
    picking::MarketInputs inputs;
    sectors::SectorLibrary library;
    sectors::SectorScan scan;
};

struct Seen {
    uint32_t code;
    LimitMove move;
    uint32_t streak;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> SeenOf(const sectors::ScanOutcome& outcome) {
    std::vector<Seen> seen;
    for (const auto& s : outcome.limitStocks) seen.push_back({s.code, s.move, s.streak});
    return seen;
}

TEST(Limits, LimitPriceRule) {
    // Half up to the cent: ×1.1 of 10.05 is 11.055, ×0.9 is 9.045.
    EXPECT_EQ(data::LimitUpPrice(1005, 10), 1106u);
    EXPECT_EQ(data::LimitDownPrice(1005, 10), 905u);
    EXPECT_EQ(sectors::LimitMoveOf(1106, 1005, 10), LimitMove::Up);
    EXPECT_EQ(sectors::LimitMoveOf(1105, 1005, 10), LimitMove::None);
    EXPECT_EQ(sectors::LimitMoveOf(904, 1005, 10), LimitMove::None);
    EXPECT_EQ(sectors::LimitMoveOf(1100, 0, 10), LimitMove::None);
    // The board and date first, then the ST name.
    EXPECT_EQ(data::LimitPercentOf(300750, kFriday, false), 10u);
    EXPECT_EQ(data::LimitPercentOf(300750, kLast, false), 20u);
    EXPECT_EQ(data::LimitPercentOf(300750, kFriday, true), 5u);
    EXPECT_EQ(data::LimitPercentOf(688001, 20190722, true), 20u);
    EXPECT_EQ(data::LimitPercentOf(600000, kLast, true), 5u);
    EXPECT_EQ(data::LimitPercentOf(2, kLast, false), 10u);
    EXPECT_TRUE(data::IsStName(Gbk("ST甲")));
    EXPECT_TRUE(data::IsStName(Gbk("*ST乙")));
    EXPECT_FALSE(data::IsStName(Gbk("甲ST")));
    EXPECT_FALSE(data::IsStName("S"));
}

TEST(Limits, StocksAtTheirLimitsOnTheLastDay) {
    LimitMarket m;
    const auto& outcome = m.Scan(data::kNoSimulationCutoff);
    ASSERT_EQ(outcome.referenceDate, kLast);
    // 300002's 10 % is no limit from Monday; 600004 and 600006 miss by a
    // cent; 600009 is newly listed; 600010's 5.50 is its ex-rights
    // reference 5.00 plus 10 %; 600007's streak runs over its suspension.
    EXPECT_EQ(SeenOf(outcome), (std::vector<Seen>{{300001, LimitMove::Up, 2},
                                                  {600002, LimitMove::Up, 1},
                                                  {600003, LimitMove::Up, 1},
                                                  {600005, LimitMove::Down, 0},
                                                  {600007, LimitMove::Up, 5},
                                                  {600008, LimitMove::Up, 15},
                                                  {600010, LimitMove::Up, 1},
                                                  {600012, LimitMove::Down, 0},
                                                  {688001, LimitMove::Up, 1}}));

    // Per ranked sector: the counts of its members and its longest streak.
    const auto& ranked = outcome.ranking.sectors;
    ASSERT_EQ(outcome.limits.size(), ranked.size());
    const auto limitsOf = [&](uint32_t display) {
        for (size_t i = 0; i < ranked.size(); ++i)
            if (sectors::SectorDisplayNumber(ranked[i].number) == display)
                return outcome.limits[i];
        ADD_FAILURE() << display << " not ranked";
        return sectors::SectorLimits{};
    };
    EXPECT_EQ(limitsOf(4001), (sectors::SectorLimits{5, 1, 15, 600008}));
    EXPECT_EQ(limitsOf(5001), (sectors::SectorLimits{1, 1, 1, 600010}));
    EXPECT_EQ(limitsOf(6001), (sectors::SectorLimits{1, 0, 2, 300001}));
}

TEST(Limits, ChiNextOnTheFridayBeforeTheWiderLimit) {
    LimitMarket m;
    const auto& outcome = m.Scan(kFriday);
    ASSERT_EQ(outcome.referenceDate, kFriday);
    const auto seen = SeenOf(outcome);
    // 300001's 10 % on Friday is its limit; 600008 is on day 14 of its streak.
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{300001, LimitMove::Up, 1}), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{600008, LimitMove::Up, 14}), seen.end());
    // The same limits whether or not helpers read the tails ahead.
    m.scan.SetReadAhead(std::nullopt);
    EXPECT_EQ(SeenOf(m.Scan(kFriday)), seen);
}

}  // namespace
