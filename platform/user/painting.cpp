// Painting: WM_PAINT goes to visible windows only, straight from UpdateWindow
// and RedrawWindow or from PeekMessageW when the queue is empty; BeginPaint
// validates, erases if asked and hands out a DC clipped to the update region.
#include <vector>

#include "platform/gdi/gdi_surface.h"
#include "platform/user/user_internal.h"

namespace {

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

}  // namespace

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

void UsrFillSysColor(HDC hdc, const RECT* rect, int colorIndex) {
    HBRUSH brush = CreateSolidBrush(GetSysColor(colorIndex));
    if (brush == nullptr) return;
    FillRect(hdc, rect, brush);
    DeleteObject(brush);
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
        } else if (UsrClipToClient(window, lprcUpdate, &box)) {
            pixman_region32_init_with_extents(&area, &box);
            UsrInvalidate(window, &area, (flags & RDW_ERASE) != 0, allChildren);
            pixman_region32_fini(&area);
        }
    }
    if ((flags & RDW_UPDATENOW) != 0) UsrUpdateNow(hWnd, UsrIncludesChildren(window, allChildren));
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
