#include "picking/method_list.h"

#include <gtest/gtest.h>

#include "base/recording_prompter.h"

namespace {

using base::PromptRecord;
using picking::MethodList;
using picking::SettingBoard;

// a3 with N and a whole-percent lower bound.
SettingBoard A3(int n, int low = 20) {
    SettingBoard board;
    board.group = picking::kGroupA;
    board.position = 3;
    board.fields[0] = {std::to_string(n), ""};
    board.fields[1] = {std::to_string(low), "00"};
    board.fields[2] = {"50", "00"};
    return board;
}

// Distinct conditions of group b (positions 29-37 are b31-b39), N = 0.
SettingBoard Pattern(int position) {
    SettingBoard board;
    board.group = picking::kGroupB;
    board.position = position;
    board.fields[0] = {"0", ""};
    board.fields[1] = {"10", "00"};
    return board;
}

SettingBoard B4(int n) {
    SettingBoard board;
    board.group = picking::kGroupB;
    board.position = 4;
    board.fields[0] = {std::to_string(n), ""};
    return board;
}

std::string LastText(const base::RecordingPrompter& p) {
    return p.records.empty() ? std::string() : p.records.back().text;
}

TEST(MethodList, AddingSelectsTheNewEntryOnItsPage) {
    MethodList list;
    picking::ConditionParamTable memory;
    base::RecordingPrompter prompter;
    for (int k = 0; k < 8; ++k) {
        SettingBoard board = Pattern(29 + k % 9);
        board.fields[1].whole = std::to_string(10 + k);
        prompter.answers.push_back(true);  // the ninth b31 would ask
        ASSERT_TRUE(picking::AddMethod(list, board, memory, prompter));
    }
    EXPECT_EQ(list.Count(), 8u);
    // The eighth entry: page 8-14, row 1.
    EXPECT_EQ(list.TopRow(), 8);
    EXPECT_EQ(list.SelectedRow(), 1);
    EXPECT_EQ(list.SelectedIndex(), 8u);
    EXPECT_EQ(list.ScrollPosition(), picking::kMethodScrollEnd);
    EXPECT_EQ(list.Entry(8), "b38(0,17.00);");
    auto rows = picking::VisibleMethodRows(list);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].selected);
    EXPECT_FALSE(rows[0].smallFont);
    // The memory keeps the values last added.
    EXPECT_EQ((*memory.Find({picking::kGroupB, 38}))[1], 1700);
    EXPECT_TRUE(prompter.records.empty());
}

TEST(MethodList, CommonChecksRefuseInOrder) {
    MethodList list;
    picking::ConditionParamTable memory;
    base::RecordingPrompter prompter;
    SettingBoard incomplete = A3(5);
    incomplete.fields[2].fraction.clear();
    EXPECT_FALSE(picking::AddMethod(list, incomplete, memory, prompter));
    EXPECT_EQ(LastText(prompter), "请先完整输入后再“加入方法”");
    EXPECT_FALSE(picking::AddMethod(list, A3(0), memory, prompter));
    EXPECT_EQ(LastText(prompter), "Ｎ的值不能低于1");
    EXPECT_FALSE(picking::InsertMethod(list, B4(20), memory, prompter));
    EXPECT_EQ(LastText(prompter), "Ｎ的值不能低于21");
    EXPECT_TRUE(picking::AddMethod(list, B4(21), memory, prompter));
    // The board's own validation message, and no entry.
    SettingBoard a8;
    a8.group = picking::kGroupA;
    a8.position = 8;
    a8.fields[0] = {"0", ""};
    EXPECT_FALSE(picking::AddMethod(list, a8, memory, prompter));
    EXPECT_EQ(LastText(prompter), "输入的均线值不能为零");
    EXPECT_EQ(list.Count(), 1u);
    for (const auto& r : prompter.records) EXPECT_EQ(r.caption, "提示");
    // The memory of a3 is untouched by the refusals.
    EXPECT_EQ((*memory.Find({picking::kGroupA, 3}))[0], 5);
}

TEST(MethodList, DuplicatesAskBeforeAddingOrOverwriting) {
    MethodList list;
    picking::ConditionParamTable memory;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(picking::AddMethod(list, A3(5), memory, prompter));
    ASSERT_TRUE(picking::AddMethod(list, B4(30), memory, prompter));
    // No: nothing is added.
    prompter.answers = {false};
    EXPECT_FALSE(picking::AddMethod(list, A3(6), memory, prompter));
    EXPECT_EQ(prompter.records.back(),
              (PromptRecord{PromptRecord::Kind::Question, "该方法已经存在，是否加入？", "提示"}));
    EXPECT_EQ(list.Count(), 2u);
    // Insert with Yes overwrites the first a3 in place and selects it.
    prompter.answers = {true};
    EXPECT_TRUE(picking::InsertMethod(list, A3(7, 30), memory, prompter));
    EXPECT_EQ(prompter.records.back().text, "该方法已经存在，是否覆盖？");
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Entry(1), "a3(7,30.00,50.00);");
    EXPECT_EQ(list.SelectedIndex(), 1u);
    EXPECT_EQ(list.ScrollPosition(), 1 * 125 / 2);
    EXPECT_EQ((*memory.Find({picking::kGroupA, 3}))[1], 3000);
    // A new condition is inserted at the top.
    EXPECT_TRUE(picking::InsertMethod(list, Pattern(29), memory, prompter));
    EXPECT_EQ(list.Entry(1), "b31(0,10.00);");
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.TopRow(), 1);
    EXPECT_EQ(list.SelectedRow(), 1);
    EXPECT_EQ(list.ScrollPosition(), 0);
}

TEST(MethodList, TheHundredthEntryIsTheLast) {
    MethodList list;
    picking::ConditionParamTable memory;
    base::RecordingPrompter prompter;
    prompter.defaultAnswer = true;
    for (int k = 0; k < 100; ++k)
        ASSERT_TRUE(picking::AddMethod(list, A3(5 + k), memory, prompter));
    EXPECT_EQ(list.Count(), 100u);
    EXPECT_EQ(list.TopRow(), 99);
    EXPECT_EQ(list.SelectedRow(), 2);
    EXPECT_FALSE(picking::AddMethod(list, B4(30), memory, prompter));
    EXPECT_EQ(LastText(prompter), "已达到100条的限度，无法再加入");
    EXPECT_FALSE(picking::InsertMethod(list, B4(30), memory, prompter));
    EXPECT_EQ(LastText(prompter), "已达到100条的限度，无法再插入");
    EXPECT_EQ(list.Count(), 100u);
}

TEST(MethodList, MovingAndDeleting) {
    MethodList list;
    picking::ConditionParamTable memory;
    base::RecordingPrompter prompter;
    // Nothing happens on an empty list.
    EXPECT_FALSE(picking::MoveMethodUp(list, prompter));
    EXPECT_FALSE(picking::DeleteMethod(list, prompter));
    EXPECT_TRUE(prompter.records.empty());
    for (int k = 0; k < 8; ++k)
        ASSERT_TRUE(picking::AddMethod(list, Pattern(29 + k), memory, prompter));
    // 8 selected on the second page. Up: 7 on the first page, row 7.
    EXPECT_TRUE(picking::MoveMethodUp(list, prompter));
    EXPECT_EQ(list.Entry(7), "b38(0,10.00);");
    EXPECT_EQ(list.Entry(8), "b37(0,10.00);");
    EXPECT_EQ(list.TopRow(), 1);
    EXPECT_EQ(list.SelectedRow(), 7);
    EXPECT_EQ(list.ScrollPosition(), 7 * 125 / 8);
    EXPECT_TRUE(picking::MoveMethodDown(list, prompter));
    EXPECT_EQ(list.SelectedIndex(), 8u);
    EXPECT_EQ(list.Entry(8), "b38(0,10.00);");
    // The last entry does not move down; the first does not move up.
    EXPECT_FALSE(picking::MoveMethodDown(list, prompter));
    list.SelectRow(1);  // the only row of page 8-14
    list.ReplaceWithSingle("a3(5,20.00,50.00);");
    EXPECT_FALSE(picking::MoveMethodUp(list, prompter));
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.SelectedIndex(), 1u);

    // Deleting asks first; No keeps the entry.
    for (int k = 0; k < 7; ++k)
        ASSERT_TRUE(picking::AddMethod(list, Pattern(29 + k), memory, prompter));
    EXPECT_EQ(list.SelectedIndex(), 8u);
    prompter.answers = {false};
    EXPECT_FALSE(picking::DeleteMethod(list, prompter));
    EXPECT_EQ(prompter.records.back(),
              (PromptRecord{PromptRecord::Kind::Question, "是否将该条方法删除？", "提示"}));
    // Deleting the last entry, alone on its page, selects the new last one on
    // the previous page.
    prompter.answers = {true};
    EXPECT_TRUE(picking::DeleteMethod(list, prompter));
    EXPECT_EQ(list.Count(), 7u);
    EXPECT_EQ(list.TopRow(), 1);
    EXPECT_EQ(list.SelectedRow(), 7);
    // Deleting in the middle keeps the row, which now shows the next entry.
    list.SelectRow(2);
    const std::string third = list.Entry(3);
    prompter.answers = {true};
    EXPECT_TRUE(picking::DeleteMethod(list, prompter));
    EXPECT_EQ(list.Entry(2), third);
    EXPECT_EQ(list.SelectedIndex(), 2u);
    // A row past the list cannot be selected.
    list.SelectRow(7);
    EXPECT_EQ(list.SelectedIndex(), 2u);
}

TEST(MethodList, NoSelectionSaysWhatToSelect) {
    MethodList list;
    base::RecordingPrompter prompter;
    list.ReplaceWithSingle("a3(5,20.00,50.00);");
    list.SelectRow(0);
    EXPECT_EQ(list.SelectedIndex(), 0u);
    EXPECT_EQ(picking::ModifyMethod(list, prompter), std::nullopt);
    EXPECT_EQ(LastText(prompter), "请先选取需要修改的方法条");
    EXPECT_FALSE(picking::MoveMethodUp(list, prompter));
    EXPECT_EQ(LastText(prompter), "请先选取需要上移的方法条");
    EXPECT_FALSE(picking::MoveMethodDown(list, prompter));
    EXPECT_EQ(LastText(prompter), "请先选取需要下移的方法条");
    EXPECT_FALSE(picking::DeleteMethod(list, prompter));
    EXPECT_EQ(LastText(prompter), "请先选取需要删除的方法条");
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.ModifyRow(), 0);
}

TEST(MethodList, ModifyBlocksAddingUntilConfirmed) {
    MethodList list;
    picking::ConditionParamTable memory;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(picking::AddMethod(list, A3(5), memory, prompter));
    ASSERT_TRUE(picking::AddMethod(list, B4(30), memory, prompter));
    list.SelectRow(1);
    auto condition = picking::ModifyMethod(list, prompter);
    ASSERT_TRUE(condition.has_value());
    EXPECT_EQ(condition->code, (picking::ConditionCode{picking::kGroupA, 3}));
    EXPECT_EQ(condition->params[1], 2000);
    EXPECT_EQ(list.ModifyRow(), 1);
    EXPECT_FALSE(picking::AddMethod(list, Pattern(29), memory, prompter));
    EXPECT_EQ(LastText(prompter), "当前处于方法修改状态中，修改完后请点击“确认修改”");
    EXPECT_FALSE(picking::InsertMethod(list, Pattern(29), memory, prompter));
    // Confirming rebuilds the entry in place and ends the modify state.
    EXPECT_TRUE(picking::ConfirmModify(list, A3(9, 11), memory, prompter));
    EXPECT_EQ(list.Entry(1), "a3(9,11.00,50.00);");
    EXPECT_EQ(list.ModifyRow(), 0);
    EXPECT_TRUE(picking::AddMethod(list, Pattern(29), memory, prompter));
}

}  // namespace
