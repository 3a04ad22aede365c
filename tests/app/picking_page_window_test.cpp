// The picking page in the real window: reached by its strip button, its
// board's fields are line edits typed into, and 返回板块 brings the sector
// page's controls back.
#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "base/recording_prompter.h"
#include "screen/controls.h"
#include "screen/picking_page.h"
#include "support/fixture_market.h"

namespace {

using app::CMainDlg;
using screen::ControlId;

QPoint StripButton(screen::PageKind page, int number) {
    const auto strip = screen::PageStrip(page);
    const auto& b = strip.buttons[static_cast<size_t>(number - 1)];
    return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
}

TEST(PickingPageWindow, ReachedFromTheHomeStripAndBack) {
    fixture::FixtureMarket market;
    const std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 2935208, 2810376},
                                                {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20170601, codes);
    market.WriteDayFile(999999, fixture::FlatBars(20170103, std::vector<uint32_t>(30, 320000)));
    market.WriteDayFile(600000, fixture::FlatBars(20170103, std::vector<uint32_t>(30, 1200)));
    base::RecordingPrompter prompter;
    CMainDlg window(market.Root(), &prompter);
    ASSERT_TRUE(window.Initialise());
    prompter.records.clear();

    const QPoint open = StripButton(screen::PageKind::Sector, 22);  // 条件选股
    window.HandleClick(open.x(), open.y());
    EXPECT_EQ(window.Controller().Page(), screen::PageKind::Picking);
    EXPECT_TRUE(window.Control(ControlId::HotWhole)->isHidden());
    // The library's first title, then its board: the fields are real edits.
    window.HandleClick(150, 468);
    auto* low = qobject_cast<QLineEdit*>(window.Control(screen::BoardFieldId(0, false)));
    ASSERT_NE(low, nullptr);
    EXPECT_FALSE(low->isHidden());
    EXPECT_EQ(low->text(), QStringLiteral("12"));
    low->setText(QStringLiteral("11"));
    const QPoint add = StripButton(screen::PageKind::Picking, 14);  // 加入方法
    window.HandleClick(add.x(), add.y());
    EXPECT_EQ(window.Controller().Methods().Entries(), std::vector<std::string>{"a1(11.01,20.01);"});
    EXPECT_EQ(window.Canvas().Image().pixelColor(add), QColor(208, 227, 255));

    const QPoint back = StripButton(screen::PageKind::Picking, 23);  // 返回板块
    window.HandleClick(back.x(), back.y());
    EXPECT_EQ(window.Controller().Page(), screen::PageKind::Sector);
    EXPECT_FALSE(window.Control(ControlId::HotWhole)->isHidden());
    EXPECT_TRUE(low->isHidden());
    EXPECT_TRUE(prompter.records.empty());
}

}  // namespace
