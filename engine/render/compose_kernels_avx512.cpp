// AVX-512 span kernels: sixteen pixels per block, bit for bit the reference rule.
//
// A block loads sixteen source pixels (turned around for a horizontal flip, so
// that lane j belongs to destination pixel j of the block). The lanes to draw are
// a mask: those in the span whose pixel is not the key. Stores write only those
// lanes, so an opaque block without edge pixels stores the source without ever
// reading the destination, and a row's last pixels are one block whose loads and
// stores are masked to the span (masked-off lanes neither fault nor write).
//
// Blocks with edge pixels look each lane's weight up in the 256-byte opacity memo,
// held in four registers for the whole sprite, with byte permutes (two 128-entry
// lookups chosen by bit 7 of the code) instead of a gather, which takes over twice
// as long per edge block on the CPUs measured.
#include "engine/render/compose_kernels_simd.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define SPR_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace {

struct SprAvx512Consts {
    __m512i key;          // the colour key in every lane
    __m512i alpha;        // 0xFF000000 in every lane: the edge-code byte
    __m512i colourBytes;  // 0x00FFFFFF in every lane
    __m512i plainWeight;  // plain pixels' weights per 16-bit word: colours 100 - T, fourth byte 0
    __m512i div100;       // 5243 in every 16-bit lane
    __m512i hundred;      // 100 in every byte
    __m512i codeSpread;   // byte shuffle: each pixel's edge code into all four of its bytes
    __m512i reverse;      // lane permutation 15, 14, ..., 0
    __m512i table[4];     // the opacity memo, whole
};

// Entry idx of the opacity memo for every byte: two lookups of 128 entries,
// chosen by bit 7 of idx.
SPR_AVX512 inline __m512i SprLookUp(const __m512i* table, __m512i idx) {
    const __m512i low = _mm512_permutex2var_epi8(table[0], idx, table[1]);
    const __m512i high = _mm512_permutex2var_epi8(table[2], idx, table[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(idx), low, high);
}

// Every byte of s blended with the byte of d beside it: (w * s + (100 - w) * d)
// div 100, with the weight pairs of pixels 0, 1 of each 128-bit lane in
// weightsLo and of 2, 3 in weightsHi (the order in which the unpacks interleave).
// The sums stay below 25,501, so the 16-bit products neither saturate nor wrap,
// and (sum * 5243) >> 19 is the quotient.
SPR_AVX512 inline __m512i SprBlend(__m512i s, __m512i d, __m512i weightsLo, __m512i weightsHi,
                                    __m512i div100) {
    __m512i lo = _mm512_maddubs_epi16(_mm512_unpacklo_epi8(s, d), weightsLo);
    __m512i hi = _mm512_maddubs_epi16(_mm512_unpackhi_epi8(s, d), weightsHi);
    lo = _mm512_srli_epi16(_mm512_mulhi_epu16(lo, div100), 3);
    hi = _mm512_srli_epi16(_mm512_mulhi_epu16(hi, div100), 3);
    return _mm512_packus_epi16(lo, hi);
}

// A block of s and d with edge pixels: every lane blended at its code's opacity
// (plain lanes at the sprite's weight; an opaque sprite's plain lanes take the
// source whole).
template <bool kOpaque>
SPR_AVX512 inline __m512i SprEdgeBlock(const SprAvx512Consts& c, __m512i s, __m512i d,
                                        __mmask16 plain) {
    const __m512i codes = _mm512_shuffle_epi8(s, c.codeSpread);
    __m512i w = SprLookUp(c.table, codes);
    // Bytes (w, w, w, 0) and (100 - w, 100 - w, 100 - w, 100) per pixel: the
    // fourth byte's blend gives back the destination's fourth byte. Interleaved
    // they are the weight pairs in the order of the unpacked pixel bytes.
    w = _mm512_and_si512(w, c.colourBytes);
    const __m512i rest = _mm512_sub_epi8(c.hundred, w);
    const __m512i blended =
        SprBlend(s, d, _mm512_unpacklo_epi8(w, rest), _mm512_unpackhi_epi8(w, rest), c.div100);
    return kOpaque ? _mm512_mask_mov_epi32(blended, plain, s) : blended;
}

// Draws the block of source pixels i..i+15, of which those in srcLanes exist;
// dstLanes are the same lanes in destination order.
template <bool kOpaque, bool kFlip>
SPR_AVX512 inline void SprDrawBlock(const SprAvx512Consts& c, const uint32_t* src, uint32_t* dst,
                                    int32_t i, __mmask16 srcLanes, __mmask16 dstLanes) {
    __m512i s = _mm512_maskz_loadu_epi32(srcLanes, src + i);
    // (The zero-masked form: the plain one trips a false uninitialised warning.)
    if (kFlip) s = _mm512_maskz_permutexvar_epi32(0xFFFF, c.reverse, s);
    const __mmask16 draw = _mm512_mask_cmpneq_epi32_mask(dstLanes, s, c.key);
    // An opaque block of keys stores nothing through its empty mask: cheaper than
    // a branch that the outline of a sprite makes hard to predict.
    if (!kOpaque && draw == 0) return;
    uint32_t* out = kFlip ? dst - i - 15 : dst + i;
    const __mmask16 edge = _mm512_mask_test_epi32_mask(draw, s, c.alpha);
    if (edge == 0) {
        // No edge pixels: an opaque sprite's pixels are copied whole.
        if (kOpaque) {
            _mm512_mask_storeu_epi32(out, draw, s);
            return;
        }
        const __m512i d = _mm512_maskz_loadu_epi32(dstLanes, out);
        _mm512_mask_storeu_epi32(out, draw, SprBlend(s, d, c.plainWeight, c.plainWeight, c.div100));
        return;
    }
    const __m512i d = _mm512_maskz_loadu_epi32(dstLanes, out);
    const __m512i result = SprEdgeBlock<kOpaque>(c, s, d, draw & ~edge);
    _mm512_mask_storeu_epi32(out, draw, result);
}

// Draws every row of the span; the constants are set up once per sprite.
template <bool kOpaque, bool kFlip>
SPR_AVX512 void SprDrawSpanAvx512(const SprSpriteParams& params, const SprSpan& span) {
    const uint8_t* opacities = SprEdgeOpacities(params);
    const uint64_t w = opacities[0];
    const uint64_t colour = w | (100 - w) << 8, fourth = 100 << 8;
    const SprAvx512Consts c{
        _mm512_set1_epi32(static_cast<int>(params.key)),
        _mm512_set1_epi32(static_cast<int>(0xFF000000u)),
        _mm512_set1_epi32(0x00FFFFFF),
        _mm512_set1_epi64(static_cast<long long>(colour | colour << 16 | colour << 32 | fourth << 48)),
        _mm512_set1_epi16(5243),
        _mm512_set1_epi8(100),
        _mm512_set4_epi32(0x0F0F0F0F, 0x0B0B0B0B, 0x07070707, 0x03030303),
        _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0),
        {_mm512_load_si512(opacities), _mm512_load_si512(opacities + 64),
         _mm512_load_si512(opacities + 128), _mm512_load_si512(opacities + 192)}};
    const int32_t count = span.count;
    const int32_t whole = count & ~15;  // whole blocks start at 0, 16, ..., whole - 16
    // The last 1..15 pixels of every row, if any: lanes 0..rest-1 of the source,
    // the top rest lanes of the destination block when flipped.
    const int32_t rest = count - whole;
    const __mmask16 lanes = static_cast<__mmask16>((1u << rest) - 1);
    const __mmask16 dstLanes = kFlip ? static_cast<__mmask16>(lanes << (16 - rest)) : lanes;
    const uint32_t* src = span.src;
    uint32_t* dst = span.dst;
    for (int64_t row = 0; row < span.rows; ++row, src += span.srcRowStep, dst += span.dstRowStep) {
        // Invariant: source pixels 0..i-1 of this row are drawn.
        int32_t i = 0;
        for (; i < whole; i += 16)
            SprDrawBlock<kOpaque, kFlip>(c, src, dst, i, 0xFFFF, 0xFFFF);
        if (rest) SprDrawBlock<kOpaque, kFlip>(c, src, dst, i, lanes, dstLanes);
    }
}

template <bool kOpaque>
SPR_AVX512 void SprDrawSpanAvx512EitherWay(const SprSpriteParams& params, const SprSpan& span) {
    if (span.step < 0)
        SprDrawSpanAvx512<kOpaque, true>(params, span);
    else
        SprDrawSpanAvx512<kOpaque, false>(params, span);
}

}  // namespace

const SprSpanKernels SprAvx512SpanKernels = {SprDrawSpanAvx512EitherWay<true>,
                                           SprDrawSpanAvx512EitherWay<false>};

#endif
