// Helpers of the sprite management and collision tests: source bitmaps with known
// pixels, and records read by name.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "engine/core/engine_lifetime.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "platform/win32.h"

// A 32-bit top-down bitmap of width x height whose pixel (x, y) is pixel(x, y)
// (0x00RRGGBB). The caller deletes it.
inline HBITMAP TestMakeBitmap(int32_t width, int32_t height,
                              const std::function<uint32_t(int32_t, int32_t)>& pixel) {
    BYTE* bits = nullptr;
    HBITMAP bitmap = SprCreateDIB(nullptr, 32, width, height, bits);
    if (!bitmap) return nullptr;
    auto* pixels = reinterpret_cast<uint32_t*>(bits);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) pixels[int64_t(y) * width + x] = pixel(x, y);
    }
    GdiFlush();
    return bitmap;
}

inline HBITMAP TestMakeBitmap(int32_t width, int32_t height, uint32_t fill) {
    return TestMakeBitmap(width, height, [fill](int32_t, int32_t) { return fill; });
}

// The record of the live sprite of that name; slot 0 (all zero) when there is none.
inline const SpriteRecord& TestRecord(std::string_view name) {
    return EngineState.SpriteTable[SprFindSprite(name)];
}

// Number of live slots.
inline int32_t TestLiveSprites() {
    int32_t count = 0;
    for (int32_t i = 1; i <= SprLastSlot(); ++i) count += EngineState.SpriteTable[i].nameKey != 0;
    return count;
}
