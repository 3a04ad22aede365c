#include "cli/example_stocks.h"

#include <utility>

#include "base/recording_prompter.h"
#include "cli/market_setup.h"
#include "picking/evaluation.h"
#include "picking/picking_run.h"
#include "picking/simulation.h"

namespace cli {

picking::CandidateMarket ExampleCandidates(uint32_t example) {
    // The button whose label is the market the article names.
    const std::string_view name = data::ExampleMarketName(example);
    constexpr size_t kLabelBytes = 6;  // two Chinese characters in UTF-8
    for (const auto market : {picking::CandidateMarket::Shenzhen, picking::CandidateMarket::ChiNext}) {
        const size_t at = (static_cast<size_t>(market) - 1) * kLabelBytes;
        if (picking::kCandidateButtonLabels.substr(at, kLabelBytes) == name) return market;
    }
    return picking::CandidateMarket::Shanghai;
}

std::optional<picking::Condition> DefaultCondition(picking::ConditionCode code,
                                                   base::Prompter& prompter) {
    const picking::ParamRecord initial = picking::InitialParams(code);
    const picking::SettingBoard board =
        picking::BoardFromParams(code.group, picking::ConditionPosition(code), initial);
    const auto entry = picking::BuildMethodEntry(board, prompter);
    if (!entry) return std::nullopt;
    return picking::ReadMethodEntry(*entry);
}

std::optional<ExampleStock> ChooseExampleStock(data::Workspace& workspace,
                                               data::MarketState& market,
                                               const data::CodeTable& codes,
                                               picking::ConditionCode condition,
                                               base::Prompter& prompter) {
    const std::string name = condition.Text();
    const uint32_t example = market.examples.ForCondition(condition.group, condition.number);
    if (example == 0) {
        prompter.ShowMessage(name + " 在 " + market.paths.examples + " 中没有示例", "提示");
        return std::nullopt;
    }
    ExampleStock stock;
    stock.condition = condition;
    stock.date = data::ExampleDate(example);
    stock.market = ExampleCandidates(example);
    if (!EnterSimulationDate(stock.date, market.simulation, market.index, prompter))
        return std::nullopt;
    const std::vector<uint32_t> candidates = picking::SelectCandidates(codes, stock.market);
    if (candidates.empty()) {
        prompter.ShowMessage(name + " 的示例市场没有待选股", "提示");
        return std::nullopt;
    }
    const auto entry = DefaultCondition(condition, prompter);
    if (!entry) return std::nullopt;

    picking::RunContext context;
    context.market = picking::MarketInputsOf(workspace, market, codes);
    context.condition = *entry;
    context.candidates = candidates;
    context.cutoff = picking::SimulationCutoff(market.simulation);
    // a3 takes its bounds from the scan settings the window starts with.
    context.scan = picking::ScanInForce{};
    picking::PickingRun run;
    if (!run.Start(std::move(context), prompter)) return std::nullopt;
    // What the run tells the window (why a breadth condition picks nothing
    // that day) is kept as the reason of the stand-in.
    base::RecordingPrompter told;
    const auto outcome = run.Finish(told);
    if (outcome && !outcome->results.selected.empty()) {
        stock.code = outcome->results.selected.front();
        stock.picked = true;
        return stock;
    }
    // Nothing picked that day: the picture still shows the example day, on
    // the market's first stock.
    stock.code = candidates.front();
    if (!told.records.empty()) stock.notPicked = told.records.front().text;
    return stock;
}

}  // namespace cli
