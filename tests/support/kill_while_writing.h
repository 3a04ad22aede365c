// The crash tests' loop: a writer run over and over in a forked child and
// killed at a random moment, the file checked after each kill.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

namespace fixture {

// Runs `write(round)` over and over in a child, kills it after a random
// wait, and hands the file to `check` after each kill.
template <class Write, class Check>
void KillWhileWriting(const Write& write, const Check& check, int kills) {
    const unsigned seed = static_cast<unsigned>(std::random_device{}());
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> wait(0, 3'000);
    for (int k = 0; k < kills; ++k) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (uint32_t round = 0;; ++round) write(round);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(wait(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        check(seed);
    }
}

}  // namespace fixture
