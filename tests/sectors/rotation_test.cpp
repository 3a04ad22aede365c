// Rotation and scorecard: the trading days they walk, the top-10 change, and
// the scorecard's returns worked by hand on a small market with a
// suspension and an ex-rights day inside the horizon.
#include "sectors/rotation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "base/recording_prompter.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/file_formats.h"
#include "data/startup.h"
#include "sectors/scorecard.h"
#include "support/fixture_market.h"

namespace {

using fixture::Gbk;

constexpr size_t kDays = 40;
constexpr size_t kDay = 35;  // the scored day

std::vector<uint32_t> Dates() { return fixture::Weekdays(20261001, kDays); }

// Steady at 1000 up to the scored day, then the closes given for the days
// after it (0: no bar that day).
std::vector<data::Bar> After(uint32_t onDay, std::vector<uint32_t> later) {
    const auto dates = Dates();
    std::vector<uint32_t> closes(kDay, 1000);
    closes.push_back(onDay);
    closes.insert(closes.end(), later.begin(), later.end());
    auto bars = fixture::PricedBars(dates, closes);
    std::erase_if(bars, [](const data::Bar& b) { return b.close == 0; });
    return bars;
}

struct ScoreMarket {
    ScoreMarket() {
        const auto dates = Dates();
        fx.WriteDayFile(999999, fixture::PricedBars(dates, std::vector<uint32_t>(kDays, 300000)));
        stocks[600001] = After(1100, {1155, 1100, 1200, 1200});  // +10 %, then +5 %, 0 %
        stocks[600002] = After(1080, {0, 1134, 1134, 1134});     // +8 %, suspended, +5 %
        stocks[600003] = After(1000, {990, 990, 990, 990});      // 派 1 元 per 10 the next day
        for (const auto& [code, bars] : stocks) fx.WriteDayFile(code, bars);
        events = {{600003, {{dates[kDay + 1], 0.0f, 1.0f, 0.0f, 0.0f}}}};
        fx.WriteExRights(dates.back(), events);
        fx.WriteCodeTable(dates.back(), std::vector<data::CodeEntry>{
                                            {600001, Gbk("甲一"), "JY", 100, 100},
                                            {600002, Gbk("甲二"), "JE", 100, 100},
                                            {600003, Gbk("乙一"), "YY", 100, 100},
                                            {999999, Gbk("上证指数"), "SZZS", 0, 0}});
        fx.WriteSectorLibrary(dates.back(), {},
                              std::vector<data::SectorRecord>{
                                  {4, 1, Gbk("甲"), {600001, 600002}},
                                  {4, 2, Gbk("乙"), {600003}},
                              });
        EXPECT_EQ(data::RunStartup(workspace, fx.Root(), prompter, 0, state),
                  data::StartupOutcome::Ready);
        codes = std::make_unique<data::CodeTable>(workspace.CodeTableRegion());
        inputs = picking::MarketInputsOf(workspace, state, *codes);
        library = sectors::SectorLibrary(
            workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
        for (const auto& [code, list] : stocks) {
            const auto bytes = data::EncodeDayFile(code, list);
            bars.Add(code, std::span<const uint8_t>(bytes).subspan(data::kDayHeaderBytes),
                     {&state.exRights, state.exRights.FindEntry(code), data::AdjustMode::Forward});
        }
    }

    std::vector<sectors::ScorecardDay> Score(const std::vector<int>& horizons) {
        std::vector<sectors::ScorecardDay> days;
        std::vector<picking::PendingMessage> messages;
        const std::vector<uint32_t> candidates = {600001, 600002, 600003};
        const sectors::ScanSettings settings{sectors::ScanType::Hot, 500, {}};
        const auto dates = Dates();
        const std::vector<uint32_t> scored = {dates[kDay], dates.back()};
        sectors::ScanDays({inputs, library, settings, candidates}, scan, scored,
                          [&](const sectors::ScanOutcome& o) {
                              const auto later =
                                  sectors::TradingDaysAfter(inputs.index, o.referenceDate, 2);
                              days.push_back(
                                  sectors::ScoreDay(o, bars, candidates, 1, horizons, later));
                          },
                          messages);
        return days;
    }

    fixture::FixtureMarket fx;
    std::map<uint32_t, std::vector<data::Bar>> stocks;
    std::vector<data::ExRightsStock> events;
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    std::unique_ptr<data::CodeTable> codes;
    picking::MarketInputs inputs;
    sectors::SectorLibrary library;
    sectors::StockBars bars;
    sectors::SectorScan scan;
};

TEST(Rotation, TradingDaysOfTheIndex) {
    const auto dates = fixture::Weekdays(20261102, 10);
    const auto image = data::EncodeDayFile(999999, fixture::PricedBars(
                                                       dates, std::vector<uint32_t>(10, 300000)));
    std::vector<uint32_t> words(image.size() / 4);
    std::memcpy(words.data(), image.data(), words.size() * 4);
    data::SeriesView index;
    index.image = words;
    index.end = words.size();
    index.width = data::kIndexRecordWords;
    index.isIndex = true;

    using V = std::vector<uint32_t>;
    // A Saturday counts as the Friday before; the first days stop the walk.
    EXPECT_EQ(sectors::TradingDaysUpTo(index, 20261107, 3), (V{dates[2], dates[3], dates[4]}));
    EXPECT_EQ(sectors::TradingDaysUpTo(index, dates[1], 5), (V{dates[0], dates[1]}));
    EXPECT_TRUE(sectors::TradingDaysUpTo(index, 20261030, 5).empty());
    EXPECT_EQ(sectors::TradingDaysBetween(index, 20261107, dates[6]), (V{dates[5], dates[6]}));
    EXPECT_TRUE(sectors::TradingDaysBetween(index, dates[6], dates[5]).empty());
    EXPECT_EQ(sectors::TradingDaysAfter(index, dates[7], 5), (V{dates[8], dates[9]}));
    EXPECT_EQ(sectors::TradingDaysAfter(index, 20261101, 1), (V{dates[0]}));
}

TEST(Rotation, TopTenChangeOfTheLastDay) {
    sectors::RotationDay before, last;
    for (uint32_t n = 1; n <= 12; ++n) before.sectors.push_back({n, n, 1, 100 - n});
    // 11 climbs into the top ten and pushes 10 out; 3 falls out of the ranking.
    const std::vector<uint32_t> order = {1, 2, 4, 5, 6, 7, 8, 9, 11, 12, 10};
    for (size_t r = 0; r < order.size(); ++r) last.sectors.push_back({order[r], r + 1, 1, 0});
    const sectors::TopChange change = sectors::TopChangeOf(before, last);
    ASSERT_EQ(change.entered.size(), 2u);
    EXPECT_EQ(change.entered[0].number, 11u);
    EXPECT_EQ(change.entered[0].rank, 9u);
    EXPECT_EQ(change.entered[1].number, 12u);
    ASSERT_EQ(change.left.size(), 2u);
    EXPECT_EQ(change.left[0].number, 3u);
    EXPECT_EQ(change.left[1].number, 10u);
    EXPECT_EQ(change.left[1].rank, 10u);
    EXPECT_EQ(sectors::RankOn(last, 10), 11u);
    EXPECT_EQ(sectors::RankOn(last, 3), 0u);
}

TEST(Scorecard, ReturnsWorkedByHand) {
    ScoreMarket m;
    const auto days = m.Score({1, 2});
    ASSERT_EQ(days.size(), 2u);
    const auto dates = Dates();
    const sectors::ScorecardDay& day = days[0];
    EXPECT_EQ(day.date, dates[kDay]);
    ASSERT_EQ(day.topSectors.size(), 1u);
    EXPECT_EQ(sectors::SectorDisplayNumber(day.topSectors[0]), 4001u);
    // One day on: 甲一 +5 %, 甲二 suspended at its close (0 %): 甲 +2.5 %.
    // The candidates: +5 %, 0 %, and 乙一's 9.90 against its ex-rights
    // reference 9.90 (0 %, not -1 %).
    const sectors::DayOutcome& one = day.horizons[0];
    EXPECT_EQ(one.later, dates[kDay + 1]);
    EXPECT_NEAR(one.top, 0.025, 1e-9);
    EXPECT_NEAR(one.market, 0.05 / 3, 1e-9);
    EXPECT_EQ(one.stocks, 3u);
    // Two days on: 甲一 0 %, 甲二 +5 % after its suspension.
    const sectors::DayOutcome& two = day.horizons[1];
    EXPECT_EQ(two.later, dates[kDay + 2]);
    EXPECT_NEAR(two.top, 0.025, 1e-9);
    EXPECT_NEAR(two.market, 0.05 / 3, 1e-9);

    // The last day has no day after it: left out of both horizons, counted.
    EXPECT_EQ(days[1].horizons[0].later, 0u);
    const auto summary = sectors::Summarise(days, std::vector<int>{1, 2});
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[0].counted, 1u);
    EXPECT_EQ(summary[0].leftOut, 1u);
    EXPECT_EQ(summary[0].hits, 1u);
    EXPECT_DOUBLE_EQ(summary[0].hitRate, 1.0);
    EXPECT_NEAR(summary[0].meanExcess, 0.025 - 0.05 / 3, 1e-9);
    EXPECT_EQ(summary[1].leftOut, 1u);
}

TEST(Scorecard, ForwardReturnNeedsABarOnTheDay) {
    ScoreMarket m;
    const auto dates = Dates();
    const auto suspended = *m.bars.Of(600002);
    EXPECT_FALSE(sectors::ForwardReturn(suspended, dates[kDay + 1], dates[kDay + 2]));
    EXPECT_NEAR(*sectors::ForwardReturn(suspended, dates[kDay], dates[kDay + 2]), 0.05, 1e-9);
    EXPECT_FALSE(m.bars.Of(600009));
}

// The day files read for the returns: a pipe in a file's place is refused at
// once, a file whose dates are out of order gives no bars, the rest are read.
TEST(Scorecard, ReadStockBarsNeverWaitsAndSkipsDamagedFiles) {
    ScoreMarket m;
    const auto dates = Dates();
    auto damaged = After(1100, {1155, 1100, 1200, 1200});
    std::swap(damaged[10].date, damaged[11].date);
    m.fx.WriteDayFile(600002, damaged);
    const std::string pipe = data::DayFilePath(m.state.paths, 600003);
    ASSERT_EQ(::unlink(pipe.c_str()), 0);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    sectors::StockBars bars;
    const std::vector<uint32_t> codes = {600001, 600002, 600003};
    sectors::ReadStockBars(m.inputs, codes, kDays, bars);  // would block on the pipe
    ASSERT_TRUE(bars.Of(600001));
    EXPECT_NEAR(*sectors::ForwardReturn(*bars.Of(600001), dates[kDay], dates[kDay + 1]), 0.05, 1e-9);
    EXPECT_FALSE(bars.Of(600002));
    EXPECT_FALSE(bars.Of(600003));
}

}  // namespace
