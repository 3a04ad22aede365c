#include "sectors/estimate.h"

#include <vector>

#include "data/day_files.h"

namespace sectors {
namespace {

constexpr int kBars = 10;     // bars 0..9
constexpr int kDayCount = 4;  // both day counts of the factors

// The date of an index's last bar on or before the cut-off; 0 without one.
uint32_t IndexLastDate(const EstimateInputs& inputs, uint32_t code) {
    std::vector<uint32_t> image(data::kIndexBufferBytes / 4, 0);
    const auto words = data::ReadDayImage(data::DayFilePath(inputs.paths, code), image,
                                          data::kIndexRecordWords);
    if (!words.ok()) return 0;
    for (size_t end = *words; end >= data::kDayHeaderWords + data::kIndexRecordWords;
         end -= data::kIndexRecordWords) {
        const uint32_t date = image[end - data::kIndexRecordWords];
        if (date <= inputs.cutoff) return date;
    }
    return 0;
}

uint32_t DividedHalfUp(uint64_t sum, uint64_t n) {
    return static_cast<uint32_t>(sum / n + (2 * (sum % n) >= n ? 1 : 0));
}

Estimate Run(const EstimateInputs& inputs, uint32_t code, const FactorWeights& weights,
             EstimateSide side) {
    Estimate estimate;
    if (data::IsIndexCode(code)) {
        estimate.result = kEstimateIndexCode;
        estimate.date = IndexLastDate(inputs, code);
        return estimate;
    }
    if (inputs.index.BarCount() == 0) {
        estimate.result = kEstimateNoIndex;
        return estimate;
    }
    const data::IndexAlignment align = data::AlignWithIndex(inputs.index, inputs.cutoff, kBars - 1);
    std::vector<uint32_t> storage(data::kScanAreaWords, 0);
    data::ScanArea area{storage};
    data::LoadScanDayFile(inputs.paths, code, area);
    if (!area.Loaded()) {
        estimate.result = kEstimateNoStockFile;
        return estimate;
    }
    const size_t entry = inputs.exRights ? inputs.exRights->FindEntry(code) : 0;
    const data::SeriesView view = area.View({inputs.exRights, entry, data::AdjustMode::Forward});
    const data::DateRange range =
        data::FindDateRange(view, view.firstBar, view.LastBar(), align.earlierDate, align.date);
    // Bar 0 needs ten bars before it.
    if (range.first == 0 || range.last < range.first ||
        (range.last - view.firstBar) / view.width < static_cast<size_t>(kBars)) {
        estimate.result = kEstimateTooFewBars;
        return estimate;
    }
    std::array<data::Bar, kBars> bar;
    for (int k = 0; k < kBars; ++k)
        bar[k] = data::DecodeBar(view, range.last - static_cast<size_t>(k) * view.width);
    estimate.date = bar[0].date;

    uint64_t sum5 = 0, sum5prev = 0, sum10 = 0;
    for (int k = 0; k < kBars; ++k) {
        if (k < 5) sum5 += bar[k].close;
        if (k >= 1 && k <= 5) sum5prev += bar[k].close;
        sum10 += bar[k].close;
    }
    const uint32_t c = bar[0].close;
    const uint32_t ma5 = DividedHalfUp(sum5, 5);  // remainder 3 or more rounds up
    const uint32_t ma5prev = DividedHalfUp(sum5prev, 5);
    const uint32_t ma10 = DividedHalfUp(sum10, 10);
    const bool top = side == EstimateSide::Top;

    // The extreme of the ten bars; on a tie the older bar counts.
    int age = 0;
    uint32_t extreme = top ? bar[0].high : bar[0].low;
    for (int k = 1; k < kBars; ++k) {
        const uint32_t v = top ? bar[k].high : bar[k].low;
        if (top ? v >= extreme : v <= extreme) extreme = v, age = k;
    }
    int run = 0;
    while (run < kBars - 1 &&
           (top ? bar[run].amount < bar[run + 1].amount : bar[run].amount > bar[run + 1].amount))
        ++run;

    estimate.factors = {age + 1 >= kDayCount, top ? c < ma5 : c > ma5,
                        top ? ma5 < ma5prev : ma5 > ma5prev, top ? ma5 < ma10 : ma5 > ma10,
                        run >= kDayCount};
    int sum = 0;
    for (int f = 0; f < kFactorCount; ++f)
        if (estimate.factors[f]) sum += weights[f];
    estimate.result = sum == 0 ? kOtherFactorsWeight : sum;
    return estimate;
}

}  // namespace

std::string_view FactorCaption(EstimateSide side, int factor) {
    static const std::string_view kTop[] = {"近4日内未创新高", "收盘跌破5日均线",
                                            "5日均线向下拐头", "5日线,10日线死叉",
                                            "近4日成交额递减", "其它一些因素影响"};
    static const std::string_view kBottom[] = {"近4日内未创新低", "收盘站上5日均线",
                                               "5日均线向上拐头", "5日线,10日线金叉",
                                               "近4日成交额递增", "其它一些因素影响"};
    if (factor < 0 || factor > kFactorCount) return {};
    return side == EstimateSide::Top ? kTop[factor] : kBottom[factor];
}

Estimate EstimateTop(const EstimateInputs& inputs, uint32_t code, const FactorWeights& weights) {
    return Run(inputs, code, weights, EstimateSide::Top);
}

Estimate EstimateBottom(const EstimateInputs& inputs, uint32_t code, const FactorWeights& weights) {
    return Run(inputs, code, weights, EstimateSide::Bottom);
}

std::string_view EstimateFailureText(int result) {
    switch (result) {
        case kEstimateNoIndex:
            return "大盘指数文件不存在";
        case kEstimateNoStockFile:
            return "该股数据文件不存在";
        case kEstimateTooFewBars:
            return "行情天数不足无法测算";
        case kEstimateIndexCode:
            return "指数不能测算顶部底部";
        default:
            return {};
    }
}

int WeightUp(int value) {
    if (value >= 99) return value;
    return value <= 90 ? value + 9 : 99;
}

int WeightDown(int value) {
    if (value <= 1) return value;
    return value > 9 ? value - 9 : 1;
}

FactorWeights ConfirmWeights(const FactorWeights& editor, const FactorWeights& live) {
    if (editor == live) return live;
    int total = 0;
    for (int v : editor) total += v;
    if (total <= 0) return live;
    FactorWeights out{};
    int firstFour = 0;
    for (int f = 0; f < kFactorCount - 1; ++f) {
        const int scaled = editor[f] * 9000 / total;
        out[f] = scaled / 100 + (scaled % 100 >= 50 ? 1 : 0);
        firstFour += out[f];
    }
    out[kFactorCount - 1] = firstFour < kEditableWeightTotal ? kEditableWeightTotal - firstFour : 0;
    return out;
}

}  // namespace sectors
