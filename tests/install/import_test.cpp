// Importing day data from a vipdoc tree and from CSV files: the conversion to
// day-file records, the refusals, and the merge into existing files.
#include "install/import.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>

#include "base/endian.h"
#include "data/file_formats.h"
#include "install/csv_text.h"
#include "install/records.h"
#include "support/cli_runner.h"
#include "support/json_value.h"
#include "support/fixture_market.h"

namespace {

namespace fs = std::filesystem;
using installtest::ReadAll;

struct VipdocRecord {
    uint32_t date, open, high, low, close;
    float amount;     // yuan
    uint32_t volume;  // shares
};

std::vector<uint8_t> VipdocBytes(std::initializer_list<VipdocRecord> records) {
    std::vector<uint8_t> bytes;
    for (const VipdocRecord& r : records) {
        uint8_t p[32] = {};
        base::WriteU32(p, r.date);
        base::WriteU32(p + 4, r.open);
        base::WriteU32(p + 8, r.high);
        base::WriteU32(p + 12, r.low);
        base::WriteU32(p + 16, r.close);
        base::WriteF32(p + 20, r.amount);
        base::WriteU32(p + 24, r.volume);
        bytes.insert(bytes.end(), p, p + 32);
    }
    return bytes;
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// A stock bar of the day file, for expected files.
data::Bar StockBar(uint32_t date, uint32_t open, uint32_t high, uint32_t low, uint32_t close,
                   uint32_t amount, uint32_t volume) {
    return {date, open, high, low, close, amount, volume};
}

class Import : public ::testing::Test {
protected:
    install::ImportReport Run(install::ImportSource source, const std::string& path,
                              const std::string& names = "") {
        install::ImportOptions options{source, path, names};
        return install::ImportDayData(market.Paths(), options, progress);
    }
    std::vector<uint8_t> DayFileOf(uint32_t code) {
        return ReadAll(data::DayFilePath(market.Paths(), code));
    }
    bool HasDayFile(uint32_t code) { return fs::exists(data::DayFilePath(market.Paths(), code)); }
    // The reason given for a code, empty when it was not refused.
    static std::string ReasonFor(const install::ImportReport& report, uint32_t code) {
        for (const auto& r : report.refused)
            if (r.code == code) return r.reason;
        return {};
    }

    fixture::FixtureMarket market;
    fixture::TempDir source;
    install::ImportProgress progress;
};

TEST_F(Import, VipdocRecordsBecomeDayRecordsInTheirUnits) {
    const fs::path lday = fs::path(source.Path()) / "vipdoc/sh/lday";
    // 123456789 yuan is stored as the float 123456792: 12345.6792 -> 12346
    // (10,000 yuan); 12,345,678 shares -> 123,456.78 -> 123,457 lots.
    WriteFile(lday / "sh600000.day",
              VipdocBytes({{20240102, 1234, 1300, 1200, 1250, 123456789.0f, 12345678},
                           {20240103, 1250, 1260, 1240, 1255, 49999.0f, 49}}));
    // The parent of vipdoc is accepted as well as vipdoc itself.
    const auto report = Run(install::ImportSource::Vipdoc, source.Path());
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(report.imported, 1u);
    EXPECT_EQ(report.created, 1u);
    EXPECT_EQ(report.lastDate, 20240103u);
    // 49,999 yuan is 4.9999 (10,000 yuan) -> 5; 49 shares -> 0.49 lots -> 0.
    const std::vector<data::Bar> expected = {
        StockBar(20240102, 1234, 1300, 1200, 1250, 12346, 123457),
        StockBar(20240103, 1250, 1260, 1240, 1255, 5, 0)};
    EXPECT_EQ(DayFileOf(600000), data::EncodeDayFile(600000, expected));
    EXPECT_EQ(progress.done.load(), 1u);
    EXPECT_EQ(progress.total.load(), 1u);
}

TEST_F(Import, VipdocShanghaiIndexBecomes999999AndOtherSecuritiesAreCounted) {
    const fs::path root = fs::path(source.Path()) / "vipdoc";
    // Index points above the 16-bit stock price field are fine in the index
    // record. 335,544,320,000 yuan is exact as a float.
    const auto indexBytes =
        VipdocBytes({{20240102, 297500, 298000, 296000, 296200, 335544320000.0f, 2'000'000'000}});
    WriteFile(root / "sh/lday/sh000001.day", indexBytes);
    WriteFile(root / "sz/lday/sz399001.day", indexBytes);
    WriteFile(root / "sz/lday/sz000001.day",
              VipdocBytes({{20240102, 900, 910, 890, 905, 1e6f, 10000}}));
    for (const char* other :
         {"sh/lday/sh510050.day", "sz/lday/sz159915.day", "sh/lday/sh000300.day",
          "sh/lday/sh900901.day", "sz/lday/sz200002.day", "sz/lday/sz000001.txt",
          "sh/lday/sz000002.day"})
        WriteFile(root / other, indexBytes);
    const auto report = Run(install::ImportSource::Vipdoc, root.string());
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(report.imported, 3u);
    EXPECT_EQ(report.skippedOther, 7u);
    // 335,544,320,000 yuan -> 33,554,432 (10,000 yuan); 2e9 shares -> 20,000,000 lots.
    const std::vector<data::Bar> index = {
        {20240102, 297500, 298000, 296000, 296200, 33'554'432, 20'000'000}};
    EXPECT_EQ(DayFileOf(999999), data::EncodeDayFile(999999, index));
    EXPECT_EQ(DayFileOf(399001), data::EncodeDayFile(399001, index));
    EXPECT_TRUE(HasDayFile(1));
    EXPECT_FALSE(HasDayFile(300));  // sh000300 is an index, not the Shenzhen stock 000300
    EXPECT_FALSE(HasDayFile(510050));
}

TEST_F(Import, APriceAboveTheStockFieldRefusesThatSecurityOnly) {
    const std::vector<data::Bar> before = {StockBar(20240102, 60000, 60100, 59900, 60000, 10, 10)};
    market.WriteDayFile(600519, before);
    const auto original = DayFileOf(600519);
    const fs::path lday = fs::path(source.Path()) / "sh/lday";
    // 655.36 yuan wraps to 0.00 in a 16-bit field: it must never be written.
    WriteFile(lday / "sh600519.day",
              VipdocBytes({{20240102, 65500, 65536, 65400, 65500, 1e6f, 100},
                           {20240103, 65500, 65535, 65400, 65535, 1e6f, 100}}));
    WriteFile(lday / "sh600000.day",
              VipdocBytes({{20240102, 65535, 65535, 65535, 65535, 1e6f, 100}}));
    const auto report = Run(install::ImportSource::Vipdoc, source.Path());
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].code, 600519u);
    EXPECT_NE(report.refused[0].reason.find("655.36"), std::string::npos)
        << report.refused[0].reason;
    EXPECT_NE(report.refused[0].reason.find("第1条记录"), std::string::npos);
    EXPECT_EQ(DayFileOf(600519), original);
    EXPECT_EQ(report.imported, 1u);  // 655.35 itself fits
    EXPECT_TRUE(HasDayFile(600000));
}

TEST_F(Import, MalformedVipdocFilesAreRefusedWithTheirReason) {
    const fs::path lday = fs::path(source.Path()) / "sh/lday";
    auto truncated = VipdocBytes({{20240102, 1000, 1000, 1000, 1000, 1e6f, 100}});
    truncated.resize(truncated.size() + 10);  // a torn second record
    WriteFile(lday / "sh600000.day", truncated);
    WriteFile(lday / "sh600001.day", VipdocBytes({{20240230, 1000, 1000, 1000, 1000, 1e6f, 100}}));
    WriteFile(lday / "sh600002.day", VipdocBytes({{20240102, 1000, 1000, 1000, 1000,
                                                   std::numeric_limits<float>::quiet_NaN(), 100}}));
    WriteFile(lday / "sh600003.day", VipdocBytes({{20240103, 1000, 1000, 1000, 1000, 1e6f, 100},
                                                  {20240103, 1000, 1000, 1000, 1000, 1e6f, 100}}));
    WriteFile(lday / "sh600004.day", std::string());
    const auto report = Run(install::ImportSource::Vipdoc, source.Path());
    EXPECT_EQ(report.imported, 0u);
    EXPECT_NE(ReasonFor(report, 600000).find("不完整"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600001).find("20240230"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600002).find("成交额"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600003).find("重复"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600004).find("没有"), std::string::npos);
    for (uint32_t code = 600000; code <= 600004; ++code) EXPECT_FALSE(HasDayFile(code)) << code;
}

TEST_F(Import, ImportedBarsReplaceTheirSpanOfAnExistingFile) {
    market.WriteDayFile(
        1, fixture::FlatBars(20240102, std::vector<uint32_t>{1000, 1010, 1020, 1030, 1040}));
    // The source lacks 0104 (a corrected suspension): that stale bar goes too.
    WriteFile(fs::path(source.Path()) / "000001.csv",
              "date,open,high,low,close,volume,amount\n"
              "20240103,11,11,11,11,100,1000\n"
              "20240105,12,12,12,12,100,1000\n");
    const auto report = Run(install::ImportSource::Csv, source.Path());
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(report.imported, 1u);
    EXPECT_EQ(report.created, 0u);
    // 1000 yuan -> 0.1 (10,000 yuan) -> 0; 100 shares -> 1 lot.
    const std::vector<data::Bar> expected = {StockBar(20240102, 1000, 1000, 1000, 1000, 1000, 100),
                                             StockBar(20240103, 1100, 1100, 1100, 1100, 0, 1),
                                             StockBar(20240105, 1200, 1200, 1200, 1200, 0, 1),
                                             StockBar(20240108, 1040, 1040, 1040, 1040, 1040, 100)};
    EXPECT_EQ(DayFileOf(1), data::EncodeDayFile(1, expected));
    // The same import again finds the file as it leaves it.
    const auto again = Run(install::ImportSource::Csv, source.Path());
    EXPECT_EQ(again.unchanged, 1u);
}

TEST_F(Import, CsvDecimalsConvertExactlyHalfUpAndDatesMaySortInEitherForm) {
    // Unsorted, both date forms, CR LF and a byte-order mark.
    WriteFile(fs::path(source.Path()) / "300750.csv",
              "\xEF\xBB\xBF"
              "date,open,high,low,close,volume,amount\r\n"
              "2024-01-03,10.005,10.014,9.995,10.0049,12350,1235000\r\n"
              "20240102,10,10.1,9.9,10.00,12349.99,1234999.99\r\n");
    const auto report =
        Run(install::ImportSource::Csv, (fs::path(source.Path()) / "300750.csv").string());
    ASSERT_TRUE(report.refused.empty()) << report.refused[0].reason;
    // 10.005 -> 1001, 10.014 -> 1001, 9.995 -> 1000, 10.0049 -> 1000;
    // 12350 shares -> 123.5 -> 124 lots, 12349.99 -> 123;
    // 1,235,000 yuan -> 123.5 -> 124, 1,234,999.99 -> 123.
    const std::vector<data::Bar> expected = {StockBar(20240102, 1000, 1010, 990, 1000, 123, 123),
                                             StockBar(20240103, 1001, 1001, 1000, 1000, 124, 124)};
    EXPECT_EQ(DayFileOf(300750), data::EncodeDayFile(300750, expected));
}

TEST_F(Import, CodeColumnFileRefusesOnlyTheSecurityOfABadLine) {
    // Columns named in another order, with the code column among them.
    WriteFile(fs::path(source.Path()) / "all.csv",
              "date,code,open,high,low,close,amount,volume\n"
              "20240102,600000,8,8,8,8,10000,100\n"
              "20240102,000002,7,7,7,7,10000,100\n"
              "20240103,000002,7,7,7,oops,10000,100\n"
              "20240102,510050,2,2,2,2,10000,100\n"
              "20240103,600000,8.5,8.5,8.5,8.5,20000,200\n");
    const auto report = Run(install::ImportSource::Csv, source.Path());
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].code, 2u);
    EXPECT_NE(report.refused[0].reason.find("第4行"), std::string::npos)
        << report.refused[0].reason;
    EXPECT_EQ(report.skippedOther, 1u);  // 510050, a fund
    EXPECT_FALSE(HasDayFile(2));
    const std::vector<data::Bar> expected = {StockBar(20240102, 800, 800, 800, 800, 1, 1),
                                             StockBar(20240103, 850, 850, 850, 850, 2, 2)};
    EXPECT_EQ(DayFileOf(600000), data::EncodeDayFile(600000, expected));
    EXPECT_EQ(report.importedCodes, std::vector<uint32_t>{600000});
}

TEST_F(Import, HostileCsvLinesAreRefusedWithFileAndLine) {
    const fs::path dir(source.Path());
    const std::string header = "date,open,high,low,close,volume,amount\n";
    WriteFile(dir / "600000.csv", header + "20240102,1,1,1,1,100,100\n20240102,2,2,2,2,100,100\n");
    WriteFile(dir / "600001.csv", header + "20240102,1,1,1,1,100000000000000000000000,100\n");
    WriteFile(dir / "600002.csv",
              header + "20240102,1,1,1" + std::string(1, '\0') + ",1,100,100\n");
    WriteFile(dir / "600003.csv", header + "20241301,1,1,1,1,100,100\n");
    WriteFile(dir / "600004.csv", header + "20240102,1,1,1,1,-100,100\n");
    WriteFile(dir / "600005.csv", header + "20240102,1,1,1,1,100\n");
    WriteFile(dir / "600006.csv", header + std::string(100'000, '1'));
    WriteFile(dir / "600007.csv", header + "20240102,1e3,1,1,1,100,100\n");
    const auto report = Run(install::ImportSource::Csv, source.Path());
    EXPECT_EQ(report.imported, 0u);
    EXPECT_EQ(report.refused.size(), 8u);
    EXPECT_NE(ReasonFor(report, 600000).find("600000.csv 第3行"), std::string::npos)
        << ReasonFor(report, 600000);
    EXPECT_NE(ReasonFor(report, 600001).find("成交量"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600002).find("第2行"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600003).find("日期"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600004).find("成交量"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600005).find("列"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600006).find("行过长"), std::string::npos);
    EXPECT_NE(ReasonFor(report, 600007).find("价格"), std::string::npos);
    for (uint32_t code = 600000; code <= 600007; ++code) EXPECT_FALSE(HasDayFile(code)) << code;
}

TEST_F(Import, AnUnreadableCodeRefusesTheWholeCodeColumnFile) {
    // The line could belong to any security; importing the others without
    // it would drop that security's bar from its span.
    WriteFile(fs::path(source.Path()) / "all.csv",
              "code,date,open,high,low,close,volume,amount\n"
              "600000,20240102,8,8,8,8,100,10000\n"
              "60000x,20240103,8,8,8,8,100,10000\n");
    const auto report = Run(install::ImportSource::Csv, source.Path());
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].code, 0u);
    EXPECT_NE(report.refused[0].reason.find("第3行"), std::string::npos);
    EXPECT_FALSE(HasDayFile(600000));
}

TEST_F(Import, ASourceThatIsNotThereIsOneRefusal) {
    const auto vipdoc = Run(install::ImportSource::Vipdoc, source.Path() + "/none");
    ASSERT_EQ(vipdoc.refused.size(), 1u);
    EXPECT_EQ(vipdoc.refused[0].code, 0u);
    WriteFile(fs::path(source.Path()) / "prices.csv", "date,open,high,low,close,volume,amount\n");
    const auto csv = Run(install::ImportSource::Csv, source.Path() + "/prices.csv");
    ASSERT_EQ(csv.refused.size(), 1u);
    EXPECT_NE(csv.refused[0].reason.find("六位"), std::string::npos) << csv.refused[0].reason;
}

TEST_F(Import, AStopRequestEndsAfterTheCurrentSecurity) {
    const std::string header = "date,open,high,low,close,volume,amount\n";
    for (const char* name : {"000001.csv", "000002.csv", "600000.csv"})
        WriteFile(fs::path(source.Path()) / name, header + "20240102,1,1,1,1,100,100\n");
    progress.stopRequested = true;
    const auto report = Run(install::ImportSource::Csv, source.Path());
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.imported, 1u);
    EXPECT_EQ(progress.done.load(), 1u);
    EXPECT_EQ(progress.total.load(), 3u);
    EXPECT_TRUE(HasDayFile(1));
    EXPECT_FALSE(HasDayFile(2));
}

TEST(CsvText, ScaledDecimalsRoundHalfUpOnTheFirstDroppedDigit) {
    using install::ParseScaledDecimal;
    EXPECT_EQ(ParseScaledDecimal("12.345", 2), 1235u);
    EXPECT_EQ(ParseScaledDecimal("12.3449999", 2), 1234u);
    EXPECT_EQ(ParseScaledDecimal("0.005", 2), 1u);
    EXPECT_EQ(ParseScaledDecimal(".5", 0), 1u);
    EXPECT_EQ(ParseScaledDecimal("+7", 2), 700u);
    EXPECT_EQ(ParseScaledDecimal("49", -2), 0u);
    EXPECT_EQ(ParseScaledDecimal("50", -2), 1u);
    EXPECT_EQ(ParseScaledDecimal("123456789", -4), 12346u);
    EXPECT_EQ(ParseScaledDecimal("0.4", -4), 0u);
    EXPECT_EQ(ParseScaledDecimal("18446744073709551615", 0), UINT64_MAX);
    EXPECT_EQ(ParseScaledDecimal("184467440737095516.15", 2), UINT64_MAX);
    for (const char* bad :
         {"", ".", "-1", "1e5", "1.2.3", "1 2", "0x10", "18446744073709551616", "１２"})
        EXPECT_FALSE(ParseScaledDecimal(bad, 2).has_value()) << bad;
    EXPECT_FALSE(ParseScaledDecimal("184467440737095516.16", 2).has_value());
}

TEST(CsvText, DatesFieldsAndLines) {
    EXPECT_EQ(install::ParseCsvDate("20240229"), 20240229u);
    EXPECT_EQ(install::ParseCsvDate("2024-02-29"), 20240229u);
    for (const char* bad : {"20230229", "2024/02/29", "2024-2-29", "19791231", "2024022", ""})
        EXPECT_FALSE(install::ParseCsvDate(bad)) << bad;
    EXPECT_EQ(install::SplitCsvFields(R"( a , "b,c" ,"d""e",)"),
              (std::vector<std::string>{"a", "b,c", "d\"e", ""}));

    fixture::TempDir dir;
    const fs::path path = fs::path(dir.Path()) / "lines.csv";
    WriteFile(path, "\xEF\xBB\xBFx,y\r\n\r\n  \n1,2");
    auto file = install::CsvFile::Open(path.string());
    ASSERT_TRUE(file.ok());
    install::CsvLine line;
    ASSERT_EQ(file->Next(line), install::CsvRead::Line);
    EXPECT_EQ(line.number, 1u);
    EXPECT_EQ(line.fields, (std::vector<std::string>{"x", "y"}));
    ASSERT_EQ(file->Next(line), install::CsvRead::Line);  // blank lines are passed over
    EXPECT_EQ(line.number, 4u);
    EXPECT_EQ(line.fields, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(file->Next(line), install::CsvRead::End);
}

// A vipdoc tree of the two market indices, eight stocks and a fund over 40 weekdays
// (bars with a range, so no stock looks newly listed);
// on the last day 600000, 600036 and 000001 rise 8 %, the others stay flat.
void WriteSmallVipdoc(const fs::path& root) {
    const std::vector<uint32_t> days = fixture::Weekdays(20240102, 40);
    const auto series = [&](uint32_t price, uint32_t lastClose, float amount) {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < days.size(); ++i) {
            const uint32_t close = i + 1 == days.size() ? lastClose : price;
            const auto record = VipdocBytes({{days[i], price, std::max(price, close) + 10,
                                              price - 10, close, amount, 1'000'000}});
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
        return bytes;
    };
    WriteFile(root / "sh/lday/sh000001.day", series(300000, 301000, 3e10f));
    WriteFile(root / "sz/lday/sz399001.day", series(900000, 905000, 3e10f));
    WriteFile(root / "sh/lday/sh510050.day", series(300, 300, 1e6f));  // a fund: passed over
    for (uint32_t code : {600000u, 600036u, 600519u, 601318u, 1u, 2u, 300750u, 688981u}) {
        const bool riser = code == 600000 || code == 600036 || code == 1;
        const std::string name = (data::IsShenzhenCode(code) ? "sz/lday/sz" : "sh/lday/sh") +
                                 data::CodeText(code) + ".day";
        WriteFile(root / name, series(1000, riser ? 1080 : 1000, 5e6f));
    }
}

class ImportCli : public ::testing::Test {
protected:
    fixture::CliRun Cli(const std::string& arguments) {
        return fixture::RunCli(arguments, scratch.Path());
    }

    fixture::TempDir source;
    fixture::TempDir scratch;
    fixture::TempDir target;
};

TEST_F(ImportCli, AnEmptyFolderImportedFromVipdocStartsAndScans) {
    WriteSmallVipdoc(fs::path(source.Path()) / "vipdoc");
    const std::string data = target.Path() + "/root";
    const auto run = Cli("import --data '" + data + "' --vipdoc '" + source.Path() + "' --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto report = fixture::Json::Parse(run.out);
    ASSERT_TRUE(report.has_value()) << run.out;
    EXPECT_EQ((*report)["imported"].Int(), 10);
    EXPECT_EQ((*report)["created"].Int(), 10);
    EXPECT_EQ((*report)["unchanged"].Int(), 0);
    EXPECT_EQ((*report)["skipped_other"].Int(), 1);
    EXPECT_EQ((*report)["codes_added"].Int(), 10);
    EXPECT_EQ((*report)["refused"].Size(), 0u);
    EXPECT_EQ((*report)["last_date"].Int(), 20240226);
    WriteFile(fs::path(source.Path()) / "sectors.csv",
              "family,sector,code\n概念,银行股,600000\n概念,银行股,600036\n概念,银行股,000001\n"
              "行业,白酒,600519\n地区,深圳,000001\n地区,深圳,000002\n");
    const auto sectors =
        Cli("import --data '" + data + "' --sectors '" + source.Path() + "/sectors.csv'");
    ASSERT_EQ(sectors.exitCode, 0) << sectors.err;
    WriteFile(fs::path(source.Path()) / "exrights.csv", "600519,20240105,0,10,0,0\n");
    const auto exRights =
        Cli("import --data '" + data + "' --exrights '" + source.Path() + "/exrights.csv' --json");
    ASSERT_EQ(exRights.exitCode, 0) << exRights.err;
    const auto events = fixture::Json::Parse(exRights.out);
    ASSERT_TRUE(events.has_value()) << exRights.out;
    EXPECT_EQ((*events)["changed"].Int(), 1);
    EXPECT_EQ((*events)["unchanged"].Int(), 0);
    EXPECT_EQ((*events)["problems"].Size(), 0u);

    const auto summary = Cli("summary --data '" + data + "'");
    ASSERT_EQ(summary.exitCode, 0) << summary.err;
    EXPECT_NE(summary.out.find("代码表        10 条"), std::string::npos) << summary.out;
    const auto scan = Cli("scan --data '" + data + "' --type 1 --threshold 5 --market all --json");
    ASSERT_EQ(scan.exitCode, 0) << scan.err;
    const auto ranking = fixture::Json::Parse(scan.out);
    ASSERT_TRUE(ranking.has_value()) << scan.out;
    std::set<std::string> names;
    for (const fixture::Json& sector : (*ranking)["sectors"].Array()) names.insert(sector["name"].Str());
    EXPECT_TRUE(names.count("银行股")) << scan.out;
}

TEST_F(ImportCli, UsageErrorsRefusalsAndAMissingIndexAreReported) {
    const std::string data = "--data '" + target.Path() + "/root'";
    EXPECT_EQ(Cli("import " + data).exitCode, 2);
    EXPECT_EQ(Cli("import " + data + " --vipdoc a --csv b").exitCode, 2);
    EXPECT_EQ(Cli("import " + data + " --sectors a --names b").exitCode, 2);
    EXPECT_EQ(Cli("import --vipdoc a").exitCode, 2);
    EXPECT_EQ(Cli("import " + data + " --vipdoc ''").exitCode, 2);

    // One stock refused, another imported, and no index file in the root.
    WriteFile(fs::path(source.Path()) / "600000.csv",
              "date,open,high,low,close,volume,amount\n20240102,700,700,700,700,100,100\n");
    WriteFile(fs::path(source.Path()) / "600036.csv",
              "date,open,high,low,close,volume,amount\n20240102,30,30,30,30,100,100\n");
    const auto run = Cli("import " + data + " --csv '" + source.Path() + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("600000 价格700.00元"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("还没有大盘指数"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(target.Path() + "/root/MKDAY/SH/600036.day"));
    EXPECT_TRUE(fs::exists(target.Path() + "/root/MKDAT/MKCQ.DAT"));
}

}  // namespace
