// The 板块轮动 heat map without Qt: reaching it from the strip and back, its
// days and rows against the published scan, a row opening its sector's
// members as the ranking does, the span boxes, and a new scan redrawing it.
#include <gtest/gtest.h>

#include "screen/rotation_page.h"
#include "screen/screen_fixture.h"

namespace {

using screen::ControlId;
using screen::ScreenMode;
using screentest::Screen;

constexpr int kRotationButtonX = 30, kRotationButtonY = 632;  // left column, under 条件选股
constexpr int kBoxY = 12, kBackX = 960;
int SpanX(int index) { return 760 + index * 50 + 20; }
int RowY(int row) { return 62 + row * 16 + 8; }
constexpr int kRowX = 60;

void Scan(Screen& s, const std::string& whole) {
    s.controller.ChooseMarket(picking::CandidateMarket::All);
    s.host.texts[ControlId::HotWhole] = whole;
    s.host.texts[ControlId::HotHundredths] = "00";
    s.controller.ChooseScanType(sectors::ScanType::Hot);
    ASSERT_TRUE(s.controller.StartScan());
    s.controller.WaitForScan();
}

TEST(RotationPage, NeedsAScanThenShowsItsDaysAndGoesBack) {
    Screen s;
    s.controller.Click(kRotationButtonX, kRotationButtonY);
    EXPECT_NE(s.controller.Screen(), ScreenMode::Rotation);
    ASSERT_EQ(s.Messages().size(), 1u);
    EXPECT_NE(s.Messages()[0].find("请先做一次板块扫描"), std::string::npos);

    Scan(s, "3");
    s.controller.Click(kRotationButtonX, kRotationButtonY);
    ASSERT_EQ(s.controller.Screen(), ScreenMode::Rotation);
    const screen::RotationView& v = s.controller.Rotation();
    const sectors::ScanOutcome& published = s.controller.Scan().Outcome();
    ASSERT_EQ(v.days.size(), static_cast<size_t>(screen::kDefaultRotationSpan));
    EXPECT_EQ(v.settings.threshold, 300);
    // The last day is the published scan, rank for rank.
    const sectors::RotationDay& last = v.days.back();
    EXPECT_EQ(last.date, published.referenceDate);
    EXPECT_EQ(last.selected, published.selected.size());
    const sectors::ScanResultView result = published.Result();
    ASSERT_EQ(last.sectors.size(), result.SectorCount());
    for (size_t rank = 1; rank <= last.sectors.size(); ++rank) {
        EXPECT_EQ(last.sectors[rank - 1].number, result.ResultSectorNumber(rank));
        EXPECT_EQ(last.sectors[rank - 1].hits, static_cast<int32_t>(result.ResultSectorMemberCount(rank)));
    }
    for (size_t d = 1; d < v.days.size(); ++d) EXPECT_LT(v.days[d - 1].date, v.days[d].date);
    // The last day's top ten head the rows, in rank order.
    const size_t top = std::min<size_t>(sectors::kRotationTop, last.sectors.size());
    ASSERT_GE(v.rows.size(), top);
    for (size_t r = 0; r < top; ++r) EXPECT_EQ(v.rows[r].number, last.sectors[r].number);
    EXPECT_FALSE(v.rows[0].name.empty());
    EXPECT_TRUE(s.canvas.FindText("颜色表示当日排名："));
    EXPECT_EQ(v.selectedRow, 0);  // the scan chose its first sector

    // The span boxes.
    s.controller.Click(SpanX(0), kBoxY);
    EXPECT_EQ(s.controller.Rotation().days.size(), 20u);
    s.controller.Click(SpanX(2), kBoxY);
    EXPECT_EQ(s.controller.Rotation().days.size(), 60u);
    EXPECT_EQ(s.controller.Rotation().days.back().date, published.referenceDate);

    // 返回K线, and the strip button toggles.
    s.controller.Click(kBackX, kBoxY);
    EXPECT_EQ(s.controller.Screen(), ScreenMode::Chart);
    s.controller.Click(kRotationButtonX, kRotationButtonY);
    EXPECT_EQ(s.controller.Screen(), ScreenMode::Rotation);
    EXPECT_EQ(s.controller.Rotation().span, 60);  // the span chosen last
    s.controller.Click(kRotationButtonX, kRotationButtonY);
    EXPECT_EQ(s.controller.Screen(), ScreenMode::Chart);
}

TEST(RotationPage, ARowOpensItsSectorAsTheRankingDoes) {
    Screen s;
    Scan(s, "3");
    s.controller.ShowRotationPage();
    const screen::RotationView& v = s.controller.Rotation();
    ASSERT_GE(v.rows.size(), 3u);
    s.controller.Click(kRowX, RowY(2));
    EXPECT_EQ(v.selectedRow, 2);
    const size_t rank = sectors::RankOn(v.days.back(), v.rows[2].number);
    ASSERT_EQ(rank, 3u);
    EXPECT_EQ(s.controller.Sectors().highlightedRank, 3);
    const auto members = s.controller.Scan().Outcome().Result().LoadResultSector(3);
    ASSERT_EQ(s.controller.Sectors().members.size(), members.size());
    EXPECT_EQ(s.controller.Sectors().members.front().code, members.front().code);

    // A row whose sector has no movers on the last day empties the members.
    for (size_t row = 0; row < v.rows.size(); ++row) {
        if (sectors::RankOn(v.days.back(), v.rows[row].number) != 0) continue;
        s.controller.ChooseRotationRow(static_cast<int>(row));
        EXPECT_EQ(s.controller.Sectors().highlightedRank, 0);
        EXPECT_TRUE(s.controller.Sectors().members.empty());
        EXPECT_EQ(v.selectedRow, static_cast<int>(row));
        break;
    }

    // Choosing in the ranking moves the heat map's row with it.
    s.controller.ChooseSector(2);
    EXPECT_EQ(v.selectedRow, 1);

    // From the picking page a row brings the sector page back.
    s.controller.ShowPickingPage();
    s.controller.ChooseRotationRow(0);
    EXPECT_EQ(s.controller.Page(), screen::PageKind::Sector);
    EXPECT_EQ(s.controller.Sectors().highlightedRank, 1);
}

TEST(RotationPage, ANewScanRedrawsTheHeatMapOnScreen) {
    Screen s;
    Scan(s, "3");
    s.controller.ShowRotationPage();
    const auto before = s.controller.Rotation().days.back();
    Scan(s, "6");
    ASSERT_EQ(s.controller.Screen(), ScreenMode::Rotation);
    EXPECT_EQ(s.controller.Rotation().settings.threshold, 600);
    EXPECT_LE(s.controller.Rotation().days.back().selected, before.selected);
    EXPECT_EQ(s.controller.Rotation().days.back().selected, s.controller.Scan().Outcome().selected.size());
}

sectors::RotationDay Day(uint32_t date, std::vector<uint32_t> numbersInRankOrder) {
    sectors::RotationDay day;
    day.date = date;
    for (size_t i = 0; i < numbersInRankOrder.size(); ++i)
        day.sectors.push_back({numbersInRankOrder[i], i + 1, 1, 100});
    return day;
}

TEST(RotationRows, LastDayTopTenFirstThenBestRankThenDaysInTop) {
    // Sector 50 is 11th on every day: never in a top ten, never a row.
    std::vector<uint32_t> first = {7, 8, 9, 1, 2, 3, 4, 5, 6, 10, 50};
    std::vector<uint32_t> second = {8, 7, 1, 2, 3, 4, 5, 6, 10, 11, 50};
    std::vector<uint32_t> last = {1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 50, 7};
    const auto rows = screen::RotationRowsOf({Day(1, first), Day(2, second), Day(3, last)});
    std::vector<uint32_t> numbers;
    for (const auto& r : rows) numbers.push_back(r.number);
    // Then the others: 7 and 8 were each first once and in the top ten
    // twice, so by number; 9 was third at best.
    EXPECT_EQ(numbers, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 7, 8, 9}));

    // At most kRotationRows rows.
    std::vector<sectors::RotationDay> days;
    for (uint32_t d = 0; d < 5; ++d) {
        std::vector<uint32_t> ranks;
        for (uint32_t k = 0; k < 10; ++k) ranks.push_back(100 + d * 10 + k);
        days.push_back(Day(d + 1, ranks));
    }
    EXPECT_EQ(screen::RotationRowsOf(days).size(), screen::kRotationRows);
    EXPECT_TRUE(screen::RotationRowsOf({}).empty());
}

}  // namespace
