#include "install/ex_rights_merge.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/dates.h"
#include "base/endian.h"
#include "data/capacities.h"
#include "data/ex_rights.h"

namespace install {
namespace {

constexpr size_t kMinimumRecordGap = 15;  // between the two "/" of a record
constexpr size_t kCodeDigits = 6;
constexpr size_t kDateDigits = 8;
constexpr size_t kNumberFields = 4;
constexpr size_t kRecordBytes = data::kExRightsRecordBytes;

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// A cursor over one record's text.
struct Cursor {
    std::span<const uint8_t> text;
    size_t at = 0;

    bool AtEnd() const { return at >= text.size(); }
    uint8_t Peek() const { return text[at]; }
    std::string Show() const { return std::string(text.begin(), text.end()); }
};

// The first run of digits, at most `limit` of them, after skipping anything
// that is not a digit (but stopping at a ";").
std::string DigitRun(Cursor& c, size_t limit) {
    while (!c.AtEnd() && !IsDigit(c.Peek()) && c.Peek() != ';') ++c.at;
    std::string digits;
    while (!c.AtEnd() && IsDigit(c.Peek()) && digits.size() < limit) digits += static_cast<char>(c.text[c.at++]);
    return digits;
}

// Moves just past the next ","; false at a ";" or the end.
bool NextField(Cursor& c) {
    while (!c.AtEnd() && c.Peek() != ',' && c.Peek() != ';') ++c.at;
    if (c.AtEnd() || c.Peek() == ';') return false;
    ++c.at;
    return true;
}

// A decimal number up to the next "," or ";" (blanks around it allowed); an
// empty field is 0. False for anything else.
bool ReadNumber(Cursor& c, float& value) {
    while (!c.AtEnd() && c.Peek() == ' ') ++c.at;
    const size_t begin = c.at;
    while (!c.AtEnd() && c.Peek() != ',' && c.Peek() != ';') ++c.at;
    size_t end = c.at;
    while (end > begin && c.text[end - 1] == ' ') --end;
    value = 0;
    if (end == begin) return true;
    for (size_t i = begin; i < end; ++i)
        if (!IsDigit(c.text[i]) && c.text[i] != '.') return false;
    const char* first = reinterpret_cast<const char*>(c.text.data()) + begin;
    const char* last = reinterpret_cast<const char*>(c.text.data()) + end;
    double number = 0;
    auto [ptr, ec] = std::from_chars(first, last, number);
    if (ec != std::errc() || ptr != last || !std::isfinite(number)) return false;
    value = static_cast<float>(number);
    return true;
}

bool ParseRecord(std::span<const uint8_t> record, StoredEvent& event, std::string& why) {
    Cursor c{record};
    while (!c.AtEnd() && !IsDigit(c.Peek())) ++c.at;
    std::string code;
    while (!c.AtEnd() && IsDigit(c.Peek()) && code.size() < kCodeDigits) code += static_cast<char>(c.text[c.at++]);
    if (code.size() != kCodeDigits) {
        why = "没有六位股票代码";
        return false;
    }
    event.code = static_cast<uint32_t>(std::stoul(code));
    if (!NextField(c)) {
        why = "没有除权日期";
        return false;
    }
    const std::string date = DigitRun(c, kDateDigits);
    if (date.empty()) {
        why = "没有除权日期";
        return false;
    }
    const uint32_t shortDate = static_cast<uint32_t>(std::stoul(date)) % 1'000'000;
    if (!base::IsValidDate(data::ExRightsFullDate(shortDate))) {
        why = "除权日期无效：" + date;
        return false;
    }
    event.date = static_cast<float>(shortDate);
    float* fields[kNumberFields] = {&event.bonus, &event.dividend, &event.rights, &event.rightsPrice};
    for (float* field : fields) {
        *field = 0;
        if (!NextField(c)) break;  // a ";" or the end: the rest are 0
        if (!ReadNumber(c, *field)) {
            why = "送派配数值无法识别";
            return false;
        }
    }
    return true;
}

}  // namespace

ParsedText ParseExRightsText(std::span<const uint8_t> text) {
    ParsedText parsed;
    size_t previous = text.size();  // no "/" seen yet
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '/') continue;
        if (previous < text.size() && i - previous >= kMinimumRecordGap) {
            const auto record = text.subspan(previous + 1, i - previous - 1);
            StoredEvent event;
            std::string why;
            if (ParseRecord(record, event, why))
                parsed.events.push_back(event);
            else
                parsed.problems.push_back(why + "：" + Cursor{record}.Show());
        }
        previous = i;
    }
    return parsed;
}

ExRightsImage::ExRightsImage(std::span<const uint8_t> loaded, size_t capacityBytes)
    : m_capacityRecords(capacityBytes / kRecordBytes) {
    // Only the records the header counts are carried (as a reader sees them).
    const data::ExRightsTable view(loaded);
    const size_t records = loaded.size() >= kRecordBytes ? view.RecordCount() : 0;
    m_bytes.assign(loaded.begin(), loaded.begin() + static_cast<ptrdiff_t>(
                                                        std::min(loaded.size(), (records + 1) * kRecordBytes)));
    if (m_bytes.size() < kRecordBytes) m_bytes.assign(kRecordBytes, 0);
    Put(0, 0, static_cast<float>(records));
}

float ExRightsImage::At(size_t record, size_t field) const {
    return base::ReadF32(m_bytes.data() + record * kRecordBytes + field * 4);
}

void ExRightsImage::Put(size_t record, size_t field, float value) {
    base::WriteF32(m_bytes.data() + record * kRecordBytes + field * 4, value);
}

uint32_t ExRightsImage::RecordCount() const { return static_cast<uint32_t>(At(0, 0)); }

std::span<const uint8_t> ExRightsImage::FileBytes() const {
    return std::span<const uint8_t>(m_bytes).first((RecordCount() + 1) * kRecordBytes);
}

bool ExRightsImage::InsertRecords(size_t at, size_t count) {
    const size_t records = RecordCount();
    if (records + 1 + count > m_capacityRecords) return false;
    m_bytes.insert(m_bytes.begin() + static_cast<ptrdiff_t>(at * kRecordBytes), count * kRecordBytes, 0);
    Put(0, 0, static_cast<float>(records + count));
    return true;
}

EventMerge ExRightsImage::Merge(const StoredEvent& e) {
    const size_t records = RecordCount();
    const float key = static_cast<float>(e.code + data::kExRightsCodeBias);
    const float values[5] = {e.date, e.bonus, e.dividend, e.rights, e.rightsPrice};
    auto putEvent = [&](size_t record) {
        for (size_t f = 0; f < 5; ++f) Put(record, f, values[f]);
    };

    size_t stock = 1;
    while (stock <= records && At(stock, 0) < key) ++stock;
    if (stock > records || At(stock, 0) != key) {
        // A stock without a record: its record and the event go where its
        // code belongs, at the end when it is above every code.
        if (!InsertRecords(stock, 2)) return EventMerge::TableFull;
        Put(stock, 0, key);
        Put(stock, 1, 1);
        putEvent(stock + 1);
        return EventMerge::Added;
    }

    const double stored = std::floor(static_cast<double>(At(stock, 1)));
    const size_t events =
        static_cast<size_t>(std::clamp<double>(stored, 0, static_cast<double>(records - stock)));
    const uint32_t newDate = data::ExRightsFullDate(static_cast<uint32_t>(e.date));
    size_t k = 0;
    while (k < events &&
           data::ExRightsFullDate(static_cast<uint32_t>(At(stock + 1 + k, 0))) < newDate)
        ++k;
    const size_t place = stock + 1 + k;
    if (k < events && data::ExRightsFullDate(static_cast<uint32_t>(At(place, 0))) == newDate) {
        bool same = true;
        for (size_t f = 0; f < 5; ++f) same = same && At(place, f) == values[f];
        if (same) return EventMerge::Unchanged;
        putEvent(place);
        return EventMerge::Changed;
    }
    // Later event or none left: the event goes in before it (or after the
    // stock's last event; a stock with no events yet gets it as its first).
    if (!InsertRecords(place, 1)) return EventMerge::TableFull;
    putEvent(place);
    Put(stock, 1, static_cast<float>(events + 1));
    return EventMerge::Added;
}

}  // namespace install
