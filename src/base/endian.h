// Little-endian field access for the on-disk formats. Every file of the market
// data is little-endian; word images are kept in host order, which is the same
// on every machine we build for.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace base {

static_assert(std::endian::native == std::endian::little,
              "word images are used in place and assume a little-endian host");

inline uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t ReadU24(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16);
}

inline uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline float ReadF32(const uint8_t* p) {
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void WriteU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Only the low 24 bits of the value are kept.
inline void WriteU24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}

inline void WriteU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

inline void WriteF32(uint8_t* p, float v) { std::memcpy(p, &v, 4); }

// Halves of a packed 32-bit word (day-file prices keep two 16-bit prices per word).
inline uint32_t LowHalf(uint32_t w) { return w & 0xFFFFu; }
inline uint32_t HighHalf(uint32_t w) { return w >> 16; }
inline uint32_t PackHalves(uint32_t low, uint32_t high) { return (low & 0xFFFFu) | (high << 16); }

}  // namespace base
