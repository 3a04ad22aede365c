// bkqy-cli demo: writes a demo market into a data folder.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/args.h"
#include "demo/boards.h"
#include "demo/demo_market.h"
#include "demo/packages.h"

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

void PrintPackages(const demo::PackagesSummary& p, const std::string& folder) {
    std::printf("  data folder   cut back to %u\n", p.cutDate);
    std::printf("  package       %s/%s: %u .. %u, %u securities, %u new listings, %u ex-rights "
                "events\n",
                folder.c_str(), p.packageName.c_str(), p.firstDate, p.lastDate, p.blocks,
                p.newListings, p.exRightsEvents);
    std::printf("  sample data   %u securities as vipdoc/ and csv/, names.csv, sectors.csv, "
                "exrights.csv\n",
                p.securities);
    if (p.saturatedVolumes > 0)
        std::printf("  note          %u vipdoc volumes exceed 32 bits of shares and were held at "
                    "the maximum\n",
                    p.saturatedVolumes);
}

}  // namespace

int RunDemoCommand(const Args& args) {
    demo::DemoOptions options;
    std::string unknown;
    if (!args.OnlyKnown({"data", "stocks", "years", "end", "seed", "packages"}, &unknown))
        return Fail(unknown);
    auto root = args.Get("data");
    if (!root || root->empty()) return Fail("--data DIR is required");
    options.dataRoot = *root;
    std::string error;
    if (!ReadNumber(args, "stocks", UINT32_MAX, options.stocks, error) ||
        !ReadNumber(args, "years", UINT32_MAX, options.years, error) ||
        !ReadNumber(args, "end", UINT32_MAX, options.endDate, error) ||
        !ReadNumber(args, "seed", UINT64_MAX, options.seed, error))
        return Fail(error);

    const auto packagesDir = args.Get("packages");
    if (packagesDir && packagesDir->empty()) return Fail("--packages needs a folder");

    const auto started = std::chrono::steady_clock::now();
    demo::DemoSummary s;
    std::optional<demo::PackagesSummary> packages;
    if (packagesDir) {
        auto result = demo::WriteDemoPackages(options, *packagesDir, &s);
        if (!result) {
            std::fprintf(stderr, "bkqy-cli demo: %s\n", result.error().c_str());
            return 1;
        }
        packages = *result;
    } else {
        auto result = demo::WriteDemoMarket(options);
        if (!result) {
            std::fprintf(stderr, "bkqy-cli demo: %s\n", result.error().c_str());
            return 1;
        }
        s = *result;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

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
    if (packages) PrintPackages(*packages, *packagesDir);
    std::printf("  elapsed       %.2f s\n", seconds);
    return 0;
}

}  // namespace cli
