// bkqy-cli as a user meets it: help on stdout, one exit code per kind of
// failure, the window commands in the program beside it, and the scan's
// bounds on 20 % boards, on a small hand-made market.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "base/file_io.h"
#include "cli/text_table.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"
#include "support/json_value.h"

namespace {

using fixture::CliRun;
using fixture::Json;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Json ParseJson(const CliRun& run) {
    auto json = Json::Parse(run.out);
    EXPECT_TRUE(json.has_value()) << run.out.substr(0, 300) << run.err;
    return json.value_or(Json());
}

constexpr uint32_t kWidened = 20200824;  // ChiNext's first 20 % day
constexpr uint32_t kFriday = 20200821;   // the trading day before

// A stock bar around a close, not one-price (a one-price bar marks a new listing).
data::Bar MovingBar(uint32_t date, uint32_t close) {
    return {date, close, close + 40, close - 40, close, 5000, 800};
}

struct Mover {
    uint32_t code;
    const char* name;
    uint32_t date;   // the day of its move
    uint32_t close;  // after it; 100.00 yuan before
};

// Around ChiNext's widening: stocks that move once, by amounts at the
// edges of both boards' bounds, all in one sector.
const std::vector<Mover>& Movers() {
    static const std::vector<Mover> movers = {
        {300001, "创业早涨", kFriday, 11999},    // +19.99 % a day before the widening
        {300002, "创业新涨", kWidened, 11999},   // +19.99 % on its first day
        {300003, "创业大跌", kWidened, 8001},    // -19.99 %
        {688001, "科创涨停", kWidened, 12001},   // +20.01 %, a limit-up rounded up
        {600001, "主板过限", kWidened, 11021},   // +10.21 %
        {600002, "主板近限", kWidened, 11019},   // +10.19 %
        {600003, "主板大跌", kWidened, 8900},    // -11.00 %
        {600004, "主板跌限", kWidened, 8901},    // -10.99 %
    };
    return movers;
}

class CliMarket : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_market = new fixture::FixtureMarket;
        const std::vector<uint32_t> days = fixture::Weekdays(20200601, 61);
        ASSERT_EQ(days.back(), kWidened);
        std::vector<data::CodeEntry> codes = {{999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
        std::vector<uint32_t> members;
        for (const Mover& m : Movers()) {
            codes.push_back({m.code, fixture::Gbk(m.name), "GP", 1000, 1000});
            members.push_back(m.code);
            std::vector<data::Bar> bars;
            uint32_t close = 10000;
            for (uint32_t day : days) {
                if (day == m.date) close = m.close;
                bars.push_back(MovingBar(day, close));
            }
            s_market->WriteDayFile(m.code, bars);
        }
        std::sort(members.begin(), members.end());  // the library lists members by code
        std::sort(codes.begin(), codes.end(),
                  [](const data::CodeEntry& a, const data::CodeEntry& b) { return a.code < b.code; });
        s_market->WriteCodeTable(20200824, codes);
        s_market->WriteExRights(20200824, std::vector<data::ExRightsStock>{});
        s_market->WriteSectorLibrary(20200824, {20, 200, 20},
                                     std::vector<data::SectorRecord>{
                                         {4, 1, fixture::Gbk("涨跌幅限制"), members}});
        s_market->WriteExamples("demo 203:120200824 done");
        std::vector<data::Bar> index;
        for (uint32_t day : days) index.push_back({day, 300000, 301000, 299000, 300000, 90000, 5000000});
        s_market->WriteDayFile(999999, index);
    }
    static void TearDownTestSuite() { delete s_market; }

    CliRun Run(const std::string& arguments) {
        return fixture::RunCli(arguments, m_scratch.Path());
    }
    std::string Data() const { return "--data '" + s_market->Root() + "'"; }

    // The codes a scan selected, with their recorded values.
    std::map<uint32_t, int64_t> Selected(const std::string& options) {
        const CliRun run = Run("scan " + Data() + " --market all --json " + options);
        EXPECT_EQ(run.exitCode, 0) << options << run.err;
        std::map<uint32_t, int64_t> selected;
        const Json json = ParseJson(run);
        EXPECT_EQ(json["selected_count"].Int(), static_cast<int64_t>(json["selected"].Size()));
        for (const Json& s : json["selected"].Array())
            selected[static_cast<uint32_t>(std::stoul(s["code"].Str()))] = s["value_raw"].Int();
        return selected;
    }

    static fixture::FixtureMarket* s_market;
    fixture::TempDir m_scratch;
};

fixture::FixtureMarket* CliMarket::s_market = nullptr;

TEST_F(CliMarket, HelpAndVersionGoToStdoutAndExitZero) {
    for (const std::string words : {"--help", "-h", "help", "--version"}) {
        const CliRun run = Run(words);
        EXPECT_EQ(run.exitCode, 0) << words;
        EXPECT_TRUE(run.err.empty()) << words << run.err;
        EXPECT_NE(run.out.find("bkqy-cli"), std::string::npos) << words;
    }
    EXPECT_NE(Run("--help").out.find("退出码"), std::string::npos);
    for (const std::string command : {"scan", "pick", "history", "estimate", "indicator", "bars",
                                      "summary", "methods", "chart", "shot", "install", "import",
                                      "demo", "watch"}) {
        const CliRun help = Run("help " + command);
        const CliRun option = Run(command + " --help");
        // Help never starts a command, whatever else the line holds.
        const CliRun mixed = Run(command + " --data /nowhere --bogus --help");
        ASSERT_EQ(help.exitCode, 0) << command;
        EXPECT_EQ(option.exitCode, 0) << command;
        EXPECT_EQ(mixed.exitCode, 0) << command;
        EXPECT_EQ(help.out, option.out) << command;
        EXPECT_EQ(help.out, mixed.out) << command;
        EXPECT_EQ(help.out.rfind("用法：bkqy-cli " + command + " ", 0), 0u) << command;
        EXPECT_NE(help.out.find("示例："), std::string::npos) << command;
        EXPECT_TRUE(help.err.empty() && option.err.empty()) << command;
    }
    // Without a command: the overview, as a usage error.
    const CliRun bare = Run("");
    EXPECT_EQ(bare.exitCode, 2);
    EXPECT_TRUE(bare.out.empty());
    EXPECT_NE(bare.err.find("用法：bkqy-cli COMMAND"), std::string::npos);
}

TEST_F(CliMarket, UsageErrorsExitTwoAndRefusalsExitOne) {
    const std::string data = Data();
    struct Case {
        std::string arguments;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"frobnicate", 2, "bkqy-cli: 未知命令 “frobnicate”"},
        {"help frobnicate", 2, "未知命令"},
        {"scan --type 1 --threshold 5 --market all", 2, "bkqy-cli scan: 缺少 --data DIR"},
        {"scan " + data + " --type 1 --threshold 5 --market all --stock 1", 2, "未知选项 --stock"},
        {"scan " + data + " --type 1 --threshold 5 --market xx", 2, "--market 的值 “xx”"},
        {"scan " + data + " --type 1 --threshold 5 --market all --date 20201301", 2, "不是日期"},
        {"scan " + data + " --type 2 --threshold 7.5 --market all", 2, "成交增加阈值是整数百分数"},
        {"pick " + data + " --method nonsense --market all", 2, "不是选股方法条目"},
        {"history " + data + " --method \"a3(1,5.00,9.00);\" --market all", 2, "缺少 --lookback L"},
        {"estimate " + data + " --code 60000A", 2, "不是证券代码"},
        {"indicator " + data + " --code 600001 --indicator 18", 2, "--indicator 的值 “18”"},
        {"bars " + data + " --code 600001", 2, "需要 --json、--csv 之一"},
        {"bars " + data + " --code 600001 --csv --from 20200801 --to 20200701", 2, "晚于 --to"},
        {"shot " + data + " --threshold 5 --png x.png", 2, "--threshold 要与 --type 一起给出"},
        {"shot " + data + " --condition a3 --png x.png", 2, "--condition 要与 --page picking 一起给出"},
        {"shot " + data + " --page pick --png x.png", 2, "--page 只能是 sector、picking 或 rotation"},
        {"shot " + data + " --page rotation --png x.png", 2, "--page rotation 要与 --type 一起给出"},
        {"shot " + data + " --type 1 --days 30 --png x.png", 2, "--days 要与 --page rotation 一起给出"},
        {"shot " + data + " --type 1 --page rotation --days 10 --png x.png", 2, "--days 的值 “10”"},
        {"shot " + data + " --page picking --condition b8 --png x.png", 2, "“b8”不是方法库中的选股条件"},
        {"shot " + data + " --page picking --condition b018 --png x.png", 2, "不是方法库中的选股条件"},
        {"watch " + data, 2, "请给出一个动作"},
        {"chart " + data + " --code 600001", 2, "缺少 --png FILE"},
        {"chart " + data + " --code 600001 --scale 3 --png x.png", 2, "--scale 的值 “3” 应为 1 到 2 的整数"},
        {"chart " + data + " --code 600001 --area top --png x.png", 2, "--area 的值 “top”"},
        {"import " + data + " --sectors a.csv --names b.csv", 2, "--names FILE 只与 --vipdoc 或 --csv 同用"},
        {"install " + data, 2, "缺少要安装的文件"},
        // Refused by the data or the input.
        {"scan " + data + " --type 1 --threshold 5 --market all --date 20000110", 1,
         "bkqy-cli scan: 模拟日期的范围在20200601--20200824之间"},
        {"estimate " + data + " --code 600001 --date 2000-01-10", 1, "模拟日期的范围在"},
        {"chart " + data + " --code 600001 --date 20000110 --png x.png", 1, "模拟日期的范围在"},
        {"shot " + data + " --date 20000110 --png x.png", 1, "模拟日期的范围在"},
        {"scan " + data + " --type 1 --threshold 20 --market all", 1,
         "bkqy-cli scan: 扫描的单日涨幅不能大于等于20%"},
        {"scan " + data + " --type 3 --threshold 20.5 --market all", 1, "扫描的单日跌幅不能大于等于20%"},
        {"scan " + data + " --type 1 --threshold 5 --list /nowhere.TXT", 1, "文件不存在：/nowhere.TXT"},
        {"estimate " + data + " --code 600009", 1, "600009：未找到该代码对应股票"},
        {"bars " + data + " --code 600009 --csv", 1, "600009股票数据文件不存在"},
        {"summary --data /nowhere/at/all", 1, "bkqy-cli summary: "},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << "\n" << run.err;
        EXPECT_TRUE(run.out.empty()) << c.arguments << "\n" << run.out;
    }
}

TEST_F(CliMarket, OnlyTheWindowProgramLinksTheWindowLibraries) {
    const std::string cli = BKQY_CLI_PATH;
    const std::string window = cli.substr(0, cli.rfind('/') + 1) + "bkqy-cli-window";
    EXPECT_EQ(ReadText(cli).find("libQt6"), std::string::npos);
    EXPECT_NE(ReadText(window).find("libQt6"), std::string::npos);

    // shot and chart are handed over to it and save the window.
    const std::string png = m_scratch.Path() + "/shot.png";
    const CliRun shot = Run("shot " + Data() + " --type 1 --threshold 5 --png '" + png + "'");
    ASSERT_EQ(shot.exitCode, 0) << shot.err;
    EXPECT_EQ(shot.out, png + "\n");
    EXPECT_EQ(ReadText(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const CliRun picking = Run("shot " + Data() + " --page picking --condition b18 --png '" + png + "'");
    ASSERT_EQ(picking.exitCode, 0) << picking.err;
    EXPECT_EQ(picking.out, png + "\n");
    const CliRun rotation =
        Run("shot " + Data() + " --type 1 --threshold 3 --page rotation --days 20 --png '" + png + "'");
    ASSERT_EQ(rotation.exitCode, 0) << rotation.err;
    EXPECT_EQ(rotation.out, png + "\n");
    const std::string chart = m_scratch.Path() + "/chart.png";
    const CliRun run = Run("chart " + Data() + " --code 688001 --indicator macd --period week "
                           "--date 2020-08-21 --png '" + chart + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadText(chart).substr(1, 3), "PNG");

    // Only the chart's half of the window, at twice the pixels: the PNG's
    // header holds its width and height.
    const CliRun half = Run("chart " + Data() + " --code 600001 --scale 2 --area chart --png '" +
                            chart + "'");
    ASSERT_EQ(half.exitCode, 0) << half.err;
    const std::string header = ReadText(chart).substr(16, 8);
    const auto word = [&](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(header[at + i]);
        return v;
    };
    EXPECT_EQ(word(0), 2u * 1023);
    EXPECT_EQ(word(4), 2u * 380);
}

// A 20 % board's move is counted up to its own bounds; ChiNext's widening
// counts from its first day; every other stock keeps the 10 % bounds.
TEST_F(CliMarket, ScanBoundsFollowTheStocksBoardOnTheReferenceDay) {
    auto rises = Selected("--type 1 --threshold 5");
    EXPECT_EQ(rises, (std::map<uint32_t, int64_t>{{300002, 1999}, {688001, 2001}, {600002, 1019}}));
    // The same +19.99 % on the Friday before is past a 10 % board's bounds.
    EXPECT_TRUE(Selected("--type 1 --threshold 5 --date 20200821").empty());
    // Rises above 10 % can be scanned on the 20 % boards.
    EXPECT_EQ(Selected("--type 1 --threshold 19.99"),
              (std::map<uint32_t, int64_t>{{300002, 1999}, {688001, 2001}}));
    auto falls = Selected("--type 3 --threshold 10.5");
    EXPECT_EQ(falls, (std::map<uint32_t, int64_t>{{300003, 1999}, {600004, 1099}}));

    // The JSON states each value in percent with its sign, the integer beside it.
    const CliRun run = Run("scan " + Data() + " --market all --json --type 3 --threshold 10.5");
    const Json json = ParseJson(run);
    EXPECT_EQ(json["date"].Int(), kWidened);
    EXPECT_EQ(json["type_name"].Str(), "跌幅");
    EXPECT_EQ(json["threshold"].Text(), "-10.50");
    EXPECT_EQ(json["threshold_raw"].Int(), 1050);
    EXPECT_EQ(json["market"].Str(), "all");
    EXPECT_TRUE(json["list"].IsNull());
    ASSERT_EQ(json["sectors"].Size(), 1u);
    const Json& sector = json["sectors"][0];
    EXPECT_EQ(sector["name"].Str(), "涨跌幅限制");
    EXPECT_EQ(sector["number"].Int(), 4001);
    EXPECT_EQ(sector["members"].Int(), 8);
    EXPECT_EQ(sector["hits"].Int(), 2);
    EXPECT_TRUE(sector["qualified"].Bool());
    ASSERT_EQ(sector["stocks"].Size(), 2u);
    EXPECT_EQ(sector["stocks"][0]["name"].Str(), "创业大跌");
    EXPECT_EQ(sector["stocks"][0]["value"].Text(), "-19.99");
    EXPECT_EQ(sector["stocks"][0]["value_raw"].Int(), 1999);
}

TEST_F(CliMarket, ScanTablesAndCsvNameTheirColumns) {
    const CliRun text = Run("scan " + Data() + " --type 1 --threshold 5 --market all");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    std::vector<std::string> lines;
    std::istringstream in(text.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 6u) << text.out;
    EXPECT_EQ(lines[0].rfind("参考日 2020.08.24  全市  热点板块：涨幅≥5.00%  待选股 8  选出股 3", 0), 0u)
        << lines[0];
    EXPECT_EQ(lines[1], "排名  板块序号  板块名称    选出股  成员股   得分  涨停  跌停  最高连板");
    // Each value ends under the end of its heading. 688001's 120.01 is past
    // its limit price of 120.00, not at it: no limit-up.
    EXPECT_EQ(lines[2], "   1      4001  涨跌幅限制       3       8  18800     0     0         -");
    EXPECT_EQ(cli::DisplayWidth(lines[2]), cli::DisplayWidth(lines[1]));
    EXPECT_EQ(lines[3], "      688001  科创涨停  +20.01%");
    EXPECT_EQ(lines[5], "      600002  主板近限  +10.19%");

    const CliRun csv = Run("scan " + Data() + " --type 1 --threshold 5 --market all --csv --top 1");
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "rank,number,sector,hits,members,score,code,name,value,value_raw,limit_up,"
              "limit_down,streak,streak_code");
    EXPECT_NE(csv.out.find("\n1,4001,涨跌幅限制,3,8,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",688001,科创涨停,20.01,2001,0,0,0,\n"), std::string::npos) << csv.out;
}

// bars against the records of the day files, decoded here by hand.
TEST_F(CliMarket, BarsExportTheDayFileRecordsInYuanLotsAndYuan) {
    auto words = [](const std::string& bytes, size_t index) {
        uint32_t w = 0;
        for (int b = 3; b >= 0; --b) w = w << 8 | static_cast<uint8_t>(bytes[index * 4 + b]);
        return w;
    };
    auto yuan = [](uint32_t hundredths) {
        char text[32];
        std::snprintf(text, sizeof text, "%u.%02u", hundredths / 100, hundredths % 100);
        return std::string(text);
    };
    // A stock's 20-byte records: prices packed in 16-bit halves.
    const std::string stock = ReadText(s_market->Paths().szFolder + "300002.day");
    const CliRun csv = Run("bars " + Data() + " --code 300002 --csv --from 2020-08-03");
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    std::string expected = "date,open,high,low,close,volume,amount\n";
    for (size_t r = 0; 8 + r * 5 + 5 <= stock.size() / 4; ++r) {
        const size_t at = 8 + r * 5;
        if (words(stock, at) < 20200803) continue;
        const uint32_t w1 = words(stock, at + 1), w2 = words(stock, at + 2);
        expected += std::to_string(words(stock, at)) + "," + yuan(w1 & 0xFFFF) + "," +
                    yuan(w1 >> 16) + "," + yuan(w2 & 0xFFFF) + "," + yuan(w2 >> 16) + "," +
                    std::to_string(words(stock, at + 4)) + "," +
                    std::to_string(uint64_t{words(stock, at + 3)} * 10000) + "\n";
    }
    EXPECT_EQ(csv.out, expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 1 + 16);

    // An index's 28-byte records: volume as recorded in lots.
    const std::string index = ReadText(s_market->Paths().shFolder + "999999.day");
    const CliRun json = Run("bars " + Data() + " --code 999999 --json --to 20200602");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const Json j = ParseJson(json);
    EXPECT_TRUE(j["index"].Bool());
    EXPECT_EQ(j["units"]["price"].Str(), "点");
    EXPECT_EQ(j["units"]["volume"].Str(), "手");
    EXPECT_EQ(j["name"].Str(), "上证指数");
    EXPECT_EQ(j["to"].Int(), 20200602);
    EXPECT_TRUE(j["from"].IsNull());
    ASSERT_EQ(j["bar_count"].Int(), 2);
    ASSERT_EQ(j["bars"].Size(), 2u);
    for (size_t r = 0; r < 2; ++r) {
        const Json& bar = j["bars"][r];
        const size_t at = 8 + r * 7;
        EXPECT_EQ(bar["date"].Int(), words(index, at));
        EXPECT_EQ(bar["open"].Text(), yuan(words(index, at + 1)));
        EXPECT_EQ(bar["close"].Text(), yuan(words(index, at + 4)));
        EXPECT_EQ(bar["amount"].Int(), int64_t{words(index, at + 5)} * 10000);
        EXPECT_EQ(bar["volume"].Int(), words(index, at + 6));
    }
    // Weekly bars end on the week's last trading day.
    const Json weeks = ParseJson(Run("bars " + Data() + " --code 300002 --json --period week"));
    EXPECT_EQ(weeks["bar_count"].Int(), 13);
    EXPECT_EQ(weeks["bars"][11]["date"].Int(), 20200821);
    EXPECT_EQ(weeks["bars"][12]["close"].Text(), "119.99");
}

TEST_F(CliMarket, EstimateRefusesAnIndexWithItsOwnLastDay) {
    const CliRun index = Run("estimate " + Data() + " --code 999999 --json");
    EXPECT_EQ(index.exitCode, 1);
    EXPECT_TRUE(index.out.empty());
    EXPECT_NE(index.err.find("999999 上证指数：指数不能测算顶部底部，只测算个股（该指数最后一个交易日为 20200824）"),
              std::string::npos)
        << index.err;
    const CliRun simulated = Run("estimate " + Data() + " --code 999999 --date 20200822");
    EXPECT_NE(simulated.err.find("最后一个交易日为 20200821"), std::string::npos) << simulated.err;

    const CliRun stock = Run("estimate " + Data() + " --code 300002 --json");
    ASSERT_EQ(stock.exitCode, 0) << stock.err;
    const Json j = ParseJson(stock);
    EXPECT_EQ(j["code"].Str(), "300002");
    EXPECT_EQ(j["name"].Str(), "创业新涨");
    EXPECT_EQ(j["date"].Int(), kWidened);
    EXPECT_FALSE(j["simulation"].Bool());
    ASSERT_EQ(j["top_factors"].Size(), 5u);
    // A new high today: the ten-bar high is not old; the close is above its averages.
    EXPECT_EQ(j["top_factors"][0]["name"].Str(), "近4日内未创新高");
    EXPECT_FALSE(j["top_factors"][0]["present"].Bool());
    EXPECT_EQ(j["top_factors"][0]["weight"].Int(), 18);
    int64_t bottom = 0;
    for (const Json& f : j["bottom_factors"].Array())
        if (f["present"].Bool()) bottom += f["weight"].Int();
    EXPECT_EQ(j["bottom"].Int(), bottom == 0 ? 10 : bottom);
}

TEST_F(CliMarket, SummaryJsonCarriesWhatTheTextSays) {
    const CliRun run = Run("summary " + Data() + " --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json j = ParseJson(run);
    EXPECT_EQ(j["code_table"]["records"].Int(), 9);
    EXPECT_EQ(j["code_table"]["date"].Int(), 20200824);
    EXPECT_EQ(j["sector_library"]["sectors"].Int(), 1);
    EXPECT_EQ(j["sector_library"]["weights"]["count"].Int(), 200);
    EXPECT_EQ(j["index"]["code"].Str(), "999999");
    EXPECT_EQ(j["index"]["first_date"].Int(), 20200601);
    EXPECT_EQ(j["breadth"]["date"].Int(), kWidened);
    EXPECT_EQ(j["breadth"]["stocks"].Int(), 8);
    EXPECT_EQ(j["breadth"]["up"].Int(), 4);
    EXPECT_EQ(j["breadth"]["down"].Int(), 3);
    EXPECT_EQ(j["breadth"]["flat"].Int(), 1);
    EXPECT_EQ(j["breadth"]["up_7_5"].Int(), 4);
    EXPECT_GE(j["elapsed_ms"]["startup"].Number(), 0);
}

}  // namespace
