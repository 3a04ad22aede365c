// End to end: `bkqy-cli scan --json` on a small demo market, checked against
// invariants recomputed here from the day files and the ex-rights table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/ex_rights.h"
#include "data/paths.h"
#include "data/price_limits.h"
#include "sectors/library.h"
#include "sectors/scan.h"

#include "support/cli_runner.h"
#include "support/fixture_market.h"
#include "support/json_value.h"

namespace {

using fixture::CliRun;
using fixture::Json;

Json Parsed(const CliRun& run) {
    auto json = Json::Parse(run.out);
    EXPECT_TRUE(json.has_value()) << run.out.substr(0, 200);
    return json.value_or(Json());
}

// The scratch folder takes what the commands print on stderr.
CliRun Cli(const std::string& args) {
    static fixture::TempDir scratch;
    return fixture::RunCli(args, scratch.Path());
}

// One market per test process: ctest runs the tests of this file side by
// side, and a shared folder would be written by two of them at once.
std::string MarketRoot() {
    static fixture::TempDir dir;
    const std::string root = dir.Path() + "/market";
    if (!base::FileExists(root + "/MKDAT/MKCODE.DAT")) {
        EXPECT_EQ(Cli("demo --data " + root + " --stocks 300 --years 2 --end 20261204").exitCode, 0);
    }
    return root;
}

// The one-day change of a stock to `date`, recomputed from its file.
long long OneDayChange(const std::string& root, const data::ExRightsTable& table, uint32_t code,
                       uint32_t date, bool* newlyListedOk) {
    auto bytes = base::ReadWholeFile(data::DayFilePath(data::BuildDataPaths(root), code), 1 << 20);
    if (!bytes.ok()) return -99999;
    const size_t count = (bytes->size() - 32) / 20;
    size_t k = count;
    while (k > 0 && base::ReadU32(bytes->data() + 32 + 20 * (k - 1)) != date) --k;
    if (k < 2) return -99999;
    const uint8_t* today = bytes->data() + 32 + 20 * (k - 1);
    const uint8_t* before = today - 20;
    *newlyListedOk = k - 1 >= 7;
    const data::Adjuster adj{&table, table.FindEntry(code), data::AdjustMode::Forward};
    const long long c1 =
        data::AdjustPrice(adj, base::ReadU32(today + 8) >> 16, base::ReadU32(today));
    const long long c0 =
        data::AdjustPrice(adj, base::ReadU32(before + 8) >> 16, base::ReadU32(before));
    const long long diff = c1 > c0 ? c1 - c0 : c0 - c1;
    const long long size = (2 * diff * 10000 + c0) / (2 * c0);
    return c1 < c0 ? -size : size;
}

TEST(ScanCommand, HotScanOfTheDemoMarketHoldsItsInvariants) {
    const std::string root = MarketRoot();
    const CliRun run = Cli("scan --data " + root + " --type 1 --threshold 5 --market all --json");
    ASSERT_EQ(run.exitCode, 0);
    const Json j = Parsed(run);
    EXPECT_EQ(j["type"].Int(), 1);
    EXPECT_EQ(j["threshold"].Text(), "5.00");
    EXPECT_EQ(j["threshold_raw"].Int(), 500);
    EXPECT_EQ(j["date"].Int(), 20261204);
    EXPECT_GT(j["candidates"].Int(), 250);
    const auto& sectorsList = j["sectors"].Array();
    ASSERT_FALSE(sectorsList.empty());
    ASSERT_GT(j["ahead_cx"].Int(), 0);
    EXPECT_LE(j["min_cx"].Int(), 10);

    auto table_bytes = base::ReadWholeFile(root + "/MKDAT/MKCQ.DAT", 1'000'000);
    ASSERT_TRUE(table_bytes.ok());
    const data::ExRightsTable table(*table_bytes);
    auto library_bytes = base::ReadWholeFile(root + "/MKDAT/BKLIB.TXT", 299'999);
    ASSERT_TRUE(library_bytes.ok());
    const sectors::SectorLibrary library(*library_bytes);

    const size_t ahead = static_cast<size_t>(j["ahead_cx"].Int());
    long long hitSum = 0;
    std::set<uint32_t> movers;
    for (size_t r = 0; r < sectorsList.size(); ++r) {
        const Json& s = sectorsList[r];
        EXPECT_EQ(s["rank"].Int(), static_cast<long long>(r + 1));
        const auto& stocks = s["stocks"].Array();
        EXPECT_EQ(s["hits"].Int(), static_cast<long long>(stocks.size()));
        hitSum += s["hits"].Int();
        // Scores fall within the qualified sectors and within the others.
        if (r > 0 && r != ahead) {
            EXPECT_LE(s["score"].Int(), sectorsList[r - 1]["score"].Int());
        }
        const uint32_t number = static_cast<uint32_t>(s["number"].Int());
        const uint32_t sectorNumber = (number / 1000) | ((number % 1000) << 8);
        EXPECT_EQ(s["members"].Int(), sectors::SectorMemberCount(library, sectorNumber));
        long long previous = 1 << 30;
        for (const Json& stock : stocks) {
            const uint32_t code = static_cast<uint32_t>(std::stoul(stock["code"].Str()));
            const long long value = stock["value_raw"].Int();
            EXPECT_EQ(stock["value"].Number(), value / 100.0);
            EXPECT_LE(value, previous);
            previous = value;
            bool oldEnough = false;
            EXPECT_EQ(OneDayChange(root, table, code, 20261204, &oldEnough), value) << code;
            EXPECT_TRUE(oldEnough) << code;
            EXPECT_GE(value, 500);
            const auto bounds = sectors::BoundsOf(sectors::ScanType::Hot,
                                                  data::DailyLimitOf(code, 20261204));
            EXPECT_LT(value, bounds.ceiling) << code;
            movers.insert(code);
        }
    }
    if (ahead < sectorsList.size() && sectorsList[ahead - 1]["score"].Int() > 0) {
        EXPECT_LT(sectorsList[ahead]["score"].Int(), sectorsList[ahead - 1]["score"].Int());
    }
    // Every stored hit is one (mover, sector) pair of the library.
    long long pairs = 0;
    sectors::StockSectorList list;
    for (uint32_t code : movers)
        pairs += static_cast<long long>(sectors::FindSectorsOfStock(library, code, list));
    EXPECT_EQ(hitSum, pairs);
    EXPECT_EQ(j["selected_count"].Int(), static_cast<long long>(j["selected"].Size()));
    std::set<uint32_t> selected;
    for (const Json& s : j["selected"].Array())
        selected.insert(static_cast<uint32_t>(std::stoul(s["code"].Str())));
    EXPECT_TRUE(std::includes(selected.begin(), selected.end(), movers.begin(), movers.end()));
}

TEST(ScanCommand, RefusalsAndOtherTypes) {
    const std::string root = MarketRoot();
    EXPECT_NE(Cli("scan --data " + root + " --type 1 --threshold 20 --market all").exitCode, 0);
    EXPECT_NE(Cli("scan --data " + root + " --type 3 --threshold 20.00 --market sh").exitCode, 0);
    EXPECT_NE(Cli("scan --data " + root + " --type 1 --threshold 5 --market all --stock 1").exitCode,
              0);
    EXPECT_NE(
        Cli("scan --data " + root + " --type 1 --threshold 5 --list " + root + "/MKDAT/BKLIB.TXT")
            .exitCode,
        0);
    const CliRun fund =
        Cli("scan --data " + root + " --type 2 --threshold 1000 --market sz --json");
    ASSERT_EQ(fund.exitCode, 0);
    EXPECT_EQ(Parsed(fund)["threshold"].Int(), 1000);
    EXPECT_EQ(Parsed(fund)["threshold_raw"].Int(), 1000);
    const CliRun fall = Cli("scan --data " + root +
                            " --type 3 --threshold 3.5 --market all --date 20261120 --json");
    ASSERT_EQ(fall.exitCode, 0);
    const Json j = Parsed(fall);
    EXPECT_EQ(j["date"].Int(), 20261120);
    auto tableBytes = base::ReadWholeFile(root + "/MKDAT/MKCQ.DAT", 1'000'000);
    ASSERT_TRUE(tableBytes.ok());
    const data::ExRightsTable table(*tableBytes);
    for (const Json& s : j["sectors"].Array()) {
        for (const Json& stock : s["stocks"].Array()) {
            bool unused = false;
            const uint32_t code = static_cast<uint32_t>(std::stoul(stock["code"].Str()));
            EXPECT_EQ(-OneDayChange(root, table, code, 20261120, &unused), stock["value_raw"].Int());
            EXPECT_EQ(stock["value"].Number(), -stock["value_raw"].Int() / 100.0);
            EXPECT_GE(stock["value_raw"].Int(), 350);
        }
    }
    const CliRun estimate = Cli("estimate --data " + root + " --code 600000 --json");
    EXPECT_EQ(estimate.exitCode, 0);
    EXPECT_GE(Parsed(estimate)["top"].Int(), 10);
}

}  // namespace

namespace {

// A sector as both commands print it.
std::string RankLine(const Json& s) {
    return std::to_string(s["rank"].Int()) + " " + std::to_string(s["number"].Int()) + " " +
           s["name"].Str() + " " + std::to_string(s["hits"].Int()) + " " +
           std::to_string(s["score"].Int());
}

std::set<int64_t> TopTen(const Json& day) {
    std::set<int64_t> top;
    for (const Json& s : day["sectors"].Array())
        if (s["rank"].Int() <= 10) top.insert(s["number"].Int());
    return top;
}

}  // namespace

// Every day of a rotation is the scan of that day, and the top-ten change
// follows from its last two days.
TEST(RotationCommand, EachDayIsTheScanOfThatDay) {
    const std::string root = MarketRoot();
    const std::string settings = " --data " + root + " --type 1 --threshold 5 --market all";
    const CliRun run = Cli("rotation" + settings + " --days 3 --to 20261203 --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json j = Parsed(run);
    EXPECT_EQ(j["to"].Int(), 20261203);
    ASSERT_EQ(j["rotation"].Size(), 3u);
    for (const Json& day : j["rotation"].Array()) {
        const Json scan = Parsed(Cli("scan" + settings + " --json --date " +
                                     std::to_string(day["date"].Int())));
        EXPECT_EQ(day["date"].Int(), scan["date"].Int());
        EXPECT_EQ(day["selected_count"].Int(), scan["selected_count"].Int());
        ASSERT_EQ(day["sectors"].Size(), scan["sectors"].Size()) << day["date"].Int();
        for (size_t k = 0; k < scan["sectors"].Size(); ++k)
            EXPECT_EQ(RankLine(day["sectors"][k]), RankLine(scan["sectors"][k]));
    }
    const std::set<int64_t> before = TopTen(j["rotation"][1]), last = TopTen(j["rotation"][2]);
    std::set<int64_t> entered, left;
    for (const Json& s : j["entered"].Array()) entered.insert(s["number"].Int());
    for (const Json& s : j["left"].Array()) left.insert(s["number"].Int());
    for (int64_t n : last) EXPECT_EQ(entered.count(n), before.count(n) ? 0u : 1u) << n;
    for (int64_t n : before) EXPECT_EQ(left.count(n), last.count(n) ? 0u : 1u) << n;

    // Usage: the output is JSON or CSV; the days are bounded.
    EXPECT_EQ(Cli("rotation" + settings + " --days 3").exitCode, 2);
    EXPECT_EQ(Cli("rotation" + settings + " --days 0 --csv").exitCode, 2);
    const CliRun csv = Cli("rotation" + settings + " --days 2 --csv");
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), "date,rank,number,sector,hits,score");
}

TEST(ScorecardCommand, EveryDayIsCountedOrLeftOut) {
    const std::string root = MarketRoot();
    const CliRun run = Cli("scorecard --data " + root +
                           " --type 1 --threshold 5 --market all --from 20261125 --to 20261204"
                           " --top 3 --horizons 1,5 --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json j = Parsed(run);
    const int64_t days = j["days"].Int();
    EXPECT_EQ(days, 8);
    ASSERT_EQ(j["summary"].Size(), 2u);
    // The last day has no day after it; the last five none five days on.
    EXPECT_EQ(j["summary"][0]["left_out"].Int(), 1);
    EXPECT_EQ(j["summary"][1]["left_out"].Int(), 5);
    for (const Json& s : j["summary"].Array())
        EXPECT_LE(s["counted"].Int() + s["left_out"].Int(), days);
    const Json& last = j["daily"][static_cast<size_t>(days - 1)];
    EXPECT_TRUE(last["returns"][0]["later"].IsNull());
    EXPECT_TRUE(last["returns"][0]["excess_pct"].IsNull());
    EXPECT_LE(last["sectors"].Size(), 3u);

    EXPECT_EQ(Cli("scorecard --data " + root +
                  " --type 1 --threshold 5 --market all --from 20261125 --to 20261204"
                  " --horizons 5,1")
                  .exitCode,
              2);
    const CliRun text = Cli("scorecard --data " + root +
                            " --type 1 --threshold 5 --market all --from 20261125 --to 20261204");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("每日超额收益"), std::string::npos);
    EXPECT_NE(text.out.find("2026.12.04  （未满 1 日）"), std::string::npos);
}
