#include "sectors/scorecard.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/endian.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "data/paths.h"
#include "picking/tail_prefetch.h"
#include "sectors/rotation.h"

namespace sectors {
namespace {

constexpr size_t kWidth = data::kStockRecordWords;
constexpr size_t kRecordBytes = kWidth * 4;

uint32_t RawClose(const data::SeriesView& bars, size_t offset) {
    return base::HighHalf(bars.image[offset + 2]);
}

struct Mean {
    double sum = 0;
    size_t count = 0;
    void Add(double v) {
        sum += v;
        ++count;
    }
    double Value() const { return count ? sum / static_cast<double>(count) : 0; }
};

}  // namespace

void StockBars::Add(uint32_t code, std::span<const uint8_t> newest,
                    const data::Adjuster& adjuster) {
    Stock& stock = m_stocks[code];
    const size_t records = newest.size() / kRecordBytes;
    stock.words.assign(data::kDayHeaderWords + records * kWidth, 0);
    for (size_t w = 0; w < records * kWidth; ++w)
        stock.words[data::kDayHeaderWords + w] = base::ReadU32(newest.data() + w * 4);
    stock.adjuster = adjuster;
}

std::optional<data::SeriesView> StockBars::Of(uint32_t code) const {
    const auto it = m_stocks.find(code);
    if (it == m_stocks.end()) return std::nullopt;
    data::SeriesView view;
    view.image = it->second.words;
    view.firstBar = data::kDayHeaderWords;
    view.end = it->second.words.size();
    view.width = kWidth;
    view.adjuster = it->second.adjuster;
    return view;
}

std::optional<double> ForwardReturn(const data::SeriesView& bars, uint32_t day, uint32_t later) {
    const auto at = LastBarOnOrBefore(bars, day);
    if (!at || bars.image[*at] != day) return std::nullopt;
    const size_t end = *LastBarOnOrBefore(bars, later);
    const uint32_t base = data::AdjustPriceForward(bars.adjuster, RawClose(bars, *at), day,
                                                   bars.image[end]);
    if (base == 0) return std::nullopt;
    return static_cast<double>(RawClose(bars, end)) / base - 1.0;
}

ScorecardDay ScoreDay(const ScanOutcome& outcome, const StockBars& bars,
                      std::span<const uint32_t> candidates, size_t top,
                      std::span<const int> horizons, std::span<const uint32_t> laterDays) {
    ScorecardDay day;
    day.date = outcome.referenceDate;
    const ScanResultView& result = outcome.Result();
    const size_t shown = std::min(top, result.SectorCount());
    for (size_t rank = 1; rank <= shown; ++rank)
        day.topSectors.push_back(result.ResultSectorNumber(rank));
    for (const int h : horizons) {
        DayOutcome o;
        if (h < 1 || static_cast<size_t>(h) > laterDays.size()) {
            day.horizons.push_back(o);
            continue;
        }
        o.later = laterDays[static_cast<size_t>(h) - 1];
        const auto returnOf = [&](uint32_t code) -> std::optional<double> {
            const auto series = bars.Of(code);
            return series ? ForwardReturn(*series, day.date, o.later) : std::nullopt;
        };
        Mean topMean;
        for (size_t rank = 1; rank <= shown; ++rank) {
            Mean sector;
            for (const ResultEntry& e : result.LoadResultSector(rank))
                if (const auto r = returnOf(e.code)) sector.Add(*r);
            if (sector.count) topMean.Add(sector.Value());
        }
        Mean market;
        for (const uint32_t code : candidates)
            if (const auto r = returnOf(code)) market.Add(*r);
        o.top = topMean.Value();
        o.sectors = topMean.count;
        o.market = market.Value();
        o.stocks = market.count;
        day.horizons.push_back(o);
    }
    return day;
}

std::vector<HorizonSummary> Summarise(std::span<const ScorecardDay> days,
                                      std::span<const int> horizons) {
    std::vector<HorizonSummary> out;
    for (size_t k = 0; k < horizons.size(); ++k) {
        HorizonSummary s;
        s.horizon = horizons[k];
        Mean excess;
        for (const ScorecardDay& day : days) {
            const DayOutcome& o = day.horizons[k];
            if (o.later == 0) {
                ++s.leftOut;
                continue;
            }
            if (!o.Counted()) continue;
            excess.Add(o.Excess());
            if (o.Excess() > 0) ++s.hits;
        }
        s.counted = excess.count;
        s.hitRate = s.counted ? static_cast<double>(s.hits) / static_cast<double>(s.counted) : 0;
        s.meanExcess = excess.Value();
        out.push_back(s);
    }
    return out;
}

void ReadStockBars(const picking::MarketInputs& market, std::span<const uint32_t> codes,
                   size_t records, StockBars& bars) {
    std::vector<uint8_t> buffer;
    for (const uint32_t code : codes) {
        // Never blocks on a pipe in a file's place; a file whose dates are
        // out of order gives no returns, as the scans leave it out.
        size_t fileRecords = 0;
        const int fd = picking::OpenDayFile(data::DayFilePath(market.paths, code), fileRecords);
        if (fd < 0) continue;
        const size_t count = std::min(fileRecords, records);
        buffer.resize(count * kRecordBytes);
        if (count > 0 && picking::ReadNewestRecords(fd, fileRecords, count, buffer.data()) &&
            data::DayRecordsInOrder(buffer))
            bars.Add(code, buffer, {market.exRights, market.exRights->FindEntry(code), data::AdjustMode::Forward});
        ::close(fd);
    }
}

Scorecard RunScorecard(const DayScanInputs& inputs, SectorScan& scan,
                       std::span<const uint32_t> dates, size_t top, std::span<const int> horizons,
                       std::vector<picking::PendingMessage>& messages) {
    Scorecard card;
    if (dates.empty() || horizons.empty()) return card;
    const data::SeriesView& index = inputs.market.index;
    // Every bar from the first day on: a stock has no more bars than the index.
    StockBars bars;
    ReadStockBars(inputs.market, inputs.candidates,
                  TradingDaysAfter(index, dates.front(), SIZE_MAX).size() + 1, bars);
    const size_t longest = static_cast<size_t>(*std::max_element(horizons.begin(), horizons.end()));
    ScanDays(inputs, scan, dates,
             [&](const ScanOutcome& o) {
                 const auto later = TradingDaysAfter(index, o.referenceDate, longest);
                 card.days.push_back(ScoreDay(o, bars, inputs.candidates, top, horizons, later));
             },
             messages);
    card.summary = Summarise(card.days, horizons);
    return card;
}

}  // namespace sectors
