#include "app/install_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "screen/controls.h"
#include "app/qt_prompter.h"
#include "app/setup_dialog.h"
#include "base/endian.h"
#include "base/recording_prompter.h"
#include "data/file_formats.h"
#include "install/day_merge.h"
#include "install/package.h"
#include "support/fixture_market.h"
#include "ui/recording_canvas.h"

namespace {

using app::InstallPage;
using app::PageRect;
using base::PromptRecord;

constexpr ui::Rgb kRed{255, 0, 0};

// The records of a day file for these bars, as a package block carries them.
std::vector<uint32_t> RecordsOf(uint32_t code, const std::vector<data::Bar>& bars) {
    const std::vector<uint8_t> bytes = data::EncodeDayFile(code, bars);
    std::vector<uint32_t> words;
    for (size_t at = data::kDayHeaderBytes; at + 4 <= bytes.size(); at += 4)
        words.push_back(base::ReadU32(bytes.data() + at));
    return words;
}

std::vector<data::Bar> Closes(uint32_t first, size_t count, uint32_t close) {
    return fixture::FlatBars(first, std::vector<uint32_t>(count, close));
}

// A stock and the index ending on 20260302.
void WriteMarketFiles(fixture::FixtureMarket& market) {
    std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 100, 100},
                                          {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    market.WriteCodeTable(20260101, codes);
    market.WriteDayFile(600000, Closes(20260105, 41, 1000));
    market.WriteDayFile(999999, Closes(20260105, 41, 320000));
    market.WriteExamples("203:120260105");
}

// That market, and the window's tables loaded from it.
struct Market {
    fixture::FixtureMarket files;
    base::RecordingPrompter prompter;
    data::Workspace workspace;
    data::MarketState state;
    std::atomic<bool> busy{false};

    Market() { WriteMarketFiles(files); }
    // Loads the tables as the window's start-up does.
    app::DataContext Context() {
        if (!workspace.Allocated()) {
            EXPECT_EQ(data::RunStartup(workspace, files.Root(), prompter, std::time(nullptr), state),
                      data::StartupOutcome::Ready);
        }
        prompter.records.clear();
        return {workspace, state, prompter, busy};
    }
    std::string Write(const std::string& relative, const std::vector<uint8_t>& bytes) {
        files.WriteRaw(relative, bytes);
        return files.Root() + "/" + relative;
    }
    install::HistoryRecord Status(uint32_t code) const {
        return install::HistoryStatus(files.Paths(), code);
    }
};

// Three days after the files end: 600000, the index and a new stock 600001.
std::vector<uint8_t> ThreeDayPackage() {
    const std::vector<install::BlockToWrite> blocks = {
        {600000, install::BlockForm::Short, RecordsOf(600000, Closes(20260303, 3, 1100))},
        {999999, install::BlockForm::Long, RecordsOf(999999, Closes(20260303, 3, 330000))},
        {600001, install::BlockForm::Short, RecordsOf(600001, Closes(20260303, 3, 800))}};
    return install::EncodePackage(blocks);
}

// Many new Shenzhen stocks, 000001 upwards, in that order.
constexpr uint32_t kLargeBlocks = 3000;
std::vector<uint8_t> LargePackage() {
    std::vector<install::BlockToWrite> blocks;
    for (uint32_t code = 1; code <= kLargeBlocks; ++code)
        blocks.push_back({code, install::BlockForm::Short, RecordsOf(code, Closes(20260105, 20, 900))});
    return install::EncodePackage(blocks);
}

// The page alone on a recording canvas.
struct PageHarness : Market {
    ui::RecordingCanvas canvas;
    InstallPage page{Context(), canvas};

    void Press(const PageRect& r) { page.Click(r.CentreX(), r.CentreY()); }
    // 浏览, answered with the path.
    void Choose(const std::string& path) {
        prompter.files = {path};
        Press(InstallPage::BrowseRect());
    }
};

void ClickDialog(QWidget* dialog, const PageRect& r) {
    const QPointF p(r.CentreX(), r.CentreY());
    QMouseEvent press(QEvent::MouseButtonPress, p, dialog->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog, &press);
}

// Lets the dialog's timer run until the condition holds (at most ten seconds).
bool ProcessUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

bool ShowsInstallingCode(const InstallPage& page) {
    const std::string& s = page.StatusText();
    return s.size() == std::string("安装").size() + 6 && s.rfind("安装", 0) == 0;
}

TEST(InstallPage, DrawsTheHintButtonsAndAnEmptyBar) {
    PageHarness h;
    const auto hint = h.canvas.FindText("(点击“浏览”，找到需安装的数据文件，然后点击“安装”)");
    ASSERT_TRUE(hint.has_value());
    EXPECT_EQ(hint->colour, ui::kTextDarkBlue);
    for (const char* caption : {"浏览", "安装", "返回"})
        EXPECT_TRUE(h.canvas.FindText(caption).has_value()) << caption;

    // The frame: 352 pixels wide, grey; nothing blue in it yet.
    int frames = 0;
    for (const auto& call : h.canvas.Of(ui::DrawKind::Rect))
        if (call.colour == ui::Rgb{128, 128, 128}) {
            ++frames;
            EXPECT_EQ(call.right - call.left, 352);
            EXPECT_EQ(call.left, InstallPage::BarLeft());
        }
    EXPECT_EQ(frames, 1);
    for (const auto& call : h.canvas.Of(ui::DrawKind::FillRect))
        EXPECT_NE(call.colour, (ui::Rgb{0, 0, 250}));

    // Everything inside the 516 x 293 dialog, buttons apart from each other and the bar.
    const std::vector<PageRect> parts = {InstallPage::BrowseRect(), InstallPage::InstallRect(),
                                         InstallPage::ReturnRect(), InstallPage::PathRect()};
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_GE(parts[i].left, 0);
        EXPECT_LE(parts[i].right, 516);
        EXPECT_LE(parts[i].bottom, 293);
        for (size_t j = i + 1; j < parts.size(); ++j)
            EXPECT_TRUE(parts[i].right < parts[j].left || parts[j].right < parts[i].left ||
                        parts[i].bottom < parts[j].top || parts[j].bottom < parts[i].top)
                << i << " " << j;
    }
    EXPECT_LE(InstallPage::BarLeft() + 352, 516);
    for (const ui::DrawCall& text : h.canvas.Texts())  // inside the panel
        EXPECT_LE(text.x() + ui::TextWidth(text.fontCode, text.gbk), 506) << text.utf8;
}

TEST(InstallPage, InstallWithoutAPathWritesTheRedHint) {
    PageHarness h;
    h.canvas.Clear();
    h.Press(InstallPage::InstallRect());
    const auto hint = h.canvas.FindText("先点击“浏览”查找需安装的文件");
    ASSERT_TRUE(hint.has_value());
    EXPECT_EQ(hint->colour, kRed);
    EXPECT_FALSE(h.page.Running());
    EXPECT_FALSE(h.busy.load());
    EXPECT_TRUE(h.prompter.records.empty());
}

TEST(InstallPage, BrowseAsksWithTheFilterAndKeepsThePath) {
    PageHarness h;
    const std::string path = h.files.Root() + "/a/rather/long/folder/name/of/packages/DAY260303.TXT";
    h.Choose(path);
    ASSERT_EQ(h.prompter.records.size(), 1u);
    EXPECT_EQ(h.prompter.records[0],
              (PromptRecord{PromptRecord::Kind::FileChoice, "Files (*.*) |*.* ||", ""}));
    EXPECT_EQ(h.page.ChosenPath(), path);
    // A long path shows its tail, the file's name, inside the field.
    const std::string shown = h.canvas.Texts().back().utf8;
    EXPECT_EQ(shown.rfind("...", 0), 0u);
    EXPECT_EQ(shown.substr(shown.size() - 13), "DAY260303.TXT");
    const PageRect field = InstallPage::PathRect();
    EXPECT_LE(h.canvas.Texts().back().x() + ui::TextWidth(12, h.canvas.Texts().back().gbk), field.right);

    // Cancelled: the path stays.
    h.Press(InstallPage::BrowseRect());
    EXPECT_EQ(h.page.ChosenPath(), path);

    // The Qt dialog shows the filter as its own entry.
    EXPECT_EQ(app::QtFileFilter("Files (*.*) |*.* ||"), QStringLiteral("Files (*.*)"));
    EXPECT_EQ(app::QtFileFilter("Packages|*.TXT|All (*)|*||"),
              QStringLiteral("Packages (*.TXT);;All (*)"));
}

TEST(InstallPage, PackageIsMergedAndWhatCouldNotBeIsNamed) {
    PageHarness h;
    h.Choose(h.Write("in/DAY.TXT", ThreeDayPackage()));
    h.Press(InstallPage::InstallRect());
    EXPECT_TRUE(h.busy.load());  // the window's data commands wait
    EXPECT_TRUE(h.canvas.FindText("终止").has_value());
    h.page.WaitForInstall();

    EXPECT_FALSE(h.busy.load());
    EXPECT_EQ(h.page.StatusText(), "安装完成");
    EXPECT_TRUE(h.page.ChosenPath().empty());
    const install::PackageReport& report = h.page.LastReport();
    EXPECT_EQ(report.merged, 2u);
    EXPECT_EQ(report.created, 1u);
    EXPECT_EQ(h.Status(600000).lastDate, 20260305u);
    EXPECT_EQ(h.Status(600000).bars, 44u);
    EXPECT_EQ(h.Status(600001).bars, 3u);
    // The index moved on: the window will read it again.
    EXPECT_TRUE(h.page.Changes().changed);
    EXPECT_EQ(h.page.Changes().latestDate, 20260305u);
    EXPECT_EQ(h.page.Changes().firstIndexDate, 20260105u);

    const auto done = h.canvas.FindText("安装完成");
    ASSERT_TRUE(done.has_value());
    EXPECT_NE(done->colour, kRed);
    EXPECT_EQ(h.prompter.records.size(), 1u);  // the file choice only

    // A day file that is not whole records is left alone: the page says so
    // under the bar instead of a bare "安装完成".
    std::vector<uint8_t> torn = data::EncodeDayFile(600002, Closes(20260105, 2, 500));
    torn.resize(torn.size() - 3);
    h.files.WriteRaw("MKDAY/SH/600002.day", torn);
    const std::vector<install::BlockToWrite> blocks = {
        {600002, install::BlockForm::Short, RecordsOf(600002, Closes(20260303, 1, 510))}};
    h.Choose(h.Write("in/ONE.TXT", install::EncodePackage(blocks)));
    h.Press(InstallPage::InstallRect());
    h.page.WaitForInstall();
    EXPECT_EQ(h.page.StatusText(), "安装完成");
    int named = 0;
    for (const ui::DrawCall& text : h.canvas.TextsInColour(kRed))
        named += text.utf8.rfind("未能安装1只：", 0) == 0;
    EXPECT_EQ(named, 1);
}

TEST(InstallPage, RefusalsOfTheFileGoThroughThePrompter) {
    PageHarness h;
    const std::string text = h.Write("in/NOTES.TXT", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o',
                                                           'r', 'l', 'd', '!', '!', '!', '!', '!'});
    const std::string missing = h.files.Root() + "/in/GONE.TXT";
    h.Choose(text);
    h.Press(InstallPage::InstallRect());
    h.page.WaitForInstall();
    h.Choose(missing);
    h.Press(InstallPage::InstallRect());
    h.page.WaitForInstall();

    const auto messages = h.prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], (PromptRecord{PromptRecord::Kind::Message, "该文件非擎宇数据文件", "提示"}));
    EXPECT_EQ(messages[1], (PromptRecord{PromptRecord::Kind::Message, missing, "文件不存在"}));
    EXPECT_FALSE(h.busy.load());
    EXPECT_TRUE(h.page.StatusText().empty());
    EXPECT_EQ(h.page.ChosenPath(), missing);  // kept for another try
    EXPECT_FALSE(h.page.Changes().changed);
}

TEST(InstallPage, StopEndsAfterABlockAndKeepsWhatWasMerged) {
    PageHarness h;
    h.Choose(h.Write("in/BIG.TXT", LargePackage()));
    h.Press(InstallPage::InstallRect());
    // The page names the block being merged while it runs.
    while (h.page.Running() && !ShowsInstallingCode(h.page)) h.page.Poll();
    ASSERT_TRUE(ShowsInstallingCode(h.page)) << h.page.StatusText();
    h.Press(InstallPage::InstallRect());  // 终止
    h.page.WaitForInstall();

    EXPECT_EQ(h.page.StatusText(), "安装终止");
    EXPECT_TRUE(h.page.LastReport().stopped);
    EXPECT_FALSE(h.busy.load());
    const uint32_t merged = static_cast<uint32_t>(h.page.LastReport().created);
    ASSERT_GE(merged, 1u);
    ASSERT_LT(merged, kLargeBlocks);
    // Exactly the first blocks, each whole.
    for (uint32_t code = 1; code <= kLargeBlocks; ++code)
        ASSERT_EQ(h.Status(code).bars, code <= merged ? 20u : 0u) << code;
    EXPECT_TRUE(h.page.Changes().changed);
    EXPECT_FALSE(h.page.ChosenPath().empty());  // 安装 again goes on with the rest
    EXPECT_TRUE(h.canvas.FindText("安装").has_value());
}

TEST(InstallPage, TableFilesAreInstalledByTheirNames) {
    PageHarness h;
    std::vector<data::CodeEntry> codes = {{600000, fixture::Gbk("浦发银行"), "PFYH", 100, 100},
                                          {600001, fixture::Gbk("邯郸钢铁"), "HDGT", 50, 50},
                                          {999999, fixture::Gbk("上证指数"), "SZZS", 0, 0}};
    const std::string newer = h.Write("in/new/MKCODE.TXT", data::EncodeCodeTable(20260301, codes));
    const std::string older = h.Write("in/old/mkcode.txt", data::EncodeCodeTable(20251201, codes));
    h.Choose(older);
    h.Press(InstallPage::InstallRect());
    EXPECT_FALSE(h.page.Running());  // no worker for a table
    ASSERT_EQ(h.prompter.Messages().size(), 1u);
    EXPECT_EQ(h.prompter.Messages()[0].caption, "提示");
    EXPECT_FALSE(h.page.Changes().changed);

    h.Choose(newer);
    h.Press(InstallPage::InstallRect());
    EXPECT_EQ(h.prompter.Messages().size(), 1u);
    EXPECT_EQ(h.page.StatusText(), "安装完成");
    EXPECT_TRUE(h.page.Changes().changed);
    EXPECT_FALSE(h.busy.load());
    data::CodeTable table(h.workspace.CodeTableRegion());
    EXPECT_EQ(table.StockShares(600001).total, 50u);
}

// ---- the dialog and the window --------------------------------------------

TEST(InstallDialog, TimerDrawsTheBarAndReturnWaitsForTheWorker) {
    Market market;
    app::CSetupDlg dialog(app::SetupMode::Install, QPoint(0, 0), market.Context(), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("《板块擎宇》数据安装"));
    EXPECT_EQ(dialog.size(), QSize(516, 293));
    dialog.show();
    InstallPage& page = *dialog.Installer();
    market.prompter.files = {market.Write("in/DAY.TXT", ThreeDayPackage()),
                             market.Write("in/BIG.TXT", LargePackage())};

    ClickDialog(&dialog, InstallPage::BrowseRect());
    ClickDialog(&dialog, InstallPage::InstallRect());
    // Only the dialog's timer finishes the run here.
    ASSERT_TRUE(ProcessUntil([&] { return !page.Running(); }));
    EXPECT_EQ(page.StatusText(), "安装完成");
    const QImage& image = dialog.Canvas().Image();
    const int barY = InstallPage::BarTop() + 8;
    EXPECT_EQ(image.pixelColor(InstallPage::BarLeft(), barY), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(InstallPage::BarLeft() + 1, barY), QColor(0, 0, 250));
    EXPECT_EQ(image.pixelColor(InstallPage::BarLeft() + 350, barY), QColor(0, 0, 250));
    EXPECT_EQ(image.pixelColor(InstallPage::BarLeft() + 351, barY), QColor(128, 128, 128));
    EXPECT_EQ(market.Status(600000).lastDate, 20260305u);

    // 返回 in the middle of a large package: the dialog closes only once
    // the worker has stopped.
    ClickDialog(&dialog, InstallPage::BrowseRect());
    ClickDialog(&dialog, InstallPage::InstallRect());
    ASSERT_TRUE(page.Running());
    ClickDialog(&dialog, InstallPage::ReturnRect());
    EXPECT_FALSE(page.Running());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(market.busy.load());
    EXPECT_TRUE(page.LastReport().stopped);
    const uint32_t merged = static_cast<uint32_t>(page.LastReport().created);
    EXPECT_LT(merged, kLargeBlocks);
    EXPECT_EQ(market.Status(merged + 1).bars, 0u);
}

TEST(InstallDialog, ClosingTheDialogNeverLeavesTheWorkerRunning) {
    Market market;
    const std::string big = market.Write("in/BIG.TXT", LargePackage());
    market.prompter.files = {big, big};
    app::CSetupDlg dialog(app::SetupMode::Install, QPoint(0, 0), market.Context(), nullptr);
    ClickDialog(&dialog, InstallPage::BrowseRect());
    ClickDialog(&dialog, InstallPage::InstallRect());
    dialog.reject();  // Escape or the close button
    EXPECT_FALSE(dialog.Installer()->Running());
    EXPECT_TRUE(dialog.Installer()->LastReport().stopped);
    EXPECT_FALSE(market.busy.load());

    // Gone without closing at all: the page still waits for its worker.
    {
        app::CSetupDlg again(app::SetupMode::Install, QPoint(0, 0), market.Context(), nullptr);
        ClickDialog(&again, InstallPage::BrowseRect());
        ClickDialog(&again, InstallPage::InstallRect());
        ASSERT_TRUE(again.Installer()->Running());
    }
    EXPECT_FALSE(market.busy.load());
}

// The window on the market of the page tests, a package beside it, and F11
// pressed with `drive` run on the modal install dialog.
struct Window {
    fixture::FixtureMarket market;
    base::RecordingPrompter prompter;
    std::unique_ptr<app::CMainDlg> window;

    Window() {
        WriteMarketFiles(market);
        market.WriteRaw("in/DAY.TXT", ThreeDayPackage());
        window = std::make_unique<app::CMainDlg>(market.Root(), &prompter);
        EXPECT_TRUE(window->Initialise());
        window->show();
        prompter.files = {market.Root() + "/in/DAY.TXT"};
    }
    void PressF11(const std::function<void(app::CSetupDlg&)>& drive) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<app::CSetupDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
            ClickDialog(dialog, InstallPage::ReturnRect());
        });
        EXPECT_TRUE(window->HandleChartKey(Qt::Key_F11));
    }
};

TEST(InstallWindow, F11InstallsAndTheChartShowsTheNewBars) {
    Window w;
    ASSERT_TRUE(w.window->Run([&](auto& c) { return c.OpenSecurity(600000); }));
    EXPECT_EQ(w.window->Controller().Chart()->Stock().lastDate, 20260302u);
    EXPECT_EQ(w.window->Controller().Market().index.lastDate, 20260302u);

    QString title;
    std::string status;
    bool busyWhileRunning = false;
    w.PressF11([&](app::CSetupDlg& dialog) {
        title = dialog.windowTitle();
        ClickDialog(&dialog, InstallPage::BrowseRect());
        ClickDialog(&dialog, InstallPage::InstallRect());
        busyWhileRunning = w.window->Controller().Busy().load();
        ProcessUntil([&] { return !dialog.Installer()->Running(); });
        status = dialog.Installer()->StatusText();
    });
    EXPECT_EQ(title, QStringLiteral("《板块擎宇》数据安装"));
    EXPECT_EQ(status, "安装完成");
    EXPECT_TRUE(busyWhileRunning);
    EXPECT_FALSE(w.window->Controller().Busy().load());
    // The chart was read again and the index reloaded.
    EXPECT_EQ(w.window->Controller().Chart()->Stock().code, 600000u);
    EXPECT_EQ(w.window->Controller().Chart()->Stock().lastDate, 20260305u);
    EXPECT_EQ(w.window->Controller().Market().index.lastDate, 20260305u);
    EXPECT_EQ(w.window->Controller().Screen(), screen::ScreenMode::Chart);
}

TEST(InstallWindow, InstallIsRefusedWhileTheWindowScans) {
    Window w;
    w.window->Controller().Busy() = true;  // as while a scan runs
    std::string status;
    bool running = true;
    w.PressF11([&](app::CSetupDlg& dialog) {
        ClickDialog(&dialog, InstallPage::BrowseRect());
        ClickDialog(&dialog, InstallPage::InstallRect());
        running = dialog.Installer()->Running();
        status = dialog.Installer()->StatusText();
    });
    EXPECT_FALSE(running);
    EXPECT_EQ(status, app::kBusyRefusal);
    EXPECT_TRUE(w.window->Controller().Busy().load());
    EXPECT_EQ(install::HistoryStatus(w.market.Paths(), 600001).bars, 0u);
    EXPECT_EQ(w.window->Controller().Market().index.lastDate, 20260302u);
    w.window->Controller().Busy() = false;
}

}  // namespace
