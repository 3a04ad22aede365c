// The ex-rights table (MKCQ.DAT, an array of little-endian floats in 5-float
// records) and the adjustment of raw day-file prices through its events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace data {

enum class AdjustMode : int { None = 0, Forward = 1, Backward = 2 };

// A stock record's float 0 is its code plus this, which keeps it above every
// YYMMDD event date.
inline constexpr uint32_t kExRightsCodeBias = 6'000'000;

struct ExRightsEvent {
    uint32_t date = 0;        // YYYYMMDD after the century rule
    float bonus = 0;          // 送: bonus shares per 10
    float dividend = 0;       // 派: cash in yuan per 10
    float rights = 0;         // 配: rights shares per 10
    float rightsPrice = 0;    // 配股价: yuan
};

// YYMMDD of the table to YYYYMMDD: below 800,001 is 20xx, otherwise 19xx.
uint32_t ExRightsFullDate(uint32_t yymmdd);

// A read-only view of the table image. The record count comes from header
// float 0, bounded by the whole records actually present.
class ExRightsTable {
public:
    ExRightsTable() = default;
    // bytes: the loaded part of the image.
    explicit ExRightsTable(std::span<const uint8_t> bytes);

    bool Loaded() const { return m_loaded; }
    // The loaded part of the image.
    std::span<const uint8_t> Bytes() const { return m_bytes; }
    uint32_t RecordCount() const { return m_recordCount; }
    float DataDate() const;  // header float 3

    // Float offset of the code's stock record, 0 when it has none: the first
    // record whose float 0 is the code plus 6,000,000.
    size_t FindEntry(uint32_t code) const;
    // Events of the entry that lie inside the table.
    uint32_t EventCount(size_t entry) const;
    // An event whose values are not plausible comes back with its date and
    // no bonus, dividend or rights: it is never applied.
    ExRightsEvent EventAt(size_t entry, uint32_t k) const;
    // Events of the whole table ignored that way, counted at load.
    uint32_t IgnoredEvents() const { return m_ignoredEvents; }
    uint32_t EventDate(size_t entry, uint32_t k) const;  // YYYYMMDD, 0 when unreadable

private:
    float FloatAt(size_t index) const;
    ExRightsEvent RawEventAt(size_t entry, uint32_t k) const;
    void IndexStockRecords();

    std::span<const uint8_t> m_bytes;
    bool m_loaded = false;
    uint32_t m_recordCount = 0;
    uint32_t m_ignoredEvents = 0;
    // Every record that could be a stock record (float 0 at least the code
    // bias), by float 0 and then by position, made once with the view: a
    // lookup is a binary search instead of a walk over the whole table,
    // which every stock of a market-wide pass paid for.
    struct StockKey {
        float first = 0;
        uint32_t offset = 0;
    };
    std::vector<StockKey> m_stockKeys;
};

// Values a real distribution can have: none negative or not a number, at most
// 100 bonus or rights shares per 10, a dividend and a rights price of at most
// 10,000 yuan (per 10 shares, per share).
bool IsPlausibleEvent(const ExRightsEvent& event);

// What a price of the open (or tested) stock is adjusted with.
struct Adjuster {
    const ExRightsTable* table = nullptr;
    size_t entry = 0;  // 0: the stock has no events
    AdjustMode mode = AdjustMode::None;
};

// FindExRightsEntry: the entry of a code, 0 when the table is missing or has none.
size_t FindExRightsEntry(const ExRightsTable& table, uint32_t code);

// A raw price (0.01 yuan) of a bar dated `date`, in the adjuster's mode.
uint32_t AdjustPrice(const Adjuster& adjuster, uint32_t price, uint32_t date);

// The same for several prices of one bar at once: the events are found and
// read once, and each price goes through exactly the steps AdjustPrice takes.
void AdjustPrices(const Adjuster& adjuster, uint32_t date, std::span<uint32_t> prices);

// Adjusts the prices of one stock's bars in date order, as AdjustPrice
// does, with the events read once and the count of events already passed
// carried from bar to bar.
class SeriesAdjuster {
public:
    explicit SeriesAdjuster(const Adjuster& adjuster);

    bool Active() const { return m_active; }
    // Moves to a bar's date; dates normally only grow.
    void Seek(uint32_t date);
    uint32_t Adjust(uint32_t price) const;
    // The same, remembered until the next event is passed: between two
    // events a price always adjusts alike.
    uint32_t AdjustRemembered(uint32_t price);

private:
    bool m_active = false;
    AdjustMode m_mode = AdjustMode::None;
    std::vector<ExRightsEvent> m_events;
    uint32_t m_passed = 0;  // events dated on or before the current date
    uint32_t m_date = 0;
    // Adjusted prices remembered by the price's low bits, with the stretch
    // between two events they were found in; prices of one stretch lie close
    // together, so they seldom share a slot.
    struct Remembered {
        uint32_t stretch = 0;
        uint32_t price = 0;
        uint32_t adjusted = 0;
    };
    static constexpr size_t kRememberedSlots = 4096;
    std::vector<Remembered> m_remembered;
    uint32_t m_stretch = 1;
};

// Adjust across the events dated after `from` and on or before `to` only.
uint32_t AdjustPriceForward(const ExRightsTable& table, uint32_t code, uint32_t price,
                            uint32_t from, uint32_t to);
// The same with the entry an adjuster holds (its mode does not matter): the
// ex-rights reference price of a previous close is the close adjusted across
// the events after its date up to the next bar's.
uint32_t AdjustPriceForward(const Adjuster& adjuster, uint32_t price, uint32_t from, uint32_t to);
uint32_t AdjustPriceBackward(const ExRightsTable& table, uint32_t code, uint32_t price,
                             uint32_t from, uint32_t to);

// The first event of the code dated on the bar date or strictly between the
// previous bar's date and it; -1 when there is none.
int FindEventOnBar(const ExRightsTable& table, uint32_t code, uint32_t barDate,
                   uint32_t previousBarDate);

// The chart's event text, UTF-8: 10送3股派1.2元, 10配2股8.5元.
std::string EventText(const ExRightsEvent& event);

}  // namespace data
