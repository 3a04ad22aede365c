#include "picking/candidates.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "base/gbk.h"
#include "base/recording_prompter.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "support/fixture_market.h"

namespace {

using picking::CandidateMarket;

// A code table image in memory, in the order given.
class Codes {
public:
    explicit Codes(const std::vector<uint32_t>& codes) : m_region(data::kCodeTableWords, 0) {
        m_region[data::kCodeCountWord] = static_cast<uint32_t>(codes.size());
        for (size_t i = 0; i < codes.size(); ++i)
            m_region[data::CodeTable::RecordOffset(i)] = codes[i];
    }
    data::CodeTable Table() { return data::CodeTable(m_region); }

private:
    std::vector<uint32_t> m_region;
};

std::vector<uint32_t> Select(Codes& codes, CandidateMarket market) {
    return picking::SelectCandidates(codes.Table(), market);
}

TEST(Candidates, MarketsFromTheCodeTable) {
    Codes codes({1, 2, 300001, 300002, 399001, 399006, 600000, 600001, 688001, 999998, 999999});
    EXPECT_EQ(Select(codes, CandidateMarket::Shanghai),
              (std::vector<uint32_t>{600000, 600001, 688001}));
    EXPECT_EQ(Select(codes, CandidateMarket::Shenzhen), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(Select(codes, CandidateMarket::ChiNext), (std::vector<uint32_t>{300001, 300002}));
    EXPECT_EQ(Select(codes, CandidateMarket::All),
              (std::vector<uint32_t>{1, 2, 300001, 300002, 600000, 600001, 688001}));
}

TEST(Candidates, OddCodeTables) {
    // Without 300001 and 600000 the markets still split by code: 创板 is
    // empty, 深市 keeps to Shenzhen codes and 沪市 starts at the first
    // Shanghai code.
    Codes odd({1, 2, 399001, 600004, 999999});
    EXPECT_TRUE(Select(odd, CandidateMarket::ChiNext).empty());
    EXPECT_EQ(Select(odd, CandidateMarket::Shenzhen), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(Select(odd, CandidateMarket::Shanghai), (std::vector<uint32_t>{600004}));
    Codes empty({});
    EXPECT_TRUE(Select(empty, CandidateMarket::All).empty());
    // Every code listed twice: each stock is still one candidate.
    Codes twice({1, 1, 600000, 600000, 600001, 600001});
    EXPECT_EQ(Select(twice, CandidateMarket::All), (std::vector<uint32_t>{1, 600000, 600001}));

    // More codes than the candidate list holds.
    std::vector<uint32_t> many;
    for (uint32_t c = 1; c <= 7000; ++c) many.push_back(c);
    Codes big(many);
    auto all = Select(big, CandidateMarket::All);
    ASSERT_EQ(all.size(), picking::kCandidateCapacity);
    EXPECT_EQ(all.back(), 6498u);
}

class ListFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& gbkText) {
        m_market.WriteRaw("XG/" + name, std::span(reinterpret_cast<const uint8_t*>(gbkText.data()),
                                                  gbkText.size()));
        return m_market.Root() + "/XG/" + name;
    }
    static std::string Gbk(const std::string& utf8) { return base::Utf8ToGbk(utf8); }

    fixture::FixtureMarket m_market;
};

TEST_F(ListFiles, ReadsTheDeclaredCodes) {
    // Either header of this program's list files; names and signs are skipped.
    const std::string path = Write(
        "ZX240101-001.TXT", Gbk("擎宇软件自选股共3个:\r\n600000 浦发银行\r\n000001 平安银行\r\n"
                                "300750 宁德时代\r\n"));
    EXPECT_EQ(picking::ReadCandidateFile(path), (std::vector<uint32_t>{600000, 1, 300750}));
    const std::string picked =
        Write("XG240101-001.TXT", Gbk("  擎宇选出股共2个:\r\n600000 浦发 +7.50\r\n1 x -1.00\r\n"));
    EXPECT_EQ(picking::ReadCandidateFile(picked), (std::vector<uint32_t>{600000, 1}));

    base::RecordingPrompter prompter;
    prompter.files.push_back(path);
    picking::CandidateSet set;
    EXPECT_EQ(picking::LoadCandidateFile(m_market.Root(), prompter, set),
              picking::LoadOutcome::Loaded);
    EXPECT_EQ(prompter.records.at(0).text, m_market.Root() + "/XG/*.TXT");
    EXPECT_EQ(set.codes.size(), 3u);
    EXPECT_EQ(set.fileName, "ZX240101-001.TXT");
    EXPECT_EQ(set.market, CandidateMarket::File);
    // Cancelling the dialog changes nothing.
    EXPECT_EQ(picking::LoadCandidateFile(m_market.Root(), prompter, set),
              picking::LoadOutcome::Cancelled);
    EXPECT_EQ(set.codes.size(), 3u);
}

TEST_F(ListFiles, RefusesForeignAndBrokenFiles) {
    const auto refused = [&](const std::string& path,
                             std::string message = "非擎宇文件，或者文件已被破坏。") {
        base::RecordingPrompter prompter;
        picking::CandidateSet set;
        set.codes = {600000};
        EXPECT_EQ(picking::LoadCandidatePath(path, prompter, set), picking::LoadOutcome::Refused)
            << path;
        EXPECT_TRUE(set.codes.empty());
        ASSERT_EQ(prompter.Messages().size(), 1u);
        EXPECT_EQ(prompter.Messages()[0].text, message);
        EXPECT_EQ(prompter.Messages()[0].caption, "提示");
    };
    refused(Write("a.TXT", Gbk("自选股共1个:\r\n600000\r\n")));
    refused(Write("b.TXT", "600000\r\n600001\r\n"));
    // Five declared, three present.
    refused(Write("c.TXT", Gbk("擎宇选出股共5个:\r\n600000\r\n600001\r\n600002\r\n")));
    // The last line lacks its line break before the code.
    refused(Write("d.TXT", Gbk("擎宇选出股共2个:\r\n600000 600001")));
    refused(Write("e.TXT", Gbk("擎宇")));
    // What cannot be read is named as such, not as a damaged file.
    refused(m_market.Root() + "/XG/missing.TXT", "文件不存在：" + m_market.Root() + "/XG/missing.TXT");
    refused(m_market.Root() + "/XG", "文件不是普通文件：" + m_market.Root() + "/XG");
    const std::string pipe = m_market.Root() + "/XG/pipe.TXT";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    refused(pipe, "文件不是普通文件：" + pipe);
}

TEST_F(ListFiles, ACodeNamedTwiceIsOneCandidate) {
    std::string text = Gbk("擎宇选出股共52个:");
    for (int i = 0; i < 50; ++i) text += "\r\n600144";
    text += "\r\n600000\r\n600144";
    auto codes = picking::ReadCandidateFile(Write("twice.TXT", text));
    ASSERT_TRUE(codes.has_value());
    EXPECT_EQ(*codes, (std::vector<uint32_t>{600144, 600000}));
}

TEST_F(ListFiles, ReadsNoMoreThanTheCandidateList) {
    std::string text = Gbk("擎宇选出股共7000个:");
    for (int i = 0; i < 7000; ++i) text += "\r\n" + std::to_string(600000 + i);
    auto codes = picking::ReadCandidateFile(Write("big.TXT", text));
    ASSERT_TRUE(codes.has_value());
    ASSERT_EQ(codes->size(), picking::kCandidateCapacity);
    EXPECT_EQ(codes->back(), 600000u + 6497u);
    // Only the first 200,000 bytes are read: 6,000 lines of 38 bytes do not fit.
    std::string longLines = Gbk("擎宇选出股共6000个:");
    for (int i = 0; i < 6000; ++i)
        longLines += "\r\n" + std::to_string(600000 + i) + std::string(30, ' ');
    EXPECT_EQ(picking::ReadCandidateFile(Write("long.TXT", longLines)), std::nullopt);
}

}  // namespace
