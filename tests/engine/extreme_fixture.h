// Fixture for the extreme-input tests: a started engine, the canvas windows of
// extreme_windows.h, sprites made through the public operations, and the live GDI
// objects counted at the start so that every test can show it left none behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/canvas/canvas.h"
#include "engine_fixture.h"
#include "extreme_invariants.h"
#include "extreme_windows.h"

constexpr uint32_t kBallPixel = 0x00205080u;  // what a solid test sprite shows

// A 32-bit bitmap of width x height in one colour (pixel value 0x00RRGGBB).
inline HBITMAP TestSolidBitmap(int32_t width, int32_t height, uint32_t pixel) {
    BYTE* bits = nullptr;
    HBITMAP bitmap = SprCreateDIB(nullptr, 32, width, height, bits);
    if (bitmap == nullptr) return nullptr;
    auto* pixels = reinterpret_cast<uint32_t*>(bits);
    for (int64_t i = 0; i < int64_t(width) * height; ++i) pixels[i] = pixel;
    return bitmap;
}

// A sprite made from a solid bitmap through SpriteCreateFromBitmap, no softening.
inline void TestMakeSprite(std::string_view name, int32_t frameWidth, int32_t height,
                           int32_t frames = 1) {
    HBITMAP bitmap = TestSolidBitmap(frameWidth * frames, height, kBallPixel);
    SpriteCreateFromBitmap(name, bitmap, frames, -1, 0);
    DeleteObject(bitmap);
}

class ExtremeInputTest : public ::testing::Test {
protected:
    // Records in the sprite table.
    virtual int32_t Slots() const { return 100; }

    void SetUp() override {
        SpriteEngineInit();
        SpriteEngineStart(Slots(), -1, -1);
        ASSERT_EQ(EngineState.engineStarted, 1);
        windows = TestOpenCanvasWindows();
        ASSERT_NE(windows.dialog, nullptr);
        ASSERT_EQ(SprIsCanvas(windows.canvas), 1);
        canvas = windows.canvas;
        PlatformPumpMessages();
        baseObjects = PlatformLiveGdiObjects();
        baseSnapshots = Snapshots();
    }
    void TearDown() override {
        TestCloseCanvasWindows(windows);
        PlatformPumpMessages();
        SpriteEngineShutdown();
    }

    // Background snapshots the canvases hold (each a bitmap and a DC).
    int32_t Snapshots() const {
        int32_t count = 0;
        for (HWND w : {windows.canvas, windows.second})
            if (IsWindow(w) && GetPropA(w, MAKEINTATOM(EngineState.canvasAtoms[3])) != nullptr) ++count;
        return count;
    }

    // Table invariants hold and the live GDI objects are those at the start plus
    // the sprites' images, the snapshots made since and the image open for drawing.
    void ExpectSound(const std::string& when) {
        int32_t owned = 0;
        EXPECT_EQ(TestTableViolation(owned), "") << when;
        const int32_t snapshots = Snapshots() - baseSnapshots;
        const int32_t open = DrawContext.dc != nullptr ? 1 : 0;
        const GdiObjectCounts now = PlatformLiveGdiObjects();
        // The counts where live objects are counted (not on the real platform).
        if (!PlatformCountsGdiObjects()) return;
        EXPECT_EQ(now.bitmaps, baseObjects.bitmaps + owned + snapshots) << when;
        EXPECT_EQ(now.dcs, baseObjects.dcs + snapshots + open) << when;
        EXPECT_EQ(now.regions, baseObjects.regions) << when;
        EXPECT_EQ(now.brushes, baseObjects.brushes) << when;
    }

    TestCanvasWindows windows;
    HWND canvas = nullptr;
    GdiObjectCounts baseObjects{};
    int32_t baseSnapshots = 0;  // snapshots the canvases held when baseObjects was taken
};
