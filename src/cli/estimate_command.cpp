// bkqy-cli estimate: the top and bottom probability of one stock.
#include <cstdio>
#include <string>

#include "base/gbk.h"
#include "cli/command_prompter.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/market_setup.h"
#include "cli/text_table.h"
#include "picking/simulation.h"
#include "sectors/estimate.h"

namespace cli {
namespace {

struct Sides {
    sectors::Estimate top;
    sectors::Estimate bottom;
};

void WriteFactors(JsonWriter& json, sectors::EstimateSide side, const sectors::Estimate& e) {
    json.BeginArray();
    for (int f = 0; f < sectors::kFactorCount; ++f)
        json.BeginObject()
            .Field("name", sectors::FactorCaption(side, f))
            .Field("weight", sectors::kDefaultFactorWeights[static_cast<size_t>(f)])
            .Field("present", e.factors[static_cast<size_t>(f)])
            .EndObject();
    json.EndArray();
}

void PrintJson(uint32_t code, const std::string& name, bool simulation, const Sides& s) {
    JsonWriter json;
    json.BeginObject()
        .Field("code", data::CodeText(code))
        .Field("name", name)
        .Field("date", s.top.date)
        .Field("simulation", simulation)
        .Field("top", s.top.result)
        .Field("bottom", s.bottom.result)
        .Key("top_factors");
    WriteFactors(json, sectors::EstimateSide::Top, s.top);
    json.Key("bottom_factors");
    WriteFactors(json, sectors::EstimateSide::Bottom, s.bottom);
    json.EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintText(uint32_t code, const std::string& name, bool simulation, const Sides& s) {
    std::string text = data::CodeText(code) + " " + Printable(name) + (simulation ? " [模拟]" : "") + " " +
                       std::to_string(s.top.date) + "\n";
    for (const auto* e : {&s.top, &s.bottom}) {
        const auto side = e == &s.top ? sectors::EstimateSide::Top : sectors::EstimateSide::Bottom;
        text += std::string(side == sectors::EstimateSide::Top ? "阶段顶部的概率为"
                                                              : "阶段底部的概率为") +
                std::to_string(e->result) + "%\n";
        for (int f = 0; f < sectors::kFactorCount; ++f)
            if (e->factors[static_cast<size_t>(f)])
                text += "  " + std::string(sectors::FactorCaption(side, f)) + "\n";
    }
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunEstimateCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    data::Workspace workspace;
    data::MarketState market;
    if (!StartMarket(in, prompter, workspace, market)) return static_cast<int>(Exit::Refused);
    const data::CodeTable codes(workspace.CodeTableRegion());
    const uint32_t code = *in.Code();
    if (codes.FindCode(code) == 0)
        return in.Fail(Exit::Refused, data::CodeText(code) + "：" +
                                          std::string(sectors::kEstimateUnknownCode));
    const std::string name = base::GbkToUtf8(codes.StockName(code));
    const sectors::EstimateInputs inputs{
        market.paths, market.index.View(workspace.Words(data::BufferId::Index)), &market.exRights,
        picking::SimulationCutoff(market.simulation)};
    const Sides sides{sectors::EstimateTop(inputs, code, sectors::kDefaultFactorWeights),
                      sectors::EstimateBottom(inputs, code, sectors::kDefaultFactorWeights)};
    if (sides.top.result == sectors::kEstimateIndexCode)
        return in.Fail(Exit::Refused, data::CodeText(code) + " " + name + "：" +
                                          std::string(sectors::EstimateFailureText(sides.top.result)) +
                                          "，只测算个股（该指数最后一个交易日为 " +
                                          std::to_string(sides.top.date) + "）");
    if (sides.top.result < 0)
        return in.Fail(Exit::Refused, data::CodeText(code) + " " + name + "：" +
                                          std::string(sectors::EstimateFailureText(sides.top.result)));
    if (in.Format() == OutputFormat::Json)
        PrintJson(code, name, market.simulation.active, sides);
    else
        PrintText(code, name, market.simulation.active, sides);
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
