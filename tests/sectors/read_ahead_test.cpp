// The scan of a demo market with its day files read ahead on helper threads,
// or served from the tails earlier scans kept, and read file by file: every
// result must be the same, byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
#include "picking/kept_tails.h"
#include "sectors/scan.h"
#include "support/cli_runner.h"
#include "support/fixture_market.h"

namespace {

struct DemoScan {
    fixture::TempDir dir;
    data::Workspace workspace;
    data::MarketState state;
    std::unique_ptr<data::CodeTable> codes;
    picking::MarketInputs inputs;
    sectors::SectorLibrary library;
    std::vector<uint32_t> candidates;

    DemoScan() {
        const std::string root = dir.Path() + "/market";
        const auto made = fixture::RunCli(
            "demo --data '" + root + "' --stocks 300 --years 2 --end 20261204", dir.Path());
        EXPECT_EQ(made.exitCode, 0) << made.err;
        base::RecordingPrompter prompter;
        EXPECT_EQ(data::RunStartup(workspace, root, prompter, 0, state),
                  data::StartupOutcome::Ready);
        codes = std::make_unique<data::CodeTable>(workspace.CodeTableRegion());
        inputs = picking::MarketInputsOf(workspace, state, *codes);
        library = sectors::SectorLibrary(
            workspace.Bytes(data::BufferId::SectorLibrary).first(state.sectorLibraryBytes));
        candidates = picking::SelectCandidates(*codes, picking::CandidateMarket::All);
    }

    sectors::ScanOutcome Scan(sectors::ScanType type, int32_t threshold, uint32_t cutoff,
                              std::optional<unsigned> readAhead,
                              picking::KeptTails* kept = nullptr, uint64_t* filesRead = nullptr,
                              picking::CandidateMarket market = picking::CandidateMarket::All) {
        sectors::SectorScan scan;
        scan.SetReadAhead(readAhead);
        scan.SetKeptTails(kept);
        sectors::ScanSettings settings{type, threshold,
                                       sectors::RankWeights::FromLibrary(state.sectorHeader)};
        std::vector<picking::PendingMessage> messages;
        const auto results = scan.Run(inputs, library, settings,
                                      picking::SelectCandidates(*codes, market), cutoff, messages);
        if (filesRead) *filesRead = results.filesRead;
        return scan.Outcome();
    }
};

void ExpectSameScan(const sectors::ScanOutcome& a, const sectors::ScanOutcome& b) {
    EXPECT_EQ(a.referenceDate, b.referenceDate);
    EXPECT_EQ(a.selected, b.selected);
    ASSERT_EQ(a.ranking.sectors.size(), b.ranking.sectors.size());
    for (size_t i = 0; i < a.ranking.sectors.size(); ++i) {
        EXPECT_EQ(a.ranking.sectors[i].number, b.ranking.sectors[i].number);
        EXPECT_EQ(a.ranking.sectors[i].score, b.ranking.sectors[i].score);
    }
    EXPECT_TRUE(a.result == b.result);
}

TEST(ScanReadAhead, ResultsAreTheSameWithAndWithoutHelperThreads) {
    DemoScan demo;
    ASSERT_GT(demo.candidates.size(), 250u);
    const struct {
        sectors::ScanType type;
        int32_t threshold;
    } runs[] = {{sectors::ScanType::Hot, 300}, {sectors::ScanType::Fall, 200},
                {sectors::ScanType::Fund, 50}};
    size_t selectedTotal = 0;
    for (uint32_t cutoff : {data::kNoSimulationCutoff, 20260615u}) {
        for (const auto& run : runs) {
            SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(run.type) << " cut-off "
                                            << cutoff);
            const auto plain = demo.Scan(run.type, run.threshold, cutoff, std::nullopt);
            selectedTotal += plain.selected.size();
            for (unsigned threads : {1u, 3u}) {
                ExpectSameScan(demo.Scan(run.type, run.threshold, cutoff, threads), plain);
            }
        }
    }
    EXPECT_GT(selectedTotal, 20u);  // the comparison had movers to compare
}

TEST(ScanReadAhead, ScansServedFromKeptTailsAreTheScansOfTheFiles) {
    DemoScan demo;
    picking::KeptTails kept;
    using sectors::ScanType;
    using Market = picking::CandidateMarket;
    const struct {
        ScanType type;
        int32_t threshold;
        uint32_t cutoff;
        Market market;
        bool fromMemory;  // every candidate's tail is kept already
    } runs[] = {
        {ScanType::Hot, 300, data::kNoSimulationCutoff, Market::Shenzhen, false},
        {ScanType::Fall, 200, data::kNoSimulationCutoff, Market::Shenzhen, true},
        {ScanType::Hot, 300, data::kNoSimulationCutoff, Market::All, false},  // Shanghai is new
        {ScanType::Fund, 50, data::kNoSimulationCutoff, Market::Shanghai, true},
        {ScanType::Hot, 150, 20261110, Market::All, true},  // within the kept tails
        {ScanType::Fall, 100, 20260615, Market::All, false},  // beyond them
        {ScanType::Hot, 300, data::kNoSimulationCutoff, Market::ChiNext, true},
        {ScanType::Hot, 500, 20260701, Market::All, true},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(run.type) << " cut-off "
                                        << run.cutoff << " market "
                                        << static_cast<int>(run.market));
        uint64_t filesRead = 0;
        const auto served = demo.Scan(run.type, run.threshold, run.cutoff, 2u, &kept, &filesRead,
                                      run.market);
        ExpectSameScan(served,
                       demo.Scan(run.type, run.threshold, run.cutoff, std::nullopt, nullptr,
                                 nullptr, run.market));
        if (run.fromMemory) EXPECT_EQ(filesRead, 0u);
        else EXPECT_GT(filesRead, 50u);
    }
}

}  // namespace
