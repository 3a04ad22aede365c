// What bkqy-cli pick and history share: starting the market, reading the
// method, the candidate set, the simulation date and the scan settings a3
// takes its bounds from; and how both print a selected stock's mark.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/command_prompter.h"
#include "cli/json.h"
#include "cli/stock_names.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/catalogue.h"
#include "picking/evaluation.h"
#include "picking/signal_marks.h"

namespace cli {

struct PickingSetup {
    data::Workspace workspace;
    data::MarketState market;
    std::unique_ptr<data::CodeTable> codes;
    std::unique_ptr<StockNames> names;  // of codes
    std::string method;
    picking::Condition condition;
    picking::CandidateSet candidates;
    picking::MarketInputs inputs;
    picking::ScanInForce scan;  // a3's bounds: --type and --threshold

    std::string Name(uint32_t code) const;
};

// Fills `setup` from the options. On failure returns the exit code after the
// reason was told.
std::optional<int> PreparePicking(const Invocation& in, CommandPrompter& prompter,
                                  PickingSetup& setup);

// The fields both commands open their JSON with: the method, its title, the
// scan settings a3 read, the look-back (history) and the candidates.
void WritePickingFields(JsonWriter& json, const Invocation& in, const PickingSetup& setup);

}  // namespace cli
