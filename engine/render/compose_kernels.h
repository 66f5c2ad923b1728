// Span kernels of the compositor: the trusting lower half that draws a sprite's
// clipped span of rows into the back buffer.
//
// Pixels are 32-bit values 0xEERRGGBB read little-endian from the byte order
// blue, green, red, edge code. A kernel applies the pixel rule to `rows` rows of
// `count` source pixels, each read left to right from `src`, writing dst[0],
// dst[step], dst[2 * step]... (step -1 for a horizontal flip); then src moves on by
// srcRowStep and dst by dstRowStep. One call draws the visible part of one sprite,
// so what a kernel works out per sprite is worked out once. Everything it needs is
// fixed per sprite draw in SprSpriteParams; it tests nothing against the back
// buffer's bounds (the compositor checks the span in debug builds).
//
// The reference kernels below are the plain table-driven rule. The vector sets
// (compose_kernels_simd.h) take their place in SprActiveSpanKernels; they give the
// same bytes for every input, which tests check against the reference pair.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct SprSpriteParams {
    uint32_t key;           // colour key: an exact 32-bit match is not drawn
    int32_t translucency;   // T, 0..99 (100 draws nothing and is never passed)
    const int32_t* rowT;    // MulTable row T: the destination's weight
    const int32_t* rowInv;  // MulTable row 100 - T: the source's weight
    const int32_t* mul;     // MulTable
    const BYTE* div;        // DivTable
    float edgeBlend;        // strength of the edge pixels, as stored in the record
};

struct SprSpan {
    const uint32_t* src;  // first source pixel of the first row
    uint32_t* dst;        // back-buffer pixel it lands on
    int32_t step;         // +1, or -1 for a horizontal flip
    int32_t count;        // pixels in a row, >= 1
    int64_t rows = 1;     // rows, >= 1
    int64_t srcRowStep = 0;  // pixels from one row's first source pixel to the next's
    int64_t dstRowStep = 0;  // pixels from one row's first destination pixel to the next's
};

typedef void (*SprSpanKernel)(const SprSpriteParams& params, const SprSpan& span);

// The kernel for opaque sprites (T = 0) and the one for blended sprites (T > 0).
struct SprSpanKernels {
    SprSpanKernel opaque;
    SprSpanKernel blended;
};

// The reference rule. Opaque (T = 0): plain pixels are copied whole, fourth byte
// included. Blended (T > 0): each colour byte of a plain pixel is
// (100 - T) * S + T * D div 100, and the destination keeps its fourth byte.
template <bool kOpaque>
void SprDrawSpanReference(const SprSpriteParams& params, const SprSpan& span);
extern template void SprDrawSpanReference<true>(const SprSpriteParams&, const SprSpan&);
extern template void SprDrawSpanReference<false>(const SprSpriteParams&, const SprSpan&);
// An edge pixel (non-zero fourth byte) drawn over d: the same for every kernel.
uint32_t SprBlendEdgePixel(const SprSpriteParams& params, uint32_t s, uint32_t d);
// The edge opacity in percent of an edge code, 0..100.
int32_t SprEdgeOpacity(const SprSpriteParams& params, uint32_t edgeCode);

inline constexpr SprSpanKernels SprReferenceSpanKernels = {SprDrawSpanReference<true>,
                                                           SprDrawSpanReference<false>};
// The kernels SprComposeCanvas uses: the fastest set the CPU runs, chosen on first
// use, or the reference pair in a build with SPRITE_REFERENCE_COMPOSITOR.
const SprSpanKernels& SprActiveSpanKernels();

// The row-kernel sets, for tests and benchmarks that compare or time them.
enum SprKernelSet : int32_t {
    SprKernelSetDefault,  // what SprActiveSpanKernels chooses by itself
    SprKernelSetReference,
    SprKernelSetSse41,
    SprKernelSetAvx2,
    SprKernelSetAvx512,
};
// The set's kernels, or nullptr when this CPU or build cannot run them.
const SprSpanKernels* SprSpanKernelsOf(SprKernelSet set);
// Makes SprActiveSpanKernels return the set's kernels; returns false and changes
// nothing when the set is not available.
bool SprSelectSpanKernels(SprKernelSet set);
