// bkqy-cli scan: a sector scan over a market or a list file, printed as a
// readable Chinese table or as one JSON object.
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "base/gbk.h"
#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "cli/json.h"
#include "cli/market_setup.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/evaluation.h"
#include "picking/simulation.h"
#include "sectors/library.h"
#include "sectors/scan.h"

namespace cli {
namespace {

int Fail(const std::string& text) {
    std::fprintf(stderr, "bkqy-cli scan: %s\n", text.c_str());
    return 2;
}


const char* MeasureWord(sectors::ScanType type) {
    switch (type) {
        case sectors::ScanType::Hot:
            return "涨幅≥";
        case sectors::ScanType::Fund:
            return "成交增加≥";
        case sectors::ScanType::Fall:
            return "跌幅≥";
    }
    return "";
}

std::string ValueText(sectors::ScanType type, uint32_t value) {
    char text[32];
    if (type == sectors::ScanType::Fund)
        std::snprintf(text, sizeof text, "%u%%", value);
    else
        std::snprintf(text, sizeof text, "%c%.2f", type == sectors::ScanType::Hot ? '+' : '-',
                      value / 100.0);
    return text;
}

}  // namespace

int RunScanCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnown({"data", "type", "threshold", "market", "list", "date", "json"}, &error))
        return Fail(error);
    const auto root = args.Get("data");
    if (!root || root->empty()) return Fail("--data DIR is required");
    const auto typeText = args.Get("type");
    if (!typeText || (*typeText != "1" && *typeText != "2" && *typeText != "3"))
        return Fail("--type 1|2|3 is required");
    const auto type = static_cast<sectors::ScanType>(*typeText == "1"   ? 1
                                                     : *typeText == "2" ? 2
                                                                        : 3);
    const auto thresholdText = args.Get("threshold");
    if (!thresholdText) return Fail("--threshold T is required");
    const auto threshold = sectors::ParseThreshold(type, *thresholdText);
    if (!threshold)
        return Fail("--threshold: " + *thresholdText +
                    (type == sectors::ScanType::Fund
                         ? " is not a whole percent"
                         : " is not a percent with at most two decimals"));
    const auto market = args.Get("market");
    const auto list = args.Get("list");
    if (market.has_value() == list.has_value())
        return Fail("give one of --market sh|sz|cy|all and --list FILE");
    picking::CandidateMarket set = picking::CandidateMarket::All;
    if (market) {
        if (*market == "sh")
            set = picking::CandidateMarket::Shanghai;
        else if (*market == "sz")
            set = picking::CandidateMarket::Shenzhen;
        else if (*market == "cy")
            set = picking::CandidateMarket::ChiNext;
        else if (*market != "all")
            return Fail("--market sh|sz|cy|all");
    }
    const bool json = args.Has("json");

    data::Workspace workspace;
    base::StderrPrompter prompter;
    data::MarketState state;
    if (!StartMarket(*root, args.Get("date"), prompter, workspace, state)) return 1;
    const data::CodeTable codes(workspace.CodeTableRegion());
    picking::CandidateSet candidates;
    if (list) {
        if (picking::LoadCandidatePath(*list, prompter, candidates) != picking::LoadOutcome::Loaded)
            return 1;
    } else {
        candidates.codes = picking::SelectCandidates(codes, set);
    }

    sectors::ScanSettings settings;
    settings.type = type;
    settings.threshold = *threshold;
    settings.weights = sectors::RankWeights::FromLibrary(state.sectorHeader);
    if (!sectors::StartSectorScan(candidates.codes.size(), settings, prompter)) return 1;

    const sectors::SectorLibrary library(
        workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
    auto scan = std::make_unique<sectors::SectorScan>();
    std::vector<picking::PendingMessage> messages;
    const size_t candidateCount = candidates.codes.size();
    scan->Run(picking::MarketInputsOf(workspace, state, codes), library, settings,
              std::move(candidates.codes), picking::SimulationCutoff(state.simulation), messages);
    for (const auto& m : messages) prompter.ShowMessage(m.text, m.caption);

    const sectors::ScanOutcome& outcome = scan->Outcome();
    const sectors::ScanResultView result = outcome.Result();
    const size_t count = result.SectorCount();
    if (json) {
        std::string out = "{\"date\": " + std::to_string(outcome.referenceDate) +
                          ", \"type\": " + std::to_string(static_cast<int>(type)) +
                          ", \"threshold\": " + std::to_string(*threshold) +
                          ", \"candidates\": " + std::to_string(candidateCount) +
                          ", \"selected\": " + std::to_string(outcome.selected.size()) +
                          ", \"min_cx\": " + std::to_string(outcome.ranking.minCx) +
                          ", \"ahead_cx\": " + std::to_string(outcome.ranking.aheadCx) +
                          ", \"sectors\": [";
        for (size_t r = 1; r <= count; ++r) {
            const uint32_t number = result.ResultSectorNumber(r);
            if (r > 1) out += ", ";
            out += "{\"rank\": " + std::to_string(r) +
                   ", \"number\": " + std::to_string(sectors::SectorDisplayNumber(number)) +
                   ", \"name\": " + JsonString(base::GbkToUtf8(result.ResultSectorName(r))) +
                   ", \"hits\": " + std::to_string(result.ResultSectorMemberCount(r)) +
                   ", \"members\": " + std::to_string(sectors::SectorMemberCount(library, number)) +
                   ", \"score\": " + std::to_string(outcome.ranking.sectors[r - 1].score) +
                   ", \"stocks\": [";
            const auto stocks = result.LoadResultSector(r);
            for (size_t k = 0; k < stocks.size(); ++k) {
                if (k) out += ", ";
                out += "{\"code\": \"" + data::CodeText(stocks[k].code) +
                       "\", \"value\": " + std::to_string(stocks[k].value) + "}";
            }
            out += "]}";
        }
        out += "]}\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }

    std::printf("%u日 %s  扫描%s%s%%  待选股 %zu  选出股 %zu  Min_cx=%d  Ahead_cx=%d\n",
                outcome.referenceDate, std::string(sectors::ScanTitleWord(type)).c_str(),
                MeasureWord(type), sectors::ThresholdText(type, *threshold).c_str(), candidateCount,
                outcome.selected.size(), outcome.ranking.minCx, outcome.ranking.aheadCx);
    if (count == 0) {
        std::printf("（当前板块为空）\n");
        return 0;
    }
    std::printf("%4s  %4s  %-24s %6s %6s %8s\n", "排名", "序号", "板块名称", "含股", "总股",
                "总分");
    for (size_t r = 1; r <= count; ++r) {
        const uint32_t number = result.ResultSectorNumber(r);
        std::printf("%4zu  %04u  %s  %zu/%u  %lld\n", r, sectors::SectorDisplayNumber(number),
                    base::GbkToUtf8(result.ResultSectorName(r)).c_str(),
                    result.ResultSectorMemberCount(r), sectors::SectorMemberCount(library, number),
                    static_cast<long long>(outcome.ranking.sectors[r - 1].score));
        for (const auto& stock : result.LoadResultSector(r))
            std::printf("        %s %s %s\n", data::CodeText(stock.code).c_str(),
                        base::GbkToUtf8(codes.StockName(stock.code)).c_str(),
                        ValueText(type, stock.value).c_str());
    }
    return 0;
}

}  // namespace cli
