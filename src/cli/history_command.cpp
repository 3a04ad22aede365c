// bkqy-cli history: the history scan. For each candidate, the first of the
// last L trading days (from the simulation date back) on which the method
// passes; with --out the hits are also written as the window's report file.
#include <cstdio>

#include "cli/dispatch.h"
#include "cli/market_setup.h"
#include "cli/picking_setup.h"
#include "cli/text_table.h"
#include "picking/picking_run.h"

namespace cli {
namespace {

void PrintJson(const Invocation& in, const PickingSetup& setup, const picking::RunOutcome& o) {
    const picking::RunResults& r = o.results;
    JsonWriter json;
    json.BeginObject().Field("date", r.referenceDate);
    WritePickingFields(json, in, setup);
    json.Field("selected_count", o.hits.size())
        .Key("selected")
        .BeginArray();
    for (size_t i = 0; i < o.hits.size(); ++i)
        json.BeginObject()
            .Field("code", data::CodeText(o.hits[i].code))
            .Field("name", setup.Name(o.hits[i].code))
            .Field("date", o.hits[i].date)
            .Field("days_back", o.hits[i].daysBack)
            .Field("mark_raw", r.marks.Record(i))
            .EndObject();
    json.EndArray()
        .Field("rejected_count", r.rejected.size())
        .Field("closing", o.closingLines)
        .Field("report", o.report.empty() ? std::nullopt : in.Optional("out"))
        .EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintText(const Invocation& in, const PickingSetup& setup, const picking::RunOutcome& o) {
    const picking::RunResults& r = o.results;
    std::string text = "模拟日期    " + std::to_string(r.referenceDate) + "\n";
    text += "选股方法    " + picking::MethodEntryText(setup.method) + "\n";
    text += std::to_string(r.selected.size()) + "/" +
            std::to_string(r.selected.size() + r.rejected.size()) +
            " L=" + std::to_string(in.Number("lookback").value_or(0)) + "\n";
    TextTable table({false, false, false, true});
    for (const auto& hit : o.hits)
        table.Add({data::CodeText(hit.code), setup.Name(hit.code), std::to_string(hit.date),
                   "前 " + std::to_string(hit.daysBack) + " 日"});
    text += table.Text();
    for (const auto& line : o.closingLines) text += line + "\n";
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunHistoryCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    PickingSetup setup;
    if (auto failed = PreparePicking(in, prompter, setup)) return *failed;

    picking::HistoryContext context;
    context.market = setup.inputs;
    context.condition = setup.condition;
    context.candidates = setup.candidates.codes;
    context.simulationDate = setup.market.simulation.date;
    context.lookback = static_cast<size_t>(*in.Number("lookback"));
    context.reportPath = in.Text("out");  // empty: no report file
    context.scan = setup.scan;
    picking::PickingRun run;
    if (!run.StartHistory(std::move(context), prompter)) return static_cast<int>(Exit::Refused);
    auto outcome = run.Finish(prompter);
    if (!outcome) return static_cast<int>(Exit::Refused);
    if (in.Format() == OutputFormat::Json)
        PrintJson(in, setup, *outcome);
    else
        PrintText(in, setup, *outcome);
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
