// The weight and opacity memos of the vector span kernels.
#include "engine/render/compose_kernels_simd.h"

#include <cstring>

namespace {
// The sprite parameters a memo holds values for.
struct SprMemoKey {
    int32_t translucency = -1;  // -1: nothing kept yet
    uint32_t edgeBlendBits = 0;
    const int32_t* mul = nullptr;
};

// Makes key describe params; returns false when it described something else
// before, so that the memo it belongs to must start afresh.
bool SprKeepMemo(SprMemoKey& key, const SprSpriteParams& params) {
    uint32_t edgeBlendBits;
    std::memcpy(&edgeBlendBits, &params.edgeBlend, sizeof edgeBlendBits);
    if (key.translucency == params.translucency && key.edgeBlendBits == edgeBlendBits &&
        key.mul == params.mul)
        return true;
    key.translucency = params.translucency;
    key.edgeBlendBits = edgeBlendBits;
    key.mul = params.mul;
    return false;
}

// The memos. Process-wide and unlocked like the rest of the engine: only the
// thread that paints uses them.
struct SprEdgeWeightMemo {
    SprMemoKey key;
    uint32_t weights[256];
};
SprEdgeWeightMemo EdgeWeightMemo;

struct SprEdgeOpacityMemo {
    SprMemoKey key;
    alignas(64) uint8_t opacities[256];
};
SprEdgeOpacityMemo EdgeOpacityMemo;
}  // namespace

const uint32_t* SprEdgeWeights(const SprSpriteParams& params) {
    SprEdgeWeightMemo& memo = EdgeWeightMemo;
    if (!SprKeepMemo(memo.key, params)) {
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

const uint8_t* SprEdgeOpacities(const SprSpriteParams& params) {
    SprEdgeOpacityMemo& memo = EdgeOpacityMemo;
    if (!SprKeepMemo(memo.key, params)) {
        memo.opacities[0] = static_cast<uint8_t>(100 - params.translucency);
        for (uint32_t code = 1; code < 256; ++code)
            memo.opacities[code] = static_cast<uint8_t>(SprEdgeOpacity(params, code));
    }
    return memo.opacities;
}
