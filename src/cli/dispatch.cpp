#include "cli/dispatch.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace cli {
namespace {

constexpr Runner kPlainRunners[] = {
    {"scan", RunScanCommand},       {"rotation", RunRotationCommand},
    {"scorecard", RunScorecardCommand}, {"selfcheck", RunSelfcheckCommand},
    {"pick", RunPickCommand},
    {"history", RunHistoryCommand}, {"estimate", RunEstimateCommand},
    {"indicator", RunIndicatorCommand}, {"bars", RunBarsCommand},
    {"summary", RunSummaryCommand}, {"methods", RunMethodsCommand},
    {"install", RunInstallCommand}, {"import", RunImportCommand},
    {"demo", RunDemoCommand},       {"watch", RunWatchCommand},
};

bool IsHelpWord(const std::string& word) { return word == "--help" || word == "-h"; }

int Print(const std::string& text, FILE* stream, Exit exit) {
    std::fputs(text.c_str(), stream);
    return static_cast<int>(exit);
}

RunFunction FindRunner(std::span<const Runner> runners, std::string_view name) {
    for (const Runner& runner : runners)
        if (runner.name == name) return runner.run;
    return nullptr;
}

}  // namespace

std::span<const Runner> PlainRunners() { return kPlainRunners; }

int RunCommandLine(const std::vector<std::string>& words, std::span<const Runner> runners,
                   HandOver handOver) {
    if (words.empty()) return Print(OverviewHelp(), stderr, Exit::Usage);
    const std::string& first = words.front();
    if (first == "--version") return Print(VersionText(), stdout, Exit::Ok);
    if (IsHelpWord(first) || (first == "help" && words.size() == 1))
        return Print(OverviewHelp(), stdout, Exit::Ok);
    const bool helpWord = first == "help";
    const std::string name = helpWord ? words[1] : first;
    const CommandSpec* command = FindCommand(name);
    if (!command)
        return Fail("", Exit::Usage, "未知命令 “" + name + "”（bkqy-cli --help 列出全部命令）");
    const std::vector<std::string> rest(words.begin() + (helpWord ? 2 : 1), words.end());
    if (helpWord || std::any_of(rest.begin(), rest.end(), IsHelpWord))
        return Print(CommandHelp(*command), stdout, Exit::Ok);

    const RunFunction run = FindRunner(runners, command->name);
    if (!run) {
        if (handOver) return handOver(*command, rest);
        return Fail(command->name, Exit::Usage, "这个程序不运行该命令，请用 bkqy-cli");
    }
    std::string error;
    const auto in = Invocation::Parse(*command, rest, &error);
    if (!in) return Fail(command->name, Exit::Usage, error);
    return run(*in);
}

int HandOverToWindowProgram(const CommandSpec& command, const std::vector<std::string>& words) {
    std::error_code failed;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", failed);
    const std::string path =
        (failed ? std::filesystem::path(".") : self.parent_path()) / std::string(kWindowProgram);
    std::vector<std::string> arguments = {std::string(kWindowProgram), std::string(command.name)};
    arguments.insert(arguments.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    ::execv(path.c_str(), argv.data());
    return Fail(command.name, Exit::Refused,
                "无法启动出图程序 " + path + "（" + std::strerror(errno) + "；它应与 bkqy-cli 在同一文件夹）");
}

}  // namespace cli
