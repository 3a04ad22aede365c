// Day-file records as words, for building packages and expected files by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/endian.h"
#include "base/file_io.h"

namespace installtest {

// A stock record: prices in 0.01 yuan packed as 16-bit halves.
inline std::vector<uint32_t> Stock(uint32_t date, uint32_t close, uint32_t amount = 10,
                                   uint32_t volume = 100) {
    return {date, base::PackHalves(close, close + 5), base::PackHalves(close - 5, close), amount,
            volume};
}

inline std::vector<uint32_t> Index(uint32_t date, uint32_t close) {
    return {date, close, close + 50, close - 50, close, 1'000'000, 50'000'000};
}

inline std::vector<uint32_t> Join(std::initializer_list<std::vector<uint32_t>> parts) {
    std::vector<uint32_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A day file's bytes: header "MKSH"/"MKSZ", code, 2, then the record words.
inline std::vector<uint8_t> DayFile(const char* tag, uint32_t code,
                                    const std::vector<uint32_t>& words) {
    std::vector<uint8_t> bytes(32 + words.size() * 4, 0);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(tag[i]);
    base::WriteU32(bytes.data() + 4, code);
    base::WriteU32(bytes.data() + 8, 2);
    for (size_t i = 0; i < words.size(); ++i) base::WriteU32(bytes.data() + 32 + i * 4, words[i]);
    return bytes;
}

inline std::vector<uint8_t> ReadAll(const std::string& path) {
    auto bytes = base::ReadWholeFile(path, 1u << 30);
    return bytes ? *bytes : std::vector<uint8_t>{};
}

inline std::vector<uint32_t> Words(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = base::ReadU32(bytes.data() + i * 4);
    return words;
}

}  // namespace installtest
