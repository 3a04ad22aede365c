// bkqy-cli summary: starts the data layer on a data root and prints what it
// loaded, with the latest day's market breadth.
#include <chrono>
#include <cstdio>

#include "base/endian.h"
#include "base/gbk.h"
#include "cli/command_prompter.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/market_setup.h"
#include "cli/numbers.h"
#include "cli/text_table.h"
#include "data/code_table.h"

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
        if (!area.Loaded() || area.lastBar < area.firstBar + data::kStockRecordWords) continue;
        data::Adjuster adjuster{&market.exRights, market.exRights.FindEntry(code),
                                data::AdjustMode::Forward};
        auto view = area.View(adjuster);
        if (data::BarDate(view, area.lastBar) != market.index.lastDate) continue;
        ++b.tradedToday;
        const uint32_t close = data::BarClose(view, area.lastBar);
        const uint32_t previous = data::BarClose(view, area.lastBar - data::kStockRecordWords);
        if (close > previous) ++b.up;
        if (close < previous) ++b.down;
        if (close == previous) ++b.flat;
        if (previous > 0 && uint64_t{close} * 1000 >= uint64_t{previous} * 1075) ++b.upSevenAndHalf;
    }
    return b;
}

// Table dates are held as YYMMDD after 2000 (20,000,000 taken off); JSON
// dates are always YYYYMMDD.
uint32_t FullDate(uint32_t date) { return date != 0 && date < 1'000'000 ? date + 20'000'000 : date; }

struct Loaded {
    const data::MarketState& market;
    size_t codes = 0;
    uint32_t sectors = 0;
    std::string indexName{};
    Breadth breadth{};
    double startupMs = 0;
    double breadthMs = 0;

    uint32_t Examples() const { return market.exampleCount == 0xFFFF ? 0 : market.exampleCount; }
};

void PrintJson(const Loaded& l) {
    const data::MarketState& m = l.market;
    const Breadth& b = l.breadth;
    JsonWriter json;
    json.BeginObject()
        .Field("data", m.paths.root)
        .Key("code_table").BeginObject()
        .Field("records", l.codes)
        .Field("date", FullDate(m.codeTableDate))
        .EndObject()
        .Key("ex_rights").BeginObject()
        .Field("records", m.exRights.RecordCount())
        .Field("ignored_events", m.exRights.IgnoredEvents())
        .EndObject()
        .Key("sector_library").BeginObject()
        .Field("sectors", l.sectors)
        .Field("skipped", m.sectorsSkipped)
        .Key("weights").BeginObject()
        .Field("share", m.sectorHeader.shareWeight)
        .Field("count", m.sectorHeader.countWeight)
        .Field("move", m.sectorHeader.moveWeight)
        .EndObject()
        .Field("date", FullDate(m.sectorHeader.date))
        .EndObject()
        .Field("watch_list", m.settings.watchList.size())
        .Field("examples", l.Examples())
        .Key("index").BeginObject()
        .Field("code", data::CodeText(m.index.code))
        .Field("name", l.indexName)
        .Field("first_date", m.index.firstDate)
        .Field("last_date", m.index.lastDate)
        .EndObject()
        .Key("breadth").BeginObject()
        .Field("date", m.index.lastDate)
        .Field("stocks", b.stocks)
        .Field("traded", b.tradedToday)
        .Field("up", b.up)
        .Field("down", b.down)
        .Field("flat", b.flat)
        .Field("up_7_5", b.upSevenAndHalf)
        .EndObject()
        .Key("elapsed_ms").BeginObject()
        .Key("startup").Number(RealText(l.startupMs))
        .Key("breadth").Number(RealText(l.breadthMs))
        .EndObject()
        .EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintText(const Loaded& l) {
    const data::MarketState& m = l.market;
    const Breadth& b = l.breadth;
    std::printf("数据目录      %s\n", m.paths.root.c_str());
    std::printf("代码表        %zu 条 (日期 %u)\n", l.codes, m.codeTableDate);
    std::printf("除权表        %u 条记录%s\n", m.exRights.RecordCount(),
                m.exRights.IgnoredEvents() == 0
                    ? ""
                    : ("（" + std::to_string(m.exRights.IgnoredEvents()) + " 个数值不合理的除权事件未用）").c_str());
    std::printf("板块库        %u 个板块%s, 权重 %u/%u/%u (日期 %u)\n", l.sectors,
                m.sectorsSkipped == 0
                    ? ""
                    : ("（另有 " + std::to_string(m.sectorsSkipped) + " 个无法使用，已跳过）").c_str(),
                m.sectorHeader.shareWeight, m.sectorHeader.countWeight, m.sectorHeader.moveWeight,
                m.sectorHeader.date);
    std::printf("自选股        %zu 只\n", m.settings.watchList.size());
    std::printf("选股示例      %u 条\n", l.Examples());
    std::printf("大盘指数      %06u %s, %u 至 %u\n", m.index.code, Printable(l.indexName).c_str(),
                m.index.firstDate, m.index.lastDate);
    std::printf("最新交易日    %u: %zu 只股票中 %zu 只交易, 上涨 %zu, 下跌 %zu, 平盘 %zu, "
                "涨幅≥7.5%% %zu 只\n",
                m.index.lastDate, b.stocks, b.tradedToday, b.up, b.down, b.flat, b.upSevenAndHalf);
    std::printf("耗时          启动 %.1f ms, 全市场扫描 %.1f ms\n", l.startupMs, l.breadthMs);
}

}  // namespace

int RunSummaryCommand(const Invocation& in) {
    using Ms = std::chrono::duration<double, std::milli>;
    const auto started = std::chrono::steady_clock::now();
    CommandPrompter prompter(in.Command().name);
    data::Workspace workspace;
    data::MarketState market;
    if (!StartMarket(in, prompter, workspace, market, data::kEveryPart))
        return static_cast<int>(Exit::Refused);
    const auto loaded = std::chrono::steady_clock::now();
    data::CodeTable codes(workspace.CodeTableRegion());
    const auto library = workspace.Bytes(data::BufferId::SectorLibrary);
    Loaded l{market};
    l.codes = codes.Count();
    l.sectors = market.sectorLibraryBytes >= 3 ? base::ReadU24(library.data()) : 0;
    l.indexName = base::GbkToUtf8(codes.StockName(market.index.code));
    l.breadth = MeasureBreadth(workspace, market);
    l.startupMs = Ms(loaded - started).count();
    l.breadthMs = Ms(std::chrono::steady_clock::now() - loaded).count();
    if (in.Format() == OutputFormat::Json)
        PrintJson(l);
    else
        PrintText(l);
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
