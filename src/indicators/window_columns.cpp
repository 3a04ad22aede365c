#include "indicators/window_columns.h"

#include <algorithm>

// Versions for AVX-512 and AVX2 where GCC can dispatch on the processor at
// load time. The choice is made while the program is being loaded, before a
// sanitizer's runtime is up, which an instrumented chooser does not survive:
// sanitizer builds, which time nothing, take the plain loops.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define BKQY_DISPATCH 1
#define BKQY_WIDER_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#include <immintrin.h>
#else
#define BKQY_WIDER_VECTORS
#endif

namespace indicators {
namespace {

inline void AddSingleFrom(size_t i, float* sums, const double* terms, size_t count) {
    for (; i < count; ++i) sums[i] = static_cast<float>(double{sums[i]} + terms[i]);
}

}  // namespace

#ifdef BKQY_DISPATCH
// Versions of one function, chosen on the processor. Only calls in this file
// go through the chooser (elsewhere they would reach the default version), so
// AddSingleColumn below calls it from here.
__attribute__((target("default"))) void AddSingleVersion(float* sums, const double* terms,
                                                         size_t count) {
    AddSingleFrom(0, sums, terms, count);
}

__attribute__((target("avx2"))) void AddSingleVersion(float* sums, const double* terms,
                                                      size_t count) {
    AddSingleFrom(0, sums, terms, count);
}

// Eight sums at a time, each conversion one instruction: the vectorizer
// widens eight floats in two halves and joins them again, and those shuffles
// were what bound the loop. (The mask-zero forms of the conversions say the
// same thing without GCC 12's false uninitialized warning.)
__attribute__((target("avx512f"))) void AddSingleVersion(float* sums, const double* terms,
                                                         size_t count) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m512d sum = _mm512_add_pd(_mm512_maskz_cvtps_pd(0xFF, _mm256_loadu_ps(sums + i)),
                                          _mm512_loadu_pd(terms + i));
        _mm256_storeu_ps(sums + i, _mm512_maskz_cvtpd_ps(0xFF, sum));
    }
    AddSingleFrom(i, sums, terms, count);
}

void AddSingleColumn(float* sums, const double* terms, size_t count) {
    AddSingleVersion(sums, terms, count);
}
#else
void AddSingleColumn(float* sums, const double* terms, size_t count) {
    AddSingleFrom(0, sums, terms, count);
}
#endif

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
