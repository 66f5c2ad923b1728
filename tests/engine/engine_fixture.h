// Shared fixture for engine tests: a started engine per test, and helpers that put
// sprites into the table by hand and read or write pixels of their images and of
// the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string_view>

#include "engine/core/engine_dib.h"
#include "engine/core/engine_state.h"
#include "engine/core/sprite_names.h"
#include "engine/sprite_engine.h"
#include "platform/testing/platform_testing.h"
#include "platform/win32.h"

// The default colour key of the helpers: magenta as a pixel value 0x00RRGGBB.
inline constexpr uint32_t kTestKey = 0x00FF00FFu;

// Every test starts on a freshly started engine (100 slots, screen-sized back
// buffer) and shuts it down, so the next test starts clean.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        SpriteEngineInit();
        SpriteEngineStart(100, -1, -1);
        ASSERT_EQ(EngineState.engineStarted, 1);
    }
    void TearDown() override { SpriteEngineShutdown(); }
};

// Puts a plain sprite into `slot` by hand: an image of width * frameCount by height
// pixels from SprCreateDIB, every pixel `fill`, colour key kTestKey, on `canvas` at
// (x, y), visible, frame 1, opaque, unflipped, no edge softening. Returns the slot,
// or 0 when the slot is outside the table or the image could not be made.
inline int32_t TestPutSprite(int32_t slot, std::string_view name, int32_t width, int32_t height,
                             int32_t frameCount = 1, uint32_t fill = 0, HWND canvas = nullptr,
                             int32_t x = 0, int32_t y = 0) {
    if (slot < 1 || slot > SprLastSlot()) return 0;
    BYTE* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = SprCreateDIB(screen, 32, width * frameCount, height, bits);
    ReleaseDC(nullptr, screen);
    if (!bitmap) return 0;
    auto* pixels = reinterpret_cast<uint32_t*>(bits);
    for (int64_t i = 0; i < int64_t(width) * frameCount * height; ++i) pixels[i] = fill;
    SpriteRecord& r = EngineState.SpriteTable[slot];
    r = SpriteRecord{};
    r.nameKey = SprNameKey(name);
    r.width = width;
    r.height = height;
    r.frameCount = frameCount;
    r.bitmap = bitmap;
    r.bits = bits;
    r.transparentColor = kTestKey;
    r.canvas = canvas;
    r.x = x;
    r.y = y;
    r.currentFrame = 1;
    r.visible = 1;
    return slot;
}

// Makes `slot` a clone of `sourceSlot` by hand: same image, same geometry; the
// source becomes "cloned" (cloneState -1). Returns the slot, or 0 if either is bad.
inline int32_t TestPutClone(int32_t slot, std::string_view name, int32_t sourceSlot) {
    if (slot < 1 || slot > SprLastSlot() || sourceSlot < 1 || sourceSlot > SprLastSlot()) return 0;
    SpriteRecord& source = EngineState.SpriteTable[sourceSlot];
    SpriteRecord& r = EngineState.SpriteTable[slot];
    r = source;
    r.nameKey = SprNameKey(name);
    r.cloneState = 1;
    source.cloneState = -1;
    return slot;
}

// Pixel (x, y) of a slot's image strip (x counts across all frames).
inline uint32_t& TestSpritePixel(int32_t slot, int32_t x, int32_t y) {
    const SpriteRecord& r = EngineState.SpriteTable[slot];
    auto* pixels = reinterpret_cast<uint32_t*>(r.bits);
    return pixels[int64_t(y) * r.width * r.frameCount + x];
}

// Width and height of a bitmap as GetObjectA reports them (0, 0 for no bitmap).
inline void TestBitmapSize(HBITMAP bitmap, int32_t& width, int32_t& height) {
    BITMAP bm{};
    width = height = 0;
    if (bitmap && GetObjectA(bitmap, sizeof bm, &bm) == int(sizeof bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    }
}

// Pixel (x, y) of the back buffer.
inline uint32_t& TestBackPixel(int32_t x, int32_t y) {
    int32_t width = 0, height = 0;
    TestBitmapSize(EngineState.BackBuffer.bitmap, width, height);
    auto* pixels = reinterpret_cast<uint32_t*>(EngineState.BackBuffer.bits);
    return pixels[int64_t(y) * width + x];
}
