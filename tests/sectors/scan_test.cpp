// The scan on a small hand-made market: the start checks, the selection rules
// at their boundaries, and what the user does with a result (trend, saving,
// property query) and the top/bottom estimate.
#include "sectors/scan.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/evaluation.h"
#include "sectors/estimate.h"
#include "sectors/query.h"
#include "sectors/sector_files.h"
#include "support/fixture_market.h"
#include "support/kill_while_writing.h"

namespace {

using fixture::Gbk;
using sectors::ScanType;

constexpr size_t kDays = 40;

std::vector<data::Bar> Steady(uint32_t close, size_t days = kDays) {
    std::vector<uint32_t> closes(days, close);
    return fixture::FlatBars(20261001, closes);
}

// Last bar moved to `last` (close and amount).
std::vector<data::Bar> Moved(uint32_t close, uint32_t last, size_t days = kDays) {
    auto bars = Steady(close, days);
    bars.back().open = bars.back().low = close;
    bars.back().high = bars.back().close = last;
    bars.back().amount = last;
    return bars;
}

struct Market {
    Market() {
        auto index = Steady(300000, kDays);
        for (auto& b : index) b.volume = 1'000'000;
        fx.WriteDayFile(999999, index);
        fx.WriteDayFile(600001, Moved(1000, 1100));     // +10.00 %
        fx.WriteDayFile(600002, Moved(1000, 1102));     // +10.20 %
        fx.WriteDayFile(600003, Moved(1000, 1080, 6));  // listed five days ago
        fx.WriteDayFile(600004, Moved(1000, 900));      // -10.00 %
        auto fund = Steady(1000);
        fund[kDays - 2].amount = 100;
        fund.back().amount = 150;  // turnover +50 %, close unchanged
        fx.WriteDayFile(600005, fund);
        fx.WriteDayFile(600006, Moved(1000, 1075));  // +7.50 %
        fx.WriteCodeTable(20261130,
                          std::vector<data::CodeEntry>{{600001, Gbk("浦发银行"), "PFYH", 100, 100},
                                                       {600002, Gbk("二号"), "EH", 100, 100},
                                                       {600003, Gbk("新股"), "XG", 100, 100},
                                                       {600004, Gbk("四号股份"), "SHGF", 100, 100},
                                                       {600005, Gbk("五号"), "WH", 100, 100},
                                                       {600006, Gbk("六号"), "LH", 100, 100},
                                                       {999999, Gbk("上证指数"), "SZZS", 0, 0}});
        fx.WriteSectorLibrary(
            20261130, {},
            std::vector<data::SectorRecord>{
                {4, 12, Gbk("一带一路"), {600001, 600002, 600003, 600004, 600005, 600006}},
                {5, 1, Gbk("银行"), {600001, 600006}},
                {5, 2, Gbk("券商"), {600001}},
                {6, 1, Gbk("上海"), {600001}},
            });
        EXPECT_EQ(data::RunStartup(workspace, fx.Root(), startPrompter, 0, state),
                  data::StartupOutcome::Ready);
        codes = std::make_unique<data::CodeTable>(workspace.CodeTableRegion());
        inputs = picking::MarketInputsOf(workspace, state, *codes);
        library = sectors::SectorLibrary(
            workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
    }

    std::vector<sectors::ResultEntry> Scan(ScanType type, int32_t threshold) {
        sectors::ScanSettings settings{type, threshold, {}};
        std::vector<picking::PendingMessage> messages;
        scan.Run(inputs, library, settings, {600001, 600002, 600003, 600004, 600005, 600006},
                 data::kNoSimulationCutoff, messages);
        return scan.Outcome().selected;
    }

    fixture::FixtureMarket fx;
    data::Workspace workspace;
    base::RecordingPrompter startPrompter;
    data::MarketState state;
    std::unique_ptr<data::CodeTable> codes;
    picking::MarketInputs inputs;
    sectors::SectorLibrary library;
    sectors::SectorScan scan;
};

using Entries = std::vector<sectors::ResultEntry>;

TEST(SectorScan, StartChecksCandidatesAndThreshold) {
    base::RecordingPrompter p;
    EXPECT_FALSE(sectors::StartSectorScan(0, {ScanType::Hot, 750, {}}, p));
    EXPECT_FALSE(sectors::StartSectorScan(10, {ScanType::Hot, 2000, {}}, p));
    EXPECT_FALSE(sectors::StartSectorScan(10, {ScanType::Fall, 2000, {}}, p));
    const std::vector<base::PromptRecord> expected{
        {base::PromptRecord::Kind::Message,
         "待选股为零。请先选择沪、深股票，或“载入”待选股，再“板块扫描”", "提示"},
        {base::PromptRecord::Kind::Message, "扫描的单日涨幅不能大于等于20%", "提示"},
        {base::PromptRecord::Kind::Message, "扫描的单日跌幅不能大于等于20%", "提示"}};
    EXPECT_EQ(p.records, expected);
    // A 20 % board can rise past 10 %: such thresholds are scanned.
    EXPECT_EQ(sectors::StartSectorScan(10, {ScanType::Hot, 1999, {}}, p), "b8(1,7.50,10.00);");
    EXPECT_EQ(sectors::StartSectorScan(10, {ScanType::Fall, 1000, {}}, p), "b9(1,7.50,10.00);");
    EXPECT_EQ(sectors::StartSectorScan(10, {ScanType::Fund, 5000, {}}, p), "b8(1,7.50,10.00);");
    EXPECT_EQ(sectors::StartSectorScan(10, {ScanType::Fall, 0, {}}, p), "b9(1,7.50,10.00);");
    EXPECT_EQ(p.records.size(), 3u);
    // The entry the method list shows reads back as the condition the run uses.
    for (ScanType type : {ScanType::Hot, ScanType::Fund, ScanType::Fall}) {
        const picking::Condition shown = picking::ReadMethodEntry(sectors::ScanMethodEntry(type));
        const picking::Condition run = sectors::ScanCondition(type);
        EXPECT_EQ(shown.code, run.code);
        EXPECT_EQ(shown.params, run.params);
    }

    // Thresholds as typed.
    EXPECT_EQ(sectors::ThresholdFromFields("7", "5"), 750);
    EXPECT_EQ(sectors::ThresholdFromFields("7", "05"), 705);
    EXPECT_EQ(sectors::ThresholdFromFields("9", ""), 900);
    EXPECT_EQ(sectors::ParseThreshold(ScanType::Hot, "7.5"), 750);
    EXPECT_EQ(sectors::ParseThreshold(ScanType::Fall, "10"), 1000);
    EXPECT_EQ(sectors::ParseThreshold(ScanType::Fund, "50"), 50);
    EXPECT_FALSE(sectors::ParseThreshold(ScanType::Fund, "5.5"));
    EXPECT_FALSE(sectors::ParseThreshold(ScanType::Hot, "7.555"));
    EXPECT_FALSE(sectors::ParseThreshold(ScanType::Hot, "-1"));
    EXPECT_FALSE(sectors::ParseThreshold(ScanType::Hot, ".5"));
    EXPECT_EQ(sectors::ThresholdText(ScanType::Hot, 750), "7.50");
    EXPECT_EQ(sectors::ThresholdText(ScanType::Fund, 50), "50");
}

TEST(SectorScan, SelectionBoundaries) {
    Market m;
    // 10.00 → 11.00 is 1000 and selected at T = 750; 11.02 (1020) is not; the
    // stock listed five days ago is not; 7.50 % is selected at exactly T.
    EXPECT_EQ(m.Scan(ScanType::Hot, 750), (Entries{{600001, 1000}, {600006, 750}}));
    EXPECT_EQ(m.scan.Outcome().referenceDate, fixture::Weekdays(20261001, kDays).back());
    EXPECT_EQ(m.Scan(ScanType::Hot, 751), (Entries{{600001, 1000}}));
    // Falls: the value recorded is the size of the fall; no newly-listed test.
    EXPECT_EQ(m.Scan(ScanType::Fall, 750), (Entries{{600004, 1000}}));
    // Turnover: 600001 +10 % with a rise; 600005 +50 % with the close
    // unchanged gives 0, selected only at T = 0; the newly listed one never.
    EXPECT_EQ(m.Scan(ScanType::Fund, 0),
              (Entries{{600001, 10}, {600002, 10}, {600005, 0}, {600006, 8}}));
    EXPECT_EQ(m.Scan(ScanType::Fund, 1), (Entries{{600001, 10}, {600002, 10}, {600006, 8}}));

    // The rule itself at its edges.
    using picking::NDayChange;
    EXPECT_EQ(sectors::SelectedValue(NDayChange{true, 1019, false}, ScanType::Hot, 0), 1019);
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 1020, false}, ScanType::Hot, 0));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 1019, true}, ScanType::Fund, 0));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, -1, false}, ScanType::Fund, 0));
    EXPECT_EQ(sectors::SelectedValue(NDayChange{true, -1099, true}, ScanType::Fall, 1099), 1099);
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, -1100, false}, ScanType::Fall, 0));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 5, false}, ScanType::Fall, 0));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{false, 500, false}, ScanType::Hot, 0));
}

// A stock of a 20 % board keeps bounds ten points higher; nothing else moves.
TEST(SectorScan, TwentyPercentBoardsKeepWiderBounds) {
    using picking::NDayChange;
    constexpr auto kWide = data::DailyLimit::TwentyPercent;
    constexpr auto kNarrow = data::DailyLimit::TenPercent;
    EXPECT_EQ(sectors::SelectedValue(NDayChange{true, 2019, false}, ScanType::Hot, 0, kWide), 2019);
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 2020, false}, ScanType::Hot, 0, kWide));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 2020, false}, ScanType::Hot, 0, kNarrow));
    EXPECT_EQ(sectors::SelectedValue(NDayChange{true, -2099, false}, ScanType::Fall, 0, kWide), 2099);
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, -2100, false}, ScanType::Fall, 0, kWide));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, -1100, false}, ScanType::Fall, 0, kNarrow));
    // The newly-listed mark and the threshold hold as before; turnover keeps its ceiling.
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 1500, true}, ScanType::Hot, 0, kWide));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 1500, false}, ScanType::Hot, 1501, kWide));
    EXPECT_FALSE(sectors::SelectedValue(NDayChange{true, 1500, false}, ScanType::Fund, 0, kWide));
    EXPECT_EQ(sectors::SelectedValue(NDayChange{true, 1019, false}, ScanType::Fund, 0, kWide), 1019);

    // The board on the day: STAR always, ChiNext from 2020-08-24, the rest never.
    EXPECT_EQ(data::DailyLimitOf(688001, 20190722), kWide);
    EXPECT_EQ(data::DailyLimitOf(689009, 20240102), kWide);
    EXPECT_EQ(data::DailyLimitOf(300750, 20200824), kWide);
    EXPECT_EQ(data::DailyLimitOf(301001, 20241231), kWide);
    EXPECT_EQ(data::DailyLimitOf(300750, 20200821), kNarrow);
    EXPECT_EQ(data::DailyLimitOf(600000, 20241231), kNarrow);
    EXPECT_EQ(data::DailyLimitOf(2594, 20241231), kNarrow);
}

TEST(SectorScan, RankedResultOfARun) {
    Market m;
    m.Scan(ScanType::Hot, 750);
    const auto& outcome = m.scan.Outcome();
    // 600001 hits 一带一路, 银行, 券商, 上海; 600006 hits 一带一路, 银行:
    // hits 2, 2, 1, 1 → average 6 / 4 = 1 rem 2 (not > 2) → 1; all qualify.
    EXPECT_EQ(outcome.ranking.minCx, 1);
    EXPECT_EQ(outcome.ranking.aheadCx, 4);
    const auto result = outcome.Result();
    ASSERT_EQ(result.SectorCount(), 4u);
    // 银行 2 of 2 (share 1000): CXL 6000; CX 4 × 200 × (1 − 4) = −2400; ZF
    // (875 − 750) × 20 = 2500 → 6100. 券商 and 上海 1 of 1: 6000 − 3200 + 5000 = 7800.
    // 一带一路 2 of 6 (share 333): CXL 6660 capped at 6000, so also 6100; it
    // stays behind 银行, which the first sort (by 1000 + share) put ahead.
    EXPECT_EQ(result.ResultSectorName(1), Gbk("券商"));
    EXPECT_EQ(result.ResultSectorName(2), Gbk("上海"));
    EXPECT_EQ(result.ResultSectorName(3), Gbk("银行"));
    EXPECT_EQ(result.ResultSectorName(4), Gbk("一带一路"));
    EXPECT_EQ(outcome.ranking.sectors[0].score, 7800);
    EXPECT_EQ(outcome.ranking.sectors[2].score, 6100);
    EXPECT_EQ(outcome.ranking.sectors[3].score, 6100);
    EXPECT_EQ(result.LoadResultSector(4), (Entries{{600001, 1000}, {600006, 750}}));
    m.scan.ClearOutcome();
    EXPECT_EQ(m.scan.Outcome().Result().SectorCount(), 0u);
}

TEST(SectorScan, ACopiedOutcomeKeepsItsResultThroughLaterScans) {
    Market m;
    m.Scan(ScanType::Hot, 750);
    const sectors::ScanOutcome copy = m.scan.Outcome();
    sectors::ScanOutcome assigned;
    assigned = m.scan.Outcome();
    // The scan's two result buffers take turns: two more scans overwrite the
    // bytes the copied outcome was made from.
    m.Scan(ScanType::Fall, 500);
    m.Scan(ScanType::Fund, 10);
    const auto expectFirstScan = [](const sectors::ScanOutcome& outcome) {
        const auto& result = outcome.Result();
        ASSERT_EQ(result.SectorCount(), 4u);
        EXPECT_EQ(result.ResultSectorName(1), Gbk("券商"));
        EXPECT_EQ(result.LoadResultSector(4), (Entries{{600001, 1000}, {600006, 750}}));
    };
    expectFirstScan(copy);
    expectFirstScan(assigned);
}

TEST(SectorFiles, SavedListForEachType) {
    Market m;
    ASSERT_TRUE(base::MakeFolders(m.fx.Root() + "/XG").ok());
    const Entries members{{600001, 1000}, {600004, 750}};
    const struct {
        ScanType type;
        const char* file;
        const char* text;
    } cases[] = {
        {ScanType::Hot, "热点一带一路1204.TXT",
         "擎宇选出股共2个:\r\n600001 浦发银行 +10.00\r\n600004 四号股份 +7.50\r\n"},
        {ScanType::Fund, "资金一带一路1204.TXT",
         "擎宇选出股共2个:\r\n600001 浦发银行  1000%\r\n600004 四号股份  750%\r\n"},
        {ScanType::Fall, "下跌一带一路1204.TXT",
         "擎宇选出股共2个:\r\n600001 浦发银行 -10.00\r\n600004 四号股份 -7.50\r\n"},
    };
    for (const auto& c : cases) {
        base::RecordingPrompter p;
        p.defaultAnswer = true;
        sectors::SaveInputs in{m.fx.Root(), c.type,  Gbk("一带一路"),
                               20261204,    members, m.codes.get()};
        ASSERT_TRUE(sectors::SaveSectorList(in, p));
        ASSERT_EQ(p.records.size(), 1u);
        EXPECT_EQ(p.records[0].text,
                  std::string("将当前板块以文件名：") + c.file + "，保存在当前文件夹的\\XG中");
        auto bytes = base::ReadWholeFile(m.fx.Root() + "/XG/" + c.file, 10000);
        ASSERT_TRUE(bytes.ok());
        EXPECT_EQ(std::string(bytes->begin(), bytes->end()), Gbk(c.text));
    }
    base::RecordingPrompter no;
    sectors::SaveInputs empty{m.fx.Root(), ScanType::Hot, "x", 20261204, {}, m.codes.get()};
    EXPECT_FALSE(sectors::SaveSectorList(empty, no));
    EXPECT_EQ(no.records.at(0).text, "当前选出股为空，无法保存");
}

// 170 index days; two stocks that start trading at the 25th index day (the
// trend's window starts at the 21st) and both skip the 101st.
struct TrendMarket {
    TrendMarket() {
        std::vector<data::Bar> index;
        for (uint32_t d : days) index.push_back({d, 3000, 3000, 3000, 3000, 1, 1});
        fx.WriteDayFile(999999, index);
        std::vector<data::Bar> a, b;
        for (size_t i = 24; i < days.size(); ++i) {
            if (i == 100) continue;
            a.push_back({days[i], 1000, 1100, 900, 1000, 50, 7});
            b.push_back({days[i], 2001, 2201, 1801, 2001, 70, 0});
        }
        fx.WriteDayFile(600001, a);
        fx.WriteDayFile(1, b);
        fx.WriteCodeTable(20260101,
                          std::vector<data::CodeEntry>{{1, "a", "A", 1, 1}, {600001, "b", "B", 1, 1}});
        base::RecordingPrompter p;
        started = data::RunStartup(ws, fx.Root(), p, 0, st) == data::StartupOutcome::Ready;
    }
    sectors::TrendInputs Inputs(std::span<const sectors::ResultEntry> members) {
        return {st.paths, st.index.View(ws.Words(data::BufferId::Index)), &st.exRights,
                data::kNoSimulationCutoff, members};
    }

    fixture::FixtureMarket fx;
    const std::vector<uint32_t> days = fixture::Weekdays(20260105, 170);
    data::Workspace ws;
    data::MarketState st;
    bool started = false;
};

TEST(SectorFiles, TrendFileLayoutAndCopyRule) {
    TrendMarket m;
    ASSERT_TRUE(m.started);
    fixture::FixtureMarket& fx = m.fx;
    const auto& days = m.days;
    const Entries members{{600001, 900}, {1, 800}, {2, 800}};  // 000002 has no file
    sectors::TrendInputs in = m.Inputs(members);
    base::RecordingPrompter tp;
    ASSERT_EQ(sectors::BuildSectorTrend(in, tp), 4232u);
    auto bytes = base::ReadWholeFile(fx.Root() + "/MKDAY/SH/999998.day", 10000);
    ASSERT_TRUE(bytes.ok());
    ASSERT_EQ(bytes->size(), 4232u);
    const uint8_t* h = bytes->data();
    EXPECT_EQ(std::string(h, h + 4), "MKSH");
    EXPECT_EQ(base::ReadU32(h + 4), 999998u);
    EXPECT_EQ(base::ReadU32(h + 8), 2u);
    for (int w = 3; w < 8; ++w) EXPECT_EQ(base::ReadU32(h + 4 * w), 0u);
    const auto rec = [&](size_t i, size_t w) { return base::ReadU32(h + 32 + 28 * i + 4 * w); };
    // Record 4 is index day 24: (1000 + 2001) / 2 = 1500, amounts summed, volumes summed.
    EXPECT_EQ(rec(4, 0), days[24]);
    EXPECT_EQ(rec(4, 1), 1500u);
    EXPECT_EQ(rec(4, 2), 1650u);
    EXPECT_EQ(rec(4, 3), 1350u);
    EXPECT_EQ(rec(4, 4), 1500u);
    EXPECT_EQ(rec(4, 5), 120u);
    EXPECT_EQ(rec(4, 6), 7u);
    // The oldest days had no trade: own date, the prices of the first day with any.
    EXPECT_EQ(rec(0, 0), days[20]);
    EXPECT_EQ(rec(0, 4), 1500u);
    EXPECT_EQ(rec(149, 0), days[169]);
    // Index day 100: nobody traded, the record before is repeated, date included.
    for (size_t w = 0; w < 7; ++w) EXPECT_EQ(rec(80, w), rec(79, w));
    EXPECT_EQ(rec(80, 0), days[99]);
    EXPECT_EQ(rec(81, 0), days[101]);
    EXPECT_TRUE(tp.records.empty());

    // Only the first 255 members count.
    Entries many(255, sectors::ResultEntry{2, 800});
    many.push_back({600001, 900});
    in.members = many;
    EXPECT_EQ(sectors::BuildSectorTrend(in, tp), 0u);
    many[254] = {600001, 900};
    in.members = many;
    EXPECT_EQ(sectors::BuildSectorTrend(in, tp), 4232u);

    in.members = {};
    EXPECT_EQ(sectors::BuildSectorTrend(in, tp), 0u);
    ASSERT_EQ(tp.records.size(), 1u);
    EXPECT_EQ(tp.records[0].text, "请先扫描生成板块");
}


// A trend build killed at any moment leaves the trend file of one member
// list or the other, whole.
TEST(SectorFiles, TrendFileKilledWhileBuiltIsOldOrNew) {
    TrendMarket m;
    ASSERT_TRUE(m.started);
    const Entries both{{600001, 900}, {1, 800}}, one{{1, 800}};
    const std::string path = m.fx.Root() + "/MKDAY/SH/999998.day";
    base::RecordingPrompter tp;
    const auto build = [&](const Entries& members) { (void)sectors::BuildSectorTrend(m.Inputs(members), tp); };
    build(both);
    const auto bothBytes = base::ReadWholeFile(path, 10000);
    build(one);
    const auto oneBytes = base::ReadWholeFile(path, 10000);
    ASSERT_TRUE(bothBytes.ok() && oneBytes.ok());
    ASSERT_NE(*bothBytes, *oneBytes);
    fixture::KillWhileWriting([&](uint32_t round) { build(round % 2 ? one : both); },
                              [&](unsigned seed) {
                                  const auto bytes = base::ReadWholeFile(path, 10000);
                                  ASSERT_TRUE(bytes.ok());
                                  EXPECT_TRUE(*bytes == *bothBytes || *bytes == *oneBytes)
                                      << "seed " << seed;
                              },
                              12);
}
TEST(SectorQuery, PropertyNamesNumbersAndKeywords) {
    Market m;
    m.Scan(ScanType::Hot, 750);
    sectors::RankTuning tuning;
    sectors::QueryContext ctx{m.library, m.codes.get(), &m.scan.Outcome(), &tuning};
    base::RecordingPrompter p;

    auto a = sectors::QuerySectorProperty("600001", ctx, p);
    EXPECT_EQ(a.kind, sectors::QueryKind::Property);
    EXPECT_EQ(a.caption, Gbk("600001(浦发银行)板块属性"));
    // Industries first (银行, 券商), then the concept; the region is not listed.
    EXPECT_EQ(a.propertyText, Gbk("/c000000090银行|券商|一带一路|"));
    a = sectors::QuerySectorProperty("999999", ctx, p);
    EXPECT_EQ(a.propertyText, Gbk("/c000000090没有相关属性"));
    sectors::QuerySectorProperty("600009", ctx, p);
    sectors::QuerySectorProperty("券商", ctx, p);
    sectors::QuerySectorProperty("银", ctx, p);
    a = sectors::QuerySectorProperty("4012", ctx, p);
    EXPECT_EQ(a.kind, sectors::QueryKind::SectorFound);
    EXPECT_EQ(a.rank, 4u);
    EXPECT_EQ(a.lines,
              (std::vector<std::string>{"该版块在库中总个股数：6", "该版块在搜索结果排序：4"}));
    sectors::QuerySectorProperty("4013", ctx, p);
    const std::vector<std::string> texts{"未找到该代码对应的股票", "该版块在库中序号为：5002",
                                         "在库中未找到名称相同的的版块",
                                         "在搜索结果中无该序号的板块"};
    ASSERT_EQ(p.records.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(p.records[i].text, texts[i]);

    EXPECT_EQ(sectors::QuerySectorProperty("Set2-150", ctx, p).kind, sectors::QueryKind::WeightSet);
    EXPECT_EQ(tuning.weights.count, 150u);
    EXPECT_EQ(sectors::QuerySectorProperty("Max3 1234", ctx, p).kind, sectors::QueryKind::CapSet);
    EXPECT_EQ(tuning.caps.move, 1234);
    EXPECT_EQ(sectors::QuerySectorProperty("Set4-150", ctx, p).kind, sectors::QueryKind::Message);
    EXPECT_EQ(sectors::QuerySectorProperty("12345", ctx, p).kind, sectors::QueryKind::Ignored);
    EXPECT_EQ(sectors::QuerySectorProperty("Diag", ctx, p).kind, sectors::QueryKind::Diagnostic);

    const auto page =
        sectors::ShowDiagnosticPage(m.scan.Outcome(), m.library, sectors::RankTuning{});
    EXPECT_EQ(page.headline, Gbk("板块数=4 Min_cx=1 Ahead_cx=4 CXL_p=20 CXL_Max=6000 CX_Code_p=200 "
                                 "CX_Max=5600 ZF_Code_p=20 ZF_Max=16000"));
    ASSERT_EQ(page.rows.size(), 4u);
    EXPECT_EQ(page.rows[3], Gbk("4 一带一路 4012 总股6 含股2 总分：6100(6000,-2400,2500)"));
}

TEST(TopBottomEstimate, FactorsAndFailures) {
    fixture::FixtureMarket fx;
    const auto days = fixture::Weekdays(20260105, 30);
    std::vector<data::Bar> index;
    for (uint32_t d : days) index.push_back({d, 3000, 3000, 3000, 3000, 1, 1});
    fx.WriteDayFile(999999, index);
    // Eleven bars, newest close 1000, each older one 10 higher; all highs equal;
    // amounts falling towards today.
    std::vector<data::Bar> top;
    for (int k = 10; k >= 0; --k) {
        const uint32_t close = 1000 + 10 * static_cast<uint32_t>(k);
        top.push_back({days[29 - static_cast<size_t>(k)], close, 2000, close, close,
                       100 + 10 * static_cast<uint32_t>(k), 5});
    }
    fx.WriteDayFile(600001, top);
    fx.WriteDayFile(600002, std::vector<data::Bar>(top.begin() + 1, top.end()));  // ten bars
    fx.WriteCodeTable(20260101, std::vector<data::CodeEntry>{{600001, "a", "A", 1, 1}});
    data::Workspace ws;
    base::RecordingPrompter p;
    data::MarketState st;
    ASSERT_EQ(data::RunStartup(ws, fx.Root(), p, 0, st), data::StartupOutcome::Ready);
    sectors::EstimateInputs in{st.paths, st.index.View(ws.Words(data::BufferId::Index)),
                               &st.exRights, data::kNoSimulationCutoff};

    // MA5 = 1020 > C = 1000, MA5 yesterday 1030, MA10 1045, the high's age 9, amounts falling.
    auto e = sectors::EstimateTop(in, 600001, sectors::kDefaultFactorWeights);
    EXPECT_EQ(e.result, 90);
    EXPECT_EQ(e.factors, (std::array<bool, 5>{true, true, true, true, true}));
    e = sectors::EstimateTop(in, 600001, {27, 1, 1, 1, 0});
    EXPECT_EQ(e.result, 30);
    e = sectors::EstimateBottom(in, 600001, sectors::kDefaultFactorWeights);
    EXPECT_EQ(e.result, 10);  // the low is today's; nothing points to a bottom
    EXPECT_EQ(e.factors, (std::array<bool, 5>{}));

    e = sectors::EstimateTop(in, 600002, sectors::kDefaultFactorWeights);
    EXPECT_EQ(e.result, sectors::kEstimateTooFewBars);
    EXPECT_EQ(sectors::EstimateFailureText(e.result), "行情天数不足无法测算");
    EXPECT_EQ(sectors::EstimateTop(in, 600003, {}).result, sectors::kEstimateNoStockFile);
    EXPECT_EQ(sectors::EstimateFailureText(-2), "该股数据文件不存在");
    in.index = {};
    EXPECT_EQ(sectors::EstimateBottom(in, 600001, {}).result, sectors::kEstimateNoIndex);
    EXPECT_EQ(sectors::EstimateFailureText(-1), "大盘指数文件不存在");
    // A simulation date before the stock's eleventh bar leaves too few bars.
    in.index = st.index.View(ws.Words(data::BufferId::Index));
    in.cutoff = days[28];
    EXPECT_EQ(sectors::EstimateTop(in, 600001, {}).result, sectors::kEstimateTooFewBars);
}

TEST(TopBottomEstimate, WeightsEditor) {
    EXPECT_EQ(sectors::ConfirmWeights({27, 18, 18, 18, 18}, sectors::kDefaultFactorWeights),
              (sectors::FactorWeights{25, 16, 16, 16, 17}));
    const sectors::FactorWeights live{20, 20, 20, 20, 10};
    EXPECT_EQ(sectors::ConfirmWeights(live, live), live);
    // 99 × 9000 / 103 = 8650 → 87 (rounded up at 50); the fifth would be negative: 0.
    EXPECT_EQ(sectors::ConfirmWeights({99, 1, 1, 1, 1}, live),
              (sectors::FactorWeights{87, 1, 1, 1, 0}));
    EXPECT_EQ(sectors::WeightUp(18), 27);
    EXPECT_EQ(sectors::WeightUp(90), 99);
    EXPECT_EQ(sectors::WeightUp(95), 99);
    EXPECT_EQ(sectors::WeightUp(99), 99);
    EXPECT_EQ(sectors::WeightDown(18), 9);
    EXPECT_EQ(sectors::WeightDown(10), 1);
    EXPECT_EQ(sectors::WeightDown(5), 1);
    EXPECT_EQ(sectors::WeightDown(1), 1);
}

}  // namespace
