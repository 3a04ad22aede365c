// Every data file is addressed through one set of paths built below the data
// root at start-up (the program folder on the original platform).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace data {

struct DataPaths {
    std::string root;            // ends with '/'
    std::string settings;        // MKDAT/Inif2.DAT
    std::string codeTable;       // MKDAT/MKCODE.DAT
    std::string exRights;        // MKDAT/MKCQ.DAT
    std::string shPattern;       // MKDAY/SH/*.day
    std::string szPattern;       // MKDAY/SZ/*.day
    std::string shFolder;        // MKDAY/SH/
    std::string szFolder;        // MKDAY/SZ/
    std::string examples;        // MKDAT/DEMOD.TXT
    std::string report;          // MKDAT/DEMO_Find.TXT
    std::string sectorLibrary;   // MKDAT/BKLIB.TXT
    std::string pictureTemplate; // MKDAT/mk0102.jpg
    std::string listFolder;      // XG/: saved stock lists and watch lists
    std::string lockFile;        // the single-instance lock
};

DataPaths BuildDataPaths(const std::string& root);

// Codes below 600,000 live in the Shenzhen folder, all others in Shanghai.
bool IsShenzhenCode(uint32_t code);

// 'Z' for a Shenzhen code, 'H' for Shanghai.
char MarketLetter(uint32_t code);

// The code as six digits with leading zeros (1 gives "000001").
std::string CodeText(uint32_t code);

// A code as typed: one to six digits ("600000", and "1" for 000001); nothing
// for anything else.
std::optional<uint32_t> ParseCodeText(std::string_view text);

// The day file of a code: the market folder, six digits and ".day".
std::string DayFilePath(const DataPaths& paths, uint32_t code);
// Its name inside the market folder ("600000.day").
std::string DayFileName(uint32_t code);

// 999999, 399001, 399006 and 999998 use the 28-byte index record.
bool IsIndexCode(uint32_t code);

inline constexpr uint32_t kShanghaiIndexCode = 999999;
inline constexpr uint32_t kShenzhenIndexCode = 399001;
inline constexpr uint32_t kChiNextIndexCode = 399006;
inline constexpr uint32_t kSectorTrendCode = 999998;

}  // namespace data
