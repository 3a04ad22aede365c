#include "base/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace base {
namespace {

std::string FailureText(int error) {
    switch (error) {
        case EROFS:
            return "文件夹是只读的";
        case EACCES:
        case EPERM:
            return "没有写入权限";
        case ENOENT:
        case ENOTDIR:
            return "文件夹不存在";
        default:
            return std::strerror(error);
    }
}

}  // namespace

std::optional<InstanceLock> InstanceLock::Acquire(const std::string& lockFile,
                                                  std::string* failure) {
    if (failure) failure->clear();
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (failure) *failure = FailureText(errno);
        return std::nullopt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (failure && error != EWOULDBLOCK) *failure = FailureText(error);
        return std::nullopt;
    }
    return InstanceLock(fd);
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) ::close(m_fd);
}

}  // namespace base
