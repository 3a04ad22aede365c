// What the commands that read a market share: the start-up on --data with the
// simulation date of --date, and the candidates of --market or --list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/prompter.h"
#include "cli/command.h"
#include "cli/json.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "picking/candidates.h"

namespace cli {

// Runs the start-up on --data and, when --date (or the date option named)
// is given, makes it the simulation date. False after the reason went
// through the prompter. Scans, picks and the commands on one security load
// no settings file and no picking examples; the summary, which shows them,
// passes every part.
bool StartMarket(const Invocation& in, base::Prompter& prompter, data::Workspace& workspace,
                 data::MarketState& market,
                 const data::StartupParts& parts = data::kAnalysisParts,
                 std::string_view dateOption = "date", const std::string& root = {});

// The window's check of a simulation date against the data ("模拟日期的范围在
// …之间"), on a started market: simulation is on at `date` when true.
bool EnterSimulationDate(uint32_t date, data::SimulationDate& simulation,
                         const data::IndexState& index, base::Prompter& prompter);

// The candidates of --market (the market's codes) or --list (a stock-list
// file). False after a refused list file went through the prompter.
bool ChooseCandidates(const Invocation& in, const data::CodeTable& codes, base::Prompter& prompter,
                      picking::CandidateSet& candidates);

// "market" (sh, sz, cy, all or null) and "list" (the file or null).
void WriteCandidateFields(JsonWriter& json, const Invocation& in);

}  // namespace cli
