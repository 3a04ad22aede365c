// One running copy per data root: an exclusive flock on a file in that root.
// The lock goes with the process, so a crashed copy never blocks the next.
#pragma once

#include <optional>
#include <string>

namespace base {

class InstanceLock {
public:
    // Empty when another process (or another lock in this one) holds the file,
    // or when the lock file cannot be opened or created: then `failure` (when
    // given) says why, and it stays empty when the lock is simply held.
    static std::optional<InstanceLock> Acquire(const std::string& lockFile,
                                               std::string* failure = nullptr);

    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

private:
    explicit InstanceLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

}  // namespace base
