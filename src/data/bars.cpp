#include "data/bars.h"

#include "base/endian.h"

namespace data {

Bar DecodeBar(const SeriesView& view, size_t offset) {
    Bar bar;
    if (!view.HasBar(offset)) return bar;
    const uint32_t* w = view.image.data() + offset;
    bar.date = w[0];
    if (view.IsDailyStock()) {
        uint32_t prices[4] = {base::LowHalf(w[1]), base::HighHalf(w[1]), base::LowHalf(w[2]),
                              base::HighHalf(w[2])};
        AdjustPrices(view.adjuster, bar.date, prices);
        bar.open = prices[0];
        bar.high = prices[1];
        bar.low = prices[2];
        bar.close = prices[3];
        bar.amount = w[3];
        bar.volume = w[4];
        return bar;
    }
    bar.open = w[1];
    bar.high = w[2];
    bar.low = w[3];
    bar.close = w[4];
    bar.amount = w[5];
    bar.volume = view.isIndex ? IndexVolume(w[6]) : w[6];
    return bar;
}

uint32_t BarDate(const SeriesView& view, size_t offset) {
    return view.HasBar(offset) ? view.image[offset] : 0;
}

uint32_t BarClose(const SeriesView& view, size_t offset) {
    if (!view.HasBar(offset)) return 0;
    const uint32_t* w = view.image.data() + offset;
    if (view.IsDailyStock()) return AdjustPrice(view.adjuster, base::HighHalf(w[2]), w[0]);
    return w[4];
}

uint32_t BarVolume(const SeriesView& view, size_t offset) {
    if (!view.HasBar(offset)) return 0;
    const uint32_t* w = view.image.data() + offset;
    if (view.isIndex) return IndexVolume(w[6]);
    return view.period == Period::Daily ? w[4] : w[6];
}

namespace {

// Sums `n` values of the bars ending at offset, walking back by the record
// width; false when the first bar is passed before n were added.
template <class Value>
bool SumBack(const SeriesView& view, size_t offset, int n, Value value, uint64_t* sum) {
    *sum = 0;
    if (n <= 0 || !view.HasBar(offset)) return false;
    for (int i = 0; i < n; ++i) {
        *sum += value(view, offset);
        if (i + 1 == n) break;
        if (offset < view.firstBar + view.width) return false;
        offset -= view.width;
    }
    return true;
}

}  // namespace

uint32_t AverageClose(const SeriesView& view, size_t offset, int n) {
    uint64_t sum = 0;
    if (!SumBack(view, offset, n, BarClose, &sum)) return 0;
    double mean = static_cast<double>(sum) / n;
    return static_cast<uint32_t>(mean + 0.5);
}

uint32_t AverageVolume(const SeriesView& view, size_t offset, int n) {
    uint64_t sum = 0;
    if (!SumBack(view, offset, n, BarVolume, &sum)) return 0;
    return static_cast<uint32_t>(sum / static_cast<uint64_t>(n));
}

}  // namespace data
