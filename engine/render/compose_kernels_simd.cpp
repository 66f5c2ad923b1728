// The weight memo of the vector row kernels.
#include "engine/render/compose_kernels_simd.h"

#include <cstring>

namespace {
// The memo and the sprite parameters it holds weights for. Process-wide and
// unlocked like the rest of the engine: only the thread that paints uses it.
struct SprEdgeWeightMemo {
    int32_t translucency = -1;  // -1: nothing kept yet
    uint32_t edgeBlendBits = 0;
    const int32_t* mul = nullptr;
    uint32_t weights[256];
};
SprEdgeWeightMemo EdgeWeightMemo;
}  // namespace

const uint32_t* SprEdgeWeights(const SprSpriteParams& params) {
    SprEdgeWeightMemo& memo = EdgeWeightMemo;
    uint32_t edgeBlendBits;
    std::memcpy(&edgeBlendBits, &params.edgeBlend, sizeof edgeBlendBits);
    if (memo.translucency != params.translucency || memo.edgeBlendBits != edgeBlendBits ||
        memo.mul != params.mul) {
        memo.translucency = params.translucency;
        memo.edgeBlendBits = edgeBlendBits;
        memo.mul = params.mul;
        std::memset(memo.weights, 0xFF, sizeof memo.weights);
        memo.weights[0] = SprWeightPair(100 - params.translucency);
    }
    return memo.weights;
}

uint32_t SprFillEdgeWeight(const SprSpriteParams& params, uint32_t code) {
    uint32_t* weights = EdgeWeightMemo.weights;
    code &= 0xFF;
    if (weights[code] == kSprWeightUnset) weights[code] = SprWeightPair(SprEdgeOpacity(params, code));
    return weights[code];
}
