// BitBlt, FillRect and alpha blits: clipping by regions, window visibility and
// bitmap bounds, depth conversions, and copies of a bitmap onto itself.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "gdi_test_helpers.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/testing/platform_testing.h"

namespace {

class GdiBlit : public ::testing::Test {
protected:
    void SetUp() override { start = PlatformLiveGdiObjects().Total(); }
    void TearDown() override { EXPECT_EQ(PlatformLiveGdiObjects().Total(), start); }
    int32_t start = 0;
};

TEST_F(GdiBlit, CopyHonoursTheSelectedClipRegion) {
    TestCanvas source(8, 8);
    TestCanvas target(8, 8);
    source.Pattern();

    // An L shape: the top two rows and the left two columns.
    HRGN clip = CreateRectRgn(0, 0, 8, 2);
    HRGN column = CreateRectRgn(2, 0, 0, 8);  // corners swapped on purpose
    EXPECT_EQ(CombineRgn(clip, clip, column, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(SelectClipRgn(target.dc, clip), COMPLEXREGION);
    // The DC holds a copy: changing or deleting the region afterwards has no effect.
    CombineRgn(clip, clip, clip, RGN_DIFF);
    DeleteObject(clip);
    DeleteObject(column);

    EXPECT_TRUE(BitBlt(target.dc, 0, 0, 8, 8, source.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = y < 2 || x < 2;
            EXPECT_EQ(target.Value(x, y), inside ? source.Value(x, y) : 0u) << x << "," << y;
        }
    }

    // Removing the clip lets the whole bitmap be drawn again.
    EXPECT_EQ(SelectClipRgn(target.dc, nullptr), SIMPLEREGION);
    EXPECT_TRUE(BitBlt(target.dc, 0, 0, 8, 8, source.dc, 0, 0, SRCCOPY));
    for (int i = 0; i < 64; ++i) EXPECT_EQ(target.pixels[i], source.pixels[i]);
}

// Only pixels inside both bitmaps move; coordinates at the 32-bit limits are safe.
TEST_F(GdiBlit, CopyIsClippedToBothBitmaps) {
    TestCanvas source(4, 4);
    TestCanvas target(6, 6);
    source.Pattern();
    struct Case {
        int x, y, cx, cy, sx, sy;
    } cases[] = {
        {-2, -1, 6, 6, 0, 0}, {3, 3, 10, 10, 0, 0},     {0, 0, 6, 6, -1, -2},
        {1, 1, 3, 3, 2, 2},   {INT_MAX, 0, INT_MAX, 5, 0, 0}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        {0, 0, INT_MAX, INT_MAX, INT_MIN, 0}, {-3, 0, INT_MAX, 2, INT_MAX, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.cx << "x" << c.cy << " from " << c.sx << "," << c.sy);
        std::fill(target.pixels, target.pixels + 36, 0u);
        EXPECT_TRUE(BitBlt(target.dc, c.x, c.y, c.cx, c.cy, source.dc, c.sx, c.sy, SRCCOPY));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                const int64_t sx = int64_t{x} - c.x + c.sx;
                const int64_t sy = int64_t{y} - c.y + c.sy;
                const bool copied = x >= int64_t{c.x} && x < int64_t{c.x} + c.cx && y >= int64_t{c.y} &&
                                    y < int64_t{c.y} + c.cy && sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
                EXPECT_EQ(target.Value(x, y), copied ? source.Value(static_cast<int>(sx), static_cast<int>(sy)) : 0u)
                    << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(BitBlt(target.dc, 0, 0, 0, 5, source.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 4, 4, source.dc, 0, 0, 0x00EE0086));
    EXPECT_FALSE(BitBlt(target.dc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
}

// A window DC draws at its origin in the surface, only inside its visible part
// and its selected clip (given in the window's own coordinates).
TEST_F(GdiBlit, WindowDCDrawsIntoItsVisiblePart) {
    uint32_t* surfacePixels = nullptr;
    HBITMAP surface = GdiCreateSurfaceBitmap(10, 10, &surfacePixels);
    pixman_region32_t visible;
    pixman_region32_init_rect(&visible, 3, 2, 5, 4);  // surface (3,2)-(8,6)
    HDC window = GdiCreateWindowDC(nullptr, surface, POINT{3, 2}, &visible);
    pixman_region32_fini(&visible);
    ASSERT_NE(window, nullptr);

    TestCanvas source(10, 10);
    source.Pattern();
    HRGN clip = CreateRectRgn(1, 0, 10, 3);  // window coordinates
    SelectClipRgn(window, clip);
    DeleteObject(clip);
    RECT inside{1, 1, 2, 2};
    RECT hidden{0, 0, 1, 3};
    EXPECT_TRUE(RectVisible(window, &inside));
    EXPECT_FALSE(RectVisible(window, &hidden));

    EXPECT_TRUE(BitBlt(window, -3, -2, 10, 10, source.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool drawn = x >= 4 && x < 8 && y >= 2 && y < 5;
            EXPECT_EQ(surfacePixels[y * 10 + x], drawn ? source.Value(x, y) : 0u) << x << "," << y;
        }
    }

    // The window DC can also be a source: it reads the surface at its origin.
    TestCanvas copy(2, 2);
    EXPECT_TRUE(BitBlt(copy.dc, 0, 0, 2, 2, window, 1, 0, SRCCOPY));
    EXPECT_EQ(copy.Value(0, 0), surfacePixels[2 * 10 + 4]);
    EXPECT_EQ(copy.Value(1, 1), surfacePixels[3 * 10 + 5]);

    GdiDeleteWindowDC(window);
    GdiDeleteSurfaceBitmap(surface);
}

TEST_F(GdiBlit, ScreenDCDrawsNowhere) {
    TestCanvas canvas(3, 3);
    canvas.Pattern();
    const std::vector<uint32_t> before(canvas.pixels, canvas.pixels + 9);
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(BitBlt(screen, 0, 0, 3, 3, canvas.dc, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, 3, 3, screen, 0, 0, SRCCOPY));
    const RECT all{0, 0, 3, 3};
    EXPECT_FALSE(RectVisible(screen, &all));
    EXPECT_EQ(std::vector<uint32_t>(canvas.pixels, canvas.pixels + 9), before);
    ReleaseDC(nullptr, screen);
}

// Two pixels, top and bottom row, written as raw bytes of each depth and read
// back through a 32-bit or other-depth copy.
TEST_F(GdiBlit, CopiesConvertBetweenDepths) {
    struct Pixel {
        uint8_t bytes[4];
    };
    struct Depth {
        int bitCount;
        Pixel top;
        Pixel bottom;
    };
    // The same two colours at each depth: 32 carries a fourth byte, 16 is 5-5-5.
    const Depth depths[] = {
        {32, {{0x12, 0x34, 0x56, 0x78}}, {{0xFF, 0x00, 0xFF, 0x00}}},
        {24, {{0x12, 0x34, 0x56}}, {{0xFF, 0x00, 0xFF}}},
        {16, {{0xC2, 0x28}}, {{0x1F, 0x7C}}},  // 0x28C2 = (10, 6, 2); 0x7C1F = (31, 0, 31)
    };
    // What a copy to each depth holds, by source depth.
    auto expected = [](int from, int to, bool top) -> Pixel {
        if (!top) {
            if (to == 16) return {{0x1F, 0x7C}};
            return {{0xFF, 0x00, 0xFF, 0x00}};
        }
        if (to == 16) return {{0xC2, 0x28}};
        if (from == 16) return {{0x10, 0x31, 0x52, 0x00}};  // 5-bit channels expanded
        return {{0x12, 0x34, 0x56, static_cast<uint8_t>(from == 32 && to == 32 ? 0x78 : 0x00)}};
    };
    for (const Depth& from : depths) {
        for (const Depth& to : depths) {
            for (bool sourceTopDown : {true, false}) {
                SCOPED_TRACE(testing::Message() << from.bitCount << " -> " << to.bitCount
                                                << (sourceTopDown ? " top-down" : " bottom-up"));
                void* srcBits = nullptr;
                void* dstBits = nullptr;
                HBITMAP src = TestMakeDib(1, sourceTopDown ? -2 : 2, from.bitCount, &srcBits);
                HBITMAP dst = TestMakeDib(1, -2, to.bitCount, &dstBits);
                const int srcStride = 4;  // one pixel of any depth, padded to 4 bytes
                auto* srcBytes = static_cast<uint8_t*>(srcBits);
                memcpy(srcBytes + (sourceTopDown ? 0 : srcStride), from.top.bytes, from.bitCount / 8);
                memcpy(srcBytes + (sourceTopDown ? srcStride : 0), from.bottom.bytes, from.bitCount / 8);
                HDC srcDC = CreateCompatibleDC(nullptr);
                HDC dstDC = CreateCompatibleDC(nullptr);
                HGDIOBJ oldSrc = SelectObject(srcDC, src);
                HGDIOBJ oldDst = SelectObject(dstDC, dst);
                EXPECT_TRUE(BitBlt(dstDC, 0, 0, 1, 2, srcDC, 0, 0, SRCCOPY));
                const auto* out = static_cast<uint8_t*>(dstBits);
                const Pixel wantTop = expected(from.bitCount, to.bitCount, true);
                const Pixel wantBottom = expected(from.bitCount, to.bitCount, false);
                for (int i = 0; i < to.bitCount / 8; ++i) {
                    EXPECT_EQ(out[i], wantTop.bytes[i]) << "top byte " << i;
                    EXPECT_EQ(out[4 + i], wantBottom.bytes[i]) << "bottom byte " << i;
                }
                SelectObject(srcDC, oldSrc);
                SelectObject(dstDC, oldDst);
                DeleteDC(srcDC);
                DeleteDC(dstDC);
                DeleteObject(src);
                DeleteObject(dst);
            }
        }
    }
}

// Copies of a bitmap onto itself in every direction, with a plain and with a
// many-box clip, against a copy made through a separate bitmap.
TEST_F(GdiBlit, OverlappingSelfCopies) {
    const int shifts[][2] = {{2, 3}, {-2, -3}, {3, 0}, {-3, 0}, {0, 1}, {0, -1}, {1, -2}, {-1, 2}};
    for (bool complexClip : {false, true}) {
        for (const auto& shift : shifts) {
            SCOPED_TRACE(testing::Message() << "shift " << shift[0] << "," << shift[1]
                                            << (complexClip ? " complex clip" : ""));
            TestCanvas picture(16, 16);
            TestCanvas reference(16, 16);
            TestCanvas original(16, 16);
            picture.Pattern();
            reference.Pattern();
            original.Pattern();
            if (complexClip) {
                // A checkerboard of 4x4 tiles.
                HRGN clip = CreateRectRgn(0, 0, 0, 0);
                for (int ty = 0; ty < 4; ++ty) {
                    for (int tx = (ty & 1); tx < 4; tx += 2) {
                        HRGN tile = CreateRectRgn(tx * 4, ty * 4, tx * 4 + 4, ty * 4 + 4);
                        CombineRgn(clip, clip, tile, RGN_OR);
                        DeleteObject(tile);
                    }
                }
                SelectClipRgn(picture.dc, clip);
                SelectClipRgn(reference.dc, clip);
                DeleteObject(clip);
            }
            EXPECT_TRUE(BitBlt(picture.dc, 2 + shift[0], 2 + shift[1], 12, 12, picture.dc, 2, 2, SRCCOPY));
            EXPECT_TRUE(BitBlt(reference.dc, 2 + shift[0], 2 + shift[1], 12, 12, original.dc, 2, 2, SRCCOPY));
            for (int i = 0; i < 256; ++i) ASSERT_EQ(picture.pixels[i], reference.pixels[i]) << "pixel " << i;
        }
    }
}

TEST_F(GdiBlit, FillRectHonoursTheClipAndTakesSystemColours) {
    TestCanvas canvas(4, 4);
    HRGN clip = CreateRectRgn(1, 1, 3, 3);
    SelectClipRgn(canvas.dc, clip);
    DeleteObject(clip);
    HBRUSH brush = CreateSolidBrush(RGB(0x11, 0x22, 0x33));
    const RECT all{-100, -100, 100, 100};
    EXPECT_EQ(FillRect(canvas.dc, &all, brush), 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
            EXPECT_EQ(canvas.Value(x, y), inside ? 0x00112233u : 0u) << x << "," << y;
        }
    }
    SelectClipRgn(canvas.dc, nullptr);
    const RECT corner{0, 0, 1, 1};
    EXPECT_EQ(FillRect(canvas.dc, &corner, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
    EXPECT_EQ(canvas.Value(0, 0), 0x00C0C0C0u);
    const RECT extreme{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_EQ(FillRect(canvas.dc, &extreme, brush), 1);
    EXPECT_EQ(canvas.Value(3, 3), 0x00112233u);
    EXPECT_EQ(FillRect(canvas.dc, &corner, nullptr), 0);
    DeleteObject(brush);
    EXPECT_EQ(FillRect(canvas.dc, &corner, brush), 0);
}

TEST_F(GdiBlit, AlphaBlitBlendsInsideTheClip) {
    TestCanvas canvas(3, 1);
    for (int x = 0; x < 3; ++x) canvas.Set(x, 0, 0x00204060);
    HRGN clip = CreateRectRgn(0, 0, 2, 1);
    SelectClipRgn(canvas.dc, clip);
    DeleteObject(clip);
    const uint32_t argb[4] = {0x80FF0000u, 0xFF0000FFu, 0xFF00FF00u, 0x00FFFFFFu};
    EXPECT_TRUE(GdiAlphaBlitToDC(canvas.dc, 0, 0, 3, 1, argb, 4));
    // 0x80 of red over (0x20, 0x40, 0x60): (255*128 + c*127 + 127) / 255 per channel.
    EXPECT_EQ(canvas.Value(0, 0), 0x00902030u);
    EXPECT_EQ(canvas.Value(1, 0), 0x000000FFu);
    EXPECT_EQ(canvas.Value(2, 0), 0x00204060u);  // outside the clip
    EXPECT_FALSE(GdiAlphaBlitToDC(canvas.dc, 0, 0, 3, 1, argb, 2));
    EXPECT_TRUE(GdiAlphaBlitToDC(canvas.dc, INT_MAX, INT_MAX, 3, 1, argb, 4));
}

}  // namespace
