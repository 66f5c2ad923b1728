// BitBlt: 1:1 copies between the bitmaps behind two DCs, clipped to the
// destination's effective clip and to both bitmaps, and correct when a bitmap is
// copied onto itself.
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/pixel_access.h"

namespace {

// Copies one clipped box; destination pixel (X, Y) takes source pixel
// (X - offX, Y - offY). Rows run bottom to top when the source lies above the
// destination in the same picture, so no row is read after it was overwritten.
void CopyBox(const GdiPixelView& to, const GdiPixelView& from, const pixman_box32_t& box,
             int64_t offX, int64_t offY, GdiRowCopy copyRow, bool upward) {
    const int32_t width = box.x2 - box.x1;
    const ptrdiff_t dstColumn = static_cast<ptrdiff_t>(box.x1) * (to.bitsPixel / 8);
    const ptrdiff_t srcColumn = static_cast<ptrdiff_t>(box.x1 - offX) * (from.bitsPixel / 8);
    for (int32_t i = 0; i < box.y2 - box.y1; ++i) {
        const int32_t y = upward ? box.y2 - 1 - i : box.y1 + i;
        copyRow(to.Row(y) + dstColumn, from.Row(static_cast<int32_t>(y - offY)) + srcColumn, width);
    }
}

// A self-copy through several clip boxes: one box's writes could feed another
// box's reads, so the source area is first copied aside.
bool CopyBoxesThroughScratch(const GdiPixelView& picture, const GdiClipArea& area, int64_t offX,
                             int64_t offY) {
    const pixman_box32_t* extents = &area.extents;
    const int32_t width = extents->x2 - extents->x1;
    const int32_t height = extents->y2 - extents->y1;
    const int32_t bytesPixel = picture.bitsPixel / 8;
    const ptrdiff_t scratchStride = static_cast<ptrdiff_t>(width) * bytesPixel;
    auto* scratch = static_cast<uint8_t*>(malloc(static_cast<size_t>(scratchStride) * height));
    if (scratch == nullptr) return false;
    const GdiPixelView aside{scratch, scratchStride, width, height, picture.bitsPixel};
    const GdiRowCopy copyRow = GdiChooseRowCopy(picture.bitsPixel, picture.bitsPixel);
    const pixman_box32_t whole{0, 0, width, height};
    CopyBox(aside, picture, whole, offX - extents->x1, offY - extents->y1, copyRow, false);
    for (int i = 0; i < area.clipCount; ++i) {
        pixman_box32_t box;
        if (area.Piece(i, &box)) CopyBox(picture, aside, box, extents->x1, extents->y1, copyRow, false);
    }
    free(scratch);
    return true;
}

}  // namespace

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    const GdiDC* dst = GdiLookupDC(hdc);
    const GdiDC* src = GdiLookupDC(hdcSrc);
    if (dst == nullptr || src == nullptr || rop != SRCCOPY) return FALSE;
    if (cx <= 0 || cy <= 0) return TRUE;
    const GdiBitmap* target = GdiTargetOf(dst);
    const GdiBitmap* source = GdiTargetOf(src);
    if (target == nullptr || source == nullptr) return TRUE;  // a screen DC draws nowhere

    // Device pixels: source pixel (sx, sy) lands on (sx + offX, sy + offY).
    const int64_t dx = static_cast<int64_t>(x) + dst->origin.x;
    const int64_t dy = static_cast<int64_t>(y) + dst->origin.y;
    const int64_t offX = dx - (static_cast<int64_t>(x1) + src->origin.x);
    const int64_t offY = dy - (static_cast<int64_t>(y1) + src->origin.y);
    const GdiClipArea area = GdiClipBox(dst, std::max(dx, offX), std::max(dy, offY),
                                        std::min(dx + cx, offX + source->width),
                                        std::min(dy + cy, offY + source->height));

    const GdiPixelView to = GdiViewOf(target);
    const GdiPixelView from = GdiViewOf(source);
    const bool self = target == source;
    if (self && area.count > 1 && (offX != 0 || offY != 0)) {
        return CopyBoxesThroughScratch(to, area, offX, offY) ? TRUE : FALSE;
    }
    const GdiRowCopy copyRow = GdiChooseRowCopy(from.bitsPixel, to.bitsPixel);
    for (int i = 0; i < area.clipCount; ++i) {
        pixman_box32_t box;
        if (area.Piece(i, &box)) CopyBox(to, from, box, offX, offY, copyRow, self && offY > 0);
    }
    return TRUE;
}

// Drawing is synchronous, so there is never anything pending.
BOOL WINAPI GdiFlush(void) { return TRUE; }
