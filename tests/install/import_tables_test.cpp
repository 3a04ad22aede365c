// The table side of an import: code-table records from the names file, the
// sector library from a memberships CSV, ex-rights events from a CSV.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/endian.h"
#include "data/code_table.h"
#include "data/sector_library_file.h"
#include "install/import.h"
#include "install/records.h"
#include "install/tables.h"
#include "support/fixture_market.h"

namespace {

namespace fs = std::filesystem;
using fixture::Gbk;
using installtest::ReadAll;

class ImportTables : public ::testing::Test {
protected:
    void SetUp() override { Reload(); }
    void Reload() { ASSERT_TRUE(install::LoadInstallTables(workspace, market.Root(), state).ok()); }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = source.Path() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    data::CodeTable Codes() { return data::CodeTable(workspace.CodeTableRegion()); }
    data::CodeRecordWords RecordOf(uint32_t code) {
        const size_t offset = Codes().FindCode(code);
        return offset ? Codes().RecordAt(offset) : data::CodeRecordWords{};
    }
    // An import report as ImportDayData leaves it, with the given names file.
    install::ImportReport Imported(std::vector<uint32_t> codes, const std::string& namesText) {
        install::ImportReport report;
        report.importedCodes = std::move(codes);
        if (!namesText.empty()) {
            // Names come through the day import, which reads the file first.
            install::ImportProgress progress;
            // The source folder holds only the names file, which is no day data.
            install::ImportOptions options{install::ImportSource::Csv, source.Path(),
                                           Write("names.csv", namesText)};
            const auto read = install::ImportDayData(market.Paths(), options, progress);
            report.names = read.names;
            report.refused = read.refused;
        }
        return report;
    }

    fixture::FixtureMarket market;
    fixture::TempDir source;
    data::Workspace workspace;
    data::MarketState state;
};

TEST_F(ImportTables, NewCodesGetNamesFromTheNamesFileOrTheirUsualNames) {
    const auto report = Imported({1, 600000, 600036, 999999},
                                 "code,name,initials,total_shares,float_shares\n"
                                 "600000,浦发银行,pfyh,2935208,2810376.5\n"
                                 "000001,平安银行\n"
                                 "688981,中芯国际,ZXGJ\n");
    install::CodeImportCounts counts;
    ASSERT_TRUE(install::ApplyImportedCodes(workspace, state, report, &counts).ok());
    EXPECT_EQ(counts.added, 4u);  // 688981 has a name but no bars: no record
    EXPECT_EQ(Codes().Count(), 4u);
    EXPECT_EQ(RecordOf(600000),
              data::PackCodeRecord({600000, Gbk("浦发银行"), "PFYH", 2935208, 2810377}));
    EXPECT_EQ(RecordOf(1), data::PackCodeRecord({1, Gbk("平安银行"), "", 0, 0}));
    EXPECT_EQ(RecordOf(600036), data::PackCodeRecord({600036, "600036", "", 0, 0}));
    EXPECT_EQ(Codes().StockName(999999), Gbk("上证指数"));
    // Written, and in code order.
    data::MarketState reloaded;
    data::Workspace other;
    ASSERT_TRUE(install::LoadInstallTables(other, market.Root(), reloaded).ok());
    const data::CodeTable table(other.CodeTableRegion());
    ASSERT_EQ(table.Count(), 4u);
    EXPECT_EQ(table.CodeAt(data::CodeTable::RecordOffset(0)), 1u);
    EXPECT_EQ(table.CodeAt(data::CodeTable::RecordOffset(3)), 999999u);
}

TEST_F(ImportTables, ExistingRecordsChangeOnlyInTheFieldsTheNamesFileGives) {
    market.WriteCodeTable(20240102,
                          std::vector<data::CodeEntry>{{1, Gbk("平安银行"), "PAYH", 100, 90},
                                                       {600000, Gbk("浦发"), "PF", 200, 190}});
    Reload();
    const auto report = Imported({1, 600000},
                                 "code,name,initials,total_shares,float_shares\n"
                                 "600000,浦发银行,,,195\n");
    install::CodeImportCounts counts;
    ASSERT_TRUE(install::ApplyImportedCodes(workspace, state, report, &counts).ok());
    EXPECT_EQ(counts.added, 0u);
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(RecordOf(600000), data::PackCodeRecord({600000, Gbk("浦发银行"), "PF", 200, 195}));
    EXPECT_EQ(RecordOf(1), data::PackCodeRecord({1, Gbk("平安银行"), "PAYH", 100, 90}));
}

TEST_F(ImportTables, NamesAreCutToEightGbkBytesOnACharacterBoundary) {
    const auto report = Imported({600000, 600001, 600002},
                                 "600000,中国平安保险集团\n600001,A中国平安\n600002,ST中国平安\n");
    ASSERT_TRUE(install::ApplyImportedCodes(workspace, state, report).ok());
    EXPECT_EQ(Codes().StockName(600000), Gbk("中国平安"));
    EXPECT_EQ(Codes().StockName(600001),
              Gbk("A中国平"));  // 7 bytes: the next character would split
    EXPECT_EQ(Codes().StockName(600002), Gbk("ST中国平"));
}

TEST_F(ImportTables, BadNamesLinesAreListedAndPassedOver) {
    const auto report = Imported({600000, 600001},
                                 "code,name,initials\n"
                                 "600000,浦发银行,PFYH1\n"
                                 "600001,Name\x01,AB\n"
                                 "600002,x,AB,99999999999\n");
    ASSERT_EQ(report.refused.size(), 3u);
    EXPECT_NE(report.refused[0].reason.find("第2行"), std::string::npos)
        << report.refused[0].reason;
    EXPECT_NE(report.refused[1].reason.find("控制字符"), std::string::npos);
    EXPECT_NE(report.refused[2].reason.find("股本"), std::string::npos);
    EXPECT_TRUE(report.names.empty());
}

TEST_F(ImportTables, AMissingNamesFileStopsTheImportBeforeAnyDayFile) {
    std::ofstream(source.Path() + "/600000.csv") << "date,open,high,low,close,volume,amount\n"
                                                    "20240102,1,1,1,1,100,100\n";
    install::ImportProgress progress;
    const auto report = install::ImportDayData(
        market.Paths(), {install::ImportSource::Csv, source.Path(), source.Path() + "/names.csv"},
        progress);
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_NE(report.refused[0].reason.find("名称文件"), std::string::npos);
    EXPECT_FALSE(fs::exists(data::DayFilePath(market.Paths(), 600000)));
}

TEST_F(ImportTables, SectorsCsvBecomesTheLibraryWithSerialsPerFamily) {
    const std::string csv = Write("sectors.csv",
                                  "family,sector,code\n"
                                  "概念,芯片,688981\n"
                                  "行业,银行,600036\n"
                                  "概念,芯片,000063\n"
                                  "概念,锂电池,300750\n"
                                  "行业,银行,000001\n"
                                  "新概念,低空经济,000099\n"
                                  "概念,芯片,688981\n");
    auto report = install::ImportSectors(workspace, state, csv, 20240105);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->sectors, 4u);
    EXPECT_EQ(report->memberships, 6u);  // the repeated 688981 counts once
    // Order of first appearance; serials from 1 within each family.
    const std::vector<data::SectorRecord> expected = {{4, 1, Gbk("芯片"), {63, 688981}},
                                                      {5, 1, Gbk("银行"), {1, 600036}},
                                                      {4, 2, Gbk("锂电池"), {300750}},
                                                      {1, 1, Gbk("低空经济"), {99}}};
    EXPECT_EQ(ReadAll(state.paths.sectorLibrary),
              data::EncodeSectorLibrary(20240105, {}, expected));
    EXPECT_EQ(state.sectorHeader.date, 240105u);
}

TEST_F(ImportTables, SectorsBeyondTheFormatsCapacitiesAreRefusedAndTheLibraryKept) {
    market.WriteSectorLibrary(20240102, {},
                              std::vector<data::SectorRecord>{{4, 1, Gbk("旧"), {1}}});
    Reload();
    const auto before = ReadAll(state.paths.sectorLibrary);
    const auto refused = [&](const std::string& text) {
        auto report = install::ImportSectors(workspace, state, Write("s.csv", text), 20240105);
        EXPECT_EQ(ReadAll(state.paths.sectorLibrary), before);
        return report.ok() ? std::string("accepted") : report.error();
    };
    std::string name127;  // 127 characters of two GBK bytes: 254 bytes
    for (int i = 0; i < 127; ++i) name127 += "板";
    EXPECT_NE(refused("概念," + name127 + "板,600000\n").find("255"), std::string::npos);
    std::string members;
    for (uint32_t code = 600'000; code <= 665'535; ++code)
        members += "概念,大," + std::to_string(code) + "\n";
    EXPECT_NE(refused(members).find("65535"), std::string::npos);
    std::string many;
    for (int s = 0; s <= 2000; ++s) many += "行业,业" + std::to_string(s) + ",600000\n";
    EXPECT_NE(refused(many).find("2000"), std::string::npos);
    std::string big;  // two sectors of 50,000 members: 300,000 bytes of codes
    for (const char* sector : {"甲", "乙"})
        for (uint32_t code = 100'000; code < 150'000; ++code)
            big += std::string("地区,") + sector + "," + std::to_string(code) + "\n";
    EXPECT_NE(refused(big).find("299999"), std::string::npos);
    EXPECT_NE(refused("概念x,芯片,600000\n").find("第1行"), std::string::npos);
    EXPECT_NE(refused("family,sector,code\n").find("没有"), std::string::npos);

    // 255 bytes exactly fit.
    auto fits = install::ImportSectors(workspace, state,
                                       Write("s.csv", "概念," + name127 + "A,600000\n"), 20240105);
    EXPECT_TRUE(fits.ok()) << fits.error();
}

TEST_F(ImportTables, ExRightsCsvEventsAreMergedAndBadLinesListed) {
    const std::string csv = Write("exrights.csv",
                                  "code,date,bonus_per10,dividend_per10,rights_per10,rights_price\n"
                                  "600000,20240615,3,1.2,,\n"
                                  "600000,20230620,,2.5,1,8.5\n"
                                  "000001,20240230,0,1,0,0\n"
                                  "000001,20800101,0,1,0,0\n"
                                  "000002,20240101,0,-1,0,0\n");
    auto report = install::ImportExRights(workspace, state, csv);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->changed, 2u);
    ASSERT_EQ(report->problems.size(), 3u);
    EXPECT_NE(report->problems[0].find("第4行"), std::string::npos) << report->problems[0];
    EXPECT_NE(report->problems[1].find("2079"), std::string::npos);
    EXPECT_NE(report->problems[2].find("第6行"), std::string::npos);
    const size_t entry = state.exRights.FindEntry(600000);
    ASSERT_EQ(state.exRights.EventCount(entry), 2u);
    const auto first = state.exRights.EventAt(entry, 0);
    EXPECT_EQ(first.date, 20230620u);
    EXPECT_EQ(first.bonus, 0.0f);
    EXPECT_EQ(first.dividend, 2.5f);
    EXPECT_EQ(first.rights, 1.0f);
    EXPECT_EQ(first.rightsPrice, 8.5f);
    const auto second = state.exRights.EventAt(entry, 1);
    EXPECT_EQ(second.date, 20240615u);
    EXPECT_EQ(second.bonus, 3.0f);
    EXPECT_EQ(second.dividend, 1.2f);
    // The same file again changes nothing.
    auto again = install::ImportExRights(workspace, state, csv);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->changed, 0u);
    EXPECT_EQ(again->unchanged, 2u);
}

}  // namespace
