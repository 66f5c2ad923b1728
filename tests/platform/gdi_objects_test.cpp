// Handle validation, object queries, DIB layouts, selection and deletion rules,
// and live object counts.
#include <gtest/gtest.h>

#include <climits>

#include "gdi_test_helpers.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/testing/platform_testing.h"

namespace {

class GdiObjects : public ::testing::Test {
protected:
    void SetUp() override { start = PlatformLiveGdiObjects(); }
    void TearDown() override {
        const GdiObjectCounts now = PlatformLiveGdiObjects();
        EXPECT_EQ(now.bitmaps, start.bitmaps);
        EXPECT_EQ(now.dcs, start.dcs);
        EXPECT_EQ(now.regions, start.regions);
        EXPECT_EQ(now.brushes, start.brushes);
    }
    GdiObjectCounts start{};
};

TEST_F(GdiObjects, StaleRandomAndWrongKindHandlesAreRefused) {
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 4, 4);
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(region), static_cast<DWORD>(OBJ_REGION));

    // Wrong kinds: a region is not a DC or a bitmap.
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(region), bitmap), nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(region, sizeof info, &info), 0);
    EXPECT_EQ(DeleteDC(reinterpret_cast<HDC>(bitmap)), FALSE);

    EXPECT_TRUE(DeleteObject(bitmap));
    // Stale: the slot is reused by the next object, but the old handle stays dead.
    HBITMAP reused = CreateCompatibleBitmap(nullptr, 2, 2);
    EXPECT_NE(reused, bitmap);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(reused), static_cast<DWORD>(OBJ_BITMAP));

    for (uintptr_t value : {uintptr_t{1}, uintptr_t{0xDEADBEEF}, ~uintptr_t{0},
                            reinterpret_cast<uintptr_t>(reused) + 1,
                            reinterpret_cast<uintptr_t>(reused) ^ (uintptr_t{1} << 40)}) {
        auto* junk = reinterpret_cast<HGDIOBJ>(value);
        EXPECT_EQ(GetObjectType(junk), 0u);
        EXPECT_FALSE(DeleteObject(junk));
        EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(junk), reused), nullptr);
    }
    EXPECT_EQ(GetObjectType(nullptr), 0u);
    EXPECT_TRUE(DeleteObject(reused));
    EXPECT_TRUE(DeleteObject(region));
}

// Row layouts: 32-bit rows unpadded, 16/24-bit rows padded to 4 bytes; the top
// row first for a negative height, last for a positive one.
TEST_F(GdiObjects, DibSectionLayouts) {
    struct Case {
        int bitCount;
        int32_t width;
        int32_t height;
        int32_t stride;
    } cases[] = {
        {32, 3, -2, 12}, {32, 3, 2, 12},  {24, 3, -2, 12}, {24, 5, 2, 16},
        {24, 4, 3, 12},  {16, 3, -2, 8},  {16, 1, 2, 4},   {16, 2, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, " << c.width << " x " << c.height);
        void* bits = nullptr;
        HBITMAP bitmap = TestMakeDib(c.width, c.height, c.bitCount, &bits);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_NE(bits, nullptr);
        const int32_t rows = c.height < 0 ? -c.height : c.height;
        auto* bytes = static_cast<uint8_t*>(bits);
        for (int32_t i = 0; i < c.stride * rows; ++i) ASSERT_EQ(bytes[i], 0) << "zero-filled";

        BITMAP info{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, c.width);
        EXPECT_EQ(info.bmHeight, rows);
        EXPECT_EQ(info.bmWidthBytes, c.stride);
        EXPECT_EQ(info.bmPlanes, 1);
        EXPECT_EQ(info.bmBitsPixel, c.bitCount);
        EXPECT_EQ(info.bmBits, bits);

        // Fill the top-left pixel white through GDI and find it in memory.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        const RECT topLeft{0, 0, 1, 1};
        FillRect(dc, &topLeft, white);
        const int32_t topRow = c.height < 0 ? 0 : rows - 1;
        int nonZero = 0;
        for (int32_t i = 0; i < c.stride * rows; ++i) nonZero += bytes[i] != 0;
        EXPECT_EQ(nonZero, c.bitCount == 16 ? 2 : 3);
        EXPECT_EQ(bytes[topRow * c.stride], 0xFF);
        EXPECT_EQ(bytes[topRow * c.stride + 1], c.bitCount == 16 ? 0x7F : 0xFF);
        SelectObject(dc, previous);
        DeleteObject(white);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

TEST_F(GdiObjects, DibSectionRefusals) {
    struct Case {
        int32_t width;
        int32_t height;
        int bitCount;
    } cases[] = {
        {0, 4, 32},         {-1, 4, 32},         {4, 0, 32},         {4, 4, 8},
        {4, 4, 1},          {4, 4, 0},           {4, 4, 33},         {INT_MAX, 1, 32},
        {65536, 65536, 32}, {1, INT_MIN, 32},    {INT_MAX, INT_MAX, 16}, {46341, -46341, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " x " << c.bitCount);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(TestMakeDib(c.width, c.height, c.bitCount, &bits), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, -1), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 100000, 100000), nullptr);
}

TEST_F(GdiObjects, CompatibleBitmapHidesItsBits) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 7, 3);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 7);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmWidthBytes, 28);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(bitmap, sizeof info - 1, &info), 0);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof info));
    EXPECT_EQ(GetObjectType(screen), static_cast<DWORD>(OBJ_DC));
    DeleteObject(bitmap);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}

TEST_F(GdiObjects, SelectionRules) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_MEMDC));
    HBITMAP a = CreateCompatibleBitmap(nullptr, 2, 2);
    HBITMAP b = CreateCompatibleBitmap(nullptr, 2, 2);

    // A fresh DC holds the 1x1 stock bitmap, the same in every DC.
    HGDIOBJ stock = SelectObject(first, a);
    ASSERT_NE(stock, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectA(stock, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_FALSE(DeleteObject(stock));

    // A bitmap is in one DC at a time; the failed selection changes nothing.
    EXPECT_EQ(SelectObject(second, a), nullptr);
    EXPECT_EQ(SelectObject(second, b), stock);
    EXPECT_EQ(SelectObject(first, a), a);
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_EQ(GetObjectType(a), static_cast<DWORD>(OBJ_BITMAP));

    // Putting the previous selection back frees the bitmap for another DC.
    EXPECT_EQ(SelectObject(first, stock), a);
    EXPECT_EQ(SelectObject(second, a), b);
    // Deleting a DC releases its bitmap without deleting it.
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_EQ(SelectObject(first, a), stock);
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteDC(first));
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
}

TEST_F(GdiObjects, LiveCountsFollowEveryKind) {
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 1, 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HRGN region = CreateRectRgn(0, 0, 5, 5);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const GdiObjectCounts now = PlatformLiveGdiObjects();
    EXPECT_EQ(now.bitmaps, start.bitmaps + 1);
    EXPECT_EQ(now.dcs, start.dcs + 2);
    EXPECT_EQ(now.regions, start.regions + 1);
    EXPECT_EQ(now.brushes, start.brushes + 1);
    EXPECT_EQ(now.Total(), start.Total() + 5);

    // Window surfaces belong to the window system and are not counted.
    uint32_t* pixels = nullptr;
    HBITMAP surface = GdiCreateSurfaceBitmap(8, 8, &pixels);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(PlatformLiveGdiObjects().bitmaps, start.bitmaps + 1);
    EXPECT_FALSE(DeleteObject(surface));
    EXPECT_EQ(SelectObject(dc, surface), nullptr);
    GdiDeleteSurfaceBitmap(surface);
    EXPECT_EQ(GetObjectType(surface), 0u);

    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteObject(region);
    DeleteObject(brush);
}

TEST_F(GdiObjects, WindowDCsKnowTheirWindow) {
    uint32_t* pixels = nullptr;
    HBITMAP surface = GdiCreateSurfaceBitmap(4, 4, &pixels);
    auto* window = reinterpret_cast<HWND>(uintptr_t{0x1234});
    HDC dc = GdiCreateWindowDC(window, surface, POINT{0, 0}, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GdiWindowOfDC(dc), window);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    HDC memory = CreateCompatibleDC(dc);
    EXPECT_EQ(GdiWindowOfDC(memory), nullptr);
    EXPECT_FALSE(GdiDeleteWindowDC(memory));
    EXPECT_FALSE(DeleteDC(dc));
    // Bitmaps cannot be selected into a window DC.
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_TRUE(GdiDeleteWindowDC(dc));
    EXPECT_EQ(GdiWindowOfDC(dc), nullptr);
    EXPECT_EQ(GdiCreateWindowDC(window, reinterpret_cast<HBITMAP>(reinterpret_cast<uintptr_t>(bitmap) + 1), POINT{0, 0}, nullptr),
              nullptr);
    DeleteObject(bitmap);
    DeleteDC(memory);
    GdiDeleteSurfaceBitmap(surface);
}

TEST_F(GdiObjects, TextAndStretchState) {
    HDC dc = CreateCompatibleDC(nullptr);
    GdiTextState state{};
    ASSERT_TRUE(GdiGetTextState(dc, &state));
    EXPECT_EQ(state.textColor, RGB(0, 0, 0));
    EXPECT_EQ(state.bkColor, RGB(255, 255, 255));
    EXPECT_EQ(state.bkMode, OPAQUE);
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(dc, RGB(4, 5, 6)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    ASSERT_TRUE(GdiGetTextState(dc, &state));
    EXPECT_EQ(state.textColor, RGB(1, 2, 3));
    EXPECT_EQ(state.bkColor, RGB(4, 5, 6));
    EXPECT_EQ(state.bkMode, TRANSPARENT);
    EXPECT_FALSE(GdiGetTextState(nullptr, &state));

    EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc, 99), 0);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & (RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB),
              RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetDeviceCaps(nullptr, RASTERCAPS), 0);
    EXPECT_TRUE(GdiFlush());
    DeleteDC(dc);
}

// Records of deleted DCs and regions are reused: what a new one starts with must
// not depend on what the deleted one was left with, and the old handles stay dead.
TEST_F(GdiObjects, ObjectsMadeAfterDeletionsStartFresh) {
    HDC used = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(used, 40, 40);
    SelectObject(used, bitmap);
    SetTextColor(used, RGB(1, 2, 3));
    SetBkColor(used, RGB(4, 5, 6));
    SetBkMode(used, TRANSPARENT);
    SetStretchBltMode(used, HALFTONE);
    HRGN complex = CreateRectRgn(0, 0, 10, 10);
    HRGN other = CreateRectRgn(20, 20, 30, 30);
    ASSERT_EQ(CombineRgn(complex, complex, other, RGN_OR), COMPLEXREGION);
    SelectClipRgn(used, complex);
    DeleteDC(used);
    DeleteObject(complex);

    HDC fresh = CreateCompatibleDC(nullptr);
    HRGN simple = CreateRectRgn(5, 6, 7, 8);
    EXPECT_EQ(GetObjectType(used), 0u);
    EXPECT_EQ(GetObjectType(complex), 0u);
    GdiTextState state{};
    ASSERT_TRUE(GdiGetTextState(fresh, &state));
    EXPECT_EQ(state.textColor, RGB(0, 0, 0));
    EXPECT_EQ(state.bkColor, RGB(255, 255, 255));
    EXPECT_EQ(state.bkMode, OPAQUE);
    EXPECT_EQ(GetStretchBltMode(fresh), BLACKONWHITE);
    // The stock 1 x 1 bitmap, unclipped.
    const RECT pixel{0, 0, 1, 1};
    EXPECT_TRUE(RectVisible(fresh, &pixel));
    BITMAP info{};
    ASSERT_NE(GetObjectA(SelectObject(fresh, bitmap), sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 1);
    const RECT inside{12, 12, 18, 18};  // outside the deleted DC's clip
    EXPECT_TRUE(RectVisible(fresh, &inside));
    RECT box{};
    EXPECT_EQ(GetRgnBox(simple, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 6);
    EXPECT_EQ(box.right, 7);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_EQ(CombineRgn(simple, simple, other, RGN_COPY), SIMPLEREGION);
    DeleteDC(fresh);
    DeleteObject(bitmap);
    DeleteObject(simple);
    DeleteObject(other);
}

}  // namespace
