// Whole-file reads bounded by the room of a buffer, and atomic whole-file writes.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace base {

// Size of a file in bytes, or -1 when it cannot be opened.
int64_t FileSize(const std::string& path);

// Whether a regular file is at the path and can be opened for reading.
bool FileExists(const std::string& path);

// What is at a path: nothing, a regular file (with its size), or something
// else (a folder, or a file that cannot be looked at).
enum class PathKind { Missing, RegularFile, Other };
PathKind InspectPath(const std::string& path, uint64_t* size = nullptr);

// Opens a file for reading without ever waiting: a named pipe, a device or a
// folder in place of a data file is refused at once instead of blocking in
// open or read. Returns the descriptor (the caller closes it) or the reason;
// `size`, when given, gets the file's size from the same check.
Result<int> OpenForReading(const std::string& path, uint64_t* size = nullptr);
// The same for a file named inside a folder opened with OpenFolder (the folder
// part of the path is looked up once for all its files, not once a file), or
// by a whole path with AT_FDCWD; `info` gets everything fstat told of it.
Result<int> OpenRegularFileIn(int folder, const std::string& name, struct stat& info);
// A descriptor of a folder to open files in (the caller closes it), or -1.
int OpenFolder(const std::string& path);

// Why a file cannot be opened for reading, in the words of our messages:
// "不存在" only when nothing is at the path; "不是普通文件" for a folder, pipe
// or device; "无权读取" or "无法读取" otherwise. Empty when it can be read.
std::string UnreadableReason(const std::string& path);

// Reads at most dest.size() bytes from the start of the file into dest and
// returns how many were read. Fails when the file cannot be opened.
Result<size_t> ReadFileInto(const std::string& path, std::span<uint8_t> dest);

struct FileRead {
    size_t bytesRead = 0;  // what went into dest
    uint64_t fileSize = 0; // the whole file, which may be more
};

// Like ReadFileInto, and also tells the file's size (one open, one stat).
Result<FileRead> ReadFileIntoSized(const std::string& path, std::span<uint8_t> dest);

// Reads `count` bytes starting at `offset` into dest (dest.size() >= count).
// Fails when the file cannot be opened or holds fewer bytes.
Status ReadFileRange(const std::string& path, uint64_t offset, std::span<uint8_t> dest);

// Reads a whole file, refusing one larger than maxBytes.
Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, size_t maxBytes);

// Whether an atomic write waits for the disk before it renames. Bulk writers of
// fresh files (the demo market) skip the wait: a crash of the program still
// never leaves a half-written file under the final name.
enum class Durability { Flush, NoFlush };

// Writes the bytes to a temporary file beside `path` and renames it over
// `path`: a crash or a full disk leaves the old file as it was.
Status WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes,
                       Durability durability = Durability::Flush);

// Creates the folder and its parents when they do not exist.
Status MakeFolders(const std::string& path);

// Waits until everything written to the file system that holds `path` is on
// the disk: bulk writers skip the wait per file and call this once at the end.
Status SyncFileSystem(const std::string& path);

// Whether a file name is one of WriteFileAtomic's temporaries ("NAME.tmpPID-N").
bool IsTemporaryName(const std::string& name);

// Removes the temporaries that WriteFileAtomic leaves behind when a process is
// killed while writing, in one folder (not below it); returns how many went.
// Only safe while no other process writes into the folder.
size_t RemoveLeftTemporaries(const std::string& folder);

}  // namespace base
