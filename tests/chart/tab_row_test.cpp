// The indicator tab row: its cells, their names from the indicator
// definitions, and what a click asks for.
#include "chart/tab_row.h"

#include <gtest/gtest.h>

namespace {

TEST(TabRow, MapsClicksToCellsOfFiftyPixelsFromSixtyTwo) {
    EXPECT_FALSE(chart::TabCellAt(62).has_value());  // left of the band
    EXPECT_EQ(chart::TabCellAt(63), 0);
    EXPECT_EQ(chart::TabCellAt(112), 0);  // the shared edge belongs to the lower cell
    EXPECT_EQ(chart::TabCellAt(113), 1);
    EXPECT_EQ(chart::TabCellAt(262), 3);
    EXPECT_EQ(chart::TabCellAt(912), 16);
    EXPECT_EQ(chart::TabCellAt(962), 17);
    EXPECT_FALSE(chart::TabCellAt(963).has_value());  // past cell 17
    EXPECT_FALSE(chart::TabCellAt(2000).has_value());

    EXPECT_EQ(chart::TabCellOf(0).name, "设置");
    EXPECT_EQ(chart::TabCellOf(0).nameBytes, 4);
    EXPECT_EQ(chart::TabCellOf(0).textOffset, 12);
    EXPECT_EQ(chart::TabCellOf(5).name, "KD");
    EXPECT_EQ(chart::TabCellOf(5).textOffset, 19);
    EXPECT_EQ(chart::TabCellOf(8).name, "W&R");
    EXPECT_EQ(chart::TabCellOf(8).textOffset, 16);
    EXPECT_EQ(chart::TabCellOf(11).name, "ARBR");
    EXPECT_EQ(chart::TabCellOf(15).name, "VR");
    EXPECT_EQ(chart::TabCellLeft(17), 912);
}

TEST(TabRow, CellZeroOpensTheSettingsAndTheSelectedCellDoesNothing) {
    const int selected = indicators::kMacd;
    EXPECT_EQ(chart::ClickTabRow(80, selected).action, chart::TabClickAction::OpenSettings);
    EXPECT_EQ(chart::ClickTabRow(290, selected).action, chart::TabClickAction::None);  // cell 4
    const chart::TabClick click = chart::ClickTabRow(520, selected);                   // cell 9
    EXPECT_EQ(click.action, chart::TabClickAction::Select);
    EXPECT_EQ(click.index, indicators::kDmi);
    EXPECT_EQ(chart::ClickTabRow(20, selected).action, chart::TabClickAction::None);
}

}  // namespace
