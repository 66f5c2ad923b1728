// The drawing layer's objects and the handle table that names them. Internal to
// platform/gdi.
//
// Handle table invariants:
// - A handle is (tag << 56) | (generation << 24) | (index + 1): never zero, and
//   it names slot `index` only while the slot's generation and kind match. A
//   slot's generation changes every time it is freed, so a stale handle, a
//   random value or a handle of another kind is refused in O(1) and its object
//   is never touched.
// - Free slots form a singly linked list through `nextFree`.
// - Objects are counted as live per kind unless they belong to the system
//   (window surfaces, stock objects).
#pragma once

#include <pixman.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>

#include "platform/gdi/gdi_surface.h"
#include "platform/win32.h"

enum class GdiKind : uint8_t { None, Bitmap, DC, Region, Brush };

inline int32_t GdiClamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Records of deleted objects of one kind (T has a `T* nextFree` field), up to
// kKept of them, reused for the next object of that kind, so that making and
// deleting one per frame allocates nothing.
template <typename T, int kKept>
struct GdiKeptRecords {
    T* free = nullptr;
    int count = 0;

    // A kept record (its contents stale) or a new one; nullptr when memory runs out.
    T* Take() {
        if (free == nullptr) return new (std::nothrow) T;
        T* record = free;
        free = record->nextFree;
        --count;
        return record;
    }
    // Keeps the record for later, or deletes it when enough are kept.
    void Give(T* record) {
        if (count == kKept) {
            delete record;
            return;
        }
        record->nextFree = free;
        free = record;
        ++count;
    }
};

// A bitmap's pixels: `height` rows of `stride` bytes. Row y counted from the
// top of the picture starts at `memory + topRowOffset + y * rowStep`; rowStep is
// -stride for bottom-up DIBs, whose top row lies at the highest address.
struct GdiBitmap {
    int32_t width;
    int32_t height;     // always positive
    int32_t bitsPixel;  // 16 (5-5-5), 24 or 32
    int32_t stride;     // bytes per row
    uint8_t* memory;    // lowest address of the pixels, owned by the bitmap
    ptrdiff_t topRowOffset;
    ptrdiff_t rowStep;
    bool exposeBits;    // GetObjectA reports bmBits (DIB sections, surfaces)
    bool surface;       // a window surface, owned by the window system
    // A surface drawing into memory it does not own (a desktop framebuffer): its
    // own pixels, parked here until it draws into them again. NULL otherwise.
    uint8_t* parkedMemory;
    bool stock;         // the shared 1x1 bitmap of fresh memory DCs
    HDC selectedInto;   // the memory DC holding it, if any (not for stock/surfaces)
};

struct GdiDC {
    GdiDC* nextFree;     // records of deleted DCs, kept for the next DC
    bool memory;         // from CreateCompatibleDC; otherwise a window DC
    HBITMAP bitmap;      // selected bitmap (memory DC) or surface (window DC); may be NULL
    HWND owner;          // window DCs only
    POINT origin;        // device pixel of logical (0, 0)
    bool hasVisible;     // window DCs: visible part of the window, device pixels
    pixman_region32_t visible;
    bool hasClip;        // SelectClipRgn, stored in device pixels
    pixman_region32_t clip;
    // bitmap bounds & visible & clip, device pixels; kept up to date by GdiUpdateClip.
    pixman_region32_t effectiveClip;
    GdiTextState text;
    int stretchMode;
    // Bounding box of every area drawn through this DC, device pixels; empty
    // (x1 >= x2) until something is drawn. GdiClipBox grows it, so the window
    // system presents only what a DC really changed.
    mutable pixman_box32_t drawn;
};

struct GdiRegion {
    pixman_region32_t region;
    GdiRegion* nextFree;  // records of deleted regions, kept for the next CreateRectRgn
};

struct GdiBrush {
    COLORREF color;
};

// ---- Handle table ----------------------------------------------------------
// Stores `object` under a new handle; NULL when the table cannot grow.
void* GdiAllocHandle(GdiKind kind, void* object, bool counted);
// Releases the handle's slot (the object itself is freed by the caller).
void GdiFreeHandle(void* handle);
GdiKind GdiKindOf(const void* handle);
// Counted objects of the kind that are alive (made and not yet deleted).
int32_t GdiLiveCount(GdiKind kind);
GdiBitmap* GdiLookupBitmap(const void* handle);
GdiDC* GdiLookupDC(const void* handle);
GdiRegion* GdiLookupRegion(const void* handle);
GdiBrush* GdiLookupBrush(const void* handle);

// ---- Bitmaps ---------------------------------------------------------------
// A zero-filled bitmap; NULL for bad sizes or when memory runs out.
HBITMAP GdiNewBitmap(int32_t width, int32_t height, int32_t bitsPixel, bool topDown,
                     bool exposeBits, bool counted);
HBITMAP GdiStockBitmap();
bool GdiDeleteBitmap(HBITMAP handle);
// Bytes per row for a DIB of this width and depth (rows padded to 4 bytes);
// 0 when it does not fit the 2^31 - 1 byte limit.
int64_t GdiDibStride(int64_t width, int32_t bitsPixel);

// ---- Device contexts -------------------------------------------------------
bool GdiDeleteMemoryDC(HDC handle);
// Recomputes dc->effectiveClip after the bitmap or the clip changed.
void GdiUpdateClip(GdiDC* dc);
// The part of the device box [x1, x2) x [y1, y2) that lies inside the DC's
// effective clip, as the clip's own boxes cut to that box, top to bottom and left
// to right: the area a drawing call is about to write, which is added to
// dc->drawn. Valid until the DC's clip or bitmap changes.
struct GdiClipArea {
    const pixman_box32_t* clipBoxes;
    int clipCount;
    pixman_box32_t limit;    // the box, clamped to 32 bits
    int count;               // non-empty pieces
    pixman_box32_t extents;  // of the pieces; meaningful when count > 0
    // The i-th clip box cut to the limit; false when that piece is empty.
    bool Piece(int i, pixman_box32_t* piece) const {
        const pixman_box32_t& box = clipBoxes[i];
        *piece = pixman_box32_t{std::max(box.x1, limit.x1), std::max(box.y1, limit.y1),
                                std::min(box.x2, limit.x2), std::min(box.y2, limit.y2)};
        return piece->x1 < piece->x2 && piece->y1 < piece->y2;
    }
};
GdiClipArea GdiClipBox(const GdiDC* dc, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
// The bitmap a DC draws into, or nullptr (screen DC, stale surface).
GdiBitmap* GdiTargetOf(const GdiDC* dc);

// ---- Regions ---------------------------------------------------------------
// DeleteObject for a region handle.
bool GdiDeleteRegion(HRGN handle);
int GdiRegionComplexity(const pixman_region32_t* region);
// Whether any pixel of the non-empty box lies in the region.
bool GdiRegionTouches(const pixman_region32_t* region, const pixman_box32_t& box);
// Initialises `region` as the union of `count` boxes in any order, overlapping or
// not; empty boxes add nothing.
void GdiRegionFromBoxes(pixman_region32_t* region, const pixman_box32_t* boxes, size_t count);
// Makes `region` the rectangle [x1, x2) x [y1, y2), or empty when that is empty.
// Coordinates are clamped to the 32-bit range first.
void GdiRegionSetBox(pixman_region32_t* region, int64_t x1, int64_t y1, int64_t x2, int64_t y2);
