// The floor a whole-process scan is measured against: a small program that
// finds the market's stocks in the code table, as the scan does, and then only
// opens and closes each stock's day file ("open"), reads it whole ("read"), or
// does the least a scan must: opens it, asks its size and reads its newest
// records, on one thread ("tail").
//   bkqy_day_file_floor open|read|tail DATA_ROOT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/capacities.h"
#include "data/code_table.h"
#include "data/paths.h"

namespace {

// As many records as the benchmarked one-day scan reads of each file.
constexpr size_t kTailBytes = 11 * data::kStockRecordWords * 4;

size_t ReadTail(int fd, char* buffer) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    const off_t size = info.st_size;
    const off_t at = size > static_cast<off_t>(kTailBytes) ? size - static_cast<off_t>(kTailBytes) : 0;
    const ssize_t got = ::pread(fd, buffer, kTailBytes, at);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "open" && mode != "read" && mode != "tail") {
        std::fprintf(stderr, "usage: %s open|read|tail DATA_ROOT\n", argv[0]);
        return 2;
    }
    const data::DataPaths paths = data::BuildDataPaths(argv[2]);
    const auto bytes = base::ReadWholeFile(paths.codeTable, data::kCodeTableWords * 4);
    if (!bytes) {
        std::fprintf(stderr, "no code table in %s\n", argv[2]);
        return 1;
    }
    std::vector<uint32_t> words(bytes->size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = base::ReadU32(bytes->data() + 4 * i);
    const data::CodeTable codes(words);

    std::vector<char> buffer(1 << 20);
    size_t files = 0, read = 0;
    for (size_t i = 0; i < codes.Count(); ++i) {
        const uint32_t code = codes.CodeAt(data::CodeTable::RecordOffset(i));
        if (data::IsIndexCode(code)) continue;
        const int fd = ::open(data::DayFilePath(paths, code).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        ++files;
        if (mode == "read")
            for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
                read += static_cast<size_t>(got);
        if (mode == "tail") read += ReadTail(fd, buffer.data());
        ::close(fd);
    }
    std::printf("%zu files, %zu bytes\n", files, read);
    return 0;
}
