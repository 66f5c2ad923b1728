// Engine lifetime: table sizing, back-buffer size, repeated starts, image ownership
// at start and shutdown, and SprCreateDIB.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "engine_fixture.h"
#include "support/gdi_counts.h"

namespace {

// Puts the headless screen back to its default size when a test ends.
struct ScreenSizeGuard {
    ScreenSizeGuard(int32_t width, int32_t height) { PlatformSetScreenSize(width, height); }
    ~ScreenSizeGuard() { PlatformSetScreenSize(1280, 1024); }
};

// Tests here drive the lifetime themselves; TearDown shuts down whatever is left.
class LifetimeTest : public ::testing::Test {
protected:
    void TearDown() override { SpriteEngineShutdown(); }
};

// The atoms are global: on the real platform they outlive the programs that add
// them, so one that another program still holds stays after the shutdown.
TEST_F(LifetimeTest, InitGivesTwoEmptySlotsAndAtoms) {
    ATOM heldElsewhere[7] = {};
    for (int i = 1; i <= 6; ++i) heldElsewhere[i] = GlobalFindAtomA(("QXSPRITE_SUBCLASS" + std::to_string(i)).c_str());
    SpriteEngineInit();
    EXPECT_EQ(SprLastSlot(), 2);
    EXPECT_EQ(EngineState.autoInvalidate, 1);
    EXPECT_EQ(EngineState.engineStarted, 0);
    EXPECT_EQ(EngineState.BackBuffer.bitmap, nullptr);
    for (int i = 1; i <= 6; ++i) {
        const std::string name = "QXSPRITE_SUBCLASS" + std::to_string(i);
        EXPECT_NE(EngineState.canvasAtoms[i], 0);
        EXPECT_EQ(GlobalFindAtomA(name.c_str()), EngineState.canvasAtoms[i]) << name;
    }
    SpriteEngineShutdown();
    for (int i = 1; i <= 6; ++i) {
        const std::string name = "QXSPRITE_SUBCLASS" + std::to_string(i);
        EXPECT_EQ(GlobalFindAtomA(name.c_str()), heldElsewhere[i]) << name;
    }
}

TEST_F(LifetimeTest, SpriteCountIsClampedTo10Through1000) {
    const struct {
        int32_t requested, slots;
    } cases[] = {{INT32_MIN, 10}, {-5, 10}, {0, 10}, {10, 10}, {11, 11},
                 {1000, 1000},    {1001, 1000}, {INT32_MAX, 1000}};
    for (const auto& c : cases) {
        SpriteEngineInit();
        SpriteEngineStart(c.requested, -1, -1);
        EXPECT_EQ(SprLastSlot(), c.slots) << c.requested;
        for (int32_t slot = 1; slot <= SprLastSlot(); ++slot)
            ASSERT_EQ(EngineState.SpriteTable[slot].nameKey, 0);
        SpriteEngineShutdown();
    }
}

TEST_F(LifetimeTest, BackBufferSizeFollowsScreenAndMinimums) {
    const struct {
        int32_t screenW, screenH, minW, minH, width, height;
    } cases[] = {
        {1280, 1024, -1, -1, 1280, 1024},
        {1280, 1024, 2000, -1, 2000, 1024},
        {1280, 1024, 100, 1500, 1280, 1500},
        {200, 200, -1, -1, 256, 257},
        {200, 200, 300, 10, 300, 257},
        {256, 256, INT32_MIN, INT32_MIN, 256, 257},
        {800, 600, -1, -1, 800, 600},
    };
    if (!PlatformSetScreenSize(1280, 1024)) GTEST_SKIP() << "the screen size cannot be set on this platform";
    for (const auto& c : cases) {
        ScreenSizeGuard screen(c.screenW, c.screenH);
        SpriteEngineInit();
        SpriteEngineStart(32, c.minW, c.minH);
        ASSERT_EQ(EngineState.engineStarted, 1);
        int32_t width = 0, height = 0;
        TestBitmapSize(EngineState.BackBuffer.bitmap, width, height);
        EXPECT_EQ(width, c.width) << c.screenW << "x" << c.screenH << " min " << c.minW;
        EXPECT_EQ(height, c.height) << c.screenW << "x" << c.screenH << " min " << c.minH;
        BITMAP bm{};
        ASSERT_NE(GetObjectA(EngineState.BackBuffer.bitmap, sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmBitsPixel, 32);
        EXPECT_EQ(bm.bmWidthBytes, c.width * 4);
        EXPECT_EQ(bm.bmBits, EngineState.BackBuffer.bits);
        EXPECT_NE(EngineState.BackBuffer.dc, nullptr);
        EXPECT_EQ(EngineState.BlendTables.MulTable.size(), 25857u);
        SpriteEngineShutdown();
    }
}

TEST_F(LifetimeTest, SecondStartChangesNothing) {
    SpriteEngineInit();
    SpriteEngineStart(20, -1, -1);
    ASSERT_EQ(TestPutSprite(3, "LOGO1", 4, 4), 3);
    const HBITMAP back = EngineState.BackBuffer.bitmap;
    const HBITMAP image = EngineState.SpriteTable[3].bitmap;
    const int32_t live = PlatformLiveGdiObjects().Total();

    SpriteEngineStart(500, 4000, 4000);
    EXPECT_EQ(SprLastSlot(), 20);
    EXPECT_EQ(EngineState.BackBuffer.bitmap, back);
    EXPECT_EQ(EngineState.SpriteTable[3].bitmap, image);
    EXPECT_EQ(SprFindSprite("LOGO1"), 3);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), live);
}

// Shutdown deletes a shared image once, through the sprite that was cloned, and
// leaves no GDI object behind.
TEST_F(LifetimeTest, ShutdownDeletesEachImageOnce) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SpriteEngineInit();
    SpriteEngineStart(10, -1, -1);
    // Clones in lower slots than their source, so a walk that deleted through the
    // first record holding the handle would go through a clone.
    ASSERT_EQ(TestPutSprite(3, "BALL", 4, 4, 2), 3);
    ASSERT_EQ(TestPutClone(1, "CLONE1", 3), 1);
    ASSERT_EQ(TestPutClone(2, "CLONE2", 3), 2);
    ASSERT_EQ(TestPutSprite(5, "PLAIN", 3, 3), 5);
    EXPECT_EQ(EngineState.SpriteTable[3].cloneState, -1);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps + 3);  // back buffer + 2 images
    // A clone record never frees the handle it holds: give one a bitmap that the
    // test owns and check that it survives.
    ASSERT_EQ(TestPutSprite(7, "KEEPER", 2, 2), 7);
    HBITMAP kept = EngineState.SpriteTable[7].bitmap;
    EngineState.SpriteTable[7] = SpriteRecord{};
    ASSERT_EQ(TestPutClone(8, "CLONE3", 3), 8);
    EngineState.SpriteTable[8].bitmap = kept;

    SpriteEngineShutdown();
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(DeleteObject(kept));
    const GdiObjectCounts after = PlatformLiveGdiObjects();
    EXPECT_GDI_COUNT_EQ(after.bitmaps, before.bitmaps);
    EXPECT_GDI_COUNT_EQ(after.dcs, before.dcs);
    EXPECT_GDI_COUNT_EQ(after.Total(), before.Total());
    EXPECT_TRUE(EngineState.SpriteTable.empty());
    EXPECT_TRUE(EngineState.BlendTables.MulTable.empty());
    EXPECT_TRUE(EngineState.BlendTables.DivTable.empty());
    EXPECT_EQ(EngineState.BackBuffer.bitmap, nullptr);
    EXPECT_EQ(EngineState.BackBuffer.dc, nullptr);
}

// Regression: a start used to drop the table without freeing the images of sprites
// made before it, which nothing could reach afterwards.
TEST_F(LifetimeTest, StartFreesImagesOfSpritesMadeBeforeIt) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SpriteEngineInit();
    ASSERT_EQ(TestPutSprite(1, "EARLY", 4, 4), 1);
    ASSERT_EQ(TestPutClone(2, "EARLYC", 1), 2);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps + 1);

    SpriteEngineStart(10, -1, -1);
    ASSERT_EQ(EngineState.engineStarted, 1);
    EXPECT_EQ(SprFindSprite("EARLY"), 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().bitmaps, before.bitmaps + 1);  // the back buffer only
    SpriteEngineShutdown();
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
}

TEST_F(LifetimeTest, ShutdownClosesAnOpenImage) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SpriteEngineInit();
    SpriteEngineStart(10, -1, -1);
    ASSERT_EQ(TestPutSprite(1, "OPEN", 4, 4), 1);
    HDC dc = nullptr;
    int32_t l, t, r, b;
    ASSERT_EQ(SpriteBeginDraw("OPEN", 0, dc, l, t, r, b), 1);
    SpriteEngineShutdown();
    EXPECT_EQ(DrawContext.dc, nullptr);
    EXPECT_EQ(DrawContext.slot, 0);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
}

TEST_F(LifetimeTest, EngineStartsAgainAfterShutdown) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    for (int round = 0; round < 3; ++round) {
        SpriteEngineInit();
        SpriteEngineStart(12, -1, -1);
        ASSERT_EQ(EngineState.engineStarted, 1) << round;
        EXPECT_EQ(SprLastSlot(), 12);
        ASSERT_EQ(TestPutSprite(1, "AGAIN", 4, 4), 1);
        EXPECT_EQ(SprFindSprite("again"), 1);
        SpriteEngineShutdown();
        EXPECT_EQ(EngineState.engineStarted, 0);
        EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total()) << round;
    }
}

TEST_F(LifetimeTest, StartThatCannotAllocateLeavesEngineUnstarted) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SpriteEngineInit();
    SpriteEngineStart(50, INT32_MAX, INT32_MAX);
    EXPECT_EQ(EngineState.engineStarted, 0);
    EXPECT_EQ(EngineState.BackBuffer.bitmap, nullptr);
    EXPECT_EQ(EngineState.BackBuffer.dc, nullptr);
    EXPECT_TRUE(EngineState.BlendTables.MulTable.empty());
    EXPECT_EQ(SprLastSlot(), 50);  // the table was sized all the same
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());

    SpriteEngineStart(20, -1, -1);  // a later start tries again
    EXPECT_EQ(EngineState.engineStarted, 1);
    EXPECT_EQ(SprLastSlot(), 20);
}

TEST_F(LifetimeTest, ShutdownWithoutStartIsSafe) {
    const GdiObjectCounts before = PlatformLiveGdiObjects();
    SpriteEngineInit();
    SpriteEngineShutdown();
    SpriteEngineShutdown();
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before.Total());
}

TEST(SprCreateDIBTest, BitCountsAndRowLayouts) {
    const struct {
        int32_t requested, bits, widthBytes;  // for a width of 3
    } cases[] = {{16, 16, 8}, {24, 24, 12}, {32, 32, 12}, {8, 32, 12}, {0, 32, 12}, {-1, 32, 12}};
    const int32_t before = PlatformLiveGdiObjects().Total();
    for (const auto& c : cases) {
        BYTE* bits = nullptr;
        HBITMAP bitmap = SprCreateDIB(nullptr, c.requested, 3, 5, bits);
        ASSERT_NE(bitmap, nullptr) << c.requested;
        ASSERT_NE(bits, nullptr);
        BITMAP bm{};
        ASSERT_NE(GetObjectA(bitmap, sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmWidth, 3);
        EXPECT_EQ(bm.bmHeight, 5);  // positive although the DIB is top-down
        EXPECT_EQ(bm.bmBitsPixel, c.bits) << c.requested;
        EXPECT_EQ(bm.bmWidthBytes, c.widthBytes) << c.requested;
        EXPECT_EQ(bm.bmBits, bits);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before);
}

// The first row lies at the lowest address: GDI drawing on the top row lands in
// the first width * 4 bytes.
TEST(SprCreateDIBTest, RowsRunTopDown) {
    HDC screen = GetDC(nullptr);
    BYTE* bits = nullptr;
    HBITMAP bitmap = SprCreateDIB(screen, 32, 2, 3, bits);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    auto* pixels = reinterpret_cast<uint32_t*>(bits);
    for (int i = 0; i < 6; ++i) pixels[i] = 0;
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    const RECT top{0, 0, 2, 1};
    FillRect(dc, &top, brush);
    GdiFlush();
    EXPECT_EQ(pixels[0] & 0x00FFFFFFu, 0x00123456u);
    EXPECT_EQ(pixels[1] & 0x00FFFFFFu, 0x00123456u);
    for (int i = 2; i < 6; ++i) EXPECT_EQ(pixels[i], 0u) << i;
    SelectObject(dc, previous);
    DeleteObject(brush);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(SprCreateDIBTest, RefusesSizesThatAreNotPositive) {
    const int32_t before = PlatformLiveGdiObjects().Total();
    const struct {
        int32_t width, height;
    } cases[] = {{0, 4}, {4, 0}, {-4, 4}, {4, -4}, {4, INT32_MIN}, {INT32_MIN, 4}};
    for (const auto& c : cases) {
        BYTE* bits = reinterpret_cast<BYTE*>(&bits);
        EXPECT_EQ(SprCreateDIB(nullptr, 32, c.width, c.height, bits), nullptr)
            << c.width << "x" << c.height;
        EXPECT_EQ(bits, nullptr);
    }
    BYTE* bits = nullptr;
    EXPECT_EQ(SprCreateDIB(nullptr, 32, INT32_MAX, INT32_MAX, bits), nullptr);
    EXPECT_GDI_COUNT_EQ(PlatformLiveGdiObjects().Total(), before);
}

}  // namespace
