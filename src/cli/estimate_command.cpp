// bkqy-cli estimate: the top and bottom probability of one stock.
#include <cstdio>
#include <ctime>
#include <string>

#include "base/gbk.h"
#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "cli/market_setup.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/simulation.h"
#include "sectors/estimate.h"

namespace cli {
namespace {

int Fail(const std::string& text) {
    std::fprintf(stderr, "bkqy-cli estimate: %s\n", text.c_str());
    return 2;
}

std::string FactorList(const sectors::Estimate& e) {
    std::string out = "[";
    for (int f = 0; f < sectors::kFactorCount; ++f)
        out += std::string(f ? ", " : "") + (e.factors[f] ? "true" : "false");
    return out + "]";
}

}  // namespace

int RunEstimateCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnown({"data", "code", "date", "json"}, &error)) return Fail(error);
    const auto root = args.Get("data");
    if (!root || root->empty()) return Fail("--data DIR is required");
    const auto codeText = args.Get("code");
    if (!codeText || codeText->size() != 6 ||
        codeText->find_first_not_of("0123456789") != std::string::npos)
        return Fail("--code takes a six-digit stock code");
    const uint32_t code = static_cast<uint32_t>(std::stoul(*codeText));

    data::Workspace workspace;
    base::StderrPrompter prompter;
    data::MarketState state;
    if (!StartMarket(*root, args.Get("date"), prompter, workspace, state)) return 1;
    const data::CodeTable codes(workspace.CodeTableRegion());
    if (codes.FindCode(code) == 0) {
        std::fprintf(stderr, "%s\n", std::string(sectors::kEstimateUnknownCode).c_str());
        return 1;
    }
    const sectors::EstimateInputs inputs{
        state.paths, state.index.View(workspace.Words(data::BufferId::Index)), &state.exRights,
        picking::SimulationCutoff(state.simulation)};
    const sectors::Estimate top =
        sectors::EstimateTop(inputs, code, sectors::kDefaultFactorWeights);
    const sectors::Estimate bottom =
        sectors::EstimateBottom(inputs, code, sectors::kDefaultFactorWeights);
    if (top.result < 0) {
        std::fprintf(stderr, "%s\n", std::string(sectors::EstimateFailureText(top.result)).c_str());
        return 1;
    }
    const std::string name = base::GbkToUtf8(codes.StockName(code));
    if (args.Has("json")) {
        std::printf(
            "{\"code\": \"%s\", \"date\": %u, \"top\": %d, \"bottom\": %d, "
            "\"top_factors\": %s, \"bottom_factors\": %s}\n",
            codeText->c_str(), top.date, top.result, bottom.result, FactorList(top).c_str(),
            FactorList(bottom).c_str());
        return 0;
    }
    std::printf("%s %s%s %u\n", codeText->c_str(), name.c_str(),
                state.simulation.active ? " [模拟]" : "", top.date);
    for (const auto* e : {&top, &bottom}) {
        const auto side = e == &top ? sectors::EstimateSide::Top : sectors::EstimateSide::Bottom;
        std::printf("%s%d%%\n",
                    side == sectors::EstimateSide::Top ? "阶段顶部的概率为" : "阶段底部的概率为",
                    e->result);
        for (int f = 0; f < sectors::kFactorCount; ++f)
            if (e->factors[f])
                std::printf("  %s\n", std::string(sectors::FactorCaption(side, f)).c_str());
    }
    return 0;
}

}  // namespace cli
