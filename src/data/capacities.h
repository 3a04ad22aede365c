// Fixed capacities of the data buffers, with their documented values. Sizes are
// in bytes unless the name says words; a word is 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace data {

// The ten buffers allocated at start-up, in allocation order.
// pMKbufer: the documented 800,000 bytes plus the 23,000 words that give the
// open stock room for the longest index history (see kOpenStockWords).
inline constexpr size_t kMarketBufferBytes = 892'000;
inline constexpr size_t kIndexBufferBytes = 300'000;      // DP_pMKbufer
inline constexpr size_t kExRightsBufferBytes = 1'000'000; // ex-rights table
inline constexpr size_t kWorkDataBytes = 300'000;         // WORK_DATA
inline constexpr size_t kSectorLibraryBytes = 300'000;    // GL_DATA
inline constexpr size_t kSectorMovesBytes = 585'000;      // Math_Stock_BKNo_ZFVal
inline constexpr size_t kScanResultBytes = 393'000;       // BK_Stock_Result_Buf
inline constexpr size_t kSectorHitsBytes = 16'000;        // Save_BK_NO_CX
inline constexpr size_t kSectorMoveSumsBytes = 16'000;    // Save_BK_NO_ZF
inline constexpr size_t kSortPairsBytes = 16'008;         // BK_Comp_Bufer

// Regions of pMKbufer, as word offsets.
inline constexpr size_t kMarketBufferWords = kMarketBufferBytes / 4;
inline constexpr size_t kOpenStockWord = 0;
// The open stock's day file image. The documented 52,000 words hold only
// 7,427 index records, less than the Shanghai index has since 1990: the region
// holds as many as the index buffer (10,713), and every region behind it moves
// back by the same 23,000 words, keeping its own size.
inline constexpr size_t kOpenStockWords = 75'000;
inline constexpr size_t kScanAreaWord = 75'000;     // a second stock for picking and scans
inline constexpr size_t kStockListsWord = 127'000;  // candidate lists of stock picking
inline constexpr size_t kResultListWord = 133'500;  // picked-stock lists
inline constexpr size_t kCodeTableWord = 140'000;   // the code table image
inline constexpr size_t kScanAreaWords = kStockListsWord - kScanAreaWord;
inline constexpr size_t kCodeTableWords = kMarketBufferWords - kCodeTableWord;

// Day files: a 32-byte header, then 20-byte stock or 28-byte index records.
inline constexpr size_t kDayHeaderWords = 8;
inline constexpr size_t kDayHeaderBytes = 32;
inline constexpr size_t kStockRecordWords = 5;
inline constexpr size_t kIndexRecordWords = 7;

// Whole daily records that fit each region.
inline constexpr size_t kOpenStockBarCapacity =
    (kOpenStockWords - kDayHeaderWords) / kStockRecordWords;  // 14,998
inline constexpr size_t kIndexBarCapacity =
    (kIndexBufferBytes / 4 - kDayHeaderWords) / kIndexRecordWords;  // 10,713
static_assert((kOpenStockWords - kDayHeaderWords) / kIndexRecordWords >= kIndexBarCapacity,
              "the open stock must hold any index file the index buffer holds");
static_assert(kCodeTableWord + 83'000 == kMarketBufferBytes / 4,
              "the code table keeps its documented 83,000 words");

// Weekly and monthly bars get room for as many bars as the longest daily file
// a stock or index region holds: a period bar needs at least one daily bar, so
// a build can never run out of room.
inline constexpr size_t kPeriodBarCapacity =
    kOpenStockBarCapacity > kIndexBarCapacity ? kOpenStockBarCapacity : kIndexBarCapacity;

// Code table: a 7-word header and 7-word records.
inline constexpr size_t kCodeHeaderWords = 7;
inline constexpr size_t kCodeRecordWords = 7;
inline constexpr size_t kCodeTableCapacity =
    (kCodeTableWords - kCodeHeaderWords) / kCodeRecordWords;  // 11,856 records

// Ex-rights table: 5-float records, the first of them the header.
inline constexpr size_t kExRightsRecordFloats = 5;
inline constexpr size_t kExRightsRecordBytes = 20;

// Sector library: at most this many bytes of BKLIB.TXT are read.
inline constexpr size_t kSectorLibraryReadBytes = 299'999;

// The example file is read whole into WORK_DATA.
inline constexpr size_t kExampleFileBytes = kWorkDataBytes;

// Dates.
inline constexpr uint32_t kLatestBarDate = 22'222'222;   // selects the latest bar
inline constexpr uint32_t kNoSimulationCutoff = 22'000'001;
inline constexpr uint32_t kAlignLatestDate = 22'000'000;  // at or above: the last index bar
inline constexpr uint32_t kBuiltInSimulationDate = 20'140'505;
inline constexpr uint32_t kEarliestSimulationDate = 20'000'104;

}  // namespace data
