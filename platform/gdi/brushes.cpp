// Solid brushes and FillRect.
#include <algorithm>
#include <new>

#include "platform/gdi/pixel_access.h"

namespace {

// A COLORREF (0x00BBGGRR) as a pixel (0x00RRGGBB).
uint32_t PixelOf(COLORREF color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

}  // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto* brush = new (std::nothrow) GdiBrush{color & 0x00FFFFFFu};
    if (brush == nullptr) return nullptr;
    void* handle = GdiAllocHandle(GdiKind::Brush, brush, true);
    if (handle == nullptr) delete brush;
    return static_cast<HBRUSH>(handle);
}

// As on the platform, a brush handle may also be a system colour index + 1.
int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    const GdiDC* dc = GdiLookupDC(hDC);
    if (dc == nullptr || lprc == nullptr) return 0;
    COLORREF color;
    const uintptr_t value = reinterpret_cast<uintptr_t>(hbr);
    if (const GdiBrush* brush = GdiLookupBrush(hbr)) {
        color = brush->color;
    } else if (value >= 1 && value <= 31) {
        color = GetSysColor(static_cast<int>(value - 1));
    } else {
        return 0;
    }
    const GdiBitmap* target = GdiTargetOf(dc);
    if (target == nullptr) return 1;
    const GdiClipArea area = GdiClipBox(dc, static_cast<int64_t>(lprc->left) + dc->origin.x,
                                        static_cast<int64_t>(lprc->top) + dc->origin.y,
                                        static_cast<int64_t>(lprc->right) + dc->origin.x,
                                        static_cast<int64_t>(lprc->bottom) + dc->origin.y);
    const GdiPixelView view = GdiViewOf(target);
    const GdiRowFill fillRow = GdiChooseRowFill(view.bitsPixel);
    const uint32_t pixel = PixelOf(color);
    for (int i = 0; i < area.clipCount; ++i) {
        pixman_box32_t box;
        if (!area.Piece(i, &box)) continue;
        for (int32_t y = box.y1; y < box.y2; ++y) {
            fillRow(view.Row(y) + static_cast<ptrdiff_t>(box.x1) * (view.bitsPixel / 8), pixel,
                    box.x2 - box.x1);
        }
    }
    return 1;
}
