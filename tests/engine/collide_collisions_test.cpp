// SpriteCollisions: pixel-exact overlap of solid pixels, on one canvas, in slot order.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "engine/sprites/sprites_internal.h"
#include "engine_fixture.h"
#include "sprites_test_helpers.h"

namespace {

using CollisionsTest = EngineTest;

constexpr uint32_t kSolid = 0x00336699u;

// Makes the columns [from, to) of every row of a slot's first frame key-coloured.
void ClearColumns(int32_t slot, int32_t from, int32_t to) {
    const SpriteRecord& r = EngineState.SpriteTable[slot];
    for (int32_t y = 0; y < r.height; ++y) {
        for (int32_t x = from; x < to; ++x) TestSpritePixel(slot, x, y) = kTestKey;
    }
}

TEST_F(CollisionsTest, OnlySolidPixelsOnSolidPixelsCollide) {
    // A is solid in columns 0..1, B in columns 2..3.
    TestPutSprite(1, "A", 4, 4, 1, kSolid);
    ClearColumns(1, 2, 4);
    TestPutSprite(2, "B", 4, 4, 1, kSolid);
    ClearColumns(2, 0, 2);
    EXPECT_EQ(SpriteCollisions("A"), "");  // rectangles overlap wholly, pixels never
    SpriteMove("B", -1, 0, 0);             // B's column 2 now lies on A's column 1
    EXPECT_EQ(SpriteCollisions("A"), "B");
    EXPECT_EQ(SpriteCollisions("B"), "A");
}

TEST_F(CollisionsTest, TouchingEdgesDoNotCollide) {
    TestPutSprite(1, "A", 4, 4, 1, kSolid);
    TestPutSprite(2, "RIGHT", 4, 4, 1, kSolid, nullptr, 4, 0);
    TestPutSprite(3, "BELOW", 4, 4, 1, kSolid, nullptr, 0, 4);
    TestPutSprite(4, "CORNER", 4, 4, 1, kSolid, nullptr, 3, 3);  // shares pixel (3, 3)
    EXPECT_EQ(SpriteCollisions("A"), "CORNER");
}

TEST_F(CollisionsTest, WhoTakesPart) {
    const HWND canvas1 = reinterpret_cast<HWND>(0x100);
    const HWND canvas2 = reinterpret_cast<HWND>(0x200);
    TestPutSprite(3, "A", 4, 4, 1, kSolid, canvas1);
    TestPutSprite(1, "LOW", 4, 4, 1, kSolid, canvas1);
    TestPutSprite(2, "HIDDEN", 4, 4, 1, kSolid, canvas1);
    EngineState.SpriteTable[2].visible = 0;
    TestPutSprite(4, "OTHER", 4, 4, 1, kSolid, canvas2);
    TestPutSprite(5, "NOCANVAS", 4, 4, 1, kSolid, nullptr);
    TestPutSprite(6, "ballSprite1", 4, 4, 1, kSolid, canvas1);
    TestPutClone(7, "ACLONE", 3);
    TestPutSprite(8, "BLENDED", 4, 4, 1, kSolid, canvas1);
    EngineState.SpriteTable[8].translucency = 100;
    // Names come upper-cased, cut to eight bytes, in slot order.
    EXPECT_EQ(SpriteCollisions("a"), "LOW|BALLSPRI|ACLONE|BLENDED");
    EXPECT_EQ(SpriteCollisions("ACLONE"), "LOW|A|BALLSPRI|BLENDED");
    EXPECT_EQ(SpriteCollisions("OTHER"), "");
    EXPECT_EQ(SpriteCollisions("HIDDEN"), "");
    EXPECT_EQ(SpriteCollisions(""), "");
    EXPECT_EQ(SpriteCollisions("NOSUCH"), "");
    EXPECT_EQ(SpriteCollisions("ballsprite1_and_more"), "LOW|A|ACLONE|BLENDED");
}

TEST_F(CollisionsTest, EdgePixelsAreSolid) {
    TestPutSprite(1, "A", 2, 2, 1, kTestKey);
    TestPutSprite(2, "B", 2, 2, 1, kSolid);
    EXPECT_EQ(SpriteCollisions("A"), "");
    TestSpritePixel(1, 1, 1) = kTestKey | 0x11000000u;  // the key colour with an edge code
    EXPECT_EQ(SpriteCollisions("A"), "B");
}

TEST_F(CollisionsTest, CurrentFrameUnflipped) {
    // Frame 1 of A is empty; frame 2 is solid only in its first column.
    TestPutSprite(1, "A", 4, 1, 2, kTestKey);
    TestSpritePixel(1, 4, 0) = kSolid;
    TestPutSprite(2, "B", 1, 1, 1, kSolid);
    EXPECT_EQ(SpriteCollisions("A"), "");
    SpriteSetFrame("A", 2, 0, 0);
    EXPECT_EQ(SpriteCollisions("A"), "B");
    // Drawn mirrored, the solid column shows at x = 3; the test still uses x = 0.
    SpriteSetFlip("A", 1, 1, 0);
    EXPECT_EQ(SpriteCollisions("A"), "B");
    SpriteMove("B", 3, 0, 0);
    EXPECT_EQ(SpriteCollisions("A"), "");
}

TEST_F(CollisionsTest, SpritesWithoutImageTakeNoPart) {
    TestPutSprite(1, "A", 4, 4, 1, kSolid);
    TestPutSprite(2, "B", 4, 4, 1, kSolid);
    SprCreateSprite("HUGE", INT32_MAX, INT32_MAX, 1, -1, {});
    SpriteShow("HUGE", 1);
    EXPECT_EQ(SpriteCollisions("A"), "B");
    EXPECT_EQ(SpriteCollisions("HUGE"), "");
}

// Rectangles are compared exactly, also where x + width passes the 32-bit limit.
TEST_F(CollisionsTest, SpritesAtThe32BitLimits) {
    struct {
        int32_t ax, ay, bx, by;
        bool collide;
    } const cases[] = {
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, true},
        {INT32_MAX - 3, INT32_MAX - 3, INT32_MAX, INT32_MAX, true},
        {INT32_MIN, INT32_MIN, INT32_MIN + 3, INT32_MIN + 3, true},
        {INT32_MIN, INT32_MIN, INT32_MIN + 4, INT32_MIN, false},
        {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, false},
        {INT32_MAX, 0, INT32_MIN, 0, false},
    };
    TestPutSprite(1, "A", 4, 4, 1, kSolid);
    TestPutSprite(2, "B", 4, 4, 1, kSolid);
    for (const auto& c : cases) {
        SpriteMove("A", c.ax, c.ay, 0);
        SpriteMove("B", c.bx, c.by, 0);
        EXPECT_EQ(SpriteCollisions("A"), c.collide ? "B" : "")
            << c.ax << "," << c.ay << " / " << c.bx << "," << c.by;
    }
}

}  // namespace
