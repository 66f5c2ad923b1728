// SpriteAtPoint: the topmost visible sprite of a canvas with a solid pixel there.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "engine/sprites/sprites_internal.h"
#include "sprites_test_helpers.h"

namespace {

using PointTest = TwoCanvasesTest;

constexpr uint32_t kSolid = 0x00336699u;

TEST_F(PointTest, TopmostSolidSpriteWins) {
    TestPutSprite(1, "LOW", 10, 10, 1, kSolid, canvas);
    TestPutSprite(2, "MID", 10, 10, 1, kSolid, canvas);
    TestPutSprite(3, "TOP", 10, 10, 1, kSolid, canvas);
    TestSpritePixel(3, 2, 2) = kTestKey;
    TestPutSprite(4, "ELSEWHERE", 10, 10, 1, kSolid, canvas2);
    TestPutSprite(5, "HIDDEN", 10, 10, 1, kSolid, canvas);
    EngineState.SpriteTable[5].visible = 0;
    SprCreateSprite("NOIMAGE", INT32_MAX, INT32_MAX, 1, -1, {});
    SpriteSetCanvas(canvas, "NOIMAGE");
    SpriteShow("NOIMAGE", 1);
    ASSERT_EQ(SprFindSprite("NOIMAGE"), 6);

    EXPECT_EQ(SpriteAtPoint(canvas, 3, 3), "TOP");
    EXPECT_EQ(SpriteAtPoint(canvas, 2, 2), "MID");  // TOP is transparent there
    SpriteShow("TOP", 0);
    EXPECT_EQ(SpriteAtPoint(canvas, 3, 3), "MID");
    EXPECT_EQ(SpriteAtPoint(canvas2, 3, 3), "ELSEWHER");
    EXPECT_EQ(SpriteAtPoint(canvas, 50, 50), "");
}

TEST_F(PointTest, EveryPixelOfTheRectangleCounts) {
    TestPutSprite(1, "ballSprite1", 4, 3, 1, kSolid, canvas, 5, 5);
    struct {
        int32_t x, y;
        const char* found;
    } const cases[] = {
        {5, 5, "BALLSPRI"}, {8, 7, "BALLSPRI"},  // first and last column and row
        {8, 5, "BALLSPRI"}, {5, 7, "BALLSPRI"},
        {9, 7, ""},         {8, 8, ""},  {4, 5, ""}, {5, 4, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SpriteAtPoint(canvas, c.x, c.y), c.found) << c.x << "," << c.y;
}

TEST_F(PointTest, CurrentFrameAsStored) {
    // Frame 1 empty; frame 2 solid in its first column only.
    TestPutSprite(1, "F", 4, 1, 2, kTestKey, canvas);
    TestSpritePixel(1, 4, 0) = kSolid;
    EXPECT_EQ(SpriteAtPoint(canvas, 0, 0), "");
    SpriteSetFrame("F", 2, 0, 0);
    EXPECT_EQ(SpriteAtPoint(canvas, 0, 0), "F");
    SpriteSetFlip("F", 1, 1, 0);  // drawn mirrored, tested as stored
    EXPECT_EQ(SpriteAtPoint(canvas, 0, 0), "F");
    EXPECT_EQ(SpriteAtPoint(canvas, 3, 0), "");
}

TEST_F(PointTest, OnlyCanvasesAreSearched) {
    TestPutSprite(1, "S", 4, 4, 1, kSolid, top);
    EXPECT_EQ(SpriteAtPoint(top, 1, 1), "");
    EXPECT_EQ(SpriteAtPoint(nullptr, 1, 1), "");
    TestPutSprite(2, "C", 4, 4, 1, kSolid, canvas);
    DestroyWindow(canvas);
    EXPECT_EQ(SpriteAtPoint(canvas, 1, 1), "");
}

TEST_F(PointTest, PointsAtThe32BitLimits) {
    TestPutSprite(1, "MAX", 4, 4, 1, kSolid, canvas, INT32_MAX - 1, INT32_MAX - 1);
    TestPutSprite(2, "MIN", 4, 4, 1, kSolid, canvas, INT32_MIN, INT32_MIN);
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MAX, INT32_MAX), "MAX");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MAX - 2, INT32_MAX), "");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MIN, INT32_MIN), "MIN");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MIN + 3, INT32_MIN + 3), "MIN");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MIN + 4, INT32_MIN), "");
    EXPECT_EQ(SpriteAtPoint(canvas, INT32_MAX, INT32_MIN), "");
}

}  // namespace
