// SpriteEngineStart with the 32-bit limits and with minimum back-buffer sizes too
// large to allocate: the engine stays unstarted, and every later call is a no-op
// (nothing made, nothing attached, nothing drawn, no GDI object gained or lost)
// until a start that can allocate succeeds.
#include <climits>

#include "engine/canvas/canvas.h"
#include "extreme_fixture.h"
#include "support/gdi_counts.h"

namespace {

class LifetimeLimitsTest : public ::testing::Test {
protected:
    void TearDown() override {
        TestCloseCanvasWindows(windows);
        PlatformPumpMessages();
        SpriteEngineShutdown();
    }
    TestCanvasWindows windows;
};

// Every public operation, with arguments that would change something on a
// started engine.
void CallEverything(HWND canvas) {
    HBITMAP bitmap = TestSolidBitmap(30, 10, kBallPixel);
    SpriteCreateFromBitmap("BALL", bitmap, 3, -1, 50);
    SpriteClone("TWIN", "BALL");
    SpriteAttachCanvas(canvas);
    SpriteSetCanvas(canvas, "BALL|TWIN");
    SpriteMove("BALL", 5, 5, 1);
    SpriteShow("BALL|TWIN", 1);
    SpriteSetOpacity("BALL", 50, 1);
    SpriteSetFrame("BALL", 2, 0, 1);
    SpriteSetFlip("BALL", 1, 1, 1);
    SpriteSwap("BALL", "TWIN");
    HDC dc = nullptr;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    EXPECT_EQ(SpriteBeginDraw("BALL", 0, dc, left, top, right, bottom), 0);
    SpriteEndDraw(50);
    SpriteUpdateCanvas(canvas);
    SpriteRedrawCanvas(canvas);
    SpriteResetBackground(canvas);
    int32_t a = 7, b = 7;
    EXPECT_EQ(SpriteGetPosition("BALL", a, b), 0);
    EXPECT_EQ(a + b, 0);
    EXPECT_EQ(SpriteGetSize("BALL", a, b), 0);
    EXPECT_EQ(SpriteGetFrame("TWIN", a, b), 0);
    EXPECT_EQ(SpriteGetFlag("BALL", "V"), 0);
    EXPECT_EQ(SpriteCollisions("BALL"), "");
    EXPECT_EQ(SpriteAtPoint(canvas, 6, 6), "");
    SpriteDelete("BALL");
    DeleteObject(bitmap);
}

TEST_F(LifetimeLimitsTest, StartsThatCannotAllocateLeaveEveryCallANoOp) {
    const struct {
        int32_t maxSprites, minWidth, minHeight;
    } cases[] = {
        {INT32_MAX, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MAX, INT32_MIN},
        {32, INT32_MAX, -1},
        {32, -1, INT32_MAX},
        {32, 65536, 65536},  // 16 GiB
        {32, 46341, 46341},  // just over 2^31 pixels: the byte count overflows 32 bits
        {32, 1 << 30, 2},
    };
    for (const auto& c : cases) {
        SpriteEngineInit();
        windows = TestOpenCanvasWindows();
        ASSERT_NE(windows.dialog, nullptr);
        PlatformPumpMessages();
        const GdiObjectCounts before = PlatformLiveGdiObjects();

        SpriteEngineStart(c.maxSprites, c.minWidth, c.minHeight);
        EXPECT_EQ(EngineState.engineStarted, 0) << c.minWidth << " x " << c.minHeight;
        EXPECT_EQ(EngineState.BackBuffer.bitmap, nullptr);
        CallEverything(windows.canvas);
        PlatformPumpMessages();
        EXPECT_EQ(SprIsCanvas(windows.canvas), 0);
        for (int32_t slot = 1; slot <= SprLastSlot(); ++slot)
            EXPECT_EQ(EngineState.SpriteTable[slot].nameKey, 0) << c.minWidth << " x " << c.minHeight;
        const GdiObjectCounts after = PlatformLiveGdiObjects();
        EXPECT_GDI_COUNT_EQ(after.bitmaps, before.bitmaps);
        EXPECT_GDI_COUNT_EQ(after.dcs, before.dcs);
        EXPECT_GDI_COUNT_EQ(after.regions, before.regions);

        // A start that can allocate still succeeds afterwards.
        SpriteEngineStart(32, -1, -1);
        EXPECT_EQ(EngineState.engineStarted, 1);
        SpriteAttachCanvas(windows.canvas);
        EXPECT_EQ(SprIsCanvas(windows.canvas), 1);
        TestCloseCanvasWindows(windows);
        PlatformPumpMessages();
        SpriteEngineShutdown();
    }
}

// Before any start, the engine is only initialised: the same no-ops.
TEST_F(LifetimeLimitsTest, CallsBeforeTheStartAreNoOps) {
    SpriteEngineInit();
    windows = TestOpenCanvasWindows();
    PlatformPumpMessages();
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    CallEverything(windows.canvas);
    PlatformPumpMessages();
    for (int32_t slot = 1; slot <= SprLastSlot(); ++slot) EXPECT_EQ(EngineState.SpriteTable[slot].nameKey, 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
}

}  // namespace
