// Small helpers shared by the drawing-layer tests.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/win32.h"
#include "support/dib_support.h"

// A top-down 32-bit DIB section selected into a new memory DC.
struct TestCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;
    int32_t width = 0;

    TestCanvas(int32_t w, int32_t h) : width(w) {
        void* bits = nullptr;
        bitmap = TestMakeDib(w, -h, 32, &bits);
        pixels = static_cast<uint32_t*>(bits);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
    }
    ~TestCanvas() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    uint32_t& At(int32_t x, int32_t y) { return pixels[y * width + x]; }
    // Fills every pixel with a value made from its position.
    void Pattern(uint32_t salt = 0) {
        for (int32_t i = 0; i < width * Height(); ++i) pixels[i] = 0x01000000u * (salt + 1) + static_cast<uint32_t>(i);
    }
    int32_t Height() const {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        return info.bmHeight;
    }
};
