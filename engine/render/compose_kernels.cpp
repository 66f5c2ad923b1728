// The compositor's reference span kernels, the edge-pixel rule, and the choice of
// the span kernels the compositor uses.
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

template <bool kOpaque>
void SprDrawSpanReference(const SprSpriteParams& params, const SprSpan& span) {
    const uint32_t key = params.key;
    const uint32_t* srcRow = span.src;
    uint32_t* dstRow = span.dst;
    for (int64_t row = 0; row < span.rows; ++row, srcRow += span.srcRowStep, dstRow += span.dstRowStep) {
        uint32_t* dst = dstRow;
        for (int32_t i = 0; i < span.count; ++i, dst += span.step) {
            const uint32_t s = srcRow[i];
            if (s == key) continue;
            if ((s >> 24) != 0)
                *dst = SprBlendEdgePixel(params, s, *dst);
            else if (kOpaque)
                *dst = s;
            else
                *dst = SprBlendColour(params.div, params.rowInv, params.rowT, s, *dst);
        }
    }
}
template void SprDrawSpanReference<true>(const SprSpriteParams&, const SprSpan&);
template void SprDrawSpanReference<false>(const SprSpriteParams&, const SprSpan&);

namespace {
// The set SprActiveSpanKernels returns; null until its first call.
const SprSpanKernels* ActiveSpanKernels = nullptr;

const SprSpanKernels& SprDefaultSpanKernels() {
#if !defined(SPRITE_REFERENCE_COMPOSITOR)
    if (const SprSpanKernels* avx512 = SprSpanKernelsOf(SprKernelSetAvx512)) return *avx512;
    if (const SprSpanKernels* avx2 = SprSpanKernelsOf(SprKernelSetAvx2)) return *avx2;
    if (const SprSpanKernels* sse41 = SprSpanKernelsOf(SprKernelSetSse41)) return *sse41;
#endif
    return SprReferenceSpanKernels;
}
}  // namespace

const SprSpanKernels* SprSpanKernelsOf(SprKernelSet set) {
    switch (set) {
    case SprKernelSetDefault:
        return &SprDefaultSpanKernels();
    case SprKernelSetReference:
        return &SprReferenceSpanKernels;
#if defined(__x86_64__) || defined(__i386__)
    case SprKernelSetSse41:
        return __builtin_cpu_supports("sse4.1") ? &SprSse41SpanKernels : nullptr;
    case SprKernelSetAvx2:
        return __builtin_cpu_supports("avx2") ? &SprAvx2SpanKernels : nullptr;
    case SprKernelSetAvx512:
        // Byte lookups across a whole register need VBMI besides F and BW.
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                       __builtin_cpu_supports("avx512vbmi")
                   ? &SprAvx512SpanKernels
                   : nullptr;
#endif
    default:
        return nullptr;
    }
}

bool SprSelectSpanKernels(SprKernelSet set) {
    const SprSpanKernels* kernels = SprSpanKernelsOf(set);
    if (!kernels) return false;
    ActiveSpanKernels = kernels;
    return true;
}

const SprSpanKernels& SprActiveSpanKernels() {
    if (!ActiveSpanKernels) ActiveSpanKernels = &SprDefaultSpanKernels();
    return *ActiveSpanKernels;
}
