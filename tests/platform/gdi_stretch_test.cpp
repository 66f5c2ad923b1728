// StretchBlt, StretchDIBits and GetDIBits: nearest-neighbour mapping, clipping,
// source descriptions of both orientations, and reading bitmaps as 32-bit rows.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "gdi_test_helpers.h"
#include "platform/testing/platform_testing.h"

namespace {

class GdiStretch : public ::testing::Test {
protected:
    void SetUp() override { start = PlatformLiveGdiObjects().Total(); }
    void TearDown() override { EXPECT_EQ(PlatformLiveGdiObjects().Total(), start); }
    int32_t start = 0;
};

// Each destination pixel samples the source pixel under its centre.
TEST_F(GdiStretch, NearestNeighbourMapping) {
    struct Case {
        int sourceSize;
        int destSize;
        std::vector<int> picks;  // source column of each destination column
    } cases[] = {
        {2, 4, {0, 0, 1, 1}},
        {4, 3, {0, 2, 3}},
        {3, 7, {0, 0, 1, 1, 1, 2, 2}},
        {5, 2, {1, 3}},
        {1, 3, {0, 0, 0}},
        {3, 3, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sourceSize << " -> " << c.destSize);
        TestCanvas source(c.sourceSize, c.sourceSize);
        TestCanvas target(c.destSize, c.destSize);
        source.Pattern();
        EXPECT_TRUE(StretchBlt(target.dc, 0, 0, c.destSize, c.destSize, source.dc, 0, 0, c.sourceSize,
                               c.sourceSize, SRCCOPY));
        for (int y = 0; y < c.destSize; ++y) {
            for (int x = 0; x < c.destSize; ++x) {
                ASSERT_EQ(target.Value(x, y), source.Value(c.picks[x], c.picks[y])) << x << "," << y;
            }
        }
    }
}

TEST_F(GdiStretch, StretchBltIsClippedAndConverts) {
    void* bits = nullptr;
    HBITMAP source = TestMakeDib(2, 2, 24, &bits);  // bottom-up, rows of 8 bytes
    auto* bytes = static_cast<uint8_t*>(bits);
    const uint8_t bottomLeft[3] = {1, 2, 3};
    const uint8_t topRight[3] = {7, 8, 9};
    memcpy(bytes, bottomLeft, 3);
    memcpy(bytes + 8 + 3, topRight, 3);
    HDC sourceDC = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(sourceDC, source);

    TestCanvas target(4, 4);
    HRGN clip = CreateRectRgn(0, 0, 4, 3);
    SelectClipRgn(target.dc, clip);
    DeleteObject(clip);
    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 4, 4, sourceDC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.Value(3, 0), 0x00090807u);
    EXPECT_EQ(target.Value(0, 2), 0x00030201u);
    EXPECT_EQ(target.Value(0, 3), 0u);  // clipped
    // Destination pixels whose source lies outside the bitmap stay as they were.
    std::fill(target.pixels, target.pixels + 16, 0xABu);
    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 4, 2, sourceDC, 1, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(target.Value(0, 0), 0x00090807u);
    EXPECT_EQ(target.Value(1, 1), 0x00090807u);
    EXPECT_EQ(target.Value(2, 0), 0xABu);
    EXPECT_EQ(target.Value(3, 1), 0xABu);

    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, -4, 4, sourceDC, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchBlt(target.dc, 0, 0, 4, 4, sourceDC, 0, 0, 0, 2, SRCCOPY));
    SelectObject(sourceDC, previous);
    DeleteDC(sourceDC);
    DeleteObject(source);
}

TEST_F(GdiStretch, ExtremeRectanglesDoNotOverflow) {
    TestCanvas source(3, 3);
    TestCanvas target(4, 4);
    source.Pattern();
    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, INT_MAX, INT_MAX, source.dc, 0, 0, 1, 1, SRCCOPY));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(target.pixels[i], source.Value(0, 0));
    EXPECT_TRUE(StretchBlt(target.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, source.dc, 0, 0, 3, 3, SRCCOPY));
    EXPECT_TRUE(StretchBlt(target.dc, -2, -2, 8, 8, source.dc, INT_MAX, INT_MIN, INT_MAX, INT_MAX, SRCCOPY));
    EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 4, 4, source.dc, 0, 0, INT_MAX, INT_MAX, SRCCOPY));
    EXPECT_EQ(target.Value(0, 0), source.Value(0, 0));
}

// A 2 x 3 picture with rows A, B, C from the top, described top-down and
// bottom-up in 32 and 24 bits; ySrc of a bottom-up description counts from the
// bottom row.
TEST_F(GdiStretch, StretchDIBitsReadsBothOrientations) {
    const uint32_t rowColour[3] = {0x00A0A0A0u, 0x00B0B0B0u, 0x00C0C0C0u};
    for (int bitCount : {32, 24}) {
        for (bool topDown : {true, false}) {
            SCOPED_TRACE(testing::Message() << bitCount << (topDown ? " top-down" : " bottom-up"));
            const int stride = 8;  // 2 pixels of 24 or 32 bits, padded to 4 bytes
            std::vector<uint8_t> rows(static_cast<size_t>(stride) * 3, 0);
            for (int r = 0; r < 3; ++r) {
                const int memoryRow = topDown ? r : 2 - r;
                for (int x = 0; x < 2; ++x) {
                    uint8_t* p = rows.data() + memoryRow * stride + x * (bitCount / 8);
                    p[0] = p[1] = p[2] = static_cast<uint8_t>(rowColour[r] + x);
                }
            }
            const BITMAPINFO info = TestDibInfo(2, topDown ? -3 : 3, bitCount);
            TestCanvas target(2, 3);
            EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 2, 3, 0, 0, 2, 3, rows.data(), &info, DIB_RGB_COLORS,
                                    SRCCOPY),
                      3);
            for (int y = 0; y < 3; ++y) {
                EXPECT_EQ(target.Value(0, y), rowColour[y]);
                EXPECT_EQ(target.Value(1, y), rowColour[y] + 0x00010101u);
            }
            // One source row, ySrc = 0: the top row for top-down, the bottom row otherwise.
            TestCanvas one(1, 1);
            StretchDIBits(one.dc, 0, 0, 1, 1, 0, 0, 1, 1, rows.data(), &info, DIB_RGB_COLORS, SRCCOPY);
            EXPECT_EQ(one.Value(0, 0), topDown ? rowColour[0] : rowColour[2]);
        }
    }
    TestCanvas target(2, 2);
    const uint32_t pixels[4] = {};
    BITMAPINFO bad = TestDibInfo(2, 2, 8);
    EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 2, 2, 0, 0, 2, 2, pixels, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
    bad = TestDibInfo(0, 2, 32);
    EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 2, 2, 0, 0, 2, 2, pixels, &bad, DIB_RGB_COLORS, SRCCOPY), 0);
    const BITMAPINFO good = TestDibInfo(2, 2, 32);
    EXPECT_EQ(StretchDIBits(target.dc, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, &good, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, pixels, &good, DIB_RGB_COLORS, SRCCOPY), 0);
}

// GetDIBits reads a bitmap of any depth, even one selected into a memory DC,
// as 32-bit rows with a zero fourth byte.
TEST_F(GdiStretch, GetDIBitsGivesThirtyTwoBitRows) {
    for (int bitCount : {32, 24, 16}) {
        SCOPED_TRACE(bitCount);
        void* bits = nullptr;
        HBITMAP bitmap = TestMakeDib(3, -2, bitCount, &bits);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(RGB(0xFF, 0x00, 0x08));
        const RECT top{0, 0, 3, 1};
        FillRect(dc, &top, brush);
        if (bitCount == 32) static_cast<uint8_t*>(bits)[3] = 0x55;  // a fourth byte to drop

        HDC screen = GetDC(nullptr);
        for (int32_t height : {2, -2}) {
            BITMAPINFO info = TestDibInfo(3, height, 32);
            uint32_t out[6];
            std::fill(out, out + 6, 0xDEADBEEFu);
            EXPECT_EQ(GetDIBits(screen, bitmap, 0, 2, out, &info, DIB_RGB_COLORS), 2);
            const uint32_t red = 0x00FF0008u;  // exact at every depth, 5-bit expansion included
            const int topRow = height > 0 ? 1 : 0;
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(out[topRow * 3 + x], red) << x;
                EXPECT_EQ(out[(1 - topRow) * 3 + x], 0u) << x;
            }
            // Scan line 1 alone: the top row for bottom-up, the bottom row for top-down.
            std::fill(out, out + 6, 0xDEADBEEFu);
            EXPECT_EQ(GetDIBits(screen, bitmap, 1, 5, out, &info, DIB_RGB_COLORS), 1);
            EXPECT_EQ(out[0], height > 0 ? red : 0u);
            EXPECT_EQ(out[3], 0xDEADBEEFu);
        }
        // No buffer: the description is filled in.
        BITMAPINFO query{};
        query.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        EXPECT_EQ(GetDIBits(screen, bitmap, 0, 2, nullptr, &query, DIB_RGB_COLORS), 2);
        EXPECT_EQ(query.bmiHeader.biWidth, 3);
        EXPECT_EQ(query.bmiHeader.biHeight, 2);
        EXPECT_EQ(query.bmiHeader.biBitCount, bitCount);
        BITMAPINFO wrong = TestDibInfo(3, 2, 24);
        uint32_t out[6];
        EXPECT_EQ(GetDIBits(screen, bitmap, 0, 2, out, &wrong, DIB_RGB_COLORS), 0);
        EXPECT_EQ(GetDIBits(screen, reinterpret_cast<HBITMAP>(brush), 0, 2, out, &query, DIB_RGB_COLORS), 0);

        ReleaseDC(nullptr, screen);
        DeleteObject(brush);
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

}  // namespace
