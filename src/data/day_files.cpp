#include "data/day_files.h"

#include <algorithm>
#include <cstdio>

#include "base/dates.h"
#include "base/endian.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/ex_rights.h"

namespace data {
namespace {

std::span<uint8_t> AsBytes(std::span<uint32_t> words) {
    return {reinterpret_cast<uint8_t*>(words.data()), words.size() * 4};
}

}  // namespace

bool IsPlausibleBarDate(uint32_t date) {
    return date >= 19'800'101 && date <= 20'991'231 && base::IsValidDate(date);
}

namespace {
bool FollowsInOrder(uint32_t date, uint32_t previous) {
    return IsPlausibleBarDate(date) && date > previous;
}
}  // namespace

std::optional<size_t> FirstDisorderedBar(std::span<const uint32_t> image, size_t recordWords) {
    uint32_t previous = 0;
    size_t bar = 0;
    for (size_t at = kDayHeaderWords; recordWords > 0 && at < image.size(); at += recordWords, ++bar) {
        const uint32_t date = image[at];
        if (!FollowsInOrder(date, previous)) return bar;
        previous = date;
    }
    return std::nullopt;
}

bool DayRecordsInOrder(std::span<const uint8_t> records) {
    constexpr size_t kStockRecordBytes = kStockRecordWords * 4;
    uint32_t previous = 0;
    for (size_t at = 0; at + kStockRecordBytes <= records.size(); at += kStockRecordBytes) {
        const uint32_t date = base::ReadU32(records.data() + at);
        if (!FollowsInOrder(date, previous)) return false;
        previous = date;
    }
    return true;
}

namespace {

base::Result<size_t> CheckedImage(const std::string& path, std::span<const uint32_t> region,
                                  size_t words, size_t recordWords) {
    const auto bad = FirstDisorderedBar(region.first(words), recordWords);
    if (!bad) return words;
    const uint32_t date = region[kDayHeaderWords + *bad * recordWords];
    return base::Error{"数据文件已损坏：" + path + "（第" + std::to_string(*bad + 1) + "条记录的日期" +
                       std::to_string(date) + "无效或不在前一条之后）"};
}

base::Error UnreadableDayFile(const std::string& path) {
    const std::string reason = base::UnreadableReason(path);
    return base::Error{"数据文件" + (reason.empty() ? std::string("无法读取") : reason) + "：" + path};
}

}  // namespace

base::Result<size_t> ReadDayImage(const std::string& path, std::span<uint32_t> region,
                                  size_t recordWords) {
    if (region.size() < kDayHeaderWords) return base::Error{"region too small"};
    auto read = base::ReadFileIntoSized(path, AsBytes(region));
    if (!read) return UnreadableDayFile(path);
    const uint64_t fileSize = read->fileSize;
    const uint64_t recordBytes = recordWords * 4;
    const uint64_t records = fileSize >= kDayHeaderBytes ? (fileSize - kDayHeaderBytes) / recordBytes : 0;
    const uint64_t capacity = (region.size() - kDayHeaderWords) / recordWords;
    if (records <= capacity) {
        const uint64_t imageBytes =
            fileSize < kDayHeaderBytes ? fileSize : kDayHeaderBytes + records * recordBytes;
        if (read->bytesRead < imageBytes) return UnreadableDayFile(path);
        if (fileSize < kDayHeaderBytes)
            std::fill(region.begin() + static_cast<ptrdiff_t>(fileSize / 4),
                      region.begin() + kDayHeaderWords, 0u);
        return CheckedImage(path, region, kDayHeaderWords + static_cast<size_t>(records) * recordWords,
                            recordWords);
    }
    // Too long for the region: the header is in place, now put the newest
    // whole records right behind it.
    const uint64_t skip = records - capacity;
    auto tail = AsBytes(region.subspan(kDayHeaderWords, static_cast<size_t>(capacity) * recordWords));
    auto status = base::ReadFileRange(path, kDayHeaderBytes + skip * recordBytes, tail);
    if (!status) return UnreadableDayFile(path);
    return CheckedImage(path, region, kDayHeaderWords + static_cast<size_t>(capacity) * recordWords,
                        recordWords);
}

SeriesView IndexState::View(std::span<const uint32_t> image) const {
    SeriesView view;
    view.image = image;
    view.firstBar = kDayHeaderWords;
    view.end = std::min(words, image.size());
    view.width = kIndexRecordWords;
    view.isIndex = true;
    return view;
}

IndexState LoadIndexDayFile(const DataPaths& paths, std::span<uint32_t> region,
                            SimulationDate& simulation) {
    IndexState index;
    const struct {
        uint32_t code;
        int source;
    } candidates[] = {{kShanghaiIndexCode, 2}, {kShenzhenIndexCode, 1}};
    for (const auto& candidate : candidates) {
        const std::string path = DayFilePath(paths, candidate.code);
        if (base::UnreadableReason(path) == "不存在") continue;
        auto words = ReadDayImage(path, region, kIndexRecordWords);
        if (!words) {
            index.problems.push_back(words.error());
            continue;
        }
        if (*words <= kDayHeaderWords) {
            index.problems.push_back("大盘指数文件中没有行情：" + path);
            continue;
        }
        index.source = candidate.source;
        index.code = candidate.code;
        index.words = *words;
        break;
    }
    if (index.source == 0) return index;
    SeriesView view = index.View(region);
    if (view.BarCount() > 0) {
        index.firstDate = BarDate(view, view.firstBar);
        index.lastDate = BarDate(view, view.LastBar());
    }
    index.lastDateText = std::to_string(index.lastDate);
    index.earliestSimulationDate = std::max(index.firstDate, kEarliestSimulationDate);
    index.earliestSimulationText = std::to_string(index.earliestSimulationDate);
    if (simulation.date == kBuiltInSimulationDate && view.BarCount() > 0) {
        // Nine bars before the last; a shorter history takes its first bar.
        size_t back = std::min<size_t>(9, view.BarCount() - 1);
        simulation.date = BarDate(view, view.LastBar() - back * view.width);
    }
    return index;
}

SeriesView OpenStockState::DailyView(std::span<const uint32_t> image, const ExRightsTable* table,
                                     AdjustMode mode) const {
    SeriesView view;
    view.image = image;
    view.firstBar = kDayHeaderWords;
    view.end = std::min(viewEnd, image.size());
    view.width = isIndex ? kIndexRecordWords : kStockRecordWords;
    view.isIndex = isIndex;
    view.adjuster = {table, exRightsEntry, isIndex ? AdjustMode::None : mode};
    return view;
}

bool DayFileExists(const DataPaths& paths, uint32_t code) {
    return base::FileExists(DayFilePath(paths, code));
}

bool OpenStock(const DataPaths& paths, uint32_t code, OpenStockState& stock,
               base::Prompter& prompter) {
    if (!DayFileExists(paths, code)) {
        // "不存在" only when nothing is there; a pipe or folder is named as one.
        const std::string path = DayFilePath(paths, code);
        const std::string reason = base::UnreadableReason(path);
        if (reason.empty() || reason == "不存在")
            prompter.ShowMessage(CodeText(code) + "股票数据文件不存在", "提示");
        else
            prompter.ShowMessage(CodeText(code) + "股票数据文件" + reason + "：" + path, "提示");
        return false;
    }
    stock.code = code;
    stock.codeText = CodeText(code);
    stock.market = MarketLetter(code);
    stock.period = Period::Daily;
    stock.cursorDate = stock.viewEndDate != 0 ? stock.viewEndDate : kLatestBarDate;
    stock.reload = true;
    return true;
}

void LoadStockDayFile(const DataPaths& paths, const StockContext& context,
                      std::span<uint32_t> region, OpenStockState& stock) {
    if (!stock.reload) return;
    stock.reload = false;
    const bool isIndex = IsIndexCode(stock.code);
    const size_t width = isIndex ? kIndexRecordWords : kStockRecordWords;
    auto words = ReadDayImage(DayFilePath(paths, stock.code), region, width);
    if (!words) {
        stock.loaded = false;
        stock.problem = words.error();
        return;
    }
    stock.loaded = true;
    stock.problem.clear();
    stock.market = MarketLetter(stock.code);
    stock.imageWords = *words;
    stock.isIndex = isIndex;
    stock.totalShares = stock.floatShares = 0;
    stock.exRightsEntry = 0;
    if (!isIndex) {
        if (context.codeTable) {
            auto shares = context.codeTable->StockShares(stock.code);
            stock.totalShares = shares.total;
            stock.floatShares = shares.floatShares;
        }
        if (context.exRights) stock.exRightsEntry = FindExRightsEntry(*context.exRights, stock.code);
    }
    ++stock.stocksOpened;

    stock.viewEnd = stock.imageWords;
    if (stock.imageWords <= kDayHeaderWords) {
        stock.lastBar = 0;
        stock.lastDate = 0;
        stock.viewEndDate = 0;
        return;
    }
    stock.lastBar = stock.imageWords - width;
    stock.lastDate = region[stock.lastBar];
    stock.viewEndDate = stock.lastDate;
    SimulationDate* simulation = context.simulation;
    if (simulation && simulation->active) {
        simulation->date = std::min(simulation->date, stock.lastDate);
        size_t offset = kDayHeaderWords;
        while (offset < stock.lastBar && region[offset] < simulation->date) offset += width;
        stock.viewEnd = offset + width;
        stock.viewEndDate = region[offset];
    }
}

SeriesView ScanArea::View(Adjuster adjuster) const {
    SeriesView view;
    view.image = region;
    view.firstBar = kDayHeaderWords;
    view.end = Loaded() ? std::min(imageWords, region.size()) : 0;
    view.width = kStockRecordWords;
    view.adjuster = adjuster;
    return view;
}

void LoadScanDayFile(const DataPaths& paths, uint32_t code, ScanArea& area) {
    auto words = ReadDayImage(DayFilePath(paths, code), area.region, kStockRecordWords);
    if (!words || *words <= kDayHeaderWords) {
        area.firstBar = area.lastBar = area.imageWords = 0;
        return;
    }
    area.imageWords = *words;
    area.firstBar = kDayHeaderWords;
    area.lastBar = *words - kStockRecordWords;
    ++area.stocksOpened;
}

DateRange FindDateRange(const SeriesView& view, size_t a, size_t b, uint32_t start, uint32_t end) {
    DateRange range;
    if (!view.HasBar(a) || !view.HasBar(b) || a > b) return range;
    const auto date = [&](size_t offset) { return view.image[offset]; };
    if (date(b) < start || date(a) > end) return range;
    size_t first = a;
    while (first < b && date(first) < start) first += view.width;
    size_t last = b;
    while (last >= a + view.width && date(last) > end) last -= view.width;
    range.first = first;
    range.last = last;
    range.count = last > first ? (last - first) / view.width : 0;
    return range;
}

IndexAlignment AlignWithIndex(const SeriesView& index, uint32_t date, size_t n) {
    IndexAlignment alignment;
    if (index.BarCount() == 0) return alignment;
    size_t offset = index.LastBar();
    if (date < kAlignLatestDate)
        while (offset >= index.firstBar + index.width && index.image[offset] > date)
            offset -= index.width;
    alignment.aligned = true;
    alignment.offset = offset;
    alignment.date = index.image[offset];
    const size_t barsBefore = (offset - index.firstBar) / index.width;
    alignment.earlierClamped = n > barsBefore;
    alignment.earlierOffset = offset - std::min(n, barsBefore) * index.width;
    alignment.earlierDate = index.image[alignment.earlierOffset];
    return alignment;
}

}  // namespace data
