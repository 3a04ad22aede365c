// What bkqy-cli indicator and bars share: one security's bars, daily, weekly
// or monthly, in the chosen adjustment.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/command_prompter.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/startup.h"
#include "data/workspace.h"

namespace cli {

struct SecuritySeries {
    data::Workspace workspace;
    data::MarketState market;
    data::OpenStockState stock;
    data::SeriesView view;
    std::string name;  // UTF-8, from the code table; empty for a code it lacks

    bool IsIndex() const { return stock.isIndex; }
    // "元" for a stock's prices, "点" for an index's.
    std::string_view PriceUnit() const { return stock.isIndex ? "点" : "元"; }
};

// Starts the market on --data, opens --code and prepares its bars for
// --period and --adjust. On failure returns the exit code after the reason
// was told.
std::optional<int> LoadSecuritySeries(const Invocation& in, CommandPrompter& prompter,
                                      SecuritySeries& series);

}  // namespace cli
