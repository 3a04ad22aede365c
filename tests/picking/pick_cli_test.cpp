// bkqy-cli pick and history end to end on a small demo market, checked
// against an independent recomputation of the N-day change from the day
// files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/gbk.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/startup.h"
#include "picking/evaluation.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"
#include "support/json_value.h"

namespace {

using fixture::CliRun;
using fixture::RunCli;

struct PickJson {
    uint32_t date = 0;
    std::string method;
    size_t candidates = 0;
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> selected;  // code, mark
    size_t rejected = 0;
};

// The one JSON object pick prints.
std::optional<PickJson> ParsePick(const std::string& out) {
    const auto json = fixture::Json::Parse(out);
    if (!json) return std::nullopt;
    PickJson pick;
    pick.date = static_cast<uint32_t>((*json)["date"].Int());
    pick.method = (*json)["method"].Str();
    pick.candidates = static_cast<size_t>((*json)["candidates"].Int());
    for (const fixture::Json& s : (*json)["selected"].Array()) {
        std::vector<uint32_t> mark;
        for (const fixture::Json& v : s["mark_raw"].Array()) mark.push_back(static_cast<uint32_t>(v.Int()));
        pick.selected.emplace_back(static_cast<uint32_t>(std::stoul(s["code"].Str())), mark);
    }
    pick.rejected = static_cast<size_t>((*json)["rejected_count"].Int());
    if ((*json)["selected_count"].Int() != static_cast<int64_t>(pick.selected.size()))
        return std::nullopt;
    return pick;
}

// A report line: code, blank, 8-byte name, "--", two blanks per day back, date.
struct ReportLine {
    uint32_t code = 0;
    size_t back = 0;
    uint32_t date = 0;
};

std::optional<ReportLine> ParseReportLine(const std::string& line) {
    const auto digits = [&](size_t from, size_t count) {
        if (from + count > line.size()) return false;
        for (size_t i = from; i < from + count; ++i)
            if (!std::isdigit(static_cast<unsigned char>(line[i]))) return false;
        return true;
    };
    if (!digits(0, 6) || line.size() < 17 + 8 || line[6] != ' ' || line.compare(15, 2, "--") != 0)
        return std::nullopt;
    size_t pos = 17;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if ((pos - 17) % 2 != 0 || !digits(pos, 8) || pos + 8 != line.size()) return std::nullopt;
    return ReportLine{static_cast<uint32_t>(std::stoul(line.substr(0, 6))), (pos - 17) / 2,
                      static_cast<uint32_t>(std::stoul(line.substr(pos)))};
}

// The demo market, generated once for all the tests here.
class PickCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new fixture::TempDir;
        const CliRun demo = RunCli(
            "demo --data " + Root() + " --stocks 200 --years 2 --end 20261204", s_dir->Path());
        ASSERT_EQ(demo.exitCode, 0) << demo.err;
        s_workspace = new data::Workspace;
        s_market = new data::MarketState;
        base::RecordingPrompter prompter;
        ASSERT_EQ(data::RunStartup(*s_workspace, Root(), prompter, 0, *s_market),
                  data::StartupOutcome::Ready);
    }
    static void TearDownTestSuite() {
        delete s_market;
        delete s_workspace;
        delete s_dir;
    }
    static std::string Root() { return s_dir->Path() + "/market"; }

    CliRun Run(const std::string& command, const std::string& options) {
        return RunCli(command + " --data " + Root() + " " + options, m_scratch.Path());
    }

    static data::SeriesView Index() {
        return s_market->index.View(s_workspace->Words(data::BufferId::Index));
    }

    // The index date on or before `date`, and the one n bars before it.
    static std::pair<uint32_t, uint32_t> Window(uint32_t date, size_t n) {
        const auto index = Index();
        size_t at = index.BarCount() - 1;
        while (at > 0 && data::BarDate(index, index.firstBar + at * 7) > date) --at;
        const size_t from = at >= n ? at - n : 0;
        return {data::BarDate(index, index.firstBar + at * 7),
                data::BarDate(index, index.firstBar + from * 7)};
    }

    struct Change {
        bool has = false;
        int64_t value = 0;
        bool young = false;
    };

    // The N-day change of a stock to a reference day, computed here from the
    // whole day file with forward-adjusted closes.
    static Change Recompute(uint32_t code, uint32_t reference, uint32_t windowStart, size_t n) {
        Change c;
        std::vector<uint32_t> image(data::kScanAreaWords);
        auto words = data::ReadDayImage(data::DayFilePath(s_market->paths, code), image, 5);
        if (!words || *words <= 8) return c;
        data::SeriesView v;
        v.image = image;
        v.end = *words;
        v.adjuster = {&s_market->exRights, s_market->exRights.FindEntry(code),
                      data::AdjustMode::Forward};
        std::vector<size_t> offsets;
        for (size_t o = 8; o < *words; o += 5) offsets.push_back(o);
        size_t today = offsets.size();
        for (size_t i = 0; i < offsets.size(); ++i)
            if (image[offsets[i]] == reference) today = i;
        if (today == offsets.size() || today < n || today == 0) return c;
        if (image[offsets[today - 1]] < windowStart) return c;  // no second bar in the window
        const auto onePrice = [&](size_t i) {
            return image[offsets[i] + 1] == image[offsets[i] + 2];
        };
        c.young = today < 7 ||
                  (today <= 30 && onePrice(today) && onePrice(today - 1) && onePrice(today - 2));
        const int64_t c0 = data::BarClose(v, offsets[today]),
                      cN = data::BarClose(v, offsets[today - n]);
        if (cN == 0) return c;
        const int64_t size = (2 * std::llabs(c0 - cN) * 10000 + cN) / (2 * cN);
        c.value = c0 < cN ? -size : size;
        c.has = true;
        return c;
    }

    // Every stock of the code table: which pass a3 with these bounds.
    static std::set<uint32_t> ExpectedA3(uint32_t date, size_t n, int64_t low, int64_t high) {
        const auto [reference, start] = Window(date, n);
        data::CodeTable codes(s_workspace->CodeTableRegion());
        std::set<uint32_t> pass;
        for (size_t i = 0; i < codes.Count(); ++i) {
            const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
            if (data::IsIndexCode(code)) continue;
            const Change c = Recompute(code, reference, start, n);
            if (c.has && !c.young && c.value >= low && c.value <= high) pass.insert(code);
        }
        return pass;
    }

    static fixture::TempDir* s_dir;
    static data::Workspace* s_workspace;
    static data::MarketState* s_market;
    fixture::TempDir m_scratch;
};

fixture::TempDir* PickCli::s_dir = nullptr;
data::Workspace* PickCli::s_workspace = nullptr;
data::MarketState* PickCli::s_market = nullptr;

TEST_F(PickCli, EverySelectedStockAndNoOtherPassesTheRecomputedTest) {
    const CliRun run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market all --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto json = ParsePick(run.out);
    ASSERT_TRUE(json.has_value()) << run.out;
    EXPECT_EQ(json->date, 20261204u);
    EXPECT_EQ(json->method, "a3(5,2.00,30.00);");
    EXPECT_EQ(json->candidates, 200u);
    EXPECT_EQ(json->selected.size() + json->rejected, 200u);

    const auto [reference, start] = Window(20261204, 5);
    std::set<uint32_t> selected;
    for (const auto& [code, mark] : json->selected) {
        selected.insert(code);
        const Change c = Recompute(code, reference, start, 5);
        ASSERT_TRUE(c.has) << code;
        EXPECT_EQ(mark, std::vector<uint32_t>{static_cast<uint32_t>(c.value)}) << code;
    }
    // The rise scan's settings as the window starts: 2.00 % up to 10.99 %.
    EXPECT_EQ(selected, ExpectedA3(20261204, 5, 200, 1099));
    EXPECT_GT(selected.size(), 5u);
}

TEST_F(PickCli, SimulationDateAndMarkets) {
    // A Sunday: the reference day is the Friday before.
    // A fall scan's settings: from its threshold up to the entry's upper bound.
    const CliRun run = Run("pick",
                           "--method \"a3(1,1.00,9.00);\" --market sh --date 20260607 --json "
                           "--type 3 --threshold 1.00");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto json = ParsePick(run.out);
    ASSERT_TRUE(json.has_value()) << run.out;
    EXPECT_EQ(json->date, 20260605u);
    data::CodeTable codes(s_workspace->CodeTableRegion());
    size_t shanghai = 0;
    for (size_t i = 0; i < codes.Count(); ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        shanghai += code >= 600000 && !data::IsIndexCode(code);
    }
    EXPECT_EQ(json->candidates, shanghai);
    std::set<uint32_t> selected;
    for (const auto& [code, mark] : json->selected) selected.insert(code);
    std::set<uint32_t> expected;
    for (uint32_t code : ExpectedA3(20260607, 1, 100, 900))
        if (code >= 600000) expected.insert(code);
    EXPECT_EQ(selected, expected);

    // The readable form lists the same stocks.
    const CliRun text = Run("pick",
                            "--method \"a3(1,1.00,9.00);\" --market sh --date 20260607 "
                            "--scan-type 3 --threshold 1");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("参考日期    20260605"), std::string::npos);
    EXPECT_NE(text.out.find("选出股      " + std::to_string(selected.size()) + " 只"),
              std::string::npos);

    // Marks of two values (a8) and a list file as candidates.
    const std::string list = m_scratch.Path() + "/list.TXT";
    std::ofstream(list, std::ios::binary)
        << base::Utf8ToGbk("擎宇选出股共2个:\r\n600000\r\n000001\r\n");
    const CliRun listed = Run("pick", "--method \"a8(5);\" --list " + list + " --json");
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    json = ParsePick(listed.out);
    ASSERT_TRUE(json.has_value()) << listed.out;
    EXPECT_EQ(json->candidates, 2u);
    for (const auto& [code, mark] : json->selected) EXPECT_EQ(mark.size(), 2u);
}

TEST_F(PickCli, RefusalsGoToStderrWithAFailingExit) {
    CliRun run = Run("pick", "--method \"b58(60);\" --market all");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("方法库中没有该选股方法"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market all --scan-type 4");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--type 的值 “4”"), std::string::npos) << run.err;
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market all --type 2 --threshold 7.5");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--threshold"), std::string::npos) << run.err;
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market all --date 20261301");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("不是日期"), std::string::npos) << run.err;
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market all --date 20001010");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("模拟日期的范围在"), std::string::npos) << run.err;
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market all --stocks 5");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("--stocks"), std::string::npos);
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market xx");
    EXPECT_NE(run.exitCode, 0);
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --market sh --list x.TXT");
    EXPECT_NE(run.exitCode, 0);
    run = Run("pick", "--method \"a3(5,2.00,30.00);\" --list " + m_scratch.Path() + "/none.TXT");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("文件不存在：" + m_scratch.Path() + "/none.TXT"), std::string::npos) << run.err;
    run = Run("pick", "--method \"z9(1);\" --market all");
    EXPECT_NE(run.exitCode, 0);
    run = Run("history", "--method \"a3(1,5.00,10.00);\" --market all");
    EXPECT_NE(run.exitCode, 0);
}

TEST_F(PickCli, HistoryWritesTheFirstPassingDays) {
    const std::string report = m_scratch.Path() + "/found.txt";
    const std::string options =
        "--method \"a3(1,5.00,9.00);\" --lookback 5 --market all --date 2026-11-27 --type 3 "
        "--threshold 5";
    const CliRun run = Run("history", options + " --out '" + report + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("bkqy-cli history: 生成文件：" + report), std::string::npos) << run.err;
    // Nothing goes into the data folder unless asked.
    EXPECT_FALSE(base::FileExists(Root() + "/MKDAT/DEMO_Find.TXT"));
    std::ifstream in(report, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string body = text.str();
    ASSERT_EQ(body.rfind("\r\n", 0), 0u);
    size_t lines = 0;
    const auto index = Index();
    std::vector<uint32_t> dates;
    for (size_t i = 0; i < index.BarCount(); ++i) dates.push_back(data::BarDate(index, 8 + i * 7));
    const size_t simulation = std::find(dates.begin(), dates.end(), 20261127u) - dates.begin();
    ASSERT_LT(simulation, dates.size());
    for (size_t start = 2; start < body.size();) {
        size_t end = body.find("\r\n", start);
        if (end == std::string::npos) end = body.size();
        auto line = ParseReportLine(body.substr(start, end - start));
        start = end + 2;
        ASSERT_TRUE(line.has_value()) << body.substr(0, 200);
        ++lines;
        ASSERT_LE(line->back, 5u);
        EXPECT_EQ(line->date, dates[simulation - line->back]);
        // It passes on that day and on none of the later days searched.
        for (size_t k = 0; k <= line->back; ++k) {
            const Change c =
                Recompute(line->code, dates[simulation - k], dates[simulation - k - 1], 1);
            const bool passes = c.has && !c.young && c.value >= 500 && c.value <= 900;
            EXPECT_EQ(passes, k == line->back) << line->code << " " << dates[simulation - k];
        }
    }
    EXPECT_GT(lines, 0u);
    // The status line counts the same stocks: selected/processed L=5.
    EXPECT_NE(run.out.find(std::to_string(lines) + "/200 L=5"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(点击选出股，可打开K线图)"), std::string::npos);

    // The JSON lists the same hits with their days.
    const CliRun json = Run("history", options + " --json");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto j = fixture::Json::Parse(json.out);
    ASSERT_TRUE(j.has_value()) << json.out.substr(0, 300);
    EXPECT_EQ((*j)["date"].Int(), 20261127);
    EXPECT_EQ((*j)["lookback"].Int(), 5);
    EXPECT_EQ((*j)["condition"].Str(), "a3");
    EXPECT_EQ((*j)["threshold"].Text(), "-5.00");
    EXPECT_TRUE((*j)["report"].IsNull());
    EXPECT_EQ((*j)["selected_count"].Int(), static_cast<int64_t>(lines));
    EXPECT_EQ((*j)["selected_count"].Int() + (*j)["rejected_count"].Int(), 200);
    for (const fixture::Json& hit : (*j)["selected"].Array()) {
        const size_t back = static_cast<size_t>(hit["days_back"].Int());
        EXPECT_EQ(hit["date"].Int(), dates[simulation - back]);
        EXPECT_FALSE(hit["name"].Str().empty());
    }
}

TEST_F(PickCli, MethodsListsTheCatalogue) {
    const CliRun text = RunCli("methods", m_scratch.Path());
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("a3    根据Ｎ日内的涨幅选取个股\n"
                            "      a3(5,20.00,50.00);  N=5 (≥1)  ZF low=20.00  ZF high=50.00\n"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("b8    新增底部选股方法之8  (不选股)\n"), std::string::npos);
    EXPECT_NE(text.out.find("b20(6,-10.00,-20.00);  N=6 (1-300)  BIAS low=-10.00"),
              std::string::npos);
    EXPECT_NE(text.out.find("b31(20,10.00);  N=20 (0 or ≥6)  ZF=10.00"), std::string::npos);

    const CliRun json = RunCli("methods --json", m_scratch.Path());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto j = fixture::Json::Parse(json.out);
    ASSERT_TRUE(j.has_value()) << json.out.substr(0, 400);
    std::map<std::string, fixture::Json> byCode;
    for (const fixture::Json& m : (*j)["methods"].Array()) byCode[m["code"].Str()] = m;
    EXPECT_EQ(byCode.size(), 69u);
    const fixture::Json& b24 = byCode["b24"];
    EXPECT_EQ(b24["title"].Str(), "MACD之柱状刚刚翻红个股");
    EXPECT_TRUE(b24["shown"].Bool());
    EXPECT_TRUE(b24["selects"].Bool());
    EXPECT_EQ(b24["example"].Str(), "b24(12,26,9);");
    EXPECT_EQ(b24["params"][0]["name"].Str(), "SHORT");
    EXPECT_EQ(b24["params"][0]["standard"].Str(), "12");
    EXPECT_EQ(b24["params"][0]["min"].Int(), 5);
    EXPECT_EQ(b24["params"][0]["max"].Int(), 40);
    EXPECT_FALSE(b24["params"][0].Has("zero"));
    const fixture::Json& b40 = byCode["b40"];
    EXPECT_EQ(b40["title"].Str(), "待扩展方法40");
    EXPECT_FALSE(b40["shown"].Bool());
    EXPECT_FALSE(b40["selects"].Bool());
    EXPECT_EQ(b40["params"].Size(), 0u);
    EXPECT_TRUE(byCode["b31"]["params"][0]["zero"].Bool());
}

// Every example entry of the catalogue runs over the demo market; the codes
// without a test select nothing, and a pattern's mark frames its candles.
TEST_F(PickCli, EveryCatalogueCodeRuns) {
    const CliRun methods = RunCli("methods --json", m_scratch.Path());
    ASSERT_EQ(methods.exitCode, 0) << methods.err;
    size_t codes = 0, selecting = 0, withSelections = 0;
    const auto catalogue = fixture::Json::Parse(methods.out);
    ASSERT_TRUE(catalogue.has_value());
    for (const fixture::Json& method : (*catalogue)["methods"].Array()) {
        const bool selects = method["selects"].Bool();
        const std::string entry = method["example"].Str();
        const CliRun run = Run("pick", "--method \"" + entry + "\" --market all --json");
        ASSERT_EQ(run.exitCode, 0) << entry << " " << run.err;
        const auto json = ParsePick(run.out);
        ASSERT_TRUE(json.has_value()) << entry << " " << run.out;
        ++codes;
        selecting += selects;
        if (!selects) {
            EXPECT_TRUE(json->selected.empty()) << entry;
        }
        withSelections += !json->selected.empty();
        const auto code = picking::ReadMethodEntry(entry).code;
        if (!code.InRange('b', 31, 57)) continue;
        for (const auto& [stock, mark] : json->selected) {
            ASSERT_EQ(mark.size(), 3u) << entry;
            EXPECT_GE(mark[0], mark[1]) << entry << " " << stock;
        }
    }
    EXPECT_EQ(codes, 69u);
    EXPECT_EQ(selecting, 61u);
    EXPECT_GT(withSelections, 10u);
}

}  // namespace
