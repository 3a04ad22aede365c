// bkqy-cli rotation: the sector scan of each of the last N trading days up to
// --to, every day exactly as `scan --date` that day, and what entered and
// left the top 10 on the last day.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "cli/command_prompter.h"
#include "cli/csv.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/sector_setup.h"
#include "sectors/rotation.h"

namespace cli {
namespace {

struct RotationReport {
    const Invocation& in;
    const SectorSetup& setup;
    const std::vector<sectors::RotationDay>& days;

    std::string Name(uint32_t number) const {
        return base::GbkToUtf8(sectors::SectorNameAndFamily(setup.library, number).name);
    }
};

void WriteRank(JsonWriter& json, const RotationReport& r, const sectors::DayRank& s) {
    json.BeginObject()
        .Field("rank", s.rank)
        .Field("number", sectors::SectorDisplayNumber(s.number))
        .Field("name", r.Name(s.number))
        .Field("hits", s.hits)
        .Field("score", s.score)
        .EndObject();
}

void PrintJson(const RotationReport& r) {
    JsonWriter json;
    json.BeginObject().Field("to", r.days.back().date).Field("days", r.days.size());
    WriteScanSettingsFields(json, r.in, r.setup);
    json.Key("rotation").BeginArray();
    for (const sectors::RotationDay& day : r.days) {
        json.BeginObject()
            .Field("date", day.date)
            .Field("selected_count", day.selected)
            .Field("sector_count", day.sectors.size())
            .Key("sectors")
            .BeginArray();
        for (const sectors::DayRank& s : day.sectors) WriteRank(json, r, s);
        json.EndArray().EndObject();
    }
    json.EndArray().Field("top", sectors::kRotationTop);
    // The last day against the day before; with one day nothing moved.
    const sectors::TopChange change =
        r.days.size() < 2 ? sectors::TopChange{}
                          : sectors::TopChangeOf(r.days[r.days.size() - 2], r.days.back());
    json.Key("entered").BeginArray();
    for (const sectors::DayRank& s : change.entered) WriteRank(json, r, s);
    json.EndArray().Key("left").BeginArray();
    for (const sectors::DayRank& s : change.left) WriteRank(json, r, s);
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintCsv(const RotationReport& r) {
    std::string text = CsvLine({"date", "rank", "number", "sector", "hits", "score"});
    for (const sectors::RotationDay& day : r.days)
        for (const sectors::DayRank& s : day.sectors)
            text += CsvLine({std::to_string(day.date), std::to_string(s.rank),
                             std::to_string(sectors::SectorDisplayNumber(s.number)), r.Name(s.number),
                             std::to_string(s.hits), std::to_string(s.score)});
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunRotationCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    auto setup = std::make_unique<SectorSetup>();
    if (!StartSectorCommand(in, prompter, *setup, "to")) return static_cast<int>(Exit::Refused);
    const std::vector<uint32_t> dates = sectors::TradingDaysUpTo(
        setup->inputs.index, setup->Cutoff(), static_cast<size_t>(*in.Number("days")));

    std::vector<picking::PendingMessage> messages;
    auto scan = std::make_unique<sectors::SectorScan>();
    const std::vector<sectors::RotationDay> days = sectors::RunRotation(
        {setup->inputs, setup->library, setup->settings, setup->candidates.codes}, *scan, dates,
        messages);
    if (!messages.empty()) prompter.ShowMessage(messages.front().text, messages.front().caption);
    if (days.empty() || days.back().date == 0) return static_cast<int>(Exit::Refused);

    const RotationReport report{in, *setup, days};
    PrintIn(in.Format(), [&] { PrintJson(report); }, [&] { PrintCsv(report); },
            [&] { PrintJson(report); });
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
