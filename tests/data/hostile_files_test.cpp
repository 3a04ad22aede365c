// Damaged, hostile and misplaced data files: each is refused with a message
// that names the file and the real cause, never taken as data, never waited on.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

#include <cmath>
#include <limits>

#include "base/endian.h"
#include "base/file_io.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/day_files.h"
#include "data/ex_rights.h"
#include "data/file_formats.h"
#include "data/sector_library_file.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "support/fixture_market.h"

namespace {

constexpr std::time_t kNoon20170601 = 1496318400;

void WriteCompleteMarket(fixture::FixtureMarket& market) {
    std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 100, 100},
                                          {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20170601, codes);
    market.WriteExRights(20170601, std::vector<data::ExRightsStock>{});
    std::vector<data::SectorRecord> sectors = {{4, 1, fixture::Gbk("一带一路"), {600000}}};
    market.WriteSectorLibrary(20170601, {0, 30, 0}, sectors);
    market.WriteExamples("demo 203:120170105 done");
    std::vector<uint32_t> closes(30, 320000);
    market.WriteDayFile(999999, fixture::FlatBars(20170103, closes));
    market.WriteDayFile(399001, fixture::FlatBars(20170103, closes));
    market.WriteDayFile(600000, fixture::FlatBars(20170103, closes));
}

// A day file's bytes: the 32-byte header, then records of `width` words whose
// first word is the date.
std::vector<uint8_t> DayBytes(std::span<const uint32_t> dates, size_t width) {
    std::vector<uint32_t> words(8, 0);
    for (uint32_t date : dates) {
        words.push_back(date);
        for (size_t i = 1; i < width; ++i) words.push_back(1000);
    }
    std::vector<uint8_t> bytes(words.size() * 4);
    std::memcpy(bytes.data(), words.data(), bytes.size());
    return bytes;
}

std::vector<uint8_t> Bytes(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, 1u << 20);
    return bytes ? *bytes : std::vector<uint8_t>{};
}

struct Started {
    data::Workspace workspace;
    base::RecordingPrompter prompter;
    data::MarketState state;
    data::StartupOutcome outcome = data::StartupOutcome::Quit;
    double seconds = 0;
};

void Start(const fixture::FixtureMarket& market, Started& s) {
    const auto begin = std::chrono::steady_clock::now();
    s.outcome = data::RunStartup(s.workspace, market.Root(), s.prompter, kNoon20170601, s.state);
    s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

TEST(HostileFiles, PipesFoldersAndDevicesAreRefusedAtOnceNamingTheFile) {
    fixture::TempDir dir;
    const std::string fifo = dir.Path() + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto begin = std::chrono::steady_clock::now();
    for (const std::string& path : {fifo, dir.Path(), std::string("/dev/zero")}) {
        auto opened = base::OpenForReading(path);
        EXPECT_FALSE(opened.ok()) << path;
        EXPECT_NE(opened.error().find(path), std::string::npos);
        EXPECT_EQ(base::UnreadableReason(path), "不是普通文件");
        EXPECT_FALSE(base::FileExists(path));
        std::vector<uint8_t> buffer(64);
        EXPECT_FALSE(base::ReadFileInto(path, buffer).ok());
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(), 1.0);
    EXPECT_EQ(base::UnreadableReason(dir.Path() + "/none"), "不存在");
    EXPECT_EQ(base::UnreadableReason(fifo + "/below"), "不存在");
}

TEST(HostileFiles, APipeInPlaceOfEveryStartupFileNeitherBlocksNorSaysMissing) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    const data::DataPaths& paths = market.Paths();
    for (const std::string& path : {paths.codeTable, paths.exRights, paths.sectorLibrary, paths.examples}) {
        ::unlink(path.c_str());
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    }
    Started s;
    Start(market, s);
    EXPECT_LT(s.seconds, 1.0);
    ASSERT_EQ(s.outcome, data::StartupOutcome::Ready);
    ASSERT_EQ(s.prompter.records.size(), 4u);
    EXPECT_EQ(s.prompter.records[0].text, "代码表文件MKCODE.DAT不是普通文件!\n" + paths.codeTable);
    EXPECT_EQ(s.prompter.records[1].text, paths.exRights);
    EXPECT_EQ(s.prompter.records[1].caption, "除权表文件不是普通文件");
    EXPECT_EQ(s.prompter.records[2].caption, "板块文件不是普通文件");
    EXPECT_EQ(s.prompter.records[3].caption, "文件不是普通文件");

    // A pipe as the open stock's day file: refused with its path, quickly.
    const std::string day = data::DayFilePath(paths, 600000);
    ::unlink(day.c_str());
    ASSERT_EQ(::mkfifo(day.c_str(), 0644), 0);
    data::OpenStockState stock;
    base::RecordingPrompter prompter;
    EXPECT_FALSE(data::OpenStock(paths, 600000, stock, prompter));
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text, "600000股票数据文件不是普通文件：" + day);
    std::vector<uint32_t> region(1000);
    EXPECT_FALSE(data::ReadDayImage(day, region, 8).ok());
    EXPECT_EQ(data::ReadDayImage(day, region, 8).error(), "数据文件不是普通文件：" + day);
}

TEST(HostileFiles, DayFilesWithImpossibleOrUnorderedDatesAreRefusedWithTheirPath) {
    fixture::TempDir dir;
    const std::string path = dir.Path() + "/600000.day";
    std::vector<uint32_t> region(1000);
    const std::vector<std::vector<uint32_t>> damaged = {
        {20231207, 0},                    // a zero date
        {20231207, 0xFFFFFFFF},           // all bits set
        {20231207, 20231345},             // month 13
        {20231208, 20231207},             // reversed
        {20231207, 20231207},             // the same day twice
        {19000101}};                      // before any market
    for (const auto& dates : damaged) {
        const auto bytes = DayBytes(dates, 8);
        ASSERT_TRUE(base::WriteFileAtomic(path, bytes).ok());
        auto words = data::ReadDayImage(path, region, 8);
        ASSERT_FALSE(words.ok()) << dates.back();
        EXPECT_EQ(words.error().rfind("数据文件已损坏：" + path, 0), 0u) << words.error();
    }
    const std::vector<uint32_t> good = {20231207, 20231208, 20240102};
    ASSERT_TRUE(base::WriteFileAtomic(path, DayBytes(good, 8)).ok());
    ASSERT_TRUE(data::ReadDayImage(path, region, 8).ok());

    // The chart's load says so and stays unloaded.
    fixture::FixtureMarket market;
    market.WriteRaw("MKDAY/SH/600000.day", DayBytes(damaged[3], data::kStockRecordWords));
    data::OpenStockState stock;
    base::RecordingPrompter prompter;
    ASSERT_TRUE(data::OpenStock(market.Paths(), 600000, stock, prompter));
    data::LoadStockDayFile(market.Paths(), {}, region, stock);
    EXPECT_FALSE(stock.loaded);
    EXPECT_EQ(stock.problem,
              "数据文件已损坏：" + data::DayFilePath(market.Paths(), 600000) +
                  "（第2条记录的日期20231207无效或不在前一条之后）");
}

TEST(HostileFiles, AnEmptyOrDamagedShanghaiIndexFallsBackToShenzhenAndSaysWhy) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    const std::string sh = data::DayFilePath(market.Paths(), 999999);
    const std::vector<uint32_t> reversed = {20231207, 20201207};
    const std::vector<uint8_t> header(32, 0);
    const std::vector<uint8_t> ones(64, 0xFF);
    const struct {
        std::vector<uint8_t> bytes;
        std::string message;
    } cases[] = {{{}, "大盘指数文件中没有行情：" + sh},
                 {header, "大盘指数文件中没有行情：" + sh},
                 {ones, "数据文件已损坏：" + sh},
                 {DayBytes(reversed, 7), "数据文件已损坏：" + sh}};
    for (const auto& c : cases) {
        market.WriteRaw("MKDAY/SH/999999.day", c.bytes);
        Started s;
        Start(market, s);
        EXPECT_EQ(Bytes(sh), c.bytes);
        ASSERT_EQ(s.outcome, data::StartupOutcome::Ready);
        EXPECT_EQ(s.state.index.source, 1);  // the Shenzhen index
        EXPECT_GT(s.state.index.lastDate, 20170103u);
        ASSERT_EQ(s.prompter.records.size(), 1u);
        EXPECT_EQ(s.prompter.records[0].text.rfind(c.message, 0), 0u) << s.prompter.records[0].text;
    }

    // Both unusable: the real paths and what is wrong with each.
    market.Remove("MKDAY/SZ/399001.day");
    Started s;
    Start(market, s);
    EXPECT_EQ(s.outcome, data::StartupOutcome::Quit);
    ASSERT_FALSE(s.prompter.records.empty());
    EXPECT_EQ(s.prompter.records.back().text,
              "沪市大盘指数文件(" + sh + ")已损坏或没有行情\n\n深市大盘指数文件(" +
                  data::DayFilePath(market.Paths(), 399001) + ")未找到");
}

TEST(HostileFiles, ALockFileThatCannotBeCreatedSaysWhatFailed) {
    fixture::FixtureMarket market;
    const data::DataPaths& paths = market.Paths();
    // A folder in the lock file's place.
    ASSERT_EQ(::mkdir(paths.lockFile.c_str(), 0755), 0);
    base::RecordingPrompter prompter;
    bool held = true;
    EXPECT_FALSE(data::AcquireSingleInstance(paths, prompter, &held).has_value());
    EXPECT_FALSE(held);
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].text.rfind("无法建立锁文件 " + paths.lockFile + "：", 0), 0u);
    ::rmdir(paths.lockFile.c_str());

    // A folder without write permission (root writes anywhere: nothing to see).
    if (::geteuid() == 0) return;
    ASSERT_EQ(::chmod(paths.root.c_str(), 0555), 0);
    base::RecordingPrompter denied;
    EXPECT_FALSE(data::AcquireSingleInstance(paths, denied, &held).has_value());
    ::chmod(paths.root.c_str(), 0755);
    ASSERT_EQ(denied.records.size(), 1u);
    EXPECT_EQ(denied.records[0].text, "无法建立锁文件 " + paths.lockFile + "：没有写入权限");
}

TEST(HostileFiles, ImpossibleExRightsEventsAreCountedAndNeverApplied) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<data::ExRightsStock> stocks = {
        {600000, {{20170103, -3, 0, 0, 0},          // negative bonus
                  {20170104, 0, nan, 0, 0},         // not a number
                  {20170105, 0, 0, inf, 5},         // infinite rights
                  {20170106, 1e30f, 0, 0, 0},       // absurd bonus
                  {20170107, 0, 0, 200, 1}}},       // 20 rights per share
        {600001, {{20170103, 10, 0, 0, 0}}}};       // a real 10-for-10 bonus
    const auto bytes = data::EncodeExRightsTable(20170601, stocks);
    const data::ExRightsTable table(bytes);
    EXPECT_EQ(table.IgnoredEvents(), 5u);
    const size_t bad = table.FindEntry(600000);
    for (uint32_t k = 0; k < 5; ++k) {
        const data::ExRightsEvent e = table.EventAt(bad, k);
        EXPECT_EQ(e.date, 20170103u + k);  // the date stays, the values go
        EXPECT_EQ(data::EventText(e), "");
    }
    // Before every event forward, after every event backward: nothing moves.
    EXPECT_EQ(data::AdjustPrice({&table, bad, data::AdjustMode::Forward}, 1234, 20170102), 1234u);
    EXPECT_EQ(data::AdjustPrice({&table, bad, data::AdjustMode::Backward}, 1234, 20170110), 1234u);
    // The real event still adjusts: 10 for 10 halves the price before it.
    EXPECT_EQ(data::AdjustPrice({&table, table.FindEntry(600001), data::AdjustMode::Forward}, 2000, 20170102),
              1000u);

    // Start-up says how many it left out.
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    market.WriteRaw("MKDAT/MKCQ.DAT", bytes);
    Started s;
    Start(market, s);
    EXPECT_EQ(Bytes(market.Paths().exRights), bytes);  // read, never rewritten
    ASSERT_EQ(s.prompter.records.size(), 1u);
    EXPECT_EQ(s.prompter.records[0].text,
              "除权表中有5个除权事件的数值不合理，已忽略：" + market.Paths().exRights);
}

TEST(HostileFiles, ACodeTableLargerThanItsRegionSaysHowManyWereRead) {
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    std::vector<data::CodeEntry> many;
    for (uint32_t i = 0; i < 20; ++i) many.push_back({600000 + i, fixture::Gbk("股票"), "GP", 1, 1});
    market.WriteCodeTable(20170601, many);
    std::vector<uint32_t> region(data::kCodeFirstRecordWord + 12 * data::kCodeRecordWords);
    data::CodeTableRecords records;
    ASSERT_TRUE(data::LoadCodeTable(market.Paths().codeTable, region, nullptr, &records));
    EXPECT_EQ(records.inFile, 20u);
    EXPECT_EQ(records.taken, 12u);
    EXPECT_EQ(data::CodeTable(region).Count(), 12u);
}

// A library image of the sectors.
std::vector<uint8_t> Library(const std::vector<data::SectorRecord>& sectors) {
    return data::EncodeSectorLibrary(20170601, {}, sectors);
}

TEST(HostileFiles, ImpossibleSectorsAreSkippedByNameAndTheRestLoad) {
    const std::vector<data::SectorRecord> good = {
        {4, 1, fixture::Gbk("一带一路"), {1, 600000, 600001}},
        {5, 2, fixture::Gbk("银行"), {600000, 600036}},
        {6, 3, fixture::Gbk("上海"), {600000, 600001, 600036}}};
    const size_t first = 16;  // the first record
    {
        auto image = Library(good);
        const auto c = data::CheckSectorLibrary(image);
        EXPECT_EQ(c.loaded, 3u);
        EXPECT_EQ(c.skipped, 0u);
        EXPECT_EQ(c.bytes, image.size());
    }
    {   // A member count of 0xFFFF in the first sector: it goes, the others stay.
        auto image = Library(good);
        base::WriteU16(image.data() + first, 0xFFFF);
        const auto c = data::CheckSectorLibrary(image);
        EXPECT_EQ(c.loaded, 2u);
        EXPECT_EQ(c.skipped, 1u);
        ASSERT_EQ(c.problems.size(), 1u);
        EXPECT_EQ(c.problems[0], "板块“一带一路”(编号4001)：成员数65535超出了文件，已跳过");
        EXPECT_EQ(base::ReadU24(image.data()), 2u);
        EXPECT_EQ(image[first + 5], 4);  // 银行's record moved up
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data() + first + 6), 4),
                  fixture::Gbk("银行"));
    }
    {   // Members in descending order, an unknown family, a number given twice.
        auto image = Library({{4, 1, fixture::Gbk("一带一路"), {600001, 600000}},
                              {9, 2, fixture::Gbk("银行"), {600000}},
                              {6, 3, fixture::Gbk("上海"), {600000}},
                              {6, 3, fixture::Gbk("浦东"), {600001}}});
        const auto c = data::CheckSectorLibrary(image);
        EXPECT_EQ(c.loaded, 1u);
        EXPECT_EQ(c.skipped, 3u);
        ASSERT_EQ(c.problems.size(), 3u);
        EXPECT_EQ(c.problems[0], "板块“一带一路”(编号4001)：成员代码不是按升序排列的六位代码，已跳过");
        EXPECT_EQ(c.problems[1], "板块“银行”(编号9002)：板块类别9不存在，已跳过");
        EXPECT_EQ(c.problems[2], "板块“浦东”(编号6003)：编号与前面的板块重复，已跳过");
    }
    {   // A header promising more sectors than the file holds.
        auto image = Library(good);
        base::WriteU24(image.data(), 5);
        const auto c = data::CheckSectorLibrary(image);
        EXPECT_EQ(c.loaded, 3u);
        EXPECT_EQ(c.skipped, 2u);
        ASSERT_EQ(c.problems.size(), 1u);
        EXPECT_EQ(c.problems[0], "板块库只有3个板块，而文件头说有5个");
    }

    // Start-up names the file and what was skipped, and goes on with the rest.
    fixture::FixtureMarket market;
    WriteCompleteMarket(market);
    auto image = Library(good);
    base::WriteU16(image.data() + first, 0xFFFF);
    market.WriteRaw("MKDAT/BKLIB.TXT", image);
    Started s;
    Start(market, s);
    EXPECT_EQ(Bytes(market.Paths().sectorLibrary), image);  // left out in memory only
    ASSERT_EQ(s.outcome, data::StartupOutcome::Ready);
    EXPECT_EQ(s.state.sectorsSkipped, 1u);
    ASSERT_EQ(s.prompter.records.size(), 1u);
    EXPECT_EQ(s.prompter.records[0].text, "板块文件" + market.Paths().sectorLibrary +
                                              "中有1个板块无法使用，已读入2个：\n板块“一带一路”(编号4001)："
                                              "成员数65535超出了文件，已跳过");
}

}  // namespace
