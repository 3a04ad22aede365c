#include "picking/signal_marks.h"

#include "base/endian.h"

namespace picking {

uint16_t MarkValue(int64_t value) {
    return value >= 0 && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

SignalMark SignalMark::One(uint32_t a) {
    return {2, {MarkValue(a), 0, 0}};
}

SignalMark SignalMark::Two(uint32_t upper, uint32_t lower) {
    return {4, {MarkValue(upper), MarkValue(lower), 0}};
}

SignalMark SignalMark::Three(uint32_t a, uint32_t b, uint32_t c) {
    return {6, {MarkValue(a), MarkValue(b), MarkValue(c)}};
}

void SignalMarkTable::Clear() {
    m_bytes.fill(0);
    m_width = 0;
}

bool SignalMarkTable::Write(size_t index, const SignalMark& mark) {
    if (mark.width == 0) return false;
    m_width = mark.width;
    if (index >= Capacity()) return false;
    uint8_t* at = m_bytes.data() + index * m_width;
    for (size_t k = 0; k < m_width / 2; ++k) base::WriteU16(at + 2 * k, mark.values[k]);
    return true;
}

std::vector<uint16_t> SignalMarkTable::Record(size_t index) const {
    if (m_width == 0 || index >= Capacity()) return {};
    std::vector<uint16_t> values;
    const uint8_t* at = m_bytes.data() + index * m_width;
    for (size_t k = 0; k < m_width / 2; ++k) values.push_back(base::ReadU16(at + 2 * k));
    return values;
}

}  // namespace picking
