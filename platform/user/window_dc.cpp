// Device contexts of windows (GetDC/ReleaseDC and the ones BeginPaint hands out)
// and the way their drawing reaches the desktop. Every window DC is registered
// with its top-level window, so a DC never outlives the surface it draws into:
// resizing or destroying the window deletes the DCs still out.
#include <algorithm>

#include "platform/display/display.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/user/user_internal.h"

namespace {

// More rectangles than this are presented as their bounding box. The demo's
// frames change 60 to 250 rectangles; presenting them exactly is cheaper for the
// desktop than a bounding box a third larger.
constexpr int kMaxPresentRects = 512;

}  // namespace

HDC UsrCreateWindowDC(UsrWindow* window, const pixman_region32_t* clip) {
    UsrWindow* topLevel = UsrTopLevelOf(window);
    if (topLevel == nullptr) return nullptr;
    // The backend may have remade the framebuffer (after a size change): asking
    // for it again before anything draws re-points the surface.
    if (topLevel->onFramebuffer) UsrSyncFramebuffer(topLevel);
    UsrEnsureScratch();
    const POINT origin = UsrSurfaceOrigin(window);
    UsrVisibleRegion(window, &userState.scratchVisible);
    // The visible part is made afresh for every DC, so the clipped result goes to
    // scratchClip, which keeps its rectangle array from one paint to the next.
    const pixman_region32_t* reach = &userState.scratchVisible;
    if (clip != nullptr) {
        pixman_region32_copy(&userState.scratchClip, clip);
        pixman_region32_translate(&userState.scratchClip, origin.x, origin.y);
        pixman_region32_intersect(&userState.scratchClip, &userState.scratchVisible, &userState.scratchClip);
        reach = &userState.scratchClip;
    }
    HDC hdc = GdiCreateWindowDC(window->handle, topLevel->surface, origin, reach);
    if (hdc == nullptr) return nullptr;
    UsrWindowDC record{hdc, window->handle, {}};
    pixman_region32_init(&record.reach);
    pixman_region32_copy(&record.reach, reach);
    topLevel->windowDCs.push_back(record);
    return hdc;
}

bool UsrReleaseWindowDC(UsrWindow* window, HDC hdc) {
    UsrWindow* topLevel = UsrTopLevelOf(window);
    if (topLevel == nullptr || hdc == nullptr) return false;
    auto& dcs = topLevel->windowDCs;
    auto found = std::find_if(dcs.begin(), dcs.end(), [&](const UsrWindowDC& record) {
        return record.dc == hdc && record.window == window->handle;
    });
    if (found == dcs.end()) return false;
    UsrWindowDC record = *found;
    dcs.erase(found);
    // Only what was drawn through the DC, inside what it could reach, changed.
    RECT drawn{};
    if (GdiWindowDCDrawn(record.dc, &drawn)) {
        pixman_region32_t box;
        pixman_region32_init_rect(&box, drawn.left, drawn.top, static_cast<unsigned>(drawn.right - drawn.left),
                                  static_cast<unsigned>(drawn.bottom - drawn.top));
        pixman_region32_intersect(&record.reach, &record.reach, &box);
        pixman_region32_fini(&box);
        UsrPresent(topLevel, &record.reach);
    }
    GdiDeleteWindowDC(record.dc);
    pixman_region32_fini(&record.reach);
    return true;
}

void UsrPresent(UsrWindow* topLevel, const pixman_region32_t* area) {
    if (!topLevel->desktopOpen || topLevel->pixels == nullptr || !pixman_region32_not_empty(area)) return;
    // A framebuffer remade since the last present lost the picture: the whole
    // window is drawn and presented again, so this part is not shown now.
    if (!UsrSyncFramebuffer(topLevel)) return;
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(area, &count);
    RECT rects[kMaxPresentRects];
    if (count > kMaxPresentRects) {
        const pixman_box32_t* extents = pixman_region32_extents(area);
        rects[0] = RECT{extents->x1, extents->y1, extents->x2, extents->y2};
        count = 1;
    } else {
        for (int i = 0; i < count; ++i) rects[i] = RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
    }
    DisplayGetBackend().present(topLevel->handle, topLevel->pixels, topLevel->surfaceWidth,
                                topLevel->surfaceHeight, topLevel->surfaceStride * 4, rects, count);
}

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd == nullptr) {
        HDC hdc = GdiCreateWindowDC(nullptr, nullptr, POINT{0, 0}, nullptr);
        if (hdc != nullptr) userState.screenDCs.push_back(hdc);
        return hdc;
    }
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return nullptr;
    return UsrCreateWindowDC(window, nullptr);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    if (hDC == nullptr) return 0;
    auto& screen = userState.screenDCs;
    auto found = std::find(screen.begin(), screen.end(), hDC);
    if (found != screen.end()) {
        screen.erase(found);
        GdiDeleteWindowDC(hDC);
        return 1;
    }
    UsrWindow* window = UsrFind(hWnd != nullptr ? hWnd : GdiWindowOfDC(hDC));
    if (window == nullptr) return 0;
    return UsrReleaseWindowDC(window, hDC) ? 1 : 0;
}
