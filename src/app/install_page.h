// The data-install page of CSetupDlg (mode 9): 浏览 chooses a file, 安装
// installs it and 返回 closes. A day-data package is merged on a worker
// thread, block by block, with a progress bar and 终止; the table files
// (MKCODE.TXT, CODEADD.TXT, BKLIB.TXT, MKCQ.TXT, CQADD.TXT) are small and go
// in at once on the dialog's thread. The worker touches day files only; the
// page draws from its counters when the dialog's timer polls.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "app/page_parts.h"
#include "base/prompter.h"
#include "data/startup.h"
#include "data/workspace.h"
#include "install/install_file.h"
#include "install/package_install.h"
#include "screen/data_changes.h"
#include "ui/canvas.h"

namespace app {

// What the data pages work on: the window's tables and its busy flag, which
// is set while any data command runs (a scan, an install or an import) so
// that none starts while another one is using the data.
struct DataContext {
    data::Workspace& workspace;
    data::MarketState& market;
    base::Prompter& prompter;
    std::atomic<bool>& busy;
};

using screen::DataChanges;

// The texts the pages put on their status line.
inline constexpr std::string_view kBusyRefusal = "另一项数据任务正在运行，请等它结束后再开始";

// The progress bar of the data pages: a grey frame 352 pixels wide and the
// blue fill of `pixels` (0..350) inside it.
inline constexpr int kProgressBarWidth = 352;
inline constexpr int kProgressBarHeight = 16;
inline constexpr ui::Rgb kProgressFrame{128, 128, 128};
inline constexpr ui::Rgb kProgressFill{0, 0, 250};
inline constexpr ui::Rgb kRefusalRed{255, 0, 0};
void DrawProgressBar(ui::Canvas& canvas, int left, int top, int pixels);

// A UTF-8 text as GBK, cut to a width in the 12-pixel font with "..." where
// the cut is: the end kept (a path's file name) or the start (a message).
enum class KeepPart { Start, End };
std::string FitToWidth(std::string_view utf8, int width, KeepPart keep);

// A line of the page: cleared to the panel's beige, then the text cut to the
// line's width.
void DrawStatusLine(ui::Canvas& canvas, const PageRect& line, ui::Rgb colour,
                    std::string_view utf8);

// One run of a page's work on its own thread. The result is handed over on
// the page's thread once Done() says the work has returned; destroying the
// worker waits for the work (callers ask it to stop first).
template <typename Result>
class PageWorker {
public:
    template <typename Work>
    void Start(Work work) {
        m_done.store(false);
        m_thread = std::jthread([this, work = std::move(work)]() mutable {
            m_result = work();
            m_done.store(true, std::memory_order_release);
        });
    }
    bool Running() const { return m_thread.joinable(); }
    bool Done() const { return m_done.load(std::memory_order_acquire); }
    // Waits for the work and hands its result over.
    Result Take() {
        if (m_thread.joinable()) m_thread.join();
        return std::exchange(m_result, Result{});
    }
    // The page goes while its work runs, with nothing left to show it on:
    // the work is asked to stop and waited for, and the busy flag let go.
    void Abandon(std::atomic<bool>& stopRequested, std::atomic<bool>& busy) {
        if (!Running()) return;
        stopRequested = true;
        Take();
        busy = false;
    }

private:
    Result m_result{};
    std::atomic<bool> m_done{false};
    std::jthread m_thread;  // last: joined before the result goes
};

class InstallPage {
public:
    // Draws on `canvas` (the dialog's, 516 x 293).
    InstallPage(DataContext context, ui::Canvas& canvas);
    // Stops a running install and waits for it.
    ~InstallPage();
    InstallPage(const InstallPage&) = delete;
    InstallPage& operator=(const InstallPage&) = delete;

    void Draw();
    // A left click: 浏览, 安装 (终止 while running) or 返回.
    PageClick Click(int x, int y);
    // The dialog's timer: moves the bar and finishes a run whose worker is
    // done. True when the canvas changed.
    bool Poll();
    // 终止, or closing the dialog: asks the worker to stop after its block,
    // waits for it and finishes the run.
    void StopAndWait();
    // Waits for a running install to end by itself and finishes it.
    void WaitForInstall();

    void Browse();
    void Install();
    bool Running() const { return m_worker.Running(); }
    const std::string& ChosenPath() const { return m_path; }
    const std::string& StatusText() const { return m_status; }
    const install::PackageReport& LastReport() const { return m_report; }
    const DataChanges& Changes() const { return m_changes; }

    static PageRect BrowseRect();
    static PageRect InstallRect();
    static PageRect ReturnRect();
    static PageRect PathRect();
    static PageRect StatusRect();
    static PageRect ProblemRect();
    static int BarLeft();
    static int BarTop();

private:
    struct RunResult {
        std::optional<install::Refusal> refusal;
        install::PackageReport report;
    };

    void InstallTable(install::FileKind kind);
    void StartPackage();
    void FinishRun();
    void ShowStatus(std::string text, ui::Rgb colour);
    void DrawPath();
    void DrawInstallButton();
    void DrawProgress(int pixels);
    void DrawProblems();

    DataContext m_context;
    ui::Canvas& m_canvas;
    std::string m_path;
    std::string m_status;
    ui::Rgb m_statusColour{};
    int m_barPixels = 0;
    uint32_t m_shownCode = 0;
    DataChanges m_changes;
    install::PackageReport m_report;
    install::InstallProgress m_progress;
    PageWorker<RunResult> m_worker;  // last: gone before what it uses
};

}  // namespace app
