#include "install/import_bars.h"

#include <algorithm>

#include "base/endian.h"
#include "data/paths.h"

namespace install {
namespace {

constexpr uint64_t kStockPriceLimit = 0xFFFF;  // the 16-bit halves of a stock record
constexpr uint64_t kWordLimit = UINT32_MAX;

// The first value of the bar that does not fit its field, as a message.
std::string FieldProblem(const SourceBar& bar, bool index) {
    const uint64_t priceLimit = index ? kWordLimit : kStockPriceLimit;
    for (uint64_t price : {bar.open, bar.high, bar.low, bar.close}) {
        if (price <= priceLimit) continue;
        if (index) return "指数点位" + YuanText(price) + "超出日线文件的范围";
        return "价格" + YuanText(price) + "元超出日线文件可存的最高价" +
               YuanText(kStockPriceLimit) + "元";
    }
    if (bar.amount > kWordLimit)
        return "成交额" + std::to_string(bar.amount) + "万元超出日线文件的范围";
    if (bar.volume > kWordLimit)
        return "成交量" + std::to_string(bar.volume) + "手超出日线文件的范围";
    return {};
}

void AppendRecord(const SourceBar& bar, bool index, std::vector<uint32_t>& words) {
    const auto w = [](uint64_t v) { return static_cast<uint32_t>(v); };
    if (index) {
        words.insert(words.end(), {bar.date, w(bar.open), w(bar.high), w(bar.low), w(bar.close),
                                   w(bar.amount), w(bar.volume)});
    } else {
        words.insert(words.end(),
                     {bar.date, base::PackHalves(w(bar.open), w(bar.high)),
                      base::PackHalves(w(bar.low), w(bar.close)), w(bar.amount), w(bar.volume)});
    }
}

struct CodeRange {
    uint32_t first;
    uint32_t last;
};
constexpr CodeRange kAShareRanges[] = {
    {600'000, 609'999}, {688'000, 689'999}, {1, 4'999}, {300'000, 309'999}};

}  // namespace

bool IsImportedCode(uint32_t code) {
    if (code == data::kShanghaiIndexCode || code == data::kShenzhenIndexCode ||
        code == data::kChiNextIndexCode)
        return true;
    return std::any_of(std::begin(kAShareRanges), std::end(kAShareRanges),
                       [code](const CodeRange& r) { return code >= r.first && code <= r.last; });
}

data::Bar RecordValues(uint32_t code, std::span<const uint32_t> record) {
    if (data::IsIndexCode(code))
        return {record[0], record[1], record[2], record[3], record[4], record[5], record[6]};
    return {record[0],
            base::LowHalf(record[1]),
            base::HighHalf(record[1]),
            base::LowHalf(record[2]),
            base::HighHalf(record[2]),
            record[3],
            record[4]};
}

std::string YuanText(uint64_t hundredths) {
    const uint64_t cents = hundredths % 100;
    return std::to_string(hundredths / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

std::string PlaceText(const std::string& path, PlaceKind kind, size_t place) {
    return path + " 第" + std::to_string(place) + (kind == PlaceKind::Line ? "行" : "条记录");
}

std::string PlaceText(const SourceBar& bar, std::span<const SourceFile> files) {
    if (bar.source >= files.size()) return {};
    return PlaceText(files[bar.source].path, files[bar.source].kind, bar.place);
}

base::Result<std::vector<uint32_t>> BuildDayRecords(uint32_t code, std::vector<SourceBar>& bars,
                                                    std::span<const SourceFile> files) {
    if (bars.empty()) return base::Error{"没有日线数据"};
    std::stable_sort(bars.begin(), bars.end(),
                     [](const SourceBar& a, const SourceBar& b) { return a.date < b.date; });
    const bool index = data::IsIndexCode(code);
    std::vector<uint32_t> words;
    words.reserve(bars.size() * (index ? 7 : 5));
    for (size_t i = 0; i < bars.size(); ++i) {
        const SourceBar& bar = bars[i];
        if (i > 0 && bar.date == bars[i - 1].date)
            return base::Error{"日期" + std::to_string(bar.date) + "重复：" +
                               PlaceText(bar, files)};
        if (const std::string problem = FieldProblem(bar, index); !problem.empty())
            return base::Error{problem + "：" + PlaceText(bar, files)};
        AppendRecord(bar, index, words);
    }
    return words;
}

}  // namespace install
