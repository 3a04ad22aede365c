// The data button's page of CSetupDlg (mode 2). This product has no download
// client, so the page is about the data on this machine: the three history
// entries with their installed state, the way to the install page, and the
// import of day data users already have (a terminal's vipdoc folder, CSV
// exports). An import runs on a worker with a progress bar and 终止; the
// code-table records it brings are merged on the dialog's thread afterwards.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/install_page.h"
#include "install/import.h"

namespace app {

enum class DataPageClick { Stay, Close, OpenInstall };

class DataPage {
public:
    // Draws on `canvas` (the dialog's, 516 x 343).
    DataPage(DataContext context, ui::Canvas& canvas);
    // Stops a running import and waits for it.
    ~DataPage();
    DataPage(const DataPage&) = delete;
    DataPage& operator=(const DataPage&) = delete;

    void Draw();
    // A left click: 数据安装 (the dialog opens the install page), the import
    // buttons, 终止 while an import runs, 返回.
    DataPageClick Click(int x, int y);
    // The dialog's timer; true when the canvas changed.
    bool Poll();
    // 终止 or closing: the import stops after its security and is finished.
    void StopAndWait();
    // Waits for a running import to end by itself and finishes it.
    void WaitForImport();
    // The install page opened from here has closed.
    void AfterInstall(const DataChanges& changes);

    void StartImport(install::ImportSource source, const std::string& path);
    bool Running() const { return m_worker.Running(); }
    const DataContext& Context() const { return m_context; }
    const DataChanges& Changes() const { return m_changes; }
    const std::array<std::string, 4>& HistoryEntries() const { return m_history; }
    const std::string& StatusText() const { return m_status; }
    // The summary of the last import and its first refusals.
    const std::vector<std::string>& ReportLines() const { return m_reportLines; }

    static PageRect InstallRect();
    static PageRect VipdocRect();
    static PageRect CsvFileRect();
    static PageRect CsvFolderRect();
    static PageRect StopRect();
    static PageRect ReturnRect();
    static int BarLeft();
    static int BarTop();
    // Lines of report under the bar.
    static constexpr size_t kReportLines = 5;

private:
    void ReadHistory();
    void DrawHistory();
    void DrawStopButton();
    void DrawReport();
    void ShowStatus(std::string text, ui::Rgb colour);
    void FinishImport();
    void Report(const install::ImportReport& report, const install::CodeImportCounts& counts);

    DataContext m_context;
    ui::Canvas& m_canvas;
    std::array<std::string, 4> m_history;
    std::string m_status;
    ui::Rgb m_statusColour{};
    std::vector<std::string> m_reportLines;
    size_t m_firstRefusalLine = 0;  // lines from here name refused securities
    int m_barPixels = 0;
    DataChanges m_changes;
    install::ImportProgress m_progress;
    PageWorker<install::ImportReport> m_worker;  // last: gone before what it uses
};

}  // namespace app
