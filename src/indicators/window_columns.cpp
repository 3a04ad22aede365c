#include "indicators/window_columns.h"

// Clones for AVX2 where GCC can dispatch on the processor at load time.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define BKQY_WIDER_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define BKQY_WIDER_VECTORS
#endif

namespace indicators {

BKQY_WIDER_VECTORS void AddSingleColumn(float* sums, const double* terms, size_t count) {
    for (size_t i = 0; i < count; ++i) sums[i] = static_cast<float>(double{sums[i]} + terms[i]);
}

BKQY_WIDER_VECTORS void AddDoubleColumn(double* sums, const double* terms, size_t count) {
    for (size_t i = 0; i < count; ++i) sums[i] += terms[i];
}

}  // namespace indicators
