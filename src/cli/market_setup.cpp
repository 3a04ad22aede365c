#include "cli/market_setup.h"

#include <ctime>

#include "picking/simulation.h"

namespace cli {

bool StartMarket(const std::string& root, const std::optional<std::string>& date,
                 base::Prompter& prompter, data::Workspace& workspace, data::MarketState& market) {
    if (data::RunStartup(workspace, root, prompter, std::time(nullptr), market) !=
        data::StartupOutcome::Ready)
        return false;
    if (!date) return true;
    picking::EnterSimulation(market.simulation);
    return picking::ConfirmSimulationDate(*date, market.simulation, market.index, prompter) !=
           picking::DateChange::Refused;
}

}  // namespace cli
