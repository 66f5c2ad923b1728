// The vector scheme of the 128- and 256-bit span kernels, written once over the
// vector width. A file per instruction set defines SPR_VECTOR_TARGET (the target
// attribute its intrinsics need) and a traits type for its registers, includes
// this header inside an unnamed namespace, and takes its kernels from
// SprVectorSpanKernels<Traits>().
//
// A block holds kLanes pixels: lane j is source pixel i + j of the row, turned
// around for a horizontal flip so that lane j is also destination pixel j of the
// block. A block loads its source pixels and, unless every lane is plain and the
// sprite opaque, the destination pixels under them; it stores all lanes at once,
// key lanes storing back what they loaded. A block without edge pixels blends
// with the sprite's one weight; a block with edge pixels looks a weight up per
// lane in the edge-weight memo. Blocks that are all key are skipped. A row's last
// pixels that do not fill a block are drawn as one block overlapping the last
// whole one, before the row's other blocks; a row shorter than a block is drawn
// as one block through a copy on the stack. Nothing outside the span is read or
// written.
//
// Traits provide: Vec, kLanes, and thin wrappers of the intrinsics used below
// (Load, Store, Set1, Set1x16, Set1x64, Zero, Iota, Equal, GreaterThan, Or,
// Blend (by byte mask), Mask (one bit per lane), NoneSet, CodesOf, Reverse,
// WeightsOf (the memo entries of the lanes' codes), Spread (a lane's weight
// pair into the order of the unpacked pixel bytes, low or high half) and
// MixBytes (the division-free blend of interleaved bytes); kAllLanes is Mask of
// a vector with every lane set.
#pragma once

#include <cstdint>

#include "engine/render/compose_kernels_simd.h"

// Unnamed: each instruction set's file compiles its own copy for its own target.
namespace {

template <class V>
struct SprVectorConsts {
    typename V::Vec key;          // the colour key in every lane
    typename V::Vec alpha;        // 0xFF000000 in every lane: the edge-code byte
    typename V::Vec plainWeight;  // plain pixels' weights per 16-bit word: colours 100 - T, fourth byte 0
    typename V::Vec div100;       // 5243 in every 16-bit lane
};

// A block of s and d with edge pixels: every lane blended at its code's weight
// (plain lanes at the sprite's weight; an opaque sprite's plain lanes take the
// source whole).
template <class V, bool kOpaque>
SPR_VECTOR_TARGET inline typename V::Vec SprEdgeBlock(const SprSpriteParams& params,
                                                      const uint32_t* weights,
                                                      const SprVectorConsts<V>& c,
                                                      typename V::Vec s, typename V::Vec d) {
    const typename V::Vec codes = V::CodesOf(s);
    typename V::Vec w = V::WeightsOf(weights, codes);
    const typename V::Vec unset = V::Equal(w, V::Set1(kSprWeightUnset));
    if (!V::NoneSet(unset, unset)) {
        alignas(64) uint32_t lanes[V::kLanes];
        V::Store(lanes, codes);
        for (uint32_t code : lanes) SprFillEdgeWeight(params, code);
        w = V::WeightsOf(weights, codes);
    }
    const typename V::Vec blended =
        V::MixBytes(s, d, V::Spread(w, false), V::Spread(w, true), c.div100);
    if (!kOpaque) return blended;
    return V::Blend(blended, s, V::Equal(codes, V::Zero()));
}

// The destination block of source pixels i..i + kLanes - 1: dst + i, or, flipped,
// the block ending at dst - i, in reverse order.
template <class V, bool kFlip>
SPR_VECTOR_TARGET inline uint32_t* SprBlockAt(uint32_t* dst, int32_t i) {
    return kFlip ? dst - i - (V::kLanes - 1) : dst + i;
}

// Draws the block of source pixels i..i + kLanes - 1; with kPartial, the lanes in
// `done` were drawn before and store back what they load.
template <class V, bool kOpaque, bool kFlip, bool kPartial>
SPR_VECTOR_TARGET inline void SprDrawBlock(const SprSpriteParams& params, const uint32_t* weights,
                                           const SprVectorConsts<V>& c, const uint32_t* src,
                                           uint32_t* dst, int32_t i, typename V::Vec done) {
    typename V::Vec s = V::Load(src + i);
    if (kFlip) s = V::Reverse(s);
    typename V::Vec keep = V::Equal(s, c.key);  // lanes that keep the destination
    if (kPartial) keep = V::Or(keep, done);
    const uint32_t keepLanes = V::Mask(keep);
    if (keepLanes == V::kAllLanes) return;
    uint32_t* out = SprBlockAt<V, kFlip>(dst, i);
    if (V::NoneSet(s, c.alpha)) {
        // No edge pixels: an opaque sprite's pixels are copied whole.
        if (kOpaque && keepLanes == 0) {
            V::Store(out, s);
            return;
        }
        const typename V::Vec d = V::Load(out);
        const typename V::Vec result =
            kOpaque ? s : V::MixBytes(s, d, c.plainWeight, c.plainWeight, c.div100);
        V::Store(out, V::Blend(result, d, keep));
        return;
    }
    const typename V::Vec d = V::Load(out);
    V::Store(out, V::Blend(SprEdgeBlock<V, kOpaque>(params, weights, c, s, d), d, keep));
}

// Draws one row of count >= kLanes source pixels from src onto dst.
template <class V, bool kOpaque, bool kFlip>
SPR_VECTOR_TARGET inline void SprDrawRow(const SprSpriteParams& params, const uint32_t* weights,
                                         const SprVectorConsts<V>& c, const uint32_t* src,
                                         uint32_t* dst, int32_t count) {
    constexpr int32_t n = V::kLanes;
    const int32_t whole = count / n;  // whole blocks at 0, n, ..., n * (whole - 1)
    const int32_t rest = count % n;
    const typename V::Vec none = V::Zero();
    // The last n pixels first when they do not make a whole block: the last whole
    // block then leaves the lanes it shares with them alone, and its load of them
    // no longer waits on a store just before it.
    if (rest) SprDrawBlock<V, kOpaque, kFlip, false>(params, weights, c, src, dst, count - n, none);
    const int32_t unshared = rest ? whole - 1 : whole;
    // Invariant: source pixels 0..i-1 are drawn, and the last n when rest > 0.
    int32_t i = 0;
    for (; i < n * unshared; i += n)
        SprDrawBlock<V, kOpaque, kFlip, false>(params, weights, c, src, dst, i, none);
    if (rest) {
        // Source lanes rest..n-1 of this block were drawn with the last n pixels.
        const typename V::Vec done = kFlip ? V::GreaterThan(V::Set1(n - rest), V::Iota())
                                           : V::GreaterThan(V::Iota(), V::Set1(rest - 1));
        SprDrawBlock<V, kOpaque, kFlip, true>(params, weights, c, src, dst, i, done);
    }
}

// Draws a row of count < kLanes pixels as one block over copies on the stack:
// source pixels in lanes 0..count-1 and the key beyond them, the destination
// pixels they land on in the same lanes, in source order.
template <class V, bool kOpaque, bool kFlip>
SPR_VECTOR_TARGET inline void SprDrawShortRow(const SprSpriteParams& params,
                                              const uint32_t* weights, const SprVectorConsts<V>& c,
                                              const uint32_t* src, uint32_t* dst, int32_t count) {
    alignas(64) uint32_t s[V::kLanes];
    alignas(64) uint32_t d[V::kLanes] = {};
    const int32_t step = kFlip ? -1 : 1;
    for (int32_t j = 0; j < V::kLanes; ++j) s[j] = j < count ? src[j] : params.key;
    for (int32_t j = 0; j < count; ++j) d[j] = dst[j * step];
    SprDrawBlock<V, kOpaque, false, false>(params, weights, c, s, d, 0, V::Zero());
    for (int32_t j = 0; j < count; ++j) dst[j * step] = d[j];
}

// Draws every row of the span; the constants are set up once per sprite.
template <class V, bool kOpaque, bool kFlip>
SPR_VECTOR_TARGET void SprDrawSpan(const SprSpriteParams& params, const SprSpan& span) {
    const uint32_t* weights = SprEdgeWeights(params);
    const uint64_t colour = weights[0] & 0xFFFFu, fourth = weights[0] >> 16;
    const SprVectorConsts<V> c{
        V::Set1(params.key), V::Set1(0xFF000000u),
        V::Set1x64(colour | colour << 16 | colour << 32 | fourth << 48), V::Set1x16(5243)};
    const uint32_t* src = span.src;
    uint32_t* dst = span.dst;
    if (span.count < V::kLanes) {
        for (int64_t row = 0; row < span.rows; ++row, src += span.srcRowStep, dst += span.dstRowStep)
            SprDrawShortRow<V, kOpaque, kFlip>(params, weights, c, src, dst, span.count);
        return;
    }
    for (int64_t row = 0; row < span.rows; ++row, src += span.srcRowStep, dst += span.dstRowStep)
        SprDrawRow<V, kOpaque, kFlip>(params, weights, c, src, dst, span.count);
}

template <class V, bool kOpaque>
SPR_VECTOR_TARGET void SprDrawSpanEitherWay(const SprSpriteParams& params, const SprSpan& span) {
    if (span.step < 0)
        SprDrawSpan<V, kOpaque, true>(params, span);
    else
        SprDrawSpan<V, kOpaque, false>(params, span);
}

template <class V>
constexpr SprSpanKernels SprVectorSpanKernels() {
    return {SprDrawSpanEitherWay<V, true>, SprDrawSpanEitherWay<V, false>};
}

}  // namespace
