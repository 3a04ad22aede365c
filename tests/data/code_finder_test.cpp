#include "data/code_finder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "data/capacities.h"
#include "data/code_table.h"
#include "data/file_formats.h"
#include "support/fixture_market.h"

namespace {

using data::CodeEntry;
using data::FinderChoice;
using data::FinderTrigger;
using fixture::Gbk;

// A code table image with the view over it.
struct Table {
    explicit Table(const std::vector<CodeEntry>& entries) : words(data::kCodeTableWords, 0) {
        auto bytes = data::EncodeCodeTable(20140321, entries);
        std::memcpy(words.data(), bytes.data(), bytes.size());
    }
    std::vector<uint32_t> words;
    data::CodeTable view{words};
};

std::vector<CodeEntry> Sample() {
    return {
        {1, Gbk("平安银行"), "PAYH", 1, 1},
        {300059, Gbk("东方财富"), "DFCF", 1, 1},
        {600000, Gbk("浦发银行"), "PFYH", 1, 1},
        {600004, Gbk("白云机场"), "BYJC", 1, 1},
        {600015, Gbk("华夏银行"), "HXYH", 1, 1},
        {600104, Gbk("上汽"), "SQ", 1, 1},
        {600221, Gbk("海航控股"), "XPFA", 1, 1},  // "PF" in the middle
        {600340, Gbk("华夏幸福"), "HXXF", 1, 1},
        {600383, Gbk("金地"), "JDPF", 1, 1},      // "PF" at the end
        {600585, Gbk("海螺水泥"), "PXFY", 1, 1},  // P and F apart
        {601398, Gbk("工商银行"), "GSYH", 1, 1},
        {601899, Gbk("紫金矿业"), "ZJKY", 1, 1},
        {603799, Gbk("华友钴业"), "HYGY", 1, 1},
        {999999, Gbk("上证指数"), "SZZS", 1, 1},
    };
}

std::string Line(const std::string& code, const std::string& utf8Name) {
    return code + " " + Gbk(utf8Name);
}

TEST(CodeFinder, InitialsRuleComparesRunsOfTheFourLetters) {
    const char letters[4] = {'P', 'F', 'Y', 'H'};
    for (const char* typed : {"p", "F", "y", "h", "pf", "FY", "yh", "pfy", "fyh", "pfyh", "PfYh"})
        EXPECT_TRUE(data::InitialsMatch(typed, letters)) << typed;
    for (const char* typed : {"", "x", "ph", "fp", "py", "pyh", "pfh", "fyhp", "pfyhp", "pfyhh"})
        EXPECT_FALSE(data::InitialsMatch(typed, letters)) << typed;
    // Stored letters of a short name are NUL-padded.
    const char shortName[4] = {'S', 'Q', '\0', '\0'};
    EXPECT_TRUE(data::InitialsMatch("sq", shortName));
    EXPECT_TRUE(data::InitialsMatch("q", shortName));
    EXPECT_FALSE(data::InitialsMatch("sqx", shortName));
}

TEST(CodeFinder, DigitsListCodesByPrefixInTableOrder) {
    Table t(Sample());
    auto lines = data::FillFinderList(t.view, "6");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], Line("600000", "浦发银行"));
    EXPECT_EQ(lines[1], Line("600004", "白云机场"));
    EXPECT_EQ(lines[10], Line("603799", "华友钴业"));

    lines = data::FillFinderList(t.view, "600");
    EXPECT_EQ(lines.size(), 8u);
    lines = data::FillFinderList(t.view, "60000");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], Line("600004", "白云机场"));
    // Leading zeros belong to the code text.
    lines = data::FillFinderList(t.view, "0000");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], Line("000001", "平安银行"));
    EXPECT_TRUE(data::FillFinderList(t.view, "6000000").empty());
    EXPECT_TRUE(data::FillFinderList(t.view, "7").empty());
    // A name of two characters ends the line, no padding after it.
    lines = data::FillFinderList(t.view, "600104");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], Line("600104", "上汽"));
    EXPECT_EQ(lines[0].size(), 11u);
}

TEST(CodeFinder, LettersListIndicatorsFirstThenStocksByInitials) {
    Table t(Sample());
    // "PF" at positions 1-2, 2-3 or 3-4 only; no indicator has it.
    auto lines = data::FillFinderList(t.view, "pf");
    std::vector<std::string> expected = {Line("600000", "浦发银行"), Line("600221", "海航控股"),
                                         Line("600383", "金地")};
    EXPECT_EQ(lines, expected);

    // V: VOL, OBV and VR, in catalogue order, before any stock.
    lines = data::FillFinderList(t.view, "v");
    expected = {Gbk("VOL 量均线"), Gbk("OBV 能量潮"), Gbk("VR 容量比率")};
    EXPECT_EQ(lines, expected);

    // "MA" is in MACD and DMA; the plain MA entry is not offered.
    lines = data::FillFinderList(t.view, "ma");
    expected = {Gbk("MACD 平滑异同"), Gbk("DMA 平均线差")};
    EXPECT_EQ(lines, expected);

    lines = data::FillFinderList(t.view, "KD");
    expected = {Gbk("KD 随机指标"), Gbk("KDJ 随机指标")};
    EXPECT_EQ(lines, expected);

    // "y": PSY, then every stock with a Y among its letters.
    lines = data::FillFinderList(t.view, "y");
    expected = {Gbk("PSY 心理线"),          Line("000001", "平安银行"), Line("600000", "浦发银行"),
                Line("600004", "白云机场"), Line("600015", "华夏银行"), Line("600585", "海螺水泥"),
                Line("601398", "工商银行"), Line("601899", "紫金矿业"), Line("603799", "华友钴业")};
    EXPECT_EQ(lines, expected);

    // A single letter matches at any of the four positions.
    lines = data::FillFinderList(t.view, "c");
    expected = {Gbk("MACD 平滑异同"), Gbk("CCI 顺势指标"),        Gbk("CR 能量指标"),
                Gbk("ROC 变动速率"),  Line("300059", "东方财富"), Line("600004", "白云机场")};
    EXPECT_EQ(lines, expected);

    EXPECT_TRUE(data::FillFinderList(t.view, "pfyhx").empty());
    EXPECT_TRUE(data::FillFinderList(t.view, "arbrx").empty());
    EXPECT_TRUE(data::FillFinderList(t.view, "").empty());
    // An empty table lists nothing, not even indicators.
    Table empty({});
    EXPECT_TRUE(data::FillFinderList(empty.view, "v").empty());
    EXPECT_TRUE(data::FillFinderList(empty.view, "6").empty());
}

TEST(CodeFinder, ListStopsAtTwoHundredLines) {
    std::vector<CodeEntry> many;
    for (uint32_t i = 0; i < 300; ++i) many.push_back({600000 + i, Gbk("测试"), "VVVV", 1, 1});
    Table t(many);
    auto lines = data::FillFinderList(t.view, "6");
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_EQ(lines.back(), Line("600199", "测试"));
    // Indicator lines count towards the limit.
    lines = data::FillFinderList(t.view, "v");
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_EQ(lines[2], Gbk("VR 容量比率"));
    EXPECT_EQ(lines[3], Line("600000", "测试"));
    EXPECT_EQ(lines.back(), Line("600196", "测试"));
}

TEST(CodeFinder, TakingALineChoosesACodeOrAnIndicator) {
    Table t(Sample());
    auto indicators = data::FillFinderList(t.view, "v");
    // The VR line is indicator 15, VOL 1.
    EXPECT_EQ(data::TakeFinderLine(indicators, 2, 0, FinderTrigger::OkOrEnter),
              (FinderChoice{FinderChoice::Kind::Taken, 0, 15}));
    EXPECT_EQ(data::TakeFinderLine(indicators, 0, 0, FinderTrigger::DoubleClick),
              (FinderChoice{FinderChoice::Kind::Taken, 0, 1}));
    auto dma = data::FillFinderList(t.view, "dma");
    EXPECT_EQ(data::TakeFinderLine(dma, 0, 0, FinderTrigger::OkOrEnter).indicator, 17);

    auto codes = data::FillFinderList(t.view, "0");
    EXPECT_EQ(data::TakeFinderLine(codes, 0, 0, FinderTrigger::OkOrEnter),
              (FinderChoice{FinderChoice::Kind::Taken, 1, 0}));

    // A line found neither way closes the finder with nothing chosen.
    std::vector<std::string> odd = {"XYZ", "ABC"};
    EXPECT_EQ(data::TakeFinderLine(odd, 1, 0, FinderTrigger::OkOrEnter),
              (FinderChoice{FinderChoice::Kind::Taken, 0, 0}));
}

TEST(CodeFinder, OkTakesOnlyASingleLineOrAVisibleSelection) {
    std::vector<std::string> lines;
    for (uint32_t i = 0; i < 40; ++i) lines.push_back(std::to_string(600000 + i) + " x");
    const FinderChoice stay{FinderChoice::Kind::StayOpen};
    const FinderChoice ask{FinderChoice::Kind::ShowMessage};

    EXPECT_EQ(data::TakeFinderLine({}, -1, 0, FinderTrigger::OkOrEnter), stay);
    // One line is taken even without a selection.
    EXPECT_EQ(data::TakeFinderLine(std::span(lines).first(1), -1, 0, FinderTrigger::OkOrEnter),
              (FinderChoice{FinderChoice::Kind::Taken, 600000, 0}));
    EXPECT_EQ(data::TakeFinderLine(lines, -1, 0, FinderTrigger::OkOrEnter), ask);
    // The page runs from the top line to 14 lines below it.
    EXPECT_EQ(data::TakeFinderLine(lines, 10, 10, FinderTrigger::OkOrEnter).code, 600010u);
    EXPECT_EQ(data::TakeFinderLine(lines, 24, 10, FinderTrigger::OkOrEnter).code, 600024u);
    EXPECT_EQ(data::TakeFinderLine(lines, 25, 10, FinderTrigger::OkOrEnter), ask);
    EXPECT_EQ(data::TakeFinderLine(lines, 9, 10, FinderTrigger::OkOrEnter), ask);
    EXPECT_EQ(data::TakeFinderLine(lines, 40, 30, FinderTrigger::OkOrEnter), ask);

    // A double-click takes the selection wherever the page is.
    EXPECT_EQ(data::TakeFinderLine(lines, 35, 0, FinderTrigger::DoubleClick).code, 600035u);
    EXPECT_EQ(data::TakeFinderLine(lines, -1, 0, FinderTrigger::DoubleClick), stay);
    EXPECT_EQ(data::TakeFinderLine({}, -1, 0, FinderTrigger::DoubleClick), stay);
}

TEST(CodeFinder, CodeBoxOpensTheFinderWithItsFirstCharacter) {
    for (const char* text : {"6", "600000", "a", "Z", "pf"})
        EXPECT_TRUE(data::OpensFinder(text)) << text;
    for (const char* text : {"", " 6", "-", ".", "中国"})
        EXPECT_FALSE(data::OpensFinder(text)) << text;
    EXPECT_EQ(data::FinderInitialText("600000"), "6");
    EXPECT_EQ(data::FinderInitialText("pf"), "p");
    EXPECT_EQ(data::FinderInitialText(""), "");
}

}  // namespace
