// Pseudo-random numbers for the demo market. The market must come out byte
// for byte the same on every machine and standard library, so nothing here
// uses <random>'s distributions or floating point: every draw is integer.
#pragma once

#include <cstdint>
#include <iterator>

namespace demo {

inline uint64_t SplitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Streams for unrelated purposes (the universe, the factors, one per stock)
// get their own seed, so adding draws to one never shifts another.
inline uint64_t StreamSeed(uint64_t seed, uint64_t stream, uint64_t key = 0) {
    uint64_t s = seed ^ (stream * 0xD1B54A32D192ED03ull);
    uint64_t a = SplitMix64(s);
    s = a ^ (key * 0x9E3779B97F4A7C15ull);
    return SplitMix64(s);
}

// xoshiro256**.
class Rng {
public:
    explicit Rng(uint64_t seed) {
        for (uint64_t& word : m_s) word = SplitMix64(seed);
    }

    uint64_t Next() {
        const uint64_t result = Rotl(m_s[1] * 5, 7) * 9;
        const uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = Rotl(m_s[3], 45);
        return result;
    }

    // Uniform in [0, n) for n > 0 (multiply-shift; the bias is far below anything visible).
    uint32_t Below(uint32_t n) {
        return static_cast<uint32_t>(((Next() >> 32) * static_cast<uint64_t>(n)) >> 32);
    }

    // Uniform in [lo, hi], lo <= hi, hi - lo < 2^32.
    int64_t Between(int64_t lo, int64_t hi) {
        return lo + static_cast<int64_t>(Below(static_cast<uint32_t>(hi - lo + 1)));
    }

    // True with the given chance in parts per million.
    bool Chance(uint32_t ppm) { return Below(1'000'000) < ppm; }

    // Near-normal with standard deviation `sd` (any integer unit): the sum of
    // four 16-bit uniforms, so the tails stop at about 3.5 sd. Callers add
    // their own fat tails.
    int64_t Normal(int64_t sd) {
        const uint64_t r = Next();
        const int64_t sum = static_cast<int64_t>((r & 0xFFFF) + ((r >> 16) & 0xFFFF) +
                                                 ((r >> 32) & 0xFFFF) + (r >> 48));
        // 2 * sum - 4 * 65535 is centred with standard deviation 75674.4.
        return (2 * sum - 262'140) * sd / 75'674;
    }

private:
    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    uint64_t m_s[4];
};

// Roughly log-uniform in [lo, hi] (lo > 0): one of the 5 % steps from lo,
// then uniform within the step. Spreads prices and share counts over orders
// of magnitude with integer arithmetic only.
inline uint64_t LogUniform(Rng& rng, uint64_t lo, uint64_t hi) {
    auto step = [](uint64_t v) { return v * 105 / 100 > v ? v * 105 / 100 : v + 1; };
    uint32_t steps = 0;
    for (uint64_t v = lo; step(v) <= hi; v = step(v)) ++steps;
    uint64_t v = lo;
    for (uint32_t k = rng.Below(steps + 1); k > 0; --k) v = step(v);
    v += (step(v) - v) * rng.Below(1000) / 1000;
    return v < hi ? v : hi;
}

// Picks an index with probability proportional to weights[i]; total > 0.
template <class Weights>
size_t PickWeighted(Rng& rng, const Weights& weights, uint64_t total) {
    uint64_t x = (rng.Next() >> 11) % total;
    size_t i = 0;
    for (; i + 1 < std::size(weights); ++i) {
        if (x < weights[i]) return i;
        x -= weights[i];
    }
    return i;
}

}  // namespace demo
