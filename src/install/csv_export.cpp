#include "install/csv_export.h"

#include <charconv>

#include "base/endian.h"
#include "base/gbk.h"
#include "data/paths.h"
#include "install/csv_text.h"
#include "install/import_bars.h"

namespace install {
namespace {

constexpr uint64_t kSharesPerLot = 100;
constexpr uint64_t kYuanPerAmountUnit = 10'000;
constexpr size_t kLibraryHeaderBytes = 16;
constexpr size_t kRecordLeadBytes = 6;  // member count, sector number, name length

std::string EventFields(const CodeEvent& e) {
    return data::CodeText(e.code) + "," + std::to_string(e.event.date) + "," +
           FloatText(e.event.bonus) + "," + FloatText(e.event.dividend) + "," +
           FloatText(e.event.rights) + "," + FloatText(e.event.rightsPrice);
}

}  // namespace

std::string FloatText(float value) {
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (error != std::errc()) return "0";
    return std::string(text, end);
}

std::string CsvField(std::string_view text) {
    const bool plain = text.find_first_of(",\"") == std::string_view::npos &&
                       (text.empty() || (text.front() != ' ' && text.back() != ' '));
    if (plain) return std::string(text);
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string DayCsvText(std::span<const data::Bar> bars) {
    std::string text = "date,open,high,low,close,volume,amount\n";
    for (const data::Bar& b : bars)
        text += std::to_string(b.date) + "," + YuanText(b.open) + "," + YuanText(b.high) + "," +
                YuanText(b.low) + "," + YuanText(b.close) + "," +
                std::to_string(uint64_t{b.volume} * kSharesPerLot) + "," +
                std::to_string(uint64_t{b.amount} * kYuanPerAmountUnit) + "\n";
    return text;
}

std::string NamesCsvText(std::span<const data::CodeEntry> entries) {
    std::string text = "code,name,initials,total_shares,float_shares\n";
    for (const data::CodeEntry& e : entries)
        text += data::CodeText(e.code) + "," + CsvField(base::GbkToUtf8(e.name)) + "," +
                CsvField(e.initials) + "," + std::to_string(e.totalShares) + "," +
                std::to_string(e.floatShares) + "\n";
    return text;
}

std::string SectorsCsvText(std::span<const uint8_t> library) {
    std::string text = "family,sector,code\n";
    if (library.size() < kLibraryHeaderBytes) return text;
    const uint32_t count = base::ReadU24(library.data());
    size_t at = kLibraryHeaderBytes;
    for (uint32_t s = 0; s < count && library.size() - at >= kRecordLeadBytes; ++s) {
        const uint8_t* p = library.data() + at;
        const size_t members = base::ReadU16(p);
        const uint32_t family = p[2];
        const size_t nameLength = p[5];
        if (library.size() - at < kRecordLeadBytes + nameLength + 3 * members) break;
        at += kRecordLeadBytes + nameLength + 3 * members;
        const auto familyText = SectorFamilyText(family);
        if (!familyText) continue;  // no text to name it by
        const std::string name = CsvField(base::GbkToUtf8(
            std::string_view(reinterpret_cast<const char*>(p + kRecordLeadBytes), nameLength)));
        const uint8_t* codes = p + kRecordLeadBytes + nameLength;
        for (size_t m = 0; m < members; ++m)
            text += std::string(*familyText) + "," + name + "," +
                    data::CodeText(base::ReadU24(codes + 3 * m)) + "\n";
    }
    return text;
}

std::string ExRightsCsvText(std::span<const CodeEvent> events) {
    std::string text = "code,date,bonus_per10,dividend_per10,rights_per10,rights_price\n";
    for (const CodeEvent& e : events) text += EventFields(e) + "\n";
    return text;
}

std::string ExRightsAdditionText(std::span<const CodeEvent> events) {
    std::string text;
    for (const CodeEvent& e : events) text += "/" + EventFields(e) + "/\r\n";
    return text;
}

}  // namespace install
