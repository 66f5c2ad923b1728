// Reading, writing and converting pixels of 16 (5-5-5), 24 and 32-bit rows.
// A loaded pixel is 0xXXRRGGBB: blue in the low byte, and the fourth byte taken
// from 32-bit pixels only (0 for the other depths). Internal to platform/gdi.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/gdi/gdi_objects.h"

// Rows of a picture, top row first whatever the memory order.
struct GdiPixelView {
    uint8_t* top;        // first byte of the top row
    ptrdiff_t rowStep;   // bytes from one row to the next one down (negative: bottom-up)
    int32_t width;
    int32_t height;
    int32_t bitsPixel;   // 16, 24 or 32
    uint8_t* Row(int32_t y) const { return top + y * rowStep; }
};

inline GdiPixelView GdiViewOf(const GdiBitmap* bitmap) {
    return GdiPixelView{bitmap->memory + bitmap->topRowOffset, bitmap->rowStep, bitmap->width,
                        bitmap->height, bitmap->bitsPixel};
}

// Expands a 5-bit channel so that 31 becomes 255.
inline uint32_t GdiExpand5(uint32_t c) { return (c << 3) | (c >> 2); }

template <int Bpp>
inline uint32_t GdiLoadPixel(const uint8_t* p) {
    if constexpr (Bpp == 32) {
        uint32_t v;
        memcpy(&v, p, 4);
        return v;
    } else if constexpr (Bpp == 24) {
        return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
    } else {
        const uint32_t v = p[0] | (p[1] << 8);
        return GdiExpand5(v & 31) | (GdiExpand5((v >> 5) & 31) << 8) | (GdiExpand5((v >> 10) & 31) << 16);
    }
}

template <int Bpp>
inline void GdiStorePixel(uint8_t* p, uint32_t v) {
    if constexpr (Bpp == 32) {
        memcpy(p, &v, 4);
    } else if constexpr (Bpp == 24) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    } else {
        const uint32_t packed = ((v >> 3) & 31) | (((v >> 11) & 31) << 5) | (((v >> 19) & 31) << 10);
        p[0] = static_cast<uint8_t>(packed);
        p[1] = static_cast<uint8_t>(packed >> 8);
    }
}

// Copies `count` pixels of one row, converting between depths. Rows of the same
// depth may overlap.
using GdiRowCopy = void (*)(uint8_t* dst, const uint8_t* src, int32_t count);
GdiRowCopy GdiChooseRowCopy(int32_t srcBitsPixel, int32_t dstBitsPixel);

// Writes dst[i] = src[columns[i]] for i < count, converting between depths.
using GdiRowStretch = void (*)(uint8_t* dst, const uint8_t* srcRow, const int32_t* columns,
                               int32_t count);
GdiRowStretch GdiChooseRowStretch(int32_t srcBitsPixel, int32_t dstBitsPixel);

// Writes `count` pixels of one colour (0x00RRGGBB).
using GdiRowFill = void (*)(uint8_t* dst, uint32_t pixel, int32_t count);
GdiRowFill GdiChooseRowFill(int32_t dstBitsPixel);

// Scales the whole of `from` onto the whole of `to`, nearest-neighbour; false
// when memory runs out.
bool GdiStretchPicture(const GdiPixelView& to, const GdiPixelView& from);
