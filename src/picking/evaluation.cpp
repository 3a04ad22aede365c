#include "picking/evaluation.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "picking/condition_frame.h"
#include "picking/tail_prefetch.h"

namespace picking {
namespace {

// Bars read beyond what a test asks for, so that a stock with a few bars
// after the reference day (or a suspension) still fits the first read.
constexpr size_t kTailSlack = 8;

constexpr size_t kStockWidth = data::kStockRecordWords;
constexpr size_t kRecordBytes = data::kStockRecordWords * 4;

// Closes a descriptor when it goes.
struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

MarketInputs MarketInputsOf(data::Workspace& workspace, const data::MarketState& market,
                            const data::CodeTable& codes) {
    MarketInputs inputs;
    inputs.paths = market.paths;
    inputs.index = market.index.View(workspace.Words(data::BufferId::Index));
    inputs.codes = &codes;
    inputs.exRights = &market.exRights;
    return inputs;
}

Evaluator::Evaluator(const MarketInputs& market, std::span<uint32_t> scanStorage)
    : m_market(market), m_storage(scanStorage) {}

void Evaluator::Begin(const Condition& condition, uint32_t cutoff) {
    m_condition = condition;
    m_breadth = {};
    SetCutoff(cutoff);
}

void Evaluator::SetCutoff(uint32_t cutoff) {
    m_cutoff = cutoff;
    m_referenceAligned = false;
    m_windows.clear();
    m_breadth.indexMove.reset();
}

const data::IndexAlignment& Evaluator::Reference() {
    if (!m_referenceAligned) {
        m_reference = data::AlignWithIndex(m_market.index, m_cutoff, 0);
        m_referenceAligned = true;
    }
    return m_reference;
}

uint32_t Evaluator::WindowStart(size_t n) {
    for (const auto& [length, date] : m_windows)
        if (length == n) return date;
    const uint32_t date = data::AlignWithIndex(m_market.index, m_cutoff, n).earlierDate;
    m_windows.emplace_back(n, date);
    return date;
}

bool Evaluator::IndexReady() {
    if (Reference().aligned) return true;
    if (!m_indexMessageLeft) {
        m_indexMessageLeft = true;
        Note(std::string(kMissingIndexText));
    }
    return false;
}

void Evaluator::Note(std::string text, std::string caption) {
    m_messages.push_back({std::move(text), std::move(caption)});
}

std::vector<PendingMessage> Evaluator::TakeMessages() {
    if (!m_damaged.empty()) {
        std::sort(m_damaged.begin(), m_damaged.end());
        m_damaged.erase(std::unique(m_damaged.begin(), m_damaged.end()), m_damaged.end());
        Note(DamagedFilesText(m_market.paths, m_damaged));
        m_damaged.clear();
    }
    return std::exchange(m_messages, {});
}

std::string DamagedFilesText(const data::DataPaths& paths, std::span<const uint32_t> codes) {
    // A few paths say which; the count says how many.
    constexpr size_t kNamed = 5;
    std::string text = "数据文件已损坏（日期无效或不按先后排列），这些股票没有参加计算：";
    for (size_t i = 0; i < codes.size() && i < kNamed; ++i)
        text += (i ? "、" : "") + data::DayFilePath(paths, codes[i]);
    if (codes.size() > kNamed) text += " 等";
    return text + "，共" + std::to_string(codes.size()) + "个。";
}

namespace {

// Index bars after the reference bar: a tail read reaches back over them.
size_t IndexBarsAfter(const data::SeriesView& index, const data::IndexAlignment& reference) {
    if (!reference.aligned || index.BarCount() == 0) return 0;
    return (index.LastBar() - reference.offset) / index.width;
}

size_t TailReadRecords(const StockNeeds& needs, size_t indexBarsAfter) {
    return needs.barsBefore + 1 + kTailSlack + indexBarsAfter;
}

// A tail read ahead or kept serves a test when it holds as many of the file's
// newest records as the test would read itself.
bool TailServes(const TailPrefetch::Tail& tail, size_t wanted) {
    return tail.fileRecords > 0 &&
           tail.bytes.size() / kRecordBytes >= std::min(tail.fileRecords, wanted);
}

}  // namespace

size_t TailReadRecords(const data::SeriesView& index, uint32_t cutoff, const StockNeeds& needs) {
    return TailReadRecords(needs, IndexBarsAfter(index, data::AlignWithIndex(index, cutoff, 0)));
}

StockNeeds NDayChangeNeeds(int n) {
    // Two bars before the reference day at least: the newly-listed test reads them.
    return {std::max<size_t>(static_cast<size_t>(std::max(n, 0)), 2), 0};
}

size_t Evaluator::TailRecords(const StockNeeds& needs) {
    return TailReadRecords(needs, IndexBarsAfter(m_market.index, Reference()));
}

size_t Evaluator::ReadDepth(size_t wanted) const {
    // With tails kept for later runs every file read takes the kept depth.
    return m_kept ? std::max(wanted, KeptTails::kDepth) : wanted;
}

size_t Evaluator::StorageRecords() const {
    return m_storage.size() > data::kDayHeaderWords
               ? (m_storage.size() - data::kDayHeaderWords) / kStockWidth
               : 0;
}

void Evaluator::StartPrefetch(std::vector<uint32_t> codes, const StockNeeds& needs,
                              unsigned threads, TailCacheUse cache) {
    const size_t wanted = std::min(ReadDepth(TailRecords(needs)), StorageRecords());
    if (m_reading != StockReading::Tail || wanted == 0) return;
    // What is kept is not read again.
    if (m_kept) std::erase_if(codes, [this](uint32_t code) { return m_kept->Holds(code); });
    if (codes.empty()) return;
    m_prefetch =
        std::make_unique<TailPrefetch>(m_market.paths, std::move(codes), wanted, threads, cache);
}

void Evaluator::FinishPrefetch() {
    if (m_prefetch) m_prefetch->SaveCache();
}

uint8_t* Evaluator::BarBytes() {
    return reinterpret_cast<uint8_t*>(m_storage.data() + data::kDayHeaderWords);
}

void Evaluator::PlaceTail(size_t records, size_t count) {
    m_skipped = records - count;
    m_view.end = data::kDayHeaderWords + count * kStockWidth;
}

bool Evaluator::ReadTail(int fd, size_t records, size_t count) {
    if (!ReadNewestRecords(fd, records, count, BarBytes())) return false;
    PlaceTail(records, count);
    m_barsRead += count;
    ++m_filesRead;
    return true;
}

void Evaluator::UseTail(std::span<const uint8_t> bytes, size_t records, size_t wanted) {
    // The newest records a read of its own would have taken, whatever more
    // the tail holds: the test sees the same bars either way.
    const size_t count = std::min({bytes.size() / kRecordBytes, wanted, StorageRecords()});
    std::memmove(BarBytes(), bytes.data() + bytes.size() - count * kRecordBytes,
                 count * kRecordBytes);
    PlaceTail(records, count);
}

std::optional<TailPrefetch::Tail> Evaluator::TailInMemory(uint32_t code, size_t wanted) {
    if (m_reading != StockReading::Tail) return std::nullopt;
    std::optional<TailPrefetch::Tail> tail;
    if (m_kept) tail = m_kept->Find(code);
    if (!tail && m_prefetch) {
        tail = m_prefetch->Take(code);
        if (tail) {
            m_barsRead += tail->bytes.size() / kRecordBytes;
            ++m_filesRead;
            if (m_kept) m_kept->Keep(code, tail->fileRecords, tail->bytes);
        }
    }
    if (tail && !TailServes(*tail, wanted)) return std::nullopt;
    return tail;
}

void Evaluator::KeepStorage(uint32_t code, size_t records) {
    if (!m_kept) return;
    const size_t count = (m_view.end - data::kDayHeaderWords) / kStockWidth;
    m_kept->Keep(code, records, {BarBytes(), count * kRecordBytes});
}

bool Evaluator::TailHoldsReference(const StockNeeds& needs, uint32_t referenceDate) const {
    // The tail must hold the reference bar with every bar the test reads
    // before it, and the start of a date window.
    size_t offset = m_view.LastBar();
    while (offset > m_view.firstBar && m_view.image[offset] > referenceDate) offset -= kStockWidth;
    const bool referenceInside = m_view.image[offset] <= referenceDate;
    const size_t localBefore = (offset - m_view.firstBar) / kStockWidth;
    const bool windowInside = needs.fromDate == 0 || m_view.image[m_view.firstBar] < needs.fromDate;
    return referenceInside && localBefore >= needs.barsBefore && windowInside;
}

bool Evaluator::ReadStockFile(uint32_t code, const StockNeeds& needs) {
    const size_t capacity = StorageRecords();
    std::fill_n(m_storage.begin(), data::kDayHeaderWords, 0u);
    m_view = data::SeriesView{};
    m_view.image = m_storage;
    m_view.firstBar = data::kDayHeaderWords;
    m_view.width = kStockWidth;

    size_t records = 0;
    FileCloser file{-1};
    const auto openFile = [&] {
        const std::string path = data::DayFilePath(m_market.paths, code);
        file.fd = OpenDayFile(path, records);
        return records > 0;
    };

    // A tail kept from an earlier run or read ahead by the helpers, else the
    // file's own newest records.
    const size_t wanted = TailRecords(needs);
    // A part of a tail found in order is in order.
    bool ordered = false;
    if (const auto tail = TailInMemory(code, wanted)) {
        records = tail->fileRecords;
        UseTail(tail->bytes, records, wanted);
        ordered = tail->ordered;
    } else {
        if (!openFile()) return false;
        // A file longer than the storage keeps its newest bars.
        const size_t available = std::min(records, capacity);
        const size_t first =
            m_reading == StockReading::Tail ? std::min(available, ReadDepth(wanted)) : available;
        if (!ReadTail(file.fd, records, first)) return false;
        KeepStorage(code, records);
        if (first > wanted && m_reading == StockReading::Tail)
            UseTail({BarBytes(), first * kRecordBytes}, records, wanted);
    }

    const size_t available = std::min(records, capacity);
    m_whole = m_skipped == records - available;
    if (!m_whole && !TailHoldsReference(needs, Reference().aligned ? Reference().date : m_cutoff)) {
        // Otherwise read all that fits.
        if (file.fd < 0 && !openFile()) return false;
        if (!ReadTail(file.fd, records, std::min(records, capacity))) return false;
        KeepStorage(code, records);
        m_whole = true;
        ordered = false;
    }
    // Bars whose dates are not real days in ascending order are damage, not
    // data: the stock is not evaluated.
    if (ordered || !data::FirstDisorderedBar(m_view.image.first(m_view.end), kStockWidth)) return true;
    m_damaged.push_back(code);
    return false;
}

bool Evaluator::LoadStock(uint32_t code, const StockNeeds& needs) {
    // Index files hold 28-byte records; read as stock bars they would be noise.
    if (data::IsIndexCode(code) || m_storage.size() < data::kDayHeaderWords + kStockWidth) {
        m_loaded = false;
        return false;
    }
    if (!(m_loaded && m_whole && m_code == code)) {
        m_loaded = false;
        m_code = code;
        if (!ReadStockFile(code, needs)) return false;
        ++m_stocksOpened;
        m_loaded = true;
    }
    if (m_entryCode != code) {
        m_entry = m_market.exRights ? m_market.exRights->FindEntry(code) : 0;
        m_entryCode = code;
    }
    m_view.adjuster = {m_market.exRights, m_entry, data::AdjustMode::Forward};
    return true;
}

size_t Evaluator::BarsBefore(size_t offset) const {
    return m_skipped + (offset - m_view.firstBar) / kStockWidth;
}

data::SeriesView Evaluator::AdjustedBars(AdjustedPrices prices) {
    constexpr size_t kWidth = data::kIndexRecordWords;
    const size_t count = (m_referenceBar - m_view.firstBar) / kStockWidth + 1;
    m_adjusted.resize(count * kWidth);
    // Dates only grow, so the events are looked up once for the whole walk.
    data::SeriesAdjuster adjuster(m_view.adjuster);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t* in = m_view.image.data() + m_view.firstBar + i * kStockWidth;
        uint32_t* out = m_adjusted.data() + i * kWidth;
        adjuster.Seek(in[0]);
        out[0] = in[0];
        out[4] = adjuster.AdjustRemembered(base::HighHalf(in[2]));
        if (prices == AdjustedPrices::All) {
            out[1] = adjuster.AdjustRemembered(base::LowHalf(in[1]));
            out[2] = adjuster.AdjustRemembered(base::HighHalf(in[1]));
            out[3] = adjuster.AdjustRemembered(base::LowHalf(in[2]));
        } else {
            out[1] = out[2] = out[3] = out[4];
        }
        out[5] = in[3];
        out[6] = in[4];
    }
    data::SeriesView view;
    view.image = m_adjusted;
    view.firstBar = 0;
    view.end = count * kWidth;
    view.width = kWidth;
    view.period = data::Period::Weekly;  // read as stored: the prices are adjusted already
    return view;
}

bool Evaluator::PrepareStock(uint32_t code, const StockNeeds& needs) {
    if (!IndexReady()) return false;
    if (!LoadStock(code, needs)) return false;
    const uint32_t referenceDate = Reference().date;
    size_t offset = m_view.LastBar();
    while (offset > m_view.firstBar && m_view.image[offset] > referenceDate) offset -= kStockWidth;
    if (m_view.image[offset] != referenceDate) return false;
    m_referenceBar = offset;
    return true;
}

bool NewlyListedAt(const data::SeriesView& stock, size_t offset, size_t barsBefore) {
    // A short history, or one-price bars (open at the low, close at the high)
    // on the last three days of a still young one.
    const auto onePrice = [&](size_t at) { return stock.image[at + 1] == stock.image[at + 2]; };
    return barsBefore < 7 || (barsBefore <= 30 && onePrice(offset) &&
                              onePrice(offset - kStockWidth) && onePrice(offset - 2 * kStockWidth));
}

NDayChange Evaluator::MeasureNDayChange(uint32_t code, int n, ChangeMode mode) {
    NDayChange result;
    if (n < 0 || !IndexReady()) return result;
    const size_t back = static_cast<size_t>(n);
    const uint32_t start = WindowStart(back);
    const uint32_t referenceDate = Reference().date;
    if (!LoadStock(code, NDayChangeNeeds(n))) return result;
    const data::SeriesView& v = m_view;
    const auto range = data::FindDateRange(v, v.firstBar, v.LastBar(), start, referenceDate);
    if (range.count < 1 || v.image[range.last] != referenceDate) return result;
    const size_t today = range.last;
    const size_t before = BarsBefore(today);
    if (before < back) return result;
    m_referenceBar = today;

    result.newlyListed = NewlyListedAt(v, today, before);

    const size_t earlier = today - back * kStockWidth;
    const uint64_t c0 = data::BarClose(v, today), cN = data::BarClose(v, earlier);
    if (mode == ChangeMode::Price) {
        if (cN == 0) return result;
        const int64_t change = RoundedRatio((c0 > cN ? c0 - cN : cN - c0) * 10'000, cN);
        result.value = c0 < cN ? -change : change;
    } else {
        const uint64_t a0 = v.image[today + 3], aN = v.image[earlier + 3];
        if (aN == 0) return result;
        if (a0 < aN)
            result.value = -RoundedRatio((aN - a0) * 100, aN);
        else
            result.value = c0 > cN ? RoundedRatio((a0 - aN) * 100, aN) : 0;
    }
    result.hasValue = true;
    return result;
}

Verdict Evaluator::Evaluate(uint32_t code) {
    if (m_scanMeasure) return m_scanMeasure(*this, code);
    return TestCondition(*this, m_condition, code);
}

}  // namespace picking
