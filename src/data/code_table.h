// The code table (MKCODE.DAT): every security with its short name, pinyin
// initials and share capital. The file is read whole into its region of the
// market buffer and used in place; CodeTable is a view over that region.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "data/capacities.h"
#include "data/file_formats.h"

namespace data {

// Header word 0 holds the record count, word 4 the table's data date.
inline constexpr size_t kCodeCountWord = 0;
inline constexpr size_t kCodeDateWord = 4;
inline constexpr size_t kCodeFirstRecordWord = 7;

// Record words.
inline constexpr size_t kCodeRecordCode = 0;
inline constexpr size_t kCodeRecordName = 1;  // words 1-2, 8 GBK bytes
inline constexpr size_t kCodeRecordInitials = 3;
inline constexpr size_t kCodeRecordTotalShares = 4;
inline constexpr size_t kCodeRecordFloatShares = 5;

inline constexpr size_t kCodeNameBytes = 8;
inline constexpr size_t kCodeInitialsBytes = 4;

// Reads MKCODE.DAT into region (the code-table words of the market buffer),
// never more than the region holds. The stored record count is cut to the whole
// records actually read. Returns false when the file cannot be opened; the
// count is then 0. *date is the header date with 20,000,000 taken off when it
// is above that (a stored YYYYMMDD becomes YYMMDD); 0 without a file.
// `records`, when given, gets the records the file holds (its stored count,
// never more than its whole records) and how many of them were taken.
struct CodeTableRecords {
    size_t inFile = 0;
    size_t taken = 0;
};
bool LoadCodeTable(const std::string& path, std::span<uint32_t> region, uint32_t* date,
                   CodeTableRecords* records = nullptr);

struct StockSharesInfo {
    uint32_t total = 0;        // 10,000 shares
    uint32_t floatShares = 0;  // 10,000 shares
};

class CodeTable {
  public:
    // region starts with the header; it may be empty (no table).
    explicit CodeTable(std::span<uint32_t> region) : m_region(region) {}

    // The stored count, bounded by the records the region can hold.
    size_t Count() const;
    // Records the region has room for, never more than the buffer's capacity.
    size_t Capacity() const;

    // Word offset (relative to the region) of record `index` < Count().
    static size_t RecordOffset(size_t index) {
        return kCodeFirstRecordWord + index * kCodeRecordWords;
    }

    // Fields of the record at a word offset from RecordOffset or FindCode.
    uint32_t CodeAt(size_t recordOffset) const { return m_region[recordOffset + kCodeRecordCode]; }
    // GBK bytes of the short name, up to the first NUL.
    std::string NameAt(size_t recordOffset) const;
    // The four pinyin letters as stored (NUL where a name has fewer).
    std::array<char, kCodeInitialsBytes> Initials(size_t recordOffset) const;
    CodeRecordWords RecordAt(size_t recordOffset) const;

    // Word offset of the code's record; 0 when the table is empty or lacks it.
    size_t FindCode(uint32_t code) const;

    // GBK short name of the code, or the placeholder "股票名称" (in GBK).
    std::string StockName(uint32_t code) const;

    // Share counts of the code; both 0 when it is not in the table.
    StockSharesInfo StockShares(uint32_t code) const;

    // Inserts or updates one record in code order (data updates). Returns 1
    // when the table changed, else 0. A code above every code in the table is
    // appended; an insert into a full table is refused.
    int MergeCodeRecord(const CodeRecordWords& record);

    // Bytes of the table as MKCODE.DAT holds it (header and Count() records).
    size_t FileBytes() const { return (kCodeFirstRecordWord + Count() * kCodeRecordWords) * 4; }

  private:
    std::span<uint32_t> m_region;
};

// The placeholder name of a code that is not in the table, in GBK.
const std::string& UnknownStockName();

enum class Direction { Previous, Next };

// The previous or next code of the table, from the open stock's record, that
// has a day file. Nothing when the open code is not in the table, is already
// the first (last) record, or no record that way has a day file.
std::optional<uint32_t> NeighbourStock(const CodeTable& table, uint32_t openCode, Direction dir,
                                       const std::function<bool(uint32_t code)>& hasDayFile);

}  // namespace data
