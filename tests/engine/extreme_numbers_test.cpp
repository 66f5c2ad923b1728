// Numbers at and across the 32-bit limits through the public operations: positions
// and relative moves, frames, opacity, softening, frame counts and colours. Each
// case gives the value the record must hold; afterwards the canvas is painted and
// hit-tested, and nothing may be left behind.
#include <climits>

#include "extreme_fixture.h"

namespace {

TEST_F(ExtremeInputTest, PositionsAndRelativeMovesAcrossTheLimits) {
    const struct {
        int32_t startX, startY, x, y, relative, wantX, wantY;
    } cases[] = {
        {0, 0, INT32_MAX, INT32_MAX, 0, INT32_MAX, INT32_MAX},
        {0, 0, INT32_MIN, INT32_MIN, 0, INT32_MIN, INT32_MIN},
        // Relative moves stop at the limits instead of wrapping around.
        {INT32_MAX, INT32_MAX, 1, 1, 1, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, -1, -1, 1, INT32_MIN, INT32_MIN},
        {INT32_MAX, 5, INT32_MAX, 0, 1, INT32_MAX, 5},
        {INT32_MIN, 5, INT32_MIN, 0, 1, INT32_MIN, 5},
        {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 1, -1, -1},
        {INT32_MAX - 10, 0, 20, 0, 1, INT32_MAX, 0},
        {-70, -70, INT32_MIN, INT32_MAX, 1, INT32_MIN, INT32_MAX - 70},
        {30, 20, 5, -5, 7, 35, 15},  // any non-zero relative counts
    };
    TestMakeSprite("BALL", 16, 12);
    SpriteSetCanvas(canvas, "BALL");
    SpriteShow("BALL", 1);
    for (const auto& c : cases) {
        SpriteMove("BALL", c.startX, c.startY, 0);
        SpriteMove("BALL", c.x, c.y, c.relative);
        int32_t x = 0, y = 0;
        EXPECT_EQ(SpriteGetPosition("BALL", x, y), 1);
        EXPECT_EQ(x, c.wantX) << c.startX << " + " << c.x;
        EXPECT_EQ(y, c.wantY) << c.startY << " + " << c.y;
        SpriteRedrawCanvas(canvas);
        // The sprite's top-left pixel is solid wherever it lies.
        EXPECT_EQ(SpriteAtPoint(canvas, c.wantX, c.wantY), "BALL") << c.wantX << ", " << c.wantY;
        ExpectSound("move to " + std::to_string(c.wantX) + ", " + std::to_string(c.wantY));
    }
}

TEST_F(ExtremeInputTest, FramesAcrossTheLimits) {
    const struct {
        int32_t start, frame, relative, want;
    } cases[] = {
        {1, INT32_MAX, 0, 1},  {1, INT32_MIN, 0, 3},  {2, 0, 0, 3},       {2, -1, 0, 3},
        {3, INT32_MAX, 1, 1},  {1, INT32_MIN, 1, 3},  {3, INT32_MIN, 1, 3}, {2, INT32_MAX, 1, 1},
        {3, 1, 1, 1},          {1, -1, 1, 3},         {2, 1, 1, 3},
    };
    TestMakeSprite("BALL", 10, 10, 3);
    SpriteSetCanvas(canvas, "BALL");
    SpriteShow("BALL", 1);
    for (const auto& c : cases) {
        SpriteSetFrame("BALL", c.start, 0, 0);
        SpriteSetFrame("BALL", c.frame, c.relative, 1);
        int32_t count = 0, frame = 0;
        SpriteGetFrame("BALL", count, frame);
        EXPECT_EQ(count, 3);
        EXPECT_EQ(frame, c.want) << c.start << (c.relative ? " by " : " to ") << c.frame;
        SpriteUpdateCanvas(canvas);
    }
    ExpectSound("frames");
}

TEST_F(ExtremeInputTest, OpacityAtTheLimits) {
    const struct {
        int32_t opacity, translucency;
    } cases[] = {{INT32_MIN, 0}, {-1, 0}, {0, 0}, {1, 99}, {99, 1}, {100, 0}, {101, 0}, {INT32_MAX, 0}};
    TestMakeSprite("BALL", 10, 10);
    SpriteSetCanvas(canvas, "BALL");
    SpriteShow("BALL", 1);
    for (const auto& c : cases) {
        SpriteSetOpacity("BALL", 50, 0);
        SpriteSetOpacity("BALL", c.opacity, 1);
        EXPECT_EQ(SpriteGetFlag("BALL", "E"), c.translucency) << c.opacity;
        SpriteUpdateCanvas(canvas);
    }
    ExpectSound("opacity");
}

TEST_F(ExtremeInputTest, FlagsFromAnyNumber) {
    TestMakeSprite("BALL", 10, 10);
    SpriteSetCanvas(canvas, "BALL");
    for (const int32_t value : {INT32_MIN, -1, 2, INT32_MAX}) {
        SpriteShow("BALL", 0);
        SpriteShow("BALL", value);
        SpriteSetFlip("BALL", value, value, 1);
        EXPECT_EQ(SpriteGetFlag("BALL", "V"), 1) << value;
        EXPECT_EQ(SpriteGetFlag("BALL", ">"), 1) << value;
        EXPECT_EQ(SpriteGetFlag("BALL", "^"), 1) << value;
    }
    SpriteSetAutoInvalidate(INT32_MIN);
    EXPECT_EQ(EngineState.autoInvalidate, 1);
    SpriteRedrawCanvas(canvas);
    ExpectSound("flags");
}

TEST_F(ExtremeInputTest, SofteningAtTheLimits) {
    const struct {
        int32_t softening;
        float edgeBlend;
    } cases[] = {{INT32_MIN, 0.0f}, {-1, 0.0f}, {0, 0.0f}, {1, 0.01f}, {100, 1.0f}, {101, 1.0f}, {INT32_MAX, 1.0f}};
    for (const auto& c : cases) {
        // A disc-like outline on magenta, so that softening finds edges.
        BYTE* bits = nullptr;
        HBITMAP bitmap = SprCreateDIB(nullptr, 32, 8, 8, bits);
        auto* pixels = reinterpret_cast<uint32_t*>(bits);
        for (int i = 0; i < 64; ++i) pixels[i] = (i % 8 + i / 8) % 5 < 2 ? 0x00FF00FFu : kBallPixel;
        SpriteCreateFromBitmap("SOFT", bitmap, 1, -1, c.softening);
        DeleteObject(bitmap);
        const int32_t slot = SprFindSprite("SOFT");
        ASSERT_NE(slot, 0);
        EXPECT_EQ(EngineState.SpriteTable[slot].edgeBlend, c.edgeBlend) << c.softening;
        SpriteDelete("SOFT");
    }
    ExpectSound("softening");
}

TEST_F(ExtremeInputTest, FrameCountsAndColoursAtTheLimits) {
    const struct {
        int32_t bitmapWidth, frames, color;
        bool made;
        int32_t width, frameCount;
        uint32_t key;
    } cases[] = {
        {420, INT32_MIN, -1, true, 420, 1, 0x00FF00FFu},
        {420, 0, INT32_MIN, true, 420, 1, 0x00FF00FFu},
        {420, 3, 0, true, 140, 3, 0x00000000u},
        {420, 100, 0x000000FF, true, 4, 100, 0x00FF0000u},
        {420, 101, INT32_MAX, true, 4, 100, 0x00FFFFFFu},
        {420, INT32_MAX, 0x12345678, true, 4, 100, 0x00785634u},
        {2, 3, -1, false, 0, 0, 0},     // frames 0 pixels wide
        {99, 100, -1, false, 0, 0, 0},
        {1, INT32_MAX, -1, false, 0, 0, 0},
        {1, 1, -1, true, 2, 1, 0x00FF00FFu},  // raised to 2 x 2
    };
    for (const auto& c : cases) {
        HBITMAP bitmap = TestSolidBitmap(c.bitmapWidth, 1, kBallPixel);
        SpriteCreateFromBitmap("STRIP", bitmap, c.frames, c.color, 50);
        DeleteObject(bitmap);
        const int32_t slot = SprFindSprite("STRIP");
        EXPECT_EQ(slot != 0, c.made) << c.bitmapWidth << " wide, " << c.frames << " frames";
        if (slot != 0) {
            const SpriteRecord& r = EngineState.SpriteTable[slot];
            EXPECT_EQ(r.width, c.width) << c.frames;
            EXPECT_EQ(r.height, 2);
            EXPECT_EQ(r.frameCount, c.frameCount) << c.frames;
            EXPECT_EQ(r.transparentColor, c.key) << c.color;
            SpriteSetCanvas(canvas, "STRIP");
            SpriteShow("STRIP", 1);
            SpriteSetFrame("STRIP", INT32_MAX, 1, 1);
            SpriteUpdateCanvas(canvas);
        }
        SpriteDelete("STRIP");
        ExpectSound("frame count " + std::to_string(c.frames));
    }
}

}  // namespace
