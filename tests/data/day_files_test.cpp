#include <cstdio>
#include <gtest/gtest.h>

#include <vector>

#include "base/recording_prompter.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/workspace.h"
#include "support/fixture_market.h"

namespace {

using data::Bar;

std::vector<uint32_t> Range(uint32_t from, size_t count) {
    std::vector<uint32_t> v;
    for (size_t i = 0; i < count; ++i) v.push_back(from + static_cast<uint32_t>(i));
    return v;
}

TEST(DayFiles, CodesChooseTheirFolderAndRecordSize) {
    auto paths = data::BuildDataPaths("/data");
    EXPECT_EQ(data::DayFilePath(paths, 600000), "/data/MKDAY/SH/600000.day");
    EXPECT_EQ(data::DayFilePath(paths, 1), "/data/MKDAY/SZ/000001.day");
    EXPECT_EQ(data::DayFilePath(paths, 599999), "/data/MKDAY/SZ/599999.day");
    EXPECT_EQ(data::DayFilePath(paths, 399006), "/data/MKDAY/SZ/399006.day");
    EXPECT_EQ(data::MarketLetter(1), 'Z');
    EXPECT_EQ(data::MarketLetter(688001), 'H');
    EXPECT_TRUE(data::IsIndexCode(399006));
    EXPECT_TRUE(data::IsIndexCode(999998));
    EXPECT_FALSE(data::IsIndexCode(399005));
    EXPECT_EQ(data::CodeText(1), "000001");
    // Six digits at least, never cut: as "%06u" would give.
    for (uint32_t code : {0u, 10u, 600000u, 999999u, 1234567u, 4294967295u}) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%06u", code);
        EXPECT_EQ(data::CodeText(code), expected);
    }
    EXPECT_EQ(data::DayFileName(600000), "600000.day");

    fixture::FixtureMarket market;
    market.WriteDayFile(399006, fixture::FlatBars(20170103, Range(100, 3)));
    std::vector<uint32_t> region(1000);
    auto words = data::ReadDayImage(data::DayFilePath(market.Paths(), 399006), region, 7);
    ASSERT_TRUE(words.ok());
    EXPECT_EQ(*words, 8u + 3 * 7);
    EXPECT_EQ(region[8 + 7 + 4], 101u);  // close of the second bar, 28-byte records
}

TEST(DayFiles, ImagesKeepOnlyWholeRecordsAndTheNewestThatFit) {
    fixture::FixtureMarket market;
    auto bars = fixture::FlatBars(20170103, Range(1000, 10));
    auto bytes = data::EncodeDayFile(600000, bars);
    bytes.resize(bytes.size() - 7);  // a torn last record
    market.WriteRaw("MKDAY/SH/600000.day", bytes);
    std::vector<uint32_t> region(8 + 5 * 20, 0);
    auto path = data::DayFilePath(market.Paths(), 600000);
    ASSERT_TRUE(data::ReadDayImage(path, region, 5).ok());
    EXPECT_EQ(*data::ReadDayImage(path, region, 5), 8u + 9 * 5);

    // Room for 4 records: the 4 newest whole ones are kept behind the header.
    std::vector<uint32_t> small(8 + 5 * 4 + 3, 0xEEEEEEEE);
    auto words = data::ReadDayImage(path, std::span(small).first(8 + 20), 5);
    ASSERT_TRUE(words.ok());
    EXPECT_EQ(*words, 28u);
    EXPECT_EQ(small[1], 600000u);
    EXPECT_EQ(small[8], bars[5].date);
    EXPECT_EQ(small[8 + 15], bars[8].date);
    EXPECT_EQ(small[28], 0xEEEEEEEEu);  // nothing past the region

    // A file shorter than its header holds no bars and is not an error.
    market.WriteRaw("MKDAY/SH/600001.day", std::vector<uint8_t>(10, 1));
    EXPECT_EQ(*data::ReadDayImage(data::DayFilePath(market.Paths(), 600001), region, 5), 8u);
    EXPECT_EQ(region[3], 0u);
    EXPECT_FALSE(data::ReadDayImage(data::DayFilePath(market.Paths(), 600002), region, 5).ok());
}

TEST(DayFiles, IndexPrefersShanghaiThenShenzhen) {
    fixture::FixtureMarket market;
    std::vector<uint32_t> region(data::kIndexBufferBytes / 4);
    data::SimulationDate simulation;

    auto none = data::LoadIndexDayFile(market.Paths(), region, simulation);
    EXPECT_EQ(none.source, 0);
    EXPECT_EQ(simulation.date, data::kBuiltInSimulationDate);

    market.WriteDayFile(399001, fixture::FlatBars(19991230, Range(100, 20)));
    auto sz = data::LoadIndexDayFile(market.Paths(), region, simulation);
    EXPECT_EQ(sz.source, 1);
    EXPECT_EQ(sz.firstDate, 19991230u);
    EXPECT_EQ(sz.earliestSimulationDate, 20000104u);  // never before 2000-01-04
    EXPECT_EQ(sz.earliestSimulationText, "20000104");
    auto dates = fixture::Weekdays(19991230, 20);
    EXPECT_EQ(sz.lastDate, dates[19]);
    EXPECT_EQ(sz.lastDateText, std::to_string(dates[19]));
    EXPECT_EQ(simulation.date, dates[10]);  // the tenth bar from the end

    market.WriteDayFile(999999, fixture::FlatBars(20170103, Range(300000, 5)));
    data::SimulationDate fresh;
    auto sh = data::LoadIndexDayFile(market.Paths(), region, fresh);
    EXPECT_EQ(sh.source, 2);
    EXPECT_EQ(sh.earliestSimulationDate, 20170103u);
    EXPECT_EQ(fresh.date, 20170103u);  // fewer than ten bars: the first one
    EXPECT_EQ(data::BarClose(sh.View(region), 8 + 4 * 7), 300004u);
    // A simulation date already chosen is kept.
    data::SimulationDate chosen{false, 20170104};
    data::LoadIndexDayFile(market.Paths(), region, chosen);
    EXPECT_EQ(chosen.date, 20170104u);
}

TEST(DayFiles, OpeningAStockChecksItsFileAndLoadingFillsTheState) {
    fixture::FixtureMarket market;
    std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 2935208, 2810376}};
    market.WriteCodeTable(20170601, codes);
    market.WriteDayFile(600000, fixture::FlatBars(20170103, Range(1000, 12)));
    market.WriteExRights(20170601, std::vector<data::ExRightsStock>{{600000, {{20170105, 10, 0, 0, 0}}}});
    std::vector<uint32_t> codeRegion(data::kCodeTableWords);
    uint32_t codeDate = 0;
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, codeRegion, &codeDate));
    data::CodeTable codeTable(codeRegion);
    auto exBytes = data::EncodeExRightsTable(
        20170601, std::vector<data::ExRightsStock>{{600000, {{20170105, 10, 0, 0, 0}}}});
    data::ExRightsTable exRights(exBytes);

    base::RecordingPrompter prompter;
    data::OpenStockState stock;
    EXPECT_FALSE(data::OpenStock(market.Paths(), 600001, stock, prompter));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "600001股票数据文件不存在");
    EXPECT_EQ(prompter.Messages()[0].caption, "提示");
    EXPECT_FALSE(stock.reload);

    ASSERT_TRUE(data::OpenStock(market.Paths(), 600000, stock, prompter));
    EXPECT_TRUE(stock.reload);
    EXPECT_EQ(stock.cursorDate, data::kLatestBarDate);
    std::vector<uint32_t> region(data::kOpenStockWords);
    data::SimulationDate simulation;
    data::StockContext context{&codeTable, &exRights, &simulation};
    data::LoadStockDayFile(market.Paths(), context, region, stock);
    EXPECT_TRUE(stock.loaded);
    EXPECT_FALSE(stock.reload);
    EXPECT_EQ(stock.market, 'H');
    EXPECT_EQ(stock.totalShares, 2935208u);
    EXPECT_EQ(stock.floatShares, 2810376u);
    EXPECT_NE(stock.exRightsEntry, 0u);
    EXPECT_EQ(stock.lastBar, 8u + 11 * 5);
    EXPECT_EQ(stock.viewEnd, stock.imageWords);
    auto dates = fixture::Weekdays(20170103, 12);
    EXPECT_EQ(stock.viewEndDate, dates[11]);
    EXPECT_EQ(stock.stocksOpened, 1u);
    auto view = stock.DailyView(region, &exRights, data::AdjustMode::Forward);
    EXPECT_EQ(data::BarClose(view, 8), 500u);  // before the 10-for-10 bonus

    // The next stock opens at the date the previous one was viewed at.
    ASSERT_TRUE(data::OpenStock(market.Paths(), 600000, stock, prompter));
    EXPECT_EQ(stock.cursorDate, dates[11]);

    // In simulation the view ends at the first bar on or after the date.
    simulation = {true, dates[4] + 0};
    data::LoadStockDayFile(market.Paths(), context, region, stock);
    EXPECT_EQ(stock.viewEnd, 8u + 5 * 5);
    EXPECT_EQ(stock.viewEndDate, dates[4]);
    // A simulation date after the last bar is lowered to it.
    simulation = {true, 20991231};
    stock.reload = true;
    data::LoadStockDayFile(market.Paths(), context, region, stock);
    EXPECT_EQ(simulation.date, dates[11]);
    EXPECT_EQ(stock.viewEnd, stock.imageWords);
}

TEST(DayFiles, TheWholeShanghaiIndexSince1990OpensAsTheChart) {
    // 8,100 index bars (more than 1990 to today) all fit the open-stock region,
    // and every index file the index buffer holds fits there too.
    fixture::FixtureMarket market;
    const auto dates = fixture::Weekdays(19901219, 8'100);
    std::vector<data::Bar> bars;
    for (size_t i = 0; i < dates.size(); ++i)
        bars.push_back({dates[i], 1000, 1010, 990, static_cast<uint32_t>(1000 + i), 5, 7});
    market.WriteDayFile(999999, bars);
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(workspace.Allocate(prompter));
    auto words = data::ReadDayImage(data::DayFilePath(market.Paths(), 999999),
                                    workspace.OpenStockRegion(), data::kIndexRecordWords);
    ASSERT_TRUE(words.ok());
    EXPECT_EQ(*words, 8u + 8'100 * 7);
    EXPECT_EQ(workspace.OpenStockRegion()[8], 19901219u);
    EXPECT_GE(workspace.OpenStockRegion().size(), 8 + data::kIndexBarCapacity * 7);
}

TEST(DayFiles, ScanAreaLoadsAStockAndForgetsAFailedOne) {
    fixture::FixtureMarket market;
    market.WriteDayFile(2, fixture::FlatBars(20170103, Range(500, 4)));
    std::vector<uint32_t> region(data::kScanAreaWords);
    data::ScanArea area{region};
    data::LoadScanDayFile(market.Paths(), 2, area);
    EXPECT_EQ(area.firstBar, 8u);
    EXPECT_EQ(area.lastBar, 8u + 3 * 5);
    EXPECT_EQ(data::BarClose(area.View({}), area.lastBar), 503u);
    EXPECT_EQ(area.stocksOpened, 1u);
    data::LoadScanDayFile(market.Paths(), 3, area);
    EXPECT_EQ(area.firstBar, 0u);
    EXPECT_EQ(area.lastBar, 0u);
    EXPECT_EQ(area.View({}).BarCount(), 0u);
}

TEST(DayFiles, DateRangeCutsBetweenTwoDates) {
    fixture::FixtureMarket market;
    auto dates = fixture::Weekdays(20170102, 10);  // 0102 .. 0113
    market.WriteDayFile(2, fixture::FlatBars(20170102, Range(500, 10)));
    std::vector<uint32_t> region(data::kScanAreaWords);
    data::ScanArea area{region};
    data::LoadScanDayFile(market.Paths(), 2, area);
    auto view = area.View({});

    auto all = data::FindDateRange(view, area.firstBar, area.lastBar, 20170101, 20170131);
    EXPECT_EQ(all.first, 8u);
    EXPECT_EQ(all.last, area.lastBar);
    EXPECT_EQ(all.count, 9u);

    // Saturday to Saturday: Monday 9th to Friday 13th.
    auto week = data::FindDateRange(view, area.firstBar, area.lastBar, 20170107, 20170114);
    EXPECT_EQ(view.image[week.first], 20170109u);
    EXPECT_EQ(view.image[week.last], 20170113u);
    EXPECT_EQ(week.count, 4u);

    auto after = data::FindDateRange(view, area.firstBar, area.lastBar, 20170201, 20170301);
    EXPECT_EQ(after.first, 0u);
    EXPECT_EQ(after.last, 0u);
    EXPECT_EQ(after.count, 0u);
    auto before = data::FindDateRange(view, area.firstBar, area.lastBar, 20161201, 20161231);
    EXPECT_EQ(before.count, 0u);
    // A weekend between two bars holds no bar.
    auto gap = data::FindDateRange(view, area.firstBar, area.lastBar, 20170107, 20170108);
    EXPECT_EQ(gap.count, 0u);
    EXPECT_EQ(dates[0], 20170102u);
}

TEST(DayFiles, AlignWithIndexFindsTheDayAndStopsAtTheFirstBar) {
    fixture::FixtureMarket market;
    auto dates = fixture::Weekdays(20170102, 10);
    market.WriteDayFile(999999, fixture::FlatBars(20170102, Range(300000, 10)));
    std::vector<uint32_t> region(data::kIndexBufferBytes / 4);
    data::SimulationDate simulation;
    auto index = data::LoadIndexDayFile(market.Paths(), region, simulation);
    auto view = index.View(region);

    auto saturday = data::AlignWithIndex(view, 20170107, 2);
    EXPECT_TRUE(saturday.aligned);
    EXPECT_EQ(saturday.date, 20170106u);
    EXPECT_EQ(saturday.earlierDate, 20170104u);
    EXPECT_EQ(saturday.offset - saturday.earlierOffset, 14u);
    EXPECT_FALSE(saturday.earlierClamped);

    auto latest = data::AlignWithIndex(view, 22'000'000, 0);
    EXPECT_EQ(latest.date, dates[9]);
    EXPECT_EQ(latest.earlierDate, dates[9]);

    auto early = data::AlignWithIndex(view, 20161230, 3);
    EXPECT_EQ(early.offset, 8u);
    EXPECT_EQ(early.date, 20170102u);
    EXPECT_EQ(early.earlierOffset, 8u);  // never before the first bar
    EXPECT_TRUE(early.earlierClamped);

    data::IndexState missing;
    EXPECT_FALSE(data::AlignWithIndex(missing.View(region), 20170105, 1).aligned);
}

}  // namespace
