// The pieces every command shares: the option parser and its value readers,
// the JSON, CSV and table writers, and the help made from the command table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "base/gbk.h"
#include "cli/command.h"
#include "cli/csv.h"
#include "cli/json.h"
#include "cli/numbers.h"
#include "cli/text_table.h"
#include "cli/values.h"
#include "support/json_value.h"

namespace {

using cli::Invocation;

std::optional<Invocation> Parse(const std::string& command, const std::vector<std::string>& words,
                                std::string* error) {
    const cli::CommandSpec* command_spec = cli::FindCommand(command);
    EXPECT_NE(command_spec, nullptr) << command;
    return Invocation::Parse(*command_spec, words, error);
}

std::string Refusal(const std::string& command, const std::vector<std::string>& words) {
    std::string error;
    const auto in = Parse(command, words, &error);
    EXPECT_FALSE(in.has_value()) << command;
    return error;
}

TEST(CliValues, DatesCodesMarketsTypesAndIndicatorsReadOneWayEverywhere) {
    EXPECT_EQ(cli::ParseDate("20140321"), 20140321u);
    EXPECT_EQ(cli::ParseDate("2014-03-21"), 20140321u);
    EXPECT_EQ(cli::ParseDate("2024-02-29"), 20240229u);
    for (const char* bad : {"2023-02-29", "20141301", "20140300", "2014321", "2014/03/21",
                            "2014-3-21", "", "201403210"})
        EXPECT_FALSE(cli::ParseDate(bad).has_value()) << bad;

    EXPECT_EQ(cli::ParseCode("600000"), 600000u);
    EXPECT_EQ(cli::ParseCode("1"), 1u);
    for (const char* bad : {"6000000", "60000A", "", "-1"}) EXPECT_FALSE(cli::ParseCode(bad)) << bad;

    EXPECT_EQ(cli::ParseMarket("cy"), picking::CandidateMarket::ChiNext);
    EXPECT_EQ(cli::ParseMarket("ALL"), picking::CandidateMarket::All);
    EXPECT_EQ(cli::ParseMarket("沪市"), picking::CandidateMarket::Shanghai);
    EXPECT_FALSE(cli::ParseMarket("hk"));

    EXPECT_EQ(cli::ParseScanType("3"), sectors::ScanType::Fall);
    EXPECT_EQ(cli::ParseScanType("turnover"), sectors::ScanType::Fund);
    EXPECT_EQ(cli::ParseScanType("涨幅"), sectors::ScanType::Hot);
    EXPECT_FALSE(cli::ParseScanType("4"));

    EXPECT_EQ(cli::ParseIndicator("4"), 4);
    EXPECT_EQ(cli::ParseIndicator("macd"), 4);
    EXPECT_EQ(cli::ParseIndicator("MA"), 0);
    EXPECT_EQ(cli::ParseIndicator("W&R"), 8);
    EXPECT_EQ(cli::ParseIndicator("wr"), 8);
    EXPECT_FALSE(cli::ParseIndicator("18"));
    EXPECT_FALSE(cli::ParseIndicator("004"));
    EXPECT_FALSE(cli::ParseIndicator("MACD2"));
    // Every name the help lists reads back as its own number.
    for (int i = 0; i <= 17; ++i) EXPECT_EQ(cli::ParseIndicator(cli::IndicatorName(i)), i);

    EXPECT_EQ(cli::ParsePeriod("week"), data::Period::Weekly);
    EXPECT_EQ(cli::ParseAdjust("backward"), data::AdjustMode::Backward);
    EXPECT_FALSE(cli::ParseAdjust("both"));
}

TEST(CliValues, ScanPercentsCarryTheirSignAndStartThresholdsAreTheWindows) {
    EXPECT_EQ(cli::ScanPercentText(sectors::ScanType::Hot, 1007), "10.07");
    EXPECT_EQ(cli::ScanPercentText(sectors::ScanType::Fall, 674), "-6.74");
    EXPECT_EQ(cli::ScanPercentText(sectors::ScanType::Fall, 5), "-0.05");
    EXPECT_EQ(cli::ScanPercentText(sectors::ScanType::Fund, 150), "150");
    EXPECT_EQ(cli::StartThreshold(sectors::ScanType::Hot), 200);
    EXPECT_EQ(cli::StartThreshold(sectors::ScanType::Fund), 100);
    EXPECT_EQ(cli::StartThreshold(sectors::ScanType::Fall), 150);
}

TEST(CliOptions, ValuesAreCheckedByKindWhenParsed) {
    std::string error;
    auto in = Parse("scan",
                    {"--data", "d", "--type", "3", "--threshold", "7.5", "--market=cy", "--date",
                     "2026-11-20", "--top", "5", "--json"},
                    &error);
    ASSERT_TRUE(in.has_value()) << error;
    EXPECT_EQ(in->Text("data"), "d");
    EXPECT_EQ(in->Type(), sectors::ScanType::Fall);
    EXPECT_EQ(in->Threshold(), 750);
    EXPECT_EQ(in->Market(), picking::CandidateMarket::ChiNext);
    EXPECT_EQ(in->Date(), 20261120u);
    EXPECT_EQ(in->Number("top"), 5);
    EXPECT_EQ(in->Format(), cli::OutputFormat::Json);
    EXPECT_FALSE(in->Optional("list").has_value());

    // The threshold is read in the unit of the type given with it.
    in = Parse("scan", {"--data", "d", "--type", "2", "--threshold", "150", "--list", "f", "--csv"},
               &error);
    ASSERT_TRUE(in.has_value()) << error;
    EXPECT_EQ(in->Threshold(), 150);
    EXPECT_EQ(in->Format(), cli::OutputFormat::Csv);
    EXPECT_NE(Refusal("scan", {"--data", "d", "--type", "2", "--threshold", "1.5", "--market", "sh"})
                  .find("成交增加阈值是整数百分数"),
              std::string::npos);
    EXPECT_NE(Refusal("scan", {"--data", "d", "--type", "1", "--threshold", "7.555", "--market", "sh"})
                  .find("涨幅阈值是最多两位小数的百分数"),
              std::string::npos);

    // The older spelling of an option still reaches it.
    in = Parse("pick", {"--data", "d", "--method", "a3(5,2.00,30.00);", "--market", "all",
                        "--scan-type", "3"},
               &error);
    ASSERT_TRUE(in.has_value()) << error;
    EXPECT_EQ(in->Type(), sectors::ScanType::Fall);
    EXPECT_FALSE(in->Threshold().has_value());

    // import's --csv takes a path, scan's is a flag.
    in = Parse("import", {"--data", "d", "--csv", "exports"}, &error);
    ASSERT_TRUE(in.has_value()) << error;
    EXPECT_EQ(in->Text("csv"), "exports");
    EXPECT_EQ(in->Format(), cli::OutputFormat::Text);
}

TEST(CliOptions, EveryKindOfMistakeIsNamed) {
    const std::vector<std::string> scan = {"--data", "d", "--type", "1", "--threshold", "5"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> words = scan;
        words.insert(words.end(), more.begin(), more.end());
        return Refusal("scan", words);
    };
    EXPECT_EQ(with({"--market", "all", "--stock", "1"}),
              "未知选项 --stock（bkqy-cli help scan 列出全部选项）");
    EXPECT_EQ(with({"--market", "hk"}),
              "--market 的值 “hk” 应为 sh（沪市）、sz（深市）、cy（创板）或 all（全市）");
    EXPECT_EQ(with({"--market", "all", "--date", "20261301"}),
              "--date 的值 “20261301” 不是日期：应为 YYYYMMDD 或 YYYY-MM-DD，如 20140321");
    EXPECT_EQ(with({"--market", "all", "--top", "0"}), "--top 的值 “0” 应为不小于 1 的整数");
    EXPECT_EQ(with({"--market", "all", "--top"}), "--top 缺少值 N");
    EXPECT_EQ(with({"--market", "all", "--json=1"}), "--json 不带值");
    EXPECT_EQ(with({"--market", "all", "--market", "sh"}), "--market 给出了不止一次");
    EXPECT_EQ(with({"--market", "all", "extra"}), "多余的参数 “extra”");
    EXPECT_EQ(with({}), "需要 --market、--list 之一");
    EXPECT_EQ(with({"--market", "all", "--list", "f"}), "--market、--list 只能给出其中一个");
    EXPECT_EQ(with({"--market", "all", "--json", "--csv"}), "--json、--csv 只能给出其中一个");
    EXPECT_EQ(Refusal("scan", {"--type", "1", "--threshold", "5", "--market", "all"}),
              "缺少 --data DIR");
    EXPECT_EQ(Refusal("estimate", {"--data", "d", "--code", "60000A"}),
              "--code 的值 “60000A” 不是证券代码：应为六位数字，如 600000");
    EXPECT_EQ(Refusal("chart", {"--data", "d", "--code", "1", "--indicator", "0", "--png", "p"}),
              "--indicator 的值 “0” 应为 1 到 17 的指标号或指标名（如 4 或 MACD）");
    EXPECT_EQ(Refusal("demo", {"--data", "d", "--years", "99999999999"}),
              "--years 的值 “99999999999” 应为 1 到 100 的整数");
    EXPECT_EQ(Refusal("bars", {"--data", "d", "--code", "1"}), "需要 --json、--csv 之一");

    // install takes plain words as its files.
    std::string error;
    const auto install = Parse("install", {"--data", "d", "a.TXT", "--force", "b.TXT"}, &error);
    ASSERT_TRUE(install.has_value()) << error;
    EXPECT_EQ(install->Files(), (std::vector<std::string>{"a.TXT", "b.TXT"}));
    EXPECT_TRUE(install->Has("force"));
}

// The help is made from the table the parser reads: every option is listed,
// and every example it shows parses.
TEST(CliHelp, EveryCommandsPageListsItsOptionsAndItsExamplesParse) {
    for (const cli::CommandSpec& command : cli::Commands()) {
        const std::string page = cli::CommandHelp(command);
        EXPECT_EQ(page.rfind("用法：bkqy-cli " + std::string(command.name) + " ", 0), 0u);
        for (const cli::OptionSpec& option : command.options)
            EXPECT_NE(page.find("  --" + std::string(option.name)), std::string::npos)
                << command.name << " --" << option.name;
        std::istringstream examples{std::string(command.examples)};
        size_t count = 0;
        for (std::string line; std::getline(examples, line); ++count) {
            std::istringstream words(line);
            std::vector<std::string> parts;
            for (std::string w; words >> w;) {
                if (w.size() > 1 && w.front() == '"' && w.back() == '"') w = w.substr(1, w.size() - 2);
                parts.push_back(w);
            }
            ASSERT_GE(parts.size(), 2u) << line;
            EXPECT_EQ(parts[0], "bkqy-cli");
            EXPECT_EQ(parts[1], command.name);
            std::vector<std::string> rest(parts.begin() + 2, parts.end());
            // A shell redirection ends the command's own words.
            if (auto gt = std::find(rest.begin(), rest.end(), ">"); gt != rest.end())
                rest.erase(gt, rest.end());
            std::string error;
            EXPECT_TRUE(Invocation::Parse(command, rest, &error).has_value()) << line << ": " << error;
        }
        EXPECT_GT(count, 0u) << command.name;
    }
    const std::string overview = cli::OverviewHelp();
    for (const cli::CommandSpec& command : cli::Commands())
        EXPECT_NE(overview.find("  " + std::string(command.name) + " "), std::string::npos);
    EXPECT_NE(overview.find("17 DMA"), std::string::npos);
}

TEST(CliJson, TheWriterEscapesEveryControlCharacterAndSeparatesByItself) {
    std::string awkward = "引号\" 反斜杠\\ ";
    for (int c = 0; c < 0x20; ++c) awkward += static_cast<char>(c);
    awkward += '\x7f';
    cli::JsonWriter json;
    json.BeginObject()
        .Field("text", awkward)
        .Field("count", 3)
        .Key("list")
        .BeginArray()
        .Int(-1)
        .Null()
        .Number("10.07")
        .Number("")
        .BeginObject()
        .EndObject()
        .EndArray()
        .Field("none", std::optional<int>())
        .Field("flag", false)
        .EndObject();
    const std::string text = json.Text();
    for (char c : text) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << text;
    const auto parsed = fixture::Json::Parse(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ((*parsed)["text"].Str(), awkward);
    EXPECT_EQ((*parsed)["count"].Int(), 3);
    const fixture::Json& list = (*parsed)["list"];
    ASSERT_EQ(list.Size(), 5u);
    EXPECT_EQ(list[0].Int(), -1);
    EXPECT_TRUE(list[1].IsNull());
    EXPECT_EQ(list[2].Text(), "10.07");
    EXPECT_TRUE(list[3].IsNull());
    EXPECT_EQ(list[4].GetKind(), fixture::Json::Kind::Object);
    EXPECT_TRUE((*parsed)["none"].IsNull());
    EXPECT_FALSE((*parsed)["flag"].Bool());
}

TEST(CliNumbers, RealsComeOutAsTheShortestTextOfTheirFloat) {
    EXPECT_EQ(cli::RealText(0.12f), "0.12");
    EXPECT_EQ(cli::RealText(static_cast<double>(0.1f) * 3), "0.3");
    EXPECT_EQ(cli::RealText(2.5), "2.5");
    EXPECT_EQ(cli::RealText(-3.0), "-3");
    EXPECT_EQ(cli::RealText(std::nan("")), "");
    // Not rounded further: the text reads back as the same float.
    for (float f : {1.0f / 3, 12345.678f, -0.000123f, 65534.99f}) {
        const std::string text = cli::RealText(f);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), f) << text;
    }
}

TEST(CliCsv, FieldsThatNeedItAreQuoted) {
    EXPECT_EQ(cli::CsvLine({"a", "b,c", "say \"hi\"", "two\nlines", ""}),
              "a,\"b,c\",\"say \"\"hi\"\"\",\"two\nlines\",\n");
}

// UTF-8 of one code point below U+10000.
static std::string Utf8Of(uint32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    if (c < 0x800)
        return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(CliTextTable, WidthIsTheLengthInGbkForEveryCharacter) {
    // The width is counted without converting for the common characters: it
    // must still be what the conversion gives, for every one of them and for
    // those around them, and for broken or four-byte UTF-8.
    for (uint32_t c = 0x20; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string text = "a" + Utf8Of(c) + "1";
        ASSERT_EQ(cli::DisplayWidth(text), base::Utf8ToGbk(text).size()) << std::hex << c;
    }
    for (const char* odd : {"\xE4\xB8", "\xE4\xB8\x41", "\xF0\x9F\x98\x80", "\xFF", "光\xE4"})
        EXPECT_EQ(cli::DisplayWidth(odd), base::Utf8ToGbk(odd).size()) << odd;
}

TEST(CliTextTable, ColumnsAlignAsATerminalShowsChineseText) {
    EXPECT_EQ(cli::DisplayWidth("光通信"), 6u);
    EXPECT_EQ(cli::DisplayWidth("ab光"), 4u);
    cli::TextTable table({false, true});
    table.Add({"板块名称", "得分"});
    table.Add({"光通信", "15740"});
    table.Add({"IT服务", "9"});
    const std::string text = table.Text();
    EXPECT_EQ(text,
              "板块名称   得分\n"
              "光通信    15740\n"
              "IT服务        9\n");

    // A name from a data file with control characters cannot move the
    // cursor or break the line: each shows as '?' and keeps its column.
    EXPECT_EQ(cli::Printable("光\x1b[2J\r\n\x7f通信"), "光?[2J???通信");
    cli::TextTable names({false, true});
    names.Add({"a\tb", "1"});
    names.Add({"光通信", "22"});
    EXPECT_EQ(names.Text(), "a?b      1\n光通信  22\n");
}

}  // namespace
