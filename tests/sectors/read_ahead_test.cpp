// The scan of a demo market with its day files read ahead on helper threads
// and without: every result must be the same, byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/startup.h"
#include "picking/candidates.h"
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
                              std::optional<unsigned> readAhead) {
        sectors::SectorScan scan;
        scan.SetReadAhead(readAhead);
        sectors::ScanSettings settings{type, threshold,
                                       sectors::RankWeights::FromLibrary(state.sectorHeader)};
        std::vector<picking::PendingMessage> messages;
        scan.Run(inputs, library, settings, candidates, cutoff, messages);
        return scan.Outcome();
    }
};

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
                const auto ahead = demo.Scan(run.type, run.threshold, cutoff, threads);
                EXPECT_EQ(ahead.referenceDate, plain.referenceDate);
                EXPECT_EQ(ahead.selected, plain.selected);
                ASSERT_EQ(ahead.ranking.sectors.size(), plain.ranking.sectors.size());
                for (size_t i = 0; i < plain.ranking.sectors.size(); ++i) {
                    EXPECT_EQ(ahead.ranking.sectors[i].number, plain.ranking.sectors[i].number);
                    EXPECT_EQ(ahead.ranking.sectors[i].score, plain.ranking.sectors[i].score);
                }
                EXPECT_TRUE(ahead.result == plain.result);
            }
        }
    }
    EXPECT_GT(selectedTotal, 20u);  // the comparison had movers to compare
}

}  // namespace
