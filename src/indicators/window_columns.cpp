#include "indicators/window_columns.h"

#include <algorithm>

// Clones for AVX-512 and AVX2 where GCC can dispatch on the processor at
// load time. The choice is made while the program is being loaded, before a
// sanitizer's runtime is up, which an instrumented chooser does not survive:
// sanitizer builds, which time nothing, take the plain loops.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define BKQY_WIDER_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
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

BKQY_WIDER_VECTORS void HigherOfColumns(uint32_t* out, const uint32_t* a, const uint32_t* b,
                                        size_t count) {
    for (size_t i = 0; i < count; ++i) out[i] = std::max(a[i], b[i]);
}

BKQY_WIDER_VECTORS void LowerOfColumns(uint32_t* out, const uint32_t* a, const uint32_t* b,
                                       size_t count) {
    for (size_t i = 0; i < count; ++i) out[i] = std::min(a[i], b[i]);
}

}  // namespace indicators
