// SSE4.1 row kernels: four pixels per block, bit for bit the reference rule.
//
// The same scheme as the AVX2 kernels at half the width: a block loads four
// source pixels (turned around for a horizontal flip) and, unless every lane is
// plain and opaque, the four destination pixels under them, and stores all four
// results, key lanes storing back what they loaded. A row's last pixels that do
// not fill a block are drawn as one block overlapping the last whole one,
// before the row's other blocks; rows under four pixels go through the
// reference kernel.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_SSE41 __attribute__((target("sse4.1")))

namespace {

struct SprSse41Consts {
    __m128i key;          // the colour key in every lane
    __m128i alpha;        // 0xFF000000 in every lane: the edge-code byte
    __m128i plainWeight;  // plain pixels' weights per 16-bit word: colours 100 - T, fourth byte 0
    __m128i div100;       // 5243 in every 16-bit lane
};

// Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
// div 100, with the weight pairs of pixels 0, 1 in weightsLo and 2, 3 in
// weightsHi. The sums stay below 25,501, so the 16-bit products never overflow,
// and (sum * 5243) >> 19 is the quotient.
SPR_SSE41 inline __m128i SprBlend(__m128i s, __m128i d, __m128i weightsLo, __m128i weightsHi,
                                   __m128i div100) {
    __m128i lo = _mm_maddubs_epi16(_mm_unpacklo_epi8(s, d), weightsLo);
    __m128i hi = _mm_maddubs_epi16(_mm_unpackhi_epi8(s, d), weightsHi);
    lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, div100), 3);
    hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, div100), 3);
    return _mm_packus_epi16(lo, hi);
}

// A block of s and d with edge pixels: every lane blended at its code's weight
// (plain lanes at the sprite's weight; an opaque sprite's plain lanes take the
// source whole).
template <bool kOpaque>
SPR_SSE41 inline __m128i SprEdgeBlock(const SprSpriteParams& params, const uint32_t* weights,
                                       const SprSse41Consts& c, __m128i s, __m128i d) {
    const __m128i codes = _mm_srli_epi32(s, 24);
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), codes);
    for (uint32_t& lane : lanes) {
        const uint32_t w = weights[lane];
        lane = w != kSprWeightUnset ? w : SprFillEdgeWeight(params, lane);
    }
    const __m128i w = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
    // Each pixel's four words: the colour pair three times, then the fourth
    // byte's pair, in the order of the unpacked pixel bytes.
    const __m128i spreadLo = _mm_setr_epi8(0, 1, 0, 1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7);
    const __m128i spreadHi = _mm_add_epi8(spreadLo, _mm_set1_epi8(8));
    const __m128i blended =
        SprBlend(s, d, _mm_shuffle_epi8(w, spreadLo), _mm_shuffle_epi8(w, spreadHi), c.div100);
    if (!kOpaque) return blended;
    return _mm_blendv_epi8(blended, s, _mm_cmpeq_epi32(codes, _mm_setzero_si128()));
}

// Source pixels i..i+3, turned around for a horizontal flip.
template <bool kFlip>
SPR_SSE41 inline __m128i SprLoadSource(const uint32_t* src, int32_t i) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    return kFlip ? _mm_shuffle_epi32(s, _MM_SHUFFLE(0, 1, 2, 3)) : s;
}

// The destination block of source pixels i..i+3: dst + i, or, flipped,
// dst - i - 3 in reverse order.
template <bool kFlip>
SPR_SSE41 inline __m128i* SprBlock(uint32_t* dst, int32_t i) {
    return reinterpret_cast<__m128i*>(kFlip ? dst - i - 3 : dst + i);
}

// Draws the block of source pixels i..i+3; with kPartial, the lanes in `done`
// were drawn before and store back what they load.
template <bool kOpaque, bool kFlip, bool kPartial>
SPR_SSE41 inline void SprDrawBlock(const SprSpriteParams& params, const uint32_t* weights,
                                   const SprSse41Consts& c, const uint32_t* src, uint32_t* dst,
                                   int32_t i, __m128i done) {
    const __m128i s = SprLoadSource<kFlip>(src, i);
    __m128i keep = _mm_cmpeq_epi32(s, c.key);  // lanes that keep the destination
    if (kPartial) keep = _mm_or_si128(keep, done);
    const int keepLanes = _mm_movemask_ps(_mm_castsi128_ps(keep));
    if (keepLanes == 0xF) return;
    __m128i* out = SprBlock<kFlip>(dst, i);
    __m128i result;
    if (_mm_testz_si128(s, c.alpha)) {
        // No edge pixels: an opaque sprite's pixels are copied whole.
        if (kOpaque && keepLanes == 0) {
            _mm_storeu_si128(out, s);
            return;
        }
        const __m128i d = _mm_loadu_si128(out);
        result = kOpaque ? s : SprBlend(s, d, c.plainWeight, c.plainWeight, c.div100);
        _mm_storeu_si128(out, _mm_blendv_epi8(result, d, keep));
        return;
    }
    const __m128i d = _mm_loadu_si128(out);
    result = SprEdgeBlock<kOpaque>(params, weights, c, s, d);
    _mm_storeu_si128(out, _mm_blendv_epi8(result, d, keep));
}

// Draws one row of count >= 4 source pixels from src onto dst.
template <bool kOpaque, bool kFlip>
SPR_SSE41 inline void SprComposeRowSse41(const SprSpriteParams& params, const uint32_t* weights,
                                         const SprSse41Consts& c, const uint32_t* src, uint32_t* dst,
                                         int32_t count) {
    const int32_t whole = count / 4;  // whole blocks at 0, 4, ..., 4 * (whole - 1)
    const int32_t rest = count % 4;
    const __m128i none = _mm_setzero_si128();
    // The last 4 pixels first when they do not make a whole block: the last
    // whole block then leaves the lanes it shares with them alone.
    if (rest) SprDrawBlock<kOpaque, kFlip, false>(params, weights, c, src, dst, count - 4, none);
    const int32_t unshared = rest ? whole - 1 : whole;
    // Invariant: source pixels 0..i-1 are drawn, and the last 4 when rest > 0.
    int32_t i = 0;
    for (; i < 4 * unshared; i += 4)
        SprDrawBlock<kOpaque, kFlip, false>(params, weights, c, src, dst, i, none);
    if (rest) {
        // Source lanes rest..3 of this block were drawn with the last 4 pixels.
        const __m128i iota = _mm_setr_epi32(0, 1, 2, 3);
        const __m128i done = kFlip ? _mm_cmpgt_epi32(_mm_set1_epi32(4 - rest), iota)
                                   : _mm_cmpgt_epi32(iota, _mm_set1_epi32(rest - 1));
        SprDrawBlock<kOpaque, kFlip, true>(params, weights, c, src, dst, i, done);
    }
}

// Draws every row of the span; the constants are set up once per sprite. Rows
// under four pixels take the reference rule.
template <bool kOpaque, bool kFlip>
SPR_SSE41 void SprComposeRowsSse41(const SprSpriteParams& params, const SprRowSpan& span) {
    if (span.count < 4) {
        (kOpaque ? SprComposeRowOpaqueRef : SprComposeRowBlendedRef)(params, span);
        return;
    }
    const uint32_t* weights = SprEdgeWeights(params);
    const uint64_t colour = weights[0] & 0xFFFFu, fourth = weights[0] >> 16;
    const SprSse41Consts c{
        _mm_set1_epi32(static_cast<int>(params.key)), _mm_set1_epi32(static_cast<int>(0xFF000000u)),
        _mm_set1_epi64x(static_cast<long long>(colour | colour << 16 | colour << 32 | fourth << 48)),
        _mm_set1_epi16(5243)};
    const uint32_t* src = span.src;
    uint32_t* dst = span.dst;
    for (int64_t row = 0; row < span.rows; ++row, src += span.srcRowStep, dst += span.dstRowStep)
        SprComposeRowSse41<kOpaque, kFlip>(params, weights, c, src, dst, span.count);
}

template <bool kOpaque>
SPR_SSE41 void SprComposeRowSse41Either(const SprSpriteParams& params, const SprRowSpan& span) {
    if (span.step < 0)
        SprComposeRowsSse41<kOpaque, true>(params, span);
    else
        SprComposeRowsSse41<kOpaque, false>(params, span);
}

}  // namespace

const SprRowKernels SprSse41RowKernels = {SprComposeRowSse41Either<true>,
                                          SprComposeRowSse41Either<false>};

#endif
