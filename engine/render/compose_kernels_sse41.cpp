// SSE4.1 span kernels: the vector scheme of compose_kernels_vector.h four pixels
// at a time, bit for bit the reference rule.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_VECTOR_TARGET __attribute__((target("sse4.1")))
#include "engine/render/compose_kernels_vector.h"

namespace {

struct SprSse41 {
    using Vec = __m128i;
    static constexpr int32_t kLanes = 4;
    static constexpr uint32_t kAllLanes = 0xF;

    SPR_VECTOR_TARGET static Vec Load(const uint32_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    SPR_VECTOR_TARGET static void Store(uint32_t* p, Vec v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    SPR_VECTOR_TARGET static Vec Set1(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    SPR_VECTOR_TARGET static Vec Set1x16(int16_t v) { return _mm_set1_epi16(v); }
    SPR_VECTOR_TARGET static Vec Set1x64(uint64_t v) {
        return _mm_set1_epi64x(static_cast<long long>(v));
    }
    SPR_VECTOR_TARGET static Vec Zero() { return _mm_setzero_si128(); }
    SPR_VECTOR_TARGET static Vec Iota() { return _mm_setr_epi32(0, 1, 2, 3); }
    SPR_VECTOR_TARGET static Vec Equal(Vec a, Vec b) { return _mm_cmpeq_epi32(a, b); }
    SPR_VECTOR_TARGET static Vec GreaterThan(Vec a, Vec b) { return _mm_cmpgt_epi32(a, b); }
    SPR_VECTOR_TARGET static Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
    // b where mask is set, else a.
    SPR_VECTOR_TARGET static Vec Blend(Vec a, Vec b, Vec mask) { return _mm_blendv_epi8(a, b, mask); }
    SPR_VECTOR_TARGET static uint32_t Mask(Vec v) {
        return static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(v)));
    }
    // Whether a AND b is zero.
    SPR_VECTOR_TARGET static bool NoneSet(Vec a, Vec b) { return _mm_testz_si128(a, b) != 0; }
    SPR_VECTOR_TARGET static Vec CodesOf(Vec s) { return _mm_srli_epi32(s, 24); }
    SPR_VECTOR_TARGET static Vec Reverse(Vec v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3)); }
    // Without a gather instruction: four scalar loads.
    SPR_VECTOR_TARGET static Vec WeightsOf(const uint32_t* weights, Vec codes) {
        alignas(16) uint32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), codes);
        return _mm_setr_epi32(static_cast<int>(weights[lanes[0]]), static_cast<int>(weights[lanes[1]]),
                              static_cast<int>(weights[lanes[2]]), static_cast<int>(weights[lanes[3]]));
    }
    // Each pixel's four words: the colour pair three times, then the fourth byte's
    // pair, for pixels 0, 1 (low) or 2, 3 (high), as the unpacks interleave them.
    SPR_VECTOR_TARGET static Vec Spread(Vec w, bool high) {
        const __m128i low = _mm_setr_epi8(0, 1, 0, 1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7);
        return _mm_shuffle_epi8(w, high ? _mm_add_epi8(low, _mm_set1_epi8(8)) : low);
    }
    // Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
    // div 100. The sums stay below 25,501, so the 16-bit products never overflow,
    // and (sum * 5243) >> 19 is the quotient.
    SPR_VECTOR_TARGET static Vec MixBytes(Vec s, Vec d, Vec weightsLo, Vec weightsHi, Vec div100) {
        __m128i lo = _mm_maddubs_epi16(_mm_unpacklo_epi8(s, d), weightsLo);
        __m128i hi = _mm_maddubs_epi16(_mm_unpackhi_epi8(s, d), weightsHi);
        lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, div100), 3);
        hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, div100), 3);
        return _mm_packus_epi16(lo, hi);
    }
};

}  // namespace

const SprSpanKernels SprSse41SpanKernels = SprVectorSpanKernels<SprSse41>();

#endif
