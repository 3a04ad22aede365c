// bkqy-cli summary: starts the data layer on a data root and prints what it
// loaded, with the latest day's market breadth.
#include <chrono>
#include <cstdio>
#include <ctime>

#include "base/endian.h"
#include "base/gbk.h"
#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "data/code_table.h"
#include "data/startup.h"

namespace cli {
namespace {

struct Breadth {
    size_t stocks = 0;
    size_t tradedToday = 0;
    size_t up = 0;
    size_t down = 0;
    size_t flat = 0;
    size_t upSevenAndHalf = 0;  // the default hot-sector threshold
};

// The last bar against the one before it, forward-adjusted, for every stock
// that traded on the latest index date.
Breadth MeasureBreadth(data::Workspace& workspace, const data::MarketState& market) {
    Breadth b;
    data::CodeTable codes(workspace.CodeTableRegion());
    data::ScanArea area{workspace.ScanAreaRegion()};
    for (size_t i = 0; i < codes.Count(); ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (data::IsIndexCode(code)) continue;
        ++b.stocks;
        data::LoadScanDayFile(market.paths, code, area);
        if (!area.Loaded() || area.lastBar < area.firstBar + 5) continue;
        data::Adjuster adjuster{&market.exRights, market.exRights.FindEntry(code),
                                data::AdjustMode::Forward};
        auto view = area.View(adjuster);
        if (data::BarDate(view, area.lastBar) != market.index.lastDate) continue;
        ++b.tradedToday;
        const uint32_t close = data::BarClose(view, area.lastBar);
        const uint32_t previous = data::BarClose(view, area.lastBar - 5);
        if (close > previous) ++b.up;
        if (close < previous) ++b.down;
        if (close == previous) ++b.flat;
        if (previous > 0 && uint64_t{close} * 1000 >= uint64_t{previous} * 1075) ++b.upSevenAndHalf;
    }
    return b;
}

}  // namespace

int RunSummaryCommand(const Args& args) {
    std::string unknown;
    if (!args.OnlyKnown({"data"}, &unknown)) {
        std::fprintf(stderr, "bkqy-cli summary: %s\n", unknown.c_str());
        return 2;
    }
    auto root = args.Get("data");
    if (!root || root->empty()) {
        std::fprintf(stderr, "bkqy-cli summary: --data DIR is required\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    data::Workspace workspace;
    base::StderrPrompter prompter;
    data::MarketState market;
    if (data::RunStartup(workspace, *root, prompter, std::time(nullptr), market) !=
        data::StartupOutcome::Ready)
        return 1;
    const auto loaded = std::chrono::steady_clock::now();
    data::CodeTable codes(workspace.CodeTableRegion());
    const auto library = workspace.Bytes(data::BufferId::SectorLibrary);
    const uint32_t sectors = market.sectorLibraryBytes >= 3 ? base::ReadU24(library.data()) : 0;
    std::printf("数据目录      %s\n", market.paths.root.c_str());
    std::printf("代码表        %zu 条 (日期 %u)\n", codes.Count(), market.codeTableDate);
    std::printf("除权表        %u 条记录\n", market.exRights.RecordCount());
    std::printf("板块库        %u 个板块, 权重 %u/%u/%u (日期 %u)\n", sectors,
                market.sectorHeader.shareWeight, market.sectorHeader.countWeight,
                market.sectorHeader.moveWeight, market.sectorHeader.date);
    std::printf("自选股        %zu 只\n", market.settings.watchList.size());
    std::printf("选股示例      %u 条\n", market.exampleCount == 0xFFFF ? 0 : market.exampleCount);
    const std::string indexName = base::GbkToUtf8(codes.StockName(market.index.code));
    std::printf("大盘指数      %06u %s, %u 至 %u\n", market.index.code, indexName.c_str(),
                market.index.firstDate, market.index.lastDate);
    const Breadth b = MeasureBreadth(workspace, market);
    const auto done = std::chrono::steady_clock::now();
    std::printf("最新交易日    %u: %zu 只股票中 %zu 只交易, 上涨 %zu, 下跌 %zu, 平盘 %zu, 涨幅≥7.5%% %zu 只\n",
                market.index.lastDate, b.stocks, b.tradedToday, b.up, b.down, b.flat,
                b.upSevenAndHalf);
    using ms = std::chrono::duration<double, std::milli>;
    std::printf("耗时          启动 %.1f ms, 全市场扫描 %.1f ms\n", ms(loaded - started).count(),
                ms(done - loaded).count());
    return 0;
}

}  // namespace cli
