#include "cli/market_setup.h"

#include <ctime>
#include <string>

#include "cli/values.h"
#include "picking/simulation.h"

namespace cli {

bool EnterSimulationDate(uint32_t date, data::SimulationDate& simulation,
                         const data::IndexState& index, base::Prompter& prompter) {
    picking::EnterSimulation(simulation);
    return picking::ConfirmSimulationDate(std::to_string(date), simulation, index, prompter) !=
           picking::DateChange::Refused;
}

bool StartMarket(const Invocation& in, base::Prompter& prompter, data::Workspace& workspace,
                 data::MarketState& market, const data::StartupParts& parts,
                 std::string_view dateOption, const std::string& root) {
    if (data::RunStartup(workspace, root.empty() ? in.Text("data") : root, prompter,
                         std::time(nullptr), market, parts) !=
        data::StartupOutcome::Ready)
        return false;
    const auto date = in.Date(dateOption);
    return !date || EnterSimulationDate(*date, market.simulation, market.index, prompter);
}

bool ChooseCandidates(const Invocation& in, const data::CodeTable& codes, base::Prompter& prompter,
                      picking::CandidateSet& candidates) {
    if (const auto market = in.Market()) {
        candidates.market = *market;
        candidates.codes = picking::SelectCandidates(codes, *market);
        return true;
    }
    return picking::LoadCandidatePath(in.Text("list"), prompter, candidates) ==
           picking::LoadOutcome::Loaded;
}

void WriteCandidateFields(JsonWriter& json, const Invocation& in) {
    const auto market = in.Market();
    json.Field("market", market ? std::optional<std::string_view>(MarketWord(*market)) : std::nullopt)
        .Field("list", in.Optional("list"));
}

}  // namespace cli
