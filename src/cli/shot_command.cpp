// bkqy-cli shot: the real main window started offscreen on a data root and
// saved as a PNG, as it looks after start-up or after a scan.
#include <QLineEdit>

#include <string>

#include "cli/offscreen_window.h"
#include "cli/values.h"
#include "picking/catalogue.h"

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

// The page asked for: the picking page with the board and article of a
// condition, or the heat map of 板块轮动 over the scan just made.
std::optional<int> ShowPage(app::CMainDlg& window, const Invocation& in) {
    const std::string page = in.Optional("page").value_or("sector");
    if (page != "sector" && page != "picking" && page != "rotation")
        return in.Fail(Exit::Usage, "--page 只能是 sector、picking 或 rotation");
    if (in.Has("condition") && page != "picking")
        return in.Fail(Exit::Usage, "--condition 要与 --page picking 一起给出");
    if (in.Has("days") && page != "rotation")
        return in.Fail(Exit::Usage, "--days 要与 --page rotation 一起给出");
    if (page == "sector") return std::nullopt;
    if (page == "rotation") {
        window.Run([](auto& c) { c.ShowRotationPage(); });
        if (const auto days = in.Number("days"))
            window.Run([&](auto& c) { c.ChooseRotationSpan(static_cast<int>(*days)); });
        return std::nullopt;
    }
    window.Run([](auto& c) { c.ShowPickingPage(); });
    if (!in.Has("condition")) return std::nullopt;
    const std::string text = in.Text("condition");
    const picking::Condition condition = picking::ReadMethodEntry(text);
    const bool whole = condition.code.number != 0 && condition.code.Text() == text;
    if (!whole || !window.Run([&](auto& c) { return c.OpenCondition(condition.code); }))
        return in.Fail(Exit::Usage, "“" + text + "”不是方法库中的选股条件（bkqy-cli methods 列出全部）");
    return std::nullopt;
}

}  // namespace

int RunShotCommand(const Invocation& in) {
    for (const char* option : {"threshold", "market", "list"})
        if (in.Has(option) && !in.Has("type"))
            return in.Fail(Exit::Usage, "--" + std::string(option) + " 要与 --type 一起给出");
    if (in.Optional("page") == "rotation" && !in.Has("type"))
        return in.Fail(Exit::Usage, "--page rotation 要与 --type 一起给出：板块轮动按这次扫描逐日扫描");
    OffscreenWindow offscreen(in);
    if (!offscreen.Start()) return static_cast<int>(Exit::Refused);
    if (in.Has("type") && !RunScanInWindow(offscreen.Window(), in))
        return static_cast<int>(Exit::Refused);
    if (auto failed = ShowPage(offscreen.Window(), in)) return *failed;
    return offscreen.SavePng();
}

}  // namespace cli
