#include "picking/picking_run.h"

#include <algorithm>
#include <cstdio>

#include "base/file_io.h"
#include "base/gbk.h"
#include "data/capacities.h"
#include "data/examples.h"
#include "data/paths.h"
#include "data/stock_list_file.h"

namespace picking {
namespace {

constexpr size_t kReportNameBytes = 8;

// Keeps what a helper would show, for the window thread to show later.
class CollectingPrompter : public base::Prompter {
public:
    explicit CollectingPrompter(std::vector<PendingMessage>& out) : m_out(out) {}
    void ShowMessage(const std::string& text, const std::string& caption) override {
        m_out.push_back({text, caption});
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> ChooseFile(const std::string&) override { return std::nullopt; }

private:
    std::vector<PendingMessage>& m_out;
};

bool StopWanted(const RunCounters& counters, std::stop_token token) {
    return counters.stopRequest.load() || token.stop_requested();
}

// The 8-byte name column of the report: the GBK name padded with blanks.
std::string ReportName(const data::CodeTable* codes, uint32_t code) {
    std::string name = codes ? codes->StockName(code) : data::UnknownStockName();
    name.resize(kReportNameBytes, ' ');
    return name;
}

bool ConditionRunnable(const Condition& condition, bool scanMeasure, base::Prompter& prompter) {
    if (scanMeasure || InCatalogue(condition.code)) return true;
    prompter.ShowMessage(std::string(kNotInCatalogueMessage), std::string(kPromptCaption));
    return false;
}

// The closing line of a b7 history scan: the counts and their ratio.
std::string BreadthLine(const BreadthState& breadth) {
    const BreadthRatio r = RatioOf(breadth);
    return "下跌(" + std::to_string(r.falling) + ")/上涨(" + std::to_string(r.rising) + ")=" +
           TwoDecimals(r.ratio);
}

RunResults RunLoop(const RunContext& context, RunCounters& counters, std::span<uint32_t> storage,
                   std::vector<PendingMessage>& messages, std::stop_token token) {
    RunResults results;
    Evaluator evaluator(context.market, storage);
    evaluator.Begin(context.condition, context.cutoff);
    evaluator.SetScanInForce(context.scan);
    if (context.useScanMeasure) evaluator.SetScanMeasure(context.scanMeasure);
    evaluator.SetKeptTails(context.keptTails);
    const auto& reference = evaluator.Reference();
    results.referenceDate = reference.aligned ? reference.date : 0;
    if (context.prefetchNeeds && reference.aligned)
        evaluator.StartPrefetch(context.candidates, *context.prefetchNeeds,
                                context.prefetchThreads ? context.prefetchThreads
                                                        : TailPrefetch::DefaultThreads(),
                                context.tailCache);

    const auto cancelSelection = [&] {
        results.aborted = true;
        results.selected.clear();
        results.marks.Clear();
        counters.selected = 0;
    };
    for (size_t i = 0; i < context.candidates.size(); ++i) {
        const uint32_t code = context.candidates[i];
        if (StopWanted(counters, token)) {
            results.stopped = true;
            break;
        }
        Verdict verdict = evaluator.Evaluate(code);
        if (verdict.match == Match::Abort) {
            cancelSelection();
            break;
        }
        // The last candidate may cancel everything, itself included.
        if (i + 1 == context.candidates.size() && !context.useScanMeasure &&
            SelectionCancelled(evaluator, context.condition)) {
            cancelSelection();
            verdict = Verdict::Fail();
        }
        if (verdict.match == Match::Pass) {
            results.marks.Write(results.selected.size(), verdict.mark);
            results.selected.push_back(code);
            counters.selected.fetch_add(1);
        } else {
            results.rejected.push_back(code);
        }
        counters.processed.fetch_add(1, std::memory_order_release);
    }
    evaluator.FinishPrefetch();
    if (!context.useScanMeasure) results.chartOverride = ChartOverrideOf(context.condition);
    if (context.afterCandidates) context.afterCandidates(results);
    results.stocksOpened = evaluator.StocksOpened();
    results.filesRead = evaluator.FilesRead();
    for (auto& m : evaluator.TakeMessages()) messages.push_back(std::move(m));
    return results;
}

RunOutcome HistoryLoop(const HistoryContext& context, RunCounters& counters,
                       std::span<uint32_t> storage, std::vector<PendingMessage>& messages,
                       std::stop_token token) {
    RunOutcome outcome;
    RunResults& results = outcome.results;
    Evaluator evaluator(context.market, storage);
    // One stock is evaluated at many cut-offs: read it once, whole.
    evaluator.SetStockReading(StockReading::Whole);
    evaluator.Begin(context.condition, context.simulationDate);
    evaluator.SetScanInForce(context.scan);

    // The trading days from the simulation date back, at most `lookback` steps.
    std::vector<uint32_t> dates;
    const auto& index = context.market.index;
    const auto anchor = data::AlignWithIndex(index, context.simulationDate, 0);
    if (anchor.aligned) {
        size_t offset = anchor.offset;
        for (size_t k = 0; k <= context.lookback; ++k) {
            dates.push_back(index.image[offset]);
            if (offset < index.firstBar + index.width) break;
            offset -= index.width;
        }
    } else {
        evaluator.IndexReady();  // leaves the missing-index message
    }
    results.referenceDate = dates.empty() ? 0 : dates.front();

    for (uint32_t code : context.candidates) {
        if (StopWanted(counters, token)) {
            results.stopped = true;
            break;
        }
        std::optional<HistoryHit> hit;
        bool aborted = false;
        for (size_t k = 0; k < dates.size() && !hit; ++k) {
            evaluator.SetCutoff(dates[k]);
            const Verdict verdict = evaluator.Evaluate(code);
            if (verdict.match == Match::Abort) {
                aborted = true;
                break;
            }
            if (verdict.match == Match::Pass) {
                results.marks.Write(results.selected.size(), verdict.mark);
                hit = HistoryHit{code, dates[k], k};
            }
        }
        if (aborted) {
            results.aborted = true;
            results.selected.clear();
            outcome.hits.clear();
            outcome.report.clear();
            counters.selected = 0;
            break;
        }
        if (hit) {
            results.selected.push_back(code);
            outcome.hits.push_back(*hit);
            outcome.report += "\r\n" + data::CodeText(code) + " " +
                              ReportName(context.market.codes, code) + "--" +
                              std::string(2 * hit->daysBack, ' ') + std::to_string(hit->date);
            counters.selected.fetch_add(1);
        } else {
            results.rejected.push_back(code);
        }
        counters.processed.fetch_add(1, std::memory_order_release);
    }

    if (results.selected.empty())
        outcome.closingLines = {"（没有满足选股", "条件的个股）", "(可修改条件重试)"};
    else
        outcome.closingLines = {"(点击选出股，可打开K线图)"};
    if (context.condition.code.Is('b', 7) && !results.selected.empty())
        outcome.closingLines.push_back(BreadthLine(evaluator.Breadth()));
    results.stocksOpened = evaluator.StocksOpened();
    results.filesRead = evaluator.FilesRead();
    for (auto& m : evaluator.TakeMessages()) messages.push_back(std::move(m));
    if (!outcome.report.empty() && !context.reportPath.empty()) {
        // The whole report is written, however many stocks it lists.
        CollectingPrompter collector(messages);
        const std::span<const uint8_t> bytes(
            reinterpret_cast<const uint8_t*>(outcome.report.data()), outcome.report.size());
        data::WriteReport(context.reportPath, bytes, bytes.size(), collector);
    }
    return outcome;
}

}  // namespace

RunResults RunPicking(const RunContext& context, RunCounters& counters,
                      std::span<uint32_t> scanStorage, std::vector<PendingMessage>& messages) {
    counters.processed = 0;
    counters.selected = 0;
    counters.total = context.candidates.size();
    return RunLoop(context, counters, scanStorage, messages, {});
}

RunOutcome HistoryScan(const HistoryContext& context, RunCounters& counters,
                       std::span<uint32_t> scanStorage, std::vector<PendingMessage>& messages) {
    counters.processed = 0;
    counters.selected = 0;
    counters.total = context.candidates.size();
    return HistoryLoop(context, counters, scanStorage, messages, {});
}

int ProgressPosition(size_t processed, size_t total) {
    if (total == 0) return kProgressEnd;
    return static_cast<int>(std::min<size_t>(processed * kProgressEnd / total, kProgressEnd));
}

PickingRun::PickingRun() : m_scanStorage(data::kScanAreaWords, 0) {}

PickingRun::~PickingRun() {
    RequestStop();
}

int PickingRun::Progress() const {
    return ProgressPosition(Processed(), Total());
}

bool PickingRun::Launch(PickingRun::Work work, std::function<void()> onFinished) {
    if (m_worker.joinable()) m_worker.join();
    m_counters.processed = 0;
    m_counters.selected = 0;
    m_counters.stopRequest = false;
    m_messages.clear();
    m_outcome = RunOutcome{};
    m_started = true;
    m_busy.store(true, std::memory_order_release);
    m_worker = std::jthread(
        [this, work = std::move(work), onFinished = std::move(onFinished)](std::stop_token token) {
            m_outcome = work(m_scanStorage, m_messages, token);
            m_outcome.progressToEnd = !m_outcome.results.stopped;
            m_busy.store(false, std::memory_order_release);
            if (onFinished) onFinished();
        });
    return true;
}

bool PickingRun::Start(RunContext context, base::Prompter& prompter) {
    if (Busy() || Finished()) return false;
    if (!ConditionRunnable(context.condition, context.useScanMeasure && context.scanMeasure,
                           prompter))
        return false;
    m_counters.total = context.candidates.size();
    auto onFinished = context.onFinished;
    return Launch(
        [this, context = std::move(context)](std::span<uint32_t> storage,
                                             std::vector<PendingMessage>& messages,
                                             std::stop_token token) {
            RunOutcome outcome;
            outcome.results = RunLoop(context, m_counters, storage, messages, token);
            return outcome;
        },
        std::move(onFinished));
}

bool PickingRun::StartHistory(HistoryContext context, base::Prompter& prompter) {
    if (Busy() || Finished()) return false;
    if (!ConditionRunnable(context.condition, false, prompter)) return false;
    m_counters.total = context.candidates.size();
    auto onFinished = context.onFinished;
    return Launch(
        [this, context = std::move(context)](std::span<uint32_t> storage,
                                             std::vector<PendingMessage>& messages,
                                             std::stop_token token) {
            return HistoryLoop(context, m_counters, storage, messages, token);
        },
        std::move(onFinished));
}

std::optional<RunOutcome> PickingRun::Finish(base::Prompter& prompter) {
    if (!m_started) return std::nullopt;
    if (m_worker.joinable()) m_worker.join();
    m_started = false;
    for (const auto& m : m_messages) prompter.ShowMessage(m.text, m.caption);
    m_messages.clear();
    return std::move(m_outcome);
}

std::optional<std::string> ProposeResultsFileName(const std::string& dataRoot,
                                                  const std::string& todayShort) {
    const std::string folder = data::BuildDataPaths(dataRoot).listFolder;
    for (int serial = 1; serial <= 999; ++serial) {
        char name[64];
        std::snprintf(name, sizeof name, "XG%s-%03d.TXT", todayShort.c_str(), serial);
        if (!base::FileExists(folder + name)) return std::string(name);
    }
    return std::nullopt;
}

bool SaveResultsFile(const std::string& dataRoot, const std::string& fileName, ResultKind kind,
                     std::span<const ResultLine> results, const data::CodeTable* codes,
                     base::Prompter& prompter) {
    const std::string caption(kPromptCaption);
    if (results.empty()) {
        prompter.ShowMessage(std::string(kNothingToSaveMessage), caption);
        return false;
    }
    if (!prompter.AskYesNo("将当前板块以文件名：" + fileName + "，保存在当前文件夹的\\XG中",
                           caption))
        return false;

    std::string text =
        base::Utf8ToGbk(std::string(kResultsFileHead) + std::to_string(results.size()) + "个:");
    for (const ResultLine& r : results) {
        text += "\r\n" + data::CodeText(r.code) + " ";
        text += codes ? codes->StockName(r.code) : data::UnknownStockName();
        char value[64] = "";
        if (kind == ResultKind::Picked) {
            // A picking run measures nothing: the line ends with the name.
        } else if (kind == ResultKind::Turnover)
            std::snprintf(value, sizeof value, "  %lld%%", static_cast<long long>(r.value));
        else
            std::snprintf(value, sizeof value, " %c%.2f", kind == ResultKind::Rise ? '+' : '-',
                          static_cast<double>(r.value) / 100.0);
        text += value;
    }
    text += "\r\n";

    const data::DataPaths paths = data::BuildDataPaths(dataRoot);
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()),
                                         text.size());
    if (!data::MakeListFolder(paths).ok() ||
        !base::WriteFileAtomic(paths.listFolder + fileName, bytes).ok()) {
        prompter.ShowMessage("保存选股文件失败,可能\\XG目录被删除。", caption);
        return false;
    }
    return true;
}

}  // namespace picking
