// Start-up of a headless command on a data root, with the simulation date of
// its --date option.
#pragma once

#include <optional>
#include <string>

#include "base/prompter.h"
#include "data/startup.h"
#include "data/workspace.h"

namespace cli {

// Runs the start-up and, when a date is given, makes it the simulation date
// with the window's checks. False after the reason went through the prompter.
bool StartMarket(const std::string& root, const std::optional<std::string>& date,
                 base::Prompter& prompter, data::Workspace& workspace, data::MarketState& market);

}  // namespace cli
