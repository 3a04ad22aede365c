#include "data/examples.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/capacities.h"
#include "support/fixture_market.h"

namespace {

using data::ExampleTable;
using data::kConditionGroupA;
using data::kConditionGroupB;
using data::kConditionGroupC;
using fixture::Gbk;

TEST(Examples, DisplayOrderMapsPositionsToConditionNumbers) {
    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupA, 1), 1);
    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupA, 9), 9);
    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupA, 10), 0);
    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupA, 0), 0);
    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupA, -1), 0);

    // Group b skips 8, 17, 40, 51 and 52.
    const std::pair<int, int> b[] = {{1, 1},   {7, 7},   {8, 9},   {15, 16}, {16, 18}, {37, 39},
                                     {38, 41}, {47, 50}, {48, 53}, {52, 57}, {53, 0},  {99, 0}};
    for (auto [position, number] : b)
        EXPECT_EQ(data::ConditionAtPosition(kConditionGroupB, position), number) << position;
    EXPECT_EQ(data::VisibleConditionCount(kConditionGroupB), 52);

    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupC, 1), 1);
    EXPECT_EQ(data::ConditionAtPosition(kConditionGroupC, 2), 0);
    EXPECT_EQ(data::ConditionAtPosition(5, 1), 0);
    EXPECT_EQ(data::ConditionAtPosition(1, 1), 0);
}

TEST(Examples, EntriesNeedKTwoOrThreeAndExactlyNineDigits) {
    fixture::FixtureMarket market;
    market.WriteExamples(Gbk("选股例子\r\n价格 203:120160601 见图\r\n") +  // a3
                         "b16 316:220150105\r\n" +   // position 16 of b is b18
                         "b52 352:320170707\r\n" +   // position 52 of b is b57
                         "204:12016060 eight\r\n" +  // eight digits
                         "205:1201606011 ten\r\n" +  // ten digits
                         "506:120160601 K5\r\n" +    // not an example entry
                         "2a7:120160601 x\r\n" +     // not three digits
                         "208 :120160601 blank\r\n" +
                         "353:120160601 none\r\n" +  // b has no position 53: slot 30
                         "200:220160602 zero\r\n" +  // nor has a a position 0: slot 0
                         "209:920160609 end\r\n");   // market 9 reads as 沪市
    std::vector<uint8_t> work(data::kWorkDataBytes);
    ExampleTable table;
    EXPECT_EQ(data::LoadExamples(market.Paths().examples, work, table), 6u);

    EXPECT_EQ(table.ForCondition(kConditionGroupA, 3), 120160601u);
    EXPECT_EQ(table.slots[3], 120160601u);
    EXPECT_EQ(table.ForCondition(kConditionGroupB, 18), 220150105u);
    EXPECT_EQ(table.slots[48], 220150105u);
    EXPECT_EQ(table.ForCondition(kConditionGroupB, 57), 320170707u);
    EXPECT_EQ(table.slots[87], 320170707u);
    EXPECT_EQ(table.ForCondition(kConditionGroupA, 9), 920160609u);
    for (int n : {4, 5, 6, 7, 8}) EXPECT_EQ(table.ForCondition(kConditionGroupA, n), 0u) << n;
    EXPECT_EQ(table.slots[0], 220160602u);
    EXPECT_EQ(table.slots[30], 120160601u);

    EXPECT_EQ(data::ExampleMarketName(120160601), "沪市");
    EXPECT_EQ(data::ExampleMarketName(220150105), "深市");
    EXPECT_EQ(data::ExampleMarketName(320170707), "创板");
    EXPECT_EQ(data::ExampleMarketName(920160609), "沪市");
    EXPECT_EQ(data::ExampleDate(120160601), 20160601u);
}

TEST(Examples, ColonsAtTheEdgesAndTheEndOfTheData) {
    fixture::FixtureMarket market;
    const std::string& path = market.Paths().examples;
    ExampleTable table;

    // The whole file is one entry: the colon is the fourth byte.
    std::vector<uint8_t> work(data::kWorkDataBytes);
    market.WriteExamples("203:120160601");
    EXPECT_EQ(data::LoadExamples(path, work, table), 1u);
    EXPECT_EQ(table.slots[3], 120160601u);

    // Bytes left in the work buffer beyond the file are no ninth digit.
    std::fill(work.begin(), work.end(), '7');
    market.WriteExamples("xx 208:12016060");
    EXPECT_EQ(data::LoadExamples(path, work, table), data::kNoExamples);
    EXPECT_EQ(table.slots[8], 0u);
    EXPECT_EQ(table.slots[3], 0u);  // the earlier load's example is gone

    // Nothing is read past the work buffer: the second entry is cut to two digits.
    std::vector<uint8_t> small(20);
    market.WriteExamples("203:120160601 204:120160602");
    EXPECT_EQ(data::LoadExamples(path, small, table), 1u);
    EXPECT_EQ(table.slots[4], 0u);

    // A colon in the first three bytes has no three digits before it.
    market.WriteExamples(":203:120160601");
    EXPECT_EQ(data::LoadExamples(path, work, table), 1u);
    market.WriteExamples("03:120160601 x");
    EXPECT_EQ(data::LoadExamples(path, work, table), data::kNoExamples);

    market.WriteExamples("");
    EXPECT_EQ(data::LoadExamples(path, work, table), data::kNoExamples);

    // A missing file reads as 0 and leaves no examples.
    market.WriteExamples("203:120160601");
    EXPECT_EQ(data::LoadExamples(path, work, table), 1u);
    market.Remove("MKDAT/DEMOD.TXT");
    EXPECT_EQ(data::LoadExamples(path, work, table), 0u);
    EXPECT_EQ(table.slots[3], 0u);
}

TEST(Examples, ReportWritesTheBytesAndShowsItsPath) {
    fixture::FixtureMarket market;
    const std::string& path = market.Paths().report;
    const std::string text = "\r\n600000 " + Gbk("浦发银行") + "--    20160601";
    std::vector<uint8_t> work(text.begin(), text.end());
    work.resize(64, 'z');

    base::RecordingPrompter prompter;
    data::WriteReport(path, work, 0, prompter);
    EXPECT_FALSE(base::FileExists(path));
    EXPECT_TRUE(prompter.records.empty());

    // A longer earlier report is replaced, not overwritten in part.
    std::vector<uint8_t> longer(500, 'q');
    market.WriteRaw("MKDAT/DEMO_Find.TXT", longer);
    data::WriteReport(path, work, text.size(), prompter);
    auto bytes = base::ReadWholeFile(path, 1000);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), text);
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0],
              (base::PromptRecord{base::PromptRecord::Kind::Message, path, "生成文件"}));

    // A length beyond the work data stops at its end.
    data::WriteReport(path, work, 10'000, prompter);
    EXPECT_EQ(base::FileSize(path), 64);

    // A report that cannot be written shows nothing.
    prompter.records.clear();
    data::WriteReport(market.Root() + "/NOPE/DEMO_Find.TXT", work, 5, prompter);
    EXPECT_TRUE(prompter.records.empty());
}

}  // namespace
