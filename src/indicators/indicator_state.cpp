#include "indicators/indicator_state.h"

#include <algorithm>

namespace indicators {
namespace {

struct FamilyTarget {
    int index;  // the record whose values are replaced
    int panel;  // the indicator shown, or 0 to keep the panel
};

FamilyTarget TargetOf(OverrideFamily family) {
    switch (family) {
        case OverrideFamily::MovingAverages:
            return {kMa, 0};
        case OverrideFamily::Rsi:
            return {kRsi, kRsi};
        case OverrideFamily::Bias:
            return {kBias, kBias};
        case OverrideFamily::Macd:
            return {kMacd, kMacd};
        case OverrideFamily::Kdj:
            return {kKdj, kKdj};
        case OverrideFamily::Boll:
            return {kBoll, kBoll};
    }
    return {kMa, 0};
}

constexpr std::array<OverrideFamily, 6> kFamilies{
    OverrideFamily::MovingAverages, OverrideFamily::Rsi, OverrideFamily::Bias,
    OverrideFamily::Macd,           OverrideFamily::Kdj, OverrideFamily::Boll};

}  // namespace

std::optional<OverrideFamily> OverrideFamilyOf(int family) {
    for (OverrideFamily f : kFamilies)
        if (static_cast<int>(f) == family) return f;
    return std::nullopt;
}

IndicatorState::IndicatorState() {
    for (int i = 0; i < kIndicatorCount; ++i) m_params[i] = StandardParams(i);
}

const IndicatorParams& IndicatorState::Params(int index) const {
    return m_params[IsIndicator(index) ? index : 0];
}

bool IndicatorState::Select(int index) {
    if (!IsPanelIndicator(index)) return false;
    const bool changed = index != m_selected;
    m_selected = index;
    m_remembered = index;
    return changed;
}

SetValuesResult IndicatorState::SetValues(int index, std::span<const int32_t> values) {
    const int count = ParamCount(index);
    if (count == 0) return SetValuesResult::NoParameters;
    if (values.size() < static_cast<size_t>(count)) return SetValuesResult::OutOfRange;
    const IndicatorDefaults& defaults = DefaultsOf(index);
    for (int i = 0; i < count; ++i)
        if (!defaults.ranges[i].Contains(values[i])) return SetValuesResult::OutOfRange;
    for (int i = 0; i < count; ++i) m_params[index].values[i] = values[i];
    return SetValuesResult::Applied;
}

void IndicatorState::RestoreStandard(int index) {
    if (!IsIndicator(index)) return;
    m_params[index].values = DefaultsOf(index).standard;
}

void IndicatorState::RestoreAll() {
    for (int i = 0; i <= kLastIndicator; ++i) RestoreStandard(i);
}

bool IndicatorState::ApplyOverride(int family, std::span<const int32_t> values) {
    const std::optional<OverrideFamily> known = OverrideFamilyOf(family);
    if (!known) return false;
    const FamilyTarget target = TargetOf(*known);
    IndicatorParams& record = m_params[target.index];
    const int count = ParamCount(target.index);
    if (!m_saved[family]) {
        for (int i = 0; i < count; ++i) m_savedValues[family][i] = record.values[i];
        m_saved[family] = true;
    }
    const size_t n = std::min(values.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) record.values[i] = values[i];
    if (target.panel != 0) m_selected = target.panel;
    return true;
}

void IndicatorState::RestoreOverride() {
    // Every family that holds saved values goes back, not only the last one
    // applied, so that no overridden record outlives the result it came from.
    for (OverrideFamily f : kFamilies) {
        const int family = static_cast<int>(f);
        if (!m_saved[family]) continue;
        const int index = TargetOf(f).index;
        for (int i = 0; i < ParamCount(index); ++i)
            m_params[index].values[i] = m_savedValues[family][i];
        m_saved[family] = false;
    }
    m_selected = m_remembered;
}

bool IndicatorState::HasSavedValues(OverrideFamily family) const {
    return m_saved[static_cast<int>(family)];
}

void IndicatorState::AdjustColoursFor(Backdrop backdrop) {
    const bool darken = backdrop == Backdrop::Light;
    const base::Rgb from = darken ? kLineWhite : kLineDarkGrey;
    const base::Rgb to = darken ? kLineDarkGrey : kLineWhite;
    const base::Rgb nextFrom = darken ? kLineYellow : kLineBlue;
    const base::Rgb nextTo = darken ? kLineBlue : kLineYellow;
    for (int index = 0; index < kIndicatorCount; ++index) {
        auto& colours = m_params[index].colours;
        const int count = DefinitionOf(index).colours.count;
        for (int c = 0; c < count; ++c) {
            if (colours[c] != from) continue;
            colours[c] = to;
            if (c + 1 < count && colours[c + 1] == nextFrom) colours[++c] = nextTo;
        }
    }
}

}  // namespace indicators
