// bkqy-cli shot: the real main window started offscreen on a data root and
// saved as a PNG, as it looks after start-up.
#include <QLineEdit>

#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"
#include "cli/args.h"
#include "cli/offscreen_window.h"

namespace cli {
namespace {

// The scan as a user runs it: the market or list, the scan type, the
// threshold typed into its boxes, then 板块扫描; the window shows the result.
bool RunScanInWindow(app::CMainDlg& window, const Args& args) {
    const std::string type = args.Get("scan-type").value_or("1");
    const std::string threshold = args.Get("threshold").value_or("");
    if (type != "1" && type != "2" && type != "3") {
        std::fprintf(stderr, "bkqy-cli shot: --scan-type is 1, 2 or 3\n");
        return false;
    }
    if (auto list = args.Get("list")) {
        if (!window.Run([&](auto& c) { return c.LoadCandidateList(*list); })) return false;
    } else {
        const std::string market = args.Get("market").value_or("all");
        const picking::CandidateMarket set = market == "sh"   ? picking::CandidateMarket::Shanghai
                                             : market == "sz" ? picking::CandidateMarket::Shenzhen
                                             : market == "cy" ? picking::CandidateMarket::ChiNext
                                                              : picking::CandidateMarket::All;
        window.Run([&](auto& c) { c.ChooseMarket(set); });
    }
    const auto scanType = static_cast<sectors::ScanType>(type[0] - '0');
    using screen::ControlId;
    auto edit = [&](ControlId id) { return static_cast<QLineEdit*>(window.Control(id)); };
    const bool hot = scanType == sectors::ScanType::Hot;
    if (scanType == sectors::ScanType::Fund) {
        edit(ControlId::FundThreshold)->setText(QString::fromStdString(threshold));
    } else {
        const size_t point = threshold.find('.');
        const std::string whole = threshold.substr(0, point);
        const std::string decimal = point == std::string::npos ? "0" : threshold.substr(point + 1);
        edit(hot ? ControlId::HotWhole : ControlId::FallWhole)->setText(QString::fromStdString(whole));
        edit(hot ? ControlId::HotHundredths : ControlId::FallHundredths)
            ->setText(QString::fromStdString(decimal));
    }
    window.Run([&](auto& c) { c.ChooseScanType(scanType); });
    if (!window.Run([](auto& c) { return c.StartScan(); })) return false;
    window.Run([](auto& c) { c.WaitForScan(); });
    return true;
}

}  // namespace

int RunShotCommand(const Args& args) {
    std::string unknown;
    if (!args.OnlyKnown({"data", "png", "scan-type", "threshold", "market", "list", "scale"},
                        &unknown) ||
        !OffscreenWindow::UseScale(args.Get("scale"), &unknown)) {
        std::fprintf(stderr, "bkqy-cli shot: %s\n", unknown.c_str());
        return 2;
    }
    auto root = args.Get("data");
    auto png = args.Get("png");
    if (!root || root->empty() || !png || png->empty()) {
        std::fprintf(stderr, "bkqy-cli shot: --data DIR and --png FILE are required\n");
        return 2;
    }
    OffscreenWindow offscreen(*root);
    app::CMainDlg& window = offscreen.Window();
    if (!window.Initialise()) return 1;
    if (args.Has("scan-type") && !RunScanInWindow(window, args)) return 1;
    return offscreen.SavePng("shot", *png);
}

}  // namespace cli
