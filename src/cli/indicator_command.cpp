// bkqy-cli indicator: one indicator's lines over every bar of a stock (or
// index), daily, weekly or monthly, in the chosen adjustment: a table, JSON
// or CSV, each value in its own unit and null where the bar has none.
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/csv.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/numbers.h"
#include "cli/series_setup.h"
#include "cli/text_table.h"
#include "cli/values.h"
#include "indicators/calculations.h"
#include "indicators/indicator_state.h"
#include "picking/catalogue.h"

namespace cli {
namespace {

// One value as printed ("" for none) and, for the close averages, the
// integer in hundredths it was kept as.
struct Cell {
    std::string text;
    std::optional<int64_t> raw;
};

Cell MakeCell(indicators::LineKind kind, double value) {
    if (!std::isfinite(value)) return {};
    switch (kind) {
        case indicators::LineKind::PriceAverage: {
            const auto hundredths = static_cast<int64_t>(value);
            if (hundredths == 0) return {};  // too few bars
            return {picking::TwoDecimals(hundredths), hundredths};
        }
        case indicators::LineKind::VolumeAverage:
            if (value == 0) return {};
            return {std::to_string(static_cast<uint64_t>(value)), std::nullopt};
        case indicators::LineKind::Band:
            if (std::trunc(value) == 0) return {};
            return {RealText(value), std::nullopt};
        case indicators::LineKind::Real:
            if (!indicators::HasValue(value)) return {};
            return {RealText(value), std::nullopt};
    }
    return {};
}

// Legend labels without their colon: "DIFF", "6日".
std::string LineName(int index, int line, const indicators::IndicatorParams& params) {
    std::string label = indicators::LineLabel(index, line, params);
    if (!label.empty() && label.back() == ':') label.pop_back();
    return label;
}

std::optional<std::string> UnitOf(const indicators::IndicatorDef& def, const SecuritySeries& s) {
    switch (def.kind) {
        case indicators::LineKind::PriceAverage:
        case indicators::LineKind::Band:
            return std::string(s.PriceUnit());
        case indicators::LineKind::VolumeAverage:
            return s.IsIndex() ? "万手" : "手";
        case indicators::LineKind::Real:
            return std::nullopt;
    }
    return std::nullopt;
}

struct Computed {
    int index = 0;
    const indicators::IndicatorDef* def = nullptr;
    indicators::IndicatorParams params;
    indicators::IndicatorSeries series;

    int Lines() const { return def->LineCount(); }
    Cell At(int line, size_t t) const { return MakeCell(def->kind, series.At(line, t)); }
    uint32_t Date(const data::SeriesView& view, size_t t) const {
        return data::BarDate(view, indicators::BarOffset(view, t));
    }
};

void PrintJson(const Invocation& in, const SecuritySeries& s, const Computed& c) {
    const bool withRaw = c.def->kind == indicators::LineKind::PriceAverage;
    JsonWriter json;
    json.BeginObject()
        .Field("code", s.stock.codeText)
        .Field("name", s.name)
        .Field("indicator", c.index)
        .Field("indicator_name", IndicatorName(c.index))
        .Field("title", c.def->name)
        .Field("period", PeriodWord(in.Period()))
        .Field("adjust", AdjustWord(in.Adjust()))
        .Key("params")
        .BeginArray();
    for (int i = 0; i < indicators::ParamCount(c.index); ++i) json.Int(c.params.values[static_cast<size_t>(i)]);
    json.EndArray().Key("lines").BeginArray();
    for (int line = 0; line < c.Lines(); ++line) json.String(LineName(c.index, line, c.params));
    json.EndArray().Field("unit", UnitOf(*c.def, s)).Key("bars").BeginArray();
    for (size_t t = 0; t < c.series.count; ++t) {
        json.BeginObject().Field("date", c.Date(s.view, t)).Key("values").BeginArray();
        for (int line = 0; line < c.Lines(); ++line) json.Number(c.At(line, t).text);
        json.EndArray();
        if (withRaw) {
            json.Key("values_raw").BeginArray();
            for (int line = 0; line < c.Lines(); ++line) json.Value(c.At(line, t).raw);
            json.EndArray();
        }
        json.EndObject();
    }
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintCsv(const SecuritySeries& s, const Computed& c) {
    std::vector<std::string> header = {"date"};
    for (int line = 0; line < c.Lines(); ++line) header.push_back(LineName(c.index, line, c.params));
    std::string text = CsvLine(header);
    for (size_t t = 0; t < c.series.count; ++t) {
        std::vector<std::string> row = {std::to_string(c.Date(s.view, t))};
        for (int line = 0; line < c.Lines(); ++line) row.push_back(c.At(line, t).text);
        text += CsvLine(row);
    }
    std::fputs(text.c_str(), stdout);
}

void PrintText(const SecuritySeries& s, const Computed& c) {
    const auto unit = UnitOf(*c.def, s);
    std::string text = s.stock.codeText + " " + Printable(s.name) + "  " +
                       indicators::TitleText(c.index, c.params) +
                       (unit ? "（单位：" + *unit + "）" : std::string()) + "\n";
    TextTable table(std::vector<bool>(static_cast<size_t>(c.Lines()) + 1, true));
    std::vector<std::string> header = {"日期"};
    for (int line = 0; line < c.Lines(); ++line) header.push_back(LineName(c.index, line, c.params));
    table.Add(header);
    for (size_t t = 0; t < c.series.count; ++t) {
        std::vector<std::string> row = {std::to_string(c.Date(s.view, t))};
        for (int line = 0; line < c.Lines(); ++line) {
            const std::string value = c.At(line, t).text;
            row.push_back(value.empty() ? "-" : value);
        }
        table.Add(row);
    }
    std::fputs((text + table.Text()).c_str(), stdout);
}

}  // namespace

int RunIndicatorCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    SecuritySeries s;
    if (auto failed = LoadSecuritySeries(in, prompter, s)) return *failed;

    Computed c;
    c.index = *in.Indicator();
    c.def = &indicators::DefinitionOf(c.index);
    c.params = indicators::IndicatorState().Params(c.index);
    const size_t barCount = s.view.BarCount();
    if (barCount > 0) c.series = indicators::ComputeSeries(s.view, c.index, c.params, 0, barCount - 1);
    PrintIn(in.Format(), [&] { PrintJson(in, s, c); }, [&] { PrintCsv(s, c); },
            [&] { PrintText(s, c); });
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
