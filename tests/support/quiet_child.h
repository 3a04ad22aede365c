// Starts bkqy-cli as a child with its output thrown away, for the crash
// tests that kill it at random moments.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace fixture {

inline pid_t StartQuietCli(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    static char name[] = "bkqy-cli";
    argv.push_back(name);
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(BKQY_CLI_PATH, argv.data());
        ::_exit(127);
    }
    return pid;
}

inline int WaitFor(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace fixture
