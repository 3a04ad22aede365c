// bkqy-cli scan: a sector scan over a market or a list file, printed as a
// readable Chinese table, one JSON object or CSV rows.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_map>

#include "base/gbk.h"
#include "cli/command_prompter.h"
#include "cli/csv.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/market_setup.h"
#include "cli/sector_setup.h"
#include "cli/text_table.h"
#include "cli/values.h"
#include "picking/simulation.h"
#include "sectors/library.h"

namespace cli {
namespace {

// What the three outputs read: the published scan and what it was run on.
struct ScanReport {
    const Invocation& in;
    const SectorSetup& setup;
    const sectors::ScanOutcome& outcome;

    sectors::ScanType Type() const { return outcome.settings.type; }
    sectors::ScanResultView Result() const { return outcome.Result(); }
    // The sectors printed: all, or the first --top.
    size_t Shown() const {
        const size_t count = Result().SectorCount();
        const auto top = in.Number("top");
        return top ? std::min(count, static_cast<size_t>(*top)) : count;
    }
    size_t Candidates() const { return setup.candidates.codes.size(); }
    const sectors::SectorLibrary& Library() const { return setup.library; }
    const std::string& Name(uint32_t code) const { return setup.names->Of(code); }
    // A sector's members in the library: one walk for the whole report, not one a sector.
    const std::unordered_map<uint32_t, uint32_t> memberCounts = sectors::SectorMemberCounts(setup.library);
    uint32_t Members(uint32_t number) const {
        const auto it = memberCounts.find(number);
        return it != memberCounts.end() ? it->second : 0;
    }
    std::string Percent(int64_t raw) const { return ScanPercentText(Type(), raw); }
    const sectors::SectorLimits& Limits(size_t rank) const { return outcome.limits[rank - 1]; }
    // "2连板 北广通信", or "-" without a limit-up member.
    std::string StreakText(size_t rank) const {
        const sectors::SectorLimits& l = Limits(rank);
        if (l.streakCode == 0) return "-";
        return std::to_string(l.streak) + "连板 " + Name(l.streakCode);
    }
};

void WriteStock(JsonWriter& json, const ScanReport& r, const sectors::ResultEntry& stock) {
    json.BeginObject()
        .Field("code", data::CodeText(stock.code))
        .Field("name", r.Name(stock.code))
        .Key("value")
        .Number(r.Percent(stock.value))
        .Field("value_raw", stock.value)
        .EndObject();
}

// A sector's limit counts and its longest streak with its stock (null without).
void WriteLimits(JsonWriter& json, const ScanReport& r, const sectors::SectorLimits& limits) {
    json.Field("limit_up", limits.limitUp)
        .Field("limit_down", limits.limitDown)
        .Field("streak", limits.streak)
        .Key("streak_code");
    if (limits.streakCode == 0) {
        json.Null().Key("streak_name").Null();
        return;
    }
    json.String(data::CodeText(limits.streakCode)).Field("streak_name", r.Name(limits.streakCode));
}

void PrintJson(const ScanReport& r) {
    const sectors::ScanOutcome& o = r.outcome;
    const sectors::ScanResultView result = r.Result();
    JsonWriter json;
    json.BeginObject()
        .Field("date", o.referenceDate);
    WriteScanSettingsFields(json, r.in, r.setup);
    json.Field("selected_count", o.selected.size())
        .Key("selected")
        .BeginArray();
    for (const sectors::ResultEntry& stock : o.selected) WriteStock(json, r, stock);
    json.EndArray()
        .Field("min_cx", o.ranking.minCx)
        .Field("ahead_cx", o.ranking.aheadCx)
        .Field("sector_count", result.SectorCount())
        .Key("sectors")
        .BeginArray();
    for (size_t rank = 1; rank <= r.Shown(); ++rank) {
        const uint32_t number = result.ResultSectorNumber(rank);
        const sectors::RankedSector& ranked = o.ranking.sectors[rank - 1];
        json.BeginObject()
            .Field("rank", rank)
            .Field("number", sectors::SectorDisplayNumber(number))
            .Field("name", base::GbkToUtf8(result.ResultSectorName(rank)))
            .Field("hits", result.ResultSectorMemberCount(rank))
            .Field("members", r.Members(number))
            .Field("score", ranked.score)
            .Field("qualified", ranked.qualified);
        WriteLimits(json, r, r.Limits(rank));
        json.Key("stocks")
            .BeginArray();
        for (const auto& stock : result.LoadResultSector(rank)) WriteStock(json, r, stock);
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintCsv(const ScanReport& r) {
    const sectors::ScanResultView result = r.Result();
    std::string text = CsvLine({"rank", "number", "sector", "hits", "members", "score", "code",
                                "name", "value", "value_raw", "limit_up", "limit_down", "streak",
                                "streak_code"});
    for (size_t rank = 1; rank <= r.Shown(); ++rank) {
        const uint32_t number = result.ResultSectorNumber(rank);
        const std::vector<std::string> sector = {
            std::to_string(rank), std::to_string(sectors::SectorDisplayNumber(number)),
            base::GbkToUtf8(result.ResultSectorName(rank)),
            std::to_string(result.ResultSectorMemberCount(rank)),
            std::to_string(r.Members(number)),
            std::to_string(r.outcome.ranking.sectors[rank - 1].score)};
        const sectors::SectorLimits& limits = r.Limits(rank);
        const std::vector<std::string> limitFields = {
            std::to_string(limits.limitUp), std::to_string(limits.limitDown),
            std::to_string(limits.streak),
            limits.streakCode ? data::CodeText(limits.streakCode) : std::string()};
        for (const auto& stock : result.LoadResultSector(rank)) {
            std::vector<std::string> row = sector;
            row.insert(row.end(), {data::CodeText(stock.code), r.Name(stock.code),
                                   r.Percent(stock.value), std::to_string(stock.value)});
            row.insert(row.end(), limitFields.begin(), limitFields.end());
            text += CsvLine(row);
        }
    }
    std::fputs(text.c_str(), stdout);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The scan's line as the window's caption says it: "热点板块：涨幅≥7.50%".
std::string Headline(const ScanReport& r) {
    const uint32_t d = r.outcome.referenceDate;
    char date[32];
    std::snprintf(date, sizeof date, "%04u.%02u.%02u", d / 10000, d / 100 % 100, d % 100);
    std::string line = "参考日 " + std::string(date) + "  ";
    if (const auto market = r.in.Market()) line += std::string(MarketName(*market)) + "  ";
    line += std::string(sectors::ScanTitleWord(r.Type())) + "：" +
            std::string(ScanTypeName(r.Type())) + "≥" +
            sectors::ThresholdText(r.Type(), r.outcome.settings.threshold) + "%";
    line += "  待选股 " + std::to_string(r.Candidates()) + "  选出股 " +
            std::to_string(r.outcome.selected.size()) + "  板块 " +
            std::to_string(r.Result().SectorCount()) + "  Min_cx=" +
            std::to_string(r.outcome.ranking.minCx) + "  Ahead_cx=" +
            std::to_string(r.outcome.ranking.aheadCx);
    return line;
}

// One line per sector in aligned columns, its selected stocks under it.
void PrintText(const ScanReport& r) {
    std::string text = Headline(r) + "\n";
    const sectors::ScanResultView result = r.Result();
    if (result.SectorCount() == 0) {
        std::fputs((text + "（当前板块为空）\n").c_str(), stdout);
        return;
    }
    TextTable sectorTable({true, true, false, true, true, true, true, true, true});
    sectorTable.Add(
        {"排名", "板块序号", "板块名称", "选出股", "成员股", "得分", "涨停", "跌停", "最高连板"});
    TextTable stockTable({false, false, true});
    std::vector<size_t> stockCounts;
    for (size_t rank = 1; rank <= r.Shown(); ++rank) {
        const uint32_t number = result.ResultSectorNumber(rank);
        char numberText[16];
        std::snprintf(numberText, sizeof numberText, "%04u", sectors::SectorDisplayNumber(number));
        sectorTable.Add({std::to_string(rank), numberText,
                         base::GbkToUtf8(result.ResultSectorName(rank)),
                         std::to_string(result.ResultSectorMemberCount(rank)),
                         std::to_string(r.Members(number)),
                         std::to_string(r.outcome.ranking.sectors[rank - 1].score),
                         std::to_string(r.Limits(rank).limitUp),
                         std::to_string(r.Limits(rank).limitDown), r.StreakText(rank)});
        const auto stocks = result.LoadResultSector(rank);
        stockCounts.push_back(stocks.size());
        for (const auto& stock : stocks) {
            const std::string value = r.Percent(stock.value);
            const bool sign = r.Type() == sectors::ScanType::Hot;
            stockTable.Add({data::CodeText(stock.code), r.Name(stock.code),
                            (sign ? "+" : "") + value + "%"});
        }
    }
    const auto sectorLines = Lines(sectorTable.Text());
    const auto stockLines = Lines(stockTable.Text("      "));
    text += sectorLines[0] + "\n";
    size_t next = 0;
    for (size_t i = 0; i < stockCounts.size(); ++i) {
        text += sectorLines[i + 1] + "\n";
        for (size_t k = 0; k < stockCounts[i]; ++k) text += stockLines[next++] + "\n";
    }
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunScanCommand(const Invocation& in) {
    CommandPrompter prompter(in.Command().name);
    auto setup = std::make_unique<SectorSetup>();
    if (!StartSectorCommand(in, prompter, *setup)) return static_cast<int>(Exit::Refused);
    auto scan = std::make_unique<sectors::SectorScan>();
    // Each scan is a process of its own: what it reads is kept for the next.
    scan->SetTailCache({.enabled = true});
    std::vector<picking::PendingMessage> messages;
    scan->Run(setup->inputs, setup->library, setup->settings, setup->candidates.codes,
              setup->Cutoff(), messages);
    for (const auto& m : messages) prompter.ShowMessage(m.text, m.caption);
    if (scan->Outcome().referenceDate == 0) return static_cast<int>(Exit::Refused);

    const ScanReport report{in, *setup, scan->Outcome()};
    PrintIn(in.Format(), [&] { PrintJson(report); }, [&] { PrintCsv(report); },
            [&] { PrintText(report); });
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
