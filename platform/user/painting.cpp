// Update regions and painting: invalidation unions into a window's update region
// (rectangles wait in a per-window list and are joined in one pass when the
// region is read, see UsrFoldUpdate);
// WM_PAINT goes to visible windows only, straight from UpdateWindow/RedrawWindow
// or from PeekMessageW when the queue is empty; BeginPaint validates, erases if
// asked and hands out a DC clipped to the update region.
#include <algorithm>

#include "platform/gdi/gdi_surface.h"
#include "platform/user/user_internal.h"

namespace {

bool IncludesChildren(const UsrWindow* window, bool allChildren) {
    return allChildren || (window->style & WS_CLIPCHILDREN) == 0;
}

// The part of a caller's rectangle inside the client area; false when nothing is left.
bool ClipToClient(const UsrWindow* window, const RECT* rect, pixman_box32_t* box) {
    const int64_t width = window->rect.right - window->rect.left;
    const int64_t height = window->rect.bottom - window->rect.top;
    int64_t left = 0, top = 0, right = width, bottom = height;
    if (rect != nullptr) {
        left = std::max<int64_t>(left, rect->left);
        top = std::max<int64_t>(top, rect->top);
        right = std::min<int64_t>(right, rect->right);
        bottom = std::min<int64_t>(bottom, rect->bottom);
    }
    if (right <= left || bottom <= top) return false;
    *box = pixman_box32_t{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                          static_cast<int32_t>(bottom)};
    return true;
}

void AddToUpdate(UsrWindow* window, const pixman_region32_t* area, bool erase) {
    if (!pixman_region32_not_empty(area)) return;
    const bool wasEmpty = !pixman_region32_not_empty(&window->update);
    UsrFoldUpdate(window);
    pixman_region32_union(&window->update, &window->update, area);
    if (erase) window->erasePending = true;
    if (wasEmpty) ++userState.pendingPaints;
}

// Adds a box of the client area to the update region. The first box becomes the
// region; later ones wait in the window's pending list.
void AddBoxToUpdate(UsrWindow* window, const pixman_box32_t& box, bool erase) {
    if (erase) window->erasePending = true;
    if (!pixman_region32_not_empty(&window->update)) {
        pixman_region32_reset(&window->update, &box);
        ++userState.pendingPaints;
        return;
    }
    if (window->pendingCount == kUsrPendingBoxes) UsrFoldUpdate(window);
    window->pending[window->pendingCount++] = box;
}

// Sends WM_ERASEBKGND now when the update region asks for it (GetUpdateRect and
// GetUpdateRgn with bErase).
void EraseNow(HWND hwnd) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr || !window->erasePending) return;
    window->erasePending = false;
    UsrFoldUpdate(window);
    HDC hdc = UsrCreateWindowDC(window, &window->update);
    if (hdc == nullptr) return;
    SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    window = UsrFind(hwnd);
    if (window != nullptr) UsrReleaseWindowDC(window, hdc);
}

bool PaintableWithUpdate(UsrWindow* window) {
    return pixman_region32_not_empty(&window->update) && UsrIsVisible(window);
}

HWND FindInTree(UsrWindow* window) {
    if ((window->style & WS_VISIBLE) == 0) return nullptr;
    if (pixman_region32_not_empty(&window->update)) return window->handle;
    for (HWND childHandle : window->children) {
        UsrWindow* child = UsrFind(childHandle);
        if (child == nullptr) continue;
        HWND found = FindInTree(child);
        if (found != nullptr) return found;
    }
    return nullptr;
}

}  // namespace

void UsrFoldUpdate(UsrWindow* window) {
    if (window->pendingCount == 0) return;
    // pixman sorts and joins the boxes in one pass; one union adds them.
    pixman_region32_t joined;
    pixman_region32_init_rects(&joined, window->pending, window->pendingCount);
    window->pendingCount = 0;
    pixman_region32_union(&window->update, &window->update, &joined);
    pixman_region32_fini(&joined);
}

void UsrInvalidate(UsrWindow* window, const pixman_region32_t* area, bool erase, bool allChildren) {
    pixman_box32_t client;
    if (!ClipToClient(window, nullptr, &client)) return;
    pixman_region32_t clipped;
    pixman_region32_init_with_extents(&clipped, &client);
    if (area != nullptr) pixman_region32_intersect(&clipped, &clipped, area);
    AddToUpdate(window, &clipped, erase);
    if (IncludesChildren(window, allChildren) && pixman_region32_not_empty(&clipped)) {
        for (HWND childHandle : window->children) {
            UsrWindow* child = UsrFind(childHandle);
            if (child == nullptr || (child->style & WS_VISIBLE) == 0) continue;
            pixman_region32_translate(&clipped, -child->rect.left, -child->rect.top);
            UsrInvalidate(child, &clipped, erase, allChildren);
            pixman_region32_translate(&clipped, child->rect.left, child->rect.top);
        }
    }
    pixman_region32_fini(&clipped);
}

void UsrSetUpdateEmpty(UsrWindow* window) {
    if (pixman_region32_not_empty(&window->update)) {
        --userState.pendingPaints;
        pixman_region32_clear(&window->update);
    }
    window->pendingCount = 0;
    window->erasePending = false;
}

void UsrValidate(UsrWindow* window, const pixman_region32_t* area) {
    if (area == nullptr) {
        UsrSetUpdateEmpty(window);
        return;
    }
    if (!pixman_region32_not_empty(&window->update)) return;
    UsrFoldUpdate(window);
    pixman_region32_subtract(&window->update, &window->update, area);
    if (!pixman_region32_not_empty(&window->update)) {
        --userState.pendingPaints;
        window->erasePending = false;
    }
}

void UsrUpdateNow(HWND hwnd, bool children) {
    UsrWindow* window = UsrFind(hwnd);
    if (window == nullptr) return;
    if (PaintableWithUpdate(window)) {
        SendMessageW(hwnd, WM_PAINT, 0, 0);
        window = UsrFind(hwnd);
        if (window == nullptr) return;
    }
    if (!children || window->children.empty()) return;
    const std::vector<HWND> childHandles = window->children;  // painting may change the list
    for (HWND child : childHandles) UsrUpdateNow(child, true);
}

HWND UsrFindWindowToPaint() {
    if (userState.pendingPaints <= 0) return nullptr;
    for (HWND topHandle : userState.topLevels) {
        UsrWindow* topLevel = UsrFind(topHandle);
        if (topLevel == nullptr) continue;
        HWND found = FindInTree(topLevel);
        if (found != nullptr) return found;
    }
    return nullptr;
}

void UsrFillSysColor(HDC hdc, const RECT* rect, int colorIndex) {
    HBRUSH brush = CreateSolidBrush(GetSysColor(colorIndex));
    if (brush == nullptr) return;
    FillRect(hdc, rect, brush);
    DeleteObject(brush);
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    pixman_box32_t box;
    if (!ClipToClient(window, lpRect, &box)) return TRUE;
    if (!IncludesChildren(window, false) || window->children.empty()) {
        // The common case (a canvas marking sprite rectangles) needs no region of its own.
        AddBoxToUpdate(window, box, bErase != FALSE);
        return TRUE;
    }
    pixman_region32_t area;
    pixman_region32_init_with_extents(&area, &box);
    UsrInvalidate(window, &area, bErase != FALSE, false);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    if (lpRect == nullptr) {
        UsrSetUpdateEmpty(window);
        return TRUE;
    }
    pixman_box32_t box;
    if (!ClipToClient(window, lpRect, &box)) return TRUE;
    pixman_region32_t area;
    pixman_region32_init_with_extents(&area, &box);
    UsrValidate(window, &area);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    if (UsrFind(hWnd) == nullptr) return FALSE;
    if (bErase) EraseNow(hWnd);
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    UsrFoldUpdate(window);
    const bool notEmpty = pixman_region32_not_empty(&window->update);
    if (lpRect != nullptr) {
        if (notEmpty) {
            const pixman_box32_t* box = pixman_region32_extents(&window->update);
            *lpRect = RECT{box->x1, box->y1, box->x2, box->y2};
        } else {
            *lpRect = RECT{0, 0, 0, 0};
        }
    }
    return notEmpty ? TRUE : FALSE;
}

int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
    pixman_region32_t* target = GdiRegionData(hRgn);
    if (UsrFind(hWnd) == nullptr || target == nullptr) return ERROR;
    if (bErase) EraseNow(hWnd);
    UsrWindow* window = UsrFind(hWnd);
    target = GdiRegionData(hRgn);
    if (window == nullptr || target == nullptr) return ERROR;
    UsrFoldUpdate(window);
    pixman_region32_copy(target, &window->update);
    const int count = pixman_region32_n_rects(target);
    return count == 0 ? NULLREGION : count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (UsrFind(hWnd) == nullptr) return FALSE;
    UsrUpdateNow(hWnd, true);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr) return FALSE;
    const bool allChildren = (flags & RDW_ALLCHILDREN) != 0;
    if ((flags & RDW_INVALIDATE) != 0) {
        const pixman_region32_t* given = hrgnUpdate != nullptr ? GdiRegionData(hrgnUpdate) : nullptr;
        if (hrgnUpdate != nullptr && given == nullptr) return FALSE;
        pixman_region32_t area;
        pixman_box32_t box;
        if (given != nullptr) {
            pixman_region32_init(&area);
            pixman_region32_copy(&area, given);
            UsrInvalidate(window, &area, (flags & RDW_ERASE) != 0, allChildren);
            pixman_region32_fini(&area);
        } else if (lprcUpdate == nullptr) {
            UsrInvalidate(window, nullptr, (flags & RDW_ERASE) != 0, allChildren);
        } else if (ClipToClient(window, lprcUpdate, &box)) {
            pixman_region32_init_with_extents(&area, &box);
            UsrInvalidate(window, &area, (flags & RDW_ERASE) != 0, allChildren);
            pixman_region32_fini(&area);
        }
    }
    if ((flags & RDW_UPDATENOW) != 0) UsrUpdateNow(hWnd, IncludesChildren(window, allChildren));
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || lpPaint == nullptr) return nullptr;
    UsrEnsureScratch();
    UsrFoldUpdate(window);
    pixman_region32_copy(&userState.scratchPaint, &window->update);
    const bool erase = window->erasePending;
    RECT paintRect{0, 0, 0, 0};
    if (pixman_region32_not_empty(&window->update)) {
        const pixman_box32_t* box = pixman_region32_extents(&window->update);
        paintRect = RECT{box->x1, box->y1, box->x2, box->y2};
    }
    UsrSetUpdateEmpty(window);
    HDC hdc = UsrCreateWindowDC(window, &userState.scratchPaint);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = paintRect;
    if (hdc != nullptr && erase) {
        lpPaint->fErase = SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0 ? TRUE : FALSE;
    }
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || lpPaint == nullptr) return TRUE;
    UsrReleaseWindowDC(window, lpPaint->hdc);
    return TRUE;
}
