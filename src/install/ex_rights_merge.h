// Adding or correcting single ex-rights events in the table image, and the
// ex-rights addition text (CQADD.TXT) that carries them: records between two
// "/" at least 15 characters apart, each "code,YYYYMMDD,送,派,配,配股价".
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace install {

// One event as the table stores it: date YYMMDD, then the four numbers.
struct StoredEvent {
    uint32_t code = 0;
    float date = 0;  // YYMMDD
    float bonus = 0;
    float dividend = 0;
    float rights = 0;
    float rightsPrice = 0;
};

struct ParsedText {
    std::vector<StoredEvent> events;
    std::vector<std::string> problems;  // records that could not be read, with why
};

// The records of an addition text, in text order. NUL bytes and any other
// byte are plain characters; nothing is read past the text.
ParsedText ParseExRightsText(std::span<const uint8_t> text);

enum class EventMerge { Added, Changed, Unchanged, TableFull };

// The table image being changed: header record (float 0 the record count),
// then stock records each followed by their events.
class ExRightsImage {
public:
    // The loaded bytes of a table (empty: no table yet, one is started).
    explicit ExRightsImage(std::span<const uint8_t> loaded, size_t capacityBytes);

    // Puts the event at its place: a new stock record where the code belongs
    // (or at the end), the event in date order among the stock's events, an
    // event of the same date overwritten when any value differs.
    EventMerge Merge(const StoredEvent& event);

    uint32_t RecordCount() const;
    // The table as it is written: (record count + 1) × 20 bytes.
    std::span<const uint8_t> FileBytes() const;

private:
    float At(size_t record, size_t field) const;
    void Put(size_t record, size_t field, float value);
    bool InsertRecords(size_t at, size_t count);

    std::vector<uint8_t> m_bytes;
    size_t m_capacityRecords = 0;
};

}  // namespace install
