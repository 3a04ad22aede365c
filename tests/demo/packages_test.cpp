// Sample data of the demo market: the cut-back data folder plus the package
// and table additions install to exactly the plain demo; the CSV sample data
// alone imports to a folder that starts, scans and charts.
#include "demo/packages.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/code_table.h"
#include "data/ex_rights.h"
#include "demo_test_support.h"
#include "install/install_file.h"
#include "install/package.h"
#include "install/package_install.h"
#include "install/tables.h"
#include "support/cli_runner.h"

namespace {

namespace fs = std::filesystem;
using demotest::ReadBytes;

demo::DemoOptions SmallOptions(const std::string& root) {
    demo::DemoOptions o;
    o.dataRoot = root;
    o.stocks = 60;
    o.years = 1;
    o.endDate = 20240628;
    return o;
}

std::vector<uint32_t> Words(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = base::ReadU32(bytes.data() + i * 4);
    return words;
}

// The day files below a data root by relative path, with their bytes.
std::map<std::string, std::vector<uint8_t>> DayFiles(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const char* folder : {"MKDAY/SH", "MKDAY/SZ"})
        for (const auto& entry : fs::directory_iterator(root + "/" + folder))
            files[std::string(folder) + "/" + entry.path().filename().string()] =
                ReadBytes(entry.path().string());
    return files;
}

// The code table's records, header left out (its date is the table's own).
std::vector<uint8_t> CodeRecords(const std::string& root) {
    auto bytes = ReadBytes(root + "/MKDAT/MKCODE.DAT");
    const size_t header = data::kCodeHeaderWords * 4;
    return bytes.size() > header ? std::vector<uint8_t>(bytes.begin() + header, bytes.end())
                                 : std::vector<uint8_t>{};
}

// Every code's ex-rights events as (date, bonus, dividend, rights, price).
std::map<uint32_t, std::vector<std::array<float, 5>>> Events(const std::string& root) {
    const auto bytes = ReadBytes(root + "/MKDAT/MKCQ.DAT");
    const data::ExRightsTable table(bytes);
    std::map<uint32_t, std::vector<std::array<float, 5>>> events;
    for (uint32_t code = 1; code < 1'000'000; ++code) {
        const size_t entry = table.FindEntry(code);
        for (uint32_t k = 0; entry != 0 && k < table.EventCount(entry); ++k) {
            const auto e = table.EventAt(entry, k);
            events[code].push_back(
                {static_cast<float>(e.date), e.bonus, e.dividend, e.rights, e.rightsPrice});
        }
    }
    return events;
}

class DemoPackages : public ::testing::Test {
protected:
    std::string Cut() const { return dir.Path() + "/cut"; }
    std::string Plain() const { return dir.Path() + "/plain"; }
    std::string Packages() const { return dir.Path() + "/packages"; }
    void WriteBoth() {
        auto written = demo::WriteDemoPackages(SmallOptions(Cut()), Packages(), nullptr);
        ASSERT_TRUE(written.ok()) << written.error();
        summary = *written;
        ASSERT_TRUE(demo::WriteDemoMarket(SmallOptions(Plain())).ok());
    }

    fixture::TempDir dir;
    demo::PackagesSummary summary;
};

// The example pictures are drawn when the caller is called: every day of
// the market, up to its end, is still in the data folder then.
TEST_F(DemoPackages, TheCallerSeesTheWholeMarketBeforeTheCut) {
    int calls = 0;
    uint32_t lastDate = 0;
    auto written = demo::WriteDemoPackages(SmallOptions(Cut()), Packages(), nullptr, [&] {
        ++calls;
        lastDate = demotest::ReadDayFile(Cut() + "/MKDAY/SH/999999.day", true).bars.back().date;
    });
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(lastDate, 20240628u);
    EXPECT_EQ(demotest::ReadDayFile(Cut() + "/MKDAY/SH/999999.day", true).bars.back().date,
              written->cutDate);
}

TEST_F(DemoPackages, TheCutFolderHoldsOnlyTheMarketUpToTheCutDate) {
    WriteBoth();
    // 20 trading days before 20240628 (the Dragon Boat holiday, 10 June, falls inside).
    EXPECT_EQ(summary.firstDate, 20240531u);
    EXPECT_EQ(summary.cutDate, 20240530u);
    EXPECT_EQ(summary.packageName, "DAY20240531-20240628.TXT");
    ASSERT_GE(summary.newListings, 1u);  // the options are chosen to have one
    for (const auto& [path, bytes] : DayFiles(Cut())) {
        const uint32_t code = static_cast<uint32_t>(std::stoul(fs::path(path).stem().string()));
        const auto file = demotest::ReadDayFile(Cut() + "/" + path, data::IsIndexCode(code));
        ASSERT_FALSE(file.bars.empty()) << path;
        EXPECT_EQ(file.bars.back().date, summary.cutDate) << path;
    }
    const auto codes = demotest::ReadCodeTable(Cut() + "/MKDAT/MKCODE.DAT");
    const auto plainCodes = demotest::ReadCodeTable(Plain() + "/MKDAT/MKCODE.DAT");
    EXPECT_EQ(codes.date, summary.cutDate);
    EXPECT_EQ(codes.count + summary.newListings, plainCodes.count);
    EXPECT_EQ(DayFiles(Cut()).size() + summary.newListings, DayFiles(Plain()).size());
    for (const auto& [code, events] : Events(Cut()))
        for (const auto& e : events) EXPECT_LE(e[0], static_cast<float>(summary.cutDate)) << code;
}

TEST_F(DemoPackages, InstallingThePackageAndAdditionsGivesThePlainDemo) {
    WriteBoth();
    // The package: stock blocks short, index blocks long.
    const auto words = Words(ReadBytes(Packages() + "/" + summary.packageName));
    install::PackageReader reader(words);
    size_t blocks = 0;
    while (auto block = reader.Next()) {
        ++blocks;
        EXPECT_EQ(block->form, data::IsIndexCode(block->code) ? install::BlockForm::Long
                                                              : install::BlockForm::Short)
            << block->code;
    }
    EXPECT_TRUE(reader.Problems().empty());
    EXPECT_EQ(blocks, summary.blocks);

    data::Workspace workspace;
    data::MarketState market;
    ASSERT_TRUE(install::LoadInstallTables(workspace, Cut(), market).ok());
    install::InstallProgress progress;
    const auto report = install::InstallPackageImage(market.paths, words, progress, {});
    EXPECT_TRUE(report.problems.empty());
    EXPECT_EQ(report.created, summary.newListings);
    for (const char* name : {"CODEADD.TXT", "CQADD.TXT"}) {
        const std::string path = Packages() + "/" + name;
        // Newer than the cut folder's tables: taken without forcing.
        const auto installed = install::InstallTableFile(
            workspace, market, path, *install::KindByName(path), install::DateRule::OnlyNewer);
        EXPECT_FALSE(installed.refusal) << name << ": " << installed.refusal->text;
        EXPECT_TRUE(installed.merge.problems.empty()) << name;
    }
    EXPECT_GE(summary.exRightsEvents, 1u);

    const auto cut = DayFiles(Cut());
    const auto plain = DayFiles(Plain());
    ASSERT_EQ(cut.size(), plain.size());
    for (const auto& [path, bytes] : plain) {
        ASSERT_TRUE(cut.count(path)) << path;
        EXPECT_TRUE(cut.at(path) == bytes) << path << " differs from the plain demo";
    }
    EXPECT_EQ(CodeRecords(Cut()), CodeRecords(Plain()));
    EXPECT_EQ(Events(Cut()), Events(Plain()));
    for (const char* table : {"/MKDAT/BKLIB.TXT", "/MKDAT/DEMOD.TXT"})
        EXPECT_EQ(ReadBytes(Cut() + table), ReadBytes(Plain() + table)) << table;
}

TEST_F(DemoPackages, AFolderOfOtherFilesIsRefusedAndEarlierSampleDataReplaced) {
    fs::create_directories(Packages());
    { std::ofstream(Packages() + "/notes.txt") << "mine"; }
    auto refused = demo::WriteDemoPackages(SmallOptions(Cut()), Packages(), nullptr);
    ASSERT_FALSE(refused.ok());
    EXPECT_FALSE(fs::exists(Cut()));  // nothing written anywhere
    EXPECT_TRUE(fs::exists(Packages() + "/notes.txt"));

    fs::remove(Packages() + "/notes.txt");
    ASSERT_TRUE(demo::WriteDemoPackages(SmallOptions(Cut()), Packages(), nullptr).ok());
    { std::ofstream(Packages() + "/csv/999998.csv") << "stale"; }
    ASSERT_TRUE(demo::WriteDemoPackages(SmallOptions(Cut()), Packages(), nullptr).ok());
    EXPECT_FALSE(fs::exists(Packages() + "/csv/999998.csv"));
}

TEST_F(DemoPackages, TheCsvSampleDataAloneImportsToAFolderThatStartsScansAndCharts) {
    const auto run = [&](const std::string& arguments) {
        return fixture::RunCli(arguments, dir.Path());
    };
    const auto demoRun = run("demo --data '" + Cut() + "' --packages '" + Packages() +
                             "' --stocks 60 --years 1 --end 20240628");
    ASSERT_EQ(demoRun.exitCode, 0) << demoRun.err;
    EXPECT_NE(demoRun.out.find("DAY20240531-20240628.TXT"), std::string::npos) << demoRun.out;
    ASSERT_TRUE(demo::WriteDemoMarket(SmallOptions(Plain())).ok());

    const std::string root = dir.Path() + "/imported";
    const std::string data = "--data '" + root + "'";
    const std::string from = Packages() + "/";
    for (const std::string& source :
         {"--csv '" + from + "csv' --names '" + from + "names.csv'",
          "--sectors '" + from + "sectors.csv'", "--exrights '" + from + "exrights.csv'"}) {
        const auto imported = run("import " + data + " " + source);
        ASSERT_EQ(imported.exitCode, 0) << source << ": " << imported.out << imported.err;
    }
    // CSV carries the exact values: the day files are the demo's, byte for byte.
    EXPECT_EQ(DayFiles(root), DayFiles(Plain()));
    EXPECT_EQ(CodeRecords(root), CodeRecords(Plain()));
    EXPECT_EQ(Events(root), Events(Plain()));

    const auto summaryRun = run("summary " + data);
    EXPECT_EQ(summaryRun.exitCode, 0) << summaryRun.err;
    const auto scan = run("scan " + data + " --type 1 --threshold 5 --market all --json");
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_NE(scan.out.find("\"sectors\": [{"), std::string::npos) << scan.out;
    const std::string png = dir.Path() + "/600000.png";
    const auto chart = run("chart " + data + " --code 600000 --png '" + png + "'");
    EXPECT_EQ(chart.exitCode, 0) << chart.err;
    EXPECT_GT(base::FileSize(png), 0);
}

}  // namespace
