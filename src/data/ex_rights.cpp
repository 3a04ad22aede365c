#include "data/ex_rights.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "base/endian.h"
#include "data/capacities.h"

namespace data {
namespace {

constexpr float kCodeBias = static_cast<float>(kExRightsCodeBias);

// Number of events of the entry dated on or before `date` (the walk stops at
// the first later one).
uint32_t EventsOnOrBefore(const ExRightsTable& table, size_t entry, uint32_t count,
                          uint32_t date) {
    uint32_t j = 0;
    while (j < count && table.EventDate(entry, j) <= date) ++j;
    return j;
}

// One event step, evaluated in double and stored back as single precision.
float ForwardStep(float p, const ExRightsEvent& e) {
    double s = e.bonus, d = e.dividend, r = e.rights, pr = e.rightsPrice;
    return static_cast<float>((10.0 * p - d + r * pr) / (10.0 + s + r));
}

float BackwardStep(float p, const ExRightsEvent& e) {
    double s = e.bonus, d = e.dividend, r = e.rights, pr = e.rightsPrice;
    return static_cast<float>(((r + s + 10.0) * p - r * pr + d) * 0.1);
}

// Half up to 0.01, decided on the third decimal only.
uint32_t RoundToCents(float p) {
    double scaled = static_cast<double>(p) * 1000.0;
    if (!(scaled > 0.0)) return 0;  // negatives and NaN
    if (scaled >= 4e13) return UINT32_MAX;  // far beyond any price; keeps the cast defined
    uint64_t h = static_cast<uint64_t>(scaled);
    uint64_t cents = h / 10 + (h % 10 >= 5 ? 1 : 0);
    return cents > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(cents);
}

float ToYuan(uint32_t price) { return static_cast<float>(price * 0.01); }

// "%.3f" without trailing zeros and then without a trailing point.
std::string Number(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

uint32_t ExRightsFullDate(uint32_t yymmdd) {
    return yymmdd < 800'001 ? yymmdd + 20'000'000 : yymmdd + 19'000'000;
}

ExRightsTable::ExRightsTable(std::span<const uint8_t> bytes) : m_bytes(bytes) {
    const size_t wholeRecords = bytes.size() / kExRightsRecordBytes;
    m_loaded = true;
    if (wholeRecords == 0) return;
    // Float 0 of the header is the record count. A count past the records
    // actually present (or not a number at all) is cut to what is there.
    float count = FloatAt(0);
    const size_t available = wholeRecords - 1;
    if (count >= 1.0f) {
        double whole = std::floor(static_cast<double>(count));
        m_recordCount = whole >= static_cast<double>(available) ? static_cast<uint32_t>(available)
                                                                : static_cast<uint32_t>(whole);
    }
    // Count the events that will never be applied, walking stock records and
    // their events.
    for (uint32_t r = 1; r <= m_recordCount;) {
        const size_t entry = r * kExRightsRecordFloats;
        if (!(FloatAt(entry) >= kCodeBias)) {
            ++r;
            continue;
        }
        const uint32_t n = EventCount(entry);
        for (uint32_t k = 0; k < n; ++k)
            if (!IsPlausibleEvent(RawEventAt(entry, k))) ++m_ignoredEvents;
        r += n + 1;
    }
    IndexStockRecords();
}

bool IsPlausibleEvent(const ExRightsEvent& e) {
    const auto within = [](float value, float most) { return value >= 0.0f && value <= most; };
    return within(e.bonus, 100.0f) && within(e.rights, 100.0f) && within(e.dividend, 10'000.0f) &&
           within(e.rightsPrice, 10'000.0f);
}

void ExRightsTable::IndexStockRecords() {
    // A code's key is never below the bias, so nothing below it (event
    // dates, a NaN) can be found; what is left keeps the record order, which
    // a stable sort by value preserves among equal keys: the first record of
    // a code comes first, as in a walk from the top.
    for (uint32_t r = 1; r <= m_recordCount; ++r) {
        const size_t offset = size_t{r} * kExRightsRecordFloats;
        const float first = FloatAt(offset);
        if (first >= kCodeBias) m_stockKeys.push_back({first, static_cast<uint32_t>(offset)});
    }
    const auto byValue = [](const StockKey& a, const StockKey& b) { return a.first < b.first; };
    if (!std::is_sorted(m_stockKeys.begin(), m_stockKeys.end(), byValue))
        std::stable_sort(m_stockKeys.begin(), m_stockKeys.end(), byValue);
}

float ExRightsTable::FloatAt(size_t index) const {
    return base::ReadF32(m_bytes.data() + index * 4);
}

float ExRightsTable::DataDate() const {
    return m_bytes.size() >= kExRightsRecordBytes ? FloatAt(3) : 0.0f;
}

size_t ExRightsTable::FindEntry(uint32_t code) const {
    const float wanted = static_cast<float>(code) + kCodeBias;
    const auto it = std::lower_bound(
        m_stockKeys.begin(), m_stockKeys.end(), wanted,
        [](const StockKey& key, float value) { return key.first < value; });
    return it != m_stockKeys.end() && it->first == wanted ? it->offset : 0;
}

uint32_t ExRightsTable::EventCount(size_t entry) const {
    if (entry == 0) return 0;
    float stored = FloatAt(entry + 1);
    const size_t record = entry / kExRightsRecordFloats;
    const size_t after = m_recordCount > record ? m_recordCount - record : 0;
    if (!(stored >= 1.0f)) return 0;
    double whole = std::floor(static_cast<double>(stored));
    return whole >= static_cast<double>(after) ? static_cast<uint32_t>(after)
                                               : static_cast<uint32_t>(whole);
}

uint32_t ExRightsTable::EventDate(size_t entry, uint32_t k) const {
    const float shortDate = FloatAt(entry + (k + 1) * kExRightsRecordFloats);
    return shortDate > 0.0f && shortDate < 1e7f ? ExRightsFullDate(static_cast<uint32_t>(shortDate))
                                                : 0;
}

ExRightsEvent ExRightsTable::RawEventAt(size_t entry, uint32_t k) const {
    const size_t at = entry + (k + 1) * kExRightsRecordFloats;
    ExRightsEvent e;
    e.date = EventDate(entry, k);
    e.bonus = FloatAt(at + 1);
    e.dividend = FloatAt(at + 2);
    e.rights = FloatAt(at + 3);
    e.rightsPrice = FloatAt(at + 4);
    return e;
}

ExRightsEvent ExRightsTable::EventAt(size_t entry, uint32_t k) const {
    ExRightsEvent e = RawEventAt(entry, k);
    if (!IsPlausibleEvent(e)) e = ExRightsEvent{e.date, 0, 0, 0, 0};
    return e;
}

size_t FindExRightsEntry(const ExRightsTable& table, uint32_t code) { return table.FindEntry(code); }

uint32_t AdjustPrice(const Adjuster& adjuster, uint32_t price, uint32_t date) {
    AdjustPrices(adjuster, date, std::span<uint32_t>(&price, 1));
    return price;
}

void AdjustPrices(const Adjuster& adjuster, uint32_t date, std::span<uint32_t> prices) {
    if (adjuster.mode == AdjustMode::None || adjuster.entry == 0 || !adjuster.table) return;
    const ExRightsTable& table = *adjuster.table;
    const uint32_t n = table.EventCount(adjuster.entry);
    const uint32_t j = EventsOnOrBefore(table, adjuster.entry, n, date);
    const bool backward = adjuster.mode == AdjustMode::Backward;
    // No event to apply: the prices stay exactly as stored.
    if (backward ? j == 0 : j >= n) return;
    constexpr size_t kMaxPrices = 8;
    float p[kMaxPrices];
    const size_t count = std::min(prices.size(), kMaxPrices);
    for (size_t i = 0; i < count; ++i) p[i] = ToYuan(prices[i]);
    if (backward) {
        for (uint32_t k = j; k-- > 0;) {
            const ExRightsEvent e = table.EventAt(adjuster.entry, k);
            for (size_t i = 0; i < count; ++i) p[i] = BackwardStep(p[i], e);
        }
    } else {
        for (uint32_t k = j; k < n; ++k) {
            const ExRightsEvent e = table.EventAt(adjuster.entry, k);
            for (size_t i = 0; i < count; ++i) p[i] = ForwardStep(p[i], e);
        }
    }
    for (size_t i = 0; i < count; ++i) {
        if (static_cast<double>(p[i]) < 0.01) p[i] = 0.01f;
        prices[i] = RoundToCents(p[i]);
    }
}

SeriesAdjuster::SeriesAdjuster(const Adjuster& adjuster) : m_mode(adjuster.mode) {
    if (adjuster.mode == AdjustMode::None || adjuster.entry == 0 || !adjuster.table) return;
    m_active = true;
    const uint32_t n = adjuster.table->EventCount(adjuster.entry);
    m_events.reserve(n);
    for (uint32_t k = 0; k < n; ++k) m_events.push_back(adjuster.table->EventAt(adjuster.entry, k));
}

void SeriesAdjuster::Seek(uint32_t date) {
    // Counting stops at the first event dated after the bar; for a later
    // date the count goes on from there.
    const uint32_t before = m_passed;
    if (date < m_date) m_passed = 0;
    m_date = date;
    while (m_passed < m_events.size() && m_events[m_passed].date <= date) ++m_passed;
    if (m_passed != before) ++m_stretch;
}

uint32_t SeriesAdjuster::Adjust(uint32_t price) const {
    if (!m_active) return price;
    const uint32_t n = static_cast<uint32_t>(m_events.size());
    float p = static_cast<float>(price * 0.01);
    if (m_mode == AdjustMode::Backward) {
        if (m_passed == 0) return price;
        for (uint32_t k = m_passed; k-- > 0;) p = BackwardStep(p, m_events[k]);
    } else {
        if (m_passed >= n) return price;
        for (uint32_t k = m_passed; k < n; ++k) p = ForwardStep(p, m_events[k]);
    }
    if (static_cast<double>(p) < 0.01) p = 0.01f;
    return RoundToCents(p);
}

uint32_t SeriesAdjuster::AdjustRemembered(uint32_t price) {
    if (!m_active) return price;
    if (m_remembered.empty()) m_remembered.resize(kRememberedSlots);
    Remembered& slot = m_remembered[price % kRememberedSlots];
    if (slot.stretch != m_stretch || slot.price != price) slot = {m_stretch, price, Adjust(price)};
    return slot.adjusted;
}

namespace {

uint32_t AdjustAcross(const ExRightsTable& table, size_t entry, uint32_t price, uint32_t from,
                      uint32_t to, AdjustMode direction) {
    if (entry == 0) return price;
    const uint32_t n = table.EventCount(entry);
    const uint32_t i = EventsOnOrBefore(table, entry, n, from);
    const uint32_t j = EventsOnOrBefore(table, entry, n, to);
    if (i >= j) return price;
    float p = ToYuan(price);
    if (direction == AdjustMode::Forward) {
        for (uint32_t k = i; k < j; ++k) p = ForwardStep(p, table.EventAt(entry, k));
    } else {
        for (uint32_t k = j; k-- > i;) p = BackwardStep(p, table.EventAt(entry, k));
    }
    return RoundToCents(p);
}

}  // namespace

uint32_t AdjustPriceForward(const ExRightsTable& table, uint32_t code, uint32_t price,
                            uint32_t from, uint32_t to) {
    return AdjustAcross(table, table.FindEntry(code), price, from, to, AdjustMode::Forward);
}

uint32_t AdjustPriceForward(const Adjuster& adjuster, uint32_t price, uint32_t from, uint32_t to) {
    if (!adjuster.table) return price;
    return AdjustAcross(*adjuster.table, adjuster.entry, price, from, to, AdjustMode::Forward);
}

uint32_t AdjustPriceBackward(const ExRightsTable& table, uint32_t code, uint32_t price,
                             uint32_t from, uint32_t to) {
    return AdjustAcross(table, table.FindEntry(code), price, from, to, AdjustMode::Backward);
}

int FindEventOnBar(const ExRightsTable& table, uint32_t code, uint32_t barDate,
                   uint32_t previousBarDate) {
    const size_t entry = table.FindEntry(code);
    if (entry == 0) return -1;
    const uint32_t n = table.EventCount(entry);
    for (uint32_t k = 0; k < n; ++k) {
        uint32_t d = table.EventAt(entry, k).date;
        if (d == barDate || (d > previousBarDate && d < barDate)) return static_cast<int>(k);
    }
    return -1;
}

std::string EventText(const ExRightsEvent& e) {
    std::string text;
    if (e.bonus != 0) text += "10送" + Number(e.bonus) + "股";
    if (e.dividend != 0) text += (text.empty() ? "10" : "") + std::string("派") + Number(e.dividend) + "元";
    if (e.rights != 0)
        text += (text.empty() ? "10" : "") + std::string("配") + Number(e.rights) + "股" +
                Number(e.rightsPrice) + "元";
    return text;
}

}  // namespace data
