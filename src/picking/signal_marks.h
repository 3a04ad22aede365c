// Signal marks: what a passing test leaves for the chart to frame its signal,
// one record per selected stock in a table of fixed size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace picking {

inline constexpr size_t kSignalMarkBytes = 9'600;

// One record: one, two or three unsigned 16-bit values (2, 4 or 6 bytes);
// width 0 means the test writes none.
struct SignalMark {
    size_t width = 0;  // bytes
    std::array<uint16_t, 3> values{};

    static SignalMark One(uint32_t a);
    static SignalMark Two(uint32_t upper, uint32_t lower);
    static SignalMark Three(uint32_t a, uint32_t b, uint32_t c);
    bool operator==(const SignalMark&) const = default;
};

// A measured value as a 16-bit mark value: one that does not fit reads as 0.
uint16_t MarkValue(int64_t value);

class SignalMarkTable {
public:
    SignalMarkTable() { m_bytes.fill(0); }

    void Clear();
    // The record width is set by the test that writes; the capacity follows
    // from it (4,800, 2,400 or 1,600 records). A record past the capacity is
    // not written. Returns whether it was.
    bool Write(size_t index, const SignalMark& mark);
    size_t RecordWidth() const { return m_width; }
    size_t Capacity() const { return m_width ? kSignalMarkBytes / m_width : 0; }
    // The stored values of a record (little-endian 16-bit values in order);
    // empty past the capacity or when nothing was ever written.
    std::vector<uint16_t> Record(size_t index) const;

private:
    std::array<uint8_t, kSignalMarkBytes> m_bytes;
    size_t m_width = 0;
};

}  // namespace picking
