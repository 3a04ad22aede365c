// bkqy-cli install: day-data packages and the table files brought into a
// data root, each file by what it is.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/file_io.h"
#include "cli/command_prompter.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "data/paths.h"
#include "data/startup.h"
#include "install/import.h"
#include "install/install_file.h"

namespace cli {
namespace {

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
        Tell("install", file + "：" + std::to_string(progress.blocksDone.load()) + "/" +
                            std::to_string(progress.blocksTotal.load()));
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

void WriteOutcome(JsonWriter& json, const FileOutcome& o) {
    const bool package = o.kind == install::FileKind::Package;
    std::vector<std::string> skipped;
    for (uint32_t code : package ? o.package.skippedCodes : o.table.skippedCodes)
        skipped.push_back(data::CodeText(code));
    json.BeginObject()
        .Field("file", o.file)
        .Field("kind", install::KindName(o.kind))
        .Field("blocks", package ? o.package.blocks : 0)
        .Field("created", package ? o.package.created : 0)
        .Field("merged", package ? o.package.merged : o.table.changed)
        .Field("unchanged", package ? o.package.unchanged : o.table.unchanged)
        .Field("skipped", skipped)
        .Field("stopped", o.package.stopped)
        .Field("problems", package ? o.package.problems : o.table.problems);
    if (o.refusal) json.Field("refused", o.refusal->text);
    json.EndObject();
}

// What the text output calls each kind of file.
std::string_view KindWord(install::FileKind kind) {
    switch (kind) {
        case install::FileKind::Package:
            return "日线数据包";
        case install::FileKind::CodeTable:
            return "代码表";
        case install::FileKind::CodeAdditions:
            return "代码补充";
        case install::FileKind::SectorLibrary:
            return "板块库";
        case install::FileKind::ExRightsTable:
            return "除权表";
        case install::FileKind::ExRightsAdditions:
            return "除权补充";
    }
    return {};
}

void PrintOutcome(const FileOutcome& o) {
    if (o.refusal) {
        std::printf("%s：未安装（%s）\n", o.file.c_str(), o.refusal->text.c_str());
        return;
    }
    const std::string kind(KindWord(o.kind));
    if (o.kind == install::FileKind::Package) {
        const auto& p = o.package;
        std::printf("%s：%s，%zu 个数据块：新建 %zu，合并 %zu，未变 %zu，跳过 %zu\n", o.file.c_str(),
                    kind.c_str(), p.blocks, p.created, p.merged, p.unchanged, p.skippedCodes.size());
    } else {
        std::printf("%s：%s，改动 %zu，未变 %zu，跳过 %zu\n", o.file.c_str(), kind.c_str(),
                    o.table.changed, o.table.unchanged, o.table.skippedCodes.size());
    }
    const auto& problems =
        o.kind == install::FileKind::Package ? o.package.problems : o.table.problems;
    for (const std::string& problem : problems) std::printf("  %s\n", problem.c_str());
}

}  // namespace

int RunInstallCommand(const Invocation& in) {
    if (in.Files().empty()) return in.Fail(Exit::Usage, "缺少要安装的文件 FILE...");
    const std::string root = in.Text("data");
    if (auto s = base::MakeFolders(root); !s) return in.Fail(Exit::Refused, s.error());

    CommandPrompter prompter(in.Command().name);
    const data::DataPaths paths = data::BuildDataPaths(root);
    auto lock = data::AcquireSingleInstance(paths, prompter);
    if (!lock) return static_cast<int>(Exit::Refused);
    if (auto s = install::PrepareDataRoot(root); !s) return in.Fail(Exit::Refused, s.error());

    data::Workspace workspace;
    data::MarketState market;
    if (auto s = install::LoadInstallTables(workspace, root, market); !s)
        return in.Fail(Exit::Refused, s.error());

    const install::DateRule rule =
        in.Has("force") ? install::DateRule::Force : install::DateRule::OnlyNewer;
    const bool json = in.Format() == OutputFormat::Json;
    std::vector<FileOutcome> outcomes;
    bool incomplete = false;  // a file refused or a part of it skipped
    for (const std::string& file : in.Files()) {
        outcomes.push_back(InstallOne(workspace, market, file, rule));
        const FileOutcome& o = outcomes.back();
        incomplete = incomplete || o.refusal || !o.package.skippedCodes.empty() ||
                     !o.package.problems.empty() || !o.table.skippedCodes.empty() ||
                     !o.table.problems.empty();
        if (!json) PrintOutcome(o);
    }
    if (json) {
        JsonWriter writer;
        writer.BeginObject().Key("files").BeginArray();
        for (const FileOutcome& o : outcomes) WriteOutcome(writer, o);
        writer.EndArray().EndObject();
        std::fputs(writer.Line().c_str(), stdout);
    }
    for (const FileOutcome& o : outcomes)
        if (o.refusal) in.Fail(Exit::Refused, o.file + "：" + o.refusal->text);
    return static_cast<int>(incomplete ? Exit::Refused : Exit::Ok);
}

}  // namespace cli
