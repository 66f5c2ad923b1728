// Device contexts: memory DCs with their selected bitmap, window DCs drawing
// into a window surface, selection rules, clipping, text and stretch state, and
// device capabilities. Every DC keeps its effective clip (target bounds, visible
// part and selected clip) up to date, so that drawing calls need no recomputation.
#include <algorithm>
#include <climits>
#include <new>

#include "platform/display/display.h"
#include "platform/gdi/gdi_objects.h"

namespace {

// Records of deleted DCs, reused so that a paint makes no allocation. Their
// regions are empty and hold no arrays.
GdiKeptRecords<GdiDC, 16> keptDCs;

GdiDC* NewDC(bool memory) {
    GdiDC* dc = keptDCs.Take();
    if (dc == nullptr) return nullptr;
    *dc = GdiDC{};
    dc->memory = memory;
    pixman_region32_init(&dc->visible);
    pixman_region32_init(&dc->clip);
    pixman_region32_init(&dc->effectiveClip);
    dc->text = GdiTextState{RGB(0, 0, 0), RGB(255, 255, 255), OPAQUE};
    dc->stretchMode = BLACKONWHITE;
    return dc;
}

void FreeDC(GdiDC* dc) {
    pixman_region32_clear(&dc->visible);
    pixman_region32_clear(&dc->clip);
    pixman_region32_clear(&dc->effectiveClip);
    keptDCs.Give(dc);
}

HDC RegisterDC(GdiDC* dc) {
    void* handle = GdiAllocHandle(GdiKind::DC, dc, true);
    if (handle == nullptr) FreeDC(dc);
    return static_cast<HDC>(handle);
}

}  // namespace

GdiBitmap* GdiTargetOf(const GdiDC* dc) { return GdiLookupBitmap(dc->bitmap); }

void GdiUpdateClip(GdiDC* dc) {
    const GdiBitmap* target = GdiTargetOf(dc);
    if (target == nullptr) {
        GdiRegionSetBox(&dc->effectiveClip, 0, 0, 0, 0);
        return;
    }
    GdiRegionSetBox(&dc->effectiveClip, 0, 0, target->width, target->height);
    if (dc->hasVisible) {
        pixman_region32_intersect(&dc->effectiveClip, &dc->effectiveClip, &dc->visible);
    }
    if (dc->hasClip) pixman_region32_intersect(&dc->effectiveClip, &dc->effectiveClip, &dc->clip);
}

GdiClipArea GdiClipBox(const GdiDC* dc, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    GdiClipArea area{};
    area.clipBoxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(&dc->effectiveClip), &area.clipCount);
    area.limit = pixman_box32_t{GdiClamp32(x1), GdiClamp32(y1), GdiClamp32(x2), GdiClamp32(y2)};
    if (area.limit.x1 >= area.limit.x2 || area.limit.y1 >= area.limit.y2 ||
        !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&dc->effectiveClip))) {
        area.clipCount = 0;
        return area;
    }
    pixman_box32_t& extents = area.extents;
    for (int i = 0; i < area.clipCount; ++i) {
        pixman_box32_t piece;
        if (!area.Piece(i, &piece)) continue;
        extents = area.count == 0 ? piece
                                  : pixman_box32_t{std::min(extents.x1, piece.x1), std::min(extents.y1, piece.y1),
                                                   std::max(extents.x2, piece.x2), std::max(extents.y2, piece.y2)};
        ++area.count;
    }
    if (area.count == 0) return area;
    pixman_box32_t& drawn = dc->drawn;
    if (drawn.x1 >= drawn.x2) {
        drawn = extents;
    } else {
        drawn = {std::min(drawn.x1, extents.x1), std::min(drawn.y1, extents.y1), std::max(drawn.x2, extents.x2),
                 std::max(drawn.y2, extents.y2)};
    }
    return area;
}

BOOL GdiWindowDCDrawn(HDC hdc, RECT* box) {
    const GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || dc->memory || box == nullptr || dc->drawn.x1 >= dc->drawn.x2) return FALSE;
    *box = RECT{dc->drawn.x1, dc->drawn.y1, dc->drawn.x2, dc->drawn.y2};
    return TRUE;
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc != nullptr && GdiLookupDC(hdc) == nullptr) return nullptr;
    const HBITMAP stock = GdiStockBitmap();
    if (stock == nullptr) return nullptr;
    GdiDC* dc = NewDC(true);
    if (dc == nullptr) return nullptr;
    dc->bitmap = stock;
    GdiUpdateClip(dc);
    return RegisterDC(dc);
}

bool GdiDeleteMemoryDC(HDC handle) {
    GdiDC* dc = GdiLookupDC(handle);
    if (dc == nullptr || !dc->memory) return false;
    // The selected bitmap stays alive and becomes free for other DCs.
    if (GdiBitmap* bitmap = GdiTargetOf(dc); bitmap != nullptr && bitmap->selectedInto == handle) {
        bitmap->selectedInto = nullptr;
    }
    GdiFreeHandle(handle);
    FreeDC(dc);
    return true;
}

BOOL WINAPI DeleteDC(HDC hdc) { return GdiDeleteMemoryDC(hdc) ? TRUE : FALSE; }

HDC GdiCreateWindowDC(HWND owner, HBITMAP surface, POINT origin, const pixman_region32_t* visible) {
    if (surface != nullptr && GdiLookupBitmap(surface) == nullptr) return nullptr;
    GdiDC* dc = NewDC(false);
    if (dc == nullptr) return nullptr;
    dc->owner = owner;
    dc->bitmap = surface;
    dc->origin = origin;
    if (visible != nullptr) {
        dc->hasVisible = true;
        if (!pixman_region32_copy(&dc->visible, visible)) {
            FreeDC(dc);
            return nullptr;
        }
    }
    GdiUpdateClip(dc);
    return RegisterDC(dc);
}

BOOL GdiDeleteWindowDC(HDC hdc) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || dc->memory) return FALSE;
    GdiFreeHandle(hdc);
    FreeDC(dc);
    return TRUE;
}

HWND GdiWindowOfDC(HDC hdc) {
    const GdiDC* dc = GdiLookupDC(hdc);
    return dc != nullptr && !dc->memory ? dc->owner : nullptr;
}

// A bitmap goes into a memory DC only, and into one at a time (the stock bitmap
// excepted). Selecting a region sets the clip and returns its complexity.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr) return nullptr;
    switch (GdiKindOf(h)) {
        case GdiKind::Bitmap: {
            GdiBitmap* bitmap = GdiLookupBitmap(h);
            const HBITMAP previous = dc->bitmap;
            if (!dc->memory || bitmap->surface) return nullptr;
            if (h == previous) return previous;
            if (!bitmap->stock && bitmap->selectedInto != nullptr) return nullptr;
            if (GdiBitmap* old = GdiTargetOf(dc); old != nullptr && old->selectedInto == hdc) {
                old->selectedInto = nullptr;
            }
            if (!bitmap->stock) bitmap->selectedInto = hdc;
            dc->bitmap = static_cast<HBITMAP>(h);
            GdiUpdateClip(dc);
            return previous;
        }
        case GdiKind::Region: {
            const int result = SelectClipRgn(hdc, static_cast<HRGN>(h));
            return result == ERROR ? nullptr : reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(result));
        }
        case GdiKind::DC:
        case GdiKind::Brush:
        case GdiKind::None: break;
    }
    return nullptr;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr) return 0xFFFFFFFFu;
    const COLORREF previous = dc->text.textColor;
    dc->text.textColor = color & 0x00FFFFFFu;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr) return 0xFFFFFFFFu;
    const COLORREF previous = dc->text.bkColor;
    dc->text.bkColor = color & 0x00FFFFFFu;
    return previous;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = dc->text.bkMode;
    dc->text.bkMode = mode;
    return previous;
}

BOOL GdiGetTextState(HDC hdc, GdiTextState* state) {
    const GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || state == nullptr) return FALSE;
    *state = dc->text;
    return TRUE;
}

// Every mode stretches nearest-neighbour; the mode is kept for callers that
// save and restore it.
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

int WINAPI GetStretchBltMode(HDC hdc) {
    const GdiDC* dc = GdiLookupDC(hdc);
    return dc == nullptr ? 0 : dc->stretchMode;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (GdiLookupDC(hdc) == nullptr) return 0;
    int32_t width = 0;
    int32_t height = 0;
    switch (index) {
        case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB;
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case HORZRES:
        case VERTRES:
            DisplayGetBackend().screenSize(&width, &height);
            return index == HORZRES ? width : height;
        default: return 0;
    }
}

// The clip is a copy, in device pixels; NULL removes it. A refused call leaves
// the DC's clip as it was.
int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
    GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr) return ERROR;
    pixman_region32_t fresh;
    pixman_region32_init(&fresh);
    if (hrgn != nullptr) {
        pixman_region32_t* region = GdiRegionData(hrgn);
        bool ok = region != nullptr;
        if (ok && (dc->origin.x != 0 || dc->origin.y != 0)) {
            // Only window DCs have an origin, and their surface never changes: cut
            // the clip to the surface first so that moving it cannot overflow.
            const GdiBitmap* target = GdiTargetOf(dc);
            const int64_t width = target != nullptr ? target->width : 0;
            const int64_t height = target != nullptr ? target->height : 0;
            GdiRegionSetBox(&fresh, -int64_t{dc->origin.x}, -int64_t{dc->origin.y},
                            width - dc->origin.x, height - dc->origin.y);
            ok = pixman_region32_intersect(&fresh, &fresh, region);
            if (ok) pixman_region32_translate(&fresh, dc->origin.x, dc->origin.y);
        } else if (ok) {
            ok = pixman_region32_copy(&fresh, region);
        }
        if (!ok) {
            pixman_region32_fini(&fresh);
            return ERROR;
        }
    }
    pixman_region32_fini(&dc->clip);
    dc->clip = fresh;
    dc->hasClip = hrgn != nullptr;
    GdiUpdateClip(dc);
    return GdiRegionComplexity(&dc->effectiveClip);
}

BOOL WINAPI RectVisible(HDC hdc, const RECT* lprect) {
    const GdiDC* dc = GdiLookupDC(hdc);
    if (dc == nullptr || lprect == nullptr) return FALSE;
    const int64_t x1 = static_cast<int64_t>(std::min(lprect->left, lprect->right)) + dc->origin.x;
    const int64_t x2 = static_cast<int64_t>(std::max(lprect->left, lprect->right)) + dc->origin.x;
    const int64_t y1 = static_cast<int64_t>(std::min(lprect->top, lprect->bottom)) + dc->origin.y;
    const int64_t y2 = static_cast<int64_t>(std::max(lprect->top, lprect->bottom)) + dc->origin.y;
    const pixman_box32_t box{GdiClamp32(x1), GdiClamp32(y1), GdiClamp32(x2), GdiClamp32(y2)};
    if (box.x1 >= box.x2 || box.y1 >= box.y2) return FALSE;
    return GdiRegionTouches(&dc->effectiveClip, box) ? TRUE : FALSE;
}
