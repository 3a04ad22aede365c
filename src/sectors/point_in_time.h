// Point in time, proven: a scan of a day must not see anything after it. The
// check scans the day on the data root as it is and on a copy whose day files
// end on that day, and tells every difference between the two outcomes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"
#include "sectors/scan.h"

namespace sectors {

// Copies a data root into `copy` (which must not exist yet): MKDAT whole,
// every day file of MKDAY/SH and MKDAY/SZ with its records dated after
// `date` left out.
base::Status CopyCutAt(const std::string& root, const std::string& copy, uint32_t date);

// Every difference between two scans that should be the same, in words:
// the reference day, the selected stocks, the ranking (numbers, hits,
// scores, the limit counts) and the result bytes. Empty when equal.
std::vector<std::string> CompareScans(const ScanOutcome& full, const ScanOutcome& cut);

// A scan of a data root on a day, by whatever code is being checked.
using RootScan = std::function<bool(const std::string& root, uint32_t date, ScanOutcome& out)>;

struct PointInTimeResult {
    bool ran = false;  // both scans ran
    std::vector<std::string> differences;
};

// Scans `date` on `root` and on a cut copy made in `scratch` (removed after).
PointInTimeResult CheckPointInTime(const std::string& root, const std::string& scratch,
                                   uint32_t date, const RootScan& scan);

}  // namespace sectors
