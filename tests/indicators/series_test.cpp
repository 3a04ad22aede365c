// The one-pass series against the per-bar definitions: every line of every
// indicator, on stock, index, adjusted and weekly bars, for several ranges
// and parameter sets, must agree bit for bit with the one-bar functions the
// picking conditions call, and with ComputeAt.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "bar_series.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"
#include "indicators/calculations.h"
#include "indicators/recursions.h"

namespace {

using indtest::Layout;
using indtest::Series;
using indtest::TestBar;

// A deterministic walk with flat stretches (no-value cases) and a bar
// without volume; prices scaled for an index.
std::vector<TestBar> Walk(size_t count, uint32_t scale) {
    std::vector<TestBar> bars;
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    uint32_t close = 1000;
    for (size_t i = 0; i < count; ++i) {
        const bool flat = (i >= 40 && i < 70) || i < 3;
        const uint32_t open = flat ? close : close + next(41) - 20;
        if (!flat) close = close + next(61) - 30;
        TestBar b;
        b.open = open * scale;
        b.close = close * scale;
        b.high = (std::max(open, close) + (flat ? 0 : next(15))) * scale;
        b.low = (std::min(open, close) - (flat ? 0 : next(15))) * scale;
        b.volume = i == 90 ? 0 : 1000 + next(90000);
        bars.push_back(b);
    }
    return bars;
}

std::vector<indicators::IndicatorParams> ParamSets(int index) {
    std::vector<indicators::IndicatorParams> sets;
    sets.push_back(indicators::StandardParams(index));
    indicators::IndicatorParams small = indicators::StandardParams(index);
    small.values = {2, 3, 4, 2, 3};
    sets.push_back(small);
    indicators::IndicatorParams mixed = indicators::StandardParams(index);
    mixed.values = {7, 1, 0, 9, 0};  // zeros: lines without value
    sets.push_back(mixed);
    indicators::IndicatorParams longer = indicators::StandardParams(index);
    longer.values = {60, 33, 45, 2, 120};
    sets.push_back(longer);
    return sets;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every line of an indicator at bar t from the one-bar functions, wired by
// hand: line order and parameter use of each indicator.
indicators::LineValues Definition(const data::SeriesView& view, int index,
                                  const indicators::IndicatorParams& params, size_t t) {
    indicators::LineValues out;
    out.count = indicators::DefinitionOf(index).LineCount();
    auto& v = out.values;
    const auto& p = params.values;
    switch (index) {
        case indicators::kMa:
            for (int i = 0; i < 5; ++i) v[i] = indicators::CloseAverage(view, t, p[i]);
            break;
        case indicators::kVol:
            for (int i = 0; i < 3; ++i) v[i] = indicators::VolumeAverage(view, t, p[i]);
            break;
        case indicators::kRsi:
            for (int i = 0; i < 3; ++i) v[i] = indicators::Rsi(view, t, p[i]);
            break;
        case indicators::kBias:
            for (int i = 0; i < 3; ++i) v[i] = indicators::Bias(view, t, p[i]);
            break;
        case indicators::kMacd: {
            const indicators::MacdValues m = indicators::Macd(view, t, p[0], p[1], p[2]);
            v = {m.diff, m.dea, m.macd};
            break;
        }
        case indicators::kKd:
        case indicators::kKdj: {
            const indicators::KdValues kd = indicators::Kdj(view, t, p[0], p[1], p[2]);
            v = {kd.k, kd.d, kd.j};
            break;
        }
        case indicators::kBoll: {
            const indicators::BollValues b = indicators::Boll(view, t, p[0], p[1]);
            v = {b.mid, b.upper, b.lower};
            break;
        }
        case indicators::kWr:
            v = {indicators::WilliamsR(view, t, p[0]), indicators::WilliamsR(view, t, p[1])};
            break;
        case indicators::kDmi: {
            const indicators::DirectionalPair pair = indicators::Dmi(view, t, p[0]);
            v = {pair.pdi, pair.mdi, indicators::Adx(view, t, p[0], p[1]),
                 indicators::Adxr(view, t, p[0], p[1])};
            break;
        }
        case indicators::kCci:
            v[0] = indicators::Cci(view, t, p[0]);
            break;
        case indicators::kArbr: {
            const indicators::ArbrValues a = indicators::Arbr(view, t, p[0]);
            v = {a.ar, a.br};
            break;
        }
        case indicators::kPsy:
            v[0] = indicators::Psy(view, t, p[0]);
            break;
        case indicators::kObv:
            v[0] = indicators::Obv(view, t);
            break;
        case indicators::kCr:
            v = {indicators::Cr(view, t, p[0]), indicators::CrAverage(view, t, p[0], p[1]),
                 indicators::CrAverage(view, t, p[0], p[2]),
                 indicators::CrAverage(view, t, p[0], p[3])};
            break;
        case indicators::kVr:
            v[0] = indicators::Vr(view, t, p[0]);
            break;
        case indicators::kRoc:
            v = {indicators::Roc(view, t, p[0]), indicators::RocMa(view, t, p[0], p[1])};
            break;
        case indicators::kDma:
            v = {indicators::Ddd(view, t, p[0], p[1]), indicators::Ama(view, t, p[0], p[1], p[2])};
            break;
    }
    return out;
}

void ExpectAgreement(const data::SeriesView& view, const char* what) {
    const size_t count = view.BarCount();
    ASSERT_GT(count, 100u);
    const std::array<std::array<size_t, 2>, 4> ranges{
        {{0, count - 1}, {count / 2, count - 1}, {count - 10, count + 50}, {45, 45}}};
    for (int index = 0; index <= indicators::kLastIndicator; ++index) {
        for (const auto& params : ParamSets(index)) {
            for (const auto& [first, last] : ranges) {
                const indicators::IndicatorSeries series =
                    indicators::ComputeSeries(view, index, params, first, last);
                ASSERT_EQ(series.first, first);
                ASSERT_EQ(series.count, std::min(last, count - 1) - first + 1);
                ASSERT_EQ(series.lineCount, indicators::DefinitionOf(index).LineCount());
                for (size_t t = first; t < first + series.count; ++t) {
                    const indicators::LineValues definition = Definition(view, index, params, t);
                    const indicators::LineValues one =
                        indicators::ComputeAt(view, index, params, t);
                    for (int line = 0; line < series.lineCount; ++line) {
                        ASSERT_TRUE(SameBits(series.At(line, t), definition.values[line]))
                            << what << " index " << index << " line " << line << " bar " << t
                            << " params " << params.values[0] << "," << params.values[1]
                            << ": series " << series.At(line, t) << " definition "
                            << definition.values[line];
                        ASSERT_TRUE(SameBits(one.values[line], definition.values[line]))
                            << what << " index " << index << " line " << line << " bar " << t;
                    }
                }
            }
        }
    }
}

TEST(SeriesAgreement, EqualsThePerBarDefinitionOnEveryKindOfSeries) {
    Series stock(Walk(160, 1));
    ExpectAgreement(stock.View(), "stock");
    Series index(Walk(130, 300), Layout::DailyIndex);
    ExpectAgreement(index.View(), "index");
    Series weekly(Walk(120, 1), Layout::Weekly);
    ExpectAgreement(weekly.View(), "weekly");

    // Forward-adjusted through two events, which makes the adjusted closes
    // move in fractions the rounding has to carry alike.
    const std::vector<data::ExRightsStock> stocks{
        {600000, {{20240201, 3, 1.2f, 0, 0}, {20240320, 0, 0.5f, 2, 8.5f}}}};
    const std::vector<uint8_t> bytes = data::EncodeExRightsTable(20240601, stocks);
    const data::ExRightsTable table(bytes);
    data::SeriesView adjusted = stock.View();
    adjusted.adjuster = {&table, data::FindExRightsEntry(table, 600000), data::AdjustMode::Forward};
    ASSERT_NE(adjusted.adjuster.entry, 0u);
    ASSERT_NE(data::BarClose(adjusted, 8), data::BarClose(stock.View(), 8));
    ExpectAgreement(adjusted, "adjusted");
}

// A random walk at a real price level (large prices make the float sums
// round at every step), with runs of equal closes and of equal bars.
std::vector<TestBar> PricedWalk(size_t count, uint32_t seed, uint32_t level) {
    std::vector<TestBar> bars;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    uint32_t close = level;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t pattern = next(10);
        const bool flat = pattern == 0;
        const bool sameClose = pattern == 1;
        const uint32_t open = flat ? close : close - level / 50 + next(level / 25 + 1);
        if (!flat && !sameClose) close = std::max(level / 4, close - level / 30 + next(level / 15 + 1));
        TestBar b;
        b.open = open;
        b.close = close;
        b.high = std::max(open, close) + (flat ? 0 : next(level / 40 + 1));
        b.low = std::min(open, close) - (flat ? 0 : next(level / 40 + 1));
        b.volume = pattern == 2 ? 0 : 100 + next(5'000'000);
        bars.push_back(b);
    }
    return bars;
}

// Lengths drawn from each parameter's own range, short ones more often.
indicators::IndicatorParams RandomParams(int index, uint32_t& seed) {
    indicators::IndicatorParams params = indicators::StandardParams(index);
    const indicators::IndicatorDef& def = indicators::DefinitionOf(index);
    for (int p = 0; p < def.params.count; ++p) {
        seed = seed * 1664525u + 1013904223u;
        const indicators::ParamRange range = def.params.ranges[p];
        const int32_t span = std::min(range.max, range.min + ((seed >> 4) % 4 == 0 ? 400 : 40)) -
                             range.min + 1;
        params.values[p] = range.min + static_cast<int32_t>((seed >> 9) % static_cast<uint32_t>(span));
    }
    return params;
}

TEST(SeriesAgreement, HoldsOnLongWalksWithLengthsFromEveryRange) {
    uint32_t seed = 20261208;
    // Stock prices are stored in 16 bits; an index's take the whole word.
    for (const auto& [level, layout] :
         {std::pair{850u, Layout::DailyStock}, std::pair{4'200u, Layout::Weekly},
          std::pair{310'000u, Layout::DailyIndex}}) {
        Series stock(PricedWalk(420, level * 7 + 1, level), layout);
        const data::SeriesView view = stock.View();
        const size_t count = view.BarCount();
        const indicators::DecodedBars decoded(view, count);
        for (int index = 0; index <= indicators::kLastIndicator; ++index) {
            for (int draw = 0; draw < 3; ++draw) {
                const indicators::IndicatorParams params = RandomParams(index, seed);
                for (const auto& [first, last] : std::array<std::array<size_t, 2>, 3>{
                         {{0, count - 1}, {count - 37, count - 1}, {200, 260}}}) {
                    const auto series = indicators::ComputeSeries(view, index, params, first, last);
                    const auto fromDecoded =
                        indicators::ComputeSeries(decoded, index, params, first, last);
                    ASSERT_EQ(series.count, last - first + 1);
                    ASSERT_EQ(fromDecoded.count, series.count);
                    for (size_t t = first; t <= last; ++t) {
                        const indicators::LineValues one = Definition(view, index, params, t);
                        for (int line = 0; line < series.lineCount; ++line) {
                            ASSERT_TRUE(SameBits(series.At(line, t), one.values[line]))
                                << "level " << level << " index " << index << " line " << line
                                << " bar " << t << " params " << params.values[0] << ","
                                << params.values[1] << "," << params.values[2] << ","
                                << params.values[3] << ": series " << series.At(line, t)
                                << " definition " << one.values[line];
                            ASSERT_TRUE(SameBits(fromDecoded.At(line, t), one.values[line]))
                                << "decoded, index " << index << " line " << line << " bar " << t;
                        }
                    }
                }
            }
        }
    }
}

// The whole-series sums and extremes work through blocks of bars: windows
// that straddle a block's edge, ranges that start inside a block and lengths
// up to a few hundred bars must give the same bits as well.
TEST(SeriesAgreement, HoldsAcrossTheBlocksOfALongSeries) {
    Series stock(PricedWalk(2'600, 77, 1'900));
    const data::SeriesView view = stock.View();
    const size_t count = view.BarCount();
    for (int index = 0; index <= indicators::kLastIndicator; ++index) {
        const indicators::IndicatorDef& def = indicators::DefinitionOf(index);
        indicators::IndicatorParams longest = indicators::StandardParams(index);
        for (int p = 0; p < def.params.count; ++p)
            longest.values[p] = std::min(def.params.ranges[p].max, 300);
        for (const auto& params : {indicators::StandardParams(index), longest}) {
            for (const auto& [first, last] : std::array<std::array<size_t, 2>, 3>{
                     {{0, count - 1}, {1'000, 2'100}, {2'047, 2'049}}}) {
                const auto series = indicators::ComputeSeries(view, index, params, first, last);
                ASSERT_EQ(series.count, last - first + 1);
                // The one-bar definitions sum every window afresh: the bars at
                // the range's ends and a block's edges, and every 61st.
                for (size_t t = first; t <= last; ++t) {
                    const bool edge = t - first < 3 || last - t < 3 || (t + 2) % 1'024 < 5;
                    if (!edge && t % 61 != 0) continue;
                    const indicators::LineValues one = Definition(view, index, params, t);
                    for (int line = 0; line < series.lineCount; ++line)
                        ASSERT_TRUE(SameBits(series.At(line, t), one.values[line]))
                            << "index " << index << " line " << line << " bar " << t
                            << " first " << first << " length " << params.values[0];
                }
            }
        }
    }
}

TEST(SeriesAgreement, MovingAveragesMatchTheBarAccessorsOfTheDataLayer) {
    Series stock(Walk(120, 1));
    const auto view = stock.View();
    const auto& ma = indicators::StandardParams(indicators::kMa);
    const auto& vol = indicators::StandardParams(indicators::kVol);
    const auto maSeries = indicators::ComputeSeries(view, indicators::kMa, ma, 0, 119);
    const auto volSeries = indicators::ComputeSeries(view, indicators::kVol, vol, 0, 119);
    for (size_t t = 0; t < 120; ++t) {
        const size_t offset = indicators::BarOffset(view, t);
        for (int line = 0; line < 5; ++line)
            EXPECT_EQ(maSeries.At(line, t), data::AverageClose(view, offset, ma.values[line]));
        for (int line = 0; line < 3; ++line)
            EXPECT_EQ(volSeries.At(line, t), data::AverageVolume(view, offset, vol.values[line]));
    }
}

TEST(SeriesAgreement, OnlyRecursiveDefinitionsDependOnOlderHistory) {
    // The same newest bar with 50 older bars fewer loaded: a window's value
    // stays to the bit, a recursion from the oldest bar moves.
    Series stock(Walk(160, 1));
    const data::SeriesView full = stock.View();
    data::SeriesView cut = full;
    cut.firstBar += 50 * cut.width;
    const size_t last = full.BarCount() - 1;
    for (int index = 0; index <= indicators::kLastIndicator; ++index) {
        indicators::IndicatorParams params = indicators::StandardParams(index);
        // KD's standard smoothing forgets its seed to the last float bit
        // within some 40 bars; its slowest smoothing does not.
        if (index == indicators::kKd || index == indicators::kKdj) params.values = {9, 40, 40};
        const indicators::LineValues whole = indicators::ComputeAt(full, index, params, last);
        const indicators::LineValues shorter = indicators::ComputeAt(cut, index, params, last - 50);
        bool same = true;
        for (int line = 0; line < whole.count; ++line)
            same = same && SameBits(whole.values[line], shorter.values[line]);
        const bool recursive =
            indicators::DefinitionOf(index).recursion == indicators::Recursion::FromOldestBar;
        EXPECT_EQ(same, !recursive) << "index " << index;
    }
}

TEST(SeriesAgreement, RecursionsFedBarByBarGiveTheDefinitions) {
    Series stock(Walk(100, 1));
    const auto view = stock.View();
    indicators::MacdRecursion macd(12, 26, 9);
    indicators::KdRecursion kd(9, 3, 3);
    indicators::RsiRecursion rsi(6);
    indicators::ObvRecursion obv;
    EXPECT_EQ(macd.Values().diff, indicators::kNoValue);  // nothing fed yet
    for (size_t t = 0; t < 100; ++t) {
        macd.Feed(view, t);
        kd.Feed(view, t);
        rsi.Feed(view, t);
        obv.Feed(view, t);
        EXPECT_TRUE(SameBits(macd.Values().dea, indicators::Macd(view, t, 12, 26, 9).dea)) << t;
        EXPECT_TRUE(SameBits(kd.Values().j, indicators::Kdj(view, t, 9, 3, 3).j)) << t;
        EXPECT_TRUE(SameBits(rsi.Value(), indicators::Rsi(view, t, 6))) << t;
        EXPECT_TRUE(SameBits(obv.Value(), indicators::Obv(view, t))) << t;
    }
}

TEST(SeriesAgreement, EmptyAndInvalidRangesGiveNoBars) {
    Series stock(Walk(20, 1));
    const auto view = stock.View();
    const auto params = indicators::StandardParams(indicators::kMacd);
    EXPECT_EQ(indicators::ComputeSeries(view, indicators::kMacd, params, 20, 30).count, 0u);
    EXPECT_EQ(indicators::ComputeSeries(view, indicators::kMacd, params, 10, 5).count, 0u);
    EXPECT_EQ(indicators::ComputeSeries(view, 18, params, 0, 5).count, 0u);
    EXPECT_EQ(indicators::ComputeSeries(view, -1, params, 0, 5).count, 0u);
    data::SeriesView empty = view;
    empty.end = empty.firstBar;
    EXPECT_EQ(indicators::ComputeSeries(empty, indicators::kMacd, params, 0, 5).count, 0u);
    EXPECT_EQ(indicators::ComputeAt(empty, indicators::kMacd, params, 0).values[0],
              indicators::kNoValue);
    EXPECT_EQ(indicators::ComputeAt(view, indicators::kMa,
                                    indicators::StandardParams(indicators::kMa), 25)
                  .values[0],
              0.0);
    const auto one = indicators::ComputeSeries(view, indicators::kKd,
                                               indicators::StandardParams(indicators::kKd), 19, 19);
    EXPECT_EQ(one.count, 1u);
    EXPECT_TRUE(one.Covers(19));
    EXPECT_FALSE(one.Covers(18));
    EXPECT_TRUE(one.lines[2].empty());  // KD has two lines
}

}  // namespace
