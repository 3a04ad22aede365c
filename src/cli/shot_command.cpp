// bkqy-cli shot: the real main window started offscreen on a data root and
// saved as a PNG, as it looks after start-up or after a scan.
#include <QLineEdit>

#include <string>

#include "cli/offscreen_window.h"
#include "cli/values.h"

namespace cli {
namespace {

// The scan as a user runs it: the market or list, the scan type, the
// threshold typed into its boxes, then 板块扫描; the window shows the result.
bool RunScanInWindow(app::CMainDlg& window, const Invocation& in) {
    if (in.Has("list")) {
        if (!window.Run([&](auto& c) { return c.LoadCandidateList(in.Text("list")); })) return false;
    } else {
        const picking::CandidateMarket market = in.Market().value_or(picking::CandidateMarket::All);
        window.Run([&](auto& c) { c.ChooseMarket(market); });
    }
    const sectors::ScanType type = in.Type();
    const int32_t threshold = in.Threshold().value_or(StartThreshold(type));
    using screen::ControlId;
    auto edit = [&](ControlId id, const std::string& text) {
        static_cast<QLineEdit*>(window.Control(id))->setText(QString::fromStdString(text));
    };
    if (type == sectors::ScanType::Fund) {
        edit(ControlId::FundThreshold, std::to_string(threshold));
    } else {
        const bool hot = type == sectors::ScanType::Hot;
        const std::string hundredths = std::to_string(100 + threshold % 100).substr(1);
        edit(hot ? ControlId::HotWhole : ControlId::FallWhole, std::to_string(threshold / 100));
        edit(hot ? ControlId::HotHundredths : ControlId::FallHundredths, hundredths);
    }
    window.Run([&](auto& c) { c.ChooseScanType(type); });
    if (!window.Run([](auto& c) { return c.StartScan(); })) return false;
    window.Run([](auto& c) { c.WaitForScan(); });
    return true;
}

}  // namespace

int RunShotCommand(const Invocation& in) {
    for (const char* option : {"threshold", "market", "list"})
        if (in.Has(option) && !in.Has("type"))
            return in.Fail(Exit::Usage, "--" + std::string(option) + " 要与 --type 一起给出");
    OffscreenWindow offscreen(in);
    if (!offscreen.Start()) return static_cast<int>(Exit::Refused);
    if (in.Has("type") && !RunScanInWindow(offscreen.Window(), in))
        return static_cast<int>(Exit::Refused);
    return offscreen.SavePng();
}

}  // namespace cli
