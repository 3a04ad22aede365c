#include "indicators/catalogue.h"

#include <cstdio>

namespace indicators {
namespace {

// "(12,26,9)" for an index with parameters, "" without.
std::string ValueList(int index, const IndicatorParams& params) {
    const int count = ParamCount(index);
    if (count == 0) return "";
    std::string text = "(";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ",";
        text += std::to_string(params.values[i]);
    }
    return text + ")";
}

}  // namespace

const IndicatorDefaults& DefaultsOf(int index) {
    return DefinitionOf(index).params;
}

int ParamCount(int index) {
    return IsIndicator(index) ? DefinitionOf(index).params.count : 0;
}

IndicatorParams StandardParams(int index) {
    IndicatorParams params;
    if (!IsIndicator(index)) return params;
    const IndicatorDef& def = DefinitionOf(index);
    params.values = def.params.standard;
    params.colours = def.colours.items;
    return params;
}

bool LineShown(const IndicatorDef& def, int line, const IndicatorParams& params) {
    return !IsAverage(def.kind) || params.values[line] > 0;
}

std::string LineLabel(int index, int line, const IndicatorParams& params) {
    if (!IsIndicator(index)) return "";
    const IndicatorDef& def = DefinitionOf(index);
    if (line < 0 || line >= def.LineCount()) return "";
    if (!def.lines[line].label.empty()) return std::string(def.lines[line].label);
    return std::to_string(params.values[line]) + "日";
}

std::string DescriptionEntry(int index) {
    if (!IsIndicator(index)) return "";
    char number[16];
    std::snprintf(number, sizeof number, "%02d", index);
    return std::string(number) + " " + std::string(DefinitionOf(index).name);
}

std::string RowText(int index, const IndicatorParams& params) {
    return DescriptionEntry(index) + ValueList(index, params);
}

std::string TitleText(int index, const IndicatorParams& params) {
    return std::string(DefinitionOf(index).name) + ValueList(index, params);
}

}  // namespace indicators
