// What a bkqy-cli program does with its arguments: help, version, or one
// command parsed and run.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"

namespace cli {

using RunFunction = int (*)(const Invocation& in);

struct Runner {
    std::string_view name;
    RunFunction run = nullptr;
};

// The commands that render nothing (no Qt): everything but shot and chart.
std::span<const Runner> PlainRunners();

// A command this program does not run itself but another program does:
// gets the arguments and returns an exit code (it only returns on failure
// when it replaces the process).
using HandOver = int (*)(const CommandSpec& command, const std::vector<std::string>& words);

// `words` are the arguments after the program name. Help and --version go
// to stdout; without arguments the overview goes to stderr as a usage error.
int RunCommandLine(const std::vector<std::string>& words, std::span<const Runner> runners,
                   HandOver handOver);

// Replaces this process by the window program beside it (bkqy-cli-window),
// which runs the commands that need the window.
int HandOverToWindowProgram(const CommandSpec& command, const std::vector<std::string>& words);

inline constexpr std::string_view kWindowProgram = "bkqy-cli-window";

// Where the window program is: the folder of this program.
std::string WindowProgramPath();

// Runs a command in the window program and waits for it. What it prints goes
// nowhere; its messages go to stderr. Nothing when it ran and ended with exit
// code 0; otherwise why not, in words for the user.
std::optional<std::string> RunInWindowProgram(std::string_view command,
                                              const std::vector<std::string>& words);

// The commands (each in its own file).
int RunScanCommand(const Invocation& in);
int RunRotationCommand(const Invocation& in);
int RunScorecardCommand(const Invocation& in);
int RunSelfcheckCommand(const Invocation& in);
int RunPickCommand(const Invocation& in);
int RunHistoryCommand(const Invocation& in);
int RunEstimateCommand(const Invocation& in);
int RunIndicatorCommand(const Invocation& in);
int RunBarsCommand(const Invocation& in);
int RunSummaryCommand(const Invocation& in);
int RunMethodsCommand(const Invocation& in);
int RunInstallCommand(const Invocation& in);
int RunImportCommand(const Invocation& in);
int RunDemoCommand(const Invocation& in);
int RunWatchCommand(const Invocation& in);

}  // namespace cli
