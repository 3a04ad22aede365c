// bkqy-cli scorecard: did the scan's top sectors keep going? For every
// trading day of a range, the top-K sectors of that day's scan against all
// candidates over each horizon, as hit rates and mean excess returns.
#include <algorithm>
#include <cmath>
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
#include "cli/text_table.h"
#include "cli/values.h"
#include "sectors/rotation.h"
#include "sectors/scorecard.h"

namespace cli {
namespace {

constexpr int kLongestHorizon = 60;
constexpr size_t kChartWidth = 20;  // characters on each side of the axis

// "1,3,5": whole numbers from 1 to 60, ascending, no repeats.
std::optional<std::vector<int>> ParseHorizons(const std::string& text) {
    std::vector<int> horizons;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = std::min(text.find(',', at), text.size());
        const std::string part = text.substr(at, comma - at);
        if (part.empty() || part.size() > 2 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const int h = std::stoi(part);
        if (h < 1 || h > kLongestHorizon || (!horizons.empty() && h <= horizons.back()))
            return std::nullopt;
        horizons.push_back(h);
        at = comma + 1;
    }
    return horizons;
}

// A percent with its sign, three decimals: "+1.235".
std::string Percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.3f", fraction * 100);
    return text;
}

// The same as a JSON number: "1.235", "-0.500".
std::string PercentNumber(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", fraction * 100);
    return text;
}

std::string DateText(uint32_t d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u.%02u.%02u", d / 10000, d / 100 % 100, d % 100);
    return text;
}

struct ScorecardReport {
    const Invocation& in;
    const SectorSetup& setup;
    const std::vector<int>& horizons;
    size_t top = 0;
    const std::vector<sectors::ScorecardDay>& days;
    const std::vector<sectors::HorizonSummary>& summary;

    std::string Name(uint32_t number) const {
        return base::GbkToUtf8(sectors::SectorNameAndFamily(setup.library, number).name);
    }
};

void PrintJson(const ScorecardReport& r) {
    JsonWriter json;
    json.BeginObject()
        .Field("from", r.days.front().date)
        .Field("to", r.days.back().date)
        .Field("days", r.days.size());
    WriteScanSettingsFields(json, r.in, r.setup);
    json.Field("top", r.top).Field("horizons", r.horizons).Key("summary").BeginArray();
    for (const sectors::HorizonSummary& s : r.summary)
        json.BeginObject()
            .Field("horizon", s.horizon)
            .Field("counted", s.counted)
            .Field("left_out", s.leftOut)
            .Field("hits", s.hits)
            .Key("hit_rate_pct")
            .Number(PercentNumber(s.hitRate))
            .Key("mean_excess_pct")
            .Number(PercentNumber(s.meanExcess))
            .EndObject();
    json.EndArray().Key("daily").BeginArray();
    for (const sectors::ScorecardDay& day : r.days) {
        json.BeginObject().Field("date", day.date).Key("sectors").BeginArray();
        for (size_t k = 0; k < day.topSectors.size(); ++k)
            json.BeginObject()
                .Field("rank", k + 1)
                .Field("number", sectors::SectorDisplayNumber(day.topSectors[k]))
                .Field("name", r.Name(day.topSectors[k]))
                .EndObject();
        json.EndArray().Key("returns").BeginArray();
        for (size_t k = 0; k < r.horizons.size(); ++k) {
            const sectors::DayOutcome& o = day.horizons[k];
            json.BeginObject().Field("horizon", r.horizons[k]);
            json.Field("later", o.later ? std::optional<uint32_t>(o.later) : std::nullopt);
            const bool counted = o.Counted();
            json.Key("top_pct").Number(counted ? PercentNumber(o.top) : "");
            json.Key("market_pct").Number(counted ? PercentNumber(o.market) : "");
            json.Key("excess_pct").Number(counted ? PercentNumber(o.Excess()) : "");
            json.EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintCsv(const ScorecardReport& r) {
    std::string text = CsvLine({"date", "horizon", "later", "top_pct", "market_pct", "excess_pct",
                                "sectors"});
    for (const sectors::ScorecardDay& day : r.days) {
        std::string names;
        for (const uint32_t number : day.topSectors)
            names += (names.empty() ? "" : "|") + r.Name(number);
        for (size_t k = 0; k < r.horizons.size(); ++k) {
            const sectors::DayOutcome& o = day.horizons[k];
            const bool counted = o.Counted();
            text += CsvLine({std::to_string(day.date), std::to_string(r.horizons[k]),
                             o.later ? std::to_string(o.later) : "",
                             counted ? Percent(o.top) : "", counted ? Percent(o.market) : "",
                             counted ? Percent(o.Excess()) : "", names});
        }
    }
    std::fputs(text.c_str(), stdout);
}

// One line a day: the excess of the first horizon as a bar either side of an axis.
std::string ExcessChart(const ScorecardReport& r) {
    double largest = 0;
    for (const auto& day : r.days)
        if (day.horizons[0].Counted())
            largest = std::max(largest, std::fabs(day.horizons[0].Excess()));
    std::string text = "每日超额收益（" + std::to_string(r.horizons[0]) + " 日，前 " +
                       std::to_string(r.top) + " 个板块减全部待选股）：\n";
    for (const auto& day : r.days) {
        const sectors::DayOutcome& o = day.horizons[0];
        std::string line = DateText(day.date) + "  ";
        if (!o.Counted()) {
            text += line + "（未满 " + std::to_string(r.horizons[0]) + " 日）\n";
            continue;
        }
        const size_t length =
            largest > 0 ? static_cast<size_t>(std::lround(std::fabs(o.Excess()) / largest *
                                                          static_cast<double>(kChartWidth)))
                        : 0;
        std::string left(kChartWidth, ' '), right;
        if (o.Excess() < 0) {
            left = std::string(kChartWidth - length, ' ');
            for (size_t i = 0; i < length; ++i) left += "▇";
        } else {
            for (size_t i = 0; i < length; ++i) right += "▇";
        }
        text += line + PadLeft(Percent(o.Excess()) + "%", 9) + " " + left + "|" + right + "\n";
    }
    return text;
}

void PrintText(const ScorecardReport& r) {
    std::string text = "板块扫描成绩 " + DateText(r.days.front().date) + "—" +
                       DateText(r.days.back().date) + "  " +
                       std::string(sectors::ScanTitleWord(r.setup.settings.type)) + "：" +
                       std::string(ScanTypeName(r.setup.settings.type)) + "≥" +
                       sectors::ThresholdText(r.setup.settings.type, r.setup.settings.threshold) +
                       "%  前 " + std::to_string(r.top) + " 个板块  " +
                       std::to_string(r.days.size()) + " 个交易日  待选股 " +
                       std::to_string(r.setup.candidates.codes.size()) + "\n";
    TextTable table({true, true, true, true, true, true});
    table.Add({"周期", "计入天数", "未满天数", "跑赢天数", "胜率", "平均超额"});
    for (const sectors::HorizonSummary& s : r.summary) {
        char rate[16];
        std::snprintf(rate, sizeof rate, "%.1f%%", s.hitRate * 100);
        table.Add({std::to_string(s.horizon) + "日", std::to_string(s.counted),
                   std::to_string(s.leftOut), std::to_string(s.hits), rate,
                   Percent(s.meanExcess) + "%"});
    }
    std::fputs((text + table.Text() + "\n" + ExcessChart(r)).c_str(), stdout);
}

}  // namespace

int RunScorecardCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    const auto horizons = ParseHorizons(in.Optional("horizons").value_or("1,3,5"));
    if (!horizons)
        return in.Fail(Exit::Usage,
                       "--horizons 须为 1～60 的整数，由小到大，以逗号分隔，如 1,3,5");
    const uint32_t from = *in.Date("from");
    if (from > *in.Date("to")) return in.Fail(Exit::Usage, "--from 不能晚于 --to");
    auto setup = std::make_unique<SectorSetup>();
    if (!StartSectorCommand(in, prompter, *setup, "to")) return static_cast<int>(Exit::Refused);
    const data::SeriesView& index = setup->inputs.index;
    const std::vector<uint32_t> dates = sectors::TradingDaysBetween(index, from, setup->Cutoff());
    if (dates.empty()) return in.Fail(Exit::Refused, "这段日期内没有交易日");
    const size_t top = static_cast<size_t>(in.Number("top").value_or(sectors::kDefaultScorecardTop));

    std::vector<picking::PendingMessage> messages;
    auto scan = std::make_unique<sectors::SectorScan>();
    const sectors::Scorecard card = sectors::RunScorecard(
        {setup->inputs, setup->library, setup->settings, setup->candidates.codes}, *scan, dates,
        top, *horizons, messages);
    if (!messages.empty()) prompter.ShowMessage(messages.front().text, messages.front().caption);
    const auto& days = card.days;
    const auto& summary = card.summary;
    const ScorecardReport report{in, *setup, *horizons, top, days, summary};
    PrintIn(in.Format(), [&] { PrintJson(report); }, [&] { PrintCsv(report); },
            [&] { PrintText(report); });
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
