// Sprites driven to the 32-bit limits by moves and frame steps, then painted and
// hit-tested: nothing wraps around, nothing is drawn outside the canvas.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "engine/sprites/sprites_internal.h"
#include "sprites_test_helpers.h"

namespace {

using ExtremeTest = TwoCanvasesTest;

constexpr uint32_t kBall = 0x00205080u;
constexpr uint32_t kSentinel = 0x00ABCDEFu;

TEST_F(ExtremeTest, PaintAndHitTestSpritesAtTheLimits) {
    HBITMAP strip = TestMakeBitmap(420, 140, kBall);
    SpriteCreateFromBitmap("BALL", strip, 3, -1, 50);
    DeleteObject(strip);
    for (const char* clone : {"B2", "B3", "B4", "B5", "B6"}) SpriteClone(clone, "BALL");
    SpriteSetCanvas(canvas, "BALL|B2|B3|B4|B5|B6");

    SpriteMove("BALL", INT32_MAX, INT32_MAX, 0);
    SpriteMove("B2", INT32_MIN, INT32_MIN, 0);
    SpriteMove("B2", INT32_MIN, INT32_MIN, 1);
    SpriteMove("B3", -70, -70, 0);
    SpriteMove("B4", INT32_MAX - 50, 10, 0);
    SpriteMove("B5", INT32_MAX, INT32_MAX, 1);
    SpriteMove("B5", INT32_MAX, INT32_MAX, 1);
    SpriteMove("B6", 60, 40, 0);
    SpriteSetFrame("BALL|B2", INT32_MAX, 0, 1);
    SpriteSetFrame("B3|B4", INT32_MIN, 1, 1);
    SpriteSetFrame("B5|B6", INT32_MAX, 1, 1);
    SpriteShow("BALL|B2|B3|B4|B5|B6", 1);

    int32_t x = 0, y = 0;
    SpriteGetPosition("B5", x, y);
    EXPECT_EQ(x, INT32_MAX);
    EXPECT_EQ(y, INT32_MAX);
    SpriteGetPosition("B2", x, y);
    EXPECT_EQ(x, INT32_MIN);

    int32_t width = 0, height = 0;
    TestBitmapSize(EngineState.BackBuffer.bitmap, width, height);
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) TestBackPixel(column, row) = kSentinel;
    }
    const COLORREF between = PlatformWindowPixel(top, 120, 50);
    SpriteRedrawCanvas(canvas);

    EXPECT_EQ(PlatformWindowPixel(canvas, 0, 0), RGB(0x20, 0x50, 0x80));    // B3's corner
    EXPECT_EQ(PlatformWindowPixel(canvas, 99, 79), RGB(0x20, 0x50, 0x80));  // B6's
    EXPECT_EQ(PlatformWindowPixel(top, 120, 50), between);
    int32_t outside = 0;
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            if (column >= 100 || row >= 80) outside += TestBackPixel(column, row) != kSentinel;
        }
    }
    EXPECT_EQ(outside, 0);

    EXPECT_EQ(SpriteCollisions("BALL"), "B5");
    EXPECT_EQ(SpriteCollisions("B2"), "");
    EXPECT_EQ(SpriteCollisions("B3"), "B6");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MAX, INT32_MAX), "B5");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MIN + 139, INT32_MIN + 139), "B2");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MAX, 10), "B4");
}

}  // namespace
