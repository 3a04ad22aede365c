#include "app/data_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "screen/controls.h"
#include "app/setup_dialog.h"
#include "base/endian.h"
#include "base/recording_prompter.h"
#include "data/code_table.h"
#include "data/file_formats.h"
#include "install/day_merge.h"
#include "install/package.h"
#include "support/fixture_market.h"
#include "ui/fonts.h"
#include "ui/recording_canvas.h"

namespace {

using app::DataPage;
using app::PageRect;
using base::PromptRecord;

constexpr ui::Rgb kRed{255, 0, 0};

// A terminal's day file: 32-byte records of date, open, high, low, close
// (0.01 yuan), amount (yuan, float), volume (shares) and a spare word.
std::vector<uint8_t> VipdocDayFile(const std::vector<uint32_t>& dates, uint32_t close) {
    std::vector<uint8_t> bytes(dates.size() * 32, 0);
    for (size_t i = 0; i < dates.size(); ++i) {
        uint8_t* r = bytes.data() + i * 32;
        const float amount = 1234567.0f;
        uint32_t amountBits = 0;
        std::memcpy(&amountBits, &amount, 4);
        const uint32_t words[8] = {dates[i], close, close + 5, close - 5, close, amountBits, 10000, 0};
        for (int w = 0; w < 8; ++w) base::WriteU32(r + w * 4, words[w]);
    }
    return bytes;
}

// The Shanghai index with bars in 2010 and (unless left out) 1990 but none in
// 2000, and a stock.
enum class From1990 { Yes, No };
void WriteHistoryMarket(fixture::FixtureMarket& market, From1990 from1990 = From1990::Yes) {
    std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 100, 100},
                                          {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20260101, codes);
    std::vector<data::Bar> index;
    if (from1990 == From1990::Yes) index = fixture::FlatBars(19901219, std::vector<uint32_t>(3, 10000));
    for (const data::Bar& bar : fixture::FlatBars(20100104, std::vector<uint32_t>(3, 300000)))
        index.push_back(bar);
    for (const data::Bar& bar : fixture::FlatBars(20260105, std::vector<uint32_t>(41, 320000)))
        index.push_back(bar);
    market.WriteDayFile(999999, index);
    market.WriteDayFile(600000, fixture::FlatBars(20260105, std::vector<uint32_t>(41, 1000)));
    market.WriteExamples("203:120260105");
}

// The page alone on a recording canvas, over tables loaded as the window loads them.
struct PageHarness {
    fixture::FixtureMarket files;
    base::RecordingPrompter prompter;
    data::Workspace workspace;
    data::MarketState state;
    std::atomic<bool> busy{false};
    ui::RecordingCanvas canvas;
    std::unique_ptr<DataPage> page;

    PageHarness() {
        WriteHistoryMarket(files);
        EXPECT_EQ(data::RunStartup(workspace, files.Root(), prompter, std::time(nullptr), state),
                  data::StartupOutcome::Ready);
        prompter.records.clear();
        page = std::make_unique<DataPage>(app::DataContext{workspace, state, prompter, busy}, canvas);
    }
    void Press(const PageRect& r) { page->Click(r.CentreX(), r.CentreY()); }
    std::string Path(const std::string& relative) const { return files.Root() + "/" + relative; }
    install::HistoryRecord Status(uint32_t code) const {
        return install::HistoryStatus(files.Paths(), code);
    }
};

// Three new bars of 600000, a new stock 600001, a new Shenzhen stock and a torn file.
void WriteVipdoc(fixture::FixtureMarket& market) {
    const std::vector<uint32_t> days = {20260303, 20260304, 20260305};
    market.WriteRaw("tdx/vipdoc/sh/lday/sh600000.day", VipdocDayFile(days, 1100));
    market.WriteRaw("tdx/vipdoc/sh/lday/sh600001.day", VipdocDayFile(days, 800));
    market.WriteRaw("tdx/vipdoc/sz/lday/sz000001.day", VipdocDayFile(days, 1500));
    std::vector<uint8_t> torn = VipdocDayFile(days, 900);
    torn.resize(torn.size() - 5);
    market.WriteRaw("tdx/vipdoc/sz/lday/sz000002.day", torn);
}

TEST(DataPage, ListsTheHistoryEntriesAndItsButtons) {
    PageHarness h;
    const std::array<std::string, 4> expected = {"MK1990年-1999年(14.46M)[已安装]",
                                                 "MK2000年-2009年(56.67M)",
                                                 "MK2010年-2013年(40.58M)[已安装]", "预留下载接口"};
    EXPECT_EQ(h.page->HistoryEntries(), expected);
    for (const std::string& entry : expected)
        EXPECT_TRUE(h.canvas.FindText(entry).has_value()) << entry;

    // Every caption fits its button; the buttons stay apart inside the 516 x 343 dialog.
    const std::vector<std::pair<PageRect, const char*>> buttons = {
        {DataPage::InstallRect(), "数据安装"},     {DataPage::VipdocRect(), "导入通达信数据"},
        {DataPage::CsvFileRect(), "导入CSV文件"},  {DataPage::CsvFolderRect(), "导入CSV文件夹"},
        {DataPage::StopRect(), "终止"},            {DataPage::ReturnRect(), "返回"}};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const PageRect& r = buttons[i].first;
        EXPECT_LE(4 + ui::TextWidth(13, fixture::Gbk(buttons[i].second)), r.right - r.left)
            << buttons[i].second;
        EXPECT_LE(r.right, 516);
        EXPECT_LE(r.bottom, 343);
        for (size_t j = i + 1; j < buttons.size(); ++j) {
            const PageRect& o = buttons[j].first;
            EXPECT_TRUE(r.right < o.left || o.right < r.left || r.bottom < o.top || o.bottom < r.top)
                << buttons[i].second << " " << buttons[j].second;
        }
    }
    // 终止 is only there while an import runs.
    EXPECT_FALSE(h.canvas.FindText("终止").has_value());
    EXPECT_EQ(h.page->Click(DataPage::InstallRect().CentreX(), DataPage::InstallRect().CentreY()),
              app::DataPageClick::OpenInstall);
}

TEST(DataPage, ImportsAVipdocFolderAndAddsItsCodes) {
    PageHarness h;
    WriteVipdoc(h.files);
    h.prompter.folders = {h.Path("tdx")};
    h.Press(DataPage::VipdocRect());
    ASSERT_EQ(h.prompter.records.size(), 1u);
    EXPECT_EQ(h.prompter.records[0].kind, PromptRecord::Kind::FolderChoice);
    EXPECT_TRUE(h.page->Running());
    EXPECT_TRUE(h.busy.load());
    h.page->WaitForImport();

    EXPECT_FALSE(h.busy.load());
    EXPECT_EQ(h.page->StatusText(), "导入完成");
    const std::vector<std::string>& lines = h.page->ReportLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "导入3只，新建2只，跳过0只，拒绝1只");
    EXPECT_EQ(lines[1], "代码表新增2只，更新0只");
    EXPECT_EQ(lines[2].rfind("000002：", 0), 0u) << lines[2];
    // Drawn in red, cut to the panel's width.
    int refusals = 0;
    for (const ui::DrawCall& text : h.canvas.Texts()) {
        EXPECT_LE(text.x() + ui::TextWidth(text.fontCode, text.gbk), 506) << text.utf8;
        if (text.utf8.rfind("000002：", 0) != 0) continue;
        ++refusals;
        EXPECT_EQ(text.colour, kRed);
    }
    EXPECT_EQ(refusals, 1);

    EXPECT_EQ(h.Status(600000).lastDate, 20260305u);
    EXPECT_EQ(h.Status(600001).bars, 3u);
    EXPECT_EQ(h.Status(1).bars, 3u);
    EXPECT_EQ(h.Status(2).bars, 0u);
    data::CodeTable table(h.workspace.CodeTableRegion());
    EXPECT_NE(table.FindCode(600001), 0u);
    EXPECT_NE(table.FindCode(1), 0u);
    EXPECT_TRUE(h.page->Changes().changed);
    EXPECT_TRUE(h.prompter.Messages().empty());
}

TEST(DataPage, CsvImportIsRefusedWhileBusyAndStopsOnRequest) {
    PageHarness h;
    std::string csv = "date,open,high,low,close,volume,amount\n";
    for (uint32_t date : fixture::Weekdays(20200106, 40))
        csv += std::to_string(date) + ",8.00,8.10,7.90,8.05,100000,805000\n";
    h.files.WriteRaw("csv/600001.csv", std::vector<uint8_t>(csv.begin(), csv.end()));

    h.busy = true;  // a scan runs
    h.prompter.files = {h.Path("csv/600001.csv")};
    h.Press(DataPage::CsvFileRect());
    EXPECT_EQ(h.prompter.records[0],
              (PromptRecord{PromptRecord::Kind::FileChoice, "CSV (*.csv) |*.csv |Files (*.*) |*.* ||", ""}));
    EXPECT_FALSE(h.page->Running());
    const auto refusal = h.canvas.FindText(app::kBusyRefusal);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->colour, kRed);
    EXPECT_TRUE(h.busy.load());
    EXPECT_EQ(h.Status(600001).bars, 0u);

    h.busy = false;
    h.prompter.files = {h.Path("csv/600001.csv")};
    h.Press(DataPage::CsvFileRect());
    h.page->WaitForImport();
    EXPECT_EQ(h.page->StatusText(), "导入完成");
    EXPECT_EQ(h.Status(600001).bars, 40u);
    EXPECT_EQ(h.page->ReportLines()[0], "导入1只，新建1只，跳过0只，拒绝0只");

    // A folder of many: 终止 ends it after a security, what was imported stays.
    for (uint32_t code = 1; code <= 400; ++code)
        h.files.WriteRaw("many/" + data::CodeText(code) + ".csv",
                         std::vector<uint8_t>(csv.begin(), csv.end()));
    h.prompter.folders = {h.Path("many")};
    h.Press(DataPage::CsvFolderRect());
    ASSERT_TRUE(h.page->Running());
    EXPECT_TRUE(h.canvas.FindText("终止").has_value());
    h.Press(DataPage::StopRect());
    h.page->WaitForImport();
    EXPECT_EQ(h.page->StatusText(), "导入终止");
    EXPECT_FALSE(h.busy.load());
    size_t imported = 0;
    for (uint32_t code = 1; code <= 400; ++code) {
        const uint64_t bars = h.Status(code).bars;
        EXPECT_TRUE(bars == 0 || bars == 40) << code;
        imported += bars == 40;
    }
    EXPECT_GE(imported, 1u);
    EXPECT_LT(imported, 400u);
    data::CodeTable table(h.workspace.CodeTableRegion());
    EXPECT_NE(table.FindCode(1), 0u);  // its codes joined the table all the same
}

// ---- through the window ---------------------------------------------------

bool ProcessUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void ClickDialog(QWidget* dialog, const PageRect& r) {
    const QPointF p(r.CentreX(), r.CentreY());
    QMouseEvent press(QEvent::MouseButtonPress, p, dialog->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog, &press);
}

app::CSetupDlg* ModalSetupDialog() {
    return qobject_cast<app::CSetupDlg*>(QApplication::activeModalWidget());
}

struct Window {
    fixture::FixtureMarket market;
    base::RecordingPrompter prompter;
    std::unique_ptr<app::CMainDlg> window;

    explicit Window(From1990 from1990 = From1990::Yes) {
        WriteHistoryMarket(market, from1990);
        window = std::make_unique<app::CMainDlg>(market.Root(), &prompter);
        EXPECT_TRUE(window->Initialise());
        window->show();
        EXPECT_TRUE(window->Run([&](auto& c) { return c.OpenSecurity(600000); }));
    }
    // The data button, with `drive` run on the modal data page.
    void PressDataButton(const std::function<void(app::CSetupDlg&)>& drive) {
        QTimer::singleShot(0, [&] {
            app::CSetupDlg* dialog = ModalSetupDialog();
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
            ClickDialog(dialog, DataPage::ReturnRect());
        });
        static_cast<QPushButton*>(window->Control(screen::ControlId::DataButton))->click();
    }
};

TEST(DataWindow, DataButtonImportsAndTheWindowReadsTheChartAgain) {
    Window w;
    WriteVipdoc(w.market);
    const std::vector<uint32_t> days = {20260303, 20260304, 20260305};
    w.market.WriteRaw("tdx/vipdoc/sh/lday/sh000001.day", VipdocDayFile(days, 330000));
    w.prompter.folders = {w.market.Root() + "/tdx"};
    QString title;
    std::string status;
    w.PressDataButton([&](app::CSetupDlg& dialog) {
        title = dialog.windowTitle();
        ClickDialog(&dialog, DataPage::VipdocRect());
        ProcessUntil([&] { return !dialog.LocalData()->Running(); });
        status = dialog.LocalData()->StatusText();
    });
    EXPECT_EQ(title, QStringLiteral("《板块擎宇》数据下载"));
    EXPECT_EQ(status, "导入完成");
    EXPECT_FALSE(w.window->Controller().Busy().load());
    EXPECT_EQ(w.window->Controller().Chart()->Stock().code, 600000u);
    EXPECT_EQ(w.window->Controller().Chart()->Stock().lastDate, 20260305u);
    EXPECT_EQ(w.window->Controller().Market().index.lastDate, 20260305u);
}

TEST(DataWindow, InstallPageOpensOnTopAndAnOlderIndexHistoryIsReadIn) {
    Window w(From1990::No);
    // Index bars of 1990, before the first index date: the first history
    // entry becomes installed and the window reads the index again.
    const auto bytes = data::EncodeDayFile(999999, fixture::FlatBars(19901219, std::vector<uint32_t>(2, 10000)));
    std::vector<uint32_t> records;
    for (size_t at = data::kDayHeaderBytes; at < bytes.size(); at += 4)
        records.push_back(base::ReadU32(bytes.data() + at));
    const std::vector<install::BlockToWrite> blocks = {{999999, install::BlockForm::Long, records}};
    w.market.WriteRaw("in/OLD.TXT", install::EncodePackage(blocks));
    w.prompter.files = {w.market.Root() + "/in/OLD.TXT"};
    ASSERT_EQ(w.window->Controller().Market().index.firstDate, 20100104u);

    QString installTitle;
    std::string installStatus;
    std::array<std::string, 4> before, after;
    w.PressDataButton([&](app::CSetupDlg& dialog) {
        before = dialog.LocalData()->HistoryEntries();
        QTimer::singleShot(0, [&] {
            app::CSetupDlg* install = ModalSetupDialog();
            ASSERT_NE(install, nullptr);
            installTitle = install->windowTitle();
            ClickDialog(install, app::InstallPage::BrowseRect());
            ClickDialog(install, app::InstallPage::InstallRect());
            ProcessUntil([&] { return !install->Installer()->Running(); });
            installStatus = install->Installer()->StatusText();
            ClickDialog(install, app::InstallPage::ReturnRect());
        });
        ClickDialog(&dialog, DataPage::InstallRect());
        after = dialog.LocalData()->HistoryEntries();
    });
    EXPECT_EQ(installTitle, QStringLiteral("《板块擎宇》数据安装"));
    EXPECT_EQ(installStatus, "安装完成");
    EXPECT_EQ(before[0], "MK1990年-1999年(14.46M)");
    EXPECT_EQ(after[0], "MK1990年-1999年(14.46M)[已安装]");
    EXPECT_EQ(w.window->Controller().Market().index.firstDate, 19901219u);
}

}  // namespace
