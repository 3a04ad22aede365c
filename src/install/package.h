// The day-data package: the new bars of many securities in one binary file of
// little-endian words. Three header words (the block count and two equal
// marker words), then blocks back to back, each one security's whole day-file
// records, oldest first, in a long form (code, length) or a short form (code
// and length packed in one word).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace install {

inline constexpr size_t kPackageHeaderWords = 3;
// Shorter than the header and the first block's first word: not a package.
inline constexpr size_t kPackageMinimumBytes = 16;
inline constexpr uint32_t kPackageMarker = 0xCCCCCCCCu;

// A block's second word below this is the long form's length; otherwise it is
// the short form's first record date.
inline constexpr uint32_t kLongFormLimit = 19'800'001;
inline constexpr uint32_t kShortFormCodeShift = 12;   // code in the upper 20 bits
inline constexpr uint32_t kShortFormMaxLength = 4095; // length in the lower 12 bits

enum class BlockForm { Long, Short };

// Whether the words are a package: block count not 0, words 1 and 2 both 0 or
// both 0xCCCCCCCC, word 3 not 0, and at least 16 bytes.
bool IsPackage(std::span<const uint32_t> words);

// Day-file record width of a block's code: 7 for the index codes (999998, the
// sector trend, included, as everywhere else), 5 for stocks.
size_t RecordWordsOf(uint32_t code);

struct PackageBlock {
    uint32_t code = 0;
    BlockForm form = BlockForm::Long;
    std::span<const uint32_t> records;  // whole records, dates strictly ascending
};

// A block that cannot be merged, and why (Chinese, shown to the user).
struct BlockProblem {
    size_t block = 0;   // counted from 0
    uint32_t code = 0;  // 0 when the block's code could not be read
    std::string reason;
};

// Walks the blocks of an accepted package. Every block is checked before it
// is handed out: a length of 0 or one that runs past the package ends the
// walk (the next block cannot be found); a block whose records are not whole,
// whose code is not a six-digit code or whose dates are not valid and
// ascending is reported and passed over.
class PackageReader {
public:
    explicit PackageReader(std::span<const uint32_t> words);

    // The block count the package declares.
    size_t DeclaredBlocks() const { return m_declared; }
    // The next block, or nothing when the walk is over; problems met on the
    // way are added to problems().
    std::optional<PackageBlock> Next();
    size_t BlocksRead() const { return m_block; }
    const std::vector<BlockProblem>& Problems() const { return m_problems; }

private:
    std::span<const uint32_t> m_words;
    size_t m_declared = 0;
    size_t m_position = kPackageHeaderWords;
    size_t m_block = 0;   // blocks read so far
    bool m_ended = false; // the next block cannot be found
    std::vector<BlockProblem> m_problems;
};

// Writes a package: every block in the form asked for (a short block longer
// than its 12-bit length allows is written in the long form). Blocks need at
// least one record.
struct BlockToWrite {
    uint32_t code = 0;
    BlockForm form = BlockForm::Short;
    std::vector<uint32_t> records;
};
std::vector<uint8_t> EncodePackage(std::span<const BlockToWrite> blocks,
                                   uint32_t marker = 0);

// A YYYYMMDD date with a real month and day between 1980 and 2099.
bool IsPlausibleDate(uint32_t date);

}  // namespace install
