// Runs a program, its output thrown away, and prints its peak resident memory
// in KiB. A child's
// ru_maxrss counts the memory of the process it was started from (until its
// exec), so a large benchmark process cannot measure its own children: this
// small one starts them instead.
//   bkqy_peak_memory PROGRAM [ARGUMENT ...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT ...]\n", argv[0]);
        return 2;
    }
    const pid_t pid = ::fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) ::dup2(null, 1), ::dup2(null, 2);
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) return 1;
    std::printf("%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
