// End to end: what scan, pick, summary and estimate print on a small demo
// market stays exactly what it was when the table below was recorded. Work
// that only makes the commands faster (start-up, ex-rights lookups, tails
// read ahead or kept) must leave every byte of every result alone.
//
// The table holds a 64-bit FNV-1a hash and the length of each command's
// output. After a deliberate change of an output or of the demo market, run
// the test with BKQY_PRINT_RESULT_HASHES=1 to print the new table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/fixture_market.h"

namespace {

struct Recorded {
    const char* arguments;  // the command line; --data ROOT goes after its first word
    uint64_t hash;
    size_t length;
};

// clang-format off
const Recorded kRecorded[] = {
    {"scan --type 1 --threshold 3 --market sh --json", 0xc55d05891ddebfc8ull, 21512},
    {"scan --type 1 --threshold 3 --market sz --json", 0x8ba5472f96b5fa25ull, 12698},
    {"scan --type 1 --threshold 3 --market cy --json", 0xe31b87fb4acbe94bull, 12887},
    {"scan --type 1 --threshold 3 --market all --json", 0xcc8a582413e3277bull, 38724},
    {"scan --type 2 --threshold 30 --market sh --json", 0xa57990f7e429c30cull, 20778},
    {"scan --type 2 --threshold 30 --market sz --json", 0x77ae4eec51681d53ull, 11436},
    {"scan --type 2 --threshold 30 --market cy --json", 0x493cc576197821c0ull, 14560},
    {"scan --type 2 --threshold 30 --market all --json", 0x1c28a6ab21e46185ull, 38465},
    {"scan --type 3 --threshold 2.5 --market sh --json", 0x4f59c7417c9d0e69ull, 17349},
    {"scan --type 3 --threshold 2.5 --market sz --json", 0x16db433ff8077a72ull, 10481},
    {"scan --type 3 --threshold 2.5 --market cy --json", 0x5506ac59af05c723ull, 14084},
    {"scan --type 3 --threshold 2.5 --market all --json", 0xd0da429e28c1b311ull, 34376},
    {"scan --type 1 --threshold 7.5 --market all", 0xb1f61256d35f2b1dull, 6533},
    {"scan --type 1 --threshold 3 --market sh --date 20260615 --json", 0x622b310684ed7ef8ull, 13769},
    {"scan --type 1 --threshold 3 --market sz --date 20260615 --json", 0x7245b2f7681b8df1ull, 5649},
    {"scan --type 1 --threshold 3 --market cy --date 20260615 --json", 0xaba321ed939fbdc8ull, 12664},
    {"scan --type 1 --threshold 3 --market all --date 20260615 --json", 0xa34cf878c2a30934ull, 26786},
    {"scan --type 2 --threshold 30 --market sh --date 20260615 --json", 0x25c4c6c27876e2dbull, 12558},
    {"scan --type 2 --threshold 30 --market sz --date 20260615 --json", 0xb5e8920ae3fc031aull, 6593},
    {"scan --type 2 --threshold 30 --market cy --date 20260615 --json", 0x945c9ea3758d8f04ull, 11629},
    {"scan --type 2 --threshold 30 --market all --date 20260615 --json", 0x633112167e806b46ull, 25650},
    {"scan --type 3 --threshold 2.5 --market sh --date 20260615 --json", 0x64f1692850d2452aull, 24947},
    {"scan --type 3 --threshold 2.5 --market sz --date 20260615 --json", 0x561fa7ab8de5eeafull, 16110},
    {"scan --type 3 --threshold 2.5 --market cy --date 20260615 --json", 0xcbf8ec0c77751a0dull, 16886},
    {"scan --type 3 --threshold 2.5 --market all --date 20260615 --json", 0x0aecdae3cf956a54ull, 47731},
    {"scan --type 1 --threshold 7.5 --market all --date 20260615", 0x5cef8a345407a341ull, 5302},
    {"pick --method 'a3(1,5.00,9.00);' --market all --json", 0x671e2da45694f458ull, 4627},
    {"pick --method 'a6(5,1.50,2.00);' --market all --json", 0xa881b2984430ddf0ull, 1789},
    {"pick --method 'a9(5,30);' --market all --json", 0x505677d677bab6aeull, 824},
    {"pick --method 'b1(20);' --market all --json", 0x9c0617852039cfefull, 332},
    {"pick --method 'b9(5,10,20,30,60);' --market all --json", 0x09115dc2c37ec759ull, 4169},
    {"pick --method 'b18(6,60.00,100.00);' --market all --json", 0x399dbf11b27e6bedull, 7887},
    {"pick --method 'b21(9,3,3,0.00,20.00);' --market all --json", 0x59968237c384e7b7ull, 2130},
    {"pick --method 'b26(12,26,9);' --market all --json", 0x9d4527dc4ae13a7eull, 406},
    {"pick --method 'b2(14);' --market all --json", 0x14e39c2ac36e4bfcull, 747},
    {"pick --method 'b7(1,1.00,2.00);' --market all --json", 0xd7fc57292eea11d2ull, 4752},
    {"pick --method 'a3(1,5.00,9.00);' --market all --date 20260615 --json", 0x570628affe036dbfull, 3301},
    {"pick --method 'a6(5,1.50,2.00);' --market all --date 20260615 --json", 0x25c2d9b200c496fbull, 2226},
    {"pick --method 'a9(5,30);' --market all --date 20260615 --json", 0x843e016b56a4503cull, 616},
    {"pick --method 'b1(20);' --market all --date 20260615 --json", 0x8cd5c914c3e47b13ull, 332},
    {"pick --method 'b9(5,10,20,30,60);' --market all --date 20260615 --json", 0xc5f397332d5ded60ull, 4847},
    {"pick --method 'b18(6,60.00,100.00);' --market all --date 20260615 --json", 0x4f3664b30b9c6b18ull, 6410},
    {"pick --method 'b21(9,3,3,0.00,20.00);' --market all --date 20260615 --json", 0x6d3ba91589815448ull, 3719},
    {"pick --method 'b26(12,26,9);' --market all --date 20260615 --json", 0xcd343cf92d5dcf1bull, 334},
    {"pick --method 'b2(14);' --market all --date 20260615 --json", 0xa8836c90070b7339ull, 678},
    {"pick --method 'b7(1,1.00,2.00);' --market all --date 20260615 --json", 0x268c2ea5073a562bull, 3618},
    {"summary", 0x974fd9c8cbbe5e9full, 362},
    {"estimate --code 600000 --json", 0xd02d5b66f20bd5ceull, 820},
    {"estimate --code 600000 --date 20260615 --json", 0xc9156c76366d95acull, 819},
    {"estimate --code 000012 --json", 0xce9ea566e8d5642cull, 820},
    {"estimate --code 000012 --date 20260615 --json", 0xbe1cfa9cc619db6cull, 819},
    {"estimate --code 300001 --json", 0x39d79f564b1687aeull, 819},
    {"estimate --code 300001 --date 20260615 --json", 0x883746f16b273595ull, 819},
};
// clang-format on

uint64_t Fnv1a(const std::string& text) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

// The summary's data folder and timings change from run to run.
std::string WithoutVaryingLines(const std::string& text) {
    std::istringstream in(text);
    std::string out, line;
    while (std::getline(in, line))
        if (line.rfind("数据目录", 0) != 0 && line.rfind("耗时", 0) != 0) out += line + "\n";
    return out;
}

TEST(ResultsUnchanged, ScanPickSummaryAndEstimatePrintWhatWasRecorded) {
    fixture::TempDir dir;
    const std::string root = dir.Path() + "/market";
    const auto made = fixture::RunCli(
        "demo --data '" + root + "' --stocks 300 --years 2 --end 20261204", dir.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const bool print = std::getenv("BKQY_PRINT_RESULT_HASHES") != nullptr;
    for (const Recorded& r : kRecorded) {
        const std::string arguments = r.arguments;
        const size_t space = std::min(arguments.find(' '), arguments.size());
        const auto run = fixture::RunCli(arguments.substr(0, space) + " --data '" + root + "'" +
                                             arguments.substr(space),
                                         dir.Path());
        const std::string out =
            arguments.rfind("summary", 0) == 0 ? WithoutVaryingLines(run.out) : run.out;
        if (print) {
            std::printf("    {\"%s\", 0x%016llxull, %zu},\n", r.arguments,
                        static_cast<unsigned long long>(Fnv1a(out)), out.size());
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << r.arguments << "\n" << run.err;
        EXPECT_EQ(out.size(), r.length) << r.arguments;
        EXPECT_EQ(Fnv1a(out), r.hash) << r.arguments << "\n" << out.substr(0, 2000);
    }
}

}  // namespace
