#include <gtest/gtest.h>

#include <vector>

#include "base/endian.h"
#include "data/bars.h"
#include "data/file_formats.h"

namespace {

using data::Bar;

// A file image in words, as it sits in a buffer.
std::vector<uint32_t> Image(uint32_t code, const std::vector<Bar>& bars) {
    auto bytes = data::EncodeDayFile(code, bars);
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = base::ReadU32(bytes.data() + 4 * i);
    return words;
}

data::SeriesView View(const std::vector<uint32_t>& image, bool index) {
    data::SeriesView v;
    v.image = image;
    v.firstBar = 8;
    v.end = image.size();
    v.width = index ? 7 : 5;
    v.isIndex = index;
    return v;
}

std::vector<Bar> Closes(std::initializer_list<uint32_t> closes) {
    std::vector<Bar> bars;
    uint32_t date = 20170103;
    for (uint32_t c : closes) bars.push_back({date++, c, c, c, c, 10, 0});
    return bars;
}

TEST(Bars, StockRecordDecodesPackedPricesUpToTheSixteenBitLimit) {
    auto image = Image(600000, {{20170103, 1000, 65535, 900, 65535, 123456, 789}});
    ASSERT_EQ(image.size(), 13u);
    EXPECT_EQ(image[0], 0x48534B4Du);  // "MKSH"
    EXPECT_EQ(image[1], 600000u);
    EXPECT_EQ(image[2], 2u);
    Bar bar = data::DecodeBar(View(image, false), 8);
    EXPECT_EQ(bar, (Bar{20170103, 1000, 65535, 900, 65535, 123456, 789}));
    EXPECT_EQ(data::BarClose(View(image, false), 8), 65535u);
    EXPECT_EQ(data::BarVolume(View(image, false), 8), 789u);
}

TEST(Bars, IndexVolumeIsInTenThousandLotsRoundedHalfUp) {
    auto image = Image(399006, {{20170103, 1, 2, 3, 4, 5, 14'999}, {20170104, 1, 2, 3, 4, 5, 15'000}});
    auto view = View(image, true);
    EXPECT_EQ(image.size(), 8u + 14u);
    EXPECT_EQ(data::DecodeBar(view, 8).volume, 1u);
    EXPECT_EQ(data::DecodeBar(view, 15).volume, 2u);
    EXPECT_EQ(data::BarVolume(view, 15), 2u);
    EXPECT_EQ(data::BarClose(view, 15), 4u);
    EXPECT_EQ(data::IndexVolume(4'999), 0u);
    EXPECT_EQ(data::IndexVolume(5'000), 1u);
}

TEST(Bars, OffsetsOutsideTheSeriesReadAsZero) {
    auto image = Image(600000, Closes({1001, 1002}));
    auto view = View(image, false);
    EXPECT_EQ(data::BarClose(view, 3), 0u);   // below the first bar
    EXPECT_EQ(data::BarClose(view, 18), 0u);  // past the last bar
    EXPECT_EQ(data::BarClose(view, size_t{8} - 10), 0u);  // stepped back below zero
    EXPECT_EQ(data::DecodeBar(view, 18), Bar{});
    view.end = 13;  // a view end before the file's end hides the later bar
    EXPECT_EQ(data::BarClose(view, 13), 0u);
}

TEST(Bars, AveragesNeedAllTheirBars) {
    auto image = Image(600000, Closes({1001, 1002, 1003, 1004}));
    auto view = View(image, false);
    const size_t last = 8 + 3 * 5;
    EXPECT_EQ(data::AverageClose(view, 8 + 5, 2), 1002u);  // 1001.5 rounds up
    EXPECT_EQ(data::AverageClose(view, last, 4), 1003u);   // 1002.5 rounds up
    EXPECT_EQ(data::AverageClose(view, last, 5), 0u);      // only 4 bars exist
    EXPECT_EQ(data::AverageClose(view, last, 0), 0u);
    EXPECT_EQ(data::AverageClose(view, last, 1), 1004u);

    std::vector<Bar> volumes = Closes({1, 1});
    volumes[0].volume = 1;
    volumes[1].volume = 2;
    auto vimage = Image(600000, volumes);
    auto vview = View(vimage, false);
    EXPECT_EQ(data::AverageVolume(vview, 13, 2), 1u);  // 1.5 truncates
    EXPECT_EQ(data::AverageVolume(vview, 13, 3), 0u);
    EXPECT_EQ(data::AverageVolume(vview, 13, -1), 0u);
}

TEST(Bars, DailyStockPricesPassThroughTheAdjuster) {
    auto table = data::EncodeExRightsTable(
        20170601, std::vector<data::ExRightsStock>{{600000, {{20170104, 10, 0, 0, 0}}}});
    data::ExRightsTable exRights(table);
    auto image = Image(600000, {{20170103, 2000, 2200, 1800, 2100, 1, 1},
                                {20170104, 1000, 1100, 900, 1050, 1, 1}});
    auto view = View(image, false);
    view.adjuster = {&exRights, exRights.FindEntry(600000), data::AdjustMode::Forward};
    EXPECT_EQ(data::DecodeBar(view, 8), (Bar{20170103, 1000, 1100, 900, 1050, 1, 1}));
    EXPECT_EQ(data::BarClose(view, 8), 1050u);
    EXPECT_EQ(data::BarClose(view, 13), 1050u);
    EXPECT_EQ(data::AverageClose(view, 13, 2), 1050u);
    // Period bars are already adjusted: the adjuster is not applied again.
    view.period = data::Period::Weekly;
    view.width = 7;
    const auto weekly = Image(999999, {{20170106, 2000, 2200, 1800, 2100, 1, 1}});
    view.image = weekly;
    view.end = weekly.size();
    EXPECT_EQ(data::BarClose(view, 8), 2100u);
}

}  // namespace
