// bkqy-cli indicator: one indicator's lines over every bar of a stock (or
// index), daily, weekly or monthly, in the chosen adjustment, as JSON.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "cli/json.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/period_bars.h"
#include "data/startup.h"
#include "indicators/calculations.h"
#include "indicators/indicator_state.h"

namespace cli {
namespace {

constexpr const char* kName = "bkqy-cli indicator";

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
    return 2;
}

// A six-digit code as typed ("600000", "1" also works); nothing when it is not one.
std::optional<uint32_t> ParseCode(const std::string& text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    uint32_t code = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        code = code * 10 + static_cast<uint32_t>(c - '0');
    }
    return code;
}

// The shortest text that reads back as the value. A value that is exactly a
// float (the float-kept lines) is written as that float, so 0.12f shows as
// 0.12 rather than as the 17 digits of its double.
std::string RealText(double value) {
    char buffer[64];
    const float asFloat = static_cast<float>(value);
    std::to_chars_result result;
    if (static_cast<double>(asFloat) == value)
        result = std::to_chars(buffer, buffer + sizeof buffer, asFloat);
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string ValueText(indicators::LineKind kind, double value) {
    if (!std::isfinite(value)) return "null";
    switch (kind) {
        case indicators::LineKind::PriceAverage:
        case indicators::LineKind::VolumeAverage:
            return std::to_string(static_cast<uint64_t>(value));
        case indicators::LineKind::Band:
            return RealText(value);
        case indicators::LineKind::Real:
            return indicators::HasValue(value) ? RealText(value) : "null";
    }
    return "null";
}

// Legend labels without their colon: "DIFF", "6日".
std::string LineName(int index, int line, const indicators::IndicatorParams& params) {
    std::string label = indicators::LineLabel(index, line, params);
    if (!label.empty() && label.back() == ':') label.pop_back();
    return label;
}

}  // namespace

int RunIndicatorCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnown({"data", "code", "indicator", "period", "adjust", "json"}, &error))
        return Fail(error);
    const auto root = args.Get("data");
    if (!root || root->empty()) return Fail("--data DIR is required");
    const auto codeText = args.Get("code");
    if (!codeText) return Fail("--code CODE is required");
    const std::optional<uint32_t> code = ParseCode(*codeText);
    if (!code)
        return Fail("--code needs a stock code of up to six digits, not \"" + *codeText + "\"");
    if (!args.Has("indicator")) return Fail("--indicator 0..17 is required");
    const auto indexNumber = args.GetNumber("indicator", &error);
    if (!indexNumber) return Fail(error);
    if (*indexNumber > static_cast<uint64_t>(indicators::kLastIndicator))
        return Fail("--indicator must be 0..17");
    const int index = static_cast<int>(*indexNumber);
    if (!args.Has("json")) return Fail("--json is required (the only output format)");
    if (!args.Get("json")->empty()) return Fail("--json takes no value");

    data::Period period = data::Period::Daily;
    const std::string periodText = args.Get("period").value_or("day");
    if (periodText == "week")
        period = data::Period::Weekly;
    else if (periodText == "month")
        period = data::Period::Monthly;
    else if (periodText != "day")
        return Fail("--period must be day, week or month");

    data::AdjustMode mode = data::AdjustMode::None;
    const std::string adjustText = args.Get("adjust").value_or("none");
    if (adjustText == "forward")
        mode = data::AdjustMode::Forward;
    else if (adjustText == "backward")
        mode = data::AdjustMode::Backward;
    else if (adjustText != "none")
        return Fail("--adjust must be none, forward or backward");

    data::Workspace workspace;
    base::StderrPrompter prompter;
    data::MarketState market;
    if (data::RunStartup(workspace, *root, prompter, std::time(nullptr), market) !=
        data::StartupOutcome::Ready)
        return 1;

    data::OpenStockState stock;
    if (!data::OpenStock(market.paths, *code, stock, prompter)) return 1;
    const data::CodeTable codeTable(workspace.CodeTableRegion());
    const data::StockContext context{&codeTable, &market.exRights, &market.simulation};
    data::LoadStockDayFile(market.paths, context, workspace.OpenStockRegion(), stock);
    if (!stock.loaded) return Fail("cannot read the day file of " + stock.codeText);

    data::SeriesView view = stock.DailyView(workspace.OpenStockRegion(), &market.exRights, mode);
    if (period != data::Period::Daily) {
        const auto region =
            period == data::Period::Weekly ? workspace.WeeklyRegion() : workspace.MonthlyRegion();
        const data::PeriodBuild build = data::BuildPeriodBars(view, period, region);
        view = data::PeriodView(region, build, period, stock.isIndex);
    }

    const indicators::IndicatorState state;
    const indicators::IndicatorParams& params = state.Params(index);
    const indicators::IndicatorDef& def = indicators::DefinitionOf(index);
    const size_t barCount = view.BarCount();
    const indicators::IndicatorSeries series =
        barCount == 0 ? indicators::IndicatorSeries{}
                      : indicators::ComputeSeries(view, index, params, 0, barCount - 1);

    std::string out = "{\"code\": " + JsonString(stock.codeText) +
                      ", \"indicator\": " + std::to_string(index) + ", \"params\": [";
    for (int i = 0; i < indicators::ParamCount(index); ++i)
        out += (i ? ", " : "") + std::to_string(params.values[i]);
    out += "], \"lines\": [";
    for (int line = 0; line < def.LineCount(); ++line)
        out += (line ? ", " : "") + JsonString(LineName(index, line, params));
    out += "], \"bars\": [";
    for (size_t t = 0; t < series.count; ++t) {
        out += t ? ", " : "";
        out += "{\"date\": " + std::to_string(data::BarDate(view, indicators::BarOffset(view, t))) +
               ", \"values\": [";
        for (int line = 0; line < def.LineCount(); ++line)
            out += (line ? ", " : "") + ValueText(def.kind, series.At(line, t));
        out += "]}";
    }
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

}  // namespace cli
