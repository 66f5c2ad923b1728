// Compositing a straight-alpha ARGB buffer into a DC (anti-aliased text).
#include "platform/gdi/pixel_access.h"

namespace {

template <int Bpp>
void BlendBox(const GdiPixelView& view, const pixman_box32_t& box, int64_t x, int64_t y,
              const uint32_t* argb, int stride) {
    constexpr int kBytes = Bpp / 8;
    for (int32_t row = box.y1; row < box.y2; ++row) {
        const uint32_t* source = argb + (row - y) * static_cast<int64_t>(stride) + (box.x1 - x);
        uint8_t* target = view.Row(row) + static_cast<ptrdiff_t>(box.x1) * kBytes;
        for (int32_t column = box.x1; column < box.x2; ++column, ++source, target += kBytes) {
            const uint32_t s = *source;
            const uint32_t alpha = s >> 24;
            if (alpha == 0) continue;
            if (alpha == 255) {
                GdiStorePixel<Bpp>(target, s & 0x00FFFFFFu);
                continue;
            }
            const uint32_t d = GdiLoadPixel<Bpp>(target);
            uint32_t out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t sc = (s >> shift) & 0xFF;
                const uint32_t dc = (d >> shift) & 0xFF;
                out |= ((sc * alpha + dc * (255 - alpha) + 127) / 255) << shift;
            }
            GdiStorePixel<Bpp>(target, out);
        }
    }
}

}  // namespace

BOOL GdiAlphaBlitToDC(HDC hdc, int x, int y, int width, int height, const uint32_t* argb,
                      int stride) {
    const GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || argb == nullptr || width <= 0 || height <= 0 || stride < width) return FALSE;
    const GdiBitmap* target = GdiTargetOf(dc);
    if (target == nullptr) return TRUE;
    const int64_t left = static_cast<int64_t>(x) + dc->origin.x;
    const int64_t top = static_cast<int64_t>(y) + dc->origin.y;
    const GdiClipArea area = GdiClipBox(dc, left, top, left + width, top + height);
    const GdiPixelView view = GdiViewOf(target);
    for (int i = 0; i < area.clipCount; ++i) {
        pixman_box32_t box;
        if (!area.Piece(i, &box)) continue;
        switch (view.bitsPixel) {
            case 16: BlendBox<16>(view, box, left, top, argb, stride); break;
            case 24: BlendBox<24>(view, box, left, top, argb, stride); break;
            default: BlendBox<32>(view, box, left, top, argb, stride); break;
        }
    }
    return TRUE;
}
