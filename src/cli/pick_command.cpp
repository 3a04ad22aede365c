// bkqy-cli pick: one picking run of a method entry over a market or a
// stock-list file, on the reference day (or the simulation date's).
#include <cstdio>

#include "base/gbk.h"
#include "cli/csv.h"
#include "cli/dispatch.h"
#include "cli/market_setup.h"
#include "cli/picking_setup.h"
#include "cli/text_table.h"
#include "cli/values.h"
#include "picking/picking_run.h"
#include "picking/simulation.h"

namespace cli {
namespace {

std::string MarkText(const std::vector<uint16_t>& values) {
    std::string text;
    for (uint16_t v : values) text += (text.empty() ? "" : " ") + std::to_string(v);
    return text;
}

void PrintJson(const Invocation& in, const PickingSetup& setup, const picking::RunResults& r) {
    JsonWriter json;
    json.BeginObject().Field("date", r.referenceDate);
    WritePickingFields(json, in, setup);
    json.Field("selected_count", r.selected.size())
        .Key("selected")
        .BeginArray();
    for (size_t i = 0; i < r.selected.size(); ++i)
        json.BeginObject()
            .Field("code", data::CodeText(r.selected[i]))
            .Field("name", setup.Name(r.selected[i]))
            .Field("mark_raw", r.marks.Record(i))
            .EndObject();
    json.EndArray().Field("rejected_count", r.rejected.size()).EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintCsv(const PickingSetup& setup, const picking::RunResults& r) {
    const size_t markValues = r.marks.RecordWidth() / 2;
    std::vector<std::string> header = {"code", "name"};
    for (size_t k = 1; k <= markValues; ++k) header.push_back("mark_raw_" + std::to_string(k));
    std::string text = CsvLine(header);
    for (size_t i = 0; i < r.selected.size(); ++i) {
        std::vector<std::string> row = {data::CodeText(r.selected[i]), setup.Name(r.selected[i])};
        const auto mark = r.marks.Record(i);
        for (size_t k = 0; k < markValues; ++k)
            row.push_back(k < mark.size() ? std::to_string(mark[k]) : "");
        text += CsvLine(row);
    }
    std::fputs(text.c_str(), stdout);
}

void PrintText(const PickingSetup& setup, const picking::RunResults& r) {
    std::string text = "参考日期    " + std::to_string(r.referenceDate) + "\n";
    text += "选股方法    " + picking::MethodEntryText(setup.method) + "\n";
    text += "待选股      " + std::to_string(setup.candidates.codes.size()) + " 只\n";
    text += "选出股      " + std::to_string(r.selected.size()) + " 只\n";
    TextTable table({false, false, false});
    for (size_t i = 0; i < r.selected.size(); ++i)
        table.Add({data::CodeText(r.selected[i]), setup.Name(r.selected[i]),
                   "标记 " + MarkText(r.marks.Record(i))});
    std::fputs((text + table.Text()).c_str(), stdout);
}

}  // namespace

std::string PickingSetup::Name(uint32_t code) const {
    return names->Of(code);
}

std::optional<int> PreparePicking(const Invocation& in, CommandPrompter& prompter,
                                  PickingSetup& setup) {
    setup.method = in.Text("method");
    setup.condition = picking::ReadMethodEntry(setup.method);
    if (setup.condition.code.number == 0)
        return in.Fail(Exit::Usage, "“" + setup.method +
                                        "”不是选股方法条目：应为条件代码和参数，如 "
                                        "a3(5,2.00,30.00);（bkqy-cli methods 列出全部条件）");
    setup.scan.type = static_cast<int>(in.Type());
    setup.scan.threshold = in.Threshold().value_or(StartThreshold(in.Type()));

    if (!StartMarket(in, prompter, setup.workspace, setup.market))
        return static_cast<int>(Exit::Refused);
    setup.codes = std::make_unique<data::CodeTable>(setup.workspace.CodeTableRegion());
    setup.names = std::make_unique<StockNames>(*setup.codes);
    setup.inputs = picking::MarketInputsOf(setup.workspace, setup.market, *setup.codes);
    if (!ChooseCandidates(in, *setup.codes, prompter, setup.candidates))
        return static_cast<int>(Exit::Refused);
    return std::nullopt;
}

void WritePickingFields(JsonWriter& json, const Invocation& in, const PickingSetup& setup) {
    const picking::ConditionCode code = setup.condition.code;
    const auto type = static_cast<sectors::ScanType>(setup.scan.type);
    json.Field("method", setup.method)
        .Field("condition", code.Text())
        .Field("title", picking::ConditionTitleOf(code.group, code.number))
        .Field("type", setup.scan.type)
        .Key("threshold")
        .Number(ScanPercentText(type, setup.scan.threshold))
        .Field("threshold_raw", setup.scan.threshold);
    if (in.Has("lookback")) json.Field("lookback", *in.Number("lookback"));
    WriteCandidateFields(json, in);
    json.Field("candidates", setup.candidates.codes.size());
}

int RunPickCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    PickingSetup setup;
    if (auto failed = PreparePicking(in, prompter, setup)) return *failed;

    picking::RunContext context;
    context.market = setup.inputs;
    context.condition = setup.condition;
    context.candidates = setup.candidates.codes;
    context.cutoff = picking::SimulationCutoff(setup.market.simulation);
    context.scan = setup.scan;
    picking::PickingRun run;
    if (!run.Start(std::move(context), prompter)) return static_cast<int>(Exit::Refused);
    auto outcome = run.Finish(prompter);
    if (!outcome || outcome->results.referenceDate == 0) return static_cast<int>(Exit::Refused);
    const picking::RunResults& r = outcome->results;
    PrintIn(in.Format(), [&] { PrintJson(in, setup, r); }, [&] { PrintCsv(setup, r); },
            [&] { PrintText(setup, r); });
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
