// The compositor's reference row kernels, the edge-pixel rule, and the choice of
// the row kernels the compositor uses.
#include "engine/render/compose_kernels.h"

#include <cmath>

#include "engine/render/compose_kernels_simd.h"

namespace {
// One colour byte blended from the source byte s at weight w (a MulTable row) and
// the destination byte d at weight 100 - w (the complementary row).
inline uint32_t SprBlendByte(const BYTE* div, const int32_t* sourceRow, const int32_t* destRow,
                             uint32_t s, uint32_t d) {
    return div[sourceRow[s] + destRow[d]];
}

// The three colour bytes of s and d blended with the given rows; d keeps its
// fourth byte.
inline uint32_t SprBlendColour(const BYTE* div, const int32_t* sourceRow, const int32_t* destRow,
                               uint32_t s, uint32_t d) {
    const uint32_t blue = SprBlendByte(div, sourceRow, destRow, s & 0xFF, d & 0xFF);
    const uint32_t green = SprBlendByte(div, sourceRow, destRow, (s >> 8) & 0xFF, (d >> 8) & 0xFF);
    const uint32_t red = SprBlendByte(div, sourceRow, destRow, (s >> 16) & 0xFF, (d >> 16) & 0xFF);
    return (d & 0xFF000000u) | (red << 16) | (green << 8) | blue;
}
}  // namespace

int32_t SprEdgeOpacity(const SprSpriteParams& params, uint32_t edgeCode) {
    const int32_t n = static_cast<int32_t>(edgeCode >> 4);
    const int32_t k = static_cast<int32_t>(edgeCode & 15);
    // Quotient, then product, in double: the floor of that is the floor of the
    // exact value for every code and float edgeBlend that can occur.
    const double quotient = double(params.mul[(100 - params.translucency) * 256 + k]) / (n + 1);
    const double opacity = double(params.edgeBlend) * quotient;
    // Codes with k > n, and edgeBlend outside 0..1 or not a number, clamp to 0..100
    // so that no table is read out of bounds.
    if (!(opacity >= 0.0)) return 0;
    if (opacity >= 100.0) return 100;
    return static_cast<int32_t>(std::floor(opacity));
}

uint32_t SprBlendEdgePixel(const SprSpriteParams& params, uint32_t s, uint32_t d) {
    const int32_t o = SprEdgeOpacity(params, s >> 24);
    return SprBlendColour(params.div, params.mul + o * 256, params.mul + (100 - o) * 256, s, d);
}

void SprComposeRowOpaqueRef(const SprSpriteParams& params, const SprRowSpan& span) {
    const uint32_t key = params.key;
    const uint32_t* srcRow = span.src;
    uint32_t* dstRow = span.dst;
    for (int64_t row = 0; row < span.rows; ++row, srcRow += span.srcRowStep, dstRow += span.dstRowStep) {
        uint32_t* dst = dstRow;
        for (int32_t i = 0; i < span.count; ++i, dst += span.step) {
            const uint32_t s = srcRow[i];
            if (s == key) continue;
            *dst = (s >> 24) == 0 ? s : SprBlendEdgePixel(params, s, *dst);
        }
    }
}

void SprComposeRowBlendedRef(const SprSpriteParams& params, const SprRowSpan& span) {
    const uint32_t key = params.key;
    const uint32_t* srcRow = span.src;
    uint32_t* dstRow = span.dst;
    for (int64_t row = 0; row < span.rows; ++row, srcRow += span.srcRowStep, dstRow += span.dstRowStep) {
        uint32_t* dst = dstRow;
        for (int32_t i = 0; i < span.count; ++i, dst += span.step) {
            const uint32_t s = srcRow[i];
            if (s == key) continue;
            *dst = (s >> 24) == 0 ? SprBlendColour(params.div, params.rowInv, params.rowT, s, *dst)
                                  : SprBlendEdgePixel(params, s, *dst);
        }
    }
}

namespace {
// The set SprActiveRowKernels returns; null until its first call.
const SprRowKernels* ActiveRowKernels = nullptr;

const SprRowKernels& SprDefaultRowKernels() {
#if !defined(SPRITE_REFERENCE_COMPOSITOR)
    if (const SprRowKernels* avx512 = SprRowKernelsOf(SprKernelSetAvx512)) return *avx512;
    if (const SprRowKernels* avx2 = SprRowKernelsOf(SprKernelSetAvx2)) return *avx2;
    if (const SprRowKernels* sse41 = SprRowKernelsOf(SprKernelSetSse41)) return *sse41;
#endif
    return SprReferenceRowKernels;
}
}  // namespace

const SprRowKernels* SprRowKernelsOf(SprKernelSet set) {
    switch (set) {
    case SprKernelSetDefault:
        return &SprDefaultRowKernels();
    case SprKernelSetReference:
        return &SprReferenceRowKernels;
#if defined(__x86_64__) || defined(__i386__)
    case SprKernelSetSse41:
        return __builtin_cpu_supports("sse4.1") ? &SprSse41RowKernels : nullptr;
    case SprKernelSetAvx2:
        return __builtin_cpu_supports("avx2") ? &SprAvx2RowKernels : nullptr;
    case SprKernelSetAvx512:
        // Byte lookups across a whole register need VBMI besides F and BW.
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                       __builtin_cpu_supports("avx512vbmi")
                   ? &SprAvx512RowKernels
                   : nullptr;
#endif
    default:
        return nullptr;
    }
}

bool SprSelectRowKernels(SprKernelSet set) {
    const SprRowKernels* kernels = SprRowKernelsOf(set);
    if (!kernels) return false;
    ActiveRowKernels = kernels;
    return true;
}

const SprRowKernels& SprActiveRowKernels() {
    if (!ActiveRowKernels) ActiveRowKernels = &SprDefaultRowKernels();
    return *ActiveRowKernels;
}
