// AVX2 span kernels: the vector scheme of compose_kernels_vector.h eight pixels
// at a time, bit for bit the reference rule.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_VECTOR_TARGET __attribute__((target("avx2")))
#include "engine/render/compose_kernels_vector.h"

namespace {

struct SprAvx2 {
    using Vec = __m256i;
    static constexpr int32_t kLanes = 8;
    static constexpr uint32_t kAllLanes = 0xFF;

    SPR_VECTOR_TARGET static Vec Load(const uint32_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    SPR_VECTOR_TARGET static void Store(uint32_t* p, Vec v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    SPR_VECTOR_TARGET static Vec Set1(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    SPR_VECTOR_TARGET static Vec Set1x16(int16_t v) { return _mm256_set1_epi16(v); }
    SPR_VECTOR_TARGET static Vec Set1x64(uint64_t v) {
        return _mm256_set1_epi64x(static_cast<long long>(v));
    }
    SPR_VECTOR_TARGET static Vec Zero() { return _mm256_setzero_si256(); }
    SPR_VECTOR_TARGET static Vec Iota() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }
    SPR_VECTOR_TARGET static Vec Equal(Vec a, Vec b) { return _mm256_cmpeq_epi32(a, b); }
    SPR_VECTOR_TARGET static Vec GreaterThan(Vec a, Vec b) { return _mm256_cmpgt_epi32(a, b); }
    SPR_VECTOR_TARGET static Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    // b where mask is set, else a.
    SPR_VECTOR_TARGET static Vec Blend(Vec a, Vec b, Vec mask) { return _mm256_blendv_epi8(a, b, mask); }
    SPR_VECTOR_TARGET static uint32_t Mask(Vec v) {
        return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
    }
    // Whether a AND b is zero.
    SPR_VECTOR_TARGET static bool NoneSet(Vec a, Vec b) { return _mm256_testz_si256(a, b) != 0; }
    SPR_VECTOR_TARGET static Vec CodesOf(Vec s) { return _mm256_srli_epi32(s, 24); }
    SPR_VECTOR_TARGET static Vec Reverse(Vec v) {
        return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    }
    SPR_VECTOR_TARGET static Vec WeightsOf(const uint32_t* weights, Vec codes) {
        return _mm256_i32gather_epi32(reinterpret_cast<const int*>(weights), codes, 4);
    }
    // Each pixel's four words: the colour pair three times, then the fourth byte's
    // pair, for pixels 0, 1, 4, 5 (low) or 2, 3, 6, 7 (high), as the unpacks
    // interleave them within each 128-bit half.
    SPR_VECTOR_TARGET static Vec Spread(Vec w, bool high) {
        const __m256i low = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7, 0, 1, 0,
                                             1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7);
        return _mm256_shuffle_epi8(w, high ? _mm256_add_epi8(low, _mm256_set1_epi8(8)) : low);
    }
    // Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
    // div 100. The sums stay below 25,501, so the 16-bit products neither saturate
    // nor wrap, and (sum * 5243) >> 19 is the quotient.
    SPR_VECTOR_TARGET static Vec MixBytes(Vec s, Vec d, Vec weightsLo, Vec weightsHi, Vec div100) {
        __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(s, d), weightsLo);
        __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(s, d), weightsHi);
        lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, div100), 3);
        hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, div100), 3);
        return _mm256_packus_epi16(lo, hi);
    }
};

}  // namespace

const SprSpanKernels SprAvx2SpanKernels = SprVectorSpanKernels<SprAvx2>();

#endif
