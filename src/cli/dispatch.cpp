#include "cli/dispatch.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
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

// The program name, the command and its words, as execv takes them.
struct WindowArguments {
    std::vector<std::string> words;
    std::vector<char*> argv;

    WindowArguments(std::string_view command, const std::vector<std::string>& rest)
        : words{std::string(kWindowProgram), std::string(command)} {
        words.insert(words.end(), rest.begin(), rest.end());
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
    }
};

std::string CannotStart(const std::string& path, int error) {
    return "无法启动出图程序 " + path + "（" + std::strerror(error) +
           "；它应与 bkqy-cli 在同一文件夹）";
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

std::string WindowProgramPath() {
    std::error_code failed;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", failed);
    return (failed ? std::filesystem::path(".") : self.parent_path()) / std::string(kWindowProgram);
}

int HandOverToWindowProgram(const CommandSpec& command, const std::vector<std::string>& words) {
    const std::string path = WindowProgramPath();
    WindowArguments arguments(command.name, words);
    std::fflush(stdout);
    ::execv(path.c_str(), arguments.argv.data());
    return Fail(command.name, Exit::Refused, CannotStart(path, errno));
}

std::optional<std::string> RunInWindowProgram(std::string_view command,
                                              const std::vector<std::string>& words) {
    const std::string path = WindowProgramPath();
    WindowArguments arguments(command, words);
    // The child reports a failed exec through the pipe; a successful exec
    // closes it unwritten.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return CannotStart(path, errno);
    std::fflush(stdout);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return CannotStart(path, error);
    }
    if (child == 0) {
        // A killed parent takes the drawing with it: no orphan goes on
        // writing into a folder that a rerun is writing again.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        const int nowhere = ::open("/dev/null", O_WRONLY);
        if (nowhere >= 0) ::dup2(nowhere, STDOUT_FILENO);
        ::execv(path.c_str(), arguments.argv.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int execError = 0;
    const ssize_t got = ::read(report[0], &execError, sizeof execError);
    ::close(report[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return "等待出图程序 " + path + " 时出错（" + std::strerror(errno) + "）";
    if (got == static_cast<ssize_t>(sizeof execError)) return CannotStart(path, execError);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::nullopt;
    if (WIFEXITED(status))
        return "出图程序 " + path + " 以退出码 " + std::to_string(WEXITSTATUS(status)) +
               " 结束（原因见上）";
    return "出图程序 " + path + " 异常终止（信号 " + std::to_string(WTERMSIG(status)) + "）";
}

}  // namespace cli
