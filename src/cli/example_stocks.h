// Which stock the example picture of a picking condition shows: the first
// stock its default method entry picks on the condition's worked example
// (the market and date of MKDAT/DEMOD.TXT), as the article tells the user to
// try it. No window library: the window program draws what this chooses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "picking/candidates.h"
#include "picking/catalogue.h"

namespace cli {

struct ExampleStock {
    picking::ConditionCode condition;
    uint32_t date = 0;  // the example's date, now the simulation date
    picking::CandidateMarket market = picking::CandidateMarket::Shanghai;
    uint32_t code = 0;
    bool picked = false;  // false: nothing was picked and the first candidate stands in
    std::string notPicked;  // what the run told, if anything, when nothing was picked
};

// The candidates button the example's article names (沪市, 深市 or 创板;
// an unknown market digit reads as 沪市).
picking::CandidateMarket ExampleCandidates(uint32_t example);

// The entry a freshly opened setting board of the condition adds, read back.
// Nothing after the board's refusal went through the prompter.
std::optional<picking::Condition> DefaultCondition(picking::ConditionCode code,
                                                   base::Prompter& prompter);

// Makes the example's date the simulation date of `market` and runs the
// default entry over the example market's candidates. Nothing, after the
// reason went through the prompter, when the condition has no example, its
// date lies outside the data or its market has no candidates.
std::optional<ExampleStock> ChooseExampleStock(data::Workspace& workspace,
                                               data::MarketState& market,
                                               const data::CodeTable& codes,
                                               picking::ConditionCode condition,
                                               base::Prompter& prompter);

}  // namespace cli
