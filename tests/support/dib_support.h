// DIB sections and bitmap read-back for the tests, the fuzz targets and the small
// programs beside them: describing an uncompressed DIB, making a DIB section, and
// reading any bitmap back as 32-bit top-down rows. Only calls of the real platform
// are used, so that this builds against the real platform headers too. Pixel
// access is checked against the picture's size; sizes are taken in 64 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/win32.h"

// What TestPixels::At gives outside the picture: no pixel read back has it, as
// GetDIBits leaves the fourth byte of every 32-bit pixel 0.
inline constexpr uint32_t kTestNoPixel = 0xFFFFFFFFu;

// An uncompressed DIB of width pixels, biHeight rows as the platform takes it
// (negative: top-down, the first row at the lowest address), bitCount bits a
// pixel. The numbers are not checked, so that tests can describe what the
// platform must refuse.
inline BITMAPINFO TestDibInfo(int32_t width, int32_t biHeight, int32_t bitCount = 32) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = biHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DIB section as TestDibInfo describes it, made without a DC; *bits receives its
// memory (0 when the platform refused it).
inline HBITMAP TestMakeDib(int32_t width, int32_t biHeight, int32_t bitCount, void** bits) {
    const BITMAPINFO info = TestDibInfo(width, biHeight, bitCount);
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Bytes a row of such a DIB takes (rows are padded to four bytes); 0 for a width
// or depth that gives no row.
inline size_t TestDibStride(int32_t width, int32_t bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    return static_cast<size_t>((int64_t(width) * bitCount + 31) / 32 * 4);
}

// A 32-bit picture: width x height pixels, top row first, 0x00RRGGBB with the
// fourth byte as stored.
struct TestPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // The pixel at (x, y) as stored, fourth byte included; kTestNoPixel outside.
    uint32_t Value(int32_t x, int32_t y) const {
        if (!Contains(x, y)) return kTestNoPixel;
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    // The colour at (x, y) without the fourth byte; kTestNoPixel outside.
    uint32_t At(int32_t x, int32_t y) const { return Contains(x, y) ? Value(x, y) & 0x00FFFFFFu : kTestNoPixel; }
};

// Any bitmap (any depth, a DIB section or not) as 32-bit top-down rows; an empty
// picture (0 x 0) for a handle that is no bitmap or whose rows cannot all be read.
inline TestPixels TestReadBitmap(HBITMAP bitmap) {
    TestPixels result;
    BITMAP bm{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof bm, &bm) != static_cast<int>(sizeof bm)) return result;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0) return result;
    const uint64_t count = uint64_t(bm.bmWidth) * uint64_t(bm.bmHeight);
    if (count > SIZE_MAX / sizeof(uint32_t)) return result;
    std::vector<uint32_t> pixels(static_cast<size_t>(count));
    BITMAPINFO info = TestDibInfo(bm.bmWidth, -bm.bmHeight, 32);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight) return result;
    result.width = bm.bmWidth;
    result.height = bm.bmHeight;
    result.pixels = std::move(pixels);
    return result;
}

// A 32-bit top-down DIB section of width x height whose pixel (x, y) is
// pixel(x, y) as 0x00RRGGBB; 0 when the size is not positive or the platform
// refuses it. The caller deletes it.
template <typename PixelFn>
HBITMAP TestMakePicture(int32_t width, int32_t height, PixelFn pixel) {
    if (width <= 0 || height <= 0) return nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = TestMakeDib(width, -height, 32, &bits);
    if (bitmap == nullptr || bits == nullptr) return bitmap;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixels[int64_t(y) * width + x] = pixel(x, y);
    GdiFlush();
    return bitmap;
}

// A 32-bit top-down DIB section of width x height, every pixel `fill`, selected
// into a memory DC of its own for drawing into and reading back. Reads and writes
// through Value, At and Set are checked against the size.
struct TestDibSurface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;  // width * height, top row first; null when refused
    int32_t width = 0;
    int32_t height = 0;

    TestDibSurface(int32_t w, int32_t h, uint32_t fill = 0) {
        void* bits = nullptr;
        if (w > 0 && h > 0) bitmap = TestMakeDib(w, -h, 32, &bits);
        if (bitmap == nullptr || bits == nullptr) return;
        pixels = static_cast<uint32_t*>(bits);
        width = w;
        height = h;
        for (int64_t i = 0; i < int64_t(w) * h; ++i) pixels[i] = fill;
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
    }
    ~TestDibSurface() {
        if (dc != nullptr) {
            SelectObject(dc, previous);
            DeleteDC(dc);
        }
        if (bitmap != nullptr) DeleteObject(bitmap);
    }
    TestDibSurface(const TestDibSurface&) = delete;
    TestDibSurface& operator=(const TestDibSurface&) = delete;

    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // The pixel at (x, y) as stored, fourth byte included; kTestNoPixel outside.
    uint32_t Value(int32_t x, int32_t y) const {
        return Contains(x, y) ? pixels[int64_t(y) * width + x] : kTestNoPixel;
    }
    // The colour at (x, y) without the fourth byte; kTestNoPixel outside.
    uint32_t At(int32_t x, int32_t y) const { return Contains(x, y) ? Value(x, y) & 0x00FFFFFFu : kTestNoPixel; }
    // Writes the pixel at (x, y); nothing outside.
    void Set(int32_t x, int32_t y, uint32_t value) {
        if (Contains(x, y)) pixels[int64_t(y) * width + x] = value;
    }
};
