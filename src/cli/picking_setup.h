// What bkqy-cli pick and history share: starting the market, reading the
// method, the candidate set, the simulation date and the scan settings a3
// takes its bounds from.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "cli/json.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/catalogue.h"
#include "picking/evaluation.h"

namespace cli {

struct PickingSetup {
    data::Workspace workspace;
    data::MarketState market;
    std::unique_ptr<data::CodeTable> codes;
    std::string method;
    picking::Condition condition;
    picking::CandidateSet candidates;
    picking::MarketInputs inputs;
    picking::ScanInForce scan;  // a3's bounds: --scan-type and --threshold
};

// Fills `setup` from the options (the caller checks for unknown ones first).
// On failure returns the exit code after the message went to stderr.
std::optional<int> PreparePicking(const Args& args, const char* commandName,
                                  base::StderrPrompter& prompter, PickingSetup& setup);

}  // namespace cli
