// bkqy-cli history: the history scan. For each candidate, the first of the
// last L trading days (from the simulation date back) on which the method
// passes; the hits go to MKDAT/DEMO_Find.TXT.
#include <cstdio>

#include "base/gbk.h"
#include "cli/args.h"
#include "cli/picking_setup.h"
#include "data/paths.h"
#include "picking/picking_run.h"

namespace cli {
namespace {

constexpr const char* kName = "bkqy-cli history";

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
    return 2;
}

}  // namespace

int RunHistoryCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnown(
            {"data", "method", "lookback", "market", "list", "date", "scan-type", "threshold"},
            &error))
        return Fail(error);
    auto lookback = args.GetNumber("lookback", &error);
    if (!lookback) return Fail(error.empty() ? "--lookback L is required" : error);
    base::StderrPrompter prompter;
    PickingSetup setup;
    if (auto failed = PreparePicking(args, kName, prompter, setup)) return *failed;

    picking::HistoryContext context;
    context.market = setup.inputs;
    context.condition = setup.condition;
    context.candidates = setup.candidates.codes;
    context.simulationDate = setup.market.simulation.date;
    context.lookback = static_cast<size_t>(*lookback);
    context.reportPath = setup.market.paths.report;
    context.scan = setup.scan;
    picking::PickingRun run;
    if (!run.StartHistory(std::move(context), prompter)) return 1;
    auto outcome = run.Finish(prompter);
    if (!outcome) return 1;

    std::printf("模拟日期    %u\n", outcome->results.referenceDate);
    std::printf("选股方法    %s\n", picking::MethodEntryText(setup.method).c_str());
    std::printf("%zu/%zu L=%llu\n", outcome->results.selected.size(),
                outcome->results.selected.size() + outcome->results.rejected.size(),
                static_cast<unsigned long long>(*lookback));
    for (const auto& hit : outcome->hits) {
        const std::string name = base::GbkToUtf8(setup.codes->StockName(hit.code));
        std::printf("%s %s %u (%zu)\n", data::CodeText(hit.code).c_str(), name.c_str(), hit.date,
                    hit.daysBack);
    }
    for (const auto& line : outcome->closingLines) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace cli
