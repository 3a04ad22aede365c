#include "sectors/scan.h"

#include <array>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "base/endian.h"
#include "data/workspace.h"

namespace sectors {
namespace {

// Every scan type compares a stock's day with the one before.
constexpr int kScanDays = 1;

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t DigitsValue(std::string_view text) {
    int64_t v = 0;
    for (char c : text) v = v * 10 + (c - '0');
    return v;
}

}  // namespace

std::string_view ScanTitleWord(ScanType type) {
    switch (type) {
        case ScanType::Hot:
            return "热点板块";
        case ScanType::Fund:
            return "资金流入板块";
        case ScanType::Fall:
            return "下跌板块";
    }
    return {};
}

std::optional<int32_t> ThresholdFromFields(std::string_view whole, std::string_view decimal) {
    if (!AllDigits(whole) || !AllDigits(decimal) || decimal.size() > 2 || whole.size() > 6)
        return std::nullopt;
    int64_t fraction = DigitsValue(decimal);
    if (decimal.size() == 1) fraction *= 10;  // one digit counts as tenths
    return static_cast<int32_t>(DigitsValue(whole) * 100 + fraction);
}

std::optional<int32_t> ParseThreshold(ScanType type, std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (type == ScanType::Fund) {
        if (!AllDigits(text) || text.size() > 8) return std::nullopt;
        return static_cast<int32_t>(DigitsValue(text));
    }
    const size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view decimal =
        dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (whole.empty()) return std::nullopt;
    return ThresholdFromFields(whole, decimal);
}

std::string ThresholdText(ScanType type, int32_t threshold) {
    char text[32];
    if (type == ScanType::Fund)
        std::snprintf(text, sizeof text, "%d", threshold);
    else
        std::snprintf(text, sizeof text, "%.2f", threshold / 100.0);
    return text;
}

picking::Condition ScanCondition(ScanType type) {
    picking::Condition condition;
    condition.code = {picking::kGroupB, type == ScanType::Fall ? 9 : 8};
    condition.params = {1, 750, 1000};
    return condition;
}

std::string ScanMethodEntry(ScanType type) {
    // Both scans write b8's layout (N and two bounds); the fall scan only
    // names itself b9.
    const picking::Condition condition = ScanCondition(type);
    const std::array<int64_t, 3> params = {condition.params[0], condition.params[1],
                                           condition.params[2]};
    const picking::ConditionCode layout{picking::kGroupB, 8};
    std::string entry = picking::WriteMethodEntry(layout, params);
    return condition.code.Text() + entry.substr(layout.Text().size());
}

std::optional<std::string> StartSectorScan(size_t candidateCount, const ScanSettings& settings,
                                           base::Prompter& prompter) {
    const std::string caption(kPromptCaption);
    if (candidateCount == 0) {
        prompter.ShowMessage(std::string(kNoCandidatesMessage), caption);
        return std::nullopt;
    }
    if (settings.threshold >= kThresholdLimit) {
        if (settings.type == ScanType::Hot) {
            prompter.ShowMessage(std::string(kRiseTooLargeMessage), caption);
            return std::nullopt;
        }
        if (settings.type == ScanType::Fall) {
            prompter.ShowMessage(std::string(kFallTooLargeMessage), caption);
            return std::nullopt;
        }
    }
    return ScanMethodEntry(settings.type);
}

ScanBounds BoundsOf(ScanType type, data::DailyLimit limit) {
    if (type == ScanType::Fund) return {kTenPercentBounds.ceiling, kFundCap};
    return limit == data::DailyLimit::TwentyPercent ? kTwentyPercentBounds : kTenPercentBounds;
}

std::optional<int32_t> SelectedValue(const picking::NDayChange& change, ScanType type,
                                     int32_t threshold, data::DailyLimit limit) {
    if (!change.hasValue) return std::nullopt;
    const int64_t v = change.value;
    const ScanBounds bounds = BoundsOf(type, limit);
    if (type == ScanType::Fall) {
        if (v > 0 || -v < threshold || -v > bounds.cap) return std::nullopt;
        return static_cast<int32_t>(-v);
    }
    if (change.newlyListed) return std::nullopt;
    if (v < 0 || v >= bounds.ceiling || v < threshold || v > bounds.cap) return std::nullopt;
    return static_cast<int32_t>(v);
}

ScanAccumulator::ScanAccumulator() : m_moves(new uint8_t[data::kSectorMovesBytes]) {
    m_hits.reserve(kMaxScanSectors);
    m_sums.reserve(kMaxScanSectors);
}

void ScanAccumulator::Clear() {
    m_moveCount = 0;
    m_hits.clear();
    m_sums.clear();
    m_slots.clear();
}

void ScanAccumulator::RecordSelectedStock(const StockSectorIndex& index, uint32_t code,
                                          int32_t value) {
    const size_t n = index.Find(code, m_list);
    for (size_t i = 0; i < n && m_moveCount < kMaxMoveRecords; ++i) {
        uint8_t* p = m_moves.get() + m_moveCount * kMoveRecordBytes;
        base::WriteU24(p, code);
        base::WriteU24(p + 3, m_list.items[i].number);
        base::WriteU24(p + 6, static_cast<uint32_t>(value));
        ++m_moveCount;
    }
    for (size_t i = 0; i < n; ++i) {
        const uint32_t sector = m_list.items[i].number;
        auto it = m_slots.find(sector);
        if (it != m_slots.end()) {
            // A sector already held keeps counting when the table is full, so
            // its hits stay in step with its recorded moves.
            m_hits[it->second].value += 1;
            m_sums[it->second].value += value;
        } else if (m_hits.size() < kMaxScanSectors) {
            m_slots.emplace(sector, m_hits.size());
            m_hits.push_back({sector, 1});
            m_sums.push_back({sector, value});
        }
    }
}

MoveRecord ScanAccumulator::MoveAt(size_t index) const {
    const uint8_t* p = m_moves.get() + index * kMoveRecordBytes;
    return {base::ReadU24(p), base::ReadU24(p + 3), base::ReadU24(p + 6)};
}

void SortPairs(std::vector<SectorPair>& pairs) {
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const SectorPair& a, const SectorPair& b) { return a.value > b.value; });
}

ScoreParts QualifiedScoreParts(int32_t share, int32_t hits, uint32_t members, int32_t minCx,
                               int64_t sum, int32_t threshold, const RankWeights& weights,
                               const RankCaps& caps) {
    ScoreParts parts;
    const int64_t f = hits;
    const int64_t d = f - minCx;
    const int64_t countWeight = weights.count;
    if (members > kLargeSectorMembers)
        parts.count = d * countWeight / 6;  // truncates towards zero
    else if (d > 4)
        parts.count = 2 * countWeight * d;
    else if (f < 7)
        parts.count = 4 * countWeight * (d - 4);  // zero or negative
    parts.count = std::min(parts.count, caps.count);
    if (f > 0) {
        const int64_t average = sum / f;
        if (average > threshold)
            parts.move = std::min((average - threshold) * int64_t{weights.move}, caps.move);
    }
    parts.share = std::min(int64_t{weights.share} * share, caps.share);
    return parts;
}

namespace {

// One walk over the library: the first record of every sector number.
std::unordered_map<uint32_t, SectorView> IndexLibrary(const SectorLibrary& library) {
    std::unordered_map<uint32_t, SectorView> index;
    index.reserve(library.SectorCount() < 65536 ? library.SectorCount() : 65536);
    library.ForEach([&](const SectorView& s) {
        index.emplace(s.number, s);
        return true;
    });
    return index;
}

template <class T, class Key>
void StableSortDescending(std::vector<T>& items, size_t count, Key key) {
    std::stable_sort(items.begin(), items.begin() + static_cast<ptrdiff_t>(count),
                     [&](const T& a, const T& b) { return key(a) > key(b); });
}

}  // namespace

Ranking RankSectors(const ScanAccumulator& accumulator, const SectorLibrary& library,
                    const ScanSettings& settings) {
    Ranking ranking;
    const auto& hits = accumulator.Hits();
    const auto& sums = accumulator.Sums();
    const size_t n = hits.size();
    if (n == 0) return ranking;

    int64_t total = 0;
    for (const auto& p : hits) total += p.value;
    const int64_t count = static_cast<int64_t>(n);
    int64_t minCx = total / count;
    if (total % count > count / 2) ++minCx;
    ranking.minCx = static_cast<int32_t>(std::min<int64_t>(minCx, kAverageHitsCap));

    const auto libraryIndex = IndexLibrary(library);
    ranking.sectors.resize(n);
    for (size_t i = 0; i < n; ++i) {
        RankedSector& s = ranking.sectors[i];
        s.number = hits[i].sector;
        s.hits = hits[i].value;
        s.sum = sums[i].value;
        auto it = libraryIndex.find(s.number);
        s.members = it == libraryIndex.end() ? 0 : it->second.memberCount;
        if (s.members == 0) continue;
        s.score = int64_t{s.hits} * 1000 / s.members;
        if (s.hits >= ranking.minCx) {
            s.score += kQualifiedBonus;
            s.qualified = true;
            ++ranking.aheadCx;
        }
    }
    // Qualified sectors first even on a tie at 1000 (a share of 0 against a
    // fully hit small sector), so the first Ahead_cx are exactly the qualified.
    std::stable_sort(ranking.sectors.begin(), ranking.sectors.end(),
                     [](const RankedSector& a, const RankedSector& b) {
                         if (a.score != b.score) return a.score > b.score;
                         return a.qualified && !b.qualified;
                     });

    const RankCaps caps = RankCaps::From(settings.weights);
    const size_t ahead = static_cast<size_t>(ranking.aheadCx);
    for (size_t i = 0; i < ahead; ++i) {
        RankedSector& s = ranking.sectors[i];
        const int32_t share = static_cast<int32_t>(s.score - kQualifiedBonus);
        // f is the hit count itself: rounding M × share / 1000 back loses it
        // for sectors of 500 members or more.
        const ScoreParts parts = QualifiedScoreParts(share, s.hits, s.members, ranking.minCx, s.sum,
                                                     settings.threshold, settings.weights, caps);
        ranking.qualifiedShares.push_back({s.number, kQualifiedBonus + share});
        s.score = parts.Total();
    }
    StableSortDescending(ranking.sectors, ahead, [](const RankedSector& s) { return s.score; });

    if (ahead > 0 && ahead < n) {
        const int64_t last = ranking.sectors[ahead - 1].score;
        const int64_t next = ranking.sectors[ahead].score;
        if (last > 0) {
            if (next != 0)
                for (size_t i = ahead; i < n; ++i)
                    ranking.sectors[i].score = ranking.sectors[i].score * last * 9 / (next * 10);
        } else {
            // The count part can make the lowest qualified score zero or
            // negative; scaling by it would turn the order of the others round
            // and lift them above it. Shift them just below it instead.
            for (size_t i = ahead; i < n; ++i)
                ranking.sectors[i].score = last - 1 - (next - ranking.sectors[i].score);
        }
    }
    return ranking;
}

size_t BuildScanResult(const Ranking& ranking, const ScanAccumulator& accumulator,
                       const SectorLibrary& library, std::span<uint8_t> out) {
    if (out.size() < kResultHeaderBytes) return 0;
    std::fill(out.begin(), out.begin() + kResultHeaderBytes, uint8_t{0});
    const size_t n = ranking.sectors.size();
    std::unordered_map<uint32_t, size_t> rankOf;
    rankOf.reserve(n);
    for (size_t r = 0; r < n; ++r) rankOf.emplace(ranking.sectors[r].number, r);
    std::vector<std::vector<ResultEntry>> entries(n);
    for (size_t i = 0; i < accumulator.MoveCount(); ++i) {
        const MoveRecord m = accumulator.MoveAt(i);
        auto it = rankOf.find(m.sector);
        if (it != rankOf.end()) entries[it->second].push_back({m.code, m.value});
    }
    const auto libraryIndex = IndexLibrary(library);
    size_t pos = kResultHeaderBytes;
    size_t stored = 0;
    for (size_t r = 0; r < n; ++r) {
        if (pos > kResultStopOffset) break;
        auto& list = entries[r];
        // Every mover of the sector, largest first, recording order on ties.
        std::stable_sort(list.begin(), list.end(), [](const ResultEntry& a, const ResultEntry& b) {
            return a.value > b.value;
        });
        auto it = libraryIndex.find(ranking.sectors[r].number);
        const std::string_view name =
            it == libraryIndex.end() ? std::string_view{} : it->second.name;
        const size_t length = 6 + name.size() + kResultEntryBytes * list.size();
        if (length > out.size() - pos) break;  // a record never runs past the buffer
        uint8_t* p = out.data() + pos;
        base::WriteU16(p, static_cast<uint32_t>(list.size()));
        base::WriteU24(p + 2, ranking.sectors[r].number);
        p[5] = static_cast<uint8_t>(name.size());
        std::copy(name.begin(), name.end(), p + 6);
        uint8_t* e = p + 6 + name.size();
        for (const auto& entry : list) {
            base::WriteU24(e, entry.code);
            base::WriteU24(e + 3, entry.value);
            e += kResultEntryBytes;
        }
        pos += length;
        ++stored;
    }
    base::WriteU16(out.data(), static_cast<uint32_t>(stored));
    return stored;
}

ScanResultView::ScanResultView(std::span<const uint8_t> bytes) : m_bytes(bytes) {
    const size_t count = bytes.size() >= kResultHeaderBytes ? base::ReadU16(bytes.data()) : 0;
    size_t pos = kResultHeaderBytes;
    for (size_t r = 1; r <= count; ++r) {
        if (pos > bytes.size() || bytes.size() - pos < 6) break;
        const uint8_t* p = bytes.data() + pos;
        const size_t length = 6 + p[5] + kResultEntryBytes * base::ReadU16(p);
        if (bytes.size() - pos < length) break;
        m_offsets.push_back(static_cast<uint32_t>(pos));
        pos += length;
    }
}

size_t ScanResultView::SectorCount() const {
    return m_bytes.size() >= kResultHeaderBytes ? base::ReadU16(m_bytes.data()) : 0;
}

size_t ScanResultView::RecordOffset(size_t rank) const {
    return rank == 0 || rank > m_offsets.size() ? 0 : m_offsets[rank - 1];
}

size_t ScanResultView::ResultSectorMemberCount(size_t rank) const {
    const size_t pos = RecordOffset(rank);
    return pos ? base::ReadU16(m_bytes.data() + pos) : 0;
}

ResultEntry ScanResultView::ResultSectorMember(size_t rank, size_t k) const {
    const size_t pos = RecordOffset(rank);
    if (!pos) return {};
    const uint8_t* p = m_bytes.data() + pos;
    if (k >= base::ReadU16(p)) return {};
    const uint8_t* e = p + 6 + p[5] + kResultEntryBytes * k;
    return {base::ReadU24(e), base::ReadU24(e + 3)};
}

std::string ScanResultView::ResultSectorName(size_t rank) const {
    const size_t pos = RecordOffset(rank);
    if (!pos) return {};
    const uint8_t* p = m_bytes.data() + pos;
    return std::string(reinterpret_cast<const char*>(p + 6), p[5]);
}

uint32_t ScanResultView::ResultSectorNumber(size_t rank) const {
    const size_t pos = RecordOffset(rank);
    return pos ? base::ReadU24(m_bytes.data() + pos + 2) : 0;
}

std::vector<ResultEntry> ScanResultView::LoadResultSector(size_t rank) const {
    std::vector<ResultEntry> out;
    const size_t pos = RecordOffset(rank);
    if (!pos) return out;
    const uint8_t* p = m_bytes.data() + pos;
    const size_t count = base::ReadU16(p);
    const uint8_t* e = p + 6 + p[5];
    out.reserve(count);
    for (size_t k = 0; k < count; ++k, e += kResultEntryBytes)
        out.push_back({base::ReadU24(e), base::ReadU24(e + 3)});
    return out;
}

size_t ScanResultView::FindRank(uint32_t number) const {
    for (size_t r = 0; r < m_offsets.size(); ++r)
        if (base::ReadU24(m_bytes.data() + m_offsets[r] + 2) == number) return r + 1;
    return 0;
}

SectorScan::SectorScan() {
    m_work.result.assign(data::kScanResultBytes, 0);
    m_published.result.assign(data::kScanResultBytes, 0);
    m_published.view = ScanResultView(m_published.result);
}

picking::RunContext SectorScan::PrepareRun(const picking::MarketInputs& market,
                                           SectorLibrary library, const ScanSettings& settings,
                                           std::vector<uint32_t> candidates, uint32_t cutoff) {
    m_accumulator.Clear();
    m_library = library;
    m_sectorIndex.Follow(library);
    m_stCodes = market.codes ? StCodesOf(*market.codes) : std::vector<uint32_t>{};
    m_work.referenceDate = 0;
    m_work.candidates = candidates.size();
    m_work.settings = settings;
    m_work.selected.clear();
    m_work.ranking = {};
    m_work.limitStocks.clear();
    m_work.limits.clear();
    m_work.stopped = false;
    base::WriteU16(m_work.result.data(), 0);

    picking::RunContext context;
    context.market = market;
    context.condition = ScanCondition(settings.type);
    context.candidates = std::move(candidates);
    context.cutoff = cutoff;
    context.useScanMeasure = true;
    context.scanMeasure = [this](picking::Evaluator& evaluator, uint32_t code) {
        return EvaluateScanStock(evaluator, code);
    };
    const picking::StockNeeds needs = picking::NDayChangeNeeds(kScanDays);
    if (m_readAhead) {
        context.prefetchNeeds = needs;
        context.prefetchThreads = *m_readAhead;
        context.tailCache = m_tailCache;
    }
    if (m_kept) {
        m_kept->PrepareRun(market.paths, picking::TailReadRecords(market.index, cutoff, needs));
        context.keptTails = m_kept;
    }
    context.afterCandidates = [this](picking::RunResults& results) {
        m_work.referenceDate = results.referenceDate;
        m_work.stopped = results.stopped;
        m_work.ranking = RankSectors(m_accumulator, m_library, m_work.settings);
        std::vector<uint32_t> numbers;
        numbers.reserve(m_work.ranking.sectors.size());
        for (const RankedSector& sector : m_work.ranking.sectors) numbers.push_back(sector.number);
        m_work.limits = SectorLimitsOf(numbers, m_work.limitStocks, m_sectorIndex);
        BuildScanResult(m_work.ranking, m_accumulator, m_library, m_work.result);
    };
    return context;
}

picking::Verdict SectorScan::EvaluateScanStock(picking::Evaluator& evaluator, uint32_t code) {
    const ScanType type = m_work.settings.type;
    const picking::NDayChange change = evaluator.MeasureNDayChange(code, kScanDays, ScanChangeMode(type));
    const data::DailyLimit limit = data::DailyLimitOf(code, evaluator.Reference().date);
    const auto value = SelectedValue(change, type, m_work.settings.threshold, limit);
    RecordLimit(evaluator, code);
    if (!value) return picking::Verdict::Fail();
    m_accumulator.RecordSelectedStock(m_sectorIndex, code, *value);
    m_work.selected.push_back({code, static_cast<uint32_t>(*value)});
    const int64_t size = change.value < 0 ? -change.value : change.value;
    return picking::Verdict::Pass(picking::SignalMark::One(picking::MarkValue(size)));
}

void SectorScan::RecordLimit(picking::Evaluator& evaluator, uint32_t code) {
    const bool st = std::binary_search(m_stCodes.begin(), m_stCodes.end(), code);
    const uint32_t date = evaluator.Reference().date;
    // A streak longer than the tail read goes back to the file once.
    for (int read = 0; read < 2 && evaluator.Holds(code); ++read) {
        const data::SeriesView& bars = evaluator.Stock();
        if (bars.BarCount() == 0) return;
        size_t offset = bars.LastBar();
        while (offset > bars.firstBar && bars.image[offset] > date) offset -= bars.width;
        if (bars.image[offset] != date) return;
        const StockLimit stock =
            LimitOnBar({bars, evaluator.BarsBefore(bars.firstBar), code, st}, offset);
        if (stock.complete || read == 1) {
            if (stock.move != LimitMove::None) m_work.limitStocks.push_back(stock);
            return;
        }
        evaluator.LoadStock(code, {picking::kEveryBar, 0});
    }
}

void SectorScan::Publish(const picking::RunResults& results) {
    m_work.referenceDate = results.referenceDate;
    std::swap(m_work, m_published);
    m_published.view = ScanResultView(m_published.result);
}

picking::RunResults SectorScan::Run(const picking::MarketInputs& market, SectorLibrary library,
                                    const ScanSettings& settings, std::vector<uint32_t> candidates,
                                    uint32_t cutoff,
                                    std::vector<picking::PendingMessage>& messages) {
    picking::RunContext context =
        PrepareRun(market, library, settings, std::move(candidates), cutoff);
    picking::RunCounters counters;
    // Zeroed by the system: a scan touches only the pages its stocks fill.
    const data::ZeroedWords storage = data::AllocateZeroedWords(data::kScanAreaWords);
    if (!storage) throw std::bad_alloc();
    picking::RunResults results = picking::RunPicking(
        context, counters, std::span<uint32_t>(storage.get(), data::kScanAreaWords), messages);
    Publish(results);
    return results;
}

void SectorScan::ClearOutcome() {
    m_published.selected.clear();
    m_published.ranking = {};
    m_published.limitStocks.clear();
    m_published.limits.clear();
    base::WriteU16(m_published.result.data(), 0);
    m_published.view = ScanResultView(m_published.result);
}

}  // namespace sectors
