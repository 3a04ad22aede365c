// The owner of the ten fixed data buffers that all analysis works in. Each is
// allocated once, already zero, and kept until the workspace goes; functions
// get the regions they read and write from here explicitly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "base/prompter.h"
#include "data/capacities.h"

namespace data {

enum class BufferId : int {
    Market = 0,     // pMKbufer
    Index,          // DP_pMKbufer
    ExRights,       // the ex-rights table
    WorkData,       // WORK_DATA
    SectorLibrary,  // GL_DATA
    SectorMoves,    // Math_Stock_BKNo_ZFVal
    ScanResult,     // BK_Stock_Result_Buf
    SectorHits,     // Save_BK_NO_CX
    SectorMoveSums, // Save_BK_NO_ZF
    SortPairs,      // BK_Comp_Bufer
};
inline constexpr size_t kBufferCount = 10;

struct BufferSpec {
    std::string_view name;
    size_t bytes;
    std::string_view failureMessage;
    std::string_view failureCaption;
};

// The buffers in allocation order with their sizes and allocation-failure messages.
const std::array<BufferSpec, kBufferCount>& BufferSpecs();

struct FreeWords {
    void operator()(uint32_t* words) const;
};
using ZeroedWords = std::unique_ptr<uint32_t[], FreeWords>;

// Zero-filled storage of the given number of 32-bit words, or null. The
// pages come zeroed from the system and stay untouched until used, so a
// command pays only for the parts of the buffers it reads into.
ZeroedWords AllocateZeroedWords(size_t words);

class Workspace {
public:
    using WordAllocator = std::function<ZeroedWords(size_t words)>;

    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Allocates the buffers in order. On the first failure shows that buffer's
    // message, keeps what was allocated and returns false.
    bool Allocate(base::Prompter& prompter);
    bool Allocate(base::Prompter& prompter, const WordAllocator& allocator);
    void Release();
    bool Allocated() const { return m_allocated; }

    std::span<uint32_t> Words(BufferId id);
    std::span<const uint32_t> Words(BufferId id) const;
    std::span<uint8_t> Bytes(BufferId id);
    std::span<const uint8_t> Bytes(BufferId id) const;

    // Named regions of pMKbufer.
    std::span<uint32_t> OpenStockRegion() { return Words(BufferId::Market).subspan(kOpenStockWord, kOpenStockWords); }
    std::span<uint32_t> ScanAreaRegion() { return Words(BufferId::Market).subspan(kScanAreaWord, kScanAreaWords); }
    std::span<uint32_t> CodeTableRegion() { return Words(BufferId::Market).subspan(kCodeTableWord, kCodeTableWords); }

    // Weekly and monthly bars have storage of their own (see capacities.h).
    std::span<uint32_t> WeeklyRegion() { return {m_weekly.get(), m_weekly ? kPeriodBarCapacity * 7 : 0}; }
    std::span<uint32_t> MonthlyRegion() { return {m_monthly.get(), m_monthly ? kPeriodBarCapacity * 7 : 0}; }

private:
    std::array<ZeroedWords, kBufferCount> m_buffers;
    ZeroedWords m_weekly;
    ZeroedWords m_monthly;
    bool m_allocated = false;
};

}  // namespace data
