// The prepared bars must read exactly as the series they were prepared from.
#include "chart/prepared_series.h"

#include <gtest/gtest.h>

#include "chart_fixture.h"
#include "indicators/calculations.h"
#include "indicators/indicator_state.h"

namespace {

using charttest::ImageSeries;

// Events on a trading day, on a weekend, with rights, and one after the data.
charttest::EventTable Events() {
    return charttest::EventTable({{600000,
                                   {{20170104, 10, 0, 0, 0},
                                    {20170212, 3, 1.2f, 0, 0},
                                    {20170405, 0, 5, 2, 8.5f},
                                    {20170816, 1, 0.3f, 0, 0},
                                    {20300101, 0, 1, 0, 0}}}});
}

TEST(PreparedSeries, AdjustedCopyReadsLikeTheAdjustedDailyBars) {
    const charttest::EventTable events = Events();
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(300, 3)));
    for (data::AdjustMode mode : {data::AdjustMode::Forward, data::AdjustMode::Backward}) {
        const data::SeriesView source = image.View(events.Adjuster(600000, mode));
        chart::PreparedSeries prepared;
        prepared.Prepare(source, {&events.Table(), events.Entry(600000)});
        ASSERT_EQ(prepared.Count(), 300u);
        EXPECT_NE(prepared.View().image.data(), source.image.data());  // a copy was made
        for (size_t t = 0; t < 300; ++t) {
            ASSERT_EQ(prepared.BarAt(t), data::DecodeBar(source, 8 + t * 5)) << t;
            ASSERT_EQ(prepared.Close(t), data::BarClose(source, 8 + t * 5));
            ASSERT_EQ(prepared.Volume(t), data::BarVolume(source, 8 + t * 5));
        }
        // Every indicator reads the same values from the copy.
        const indicators::IndicatorState state;
        for (int index = 0; index <= indicators::kLastIndicator; ++index) {
            for (size_t t : {0u, 30u, 180u, 299u}) {
                const indicators::LineValues a =
                    indicators::ComputeAt(source, index, state.Params(index), t);
                const indicators::LineValues b =
                    indicators::ComputeAt(prepared.View(), index, state.Params(index), t);
                ASSERT_EQ(a.count, b.count);
                for (int k = 0; k < a.count; ++k)
                    ASSERT_EQ(a.values[k], b.values[k]) << index << " bar " << t << " line " << k;
            }
        }
        EXPECT_EQ(prepared.Events().size(), 5u);
        // The unadjusted reading is the raw day file.
        EXPECT_EQ(data::BarClose(prepared.Unadjusted(), 8), image.View().image[8 + 2] >> 16);
    }

    // Without adjustment the source itself is read.
    chart::PreparedSeries plain;
    plain.Prepare(image.View(), {});
    EXPECT_EQ(plain.View().image.data(), image.View().image.data());
    EXPECT_TRUE(plain.Events().empty());
}

TEST(PreparedSeries, AveragesEqualTheBarAccessors) {
    const charttest::EventTable events = Events();
    const ImageSeries image(600000, charttest::WalkBars(charttest::WanderingCloses(300, 9)));
    const data::SeriesView source = image.View(events.Adjuster(600000, data::AdjustMode::Forward));
    chart::PreparedSeries prepared;
    prepared.Prepare(source, {});
    for (size_t t : {0u, 1u, 4u, 5u, 59u, 60u, 150u, 299u}) {
        for (int n : {0, 1, 2, 5, 10, 60, 299, 300, 301, -3}) {
            EXPECT_EQ(prepared.CloseAverage(t, n), data::AverageClose(source, 8 + t * 5, n))
                << t << " " << n;
            EXPECT_EQ(prepared.VolumeAverage(t, n), data::AverageVolume(source, 8 + t * 5, n))
                << t << " " << n;
        }
    }
    EXPECT_EQ(prepared.CloseAverage(300, 1), 0u);  // past the last bar

    // An index series: volumes in 10,000 lots, half up.
    const ImageSeries index(999999,
                            {{20170103, 1, 1, 1, 1, 0, 15000}, {20170104, 1, 1, 1, 1, 0, 4999}});
    prepared.Prepare(index.View(), {});
    EXPECT_EQ(prepared.Volume(0), 2u);
    EXPECT_EQ(prepared.VolumeAverage(1, 2), 1u);  // (2 + 0) / 2
}

TEST(SeriesAdjuster, AgreesWithAdjustPriceWhateverTheOrderOfDates) {
    const charttest::EventTable events = Events();
    const std::vector<uint32_t> dates = {19991231, 20170103, 20170104, 20170210,
                                         20170213, 20170405, 20170406, 20170816,
                                         20180101, 20170104, 20160101, 20301231};
    for (data::AdjustMode mode :
         {data::AdjustMode::None, data::AdjustMode::Forward, data::AdjustMode::Backward}) {
        const data::Adjuster adjuster = events.Adjuster(600000, mode);
        data::SeriesAdjuster fast(adjuster);
        for (uint32_t date : dates) {  // includes a step back in time
            fast.Seek(date);
            for (uint32_t price = 0; price < 70000; price += 7) {
                const uint32_t expected = data::AdjustPrice(adjuster, price, date);
                ASSERT_EQ(fast.Adjust(price), expected)
                    << static_cast<int>(mode) << " " << date << " " << price;
                // Asked twice: the remembered answer is the same.
                ASSERT_EQ(fast.AdjustRemembered(price), expected);
                ASSERT_EQ(fast.AdjustRemembered(price), expected);
            }
        }
    }
    // A stock without events is left alone.
    data::SeriesAdjuster none(events.Adjuster(600001, data::AdjustMode::Forward));
    EXPECT_FALSE(none.Active());
    EXPECT_EQ(none.Adjust(1234), 1234u);
}

}  // namespace
