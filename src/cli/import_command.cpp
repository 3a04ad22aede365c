// bkqy-cli import: market data users already have (a terminal's vipdoc
// folder, CSV exports, sector and ex-rights CSVs) brought into a data root,
// which is made from nothing when needed.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "base/file_io.h"
#include "cli/command_prompter.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "data/paths.h"
#include "data/startup.h"
#include "install/import.h"
#include "install/tables.h"

namespace cli {
namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(500);
constexpr std::string_view kCommand = "import";

enum class ImportKind { Vipdoc, Csv, Sectors, ExRights };

// The one source the options name (the parser has seen to it that there is one).
ImportKind KindOf(const Invocation& in) {
    if (in.Has("vipdoc")) return ImportKind::Vipdoc;
    if (in.Has("csv")) return ImportKind::Csv;
    if (in.Has("sectors")) return ImportKind::Sectors;
    return ImportKind::ExRights;
}

// The data root locked for this run, cleaned of temporaries a killed write
// left, with what it needs to start, and its tables loaded.
struct Session {
    std::optional<base::InstanceLock> lock;
    data::Workspace workspace;
    data::MarketState market;
};

int OpenSession(const Invocation& in, Session& session) {
    const std::string root = in.Text("data");
    if (auto s = base::MakeFolders(root); !s) return in.Fail(Exit::Refused, "无法建立 " + root);
    CommandPrompter prompter(kCommand);
    const data::DataPaths paths = data::BuildDataPaths(root);
    session.lock = data::AcquireSingleInstance(paths, prompter);
    if (!session.lock) return static_cast<int>(Exit::Refused);
    if (auto s = install::PrepareDataRoot(root); !s) return in.Fail(Exit::Refused, s.error());
    if (auto s = install::LoadInstallTables(session.workspace, root, session.market); !s)
        return in.Fail(Exit::Refused, s.error());
    return static_cast<int>(Exit::Ok);
}

// Runs the import on a worker and shows how far it is on stderr twice a second.
install::ImportReport ImportWithProgress(const data::DataPaths& paths,
                                         const install::ImportOptions& options) {
    install::ImportProgress progress;
    install::ImportReport report;
    std::atomic<bool> finished{false};
    std::jthread worker([&] {
        report = install::ImportDayData(paths, options, progress);
        finished = true;
    });
    auto shown = std::chrono::steady_clock::now();
    while (!finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto now = std::chrono::steady_clock::now();
        if (now - shown < kProgressInterval) continue;
        Tell(kCommand, "进度 " + std::to_string(progress.done.load()) + "/" +
                           std::to_string(progress.total.load()));
        shown = now;
    }
    worker.join();
    return report;
}

// The program cannot start without a market index: say so now, not at its start.
void WarnWithoutIndex(const data::DataPaths& paths) {
    for (uint32_t code : {data::kShanghaiIndexCode, data::kShenzhenIndexCode})
        if (base::InspectPath(data::DayFilePath(paths, code)) == base::PathKind::RegularFile)
            return;
    Tell(kCommand, "注意：" + paths.root +
                       " 中还没有大盘指数（MKDAY/SH/999999.day 或 MKDAY/SZ/399001.day），"
                       "没有它程序无法启动");
}

void PrintDayReport(const install::ImportReport& r, size_t codesAdded, bool json) {
    if (json) {
        JsonWriter writer;
        writer.BeginObject()
            .Field("imported", r.imported)
            .Field("created", r.created)
            .Field("unchanged", r.unchanged)
            .Field("skipped_other", r.skippedOther)
            .Field("codes_added", codesAdded)
            .Key("refused")
            .BeginArray();
        for (const auto& refusal : r.refused)
            writer.BeginObject()
                .Field("code", refusal.code ? data::CodeText(refusal.code) : "")
                .Field("reason", refusal.reason)
                .EndObject();
        writer.EndArray().Field("last_date", r.lastDate).EndObject();
        std::fputs(writer.Line().c_str(), stdout);
        return;
    }
    std::printf("导入          %zu 只证券（新建日线文件 %zu 个，已是最新 %zu 个）\n", r.imported,
                r.created, r.unchanged);
    std::printf("跳过          %zu 个基金、债券、其他指数和其他文件\n", r.skippedOther);
    std::printf("代码表        新增 %zu 个代码\n", codesAdded);
    std::printf("最新 K 线     %u\n", r.lastDate);
    std::printf("拒绝          %zu\n", r.refused.size());
    for (const auto& refusal : r.refused)
        std::printf("  %s %s\n", refusal.code ? data::CodeText(refusal.code).c_str() : "------",
                    refusal.reason.c_str());
}

int ImportDays(const Invocation& in, ImportKind kind, Session& session) {
    install::ImportOptions options;
    options.source =
        kind == ImportKind::Vipdoc ? install::ImportSource::Vipdoc : install::ImportSource::Csv;
    options.path = in.Text(kind == ImportKind::Vipdoc ? "vipdoc" : "csv");
    options.namesFile = in.Text("names");
    const data::DataPaths& paths = session.market.paths;
    const install::ImportReport report = ImportWithProgress(paths, options);
    install::CodeImportCounts codes;
    const base::Status applied =
        install::ApplyImportedCodes(session.workspace, session.market, report, &codes);
    PrintDayReport(report, codes.added, in.Format() == OutputFormat::Json);
    WarnWithoutIndex(paths);
    if (!applied) return in.Fail(Exit::Refused, applied.error());
    return static_cast<int>(report.refused.empty() ? Exit::Ok : Exit::Refused);
}

int ImportSectorFile(const Invocation& in, Session& session) {
    auto report = install::ImportSectors(session.workspace, session.market, in.Text("sectors"));
    if (!report) return in.Fail(Exit::Refused, report.error());
    if (in.Format() == OutputFormat::Json) {
        JsonWriter json;
        json.BeginObject()
            .Field("sectors", report->sectors)
            .Field("memberships", report->memberships)
            .EndObject();
        std::fputs(json.Line().c_str(), stdout);
    } else {
        std::printf("板块库        %zu 个板块，%zu 个成员关系\n", report->sectors,
                    report->memberships);
    }
    return static_cast<int>(Exit::Ok);
}

int ImportExRightsFile(const Invocation& in, Session& session) {
    auto report = install::ImportExRights(session.workspace, session.market, in.Text("exrights"));
    if (!report) return in.Fail(Exit::Refused, report.error());
    if (in.Format() == OutputFormat::Json) {
        JsonWriter json;
        json.BeginObject()
            .Field("changed", report->changed)
            .Field("unchanged", report->unchanged)
            .Field("problems", report->problems)
            .EndObject();
        std::fputs(json.Line().c_str(), stdout);
    } else {
        std::printf("除权表        新增或改正 %zu 条，已有 %zu 条\n", report->changed,
                    report->unchanged);
        for (const std::string& problem : report->problems) std::printf("  %s\n", problem.c_str());
    }
    return static_cast<int>(report->problems.empty() ? Exit::Ok : Exit::Refused);
}

}  // namespace

int RunImportCommand(const Invocation& in) {
    const ImportKind kind = KindOf(in);
    const bool dayData = kind == ImportKind::Vipdoc || kind == ImportKind::Csv;
    if (in.Has("names") && !dayData)
        return in.Fail(Exit::Usage, "--names FILE 只与 --vipdoc 或 --csv 同用");

    Session session;
    if (const int failed = OpenSession(in, session); failed != 0) return failed;
    switch (kind) {
        case ImportKind::Vipdoc:
        case ImportKind::Csv:
            return ImportDays(in, kind, session);
        case ImportKind::Sectors:
            return ImportSectorFile(in, session);
        case ImportKind::ExRights:
            return ImportExRightsFile(in, session);
    }
    return static_cast<int>(Exit::Usage);
}

}  // namespace cli
