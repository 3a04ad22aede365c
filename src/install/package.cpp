#include "install/package.h"

#include <algorithm>

#include "base/endian.h"
#include "data/capacities.h"
#include "data/day_files.h"
#include "data/paths.h"

namespace install {
namespace {

constexpr uint32_t kHighestCode = 999'999;

std::string CodeReason(const char* what, uint32_t code) {
    return std::string(what) + data::CodeText(code);
}

}  // namespace

bool IsPackage(std::span<const uint32_t> words) {
    if (words.size() * 4 < kPackageMinimumBytes) return false;
    if (words[0] == 0 || words[3] == 0) return false;
    if (words[1] != words[2]) return false;
    return words[1] == 0 || words[1] == kPackageMarker;
}

size_t RecordWordsOf(uint32_t code) {
    return data::IsIndexCode(code) ? data::kIndexRecordWords : data::kStockRecordWords;
}

bool IsPlausibleDate(uint32_t date) {
    return data::IsPlausibleBarDate(date);
}

PackageReader::PackageReader(std::span<const uint32_t> words) : m_words(words) {
    m_declared = words.empty() ? 0 : words[0];
}

std::optional<PackageBlock> PackageReader::Next() {
    while (!m_ended && m_block < m_declared) {
        const size_t index = m_block;
        const size_t left = m_position < m_words.size() ? m_words.size() - m_position : 0;
        if (left < 2) {
            m_problems.push_back({index, 0, "数据包在第" + std::to_string(index + 1) + "块处结束（共声明" +
                                                std::to_string(m_declared) + "块）"});
            m_ended = true;
            return std::nullopt;
        }
        const uint32_t first = m_words[m_position];
        const uint32_t second = m_words[m_position + 1];
        PackageBlock block;
        size_t length = 0;   // words of the block, its leading words included
        size_t leading = 0;  // words before the first record
        if (second < kLongFormLimit) {
            block.form = BlockForm::Long;
            block.code = first;
            length = second;
            leading = 2;
        } else {
            block.form = BlockForm::Short;
            block.code = first >> kShortFormCodeShift;
            length = first & kShortFormMaxLength;
            leading = 1;
        }
        // Without a length that stays inside the package the next block
        // cannot be found: the walk ends here.
        if (length < leading || length > left) {
            m_problems.push_back({index, block.code,
                                  length < leading ? CodeReason("数据块长度为0：", block.code)
                                                   : CodeReason("数据块超出数据包末尾：", block.code)});
            m_ended = true;
            return std::nullopt;
        }
        ++m_block;
        block.records = m_words.subspan(m_position + leading, length - leading);
        m_position += length;

        if (block.code > kHighestCode) {
            m_problems.push_back({index, 0, "数据块的股票代码无效：" + std::to_string(block.code)});
            continue;
        }
        const size_t width = RecordWordsOf(block.code);
        if (block.records.empty() || block.records.size() % width != 0) {
            m_problems.push_back({index, block.code, CodeReason("数据块的记录不完整：", block.code)});
            continue;
        }
        bool ordered = true;
        uint32_t previous = 0;
        for (size_t r = 0; r < block.records.size(); r += width) {
            const uint32_t date = block.records[r];
            ordered = ordered && IsPlausibleDate(date) && date > previous;
            previous = date;
        }
        if (!ordered) {
            m_problems.push_back({index, block.code, CodeReason("数据块的日期无效或未按升序：", block.code)});
            continue;
        }
        return block;
    }
    return std::nullopt;
}

std::vector<uint8_t> EncodePackage(std::span<const BlockToWrite> blocks, uint32_t marker) {
    std::vector<uint32_t> words = {static_cast<uint32_t>(blocks.size()), marker, marker};
    for (const BlockToWrite& block : blocks) {
        const size_t shortLength = block.records.size() + 1;
        if (block.form == BlockForm::Short && shortLength <= kShortFormMaxLength) {
            words.push_back((block.code << kShortFormCodeShift) | static_cast<uint32_t>(shortLength));
        } else {
            words.push_back(block.code);
            words.push_back(static_cast<uint32_t>(block.records.size() + 2));
        }
        words.insert(words.end(), block.records.begin(), block.records.end());
    }
    std::vector<uint8_t> bytes(words.size() * 4);
    for (size_t i = 0; i < words.size(); ++i) base::WriteU32(bytes.data() + i * 4, words[i]);
    return bytes;
}

}  // namespace install
