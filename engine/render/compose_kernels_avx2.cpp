// AVX2 row kernels: eight pixels per block, bit for bit the reference rule.
//
// A block loads eight source pixels (turned around for a horizontal flip, so
// that lane j belongs to destination pixel j of the block) and, unless every
// lane is plain and opaque, the eight destination pixels under them; it stores
// all eight results at once, key lanes storing back what they loaded. A block
// without edge pixels blends with the sprite's one weight; a block with edge
// pixels gathers a weight per lane from the edge-weight memo. Blocks that are
// all key are skipped. A row's last pixels that do not fill a block are drawn
// as one block overlapping the last whole one, before the row's other blocks;
// rows under eight pixels use masked loads and stores. Nothing outside the span
// is read or written.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_AVX2 __attribute__((target("avx2")))

namespace {

struct SprAvx2Consts {
    __m256i key;          // the colour key in every lane
    __m256i alpha;        // 0xFF000000 in every lane: the edge-code byte
    __m256i plainWeight;  // plain pixels' weights per 16-bit word: colours 100 - T, fourth byte 0
    __m256i div100;       // 5243 in every 16-bit lane
};

SPR_AVX2 inline __m256i SprReverse(__m256i v) {
    return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

// Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
// div 100, with the weight pairs of pixels 0, 1, 4, 5 in weightsLo and of 2, 3,
// 6, 7 in weightsHi (the order in which the unpacks interleave within each half).
// The sums stay below 25,501, so the 16-bit products neither saturate nor wrap,
// and (sum * 5243) >> 19 is the quotient.
SPR_AVX2 inline __m256i SprBlend(__m256i s, __m256i d, __m256i weightsLo, __m256i weightsHi,
                                  __m256i div100) {
    __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(s, d), weightsLo);
    __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(s, d), weightsHi);
    lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, div100), 3);
    hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, div100), 3);
    return _mm256_packus_epi16(lo, hi);
}

// A block of s and d with edge pixels: every lane blended at its code's weight
// (plain lanes at the sprite's weight; an opaque sprite's plain lanes take the
// source whole).
template <bool kOpaque>
SPR_AVX2 inline __m256i SprEdgeBlock(const SprSpriteParams& params, const uint32_t* weights,
                                      const SprAvx2Consts& c, __m256i s, __m256i d) {
    const __m256i codes = _mm256_srli_epi32(s, 24);
    __m256i w = _mm256_i32gather_epi32(reinterpret_cast<const int*>(weights), codes, 4);
    const __m256i unset = _mm256_cmpeq_epi32(w, _mm256_set1_epi32(-1));
    if (!_mm256_testz_si256(unset, unset)) {
        alignas(32) uint32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), codes);
        for (uint32_t code : lanes) SprFillEdgeWeight(params, code);
        w = _mm256_i32gather_epi32(reinterpret_cast<const int*>(weights), codes, 4);
    }
    // Each pixel's four words: the colour pair three times, then the fourth
    // byte's pair, in the order of the unpacked pixel bytes.
    const __m256i spreadLo = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7, 0, 1, 0,
                                              1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7);
    const __m256i spreadHi = _mm256_add_epi8(spreadLo, _mm256_set1_epi8(8));
    const __m256i blended =
        SprBlend(s, d, _mm256_shuffle_epi8(w, spreadLo), _mm256_shuffle_epi8(w, spreadHi), c.div100);
    if (!kOpaque) return blended;
    return _mm256_blendv_epi8(blended, s, _mm256_cmpeq_epi32(codes, _mm256_setzero_si256()));
}

// Source pixels i..i+7, turned around for a horizontal flip.
template <bool kFlip>
SPR_AVX2 inline __m256i SprLoadSource(const uint32_t* src, int32_t i) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    return kFlip ? SprReverse(s) : s;
}

// The destination block of source pixels i..i+7: dst + i, or, flipped,
// dst - i - 7 in reverse order.
template <bool kFlip>
SPR_AVX2 inline __m256i* SprBlock(uint32_t* dst, int32_t i) {
    return reinterpret_cast<__m256i*>(kFlip ? dst - i - 7 : dst + i);
}

// Draws the block of source pixels i..i+7; with kPartial, the lanes in `done`
// were drawn before and store back what they load.
template <bool kOpaque, bool kFlip, bool kPartial>
SPR_AVX2 inline void SprDrawBlock(const SprSpriteParams& params, const uint32_t* weights,
                                  const SprAvx2Consts& c, const uint32_t* src, uint32_t* dst,
                                  int32_t i, __m256i done) {
    const __m256i s = SprLoadSource<kFlip>(src, i);
    __m256i keep = _mm256_cmpeq_epi32(s, c.key);  // lanes that keep the destination
    if (kPartial) keep = _mm256_or_si256(keep, done);
    const int keepLanes = _mm256_movemask_ps(_mm256_castsi256_ps(keep));
    if (keepLanes == 0xFF) return;
    __m256i* out = SprBlock<kFlip>(dst, i);
    __m256i result;
    if (_mm256_testz_si256(s, c.alpha)) {
        // No edge pixels: an opaque sprite's pixels are copied whole.
        if (kOpaque && keepLanes == 0) {
            _mm256_storeu_si256(out, s);
            return;
        }
        const __m256i d = _mm256_loadu_si256(out);
        result = kOpaque ? s : SprBlend(s, d, c.plainWeight, c.plainWeight, c.div100);
        _mm256_storeu_si256(out, _mm256_blendv_epi8(result, d, keep));
        return;
    }
    const __m256i d = _mm256_loadu_si256(out);
    result = SprEdgeBlock<kOpaque>(params, weights, c, s, d);
    _mm256_storeu_si256(out, _mm256_blendv_epi8(result, d, keep));
}

// Draws one row of `count` source pixels from src onto dst.
template <bool kOpaque, bool kFlip>
SPR_AVX2 inline void SprComposeRowAvx2(const SprSpriteParams& params, const uint32_t* weights,
                                       const SprAvx2Consts& c, const uint32_t* src, uint32_t* dst,
                                       int32_t count) {
    const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    if (count < 8) {
        // Lanes beyond the span are masked off in every load and store.
        const __m256i inSpan = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), iota);
        __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(src), inSpan);
        const __m256i lanes = kFlip ? SprReverse(inSpan) : inSpan;
        if (kFlip) s = SprReverse(s);
        int* out = reinterpret_cast<int*>(SprBlock<kFlip>(dst, 0));
        const __m256i d = _mm256_maskload_epi32(out, lanes);
        const __m256i result = SprEdgeBlock<kOpaque>(params, weights, c, s, d);
        _mm256_maskstore_epi32(out, _mm256_andnot_si256(_mm256_cmpeq_epi32(s, c.key), lanes), result);
        return;
    }
    const int32_t whole = count / 8;  // whole blocks at 0, 8, ..., 8 * (whole - 1)
    const int32_t rest = count % 8;
    const __m256i none = _mm256_setzero_si256();
    // The last 8 pixels first when they do not make a whole block: the last
    // whole block then leaves the lanes it shares with them alone, and its load
    // of them no longer waits on a store just before it.
    if (rest) SprDrawBlock<kOpaque, kFlip, false>(params, weights, c, src, dst, count - 8, none);
    const int32_t unshared = rest ? whole - 1 : whole;
    // Invariant: source pixels 0..i-1 are drawn, and the last 8 when rest > 0.
    int32_t i = 0;
    for (; i < 8 * unshared; i += 8)
        SprDrawBlock<kOpaque, kFlip, false>(params, weights, c, src, dst, i, none);
    if (rest) {
        // Source lanes rest..7 of this block were drawn with the last 8 pixels.
        const __m256i done = kFlip ? _mm256_cmpgt_epi32(_mm256_set1_epi32(8 - rest), iota)
                                   : _mm256_cmpgt_epi32(iota, _mm256_set1_epi32(rest - 1));
        SprDrawBlock<kOpaque, kFlip, true>(params, weights, c, src, dst, i, done);
    }
}

// Draws every row of the span; the constants are set up once per sprite.
template <bool kOpaque, bool kFlip>
SPR_AVX2 void SprComposeRowsAvx2(const SprSpriteParams& params, const SprRowSpan& span) {
    const uint32_t* weights = SprEdgeWeights(params);
    const uint64_t colour = weights[0] & 0xFFFFu, fourth = weights[0] >> 16;
    const SprAvx2Consts c{
        _mm256_set1_epi32(static_cast<int>(params.key)),
        _mm256_set1_epi32(static_cast<int>(0xFF000000u)),
        _mm256_set1_epi64x(static_cast<long long>(colour | colour << 16 | colour << 32 | fourth << 48)),
        _mm256_set1_epi16(5243)};
    const uint32_t* src = span.src;
    uint32_t* dst = span.dst;
    for (int64_t row = 0; row < span.rows; ++row, src += span.srcRowStep, dst += span.dstRowStep)
        SprComposeRowAvx2<kOpaque, kFlip>(params, weights, c, src, dst, span.count);
}

template <bool kOpaque>
SPR_AVX2 void SprComposeRowAvx2Either(const SprSpriteParams& params, const SprRowSpan& span) {
    if (span.step < 0)
        SprComposeRowsAvx2<kOpaque, true>(params, span);
    else
        SprComposeRowsAvx2<kOpaque, false>(params, span);
}

}  // namespace

const SprRowKernels SprAvx2RowKernels = {SprComposeRowAvx2Either<true>,
                                         SprComposeRowAvx2Either<false>};

#endif
