// Shared parts of the vector span kernels: the memos that turn edge codes into
// blend weights, and the kernel pairs each instruction set provides. The 128- and
// 256-bit sets are one scheme (compose_kernels_vector.h) and share the weight
// memo; the 512-bit set holds the opacity memo in registers.
//
// The vector kernels blend every colour byte as (w * S + (100 - w) * D) div 100
// with 16-bit arithmetic: the byte pairs (S, D) are interleaved and multiplied
// with the weight pair (w, 100 - w) in one step, and the division by 100 of a sum
// i <= 25,500 is (i * 5243) >> 19, exact over that whole range. With the blend
// tables holding their defined products and quotients this is the table rule.
#pragma once

#include <cstdint>

#include "engine/render/compose_kernels.h"

// The weights of one pixel as the vector kernels multiply with them: the low 16
// bits hold the colour weight pair, byte 0 the source weight w and byte 1 the
// destination weight 100 - w; the high 16 bits hold the pair (0, 100) for the
// fourth byte, whose blend thus gives back the destination's fourth byte exactly.
inline constexpr uint32_t SprWeightPair(int32_t w) {
    return static_cast<uint32_t>(w) | static_cast<uint32_t>(100 - w) << 8 | 0x64000000u;
}
// A memo entry not yet worked out; no weight pair has this value.
inline constexpr uint32_t kSprWeightUnset = 0xFFFFFFFFu;

// The weights (SprWeightPair) of every fourth byte (edge code) for the sprite drawn:
// entry 0 is the plain pixels' weight 100 - T, entry c > 0 the edge opacity
// SprEdgeOpacity gives for code c, or kSprWeightUnset until a kernel first meets
// that code and calls SprFillEdgeWeight. The memo is kept for the last
// (translucency, edgeBlend, MulTable) seen, so a scene of sprites that share them
// works each edge opacity out once; another combination starts it afresh.
const uint32_t* SprEdgeWeights(const SprSpriteParams& params);
// Works out entry `code` of the memo SprEdgeWeights returned for params.
uint32_t SprFillEdgeWeight(const SprSpriteParams& params, uint32_t code);

// The same memo with one byte per edge code, for kernels that hold it in
// registers: entry 0 is 100 - T, entry c > 0 the edge opacity of code c. All 256
// entries are worked out whenever the (translucency, edgeBlend, MulTable)
// combination changes, so a kernel can look codes up without checking them. The
// 256 bytes are 64-byte aligned.
const uint8_t* SprEdgeOpacities(const SprSpriteParams& params);

#if defined(__x86_64__) || defined(__i386__)
extern const SprSpanKernels SprSse41SpanKernels;
extern const SprSpanKernels SprAvx2SpanKernels;
extern const SprSpanKernels SprAvx512SpanKernels;
#endif
