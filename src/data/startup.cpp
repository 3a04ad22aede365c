#include "data/startup.h"

#include "base/file_io.h"
#include "data/code_table.h"

namespace data {

std::optional<base::InstanceLock> AcquireSingleInstance(const DataPaths& paths,
                                                        base::Prompter& prompter, bool* held) {
    std::string failure;
    auto lock = base::InstanceLock::Acquire(paths.lockFile, &failure);
    if (held) *held = !lock && failure.empty();
    if (lock) {
        // The holder is the only writer of the root: what a killed write
        // left behind goes now.
        for (const std::string& folder :
             {paths.root, paths.root + "MKDAT", paths.shFolder, paths.szFolder, paths.root + "XG"})
            base::RemoveLeftTemporaries(folder);
        return lock;
    }
    if (failure.empty())
        prompter.ShowMessage("《板块擎宇》已经在运行", "提示");
    else
        prompter.ShowMessage("无法建立锁文件 " + paths.lockFile + "：" + failure, "提示");
    return lock;
}

std::string ShortDate(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%y%m%d", &local);
    return text;
}

namespace {

// What a failed read of an optional file says after the file's kind.
std::string WhyUnread(const std::string& path) {
    std::string reason = base::UnreadableReason(path);
    return reason.empty() ? "无法读取" : reason;
}

void LoadCodeTableStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    CodeTableRecords records;
    state.codeTableLoaded = LoadCodeTable(state.paths.codeTable, workspace.CodeTableRegion(),
                                          &state.codeTableDate, &records);
    if (state.codeTableLoaded && records.taken < records.inFile)
        prompter.ShowMessage("代码表文件MKCODE.DAT有" + std::to_string(records.inFile) + "个记录，只读入了" +
                                 std::to_string(records.taken) + "个：" + state.paths.codeTable,
                             "提示");
    if (state.codeTableLoaded) return;
    const std::string reason = WhyUnread(state.paths.codeTable);
    if (reason == "不存在")
        prompter.ShowMessage("代码表文件MKCODE.DAT不存在!", "提示");
    else
        prompter.ShowMessage("代码表文件MKCODE.DAT" + reason + "!\n" + state.paths.codeTable, "提示");
}

void LoadExRightsStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    auto buffer = workspace.Bytes(BufferId::ExRights);
    auto read = base::ReadFileInto(state.paths.exRights, buffer);
    if (!read) {
        state.exRights = ExRightsTable();
        prompter.ShowMessage(state.paths.exRights,
                             "除权表文件" + WhyUnread(state.paths.exRights));
        return;
    }
    state.exRights = ExRightsTable(buffer.first(*read));
    if (const uint32_t ignored = state.exRights.IgnoredEvents(); ignored > 0)
        prompter.ShowMessage("除权表中有" + std::to_string(ignored) + "个除权事件的数值不合理，已忽略：" +
                                 state.paths.exRights,
                             "提示");
}

void LoadSectorLibraryStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    auto buffer = workspace.Bytes(BufferId::SectorLibrary).first(kSectorLibraryReadBytes);
    auto read = base::ReadFileInto(state.paths.sectorLibrary, buffer);
    if (!read) {
        state.sectorLibraryLoaded = false;
        state.sectorLibraryBytes = 0;
        state.sectorHeader = SectorLibraryHeader();
        prompter.ShowMessage(state.paths.sectorLibrary,
                             "板块文件" + WhyUnread(state.paths.sectorLibrary));
        return;
    }
    const SectorLibraryCheck check = CheckSectorLibrary(buffer.first(*read));
    state.sectorLibraryLoaded = true;
    state.sectorLibraryBytes = check.bytes;
    state.sectorsSkipped = check.skipped;
    state.sectorHeader = ReadSectorLibraryHeader(buffer.first(check.bytes));
    if (!check.problems.empty()) prompter.ShowMessage(SectorProblemsText(state.paths, check), "提示");
}

void LoadExamplesStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    state.exampleCount =
        LoadExamples(state.paths.examples, workspace.Bytes(BufferId::WorkData), state.examples);
    if (state.exampleCount == 0)
        prompter.ShowMessage(state.paths.examples, "文件" + WhyUnread(state.paths.examples));
}

}  // namespace

std::string MissingIndexMessage(const DataPaths& paths) {
    const auto line = [&](const char* market, uint32_t code) {
        const std::string path = DayFilePath(paths, code);
        const std::string reason = base::UnreadableReason(path);
        std::string text = std::string(market) + "大盘指数文件(" + path + ")";
        if (reason == "不存在") return text + "未找到";
        if (!reason.empty()) return text + reason;
        return text + "已损坏或没有行情";
    };
    return line("沪市", kShanghaiIndexCode) + "\n\n" + line("深市", kShenzhenIndexCode);
}

std::string SectorProblemsText(const DataPaths& paths, const SectorLibraryCheck& check) {
    constexpr size_t kShown = 10;
    std::string text = "板块文件" + paths.sectorLibrary + "中有" + std::to_string(check.skipped) +
                       "个板块无法使用，已读入" + std::to_string(check.loaded) + "个：";
    for (size_t i = 0; i < check.problems.size() && i < kShown; ++i) text += "\n" + check.problems[i];
    if (check.problems.size() > kShown)
        text += "\n……另有" + std::to_string(check.problems.size() - kShown) + "条";
    return text;
}

StartupOutcome RunStartup(Workspace& workspace, const std::string& dataRoot,
                          base::Prompter& prompter, std::time_t now, MarketState& state,
                          const StartupParts& parts) {
    if (!workspace.Allocated() && !workspace.Allocate(prompter)) return StartupOutcome::Quit;
    state.paths = BuildDataPaths(dataRoot);
    if (parts.codeTable) LoadCodeTableStep(workspace, state, prompter);
    if (parts.exRights) LoadExRightsStep(workspace, state, prompter);
    if (parts.sectorLibrary) LoadSectorLibraryStep(workspace, state, prompter);
    if (parts.settings) state.settings = LoadSettings(state.paths.settings, &state.settingsCreated);
    if (parts.examples) LoadExamplesStep(workspace, state, prompter);
    state.todayShort = ShortDate(now);
    state.index = LoadIndexDayFile(state.paths, workspace.Words(BufferId::Index), state.simulation);
    if (state.index.source == 0) {
        prompter.ShowMessage(MissingIndexMessage(state.paths), "《板块擎宇》提示");
        return StartupOutcome::Quit;
    }
    // The Shanghai index was passed over for the Shenzhen one: say why.
    for (const std::string& problem : state.index.problems) prompter.ShowMessage(problem, "提示");
    return StartupOutcome::Ready;
}

}  // namespace data
