// Each indicator worked by hand on a few bars: the values, the bars where it
// has none, and the rounding its definition fixes.
#include "indicators/calculations.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "bar_series.h"
#include "indicators/formulas.h"
#include "indicators/recursions.h"

namespace {

using indicators::kNoValue;
using indtest::FlatBars;
using indtest::HighLowClose;
using indtest::Layout;
using indtest::Series;
using indtest::TestBar;

bool IsFloat(double v) {
    return static_cast<double>(static_cast<float>(v)) == v;
}

TEST(Averages, CloseAveragesRoundHalfUpAndVolumeAveragesTruncate) {
    // Closes 10, 10, 11 average 10.33 -> 10; 10, 11, 11 average 10.67 -> 11.
    Series a(FlatBars({10, 10, 11}, 0));
    EXPECT_EQ(indicators::CloseAverage(a.View(), 2, 3), 10u);
    Series b(FlatBars({10, 11, 11}));
    EXPECT_EQ(indicators::CloseAverage(b.View(), 2, 3), 11u);
    Series c(FlatBars({1001, 1002}));
    EXPECT_EQ(indicators::CloseAverage(c.View(), 1, 2), 1002u);  // 1001.5 goes up
    // Too few bars and a length of 0 give 0, not the average of what exists.
    EXPECT_EQ(indicators::CloseAverage(b.View(), 1, 3), 0u);
    EXPECT_EQ(indicators::CloseAverage(b.View(), 2, 0), 0u);
    EXPECT_EQ(indicators::CloseAverage(b.View(), 3, 1), 0u);  // past the last bar

    // Volumes 10, 10, 11 average 10.33 and 10, 11, 11 average 10.67: both 10.
    std::vector<TestBar> bars = FlatBars({100, 100, 100, 100});
    bars[0].volume = 10;
    bars[1].volume = 10;
    bars[2].volume = 11;
    bars[3].volume = 11;
    Series v(bars);
    EXPECT_EQ(indicators::VolumeAverage(v.View(), 2, 3), 10u);
    EXPECT_EQ(indicators::VolumeAverage(v.View(), 3, 3), 10u);
    EXPECT_EQ(indicators::VolumeAverage(v.View(), 1, 3), 0u);
    EXPECT_EQ(indicators::VolumeAverage(v.View(), 3, -2), 0u);

    // An index volume is read in 10,000 lots, each bar rounded half up first.
    std::vector<TestBar> index = FlatBars({300000, 300000});
    index[0].volume = 15'000;  // 1.5 -> 2
    index[1].volume = 24'999;  // 2.4999 -> 2
    Series i(index, Layout::DailyIndex);
    EXPECT_EQ(indicators::VolumeAverage(i.View(), 1, 2), 2u);
    EXPECT_EQ(indicators::CloseAverage(i.View(), 1, 2), 300000u);
}

// The volume mean divides in double and puts the quotient right: it must
// equal the integer quotient on both sides of every whole multiple, at every
// magnitude, and beyond the exact range of a double.
TEST(Averages, VolumeMeansTruncateLikeIntegerDivisionAtEveryMagnitude) {
    for (const int32_t n : {1, 2, 3, 7, 10, 30, 60, 999, 1'000'003, 2'147'483'647}) {
        const uint64_t divisor = static_cast<uint64_t>(n);
        for (int bits = 0; bits < 64; ++bits) {
            const uint64_t base = uint64_t{1} << bits;
            const uint64_t multiple = base / divisor * divisor;
            for (const uint64_t sum : {base - 1, base, base + 1, multiple - 1, multiple,
                                       multiple + 1, multiple + divisor - 1}) {
                EXPECT_EQ(indicators::TruncatedMean(sum, n), static_cast<uint32_t>(sum / divisor))
                    << sum << " / " << n;
            }
        }
    }
}

// Three bars with highs 12, 14, 13, lows 8, 9, 10 and closes 10, 13, 11 (yuan).
std::vector<TestBar> ThreeSwings() {
    return HighLowClose({{1200, 800, 1000}, {1400, 900, 1300}, {1300, 1000, 1100}});
}

TEST(RsvAndWilliamsR, UseTheHighestHighAndLowestLowOfTheWindow) {
    Series s(ThreeSwings());
    const auto view = s.View();
    EXPECT_DOUBLE_EQ(indicators::Rsv(view, 2, 3), 50.0);  // (11 - 8) / (14 - 8)
    EXPECT_DOUBLE_EQ(indicators::Rsv(view, 2, 2), 40.0);  // (11 - 9) / (14 - 9)
    EXPECT_DOUBLE_EQ(indicators::Rsv(view, 0, 9), 50.0);  // fewer bars: those there are
    EXPECT_DOUBLE_EQ(indicators::Rsv(view, 2, 0), 0.0);
    EXPECT_DOUBLE_EQ(indicators::WilliamsR(view, 2, 3), 50.0);  // (14 - 11) / (14 - 8)
    EXPECT_DOUBLE_EQ(indicators::WilliamsR(view, 2, 2), 60.0);  // (14 - 11) / (14 - 9)
    EXPECT_EQ(indicators::WilliamsR(view, 2, 0), kNoValue);

    // Identical highs and lows: RSV 100, W&R none.
    Series flat(FlatBars({1000, 1000, 1000}));
    EXPECT_DOUBLE_EQ(indicators::Rsv(flat.View(), 2, 3), 100.0);
    EXPECT_EQ(indicators::WilliamsR(flat.View(), 2, 3), kNoValue);
}

TEST(Kdj, SeedsWithTheFirstRsvAndKeepsKAndDInFloats) {
    Series s(ThreeSwings());
    const auto view = s.View();
    const indicators::KdValues first = indicators::Kdj(view, 0, 3, 3, 3);
    EXPECT_EQ(first.k, 50.0);  // K = D = RSV(0) = 50, and a step of 50 keeps them
    EXPECT_EQ(first.d, 50.0);
    EXPECT_EQ(first.j, 50.0);

    // Bar 1: RSV = (13 - 8) / (14 - 8) = 83.33; K = (83.33 + 2*50) / 3 = 61.11;
    // D = (61.11 + 2*50) / 3 = 53.70; J = 3K - 2D = 75.93.
    const indicators::KdValues second = indicators::Kdj(view, 1, 3, 3, 3);
    EXPECT_NEAR(second.k, 61.1111, 1e-4);
    EXPECT_NEAR(second.d, 53.7037, 1e-4);
    EXPECT_NEAR(second.j, 75.9259, 1e-4);
    EXPECT_TRUE(IsFloat(second.k));
    EXPECT_TRUE(IsFloat(second.d));
    // J takes K before it is stored as a float, and D as stored.
    const double k1 = (50000.0 / 600 + 2 * 50.0) / 3;
    const float kStored = static_cast<float>(k1);
    const float dStored = static_cast<float>((double{kStored} + 2 * 50.0) / 3);
    EXPECT_EQ(second.k, kStored);
    EXPECT_EQ(second.d, dStored);
    EXPECT_DOUBLE_EQ(second.j, 3 * k1 - 2 * double{dStored});
    EXPECT_NE(second.j, 3 * double{kStored} - 2 * double{dStored});

    // Bar 2: RSV = 50; K = (50 + 2*61.11) / 3 = 57.41; D = (57.41 + 2*53.70) / 3 = 54.94.
    const indicators::KdValues third = indicators::Kdj(view, 2, 3, 3, 3);
    EXPECT_NEAR(third.k, 57.4074, 1e-4);
    EXPECT_NEAR(third.d, 54.9383, 1e-4);

    for (auto [n, m1, m2] : {std::array{0, 3, 3}, std::array{9, 0, 3}, std::array{9, 3, 0}}) {
        const indicators::KdValues none = indicators::Kdj(view, 2, n, m1, m2);
        EXPECT_EQ(none.k, kNoValue);
        EXPECT_EQ(none.d, kNoValue);
        EXPECT_EQ(none.j, kNoValue);
    }
}

// The recursions' float of a double quotient, taken by multiplication where
// that is safe: it must be the division's float at every magnitude, sign and
// divisor, and above all next to the midpoints between two floats, where a
// quotient a unit off would store as the other float.
TEST(SingleQuotient, IsTheFloatOfTheDoubleQuotientEverywhere) {
    const auto expectSame = [](double x, double d) {
        const double quick = indicators::SingleQuotient(x, indicators::Divisor(d));
        const double exact = static_cast<float>(x / d);
        if (std::isnan(exact)) {
            EXPECT_TRUE(std::isnan(quick)) << x << " / " << d;
            return;
        }
        EXPECT_EQ(std::bit_cast<uint64_t>(quick), std::bit_cast<uint64_t>(exact))
            << std::hexfloat << x << " / " << d;
    };
    const std::vector<double> divisors{1, 2, 3, 4, 5, 7, 9, 10, 13, 27, 41, 61, 100, 101,
                                       1000, 65536, 2147483647, 2147483648.0};
    uint64_t seed = 0x9E3779B97F4A7C15u;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    for (double d : divisors) {
        // Quotients just around a midpoint of two floats, a few units of the
        // double either side, at magnitudes from the floats' smallest to
        // their largest, and around the edges of their normal range.
        for (int exponent : {-149, -127, -126, -125, -60, -1, 0, 1, 6, 20, 60, 126, 127, 128}) {
            for (int trial = 0; trial < 40; ++trial) {
                const float below = std::ldexp(1.0f + static_cast<float>(next() % (1u << 23)) *
                                                          0x1p-23f,
                                               exponent);
                const double midpoint =
                    (double{below} + double{std::nextafter(below, INFINITY)}) / 2;
                for (int units = -12; units <= 12; ++units) {
                    double quotient = midpoint;
                    for (int i = 0; i < std::abs(units); ++i)
                        quotient = std::nextafter(quotient, units < 0 ? 0.0 : INFINITY);
                    expectSame(quotient * d, d);
                    expectSame(-quotient * d, d);
                    expectSame(std::nextafter(quotient * d, INFINITY), d);
                }
            }
        }
        // Any double at all, and the special values.
        for (int trial = 0; trial < 20000; ++trial)
            expectSame(std::bit_cast<double>(next()), d);
        const double inf = std::numeric_limits<double>::infinity();
        for (double x : {0.0, -0.0, 300.0, 100.0, 1e-320, -1e-310, 3.4e38 * d, 1e300, inf, -inf,
                         std::numeric_limits<double>::quiet_NaN()})
            expectSame(x, d);
    }
}

TEST(Rsi, SmoothsUpMovesOverAbsoluteMovesFromTheFirstBar) {
    // Moves +1, -0.5, +1 yuan. n = 2: A = 0.5, 0.25, 0.625; B = 0.5, 0.5, 0.75.
    Series s(FlatBars({1000, 1100, 1050, 1150}));
    const auto view = s.View();
    EXPECT_EQ(indicators::Rsi(view, 0, 2), kNoValue);  // no move yet: B = 0
    EXPECT_NEAR(indicators::Rsi(view, 1, 2), 100.0, 1e-9);
    EXPECT_NEAR(indicators::Rsi(view, 2, 2), 50.0, 1e-9);
    EXPECT_NEAR(indicators::Rsi(view, 3, 2), 62.5 / 0.75, 1e-9);
    EXPECT_EQ(indicators::Rsi(view, 3, 0), kNoValue);

    Series flat(FlatBars({1000, 1000, 1000}));
    EXPECT_EQ(indicators::Rsi(flat.View(), 2, 6), kNoValue);

    // A move is priced with the single-precision 0.01: 100 * 0.0099999998, not 1.
    indicators::RsiRecursion rsi(1);
    rsi.FeedMove(1000, 1100);
    EXPECT_NE(rsi.UpAverage(), 1.0);
    EXPECT_NEAR(rsi.UpAverage(), 0.99999998, 1e-8);
    EXPECT_EQ(rsi.UpAverage(), rsi.MoveAverage());
}

TEST(Bias, IsTheCloseAgainstItsAverageInPercent) {
    // Closes 10, 10, 13: average 11, BIAS = (13 - 11) / 11 = 18.18 %.
    Series s(FlatBars({1000, 1000, 1300}));
    EXPECT_NEAR(indicators::Bias(s.View(), 2, 3), 200.0 / 11, 1e-4);
    // With n = 1 the mean is the close kept in a float, the close itself is not:
    // 12.9999997 yuan against 13.0f.
    const double close = 1300 * double{0.01f};
    const double mean = static_cast<float>(close);
    EXPECT_DOUBLE_EQ(indicators::Bias(s.View(), 2, 1), (close - mean) * 100 / mean);
    EXPECT_NE(indicators::Bias(s.View(), 2, 1), 0.0);
    EXPECT_EQ(indicators::Bias(s.View(), 1, 3), kNoValue);  // too few bars
    EXPECT_EQ(indicators::Bias(s.View(), 2, 0), kNoValue);
    // Closes summing to less than one yuan give none.
    Series small(FlatBars({10, 20, 30}));
    EXPECT_EQ(indicators::Bias(small.View(), 2, 3), kNoValue);
    Series more(FlatBars({10, 20, 80}));
    EXPECT_NE(indicators::Bias(more.View(), 2, 3), kNoValue);  // 1.1 yuan
}

TEST(Macd, StartsAtZeroAndKeepsItsAveragesInFloats) {
    Series s(FlatBars({1000, 1300}));
    const auto view = s.View();
    const indicators::MacdValues first = indicators::Macd(view, 0, 12, 26, 9);
    EXPECT_EQ(first.diff, 0.0);
    EXPECT_EQ(first.dea, 0.0);
    EXPECT_EQ(first.macd, 0.0);
    // EMA12 = (2*13 + 11*10) / 13 = 10.4615, EMA26 = (2*13 + 25*10) / 27 = 10.2222,
    // DIFF = 0.2393, DEA = 2 * DIFF / 10 = 0.0479, MACD = 2 * (DIFF - DEA) = 0.3829.
    const indicators::MacdValues second = indicators::Macd(view, 1, 12, 26, 9);
    EXPECT_NEAR(second.diff, 136.0 / 13 - 276.0 / 27, 2e-5);
    EXPECT_NEAR(second.dea, (136.0 / 13 - 276.0 / 27) / 5, 2e-5);
    EXPECT_NEAR(second.macd, (136.0 / 13 - 276.0 / 27) * 1.6, 2e-5);
    EXPECT_TRUE(IsFloat(second.diff) && IsFloat(second.dea) && IsFloat(second.macd));
    for (auto [a, b, c] : {std::array{0, 26, 9}, std::array{12, 0, 9}, std::array{12, 26, 0}}) {
        const indicators::MacdValues none = indicators::Macd(view, 1, a, b, c);
        EXPECT_EQ(none.diff, kNoValue);
        EXPECT_EQ(none.dea, kNoValue);
        EXPECT_EQ(none.macd, kNoValue);
    }
}

TEST(Boll, UsesTheSampleDeviationAndNeverGivesNaN) {
    // Closes 10, 12: MID 11, sd = sqrt((2*244 - 22^2) / 2) = 1.4142.
    Series s(FlatBars({1000, 1200}));
    const indicators::BollValues b = indicators::Boll(s.View(), 1, 2, 2);
    EXPECT_NEAR(b.mid, 11.0, 1e-5);
    EXPECT_NEAR(b.upper, 11.0 + 2 * 1.41421356, 1e-4);
    EXPECT_NEAR(b.lower, 11.0 - 2 * 1.41421356, 1e-4);
    const indicators::BollValues few = indicators::Boll(s.View(), 0, 2, 2);
    EXPECT_EQ(few.mid, 0.0);
    EXPECT_EQ(few.upper, 0.0);
    EXPECT_EQ(few.lower, 0.0);
    EXPECT_EQ(indicators::Boll(s.View(), 1, 0, 2).upper, 0.0);

    // A flat window has its bands on the middle line, whatever the float sums do.
    for (uint32_t close : {1000u, 1234u, 3333u, 65535u}) {
        Series flat(FlatBars(std::vector<uint32_t>(26, close)));
        const indicators::BollValues f = indicators::Boll(flat.View(), 25, 26, 2);
        EXPECT_NEAR(f.mid, close * 0.01, 1e-3) << close;
        EXPECT_EQ(f.upper, f.mid) << close;
        EXPECT_EQ(f.lower, f.mid) << close;
    }
    // One bar has no deviation either (its N(N - 1) is 0).
    const indicators::BollValues single = indicators::Boll(s.View(), 1, 1, 2);
    EXPECT_EQ(single.upper, single.mid);
    EXPECT_FALSE(std::isnan(single.lower));
}

// Highs/lows/closes whose true ranges and directional moves are worked below.
std::vector<TestBar> FourTrends() {
    return HighLowClose({{10, 8, 9}, {12, 9, 11}, {11, 7, 8}, {15, 10, 14}});
}

TEST(Dmi, SumsTheWindowAndTakesDxAsZeroWithoutMovement) {
    Series s(FourTrends());
    const auto view = s.View();
    // t = 2, N = 2: bar 2 has TR 4 and -DM 2, bar 1 TR 3 and +DM 2.
    const indicators::DirectionalPair two = indicators::Dmi(view, 2, 2);
    EXPECT_DOUBLE_EQ(two.pdi, 200.0 / 7);
    EXPECT_DOUBLE_EQ(two.mdi, 200.0 / 7);
    // t = 3: bar 3 has TR 7 (against the close 8) and +DM 4.
    const indicators::DirectionalPair three = indicators::Dmi(view, 3, 2);
    EXPECT_DOUBLE_EQ(three.pdi, 400.0 / 11);
    EXPECT_DOUBLE_EQ(three.mdi, 200.0 / 11);
    EXPECT_EQ(indicators::Dmi(view, 1, 2).pdi, kNoValue);  // needs t >= N
    EXPECT_EQ(indicators::Dmi(view, 3, 0).mdi, kNoValue);

    // DX(3) = (400 - 200) / (400 + 200) = 33.33, DX(2) = 0.
    EXPECT_NEAR(indicators::Adx(view, 3, 2, 1), 100.0 / 3, 1e-9);
    EXPECT_NEAR(indicators::Adx(view, 3, 2, 2), 50.0 / 3, 1e-9);
    EXPECT_EQ(indicators::Adx(view, 2, 2, 2), kNoValue);           // DMI(1) has none
    EXPECT_EQ(indicators::Adx(view, 3, 2, 4), kNoValue);           // needs t >= M
    EXPECT_NEAR(indicators::Adxr(view, 3, 2, 1), 50.0 / 3, 1e-9);  // (33.33 + 0) / 2
    EXPECT_EQ(indicators::Adxr(view, 3, 2, 2), kNoValue);          // ADX(1) has none

    // An inside bar: a true range but no directional movement, DX 0.
    Series inside(HighLowClose({{12, 8, 10}, {11, 9, 10}}));
    const indicators::DirectionalPair none = indicators::Dmi(inside.View(), 1, 1);
    EXPECT_EQ(none.pdi, 0.0);
    EXPECT_EQ(none.mdi, 0.0);
    EXPECT_EQ(indicators::Adx(inside.View(), 1, 1, 1), 0.0);
    // No range at all: none.
    Series flat(FlatBars({1000, 1000}));
    EXPECT_EQ(indicators::Dmi(flat.View(), 1, 1).pdi, kNoValue);
    EXPECT_EQ(indicators::Adx(flat.View(), 1, 1, 1), kNoValue);
}

TEST(Cci, ComparesTheTypicalPriceWithItsMeanDeviation) {
    // Typical prices 10, 12, 15: mean 12.33, mean deviation 1.78, CCI = 100.
    Series s(HighLowClose({{1200, 800, 1000}, {1500, 900, 1200}, {1800, 1200, 1500}}));
    EXPECT_NEAR(indicators::Cci(s.View(), 2, 3), 100.0, 1e-3);
    // Typical prices 10, 12: CCI = (12 - 11) * 200 / (3 * 1) = 66.67.
    EXPECT_NEAR(indicators::Cci(s.View(), 1, 2), 200.0 / 3, 1e-3);
    EXPECT_EQ(indicators::Cci(s.View(), 1, 3), kNoValue);
    EXPECT_EQ(indicators::Cci(s.View(), 2, 0), kNoValue);
    // Identical highs and lows have no mean deviation: none, not a float artefact.
    for (uint32_t close : {1000u, 777u, 4321u}) {
        Series flat(FlatBars(std::vector<uint32_t>(14, close)));
        EXPECT_EQ(indicators::Cci(flat.View(), 13, 14), kNoValue) << close;
    }
}

TEST(Arbr, SumsTheBarsAndSkipsBrForABarWithoutPrevious) {
    // Bars (open, high, low, close): (10,12,9,12), (11,14,10,13), (13,15,12,12).
    const std::vector<TestBar> bars = {
        {10, 12, 9, 12, 100}, {11, 14, 10, 13, 100}, {13, 15, 12, 12, 100}};
    Series s(bars);
    const auto view = s.View();
    // t = 2: AR = (2 + 3) / (1 + 1); BR = (15-13 + 14-12) / (13-12 + 12-10).
    const indicators::ArbrValues two = indicators::Arbr(view, 2, 2);
    EXPECT_DOUBLE_EQ(two.ar, 250.0);
    EXPECT_DOUBLE_EQ(two.br, 400.0 / 3);
    // t = 1: bar 0 adds to AR only.
    const indicators::ArbrValues one = indicators::Arbr(view, 1, 2);
    EXPECT_DOUBLE_EQ(one.ar, 250.0);
    EXPECT_DOUBLE_EQ(one.br, 100.0);
    EXPECT_EQ(indicators::Arbr(view, 0, 2).ar, kNoValue);
    EXPECT_EQ(indicators::Arbr(view, 2, 0).br, kNoValue);
    // Opens on the lows: no AR denominator.
    Series lows(std::vector<TestBar>{{9, 12, 9, 11, 100}, {10, 12, 10, 11, 100}});
    EXPECT_EQ(indicators::Arbr(lows.View(), 1, 2).ar, kNoValue);
}

TEST(Psy, CountsRisingClosesInTheWindow) {
    Series s(FlatBars({10, 11, 10, 12, 13}));
    EXPECT_DOUBLE_EQ(indicators::Psy(s.View(), 4, 4), 75.0);
    EXPECT_DOUBLE_EQ(indicators::Psy(s.View(), 2, 2), 50.0);
    EXPECT_EQ(indicators::Psy(s.View(), 3, 4), kNoValue);  // needs t >= N
    EXPECT_EQ(indicators::Psy(s.View(), 4, 0), kNoValue);
}

TEST(Obv, AddsAndTakesOffRawVolumes) {
    std::vector<TestBar> bars = FlatBars({10, 11, 11, 9, 12});
    for (size_t i = 0; i < bars.size(); ++i) bars[i].volume = 100 * (i + 1);
    Series s(bars);
    const std::array<double, 5> expected{0, 200, 200, -200, 300};
    for (size_t t = 0; t < expected.size(); ++t)
        EXPECT_EQ(indicators::Obv(s.View(), t), expected[t]) << t;

    // An index's OBV uses its volume word as stored, not in 10,000 lots.
    std::vector<TestBar> index = FlatBars({300000, 310000, 305000});
    index[1].volume = 123'456'789;
    index[2].volume = 23'456'789;
    Series i(index, Layout::DailyIndex);
    EXPECT_EQ(indicators::Obv(i.View(), 2), 100'000'000.0);
    EXPECT_EQ(indicators::RawVolume(i.View(), 1), 123'456'789u);
    // Weekly bars of a stock keep their volume in word 6 too.
    Series w(bars, Layout::Weekly);
    EXPECT_EQ(indicators::Obv(w.View(), 4), 300.0);
}

// Highs/lows/closes 12/8/10, 14/9/13, 13/11/12: middles 10 and 12.
std::vector<TestBar> CrBars() {
    return HighLowClose({{1200, 800, 1000}, {1400, 900, 1300}, {1300, 1100, 1200}});
}

TEST(Cr, MeasuresAgainstThePreviousMiddleAndShiftsItsAverages) {
    Series s(CrBars());
    const auto view = s.View();
    // t = 2: up (13-12) + (14-10) = 5, down (12-11) + (10-9) = 2.
    EXPECT_NEAR(indicators::Cr(view, 2, 2), 250.0, 1e-3);
    // t = 1 stops before bar 0 would be the current bar: 4 / 1.
    EXPECT_NEAR(indicators::Cr(view, 1, 2), 400.0, 1e-3);
    EXPECT_EQ(indicators::Cr(view, 0, 2), kNoValue);
    EXPECT_EQ(indicators::Cr(view, 2, 0), kNoValue);
    // Lows never below the previous middle: none.
    Series up(HighLowClose({{1000, 1000, 1000}, {1200, 1100, 1150}}));
    EXPECT_EQ(indicators::Cr(up.View(), 1, 1), kNoValue);

    // The average of window m covers CR(t - 7m/5) .. CR(t - 7m/5 + m - 1).
    std::vector<uint32_t> closes;
    for (uint32_t i = 0; i < 30; ++i) closes.push_back(1000 + (i * 37) % 200);
    std::vector<TestBar> bars;
    for (uint32_t c : closes) bars.push_back({c, c + 30, c - 100, c, 100});
    Series long_(bars);
    const auto lv = long_.View();
    const auto cr = [&](size_t t) { return indicators::Cr(lv, t, 3); };
    EXPECT_EQ(indicators::CrAverage(lv, 7, 3, 5), kNoValue);  // needs t > 7
    EXPECT_NEAR(indicators::CrAverage(lv, 8, 3, 5), (cr(1) + cr(2) + cr(3) + cr(4) + cr(5)) / 5,
                1e-9);
    EXPECT_NEAR(indicators::CrAverage(lv, 20, 3, 2), (cr(18) + cr(19)) / 2, 1e-9);  // shift 2
    EXPECT_NEAR(
        indicators::CrAverage(lv, 29, 3, 10),
        [&] {
            double sum = 0;
            for (size_t t = 15; t <= 24; ++t) sum += cr(t);  // shift 14, ends 5 bars back
            return sum / 10;
        }(),
        1e-9);
    EXPECT_EQ(indicators::CrAverage(lv, 29, 0, 5), kNoValue);
    EXPECT_EQ(indicators::CrAverage(lv, 29, 3, 0), kNoValue);
    // CR(2) has no value (bar 2's low is above the middle 10.33 of bar 1): it is
    // left out of a window but still counted in the divisor, and a window that
    // starts with it has none.
    Series gaps(HighLowClose({{1000, 1000, 1000},
                              {1200, 900, 1000},
                              {1100, 1100, 1100},
                              {1100, 1100, 1100},
                              {1100, 1100, 1100}}));
    const auto gv = gaps.View();
    EXPECT_NEAR(indicators::Cr(gv, 1, 1), 200.0, 1e-3);
    EXPECT_EQ(indicators::Cr(gv, 2, 1), kNoValue);
    EXPECT_NEAR(indicators::CrAverage(gv, 3, 1, 2), indicators::Cr(gv, 1, 1) / 2, 1e-9);
    EXPECT_EQ(indicators::CrAverage(gv, 4, 1, 2), kNoValue);
}

TEST(Vr, SplitsVolumesByTheCloseMove) {
    std::vector<TestBar> bars = FlatBars({10, 11, 11, 10, 12});
    for (size_t i = 0; i < bars.size(); ++i) bars[i].volume = 100 * (i + 1);
    Series s(bars);
    // N = 4 at t = 4: up 500 + 200, down 400 + 300 (unchanged counts as down).
    EXPECT_DOUBLE_EQ(indicators::Vr(s.View(), 4, 4), 100.0);
    EXPECT_DOUBLE_EQ(indicators::Vr(s.View(), 4, 2), 125.0);
    // Fewer bars than N: those after bar 0.
    EXPECT_DOUBLE_EQ(indicators::Vr(s.View(), 2, 26), 200.0 / 3);
    EXPECT_EQ(indicators::Vr(s.View(), 0, 4), kNoValue);
    EXPECT_EQ(indicators::Vr(s.View(), 1, 4), kNoValue);  // only rises: no down volume
}

TEST(Roc, IsThePercentMoveAndItsAverageDividesByM) {
    Series s(FlatBars({0, 1000, 1100, 1210}));
    const auto view = s.View();
    EXPECT_NEAR(indicators::Roc(view, 2, 1), 10.0, 1e-9);
    EXPECT_NEAR(indicators::Roc(view, 3, 2), 21.0, 1e-9);
    EXPECT_EQ(indicators::Roc(view, 1, 1), kNoValue);  // the earlier close is 0
    EXPECT_EQ(indicators::Roc(view, 1, 2), kNoValue);  // needs t >= N
    // ROC(1) has no value and is left out, but M = 3 still divides.
    EXPECT_NEAR(indicators::RocMa(view, 3, 1, 3), 20.0 / 3, 1e-5);
    EXPECT_NEAR(indicators::RocMa(view, 3, 1, 2), 10.0, 1e-5);
    EXPECT_EQ(indicators::RocMa(view, 2, 1, 3), kNoValue);  // needs t >= M
    EXPECT_EQ(indicators::RocMa(view, 3, 1, 0), kNoValue);
    // Valid values summing to exactly 0: none.
    Series flat(FlatBars({1000, 1000, 1000, 1000}));
    EXPECT_EQ(indicators::Roc(flat.View(), 3, 1), 0.0);
    EXPECT_EQ(indicators::RocMa(flat.View(), 3, 1, 2), kNoValue);
}

TEST(Dma, DiffersTwoAveragesAndAveragesTheDifference) {
    Series s(FlatBars({1000, 1200, 1400}));
    const auto view = s.View();
    EXPECT_NEAR(indicators::Ddd(view, 2, 1, 3), 2.0, 1e-5);  // 14 - 12
    EXPECT_EQ(indicators::Ddd(view, 1, 1, 3), kNoValue);
    EXPECT_EQ(indicators::Ddd(view, 2, 0, 3), kNoValue);
    // N1 = 1, N2 = 2: DDD = half the move = 1 at bars 1 and 2.
    EXPECT_NEAR(indicators::Ama(view, 2, 1, 2, 2), 1.0, 1e-5);
    // At bar 1 DDD(0) has no value: the sum 1 is still divided by 2.
    EXPECT_NEAR(indicators::Ama(view, 1, 1, 2, 2), 0.5, 1e-5);
    EXPECT_EQ(indicators::Ama(view, 1, 1, 2, 3), kNoValue);  // needs t >= M - 1

    // Flat closes: DDD exactly 0 whatever the float sums, so AMA has none.
    for (uint32_t close : {1000u, 1234u, 4321u}) {
        Series flat(FlatBars(std::vector<uint32_t>(60, close)));
        EXPECT_EQ(indicators::Ddd(flat.View(), 59, 10, 50), 0.0) << close;
        EXPECT_EQ(indicators::Ama(flat.View(), 59, 10, 50, 10), kNoValue) << close;
    }
}

TEST(NoValue, IsRecognisedByItsIntegerPart) {
    EXPECT_FALSE(indicators::HasValue(kNoValue));
    EXPECT_FALSE(indicators::HasValue(65535.7));
    EXPECT_TRUE(indicators::HasValue(65534.99));
    EXPECT_TRUE(indicators::HasValue(65536.0));
    EXPECT_TRUE(indicators::HasValue(-65535.5));
    EXPECT_TRUE(indicators::HasValue(0.0));
}

}  // namespace
