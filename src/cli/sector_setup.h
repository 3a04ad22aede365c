// What the commands built on the sector scan share (scan, rotation,
// scorecard, selfcheck): the market started on --data, the candidates of
// --market or --list, the scan settings of --type and --threshold checked as
// the window checks them, the sector library, and the settings' JSON fields.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/json.h"
#include "cli/stock_names.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "picking/candidates.h"
#include "picking/evaluation.h"
#include "sectors/library.h"
#include "sectors/scan.h"

namespace cli {

struct SectorSetup {
    data::Workspace workspace;
    data::MarketState market;
    std::unique_ptr<data::CodeTable> codes;
    std::unique_ptr<StockNames> names;  // of codes
    picking::CandidateSet candidates;
    sectors::ScanSettings settings;
    sectors::SectorLibrary library;
    picking::MarketInputs inputs;

    // The simulation cut-off of the date option given (none: the latest day).
    uint32_t Cutoff() const;
};

// Starts the market on --data or on `root` (the option `dateOption`, when
// given, is the simulation date and is checked as --date is), chooses the
// candidates (all stocks when neither --market nor --list is an option) and
// checks the settings (those of --type and --threshold; the ones `setup`
// holds for a command without them). False after the reason went through the
// prompter.
bool StartSectorCommand(const Invocation& in, base::Prompter& prompter, SectorSetup& setup,
                        std::string_view dateOption = "date", const std::string& root = {});

// "type", "type_name", "threshold", "threshold_raw", "market", "list" and
// "candidates".
void WriteScanSettingsFields(JsonWriter& json, const Invocation& in, const SectorSetup& setup);

}  // namespace cli
