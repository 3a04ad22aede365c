#include "support/fixture_market.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/dates.h"
#include "base/file_io.h"
#include "base/gbk.h"

namespace fixture {
namespace fs = std::filesystem;

TempDir::TempDir() {
    const char* base = std::getenv("BKQY_TEST_TMP");
    fs::path parent = base ? fs::path(base) : fs::temp_directory_path();
    fs::create_directories(parent);
    std::string pattern = (parent / "bkqy-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) ADD_FAILURE() << "mkdtemp failed in " << parent;
    m_path = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

FixtureMarket::FixtureMarket() : m_paths(data::BuildDataPaths(m_dir.Path())) {
    fs::create_directories(m_dir.Path() + "/MKDAT");
    fs::create_directories(m_paths.shFolder);
    fs::create_directories(m_paths.szFolder);
}

void FixtureMarket::WriteRaw(const std::string& relative, std::span<const uint8_t> bytes) {
    fs::path path = fs::path(Root()) / relative;
    fs::create_directories(path.parent_path());
    auto status = base::WriteFileAtomic(path.string(), bytes, base::Durability::NoFlush);
    ASSERT_TRUE(status.ok()) << status.error();
}

void FixtureMarket::Remove(const std::string& relative) {
    std::error_code ec;
    fs::remove(fs::path(Root()) / relative, ec);
}

void FixtureMarket::WriteDayFile(uint32_t code, std::span<const data::Bar> bars) {
    auto bytes = data::EncodeDayFile(code, bars);
    std::string path = data::DayFilePath(m_paths, code);
    ASSERT_TRUE(base::WriteFileAtomic(path, bytes, base::Durability::NoFlush).ok());
}

void FixtureMarket::WriteCodeTable(uint32_t date, std::span<const data::CodeEntry> entries) {
    auto bytes = data::EncodeCodeTable(date, entries);
    ASSERT_TRUE(base::WriteFileAtomic(m_paths.codeTable, bytes, base::Durability::NoFlush).ok());
}

void FixtureMarket::WriteExRights(uint32_t dataDate, std::span<const data::ExRightsStock> stocks) {
    auto bytes = data::EncodeExRightsTable(dataDate, stocks);
    ASSERT_TRUE(base::WriteFileAtomic(m_paths.exRights, bytes, base::Durability::NoFlush).ok());
}

void FixtureMarket::WriteSectorLibrary(uint32_t date, data::SectorLibraryWeights weights,
                                       std::span<const data::SectorRecord> sectors) {
    auto bytes = data::EncodeSectorLibrary(date, weights, sectors);
    ASSERT_TRUE(
        base::WriteFileAtomic(m_paths.sectorLibrary, bytes, base::Durability::NoFlush).ok());
}

void FixtureMarket::WriteExamples(const std::string& text) {
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    ASSERT_TRUE(base::WriteFileAtomic(m_paths.examples, bytes, base::Durability::NoFlush).ok());
}

namespace {

// 0 Sunday .. 6 Saturday (Zeller-style, Gregorian).
int Weekday(int y, int m, int d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

}  // namespace

std::vector<uint32_t> Weekdays(uint32_t first, size_t count) {
    int y = static_cast<int>(first / 10000), m = static_cast<int>(first / 100 % 100),
        d = static_cast<int>(first % 100);
    std::vector<uint32_t> out;
    while (out.size() < count) {
        int wd = Weekday(y, m, d);
        if (wd != 0 && wd != 6) out.push_back(static_cast<uint32_t>(y * 10000 + m * 100 + d));
        if (++d > base::DaysInMonth(y, m)) {
            d = 1;
            if (++m > 12) m = 1, ++y;
        }
    }
    return out;
}

std::vector<data::Bar> FlatBars(uint32_t first, std::span<const uint32_t> closes,
                                uint32_t volume) {
    auto dates = Weekdays(first, closes.size());
    std::vector<data::Bar> bars;
    for (size_t i = 0; i < closes.size(); ++i) {
        uint32_t c = closes[i];
        bars.push_back({dates[i], c, c, c, c, c, volume});
    }
    return bars;
}

std::vector<data::Bar> PricedBars(std::span<const uint32_t> dates,
                                  std::span<const uint32_t> closes) {
    std::vector<data::Bar> bars;
    const size_t first = dates.size() - closes.size();
    for (size_t i = 0; i < closes.size(); ++i) {
        const uint32_t c = closes[i];
        bars.push_back({dates[first + i], c, c, c - 1, c, c, 100});
    }
    return bars;
}

std::string Gbk(const std::string& utf8) { return base::Utf8ToGbk(utf8); }

}  // namespace fixture
