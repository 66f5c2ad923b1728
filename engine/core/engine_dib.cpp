// SprCreateDIB: the one routine that makes the engine's device-independent bitmaps.
#include "engine/core/engine_dib.h"

#include <cstring>

namespace {
// A BITMAPINFO whose colour table has room for 256 entries.
struct BitmapInfo256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};
}  // namespace

HBITMAP SprCreateDIB(HDC dc, int32_t bitCount, int32_t width, int32_t height, BYTE*& bits) {
    if (bitCount != 16 && bitCount != 24 && bitCount != 32) bitCount = 32;
    // A non-positive height would turn into a bottom-up DIB (or overflow when
    // negated), whose rows the engine would then read in the wrong order.
    if (width <= 0 || height <= 0) {
        bits = nullptr;
        return nullptr;
    }
    BitmapInfo256 info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: first row at the lowest address
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = bits;
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info),
                                      DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<BYTE*>(pixels);
    return bitmap;
}
