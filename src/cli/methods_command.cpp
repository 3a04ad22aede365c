// bkqy-cli methods: the condition catalogue as a user needs it to write
// method entries for pick and history: each code with its title, its
// parameters (standard values and the ranges the setting board accepts), an
// example entry and whether it selects anything.
#include <climits>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/dispatch.h"
#include "cli/json.h"
#include "picking/catalogue.h"

namespace cli {
namespace {

constexpr int kLastPosition = 60;

struct ParamLine {
    std::string name;
    std::string standard;
    std::string range;  // empty: any value
    std::optional<int32_t> min;
    std::optional<int32_t> max;
    bool zeroToo = false;
};

struct MethodLine {
    picking::ConditionCode code;
    std::string title;
    bool shown = false;
    bool selects = false;
    std::string example;
    std::vector<ParamLine> params;
};

bool Shown(picking::ConditionCode code) {
    for (int position = 1; position <= kLastPosition; ++position)
        if (picking::ConditionAtPosition(code.group, position) == code.number) return true;
    return false;
}

// The range of parameter k: the board's check, and for N the smallest value
// the method list takes.
void AddRange(picking::ConditionCode code, size_t k, ParamLine& line) {
    for (const picking::ParamLimit& limit : picking::ParamLimits(code)) {
        if (limit.param != k) continue;
        line.min = limit.min;
        if (limit.max != INT32_MAX) line.max = limit.max;
        line.zeroToo = limit.zeroToo;
    }
    const int minimum = picking::MinimumN(code);
    if (k == 0 && minimum > 0) line.min = minimum;
    if (!line.min) return;
    const std::string min = std::to_string(*line.min);
    if (line.max)
        line.range = min + "-" + std::to_string(*line.max);
    else
        line.range = (line.zeroToo ? "0 or ≥" : "≥") + min;
}

MethodLine Describe(picking::ConditionCode code) {
    MethodLine m;
    m.code = code;
    m.title = picking::ConditionTitleOf(code.group, code.number);
    m.shown = Shown(code);
    m.selects = picking::SelectsStocks(code);
    const picking::ParamRecord standard = picking::InitialParams(code);
    const auto names = picking::ConditionParamNames(code);
    std::vector<int64_t> values;
    for (size_t k = 0; k < names.size(); ++k) {
        values.push_back(standard[k]);
        ParamLine line;
        line.name = names[k];
        line.standard = picking::ParamText(code, k, standard[k]);
        AddRange(code, k, line);
        m.params.push_back(line);
    }
    m.example = picking::WriteMethodEntry(code, values);
    return m;
}

std::vector<MethodLine> Catalogue() {
    std::vector<MethodLine> lines;
    for (int group : {picking::kGroupA, picking::kGroupB, picking::kGroupC})
        for (int n = 1; n <= picking::ConditionCount(group); ++n)
            lines.push_back(Describe({group, n}));
    return lines;
}

void PrintJson(const std::vector<MethodLine>& lines) {
    JsonWriter json;
    json.BeginObject().Key("methods").BeginArray();
    for (const MethodLine& m : lines) {
        json.BeginObject()
            .Field("code", m.code.Text())
            .Field("title", m.title)
            .Field("shown", m.shown)
            .Field("selects", m.selects)
            .Field("example", m.example)
            .Key("params")
            .BeginArray();
        for (const ParamLine& p : m.params) {
            json.BeginObject().Field("name", p.name).Field("standard", p.standard);
            if (p.min) json.Field("min", *p.min);
            if (p.max) json.Field("max", *p.max);
            if (p.zeroToo) json.Field("zero", true);
            json.EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintText(const std::vector<MethodLine>& lines) {
    for (const MethodLine& m : lines) {
        std::printf("%-5s %s%s\n", m.code.Text().c_str(), m.title.c_str(),
                    m.selects ? "" : "  (不选股)");
        std::string detail = "      " + m.example;
        for (const ParamLine& p : m.params) {
            detail += "  " + p.name + "=" + p.standard;
            if (!p.range.empty()) detail += " (" + p.range + ")";
        }
        std::printf("%s\n", detail.c_str());
    }
}

}  // namespace

int RunMethodsCommand(const Invocation& in) {
    const auto lines = Catalogue();
    if (in.Format() == OutputFormat::Json)
        PrintJson(lines);
    else
        PrintText(lines);
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
