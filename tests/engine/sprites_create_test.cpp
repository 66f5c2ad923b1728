// Making sprites from bitmaps: frame cutting, sizes, colour keys, the pixels copied
// into each frame, edge softening, refusals, and images too large to make.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "engine/sprites/sprites_internal.h"
#include "engine_fixture.h"
#include "sprites_test_helpers.h"
#include "support/gdi_counts.h"

namespace {

using SpriteCreateTest = EngineTest;

// A pixel value that differs per column and row and is never the magenta key.
uint32_t Pattern(int32_t x, int32_t y) { return 0x00100000u + uint32_t(x) * 0x101u + uint32_t(y); }

struct FrameCase {
    int32_t bitmapWidth, bitmapHeight, frames;
    int32_t width, height, frameCount, imageWidth;
};

TEST_F(SpriteCreateTest, CutsTheBitmapIntoFrames) {
    const FrameCase cases[] = {
        {420, 140, 3, 140, 140, 3, 420},   // the demo's ball strip
        {420, 140, 0, 420, 140, 1, 420},   // no frame count: one frame
        {420, 140, -7, 420, 140, 1, 420},  // negative: one frame
        {1000, 10, 250, 10, 10, 100, 1000},  // at most 100 frames
        {100, 10, 3, 33, 10, 3, 99},       // truncated frame width, image shrunk
        {1, 1, 1, 2, 2, 1, 2},             // raised to 2 x 2
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitmapWidth << "x" << c.bitmapHeight << " frames "
                                        << c.frames);
        HBITMAP source = TestMakeBitmap(c.bitmapWidth, c.bitmapHeight, 0x123456u);
        ASSERT_NE(source, nullptr);
        SpriteCreateFromBitmap("S", source, c.frames, -1, 0);
        DeleteObject(source);
        const SpriteRecord& r = TestRecord("s");
        ASSERT_EQ(SprFindSprite("S"), 1);
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
        EXPECT_EQ(r.frameCount, c.frameCount);
        int32_t imageWidth = 0, imageHeight = 0;
        TestBitmapSize(r.bitmap, imageWidth, imageHeight);
        EXPECT_EQ(imageWidth, c.imageWidth);
        EXPECT_EQ(imageHeight, c.height);
        EXPECT_EQ(r.currentFrame, 1);
        EXPECT_EQ(r.visible, 0);
        EXPECT_EQ(r.canvas, nullptr);
        EXPECT_EQ(r.cloneState, 0);
        SpriteDelete("S");
    }
}

TEST_F(SpriteCreateTest, EachFrameHoldsItsColumnsOfTheBitmap) {
    HBITMAP source = TestMakeBitmap(420, 140, Pattern);
    SpriteCreateFromBitmap("BALL", source, 3, -1, 0);
    DeleteObject(source);
    const int32_t slot = SprFindSprite("BALL");
    ASSERT_NE(slot, 0);
    int32_t mismatches = 0;
    for (int32_t frame = 1; frame <= 3; ++frame) {
        for (int32_t y = 0; y < 140; ++y) {
            for (int32_t c = 0; c < 140; ++c) {
                const int32_t column = (frame - 1) * 140 + c;
                mismatches += TestSpritePixel(slot, column, y) != Pattern(column, y);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(SpriteCreateTest, OnePixelIsStretchedOverTwoByTwo) {
    HBITMAP source = TestMakeBitmap(1, 1, 0x00ABCDEFu);
    SpriteCreateFromBitmap("DOT", source, 1, -1, 0);
    DeleteObject(source);
    const int32_t slot = SprFindSprite("DOT");
    ASSERT_NE(slot, 0);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(TestSpritePixel(slot, x, y), 0x00ABCDEFu);
    }
}

TEST_F(SpriteCreateTest, RefusesWhatCannotBeCut) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    HBITMAP narrow = TestMakeBitmap(2, 10, 0u);
    SpriteCreateFromBitmap("NARROW", narrow, 3, -1, 0);  // frame width 0
    DeleteObject(narrow);
    SpriteCreateFromBitmap("NONE", nullptr, 1, -1, 0);
    HDC dc = CreateCompatibleDC(nullptr);  // a handle that is not a bitmap
    SpriteCreateFromBitmap("DC", reinterpret_cast<HBITMAP>(dc), 1, -1, 0);
    DeleteDC(dc);
    EXPECT_EQ(TestLiveSprites(), 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
}

TEST_F(SpriteCreateTest, ColourBecomesAPixelValue) {
    struct {
        int32_t color;
        uint32_t key;
    } const cases[] = {
        {-1, 0x00FF00FFu},          // default magenta
        {INT32_MIN, 0x00FF00FFu},   // any negative
        {0x000000FF, 0x00FF0000u},  // red as 0x00BBGGRR
        {0x00123456, 0x00563412u},
        {0x7F123456, 0x00563412u},  // top byte cleared
        {0, 0u},
    };
    for (const auto& c : cases) {
        SprCreateSprite("K", 4, 4, 1, c.color, {});
        EXPECT_EQ(TestRecord("K").transparentColor, c.key) << std::hex << c.color;
        SpriteDelete("K");
    }
}

TEST_F(SpriteCreateTest, ExistingNameIsRedrawnInPlace) {
    HBITMAP red = TestMakeBitmap(8, 4, 0x00FF0000u);
    SpriteCreateFromBitmap("A", red, 2, -1, 0);
    DeleteObject(red);
    SpriteClone("A2", "A");
    // Another size and frame count: the existing sprite keeps its geometry and
    // the new bitmap is stretched over its whole strip, shared with the clone.
    HBITMAP blue = TestMakeBitmap(3, 3, 0x000000FFu);
    SpriteCreateFromBitmap("a", blue, 1, 0, 0);
    DeleteObject(blue);
    EXPECT_EQ(TestLiveSprites(), 2);
    const SpriteRecord& r = TestRecord("A");
    EXPECT_EQ(r.width, 4);
    EXPECT_EQ(r.frameCount, 2);
    EXPECT_EQ(r.transparentColor, 0x00FF00FFu);
    const int32_t slot = SprFindSprite("A");
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(TestSpritePixel(slot, x, y), 0x000000FFu);
    }
    EXPECT_EQ(TestRecord("A2").bits, r.bits);
}

TEST_F(SpriteCreateTest, EdgeSofteningIsApplied) {
    // Row 0 colour A, row 1 two pixels of B then key colour, row 2 key colour: the
    // four key pixels under row 0 become a fading run in B.
    const uint32_t a = 0x00AA0000u, b = 0x000000BBu, key = 0x00FF00FFu;
    auto picture = [=](int32_t x, int32_t y) { return y == 0 ? a : (y == 1 && x < 2 ? b : key); };
    for (int32_t softening : {100, 50, 150}) {
        HBITMAP source = TestMakeBitmap(6, 3, picture);
        SpriteCreateFromBitmap("EDGE", source, 1, -1, softening);
        DeleteObject(source);
        const int32_t slot = SprFindSprite("EDGE");
        ASSERT_NE(slot, 0);
        EXPECT_EQ(TestSpritePixel(slot, 2, 1), b | 0x44000000u);
        EXPECT_EQ(TestSpritePixel(slot, 5, 1), b | 0x41000000u);
        EXPECT_EQ(TestSpritePixel(slot, 0, 2), key);
        EXPECT_FLOAT_EQ(TestRecord("EDGE").edgeBlend, softening >= 100 ? 1.0f : 0.5f);
        SpriteDelete("EDGE");
    }
    HBITMAP source = TestMakeBitmap(6, 3, picture);
    SpriteCreateFromBitmap("PLAIN", source, 1, -1, 0);
    DeleteObject(source);
    EXPECT_EQ(TestSpritePixel(SprFindSprite("PLAIN"), 2, 1), key);
    EXPECT_EQ(TestRecord("PLAIN").edgeBlend, 0.0f);
}

TEST_F(SpriteCreateTest, NewSpriteRefusals) {
    SprCreateSprite("TAKEN123", 4, 4, 1, -1, {});
    ASSERT_EQ(TestLiveSprites(), 1);
    SprCreateSprite("W0", 0, 4, 1, -1, {});
    SprCreateSprite("H0", 4, -1, 1, -1, {});
    SprCreateSprite("", 4, 4, 1, -1, {});
    SprCreateSprite("taken123", 4, 4, 1, -1, {});
    SprCreateSprite("TAKEN123_AND_MORE", 4, 4, 1, -1, {});  // same first eight bytes
    SprCreateSprite(std::string_view("\0\0", 2), 4, 4, 1, -1, {});  // key 0 like the empty name
    EXPECT_EQ(TestLiveSprites(), 1);
}

TEST_F(SpriteCreateTest, SizesAreRaisedAndFramesAtLeastOne) {
    SprCreateSprite("ONE", 1, 1, -3, -1, {});
    const SpriteRecord& r = TestRecord("ONE");
    EXPECT_EQ(r.width, 2);
    EXPECT_EQ(r.height, 2);
    EXPECT_EQ(r.frameCount, 1);
    EXPECT_NE(r.bitmap, nullptr);
}

TEST_F(SpriteCreateTest, FullTableRefusesAndStaysUnchanged) {
    const int32_t slots = SprLastSlot();
    for (int32_t i = 0; i < slots; ++i) SprCreateSprite("S" + std::to_string(i), 2, 2, 1, -1, {});
    ASSERT_EQ(TestLiveSprites(), slots);
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SprCreateSprite("EXTRA", 2, 2, 1, -1, {});
    SpriteClone("EXTRA", "S0");
    EXPECT_EQ(SprFindSprite("EXTRA"), 0);
    EXPECT_EQ(EngineState.SpriteTable[1].cloneState, 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps);
}

// Images whose size overflows 32-bit bitmap fields, or is too large to allocate,
// give a sprite without image that every operation then passes over.
TEST_F(SpriteCreateTest, ImageTooLargeGivesSpriteWithoutBitmap) {
    struct {
        const char* name;
        int32_t width, height, frames;
    } const cases[] = {
        {"MAXALL", INT32_MAX, INT32_MAX, INT32_MAX},
        {"COLUMNS", INT32_MAX / 2 + 1, 2, 2},  // width * frames overflows
        {"BYTES", 1 << 16, 1 << 15, 1},        // 8 GiB of pixels
        {"WIDE", INT32_MAX, 2, 1},
    };
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    for (const auto& c : cases) {
        SprCreateSprite(c.name, c.width, c.height, c.frames, -1, {});
        const SpriteRecord& r = TestRecord(c.name);
        ASSERT_NE(SprFindSprite(c.name), 0) << c.name;
        EXPECT_EQ(r.bitmap, nullptr) << c.name;
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.frameCount, c.frames);
    }
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps);

    HDC dc = nullptr;
    int32_t l = 0, t = 0, rt = 0, b = 0;
    EXPECT_EQ(SpriteBeginDraw("MAXALL", 0, dc, l, t, rt, b), 0);
    SpriteShow("MAXALL|WIDE", 1);
    SpriteMove("MAXALL", INT32_MAX, INT32_MAX, 1);
    EXPECT_EQ(SpriteCollisions("WIDE"), "");
    SpriteClone("MAXCLONE", "MAXALL");
    SpriteDelete("MAXALL");
    EXPECT_EQ(SprFindSprite("MAXCLONE"), 0);
    for (const auto& c : cases) SpriteDelete(c.name);
    EXPECT_EQ(TestLiveSprites(), 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps);
}

TEST_F(SpriteCreateTest, BitmapSizeOfBitmapsOnly) {
    HBITMAP bitmap = TestMakeBitmap(7, 5, 0u);
    int32_t width = -1, height = -1;
    SpriteGetBitmapSize(bitmap, width, height);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 5);
    DeleteObject(bitmap);
    HDC dc = CreateCompatibleDC(nullptr);
    SpriteGetBitmapSize(dc, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    DeleteDC(dc);
    width = height = -1;
    SpriteGetBitmapSize(nullptr, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

TEST_F(SpriteCreateTest, DeleteBitmapDeletesOnlyBitmaps) {
    BYTE* bits = nullptr;
    const HBITMAP bitmap = SprCreateDIB(nullptr, 32, 4, 4, bits);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HRGN region = CreateRectRgn(0, 0, 4, 4);
    const GdiObjectCounts before = PlatformLiveGdiObjects();

    SpriteDeleteBitmap(dc);
    SpriteDeleteBitmap(region);
    SpriteDeleteBitmap(nullptr);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
    SpriteDeleteBitmap(bitmap);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps - 1);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    SpriteDeleteBitmap(bitmap);  // already gone: nothing happens

    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    DeleteDC(dc);
    DeleteObject(region);
}

TEST_F(SpriteCreateTest, DrawBitmapStretchedScalesAndFreesItsWork) {
    HBITMAP source = TestMakeBitmap(2, 1, [](int32_t x, int32_t) { return x ? 0x222222u : 0x111111u; });
    BYTE* bits = nullptr;
    HBITMAP target = SprCreateDIB(nullptr, 32, 6, 3, bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, target);
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SprDrawBitmapStretched(dc, 1, 1, 4, 2, source);
    SprDrawBitmapStretched(dc, 0, 0, 6, 3, reinterpret_cast<HBITMAP>(dc));  // not a bitmap
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
    SelectObject(dc, previous);
    GdiFlush();
    const auto* pixels = reinterpret_cast<const uint32_t*>(bits);
    const uint32_t expected[3][6] = {
        {0, 0, 0, 0, 0, 0},
        {0, 0x111111u, 0x111111u, 0x222222u, 0x222222u, 0},
        {0, 0x111111u, 0x111111u, 0x222222u, 0x222222u, 0},
    };
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            EXPECT_EQ(pixels[y * 6 + x] & 0x00FFFFFFu, expected[y][x]) << x << "," << y;
        }
    }
    DeleteDC(dc);
    DeleteObject(target);
    DeleteObject(source);
}

}  // namespace
