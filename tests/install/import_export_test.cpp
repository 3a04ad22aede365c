// The writers of the import formats, read back by the import's own readers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "install/csv_export.h"
#include "install/csv_text.h"
#include "install/vipdoc.h"
#include "support/fixture_market.h"

namespace {

TEST(ImportExport, FloatsAreWrittenInTheFewestDigitsThatReadBack) {
    EXPECT_EQ(install::FloatText(1.2f), "1.2");
    EXPECT_EQ(install::FloatText(8.05f), "8.05");
    EXPECT_EQ(install::FloatText(3.0f), "3");
    EXPECT_EQ(install::FloatText(0.0f), "0");
    EXPECT_EQ(install::FloatText(1e-7f), "0.0000001");  // never an exponent
    EXPECT_EQ(install::FloatText(16777217.0f), "16777216");
    for (float value : {0.1f, 1.45f, 7.57f, 0.35f, 123.456f, 1e-7f, 3.4e10f})
        EXPECT_EQ(install::ParseDecimalFloat(install::FloatText(value)), value) << value;
}

TEST(ImportExport, CsvFieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(install::CsvField("浦发银行"), "浦发银行");
    EXPECT_EQ(install::CsvField("A,B"), "\"A,B\"");
    EXPECT_EQ(install::CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(install::CsvField(" x"), "\" x\"");
    const std::string line = install::CsvField("A,B") + "," + install::CsvField("say \"hi\"") +
                             "," + install::CsvField(" x");
    EXPECT_EQ(install::SplitCsvFields(line), (std::vector<std::string>{"A,B", "say \"hi\"", " x"}));
}

TEST(ImportExport, VipdocFilesAreNamedAndFilledAsTerminalsWriteThem) {
    EXPECT_EQ(install::VipdocRelativePath(999999), "sh/lday/sh000001.day");
    EXPECT_EQ(install::VipdocRelativePath(600000), "sh/lday/sh600000.day");
    EXPECT_EQ(install::VipdocRelativePath(1), "sz/lday/sz000001.day");
    EXPECT_EQ(install::VipdocRelativePath(399006), "sz/lday/sz399006.day");

    // 42,949,672 lots are 4,294,967,200 shares and fit; 50,000,000 lots are
    // 5e9 shares and are held at 4,294,967,295.
    const std::vector<data::Bar> bars = {
        {20240102, 300000, 301000, 299000, 300500, 1234, 42'949'672},
        {20240103, 300500, 302000, 300000, 301000, 5678, 50'000'000}};
    size_t saturated = 0;
    const auto bytes = install::EncodeVipdocFile(bars, &saturated);
    EXPECT_EQ(saturated, 1u);
    fixture::TempDir dir;
    const std::string path = dir.Path() + "/sh000001.day";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::vector<install::SourceBar> read;
    ASSERT_TRUE(install::ReadVipdocBars(path, 0, read).ok());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].volume, 42'949'672u);
    EXPECT_EQ(read[0].amount, 1234u);
    EXPECT_EQ(read[1].close, 301000u);
    EXPECT_EQ(read[1].volume, 42'949'673u);  // 4,294,967,295 shares, half up
}

TEST(ImportExport, SectorsCsvListsEveryMembershipOfTheLibrary) {
    const std::vector<data::SectorRecord> sectors = {{4, 1, fixture::Gbk("芯片"), {63, 688981}},
                                                     {7, 1, fixture::Gbk("无类"), {1}},
                                                     {2, 3, fixture::Gbk("光模块"), {300308}}};
    auto library = data::EncodeSectorLibrary(20240105, {}, sectors);
    EXPECT_EQ(install::SectorsCsvText(library),
              "family,sector,code\n概念,芯片,000063\n概念,芯片,688981\n新行业,光模块,300308\n");
    // A record cut short ends the walk instead of reading past the bytes.
    library.resize(library.size() - 2);
    EXPECT_EQ(install::SectorsCsvText(library),
              "family,sector,code\n概念,芯片,000063\n概念,芯片,688981\n");
}

}  // namespace
