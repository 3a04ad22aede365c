#include "picking/catalogue.h"

#include <gtest/gtest.h>

#include "base/recording_prompter.h"

namespace {

using picking::BuildMethodEntry;
using picking::ConditionCode;
using picking::SettingBoard;

// A board for the condition at a display position, fields as typed.
SettingBoard Board(int group, int position, std::vector<picking::BoardField> fields) {
    SettingBoard board;
    board.group = group;
    board.position = position;
    for (size_t k = 0; k < fields.size(); ++k) board.fields[k] = fields[k];
    return board;
}

std::optional<std::string> Build(const SettingBoard& board, base::RecordingPrompter& prompter) {
    return BuildMethodEntry(board, prompter);
}

TEST(Catalogue, CodesTitlesAndDisplayPositions) {
    EXPECT_EQ((ConditionCode{picking::kGroupA, 1}).Value(), 513);
    EXPECT_EQ((ConditionCode{picking::kGroupA, 9}).Value(), 521);
    EXPECT_EQ((ConditionCode{picking::kGroupB, 57}).Value(), 825);
    EXPECT_EQ((ConditionCode{picking::kGroupC, 1}).Value(), 1025);
    EXPECT_EQ((ConditionCode{picking::kGroupB, 18}).Text(), "b18");

    auto a1 = picking::ConditionTitle(picking::kGroupA, 1);
    EXPECT_EQ(a1.number, 1);
    EXPECT_EQ(a1.text, "a1：根据股价(收盘价)选取个股");
    // Position 8 of group b shows b9; hidden numbers shift the rest.
    EXPECT_EQ(picking::ConditionTitle(picking::kGroupB, 8).text, "b9：选取均线向上多头排列个股");
    EXPECT_EQ(picking::ConditionAtPosition(picking::kGroupB, 16), 18);
    EXPECT_EQ(picking::ConditionAtPosition(picking::kGroupB, 52), 57);
    EXPECT_EQ(picking::ConditionAtPosition(picking::kGroupB, 53), 0);
    EXPECT_EQ(picking::ConditionTitle(picking::kGroupB, 53).number, 0);
    EXPECT_EQ(picking::ConditionAtPosition(picking::kGroupA, 10), 0);
    // The list writes b53 as "bc53"; the shown code is b53 all the same.
    EXPECT_EQ(picking::ConditionTitle(picking::kGroupB, 48).text, "b53：大跌之后金针探底选股");
    EXPECT_EQ(picking::ConditionTitle(picking::kGroupC, 1).text, "c1：高级选股方法");
    // Hidden conditions exist by number only.
    EXPECT_EQ(picking::ConditionTitleOf(picking::kGroupB, 8), "新增底部选股方法之8");
    EXPECT_EQ(picking::ConditionTitleOf(picking::kGroupB, 17), "成交量为Ｎ日均量若干倍");
    EXPECT_EQ(picking::ConditionTitleOf(picking::kGroupB, 52), "待扩展选股方法52");
    EXPECT_EQ(picking::ConditionTitleOf(picking::kGroupB, 58), "");
    EXPECT_EQ(picking::ConditionTitleOf(picking::kGroupC, 3), "高级选股法3");
    // Articles go by number; item 10 is hexadecimal 0A.
    EXPECT_EQ(picking::ConditionTitle(picking::kArticleGroup, 1).text,
              "1：认清股市实质，时刻警醒(1)");
    EXPECT_EQ(picking::ConditionTitleOf(picking::kArticleGroup, 10), "迈向成功第二步——止损(2)");
    EXPECT_EQ(picking::ConditionTitleOf(picking::kArticleGroup, 11), "");
}

TEST(Catalogue, ParameterMemoryStartsWithTheBuiltInValues) {
    picking::ConditionParamTable memory;
    EXPECT_EQ(*memory.Find({picking::kGroupA, 1}), (picking::ParamRecord{1201, 2001, 0, 0, 0, 0}));
    EXPECT_EQ(*memory.Find({picking::kGroupA, 7}), (picking::ParamRecord{5, 10, 20, 30, 60, 200}));
    EXPECT_EQ(*memory.Find({picking::kGroupB, 8}), (picking::ParamRecord{1, 900, 200, 0, 0, 0}));
    EXPECT_EQ(*memory.Find({picking::kGroupB, 28}), (picking::ParamRecord{26, 2, 0, 700, 0, 0}));
    EXPECT_EQ(*memory.Find({picking::kGroupB, 57}), (picking::ParamRecord{10, 2000, 0, 0, 0, 0}));
    EXPECT_EQ(memory.Find({picking::kGroupB, 58}), nullptr);
    EXPECT_EQ(memory.Find({picking::kGroupC, 4}), nullptr);
    const std::array<int32_t, 8> entry{7, 1, 2, 3, 4, 5, 6, 7};
    memory.Store({picking::kGroupA, 3}, entry);
    EXPECT_EQ(*memory.Find({picking::kGroupA, 3}), (picking::ParamRecord{7, 1, 2, 3, 4, 5}));
}

TEST(Catalogue, FractionFieldsAndEntryForms) {
    base::RecordingPrompter prompter;
    // One typed digit is tenths; two digits are hundredths.
    EXPECT_EQ(Build(Board(2, 1, {{"12", "5"}, {"20", "05"}}), prompter), "a1(12.50,20.05);");
    EXPECT_EQ(Build(Board(2, 2, {{"5000"}, {"9000"}}), prompter), "a2(5000,9000);");
    EXPECT_EQ(Build(Board(2, 3, {{"5"}, {"20", "00"}, {"50", "0"}}), prompter),
              "a3(5,20.00,50.00);");
    // Non-numeric input reads as 0.
    EXPECT_EQ(Build(Board(2, 6, {{"x"}, {"1", "5"}, {"2", "zz"}}), prompter), "a6(0,1.50,2.00);");
    EXPECT_EQ(Build(Board(3, 9, {{"2", "5"}}), prompter), "b10(2.50);");
    EXPECT_EQ(Build(Board(3, 16, {{"12"}, {"0", "0"}, {"20", "00"}}), prompter),
              "b18(12,0.00,20.00);");
    EXPECT_EQ(Build(Board(3, 22, {{"12"}, {"26"}, {"9"}}), prompter), "b24(12,26,9);");
    // BOLL boards close with a comma.
    EXPECT_EQ(Build(Board(3, 25, {{"26"}, {"2"}}), prompter), "b27(26,2,);");
    EXPECT_EQ(Build(Board(3, 28, {{"26"}, {"2"}, {"3"}}), prompter), "b30(26,2,3,);");
    EXPECT_EQ(Build(Board(3, 26, {{"26"}, {"2"}, {"0", "0"}, {"7", "0"}}), prompter),
              "b28(26,2,0.00,7.00);");
    EXPECT_EQ(Build(Board(3, 20, {{"9"}, {"3"}, {"3"}, {"10", "00"}}), prompter),
              "b22(9,3,3,10.00);");
    EXPECT_EQ(Build(Board(3, 38, {{"100"}, {"50", "0"}, {"10", "0"}}), prompter),
              "b41(100,50.00,10.00);");
    EXPECT_TRUE(prompter.records.empty());
}

TEST(Catalogue, AverageLengthListsAreSortedAndChecked) {
    base::RecordingPrompter prompter;
    // Zeros dropped, duplicates collapsed, sorted, padded to five.
    EXPECT_EQ(Build(Board(2, 7, {{"10"}, {"0"}, {"5"}, {"10"}, {"0"}, {"2", "0"}}), prompter),
              "a7(5,10,0,0,0,2.00);");
    EXPECT_EQ(Build(Board(3, 8, {{"60"}, {"30"}, {"20"}, {"10"}, {"5"}}), prompter),
              "b9(5,10,20,30,60);");
    EXPECT_EQ(Build(Board(2, 9, {{"30"}, {"5"}}), prompter), "a9(5,30);");
    EXPECT_EQ(Build(Board(3, 11, {{"20"}, {"5"}, {"10"}}), prompter), "b12(5,10,20);");
    EXPECT_TRUE(prompter.records.empty());

    const auto refused = [&](const SettingBoard& board, const std::string& message) {
        base::RecordingPrompter p;
        EXPECT_EQ(BuildMethodEntry(board, p), std::nullopt);
        ASSERT_EQ(p.Messages().size(), 1u);
        EXPECT_EQ(p.Messages()[0].text, message);
        EXPECT_EQ(p.Messages()[0].caption, "提示");
    };
    refused(Board(2, 7, {{"10"}, {"0"}, {"10"}, {"0"}, {"0"}, {"2", "0"}}),
            "至少需要两条均线的输入值有效");
    refused(Board(3, 8, {{"0"}, {"0"}, {"0"}, {"0"}, {"0"}}), "至少需要两条均线的输入值有效");
    refused(Board(2, 8, {{"0"}}), "输入的均线值不能为零");
    refused(Board(2, 9, {{"5"}, {"5"}}), "两条均线值不能相同");
    refused(Board(2, 9, {{"5"}, {"0"}}), "输入的均线值不能为零");
    refused(Board(3, 14, {{"5"}, {"5"}}), "两条均线值不能相同");  // b15
    refused(Board(3, 12, {{"5"}, {"20"}, {"5"}}), "两条均线值不能相同");
    refused(Board(3, 13, {{"5"}, {"0"}, {"20"}}), "输入的均线值不能为零");
}

TEST(Catalogue, RangeChecksComeInFieldOrder) {
    const auto message = [](const SettingBoard& board) {
        base::RecordingPrompter p;
        auto entry = BuildMethodEntry(board, p);
        return entry ? *entry : p.Messages().at(0).text;
    };
    EXPECT_EQ(message(Board(3, 16, {{"1"}, {"0", "0"}, {"20", "0"}})), "N值输入范围为2—100");
    EXPECT_EQ(message(Board(3, 16, {{"100"}, {"0", "0"}, {"20", "0"}})), "b18(100,0.00,20.00);");
    EXPECT_EQ(message(Board(3, 17, {{"301"}, {"1", "0"}, {"2", "0"}})), "N值输入范围为1—300");
    EXPECT_EQ(message(Board(3, 19, {{"9"}, {"1"}, {"41"}, {"0", "0"}, {"2", "0"}})),
              "M1值输入范围为2—40");
    EXPECT_EQ(message(Board(3, 19, {{"101"}, {"1"}, {"41"}, {"0", "0"}, {"2", "0"}})),
              "N值输入范围为1—100");
    EXPECT_EQ(message(Board(3, 19, {{"9"}, {"3"}, {"41"}, {"0", "0"}, {"2", "0"}})),
              "M2值输入范围为2—40");
    EXPECT_EQ(message(Board(3, 22, {{"4"}, {"19"}, {"61"}})), "SHORT值输入范围为5—40");
    EXPECT_EQ(message(Board(3, 22, {{"5"}, {"19"}, {"61"}})), "LONG值输入范围为20—100");
    EXPECT_EQ(message(Board(3, 22, {{"5"}, {"20"}, {"61"}})), "MID值输入范围为2—60");
    EXPECT_EQ(message(Board(3, 25, {{"4"}, {"11"}})), "N值输入范围为5—300");
    EXPECT_EQ(message(Board(3, 25, {{"5"}, {"11"}})), "P值输入范围为1—10");
    EXPECT_EQ(message(Board(3, 28, {{"26"}, {"2"}, {"0"}})), "M值输入不能为0");
    // Pattern conditions: N of 1 to 5 is refused, 0 ignores the context.
    EXPECT_EQ(message(Board(3, 29, {{"3"}, {"10", "0"}})), "N值输入不能小于6");
    EXPECT_EQ(message(Board(3, 29, {{"5"}, {"10", "0"}})), "N值输入不能小于6");
    EXPECT_EQ(message(Board(3, 29, {{"6"}, {"10", "0"}})), "b31(6,10.00);");
    EXPECT_EQ(message(Board(3, 29, {{"0"}, {"10", "0"}})), "b31(0,10.00);");
    EXPECT_EQ(message(Board(3, 52, {{"3"}, {"20", "0"}})), "N值输入不能小于6");
}

TEST(Catalogue, EntriesReadBack) {
    base::RecordingPrompter prompter;
    // b20's bounds are entered as magnitudes and written negative.
    auto b20 = Build(Board(3, 18, {{"6"}, {"10", "00"}, {"20", "00"}}), prompter);
    EXPECT_EQ(b20, "b20(6,-10.00,-20.00);");
    auto read = picking::ReadMethodEntry(*b20);
    EXPECT_EQ(read.code, (ConditionCode{picking::kGroupB, 20}));
    EXPECT_EQ(read.params[0], 6);
    EXPECT_EQ(read.params[1], -1000);
    EXPECT_EQ(read.params[2], -2000);

    read = picking::ReadMethodEntry("a7(5,10,0,0,0,2.00);");
    EXPECT_EQ(read.code.Value(), 519);
    EXPECT_EQ(read.params, (std::array<int32_t, 8>{5, 10, 0, 0, 0, 200, 0, 0}));
    // An empty field and what follows ")" read as 0.
    read = picking::ReadMethodEntry("b27(26,2,);99");
    EXPECT_EQ(read.params, (std::array<int32_t, 8>{26, 2, 0, 0, 0, 0, 0, 0}));
    // The scan's own entry.
    read = picking::ReadMethodEntry("b8(1,7.50,10.00);");
    EXPECT_EQ(read.code, (ConditionCode{picking::kGroupB, 8}));
    EXPECT_EQ(read.params[1], 750);
    // A code letter outside a..d is code 0.
    EXPECT_EQ(picking::ReadMethodEntry("e3(5);").code.Value(), 0);
    EXPECT_EQ(picking::ReadMethodEntry("").code.Value(), 0);
    EXPECT_EQ(picking::ReadMethodEntry("c1();").code.Value(), 1025);
}

TEST(Catalogue, DisplayLines) {
    EXPECT_EQ(picking::MethodEntryText("a1(12.01,20.01);"),
              "a1：根据股价(收盘价)选取个股 12.01元≤J≤20.01元");
    EXPECT_EQ(picking::MethodEntryText("a3(5,20.00,50.00);"),
              "a3：根据Ｎ日内的涨幅选取个股 Ｎ=5 20.00≤ZF≤50.00");
    EXPECT_EQ(picking::MethodEntryText("a6(5,1.50,2.00);"),
              "a6：成交量较前Ｎ日放大(缩小) 前Ｎ=5 1.50≤BS≤2.00(放量)");
    EXPECT_EQ(picking::MethodEntryText("a6(5,0.50,1.00);"),
              "a6：成交量较前Ｎ日放大(缩小) 前Ｎ=5 0.50≤BS≤1.00(缩量)");
    // Equal bounds are neither.
    EXPECT_EQ(picking::MethodEntryText("a6(5,1.00,1.00);"),
              "a6：成交量较前Ｎ日放大(缩小) 前Ｎ=5 1.00≤BS≤1.00");
    EXPECT_EQ(picking::MethodEntryText("b20(6,-10.00,-20.00);"),
              "b20：Ｎ日乖离率选取超跌个股 Ｎ=6 -10.00≤BIAS≤-20.00");
    EXPECT_EQ(picking::MethodEntryText("b31(0,10.00);"),
              "b31：涨升途中仙人指路选股 仙人指路(忽略涨升条件)");
    EXPECT_EQ(picking::MethodEntryText("b31(20,10.00);"),
              "b31：涨升途中仙人指路选股 Ｎ=20 涨幅≥10.00 仙人指路");
    EXPECT_EQ(picking::MethodEntryText("b30(26,2,3,);"),
              "b30：连续M日收盘低于布林下轨 Ｎ=26 P=2 近3日连续收盘低于布林下轨");
    EXPECT_EQ(picking::MethodEntryText("b10(2.00);"),
              "b10：5条常规均线粘合向上突破 5,10,20,30,60日均线粘合 NH≤2.00");
}

TEST(Catalogue, BoardsReopenWithRememberedValues) {
    const std::array<int32_t, 6> b20{6, -1000, -2050, 0, 0, 0};
    const SettingBoard board = picking::BoardFromParams(3, 18, b20);
    EXPECT_EQ(board.fields[0].whole, "6");
    EXPECT_EQ(board.fields[1].whole, "10");
    EXPECT_EQ(board.fields[2].fraction, "50");
    base::RecordingPrompter prompter;
    EXPECT_EQ(BuildMethodEntry(board, prompter), "b20(6,-10.00,-20.50);");
    EXPECT_TRUE(picking::BoardComplete(board));
    SettingBoard missing = board;
    missing.fields[1].fraction.clear();
    EXPECT_FALSE(picking::BoardComplete(missing));
}

TEST(Catalogue, EveryCodeOfTheCatalogueRuns) {
    // Of the 69 codes, b8, b17, b40, b51, b52 and c1-c3 have no test.
    size_t codes = 0, selecting = 0;
    for (int group : {picking::kGroupA, picking::kGroupB, picking::kGroupC, 5}) {
        for (int n = 0; n <= 60; ++n) {
            const ConditionCode code{group, n};
            codes += picking::InCatalogue(code);
            selecting += picking::SelectsStocks(code);
            if (picking::InCatalogue(code)) {
                // Every parameter has a name.
                EXPECT_EQ(picking::ConditionParamNames(code).size(),
                          picking::ConditionParamKinds(code).size())
                    << code.Text();
            }
        }
    }
    EXPECT_EQ(codes, 69u);
    EXPECT_EQ(selecting, 61u);
    for (int n : {8, 17, 40, 51, 52})
        EXPECT_FALSE(picking::SelectsStocks({picking::kGroupB, n})) << n;
    EXPECT_FALSE(picking::SelectsStocks({picking::kGroupC, 1}));
    EXPECT_FALSE(picking::InCatalogue({picking::kGroupB, 58}));
    EXPECT_FALSE(picking::InCatalogue({picking::kGroupA, 0}));
}

TEST(Catalogue, EntriesWrittenFromValues) {
    // The hidden conditions have entries too; b20 writes its bounds negative
    // whatever their sign, even at 0.00.
    const struct {
        ConditionCode code;
        std::vector<int64_t> values;
        const char* entry;
    } cases[] = {
        {{picking::kGroupB, 8}, {1, 900, 200}, "b8(1,9.00,2.00);"},
        {{picking::kGroupB, 17}, {10, 250, 350}, "b17(10,2.50,3.50);"},
        {{picking::kGroupB, 20}, {6, 1000, -2050}, "b20(6,-10.00,-20.50);"},
        {{picking::kGroupB, 20}, {6, 0, 0}, "b20(6,-0.00,-0.00);"},
        {{picking::kGroupB, 30}, {26, 2, 3}, "b30(26,2,3,);"},
        {{picking::kGroupA, 1}, {-5, 1201}, "a1(-0.05,12.01);"},
        {{picking::kGroupC, 1}, {}, "c1();"},
    };
    for (const auto& c : cases) EXPECT_EQ(picking::WriteMethodEntry(c.code, c.values), c.entry);
}

}  // namespace
