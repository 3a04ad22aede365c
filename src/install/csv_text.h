// Reading the CSV files users bring to an import: lines of comma-separated
// fields (UTF-8, CR LF or LF, an optional byte-order mark), and the exact
// reading of the numbers, dates and codes in them. Numbers are taken from
// their decimal text, never through a binary float, so 12.345 yuan is the
// same 0.01-yuan price on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace install {

// Longer lines are refused: no real CSV line comes near, and a hostile file
// without line breaks must not be read into memory whole.
inline constexpr size_t kMaxCsvLineBytes = 64 * 1024;

struct CsvLine {
    size_t number = 0;                // counted from 1
    std::vector<std::string> fields;  // blanks around a field removed, quotes undone
};

enum class CsvRead { Line, End, TooLong, Broken };

// Reads a CSV file line by line. Empty lines are passed over.
class CsvFile {
public:
    static base::Result<CsvFile> Open(const std::string& path);

    // The next line; TooLong and Broken (a read error) end the file.
    CsvRead Next(CsvLine& line);
    const std::string& Path() const { return m_path; }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    CsvFile(std::string path, std::FILE* file) : m_path(std::move(path)), m_file(file) {}
    bool Fill();

    std::string m_path;
    std::unique_ptr<std::FILE, Closer> m_file;
    std::vector<char> m_buffer;
    size_t m_at = 0;
    size_t m_end = 0;
    size_t m_lineNumber = 0;
    bool m_eof = false;
};

// Walks a file's lines: isHeader is asked about the first line only (a
// header is passed over), onLine gets every other line, and an error from
// onLine ends the walk with it. Fails with the reason when the file cannot be
// opened or a line cannot be read.
base::Status ForEachCsvLine(const std::string& path,
                            const std::function<bool(const CsvLine&)>& isHeader,
                            const std::function<base::Status(const CsvLine&)>& onLine);

// Splits one line (without its line break) into fields. A field may be
// quoted ("a,b" and "" for a quote inside); blanks around fields go.
std::vector<std::string> SplitCsvFields(std::string_view line);

// A non-negative decimal ("12", "12.345", "+0.5") times 10^exponent, rounded
// half up to a whole number. Nothing for anything else: signs other than
// "+", exponents, blanks inside, more than fits 64 bits.
std::optional<uint64_t> ParseScaledDecimal(std::string_view text, int exponent);

// A float read from its decimal text, correctly rounded; an empty text is 0.
// Nothing for a malformed or negative number.
std::optional<float> ParseDecimalFloat(std::string_view text);

// YYYYMMDD or YYYY-MM-DD, a real date between 1980 and 2099.
std::optional<uint32_t> ParseCsvDate(std::string_view text);

// Exactly six digits.
std::optional<uint32_t> ParseSixDigitCode(std::string_view text);

// The sector families as the membership CSV names them: 新概念, 新行业, 新地区,
// 概念, 行业, 地区 for the family codes 1 to 6 (UTF-8). Nothing for other
// texts and codes.
std::optional<uint32_t> SectorFamilyCode(std::string_view text);
std::optional<std::string_view> SectorFamilyText(uint32_t family);

// ASCII letters in lower case; file names and column names ignore case.
std::string LowerAscii(std::string_view text);

// Whether a first line's field names a column rather than holding a value:
// it has no digit. A first data line with a mistyped value is then still
// read as data and refused, never passed over as a header.
bool IsColumnName(std::string_view field);

// Whether the text holds a control character (NUL included): such a name or
// field is refused rather than stored cut short.
bool HasControlCharacter(std::string_view text);

}  // namespace install
