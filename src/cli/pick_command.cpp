// bkqy-cli pick: one picking run of a method entry over a market or a
// stock-list file, on the reference day (or the simulation date's).
#include <cstdio>
#include <ctime>

#include "base/gbk.h"
#include "cli/args.h"
#include "cli/market_setup.h"
#include "cli/picking_setup.h"
#include "data/paths.h"
#include "picking/picking_run.h"
#include "picking/simulation.h"
#include "sectors/scan.h"

namespace cli {
namespace {

int Fail(const char* command, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", command, message.c_str());
    return 2;
}

std::optional<picking::CandidateMarket> MarketOption(const std::string& word) {
    if (word == "sh") return picking::CandidateMarket::Shanghai;
    if (word == "sz") return picking::CandidateMarket::Shenzhen;
    if (word == "cy") return picking::CandidateMarket::ChiNext;
    if (word == "all") return picking::CandidateMarket::All;
    return std::nullopt;
}

// The scan settings a3 reads: nothing is saved of them, so they start as the
// window's fields do (type 1 at 2.00 %, type 2 at 100 %, type 3 at 1.50 %).
constexpr std::string_view kStartThresholds[] = {"2.00", "100", "1.50"};

std::optional<int> ReadScanSettings(const Args& args, const char* command,
                                    picking::ScanInForce& scan) {
    const std::string type = args.Get("scan-type").value_or("1");
    if (type != "1" && type != "2" && type != "3")
        return Fail(command, "--scan-type must be 1, 2 or 3");
    scan.type = type[0] - '0';
    const auto scanType = static_cast<sectors::ScanType>(scan.type);
    const std::string text =
        args.Get("threshold").value_or(std::string(kStartThresholds[scan.type - 1]));
    const auto threshold = sectors::ParseThreshold(scanType, text);
    if (!threshold)
        return Fail(command, "--threshold: " + text +
                                 (scanType == sectors::ScanType::Fund
                                      ? " is not a whole percent"
                                      : " is not a percent with up to two decimals"));
    scan.threshold = *threshold;
    return std::nullopt;
}

std::string MarkJson(const std::vector<uint16_t>& values) {
    std::string text = "[";
    for (size_t i = 0; i < values.size(); ++i) text += (i ? ", " : "") + std::to_string(values[i]);
    return text + "]";
}

}  // namespace

std::optional<int> PreparePicking(const Args& args, const char* command,
                                  base::StderrPrompter& prompter, PickingSetup& setup) {
    auto root = args.Get("data");
    if (!root || root->empty()) return Fail(command, "--data DIR is required");
    auto method = args.Get("method");
    if (!method || method->empty()) return Fail(command, "--method ENTRY is required");
    if (args.Has("market") == args.Has("list"))
        return Fail(command, "give either --market sh|sz|cy|all or --list FILE");
    std::optional<picking::CandidateMarket> market;
    if (args.Has("market")) {
        market = MarketOption(*args.Get("market"));
        if (!market) return Fail(command, "--market must be sh, sz, cy or all");
    }
    setup.method = *method;
    setup.condition = picking::ReadMethodEntry(setup.method);
    if (setup.condition.code.number == 0)
        return Fail(command, "the method \"" + setup.method + "\" is not a method entry");
    if (auto failed = ReadScanSettings(args, command, setup.scan)) return failed;

    if (!StartMarket(*root, args.Get("date"), prompter, setup.workspace, setup.market)) return 1;
    setup.codes = std::make_unique<data::CodeTable>(setup.workspace.CodeTableRegion());
    setup.inputs = picking::MarketInputsOf(setup.workspace, setup.market, *setup.codes);

    if (market) {
        setup.candidates.market = *market;
        setup.candidates.codes = picking::SelectCandidates(*setup.codes, *market);
    } else if (picking::LoadCandidatePath(*args.Get("list"), prompter, setup.candidates) !=
               picking::LoadOutcome::Loaded) {
        return 1;
    }
    return std::nullopt;
}

int RunPickCommand(const Args& args) {
    constexpr const char* kName = "bkqy-cli pick";
    std::string unknown;
    if (!args.OnlyKnown(
            {"data", "method", "market", "list", "date", "scan-type", "threshold", "json"},
            &unknown))
        return Fail(kName, unknown);
    base::StderrPrompter prompter;
    PickingSetup setup;
    if (auto failed = PreparePicking(args, kName, prompter, setup)) return *failed;

    picking::RunContext context;
    context.market = setup.inputs;
    context.condition = setup.condition;
    context.candidates = setup.candidates.codes;
    context.cutoff = picking::SimulationCutoff(setup.market.simulation);
    context.scan = setup.scan;
    picking::PickingRun run;
    if (!run.Start(std::move(context), prompter)) return 1;
    auto outcome = run.Finish(prompter);
    if (!outcome) return 1;
    const picking::RunResults& r = outcome->results;
    if (r.referenceDate == 0) return Fail(kName, "no reference day: the market index has no bars");

    if (args.Has("json")) {
        std::printf("{\"date\": %u, \"method\": %s, \"candidates\": %zu, \"selected\": [",
                    r.referenceDate, JsonString(setup.method).c_str(),
                    setup.candidates.codes.size());
        for (size_t i = 0; i < r.selected.size(); ++i)
            std::printf("%s{\"code\": \"%s\", \"mark\": %s}", i ? ", " : "",
                        data::CodeText(r.selected[i]).c_str(), MarkJson(r.marks.Record(i)).c_str());
        std::printf("], \"rejected\": %zu}\n", r.rejected.size());
        return 0;
    }
    std::printf("参考日期    %u\n", r.referenceDate);
    std::printf("选股方法    %s\n", picking::MethodEntryText(setup.method).c_str());
    std::printf("待选股      %zu 只\n", setup.candidates.codes.size());
    std::printf("选出股      %zu 只\n", r.selected.size());
    for (size_t i = 0; i < r.selected.size(); ++i) {
        const std::string name = base::GbkToUtf8(setup.codes->StockName(r.selected[i]));
        std::printf("%s %s %s\n", data::CodeText(r.selected[i]).c_str(), name.c_str(),
                    MarkJson(r.marks.Record(i)).c_str());
    }
    return 0;
}

}  // namespace cli
