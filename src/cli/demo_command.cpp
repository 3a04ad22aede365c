// bkqy-cli demo: writes a demo market into a data folder.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/args.h"
#include "demo/boards.h"
#include "demo/demo_market.h"

namespace cli {
namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "bkqy-cli demo: %s\n", message.c_str());
    return 2;
}

// Reads an optional numeric option into `value`; false (with `error` set) when malformed.
template <class T>
bool ReadNumber(const Args& args, const char* name, uint64_t max, T& value, std::string& error) {
    auto number = args.GetNumber(name, &error);
    if (!error.empty()) return false;
    if (!number) return true;
    if (*number > max) {
        error = std::string("--") + name + " is too large: " + std::to_string(*number);
        return false;
    }
    value = static_cast<T>(*number);
    return true;
}

}  // namespace

int RunDemoCommand(const Args& args) {
    demo::DemoOptions options;
    std::string unknown;
    if (!args.OnlyKnown({"data", "stocks", "years", "end", "seed"}, &unknown)) return Fail(unknown);
    auto root = args.Get("data");
    if (!root || root->empty()) return Fail("--data DIR is required");
    options.dataRoot = *root;
    std::string error;
    if (!ReadNumber(args, "stocks", UINT32_MAX, options.stocks, error) ||
        !ReadNumber(args, "years", UINT32_MAX, options.years, error) ||
        !ReadNumber(args, "end", UINT32_MAX, options.endDate, error) ||
        !ReadNumber(args, "seed", UINT64_MAX, options.seed, error))
        return Fail(error);

    const auto started = std::chrono::steady_clock::now();
    auto result = demo::WriteDemoMarket(options);
    if (!result) {
        std::fprintf(stderr, "bkqy-cli demo: %s\n", result.error().c_str());
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const demo::DemoSummary& s = *result;

    std::printf("demo market written to %s\n", options.dataRoot.c_str());
    std::printf("  trading days  %u .. %u (%u days)\n", s.firstDate, s.lastDate, s.tradingDays);
    std::printf("  stocks        %u (", s.stocks);
    for (demo::Board b : demo::kAllBoards)
        std::printf("%s%s %u", b == demo::Board::ShMain ? "" : ", ", demo::BoardName(b),
                    s.boardStocks[static_cast<size_t>(b)]);
    std::printf("); ST %u, new listings %u, %llu bars\n", s.stStocks, s.newListings,
                static_cast<unsigned long long>(s.stockBars));
    std::printf("  indices       999999, 399001, 399006\n");
    std::printf(
        "  sectors       %u (new concepts %u, new industries %u, new regions %u, concepts %u, "
        "industries %u, regions %u)\n",
        s.sectors, s.sectorsByFamily[1], s.sectorsByFamily[2], s.sectorsByFamily[3],
        s.sectorsByFamily[4], s.sectorsByFamily[5], s.sectorsByFamily[6]);
    std::printf("  ex-rights     %u events for %u stocks\n", s.exRightsEvents, s.exRightsStocks);
    std::printf("  written       %u files, %.1f MB\n", s.filesWritten,
                static_cast<double>(s.bytesWritten) / 1e6);
    std::printf("  elapsed       %.2f s\n", seconds);
    return 0;
}

}  // namespace cli
