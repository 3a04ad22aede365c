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
#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "cli/json.h"
#include "data/paths.h"
#include "data/startup.h"
#include "install/import.h"
#include "install/tables.h"

namespace cli {
namespace {

constexpr int kUsageError = 2;
constexpr int kRefused = 1;
constexpr auto kProgressInterval = std::chrono::milliseconds(500);

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "bkqy-cli import: %s\n", message.c_str());
    return code;
}

enum class ImportKind { Vipdoc, Csv, Sectors, ExRights };

// The one source the options name, or nothing (with why) for none or several.
std::optional<ImportKind> KindOf(const Args& args, std::string& error) {
    const std::pair<const char*, ImportKind> kinds[] = {{"vipdoc", ImportKind::Vipdoc},
                                                        {"csv", ImportKind::Csv},
                                                        {"sectors", ImportKind::Sectors},
                                                        {"exrights", ImportKind::ExRights}};
    std::optional<ImportKind> found;
    for (const auto& [name, kind] : kinds) {
        if (!args.Has(name)) continue;
        if (found) {
            error = "give only one of --vipdoc, --csv, --sectors, --exrights";
            return std::nullopt;
        }
        if (args.Get(name)->empty()) {
            error = std::string("--") + name + " needs a path";
            return std::nullopt;
        }
        found = kind;
    }
    if (!found) error = "give one of --vipdoc DIR, --csv PATH, --sectors FILE, --exrights FILE";
    return found;
}

// The data root locked for this run, cleaned of temporaries a killed write
// left, with what it needs to start, and its tables loaded.
struct Session {
    std::optional<base::InstanceLock> lock;
    data::Workspace workspace;
    data::MarketState market;
};

int OpenSession(const std::string& root, Session& session) {
    if (auto s = base::MakeFolders(root); !s) return Fail(kRefused, "cannot create " + root);
    base::StderrPrompter prompter;
    const data::DataPaths paths = data::BuildDataPaths(root);
    session.lock = data::AcquireSingleInstance(paths, prompter);
    if (!session.lock) return Fail(kRefused, "another copy of the program uses " + root);
    for (const std::string& folder : {paths.shFolder, paths.szFolder, paths.root + "MKDAT"})
        base::RemoveLeftTemporaries(folder);
    if (auto s = install::PrepareDataRoot(root); !s) return Fail(kRefused, s.error());
    if (auto s = install::LoadInstallTables(session.workspace, root, session.market); !s)
        return Fail(kRefused, s.error());
    return 0;
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
        std::fprintf(stderr, "import: %u/%u\n", progress.done.load(), progress.total.load());
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
    std::fprintf(stderr,
                 "bkqy-cli import: warning: %s has no market index (MKDAY/SH/999999.day or "
                 "MKDAY/SZ/399001.day); the program cannot start without one\n",
                 paths.root.c_str());
}

std::string RefusedJson(const std::vector<install::ImportRefusal>& refused) {
    std::string text = "[";
    for (size_t i = 0; i < refused.size(); ++i) {
        const auto& r = refused[i];
        text += std::string(i ? "," : "") +
                "{\"code\":" + JsonString(r.code ? data::CodeText(r.code) : "") +
                ",\"reason\":" + JsonString(r.reason) + "}";
    }
    return text + "]";
}

void PrintDayReport(const install::ImportReport& r, size_t codesAdded, bool json) {
    if (json) {
        std::printf(
            "{\"imported\":%zu,\"created\":%zu,\"unchanged\":%zu,\"skipped_other\":%zu,"
            "\"codes_added\":%zu,\"refused\":%s,\"last_date\":%u}\n",
            r.imported, r.created, r.unchanged, r.skippedOther, codesAdded,
            RefusedJson(r.refused).c_str(), r.lastDate);
        return;
    }
    std::printf("imported      %zu securities (%zu new day files, %zu already up to date)\n",
                r.imported, r.created, r.unchanged);
    std::printf("skipped       %zu funds, bonds, other indices and other files\n", r.skippedOther);
    std::printf("code table    %zu codes added\n", codesAdded);
    std::printf("latest bar    %u\n", r.lastDate);
    std::printf("refused       %zu\n", r.refused.size());
    for (const auto& refusal : r.refused)
        std::printf("  %s %s\n", refusal.code ? data::CodeText(refusal.code).c_str() : "------",
                    refusal.reason.c_str());
}

int ImportDays(const Args& args, ImportKind kind, Session& session) {
    install::ImportOptions options;
    options.source =
        kind == ImportKind::Vipdoc ? install::ImportSource::Vipdoc : install::ImportSource::Csv;
    options.path = *args.Get(kind == ImportKind::Vipdoc ? "vipdoc" : "csv");
    options.namesFile = args.Get("names").value_or("");
    const data::DataPaths& paths = session.market.paths;
    const install::ImportReport report = ImportWithProgress(paths, options);
    install::CodeImportCounts codes;
    const base::Status applied =
        install::ApplyImportedCodes(session.workspace, session.market, report, &codes);
    PrintDayReport(report, codes.added, args.Has("json"));
    WarnWithoutIndex(paths);
    if (!applied) return Fail(kRefused, applied.error());
    return report.refused.empty() ? 0 : kRefused;
}

int ImportSectorFile(const Args& args, Session& session) {
    auto report = install::ImportSectors(session.workspace, session.market, *args.Get("sectors"));
    if (!report) return Fail(kRefused, report.error());
    if (args.Has("json"))
        std::printf("{\"sectors\":%zu,\"memberships\":%zu}\n", report->sectors,
                    report->memberships);
    else
        std::printf("sector library  %zu sectors, %zu memberships\n", report->sectors,
                    report->memberships);
    return 0;
}

int ImportExRightsFile(const Args& args, Session& session) {
    auto report = install::ImportExRights(session.workspace, session.market, *args.Get("exrights"));
    if (!report) return Fail(kRefused, report.error());
    if (args.Has("json")) {
        std::string problems = "[";
        for (size_t i = 0; i < report->problems.size(); ++i)
            problems += (i ? "," : "") + JsonString(report->problems[i]);
        std::printf("{\"changed\":%zu,\"unchanged\":%zu,\"problems\":%s]}\n", report->changed,
                    report->unchanged, problems.c_str());
    } else {
        std::printf("ex-rights     %zu events added or corrected, %zu already there\n",
                    report->changed, report->unchanged);
        for (const std::string& problem : report->problems) std::printf("  %s\n", problem.c_str());
    }
    return report->problems.empty() ? 0 : kRefused;
}

}  // namespace

int RunImportCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnown({"data", "vipdoc", "csv", "names", "sectors", "exrights", "json"}, &error))
        return Fail(kUsageError, error);
    const auto root = args.Get("data");
    if (!root || root->empty()) return Fail(kUsageError, "--data DIR is required");
    const auto kind = KindOf(args, error);
    if (!kind) return Fail(kUsageError, error);
    const bool dayData = *kind == ImportKind::Vipdoc || *kind == ImportKind::Csv;
    if (args.Has("names") && (!dayData || args.Get("names")->empty()))
        return Fail(kUsageError, "--names FILE goes with --vipdoc or --csv");

    Session session;
    if (const int failed = OpenSession(*root, session); failed != 0) return failed;
    switch (*kind) {
        case ImportKind::Vipdoc:
        case ImportKind::Csv:
            return ImportDays(args, *kind, session);
        case ImportKind::Sectors:
            return ImportSectorFile(args, session);
        case ImportKind::ExRights:
            return ImportExRightsFile(args, session);
    }
    return kUsageError;
}

}  // namespace cli
