// Regions on pixman region32.
#include <algorithm>
#include <new>

#include "platform/gdi/gdi_objects.h"

namespace {

// Records of deleted regions, reused by CreateRectRgn; they are empty and hold
// no arrays.
GdiKeptRecords<GdiRegion, 64> keptRegions;

}  // namespace

void GdiRegionSetBox(pixman_region32_t* region, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    const pixman_box32_t box{GdiClamp32(x1), GdiClamp32(y1), GdiClamp32(x2), GdiClamp32(y2)};
    if (box.x1 < box.x2 && box.y1 < box.y2) {
        pixman_region32_reset(region, &box);
    } else {
        pixman_region32_clear(region);
    }
}

bool GdiRegionTouches(const pixman_region32_t* region, const pixman_box32_t& box) {
    const pixman_box32_t* extents = pixman_region32_extents(region);
    if (box.x2 <= extents->x1 || box.x1 >= extents->x2 || box.y2 <= extents->y1 || box.y1 >= extents->y2) {
        return false;
    }
    int count = 0;
    const pixman_box32_t* rects = pixman_region32_rectangles(region, &count);
    // The rectangles lie in bands from top to bottom, each band's rectangles
    // sharing their top and bottom: the bottoms never decrease, so the first
    // band that reaches below the box's top is found by bisection, and only the
    // bands that the box spans are looked at.
    const pixman_box32_t* end = rects + count;
    const pixman_box32_t* rect = std::partition_point(
        rects, end, [&](const pixman_box32_t& r) { return r.y2 <= box.y1; });
    for (; rect != end && rect->y1 < box.y2; ++rect) {
        if (rect->x1 < box.x2 && rect->x2 > box.x1) return true;
    }
    return false;
}

int GdiRegionComplexity(const pixman_region32_t* region) {
    const int count = pixman_region32_n_rects(const_cast<pixman_region32_t*>(region));
    return count == 0 ? NULLREGION : count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

pixman_region32_t* GdiRegionData(HRGN hrgn) {
    GdiRegion* region = GdiLookupRegion(hrgn);
    return region == nullptr ? nullptr : &region->region;
}

namespace {

void FreeRegion(GdiRegion* region) {
    pixman_region32_clear(&region->region);
    keptRegions.Give(region);
}

}  // namespace

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    GdiRegion* region = keptRegions.Take();
    if (region == nullptr) return nullptr;
    // A new record's region is not initialised yet, a kept one's is empty.
    pixman_region32_init(&region->region);
    region->nextFree = nullptr;
    GdiRegionSetBox(&region->region, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2),
                    std::max(y1, y2));
    void* handle = GdiAllocHandle(GdiKind::Region, region, true);
    if (handle == nullptr) FreeRegion(region);
    return static_cast<HRGN>(handle);
}

bool GdiDeleteRegion(HRGN handle) {
    GdiRegion* region = GdiLookupRegion(handle);
    if (region == nullptr) return false;
    GdiFreeHandle(handle);
    FreeRegion(region);
    return true;
}

// The destination may be one of the sources; pixman allows that.
int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    pixman_region32_t* dst = GdiRegionData(hrgnDst);
    pixman_region32_t* a = GdiRegionData(hrgnSrc1);
    pixman_region32_t* b = GdiRegionData(hrgnSrc2);
    if (dst == nullptr || a == nullptr || (iMode != RGN_COPY && b == nullptr)) return ERROR;
    bool ok = false;
    switch (iMode) {
        case RGN_AND: ok = pixman_region32_intersect(dst, a, b); break;
        case RGN_OR: ok = pixman_region32_union(dst, a, b); break;
        case RGN_DIFF: ok = pixman_region32_subtract(dst, a, b); break;
        case RGN_COPY: ok = pixman_region32_copy(dst, a); break;
        case RGN_XOR: {
            pixman_region32_t both;
            pixman_region32_t either;
            pixman_region32_init(&both);
            pixman_region32_init(&either);
            ok = pixman_region32_intersect(&both, a, b) &&
                 pixman_region32_union(&either, a, b) &&
                 pixman_region32_subtract(dst, &either, &both);
            pixman_region32_fini(&both);
            pixman_region32_fini(&either);
            break;
        }
        default: return ERROR;
    }
    return ok ? GdiRegionComplexity(dst) : ERROR;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    pixman_region32_t* region = GdiRegionData(hrgn);
    if (region == nullptr || lprc == nullptr) return ERROR;
    const int complexity = GdiRegionComplexity(region);
    if (complexity == NULLREGION) {
        *lprc = RECT{0, 0, 0, 0};
    } else {
        const pixman_box32_t* box = pixman_region32_extents(region);
        *lprc = RECT{box->x1, box->y1, box->x2, box->y2};
    }
    return complexity;
}

