// bkqy-cli pictures: the example picture of every condition the method
// library shows, MKDAT/mk<g><nnn>.jpg: the daily chart's price panel of the
// stock the condition's worked example picks, ending on the example's day.
#include <QImage>
#include <QtMessageHandler>

#include <cstdio>
#include <string>

#include "app/qt_canvas.h"
#include "base/gbk.h"
#include "chart/paint.h"
#include "cli/example_stocks.h"
#include "cli/market_setup.h"
#include "cli/offscreen_window.h"
#include "picking/example_pictures.h"
#include "screen/chart_screen.h"

namespace cli {
namespace {

// The chart is laid out at half width (45 bars at the window's zoom level 4),
// with a taller price panel than the window's, so that the panel shrinks to
// the picture's width in the proportions of the article's picture frame.
constexpr chart::ChartRect kPictureChartRect{2, 28, 514, 463};
constexpr int kPictureWidth = 330;
constexpr int kJpegQuality = 85;

// The price panel of the chart on screen, from its top frame line to the
// panel's bottom line, without the strip right of it.
QImage DrawPricePanel(screen::ChartScreen& screen, const data::CodeTable& codes) {
    const chart::ChartPage& page = screen.Page();
    const data::OpenStockState& stock = screen.Stock();
    chart::ChartModel model = page.Model();
    model.SetRect(kPictureChartRect);
    model.SetWidth(chart::WidthLayout::Half);
    chart::ChartSettings settings;
    settings.indicators = &screen.Indicators();
    settings.theme = screen.Theme();
    settings.adjustMode = screen.AdjustMode();
    settings.security = {stock.code, codes.StockName(stock.code), stock.isIndex, stock.totalShares,
                         stock.floatShares};
    chart::ChartLayout layout;
    chart::BuildChartLayout(layout, page.Series(), model, settings);
    app::QtCanvas canvas;
    chart::PaintChart(canvas, layout);
    const chart::Geometry& g = layout.geometry;
    const QImage panel = canvas.Image().copy(g.rect.left, g.rect.top, g.rect.right - 2 - g.rect.left,
                                             g.priceBottom + 1 - g.rect.top);
    return panel.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
}

// Qt's notes about its own set-up (no runtime folder on a headless machine)
// are no news to the user of a command that only writes files; what Qt
// reports as critical still goes to stderr.
void KeepOnlyQtsCriticalMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

int RunPicturesCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    data::Workspace workspace;
    data::MarketState market;
    // Picking and the chart read no sectors and no settings.
    if (!StartMarket(in, prompter, workspace, market,
                     {.sectorLibrary = false, .settings = false}))
        return static_cast<int>(Exit::Refused);
    if (market.exampleCount == 0 || market.exampleCount == data::kNoExamples)
        return in.Fail(Exit::Refused, "选股示例文件 " + market.paths.examples +
                                          " 不存在或没有示例，无法画出示例图片");
    qInstallMessageHandler(KeepOnlyQtsCriticalMessages);
    const auto application = OffscreenWindow::MakeApplication(in);
    const data::CodeTable codes(workspace.CodeTableRegion());
    screen::ChartScreen chart(workspace, market, prompter);
    // The forward-adjusted chart, as a scan result or a picked stock opens.
    chart.SetAdjustMode(data::AdjustMode::Forward);

    int drawn = 0, missed = 0;
    for (const picking::ConditionCode condition : picking::PicturedConditions()) {
        const auto stock = ChooseExampleStock(workspace, market, codes, condition, prompter);
        if (!stock || !chart.Open(stock->code)) {
            Tell(in.Command().name, condition.Text() + " 的示例图片未画出");
            ++missed;
            continue;
        }
        const std::string path = picking::ExamplePicturePath(market.paths, condition);
        const base::Status written =
            WriteImageFile(DrawPricePanel(chart, codes), path, "JPG", kJpegQuality);
        // The folder refuses the others just the same.
        if (!written) return in.Fail(Exit::Refused, "无法写入 " + path + "：" + written.error());
        ++drawn;
        std::string note;
        if (!stock->picked)
            note = "（未选出股票" + (stock->notPicked.empty() ? "" : "：" + stock->notPicked) +
                   "；取第一只待选股）";
        std::printf("%-4s %u %s %s%s\n", condition.Text().c_str(), stock->date,
                    data::CodeText(stock->code).c_str(),
                    base::GbkToUtf8(codes.StockName(stock->code)).c_str(), note.c_str());
    }
    std::printf("示例图片 %d 张已写入 %sMKDAT/\n", drawn, market.paths.root.c_str());
    return static_cast<int>(missed == 0 ? Exit::Ok : Exit::Refused);
}

}  // namespace cli
