// SSE4.1 row kernels: four pixels per step, bit for bit the reference rule.
//
// The same scheme as the AVX2 kernels at half the width: a step loads four
// source pixels (turned around for a horizontal flip) and the four destination
// pixels under them and stores all four results, key lanes storing back what
// they loaded. The last 1..3 pixels of a row go through the reference kernel.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_SSE41 __attribute__((target("sse4.1")))

namespace {

struct SprSse41Consts {
    __m128i key;          // the colour key in every lane
    __m128i alpha;        // 0xFF000000 in every lane: the edge-code byte
    __m128i plainWeight;  // the weight pair of plain pixels, 100 - T
    __m128i div100;       // 5243 in every 16-bit lane
};

// Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
// div 100, with the weight pairs of pixels 0, 1 in weightsLo and 2, 3 in
// weightsHi. The sums stay below 25,501, so the 16-bit products never overflow.
SPR_SSE41 inline __m128i SprBlend(__m128i s, __m128i d, __m128i weightsLo, __m128i weightsHi,
                                   __m128i div100) {
    __m128i lo = _mm_maddubs_epi16(_mm_unpacklo_epi8(s, d), weightsLo);
    __m128i hi = _mm_maddubs_epi16(_mm_unpackhi_epi8(s, d), weightsHi);
    lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, div100), 3);
    hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, div100), 3);
    return _mm_packus_epi16(lo, hi);
}

// The weight pair of each lane's edge code, worked out where the memo has none.
SPR_SSE41 inline __m128i SprLaneWeights(const SprSpriteParams& params, const uint32_t* weights,
                                         __m128i codes) {
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), codes);
    for (uint32_t& lane : lanes) {
        const uint32_t w = weights[lane];
        lane = w != kSprWeightUnset ? w : SprFillEdgeWeight(params, lane);
    }
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
}

// The results of one step for source s over destination d, before masking.
template <bool kOpaque>
SPR_SSE41 inline __m128i SprStep(const SprSpriteParams& params, const uint32_t* weights,
                                  const SprSse41Consts& c, __m128i s, __m128i d) {
    __m128i blended;
    if (_mm_testz_si128(s, c.alpha)) {
        // Plain pixels only: an opaque sprite copies them whole.
        if (kOpaque) return s;
        blended = SprBlend(s, d, c.plainWeight, c.plainWeight, c.div100);
    } else {
        const __m128i codes = _mm_srli_epi32(s, 24);
        const __m128i w = SprLaneWeights(params, weights, codes);
        blended = SprBlend(s, d, _mm_unpacklo_epi32(w, w), _mm_unpackhi_epi32(w, w), c.div100);
        if (kOpaque) {
            // Plain lanes of an opaque sprite take the source whole, fourth byte too.
            const __m128i plain = _mm_cmpeq_epi32(codes, _mm_setzero_si128());
            blended = _mm_or_si128(_mm_andnot_si128(c.alpha, blended), _mm_and_si128(c.alpha, d));
            return _mm_blendv_epi8(blended, s, plain);
        }
    }
    // Blended and edge pixels keep the destination's fourth byte.
    return _mm_or_si128(_mm_andnot_si128(c.alpha, blended), _mm_and_si128(c.alpha, d));
}

template <bool kOpaque, bool kFlip>
SPR_SSE41 void SprComposeRowSse41(const SprSpriteParams& params, const SprRowSpan& span) {
    const uint32_t* weights = SprEdgeWeights(params);
    const SprSse41Consts c{_mm_set1_epi32(static_cast<int>(params.key)),
                           _mm_set1_epi32(static_cast<int>(0xFF000000u)),
                           _mm_set1_epi32(static_cast<int>(weights[0])), _mm_set1_epi16(5243)};
    const uint32_t* src = span.src;
    const int32_t count = span.count;
    // Destination pixels of source pixels i..i+3 start at dst + i, or, flipped,
    // at dst - i - 3 in reverse order.
    uint32_t* dst = kFlip ? span.dst - 3 : span.dst;
    const int32_t dstStep = kFlip ? -4 : 4;
    int32_t i = 0;
    // Invariant: source pixels 0..i-1 are done and their destinations written;
    // dst points at the destination block of source pixels i..i+3.
    for (; i + 4 <= count; i += 4, dst += dstStep) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (kFlip) s = _mm_shuffle_epi32(s, _MM_SHUFFLE(0, 1, 2, 3));
        const __m128i keyLanes = _mm_cmpeq_epi32(s, c.key);
        const int keyBits = _mm_movemask_ps(_mm_castsi128_ps(keyLanes));
        if (keyBits == 0xF) continue;
        auto* out = reinterpret_cast<__m128i*>(dst);
        if (kOpaque && keyBits == 0 && _mm_testz_si128(s, c.alpha)) {
            _mm_storeu_si128(out, s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(out);
        const __m128i result = SprStep<kOpaque>(params, weights, c, s, d);
        _mm_storeu_si128(out, _mm_blendv_epi8(result, d, keyLanes));
    }
    if (i == count) return;
    const SprRowSpan rest{src + i, span.dst + (kFlip ? -i : i), span.step, count - i};
    if (kOpaque)
        SprComposeRowOpaqueRef(params, rest);
    else
        SprComposeRowBlendedRef(params, rest);
}

template <bool kOpaque>
SPR_SSE41 void SprComposeRowSse41Either(const SprSpriteParams& params, const SprRowSpan& span) {
    if (span.step < 0)
        SprComposeRowSse41<kOpaque, true>(params, span);
    else
        SprComposeRowSse41<kOpaque, false>(params, span);
}

}  // namespace

const SprRowKernels SprSse41RowKernels = {SprComposeRowSse41Either<true>,
                                          SprComposeRowSse41Either<false>};

#endif
