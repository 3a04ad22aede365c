// The settings file MKDAT/Inif2.DAT: the download client's server choices and
// a few of its values, the method-library markers and the watch list. Read once
// at start-up, written once at exit; words we do not use are carried through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "data/capacities.h"
#include "data/code_table.h"

namespace data {

// Word offsets of the file.
inline constexpr size_t kSettingsFirstServerWord = 0;
inline constexpr size_t kSettingsSecondServerWord = 1;
inline constexpr size_t kSettingsClientValuesWord = 12;  // words 12-15
inline constexpr size_t kSettingsClientValueCount = 4;
inline constexpr size_t kSettingsMarkerWord = 20;  // words 20-26
inline constexpr size_t kSettingsMarkerBytes = 28;
inline constexpr size_t kSettingsWatchCountWord = 30;
inline constexpr size_t kSettingsWatchFirstWord = 31;
inline constexpr size_t kSettingsHeaderWords = 32;  // the 128 bytes of a file without codes

inline constexpr size_t kSettingsNewFileBytes = 400;
// The file is read into the market buffer, so no more than that is ever read.
inline constexpr size_t kSettingsReadBytes = kMarketBufferBytes;

inline constexpr int kServerCount = 6;

// Marker pages: 1 the article list, 2 the 初级 tab, 3 the 中级 tab.
inline constexpr int kMarkerPageCount = 3;

struct Settings {
    int firstServer = 1;                                             // 1..6
    int secondServer = 1;                                            // 1..6
    std::array<uint32_t, kSettingsClientValueCount> clientValues{};  // words 12-15, kept
    // Words 20-26 byte by byte in file order: page 1 bytes 0-3, page 2 bytes
    // 4-7, page 3 bytes 8-27.
    std::array<uint8_t, kSettingsMarkerBytes> markers{};
    std::vector<uint32_t> watchList;  // codes in list order
    // Words 0-31 as loaded (zeros past the end of a short file).
    std::array<uint32_t, kSettingsHeaderWords> loadedWords{};

    // Item k (from 1) of a page is bit 7 - (k-1) mod 8 of the page's byte
    // (k-1) div 8; items beyond the page are never set.
    bool MarkerSet(int page, int item) const;
    // Flips the item's marker and returns its new state; false (and nothing
    // changes) for an item outside the page.
    bool ToggleMarker(int page, int item);
};

// A stored server choice outside 1..6 reads as 1.
int ServerChoice(uint32_t stored);

// Reads the settings file. When it cannot be opened it is created with 400
// zero bytes (*created then tells whether that worked) and the defaults hold.
// A watch-list count that runs past the data read is cut to the codes present.
Settings LoadSettings(const std::string& path, bool* created);

// Writes the settings over the existing file, keeping its reserved words (a
// new file gets zeros there): 128 bytes without watch-list codes, else
// 132 + 4 per code. Fails, writing nothing, when the existing file cannot be
// read or the new one cannot be written.
base::Status SaveSettings(const std::string& path, const Settings& settings);

}  // namespace data
