// The sprite table's invariants as one check, for the extreme-input tests and the
// fuzz targets: what must hold between any two public engine calls. The engine's
// own rules come from SprCheckSpriteTable, which debug builds also run after
// every operation that changes the table; the value ranges that only the public
// operations guarantee (records put in by hand may break them) are added here.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/engine_state.h"
#include "engine/core/sprite_table_check.h"

// The first invariant that does not hold, in words, or the empty text. `owned`
// receives the number of images that live sprites own (each to be deleted once).
inline std::string TestTableViolation(int32_t& owned) {
    const auto at = [](const char* what, int32_t slot) { return std::string(what) + " (slot " + std::to_string(slot) + ")"; };
    owned = 0;
    const SprTableFault fault = SprCheckSpriteTable();
    if (fault.rule != nullptr) return at(fault.rule, fault.slot);
    const auto& table = EngineState.SpriteTable;
    const int32_t last = SprLastSlot();
    for (int32_t i = 1; i <= last; ++i) {
        const SpriteRecord& r = table[i];
        if (r.nameKey == 0) continue;
        if (r.width < 2 || r.height < 2 || r.frameCount < 1 || r.frameCount > 100)
            return at("a sprite has a size or frame count creation never gives", i);
        if (r.currentFrame < 1 || r.currentFrame > r.frameCount) return at("the current frame is out of range", i);
        if (r.visible < 0 || r.visible > 1 || r.flipHorizontal < 0 || r.flipHorizontal > 1 ||
            r.flipVertical < 0 || r.flipVertical > 1)
            return at("a flag is not 0 or 1", i);
        if (r.translucency < 0 || r.translucency > 99) return at("translucency is out of 0..99", i);
        if (!(r.edgeBlend >= 0.0f && r.edgeBlend <= 1.0f)) return at("edgeBlend is out of 0..1", i);
        if (r.cloneState != 1 && r.bitmap != nullptr) ++owned;
    }
    return {};
}
