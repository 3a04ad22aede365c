#include "install/csv_text.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "base/file_io.h"
#include "install/package.h"

namespace install {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// A run of at most nine digits as a number.
uint32_t DigitsValue(std::string_view digits) {
    uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// The integer and fraction digits of a plain decimal, or false.
bool SplitDecimal(std::string_view text, std::string_view& whole, std::string_view& fraction) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const size_t point = text.find('.');
    whole = text.substr(0, point);
    fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return false;
    return AllDigits(whole) && AllDigits(fraction);
}

constexpr std::string_view kFamilyTexts[] = {"新概念", "新行业", "新地区", "概念", "行业", "地区"};

}  // namespace

base::Result<CsvFile> CsvFile::Open(const std::string& path) {
    auto fd = base::OpenForReading(path);
    if (!fd) return base::Error{"文件无法打开：" + path};
    std::FILE* file = ::fdopen(*fd, "rb");
    if (!file) {
        ::close(*fd);
        return base::Error{"文件无法打开：" + path};
    }
    return CsvFile(path, file);
}

bool CsvFile::Fill() {
    if (m_at > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_at, m_end - m_at);
        m_end -= m_at;
        m_at = 0;
    }
    if (m_buffer.size() < m_end + kReadChunk) m_buffer.resize(m_end + kReadChunk);
    const size_t n = std::fread(m_buffer.data() + m_end, 1, kReadChunk, m_file.get());
    m_end += n;
    if (n < kReadChunk) {
        if (std::ferror(m_file.get())) return false;
        m_eof = true;
    }
    return true;
}

CsvRead CsvFile::Next(CsvLine& line) {
    while (true) {
        const char* begin = m_buffer.data() + m_at;
        const char* newline = m_at < m_end
                                  ? static_cast<const char*>(std::memchr(begin, '\n', m_end - m_at))
                                  : nullptr;
        size_t length = 0;
        if (newline) {
            length = static_cast<size_t>(newline - begin);
        } else if (m_end - m_at > kMaxCsvLineBytes) {
            return CsvRead::TooLong;
        } else if (!m_eof) {
            if (!Fill()) return CsvRead::Broken;
            continue;
        } else if (m_at == m_end) {
            return CsvRead::End;
        } else {
            length = m_end - m_at;  // the last line has no line break
        }
        if (length > kMaxCsvLineBytes) return CsvRead::TooLong;
        std::string_view text(begin, length);
        m_at += length + (newline ? 1 : 0);
        ++m_lineNumber;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (m_lineNumber == 1 && text.starts_with(kByteOrderMark))
            text.remove_prefix(kByteOrderMark.size());
        if (Trim(text).empty()) continue;
        line.number = m_lineNumber;
        line.fields = SplitCsvFields(text);
        return CsvRead::Line;
    }
}

base::Status ForEachCsvLine(const std::string& path,
                            const std::function<bool(const CsvLine&)>& isHeader,
                            const std::function<base::Status(const CsvLine&)>& onLine) {
    auto file = CsvFile::Open(path);
    if (!file) return base::Error{file.error()};
    CsvLine line;
    bool first = true;
    while (true) {
        const CsvRead read = file->Next(line);
        if (read == CsvRead::End) return {};
        if (read == CsvRead::TooLong)
            return base::Error{"行过长（超过64KB），文件可能不是CSV：" + path};
        if (read == CsvRead::Broken) return base::Error{"文件读取出错：" + path};
        const bool header = first && isHeader(line);
        first = false;
        if (header) continue;
        if (auto s = onLine(line); !s) return s;
    }
}

std::vector<std::string> SplitCsvFields(std::string_view line) {
    std::vector<std::string> fields;
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        std::string field;
        if (at < line.size() && line[at] == '"') {
            ++at;
            while (at < line.size()) {
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
            // Anything between the closing quote and the comma is kept, so a
            // stray character still makes the field malformed.
            const size_t comma = std::min(line.find(',', at), line.size());
            field += Trim(line.substr(at, comma - at));
            at = comma;
        } else {
            const size_t comma = std::min(line.find(',', at), line.size());
            field = Trim(line.substr(at, comma - at));
            at = comma;
        }
        fields.push_back(std::move(field));
        if (at >= line.size()) break;
        ++at;  // past the comma
    }
    return fields;
}

std::optional<uint64_t> ParseScaledDecimal(std::string_view text, int exponent) {
    std::string_view whole;
    std::string_view fraction;
    if (!SplitDecimal(text, whole, fraction)) return std::nullopt;
    // The digits with the decimal point moved by the exponent: those before
    // it make the number, the first one after it decides the rounding.
    const std::string digits = std::string(whole) + std::string(fraction);
    const int64_t point = static_cast<int64_t>(whole.size()) + exponent;
    uint64_t value = 0;
    for (int64_t i = 0; i < point; ++i) {
        const uint64_t digit = i < static_cast<int64_t>(digits.size()) ? digits[i] - '0' : 0;
        if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    const bool roundUp = point >= 0 && point < static_cast<int64_t>(digits.size()) &&
                         digits[static_cast<size_t>(point)] >= '5';
    if (roundUp) {
        if (value == UINT64_MAX) return std::nullopt;
        ++value;
    }
    return value;
}

std::optional<float> ParseDecimalFloat(std::string_view text) {
    if (text.empty()) return 0.0f;
    std::string_view whole;
    std::string_view fraction;
    if (!SplitDecimal(text, whole, fraction)) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    float value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseCsvDate(std::string_view text) {
    std::string digits;
    if (text.size() == 8 && AllDigits(text)) {
        digits = text;
    } else if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        digits = std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) +
                 std::string(text.substr(8, 2));
        if (!AllDigits(digits)) return std::nullopt;
    } else {
        return std::nullopt;
    }
    const uint32_t date = DigitsValue(digits);
    if (!IsPlausibleDate(date)) return std::nullopt;
    return date;
}

std::optional<uint32_t> ParseSixDigitCode(std::string_view text) {
    if (text.size() != 6 || !AllDigits(text)) return std::nullopt;
    return DigitsValue(text);
}

std::optional<uint32_t> SectorFamilyCode(std::string_view text) {
    for (size_t i = 0; i < std::size(kFamilyTexts); ++i)
        if (text == kFamilyTexts[i]) return static_cast<uint32_t>(i + 1);
    return std::nullopt;
}

std::optional<std::string_view> SectorFamilyText(uint32_t family) {
    if (family < 1 || family > std::size(kFamilyTexts)) return std::nullopt;
    return kFamilyTexts[family - 1];
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsColumnName(std::string_view field) {
    return std::none_of(field.begin(), field.end(), IsDigit);
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace install
