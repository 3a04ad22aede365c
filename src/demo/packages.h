// Sample data for the install and import paths, made from the demo market:
// the data folder as the market stood some trading days before its end, the
// day-data package and table additions that bring it up to date, and the
// whole market again as a terminal's vipdoc tree and as CSV files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/result.h"
#include "demo/demo_market.h"

namespace demo {

// The trading days the package carries.
inline constexpr size_t kPackageTradingDays = 20;

// Marks a folder of sample data, so that writing it again may replace it.
inline constexpr const char* kPackagesMarkerFile = ".bkqy-demo-packages";

struct PackagesSummary {
    uint32_t cutDate = 0;    // the last trading day the data folder holds
    uint32_t firstDate = 0;  // the package's trading days
    uint32_t lastDate = 0;
    std::string packageName;        // DAY<first>-<last>.TXT
    uint32_t blocks = 0;            // securities in the package
    uint32_t newListings = 0;       // stocks first traded in the package's days
    uint32_t exRightsEvents = 0;    // events of those days, in CQADD.TXT
    uint32_t securities = 0;        // written to the vipdoc tree and as CSV
    uint32_t saturatedVolumes = 0;  // vipdoc volumes held at the 32-bit maximum
};

// Writes the demo market of the options and then cuts its data folder back
// to the market as it stood kPackageTradingDays trading days before the end.
// Into packagesDir go: the day-data package of those days, CODEADD.TXT (the
// codes listed in them), CQADD.TXT (their ex-rights events), and the whole
// final market as vipdoc/sh|sz/lday/*.day, csv/<code>.csv, names.csv,
// sectors.csv and exrights.csv. Installing the package and the two text files
// into the data folder gives the day files, code-table records and ex-rights
// events of the plain demo market. packagesDir must be new, empty or earlier
// sample data. `whole`, when given, is called once the whole market is
// written, before it is cut back (the example pictures are drawn from it).
base::Result<PackagesSummary> WriteDemoPackages(const DemoOptions& options,
                                                const std::string& packagesDir,
                                                DemoSummary* market,
                                                const std::function<void()>& whole = {});

}  // namespace demo
