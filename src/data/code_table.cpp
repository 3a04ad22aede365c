#include "data/code_table.h"

#include <algorithm>
#include <cstring>

#include "base/file_io.h"
#include "base/gbk.h"
#include "data/capacities.h"

namespace data {
namespace {

inline constexpr uint32_t kDateCentury = 20'000'000;

// The bytes of a word, most significant first: names and initials are packed
// that way.
void UnpackWord(uint32_t word, char* out) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(word >> (24 - 8 * i));
}

}  // namespace

bool LoadCodeTable(const std::string& path, std::span<uint32_t> region, uint32_t* date,
                   CodeTableRecords* records) {
    if (date) *date = 0;
    if (records) *records = {};
    std::span<uint8_t> bytes(reinterpret_cast<uint8_t*>(region.data()), region.size_bytes());
    auto sized = base::ReadFileIntoSized(path, bytes);
    if (!sized) {
        if (!region.empty()) region[kCodeCountWord] = 0;
        return false;
    }
    const size_t read = sized->bytesRead;
    if (region.empty()) return true;
    // A short file leaves header words unread: they must not keep an older table's values.
    const size_t headerBytes = std::min(kCodeHeaderWords, region.size()) * 4;
    if (read < headerBytes) std::memset(bytes.data() + read, 0, headerBytes - read);

    constexpr uint64_t kRecordBytes = kCodeRecordWords * 4;
    const auto whole = [](uint64_t size) {
        return size >= kCodeHeaderWords * 4 ? (size - kCodeHeaderWords * 4) / kRecordBytes : 0;
    };
    const size_t wholeRecords = static_cast<size_t>(whole(read));
    const uint32_t declared = region[kCodeCountWord];
    region[kCodeCountWord] = static_cast<uint32_t>(std::min<size_t>(declared, wholeRecords));
    if (records) {
        records->inFile = static_cast<size_t>(std::min<uint64_t>(declared, whole(sized->fileSize)));
        records->taken = CodeTable(region).Count();
    }

    if (date && region.size() > kCodeDateWord) {
        uint32_t stored = region[kCodeDateWord];
        *date = stored > kDateCentury ? stored - kDateCentury : stored;
    }
    return true;
}

size_t CodeTable::Capacity() const {
    if (m_region.size() < kCodeFirstRecordWord) return 0;
    return std::min((m_region.size() - kCodeFirstRecordWord) / kCodeRecordWords,
                    kCodeTableCapacity);
}

size_t CodeTable::Count() const {
    if (m_region.empty()) return 0;
    return std::min<size_t>(m_region[kCodeCountWord], Capacity());
}

std::string CodeTable::NameAt(size_t recordOffset) const {
    char name[kCodeNameBytes];
    UnpackWord(m_region[recordOffset + kCodeRecordName], name);
    UnpackWord(m_region[recordOffset + kCodeRecordName + 1], name + 4);
    return std::string(base::FieldText(name, kCodeNameBytes));
}

std::array<char, kCodeInitialsBytes> CodeTable::Initials(size_t recordOffset) const {
    std::array<char, kCodeInitialsBytes> letters{};
    UnpackWord(m_region[recordOffset + kCodeRecordInitials], letters.data());
    return letters;
}

CodeRecordWords CodeTable::RecordAt(size_t recordOffset) const {
    CodeRecordWords words{};
    std::copy_n(m_region.begin() + static_cast<std::ptrdiff_t>(recordOffset), kCodeRecordWords,
                words.begin());
    return words;
}

size_t CodeTable::FindCode(uint32_t code) const {
    const size_t count = Count();
    for (size_t i = 0; i < count; ++i) {
        size_t offset = RecordOffset(i);
        if (CodeAt(offset) == code) return offset;
    }
    return 0;
}

const std::string& UnknownStockName() {
    static const std::string kName = base::Utf8ToGbk("股票名称");
    return kName;
}

std::string CodeTable::StockName(uint32_t code) const {
    size_t offset = FindCode(code);
    return offset ? NameAt(offset) : UnknownStockName();
}

StockSharesInfo CodeTable::StockShares(uint32_t code) const {
    size_t offset = FindCode(code);
    if (!offset) return {};
    return {m_region[offset + kCodeRecordTotalShares], m_region[offset + kCodeRecordFloatShares]};
}

int CodeTable::MergeCodeRecord(const CodeRecordWords& record) {
    if (m_region.size() < kCodeFirstRecordWord) return 0;
    const size_t count = Count();

    size_t index = 0;
    while (index < count && CodeAt(RecordOffset(index)) < record[kCodeRecordCode]) ++index;

    // A code above every code of the table (or the first of an empty table)
    // goes at the end: dropping it would lose a new listing.
    const size_t offset = RecordOffset(index);
    auto at = m_region.begin() + static_cast<std::ptrdiff_t>(offset);
    if (index < count && CodeAt(offset) == record[kCodeRecordCode]) {
        if (std::equal(record.begin() + 1, record.end(), at + 1)) return 0;
        std::copy(record.begin(), record.end(), at);
        return 1;
    }

    // The region is fixed; an insert past its room would overwrite whatever follows.
    if (count >= Capacity()) return 0;
    auto end = m_region.begin() + static_cast<std::ptrdiff_t>(RecordOffset(count));
    std::copy_backward(at, end, end + kCodeRecordWords);
    std::copy(record.begin(), record.end(), at);
    m_region[kCodeCountWord] = static_cast<uint32_t>(count + 1);
    return 1;
}

std::optional<uint32_t> NeighbourStock(const CodeTable& table, uint32_t openCode, Direction dir,
                                       const std::function<bool(uint32_t code)>& hasDayFile) {
    const size_t offset = table.FindCode(openCode);
    if (!offset) return std::nullopt;
    size_t index = (offset - kCodeFirstRecordWord) / kCodeRecordWords;
    const size_t count = table.Count();
    while (dir == Direction::Previous ? index > 0 : index + 1 < count) {
        index = dir == Direction::Previous ? index - 1 : index + 1;
        uint32_t code = table.CodeAt(CodeTable::RecordOffset(index));
        if (hasDayFile(code)) return code;
    }
    return std::nullopt;
}

}  // namespace data
