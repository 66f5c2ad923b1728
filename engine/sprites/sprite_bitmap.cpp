// GDI bitmaps that applications hand to the engine: their size, their deletion, and
// their pixels stretched onto a device context (any colour depth, through 32-bit rows).
#include <cstdint>
#include <memory>
#include <new>

#include "engine/sprite_engine.h"
#include "engine/sprites/sprites_internal.h"
#include "platform/win32.h"

void SpriteGetBitmapSize(HGDIOBJ bitmap, int32_t& width, int32_t& height) {
    width = 0;
    height = 0;
    if (GetObjectType(bitmap) != OBJ_BITMAP) return;
    BITMAP bm{};
    if (GetObjectA(bitmap, sizeof bm, &bm) == 0) return;
    width = bm.bmWidth;
    height = bm.bmHeight;
}

void SpriteDeleteBitmap(HGDIOBJ handle) {
    if (handle != nullptr && GetObjectType(handle) == OBJ_BITMAP) DeleteObject(handle);
}

void SprDrawBitmapStretched(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                            HBITMAP bitmap) {
    if (GetObjectType(bitmap) != OBJ_BITMAP) return;
    if ((GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB) == 0) return;
    BITMAP bm{};
    if (GetObjectA(bitmap, sizeof bm, &bm) == 0) return;
    const int32_t sourceWidth = bm.bmWidth;
    const int32_t sourceHeight = bm.bmHeight;
    if (sourceWidth < 1 || sourceHeight < 1) return;

    // (width + 1) * 4 bytes a row, as 64-bit so that no bitmap size wraps around.
    const int64_t rowBytes = (int64_t(sourceWidth) + 1) * 4;
    if (sourceHeight > INT64_MAX / rowBytes) return;
    const int64_t bufferBytes = rowBytes * sourceHeight;
    if (static_cast<uint64_t>(bufferBytes) > SIZE_MAX) return;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[static_cast<size_t>(bufferBytes)]);
    if (!buffer) return;

    HDC screen = GetDC(nullptr);
    HDC memoryDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = sourceWidth;
    info.bmiHeader.biHeight = sourceHeight;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memoryDC, bitmap, 0, static_cast<UINT>(sourceHeight), buffer.get(), &info,
              DIB_RGB_COLORS);

    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, width, height, 0, 0, sourceWidth, sourceHeight, buffer.get(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    if (previousMode != 0) SetStretchBltMode(dc, previousMode);
    if (memoryDC) DeleteDC(memoryDC);
}
