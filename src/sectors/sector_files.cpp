#include "sectors/sector_files.h"

#include <algorithm>
#include <cstdio>

#include "base/file_io.h"
#include "base/gbk.h"
#include "data/day_files.h"
#include "data/file_formats.h"
#include "picking/picking_run.h"

namespace sectors {
namespace {

struct DaySums {
    uint64_t open = 0, high = 0, low = 0, close = 0, amount = 0, volume = 0;
    uint32_t contributors = 0;
};

uint32_t Saturate(uint64_t v) {
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

bool HasPrices(const data::Bar& b) {
    return b.open && b.high && b.low && b.close;
}

}  // namespace

std::vector<data::Bar> SectorTrendBars(const TrendInputs& inputs) {
    std::vector<data::Bar> bars;
    const data::SeriesView& index = inputs.index;
    if (index.BarCount() == 0) return bars;
    const data::IndexAlignment a = data::AlignWithIndex(index, inputs.scanDate, kTrendDays - 1);
    std::vector<uint32_t> dates;
    for (size_t o = a.earlierOffset; o <= a.offset; o += index.width)
        dates.push_back(index.image[o]);

    std::vector<DaySums> sums(dates.size());
    std::vector<uint32_t> storage(data::kScanAreaWords, 0);
    data::ScanArea area{storage};
    const size_t stocks = std::min(inputs.members.size(), kTrendStocks);
    for (size_t s = 0; s < stocks; ++s) {
        const uint32_t code = inputs.members[s].code;
        data::LoadScanDayFile(inputs.paths, code, area);
        if (!area.Loaded()) continue;
        const size_t entry = inputs.exRights ? inputs.exRights->FindEntry(code) : 0;
        const data::SeriesView view =
            area.View({inputs.exRights, entry, data::AdjustMode::Forward});
        if (view.BarCount() == 0) continue;
        const data::DateRange range =
            data::FindDateRange(view, view.firstBar, view.LastBar(), dates.front(), dates.back());
        if (range.first == 0 || range.last < range.first) continue;
        for (size_t o = range.first; o <= range.last; o += view.width) {
            auto it = std::lower_bound(dates.begin(), dates.end(), view.image[o]);
            if (it == dates.end() || *it != view.image[o]) continue;  // not an index trading day
            const data::Bar bar = data::DecodeBar(view, o);
            DaySums& d = sums[static_cast<size_t>(it - dates.begin())];
            d.open += bar.open;
            d.high += bar.high;
            d.low += bar.low;
            d.close += bar.close;
            d.amount += bar.amount;
            d.volume += bar.volume;
            ++d.contributors;
        }
    }

    bars.resize(dates.size());
    bool anyPrices = false;
    for (size_t i = 0; i < dates.size(); ++i) {
        const DaySums& d = sums[i];
        const uint64_t n = d.contributors ? d.contributors : 1;
        data::Bar bar{dates[i],
                      Saturate(d.open / n),
                      Saturate(d.high / n),
                      Saturate(d.low / n),
                      Saturate(d.close / n),
                      Saturate(d.amount),
                      d.volume ? Saturate(d.volume) : 1u};
        if (!HasPrices(bar) && i > 0) bar = bars[i - 1];  // whole record, date included
        anyPrices = anyPrices || HasPrices(bar);
        bars[i] = bar;
    }
    if (!anyPrices) return {};
    if (!HasPrices(bars[0])) {
        // The oldest day has no record before it: its own date with the prices
        // of the first day that has any, so the chart sees no zero price.
        size_t k = 1;
        while (!HasPrices(bars[k])) ++k;
        const data::Bar source = bars[k];
        for (size_t i = 0; i < k; ++i)
            bars[i] = {i == 0 ? dates[0] : bars[i - 1].date,
                       source.open,
                       source.high,
                       source.low,
                       source.close,
                       0,
                       1};
    }
    return bars;
}

size_t BuildSectorTrend(const TrendInputs& inputs, base::Prompter& prompter) {
    if (inputs.members.empty()) {
        prompter.ShowMessage(std::string(kNoSectorMessage), std::string(kPromptCaption));
        return 0;
    }
    const std::vector<data::Bar> bars = SectorTrendBars(inputs);
    if (bars.empty()) return 0;
    const std::vector<uint8_t> bytes = data::EncodeDayFile(data::kSectorTrendCode, bars);
    if (!base::WriteFileAtomic(data::DayFilePath(inputs.paths, data::kSectorTrendCode), bytes).ok())
        return 0;
    return bytes.size();
}

std::string SectorListFileName(ScanType type, const std::string& sectorNameGbk, uint32_t scanDate) {
    const char* word = type == ScanType::Hot ? "热点" : type == ScanType::Fund ? "资金" : "下跌";
    char monthDay[8];
    std::snprintf(monthDay, sizeof monthDay, "%04u", scanDate % 10000);
    return std::string(word) + base::GbkToUtf8(sectorNameGbk) + monthDay + ".TXT";
}

bool SaveSectorList(const SaveInputs& inputs, base::Prompter& prompter) {
    // The same list file as a picking run's results, under the sector's name.
    std::vector<picking::ResultLine> lines;
    lines.reserve(inputs.members.size());
    for (const ResultEntry& e : inputs.members) lines.push_back({e.code, e.value});
    return picking::SaveResultsFile(
        inputs.dataRoot, SectorListFileName(inputs.type, inputs.sectorNameGbk, inputs.scanDate),
        static_cast<picking::ResultKind>(inputs.type), lines, inputs.codes, prompter);
}

}  // namespace sectors
