#include "install/tables.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "base/endian.h"
#include "data/code_table.h"
#include "install/ex_rights_merge.h"
#include "install/install_file.h"
#include "install/records.h"
#include "support/fixture_market.h"

namespace {

using fixture::Gbk;
using installtest::ReadAll;

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

class Tables : public ::testing::Test {
protected:
    void SetUp() override {
        market.WriteCodeTable(20170103, std::vector<data::CodeEntry>{
                                            {1, Gbk("平安银行"), "PAYH", 100, 90},
                                            {600000, Gbk("浦发银行"), "PFYH", 200, 190},
                                            {600036, Gbk("招商银行"), "ZSYH", 300, 290},
                                        });
        market.WriteExRights(170103, std::vector<data::ExRightsStock>{
                                         {1, {{20160616, 0, 1.6f, 0, 0}}},
                                         {600000, {{20150623, 1, 7.57f, 0, 0},
                                                   {20160624, 1, 5.15f, 0, 0}}},
                                     });
        market.WriteSectorLibrary(20170103, {}, std::vector<data::SectorRecord>{
                                                    {4, 1, Gbk("银行"), {1, 600000, 600036}}});
        Reload();
    }
    void Reload() {
        ASSERT_TRUE(install::LoadInstallTables(workspace, market.Root(), state).ok());
    }
    data::CodeTable Codes() { return data::CodeTable(workspace.CodeTableRegion()); }
    // The events of a code as (YYYYMMDD, dividend) pairs.
    std::vector<std::pair<uint32_t, float>> Events(uint32_t code) {
        std::vector<std::pair<uint32_t, float>> out;
        const size_t entry = state.exRights.FindEntry(code);
        for (uint32_t k = 0; k < state.exRights.EventCount(entry); ++k) {
            const auto e = state.exRights.EventAt(entry, k);
            out.push_back({e.date, e.dividend});
        }
        return out;
    }
    install::TableMerge MergeText(const std::string& text) {
        auto merge = install::MergeExRightsText(workspace, state, Bytes(text));
        EXPECT_TRUE(merge.ok()) << merge.error();
        return merge ? *merge : install::TableMerge{};
    }

    fixture::FixtureMarket market;
    data::Workspace workspace;
    data::MarketState state;
};

TEST_F(Tables, ExRightsTextRecordsAndTheirFields) {
    // Records lie between two "/" at least 15 characters apart; a ";" ends a
    // record early; an empty field is 0; blanks before a number are skipped.
    const std::string text =
        "header/600000,20170524, 3, ,0,0/short/ 000001 ,20170615,,2.5;junk/"
        "600519,170628,0,110.0,0,0/no code in this one/";
    const auto parsed = install::ParseExRightsText(Bytes(text));
    ASSERT_EQ(parsed.events.size(), 3u);
    EXPECT_EQ(parsed.events[0].code, 600000u);
    EXPECT_EQ(parsed.events[0].date, 170524.0f);
    EXPECT_EQ(parsed.events[0].bonus, 3.0f);
    EXPECT_EQ(parsed.events[0].dividend, 0.0f);
    EXPECT_EQ(parsed.events[1].code, 1u);
    EXPECT_EQ(parsed.events[1].dividend, 2.5f);
    EXPECT_EQ(parsed.events[1].rights, 0.0f);
    EXPECT_EQ(parsed.events[2].date, 170628.0f);
    EXPECT_EQ(parsed.events[2].dividend, 110.0f);
    ASSERT_EQ(parsed.problems.size(), 1u);
    EXPECT_NE(parsed.problems[0].find("没有六位股票代码"), std::string::npos);

    // NUL bytes and stray bytes are plain characters; a month 13 is refused.
    std::string hostile = "/600000,2017";
    hostile += std::string(2, '\0') + "0524,1,1,1,1/" + "/600000,20171324,1,1,1,1/";
    const auto odd = install::ParseExRightsText(Bytes(hostile));
    EXPECT_EQ(odd.events.size(), 0u);
    EXPECT_EQ(odd.problems.size(), 2u);
}

TEST_F(Tables, ExRightsEventsMergeInDateOrderAndSameValuesRewriteNothing) {
    struct stat before {};
    ::stat(state.paths.exRights.c_str(), &before);
    // The event already present reports no change and the file is not rewritten.
    auto merge = MergeText("/600000,20160624,1,5.15,0,0/");
    EXPECT_EQ(merge.changed, 0u);
    EXPECT_EQ(merge.unchanged, 1u);
    struct stat after {};
    ::stat(state.paths.exRights.c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // Between the two events, then a correction of the first, then after both.
    merge = MergeText("/600000,20151231,0,1.0,0,0//600000,20150623,1,7.6,0,0//600000,20170525,0,2.0,0,0/");
    EXPECT_EQ(merge.changed, 3u);
    const auto expected = std::vector<std::pair<uint32_t, float>>{
        {20150623, 7.6f}, {20151231, 1.0f}, {20160624, 5.15f}, {20170525, 2.0f}};
    EXPECT_EQ(Events(600000), expected);
    EXPECT_EQ(state.exRights.RecordCount(), 5u + 2);
    // What is loaded is what the file holds.
    Reload();
    EXPECT_EQ(Events(600000), expected);
    EXPECT_EQ(Events(1), (std::vector<std::pair<uint32_t, float>>{{20160616, 1.6f}}));
    EXPECT_EQ(ReadAll(state.paths.exRights).size(), (state.exRights.RecordCount() + 1) * 20u);
}

TEST_F(Tables, ExRightsEventsForNewStocksAreNeverLost) {
    // A code between two stocks gets its record there; a code above every
    // stock is appended at the end; the table counts both records each.
    MergeText("/000002,20170705,0,7.9,0,0//600519,20170707,0,67.87,0,0/");
    EXPECT_EQ(Events(2), (std::vector<std::pair<uint32_t, float>>{{20170705, 7.9f}}));
    EXPECT_EQ(Events(600519), (std::vector<std::pair<uint32_t, float>>{{20170707, 67.87f}}));
    EXPECT_EQ(state.exRights.RecordCount(), 5u + 4);
    EXPECT_LT(state.exRights.FindEntry(1), state.exRights.FindEntry(2));
    EXPECT_LT(state.exRights.FindEntry(600000), state.exRights.FindEntry(600519));

    // A stock record without events takes the event as its first.
    market.WriteExRights(170103, std::vector<data::ExRightsStock>{{600036, {}}, {600519, {}}});
    Reload();
    MergeText("/600036,20170707,0,8.4,0,0/");
    EXPECT_EQ(Events(600036), (std::vector<std::pair<uint32_t, float>>{{20170707, 8.4f}}));
    EXPECT_EQ(state.exRights.FindEntry(600519), 15u);

    // No table at all: one is started.
    market.Remove("MKDAT/MKCQ.DAT");
    Reload();
    MergeText("/600000,20170524,0,2.0,0,0/");
    Reload();
    EXPECT_EQ(Events(600000), (std::vector<std::pair<uint32_t, float>>{{20170524, 2.0f}}));
}

TEST_F(Tables, CodeTableFilesReplaceAndExtendTheLoadedTable) {
    // CODEADD.TXT: a new code inserted, one above every code appended, an
    // unchanged record counted as such.
    const auto additions = data::EncodeCodeTable(20170110, std::vector<data::CodeEntry>{
                                                               {600000, Gbk("浦发银行"), "PFYH", 200, 190},
                                                               {600016, Gbk("民生银行"), "MSYH", 400, 390},
                                                               {603993, Gbk("洛阳钼业"), "LYMY", 500, 490},
                                                           });
    auto merge = install::MergeCodeAdditions(workspace, state, additions);
    ASSERT_TRUE(merge.ok());
    EXPECT_EQ(merge->changed, 2u);
    EXPECT_EQ(merge->unchanged, 1u);
    EXPECT_EQ(Codes().Count(), 5u);
    EXPECT_EQ(Codes().StockName(603993), Gbk("洛阳钼业"));
    // The file holds exactly the table: 28 + 28 × count bytes, the old header date.
    const auto file = ReadAll(state.paths.codeTable);
    EXPECT_EQ(file.size(), 28u + 28 * 5);
    EXPECT_EQ(base::ReadU32(file.data() + 16), 20170103u);

    // MKCODE.TXT replaces the table and takes the new date.
    const auto table = data::EncodeCodeTable(20170101, std::vector<data::CodeEntry>{
                                                           {600000, Gbk("浦发银行"), "PFYH", 1, 1}});
    ASSERT_TRUE(install::ReplaceCodeTable(workspace, state, table, 20170111).ok());
    EXPECT_EQ(Codes().Count(), 1u);
    EXPECT_EQ(state.codeTableDate, 170111u);
    EXPECT_EQ(base::ReadU32(ReadAll(state.paths.codeTable).data() + 16), 20170111u);

    // A table whose count runs past its records is refused and nothing changes.
    auto broken = table;
    base::WriteU32(broken.data(), 9);
    EXPECT_EQ(install::ReplaceCodeTable(workspace, state, broken, 20170112).error(), "代码表文件已损坏");
    EXPECT_EQ(Codes().Count(), 1u);
    EXPECT_EQ(ReadAll(state.paths.codeTable).size(), 56u);
}

TEST_F(Tables, SectorLibraryAndExRightsTableReplacements) {
    auto library = data::EncodeSectorLibrary(20170101, {0, 150, 0}, std::vector<data::SectorRecord>{
                                                                        {5, 1, Gbk("券商"), {600030}}});
    ASSERT_TRUE(install::ReplaceSectorLibrary(workspace, state, library, 20170112).ok());
    EXPECT_EQ(state.sectorHeader.date, 170112u);
    EXPECT_EQ(state.sectorHeader.shareWeight, 20u);
    EXPECT_EQ(state.sectorHeader.countWeight, 150u);
    EXPECT_EQ(state.sectorLibraryBytes, library.size());
    const auto file = ReadAll(state.paths.sectorLibrary);
    EXPECT_EQ(base::ReadU32(file.data() + 12), 20170112u);
    // A record running past the file is refused.
    library.pop_back();
    EXPECT_EQ(install::ReplaceSectorLibrary(workspace, state, library, 20170113).error(), "板块文件已损坏");
    EXPECT_EQ(state.sectorHeader.date, 170112u);

    const auto exRights = data::EncodeExRightsTable(0, std::vector<data::ExRightsStock>{
                                                           {600030, {{20170101, 0, 1, 0, 0}}}});
    ASSERT_TRUE(install::ReplaceExRightsTable(workspace, state, exRights, 170112).ok());
    EXPECT_EQ(state.exRights.DataDate(), 170112.0f);
    EXPECT_EQ(install::LoadedExRightsDate(state), 170112u);
    EXPECT_EQ(state.exRights.FindEntry(600000), 0u);
    EXPECT_NE(state.exRights.FindEntry(600030), 0u);
}

TEST_F(Tables, FilesByNameTakeOnlyNewerDatesUnlessForced) {
    const std::string dir = market.Root() + "/offer/";
    std::filesystem::create_directories(dir);
    auto offer = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        base::WriteFileAtomic(dir + name, bytes);
        return dir + name;
    };
    // The loaded code table is of 170103: a table of 20170103 is not newer.
    const auto same = offer("mkcode.txt", data::EncodeCodeTable(20170103, std::vector<data::CodeEntry>{}));
    auto report = install::InstallTableFile(workspace, state, same, install::FileKind::CodeTable,
                                            install::DateRule::OnlyNewer);
    ASSERT_TRUE(report.refusal);
    EXPECT_EQ(report.refusal->text, "文件日期170103不比已安装的170103新，未安装");
    EXPECT_EQ(Codes().Count(), 3u);
    report = install::InstallTableFile(workspace, state, same, install::FileKind::CodeTable,
                                       install::DateRule::Force);
    EXPECT_FALSE(report.refusal);
    EXPECT_EQ(Codes().Count(), 0u);

    EXPECT_EQ(install::KindByName(dir + "CqAdd.TXT"), install::FileKind::ExRightsAdditions);
    EXPECT_EQ(install::KindByName(dir + "MKCQ.TXT"), install::FileKind::ExRightsTable);
    EXPECT_EQ(install::KindByName(dir + "DAY20170103.TXT"), std::nullopt);
    report = install::InstallTableFile(workspace, state, dir + "absent.txt", install::FileKind::SectorLibrary,
                                       install::DateRule::Force);
    ASSERT_TRUE(report.refusal);
    EXPECT_EQ(report.refusal->caption, "文件不存在");

    // A package that is not one is refused with the install page's message.
    const auto notPackage = offer("junk.bin", std::vector<uint8_t>(64, 0));
    EXPECT_EQ(install::LoadPackage(notPackage).refusal->text, "该文件非擎宇数据文件");
    EXPECT_EQ(install::LoadPackage(dir + "none.TXT").refusal->caption, "文件不存在");
}

}  // namespace
