#include "chart/chart_layout.h"

namespace chart {
namespace {

constexpr int kLegendFont = 13;
constexpr int kLegendStep = 137;

}  // namespace

void BuildLegendRow(const indicators::IndicatorDef& def, const indicators::IndicatorParams& params,
                    int y, int firstValueX, int shift, std::vector<TextItem>& labels,
                    std::array<LegendSlot, indicators::kMaxLines>& slots) {
    labels.clear();
    for (LegendSlot& slot : slots) slot.shown = false;
    for (int k = 0; k < def.LineCount(); ++k) {
        const ui::Rgb colour = params.colours[k];
        LegendSlot& slot = slots[k];
        slot = {firstValueX + kLegendStep * k + shift, y, colour,
                indicators::LineShown(def, k, params)};
        if (!slot.shown) continue;
        const int x = def.lines[k].labelX + shift;
        if (!def.lines[k].label.empty()) {
            labels.push_back({x, y, kLegendFont, 0, colour, std::string(def.lines[k].label)});
            continue;
        }
        // A length label: the number ends where "日" starts.
        const std::string number = FormatInt(params.values[k]);
        labels.push_back(
            {x - 7 * static_cast<int>(number.size()), y, kLegendFont, 0, colour, number});
        labels.push_back({x, y, kLegendFont, 0, colour, Texts().day});
    }
}

}  // namespace chart
