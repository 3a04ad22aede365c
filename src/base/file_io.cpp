#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>

namespace base {
namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// Reads until `count` bytes are in or the file ends; returns the bytes read or -1.
ssize_t ReadFully(int fd, uint8_t* dest, size_t count, uint64_t offset) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fd, dest + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// Temporaries are the final name, this mark, the process id, "-" and a serial.
constexpr const char* kTemporaryMark = ".tmp";


std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

Result<int> OpenForReading(const std::string& path, uint64_t* size) {
    struct stat st {};
    auto opened = OpenRegularFileIn(AT_FDCWD, path, st);
    if (opened && size) *size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    return opened;
}

int OpenFolder(const std::string& path) {
    // O_PATH asks only what a path through the folder needs: the right to search it.
    return ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

Result<int> OpenRegularFileIn(int folder, const std::string& path, struct stat& st) {
    // O_NONBLOCK makes opening a pipe with no writer return at once; fstat on
    // the descriptor then refuses whatever is not a regular file.
    Fd fd(::openat(folder, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Error{ErrnoText("cannot open", path)};
    if (::fstat(fd.get(), &st) != 0) return Error{ErrnoText("cannot open", path)};
    if (!S_ISREG(st.st_mode)) return Error{"not a regular file: " + path};
    return fd.release();
}

std::string UnreadableReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "不存在" : "无法读取";
    if (!S_ISREG(st.st_mode)) return "不是普通文件";
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() >= 0) return {};
    return errno == EACCES || errno == EPERM ? "无权读取" : "无法读取";
}

int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool FileExists(const std::string& path) {
    auto fd = OpenForReading(path);
    if (!fd) return false;
    ::close(*fd);
    return true;
}

PathKind InspectPath(const std::string& path, uint64_t* size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? PathKind::Missing : PathKind::Other;
    if (!S_ISREG(st.st_mode)) return PathKind::Other;
    if (size) *size = static_cast<uint64_t>(st.st_size);
    return PathKind::RegularFile;
}

Result<size_t> ReadFileInto(const std::string& path, std::span<uint8_t> dest) {
    auto opened = OpenForReading(path);
    if (!opened) return Error{opened.error()};
    Fd fd(*opened);
    ssize_t n = ReadFully(fd.get(), dest.data(), dest.size(), 0);
    if (n < 0) return Error{ErrnoText("cannot read", path)};
    return static_cast<size_t>(n);
}

Result<FileRead> ReadFileIntoSized(const std::string& path, std::span<uint8_t> dest) {
    auto opened = OpenForReading(path);
    if (!opened) return Error{opened.error()};
    Fd fd(*opened);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Error{ErrnoText("cannot read", path)};
    size_t want = std::min<uint64_t>(dest.size(), static_cast<uint64_t>(st.st_size));
    ssize_t n = ReadFully(fd.get(), dest.data(), want, 0);
    if (n < 0) return Error{ErrnoText("cannot read", path)};
    return FileRead{static_cast<size_t>(n), static_cast<uint64_t>(st.st_size)};
}

Status ReadFileRange(const std::string& path, uint64_t offset, std::span<uint8_t> dest) {
    auto opened = OpenForReading(path);
    if (!opened) return Error{opened.error()};
    Fd fd(*opened);
    ssize_t n = ReadFully(fd.get(), dest.data(), dest.size(), offset);
    if (n < 0) return Error{ErrnoText("cannot read", path)};
    if (static_cast<size_t>(n) != dest.size()) return Error{"file shorter than expected: " + path};
    return {};
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, size_t maxBytes) {
    int64_t size = FileSize(path);
    if (size < 0) return Error{ErrnoText("cannot open", path)};
    if (static_cast<uint64_t>(size) > maxBytes) return Error{"file too large: " + path};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    auto n = ReadFileInto(path, bytes);
    if (!n) return Error{n.error()};
    bytes.resize(*n);
    return bytes;
}

Status WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes,
                       Durability durability) {
    // Unique per process and per call, so two writers never share a temporary.
    static std::atomic<uint64_t> serial{0};
    std::string temp = path + kTemporaryMark + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) return Error{ErrnoText("cannot create", temp)};
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Error err{ErrnoText("cannot write", temp)};
            ::unlink(temp.c_str());
            return err;
        }
        done += static_cast<size_t>(n);
    }
    bool flushed = durability == Durability::NoFlush || ::fsync(fd.get()) == 0;
    if (!flushed || ::close(fd.release()) != 0) {
        Error err{ErrnoText("cannot write", temp)};
        ::unlink(temp.c_str());
        return err;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        Error err{ErrnoText("cannot replace", path)};
        ::unlink(temp.c_str());
        return err;
    }
    return {};
}

Status MakeFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) return Error{"cannot create folder " + path + ": " + ec.message()};
    return {};
}

Status SyncFileSystem(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return Error{ErrnoText("cannot open", path)};
    if (::syncfs(fd.get()) != 0) return Error{ErrnoText("cannot sync", path)};
    return {};
}

bool IsTemporaryName(const std::string& name) {
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string::npos || mark == 0) return false;
    const std::string tail = name.substr(mark + std::strlen(kTemporaryMark));
    const size_t dash = tail.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (i != dash && (tail[i] < '0' || tail[i] > '9')) return false;
    return true;
}

size_t RemoveLeftTemporaries(const std::string& folder) {
    std::error_code ec;
    size_t removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(ec) || !IsTemporaryName(name)) continue;
        if (std::filesystem::remove(entry.path(), ec)) ++removed;
    }
    return removed;
}

}  // namespace base
