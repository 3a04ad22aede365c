#include "app/data_page.h"

#include <cstdio>

#include "data/day_files.h"
#include "install/day_merge.h"
#include "ui/drawing.h"

namespace app {
namespace {

constexpr int kTextFont = 12;
constexpr int kTitleFont = 14;
constexpr int kLineStep = 16;

constexpr int kTextX = 24, kEntryX = 40;
constexpr int kHistoryTitleY = 18, kFirstEntryY = 38;
constexpr int kLocalTitleY = 108, kNoteY = 128;
constexpr std::string_view kHistoryTitle = "历史数据";
constexpr std::string_view kLocalTitle = "本机数据";
constexpr std::string_view kNote =
    "本版本不含网络下载：数据包用“数据安装”安装，已有的行情数据可直接导入。";

constexpr PageRect kInstall{40, 146, 104, 166};
constexpr PageRect kVipdoc{114, 146, 220, 166};
constexpr PageRect kCsvFile{230, 146, 315, 166};
constexpr PageRect kCsvFolder{325, 146, 424, 166};
constexpr PageRect kStatus{kEntryX, 174, 500, 188};
constexpr int kBarLeft = 82, kBarTop = 192;
constexpr int kFirstReportY = 214;
constexpr PageRect kStop{300, 306, 360, 326};
constexpr PageRect kReturn{420, 306, 480, 326};

constexpr std::string_view kVipdocTitle = "选择通达信的vipdoc文件夹";
constexpr std::string_view kCsvFolderTitle = "选择存放CSV文件的文件夹";
constexpr std::string_view kCsvFilter = "CSV (*.csv) |*.csv |Files (*.*) |*.* ||";

PageRect ReportLine(size_t line) {
    const int top = kFirstReportY + static_cast<int>(line) * kLineStep;
    return {kEntryX, top, 500, top + kLineStep - 2};
}

std::string Count(size_t n) { return std::to_string(n); }

std::string RefusalLine(const install::ImportRefusal& refusal) {
    if (refusal.code == 0) return refusal.reason;
    return data::CodeText(refusal.code) + "：" + refusal.reason;
}

}  // namespace

DataPage::DataPage(DataContext context, ui::Canvas& canvas)
    : m_context(context), m_canvas(canvas), m_changes(DataChanges::From(context.market)) {
    ReadHistory();
    Draw();
}

DataPage::~DataPage() { m_worker.Abandon(m_progress.stopRequested, m_context.busy); }

PageRect DataPage::InstallRect() { return kInstall; }
PageRect DataPage::VipdocRect() { return kVipdoc; }
PageRect DataPage::CsvFileRect() { return kCsvFile; }
PageRect DataPage::CsvFolderRect() { return kCsvFolder; }
PageRect DataPage::StopRect() { return kStop; }
PageRect DataPage::ReturnRect() { return kReturn; }
int DataPage::BarLeft() { return kBarLeft; }
int DataPage::BarTop() { return kBarTop; }

void DataPage::ReadHistory() {
    m_history = install::HistoryEntryTexts(install::HistoryInstalled(m_context.market.paths));
}

void DataPage::Draw() {
    DrawGbk(m_canvas, kTitleFont, kTextX, kHistoryTitleY, ui::kTitleDarkRed, kHistoryTitle);
    DrawHistory();
    DrawGbk(m_canvas, kTitleFont, kTextX, kLocalTitleY, ui::kTitleDarkRed, kLocalTitle);
    DrawGbk(m_canvas, kTextFont, kEntryX, kNoteY, ui::kTextDarkBlue, kNote);
    DrawPlainButton(m_canvas, kInstall, "数据安装");
    DrawPlainButton(m_canvas, kVipdoc, "导入通达信数据");
    DrawPlainButton(m_canvas, kCsvFile, "导入CSV文件");
    DrawPlainButton(m_canvas, kCsvFolder, "导入CSV文件夹");
    DrawPlainButton(m_canvas, kReturn, "返回");
    DrawStopButton();
    DrawStatusLine(m_canvas, kStatus, m_statusColour, m_status);
    DrawProgressBar(m_canvas, kBarLeft, kBarTop, m_barPixels);
    DrawReport();
}

void DataPage::DrawHistory() {
    for (size_t i = 0; i < m_history.size(); ++i) {
        const int top = kFirstEntryY + static_cast<int>(i) * kLineStep;
        DrawStatusLine(m_canvas, {kEntryX, top, 500, top + kLineStep - 2}, ui::kTextDarkBlue,
                       m_history[i]);
    }
}

// 终止 is there only while an import runs.
void DataPage::DrawStopButton() {
    if (Running())
        DrawPlainButton(m_canvas, kStop, "终止");
    else
        ui::FillBox(m_canvas, kStop.left, kStop.top, kStop.right, kStop.bottom, ui::kPanelBeige);
}

void DataPage::DrawReport() {
    for (size_t line = 0; line < kReportLines; ++line) {
        const bool refusal = line >= m_firstRefusalLine && line < m_reportLines.size();
        DrawStatusLine(m_canvas, ReportLine(line), refusal ? kRefusalRed : ui::kTextDarkBlue,
                       line < m_reportLines.size() ? m_reportLines[line] : std::string());
    }
}

void DataPage::ShowStatus(std::string text, ui::Rgb colour) {
    m_status = std::move(text);
    m_statusColour = colour;
    DrawStatusLine(m_canvas, kStatus, colour, m_status);
}

DataPageClick DataPage::Click(int x, int y) {
    if (kReturn.Holds(x, y)) {
        StopAndWait();
        return DataPageClick::Close;
    }
    if (Running()) {
        if (kStop.Holds(x, y)) m_progress.stopRequested = true;  // ends after its security
        return DataPageClick::Stay;
    }
    if (kInstall.Holds(x, y)) return DataPageClick::OpenInstall;
    std::optional<std::string> chosen;
    install::ImportSource source = install::ImportSource::Csv;
    if (kVipdoc.Holds(x, y)) {
        chosen = m_context.prompter.ChooseFolder(std::string(kVipdocTitle));
        source = install::ImportSource::Vipdoc;
    } else if (kCsvFile.Holds(x, y)) {
        chosen = m_context.prompter.ChooseFileWithFilter(std::string(kCsvFilter));
    } else if (kCsvFolder.Holds(x, y)) {
        chosen = m_context.prompter.ChooseFolder(std::string(kCsvFolderTitle));
    }
    if (chosen) StartImport(source, *chosen);
    return DataPageClick::Stay;
}

void DataPage::StartImport(install::ImportSource source, const std::string& path) {
    if (Running()) return;
    // A scan or an install reads and writes the same files.
    if (m_context.busy.exchange(true)) {
        ShowStatus(std::string(kBusyRefusal), kRefusalRed);
        return;
    }
    m_progress.stopRequested = false;
    m_progress.done = 0;
    m_progress.total = 0;
    m_reportLines.clear();
    DrawReport();
    m_barPixels = 0;
    DrawProgressBar(m_canvas, kBarLeft, kBarTop, 0);
    ShowStatus("导入中", ui::kTextDarkBlue);
    install::ImportOptions options;
    options.source = source;
    options.path = path;
    m_worker.Start([this, options, paths = m_context.market.paths] {
        return install::ImportDayData(paths, options, m_progress);
    });
    DrawStopButton();
}

bool DataPage::Poll() {
    if (!Running()) return false;
    if (m_worker.Done()) {
        FinishImport();
        return true;
    }
    const uint32_t done = m_progress.done.load();
    const uint32_t total = m_progress.total.load();
    const int pixels = install::InstallBarPixels(done, total);
    if (pixels == m_barPixels) return false;
    m_barPixels = pixels;
    DrawProgressBar(m_canvas, kBarLeft, kBarTop, pixels);
    ShowStatus("导入中 " + Count(done) + "/" + Count(total), ui::kTextDarkBlue);
    return true;
}

void DataPage::StopAndWait() {
    if (!Running()) return;
    m_progress.stopRequested = true;
    FinishImport();
}

void DataPage::WaitForImport() {
    if (Running()) FinishImport();
}

void DataPage::FinishImport() {
    const install::ImportReport report = m_worker.Take();
    // The day files are in; the codes they brought join the table here, on
    // the thread that owns it, also after a stop.
    install::CodeImportCounts counts;
    const base::Status codes =
        install::ApplyImportedCodes(m_context.workspace, m_context.market, report, &counts);
    m_context.busy = false;
    DrawStopButton();
    m_barPixels = report.stopped ? install::InstallBarPixels(m_progress.done.load(),
                                                             m_progress.total.load())
                                 : install::kInstallBarRange;
    DrawProgressBar(m_canvas, kBarLeft, kBarTop, m_barPixels);
    ShowStatus(report.stopped ? "导入终止" : "导入完成", ui::kTextDarkBlue);
    Report(report, counts);

    DataChanges changes;
    changes.changed = report.imported > report.unchanged || counts.added + counts.changed > 0;
    const install::HistoryRecord shanghai =
        install::HistoryStatus(m_context.market.paths, data::kShanghaiIndexCode);
    const install::HistoryRecord index =
        shanghai.bars > 0 ? shanghai
                          : install::HistoryStatus(m_context.market.paths, data::kShenzhenIndexCode);
    changes.latestDate = index.lastDate;
    changes.firstIndexDate = index.firstDate;
    m_changes.Merge(changes);
    ReadHistory();
    DrawHistory();
    if (!codes) m_context.prompter.ShowMessage(codes.error(), "提示");
}

void DataPage::Report(const install::ImportReport& report, const install::CodeImportCounts& counts) {
    m_reportLines.clear();
    m_reportLines.push_back("导入" + Count(report.imported) + "只，新建" + Count(report.created) +
                            "只，跳过" + Count(report.skippedOther) + "只，拒绝" +
                            Count(report.refused.size()) + "只");
    if (counts.added + counts.changed > 0)
        m_reportLines.push_back("代码表新增" + Count(counts.added) + "只，更新" +
                                Count(counts.changed) + "只");
    m_firstRefusalLine = m_reportLines.size();
    for (const install::ImportRefusal& refusal : report.refused) {
        if (m_reportLines.size() == kReportLines) break;
        m_reportLines.push_back(RefusalLine(refusal));
    }
    DrawReport();
}

void DataPage::AfterInstall(const DataChanges& changes) {
    m_changes.Merge(changes);
    ReadHistory();
    DrawHistory();
}

}  // namespace app
