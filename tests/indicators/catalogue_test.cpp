// The catalogue as data: parameters and ranges, texts, labels and colours.
#include "indicators/catalogue.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using indicators::DefaultsOf;
using indicators::DefinitionOf;
using indicators::StandardParams;

TEST(Catalogue, HoldsTheStandardValuesAndRangesOfEveryIndex) {
    const auto& macd = DefaultsOf(indicators::kMacd);
    EXPECT_EQ(macd.count, 3);
    EXPECT_EQ(macd.standard, (std::array<int32_t, 5>{12, 26, 9, 0, 0}));
    EXPECT_EQ(macd.ranges[0].min, 5);
    EXPECT_EQ(macd.ranges[1].max, 100);
    EXPECT_EQ(macd.ranges[2].min, 2);
    const auto& cr = DefaultsOf(indicators::kCr);
    EXPECT_EQ(cr.standard, (std::array<int32_t, 5>{26, 5, 10, 20, 0}));
    EXPECT_EQ(cr.ranges[0].max, 300);
    EXPECT_EQ(cr.ranges[3].min, 1);
    EXPECT_EQ(cr.ranges[3].max, 99);
    const auto& vol = DefaultsOf(indicators::kVol);
    EXPECT_EQ(vol.ranges[1].min, 5);
    EXPECT_EQ(vol.ranges[2].max, 60);
    // Slots beyond the count: value 0, range 1..999; MA's five all accept 0..999.
    EXPECT_EQ(vol.ranges[3].min, 1);
    EXPECT_EQ(vol.ranges[4].max, 999);
    for (const auto& range : DefaultsOf(indicators::kMa).ranges) {
        EXPECT_EQ(range.min, 0);
        EXPECT_EQ(range.max, 999);
    }
    EXPECT_EQ(DefaultsOf(indicators::kObv).count, 0);
    EXPECT_EQ(DefaultsOf(indicators::kObv).standard[0], 0);
    EXPECT_EQ(DefaultsOf(indicators::kDma).standard, (std::array<int32_t, 5>{10, 50, 10, 0, 0}));

    const std::array<int, 18> counts{5, 3, 3, 3, 3, 3, 3, 2, 2, 2, 1, 1, 1, 0, 4, 1, 2, 3};
    const std::array<int, 18> lines{5, 3, 3, 3, 3, 2, 3, 3, 2, 4, 1, 2, 1, 1, 4, 1, 2, 2};
    for (int i = 0; i <= indicators::kLastIndicator; ++i) {
        EXPECT_EQ(indicators::ParamCount(i), counts[i]) << i;
        EXPECT_EQ(DefinitionOf(i).LineCount(), lines[i]) << i;
        // Every standard value lies inside its own range.
        for (int p = 0; p < counts[i]; ++p)
            EXPECT_TRUE(DefaultsOf(i).ranges[p].Contains(DefaultsOf(i).standard[p])) << i;
    }
    EXPECT_EQ(indicators::ParamCount(18), 0);
    EXPECT_EQ(indicators::ParamCount(-1), 0);
}

TEST(Catalogue, TextsAndLabelsComeFromTheLiveValues) {
    auto macd = StandardParams(indicators::kMacd);
    EXPECT_EQ(indicators::RowText(indicators::kMacd, macd), "04 平滑异同MACD(12,26,9)");
    EXPECT_EQ(indicators::RowText(indicators::kObv, StandardParams(indicators::kObv)),
              "13 能量潮OBV");
    EXPECT_EQ(indicators::RowText(indicators::kMa, StandardParams(indicators::kMa)),
              "00 价格均线MA(5,10,20,30,60)");
    EXPECT_EQ(indicators::RowText(indicators::kDma, StandardParams(indicators::kDma)),
              "17 平均线差DMA(10,50,10)");
    macd.values = {10, 30, 7, 0, 0};
    EXPECT_EQ(indicators::RowText(indicators::kMacd, macd), "04 平滑异同MACD(10,30,7)");
    EXPECT_EQ(indicators::TitleText(indicators::kBoll, StandardParams(indicators::kBoll)),
              "布林线BOLL(26,2)");
    EXPECT_EQ(indicators::TitleText(indicators::kObv, StandardParams(indicators::kObv)),
              "能量潮OBV");
    EXPECT_EQ(indicators::DescriptionEntry(8), "08 威廉指标W&R");
    EXPECT_EQ(indicators::DescriptionEntry(17), "17 平均线差DMA");
    EXPECT_TRUE(indicators::DescriptionEntry(42).empty());

    EXPECT_EQ(indicators::LineLabel(indicators::kMacd, 0, macd), "DIFF:");
    EXPECT_EQ(indicators::LineLabel(indicators::kDmi, 3, StandardParams(indicators::kDmi)),
              "ADXR:");
    EXPECT_EQ(indicators::LineLabel(indicators::kRsi, 2, StandardParams(indicators::kRsi)), "24日");
    EXPECT_EQ(indicators::LineLabel(indicators::kCci, 0, StandardParams(indicators::kCci)), "14日");
    auto ma = StandardParams(indicators::kMa);
    ma.values[3] = 45;
    EXPECT_EQ(indicators::LineLabel(indicators::kMa, 3, ma), "45日");
    EXPECT_EQ(indicators::LineLabel(indicators::kKd, 2, StandardParams(indicators::kKd)), "");
}

TEST(Catalogue, StartingColoursFollowThePaletteCutToEachRecord) {
    const base::Rgb white{255, 255, 255}, yellow{255, 255, 0}, magenta{240, 0, 240},
        green{70, 208, 78}, cyan{0, 255, 255};
    EXPECT_EQ(StandardParams(indicators::kMa).colours,
              (std::array<base::Rgb, 5>{white, yellow, magenta, green, cyan}));
    EXPECT_EQ(StandardParams(indicators::kMacd).colours,
              (std::array<base::Rgb, 5>{white, yellow, magenta, {213, 0, 0}, {92, 249, 254}}));
    EXPECT_EQ(DefinitionOf(indicators::kKd).colours.count, 3);  // three triples for two lines
    EXPECT_EQ(StandardParams(indicators::kKd).colours[2], magenta);
    EXPECT_EQ(DefinitionOf(indicators::kDmi).colours.count, 4);
    EXPECT_EQ(StandardParams(indicators::kCr).colours[3], green);
    EXPECT_EQ(DefinitionOf(indicators::kRoc).colours.count, 2);
    EXPECT_EQ(StandardParams(indicators::kRoc).colours[2], (base::Rgb{0, 0, 0}));
    EXPECT_EQ(DefinitionOf(indicators::kObv).colours.count, 1);
}

}  // namespace

namespace {

TEST(Catalogue, EveryEntryCalculatesAndOnlyRecursionsCarry) {
    for (int index = 0; index < indicators::kIndicatorCount; ++index) {
        const indicators::IndicatorDef& def = indicators::DefinitionOf(index);
        EXPECT_NE(def.calculate, nullptr) << index;
        if (def.carry != nullptr) {
            EXPECT_EQ(def.recursion, indicators::Recursion::FromOldestBar) << index;
        }
    }
}

}  // namespace
