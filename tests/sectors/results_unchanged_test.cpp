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
    {"scan --type 1 --threshold 3 --market sh --json", 0x0d64dd56736d214aull, 27680},
    {"scan --type 1 --threshold 3 --market sz --json", 0xbf3f5dca487795f0ull, 17034},
    {"scan --type 1 --threshold 3 --market cy --json", 0x0a97142f1555a86full, 16771},
    {"scan --type 1 --threshold 3 --market all --json", 0xf5619786210cda6full, 47390},
    {"scan --type 2 --threshold 30 --market sh --json", 0x66e7bee0eadefacdull, 26497},
    {"scan --type 2 --threshold 30 --market sz --json", 0xfde9a821b4f8320eull, 15441},
    {"scan --type 2 --threshold 30 --market cy --json", 0xba5a7cb07bac9a69ull, 18879},
    {"scan --type 2 --threshold 30 --market all --json", 0xe86924f1ecc0e153ull, 47016},
    {"scan --type 3 --threshold 2.5 --market sh --json", 0x9f3e92a4b5fb42b9ull, 22577},
    {"scan --type 3 --threshold 2.5 --market sz --json", 0x94eebd1a9fc3277aull, 13957},
    {"scan --type 3 --threshold 2.5 --market cy --json", 0x1caf85b1de443ba4ull, 18201},
    {"scan --type 3 --threshold 2.5 --market all --json", 0x46889f468c4bf966ull, 42238},
    {"scan --type 1 --threshold 7.5 --market all", 0xc87f6e44cd4addb5ull, 8189},
    {"scan --type 1 --threshold 3 --market sh --date 20260615 --json", 0xe4ca9a756dfa6081ull, 18034},
    {"scan --type 1 --threshold 3 --market sz --date 20260615 --json", 0x404722de7bd319c0ull, 7776},
    {"scan --type 1 --threshold 3 --market cy --date 20260615 --json", 0x75139fb120465883ull, 16587},
    {"scan --type 1 --threshold 3 --market all --date 20260615 --json", 0xede5fd1b03db19d0ull, 33656},
    {"scan --type 2 --threshold 30 --market sh --date 20260615 --json", 0x187ecaee839239e4ull, 16492},
    {"scan --type 2 --threshold 30 --market sz --date 20260615 --json", 0xb07bb978bfa8d3e3ull, 8984},
    {"scan --type 2 --threshold 30 --market cy --date 20260615 --json", 0xaa8d7c5d25a21d14ull, 15263},
    {"scan --type 2 --threshold 30 --market all --date 20260615 --json", 0x69126d65feb0078bull, 32464},
    {"scan --type 3 --threshold 2.5 --market sh --date 20260615 --json", 0x25307c77eb9fc28aull, 31317},
    {"scan --type 3 --threshold 2.5 --market sz --date 20260615 --json", 0xb18db1235d6b2d5bull, 20676},
    {"scan --type 3 --threshold 2.5 --market cy --date 20260615 --json", 0x92a62ec24d0a3b1cull, 21797},
    {"scan --type 3 --threshold 2.5 --market all --date 20260615 --json", 0x64edb4e3b2c25978ull, 56664},
    {"scan --type 1 --threshold 7.5 --market all --date 20260615", 0x39a3c6f57d077a46ull, 6764},
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
