// The short-term top and bottom probability of a stock: five weighted yes/no
// factors read from its last ten daily bars (forward-adjusted) plus a fixed
// allowance for everything else, and the arithmetic of the weights editor.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "data/bars.h"
#include "data/capacities.h"
#include "data/ex_rights.h"
#include "data/paths.h"

namespace sectors {

inline constexpr int kEstimateNoIndex = -1;
inline constexpr int kEstimateNoStockFile = -2;
inline constexpr int kEstimateTooFewBars = -3;
// The estimate reads a stock's bars; an index's records are not a stock's.
inline constexpr int kEstimateIndexCode = -4;

inline constexpr int kFactorCount = 5;
inline constexpr int kDefaultFactorWeight = 18;
inline constexpr int kOtherFactorsWeight = 10;  // fixed, and the answer when no factor is present
inline constexpr int kEditableWeightTotal = 90;

using FactorWeights = std::array<int, kFactorCount>;
inline constexpr FactorWeights kDefaultFactorWeights{18, 18, 18, 18, 18};

enum class EstimateSide { Top, Bottom };

// Factor captions, UTF-8; index 5 is the fixed "其它一些因素影响".
std::string_view FactorCaption(EstimateSide side, int factor);

struct EstimateInputs {
    data::DataPaths paths;
    data::SeriesView index;
    const data::ExRightsTable* exRights = nullptr;
    uint32_t cutoff = data::kNoSimulationCutoff;  // the scan date: latest or simulation date
};

struct Estimate {
    int result = 0;  // the percentage, or one of the failure codes
    std::array<bool, kFactorCount> factors{};
    uint32_t date = 0;  // of bar 0; for an index code its own last bar up to the cut-off
};

Estimate EstimateTop(const EstimateInputs& inputs, uint32_t code, const FactorWeights& weights);
Estimate EstimateBottom(const EstimateInputs& inputs, uint32_t code, const FactorWeights& weights);

// "大盘指数文件不存在", "该股数据文件不存在", "行情天数不足无法测算",
// "指数不能测算顶部底部"; empty otherwise.
std::string_view EstimateFailureText(int result);
inline constexpr std::string_view kEstimateUnknownCode = "未找到该代码对应股票";

// The editor's arrows: up by 9 (at most 99), down by 9 (at least 1).
int WeightUp(int value);
int WeightDown(int value);

// "确定" of a panel: the editor values scaled so the five sum to 90 (the
// fifth takes what the first four leave). Unchanged values give `live` back.
FactorWeights ConfirmWeights(const FactorWeights& editor, const FactorWeights& live);

}  // namespace sectors
