// bkqy-cli selfcheck --pit: the scans of a day see nothing after it. Each of
// the three scans of the day runs on the data root and on a copy whose day
// files end on that day; any difference fails the check.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_prompter.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/sector_setup.h"
#include "cli/values.h"
#include "sectors/point_in_time.h"

namespace cli {
namespace {

// The scans checked: each type at a threshold that selects a fair number.
struct CheckedScan {
    sectors::ScanType type;
    int32_t threshold;
};
constexpr CheckedScan kCheckedScans[] = {
    {sectors::ScanType::Hot, 500}, {sectors::ScanType::Fund, 50}, {sectors::ScanType::Fall, 500}};

struct Check {
    CheckedScan scan;
    sectors::PointInTimeResult result;
};

// A fresh folder for the cut copy, removed by the check.
std::optional<std::string> ScratchFolder() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "bkqy-pit-XXXXXX").string();
    if (error || !::mkdtemp(pattern.data())) return std::nullopt;
    return pattern;
}

void PrintJson(uint32_t date, const std::vector<Check>& checks, bool passed) {
    JsonWriter json;
    json.BeginObject().Field("date", date).Field("passed", passed).Key("checks").BeginArray();
    for (const Check& c : checks)
        json.BeginObject()
            .Field("type", static_cast<int>(c.scan.type))
            .Field("type_name", ScanTypeName(c.scan.type))
            .Key("threshold")
            .Number(ScanPercentText(c.scan.type, c.scan.threshold))
            .Field("threshold_raw", c.scan.threshold)
            .Field("equal", c.result.ran && c.result.differences.empty())
            .Field("differences", c.result.differences)
            .EndObject();
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintText(uint32_t date, const std::vector<Check>& checks, bool passed) {
    std::string text = "时点检查 " + std::to_string(date) + "：完整数据与截至这一天的副本\n";
    for (const Check& c : checks) {
        text += "  " + std::string(ScanTypeName(c.scan.type)) + "≥" +
                sectors::ThresholdText(c.scan.type, c.scan.threshold) + "%  ";
        text += c.result.differences.empty() ? "相同\n" : "不同\n";
        for (const std::string& d : c.result.differences) text += "    " + d + "\n";
    }
    text += passed ? "通过\n" : "未通过：扫描看到了这一天以后的数据\n";
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunSelfcheckCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    const uint32_t date = *in.Date();
    const auto scratch = ScratchFolder();
    if (!scratch) return in.Fail(Exit::Refused, "无法建立临时文件夹");
    std::vector<Check> checks;
    bool passed = true;
    for (const CheckedScan& checked : kCheckedScans) {
        // The scan command's own start and run, on either root.
        const sectors::RootScan scan = [&](const std::string& root, uint32_t day,
                                           sectors::ScanOutcome& out) {
            auto setup = std::make_unique<SectorSetup>();
            setup->settings = {checked.type, checked.threshold, {}};
            if (!StartSectorCommand(in, prompter, *setup, "date", root)) return false;
            (void)day;  // the date option is the simulation date of both roots
            auto run = std::make_unique<sectors::SectorScan>();
            std::vector<picking::PendingMessage> messages;
            run->Run(setup->inputs, setup->library, setup->settings, setup->candidates.codes,
                     setup->Cutoff(), messages);
            out = run->Outcome();
            return out.referenceDate != 0;
        };
        Check check{checked, sectors::CheckPointInTime(in.Text("data"), *scratch, date, scan)};
        if (!check.result.ran) {
            std::error_code error;
            std::filesystem::remove_all(*scratch, error);
            return in.Fail(Exit::Refused, "无法在数据目录和它的副本上扫描 " + std::to_string(date));
        }
        passed = passed && check.result.differences.empty();
        checks.push_back(std::move(check));
    }
    std::error_code error;
    std::filesystem::remove_all(*scratch, error);
    PrintIn(in.Format(), [&] { PrintJson(date, checks, passed); }, [&] { PrintJson(date, checks, passed); },
            [&] { PrintText(date, checks, passed); });
    return static_cast<int>(passed ? Exit::Ok : Exit::Refused);
}

}  // namespace cli
