#include "data/file_formats.h"

#include <algorithm>

#include "base/endian.h"
#include "data/capacities.h"
#include "data/paths.h"

namespace data {
namespace {

// Four bytes packed with the first byte in the most significant position, the
// way the code table stores names and initials.
uint32_t PackText4(const std::string& text, size_t from) {
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) {
        uint8_t byte = from + i < text.size() ? static_cast<uint8_t>(text[from + i]) : 0;
        word |= static_cast<uint32_t>(byte) << (24 - 8 * i);
    }
    return word;
}

}  // namespace

std::vector<uint8_t> EncodeDayFile(uint32_t code, std::span<const Bar> bars) {
    const bool index = IsIndexCode(code);
    const size_t width = index ? kIndexRecordWords : kStockRecordWords;
    std::vector<uint8_t> bytes(kDayHeaderBytes + bars.size() * width * 4, 0);
    uint8_t* p = bytes.data();
    std::copy_n(IsShenzhenCode(code) ? "MKSZ" : "MKSH", 4, p);
    base::WriteU32(p + 4, code);
    base::WriteU32(p + 8, 2);
    p += kDayHeaderBytes;
    for (const Bar& bar : bars) {
        if (index) {
            const uint32_t words[7] = {bar.date,  bar.open,   bar.high,  bar.low,
                                       bar.close, bar.amount, bar.volume};
            for (uint32_t w : words) base::WriteU32(p, w), p += 4;
        } else {
            const uint32_t words[5] = {bar.date, base::PackHalves(bar.open, bar.high),
                                       base::PackHalves(bar.low, bar.close), bar.amount,
                                       bar.volume};
            for (uint32_t w : words) base::WriteU32(p, w), p += 4;
        }
    }
    return bytes;
}

// At most 8 bytes, never ending in the first half of a two-byte character.
static std::string NameField(const std::string& gbk) {
    size_t end = 0;
    while (end < gbk.size()) {
        const size_t width = static_cast<uint8_t>(gbk[end]) >= 0x81 ? 2 : 1;
        if (end + width > 8) break;
        end += width;
    }
    return gbk.substr(0, end);
}

CodeRecordWords PackCodeRecord(const CodeEntry& entry) {
    std::string name = NameField(entry.name);
    return {entry.code,        PackText4(name, 0),  PackText4(name, 4),
            PackText4(entry.initials.substr(0, 4), 0), entry.totalShares, entry.floatShares, 0};
}

std::vector<uint8_t> EncodeCodeTable(uint32_t date, std::span<const CodeEntry> entries) {
    std::vector<uint8_t> bytes((kCodeHeaderWords + entries.size() * kCodeRecordWords) * 4, 0);
    base::WriteU32(bytes.data(), static_cast<uint32_t>(entries.size()));
    base::WriteU32(bytes.data() + 16, date);
    uint8_t* p = bytes.data() + kCodeHeaderWords * 4;
    for (const CodeEntry& entry : entries)
        for (uint32_t w : PackCodeRecord(entry)) base::WriteU32(p, w), p += 4;
    return bytes;
}

uint32_t ExRightsShortDate(uint32_t yyyymmdd) { return yyyymmdd % 1'000'000; }

std::vector<uint8_t> EncodeExRightsTable(uint32_t dataDate,
                                         std::span<const ExRightsStock> stocks) {
    size_t records = 0;
    for (const auto& stock : stocks) records += 1 + stock.events.size();
    std::vector<uint8_t> bytes((1 + records) * kExRightsRecordBytes, 0);
    auto put = [&](size_t record, size_t field, float value) {
        base::WriteF32(bytes.data() + record * kExRightsRecordBytes + field * 4, value);
    };
    put(0, 0, static_cast<float>(records));
    put(0, 3, static_cast<float>(dataDate));
    size_t r = 1;
    for (const auto& stock : stocks) {
        put(r, 0, static_cast<float>(stock.code + kExRightsCodeBias));
        put(r, 1, static_cast<float>(stock.events.size()));
        ++r;
        for (const auto& e : stock.events) {
            put(r, 0, static_cast<float>(ExRightsShortDate(e.date)));
            put(r, 1, e.bonus);
            put(r, 2, e.dividend);
            put(r, 3, e.rights);
            put(r, 4, e.rightsPrice);
            ++r;
        }
    }
    return bytes;
}

}  // namespace data
