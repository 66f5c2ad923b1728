// The sprite table's invariants as one check, for the extreme-input tests and the
// fuzz targets: what must hold between any two public engine calls.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/engine_state.h"

// The first invariant that does not hold, in words, or the empty text. `owned`
// receives the number of images that live sprites own (each to be deleted once).
inline std::string TestTableViolation(int32_t& owned) {
    const auto& table = EngineState.SpriteTable;
    const int32_t last = SprLastSlot();
    const auto at = [](const char* what, int32_t slot) { return std::string(what) + " (slot " + std::to_string(slot) + ")"; };
    owned = 0;
    for (int32_t i = 1; i <= last; ++i) {
        const SpriteRecord& r = table[i];
        if (r.nameKey == 0) {
            if (r.bitmap != nullptr || r.canvas != nullptr) return at("a free slot keeps an image or canvas", i);
            continue;
        }
        for (int32_t j = i + 1; j <= last; ++j)
            if (table[j].nameKey == r.nameKey) return at("two slots hold one name", i);
        if (r.width < 2 || r.height < 2 || r.frameCount < 1 || r.frameCount > 100)
            return at("a sprite has a size or frame count creation never gives", i);
        if (r.currentFrame < 1 || r.currentFrame > r.frameCount) return at("the current frame is out of range", i);
        if (r.visible < 0 || r.visible > 1 || r.flipHorizontal < 0 || r.flipHorizontal > 1 ||
            r.flipVertical < 0 || r.flipVertical > 1)
            return at("a flag is not 0 or 1", i);
        if (r.translucency < 0 || r.translucency > 99) return at("translucency is out of 0..99", i);
        if (!(r.edgeBlend >= 0.0f && r.edgeBlend <= 1.0f)) return at("edgeBlend is out of 0..1", i);
        if (r.cloneState == 1) {
            if (r.bitmap == nullptr) continue;
            bool sourceAlive = false;
            for (int32_t j = 1; j <= last; ++j)
                sourceAlive |= table[j].nameKey != 0 && table[j].cloneState == -1 && table[j].bitmap == r.bitmap;
            if (!sourceAlive) return at("a clone outlived its source", i);
        } else if (r.cloneState == 0 || r.cloneState == -1) {
            if (r.bitmap == nullptr) continue;
            ++owned;
            for (int32_t j = i + 1; j <= last; ++j)
                if (table[j].nameKey != 0 && table[j].cloneState != 1 && table[j].bitmap == r.bitmap)
                    return at("two sprites own one image", i);
        } else {
            return at("cloneState is not -1, 0 or 1", i);
        }
    }
    return {};
}
