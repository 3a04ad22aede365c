// What the fuzz targets share: the input as a file, for readers that take a
// path (written once per input to one scratch file per process).
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "base/file_io.h"

namespace fuzz {

// Removed when the process ends.
struct Scratch {
    std::string path;
    ~Scratch() { ::unlink(path.c_str()); }
};

inline const std::string& ScratchPath() {
    static const Scratch scratch{[] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/bkqy-fuzz-" + std::to_string(::getpid());
    }()};
    return scratch.path;
}

// The input written to the scratch file; its path.
inline const std::string& AsFile(const uint8_t* data, size_t size) {
    const std::string& path = ScratchPath();
    if (!base::WriteFileAtomic(path, std::span<const uint8_t>(data, size), base::Durability::NoFlush))
        std::abort();
    return path;
}

}  // namespace fuzz
