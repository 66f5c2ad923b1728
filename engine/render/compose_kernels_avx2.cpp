// AVX2 row kernels: eight pixels per step, bit for bit the reference rule.
//
// A step loads eight source pixels (turned around for a horizontal flip, so that
// lane j always belongs to destination pixel j of the step) and the eight
// destination pixels under them, works out all eight results and stores them
// back at once; key lanes store the destination value they loaded. A step with
// no edge pixel blends with the sprite's one weight; a step with edge pixels
// gathers a weight per lane from the edge-weight memo. The last 1..7 pixels of a
// row use masked loads and stores, so nothing outside the span is touched.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_AVX2 __attribute__((target("avx2")))

namespace {

struct SprAvx2Consts {
    __m256i key;          // the colour key in every lane
    __m256i alpha;        // 0xFF000000 in every lane: the edge-code byte
    __m256i plainWeight;  // the weight pair of plain pixels, 100 - T
    __m256i div100;       // 5243 in every 16-bit lane
};

SPR_AVX2 inline __m256i SprReverse(__m256i v) {
    return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

// Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
// div 100, with the weight pairs of pixels 0, 1, 4, 5 in weightsLo and of 2, 3,
// 6, 7 in weightsHi (the order in which the unpacks interleave within each half).
// The sums stay below 25,501, so the 16-bit products neither saturate nor wrap.
SPR_AVX2 inline __m256i SprBlend(__m256i s, __m256i d, __m256i weightsLo, __m256i weightsHi,
                                  __m256i div100) {
    __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(s, d), weightsLo);
    __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(s, d), weightsHi);
    lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, div100), 3);
    hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, div100), 3);
    return _mm256_packus_epi16(lo, hi);
}

// The results of one step for source s over destination d, before masking.
template <bool kOpaque>
SPR_AVX2 inline __m256i SprStep(const SprSpriteParams& params, const uint32_t* weights,
                                 const SprAvx2Consts& c, __m256i s, __m256i d) {
    __m256i blended;
    if (_mm256_testz_si256(s, c.alpha)) {
        // Plain pixels only: an opaque sprite copies them whole.
        if (kOpaque) return s;
        blended = SprBlend(s, d, c.plainWeight, c.plainWeight, c.div100);
    } else {
        const __m256i codes = _mm256_srli_epi32(s, 24);
        __m256i w = _mm256_i32gather_epi32(reinterpret_cast<const int*>(weights), codes, 4);
        const __m256i unset = _mm256_cmpeq_epi32(w, _mm256_set1_epi32(-1));
        if (!_mm256_testz_si256(unset, unset)) {
            alignas(32) uint32_t lanes[8];
            _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), codes);
            for (uint32_t code : lanes) SprFillEdgeWeight(params, code);
            w = _mm256_i32gather_epi32(reinterpret_cast<const int*>(weights), codes, 4);
        }
        blended = SprBlend(s, d, _mm256_unpacklo_epi32(w, w), _mm256_unpackhi_epi32(w, w), c.div100);
        if (kOpaque) {
            // Plain lanes of an opaque sprite take the source whole, fourth byte too.
            const __m256i plain = _mm256_cmpeq_epi32(codes, _mm256_setzero_si256());
            blended = _mm256_or_si256(_mm256_andnot_si256(c.alpha, blended), _mm256_and_si256(c.alpha, d));
            return _mm256_blendv_epi8(blended, s, plain);
        }
    }
    // Blended and edge pixels keep the destination's fourth byte.
    return _mm256_or_si256(_mm256_andnot_si256(c.alpha, blended), _mm256_and_si256(c.alpha, d));
}

template <bool kOpaque, bool kFlip>
SPR_AVX2 void SprComposeRowAvx2(const SprSpriteParams& params, const SprRowSpan& span) {
    const uint32_t* weights = SprEdgeWeights(params);
    const SprAvx2Consts c{_mm256_set1_epi32(static_cast<int>(params.key)),
                          _mm256_set1_epi32(static_cast<int>(0xFF000000u)),
                          _mm256_set1_epi32(static_cast<int>(weights[0])),
                          _mm256_set1_epi16(5243)};
    const uint32_t* src = span.src;
    const int32_t count = span.count;
    // Destination pixels of source pixels i..i+7 start at dst + i, or, flipped,
    // at dst - i - 7 in reverse order.
    uint32_t* dst = kFlip ? span.dst - 7 : span.dst;
    const int32_t dstStep = kFlip ? -8 : 8;
    int32_t i = 0;
    // Invariant: source pixels 0..i-1 are done and their destinations written;
    // dst points at the destination block of source pixels i..i+7.
    for (; i + 8 <= count; i += 8, dst += dstStep) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        if (kFlip) s = SprReverse(s);
        const __m256i keyLanes = _mm256_cmpeq_epi32(s, c.key);
        const int keyBits = _mm256_movemask_ps(_mm256_castsi256_ps(keyLanes));
        if (keyBits == 0xFF) continue;
        auto* out = reinterpret_cast<__m256i*>(dst);
        if (kOpaque && keyBits == 0 && _mm256_testz_si256(s, c.alpha)) {
            _mm256_storeu_si256(out, s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(out);
        const __m256i result = SprStep<kOpaque>(params, weights, c, s, d);
        _mm256_storeu_si256(out, _mm256_blendv_epi8(result, d, keyLanes));
    }
    if (i == count) return;
    // The last 1..7 pixels: lanes beyond the span are neither read nor written.
    const __m256i inSpan =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(src + i), inSpan);
    __m256i lanes = inSpan;
    if (kFlip) {
        s = SprReverse(s);
        lanes = SprReverse(inSpan);
    }
    const __m256i write = _mm256_andnot_si256(_mm256_cmpeq_epi32(s, c.key), lanes);
    const __m256i d = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst), lanes);
    const __m256i result = SprStep<kOpaque>(params, weights, c, s, d);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), write, result);
}

template <bool kOpaque>
SPR_AVX2 void SprComposeRowAvx2Either(const SprSpriteParams& params, const SprRowSpan& span) {
    if (span.step < 0)
        SprComposeRowAvx2<kOpaque, true>(params, span);
    else
        SprComposeRowAvx2<kOpaque, false>(params, span);
}

}  // namespace

const SprRowKernels SprAvx2RowKernels = {SprComposeRowAvx2Either<true>,
                                         SprComposeRowAvx2Either<false>};

#endif
