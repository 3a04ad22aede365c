// bkqy-cli demo: writes a demo market into a data folder.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/numbers.h"
#include "demo/boards.h"
#include "demo/demo_market.h"
#include "demo/packages.h"
#include "picking/example_pictures.h"

namespace cli {
namespace {

// The boards by their JSON key and their Chinese name.
struct BoardWords {
    demo::Board board;
    std::string_view key;
    std::string_view name;
};
constexpr BoardWords kBoards[] = {
    {demo::Board::ShMain, "sh_main", "沪市主板"}, {demo::Board::Star, "star", "科创板"},
    {demo::Board::SzMain, "sz_main", "深市主板"}, {demo::Board::Sme, "sme", "中小板"},
    {demo::Board::ChiNext, "chinext", "创业板"},
};

// The sector families 1..6 by their JSON key and their Chinese name.
constexpr std::string_view kFamilyKeys[] = {"", "new_concepts", "new_industries", "new_regions",
                                            "concepts", "industries", "regions"};
constexpr std::string_view kFamilyNames[] = {"", "新概念", "新行业", "新地区", "概念", "行业", "地区"};

struct Written {
    std::string root;
    demo::DemoSummary summary;
    std::optional<demo::PackagesSummary> packages;
    std::string packagesDir;
    // The example pictures: how many were drawn, or why they were not.
    int pictures = 0;
    std::optional<std::string> picturesProblem;
    double seconds = 0;
};

void PrintJson(const Written& w) {
    const demo::DemoSummary& s = w.summary;
    JsonWriter json;
    json.BeginObject()
        .Field("data", w.root)
        .Field("first_date", s.firstDate)
        .Field("last_date", s.lastDate)
        .Field("trading_days", s.tradingDays)
        .Field("stocks", s.stocks)
        .Key("boards")
        .BeginObject();
    for (const BoardWords& b : kBoards) json.Field(b.key, s.boardStocks[static_cast<size_t>(b.board)]);
    json.EndObject()
        .Field("st", s.stStocks)
        .Field("new_listings", s.newListings)
        .Field("bars", s.stockBars)
        .Field("sectors", s.sectors)
        .Key("sector_families")
        .BeginObject();
    for (size_t f = 1; f < std::size(kFamilyKeys); ++f) json.Field(kFamilyKeys[f], s.sectorsByFamily[f]);
    json.EndObject()
        .Field("ex_rights_events", s.exRightsEvents)
        .Field("ex_rights_stocks", s.exRightsStocks)
        .Field("files", s.filesWritten)
        .Field("bytes", s.bytesWritten)
        .Key("pictures");
    if (w.picturesProblem)
        json.Null();
    else
        json.Number(std::to_string(w.pictures));
    json.Key("packages");
    if (w.packages) {
        const demo::PackagesSummary& p = *w.packages;
        json.BeginObject()
            .Field("folder", w.packagesDir)
            .Field("cut_date", p.cutDate)
            .Field("package", p.packageName)
            .Field("first_date", p.firstDate)
            .Field("last_date", p.lastDate)
            .Field("blocks", p.blocks)
            .Field("new_listings", p.newListings)
            .Field("ex_rights_events", p.exRightsEvents)
            .Field("securities", p.securities)
            .Field("saturated_volumes", p.saturatedVolumes)
            .EndObject();
    } else {
        json.Null();
    }
    json.Key("elapsed_s").Number(RealText(w.seconds)).EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintText(const Written& w) {
    const demo::DemoSummary& s = w.summary;
    std::printf("演示市场已写入 %s\n", w.root.c_str());
    std::printf("  交易日        %u 至 %u（%u 个交易日）\n", s.firstDate, s.lastDate, s.tradingDays);
    std::string boards;
    for (const BoardWords& b : kBoards)
        boards += (boards.empty() ? "" : "，") + std::string(b.name) + " " +
                  std::to_string(s.boardStocks[static_cast<size_t>(b.board)]);
    std::printf("  股票          %u 只（%s）；ST %u 只，新股 %u 只，K 线 %llu 根\n", s.stocks,
                boards.c_str(), s.stStocks, s.newListings,
                static_cast<unsigned long long>(s.stockBars));
    std::printf("  指数          999999、399001、399006\n");
    std::string families;
    for (size_t f = 1; f < std::size(kFamilyNames); ++f)
        families += (families.empty() ? "" : "，") + std::string(kFamilyNames[f]) + " " +
                    std::to_string(s.sectorsByFamily[f]);
    std::printf("  板块          %u 个（%s）\n", s.sectors, families.c_str());
    std::printf("  除权          %u 只股票的 %u 次除权\n", s.exRightsStocks, s.exRightsEvents);
    std::printf("  写出          %u 个文件，%.1f MB\n", s.filesWritten,
                static_cast<double>(s.bytesWritten) / 1e6);
    if (!w.picturesProblem)
        std::printf("  示例图片      %d 张（MKDAT/mk<g><nnn>.jpg）\n", w.pictures);
    if (w.packages) {
        const demo::PackagesSummary& p = *w.packages;
        std::printf("  数据目录      截至 %u\n", p.cutDate);
        std::printf("  数据包        %s/%s：%u 至 %u，%u 只证券，新股 %u 只，除权 %u 次\n",
                    w.packagesDir.c_str(), p.packageName.c_str(), p.firstDate, p.lastDate, p.blocks,
                    p.newListings, p.exRightsEvents);
        std::printf("  样例数据      %u 只证券的 vipdoc/ 和 csv/，names.csv、sectors.csv、"
                    "exrights.csv\n",
                    p.securities);
        if (p.saturatedVolumes > 0)
            std::printf("  说明          %u 个 vipdoc 成交量超出 32 位股数，记为最大值\n",
                        p.saturatedVolumes);
    }
    std::printf("  用时          %.2f 秒\n", w.seconds);
}

}  // namespace

int RunDemoCommand(const Invocation& in) {
    demo::DemoOptions options;
    options.dataRoot = in.Text("data");
    options.stocks = static_cast<uint32_t>(in.Number("stocks").value_or(options.stocks));
    options.years = static_cast<uint32_t>(in.Number("years").value_or(options.years));
    options.endDate = in.Date("end").value_or(options.endDate);
    options.seed = static_cast<uint64_t>(in.Number("seed").value_or(static_cast<int64_t>(options.seed)));

    Written w;
    w.root = options.dataRoot;
    w.packagesDir = in.Text("packages");
    const auto started = std::chrono::steady_clock::now();
    // The pictures are drawn from the whole market: with --packages before
    // the data folder is cut back, so every example's day is still there.
    const auto drawPictures = [&] {
        w.picturesProblem = RunInWindowProgram("pictures", {"--data", w.root});
        if (!w.picturesProblem) w.pictures = static_cast<int>(picking::PicturedConditions().size());
    };
    if (in.Has("packages")) {
        auto result = demo::WriteDemoPackages(options, w.packagesDir, &w.summary, drawPictures);
        if (!result) return in.Fail(Exit::Refused, result.error());
        w.packages = *result;
    } else {
        auto result = demo::WriteDemoMarket(options);
        if (!result) return in.Fail(Exit::Refused, result.error());
        w.summary = *result;
        drawPictures();
    }
    w.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (in.Format() == OutputFormat::Json)
        PrintJson(w);
    else
        PrintText(w);
    // The market is complete and usable without them, but the demo is only
    // partly written: exit code 1, as for every partly done command.
    if (w.picturesProblem)
        return in.Fail(Exit::Refused, "演示市场已写好，但选股条件的示例图片没有画出：" +
                                          *w.picturesProblem);
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
