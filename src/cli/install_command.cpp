// bkqy-cli install: day-data packages and the table files brought into a
// data root, each file by what it is.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/file_io.h"
#include "base/stderr_prompter.h"
#include "cli/args.h"
#include "cli/json.h"
#include "data/paths.h"
#include "data/startup.h"
#include "install/import.h"
#include "install/install_file.h"

namespace cli {
namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "bkqy-cli install: %s\n", message.c_str());
    return 2;
}

struct FileOutcome {
    std::string file;
    install::FileKind kind = install::FileKind::Package;
    std::optional<install::Refusal> refusal;
    install::PackageReport package;
    install::TableMerge table;
};

// Runs the block loop on a worker and reports progress on stderr about
// twice a second, so a long install shows it is alive.
install::PackageReport InstallWithProgress(const data::DataPaths& paths, const std::string& file,
                                           std::span<const uint32_t> words) {
    install::InstallProgress progress;
    install::PackageReport report;
    std::atomic<bool> finished{false};
    std::jthread worker([&] {
        report = install::InstallPackageImage(
            paths, words, progress, install::IndexBookkeeping{install::DownloadMode::Daily});
        finished = true;
    });
    auto shown = std::chrono::steady_clock::now();
    while (!finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto now = std::chrono::steady_clock::now();
        if (now - shown < std::chrono::milliseconds(500)) continue;
        std::fprintf(stderr, "install %s: %u/%u\n", file.c_str(), progress.blocksDone.load(),
                     progress.blocksTotal.load());
        shown = now;
    }
    worker.join();
    return report;
}

FileOutcome InstallOne(data::Workspace& workspace, data::MarketState& market,
                       const std::string& file, install::DateRule rule) {
    FileOutcome outcome;
    outcome.file = file;
    if (auto kind = install::KindByName(file)) {
        outcome.kind = *kind;
        install::TableFileReport report =
            install::InstallTableFile(workspace, market, file, *kind, rule);
        outcome.refusal = std::move(report.refusal);
        outcome.table = std::move(report.merge);
        return outcome;
    }
    install::LoadedPackage package = install::LoadPackage(file);
    if (package.refusal) {
        outcome.refusal = std::move(package.refusal);
        return outcome;
    }
    outcome.package = InstallWithProgress(market.paths, file, package.file.words);
    return outcome;
}

std::string CodesJson(const std::vector<uint32_t>& codes) {
    std::string text = "[";
    for (size_t i = 0; i < codes.size(); ++i)
        text += (i ? "," : "") + JsonString(data::CodeText(codes[i]));
    return text + "]";
}

std::string ProblemsJson(const std::vector<std::string>& problems) {
    std::string text = "[";
    for (size_t i = 0; i < problems.size(); ++i) text += (i ? "," : "") + JsonString(problems[i]);
    return text + "]";
}

std::string OutcomeJson(const FileOutcome& o) {
    const bool package = o.kind == install::FileKind::Package;
    const auto& skipped = package ? o.package.skippedCodes : o.table.skippedCodes;
    std::string text = "{\"file\":" + JsonString(o.file) + ",\"kind\":" +
                       JsonString(std::string(install::KindName(o.kind)));
    text += ",\"blocks\":" + std::to_string(package ? o.package.blocks : 0);
    text += ",\"created\":" + std::to_string(package ? o.package.created : 0);
    text += ",\"merged\":" + std::to_string(package ? o.package.merged : o.table.changed);
    text += ",\"unchanged\":" + std::to_string(package ? o.package.unchanged : o.table.unchanged);
    text += ",\"skipped\":" + CodesJson(skipped);
    text += ",\"stopped\":" + std::string(o.package.stopped ? "true" : "false");
    text += ",\"problems\":" + ProblemsJson(package ? o.package.problems : o.table.problems);
    if (o.refusal) text += ",\"refused\":" + JsonString(o.refusal->text);
    return text + "}";
}

void PrintOutcome(const FileOutcome& o) {
    if (o.refusal) {
        std::printf("%s: refused (%s: %s)\n", o.file.c_str(), o.refusal->caption.c_str(),
                    o.refusal->text.c_str());
        return;
    }
    const std::string kind(install::KindName(o.kind));
    if (o.kind == install::FileKind::Package) {
        const auto& p = o.package;
        std::printf("%s: %s, %zu blocks: %zu created, %zu merged, %zu unchanged, %zu skipped\n",
                    o.file.c_str(), kind.c_str(), p.blocks, p.created, p.merged, p.unchanged,
                    p.skippedCodes.size());
    } else {
        std::printf("%s: %s, %zu changed, %zu unchanged, %zu skipped\n", o.file.c_str(),
                    kind.c_str(), o.table.changed, o.table.unchanged, o.table.skippedCodes.size());
    }
    const auto& problems =
        o.kind == install::FileKind::Package ? o.package.problems : o.table.problems;
    for (const std::string& problem : problems) std::printf("  %s\n", problem.c_str());
}

}  // namespace

int RunInstallCommand(const Args& args) {
    std::string error;
    if (!args.OnlyKnownWithFiles({"data", "force", "json"}, &error)) return Fail(error);
    const auto root = args.Get("data");
    if (!root || root->empty()) return Fail("--data DIR is required");
    if (args.Files().empty()) return Fail("give at least one FILE to install");
    if (auto s = base::MakeFolders(*root); !s) return Fail(s.error());

    base::StderrPrompter prompter;
    const data::DataPaths paths = data::BuildDataPaths(*root);
    auto lock = data::AcquireSingleInstance(paths, prompter);
    if (!lock) return 1;
    if (auto s = install::PrepareDataRoot(*root); !s) return Fail(s.error());
    for (const std::string& folder : {paths.shFolder, paths.szFolder, paths.root + "MKDAT"})
        base::RemoveLeftTemporaries(folder);

    data::Workspace workspace;
    data::MarketState market;
    if (auto s = install::LoadInstallTables(workspace, *root, market); !s) return Fail(s.error());

    const install::DateRule rule =
        args.Has("force") ? install::DateRule::Force : install::DateRule::OnlyNewer;
    std::vector<FileOutcome> outcomes;
    bool incomplete = false;  // a file refused or a part of it skipped
    for (const std::string& file : args.Files()) {
        outcomes.push_back(InstallOne(workspace, market, file, rule));
        const FileOutcome& o = outcomes.back();
        incomplete = incomplete || o.refusal || !o.package.skippedCodes.empty() ||
                     !o.package.problems.empty() || !o.table.skippedCodes.empty() ||
                     !o.table.problems.empty();
        if (!args.Has("json")) PrintOutcome(outcomes.back());
    }
    if (args.Has("json")) {
        std::string text = "{\"files\":[";
        for (size_t i = 0; i < outcomes.size(); ++i) text += (i ? "," : "") + OutcomeJson(outcomes[i]);
        std::printf("%s]}\n", text.c_str());
    }
    for (const FileOutcome& o : outcomes)
        if (o.refusal) std::fprintf(stderr, "bkqy-cli install: %s: %s\n", o.file.c_str(), o.refusal->text.c_str());
    return incomplete ? 1 : 0;
}

}  // namespace cli
