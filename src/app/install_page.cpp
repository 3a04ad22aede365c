#include "app/install_page.h"

#include <algorithm>
#include <cstdio>

#include "base/gbk.h"
#include "ui/drawing.h"
#include "ui/fonts.h"

namespace app {
namespace {

constexpr int kTextFont = 12;

constexpr std::string_view kHint = "(点击“浏览”，找到需安装的数据文件，然后点击“安装”)";
constexpr std::string_view kNoPath = "先点击“浏览”查找需安装的文件";
constexpr std::string_view kFileFilter = "Files (*.*) |*.* ||";
constexpr std::string_view kInstalling = "安装";
constexpr std::string_view kStopped = "安装终止";
constexpr std::string_view kDone = "安装完成";

constexpr int kHintX = 40, kHintY = 30;
constexpr PageRect kPath{40, 58, 404, 80};
constexpr PageRect kBrowse{414, 58, 470, 80};
constexpr PageRect kStatus{82, 102, 476, 116};
constexpr int kBarLeft = 82, kBarTop = 124;
constexpr PageRect kProblem{40, 150, 496, 164};
constexpr PageRect kInstall{300, 256, 360, 276};
constexpr PageRect kReturn{420, 256, 480, 276};

}  // namespace

void DrawProgressBar(ui::Canvas& canvas, int left, int top, int pixels) {
    const int fill = std::clamp(pixels, 0, install::kInstallBarRange);
    ui::DrawBox(canvas, left, top, left + kProgressBarWidth, top + kProgressBarHeight, kProgressFrame,
                ui::kWhite);
    if (fill > 0)
        ui::FillBox(canvas, left + 1, top + 1, left + 1 + fill, top + kProgressBarHeight - 1,
                    kProgressFill);
}

std::string FitToWidth(std::string_view utf8, int width, KeepPart keep) {
    const std::string gbk = base::Utf8ToGbk(utf8);
    const int total = ui::TextWidth(kTextFont, gbk);
    if (total <= width) return gbk;
    constexpr std::string_view kDots = "...";
    const int room = width - ui::TextWidth(kTextFont, kDots);
    const int half = ui::HalfAdvance(kTextFont);
    // Whole characters only: the cells of the fixed-pitch layout.
    const std::vector<ui::GlyphCell> cells = ui::LayoutGlyphs(*ui::FindFont(kTextFont), gbk);
    if (keep == KeepPart::Start) {
        size_t end = 0;
        for (const ui::GlyphCell& cell : cells) {
            if (cell.x + static_cast<int>(cell.length) * half > room) break;
            end = cell.offset + cell.length;
        }
        return gbk.substr(0, end) + std::string(kDots);
    }
    for (const ui::GlyphCell& cell : cells)
        if (total - cell.x <= room) return std::string(kDots) + gbk.substr(cell.offset);
    return std::string(kDots);
}

void DrawStatusLine(ui::Canvas& canvas, const PageRect& line, ui::Rgb colour,
                    std::string_view utf8) {
    ui::FillBox(canvas, line.left, line.top, line.right, line.bottom, ui::kPanelBeige);
    ui::DrawTextAt(canvas, kTextFont, line.left, line.top, colour,
                   FitToWidth(utf8, line.right - line.left, KeepPart::Start));
}

InstallPage::InstallPage(DataContext context, ui::Canvas& canvas)
    : m_context(context), m_canvas(canvas), m_changes(DataChanges::From(context.market)) {
    Draw();
}

InstallPage::~InstallPage() { m_worker.Abandon(m_progress.stopRequested, m_context.busy); }

PageRect InstallPage::BrowseRect() { return kBrowse; }
PageRect InstallPage::InstallRect() { return kInstall; }
PageRect InstallPage::ReturnRect() { return kReturn; }
PageRect InstallPage::PathRect() { return kPath; }
PageRect InstallPage::StatusRect() { return kStatus; }
PageRect InstallPage::ProblemRect() { return kProblem; }
int InstallPage::BarLeft() { return kBarLeft; }
int InstallPage::BarTop() { return kBarTop; }

void InstallPage::Draw() {
    DrawGbk(m_canvas, kTextFont, kHintX, kHintY, ui::kTextDarkBlue, kHint);
    DrawPath();
    DrawPlainButton(m_canvas, kBrowse, "浏览");
    DrawInstallButton();
    DrawPlainButton(m_canvas, kReturn, "返回");
    DrawStatusLine(m_canvas, kStatus, m_statusColour, m_status);
    DrawProgress(m_barPixels);
    DrawProblems();
}

void InstallPage::DrawPath() {
    ui::DrawSunkenField(m_canvas, kPath.left, kPath.top, kPath.right, kPath.bottom,
                        ui::kTextDarkBlue);
    const int width = kPath.right - kPath.left - 8;
    ui::DrawTextAt(m_canvas, kTextFont, kPath.left + 4, kPath.top + 5, ui::kBlack,
                   FitToWidth(m_path, width, KeepPart::End));
}

void InstallPage::DrawInstallButton() {
    DrawPlainButton(m_canvas, kInstall, Running() ? "终止" : "安装");
}

void InstallPage::DrawProgress(int pixels) {
    m_barPixels = pixels;
    DrawProgressBar(m_canvas, kBarLeft, kBarTop, pixels);
}

void InstallPage::DrawProblems() {
    std::string line;
    if (!m_report.skippedCodes.empty()) {
        line = "未能安装" + std::to_string(m_report.skippedCodes.size()) + "只";
        if (!m_report.problems.empty()) line += "：" + m_report.problems.front();
    }
    DrawStatusLine(m_canvas, kProblem, kRefusalRed, line);
}

void InstallPage::ShowStatus(std::string text, ui::Rgb colour) {
    m_status = std::move(text);
    m_statusColour = colour;
    DrawStatusLine(m_canvas, kStatus, colour, m_status);
}

PageClick InstallPage::Click(int x, int y) {
    if (kReturn.Holds(x, y)) {
        StopAndWait();
        return PageClick::Close;
    }
    if (kInstall.Holds(x, y)) {
        if (Running())
            m_progress.stopRequested = true;  // the worker ends after its block
        else
            Install();
    } else if (kBrowse.Holds(x, y) && !Running()) {
        Browse();
    }
    return PageClick::Stay;
}

void InstallPage::Browse() {
    auto chosen = m_context.prompter.ChooseFileWithFilter(std::string(kFileFilter));
    if (!chosen) return;
    m_path = *chosen;
    DrawPath();
}

void InstallPage::Install() {
    if (Running()) return;
    if (m_path.empty()) {
        ShowStatus(std::string(kNoPath), kRefusalRed);
        return;
    }
    // A scan or import reads and writes the same files.
    if (m_context.busy.exchange(true)) {
        ShowStatus(std::string(kBusyRefusal), kRefusalRed);
        return;
    }
    if (auto kind = install::KindByName(m_path)) {
        InstallTable(*kind);
        m_context.busy = false;
        return;
    }
    StartPackage();
}

void InstallPage::InstallTable(install::FileKind kind) {
    const install::TableFileReport report = install::InstallTableFile(
        m_context.workspace, m_context.market, m_path, kind, install::DateRule::OnlyNewer);
    if (report.refusal) {
        m_context.prompter.ShowMessage(report.refusal->text, report.refusal->caption);
        return;
    }
    m_changes.changed = true;
    m_path.clear();
    DrawPath();
    ShowStatus(std::string(kDone), ui::kTextDarkBlue);
}

void InstallPage::StartPackage() {
    m_progress.stopRequested = false;
    m_progress.blocksDone = 0;
    m_progress.blocksTotal = 0;
    m_progress.currentCode = 0;
    m_shownCode = 0;
    m_report = {};
    DrawProblems();
    DrawProgress(0);
    ShowStatus({}, ui::kTextDarkBlue);
    const install::IndexBookkeeping bookkeeping{install::DownloadMode::Daily, m_changes.latestDate,
                                                m_changes.firstIndexDate};
    m_worker.Start([this, path = m_path, paths = m_context.market.paths, bookkeeping] {
        RunResult result;
        install::LoadedPackage loaded = install::LoadPackage(path);
        if (loaded.refusal) {
            result.refusal = std::move(loaded.refusal);
            return result;
        }
        result.report =
            install::InstallPackageImage(paths, loaded.file.words, m_progress, bookkeeping);
        return result;
    });
    DrawInstallButton();
}

bool InstallPage::Poll() {
    if (!Running()) return false;
    if (m_worker.Done()) {
        FinishRun();
        return true;
    }
    bool changed = false;
    const uint32_t code = m_progress.currentCode.load();
    if (code != 0 && code != m_shownCode) {
        m_shownCode = code;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06u", code % 1000000u);
        ShowStatus(std::string(kInstalling) + digits, ui::kTextDarkBlue);
        changed = true;
    }
    const int pixels =
        install::InstallBarPixels(m_progress.blocksDone.load(), m_progress.blocksTotal.load());
    if (pixels != m_barPixels) {
        DrawProgress(pixels);
        changed = true;
    }
    return changed;
}

void InstallPage::StopAndWait() {
    if (!Running()) return;
    m_progress.stopRequested = true;
    FinishRun();
}

void InstallPage::WaitForInstall() {
    if (Running()) FinishRun();
}

void InstallPage::FinishRun() {
    RunResult result = m_worker.Take();
    m_context.busy = false;
    DrawInstallButton();
    if (result.refusal) {
        DrawProgress(0);
        ShowStatus({}, ui::kTextDarkBlue);
        m_context.prompter.ShowMessage(result.refusal->text, result.refusal->caption);
        return;
    }
    m_report = std::move(result.report);
    const install::IndexBookkeeping& after = m_report.bookkeeping;
    m_changes.Merge({m_report.created + m_report.merged > 0, after.latestDate, after.firstIndexDate});
    if (m_report.stopped) {
        DrawProgress(install::InstallBarPixels(m_progress.blocksDone.load(),
                                               m_progress.blocksTotal.load()));
        ShowStatus(std::string(kStopped), ui::kTextDarkBlue);
    } else {
        DrawProgress(install::kInstallBarRange);
        ShowStatus(std::string(kDone), ui::kTextDarkBlue);
        m_path.clear();
        DrawPath();
    }
    DrawProblems();
}

}  // namespace app
