#include "data/startup.h"

#include "base/file_io.h"
#include "data/code_table.h"

namespace data {

std::optional<base::InstanceLock> AcquireSingleInstance(const DataPaths& paths,
                                                        base::Prompter& prompter) {
    auto lock = base::InstanceLock::Acquire(paths.lockFile);
    if (!lock) prompter.ShowMessage("《板块擎宇》已经在运行", "提示");
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

void LoadCodeTableStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    state.codeTableLoaded =
        LoadCodeTable(state.paths.codeTable, workspace.CodeTableRegion(), &state.codeTableDate);
    if (!state.codeTableLoaded) prompter.ShowMessage("代码表文件MKCODE.DAT不存在!", "提示");
}

void LoadExRightsStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    auto buffer = workspace.Bytes(BufferId::ExRights);
    auto read = base::ReadFileInto(state.paths.exRights, buffer);
    if (!read) {
        state.exRights = ExRightsTable();
        prompter.ShowMessage(state.paths.exRights, "除权表文件不存在");
        return;
    }
    state.exRights = ExRightsTable(buffer.first(*read));
}

void LoadSectorLibraryStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    auto buffer = workspace.Bytes(BufferId::SectorLibrary).first(kSectorLibraryReadBytes);
    auto read = base::ReadFileInto(state.paths.sectorLibrary, buffer);
    if (!read) {
        state.sectorLibraryLoaded = false;
        state.sectorLibraryBytes = 0;
        state.sectorHeader = SectorLibraryHeader();
        prompter.ShowMessage(state.paths.sectorLibrary, "板块文件不存在");
        return;
    }
    state.sectorLibraryLoaded = true;
    state.sectorLibraryBytes = *read;
    state.sectorHeader = ReadSectorLibraryHeader(buffer.first(*read));
}

void LoadExamplesStep(Workspace& workspace, MarketState& state, base::Prompter& prompter) {
    state.exampleCount =
        LoadExamples(state.paths.examples, workspace.Bytes(BufferId::WorkData), state.examples);
    if (state.exampleCount == 0) prompter.ShowMessage(state.paths.examples, "文件不存在");
}

}  // namespace

StartupOutcome RunStartup(Workspace& workspace, const std::string& dataRoot,
                          base::Prompter& prompter, std::time_t now, MarketState& state) {
    if (!workspace.Allocated() && !workspace.Allocate(prompter)) return StartupOutcome::Quit;
    state.paths = BuildDataPaths(dataRoot);
    LoadCodeTableStep(workspace, state, prompter);
    LoadExRightsStep(workspace, state, prompter);
    LoadSectorLibraryStep(workspace, state, prompter);
    state.settings = LoadSettings(state.paths.settings, &state.settingsCreated);
    LoadExamplesStep(workspace, state, prompter);
    state.todayShort = ShortDate(now);
    state.index = LoadIndexDayFile(state.paths, workspace.Words(BufferId::Index), state.simulation);
    if (state.index.source == 0) {
        prompter.ShowMessage(kMissingIndexMessage, "《板块擎宇》提示");
        return StartupOutcome::Quit;
    }
    return StartupOutcome::Ready;
}

}  // namespace data
