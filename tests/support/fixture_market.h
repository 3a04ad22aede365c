// Small hand-made markets for tests: a fresh data root in a temporary folder,
// with writers for every data file in its exact binary format.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/bars.h"
#include "data/file_formats.h"
#include "data/paths.h"
#include "data/sector_library_file.h"

namespace fixture {

// A temporary folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

class FixtureMarket {
public:
    FixtureMarket();  // MKDAT, MKDAY/SH and MKDAY/SZ exist, no files yet

    const std::string& Root() const { return m_dir.Path(); }
    const data::DataPaths& Paths() const { return m_paths; }

    void WriteDayFile(uint32_t code, std::span<const data::Bar> bars);
    void WriteCodeTable(uint32_t date, std::span<const data::CodeEntry> entries);
    void WriteExRights(uint32_t dataDate, std::span<const data::ExRightsStock> stocks);
    void WriteSectorLibrary(uint32_t date, data::SectorLibraryWeights weights,
                            std::span<const data::SectorRecord> sectors);
    void WriteExamples(const std::string& text);
    // Any bytes at a path relative to the root (malformed and hostile files).
    void WriteRaw(const std::string& relative, std::span<const uint8_t> bytes);
    void Remove(const std::string& relative);

private:
    TempDir m_dir;
    data::DataPaths m_paths;
};

// Weekdays from `first` (YYYYMMDD) onwards, `count` of them.
std::vector<uint32_t> Weekdays(uint32_t first, size_t count);

// One bar per close on consecutive weekdays from `first`: open = high = low =
// close, amount = close, volume = 100 unless given.
std::vector<data::Bar> FlatBars(uint32_t first, std::span<const uint32_t> closes,
                                uint32_t volume = 100);

// One bar per close on the last closes.size() of `dates`: open = high =
// close, the low a cent under it, so no bar is one-price (a newly listed
// stock's mark); amount = close, volume 100.
std::vector<data::Bar> PricedBars(std::span<const uint32_t> dates,
                                  std::span<const uint32_t> closes);

// A GBK string from UTF-8 (names in fixtures are written in UTF-8 source).
std::string Gbk(const std::string& utf8);

}  // namespace fixture
