// The picking run on its worker thread, the history scan and results files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/file_io.h"
#include "base/gbk.h"
#include "base/recording_prompter.h"
#include "picking/candidates.h"
#include "picking/picking_run.h"
#include "picking_market.h"
#include "support/kill_while_writing.h"

namespace {

using pickingtest::PickingMarket;

// Polls like the window's timer until the worker is done.
bool WaitForRun(const picking::PickingRun& run) {
    for (int i = 0; i < 2000 && run.Busy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !run.Busy();
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Twenty stocks: the even ones close at 15.00 today, the odd ones at 25.00.
class RunMarket : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<data::CodeEntry> codes;
        for (uint32_t i = 0; i < 20; ++i) {
            const uint32_t code = 600000 + i;
            m_codes.push_back(code);
            m_market.Stock(code, m_market.Bars(std::vector<uint32_t>(30, i % 2 ? 2500 : 1500)));
            codes.push_back({code, fixture::Gbk("股票") + std::to_string(i), "GP", 1000, 1000});
        }
        m_market.Codes(codes);
    }

    picking::RunContext Context(const std::string& entry) {
        picking::RunContext context;
        context.market = m_market.Inputs();
        context.condition = picking::ReadMethodEntry(entry);
        context.candidates = m_codes;
        return context;
    }

    PickingMarket m_market;
    std::vector<uint32_t> m_codes;
};

TEST_F(RunMarket, ThreadedRunCountsEveryCandidate) {
    picking::PickingRun run;
    base::RecordingPrompter prompter;
    std::atomic<int> finished{0};
    auto context = Context("a1(14.00,16.00);");
    context.onFinished = [&] { ++finished; };
    // Made before the start: the harness re-reads the market into the buffers
    // the worker reads.
    const auto second = Context("a1(0.00,99.00);");
    ASSERT_TRUE(run.Start(context, prompter));
    // One run at a time.
    EXPECT_FALSE(run.Start(second, prompter));
    ASSERT_TRUE(WaitForRun(run));
    EXPECT_TRUE(run.Finished());
    EXPECT_EQ(run.Processed(), 20u);
    EXPECT_EQ(run.Total(), 20u);
    EXPECT_EQ(run.Progress(), picking::kProgressEnd);
    EXPECT_EQ(run.SelectedSoFar(), 10u);
    // A finished run waits to be collected before another starts.
    EXPECT_FALSE(run.Start(Context("a1(0.00,99.00);"), prompter));
    auto outcome = run.Finish(prompter);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(finished.load(), 1);
    EXPECT_TRUE(outcome->progressToEnd);
    EXPECT_EQ(outcome->results.referenceDate, m_market.LastDate());
    EXPECT_EQ(outcome->results.selected.size(), 10u);
    EXPECT_EQ(outcome->results.rejected.size(), 10u);
    for (size_t i = 0; i < outcome->results.selected.size(); ++i)
        EXPECT_EQ(outcome->results.selected[i], 600000u + 2 * i);
    EXPECT_FALSE(outcome->results.aborted);
    EXPECT_TRUE(prompter.records.empty());
    EXPECT_FALSE(run.Finish(prompter).has_value());

    // The next run starts afresh and hands the chart its averages.
    ASSERT_TRUE(run.Start(Context("a8(7);"), prompter));
    ASSERT_TRUE(WaitForRun(run));
    outcome = run.Finish(prompter);
    EXPECT_TRUE(outcome->results.selected.empty());
    ASSERT_TRUE(outcome->results.chartOverride.has_value());
    EXPECT_EQ(outcome->results.chartOverride->family, indicators::OverrideFamily::MovingAverages);
    EXPECT_EQ(outcome->results.chartOverride->values, (std::array<int32_t, 5>{5, 7, 10, 20, 30}));
}

TEST_F(RunMarket, AStockWhoseDatesAreDamagedIsNeverSelected) {
    // 600000 would pass (a close of 15.00), but two of its bars are swapped.
    auto bars = m_market.Bars(std::vector<uint32_t>(30, 1500));
    std::swap(bars[27].date, bars[28].date);
    m_market.Stock(600000, bars);
    picking::PickingRun run;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(run.Start(Context("a1(14.00,16.00);"), prompter));
    ASSERT_TRUE(WaitForRun(run));
    auto outcome = run.Finish(prompter);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->results.selected.size(), 9u);
    EXPECT_EQ(outcome->results.selected.front(), 600002u);
}

TEST_F(RunMarket, OnlyCodesOutsideTheCatalogueAreRefused) {
    picking::PickingRun run;
    base::RecordingPrompter prompter;
    for (const char* entry : {"b58(1);", "a10(5);", "c4();", "d1(5);", "x1(5);"}) {
        prompter.records.clear();
        EXPECT_FALSE(run.Start(Context(entry), prompter)) << entry;
        ASSERT_EQ(prompter.Messages().size(), 1u);
        EXPECT_EQ(prompter.Messages()[0].text, "方法库中没有该选股方法");
        EXPECT_EQ(prompter.Messages()[0].caption, "提示");
        EXPECT_FALSE(run.Busy());
    }
    picking::HistoryContext history;
    history.condition = picking::ReadMethodEntry("b58(100,50.00,10.00);");
    EXPECT_FALSE(run.StartHistory(history, prompter));

    // The codes without a test run and select nothing.
    for (const char* entry : {"b8(1,7.50,10.00);", "b17(10,2.50,3.50);", "b40();", "b51();",
                              "b52();", "c1();", "c3();"}) {
        prompter.records.clear();
        ASSERT_TRUE(run.Start(Context(entry), prompter)) << entry;
        const auto outcome = run.Finish(prompter);
        EXPECT_TRUE(outcome->results.selected.empty()) << entry;
        EXPECT_EQ(outcome->results.rejected, m_codes) << entry;
        EXPECT_TRUE(prompter.records.empty()) << entry;
    }
}

TEST_F(RunMarket, TheScanMeasureReplacesTheCatalogueTest) {
    picking::PickingRun run;
    base::RecordingPrompter prompter;
    // b8 has no catalogue test; the scan's measure selects the even codes
    // and leaves a 2-byte mark, then ranks on the worker.
    auto context = Context("b8(1,7.50,10.00);");
    context.useScanMeasure = true;
    std::vector<uint32_t> measured;
    context.scanMeasure = [&](picking::Evaluator& e, uint32_t code) {
        measured.push_back(code);
        if (!e.PrepareStock(code)) return picking::Verdict::Fail();
        return code % 2 ? picking::Verdict::Fail()
                        : picking::Verdict::Pass(picking::SignalMark::One(code % 1000));
    };
    size_t ranked = 0;
    context.afterCandidates = [&](picking::RunResults& results) {
        ranked = results.selected.size();
    };
    ASSERT_TRUE(run.Start(context, prompter));
    ASSERT_TRUE(WaitForRun(run));
    auto outcome = run.Finish(prompter);
    EXPECT_EQ(measured, m_codes);
    EXPECT_EQ(ranked, 10u);
    EXPECT_EQ(outcome->results.marks.Record(3), (std::vector<uint16_t>{6}));
    EXPECT_FALSE(outcome->results.chartOverride.has_value());
}

TEST_F(RunMarket, AnAbortEmptiesTheSelection) {
    picking::RunCounters counters;
    std::vector<picking::PendingMessage> messages;
    auto context = Context("b8(1,7.50,10.00);");
    context.useScanMeasure = true;
    context.scanMeasure = [](picking::Evaluator&, uint32_t code) {
        if (code < 600003) return picking::Verdict::Pass();
        return code == 600003 ? picking::Verdict::Abort() : picking::Verdict::Fail();
    };
    auto results = picking::RunPicking(context, counters, m_market.Scan(), messages);
    EXPECT_TRUE(results.aborted);
    EXPECT_TRUE(results.selected.empty());
    EXPECT_EQ(counters.selected.load(), 0u);
    EXPECT_EQ(counters.processed.load(), 3u);
    EXPECT_TRUE(results.rejected.empty());
}

// Day files whose dates are out of order are refused, each named once in
// one note after the run, and the other candidates are evaluated as ever.
TEST_F(RunMarket, DamagedDayFilesAreNamedOnceAfterTheRun) {
    for (const uint32_t code : {600004u, 600011u}) {
        auto bars = m_market.Bars(std::vector<uint32_t>(30, 1500));
        std::swap(bars[27].date, bars[28].date);
        m_market.Stock(code, bars);
    }
    auto context = Context("a1(14.00,16.00);");
    // Each stock loaded twice, as a scan's limit count does.
    context.candidates.insert(context.candidates.end(), m_codes.begin(), m_codes.end());
    picking::RunCounters counters;
    std::vector<picking::PendingMessage> messages;
    const auto results = picking::RunPicking(context, counters, m_market.Scan(), messages);
    std::vector<uint32_t> picked(results.selected.begin(), results.selected.end());
    EXPECT_EQ(std::count(picked.begin(), picked.end(), 600004u), 0);
    EXPECT_EQ(picked.size(), 2u * 9u);  // the ten even stocks at 15.00, less the damaged one
    ASSERT_EQ(messages.size(), 1u);
    const data::DataPaths paths = context.market.paths;
    EXPECT_EQ(messages[0].text, picking::DamagedFilesText(paths, std::vector<uint32_t>{600004, 600011}));
    EXPECT_NE(messages[0].text.find(data::DayFilePath(paths, 600011)), std::string::npos);
    EXPECT_NE(messages[0].text.find("共2个"), std::string::npos);

    // Many files: five named, all counted.
    std::vector<uint32_t> many;
    for (uint32_t code = 600100; code < 600108; ++code) many.push_back(code);
    const std::string text = picking::DamagedFilesText(paths, many);
    EXPECT_NE(text.find(data::DayFilePath(paths, 600104)), std::string::npos);
    EXPECT_EQ(text.find(data::DayFilePath(paths, 600105)), std::string::npos);
    EXPECT_NE(text.find(" 等，共8个。"), std::string::npos);
}

TEST_F(RunMarket, AStopRequestEndsTheLoop) {
    picking::PickingRun run;
    base::RecordingPrompter prompter;
    std::atomic<bool> inside{false}, release{false};
    auto context = Context("b8(1,7.50,10.00);");
    context.useScanMeasure = true;
    context.scanMeasure = [&](picking::Evaluator&, uint32_t) {
        inside = true;
        while (!release) std::this_thread::yield();
        return picking::Verdict::Pass();
    };
    ASSERT_TRUE(run.Start(context, prompter));
    while (!inside) std::this_thread::yield();
    EXPECT_TRUE(run.Busy());
    EXPECT_EQ(run.Progress(), 0);
    run.RequestStop();
    release = true;
    ASSERT_TRUE(WaitForRun(run));
    auto outcome = run.Finish(prompter);
    EXPECT_TRUE(outcome->results.stopped);
    EXPECT_FALSE(outcome->progressToEnd);
    EXPECT_EQ(outcome->results.selected.size(), 1u);
    EXPECT_EQ(run.Processed(), 1u);
    EXPECT_EQ(run.Progress(), 200 / 20);
}

TEST(Progress, OnlyMovesUpToTheEnd) {
    EXPECT_EQ(picking::ProgressPosition(0, 4012), 0);
    EXPECT_EQ(picking::ProgressPosition(2006, 4012), 100);
    EXPECT_EQ(picking::ProgressPosition(4012, 4012), 200);
    EXPECT_EQ(picking::ProgressPosition(0, 0), 200);
}

TEST(HistoryScan, FirstPassingDayWithinTheLookBack) {
    PickingMarket m;
    // 600001 closed at 15.00 three and five days ago only; 600002 never did.
    std::vector<uint32_t> closes(30, 2000);
    closes[closes.size() - 1 - 3] = 1500;
    closes[closes.size() - 1 - 5] = 1500;
    m.Stock(600001, m.Bars(closes));
    m.Stock(600002, m.Bars(std::vector<uint32_t>(30, 2000)));
    m.Codes({{600001, fixture::Gbk("浦发"), "PF", 1, 1},
             {600002, fixture::Gbk("平安银行"), "PA", 1, 1}});

    picking::HistoryContext context;
    context.market = m.Inputs();
    context.condition = picking::ReadMethodEntry("a1(15.00,15.00);");
    context.candidates = {600001, 600002};
    context.simulationDate = m.DateBack(1);
    context.lookback = 4;
    context.reportPath = m.files.Paths().report;
    picking::PickingRun run;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(run.StartHistory(context, prompter));
    ASSERT_TRUE(WaitForRun(run));
    auto outcome = run.Finish(prompter);
    ASSERT_TRUE(outcome.has_value());
    // From the simulation date (day 1) back: day 3 is two steps back.
    ASSERT_EQ(outcome->hits.size(), 1u);
    EXPECT_EQ(outcome->hits[0].date, m.DateBack(3));
    EXPECT_EQ(outcome->hits[0].daysBack, 2u);
    EXPECT_EQ(outcome->results.rejected, (std::vector<uint32_t>{600002}));
    const std::string line =
        "\r\n600001 " + fixture::Gbk("浦发") + "    --    " + std::to_string(m.DateBack(3));
    EXPECT_EQ(outcome->report, line);
    EXPECT_EQ(ReadText(m.files.Paths().report), line);
    EXPECT_EQ(outcome->closingLines, (std::vector<std::string>{"(点击选出股，可打开K线图)"}));
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, m.files.Paths().report);
    EXPECT_EQ(prompter.Messages()[0].caption, "生成文件");

    // Day 5 lies beyond a look-back of 3; nothing found writes no report.
    std::filesystem::remove(m.files.Paths().report);
    context.lookback = 1;
    prompter.records.clear();
    ASSERT_TRUE(run.StartHistory(context, prompter));
    ASSERT_TRUE(WaitForRun(run));
    outcome = run.Finish(prompter);
    EXPECT_TRUE(outcome->hits.empty());
    EXPECT_EQ(outcome->closingLines,
              (std::vector<std::string>{"（没有满足选股", "条件的个股）", "(可修改条件重试)"}));
    EXPECT_FALSE(std::filesystem::exists(m.files.Paths().report));
    EXPECT_TRUE(prompter.records.empty());
}

// A save killed at any moment leaves the results file as it was or as the
// save makes it.
TEST(ResultsFile, KilledWhileSavedIsOldOrNew) {
    PickingMarket m;
    const std::string root = m.files.Root();
    std::vector<picking::ResultLine> few = {{600000, 750}}, many;
    for (uint32_t code = 600000; code < 603000; ++code) many.push_back({code, 1000});
    base::RecordingPrompter prompter;
    prompter.defaultAnswer = true;
    const auto save = [&](const std::vector<picking::ResultLine>& lines) {
        prompter.records.clear();
        (void)picking::SaveResultsFile(root, "XG240101-001.TXT", picking::ResultKind::Rise, lines,
                                       nullptr, prompter);
    };
    const std::string path = root + "/XG/XG240101-001.TXT";
    save(many);
    const std::string manyText = ReadText(path);
    save(few);
    const std::string fewText = ReadText(path);
    ASSERT_NE(fewText, manyText);
    fixture::KillWhileWriting([&](uint32_t round) { save(round % 2 ? few : many); },
                              [&](unsigned seed) {
                                  const std::string text = ReadText(path);
                                  EXPECT_TRUE(text == fewText || text == manyText)
                                      << text.size() << " bytes, seed " << seed;
                              },
                              12);
}

TEST(ResultsFile, SavedInTheListFolderAsGbk) {
    PickingMarket m;
    m.Codes({{1, fixture::Gbk("平安银行"), "PAYH", 1, 1},
             {600000, fixture::Gbk("浦发银行"), "PFYH", 1, 1}});
    std::vector<uint32_t> region(data::kCodeTableWords);
    uint32_t date = 0;
    ASSERT_TRUE(data::LoadCodeTable(m.files.Paths().codeTable, region, &date));
    data::CodeTable codes(region);
    const std::string root = m.files.Root();
    base::RecordingPrompter prompter;
    const std::vector<picking::ResultLine> results = {{600000, 750}, {1, 1000}};

    // XG taken by a plain file: no folder can be made and the write fails with its message.
    prompter.defaultAnswer = true;
    ASSERT_TRUE(base::WriteFileAtomic(root + "/XG", std::vector<uint8_t>{1}).ok());
    EXPECT_FALSE(picking::SaveResultsFile(root, "XG240101-001.TXT", picking::ResultKind::Rise,
                                          results, &codes, prompter));
    EXPECT_EQ(prompter.records.back().text, "保存选股文件失败,可能\\XG目录被删除。");
    std::filesystem::remove(root + "/XG");

    // No XG folder: saving makes it.
    EXPECT_EQ(picking::ProposeResultsFileName(root, "240101"), "XG240101-001.TXT");
    prompter.records.clear();
    ASSERT_TRUE(picking::SaveResultsFile(root, "XG240101-001.TXT", picking::ResultKind::Rise,
                                         results, &codes, prompter));
    EXPECT_EQ(prompter.records.at(0).text,
              "将当前板块以文件名：XG240101-001.TXT，保存在当前文件夹的\\XG中");
    EXPECT_EQ(
        ReadText(root + "/XG/XG240101-001.TXT"),
        fixture::Gbk("擎宇选出股共2个:\r\n600000 浦发银行 +7.50\r\n000001 平安银行 +10.00\r\n"));
    EXPECT_EQ(picking::ProposeResultsFileName(root, "240101"), "XG240101-002.TXT");

    ASSERT_TRUE(picking::SaveResultsFile(root, "b.TXT", picking::ResultKind::Turnover,
                                         std::vector<picking::ResultLine>{{600000, 50}}, &codes,
                                         prompter));
    EXPECT_EQ(ReadText(root + "/XG/b.TXT"),
              fixture::Gbk("擎宇选出股共1个:\r\n600000 浦发银行  50%\r\n"));
    ASSERT_TRUE(picking::SaveResultsFile(root, "c.TXT", picking::ResultKind::Fall,
                                         std::vector<picking::ResultLine>{{1, 1234}}, &codes,
                                         prompter));
    EXPECT_EQ(ReadText(root + "/XG/c.TXT"),
              fixture::Gbk("擎宇选出股共1个:\r\n000001 平安银行 -12.34\r\n"));
    // The saved file loads back as candidates.
    EXPECT_EQ(picking::ReadCandidateFile(root + "/XG/XG240101-001.TXT"),
              (std::vector<uint32_t>{600000, 1}));

    // No keeps the disk as it was; nothing selected says so.
    prompter.defaultAnswer = false;
    EXPECT_FALSE(picking::SaveResultsFile(root, "d.TXT", picking::ResultKind::Rise, results, &codes,
                                          prompter));
    EXPECT_FALSE(std::filesystem::exists(root + "/XG/d.TXT"));
    EXPECT_FALSE(picking::SaveResultsFile(root, "d.TXT", picking::ResultKind::Rise,
                                          std::vector<picking::ResultLine>{}, &codes, prompter));
    EXPECT_EQ(prompter.records.back().text, "当前选出股为空，无法保存");
}

}  // namespace

namespace {

TEST(SignalMarks, WidthSetsTheCapacity) {
    picking::SignalMarkTable table;
    EXPECT_TRUE(table.Record(0).empty());  // nothing written yet
    EXPECT_TRUE(table.Write(4799, picking::SignalMark::One(65535)));
    EXPECT_EQ(table.Capacity(), 4800u);
    EXPECT_FALSE(table.Write(4800, picking::SignalMark::One(1)));
    EXPECT_EQ(table.Record(4799), (std::vector<uint16_t>{65535}));
    EXPECT_TRUE(table.Record(4800).empty());
    // A value that does not fit 16 bits is written as 0.
    EXPECT_EQ(picking::SignalMark::One(65536).values[0], 0);
    table.Clear();
    EXPECT_TRUE(table.Write(1599, picking::SignalMark::Three(1, 0x1234, 3)));
    EXPECT_FALSE(table.Write(1600, picking::SignalMark::Three(1, 2, 3)));
    EXPECT_EQ(table.Record(1599), (std::vector<uint16_t>{1, 0x1234, 3}));
    EXPECT_TRUE(table.Write(2399, picking::SignalMark::Two(7, 8)));
    EXPECT_EQ(table.Capacity(), 2400u);
    EXPECT_EQ(table.Record(2399), (std::vector<uint16_t>{7, 8}));
    // A test that writes no mark leaves the table alone.
    EXPECT_FALSE(table.Write(0, picking::SignalMark{}));
    EXPECT_EQ(table.RecordWidth(), 4u);
}

}  // namespace
