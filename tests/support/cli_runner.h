// Runs the built bkqy-cli in end-to-end tests (test folders declared with
// NEEDS_CLI get its path as BKQY_CLI_PATH) and captures what it prints.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace fixture {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

#ifdef BKQY_CLI_PATH
// `arguments` go to the shell as written; stderr is collected through a file
// in `scratch`.
inline CliRun RunCli(const std::string& arguments, const std::string& scratch) {
    const std::string errFile = scratch + "/stderr.txt";
    const std::string command =
        "'" + std::string(BKQY_CLI_PATH) + "' " + arguments + " 2>'" + errFile + "'";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    std::stringstream text;
    text << err.rdbuf();
    run.err = text.str();
    return run;
}
#endif

}  // namespace fixture
