// The floor a whole-process scan is measured against: a small program that
// finds the market's stocks in the code table, as the scan does, and then only
// opens and closes each stock's day file ("open") or reads it whole ("read").
//   bkqy_day_file_floor open|read DATA_ROOT
#include <fcntl.h>
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

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "open") != 0 && std::strcmp(argv[1], "read") != 0)) {
        std::fprintf(stderr, "usage: %s open|read DATA_ROOT\n", argv[0]);
        return 2;
    }
    const bool readWhole = std::strcmp(argv[1], "read") == 0;
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
        if (readWhole)
            for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
                read += static_cast<size_t>(got);
        ::close(fd);
    }
    std::printf("%zu files, %zu bytes\n", files, read);
    return 0;
}
